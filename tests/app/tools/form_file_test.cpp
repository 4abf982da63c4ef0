// The command-file window offscreen, running through the program's channel
// and the real library against the simulated device on COM3: what reaches
// the wire and when, the running line's colour, Abort, the start file and
// the check-box settings, and open/save through the window.
#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <functional>

#include "core/folders.h"
#include "core/settings_file.h"
#include "sim_channel_fixture.h"
#include "tools/channel_runner_device.h"
#include "tools/command_file_io.h"
#include "tools/form_file.h"

namespace quorel::testing {
namespace {

using Codes = std::vector<std::string>;

class FileWindow : public SimChannelTest {
 protected:
  void SetUp() override {
    SimChannelTest::SetUp();
    mm().gIniPath = dir_.file(QStringLiteral("Quorel.ini"));
  }
  void TearDown() override {
    delete window_.data();
    SimChannelTest::TearDown();
  }

  FormFile* Window() {
    if (!window_) window_ = new FormFile(std::make_unique<ChannelRunnerDevice>(channel_));
    return window_;
  }
  QPushButton* Button(const char* name) { return Window()->findChild<QPushButton*>(QLatin1String(name)); }
  QString Label(const char* name) { return Window()->findChild<QLabel*>(QLatin1String(name))->text(); }
  QCheckBox* Check(const char* name) { return Window()->findChild<QCheckBox*>(QLatin1String(name)); }
  QLineEdit* NameBox() { return Window()->findChild<QLineEdit*>(QStringLiteral("TxtFilePath")); }
  QTextDocument* Document() { return Window()->findChild<QTextEdit*>(QStringLiteral("TxtField"))->document(); }
  void RunText(const QString& text) {
    Window()->SetEditorText(text);
    Button("CmdExe")->click();  // returns when the run has ended
  }
  // The codes of the commands the device received, in order.
  Codes SentCodes() const {
    Codes out;
    for (const sim::TranscriptEntry& e : sim_.Transcript())
      if (e.dir == sim::Dir::Host && e.tag.rfind("CMD ", 0) == 0) out.push_back(e.tag.substr(4, 2));
    return out;
  }
  uint32_t SentAtMs(const std::string& code) const {
    for (const sim::TranscriptEntry& e : sim_.Transcript())
      if (e.dir == sim::Dir::Host && e.tag.rfind("CMD " + code, 0) == 0) return e.ms;
    return 0;
  }
  // Whether block n shows as the running line.
  bool Running(int block) {
    const QTextBlock b = Document()->findBlockByNumber(block);
    const QTextCharFormat f = b.begin().fragment().charFormat();
    return f.foreground().color() == QColor(0xFF, 0x80, 0x00) && f.fontWeight() == QFont::Bold;
  }
  bool Plain(int block) {
    const QTextCharFormat f = Document()->findBlockByNumber(block).begin().fragment().charFormat();
    return f.foreground().color() == QColor(Qt::black) && f.fontWeight() == QFont::Normal;
  }
  // Runs act once, as soon as cond holds while events run (a run pumps them).
  void When(std::function<bool()> cond, std::function<void()> act) {
    poller_.setInterval(5);
    QObject::connect(&poller_, &QTimer::timeout, [this, cond = std::move(cond), act = std::move(act)] {
      if (!cond()) return;
      poller_.stop();
      act();
    });
    poller_.start();
  }
  QString Ini(const char* key) {
    return ReadIni(QStringLiteral("FormFile"), QLatin1String(key), mm().gIniPath);
  }

  QPointer<FormFile> window_;
  QTimer poller_;
};

TEST_F(FileWindow, TwoCommandLinesSendCiThenCo) {
  RunText(QStringLiteral("      CI\r\n      CO\r\n"));
  EXPECT_EQ(SentCodes(), (Codes{"CI", "CO"}));
  EXPECT_EQ(Label("LbLine"), "2");
  EXPECT_EQ(Label("LbCmndLine"), " CO");
  EXPECT_TRUE(Plain(0));
  EXPECT_TRUE(Plain(1));
}

TEST_F(FileWindow, TheSampleFileWithThreePassesSendsItsSequence) {
  QString text = SampleCommandFile();
  text.replace(QStringLiteral("\r\n1000\r\n"), QStringLiteral("\r\n3\r\n"));
  text.replace(QStringLiteral("wait\r\n1\r\n"), QStringLiteral("wait\r\n0.05\r\n"));  // keeps the test short
  RunText(text);
  EXPECT_EQ(SentCodes(), (Codes{"PA", "CL", "CI", "PC", "PD", "PO", "CL", "CI", "PC", "PD", "PO", "CL", "CI", "PC",
                                "PD", "PO"}));
  // The print data went out with its control macros as bytes.
  const std::string expected = "PD:0/10/50/\x1b" "e22Mivor\n\x1b" "e11Sample Print";
  int found = 0;
  for (const sim::TranscriptEntry& e : sim_.Transcript())
    if (e.dir == sim::Dir::Host && e.tag.rfind("CMD PD", 0) == 0 &&
        std::string(e.bytes.begin(), e.bytes.end()).find(expected) != std::string::npos)
      ++found;
  EXPECT_EQ(found, 3);
  EXPECT_EQ(Label("LbLine"), "14");
  EXPECT_EQ(Label("LbCmndLine"), " end");
  EXPECT_EQ(Label("LbLoopCount"), "0");
  EXPECT_TRUE(Running(13));  // the END line stays marked
}

TEST_F(FileWindow, AWaitOfTwoTenthsSeparatesItsCommands) {
  QElapsedTimer t;
  t.start();
  RunText(QStringLiteral("      ST\r\nWAIT\r\n0.2\r\n      VS\r\n"));
  EXPECT_EQ(SentCodes(), (Codes{"ST", "VS"}));
  const uint32_t gap = SentAtMs("VS") - SentAtMs("ST");
  EXPECT_GE(gap, 200u);
  EXPECT_LT(gap, 2000u);  // it ends: a busy machine only makes it late
  EXPECT_EQ(Label("LbCmndLine"), " VS");
}

TEST_F(FileWindow, AbortEndsARunningWaitAndTheRunningLineIsShownByItsBlock) {
  bool checked = false;
  When([&] { return Label("LbWaitDisp") == QLatin1String("120"); }, [&] {
    // Line 3 (block 2) waits, its whole seconds counting down; the lines
    // around it are plain.
    EXPECT_TRUE(Running(2));
    EXPECT_TRUE(Plain(0));
    EXPECT_TRUE(Plain(1));
    EXPECT_TRUE(Plain(3));
    EXPECT_EQ(Label("LbCmndLine"), " wait");
    checked = true;
    Button("CmdAbort")->click();
  });
  QElapsedTimer t;
  t.start();
  RunText(QStringLiteral("' 表示テスト\r\n      ST\r\nWAIT\r\n120.4\r\n      VS\r\n"));
  EXPECT_TRUE(checked);
  EXPECT_LT(t.elapsed(), 60 * 1000);  // ended long before the wait's two minutes
  EXPECT_EQ(SentCodes(), (Codes{"ST", "CL"}));
  EXPECT_EQ(mm().gStopRequest, 1);
  EXPECT_TRUE(Plain(2));
}

TEST_F(FileWindow, ASecondRunWhileOneRunsIsRefused) {
  QTimer::singleShot(100, [&] {
    EXPECT_TRUE(Window()->running());
    Button("CmdExe")->click();  // returns at once
    EXPECT_TRUE(Window()->running());
  });
  RunText(QStringLiteral("      VS\r\nWAIT\r\n0.3\r\n"));
  EXPECT_EQ(SentCodes(), (Codes{"VS"}));
  EXPECT_FALSE(Window()->running());
}

TEST_F(FileWindow, ACommandTheChannelRefusesStopsTheRunWithTheErrorStop) {
  Open();
  Control("cardwait manual");
  Window()->SetEditorText(QStringLiteral("      VS\r\n      ST\r\n"));
  Check("ChkErStop")->setChecked(true);
  bool ran = false;
  When([&] { return Sent("CI") == 1 && mm().gReplyKind == QLatin1String("B"); }, [&] {
    // The console's card wait holds the channel.
    dialogs_.ExpectBox(QStringLiteral("Error Stop"), ErrorStopText(QString()), BoxAnswer::kAbort);
    Button("CmdExe")->click();
    ran = true;
  });
  Comu(QStringLiteral("CI"));
  EXPECT_TRUE(ran);
  EXPECT_EQ(Sent("VS"), 0);
  EXPECT_EQ(Sent("ST"), 0);
}

TEST_F(FileWindow, WithoutAStartFileTheSampleIsShownAndTheBoxesAreWrittenAsZero) {
  Window();
  EXPECT_EQ(Window()->EditorText(), SampleCommandFile());
  EXPECT_EQ(NameBox()->text(), "Sample.dat");
  EXPECT_EQ(Window()->folder(), ProgramDir());
  EXPECT_EQ(Ini("ErrorStop"), "0");
  EXPECT_EQ(Ini("APA13"), "0");
  EXPECT_EQ(Window()->windowTitle(), "File Access Mode");
  EXPECT_GE(Window()->width(), 371);
  EXPECT_GE(Window()->height(), 508);
}

TEST_F(FileWindow, TheStartFileAndTheStoredBoxesAreLoadedAndClosingWritesTheBoxes) {
  const QString folder = dir_.file(QStringLiteral("cmd"));
  ASSERT_TRUE(QDir().mkpath(folder));
  {
    QFile f(folder + QStringLiteral("/start.dat"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("      VS\r\n");
  }
  WriteIni(QStringLiteral("FormFile"), QStringLiteral("Dat_Path"), folder, mm().gIniPath);
  WriteIni(QStringLiteral("FormFile"), QStringLiteral("Dat_File"), QStringLiteral("start.dat"), mm().gIniPath);
  WriteIni(QStringLiteral("FormFile"), QStringLiteral("ErrorStop"), QStringLiteral("2"), mm().gIniPath);
  WriteIni(QStringLiteral("FormFile"), QStringLiteral("APA13"), QStringLiteral("1"), mm().gIniPath);
  EXPECT_EQ(Window()->EditorText(), QStringLiteral("      VS\r\n"));
  EXPECT_EQ(Window()->filePath(), folder + QStringLiteral("/start.dat"));
  EXPECT_EQ(Window()->folder(), folder);
  EXPECT_FALSE(Check("ChkErStop")->isChecked());  // only "1" ticks
  EXPECT_TRUE(Check("ChkAPA13")->isChecked());
  Check("ChkErStop")->setChecked(true);
  Check("ChkAPA13")->setChecked(false);
  Button("CmdEnd")->click();
  EXPECT_EQ(Ini("ErrorStop"), "1");
  EXPECT_EQ(Ini("APA13"), "0");
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(window_.isNull());
}

TEST_F(FileWindow, OpenThenSaveThroughTheWindowKeepsTheBytesAndAFailedOpenKeepsTheText) {
  const QString folder = dir_.file(QStringLiteral("cmd"));
  ASSERT_TRUE(QDir().mkpath(folder));
  const QByteArray bytes("' \x83\x54\x83\x93\x83\x76\x83\x8b \x95\x5c\r\nCOMANDCI\r\n\r\nwait\r\n1\r\nEND\r\n");
  {
    QFile f(folder + QStringLiteral("/in.dat"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
  }
  Window()->SetFolder(folder);
  NameBox()->setText(QStringLiteral("in.dat"));
  Button("CmdOpen")->click();
  EXPECT_EQ(Document()->blockCount(), 7);  // six lines and the empty one after the last CR LF
  NameBox()->setText(QStringLiteral("out.dat"));
  Button("CmdSave")->click();
  QFile out(folder + QStringLiteral("/out.dat"));
  ASSERT_TRUE(out.open(QIODevice::ReadOnly));
  EXPECT_EQ(out.readAll(), bytes);
  EXPECT_EQ(Window()->filePath(), folder + QStringLiteral("/out.dat"));

  const QString before = Window()->EditorText();
  NameBox()->setText(QStringLiteral("missing.dat"));
  dialogs_.ExpectBox(QStringLiteral("File Access Mode"),
                     QStringLiteral("ファイルを開けませんでした。編集フィールドは元のままです。\r\n") + folder +
                         QStringLiteral("/missing.dat\r\nファイルがありません。"),
                     BoxAnswer::kOk);
  Button("CmdOpen")->click();
  EXPECT_EQ(Window()->EditorText(), before);
  EXPECT_EQ(Window()->filePath(), folder + QStringLiteral("/out.dat"));
  Button("CmdCls")->click();
  EXPECT_EQ(Window()->EditorText(), "");
  EXPECT_EQ(NameBox()->text(), "");
}

TEST_F(FileWindow, ClosingDuringARunStopsItAndTheWindowGoesOnlyAfterTheRun) {
  When([&] { return Label("LbCmndLine") == QLatin1String(" wait"); }, [&] { Window()->close(); });
  QElapsedTimer t;
  t.start();
  RunText(QStringLiteral("      ST\r\nWAIT\r\n120\r\n      VS\r\n"));
  EXPECT_LT(t.elapsed(), 60 * 1000);  // ended long before the wait's two minutes
  ASSERT_FALSE(window_.isNull());  // the run returned into a live window
  EXPECT_EQ(SentCodes(), (Codes{"ST", "CL"}));
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(window_.isNull());
  EXPECT_EQ(Ini("ErrorStop"), "0");
}

}  // namespace
}  // namespace quorel::testing

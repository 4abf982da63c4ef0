// The memory-dump window on real widgets: its load state and geometry, the
// presets, the address boxes' focus and keys, the search (button and F3)
// with double-byte text in the box, and Save: the file byte for byte
// against a golden file after a dump from the simulated device, the
// critical box for a path that cannot be written, and Cancel.
#include "testbench/form_mem_dump.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>

#include "channel/sim_channel_fixture.h"
#include "core/settings_file.h"

namespace quorel::testing {
namespace {

template <typename T>
T* Child(QWidget& w, const char* name) {
  T* c = w.findChild<T*>(QLatin1String(name));
  EXPECT_NE(c, nullptr) << name;
  return c;
}

void FocusOut(QWidget* w) {
  QFocusEvent e(QEvent::FocusOut, Qt::TabFocusReason);
  QApplication::sendEvent(w, &e);
}

void Key(QWidget* w, int key) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
  QApplication::sendEvent(w, &press);
}

class FormMEMDumpTest : public FakeChannelTest {
 protected:
  QLineEdit* start() { return Child<QLineEdit>(form_, "TxtAddStart"); }
  QLineEdit* end() { return Child<QLineEdit>(form_, "TxtAddEnd"); }
  QPlainTextEdit* dump() { return Child<QPlainTextEdit>(form_, "DumpHex"); }

  FormMEMDump form_{channel_};
};

TEST_F(FormMEMDumpTest, LoadStateAndTheDumpBoxFollowingTheWindowSize) {
  EXPECT_EQ(form_.windowTitle(), "MemoryDump");
  // Wider than designed where the row above the dump needs it in this font.
  EXPECT_EQ(form_.size(), QSize(std::max(612, form_.minimumWidth()), 674));
  EXPECT_EQ(start()->text(), "FF8800");
  EXPECT_EQ(end()->text(), "FFB2F0");
  EXPECT_EQ(Child<QLabel>(form_, "LbGetAdd")->text(), "FF8800");
  EXPECT_FALSE(Child<QPushButton>(form_, "Command2")->isEnabled());
  EXPECT_EQ(Child<QPushButton>(form_, "Command2")->toolTip(), "デバイスのデータを保存します。");
  EXPECT_EQ(Child<QPushButton>(form_, "CmdDumpStart")->text(), "Start");
  EXPECT_EQ(Child<QRadioButton>(form_, "Optadd_0")->toolTip(), "Mivor");
  EXPECT_EQ(Child<QRadioButton>(form_, "Optadd_1")->toolTip(), "Dastel");
  EXPECT_TRUE(dump()->toPlainText().isEmpty());
  form_.show();
  form_.resize(800, 500);
  EXPECT_EQ(dump()->geometry(), QRect(4, 66, 800 - 13, 500 - 73));
}

TEST_F(FormMEMDumpTest, PresetsSetBothAddresses) {
  Child<QRadioButton>(form_, "Optadd_1")->click();
  EXPECT_EQ(start()->text(), "618000");
  EXPECT_EQ(end()->text(), "618FFF");
  form_.OptaddClick(2);  // no such preset
  EXPECT_EQ(start()->text(), "618000");
  Child<QRadioButton>(form_, "Optadd_0")->click();
  EXPECT_EQ(start()->text(), "FF8800");
  EXPECT_EQ(end()->text(), "FFB2F0");
}

TEST_F(FormMEMDumpTest, LeavingAnAddressBoxGivesSixUpperCaseDigits) {
  start()->setText(QStringLiteral("ab12"));
  FocusOut(start());
  EXPECT_EQ(start()->text(), "00AB12");
  EXPECT_EQ(Child<QLabel>(form_, "LbGetAdd")->text(), "00AB12");
  end()->setText(QStringLiteral(" ff "));
  FocusOut(end());
  EXPECT_EQ(end()->text(), "0000FF");
  EXPECT_EQ(Child<QLabel>(form_, "LbGetAdd")->text(), "00AB12");
}

TEST_F(FormMEMDumpTest, EnterAndArrowKeysMoveTheFocusAlong) {
  form_.show();
  QApplication::setActiveWindow(&form_);
  start()->setFocus();
  ASSERT_TRUE(PumpUntilTrue([&] { return start()->hasFocus(); }, 1000));
  // Taking the focus selects the whole address.
  EXPECT_TRUE(PumpUntilTrue([&] { return start()->selectedText() == "FF8800"; }, 1000));
  Key(start(), Qt::Key_Return);
  EXPECT_TRUE(end()->hasFocus());
  Key(end(), Qt::Key_PageUp);
  EXPECT_TRUE(start()->hasFocus());
  Key(start(), Qt::Key_Down);
  Key(end(), Qt::Key_Enter);
  EXPECT_TRUE(Child<QPushButton>(form_, "CmdDumpStart")->hasFocus());
}

TEST_F(FormMEMDumpTest, FindGoesOnBehindEachMatchByCharacterAndEndsWithTheBox) {
  dump()->setPlainText(QString::fromUtf8("日本語 ab\n日本 AB xAb"));
  Child<QLineEdit>(form_, "TxtJumpFind")->setText(QStringLiteral("AB"));
  std::vector<std::pair<int, int>> selections;
  dialogs_.onBox = [&](const BoxRequest&) {
    const QTextCursor c = dump()->textCursor();
    selections.emplace_back(c.selectionStart(), c.selectionEnd());
  };
  const QString next = QStringLiteral("次を検索しますか?");
  for (int i = 0; i < 3; ++i) dialogs_.ExpectBox(QStringLiteral("Quorel"), next, BoxAnswer::kYes);
  dialogs_.ExpectBox(QStringLiteral("MemoryDump"), QStringLiteral("検索文字列が見つかりませんでした"), BoxAnswer::kOk);
  Child<QPushButton>(form_, "CmdJumpFind")->click();
  EXPECT_EQ(selections, (std::vector<std::pair<int, int>>{{4, 6}, {10, 12}, {14, 16}, {0, 0}}));
  EXPECT_EQ(dialogs_.recorded().at(0).buttons, BoxButtons::kYesNo);
  EXPECT_EQ(dialogs_.recorded().at(3).icon, BoxIcon::kNone);
  // No: the match stays selected.
  dialogs_.ExpectBox(QStringLiteral("Quorel"), next, BoxAnswer::kNo);
  form_.JumpFind();
  EXPECT_EQ(dump()->textCursor().selectedText(), "ab");
}

TEST_F(FormMEMDumpTest, F3InTheDumpBoxFinds) {
  dump()->setPlainText(QStringLiteral("no match here"));
  Child<QLineEdit>(form_, "TxtJumpFind")->setText(QStringLiteral("zz"));
  dialogs_.ExpectBox(QStringLiteral("MemoryDump"), QStringLiteral("検索文字列が見つかりませんでした"), BoxAnswer::kOk);
  Key(dump(), Qt::Key_F3);
  EXPECT_EQ(dialogs_.pending(), 0u);
}

TEST_F(FormMEMDumpTest, APathThatCannotBeWrittenGivesTheCriticalBoxWithPathAndReason) {
  dump()->setPlainText(QStringLiteral("line"));
  TempDir dir;
  const QString path = dir.file(QStringLiteral("missing/MemDum.txt"));
  dialogs_.ExpectSaveFile(path);
  dialogs_.ExpectBox(
      QStringLiteral("MemoryDump"),
      QStringLiteral("ファイルを保存できませんでした。\r\n") + path + QStringLiteral("\r\nNo such file or directory"),
      BoxAnswer::kOk);
  form_.SaveClick();
  EXPECT_EQ(dialogs_.recorded().back().icon, BoxIcon::kCritical);
  EXPECT_FALSE(QFile::exists(path));
}

TEST_F(FormMEMDumpTest, CancelInTheSaveDialogWritesNothing) {
  mm().gLogOutPath = QStringLiteral("  /some/folder ");
  dialogs_.ExpectSaveFile(QString());
  form_.SaveClick();
  ASSERT_EQ(dialogs_.recorded().size(), 1u);
  EXPECT_EQ(dialogs_.recorded()[0].title, "ファイルパス検索");
  EXPECT_EQ(dialogs_.recorded()[0].text, "/some/folder");  // the folder offered
}

TEST_F(FormMEMDumpTest, TheAdministratorBoxWritesItsKeyInTheNumberedSection) {
  TempDir dir;
  mm().gIniPath = dir.file(QStringLiteral("Quorel.ini"));
  mm().gInstanceNo = 1;
  auto* box = Child<QCheckBox>(form_, "ChkAdminiMode");
  box->click();
  EXPECT_EQ(mm().gAdminMode, 1);
  EXPECT_EQ(ReadIni(QStringLiteral("Form1"), QStringLiteral("BRELLAN_G"), mm().gIniPath), "quildermans40127");
  box->click();
  EXPECT_EQ(mm().gAdminMode, 0);
  EXPECT_EQ(ReadIni(QStringLiteral("Form1"), QStringLiteral("BRELLAN_G"), mm().gIniPath), "brellan");
}

// A dump from the simulated device, saved through the window.
class FormMEMDumpSim : public SimChannelTest {
 protected:
  FormMEMDump form_{channel_};
};

TEST_F(FormMEMDumpSim, SaveWritesHeaderLinesAndCrLfByteForByte) {
  Open();
  form_.findChild<QLineEdit*>(QStringLiteral("TxtAddEnd"))->setText(QStringLiteral("FF8830"));
  form_.findChild<QCheckBox*>(QStringLiteral("ChkDumpMonitor"))->setChecked(true);
  auto* save = form_.findChild<QPushButton*>(QStringLiteral("Command2"));
  form_.findChild<QPushButton*>(QStringLiteral("CmdDumpStart"))->click();
  EXPECT_EQ(form_.findChild<QLabel*>(QStringLiteral("LbGetAdd"))->text().left(7), "FF8820:");
  ASSERT_TRUE(save->isEnabled());
  const QString path = dir_.file(QStringLiteral("dump.txt"));
  dialogs_.ExpectSaveFile(path);
  save->click();
  QFile written(path), golden(QStringLiteral(QUOREL_TESTBENCH_GOLDEN_DIR "/MemDum_FF8800-FF8830.txt"));
  ASSERT_TRUE(written.open(QIODevice::ReadOnly));
  ASSERT_TRUE(golden.open(QIODevice::ReadOnly));
  EXPECT_EQ(written.readAll(), golden.readAll());
}

TEST_F(FormMEMDumpSim, TheWindowIsLockedWhileADumpRunsAndFreeAfterAFailedOne) {
  Open();
  auto* startBox = form_.findChild<QLineEdit*>(QStringLiteral("TxtAddStart"));
  bool lockedDuring = false;
  Control("memory fail 41 2");
  QTimer probe;
  QObject::connect(&probe, &QTimer::timeout, [&] {
    if (form_.job().Running()) lockedDuring |= startBox->isReadOnly();
  });
  probe.start(0);
  form_.findChild<QPushButton*>(QStringLiteral("CmdDumpStart"))->click();
  probe.stop();
  EXPECT_TRUE(lockedDuring);
  EXPECT_FALSE(startBox->isReadOnly());
  EXPECT_TRUE(form_.findChild<QRadioButton*>(QStringLiteral("Optadd_0"))->isEnabled());
  EXPECT_TRUE(form_.findChild<QPushButton*>(QStringLiteral("Command2"))->isEnabled());  // two lines to save
  EXPECT_EQ(form_.findChild<QPushButton*>(QStringLiteral("CmdDumpStart"))->text(), "Start");
}

}  // namespace
}  // namespace quorel::testing

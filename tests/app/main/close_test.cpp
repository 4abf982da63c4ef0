// The close sequence: the keys it saves per instance, the instance counter,
// the custom commands after a display reset, closing while a command waits
// for a slow device (no window goes while its handler runs), and SIGTERM and
// SIGINT, which close a running copy as its close box does.
#include <signal.h>

#include <QProcess>
#include <QPushButton>
#include <QThread>
#include <QtTest/QTest>

#include "core/instance_locks.h"
#include "core/main_menus.h"
#include "core/window_registry.h"
#include "main_window_fixture.h"

namespace quorel {
namespace {

class Close : public testing::MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    FreshSettings();
  }
  void SetCustomCommands() {
    for (int i = 0; i <= 4; ++i) ui().SetText(QStringLiteral("TxtCustomSendCmd"), i, QStringLiteral("VS%1").arg(i));
  }
  void CloseNow() {
    form_->close();
    ASSERT_TRUE(testing::PumpUntilTrue([this] { return form_.isNull(); }, 3000));
  }
};

TEST_F(Close, InstanceZeroKeepsTheCounterAndSavesItsKeys) {
  WriteIni(QStringLiteral("MultiFormTab"), QStringLiteral("Counter"), QStringLiteral("0"), ini_);
  Start();
  ASSERT_EQ(mm().gInstanceNo, 0);
  SetCustomCommands();
  ui().SetValue(QStringLiteral("ChkCardKind"), 2, 1);
  ui().SetValue(QStringLiteral("OpSenV"), 1, 1);
  ui().SetValue(QStringLiteral("ChkPWETAuto"), 1);
  const QPoint at = form_->pos();
  CloseNow();
  EXPECT_EQ(mm().gAppClosing, 1);
  EXPECT_EQ(mm().gStopRequest, 1);
  EXPECT_EQ(Read(QStringLiteral("MultiFormTab"), QStringLiteral("Counter")), QStringLiteral("0"));
  EXPECT_EQ(Read(QStringLiteral("Display"), QStringLiteral("Left")), QString::number(at.x() * 15));
  EXPECT_EQ(Read(QStringLiteral("Display"), QStringLiteral("Top")), QString::number(at.y() * 15));
  EXPECT_EQ(Read(QStringLiteral("Form"), QStringLiteral("CustomCmd4")), QStringLiteral("VS4"));
  EXPECT_EQ(Read(QStringLiteral("Form"), QStringLiteral("ChkCardKind2")), QStringLiteral("1"));
  EXPECT_EQ(Read(QStringLiteral("Form"), QStringLiteral("CenVolt")), QStringLiteral("1"));
  EXPECT_EQ(Read(QStringLiteral("Form"), QStringLiteral("PWETAutoChk")), QStringLiteral("1"));
}

TEST_F(Close, InstanceTwoCountsTheCounterDownAndSavesInItsOwnSections) {
  // Copies 0 and 1 run (their locks are held here).
  InstanceLocks zero(InstanceLocks::DirFor(prog_)), one(InstanceLocks::DirFor(prog_));
  {
    const InstanceLocks::Guard g(zero);
    ASSERT_TRUE(zero.Take(0));
    ASSERT_TRUE(one.Take(1));
  }
  WriteIni(QStringLiteral("MultiFormTab"), QStringLiteral("Counter"), QStringLiteral("1"), ini_);
  WriteIni(QStringLiteral("MultiFormTab"), QStringLiteral("MaxCounter"), QStringLiteral("1"), ini_);
  Start();
  ASSERT_EQ(mm().gInstanceNo, 2);
  ASSERT_EQ(Read(QStringLiteral("MultiFormTab"), QStringLiteral("Counter")), QStringLiteral("2"));
  SetCustomCommands();
  CloseNow();
  EXPECT_EQ(Read(QStringLiteral("MultiFormTab"), QStringLiteral("Counter")), QStringLiteral("1"));
  EXPECT_FALSE(Read(QStringLiteral("Display2"), QStringLiteral("Left")).isEmpty());
  EXPECT_EQ(Read(QStringLiteral("Form2"), QStringLiteral("CustomCmd0")), QStringLiteral("VS0"));
  EXPECT_EQ(Read(QStringLiteral("Form2"), QStringLiteral("CustomCmd3")), QStringLiteral("VS3"));
  EXPECT_TRUE(Read(QStringLiteral("Display"), QStringLiteral("Left")).isEmpty());
  EXPECT_TRUE(Read(QStringLiteral("Form"), QStringLiteral("CustomCmd0")).isEmpty());
}

TEST_F(Close, AnotherWindowsDisplayResetKeepsTheCustomCommandsAndDspClearDoesNot) {
  Start();
  SetCustomCommands();
  form_->labelInit();  // as the memory-switch window calls it
  EXPECT_EQ(ui().Text(QStringLiteral("TxtCustomSendCmd"), 1), QStringLiteral("VS1"));
  CloseNow();
  EXPECT_EQ(Read(QStringLiteral("Form"), QStringLiteral("CustomCmd1")), QStringLiteral("VS1"));

  // "DSPclear" empties them, and the close stores them empty.
  mm() = MainModule{};
  Start();
  SetCustomCommands();
  ui().Get<QPushButton>(QStringLiteral("Command54"))->click();
  CloseNow();
  EXPECT_EQ(Read(QStringLiteral("Form"), QStringLiteral("CustomCmd1")), QString());
}

// A tool window whose handler sends a command and, after the wait, still
// uses itself.
class Sender : public QWidget {
 public:
  explicit Sender(MainForm& main) : main_(main) { setObjectName(QStringLiteral("FormFile")); }
  void Send() {
    mm().gSendCommand = QStringLiteral("VS");
    main_.comu();
    resumed = true;
    setWindowTitle(QStringLiteral("after the wait"));  // would touch a destroyed window
  }
  bool resumed = false;

 private:
  MainForm& main_;
};

TEST_F(Close, ClosingWhileACommandWaitsKeepsEveryWindowUntilItsHandlerReturns) {
  StartDevice();
  Start();
  QPointer<Sender> sender = new Sender(*form_);
  form_->windows().Register(QStringLiteral("FormFile"), ShowMode::kModeless, [s = sender.data()] { return s; });
  form_->menus().Item(QStringLiteral("fileAccess"))->trigger();
  ASSERT_TRUE(sender->isVisible());
  ui().Get<QPushButton>(QStringLiteral("Command1"), 0)->click();  // opens the port
  ASSERT_TRUE(mm().gPortOpen);
  Control("busy 5000 always");  // the device answers "executing" for a long while

  // The main window's own handler: "VS" waits; the window is closed meanwhile.
  QTimer::singleShot(300, form_.data(), [this] { form_->close(); });
  ui().Get<QPushButton>(QStringLiteral("Command1"), 21)->click();
  EXPECT_FALSE(form_.isNull());  // still there when its handler returned
  EXPECT_EQ(mm().gAppClosing, 1);
  EXPECT_FALSE(form_->isVisible());
  EXPECT_FALSE(sender->isVisible());  // closed with it
  ASSERT_TRUE(testing::PumpUntilTrue([&] { return form_.isNull() && sender.isNull(); }, 3000));
}

TEST_F(Close, ClosingWhileAToolWindowsHandlerWaitsKeepsThatWindow) {
  StartDevice();
  Start();
  QPointer<Sender> sender = new Sender(*form_);
  form_->windows().Register(QStringLiteral("FormFile"), ShowMode::kModeless, [s = sender.data()] { return s; });
  form_->menus().Item(QStringLiteral("fileAccess"))->trigger();
  form_->commIni();
  ASSERT_TRUE(mm().gPortOpen);
  Control("busy 5000 always");
  QTimer::singleShot(300, form_.data(), [this] { form_->close(); });
  sender->Send();
  ASSERT_FALSE(sender.isNull());
  EXPECT_TRUE(sender->resumed);
  EXPECT_FALSE(form_.isNull());
  ASSERT_TRUE(testing::PumpUntilTrue([&] { return form_.isNull() && sender.isNull(); }, 3000));
}

// A real copy of the program ended by a signal.
void EndedBySignal(int sig) {
  testing::TempDir dir;
  const QString prog = dir.file(QStringLiteral("prog"));
  QDir().mkpath(prog);
  QProcess copy;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("QUOREL_PROGRAM_DIR"), prog);
  env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  env.insert(QStringLiteral("HOME"), dir.path());
  copy.setProcessEnvironment(env);
  copy.start(QStringLiteral(QUOREL_EXE), {});
  ASSERT_TRUE(copy.waitForStarted(10000));
  // A signal as soon as the copy holds its instance number, so also while its
  // main window is still being built.
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < 20000 && HeldInstanceNumbers(InstanceLocks::DirFor(prog)).empty()) QThread::msleep(5);
  ASSERT_EQ(0, ::kill(static_cast<pid_t>(copy.processId()), sig));
  ASSERT_TRUE(copy.waitForFinished(20000));
  EXPECT_EQ(copy.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(copy.exitCode(), 0);
  // The close sequence ran: it saved the window's keys.
  EXPECT_FALSE(
      ReadIni(QStringLiteral("Display"), QStringLiteral("Left"), prog + QStringLiteral("/Quorel.ini")).isEmpty());
  EXPECT_TRUE(HeldInstanceNumbers(InstanceLocks::DirFor(prog)).empty());
}

TEST(Signals, SigtermClosesTheProgramAsItsCloseBoxDoes) { EndedBySignal(SIGTERM); }
TEST(Signals, SigintClosesTheProgramAsItsCloseBoxDoes) { EndedBySignal(SIGINT); }

}  // namespace
}  // namespace quorel

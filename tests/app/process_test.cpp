// Real copies of the program side by side: the files a first start writes,
// and the instance numbers copies take and give up. The program's test hook
// QUOREL_EXIT_AFTER_MS closes each copy's main window after a while, as the
// user would.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "core/instance_locks.h"
#include "core/settings_file.h"
#include "temp_dir.h"

namespace quorel {
namespace {

QByteArray ReadAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class Copies : public ::testing::Test {
 protected:
  void SetUp() override {
    prog_ = dir_.file(QStringLiteral("prog"));
    home_ = dir_.file(QStringLiteral("home"));
    QDir().mkpath(prog_);
    QDir().mkpath(home_);
    QDir().mkpath(home_ + QStringLiteral("/run"));
    QFile::setPermissions(home_ + QStringLiteral("/run"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  }
  void TearDown() override {
    for (auto& p : copies_) {
      p->kill();
      p->waitForFinished(5000);
    }
  }

  // A copy that closes its main window exitAfterMs after its start, or with
  // kRunsOn one that runs until the test ends it.
  static constexpr int kRunsOn = -1;
  QProcess* StartCopy(int exitAfterMs) {
    auto p = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("QUOREL_PROGRAM_DIR"), prog_);
    if (exitAfterMs != kRunsOn) env.insert(QStringLiteral("QUOREL_EXIT_AFTER_MS"), QString::number(exitAfterMs));
    env.insert(QStringLiteral("HOME"), home_);
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home_ + QStringLiteral("/.config"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home_ + QStringLiteral("/run"));
    p->setProcessEnvironment(env);
    p->setProcessChannelMode(QProcess::ForwardedChannels);
    p->start(QStringLiteral(QUOREL_EXE), {});
    EXPECT_TRUE(p->waitForStarted(10000));
    copies_.push_back(std::move(p));
    return copies_.back().get();
  }

  // Waits until exactly these instance numbers are held (a copy starts in
  // well under a second on a quiet machine).
  bool WaitHeld(const std::vector<int>& expected) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 60000) {
      if (HeldInstanceNumbers(prog_) == expected) return true;
      QThread::msleep(20);
    }
    return false;
  }

  static void ExpectCleanExit(QProcess* p) {
    ASSERT_TRUE(p->waitForFinished(60000));
    EXPECT_EQ(p->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p->exitCode(), 0);
  }

  QString Read(const QString& section, const QString& key) {
    return ReadIni(section, key, prog_ + QStringLiteral("/Quorel.ini"));
  }

  testing::TempDir dir_;
  QString prog_, home_;
  std::vector<std::unique_ptr<QProcess>> copies_;
};

QByteArray Golden(const char* name, const QString& prog, const QString& desktop) {
  QByteArray g = ReadAll(QStringLiteral(QUOREL_GOLDEN_DIR "/") + QLatin1String(name));
  g.replace("@PROGRAM_DIR@", prog.toUtf8());
  g.replace("@DESKTOP@", desktop.toUtf8());
  return g;
}

// The golden defaults with the keys the main window adds in a first run: its
// load writes the card-kind boxes and RS_Mode, its close the fifth custom
// command and [Display] (the window's place, read back from the file).
QByteArray AfterFirstRun(QByteArray golden, const QString& ini) {
  golden.replace("Jitter1=0\r\n[EEPROM]",
                 "Jitter1=0\r\nChkCardKind0=0\r\nChkCardKind1=0\r\nChkCardKind2=0\r\nRS_Mode=0\r\n"
                 "CustomCmd4=\r\n[EEPROM]");
  golden += "[Display]\r\nLeft=" + ReadIni(QStringLiteral("Display"), QStringLiteral("Left"), ini).toLatin1() +
            "\r\nTop=" + ReadIni(QStringLiteral("Display"), QStringLiteral("Top"), ini).toLatin1() + "\r\n";
  return golden;
}

TEST_F(Copies, FirstStartInAnEmptyFolderWritesTheGoldenProgramSettings) {
  ExpectCleanExit(StartCopy(100));
  const QString ini = prog_ + QStringLiteral("/Quorel.ini");
  const QByteArray quorel = ReadAll(ini);
  EXPECT_EQ(quorel.toStdString(), AfterFirstRun(Golden("Quorel.ini", prog_, home_), ini).toStdString());
  ExpectCleanExit(StartCopy(100));  // a copy started alone changes nothing
  EXPECT_EQ(ReadAll(prog_ + QStringLiteral("/Quorel.ini")), quorel);
}

TEST_F(Copies, FirstStartInAnEmptyFolderWritesTheGoldenLibrarySettings) {
  const QByteArray golden = Golden("Vantor.ini", prog_, home_);
  ExpectCleanExit(StartCopy(100));
  EXPECT_EQ(ReadAll(prog_ + QStringLiteral("/Vantor.ini")).toStdString(), golden.toStdString());
  ExpectCleanExit(StartCopy(100));  // Version is written again on every start
  EXPECT_EQ(ReadAll(prog_ + QStringLiteral("/Vantor.ini")).toStdString(), golden.toStdString());
}

TEST_F(Copies, SecondCopyTakesInstanceOneAndGivesItBack) {
  StartCopy(kRunsOn);
  ASSERT_TRUE(WaitHeld({0}));
  QProcess* second = StartCopy(kRunsOn);
  ASSERT_TRUE(WaitHeld({0, 1}));
  EXPECT_EQ(Read(QStringLiteral("MultiFormTab"), QStringLiteral("Counter")), QStringLiteral("1"));
  EXPECT_EQ(Read(QStringLiteral("MultiFormTab"), QStringLiteral("MaxCounter")), QStringLiteral("1"));
  EXPECT_EQ(Read(QStringLiteral("Comm1"), QStringLiteral("Port")), QStringLiteral("2"));
  EXPECT_EQ(Read(QStringLiteral("Comm"), QStringLiteral("Port")), QStringLiteral("1"));
  EXPECT_EQ(Read(QStringLiteral("FormFile1"), QStringLiteral("Dat_File")), QStringLiteral("Sample.dat"));
  second->terminate();  // closes it as its close box does
  ExpectCleanExit(second);
  EXPECT_EQ(Read(QStringLiteral("MultiFormTab"), QStringLiteral("Counter")), QStringLiteral("0"));
  EXPECT_TRUE(WaitHeld({0}));
}

TEST_F(Copies, ANewCopyNeverTakesTheNumberOfARunningOne) {
  StartCopy(kRunsOn);
  ASSERT_TRUE(WaitHeld({0}));
  QProcess* middle = StartCopy(kRunsOn);
  ASSERT_TRUE(WaitHeld({0, 1}));
  StartCopy(kRunsOn);
  ASSERT_TRUE(WaitHeld({0, 1, 2}));
  middle->terminate();
  ExpectCleanExit(middle);
  EXPECT_EQ(Read(QStringLiteral("MultiFormTab"), QStringLiteral("Counter")), QStringLiteral("2"));
  StartCopy(kRunsOn);
  ASSERT_TRUE(WaitHeld({0, 1, 2}));  // the freed 1, not 2 again
  EXPECT_EQ(Read(QStringLiteral("MultiFormTab"), QStringLiteral("Counter")), QStringLiteral("1"));
  EXPECT_EQ(Read(QStringLiteral("MultiFormTab"), QStringLiteral("MaxCounter")), QStringLiteral("2"));
}

TEST_F(Copies, ACrashedCopyLeavesItsNumberFree) {
  QProcess* first = StartCopy(kRunsOn);
  ASSERT_TRUE(WaitHeld({0}));
  StartCopy(kRunsOn);
  ASSERT_TRUE(WaitHeld({0, 1}));
  first->kill();  // no exit handler runs
  ASSERT_TRUE(first->waitForFinished(10000));
  ASSERT_TRUE(WaitHeld({1}));
  StartCopy(kRunsOn);
  EXPECT_TRUE(WaitHeld({0, 1}));
}

}  // namespace
}  // namespace quorel

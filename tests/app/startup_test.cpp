// Main in this process: what it reads from and writes into the settings
// files, and the instance number it takes while another copy runs (a lock
// held by the test stands for that copy).
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QWidget>

#include <gtest/gtest.h>

#include "core/instance_locks.h"
#include "core/main_module.h"
#include "core/settings_file.h"
#include "core/startup.h"
#include "temp_dir.h"

namespace quorel {
namespace {

class Startup : public ::testing::Test {
 protected:
  void SetUp() override {
    mm() = MainModule{};
    home_ = dir_.file(QStringLiteral("home"));
    QDir().mkpath(home_);
    prog_ = dir_.file(QStringLiteral("prog"));
    QDir().mkpath(prog_);
    qputenv("HOME", home_.toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (home_ + QStringLiteral("/.config")).toLocal8Bit());
    qputenv("QUOREL_PROGRAM_DIR", prog_.toLocal8Bit());
    ini_ = prog_ + QStringLiteral("/Quorel.ini");
    dllIni_ = prog_ + QStringLiteral("/Vantor.ini");
  }
  void TearDown() override {
    if (form_) form_->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  void Start() { form_ = Main(); }
  QString Read(const QString& section, const QString& key, const QString& file = QString()) {
    return ReadIni(section, key, file.isEmpty() ? ini_ : file);
  }
  void Write(const QString& section, const QString& key, const QString& value) {
    WriteIni(section, key, value, ini_);
  }

  testing::TempDir dir_;
  QString home_, prog_, ini_, dllIni_;
  QWidget* form_ = nullptr;
};

TEST_F(Startup, FirstStartLoadsTheDefaults) {
  Start();
  const MainModule& m = mm();
  EXPECT_EQ(m.gInstanceNo, 0);
  EXPECT_EQ(m.gPort, 1);
  EXPECT_EQ(m.gBoud, 9600);
  EXPECT_EQ(m.gParity, QStringLiteral("E"));
  EXPECT_EQ(m.gDataBit, 8);
  EXPECT_EQ(m.gUseDSR, 1);
  EXPECT_EQ(m.gUseCTS, 1);
  EXPECT_EQ(m.gAckTimer, 1000);
  EXPECT_EQ(m.gRespTimer, 1000);
  EXPECT_EQ(m.gNakRetry, 3);
  EXPECT_EQ(m.gAckNakTimeoutRetry, 3);
  EXPECT_EQ(m.gRespTimeoutRetry, 3);
  EXPECT_EQ(m.gEvtFlags, (std::array<int16_t, 10>{0, 0, 1, 1, 1, 0, 1, 0, 1, 0}));
  EXPECT_EQ(m.gDataPath, prog_ + QStringLiteral("/"));
  EXPECT_EQ(m.gLogOutPath, home_);  // no Desktop folder: the home folder
  EXPECT_EQ(m.gDesktopPath, home_);
  EXPECT_EQ(m.gDllVersion, QStringLiteral(" File Not Found !! "));
  EXPECT_EQ(m.gDllLogging, QStringLiteral("-1"));
  EXPECT_EQ(m.gAdminMode, 0);
  EXPECT_EQ(m.gIniPath, ini_);
  EXPECT_EQ(m.gESC, QString(QChar(27)));
  EXPECT_EQ(m.gSOH, QString(QChar(1)));
  EXPECT_EQ(QDir::currentPath(), QDir(prog_).canonicalPath());
  EXPECT_EQ(form_->objectName(), QStringLiteral("MainForm"));
  EXPECT_TRUE(form_->isVisible());
  EXPECT_EQ(Read(QStringLiteral("Log"), QStringLiteral("LogFileName"), dllIni_), home_ + QStringLiteral("/Vantor_%03d.log"));
  EXPECT_EQ(Read(QStringLiteral("MultiFormTab"), QStringLiteral("Counter")), QString());  // a lone copy writes nothing
}

TEST_F(Startup, DesktopFolderWhenItExists) {
  QDir().mkpath(home_ + QStringLiteral("/Desktop"));
  Start();
  EXPECT_EQ(mm().gDesktopPath, home_ + QStringLiteral("/Desktop"));
  EXPECT_EQ(mm().gLogOutPath, home_ + QStringLiteral("/Desktop"));
}

TEST_F(Startup, LibraryVersionFromTheLibraryFile) {
  QFile lib(prog_ + QStringLiteral("/libvantor.so"));
  ASSERT_TRUE(lib.open(QIODevice::WriteOnly));
  lib.write(QByteArray("\x7F" "ELF...", 7) + QByteArray("@(#)VANTOR-FILE-VERSION:") + QByteArray("2.10.0.7", 8) +
            QByteArray(1, '\0') + QByteArray("tail"));
  lib.close();
  Start();
  EXPECT_EQ(mm().gDllVersion, QStringLiteral("2.10.0.7"));
  EXPECT_EQ(Read(QStringLiteral("Application"), QStringLiteral("Version"), dllIni_), QStringLiteral("2.10.0.7"));
}

TEST_F(Startup, OlderFileGetsTheNewKeysAndKeepsItsValues) {
  Write(QStringLiteral("Application"), QStringLiteral("App"), QStringLiteral("Quorel"));
  Write(QStringLiteral("Comm"), QStringLiteral("Port"), QStringLiteral("5"));
  Write(QStringLiteral("Comm"), QStringLiteral("Boud"), QStringLiteral("99999999999"));
  Write(QStringLiteral("Comm"), QStringLiteral("Parity"), QStringLiteral("1"));
  Write(QStringLiteral("Comm"), QStringLiteral("NakRetry"), QStringLiteral("-1"));
  Write(QStringLiteral("Comm"), QStringLiteral("DataBit"), QStringLiteral("7bits"));
  Write(QStringLiteral("Comm"), QStringLiteral("RespTimeoutMsgFlag"), QStringLiteral("1"));
  Write(QStringLiteral("Comm"), QStringLiteral("RespTimeoutRetry"), QStringLiteral("-1"));
  Write(QStringLiteral("Path"), QStringLiteral("LogOutPath"), QStringLiteral("/var/log/q"));
  Write(QStringLiteral("Form"), QStringLiteral("BRELLAN_G"), QStringLiteral("quildermans40127"));
  Start();
  const MainModule& m = mm();
  EXPECT_EQ(m.gPort, 5);
  EXPECT_EQ(m.gBoud, 2147483647);  // clamped, not wrapped
  EXPECT_EQ(m.gParity, QStringLiteral("O"));
  EXPECT_EQ(m.gNakRetry, -1);
  EXPECT_EQ(m.gDataBit, 7);
  EXPECT_EQ(Read(QStringLiteral("Comm"), QStringLiteral("AckNakTimeoutMsgFlag")), QStringLiteral("0"));
  EXPECT_EQ(Read(QStringLiteral("Comm"), QStringLiteral("AckNakTimeoutRetry")), QStringLiteral("3"));
  EXPECT_EQ(m.gAckNakTimeoutRetry, 3);
  EXPECT_EQ(m.gRespTimeoutMsgFlag, 1);  // present: the response keys stay as they are
  EXPECT_EQ(m.gRespTimeoutRetry, -1);
  EXPECT_EQ(Read(QStringLiteral("Comm"), QStringLiteral("AckRetryWaitTimer")), QString());
  EXPECT_EQ(m.gLogOutPath, QStringLiteral("/var/log/q"));
  EXPECT_EQ(m.gDataPath, prog_ + QStringLiteral("/log"));  // [Path] Data empty
  EXPECT_EQ(m.gAdminMode, 1);
  EXPECT_EQ(m.gEvtFlags, (std::array<int16_t, 10>{}));
  // The library file was missing: its defaults, with the bare log name since
  // the log folder is unknown when they are written.
  EXPECT_EQ(Read(QStringLiteral("Log"), QStringLiteral("LogFileName"), dllIni_), QStringLiteral("Vantor_%03d.log"));
}

TEST_F(Startup, AdministratorMarkerIsCaseSensitiveAndParityStrict) {
  Write(QStringLiteral("Application"), QStringLiteral("App"), QStringLiteral("Quorel"));
  Write(QStringLiteral("Form"), QStringLiteral("BRELLAN_G"), QStringLiteral("Quildermans40127"));
  Write(QStringLiteral("Comm"), QStringLiteral("Parity"), QStringLiteral("3"));
  Start();
  EXPECT_EQ(mm().gAdminMode, 0);
  EXPECT_EQ(mm().gParity, QString());
}

TEST_F(Startup, ForeignFilesAreRewritten) {
  Write(QStringLiteral("Application"), QStringLiteral("App"), QStringLiteral("quorel"));
  Write(QStringLiteral("Comm"), QStringLiteral("Port"), QStringLiteral("9"));
  WriteIni(QStringLiteral("Application"), QStringLiteral("Name"), QStringLiteral("Other"), dllIni_);
  Start();
  EXPECT_EQ(mm().gPort, 1);
  EXPECT_EQ(Read(QStringLiteral("Application"), QStringLiteral("App")), QStringLiteral("Quorel"));
  EXPECT_EQ(Read(QStringLiteral("Application"), QStringLiteral("Name"), dllIni_), QStringLiteral("VantorDLL INI File"));
}

TEST_F(Startup, ACopyStartedWhileAnotherRunsTakesTheNextNumber) {
  InstanceLocks other(prog_);  // copy 0, running
  {
    const InstanceLocks::Guard guard(other);
    ASSERT_TRUE(other.Take(0));
  }
  Write(QStringLiteral("Application"), QStringLiteral("App"), QStringLiteral("Quorel"));
  Write(QStringLiteral("Comm"), QStringLiteral("Port"), QStringLiteral("4"));
  Start();
  EXPECT_EQ(mm().gInstanceNo, 1);
  EXPECT_EQ(Read(QStringLiteral("MultiFormTab"), QStringLiteral("Counter")), QStringLiteral("1"));
  EXPECT_EQ(Read(QStringLiteral("MultiFormTab"), QStringLiteral("MaxCounter")), QStringLiteral("1"));
  EXPECT_EQ(Read(QStringLiteral("Comm1"), QStringLiteral("Port")), QStringLiteral("2"));
  EXPECT_EQ(mm().gPort, 2);  // from its own numbered section
  EXPECT_EQ(Read(QStringLiteral("Comm"), QStringLiteral("Port")), QStringLiteral("4"));
  EXPECT_EQ(Read(QStringLiteral("Path1"), QStringLiteral("Data")), prog_ + QStringLiteral("/"));
  EXPECT_EQ(Read(QStringLiteral("COMEvent1"), QStringLiteral("6_EVT_DSR")), QStringLiteral("1"));
  EXPECT_EQ(Read(QStringLiteral("BMPDown1"), QStringLiteral("BufferSizeByte")), QStringLiteral("2048"));
  EXPECT_EQ(Read(QStringLiteral("Form1"), QStringLiteral("CenVolt")), QStringLiteral("0"));
  EXPECT_EQ(Read(QStringLiteral("FormFile1"), QStringLiteral("Dat_File")), QStringLiteral("Sample.dat"));
  EXPECT_EQ(Read(QStringLiteral("EEPROM1"), QStringLiteral("SSTab")), QStringLiteral("0"));
  EXPECT_EQ(HeldInstanceNumbers(prog_), (std::vector<int>{0, 1}));
  // Closing the window gives the number up: Counter names the copy still running.
  form_->close();
  form_ = nullptr;
  EXPECT_EQ(Read(QStringLiteral("MultiFormTab"), QStringLiteral("Counter")), QStringLiteral("0"));
  EXPECT_EQ(HeldInstanceNumbers(prog_), std::vector<int>{0});
}

TEST_F(Startup, AKnownNumberKeepsItsStoredSection) {
  InstanceLocks other(prog_);
  {
    const InstanceLocks::Guard guard(other);
    ASSERT_TRUE(other.Take(0));
  }
  Write(QStringLiteral("Application"), QStringLiteral("App"), QStringLiteral("Quorel"));
  Write(QStringLiteral("MultiFormTab"), QStringLiteral("MaxCounter"), QStringLiteral("3"));
  Write(QStringLiteral("Comm1"), QStringLiteral("Port"), QStringLiteral("7"));
  Start();
  EXPECT_EQ(mm().gInstanceNo, 1);
  EXPECT_EQ(mm().gPort, 7);  // not rewritten with defaults
  EXPECT_EQ(Read(QStringLiteral("MultiFormTab"), QStringLiteral("MaxCounter")), QStringLiteral("3"));
  EXPECT_EQ(Read(QStringLiteral("Form1"), QStringLiteral("CenVolt")), QString());
}

TEST_F(Startup, ALoneCopyTakesTheStoredCounter) {
  Write(QStringLiteral("Application"), QStringLiteral("App"), QStringLiteral("Quorel"));
  Write(QStringLiteral("MultiFormTab"), QStringLiteral("Counter"), QStringLiteral("2"));
  Write(QStringLiteral("Comm2"), QStringLiteral("Port"), QStringLiteral("3"));
  Start();
  EXPECT_EQ(mm().gInstanceNo, 2);
  EXPECT_EQ(mm().gPort, 3);
  form_->close();
  form_ = nullptr;
  EXPECT_EQ(Read(QStringLiteral("MultiFormTab"), QStringLiteral("Counter")), QStringLiteral("0"));
}

}  // namespace
}  // namespace quorel

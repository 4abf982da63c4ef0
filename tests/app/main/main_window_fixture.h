// The program started in this process on a scratch program folder: the real
// start procedure, the real library (linked into the folder, bound by name)
// and the in-process simulator on COM3. Settings are those of a fresh
// installation moved to COM3. A watchdog ends a test's waits after a long
// while as if the program closed, so a fault fails a test instead of hanging it.
#pragma once
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPointer>
#include <QTimer>
#include <QtTest/QTest>
#include <functional>
#include <string>
#include <vector>

#include "core/form_controls.h"
#include "core/main_form.h"
#include "core/main_module.h"
#include "core/settings_file.h"
#include "core/startup.h"
#include "sim/simulator.h"
#include "support/sim_device.h"
#include "support/watchdog.h"
#include "temp_dir.h"

namespace quorel::testing {

// Lets events run until pred holds or ms pass, as the program's main event
// loop would (so it is not one of the program's waits); whether it held.
inline bool PumpUntilTrue(const std::function<bool()>& pred, int ms) { return QTest::qWaitFor(pred, ms); }

inline void PumpFor(int ms) { QTest::qWait(ms); }

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // A machine without pseudo-terminals fails these tests, never skips them.
    ASSERT_TRUE(QFile::exists(QStringLiteral("/dev/ptmx"))) << "/dev/ptmx is missing: no pseudo-terminals";
    mm() = MainModule{};
    prog_ = dir_.file(QStringLiteral("prog"));
    dev_ = dir_.file(QStringLiteral("dev"));
    home_ = dir_.file(QStringLiteral("home"));
    for (const QString& d : {prog_, dev_, home_}) QDir().mkpath(d);
    qputenv("HOME", home_.toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (home_ + QStringLiteral("/.config")).toLocal8Bit());
    qputenv("QUOREL_PROGRAM_DIR", prog_.toLocal8Bit());
    qputenv("VANTOR_DEVICE_DIR", dev_.toLocal8Bit());
    ASSERT_TRUE(QFile::link(QStringLiteral(VANTOR_LIBRARY), prog_ + QStringLiteral("/libvantor.so")));
    ini_ = prog_ + QStringLiteral("/Quorel.ini");
    ArmWatchdog(watchdog_);
  }
  void TearDown() override {
    watchdog_.stop();
    if (form_) form_->close();
    PumpUntilTrue([this] { return form_.isNull(); }, 2000);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    sim_.Stop();
  }

  // A fresh installation's settings, on COM3 (the start procedure keeps them:
  // the file names the program).
  void FreshSettings(int port = 3) {
    QFile f(ini_);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QStringLiteral("[Application]\r\nApp=Quorel\r\n[Comm]\r\nPort=%1\r\nBoud=9600\r\nParity=2\r\n"
                           "DataBit=8\r\nStopBit=1\r\nDSR=1\r\nCTS=1\r\nAckTimer=1000\r\nRespTimer=1000\r\n"
                           "NakRetry=3\r\n[COMEvent]\r\n2_EVT_ERR_FRAME=1\r\n3_EVT_ERR_OVERRUN=1\r\n"
                           "4_EVT_ERR_PARITY=1\r\n6_EVT_DSR=1\r\n8_EVT_BREAK=1\r\n")
                .arg(port)
                .toLatin1());
  }
  void StartDevice(int com = 3) {
    std::string error;
    ASSERT_TRUE(sim_.Start({dev_.toStdString(), com, ""}, &error)) << error;
  }
  void Control(const std::string& line) { ASSERT_EQ("", sim_.Control(line)) << line; }
  // The start procedure: settings, instance number, the main window shown.
  void Start(int watchdogMs = kDeviceWatchdogMs) {
    form_ = qobject_cast<MainForm*>(Main());
    ASSERT_TRUE(form_);
    watchdog_.start(watchdogMs);
  }
  WidgetControls& ui() { return form_->controls(); }
  QString Read(const QString& section, const QString& key) { return ReadIni(section, key, ini_); }

  // The command frames the host sent since the transcript was cleared: the
  // bytes between STX and ETX.
  std::vector<QByteArray> Commands() const { return HostCommands(sim_); }

  TempDir dir_;
  QString prog_, dev_, home_, ini_;
  sim::Simulator sim_;
  QPointer<MainForm> form_;
  QTimer watchdog_;
};

}  // namespace quorel::testing

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
inline void PrintTo(const QByteArray& b, std::ostream* os) { *os << '"' << b.toStdString() << '"'; }
QT_END_NAMESPACE

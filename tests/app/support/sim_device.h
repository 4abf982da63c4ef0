// The simulated device for tests of the real channel and library: a folder
// with dev/ (the device's link) and work/ (the current folder while the
// test runs: the library's settings file and logs land there), the
// standard device on COM3, and what the host sent it.
#pragma once
#include <stdlib.h>
#include <unistd.h>

#include <QByteArray>
#include <QDir>
#include <QString>
#include <QTimer>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/main_module.h"
#include "sim/simulator.h"
#include "temp_dir.h"

namespace quorel::testing {

// The ACK and reply time-outs of the channel against the simulated device:
// ten times what its answer needs on a busy machine, so that no answer is
// lost to the machine's load.
constexpr int kAnswerTimeoutMs = 3000;
// Short ones, for the tests of a device that does not answer.
constexpr int kShortTimeoutMs = 300;

// Starts the standard device on COM3 under dir and makes dir/work the
// current folder (the one before goes to *oldCwd); the program folder,
// which holds the library, is programDir.
inline void StartDeviceOnCom3(const TempDir& dir, const char* programDir, sim::Simulator& sim, std::string* devDir,
                              QString* oldCwd) {
  ASSERT_EQ(access("/dev/ptmx", F_OK), 0) << "/dev/ptmx is missing: no pseudo-terminals";
  qputenv("QUOREL_PROGRAM_DIR", programDir);
  ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("dev")));
  ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("work")));
  *devDir = dir.file(QStringLiteral("dev")).toStdString();
  setenv("VANTOR_DEVICE_DIR", devDir->c_str(), 1);
  *oldCwd = QDir::currentPath();
  ASSERT_TRUE(QDir::setCurrent(dir.file(QStringLiteral("work"))));
  std::string error;
  ASSERT_TRUE(sim.Start({*devDir, 3, ""}, &error)) << error;
  ASSERT_EQ(sim.Control("device standard"), "");
}

// The end of such a test: the watchdog stopped, the port closed, the
// device stopped and the current folder back to the one before.
template <typename Channel>
void StopDevice(QTimer& watchdog, Channel& channel, sim::Simulator& sim, const QString& oldCwd) {
  watchdog.stop();
  mm().gAppClosing = 0;
  if (mm().gPortOpen) channel.commClose();
  sim.Stop();
  QDir::setCurrent(oldCwd);
}

// The command frames the host sent since the transcript was cleared: the
// bytes between STX and ETX (the BCC after ETX may be 03 too).
inline std::vector<QByteArray> HostCommands(const sim::Simulator& sim) {
  std::vector<QByteArray> out;
  for (const sim::TranscriptEntry& e : sim.Transcript()) {
    if (e.dir != sim::Dir::Host || e.tag.rfind("CMD", 0) != 0) continue;
    const QByteArray b(reinterpret_cast<const char*>(e.bytes.data()), static_cast<int>(e.bytes.size()));
    const int stx = b.indexOf('\x02');
    const int etx = b.indexOf('\x03', stx + 1);
    if (stx >= 0 && etx > stx) out.push_back(b.mid(stx + 1, etx - stx - 1));
  }
  return out;
}

}  // namespace quorel::testing

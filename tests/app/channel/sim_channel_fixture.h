// The channel on the real library, bound by name from the build's program
// folder, against the simulated device on COM3 (the standard device with a
// known version text). The time-outs are ten times what a device that
// answers needs on a busy machine, so no answer is lost to the machine's load;
// a test of the time-outs themselves sets them short. A machine without
// pseudo-terminals fails these tests.
#pragma once
#include <time.h>
#include <unistd.h>

#include <QDir>
#include <string>

#include "channel_fixture.h"
#include "core/link_api.h"
#include "sim/simulator.h"
#include "support/sim_device.h"
#include "support/watchdog.h"
#include "temp_dir.h"

namespace quorel::testing {

// CPU seconds of the calling thread (the GUI thread: the program's own cost).
inline double ThreadCpuSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

// CPU seconds of the whole process (the library's threads and the simulator too).
inline double ProcessCpuSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

class SimChannelTest : public ::testing::Test {
 protected:
  static constexpr const char* kVersion = "3210ABCD";

  void SetUp() override {
    DefaultChannelSettings();
    MainModule& m = mm();
    m.gAckTimer = kAnswerTimeoutMs;
    m.gRespTimer = kAnswerTimeoutMs;
    ASSERT_NO_FATAL_FAILURE(StartDeviceOnCom3(dir_, QUOREL_LIBRARY_DIR, sim_, &devDir_, &oldCwd_));
    Control(std::string("version ") + kVersion);
    ArmWatchdog(watchdog_);
    watchdog_.start(kDeviceWatchdogMs);
  }
  void TearDown() override { StopDevice(watchdog_, channel_, sim_, oldCwd_); }

  void Control(const std::string& line) { ASSERT_EQ(sim_.Control(line), "") << line; }
  void Open() {
    channel_.commIni();
    ASSERT_TRUE(mm().gPortOpen);
  }
  ComuOutcome Comu(const QString& command, const ComuOptions& options = {}) {
    mm().gSendCommand = command;
    return channel_.comu(options);
  }
  std::vector<QString> Log() const { return Entries(channel_.log().text()); }
  int Sent(const std::string& code) const { return sim_.CountTag(sim::Dir::Host, "CMD " + code); }

  QTimer watchdog_;
  TempDir dir_;
  std::string devDir_;
  QString oldCwd_;
  sim::Simulator sim_;
  HookedDialogs dialogs_;
  RecordingView view_;
  DeviceChannel channel_{Link(), view_};
};

}  // namespace quorel::testing

// The service sequences through the real channel and library against the
// simulated device on COM3: the channel shows its replies on a table of
// controls (as the main window shows them on its widgets), so the sequences
// read back what the channel decoded. A watchdog ends every wait after a
// while as if the program closed; a machine without pseudo-terminals fails.
#pragma once
#include <unistd.h>

#include <QByteArray>
#include <QDir>
#include <QTimer>
#include <string>
#include <vector>

#include "channel/channel_fixture.h"
#include "core/channel_view.h"
#include "core/job_host.h"
#include "core/link_api.h"
#include "main/fake_controls.h"
#include "sim/simulator.h"
#include "support/sim_device.h"
#include "support/watchdog.h"
#include "temp_dir.h"

namespace quorel::testing {

class ControlsView : public ChannelView {
 public:
  explicit ControlsView(FakeControls& ui) : ui_(ui) {}
  void Apply(const ControlUpdate& u) override {
    switch (u.property) {
      case DisplayProperty::kCaption:
      case DisplayProperty::kText: ui_.SetText(u.control, u.index, u.text); break;
      case DisplayProperty::kToolTip: ui_.SetToolTip(u.control, u.index, u.text); break;
      case DisplayProperty::kListIndex: ui_.SetListIndex(u.control, u.index, u.listIndex); break;
    }
  }
  QString CurrentText(const QString& control) const override { return ui_.Text(control); }
  void SetBackColor(const QString& control, uint32_t bgr) override { ui_.SetBackColor(control, -1, bgr); }
  void SetForeColor(const QString& control, uint32_t bgr) override { ui_.SetForeColor(control, -1, bgr); }
  void ShowLog(const QString&, const QString&) override {}
  void ShowRamClearProgress(const QString&, const QString&, float) override {}
  void StopSideTimers() override {}
  bool SensorRef33() const override { return ui_.Value(QStringLiteral("OpSenV"), 0) == 1; }
  bool CardKindFromMode() const override { return false; }
  QStringList CardKinds() const override { return {}; }
  QString CardKindText() const override { return {}; }

 private:
  FakeControls& ui_;
};

class DeviceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    DefaultChannelSettings();
    mm().gAckTimer = kAnswerTimeoutMs;
    mm().gRespTimer = kAnswerTimeoutMs;
    mm().gLF = QChar(10);
    mm().gESC = QChar(27);
    std::string devDir;
    ASSERT_NO_FATAL_FAILURE(StartDeviceOnCom3(dir_, QUOREL_LIBRARY_DIR, sim_, &devDir, &oldCwd_));
    ArmWatchdog(watchdog_);
    watchdog_.start(kDeviceWatchdogMs);
  }
  void TearDown() override { StopDevice(watchdog_, channel_, sim_, oldCwd_); }

  void Control(const std::string& line) { ASSERT_EQ(sim_.Control(line), "") << line; }
  void Open() {
    channel_.commIni();
    ASSERT_TRUE(mm().gPortOpen);
    ASSERT_EQ(channel_.poll(), ComuOutcome::kAnswered);
    sim_.ClearTranscript();
  }

  // The command frames the host sent since the transcript was cleared: the
  // bytes between STX and ETX.
  std::vector<QByteArray> Wire() const { return HostCommands(sim_); }
  // Wire frames that begin with prefix.
  std::vector<QByteArray> WireStarting(const char* prefix) const {
    std::vector<QByteArray> out;
    for (const QByteArray& b : Wire())
      if (b.startsWith(prefix)) out.push_back(b);
    return out;
  }
  int Sent(const std::string& code) const { return sim_.CountTag(sim::Dir::Host, "CMD " + code); }
  // The device's modes now, asked with "MR" on the channel.
  QString DeviceModes() {
    mm().gSendCommand = QStringLiteral("MR");
    EXPECT_EQ(channel_.comu(), ComuOutcome::kAnswered);
    return mm().gReplyText;
  }

  QTimer watchdog_;
  TempDir dir_;
  QString oldCwd_;
  sim::Simulator sim_;
  HookedDialogs dialogs_;
  FakeControls ui_;
  ControlsView view_{ui_};
  DeviceChannel channel_{Link(), view_};
  ChannelJobHost host_{channel_};
};

}  // namespace quorel::testing

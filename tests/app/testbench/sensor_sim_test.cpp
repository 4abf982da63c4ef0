// The sensor tab's loops on the real channel and library against the
// simulated device: the sheet wait and its stop, one bench job at a time,
// and readings from the device's A/D codes.
#include <gtest/gtest.h>

#include <QTimer>

#include "channel/sim_channel_fixture.h"
#include "core/job_host.h"
#include "main/fake_controls.h"
#include "testbench/bench_job.h"
#include "testbench/bench_settings.h"
#include "testbench/clock_test.h"
#include "testbench/sensor_test.h"

namespace quorel::testing {
namespace {

class SensorSim : public SimChannelTest {
 protected:
  void SetUp() override {
    SimChannelTest::SetUp();
    ApplyBenchDesignValues(ui_);
    ui_.SetText("CmdSensorVolt", -1, SensorTest::kStart);
    ui_.SetText("CmdetcValue", -1, SensorTest::kStart);
    Open();
  }
  FakeControls ui_;
  ChannelJobHost host_{channel_};
  BenchJobState state_;
  SensorTest test_{ui_, host_, state_};
};

TEST_F(SensorSim, StopDuringTheSheetWaitSendsCoButNoCi) {
  Control("card none");
  ui_.SetValue("ChkSenCIcmd", -1, 1);
  QTimer stopper;
  QString message;
  uint32_t lamp = 0;
  QObject::connect(&stopper, &QTimer::timeout, [&] {
    if (Sent("ST") >= 2 && ui_.Text("CmdSensorVolt") == SensorTest::kStop) {
      message = ui_.Text("LbSenMsg");
      lamp = ui_.Get("ShpSentest").back;
      test_.SensorClick();
    }
  });
  stopper.start(10);
  sim_.ClearTranscript();
  test_.SensorClick();
  EXPECT_EQ(message, "センサーシートを挿入してください");
  EXPECT_EQ(lamp, 0x80FF80u);
  EXPECT_EQ(Sent("CI"), 0);
  EXPECT_EQ(Sent("!! s"), 0);
  EXPECT_EQ(Sent("CO"), 1);
  EXPECT_EQ(ui_.Text("CmdSensorVolt"), "Start");
}

TEST_F(SensorSim, TheSensorLoopDoesNotStartWhileTheClockLoopRuns) {
  ClockTest clock(ui_, host_, state_);
  ui_.SetText("CmdTimeSynchronize", -1, ClockTest::kStart);
  ui_.SetValue("ChkClockCRWSet", -1, 0);
  QTimer presser;
  int step = 0;
  QString captionWhileClock;
  QObject::connect(&presser, &QTimer::timeout, [&] {
    if (Sent("CK") < 2) return;
    if (step == 0) {
      ++step;
      test_.SensorClick();  // ignored: the clock loop holds the channel
      captionWhileClock = ui_.Text("CmdSensorVolt");
    } else if (step == 1) {
      ++step;
      clock.Click();
    }
  });
  presser.start(10);
  sim_.ClearTranscript();
  clock.Click();
  EXPECT_EQ(step, 2);
  EXPECT_EQ(captionWhileClock, "Start");
  EXPECT_EQ(Sent("!! s"), 0);
  EXPECT_EQ(Sent("CO"), 1);
  EXPECT_EQ(ui_.Text("CmdTimeSynchronize"), "Start");
}

TEST_F(SensorSim, ASheetTakenInIsMeasuredAndPutOut) {
  Control("card insert");
  ui_.SetValue("ChkSenCIcmd", -1, 1);
  Control("adc 6667FCFDA0A0 00 90");
  QTimer stopper;
  QObject::connect(&stopper, &QTimer::timeout, [&] {
    if (Sent("!! s") >= 1 && ui_.Text("CmdSensorVolt") == SensorTest::kStop) test_.SensorClick();
  });
  stopper.start(10);
  sim_.ClearTranscript();
  test_.SensorClick();
  EXPECT_EQ(Sent("CI"), 1);
  EXPECT_EQ(Sent("CO"), 1);
  EXPECT_EQ(ui_.Text("LbSensorV", 1), "1.33");
  EXPECT_EQ(ui_.Text("LbSenJudge", 3), "NG");
  EXPECT_EQ(ui_.Text("LbSenTotalJudge"), "NG");
}

TEST_F(SensorSim, TheValuesLoopReadsHeadDataAndBattery) {
  Control("adc 6667FCFDA0A0 00 90");
  QTimer stopper;
  QObject::connect(&stopper, &QTimer::timeout, [&] {
    if (Sent("!! s") >= 1 && ui_.Text("CmdetcValue") == SensorTest::kStop) test_.ValuesClick();
  });
  stopper.start(10);
  test_.ValuesClick();
  EXPECT_EQ(ui_.Text("LbetcValue", 0), "25");
  EXPECT_EQ(ui_.Text("LbetcJudge", 0), "OK");
  EXPECT_EQ(ui_.Text("LbetcValue", 3), "2.80");
  EXPECT_EQ(ui_.Text("LbetcJudge", 3), "OK");
  EXPECT_EQ(Sent("CO"), 1);
}

}  // namespace
}  // namespace quorel::testing

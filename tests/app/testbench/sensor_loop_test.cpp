// The sensor and values loops on a scripted device: what a short, stale or
// failed reply does to the readings, and the frames the loops lock.
#include <gtest/gtest.h>

#include "core/main_module.h"
#include "maintenance/scripted_host.h"
#include "main/fake_controls.h"
#include "testbench/bench_job.h"
#include "testbench/bench_settings.h"
#include "testbench/sensor_test.h"

namespace quorel::testing {
namespace {

class SensorLoop : public ::testing::Test {
 protected:
  void SetUp() override {
    mm() = MainModule();
    mm().gPortOpen = -1;
    ApplyBenchDesignValues(ui_);
    ui_.SetText("CmdSensorVolt", -1, SensorTest::kStart);
    ui_.SetText("CmdetcValue", -1, SensorTest::kStart);
    ui_.SetValue("ChkSenCIcmd", -1, 0);
  }
  void TearDown() override { mm() = MainModule(); }
  // Presses the running loop's button again once `cycles` "!!s" have gone.
  void StopAfter(int cycles, const QString& button) {
    host_.duringWait = [this, cycles, button](const QString& command) {
      if (command == "!!s" && ++seen_ == cycles) {
        if (button == "CmdSensorVolt") test_.SensorClick();
        else test_.ValuesClick();
      }
    };
  }
  int Count(const QString& command) const { return static_cast<int>(std::count(host_.sent.begin(), host_.sent.end(), command)); }

  FakeControls ui_;
  ScriptedHost host_{ui_};
  BenchJobState state_;
  SensorTest test_{ui_, host_, state_};
  int seen_ = 0;
};

TEST_F(SensorLoop, AShortReplyKeepsTheReadingsAndVerdicts) {
  int n = 0;
  host_.device = [&n](const QString& c) -> QString {
    if (c != "!!s") return "A" + c.left(2) + "90";
    return ++n == 1 ? "A!!90" "6667FCFDA0A0" "0090" : "A!!90A0A0";
  };
  StopAfter(2, "CmdSensorVolt");
  test_.SensorClick();
  EXPECT_EQ(Count("!!s"), 2);
  EXPECT_EQ(Count("CO"), 1);
  EXPECT_EQ(Count("CI"), 0);
  EXPECT_EQ(ui_.Text("LbSensorV", 0), "-.--");  // S unticked by design
  EXPECT_EQ(ui_.Text("LbSenJudge", 0), "");
  EXPECT_EQ(ui_.Text("LbSensorV", 1), "1.33");
  EXPECT_EQ(ui_.Text("LbSenJudge", 1), "OK");
  EXPECT_EQ(ui_.Text("LbSensorV", 3), "3.27");
  EXPECT_EQ(ui_.Text("LbSenJudge", 3), "NG");
  EXPECT_EQ(ui_.Get("LbSenJudge", 3).fore, 0xFFu);
  EXPECT_EQ(ui_.Get("LbSenJudge", 1).fore, 0xC000u);
  EXPECT_EQ(ui_.Text("LbSenTotalJudge"), "NG");
  EXPECT_EQ(ui_.Text("CmdSensorVolt"), "Start");
  EXPECT_EQ(ui_.Get("ShpSentest").back, 0xE0E0E0u);
  EXPECT_TRUE(ui_.Enabled("FrameSensorETC"));
  EXPECT_TRUE(ui_.Enabled("CmdetcValue"));
  EXPECT_FALSE(ui_.Enabled("TxtRange", 0));  // stays locked after the run
  EXPECT_EQ(state_.mAbortRequest, 0);
}

TEST_F(SensorLoop, NoTickedSensorGivesOkAndOnlyShortRepliesGiveNg) {
  for (int i = 0; i < 6; ++i) ui_.SetValue("ChkSensor", i, 0);
  host_.device = [](const QString& c) -> QString { return c == "!!s" ? "A!!90" "000000000000" : "A" + c.left(2) + "90"; };
  StopAfter(1, "CmdSensorVolt");
  test_.SensorClick();
  EXPECT_EQ(ui_.Text("LbSenTotalJudge"), "OK");

  seen_ = 0;
  ui_.SetValue("ChkSensor", 2, 1);
  host_.device = [](const QString& c) -> QString { return c == "!!s" ? QString() : "A" + c.left(2) + "90"; };
  StopAfter(1, "CmdSensorVolt");
  test_.SensorClick();
  EXPECT_EQ(ui_.Text("LbSenTotalJudge"), "NG");
  EXPECT_EQ(ui_.Text("LbSensorV", 2), "-.--");
}

TEST_F(SensorLoop, AnUnansweredThGivesDashesWhileTheBatteryIsMeasured) {
  host_.device = [](const QString& c) -> QString {
    if (c == "TH") return "ATH50";
    if (c == "!!s") return "A!!90" "A0A0A0A0A0A0" "00" "FF";
    return "A" + c.left(2) + "90";
  };
  ui_.SetText("LbetcValue", 0, "25");
  StopAfter(1, "CmdetcValue");
  test_.ValuesClick();
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(ui_.Text("LbetcValue", k), "---");
    EXPECT_EQ(ui_.Text("LbetcJudge", k), "NG");
  }
  EXPECT_EQ(ui_.Text("LbetcValue", 3), "4.95");
  EXPECT_EQ(ui_.Text("LbetcJudge", 3), "OK");
  EXPECT_EQ(ui_.Text("LbEtcTotalJudge"), "NG");
  const std::vector<QString> expect{"TH", "!!s", "CO"};
  EXPECT_EQ(host_.SentFrom(host_.sent.size() - 3), expect);
  EXPECT_EQ(ui_.Text("LbSenMsg"), "");
}

TEST_F(SensorLoop, TemperaturesAndBatteryJudgedOnTheirLimits) {
  host_.device = [](const QString& c) -> QString {
    // Head rank 5, 70 degrees, power values, erase rank and batch, erase
    // thermistor, board 51 degrees.
    if (c == "TH") return "ATH90" "5" "70" "1234" "3" "2" "8A" "51";
    if (c == "!!s") return "A!!90" "A0A0A0A0A0A0" "00" "8F";
    return "A" + c.left(2) + "90";
  };
  StopAfter(1, "CmdetcValue");
  test_.ValuesClick();
  EXPECT_EQ(ui_.Text("LbetcValue", 0), "70");
  EXPECT_EQ(ui_.Text("LbetcJudge", 0), "OK");
  EXPECT_EQ(ui_.Text("LbetcValue", 2), "51");
  EXPECT_EQ(ui_.Text("LbetcJudge", 2), "NG");
  EXPECT_EQ(ui_.Text("LbetcValue", 3), "2.78");
  EXPECT_EQ(ui_.Text("LbetcJudge", 3), "NG");
  EXPECT_EQ(mm().gThTphTemp, "70");
  EXPECT_EQ(mm().gThBoardTemp, "51");
}

TEST_F(SensorLoop, AClosedPortEndsTheLoop) {
  int n = 0;
  host_.device = [&n](const QString& c) -> QString {
    if (c == "!!s" && ++n == 2) mm().gPortOpen = 0;  // the line went away
    return "A" + c.left(2) + "90";
  };
  test_.SensorClick();
  EXPECT_EQ(n, 2);
  EXPECT_EQ(ui_.Text("CmdSensorVolt"), "Start");
}

TEST_F(SensorLoop, SettingModeUnlocksAndResetsTheSensorArea) {
  ui_.SetValue("ChkSensorSettingMode", -1, 1);
  ui_.SetText("LbSensorV", 2, "2.07");
  test_.SensorSettingClick();
  EXPECT_TRUE(ui_.Enabled("TxtRange", 1));
  EXPECT_TRUE(ui_.Enabled("ChkSensor", 5));
  EXPECT_EQ(ui_.Text("LbSensorV", 2), "-.--");
  ui_.SetValue("ChkEtcSettingMode", -1, 0);
  test_.EtcSettingClick();
  EXPECT_FALSE(ui_.Enabled("TxtBattery"));
  EXPECT_EQ(ui_.Text("LbetcValue", 1), "---");
  EXPECT_EQ(ui_.Text("LbetcValue", 3), "-.--");
}

}  // namespace
}  // namespace quorel::testing

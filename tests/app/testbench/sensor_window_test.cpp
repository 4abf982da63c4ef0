// The bench window with its sensor and settings tabs on a scripted channel:
// the tabs carry their controls and their buttons run their jobs.
#include <QPushButton>
#include <QTabWidget>
#include <gtest/gtest.h>

#include "core/main_module.h"
#include "main/fake_controls.h"
#include "maintenance/scripted_host.h"
#include "support/scripted_dialogs.h"
#include "temp_dir.h"
#include "testbench/form_mivor_test.h"

namespace quorel::testing {
namespace {

class BenchTabs : public ::testing::Test {
 protected:
  void SetUp() override {
    mm() = MainModule{};
    mm().gIniPath = dir_.file(QStringLiteral("Quorel.ini"));
    mm().gPortOpen = -1;
  }
  void TearDown() override { mm() = MainModule{}; }
  TempDir dir_;
  FakeControls fake_;
  ScriptedHost host_{fake_};
  ScriptedDialogs dialogs_;
};

TEST_F(BenchTabs, TheSensorTabRunsItsLoopFromItsButton) {
  FormMivorTest form(host_);
  FormControls& ui = form.controls();
  EXPECT_EQ(ui.Text("TxtRange", 0), "1.32");
  EXPECT_EQ(ui.Text("TxtBaseVolt"), "3.3");
  EXPECT_FALSE(ui.Enabled("TxtRange", 0));
  EXPECT_EQ(ui.ToolTip("ChkSensor", 2), "ﾁｪｯｸするとBｾﾝｻｰを測定します。");
  ui.SetValue("ChkSenCIcmd", -1, 0);
  auto* start = form.findChild<QPushButton*>("CmdSensorVolt");
  ASSERT_NE(start, nullptr);
  host_.device = [&](const QString& c) -> QString {
    if (c != "!!s") return "A" + c.left(2) + "90";
    start->click();  // the second press, while the reply is awaited
    return "A!!90" "A0A0A0A0A0A0" "0090";
  };
  start->click();
  EXPECT_EQ(ui.Text("CmdSensorVolt"), "Start");
  EXPECT_EQ(ui.Text("LbSensorV", 1), "2.07");
  EXPECT_EQ(ui.Text("LbSenTotalJudge"), "OK");
  EXPECT_EQ(host_.sent.back(), "CO");
}

TEST_F(BenchTabs, TheSettingsAndCounterGroupsAreOnTheirTabs) {
  FormMivorTest form(host_);
  auto* tabs = form.findChild<QTabWidget*>("SSTabMivorTest");
  ASSERT_NE(tabs, nullptr);
  EXPECT_NE(tabs->widget(0)->findChild<QPushButton*>("EEPSetCmd_Mivor_8"), nullptr);
  EXPECT_NE(tabs->widget(6)->findChild<QPushButton*>("PassSyutoku_Mivor"), nullptr);
  host_.device = [](const QString& c) -> QString {
    if (c == "TH") return "ATH90" "=251234328A31";
    if (c == "!!s") return "A!!90" "A0A0A0A0A0A0" "00FF";
    if (c == "VS") return "AVS90Mivor";
    return "A" + c.left(2) + "90";
  };
  FormControls& ui = form.controls();
  ui.SetText("LbJitter2Tr", 1, "312");
  ui.SetText("LbSensorV", 1, "2.07");
  ui.SetText("PassDisp_Mivor", -1, "old");
  form.findChild<QPushButton*>("EEPSetting_Mivor")->click();
  // The readout's labelInit put every tab's results back first.
  EXPECT_EQ(ui.Text("LbJitter2Tr", 1), "---");
  EXPECT_EQ(ui.Text("LbSensorV", 1), "-.--");
  EXPECT_EQ(ui.Text("PassDisp_Mivor"), "");
  EXPECT_EQ(ui.Text("EEPSetLabel_Mivor", 0), "d");
  EXPECT_EQ(ui.Text("lbStatus_Mivor", 3), "4.95");
  form.findChild<QPushButton*>("PassSyutoku_Mivor")->click();
  EXPECT_EQ(ui.Text("PassDisp_Mivor").count('\n'), 18);
}

TEST_F(BenchTabs, TheJitterTabRunsFromItsButtonAndRestoresTheCaption) {
  FormMivorTest form(host_);
  FormControls& ui = form.controls();
  EXPECT_FALSE(ui.Enabled("CmbJitterCardKind"));
  EXPECT_EQ(ui.Text("LbJitterIndex", 15), "JUDGE");
  for (int k = 2; k <= 3; ++k) ui.SetValue("ChkJitterTrack", k, 0);
  QString captionWhileRunning;
  host_.device = [&](const QString& c) -> QString {
    if (c == "ST") return "AST90" "1000000";
    if (c.startsWith("jt:")) {
      captionWhileRunning = form.windowTitle();
      return "Ajt90" " 312  298  305  12.5   400   150   OK";
    }
    return "A" + c.left(2) + "90";
  };
  form.findChild<QPushButton*>("CmdClockJitterTst")->click();
  EXPECT_EQ(captionWhileRunning, "Mivor Test Mode\u3000\u3000\u3000\u3000クロックジッターテスト");
  EXPECT_EQ(form.windowTitle(), "Mivor Test Mode");
  EXPECT_EQ(std::count(host_.sent.begin(), host_.sent.end(), QString("jt:1")), 2);
  EXPECT_EQ(ui.Text("LbJitterMsg"), "総合判定　ＯＫ");
  EXPECT_EQ(ui.Text("CmdClockJitterTst"), "Clock Jitter Test");
}

}  // namespace
}  // namespace quorel::testing

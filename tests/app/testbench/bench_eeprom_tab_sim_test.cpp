// The bench's device settings and counters on the real channel and library
// against the simulated device: the readout into labels and rank marks, a
// set row's wire command, the counter lines, the resets.
#include <gtest/gtest.h>

#include "channel/sim_channel_fixture.h"
#include "core/dialogs.h"
#include "core/job_host.h"
#include "core/versions.h"
#include "main/fake_controls.h"
#include "testbench/bench_eeprom_tab.h"

namespace quorel::testing {
namespace {

class BenchEepromSim : public SimChannelTest {
 protected:
  void SetUp() override {
    SimChannelTest::SetUp();
    Control("model mivor");
    Open();
  }
  void Send(const QString& command) {
    mm().gSendCommand = command;
    channel_.comu();
  }
  FakeControls ui_;
  ChannelJobHost host_{channel_};
  BenchEepromTab tab_{ui_, host_};
};

TEST_F(BenchEepromSim, TheReadoutFillsTheLabelsMarksAndStatus) {
  // Head rank "d" (device "="), 25 degrees, power 1234, erase rank 3 and
  // batch 2, erase thermistor 8A, board 31.
  Control("reply TH 90 =251234328A31");
  Control("adc A0A0A0A0A0A0 00 FF");
  Send("!!r:=2");
  Send("!!h:1234");
  int inits = 0;
  tab_.SetLabelInit([&] { ++inits; });
  ui_.SetText("lbStatus_Mivor", 6, "old");
  tab_.EEPSetting_Mivor_Click();
  EXPECT_EQ(inits, 1);
  const char* const labels[] = {"d", "2", "3", "2", "0", "1", "2", "3", "4"};
  for (int i = 0; i < 9; ++i) EXPECT_EQ(ui_.Text("EEPSetLabel_Mivor", i), labels[i]) << i;
  EXPECT_EQ(ui_.ToolTip("EEPSetLabel_Mivor", 0), "現在のTPH Rank = d ");
  EXPECT_EQ(ui_.Get("EEPSetLabel_Mivor", 0).back, 0x80C0FFu);
  EXPECT_EQ(ui_.Get("EEPSetLabel_Mivor", 2).back, 0xFFC0C0u);
  for (int i = 0; i <= 13; ++i) EXPECT_EQ(ui_.Get("ShpTPHRank", i).back, i == 13 ? 0x80C0FFu : kButtonFace) << i;
  for (int i = 2; i <= 6; ++i) EXPECT_EQ(ui_.Get("ShpErRank", i).back, i == 3 ? 0xFFC0C0u : kButtonFace) << i;
  EXPECT_EQ(ui_.Text("lbStatus_Mivor", 0), "25");
  EXPECT_EQ(ui_.Text("lbStatus_Mivor", 2), "31");
  EXPECT_EQ(ui_.Text("lbStatus_Mivor", 3), "4.95");
  EXPECT_EQ(ui_.ToolTip("lbStatus_Mivor", 3), "ﾊﾞｯｸｱｯﾌﾟ電池電圧 = 4.95V");
  EXPECT_EQ(ui_.Text("lbStatus_Mivor", 5), "=251234328A31");
  EXPECT_EQ(ui_.Text("lbStatus_Mivor", 6).left(1), " ");
  EXPECT_EQ(mm().gThTphRank, "d");
  EXPECT_TRUE(ui_.Enabled("FrameRank"));
  EXPECT_TRUE(ui_.Enabled("EEPSetting_Mivor"));

  tab_.EEPSetting_MivorCLS_Click();
  EXPECT_EQ(ui_.Get("ShpTPHRank", 13).back, kButtonFace);
  EXPECT_EQ(ui_.Text("EEPSetLabel_Mivor", 0), "");
  EXPECT_EQ(ui_.Text("lbStatus_Mivor", 3), "");
  EXPECT_EQ(ui_.ToolTip("lbStatus_Mivor", 3), "ﾊﾞｯｸｱｯﾌﾟ電池電圧 = 4.95V");  // tool tips stay
}

TEST_F(BenchEepromSim, DensityGoesOutWithTheRankInDeviceNotation) {
  // The device holds rank "a" (":") and answers the write with density 3.
  Control("reply !! 90 :3");
  ui_.SetText("EEPSetCmb_Mivor", 1, "3");
  dialogs_.ExpectBox(ProgramTitle(), "印字濃度を変更します ！\r\n    濃度 3 → 3", BoxAnswer::kOk);
  dialogs_.ExpectBox(ProgramTitle(), "設定が変更されました", BoxAnswer::kOk);
  sim_.ClearTranscript();
  tab_.EEPSetCmd_Mivor_Click(1);
  EXPECT_EQ(Sent("!! r::3"), 1);
  EXPECT_EQ(Sent("RE"), 1);  // the readout followed
  EXPECT_EQ(ui_.Text("EEPSetLabel_Mivor", 1), "3");
}

TEST_F(BenchEepromSim, NothingChosenSendsOnlyTheQuery) {
  sim_.ClearTranscript();
  tab_.EEPSetCmd_Mivor_Click(4);
  EXPECT_EQ(Sent("!! o?"), 1);
  EXPECT_EQ(Sent("VS"), 0);
}

TEST_F(BenchEepromSim, CancelStillRunsTheReadoutAndAFailedQueryWritesNothing) {
  ui_.SetText("EEPSetCmb_Mivor", 5, "7");
  Send("!!h:1234");
  dialogs_.ExpectBox(ProgramTitle(), "サーマル側Up補正値を変更します ！\r\n    Rank 1 → 7", BoxAnswer::kCancel);
  sim_.ClearTranscript();
  tab_.EEPSetCmd_Mivor_Click(5);
  EXPECT_EQ(Sent("!! h:"), 0);
  EXPECT_EQ(Sent("RE"), 1);

  EXPECT_EQ(ui_.Text("EEPSetCmb_Mivor", 5), "");  // the readout's labelInit emptied it
  ui_.SetText("EEPSetCmb_Mivor", 5, "7");
  Control("maint h? 40");
  dialogs_.ExpectBox(ProgramTitle(), "現在の設定値を読み出せませんでした。\r\n設定は変更されていません。", BoxAnswer::kOk);
  sim_.ClearTranscript();
  tab_.EEPSetCmd_Mivor_Click(5);
  EXPECT_EQ(Sent("!! h:"), 0);
}

TEST_F(BenchEepromSim, TheCounterReadoutShowsNineteenLines) {
  Control("counter a 1234");
  tab_.PassSyutoku_Mivor_Click();
  const QStringList lines = ui_.Text("PassDisp_Mivor").split('\n');
  ASSERT_EQ(lines.size(), 19);
  EXPECT_EQ(lines[0], "\u3000\u3000 ｶｰﾄﾞﾊﾟｽ回数: 00001234 ");
  EXPECT_TRUE(lines[6].startsWith("電源立ち上げ回数: ")) << lines[6].toStdString();
  EXPECT_TRUE(lines[18].startsWith("    ﾌｨｰﾄﾞｴﾗ-回数: ")) << lines[18].toStdString();
  for (const QString& l : lines) EXPECT_TRUE(l.endsWith(' '));
  EXPECT_TRUE(ui_.Enabled("SSTabMivorTest"));
}

TEST_F(BenchEepromSim, AnotherFamilyIsAskedAboutAndCancelKeepsTheLines) {
  Control("version 4211-XX");
  ui_.SetText("PassDisp_Mivor", -1, "old lines");
  dialogs_.ExpectBox("EEPROM Mivor", "機種が該当しないと思われますが実行されますか？", BoxAnswer::kCancel);
  sim_.ClearTranscript();
  tab_.PassSyutoku_Mivor_Click();
  EXPECT_EQ(ui_.Text("PassDisp_Mivor"), "old lines");
  EXPECT_EQ(Sent("CT"), 0);
  EXPECT_TRUE(ui_.Enabled("FrameEEP"));
}

TEST_F(BenchEepromSim, ResetsAskInJapaneseOnlyThenReadTheCounters) {
  mm().gLangJapanese = 0;
  sim_.ClearTranscript();
  tab_.ErrorSyokika_Mivor_Click();
  EXPECT_EQ(Sent("!! e"), 0);

  mm().gLangJapanese = 1;
  dialogs_.ExpectBox(ProgramTitle(), "エラー＆パス回数が初期化されます！", BoxAnswer::kOk);
  tab_.ErrorPassSyokika_Mivor_Click();
  EXPECT_EQ(Sent("!! c"), 1);
  EXPECT_EQ(ui_.Text("PassDisp_Mivor").split('\n').size(), 19);

  Control("maint e 40");
  dialogs_.ExpectBox(ProgramTitle(), "エラー回数のみ初期化されます！", BoxAnswer::kOk);
  dialogs_.ExpectBox("EEPROM Error Pass Initialize", "エラーが発生いたしました。\r\nもう一度やり直しをお勧めします。",
                     BoxAnswer::kOk);
  tab_.ErrorSyokika_Mivor_Click();
}

TEST_F(BenchEepromSim, HeadLiftSendsItsPosition) {
  sim_.ClearTranscript();
  tab_.CmdUpDown_Click(2);
  EXPECT_EQ(Sent("!! h2"), 1);
}

}  // namespace
}  // namespace quorel::testing

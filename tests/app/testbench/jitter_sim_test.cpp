// The jitter test on the real channel and library against the simulated
// device: the wire sequence per track choice, the device's verdicts in the
// overall verdict, and a stop during the card wait. The device's figures are
// its jitter gauge's, good on every track unless a test sets them.
#include <gtest/gtest.h>

#include <QTimer>

#include "channel/sim_channel_fixture.h"
#include "core/job_host.h"
#include "core/versions.h"
#include "main/fake_controls.h"
#include "testbench/bench_job.h"
#include "testbench/jitter_test.h"

namespace quorel::testing {
namespace {

class JitterSim : public SimChannelTest {
 protected:
  void SetUp() override {
    SimChannelTest::SetUp();
    Control("model mivor");
    Control("card insert");
    ui_.SetText("CmdClockJitterTst", -1, JitterTest::kIdle);
    test_.SetAbortPause(0.05f);
    Open();
  }
  void Tick(std::initializer_list<int> tracks) {
    for (int k = 1; k <= 3; ++k) ui_.SetValue("ChkJitterTrack", k, 0);
    for (int k : tracks) ui_.SetValue("ChkJitterTrack", k, 1);
  }
  // The commands from "PC" on, as the device saw them.
  std::vector<std::string> AfterPc() const {
    std::vector<std::string> out;
    bool on = false;
    for (const sim::TranscriptEntry& e : sim_.Transcript()) {
      if (e.dir != sim::Dir::Host || e.tag.rfind("CMD ", 0) != 0) continue;
      if (e.tag.rfind("CMD PC", 0) == 0) on = true;
      else if (on) out.push_back(e.tag.substr(4));
    }
    return out;
  }
  FakeControls ui_;
  ChannelJobHost host_{channel_};
  BenchJobState state_;
  JitterTest test_{ui_, host_, state_};
};

TEST_F(JitterSim, TrackTwoAloneSendsItsOwnSequence) {
  Tick({2});
  QString caption;
  test_.SetCaptionHook([&](const QString& c) {
    if (caption.isEmpty()) caption = c;
  });
  std::vector<std::string> written;  // the transcript shortens long commands
  sim_.SetHandler("WD", [&](const sim::Command& c) {
    written.emplace_back(c.data.begin(), c.data.end());
    return sim::Answer{};
  });
  sim_.ClearTranscript();
  test_.Click();
  EXPECT_EQ(caption, "Mivor Test Mode\u3000\u3000\u3000\u3000クロックジッターテスト");
  std::vector<std::string> seen = AfterPc();
  ASSERT_EQ(seen.size(), 10u);
  EXPECT_EQ(seen[1].substr(0, 6), "WD :2/");
  seen[1] = "WD";
  const std::vector<std::string> expect{"MS :R0W0D7H2C2Z1", "WD", "WR", "jt :2", "VR",
                                        "jt :2", "!! i", "MS :b0", "MS :H7C7", "CO"};
  EXPECT_EQ(seen, expect);
  EXPECT_EQ(written, std::vector<std::string>{":2/" + std::string(138, '0')});
  EXPECT_EQ(ui_.Text("LbJitter2Tr", 1), "312");
  EXPECT_EQ(ui_.Text("LbJitter2Tr", 12), "12.5");
  EXPECT_EQ(ui_.ToolTip("LbJitter2Tr", 12), "ｼﾞｯﾀｰ(速度変動率) 12.5％");
  EXPECT_EQ(ui_.Text("LbJitter2Tr", 15), "OK");
  EXPECT_EQ(ui_.Get("LbJitter2Tr", 15).fore, 0xC000u);
  EXPECT_EQ(ui_.Text("LbJitter1Tr", 1), "---");  // unticked rows keep the reset
  EXPECT_EQ(ui_.Text("LbJitter3Tr", 4), "--.-");
  EXPECT_EQ(ui_.Text("LbJitterMsg"), "総合判定　ＯＫ");
  EXPECT_EQ(ui_.Get("ShapeJitterMsg").back, 0xFF00u);
  EXPECT_EQ(ui_.Text("CmdClockJitterTst"), JitterTest::kIdle);
  EXPECT_TRUE(ui_.Enabled("FrameJitter"));
}

TEST_F(JitterSim, AllTracksAndAnEjectionNgOnTrackThree) {
  Tick({1, 2, 3});
  Control("jitter 3 ej 330 280 305 21.0 400 150 NG");
  sim_.ClearTranscript();
  test_.Click();
  EXPECT_EQ(Sent("WD"), 3);
  EXPECT_EQ(Sent("jt"), 6);
  EXPECT_EQ(Sent("MS :R0W0D7H7C7Z1"), 1);
  EXPECT_EQ(ui_.Text("LbJitter3Tr", 15), "NG");
  EXPECT_EQ(ui_.Get("LbJitter3Tr", 15).fore, 0xFFu);
  EXPECT_EQ(ui_.Text("LbJitter3Tr", 7), "OK");
  EXPECT_EQ(ui_.Text("LbJitterMsg"), "総合判定　ＮＧ");
  EXPECT_FALSE(test_.results().AllOk());
}

TEST_F(JitterSim, AStopDuringTheCardWaitPrintsNothing) {
  Control("card none");
  Tick({1});
  ui_.SetValue("ChkJitter", -1, 1);
  ui_.SetText("CmbJitterCardKind", -1, "3: White PET");
  QTimer stopper;
  QObject::connect(&stopper, &QTimer::timeout, [&] {
    if (Sent("ST") >= 2 && ui_.Text("CmdClockJitterTst") == JitterTest::kRunning) test_.Click();
  });
  stopper.start(10);
  sim_.ClearTranscript();
  test_.Click();
  EXPECT_EQ(ui_.Text("LbJitterMsg"), "ユーザーによるテスト中断");
  EXPECT_EQ(ui_.Get("ShapeJitterMsg").back, 0xFFC0FFu);
  EXPECT_EQ(Sent("PR"), 0);
  EXPECT_EQ(Sent("MS :b1"), 0);
  EXPECT_EQ(Sent("CI"), 0);
  EXPECT_EQ(Sent("MS :H7C7"), 1);
  EXPECT_EQ(Sent("CO"), 1);
}

TEST_F(JitterSim, PrintOptionAndItsChecks) {
  Tick({});
  dialogs_.ExpectBox("測定磁気トラック無効",
                     "測定する磁気トラックがすべて無効になっております。\r\n使用トラックの見直しをお願いします。",
                     BoxAnswer::kOk);
  sim_.ClearTranscript();
  test_.Click();
  EXPECT_EQ(ui_.Text("LbJitterMsg"), "");
  EXPECT_EQ(ui_.Get("ShapeJitterMsg").back, 0xE0E0E0u);

  Tick({1});
  ui_.SetValue("ChkJitter", -1, 1);
  test_.PrintOptionChanged();
  EXPECT_EQ(ui_.Text("CmbJitterCardKind"), JitterTest::kChooseKind);
  EXPECT_TRUE(ui_.Enabled("CmbJitterCardKind"));
  dialogs_.ExpectBox("カード種選択エラー", "測定結果を印字するカード種が選択されておりません\r\nカード種の選択をおねがいします。",
                     BoxAnswer::kOk);
  test_.Click();
  EXPECT_EQ(ui_.focused, "CmbJitterCardKind");
  EXPECT_TRUE(AfterPc().empty());
  EXPECT_EQ(Sent("ST"), 0);

  ui_.SetText("CmbJitterCardKind", -1, "3: White PET");
  test_.Click();
  EXPECT_EQ(Sent("MS :b1"), 1);
  EXPECT_EQ(Sent("PR :3"), 0);  // "PR=3": the sign is part of the parameter
  EXPECT_EQ(Sent("PR =3"), 1);
}

}  // namespace
}  // namespace quorel::testing

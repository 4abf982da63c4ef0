// The bench's clock, RAM-clear and identity jobs on the real channel and
// library against the simulated device.
#include <gtest/gtest.h>

#include "channel/sim_channel_fixture.h"
#include "core/job_host.h"
#include "main/fake_controls.h"
#include "testbench/bench_job.h"
#include "testbench/bench_settings.h"
#include "testbench/clock_test.h"
#include "testbench/identity_job.h"
#include "testbench/ram_clear_job.h"

namespace quorel::testing {
namespace {

class BenchSim : public SimChannelTest {
 protected:
  void SetUp() override {
    SimChannelTest::SetUp();
    ApplyBenchDesignValues(ui_);
    Open();
  }
  std::vector<std::string> Commands() const {
    std::vector<std::string> out;
    for (const sim::TranscriptEntry& e : sim_.Transcript())
      if (e.dir == sim::Dir::Host && e.tag.rfind("CMD ", 0) == 0) out.push_back(e.tag);
    return out;
  }
  FakeControls ui_;
  ChannelJobHost host_{channel_};
  BenchJobState state_;
};

TEST_F(BenchSim, ClockSetsFromThePcThenReadsUntilStopThenCardOut) {
  ClockTest test(ui_, host_, state_);
  test.SetClock([] { return QDateTime(QDate(2024, 12, 22), QTime(10, 30, 15)); });
  ui_.SetText("CmdTimeSynchronize", -1, ClockTest::kStart);
  int reads = 0;
  QTimer stopper;
  QObject::connect(&stopper, &QTimer::timeout, [&] {
    if (sim_.CountTag(sim::Dir::Host, "CMD CK") >= 3 && ++reads == 1) test.Click();  // the second press
  });
  stopper.start(20);
  sim_.ClearTranscript();
  test.Click();
  EXPECT_EQ(ui_.Text("CmdTimeSynchronize"), "Start");
  const std::string log = [&] {
    std::string s;
    for (const auto& c : Commands()) s += c + "\n";
    return s;
  }();
  EXPECT_NE(log.find("CMD CK :24122200103015"), std::string::npos) << log;
  EXPECT_EQ(log.find("CMD CK :24122200103015"), log.find("CMD CK"));  // the set goes first
  EXPECT_NE(log.rfind("CMD CO"), std::string::npos) << log;
  EXPECT_EQ(ui_.Text("LbCkPC", 3), "Sun.");
  // The device took the fake PC time, so its date matches; time is off by
  // the real clock and judged NG unless run at that very moment.
  EXPECT_EQ(ui_.Text("LbCkCRW", 0), "2024");
  EXPECT_EQ(ui_.Text("LbCkOKNG", 0), "OK");
  EXPECT_EQ(ui_.Text("LbCkCRW", 3), "Sun.");
}

TEST_F(BenchSim, UntickedClockWriteSendsNoSet) {
  ClockTest test(ui_, host_, state_);
  ui_.SetValue("ChkClockCRWSet", -1, 0);
  ui_.SetText("CmdTimeSynchronize", -1, ClockTest::kStart);
  QTimer stopper;
  QObject::connect(&stopper, &QTimer::timeout, [&] {
    if (ui_.Text("CmdTimeSynchronize") == ClockTest::kStop) test.Click();
  });
  stopper.start(30);
  sim_.ClearTranscript();
  test.Click();
  for (const auto& c : Commands()) EXPECT_NE(c.rfind("CMD CK :", 0), 0u) << c;
  EXPECT_GE(sim_.CountTag(sim::Dir::Host, "CMD CK"), 1);
  EXPECT_EQ(sim_.CountTag(sim::Dir::Host, "CMD CO"), 1);
}

TEST_F(BenchSim, RamClearShowsFullProgressAndOk) {
  // The erase lasts 13 "B" replies whatever the real timing, and the fake ms
  // clock moves 501 ms with each, so the last one stands at 6.513 s.
  Control("ramclear polls 13");
  const uint32_t start = 50000;
  auto clock = [&] {
    return start + 501u * static_cast<uint32_t>(sim_.CountTag(sim::Dir::Device, "REPLY B !! 00"));
  };
  channel_.SetClock(clock);
  RamClearJob job(ui_, host_, state_);
  job.SetClock(clock);
  dialogs_.ExpectBox("RAM Clear Mode", "ＲＡＭ上の全ての設定が消去されます。\nよろしいでしょうか？", BoxAnswer::kOk);
  Control("memory set 66000F 5A");
  job.Click();
  EXPECT_EQ(ui_.Text("LbRAMClearOKNG"), "O K");
  EXPECT_EQ(ui_.Get("LbRAMClearOKNG").fore, 0xFF00u);
  EXPECT_EQ(view_.percent, "100%");
  EXPECT_EQ(view_.watch, "6.513 s");
  EXPECT_EQ(sim_.CountTag(sim::Dir::Device, "REPLY B !! 00"), 13);
  EXPECT_EQ(ui_.Text("LbRAMClear"), "finished");
  EXPECT_EQ(mm().gRamClearActive, 0);
  EXPECT_TRUE(ui_.Enabled("SSTabMivorTest"));
  EXPECT_EQ(sim_.CountTag(sim::Dir::Host, "CMD !! \\$."), 1);
}

TEST_F(BenchSim, RamClearGivesNgForANonZeroByteAndCancelSendsNothing) {
  Control("ramclear polls 2");
  // A cell the erase does not reach: non-zero when "md:660000" reads it back.
  Control("ramclear stuck 66000F 01");
  RamClearJob job(ui_, host_, state_);
  dialogs_.ExpectBox("RAM Clear Mode", "ＲＡＭ上の全ての設定が消去されます。\nよろしいでしょうか？", BoxAnswer::kOk);
  job.Click();
  EXPECT_EQ(ui_.Text("LbRAMClearOKNG"), "N G");
  EXPECT_TRUE(mm().gReplyText.contains("660000: 00 00 00 00 00 00 00 00-00 00 00 00 00 00 00 01"))
      << mm().gReplyText.toStdString();
  EXPECT_EQ(ui_.Get("LbRAMClearOKNG").fore, 0xFFu);

  sim_.ClearTranscript();
  ui_.SetText("LbRAMClear", -1, "finished");
  dialogs_.ExpectBox("RAM Clear Mode", "ＲＡＭ上の全ての設定が消去されます。\nよろしいでしょうか？", BoxAnswer::kCancel);
  job.Click();
  EXPECT_TRUE(Commands().empty());
  EXPECT_EQ(ui_.Text("LbRAMClear"), "finished");
  EXPECT_EQ(mm().gRamClearActive, 0);
}

TEST_F(BenchSim, IdentityWriteIsReadBackAndBadRawTextSendsNothing) {
  IdentityJob id(ui_, host_, state_);
  id.SetToday([] { return QDate(2025, 7, 15); });
  ui_.SetText("ListDeviceSrial", -1, "0:Pri Pro");
  ui_.SetText("TxtDeviceSerial", 0, "00001");
  id.Load();
  EXPECT_EQ(ui_.Text("LbInputDeviceSiri"), "25GA0");
  ui_.SetValue("ChkDeviceSerial", 0, 1);
  id.Click(IdentityItem::kSerial, 1);
  EXPECT_EQ(sim_.CountTag(sim::Dir::Host, "CMD ee w:82/03/254741000001"), 1);
  EXPECT_EQ(ui_.Text("LbDeviceSerial"), "254741000001");

  id.Click(IdentityItem::kBarCode, 0);
  EXPECT_EQ(ui_.Text("LbBarCodeLabel"), "02000001");

  sim_.ClearTranscript();
  ui_.SetValue("ChkBarcodeLabel", 0, 0);
  ui_.SetValue("ChkBarcodeLabel", 1, 1);
  ui_.SetText("TxtBarCodeLabel", 1, "12 4");
  id.Click(IdentityItem::kBarCode, 1);
  EXPECT_TRUE(Commands().empty());
  EXPECT_EQ(ui_.Text("LbBarCodeLabel"), "Input Error");
}

}  // namespace
}  // namespace quorel::testing

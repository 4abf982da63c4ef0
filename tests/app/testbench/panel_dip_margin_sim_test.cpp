// The panel checks, the DIP-switch test and the erase-margin job on the real
// channel and library against the simulated device: what goes over the wire
// and what the device holds afterwards.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QPushButton>

#include "channel/sim_channel_fixture.h"
#include "core/job_host.h"
#include "core/versions.h"
#include "main/fake_controls.h"
#include "testbench/bench_job.h"
#include "testbench/bench_settings.h"
#include "testbench/dip_switch_test.h"
#include "testbench/erase_margin_print.h"
#include "testbench/erase_margin_test.h"
#include "testbench/form_mivor_test.h"
#include "testbench/hooked_job_host.h"
#include "testbench/panel_test.h"
#include "testbench/print_position_test.h"

namespace quorel::testing {
namespace {

class PanelSim : public SimChannelTest {
 protected:
  void SetUp() override {
    SimChannelTest::SetUp();
    ApplyBenchDesignValues(ui_);
    Open();
  }
  // The host's commands in order, as the device saw them ("SG:881").
  std::vector<std::string> Commands(const std::string& codes = "") const {
    std::vector<std::string> out;
    for (const sim::TranscriptEntry& e : sim_.Transcript()) {
      if (e.dir != sim::Dir::Host || e.tag.rfind("CMD ", 0) != 0) continue;
      std::string c = e.tag.substr(4);
      const size_t blank = c.find(' ');
      if (blank != std::string::npos) c.erase(blank, 1);
      // The transcript writes bytes it does not show as they are as "<HH>".
      for (size_t at = c.find('<'); at != std::string::npos && at + 3 < c.size(); at = c.find('<', at + 1))
        if (c[at + 3] == '>') c.replace(at, 4, 1, static_cast<char>(std::stoi(c.substr(at + 1, 2), nullptr, 16)));
      if (codes.empty() || codes.find(c.substr(0, 2)) != std::string::npos) out.push_back(c);
    }
    return out;
  }
  // The byte at address as the device's memory dump shows it.
  int MemoryByte(uint32_t address) {
    EXPECT_EQ(Comu(QStringLiteral("md:") + QStringLiteral("%1").arg(address & ~0xFu, 6, 16, QLatin1Char('0')).toUpper()),
              ComuOutcome::kAnswered);
    // "A md 90" + " AAAAAA: b0 b1 ..." : byte n at 5 + 1 + 8 + 3 n.
    const QString line = mm().gReplyText;
    return line.mid(5 + 1 + 8 + 3 * static_cast<int>(address & 0xF), 2).toInt(nullptr, 16);
  }
  FakeControls ui_;
  ChannelJobHost channelHost_{channel_};
  HookedHost host_{channelHost_};
  BenchJobState state_;
};

TEST_F(PanelSim, SevenSegmentRunsBackToBackAndLeavesTheDisplayOff) {
  ui_.SetText("TxtRWDevTstTimer", 0, "0");
  dialogs_.ExpectBox(ProgramTitle(), QStringLiteral("７セグ表示確認テスト終了"), BoxAnswer::kOk);
  PanelTest test(ui_, host_, state_);
  sim_.ClearTranscript();
  test.Click(0);
  QStringList expected;
  for (const PanelStep& s : SevenSegmentSteps()) expected += s.commands;
  expected += SevenSegmentClosing();
  std::vector<std::string> sent = Commands("SGmd");
  ASSERT_EQ(sent.size(), 20u);
  for (int i = 0; i < 20; ++i) EXPECT_EQ(QString::fromStdString(sent[i]), expected[i]) << i;
  EXPECT_EQ(MemoryByte(0xFF86C6), 0x40);
  EXPECT_EQ(MemoryByte(0xFF86C7), 0x40);
  EXPECT_EQ(MemoryByte(0xFF86CA), 0x00);
  EXPECT_EQ(ui_.Text("Lb7Seg"), "");
  EXPECT_EQ(ui_.Text("CmdRWDevTst", 0), "7 Seg Check");
  EXPECT_TRUE(ui_.Enabled("CmdDSWTest"));
}

TEST_F(PanelSim, LedCheckEndsOnBlinkModeFourWithItsTimerStopped) {
  ui_.SetText("TxtRWDevTstTimer", 1, "0.3");
  dialogs_.ExpectBox(ProgramTitle(), QStringLiteral("ＬＥＤ表示確認テスト終了"), BoxAnswer::kOk);
  PanelTest test(ui_, host_, state_);
  sim_.ClearTranscript();
  test.Click(1);
  EXPECT_EQ(Commands("LD"), (std::vector<std::string>{"LD:10", "LD:01", "LD:14", "LD:41", "LD:44", "LD:11", "LD:00"}));
  EXPECT_EQ(test.blinker().mode(), 4);
  EXPECT_FALSE(test.blinker().active());
  EXPECT_EQ(ui_.At("ShpLED", 0).back, PanelTest::kLamp0Lit);
  EXPECT_EQ(ui_.At("ShpLED", 1).back, PanelTest::kLampOff);
  EXPECT_EQ(ui_.At("ShpLED", 2).back, PanelTest::kLampOff);
}

TEST_F(PanelSim, BuzzerWithALetterStepTimeRunsWithoutPause) {
  ui_.SetText("TxtRWDevTstTimer", 2, "fast");
  PanelTest test(ui_, host_, state_);
  QStringList pictures;
  test.SetPictureHook([&](const QString& file) { pictures << file; });
  sim_.ClearTranscript();
  test.Click(2);
  EXPECT_EQ(Commands("BZ"), (std::vector<std::string>{"BZ:000000", "BZv2", "BZv1", "BZ", "BZv2"}));
  EXPECT_EQ(pictures, (QStringList{"Volume3.gif", "Volume1.gif", "Volume0.gif"}));
}

TEST_F(PanelSim, DswReadSplitsTheBanks) {
  Control("dip 0180");
  EXPECT_EQ(DSWRead(host_, 1), "00000001");
  EXPECT_EQ(DSWRead(host_, 2), "10000000");
  EXPECT_EQ(DSWRead(host_, 3), "");
  EXPECT_EQ(Sent("!!"), 3);
}

TEST_F(PanelSim, DipOverAndBackGivesOk) {
  Control("dip script 0000 FFFF 0000");
  DipSwitchTest test(ui_, host_, state_);
  ui_.SetText("CmdDSWTest", -1, DipSwitchTest::kStart);
  test.Click();
  EXPECT_EQ(ui_.Text("lbDSWTestOKNG"), "OK");
  EXPECT_EQ(ui_.At("lbDSWTestOKNG").fore, 0xC000u);
  EXPECT_EQ(ui_.Text("CmdDSWTest"), DipSwitchTest::kStart);
  EXPECT_TRUE(ui_.Enabled("Frame7SEG"));
}

TEST_F(PanelSim, DipRefusedReadingsCountNoMoveAndStopEndsIt) {
  Control("dip script FFFF - FFFF - FFFF");
  DipSwitchTest test(ui_, host_, state_);
  ui_.SetText("CmdDSWTest", -1, DipSwitchTest::kStart);
  int reads = 0;
  host_.before = [&](const QString& c) {
    if (c == "!!i" && ++reads == 8) test.Click();  // the operator's Stop
  };
  test.Click();
  EXPECT_EQ(test.tracker().StateText(1), "00000000");
  EXPECT_EQ(test.tracker().StateText(2), "00000000");
  EXPECT_EQ(ui_.Text("lbDSWTestOKNG"), "Stop");
}

// ---- erase margin ----

class MarginSim : public PanelSim {
 protected:
  void SetUp() override {
    PanelSim::SetUp();
    Control("card front");
    ui_.At("CmbKdKind").items = KdKindItems();
    ui_.SetListIndex("CmbKdKind", -1, 0);
    ui_.SetText("CmdEraseMargin", -1, EraseMarginTest::kIdle);
    test_.SetPauseScale(0);
  }
  // Kind and the erase rank the device held when each card was printed.
  std::vector<std::pair<std::string, std::string>> Prints() const {
    std::vector<std::pair<std::string, std::string>> out;
    std::string rank = "?";
    for (const std::string& c : Commands("!!PR")) {
      if (c.rfind("!!d:", 0) == 0) rank = c.substr(4);
      if (c.rfind("PR=", 0) == 0) out.push_back({c.substr(3), rank});
    }
    return out;
  }
  std::string FinalRank() const {
    std::string rank;
    for (const std::string& c : Commands("!!"))
      if (c.rfind("!!d:", 0) == 0) rank = c.substr(4);
    return rank;
  }
  QString rank_ = "5";
  EraseMarginTest test_{ui_, host_, state_, [this] {
                          SendVia(host_, QStringLiteral("TH"));
                          mm().gThErRank = rank_;
                        },
                        nullptr};
};

const QString kAutoTitle = QStringLiteral("自動テストモード選択");

TEST_F(MarginSim, AutomaticModeRunsFifteenPrintsAndLeavesRankR) {
  dialogs_.ExpectBox(kAutoTitle,
                     QStringLiteral("★カード自動モードが選択されました。\n　下記のカードの順でテストします。ご用意ください。"
                                    "\n1) ") + KdKindItems()[1] + "\n2) " + KdKindItems()[4] + "\n3) " +
                         KdKindItems()[7] + "\n4) " + KdKindItems()[13] + "\n5) " + KdKindItems()[14],
                     BoxAnswer::kOk);
  for (int k = 0; k < 5; ++k)
    for (const MarginPrint p : {MarginPrint::kMinus, MarginPrint::kPlus, MarginPrint::kDefault})
      dialogs_.ExpectBox(MarginPrintTexts(p, "5").title, MarginPrintTexts(p, "5").question, BoxAnswer::kYes);
  sim_.ClearTranscript();
  test_.Click();
  EXPECT_EQ(dialogs_.pending(), 0u);
  const auto prints = Prints();
  ASSERT_EQ(prints.size(), 15u);
  const std::string kinds = "036<=";
  const char* const energies[] = {"4", "6", "5"};  // R-1, R+1, R
  for (size_t i = 0; i < 15; ++i) {
    EXPECT_EQ(prints[i].first, std::string(1, kinds[i / 3])) << i;
    EXPECT_EQ(prints[i].second, energies[i % 3]) << i;
  }
  EXPECT_EQ(FinalRank(), "5");
  const std::vector<std::vector<std::string>> cards = sim_.PrintedCards();
  ASSERT_EQ(cards.size(), 15u);
  // Each card carries its page and its print command last.
  const std::vector<std::string>& first = cards[0];
  ASSERT_FALSE(first.empty());
  EXPECT_NE(first.back().find("PR"), std::string::npos);
  EXPECT_EQ(ui_.ListIndex("CmbKdKind"), 0);
  EXPECT_EQ(ui_.Text("CmdEraseMargin"), EraseMarginTest::kIdle);
  EXPECT_TRUE(ui_.Enabled("CmdPrntPosition"));
}

TEST_F(MarginSim, NoOnTheSecondQuestionShowsNgInAUsableWindow) {
  ui_.SetListIndex("CmbKdKind", -1, 5);  // kind "4"
  dialogs_.ExpectBox(MarginPrintTexts(MarginPrint::kMinus, "5").title,
                     MarginPrintTexts(MarginPrint::kMinus, "5").question, BoxAnswer::kYes);
  dialogs_.ExpectBox(MarginPrintTexts(MarginPrint::kPlus, "5").title,
                     MarginPrintTexts(MarginPrint::kPlus, "5").question, BoxAnswer::kNo);
  sim_.ClearTranscript();
  test_.Click();
  const auto prints = Prints();
  ASSERT_EQ(prints.size(), 2u);
  EXPECT_EQ(prints[0].first, "4");
  EXPECT_EQ(FinalRank(), "5");
  EXPECT_EQ(ui_.Text("LbTestMsg"), "消去マージン確認テスト NG");
  EXPECT_EQ(ui_.At("ShapeTestMsg").back, 0x8080FFu);
  EXPECT_EQ(ui_.Text("CmdEraseMargin"), EraseMarginTest::kIdle);
  EXPECT_TRUE(ui_.Enabled("CmdPrntPosition"));
  EXPECT_TRUE(ui_.Enabled("CmbKdKind"));
  EXPECT_EQ(ui_.ListIndex("CmbKdKind"), 0);
}

TEST_F(MarginSim, AbortAfterTheShiftedRankPutsRBack) {
  ui_.SetListIndex("CmbKdKind", -1, 1);
  host_.before = [&](const QString& c) {
    if (c == "PC") test_.Click();  // Stop pressed while the shifted rank holds
  };
  sim_.ClearTranscript();
  test_.Click();
  const std::vector<std::string> bang = Commands("!!PRPC");
  ASSERT_GE(bang.size(), 3u);
  EXPECT_EQ(bang[0], "!!d:4");
  EXPECT_EQ(bang[1], "PC");
  EXPECT_EQ(bang[2], "!!d:5");
  EXPECT_EQ(Prints().size(), 0u);
  EXPECT_EQ(FinalRank(), "5");
  EXPECT_EQ(ui_.Text("CmdEraseMargin"), EraseMarginTest::kIdle);
}

TEST_F(MarginSim, EmptyEraseRankPrintsNothing) {
  rank_.clear();
  ui_.SetListIndex("CmbKdKind", -1, 1);
  dialogs_.ExpectBox(ProgramTitle(), QStringLiteral("消去ヘッドランクが読み取れないため、テストを行いません。"), BoxAnswer::kOk);
  sim_.ClearTranscript();
  test_.Click();
  EXPECT_EQ(Commands("!!PRPCCI").size(), 0u);
  EXPECT_EQ(ui_.Text("CmdEraseMargin"), EraseMarginTest::kIdle);
}

// ---- print position ----

class PositionSim : public PanelSim {
 protected:
  void SetUp() override {
    PanelSim::SetUp();
    Control("card front");
    ui_.At("CmbKdKind").items = KdKindItems();
    ui_.SetListIndex("CmbKdKind", -1, 0);
    ui_.SetText("CmdPrntPosition", -1, PrintPositionTest::kIdle);
    ui_.SetValue("ChkPrPositionF", 1);
    ui_.SetValue("ChkPrPositionH", 0);
  }
  void ExpectNotice() {
    dialogs_.ExpectBox(QStringLiteral("印字位置印刷（機能調整印刷用）"),
                       QStringLiteral("拡張範囲印字モードでの印字位置(＜)印刷を行います。"), BoxAnswer::kOk);
  }
  std::string Last(const std::string& codes) const {
    const std::vector<std::string> c = Commands(codes);
    return c.empty() ? std::string() : c.back();
  }
  PrintPositionTest test_{ui_, host_, state_, nullptr};
};

TEST_F(PositionSim, AutomaticItemPrintsThermalKindAndReturnsToItemZero) {
  ExpectNotice();
  sim_.ClearTranscript();
  test_.Click();
  EXPECT_EQ(Last("PPPR"), "PP=?");
  EXPECT_EQ(ui_.ListIndex("CmbKdKind"), 0);
  EXPECT_EQ(ui_.Text("CmdPrntPosition"), PrintPositionTest::kIdle);
  // The card carries the print-position page: five glyphs, mode, clear,
  // version, five pages, then the print.
  const std::vector<std::vector<std::string>> cards = sim_.PrintedCards();
  ASSERT_EQ(cards.size(), 1u);
  const std::vector<std::string> order = Commands("COMS!!");
  ASSERT_GE(order.size(), 3u);
  EXPECT_EQ(order[order.size() - 3], "CO");
  EXPECT_EQ(order[order.size() - 2], "!!i");
  // The page prints the version the device answered to its "VS".
  bool version = false;
  for (const std::string& c : cards[0]) version = version || c.find(kVersion) != std::string::npos;
  EXPECT_TRUE(version);
}

TEST_F(PositionSim, KindPicksPrintCommand) {
  ui_.SetListIndex("CmbKdKind", -1, 15);  // ">"
  ExpectNotice();
  test_.Click();
  EXPECT_EQ(Last("PPPR"), "PP=>");
  ui_.SetListIndex("CmbKdKind", -1, 5);  // "4"
  ExpectNotice();
  Control("card front");
  test_.Click();
  EXPECT_EQ(Last("PPPR"), "PR=4");
}

TEST_F(PositionSim, FailedModeReadEndsWithOneHeadFallback) {
  Control("reply MR 14");
  Control("dip 0000");
  ui_.SetValue("ChkPrPositionF", 0);
  ui_.SetValue("ChkPrPositionH", 1);
  dialogs_.ExpectBox(QStringLiteral("印字印刷（評価印刷用）"), QStringLiteral("互換範囲印字モードでの印字を行います。"),
                     BoxAnswer::kOk);
  sim_.ClearTranscript();
  test_.Click();
  EXPECT_EQ(Last("MS"), "MS:b0H7C7");
  EXPECT_EQ(test_.savedModes(), "H7C7");
}

TEST_F(PositionSim, DipSwitchOneOfBankTwoSetsTheRangeBit) {
  Control("dip 0001");
  Control("reply MR 90 B0F1");
  ExpectNotice();
  test_.Click();
  EXPECT_EQ(Last("MS"), "MS:b1B0F1");
}

TEST_F(PositionSim, PageBoxesActAsOneChoice) {
  ui_.SetValue("ChkPrPositionF", 0);  // the click cleared the ticked box
  test_.PageBoxClicked(true);
  EXPECT_TRUE(ui_.Ticked("ChkPrPositionF"));
  ui_.SetValue("ChkPrPositionH", 1);
  test_.PageBoxClicked(false);
  EXPECT_TRUE(ui_.Ticked("ChkPrPositionH"));
  EXPECT_FALSE(ui_.Ticked("ChkPrPositionF"));
}

// ---- the window ----

TEST_F(PanelSim, BenchWindowCarriesThePanelTabAndThePrintGroup) {
  FormMivorTest form(host_);
  FormControls& ui = form.controls();
  EXPECT_EQ(ui.Text("CmdDSWTest"), DipSwitchTest::kStart);
  EXPECT_EQ(ui.Text("TxtRWDevTstTimer", 0), "0.3");
  auto* kinds = form.findChild<QComboBox*>(QStringLiteral("CmbKdKind"));
  ASSERT_NE(kinds, nullptr);
  EXPECT_EQ(kinds->count(), 17);
  ASSERT_NE(form.findChild<QPushButton*>(QStringLiteral("CmdEraseMargin")), nullptr);
  ASSERT_NE(form.findChild<QPushButton*>(QStringLiteral("CmdPrntPosition")), nullptr);
  auto* buzzer = form.findChild<QPushButton*>(ControlKey(QStringLiteral("CmdRWDevTst"), 2));
  ASSERT_NE(buzzer, nullptr);
  ui.SetText("TxtRWDevTstTimer", 2, "0");
  sim_.ClearTranscript();
  buzzer->click();
  EXPECT_EQ(Commands("BZ"), (std::vector<std::string>{"BZ:000000", "BZv2", "BZv1", "BZ", "BZv2"}));
  EXPECT_EQ(buzzer->text(), "Buzzer Check");
}

}  // namespace
}  // namespace quorel::testing

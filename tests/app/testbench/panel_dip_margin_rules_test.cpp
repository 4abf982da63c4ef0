// The panel, DIP-switch and erase-margin rules without a device: command
// sequences, switch readings and the print pages byte for byte.
#include <gtest/gtest.h>

#include <QFile>
#include <QTest>

#include "testbench/dip_switch_test.h"
#include "testbench/erase_margin_print.h"
#include "testbench/panel_test.h"
#include "testbench/print_position_print.h"
#include "core/cp932_codec.h"

namespace quorel::testing {
namespace {

QStringList AllSevenSegmentCommands() {
  QStringList all;
  for (const PanelStep& s : SevenSegmentSteps()) all += s.commands;
  return all + SevenSegmentClosing();
}

TEST(PanelRules, SevenSegmentSequenceIsTwentyCommandsInFigureEightOrder) {
  const QStringList all = AllSevenSegmentCommands();
  ASSERT_EQ(all.size(), 20);
  EXPECT_EQ(all.front(), "SG:881");
  EXPECT_EQ(all[1], "mdwFF86CA:03");
  const char* const bits[] = {"02", "04", "80", "20", "10", "08", "80", "40"};
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(all[2 + 2 * i], QStringLiteral("mdwFF86C6:") + bits[i]);
    EXPECT_EQ(all[3 + 2 * i], QStringLiteral("mdwFF86C7:") + bits[i]);
  }
  EXPECT_EQ(all[18], "mdwFF86CA:00");
  EXPECT_EQ(all[19], "SG:880");
  EXPECT_EQ(SevenSegmentSteps()[8].caption, "\".\".");
  EXPECT_EQ(MemoryWriteCommand(0xab, 0xc), "mdw0000AB:0C");
}

TEST(PanelRules, StepTimeTextNeverFails) {
  EXPECT_DOUBLE_EQ(StepSecondsOf("0.3"), 0.3);
  EXPECT_DOUBLE_EQ(StepSecondsOf(" 2 "), 2.0);
  for (const char* bad : {"", "abc", "1,5", "-3", "nan", "inf", "0x10"}) EXPECT_DOUBLE_EQ(StepSecondsOf(bad), 0.0) << bad;
}

TEST(PanelRules, BuzzerStepsCarryTheirPicturesAndEndWithoutWait) {
  const auto& s = BuzzerSteps();
  ASSERT_EQ(s.size(), 3u);
  EXPECT_EQ(s[0].caption, "Volume3.gif");
  EXPECT_EQ(s[0].commands, QStringList({"BZ:000000", "BZv2"}));
  EXPECT_EQ(s[1].commands, QStringList({"BZv1"}));
  EXPECT_EQ(s[2].commands, QStringList({"BZ", "BZv2"}));
  EXPECT_FALSE(s[2].wait);
}

TEST(PanelRules, BlinkPhasesLightBothAndDarkenTheModesLamps) {
  std::vector<std::pair<int, bool>> drawn;
  LedBlinker b([&](int lamp, bool lit) { drawn.push_back({lamp, lit}); });
  const std::pair<int, bool> on1{1, true}, on2{2, true}, off1{1, false}, off2{2, false};
  b.SetMode(2);
  b.LightPhase();
  b.DarkPhase();
  EXPECT_EQ(drawn, (std::vector<std::pair<int, bool>>{on1, on2, off2}));
  drawn.clear();
  b.SetMode(3);
  b.LightPhase();
  b.DarkPhase();
  EXPECT_EQ(drawn, (std::vector<std::pair<int, bool>>{on1, on2, off1}));
  drawn.clear();
  b.SetMode(4);
  b.LightPhase();
  b.DarkPhase();
  EXPECT_EQ(drawn, (std::vector<std::pair<int, bool>>{on1, on2, off1, off2}));
  drawn.clear();
  b.SetMode(1);
  b.LightPhase();
  b.DarkPhase();
  EXPECT_TRUE(drawn.empty());

  // On its own timers: a period lights both lamps, its second half darkens
  // them, and a stop leaves nothing armed to draw afterwards.
  b.Stop();
  b.SetMode(4);
  b.Start();
  EXPECT_TRUE(b.active());
  EXPECT_TRUE(QTest::qWaitFor([&] { return drawn.size() >= 4; }, 60 * LedBlinker::kPeriodMs));
  ASSERT_GE(drawn.size(), 4u);
  EXPECT_EQ((std::vector<std::pair<int, bool>>(drawn.begin(), drawn.begin() + 4)),
            (std::vector<std::pair<int, bool>>{on1, on2, off1, off2}));
  b.Stop();
  EXPECT_FALSE(b.active());
  const size_t stoppedAt = drawn.size();
  QTest::qWait(LedBlinker::kPeriodMs + LedBlinker::kOnMs);
  EXPECT_EQ(drawn.size(), stoppedAt);
}

// ---- DIP switches ----

std::optional<DswReading> R(const char* data) { return ParseDswReply(QStringLiteral("A!!90") + data); }

TEST(DipRules, BankBitsPutSwitchOneLast) {
  const QString reply = QStringLiteral("A!!900180");
  EXPECT_EQ(DswBits(reply, 1), "00000001");
  EXPECT_EQ(DswBits(reply, 2), "10000000");
  EXPECT_EQ(DswBits(reply, 3), "");
  EXPECT_EQ(DswBits(reply, 0), "");
}

TEST(DipRules, OnlyGoodReadingsParse) {
  ASSERT_TRUE(R("0180"));
  EXPECT_EQ(R("0180")->bank1, 0x01);
  EXPECT_EQ(R("0180")->bank2, 0x80);
  EXPECT_TRUE(R("ffFF"));
  EXPECT_FALSE(ParseDswReply("A!!990180"));  // refused
  EXPECT_FALSE(ParseDswReply("B!!900180"));  // not finished
  EXPECT_FALSE(ParseDswReply("A!!9001"));    // short
  EXPECT_FALSE(ParseDswReply("A!!9001G0"));  // not hex
  EXPECT_FALSE(ParseDswReply(""));           // time-out: nothing came
}

TEST(DipRules, OverAndBackGivesOk) {
  DswTracker t;
  t.Feed(R("0000"));
  EXPECT_TRUE(t.Feed(R("FFFF")));
  EXPECT_EQ(t.StateText(1), "11111111");
  EXPECT_FALSE(t.Done());
  t.Feed(R("0000"));
  EXPECT_TRUE(t.Done());
}

TEST(DipRules, FailedReadingsBetweenEqualOnesCountNoMove) {
  DswTracker t;
  for (auto r : {R("FFFF"), std::optional<DswReading>{}, R("FFFF"), std::optional<DswReading>{}, R("FFFF")}) t.Feed(r);
  EXPECT_EQ(t.StateText(1), "00000000");
  EXPECT_EQ(t.StateText(2), "00000000");
  EXPECT_FALSE(t.Done());
}

TEST(DipRules, OneSwitchMovesStepByStepAndStopsAtTwo) {
  DswTracker t;
  t.Feed(R("0000"));
  t.Feed(R("0400"));  // switch 3 of bank 1
  EXPECT_EQ(t.State(1, 3), 1);
  EXPECT_EQ(DswStateColor(1), 0x80C0FFu);
  t.Feed(R("0000"));
  t.Feed(R("0400"));
  EXPECT_EQ(t.State(1, 3), 2);
  EXPECT_EQ(t.StateText(1), "00200000");
  EXPECT_EQ(DswStateColor(2), 0x00FF00u);
  EXPECT_EQ(DswStateColor(0), 0xFF80FFu);
}

// ---- erase margin ----

QStringList Golden(const QString& name) {
  QFile f(QStringLiteral(QUOREL_TESTBENCH_GOLDEN_DIR "/") + name);
  EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << name.toStdString();
  return QString::fromLatin1(f.readAll()).split(QStringLiteral("\r\n"));
}

QStringList Page(MarginPrint p, const QString& r) {
  QStringList out;
  for (const QString& c : EraseMarginPage(p, r)) out << c;
  return out;
}

TEST(EraseMarginRules, PagesAreByteEqualToTheGoldenOnes) {
  EXPECT_EQ(Page(MarginPrint::kMinus, "5"), Golden("erase_margin_minus_r5.bin"));
  EXPECT_EQ(Page(MarginPrint::kPlus, "5"), Golden("erase_margin_plus_r5.bin"));
  EXPECT_EQ(Page(MarginPrint::kDefault, "5"), Golden("erase_margin_default_r5.bin"));
  EXPECT_TRUE(Page(MarginPrint::kMinus, "5")[4].startsWith(QStringLiteral("PD:0/4/038/\x1b" "e22")));
}

TEST(EraseMarginRules, RankMustBeOneDigitAndShiftsWithoutPadding) {
  EXPECT_EQ(EraseRankOf("5"), 5);
  EXPECT_EQ(EraseRankOf("0"), 0);
  EXPECT_FALSE(EraseRankOf(""));
  EXPECT_FALSE(EraseRankOf("10"));
  EXPECT_FALSE(EraseRankOf(" "));
  EXPECT_FALSE(EraseRankOf("a"));
  EXPECT_EQ(EraseRankCommand(PrintRank(MarginPrint::kMinus, 0)), "!!d:-1");
  EXPECT_EQ(EraseRankCommand(PrintRank(MarginPrint::kPlus, 9)), "!!d:10");
  EXPECT_EQ(EraseRankCommand(PrintRank(MarginPrint::kDefault, 5)), "!!d:5");
}

TEST(EraseMarginRules, KindListAndAutomaticOrder) {
  const QStringList& items = KdKindItems();
  ASSERT_EQ(items.size(), 17);
  for (int n = 0; n < 16; ++n) EXPECT_EQ(items[n + 1][0], QChar(0x30 + n)) << n;
  EXPECT_EQ(items[12], ";: 予備");
  EXPECT_EQ(items[15], ">:PET ｻｰﾏﾙL (低ｴﾈﾙｷﾞｰ)");
  EXPECT_EQ(items[16], "?:PET ｻｰﾏﾙH (高ｴﾈﾙｷﾞｰ)");
  QString kinds;
  for (const AutoKindStep& s : AutoKindSteps()) {
    kinds += s.kind;
    EXPECT_EQ(items[s.item][0], s.kind);
  }
  EXPECT_EQ(kinds, "036<=");
}

TEST(EraseMarginRules, TextsUseTheIdeographicSpaceBeforePrinting) {
  const MarginTexts m = MarginPrintTexts(MarginPrint::kMinus, "5");
  EXPECT_EQ(m.printing, QStringLiteral("Energy (5) -1\u3000印字 実行中"));
  EXPECT_EQ(m.judge, "Energy (5) -1 判定は？");
  EXPECT_EQ(MarginPrintTexts(MarginPrint::kDefault, "5").judge, "Energy (5) 判定は？");
  EXPECT_EQ(MarginPrintTexts(MarginPrint::kPlus, "5").title, "消去ヘッドランク設定値＋１");
}

// ---- print position ----

QByteArray GoldenBytes(const QString& name) {
  QFile f(QStringLiteral(QUOREL_TESTBENCH_GOLDEN_DIR "/") + name);
  EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << name.toStdString();
  return f.readAll();
}

QByteArray Wire(const std::vector<QString>& page) {
  QByteArray out;
  for (size_t i = 0; i < page.size(); ++i) out += (i ? QByteArray("\r\n") : QByteArray()) + cp932::Encode(page[i]);
  return out;
}

TEST(PrintPositionRules, PagesAreByteEqualToTheGoldenCp932Ones) {
  const QByteArray evaluation = Wire(EvaluationSheet("3210ABCD"));
  EXPECT_EQ(evaluation, GoldenBytes("evaluation_sheet_cp932.bin"));
  EXPECT_TRUE(evaluation.contains("\xFA\x57"));  // the full-width double quote
  const QByteArray position = Wire(PositionSheet("3210ABCD"));
  EXPECT_EQ(position, GoldenBytes("position_sheet_cp932.bin"));
  EXPECT_EQ(EvaluationSheet("x").size(), 11u);
  EXPECT_EQ(PositionSheet("x").size(), 13u);
}

TEST(PrintPositionRules, GlyphsAre148CharacterRasterLines) {
  for (QChar c : QStringLiteral("F0ECBA9")) EXPECT_EQ(TestGlyphCommand(c).size(), 148) << c.toLatin1();
  EXPECT_TRUE(TestGlyphCommand(QLatin1Char('Z')).isEmpty());
  EXPECT_TRUE(TestGlyphCommand(QLatin1Char('B')).endsWith("FF0000"));
}

TEST(PrintPositionRules, KindPicksPrintCommandAndClosingModesNeverDoubleTheHead) {
  EXPECT_EQ(PositionPrintCommand(QLatin1Char('?')), "PP=?");
  EXPECT_EQ(PositionPrintCommand(QLatin1Char('>')), "PP=>");
  EXPECT_EQ(PositionPrintCommand(QLatin1Char('4')), "PR=4");
  EXPECT_EQ(SavedModesOf("AMR90B0F1K0"), "B0F1K0");
  EXPECT_EQ(SavedModesOf("AMR14"), "H7C7");
  EXPECT_EQ(SavedModesOf(""), "H7C7");
  EXPECT_EQ(ClosingModeCommand("10000000", SavedModesOf("")), "MS:b0H7C7");
  EXPECT_EQ(ClosingModeCommand("00000001", "B0F1"), "MS:b1B0F1");
  EXPECT_EQ(ClosingModeCommand("", "B0F1"), "MS:b0B0F1");
}

}  // namespace
}  // namespace quorel::testing

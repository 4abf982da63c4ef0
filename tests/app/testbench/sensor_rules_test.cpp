// The sensor tab's judgements without a window or a device: the A/D code to
// voltage rule in single precision, the battery rule through its rounded
// text, short replies and unreadable limits.
#include <gtest/gtest.h>

#include "testbench/sensor_test.h"

namespace quorel {
namespace {

const std::array<bool, 6> kAll{true, true, true, true, true, true};

SensorLimits Defaults() { return {VoltLimitOf("3.3"), VoltLimitOf("1.32"), VoltLimitOf("3.27")}; }

TEST(SensorRules, CodesAtTheEdgesOfTheDefaultLimits) {
  // S 66, A 67, B FC, C FD, D A0, E 00; then the unused pair and the battery.
  const auto r = JudgeSensorReply("A!!90" "6667FCFDA000" "00" "90", kAll, Defaults());
  ASSERT_TRUE(r.has_value());
  EXPECT_EQ(VoltText((*r)[0].volt), "1.32");
  EXPECT_EQ((*r)[0].result, SensorReading::kNg);  // 1.3199999 < 1.32f
  EXPECT_EQ((*r)[1].result, SensorReading::kOk);
  EXPECT_EQ((*r)[2].result, SensorReading::kOk);
  EXPECT_EQ(VoltText((*r)[3].volt), "3.27");
  EXPECT_EQ((*r)[3].result, SensorReading::kNg);
  EXPECT_EQ(VoltText((*r)[4].volt), "2.07");
  EXPECT_EQ((*r)[4].result, SensorReading::kOk);
  EXPECT_EQ(VoltText((*r)[5].volt), "0.00");
  EXPECT_EQ((*r)[5].result, SensorReading::kNg);
  // The single-precision product lies just under the limit read as single.
  EXPECT_LT(SensorVolt(102, 3.3f), 1.32f);
  EXPECT_FLOAT_EQ(SensorVolt(102, 3.3f), 1.3199999f);
  EXPECT_FLOAT_EQ(SensorVolt(160, 3.3f), 2.0705882f);
}

TEST(SensorRules, EveryCodeFrom67ToFcPassesAndNoOther) {
  for (int code = 0; code < 256; ++code) {
    const QString hex = QString::asprintf("%02X", code);
    const auto r = JudgeSensorReply("A!!90" + hex.repeated(6), kAll, Defaults());
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ((*r)[2].result == SensorReading::kOk, code >= 0x67 && code <= 0xFC) << code;
  }
}

TEST(SensorRules, UntickedSensorsAreNotMeasuredAndFullScaleScales) {
  const std::array<bool, 6> onlyA{false, true, false, false, false, false};
  const auto r = JudgeSensorReply("A!!90" "00A0000000FF", onlyA, {VoltLimitOf("5"), VoltLimitOf("0"), VoltLimitOf("5")});
  ASSERT_TRUE(r.has_value());
  EXPECT_EQ((*r)[0].result, SensorReading::kNotMeasured);
  EXPECT_EQ((*r)[5].result, SensorReading::kNotMeasured);
  EXPECT_EQ(VoltText((*r)[1].volt), "3.14");
}

TEST(SensorRules, ShortRepliesAndIncompletePairs) {
  EXPECT_FALSE(JudgeSensorReply("A!!90A0A0A0A0A", kAll, Defaults()).has_value());  // 14 characters
  EXPECT_FALSE(JudgeSensorReply("", kAll, Defaults()).has_value());
  // 15 characters: no pair for sensor E, read as 0.
  auto r = JudgeSensorReply("A!!90A0A0A0A0A0", kAll, Defaults());
  ASSERT_TRUE(r.has_value());
  EXPECT_EQ((*r)[4].result, SensorReading::kOk);
  EXPECT_EQ(VoltText((*r)[5].volt), "0.00");
  // 16 characters: sensor E has one digit, read as that digit.
  EXPECT_EQ(ReplyHexPair("A!!90A0A0A0A0A0F", 16), 0xF);
  EXPECT_EQ(ReplyHexPair("A!!90A0A0A0A0AF", 14), 0xAF);
  EXPECT_EQ(ReplyHexPair("A!!90G1", 6), 0);
}

TEST(SensorRules, UnreadableLimitsJudgeNg) {
  const auto r = JudgeSensorReply("A!!90A0A0A0A0A0A0", kAll, {VoltLimitOf("3.3"), VoltLimitOf("x"), VoltLimitOf("3.27")});
  ASSERT_TRUE(r.has_value());
  for (const SensorReading& s : *r) EXPECT_EQ(s.result, SensorReading::kNg);
  EXPECT_FALSE(TempLimitOf("abc").has_value());
  EXPECT_FALSE(TempLimitOf("40000").has_value());
  EXPECT_EQ(TempLimitOf("69.6").value(), 70);
}

TEST(SensorRules, BatteryThroughItsRoundedText) {
  const QString lead = "A!!90" "A0A0A0A0A0A0" "00";
  EXPECT_EQ(VoltText(BatteryVolt(lead + "90").value()), "2.80");
  EXPECT_FALSE(BatteryVolt(lead + "90").value() < VoltLimitOf("2.80").value());  // OK at the limit
  EXPECT_EQ(VoltText(BatteryVolt(lead + "8F").value()), "2.78");
  EXPECT_TRUE(BatteryVolt(lead + "8F").value() < VoltLimitOf("2.80").value());
  EXPECT_EQ(VoltText(BatteryVolt(lead + "FF").value()), "4.95");
  // 15 to 19 characters: no battery pair at all.
  EXPECT_EQ(VoltText(BatteryVolt("A!!90A0A0A0A0A0").value()), "0.00");
  EXPECT_EQ(VoltText(BatteryVolt("A!!90A0A0A0A0A0A0A0").value()), "0.00");
  EXPECT_FALSE(BatteryVolt("A!!90A0A0A0A0A").has_value());
}

TEST(SensorRules, TemperaturesAsWholeNumbersBothBoundsIncluded) {
  EXPECT_TRUE(TempWithin("70", 0, 70));
  EXPECT_TRUE(TempWithin("0", 0, 70));
  EXPECT_FALSE(TempWithin("71", 0, 70));
  EXPECT_FALSE(TempWithin("", 0, 190));  // a thermistor code outside the table
  EXPECT_FALSE(TempWithin("25", std::nullopt, 70));
}

}  // namespace
}  // namespace quorel

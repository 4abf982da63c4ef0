// The test bench's rules without a window or a device: the clock compare,
// weekday texts and the clock set command, the identity codec and its write
// check, the RAM-clear read-back verdict.
#include <gtest/gtest.h>

#include "testbench/clock_test.h"
#include "testbench/identity_job.h"
#include "testbench/ram_clear_job.h"

namespace quorel {
namespace {

TEST(BenchClockRules, TimeWithinGapBothBoundsIncluded) {
  EXPECT_TRUE(ClockWithinGap(100.0, 90, 10));
  EXPECT_TRUE(ClockWithinGap(100.0, 110, 10));
  EXPECT_FALSE(ClockWithinGap(100.0, 89, 10));
  EXPECT_FALSE(ClockWithinGap(100.0, 111, 10));
  EXPECT_FALSE(ClockWithinGap(100.5, 90, 10));
}

TEST(BenchClockRules, AGapAcrossMidnightIsNotADay) {
  // PC just before midnight, device just after, and the reverse.
  EXPECT_TRUE(ClockWithinGap(86395.0, 3, 10));
  EXPECT_DOUBLE_EQ(ClockDifference(86395.0, 3), -8.0);
  EXPECT_TRUE(ClockWithinGap(2.0, 86398, 10));
  EXPECT_DOUBLE_EQ(ClockDifference(2.0, 86398), 4.0);
  EXPECT_FALSE(ClockWithinGap(86395.0, 20, 10));
  // Half a day apart stays as it is.
  EXPECT_DOUBLE_EQ(ClockDifference(50000.0, 6800), 43200.0);
}

TEST(BenchClockRules, WeekdaysAndTheSetCommand) {
  EXPECT_EQ(WeekdayCaption(3), "Wed.");
  EXPECT_EQ(WeekdayTip(3), "水 曜日");
  EXPECT_EQ(WeekdayCaption(0), "Sun.");
  EXPECT_EQ(WeekdayCaption(7), "");
  const QDateTime sunday(QDate(2024, 12, 22), QTime(10, 30, 15));
  EXPECT_EQ(ClockSetCommand(sunday), "CK:24122200103015");
  EXPECT_EQ(ClockSetCommand(sunday.addDays(6)), "CK:24122806103015");
  EXPECT_EQ(ClockGapOf(" 10 "), 10);
  EXPECT_EQ(ClockGapOf("2.6"), 3);
  EXPECT_EQ(ClockGapOf("abc"), 0);
}

TEST(BenchIdentityRules, PrefixAndEncodedSerial) {
  EXPECT_EQ(SerialPrefix("2012", "06", "A", "0:Pri Pro").value(), "12FA0");
  EXPECT_EQ(QStringLiteral("eew:82/03/") + EncodedSerial("12FA0", "00001"), "eew:82/03/124641000001");
  EXPECT_EQ(SerialPrefix("2025", "07", "A", "0:Pri Pro").value(), "25GA0");
  EXPECT_EQ(EncodedSerial("25Ga1", "00002"), "2547611" "00002");  // lower case a is 61
  EXPECT_FALSE(SerialPrefix("2012", "13", "A", "0").has_value());
  EXPECT_FALSE(SerialPrefix("2012", "", "A", "0").has_value());
  EXPECT_EQ(MonthLetter(12), "L");
}

TEST(BenchIdentityRules, WritesNeedFourHexDigitsAWord) {
  EXPECT_TRUE(IdentityWriteValid("eew:80/02/02000001"));
  EXPECT_TRUE(IdentityWriteValid("eew:82/03/124641000001"));
  EXPECT_FALSE(IdentityWriteValid("eew:80/02/12 4"));
  EXPECT_FALSE(IdentityWriteValid("eew:80/02/0200000"));
  EXPECT_FALSE(IdentityWriteValid("eew:80/02/020000011"));
  EXPECT_FALSE(IdentityWriteValid("eew:80/02/0200 001"));
  EXPECT_FALSE(IdentityWriteValid("eew:80/02/0200000G"));
}

TEST(BenchRamClearRules, CommandBytesAndReadBack) {
  EXPECT_EQ(kRamClearCommand.toLatin1(), QByteArray::fromHex("21215C242E"));
  EXPECT_EQ(kRamClearedLine.size(), 55);
  EXPECT_TRUE(RamClearedReply("Amd90 " + kRamClearedLine + "     ................"));
  EXPECT_FALSE(RamClearedReply("Amd90 660000: 00 00 00 00 00 00 00 00-00 00 00 00 00 00 00 01"));
  EXPECT_FALSE(RamClearedReply("Amd14"));
}

}  // namespace
}  // namespace quorel

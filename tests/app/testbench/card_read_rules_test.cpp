// The card-read test's rules without a window or a device: which passes run
// in margin mode "!!m2", how track data breaks into lines, how the count box
// is read, and where a reply's data begins.
#include <gtest/gtest.h>

#include <vector>

#include "testbench/card_read_run.h"

namespace quorel {
namespace {

std::vector<int> SecondHalf(int count) {
  std::vector<int> passes;
  for (int pass = 2; pass <= count; ++pass)
    if (InSecondHalf(pass, count)) passes.push_back(pass);
  return passes;
}

TEST(CardReadRules, TheSecondHalfStartsBehindHalfTheCountInRealDivision) {
  const std::vector<int> of200 = SecondHalf(200);
  ASSERT_EQ(of200.size(), 100u);
  EXPECT_EQ(of200.front(), 101);
  EXPECT_EQ(of200.back(), 200);
  EXPECT_EQ(SecondHalf(5), (std::vector<int>{3, 4, 5}));
  EXPECT_EQ(SecondHalf(2), (std::vector<int>{2}));
  EXPECT_EQ(SecondHalf(3), (std::vector<int>{2, 3}));  // 2 > 1.5
  EXPECT_TRUE(SecondHalf(1).empty());
  // The largest count: no overflow at the top.
  EXPECT_TRUE(InSecondHalf(32767, 32767));
  EXPECT_FALSE(InSecondHalf(16383, 32767));
  EXPECT_TRUE(InSecondHalf(16384, 32767));
}

TEST(CardReadRules, TrackDataBreaksIntoLinesOfThirtyCharacters) {
  const QString digits = QStringLiteral("123456789012345678901234567890");  // 30
  EXPECT_EQ(TrackDataLines(QString()), QString());
  EXPECT_EQ(TrackDataLines(digits), digits);
  EXPECT_EQ(TrackDataLines(digits + QStringLiteral("A")), digits + QStringLiteral("\r\nA\r\n"));
  EXPECT_EQ(TrackDataLines(digits + digits), digits + QStringLiteral("\r\n") + digits + QStringLiteral("\r\n"));
  const QString tail = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmn");  // 40: the third line is not cut
  EXPECT_EQ(TrackDataLines(digits + digits + tail),
            digits + QStringLiteral("\r\n") + digits + QStringLiteral("\r\n") + tail);
  // Characters, not bytes: a double-byte character is one of the 30.
  const QString wide = QString(29, QChar(0x30A2)) + QStringLiteral("XY");
  EXPECT_EQ(TrackDataLines(wide), QString(29, QChar(0x30A2)) + QStringLiteral("X\r\nY\r\n"));
}

TEST(CardReadRules, TheCountIsTheLeadingNumberClampedToTheLoopRange) {
  EXPECT_EQ(PassCountOf(QStringLiteral("200")), 200);
  EXPECT_EQ(PassCountOf(QStringLiteral("32767")), 32767);
  EXPECT_EQ(PassCountOf(QStringLiteral("40000")), 32767);
  EXPECT_EQ(PassCountOf(QStringLiteral("99999999999999999999")), 32767);
  EXPECT_EQ(PassCountOf(QStringLiteral("-5")), 0);
  EXPECT_EQ(PassCountOf(QStringLiteral(" 12x")), 12);
  EXPECT_EQ(PassCountOf(QStringLiteral("abc")), 0);
  EXPECT_EQ(PassCountOf(QString()), 0);
}

TEST(CardReadRules, ReplyDataBeginsBehindTheCommandAndTheReplyHead) {
  EXPECT_EQ(ReplyDataFor(QStringLiteral("AVS9014Y2 V1.10"), QStringLiteral("VS")), QStringLiteral("14Y2 V1.10"));
  EXPECT_EQ(ReplyDataFor(QStringLiteral("ACI90%TRACK?"), QStringLiteral("CI")), QStringLiteral("%TRACK?"));
  EXPECT_EQ(ReplyDataFor(QStringLiteral("ACI41"), QStringLiteral("CI")), QString());
  EXPECT_EQ(ReplyDataFor(QStringLiteral("A"), QStringLiteral("CI")), QString());
}

}  // namespace
}  // namespace quorel

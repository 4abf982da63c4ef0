// RoundCurrency in fixed point, and its digit-range box.
#include <gtest/gtest.h>

#include "core/currency.h"
#include "support/scripted_dialogs.h"

namespace quorel {
namespace {

Currency C(const char* text) {
  const std::optional<Currency> c = ParseCurrency(QString::fromLatin1(text));
  EXPECT_TRUE(c.has_value()) << text;
  return c.value_or(Currency{});
}

QString Round(const char* value, int digits, int mode) { return CurrencyStr(RoundCurrency(C(value), digits, mode)); }

TEST(Currency, ParsesAndPrintsTheStandardForm) {
  EXPECT_EQ(C("1.005").units, 10050);
  EXPECT_EQ(C("-2.345").units, -23450);
  EXPECT_EQ(CurrencyStr(C("12")), QStringLiteral(" 12"));
  EXPECT_EQ(CurrencyStr(C("-0.5")), QStringLiteral("-0.5"));
  EXPECT_EQ(CurrencyStr(C("0")), QStringLiteral(" 0"));
  EXPECT_EQ(CurrencyStr(Currency{INT64_MIN}), QStringLiteral("-922337203685477.5808"));
  EXPECT_FALSE(ParseCurrency(QStringLiteral("1.00001")));
  EXPECT_FALSE(ParseCurrency(QStringLiteral("1x")));
  EXPECT_FALSE(ParseCurrency(QStringLiteral("-")));
  EXPECT_FALSE(ParseCurrency(QStringLiteral("922337203685478")));
}

TEST(Currency, RoundsWithoutBinaryFractions) {
  EXPECT_EQ(Round("1.005", 2, 0), QStringLiteral(" 1.01"));  // a double would give 1
  EXPECT_EQ(Round("2.345", 2, 0), QStringLiteral(" 2.35"));
  EXPECT_EQ(Round("-2.345", 2, 0), QStringLiteral("-2.35"));
  EXPECT_EQ(Round("2.341", 2, 1), QStringLiteral(" 2.35"));
  EXPECT_EQ(Round("-2.341", 2, 1), QStringLiteral("-2.35"));
  EXPECT_EQ(Round("2.34", 2, 1), QStringLiteral(" 2.34"));
  EXPECT_EQ(Round("2.349", 2, 9), QStringLiteral(" 2.34"));
  EXPECT_EQ(Round("-2.349", 2, 9), QStringLiteral("-2.34"));
  EXPECT_EQ(Round("0.5", 0, 0), QStringLiteral(" 1"));
  EXPECT_EQ(Round("-0.5", 0, 0), QStringLiteral("-1"));
  EXPECT_EQ(Round("0.0005", 3, 0), QStringLiteral(" 0.001"));
  // 16 characters in text form, so accepted; times 1000 it needs more than 64 bits.
  EXPECT_EQ(Round("922337203685477", 3, 0), QStringLiteral(" 922337203685477"));
}

TEST(Currency, DigitRangeBox) {
  testing::ScriptedDialogs dialogs;
  const QString text = QString::fromUtf8("正しい桁数の範囲で設定して下さい");
  const QString title = QString::fromUtf8("桁エラー");
  dialogs.ExpectBox(title, text, BoxAnswer::kOk);
  dialogs.ExpectBox(title, text, BoxAnswer::kOk);
  dialogs.ExpectBox(title, text, BoxAnswer::kOk);
  EXPECT_EQ(RoundCurrency(C("1.5"), 4, 0), Currency{0});
  EXPECT_EQ(RoundCurrency(C("1.5"), -1, 0), Currency{0});
  EXPECT_EQ(RoundCurrency(C("-12345678901.1234"), 2, 0), C("-12345678901.12"));  // 17 characters
  EXPECT_EQ(RoundCurrency(C("-123456789012.1234"), 2, 0), Currency{0});            // 18 characters
  ASSERT_EQ(dialogs.recorded().size(), 3u);
  const testing::RecordedBox& box = dialogs.recorded()[0];
  EXPECT_EQ(box.kind, testing::RecordedBox::Kind::kBox);
  EXPECT_EQ(box.buttons, BoxButtons::kOk);
  EXPECT_EQ(box.icon, BoxIcon::kNone);
  EXPECT_EQ(box.title, title);
  EXPECT_EQ(box.text, text);
}

}  // namespace
}  // namespace quorel

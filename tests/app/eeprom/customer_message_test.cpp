// The customer message without widgets: the hex form of rows 9 to 11, the
// end mark, a failed middle row, and the digit count texts.
#include "eeprom/customer_message.h"

#include <gtest/gtest.h>

namespace quorel::eep {
namespace {

using Rows = std::array<std::optional<QString>, kMessageRowCount>;

Rows RowsOf(const QString& text) {
  const auto pieces = SplitMessage(EncodeMessage(text));
  EXPECT_TRUE(pieces.has_value());
  return {(*pieces)[0], (*pieces)[1], (*pieces)[2]};
}

const QString kErased(64, QLatin1Char('F'));

TEST(CustomerMessage, EncodesAndSplitsIntoThreeRows) {
  EXPECT_EQ(EncodeMessage(QStringLiteral("A")), QStringLiteral("0041"));
  EXPECT_EQ(EncodeMessage(QStringLiteral("あ")), QStringLiteral("3042"));
  const auto ab = SplitMessage(EncodeMessage(QStringLiteral("AB")));
  ASSERT_TRUE(ab);
  EXPECT_EQ((*ab)[0], QStringLiteral("00410042") + QString(56, QLatin1Char('F')));
  EXPECT_EQ((*ab)[1], kErased);
  EXPECT_EQ((*ab)[2], kErased);

  const auto empty = SplitMessage(QString());
  ASSERT_TRUE(empty);
  for (const QString& piece : *empty) EXPECT_EQ(piece, kErased);

  // 17 characters: the 17th opens row 10.
  const auto seventeen = SplitMessage(EncodeMessage(QString(17, QLatin1Char('a'))));
  ASSERT_TRUE(seventeen);
  EXPECT_EQ((*seventeen)[0], QString("0061").repeated(16));
  EXPECT_EQ((*seventeen)[1], QStringLiteral("0061") + QString(60, QLatin1Char('F')));
  EXPECT_EQ((*seventeen)[2], kErased);

  // 48 characters fill all 192 digits; 49 have no layout.
  const auto full = SplitMessage(EncodeMessage(QString(48, QLatin1Char('Z'))));
  ASSERT_TRUE(full);
  EXPECT_FALSE((*full)[2].contains(QLatin1Char('F')));
  EXPECT_FALSE(SplitMessage(EncodeMessage(QString(49, QLatin1Char('Z')))).has_value());
}

TEST(CustomerMessage, RoundTripsTextsEndingInHexF) {
  const QString texts[] = {QStringLiteral("HELLO"), QStringLiteral("AB?"), QStringLiteral("テスト"),
                           QStringLiteral("o/_"), QString(), QString(40, QChar(0x3042)),
                           QString(48, QLatin1Char('O')), QStringLiteral("\U0001F600x")};
  for (const QString& text : texts) EXPECT_EQ(DecodeMessage(RowsOf(text)), text) << text.toStdString();
}

TEST(CustomerMessage, FailedRowEndsTheMessage) {
  // 20 characters run into row 10; its read fails: rows 9 and 11 are not
  // glued together, only row 9's text comes back.
  const QString text = QStringLiteral("ABCDEFGHIJKLMNOPQRST");
  Rows rows = RowsOf(text);
  rows[1].reset();
  EXPECT_EQ(DecodeMessage(rows), text.left(16));
  rows[0].reset();
  EXPECT_EQ(DecodeMessage(rows), QString());
}

TEST(CustomerMessage, ShortRowDataGiveThePartialCodeUnit) {
  // Three digits: high byte from two, low byte from the third; one digit
  // is dropped.
  EXPECT_EQ(DecodeMessage({QStringLiteral("0041304"), std::nullopt, std::nullopt}),
            QStringLiteral("A") + QChar(0x3004));
  EXPECT_EQ(DecodeMessage({QStringLiteral("004130"), std::nullopt, std::nullopt}),
            QStringLiteral("A") + QChar(0x3000));
  EXPECT_EQ(DecodeMessage({QStringLiteral("00413"), std::nullopt, std::nullopt}), QStringLiteral("A"));
  // Reply text that is not hex (a failed read shown whole) gives 0 bytes,
  // never a negative value.
  EXPECT_EQ(DecodeMessage({QStringLiteral("-A41"), std::nullopt, std::nullopt}), QString(QChar(0x0041)));
}

TEST(CustomerMessage, CountTexts) {
  EXPECT_EQ(MessageCountCaption(0), QStringLiteral("0byte [0.0%] [max192byte]"));
  EXPECT_EQ(MessageCountCaption(12), QStringLiteral("12byte [6.3%] [max192byte]"));
  EXPECT_EQ(MessageCountCaption(192), QStringLiteral("192byte [100.0%] [max192byte]"));
  EXPECT_EQ(MessageCountCaption(196), QStringLiteral("196byte [102.1%] [max192byte]"));
  EXPECT_EQ(MessageCountTip(0), QStringLiteral("0byte [0%] [max192byte]"));
  EXPECT_EQ(MessageCountTip(96), QStringLiteral("96byte [50%] [max192byte]"));
  EXPECT_EQ(MessageCountTip(64), QStringLiteral("64byte [33.3333333333333%] [max192byte]"));
  EXPECT_EQ(MessageDigits(QStringLiteral("テスト")), 12);
}

}  // namespace
}  // namespace quorel::eep

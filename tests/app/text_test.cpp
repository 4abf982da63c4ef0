// The codec, the conversions and the command-text macros, byte for byte.
#include <QByteArray>
#include <QFile>
#include <QString>

#include <gtest/gtest.h>

#include "core/conversions.h"
#include "core/cp932_codec.h"
#include "core/main_module.h"
#include "core/text_macros.h"

namespace quorel {
namespace {

QByteArray Bytes(const QString& text) { return cp932::Encode(text); }
QString U(const char* utf8) { return QString::fromUtf8(utf8); }

TEST(Cp932Codec, DecodesNeverFailingAndEncodesWithQuestionMarks) {
  // Half-width katakana, a double-byte character with a 0x5C trail byte, a
  // CP932 extension character.
  EXPECT_EQ(cp932::Decode(QByteArray("\xB1\x83\x5C\x87\x40")), U("ｱソ①"));
  EXPECT_EQ(Bytes(U("ｱソ①")), QByteArray("\xB1\x83\x5C\x87\x40"));
  // A lone bad byte and a lead byte cut off at the end: one U+FFFD each.
  EXPECT_EQ(cp932::Decode(QByteArray("a\x80z\x82")), U("a\uFFFDz\uFFFD"));
  // Characters CP932 cannot hold, and a lone surrogate, become "?".
  EXPECT_EQ(Bytes(U("é€x")), QByteArray("??x"));
  EXPECT_EQ(Bytes(QString(QChar(0xD800)) + QLatin1Char('y')), QByteArray("?y"));
  // The exact form tells a text that went over whole from one that did not.
  QByteArray out;
  EXPECT_TRUE(cp932::EncodeExact(U("/tmp/画像/a.bmp"), &out));
  EXPECT_EQ(out, QByteArray("/tmp/\x89\xe6\x91\x9c/a.bmp"));
  EXPECT_FALSE(cp932::EncodeExact(U("/tmp/café/a.bmp"), &out));
  EXPECT_EQ(out, QByteArray("/tmp/caf?/a.bmp"));
}

TEST(Cp932Codec, RawByteEscapesBecomeTheirBytes) {
  for (int b = 0; b < 256; ++b) {
    const QByteArray one = Bytes(QString(cp932::ByteChar(static_cast<unsigned char>(b))));
    ASSERT_EQ(one.size(), 1) << b;
    EXPECT_EQ(static_cast<unsigned char>(one[0]), b);
  }
  // A lead byte escape followed by an ordinary character stays two pieces.
  EXPECT_EQ(Bytes(QString(cp932::ByteChar(0x82)) + QLatin1Char('A')), QByteArray("\x82" "A"));
  EXPECT_EQ(cp932::ByteChar(0xB1), QChar(0xFF71));  // a character by itself: no escape
  EXPECT_TRUE(cp932::IsByteEscape(cp932::ByteChar(0xFF)));
}

TEST(Conversions, HexPairToIntReadsTheDeviceDigits) {
  EXPECT_EQ(HexPairToInt(QStringLiteral("0D")), 13);
  EXPECT_EQ(HexPairToInt(QStringLiteral(":;")), 171);
  EXPECT_EQ(HexPairToInt(QStringLiteral("FF")), 255);
  EXPECT_EQ(HexPairToInt(QStringLiteral("??")), 255);
  EXPECT_EQ(HexPairToInt(QStringLiteral("a")), 42 * 16 + 42);  // lower case is no digit; one char twice
  EXPECT_EQ(HexPairToInt(QStringLiteral("7")), 0x77);
}

TEST(Conversions, ByteLengthAndHexOfText) {
  EXPECT_EQ(AnsiByteLen(U("AB")), 2);
  EXPECT_EQ(AnsiByteLen(U("ｱあ①")), 5);
  EXPECT_EQ(StrToHex(QStringLiteral("AB")), QStringLiteral("4142"));
  EXPECT_EQ(StrToHex(U("あ")), QStringLiteral("82A0"));
  EXPECT_EQ(StrToHex(QString()), QString());
  EXPECT_EQ(StrToHex(QString(QChar(1))), QStringLiteral("01"));
  EXPECT_EQ(StripCtrlChars(U("a\tb\x1B" "c あ\x7F")), U("abc あ\x7F"));
}

TEST(Conversions, BitTexts) {
  EXPECT_EQ(HexToBin(QStringLiteral("A1f")), QStringLiteral("101000011111"));
  EXPECT_EQ(HexToBin(QStringLiteral("x0-")), QStringLiteral("0000"));
  EXPECT_EQ(BinToHex(QStringLiteral("1010")), QStringLiteral("A"));
  EXPECT_EQ(BinToHex(QStringLiteral("1.1")), QStringLiteral("2"));    // 1.5 -> 2
  EXPECT_EQ(BinToHex(QStringLiteral("10.1")), QStringLiteral("2"));   // 2.5 -> 2 (half to even)
  EXPECT_EQ(BinToHex(QStringLiteral("10.11")), QStringLiteral("3"));  // 2.75
  EXPECT_EQ(BinToHex(QStringLiteral("10.01")), QStringLiteral("2"));  // 2.25
  // Beyond a double's precision the sum is still just over one half.
  EXPECT_EQ(BinToHex(QStringLiteral("0.1") + QString(70, QLatin1Char('0')) + QStringLiteral("1")),
            QStringLiteral("1"));
  EXPECT_EQ(BinToHex(QStringLiteral("1111111111111111111111111111111")), QStringLiteral("7FFFFFFF"));
  EXPECT_EQ(BinToHex(QString()), QStringLiteral("0"));
}

TEST(Conversions, SwapDevHexChar) {
  EXPECT_EQ(SwapDevHexChar(QStringLiteral("B")), QStringLiteral("b"));
  EXPECT_EQ(SwapDevHexChar(QStringLiteral("b")), QStringLiteral(";"));
  EXPECT_EQ(SwapDevHexChar(QStringLiteral("=")), QStringLiteral("d"));
  EXPECT_EQ(SwapDevHexChar(QStringLiteral("E")), QStringLiteral("E"));
  EXPECT_EQ(SwapDevHexChar(QStringLiteral("ab")), QStringLiteral("ab"));
}

TEST(Conversions, ThermistorGolden) {
  QFile golden(QStringLiteral(QUOREL_GOLDEN_DIR "/thermistor.txt"));
  ASSERT_TRUE(golden.open(QIODevice::ReadOnly));
  int lines = 0;
  while (!golden.atEnd()) {
    const QString line = QString::fromLatin1(golden.readLine()).chopped(1);
    const QString code = line.left(2);
    EXPECT_EQ(ThermistorToCelsius(code), line.mid(3)) << code.toStdString();
    ++lines;
  }
  EXPECT_EQ(lines, 256);
  EXPECT_EQ(ThermistorToCelsius(QStringLiteral("fc")), QString());
  EXPECT_EQ(ThermistorToCelsius(QStringLiteral("F")), QString());
  EXPECT_EQ(ThermistorToCelsius(QStringLiteral("F7 ")), QString());
}

TEST(Conversions, LeadingNumberClampsInsteadOfWrapping) {
  EXPECT_EQ(LeadingNumber(QStringLiteral("-1"), -32768, 32767), -1);
  EXPECT_EQ(LeadingNumber(QStringLiteral("12ab"), -32768, 32767), 12);
  EXPECT_EQ(LeadingNumber(QStringLiteral("x1"), -32768, 32767), 0);
  EXPECT_EQ(LeadingNumber(QString(), -32768, 32767), 0);
  EXPECT_EQ(LeadingNumber(QStringLiteral(" +7"), -32768, 32767), 7);
  EXPECT_EQ(LeadingNumber(QStringLiteral("32768"), -32768, 32767), 32767);
  EXPECT_EQ(LeadingNumber(QStringLiteral("-32768"), -32768, 32767), -32768);
  EXPECT_EQ(LeadingNumber(QStringLiteral("-99999999999999999999999"), -32768, 32767), -32768);
  EXPECT_EQ(LeadingNumber(QStringLiteral("99999999999999999999999"), INT32_MIN, INT32_MAX), INT32_MAX);
}

class Macros : public ::testing::Test {
 protected:
  void SetUp() override { mm() = MainModule{}; }
};

TEST_F(Macros, ControlMacrosGiveTheirBytes) {
  EXPECT_EQ(Bytes(ExpandCtrlMacros(QStringLiteral("lf$esc$bin$41X"))), QByteArray("\x0A\x1B" "AX"));
  EXPECT_EQ(Bytes(ExpandCtrlMacros(QStringLiteral("bin$82bin$A0"))), QByteArray("\x82\xA0"));
  EXPECT_EQ(Bytes(ExpandCtrlMacros(QStringLiteral("bin$FFbin$80bin$:?"))), QByteArray("\xFF\x80\xAF"));
  EXPECT_EQ(Bytes(ExpandCtrlMacros(QStringLiteral("si$so$"))), QByteArray("\x0F\x0E"));
  // Macros inside words; replaced text is not examined again.
  EXPECT_EQ(ExpandCtrlMacros(QStringLiteral("xesc$$lf$y")), QStringLiteral("x\x1B$\ny"));
}

TEST_F(Macros, WhatIsNoMacroStaysLiteral) {
  EXPECT_EQ(ExpandCtrlMacros(QStringLiteral("bin$zz")), QStringLiteral("bin$zz"));
  EXPECT_EQ(ExpandCtrlMacros(QStringLiteral("abin$")), QStringLiteral("abin$"));
  EXPECT_EQ(ExpandCtrlMacros(QStringLiteral("bin$4z")), QStringLiteral("bin$4z"));
  EXPECT_EQ(ExpandCtrlMacros(QStringLiteral("bin$4a")), QStringLiteral("bin$4a"));  // lower case
  EXPECT_EQ(ExpandCtrlMacros(QStringLiteral("ESC$LF$")), QStringLiteral("ESC$LF$"));
  // One digit at the very end reads as both digits.
  EXPECT_EQ(Bytes(ExpandCtrlMacros(QStringLiteral("Zbin$4"))), QByteArray("ZD"));
}

TEST_F(Macros, TextMacrosInTheirOrder) {
  MainModule& m = mm();
  m.gVersionText = QStringLiteral("V1");
  m.gThPw1 = QStringLiteral("P");
  m.gThPw2 = QStringLiteral("Q");
  m.gReText = QStringLiteral("R");
  m.gThTphRank = QStringLiteral("3");
  m.gThErRank = QStringLiteral("4");
  m.gThErLot = QStringLiteral("5");
  m.gThTphTemp = QStringLiteral("6");
  m.gThErTemp = QStringLiteral("7");
  m.gThBoardTemp = QStringLiteral("8");
  EXPECT_EQ(ExpandTextMacros(QStringLiteral("PD:ver$/pw$/re$/tr$/er$/el$/tt$/et$/pt$")),
            QStringLiteral("PD:V1/PQ/R/3/4/5/6/7/8"));
  EXPECT_EQ(ExpandTextMacros(QStringLiteral("VER$")), QStringLiteral("VER$"));
  m.gVersionText.clear();
  EXPECT_EQ(ExpandTextMacros(QStringLiteral("a ver$b")), QStringLiteral("a b"));
  // "ver$" wins over the "er$" inside it; an inserted value is not expanded.
  m.gVersionText = QStringLiteral("er$");
  EXPECT_EQ(ExpandTextMacros(QStringLiteral("ver$")), QStringLiteral("er$"));
}

TEST_F(Macros, ControlCharsShownAsMacros) {
  EXPECT_EQ(CtrlCharsToMacros(QStringLiteral("a\x1B" "b\x0F\x0E\nc\x01")), QStringLiteral("aesc$bsi$so$lf$c\x01"));
  EXPECT_EQ(CtrlCharsToMacros(ExpandCtrlMacros(QStringLiteral("esc$si$so$lf$"))), QStringLiteral("esc$si$so$lf$"));
}

}  // namespace
}  // namespace quorel

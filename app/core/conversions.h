// Small text and number conversions that windows of every subsystem use on
// device replies and command texts.
#pragma once
#include <QChar>
#include <QString>
#include <cstdint>

namespace quorel {

// Value of two hex digits as the device writes them: each character's code,
// 64 or more minus 55 ("A".."F" -> 10..15), else minus 48 ("0".."9" -> 0..9,
// ":" ";" "<" "=" ">" "?" -> 10..15). Lower case is not a hex digit here
// ("a" gives 42). One character counts as both digits; "" gives 0.
int HexPairToInt(const QString& text);

// True for the characters HexPairToInt reads as 0..15: "0".."9", ":".."?", "A".."F".
bool IsDeviceHexDigit(QChar c);

// Number of CP932 bytes of the text (a double-byte character counts two).
int32_t AnsiByteLen(const QString& text);

// The text's CP932 bytes as upper-case hex pairs ("AB" -> "4142").
QString StrToHex(const QString& text);

// The text without characters below the space.
QString StripCtrlChars(const QString& text);

// Each hex digit (either case) as four bit digits, most significant first;
// any other character is skipped.
QString HexToBin(const QString& text);

// A bit text with an optional binary point ("1.1") as upper-case hex, the sum
// rounded half to even ("1.1" is 1.5 -> "2"). Characters other than "1"
// count as 0; integer bits beyond the 63rd are ignored.
QString BinToHex(const QString& text);

// The device's notation for the hex digits 10..13: "a".."d" <-> ":".."=",
// "A".."D" -> "a".."d"; anything else comes back unchanged.
QString SwapDevHexChar(const QString& ch);

// Whole degrees Celsius of a thermistor's A/D value written as two upper-case
// hex digits ("F7" -> "0"); "" for codes outside 12..FC and any other text.
QString ThermistorToCelsius(const QString& code);

// The number formed by the text's leading blanks, sign and digits ("-1x" ->
// -1, "x" -> 0), clamped to lo..hi instead of wrapping.
int64_t LeadingNumber(const QString& text, int64_t lo, int64_t hi);

}  // namespace quorel

// The customer message as a Mivor device keeps it in EEPROM rows 9 to 11:
// each UTF-16 code unit as four upper-case hex digits (high byte first), at
// most 192 digits, the row holding the last digit filled up with "F" and the
// rows behind it erased. No length is stored: the text ends at the first
// word "FFFF".
//
// The windows count the message in hex digits and call them "byte".
#pragma once
#include <QString>
#include <array>
#include <optional>

namespace quorel::eep {

constexpr int kMessageMaxDigits = 192;
constexpr int kMessageRowCount = 3;  // rows 9, 10 and 11

// "AB" -> "00410042".
QString EncodeMessage(const QString& text);
// Digits of the encoded text: four per code unit.
int MessageDigits(const QString& text);
// The three row pieces of an encoded message of at most 192 digits, each
// 64 digits; nullopt when the message is longer (nothing may be written).
std::optional<std::array<QString, kMessageRowCount>> SplitMessage(const QString& hex);

// The text of rows 9 to 11 as read: the data of each row that was read, or
// nullopt for a row whose read failed. Only the rows before the first failed
// one count, so a failed middle row never glues its neighbours together.
// The text ends at the first word (four-digit group) "FFFF"; a last group
// of two or three digits gives a code unit of its first two digits (high)
// and its third (low, 0 when missing); a single digit is dropped.
QString DecodeMessage(const std::array<std::optional<QString>, kMessageRowCount>& rows);

// The count label: "12byte [6.3%] [max192byte]".
QString MessageCountCaption(int digits);
// The count tool tip: the percentage with up to 15 significant digits,
// "16byte [8.33333333333333%] [max192byte]".
QString MessageCountTip(int digits);

// The box shown when the message is over 192 digits.
QString MessageOverflowText();
QString MessageOverflowTitle();

}  // namespace quorel::eep

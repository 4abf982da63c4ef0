// The EEPROM as the window addresses it: 16-bit words, rows of 16 words
// (row r holds words r*16 to r*16+15, shown as 64 upper-case hex digits,
// four a word, high byte first), the word commands "eer:"/"eew:" and the
// ways a reply is judged and cut.
//
// Reply positions count characters from 1 over the whole reply text: kind
// letter, two-character echoed code, two-character status, data from 6.
#pragma once
#include <QChar>
#include <QString>

namespace quorel::eep {

// The word map: where the families keep what the window interprets.
constexpr int kWordPrintPosition = 0x08;   // Dastel-type: low byte
constexpr int kWordRankDensity = 0x20;     // Dastel-type: head rank high, density low
constexpr int kWordEraseLotRank = 0x22;    // Dastel-type: erase lot high, erase rank low
constexpr int kWordMemorySwitches = 0x2F;  // Mivor: low byte, high byte its complement
constexpr int kFirstMessageRow = 9;        // Mivor: customer message in rows 9 to 11
constexpr int kLastMessageRow = 11;
constexpr int kRowDigits = 64;

// The row as one upper-case hex digit "0" to "F".
QChar RowDigit(int row);
// The row's first word address as two hex digits: "00", "A0".
QString RowAddress(int row);
// The row button's caption: "0xA0～0xAF" (U+FF5E between the addresses).
QString RowCaption(int row);
// The row button's tool tip as the window sets it when it opens or clears.
QString RowButtonTip(int row);
// The row label of tool tips, report lines and data-file keys:
// "0xA0～0xAF(A0/10)".
QString RowLabel(int row);

// "eer:A0/10" and "eew:A0/10/" + data (sent as it stands).
QString RowReadCommand(int row);
QString RowWriteCommand(int row, const QString& data);
// Words by address and count: "eer:2F/01", "eew:20/01/4133".
QString WordReadCommand(int address, int count);
QString WordWriteCommand(int address, int count, const QString& data);
// A row of erased words: 64 "F".
QString ErasedRow();

// "A" + code + "90" at the start ("Aee90" for the word commands).
bool BeginsOk(const QString& reply, const QString& code);
// Characters 4 and 5 are "90".
bool StatusOk(const QString& reply);
// The data: the reply from character 6 on ("" when shorter).
QString ReplyData(const QString& reply);
// Characters from to to (from 1), as many as the reply has.
QString ReplyChars(const QString& reply, int from, int to);

// A tool tip that carries the text's length: text + " [" + length + "]".
QString WithLength(const QString& text);
// One report line: label, separator, value, CR LF.
QString ReportLine(const QString& label, const QString& separator, const QString& value);

}  // namespace quorel::eep

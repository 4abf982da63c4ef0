// What the settings and counter panels of the EEPROM window decide without
// any widget: the nine Mivor setting changes (read, write, the character the
// device answers with), the five settings bytes of the word families, the
// backup-battery voltage, the rank markers, and the counter lines and the
// counter write. The test bench's settings tab uses the same builders.
//
// Reply positions count from 1 over the whole reply text (kind letter, echo,
// status, data from 6).
#pragma once
#include <QString>
#include <optional>

#include "eeprom/eep_tables.h"

namespace quorel::eep {

// ---- Mivor settings -------------------------------------------------------

// One row of the Mivor change table.
struct MivorChangeRow {
  const char* readCommand;  // "!!r?", "!!d?", "!!o?", "!!h?"
  const char* headline;     // first line of the confirmation
  const char* valueLabel;   // before the old value on its second line
  int comparedPosition;     // the reply character that must carry the new value
  int replyLength;          // the read's reply must hold this many characters
};
// Index 0 to 8; nullptr for any other.
const MivorChangeRow* MivorChange(int index);

// The values the read of an index's row reports, in device notation as the
// reply holds them: characters 6 to replyLength.
// The read is usable for a write only when it was answered "A!!90" and
// carries every character the write needs.
bool MivorReadUsable(int index, const QString& reply);

// The typed value as the write sends it: trimmed, exactly one item of the
// index's list ("A" to "D" taken as "a" to "d"); nothing when it is not.
std::optional<QString> MivorNewValue(int index, const QString& typed);

// The old value the confirmation shows, from the read's reply (the TPH rank
// in window notation).
QString MivorOldValue(int index, const QString& readReply);

// The write of the index: the new value (window notation) with the other
// characters taken from the read's reply.
QString MivorWriteCommand(int index, const QString& readReply, const QString& newValue);

// True when the write's reply carries the new value at the compared
// position (the TPH rank through the notation swap), case-sensitive.
bool MivorChangeTaken(int index, const QString& writeReply, const QString& newValue);

// The confirmation text: headline, CR LF, value label, old, " → ", new.
QString MivorConfirmText(int index, const QString& oldValue, const QString& newValue);

// The marker of a TPH rank in window notation: "0"-"9" 0-9, "a"-"d" 10-13,
// -1 for anything else ("e", "", ":").
int TphRankMarker(const QString& rank);
// The erase-rank marker 2 to 6, else -1.
int EraseRankMarker(const QString& rank);

// The backup battery voltage of an "!!s" reply, "#0.00": characters 20-21
// read as hex (stopping at the first other character, none giving 0),
// times 3.3 / 255 * 1.5, rounded to 15 significant digits and then half
// away from zero ("B4" "3.49", "FF" "4.95").
QString BackupVolt(const QString& sReply);

// The Mivor report lines of the settings read, each label 12 ANSI columns.
QString MivorSettingsReport(const QString& separator);

// ---- Dastel, Quenby and Folsk settings -------------------------------------

// The character of a settings byte given as two hex digits; "" when the
// text is not two hex digits.
QString ByteCharacter(const QString& hex2);
// The read-before-write is usable when answered "Aee90" with four hex digits.
bool WordReadUsable(const QString& reply);
// The typed value as one CP932 byte: trimmed, exactly one item of the
// index's list ("A" to "D" as "a" to "d"); its two hex digits, or nothing.
std::optional<QString> WordNewByte(int index, const QString& typed);
// The old value of the change box from the word's two bytes (hex texts).
QString WordOldValue(int index, const QString& high, const QString& low);
// "eew:" + word + "/01/" + the four hex digits with the setting's byte
// replaced.
QString WordSettingWriteCommand(int index, const QString& high, const QString& low, const QString& newByte);
// The read command of the index's word: "eer:20/01", "eer:22/01", "eer:08/01".
QString WordReadCommandOf(int index);
// The confirmation text of the word families.
QString WordConfirmText(int index, const QString& oldValue, const QString& newValue);
// What the read shows for the density (erased "2") and the print position
// (erased "4") from the low byte's two hex digits.
QString DensityShown(const QString& low);
QString PositionShown(const QString& low);

// ---- counters -------------------------------------------------------------

// The access code of the counter write.
QString CounterWriteCode();
// The value characters of one counter line from the "CT:" reply.
QString CounterValue(const CounterLine& line, const QString& reply);
// The counter write for that item and typed value; nothing (and *why set)
// when the item is no table row or the value is not trimmed decimal digits
// within the item's range (0..65535 one word, 0..2147483647 two words).
std::optional<QString> CounterWriteCommand(const QString& item, const QString& typed, QString* why);

}  // namespace quorel::eep

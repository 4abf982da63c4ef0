// The fixed tables of the EEPROM window's counter and settings panels: the
// counters a "CT:" read lists per family, the counters a write can set and
// where their words lie, and the values each setting offers.
#pragma once
#include <QString>
#include <QStringList>

namespace quorel::eep {

// A counter the write can set: its EEPROM word address and word count (a
// two-word counter keeps its high 16 bits in the word at the address). The
// data sent is always 4 hex digits a word, zero-padded.
struct CounterItem {
  const char* text;  // the item as the counter list offers it
  int address;
  int words;
};

// One line of a counter read: the command, the label the list shows before
// the value, the reply characters shown (positions from 1 over the whole
// reply) and the label of its report line.
struct CounterLine {
  const char* command;
  const char* label;
  int from;
  int to;
  const char* reportLabel;
};

// The 16 items every counter list offers, in list order.
const CounterItem* CounterItems(int* count);
// The item of that text (exact compare), or nullptr.
const CounterItem* FindCounterItem(const QString& text);
// The 19 counters of a Mivor read and the 16 of a Dastel, Quenby or Folsk read.
const CounterLine* MivorCounters(int* count);
const CounterLine* WordFamilyCounters(int* count);

// Setting panels: the captions of the setting buttons (Mivor 0 to 8, the
// other families 0 to 4) and the values each setting's list offers.
QString SettingCaption(int index);
QStringList SettingValues(int index);
constexpr int kMivorSettings = 9;
constexpr int kWordFamilySettings = 5;

// Where a Dastel, Quenby or Folsk unit keeps setting index 0 to 4: the word
// and which of its bytes ("2" stored as 0x32).
struct SettingByte {
  int word;
  bool highByte;
};
SettingByte WordFamilySettingByte(int index);

}  // namespace quorel::eep

// The device identity of the bench's "Information Input" tab: the bar-code
// label (EEPROM words 80/02), the serial number (82/03) and the manufacture
// date (85/02), each read ("eer:") and written ("eew:", then read back),
// entered either normally (the program adds fixed parts or encodes the
// serial) or raw. A write whose data is not exactly four hex digits a word
// is refused before anything is sent.
#pragma once
#include <QDate>
#include <QString>
#include <functional>
#include <optional>

namespace quorel {

class FormControls;
class JobHost;
struct BenchJobState;

enum class IdentityItem { kBarCode, kSerial, kDate };

// ---- rules ----

// "A" for month 1 ... "L" for 12; "" otherwise.
QString MonthLetter(int month);
// The five-character serial prefix: the year box's last two characters, the
// month letter, the letter box and the production digit (first character
// of the list's text). Nothing when the month is not a whole number 1-12.
std::optional<QString> SerialPrefix(const QString& year, const QString& month, const QString& letter,
                                    const QString& listText);
// The twelve stored characters of a normal serial entry: prefix characters
// 1-2, the codes of characters 3 and 4 as upper-case hex, character 5, then
// the sequence as it stands.
QString EncodedSerial(const QString& prefix, const QString& sequence);
// The data of a write ("eew:AA/NN/data") is exactly 4 x NN hex digits.
bool IdentityWriteValid(const QString& writeCommand);

// ---- the jobs ----

class IdentityJob {
 public:
  IdentityJob(FormControls& ui, JobHost& host, BenchJobState& state);
  void SetToday(std::function<QDate()> today) { today_ = std::move(today); }

  // CmdBarCodeLabel_Click, CmdDeviceSerial_Click, CmdDate_Click: 0 reads, 1 writes.
  void Click(IdentityItem item, int index);
  // The write text of the item by its entry mode.
  QString WriteCommand(IdentityItem item) const;
  // A click on box k (0 normal, 1 raw) of the item's entry-mode pair.
  void EntryModeClick(IdentityItem item, int k);
  // TxtDeviceSiri_LostFocus: repairs the part and rebuilds the prefix.
  void SerialPartLeft(int index);
  // ListDeviceSrial's change: the prefix's last character follows the list.
  void ListChanged();
  // Form_Load: parts repaired from today, raw serial, date boxes.
  void Load();

 private:
  void Read(IdentityItem item);
  void Write(IdentityItem item);
  void RebuildPrefix();
  void ApplyMode(IdentityItem item, int k);

  FormControls& ui_;
  JobHost& host_;
  BenchJobState& state_;
  std::function<QDate()> today_;
};

}  // namespace quorel

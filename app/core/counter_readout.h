// The counter readout: which "CT:" commands a model answers, the label of
// each and where its value sits in the reply. The sender runs the list in
// order and joins the lines with CR LF; "CT" replies are decoded as well.
#pragma once
#include <QString>
#include <vector>

namespace quorel {

struct CounterEntry {
  const char* command;  // "CT:a"
  const char* label;    // UTF-8, leading blanks included
  int position;         // first character of the value in the reply (1-based)
  int length;
};

// Family A: the version text begins with the family's letter "M"; it has its
// own 19 counters (letters g, h and q are not read), all other models 12.
bool IsCounterFamilyA(const QString& versionText);
const std::vector<CounterEntry>& CounterList(bool familyA);

// Label and value as shown; the value is the device's hex digits as they come,
// whatever the end code.
QString CounterLine(const CounterEntry& entry, const QString& replyText);

}  // namespace quorel

// The counter panel of every EEPROM tab: the read of all usage and error
// counters ("CT:"), the write of one counter behind the access code, and
// the resets of the error counts ("!!e") and of the error and pass counts
// ("!!c"). Mivor has its own controls; the other tabs share the "_Dastel"
// arrays, indexed by the family.
#pragma once
#include "eeprom/eep_frame.h"

namespace quorel::eep {

class EepCounters {
 public:
  explicit EepCounters(EepFrame& frame) : frame_(frame) {}

  void Read(Family f);
  // The item and the value are checked before the access code is asked: a
  // write that would not be sent asks for nothing.
  void Write(Family f);
  // "!!e" (withPass false) or "!!c" after the question; a good answer
  // re-reads the list.
  void Reset(Family f, bool withPass);

 private:
  EepFrame& frame_;
};

}  // namespace quorel::eep

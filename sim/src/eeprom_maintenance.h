// What the EEPROM window asks of the device's "!!" maintenance command
// beyond the settings the device state keeps: the head lift and an end code
// chosen by a test.
//
// "!!h" followed by one position digit moves the heads: 0 under, 1 top,
// 2 middle; any other character there (but "?" and ":", the lift
// corrections) answers "14".
//
// Control lines:
//   maint PREFIX STATUS    "!!" commands whose parameter begins with PREFIX
//                          ("h1", "e", "r:") answer STATUS with no data and
//                          change nothing; the longest matching prefix wins
//   maint PREFIX off | maint off   one, or every chosen status, cleared
//
// Runs on the simulator's service thread with the simulator locked.
#pragma once
#include <map>
#include <string>
#include <vector>

#include "sim/types.h"

namespace sim {

class EepromMaintenance {
 public:
  // True when this answers the "!!" command (param: the bytes after "!!")
  // itself, with *answer filled; false leaves it to the device state.
  bool OnBang(const std::string& param, Answer* answer);
  // One control line, split into words: false when it is not a "maint"
  // line; else *error is "" or the error text.
  bool Control(const std::vector<std::string>& w, std::string* error);
  void Reset();

  // The head position digit of the last good "!!h"; '0' at power-on.
  char headPosition() const { return head_; }

 private:
  std::map<std::string, std::string> statusByPrefix_;
  char head_ = '0';
};

}  // namespace sim

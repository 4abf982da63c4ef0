// A Mivor unit whose settings and usage counters live in its EEPROM, as the
// EEPROM window reads them, instead of the standard device's fixed answers
// (which other tests pin). Off at start; the control line
// "mivor settings from-eeprom" switches it on for the Mivor word store.
//
// While on (and the Mivor store is in use):
//   "TH"      the head rank character is the one "!!r:" stored last
//   "!!r?"    rank and density as stored (factory: "<3", rank c, density 3)
//   "!!r:X"   the rank, "!!r:XY" rank and density, answered with both
//   "!!s"     eight A/D codes, the backup battery last ("B4": 3.49 V)
//   "CT:a".."CT:d"  the two-word counters of words 1E, 1C, 1A and 18, so an
//             "eew:1E/02/..." shows in the next "CT:a" (factory pass count
//             000186A0)
//   "!!e"     the error counts and their words 0D-17 cleared; "!!c" the pass
//             count too
//
// Control lines:
//   mivor settings from-eeprom|plain   on, seeding the factory values; off
//   mivor rank CHAR                    the stored head rank character
//
// Runs on the simulator's service thread with the simulator locked.
#pragma once
#include <string>
#include <vector>

#include "device_state.h"
#include "eeprom_bank.h"
#include "sim/types.h"

namespace sim {

class MivorEepromUnit {
 public:
  // One control line, split into words: false when it is not a "mivor"
  // line; else *error is "" or the error text.
  bool Control(const std::vector<std::string>& w, std::string* error, DeviceState& s, EepromBank& bank);
  // True when this answers the command itself, with *answer filled.
  bool Handle(const std::string& code, const std::string& param, DeviceState& s, EepromBank& bank,
              Answer* answer);
  // After the device went back to its power-on state: the factory values
  // again while on.
  void Reset(DeviceState& s, EepromBank& bank);

 private:
  void Seed(DeviceState& s, EepromBank& bank);
  bool on_ = false;
};

}  // namespace sim

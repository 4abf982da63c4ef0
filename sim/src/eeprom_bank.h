// The EEPROM of the standard device: one word store per family, each
// starting from its factory image (eeprom_images.h); the model knob picks
// the family whose store the device carries, and each store keeps what was
// written to it while another family is chosen.
//
// Commands (code "ee", param the bytes after it; addresses and counts are
// two hex digits, either case; data four hex digits a word, high byte first):
//   "r:AA/NN"          read NN words from AA: "A ee 90" + the words
//   "w:AA/NN/data"     write NN words from AA: "A ee 90"
// A malformed text, a count of 0 or a range beyond the family's words
// answers "A ee 14" and changes nothing.
//
// Control lines:
//   eeprom family mivor|dastel|quenby|folsk   the store in use (the model
//                                    knob sets it too)
//   eeprom set AA HEX                words from AA of the store in use
//   eeprom dump [AA NN]              a transcript note "eeprom FAMILY AA/NN
//                                    words" (default: every word)
//   eeprom fail AA STATUS | eeprom fail off
//                                    a read or write that covers word AA
//                                    answers STATUS with no data and
//                                    writes nothing
//   eeprom reset                     every store back to its factory image
//
// Runs on the simulator's service thread with the simulator locked.
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "eeprom_images.h"
#include "sim/types.h"

namespace sim {

class EepromBank {
 public:
  // note puts a line into the transcript (the dump).
  explicit EepromBank(std::function<void(const std::string&)> note);

  Answer OnEe(const std::string& param);
  // The model knob's family name ("mivor" ... "other"); unknown names are
  // left to the knob's own check.
  void SelectModel(const std::string& model);
  // One control line, split into words: false when it is not an "eeprom"
  // line; else *error is "" or the error text.
  bool Control(const std::vector<std::string>& w, std::string* error);
  // Every store back to its factory image, the fault off; the family stays.
  void Reset();

  EepromFamily family() const { return family_; }
  const std::vector<uint16_t>& words() const { return words_[static_cast<size_t>(family_)]; }
  // The words of the store in use, for a device state derived from them.
  std::vector<uint16_t>& mutableWords() { return words_[static_cast<size_t>(family_)]; }

 private:
  std::string Set(const std::vector<std::string>& w);
  std::string Dump(const std::vector<std::string>& w);
  std::string Fail(const std::vector<std::string>& w);

  std::function<void(const std::string&)> note_;
  std::array<std::vector<uint16_t>, kEepromFamilies> words_;
  EepromFamily family_ = EepromFamily::Mivor;
  int failAddress_ = -1;  // -1: no fault
  std::string failStatus_;
};

}  // namespace sim

// The print data of the standard device as the commands that loaded it:
// from "PC" on, every accepted "MS:", "GJ:", "PD:" and "RV" (the silver
// background) in order; a print
// command ("PR", "PO", "PP", with or without a card kind) turns them into a
// printed card (the loaded commands and the print command last) and empties
// the buffer. Tests read both to see what a card would carry.
#pragma once
#include <string>
#include <vector>

namespace sim {

class PrintBuffer {
 public:
  // One command the device answered: code, parameter bytes, end code.
  // Refused commands change nothing.
  void Record(const std::string& code, const std::string& param, const std::string& status);
  void Reset();

  const std::vector<std::string>& loaded() const { return loaded_; }
  const std::vector<std::vector<std::string>>& cards() const { return cards_; }

 private:
  std::vector<std::string> loaded_;
  std::vector<std::vector<std::string>> cards_;
};

}  // namespace sim

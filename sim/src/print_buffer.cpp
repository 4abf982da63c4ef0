#include "print_buffer.h"

namespace sim {

void PrintBuffer::Record(const std::string& code, const std::string& param, const std::string& status) {
  if (status != "90") return;
  if (code == "PC") {
    loaded_.clear();
  } else if (code == "MS" || code == "GJ" || code == "PD" || code == "RV") {
    loaded_.push_back(code + param);
  } else if (code == "PR" || code == "PO" || code == "PP") {
    std::vector<std::string> card = loaded_;
    card.push_back(code + param);
    cards_.push_back(std::move(card));
    loaded_.clear();
  }
}

void PrintBuffer::Reset() {
  loaded_.clear();
  cards_.clear();
}

}  // namespace sim

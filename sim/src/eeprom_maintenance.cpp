#include "eeprom_maintenance.h"

namespace sim {

bool EepromMaintenance::OnBang(const std::string& param, Answer* answer) {
  const std::string* chosen = nullptr;
  size_t longest = 0;
  for (const auto& p : statusByPrefix_) {
    if (param.compare(0, p.first.size(), p.first) == 0 && p.first.size() >= longest) {
      chosen = &p.second;
      longest = p.first.size();
    }
  }
  *answer = Answer{};
  if (chosen) {
    answer->status = *chosen;
    return true;
  }
  if (param.size() == 2 && param[0] == 'h' && param[1] != '?' && param[1] != ':') {
    if (param[1] >= '0' && param[1] <= '2') {
      head_ = param[1];
    } else {
      answer->status = "14";
    }
    return true;
  }
  return false;
}

bool EepromMaintenance::Control(const std::vector<std::string>& w, std::string* error) {
  if (w[0] != "maint") return false;
  if (w.size() == 2 && w[1] == "off") {
    statusByPrefix_.clear();
  } else if (w.size() == 3 && w[2] == "off") {
    statusByPrefix_.erase(w[1]);
  } else if (w.size() == 3 && !w[1].empty() && w[2].size() == 2) {
    statusByPrefix_[w[1]] = w[2];
  } else {
    *error = "usage: maint PREFIX STATUS|off | maint off";
  }
  return true;
}

void EepromMaintenance::Reset() {
  statusByPrefix_.clear();
  head_ = '0';
}

}  // namespace sim

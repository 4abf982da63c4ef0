#include "panel_device.h"

#include <cctype>

namespace sim {
namespace {

const char kBadParam[] = "14";

bool AllOf(const std::string& s, size_t n, int (*test)(int)) {
  if (s.size() != n) return false;
  for (char c : s)
    if (!test(static_cast<unsigned char>(c))) return false;
  return true;
}

Answer Status(const std::string& status) {
  Answer a;
  a.status = status;
  return a;
}

}  // namespace

bool PanelDevice::Handle(const std::string& code, const std::string& param, MemoryModel& memory,
                         Answer* answer) {
  if (code == "md" && !param.empty() && param[0] == 'w') {
    // "w" AAAAAA ":" BB
    uint32_t address = 0;
    const size_t colon = param.find(':');
    if (colon != 7 || param.size() != 10 || !MemoryModel::ParseAddress(param.substr(1, 6), &address) ||
        !AllOf(param.substr(8), 2, isxdigit)) {
      *answer = Status(kBadParam);
      return true;
    }
    const uint8_t value = static_cast<uint8_t>(std::stoul(param.substr(8), nullptr, 16));
    memory.Set(address, Bytes{value});
    *answer = Answer{};
    return true;
  }
  if (code == "SG") {
    if (param.size() != 4 || param[0] != ':' || !AllOf(param.substr(1), 3, isdigit)) {
      *answer = Status(kBadParam);
    } else {
      segment_ = param.substr(1);
      *answer = Answer{};
    }
    return true;
  }
  if (code == "LD") {
    const bool ok = param.size() == 3 && param[0] == ':' && std::string("014").find(param[1]) != std::string::npos &&
                    std::string("014").find(param[2]) != std::string::npos;
    if (ok) leds_ = param.substr(1);
    *answer = ok ? Answer{} : Status(kBadParam);
    return true;
  }
  if (code == "BZ") {
    const bool ok = param.empty() || param == ":000000" || param == "v1" || param == "v2";
    if (ok) buzzer_ = param;
    *answer = ok ? Answer{} : Status(kBadParam);
    return true;
  }
  if (code == "!!" && param == "i") {
    *answer = Switches();
    return true;
  }
  return false;
}

Answer PanelDevice::Switches() {
  if (!script_.empty()) {
    const std::string next = script_.front();
    if (script_.size() > 1) script_.pop_front();
    if (next == "-") return Status("99");
    dip_ = next;
  }
  Answer a;
  a.data.assign(dip_.begin(), dip_.end());
  return a;
}

bool PanelDevice::Control(const std::vector<std::string>& w, std::string* error) {
  if (w.empty() || w[0] != "dip") return false;
  *error = "";
  const std::string usage = "usage: dip HHHH | dip script R1 R2 ... (R: HHHH or -)";
  auto reading = [](const std::string& r) { return r == "-" || AllOf(r, 4, isxdigit); };
  if (w.size() == 2 && AllOf(w[1], 4, isxdigit)) {
    dip_ = w[1];
    script_.clear();
    return true;
  }
  if (w.size() >= 3 && w[1] == "script") {
    std::deque<std::string> s;
    for (size_t i = 2; i < w.size(); ++i) {
      if (!reading(w[i])) {
        *error = usage;
        return true;
      }
      s.push_back(w[i]);
    }
    script_ = s;
    return true;
  }
  *error = usage;
  return true;
}

void PanelDevice::Reset() {
  segment_ = "880";
  leds_ = "00";
  buzzer_.clear();
  dip_ = "0000";
  script_.clear();
}

}  // namespace sim

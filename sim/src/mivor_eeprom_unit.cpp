#include "mivor_eeprom_unit.h"

#include <cstdio>

namespace sim {

namespace {

// The A/D codes of a unit in good health: sensors, a spare, the battery.
const char kSensors[] = "A8C4379B42FF80B4";
// What the standard device answers when this is off.
const char kPlainSensors[] = "A8C4379B42FF";
const char kFactoryRank[] = "<3";  // rank c (12), density 3
constexpr uint32_t kFactoryPasses = 100000;

// The counter letters kept in two EEPROM words, high word first.
struct TwoWordCounter {
  char letter;
  size_t address;
};
const TwoWordCounter kTwoWord[] = {{'a', 0x1E}, {'b', 0x1C}, {'c', 0x1A}, {'d', 0x18}};
// The one-word error counts "!!e" clears.
constexpr size_t kErrorsFrom = 0x0D, kErrorsTo = 0x17;

Answer Data(const std::string& d) {
  Answer a;
  a.data.assign(d.begin(), d.end());
  return a;
}

Answer FromOutcome(const Outcome& o) {
  Answer a;
  a.status = o.status;
  a.data.assign(o.data.begin(), o.data.end());
  return a;
}

void PutTwoWords(std::vector<uint16_t>& w, size_t address, uint32_t v) {
  w[address] = static_cast<uint16_t>(v >> 16);
  w[address + 1] = static_cast<uint16_t>(v & 0xFFFF);
}

}  // namespace

void MivorEepromUnit::Seed(DeviceState& s, EepromBank& bank) {
  s.SetSetting('r', kFactoryRank);
  s.set_sensorFields(kSensors);
  if (bank.family() == EepromFamily::Mivor) PutTwoWords(bank.mutableWords(), 0x1E, kFactoryPasses);
}

void MivorEepromUnit::Reset(DeviceState& s, EepromBank& bank) {
  if (on_) Seed(s, bank);
}

bool MivorEepromUnit::Control(const std::vector<std::string>& w, std::string* error, DeviceState& s,
                              EepromBank& bank) {
  if (w[0] != "mivor") return false;
  if (w.size() == 3 && w[1] == "settings" && w[2] == "from-eeprom") {
    on_ = true;
    Seed(s, bank);
  } else if (w.size() == 3 && w[1] == "settings" && w[2] == "plain") {
    on_ = false;
    s.set_sensorFields(kPlainSensors);
  } else if (w.size() == 3 && w[1] == "rank" && w[2].size() == 1) {
    const std::string stored = s.Setting('r');
    s.SetSetting('r', w[2] + (stored.size() >= 2 ? stored.substr(1) : std::string("3")));
  } else {
    *error = "usage: mivor settings from-eeprom|plain | mivor rank CHAR";
  }
  return true;
}

bool MivorEepromUnit::Handle(const std::string& code, const std::string& param, DeviceState& s,
                             EepromBank& bank, Answer* answer) {
  if (!on_ || bank.family() != EepromFamily::Mivor) return false;
  std::vector<uint16_t>& w = bank.mutableWords();
  if (code == "TH") {
    Outcome o = s.HeadData();
    const std::string rank = s.Setting('r');
    if (!o.data.empty() && !rank.empty()) o.data[0] = rank[0];
    *answer = FromOutcome(o);
    return true;
  }
  if (code == "CT") {
    const char letter = param.empty() ? 'a' : (param.size() == 2 && param[0] == ':' ? param[1] : 0);
    for (const TwoWordCounter& c : kTwoWord) {
      if (c.letter != letter) continue;
      char buf[16];
      std::snprintf(buf, sizeof buf, "%04X%04X", static_cast<unsigned>(w[c.address]),
                    static_cast<unsigned>(w[c.address + 1]));
      *answer = Data(buf);
      return true;
    }
    return false;
  }
  if (code == "!!" && param.size() >= 3 && param.size() <= 4 && param.compare(0, 2, "r:") == 0) {
    // One character sets the rank, two the rank and the density; the answer
    // echoes both as stored.
    std::string stored = s.Setting('r');
    if (stored.size() < 2) stored = kFactoryRank;
    stored.replace(0, param.size() - 2, param.substr(2));
    s.SetSetting('r', stored);
    *answer = Data(stored);
    return true;
  }
  if (code == "!!" && (param == "e" || param == "c")) {
    *answer = FromOutcome(s.Maintenance(param));
    for (size_t a = kErrorsFrom; a <= kErrorsTo; ++a) w[a] = 0;
    if (param == "c") PutTwoWords(w, 0x1E, 0);
    return true;
  }
  return false;
}

}  // namespace sim

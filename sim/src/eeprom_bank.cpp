#include "eeprom_bank.h"

#include <cstdio>
#include <cstdlib>

namespace sim {

namespace {

const std::string kUsage = "usage: ";

bool IsHex(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

bool AllHex(const std::string& s) {
  for (char c : s)
    if (!IsHex(c)) return false;
  return true;
}

// Two hex digits at s[at]; false when they are not.
bool HexByte(const std::string& s, size_t at, size_t* v) {
  if (at + 2 > s.size() || !IsHex(s[at]) || !IsHex(s[at + 1])) return false;
  *v = std::strtoul(s.substr(at, 2).c_str(), nullptr, 16);
  return true;
}

std::string Hex4(uint16_t v) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "%04X", static_cast<unsigned>(v));
  return buf;
}

std::string Hex2(size_t v) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "%02X", static_cast<unsigned>(v));
  return buf;
}

Answer WithStatus(const std::string& status) {
  Answer a;
  a.status = status;
  return a;
}

}  // namespace

EepromBank::EepromBank(std::function<void(const std::string&)> note) : note_(std::move(note)) {
  Reset();
}

void EepromBank::Reset() {
  for (int f = 0; f < kEepromFamilies; ++f)
    words_[static_cast<size_t>(f)] = DefaultEepromImage(static_cast<EepromFamily>(f));
  failAddress_ = -1;
  failStatus_.clear();
}

void EepromBank::SelectModel(const std::string& model) { EepromFamilyOfModel(model, &family_); }

Answer EepromBank::OnEe(const std::string& param) {
  std::vector<uint16_t>& w = words_[static_cast<size_t>(family_)];
  size_t address = 0, count = 0;
  if (param.size() < 7 || param[1] != ':' || param[4] != '/' || !HexByte(param, 2, &address) ||
      !HexByte(param, 5, &count) || count == 0 || address + count > w.size())
    return WithStatus("14");
  const bool read = param[0] == 'r' && param.size() == 7;
  const bool write = param[0] == 'w' && param.size() == 8 + 4 * count && param[7] == '/' &&
                     AllHex(param.substr(8));
  if (!read && !write) return WithStatus("14");
  if (failAddress_ >= 0 && static_cast<size_t>(failAddress_) >= address &&
      static_cast<size_t>(failAddress_) < address + count)
    return WithStatus(failStatus_);
  Answer a;
  if (read) {
    std::string data;
    for (size_t i = 0; i < count; ++i) data += Hex4(w[address + i]);
    a.data.assign(data.begin(), data.end());
    return a;
  }
  for (size_t i = 0; i < count; ++i)
    w[address + i] =
        static_cast<uint16_t>(std::strtoul(param.substr(8 + 4 * i, 4).c_str(), nullptr, 16));
  return a;
}

bool EepromBank::Control(const std::vector<std::string>& w, std::string* error) {
  if (w[0] != "eeprom") return false;
  const std::string usage =
      kUsage + "eeprom family NAME|set AA HEX|dump [AA NN]|fail AA STATUS|fail off|reset";
  const std::string what = w.size() >= 2 ? w[1] : "";
  if (what == "family") {
    if (w.size() != 3 || !EepromFamilyByName(w[2], &family_))
      *error = kUsage + "eeprom family mivor|dastel|quenby|folsk";
  } else if (what == "set") {
    *error = Set(w);
  } else if (what == "dump") {
    *error = Dump(w);
  } else if (what == "fail") {
    *error = Fail(w);
  } else if (what == "reset" && w.size() == 2) {
    Reset();
  } else {
    *error = usage;
  }
  return true;
}

std::string EepromBank::Set(const std::vector<std::string>& w) {
  const std::string usage = kUsage + "eeprom set AA HEX (four hex digits a word)";
  size_t address = 0;
  if (w.size() < 4 || w[2].size() != 2 || !HexByte(w[2], 0, &address)) return usage;
  std::string hex;
  for (size_t i = 3; i < w.size(); ++i) hex += w[i];
  std::vector<uint16_t>& words = words_[static_cast<size_t>(family_)];
  if (hex.empty() || hex.size() % 4 != 0 || !AllHex(hex)) return usage;
  if (address + hex.size() / 4 > words.size()) return "eeprom set: beyond the family's words";
  for (size_t i = 0; i < hex.size() / 4; ++i)
    words[address + i] =
        static_cast<uint16_t>(std::strtoul(hex.substr(4 * i, 4).c_str(), nullptr, 16));
  return "";
}

std::string EepromBank::Dump(const std::vector<std::string>& w) {
  const std::vector<uint16_t>& words = words_[static_cast<size_t>(family_)];
  size_t address = 0, count = words.size();
  if (w.size() == 4) {
    if (w[2].size() != 2 || !HexByte(w[2], 0, &address) || w[3].size() != 2 ||
        !HexByte(w[3], 0, &count) || count == 0)
      return kUsage + "eeprom dump [AA NN]";
  } else if (w.size() != 2) {
    return kUsage + "eeprom dump [AA NN]";
  }
  if (address + count > words.size()) return "eeprom dump: beyond the family's words";
  std::string line = std::string("eeprom ") + EepromFamilyName(family_) + " " + Hex2(address) +
                     "/" + (count == 256 ? std::string("100") : Hex2(count)) + " ";
  for (size_t i = 0; i < count; ++i) line += Hex4(words[address + i]);
  note_(line);
  return "";
}

std::string EepromBank::Fail(const std::vector<std::string>& w) {
  if (w.size() == 3 && w[2] == "off") {
    failAddress_ = -1;
    failStatus_.clear();
    return "";
  }
  size_t address = 0;
  if (w.size() != 4 || w[2].size() != 2 || !HexByte(w[2], 0, &address) || w[3].size() != 2)
    return kUsage + "eeprom fail AA STATUS|off";
  failAddress_ = static_cast<int>(address);
  failStatus_ = w[3];
  return "";
}

}  // namespace sim

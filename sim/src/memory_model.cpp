#include "memory_model.h"

#include <cstdio>

#include "wire/hex.h"

namespace sim {

namespace {

const char kBadParam[] = "14";
const char kUsage[] =
    "usage: memory set ADDR HEX | memory fill ADDR COUNT HH | memory default | "
    "memory fail STATUS [AFTER] | memory fail off";

bool IsHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }

bool ParseDecimal(const std::string& s, uint64_t max, uint64_t* v) {
  if (s.empty() || s.size() > 9) return false;
  uint64_t n = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return false;
    n = n * 10 + static_cast<uint64_t>(c - '0');
  }
  *v = n;
  return n <= max;
}

bool IsStatus(const std::string& s) { return s.size() == 2 && IsHexDigit(s[0]) && IsHexDigit(s[1]); }

}  // namespace

uint8_t MemoryModel::DefaultByte(uint32_t address) {
  // Varies along a line and from line to line, and is never zero across a
  // whole line, so a read-back after a clear tells the two apart.
  return static_cast<uint8_t>((address & 0xFF) ^ ((address >> 8) & 0xFF) ^ ((address >> 16) & 0xFF) ^ 0x5A);
}

uint8_t MemoryModel::Byte(uint32_t address) const {
  address = Wrap(address);
  const auto it = bytes_.find(address);
  return it == bytes_.end() ? DefaultByte(address) : it->second;
}

void MemoryModel::Set(uint32_t address, const Bytes& bytes) {
  for (size_t i = 0; i < bytes.size(); ++i) bytes_[Wrap(uint64_t{address} + i)] = bytes[i];
}

void MemoryModel::Fill(uint32_t address, uint32_t count, uint8_t value) {
  for (uint32_t i = 0; i < count && i < kSize; ++i) bytes_[Wrap(uint64_t{address} + i)] = value;
}

std::string MemoryModel::Line(uint32_t address) const {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%06X:", Wrap(address));
  std::string line = buf;
  std::string chars;
  for (uint32_t i = 0; i < kLineBytes; ++i) {
    const uint8_t b = Byte(Wrap(uint64_t{address} + i));
    std::snprintf(buf, sizeof buf, "%c%02X", i == 8 ? '-' : ' ', b);
    line += buf;
    chars += b >= 0x20 && b < 0x7F ? static_cast<char>(b) : '.';
  }
  return line + "     " + chars;
}

bool MemoryModel::ParseAddress(const std::string& text, uint32_t* address) {
  if (text.empty() || text.size() > 6) return false;
  uint32_t v = 0;
  for (char c : text) {
    if (!IsHexDigit(c)) return false;
    v = v * 16 + static_cast<uint32_t>(c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10);
  }
  *address = v;
  return true;
}

Answer MemoryModel::OnMd(const std::string& param) {
  Answer a;
  if (!param.empty()) {
    uint32_t address = 0;
    if (param[0] != ':' || param.size() != 7 || !ParseAddress(param.substr(1), &address)) {
      a.status = kBadParam;
      return a;
    }
    next_ = address;
  }
  if (failArmed_ && failAfter_-- == 0) {
    failArmed_ = false;
    a.status = failStatus_;
    return a;
  }
  const std::string data = " " + Line(next_);
  a.data.assign(data.begin(), data.end());
  next_ = Wrap(uint64_t{next_} + kLineBytes);
  return a;
}

void MemoryModel::Reset() {
  next_ = 0;
  failArmed_ = false;
}

bool MemoryModel::Control(const std::vector<std::string>& w, std::string* error) {
  if (w.empty() || w[0] != "memory") return false;
  *error = "";
  uint32_t address = 0;
  uint64_t n = 0;
  Bytes bytes;
  if (w.size() >= 3 && w[1] == "set" && ParseAddress(w[2], &address)) {
    std::string hex;
    for (size_t i = 3; i < w.size(); ++i) hex += w[i] + " ";
    if (w.size() > 3 && wire::TryParseHex(hex, &bytes) && !bytes.empty()) {
      Set(address, bytes);
      return true;
    }
  } else if (w.size() == 5 && w[1] == "fill" && ParseAddress(w[2], &address) && ParseDecimal(w[3], kSize, &n) &&
             wire::TryParseHex(w[4], &bytes) && bytes.size() == 1) {
    Fill(address, static_cast<uint32_t>(n), bytes[0]);
    return true;
  } else if (w.size() == 2 && w[1] == "default") {
    RestoreDefaults();
    return true;
  } else if (w.size() == 3 && w[1] == "fail" && w[2] == "off") {
    failArmed_ = false;
    return true;
  } else if ((w.size() == 3 || w.size() == 4) && w[1] == "fail" && IsStatus(w[2]) &&
             (w.size() == 3 || ParseDecimal(w[3], 1000000, &n))) {
    failArmed_ = true;
    failStatus_ = w[2];
    failAfter_ = static_cast<int>(n);
    return true;
  }
  *error = kUsage;
  return true;
}

}  // namespace sim

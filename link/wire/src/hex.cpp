#include "wire/hex.h"

#include <stdexcept>

namespace wire {

std::string HexString(const uint8_t* p, size_t n) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string s;
  if (n == 0) return s;
  s.reserve(n * 3 - 1);
  for (size_t i = 0; i < n; ++i) {
    if (i) s.push_back(' ');
    s.push_back(kDigits[p[i] >> 4]);
    s.push_back(kDigits[p[i] & 0x0F]);
  }
  return s;
}

std::string HexString(const Bytes& b) { return HexString(b.data(), b.size()); }

namespace {

int DigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool IsSeparator(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == ',' || c == ':';
}

}  // namespace

bool TryParseHex(const std::string& text, Bytes* out) {
  out->clear();
  size_t i = 0;
  const size_t n = text.size();
  while (i < n) {
    if (IsSeparator(text[i])) {
      ++i;
      continue;
    }
    if (text[i] == '0' && i + 1 < n && (text[i + 1] == 'x' || text[i + 1] == 'X')) i += 2;
    int hi = i < n ? DigitValue(text[i]) : -1;
    int lo = i + 1 < n ? DigitValue(text[i + 1]) : -1;
    if (hi < 0 || lo < 0) {
      out->clear();
      return false;
    }
    out->push_back(static_cast<uint8_t>(hi << 4 | lo));
    i += 2;
  }
  return true;
}

Bytes ParseHex(const std::string& text) {
  Bytes b;
  if (!TryParseHex(text, &b)) throw std::invalid_argument("bad hex text: " + text);
  return b;
}

}  // namespace wire

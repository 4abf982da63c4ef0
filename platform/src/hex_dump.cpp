#include "platform/hex_dump.h"

#include <cstdio>

namespace plat {

std::string FormatHexDump(const uint8_t* bytes, size_t count) {
  static const char kHex[] = "0123456789ABCDEF";
  if (!bytes) count = 0;
  const size_t rows = count / 16 + 1;
  std::string out;
  out.reserve(128 + rows * 96);
  out += "    Addr : +0 +1 +2 +3 +4 +5 +6 +7 +8 +9 +A +B +C +D +E +F\n";
  out += "    ";
  out.append(55, '-');
  out += '\n';
  for (size_t r = 0; r < rows; ++r) {
    const size_t offset = r * 16;
    char addr[32];
    const int n = std::snprintf(addr, sizeof addr, "    %04zX :", offset);
    out.append(addr, static_cast<size_t>(n));
    const size_t inRow = count > offset ? (count - offset < 16 ? count - offset : 16) : 0;
    for (size_t c = 0; c < 16; ++c) {
      if (c < inRow) {
        const uint8_t b = bytes[offset + c];
        out += ' ';
        out += kHex[b >> 4];
        out += kHex[b & 0x0F];
      } else {
        out += "   ";
      }
    }
    out += "   ";
    // The text column ends at the row's first NUL, CR or LF; every other
    // byte, control or not, goes out as it is.
    for (size_t c = 0; c < inRow; ++c) {
      const uint8_t b = bytes[offset + c];
      if (b == 0 || b == '\r' || b == '\n') break;
      out += static_cast<char>(b);
    }
    out += '\n';
  }
  out += '\n';
  return out;
}

}  // namespace plat

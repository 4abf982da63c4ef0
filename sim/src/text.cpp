#include "text.h"

#include <cstdio>

#include "wire/hex.h"

namespace sim {

namespace {
constexpr size_t kShownBytes = 64;
}

std::string Printable(const Bytes& b) {
  std::string s;
  const size_t shown = b.size() > kShownBytes + 16 ? kShownBytes : b.size();
  for (size_t i = 0; i < shown; ++i) {
    const uint8_t c = b[i];
    if (c >= 0x20 && c < 0x7F && c != '<') {
      s += static_cast<char>(c);
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "<%02X>", c);
      s += hex;
    }
  }
  if (shown < b.size()) s += "...(" + std::to_string(b.size()) + " bytes)";
  return s;
}

std::string WithData(const std::string& tag, const Bytes& data) {
  return data.empty() ? tag : tag + " " + Printable(data);
}

const char* DirName(Dir d) {
  switch (d) {
    case Dir::Host: return "host";
    case Dir::Device: return "dev";
    case Dir::Line: return "line";
    case Dir::Control: return "ctl";
  }
  return "?";
}

std::string FormatEntry(const TranscriptEntry& e) {
  char head[32];
  std::snprintf(head, sizeof head, "%06u %-4s ", e.ms, DirName(e.dir));
  std::string line = head;
  line += e.bytes.empty() ? std::string("-") : wire::HexString(e.bytes);
  line += " | ";
  line += e.tag;
  return line;
}

}  // namespace sim

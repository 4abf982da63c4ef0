#include "line_events.h"

namespace sim {

bool SetDeviceLine(plat::SideChannelBlock* b, uint32_t bit, bool on) {
  const uint32_t before = on ? b->deviceLines.fetch_or(bit) : b->deviceLines.fetch_and(~bit);
  if (((before & bit) != 0) == on) return false;
  switch (bit) {
    case plat::kLineCts: b->cts.fetch_add(1); break;
    case plat::kLineDsr: b->dsr.fetch_add(1); break;
    case plat::kLineRlsd: b->rlsd.fetch_add(1); break;
    case plat::kLineRing:
      if (on) b->ring.fetch_add(1);
      break;
    default: break;
  }
  return true;
}

std::atomic<uint32_t>* LineCounter(plat::SideChannelBlock* b, const std::string& name) {
  if (name == "cts") return &b->cts;
  if (name == "dsr") return &b->dsr;
  if (name == "ring") return &b->ring;
  if (name == "rlsd") return &b->rlsd;
  if (name == "break") return &b->brk;
  if (name == "framing") return &b->framing;
  if (name == "overrun") return &b->overrun;
  if (name == "parity") return &b->parity;
  return nullptr;
}

std::string DescribeHostLines(uint32_t bits) {
  std::string s = "DTR ";
  s += (bits & plat::kHostDtr) ? "on" : "off";
  s += " RTS ";
  s += (bits & plat::kHostRts) ? "on" : "off";
  s += " BREAK ";
  s += (bits & plat::kHostBreak) ? "on" : "off";
  return s;
}

}  // namespace sim

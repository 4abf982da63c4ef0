// Line events through the side channel: the modem lines a pseudo-terminal
// cannot carry, and the counters the host reads like TIOCGICOUNT.
#pragma once
#include <cstdint>
#include <string>

#include "platform/side_channel.h"

namespace sim {

// Sets or clears one device line (plat::kLine*); a change bumps the line's
// counter. True when the line changed.
bool SetDeviceLine(plat::SideChannelBlock* b, uint32_t bit, bool on);

// The counters of the block by name: "cts", "dsr", "ring", "rlsd", "break",
// "framing", "overrun", "parity"; null for any other name.
std::atomic<uint32_t>* LineCounter(plat::SideChannelBlock* b, const std::string& name);

// "DTR on RTS off BREAK off".
std::string DescribeHostLines(uint32_t bits);

}  // namespace sim

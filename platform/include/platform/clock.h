// Millisecond tick and pauses. The tick wraps after about 49 days; every limit
// test is written as an unsigned difference so the wrap is harmless.
#pragma once
#include <cstdint>

namespace plat {

// Milliseconds from CLOCK_MONOTONIC, truncated to 32 bits.
uint32_t TickMs();

// True when more than limitMs milliseconds lie between start and now.
inline bool Elapsed(uint32_t start, uint32_t now, uint32_t limitMs) {
  return static_cast<uint32_t>(now - start) > limitMs;
}

// Sleeps at least ms milliseconds (0: yields nothing, returns at once).
void SleepMs(uint32_t ms);

}  // namespace plat

// Time rules shared by the line routines: a read waits one millisecond when
// that millisecond decides something, otherwise until the time-out is due
// (in slices, so nothing waits long without looking up).
#pragma once
#include <cstdint>

#include "platform/clock.h"

namespace vantor {

constexpr int kQuietMs = 1;          // the silence that ends a frame
constexpr int kLongestWaitMs = 100;  // one read's wait when nothing is due sooner

// The wait for a read when no quiet millisecond is due: until just past the
// time-out that runs from `since`.
inline int WaitUntilTimeout(uint32_t since, int32_t timeoutMs) {
  const uint32_t elapsed = plat::TickMs() - since;
  const uint32_t limit = static_cast<uint32_t>(timeoutMs);
  if (elapsed >= limit) return kQuietMs;
  const uint32_t left = limit - elapsed + 1;
  return left < static_cast<uint32_t>(kLongestWaitMs) ? static_cast<int>(left) : kLongestWaitMs;
}

// More than limitMs milliseconds since `since` (compared without sign).
inline bool TimedOut(uint32_t since, int32_t limitMs) {
  return plat::Elapsed(since, plat::TickMs(), static_cast<uint32_t>(limitMs));
}

}  // namespace vantor

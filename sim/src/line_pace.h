// The character clock of one direction of a paced line. Times are kept in
// nanoseconds: at 115200 baud a character of 11 bits lasts 95.49 us, and
// whole microseconds would stretch a long transfer by half a percent.
//
// A character counts as crossed when its last bit is in, one character time
// after it started; a line that stood idle starts its next character when
// the bytes are there, and does not save up characters for the idle time.
// A service loop that wakes late catches up with the characters whose time
// passed, but with no more than maxLagUs of them.
#pragma once
#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace sim {

class LinePace {
 public:
  // BITS a character at BAUD; 0 baud turns the pace off.
  void Set(uint64_t baud, uint64_t bits) {
    nsPerChar_ = baud ? (bits * 1000000000 + baud - 1) / baud : 0;
    nextNs_ = 0;
  }
  bool on() const { return nsPerChar_ != 0; }

  // Bytes are there to go from nowUs on, after the line stood idle: the
  // first of them is across one character time later.
  void StartAt(uint64_t nowUs) { nextNs_ = std::max(nextNs_, nowUs * 1000 + nsPerChar_); }

  // How many characters are across by nowUs (0: none yet).
  size_t Due(uint64_t nowUs, uint64_t maxLagUs) {
    const uint64_t nowNs = nowUs * 1000;
    if (nextNs_ + maxLagUs * 1000 < nowNs) nextNs_ = nowNs - maxLagUs * 1000;
    if (nextNs_ > nowNs) return 0;
    return static_cast<size_t>((nowNs - nextNs_) / nsPerChar_ + 1);
  }
  // n characters went (or were taken).
  void Took(size_t n) { nextNs_ += static_cast<uint64_t>(n) * nsPerChar_; }
  // When the last character taken was across, rounded up to the microsecond.
  uint64_t LastUs() const { return (nextNs_ - nsPerChar_ + 999) / 1000; }
  // When the next character is across, rounded up to the microsecond.
  uint64_t NextUs() const { return (nextNs_ + 999) / 1000; }

 private:
  uint64_t nsPerChar_ = 0;
  uint64_t nextNs_ = 0;  // when the next character is across
};

}  // namespace sim

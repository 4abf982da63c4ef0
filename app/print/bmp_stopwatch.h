// The bitmap window's stopwatch for conversion and transfer times: an
// explicit start and an explicit read on a millisecond clock, so a job that
// ends early (a stop, an error) never leaves it half toggled for the next.
// The count is unsigned and read modulo 2^32, so a clock that wraps between
// start and read still gives the right time.
#pragma once
#include <QString>
#include <cstdint>
#include <functional>

namespace quorel {

class BmpStopwatch {
 public:
  using Clock = std::function<uint32_t()>;

  BmpStopwatch();
  // A steady millisecond count; tests give a fake one.
  void SetClock(Clock clock) { clock_ = std::move(clock); }

  // (Re)starts the measurement now.
  void Start();
  // Milliseconds since Start; 0 when it was never started.
  uint32_t ElapsedMs() const;
  // The same in seconds, to the millisecond.
  float Seconds() const { return static_cast<float>(ElapsedMs()) / 1000.0f; }
  bool started() const { return started_; }

 private:
  Clock clock_;
  uint32_t start_ = 0;
  bool started_ = false;
};

// A measured time as the time labels show it: whole seconds, ".", three
// digits of milliseconds and " s" ("1.234 s", "0.050 s").
QString TimeCaption(uint32_t ms);
// The caption while a measurement runs or before any.
QString NoTimeCaption();

}  // namespace quorel

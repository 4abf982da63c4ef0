#include "core/event_wait.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <chrono>
#include <cmath>

#include "core/main_module.h"
#include "platform/clock.h"

namespace quorel {
namespace {

using Clock = std::chrono::steady_clock;

std::function<void(const QString&)>& CountdownDisplay() {
  static std::function<void(const QString&)> show;
  return show;
}

// Sleeps in the event loop until an event arrives or ms pass. The wake-up
// timer of its own is what keeps WaitForMoreEvents from blocking for ever.
void SleepForEvents(int64_t ms) {
  if (ms <= 0) return;
  const int capped = static_cast<int>(ms > 24 * 3600 * 1000 ? 24 * 3600 * 1000 : ms);
  if (!QCoreApplication::instance()) {  // no event loop to wait in
    plat::SleepMs(static_cast<uint32_t>(capped));
    return;
  }
  QTimer wake;
  wake.setSingleShot(true);
  wake.setTimerType(Qt::PreciseTimer);
  wake.start(capped);
  QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

int& WaitDepth() {
  static int depth = 0;
  return depth;
}

// Counts a running wait for its scope.
struct WaitScope {
  WaitScope() { ++WaitDepth(); }
  ~WaitScope() { --WaitDepth(); }
};

}  // namespace

void PumpPendingEvents() {
  const WaitScope scope;
  if (QCoreApplication::instance()) QCoreApplication::processEvents(QEventLoop::AllEvents);
}

int ActiveWaits() { return WaitDepth(); }

void PumpUntil(const std::function<int64_t()>& step) {
  const WaitScope scope;
  for (;;) {
    PumpPendingEvents();
    const int64_t sleepMs = step();
    if (sleepMs < 0) return;
    SleepForEvents(sleepMs);
  }
}

void WaitSeconds(float seconds) {
  // Longer than any real wait, short enough for the clock's arithmetic.
  constexpr double kLongest = 1e7;
  const double span = seconds > 0 ? (seconds < kLongest ? static_cast<double>(seconds) : kLongest) : 0.0;
  const Clock::time_point t0 = Clock::now();
  const Clock::time_point t1 = t0 + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(span));
  const MainModule& m = mm();
  PumpUntil([&]() -> int64_t {
    const Clock::time_point now = Clock::now();
    const bool countdown = m.gShowCountdown == 1;
    if (countdown && CountdownDisplay()) {
      const double left = span - std::chrono::duration<double>(now - t0).count();
      CountdownDisplay()(QString::number(static_cast<long long>(std::nearbyint(left))));
    }
    if (m.gAppClosing == 1) return -1;
    if (now >= t1 || m.gStopRequest == 1) return -1;
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(t1 - now).count();
    // The countdown changes every second; refresh it often enough.
    return countdown && left > 100 ? 100 : left;
  });
}

void SetCountdownDisplay(std::function<void(const QString&)> show) { CountdownDisplay() = std::move(show); }

}  // namespace quorel

// The program's one way of waiting while the windows stay live. Every loop
// that "lets events run and tests again" goes through PumpUntil: each turn
// runs one non-blocking pass over the pending events and then the caller's
// test; between turns the thread sleeps in the event loop until an event
// arrives or the caller's wake-up time passes, so a wait costs no CPU.
#pragma once
#include <QString>
#include <cstdint>
#include <functional>

namespace quorel {

// Runs turns until step returns a negative number. A number >= 0 is the
// longest sleep in milliseconds before the next turn; any event ends it early.
void PumpUntil(const std::function<int64_t()>& step);

// One non-blocking pass over the pending events.
void PumpPendingEvents();

// How many waits (PumpUntil, PumpPendingEvents) are running now; nested
// waits count each. While one runs, a handler is on the stack whose window
// must not be destroyed under it.
int ActiveWaits();

// Waits the given seconds while events run; returns early when gStopRequest
// is 1 or gAppClosing is 1 (after at least one event pass). The time comes
// from a steady clock, so midnight or a clock change does not matter. While
// gShowCountdown is 1 the countdown display gets the whole seconds left.
void WaitSeconds(float seconds);

// The display of WaitSeconds' countdown (the command-file window's wait
// label); an empty function shows nothing.
void SetCountdownDisplay(std::function<void(const QString&)> show);

}  // namespace quorel

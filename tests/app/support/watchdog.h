// The watchdog every wait of these tests runs under: when it fires, the
// test fails and the wait ends as if the program closed.
#pragma once
#include <QTimer>

#include <gtest/gtest.h>

#include "core/main_module.h"

namespace quorel::testing {

// Limits for one whole test, each ten times and more what the longest test
// of its kind needs on a quiet machine (a busy one stretches every wait), and
// well below ctest's own time-out for a test.
constexpr int kScriptedWatchdogMs = 30 * 1000;  // the scripted library: well under a second
constexpr int kDeviceWatchdogMs = 90 * 1000;    // the simulated device: up to some 8 s

// Prepares the timer; the caller starts it with its own limit.
inline void ArmWatchdog(QTimer& watchdog) {
  watchdog.setSingleShot(true);
  QObject::connect(&watchdog, &QTimer::timeout, [] {
    ADD_FAILURE() << "a wait did not end: ended by the watchdog";
    mm().gAppClosing = 1;
  });
}

}  // namespace quorel::testing

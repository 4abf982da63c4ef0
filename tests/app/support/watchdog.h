// The watchdog every wait of these tests runs under: when it fires, the
// test fails and the wait ends as if the program closed.
#pragma once
#include <QTimer>

#include <gtest/gtest.h>

#include "core/main_module.h"

namespace quorel::testing {

// Prepares the timer; the caller starts it with its own limit.
inline void ArmWatchdog(QTimer& watchdog) {
  watchdog.setSingleShot(true);
  QObject::connect(&watchdog, &QTimer::timeout, [] {
    ADD_FAILURE() << "a wait did not end: ended by the watchdog";
    mm().gAppClosing = 1;
  });
}

}  // namespace quorel::testing

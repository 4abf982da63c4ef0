// WaitSeconds: its length, its CPU cost, its early ends and the events it
// lets run.
#include <sys/resource.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QStringList>

#include <gtest/gtest.h>

#include "core/event_wait.h"
#include "core/main_module.h"

namespace quorel {
namespace {

double CpuSeconds() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
         static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// A wait that should end early is given this long, and must end in a tenth
// of it: far more than any load stretches an early end, far less than the
// wait that was not ended.
constexpr float kLongWaitSeconds = 30.0f;
constexpr qint64 kEndedEarlyMs = 3000;

class Wait : public ::testing::Test {
 protected:
  void SetUp() override { mm() = MainModule{}; }
  void TearDown() override { SetCountdownDisplay(nullptr); }
};

TEST_F(Wait, OneSecondLastsOneSecondAndCostsNoCpu) {
  QElapsedTimer clock;
  const double cpu0 = CpuSeconds();
  clock.start();
  WaitSeconds(1.0f);
  const qint64 ms = clock.elapsed();
  const double cpu = CpuSeconds() - cpu0;
  EXPECT_GE(ms, 1000);
  EXPECT_LT(ms, 10 * 1000);  // it ends: a busy machine only makes it late
  EXPECT_LT(cpu, 0.100);     // sleeping, not spinning
  // A tenth lasts a tenth, not a whole second (or more) rounded up.
  clock.restart();
  WaitSeconds(0.1f);
  EXPECT_GE(clock.elapsed(), 100);
  EXPECT_LT(clock.elapsed(), 1000);
}

TEST_F(Wait, EventsRunDuringTheWait) {
  int ticks = 0;
  QTimer ticker;
  QObject::connect(&ticker, &QTimer::timeout, [&] {
    if (++ticks == 5) mm().gStopRequest = 1;
  });
  ticker.start(20);
  QElapsedTimer clock;
  clock.start();
  WaitSeconds(kLongWaitSeconds);
  // The fifth, run inside the wait, ended it (one more may be due by the
  // time the wait looks at the flag).
  EXPECT_GE(ticks, 5);
  EXPECT_LE(ticks, 6);
  EXPECT_GE(clock.elapsed(), 5 * 20);
}

TEST_F(Wait, StopAlreadySetReturnsAfterOneEventPass) {
  bool ran = false;
  QTimer::singleShot(0, [&] { ran = true; });
  mm().gStopRequest = 1;
  QElapsedTimer clock;
  clock.start();
  WaitSeconds(kLongWaitSeconds);
  EXPECT_LT(clock.elapsed(), kEndedEarlyMs);
  EXPECT_TRUE(ran);
  EXPECT_EQ(mm().gStopRequest, 1);  // the wait does not clear it
}

TEST_F(Wait, ClosingReturnsAfterOneEventPass) {
  bool ran = false;
  QTimer::singleShot(0, [&] { ran = true; });
  mm().gAppClosing = 1;
  QElapsedTimer clock;
  clock.start();
  WaitSeconds(kLongWaitSeconds);
  EXPECT_LT(clock.elapsed(), kEndedEarlyMs);
  EXPECT_TRUE(ran);
}

TEST_F(Wait, AStopFromAHandlerEndsTheWait) {
  QTimer::singleShot(150, [] { mm().gStopRequest = 1; });
  QElapsedTimer clock;
  clock.start();
  WaitSeconds(kLongWaitSeconds);
  EXPECT_GE(clock.elapsed(), 140);
  EXPECT_LT(clock.elapsed(), kEndedEarlyMs);
}

TEST_F(Wait, OtherFlagsDoNotEndIt) {
  QTimer::singleShot(20, [] {
    mm().gDumpStop = 1;
    mm().gStopRequest = 2;
  });
  QElapsedTimer clock;
  clock.start();
  WaitSeconds(0.2f);
  EXPECT_GE(clock.elapsed(), 190);
}

TEST_F(Wait, CountdownShowsTheWholeSecondsLeft) {
  QStringList shown;
  SetCountdownDisplay([&](const QString& s) { shown << s; });
  mm().gShowCountdown = 1;
  WaitSeconds(1.6f);
  ASSERT_GE(shown.size(), 3);  // refreshed during the wait: "2", "1", "0"
  EXPECT_EQ(shown.front(), QStringLiteral("2"));
  EXPECT_TRUE(shown.contains(QStringLiteral("1")));
  EXPECT_EQ(shown.back(), QStringLiteral("0"));
  shown.clear();
  mm().gShowCountdown = 0;
  WaitSeconds(0.05f);
  EXPECT_TRUE(shown.isEmpty());
}

TEST_F(Wait, ZeroOrNegativeSecondsStillRunOnePass) {
  bool ran = false;
  QTimer::singleShot(0, [&] { ran = true; });
  WaitSeconds(-3.0f);
  EXPECT_TRUE(ran);
}

TEST_F(Wait, PumpUntilSleepsUntilAnEventOrTheWakeUp) {
  int turns = 0;
  QElapsedTimer clock;
  clock.start();
  PumpUntil([&]() -> int64_t { return ++turns < 3 ? 100 : -1; });
  EXPECT_EQ(turns, 3);
  EXPECT_GE(clock.elapsed(), 195);
  // An event ends the sleep early.
  turns = 0;
  QTimer::singleShot(30, [] {});
  clock.restart();
  PumpUntil([&]() -> int64_t { return ++turns < 2 ? static_cast<int64_t>(kLongWaitSeconds * 1000) : -1; });
  EXPECT_LT(clock.elapsed(), kEndedEarlyMs);
}

}  // namespace
}  // namespace quorel

#include "platform/clock.h"

#include <pthread.h>
#include <signal.h>

#include <atomic>
#include <thread>

#include <gtest/gtest.h>

namespace {

using plat::Elapsed;

TEST(Clock, ElapsedSurvivesTheWrap) {
  const uint32_t start = 0xFFFFFFF0u;  // 16 ms before the wrap
  EXPECT_FALSE(Elapsed(start, 0xFFFFFFF0u, 0));
  EXPECT_FALSE(Elapsed(start, 0x0000000Fu, 31));
  EXPECT_FALSE(Elapsed(start, 0x00000010u, 32));
  EXPECT_TRUE(Elapsed(start, 0x00000010u, 31));
  EXPECT_TRUE(Elapsed(start, 0x00001000u, 4000));
  EXPECT_FALSE(Elapsed(100, 200, 100));
  EXPECT_TRUE(Elapsed(100, 201, 100));
}

TEST(Clock, SleepLastsAtLeastItsTimeByTheTick) {
  const uint32_t t0 = plat::TickMs();
  plat::SleepMs(20);
  const uint32_t t1 = plat::TickMs();
  EXPECT_GE(static_cast<uint32_t>(t1 - t0), 20u);
  EXPECT_LT(static_cast<uint32_t>(t1 - t0), 1000u);
  const uint32_t t2 = plat::TickMs();
  plat::SleepMs(0);
  EXPECT_LT(static_cast<uint32_t>(plat::TickMs() - t2), 1000u);  // returns, however busy the machine
}

void OnSignal(int) {}

TEST(Clock, SleepResumesAfterSignals) {
  struct sigaction sa {};
  sa.sa_handler = OnSignal;  // no SA_RESTART: the sleep sees EINTR
  ASSERT_EQ(sigaction(SIGUSR1, &sa, nullptr), 0);
  const pthread_t sleeper = pthread_self();
  std::atomic<bool> done{false};
  std::thread pester([&] {
    while (!done) {
      pthread_kill(sleeper, SIGUSR1);
      plat::SleepMs(2);
    }
  });
  const uint32_t t0 = plat::TickMs();
  plat::SleepMs(40);
  const uint32_t slept = plat::TickMs() - t0;
  done = true;
  pester.join();
  EXPECT_GE(slept, 40u);
}

}  // namespace

// The line-event thread against the simulated device: what each change of
// the line gives the line callback, on which thread, and what it never gives.
#include <gtest/gtest.h>

#include <dirent.h>

#include <condition_variable>
#include <fstream>
#include <set>
#include <thread>

#include "events_fixture.h"

namespace coretest {
namespace {

constexpr int kCom = 6;
constexpr int32_t kAllLineBits = 0x1F705;

// The thread ids of this process.
std::set<std::string> Threads() {
  std::set<std::string> ids;
  if (DIR* d = opendir("/proc/self/task")) {
    while (dirent* e = readdir(d))
      if (e->d_name[0] != '.') ids.insert(e->d_name);
    closedir(d);
  }
  return ids;
}

// How often a thread has gone to sleep: once per wait it did not return from at once.
long Sleeps(const std::string& tid) {
  std::ifstream status("/proc/self/task/" + tid + "/status");
  std::string key;
  long value = -1;
  while (status >> key)
    if (key == "voluntary_ctxt_switches:" && status >> value) break;
  return value;
}

class LineEvents : public LinkTest {
 protected:
  void SetUp() override {
    LinkTest::SetUp();
    if (HasFatalFailure()) return;
    LogAll();
  }
  void TearDown() override {
    g_inCallback = nullptr;
    LinkTest::TearDown();
  }
  // Opens the device and registers the line callback for mask.
  void Watch(int32_t mask, int32_t user = 0) {
    OpenDevice(kCom);
    ASSERT_EQ(CRW_OK, crwSetCommEventProc(kCom, LineProc, user, mask));
  }
  bool WaitForLine(size_t n, int timeoutMs = 1000) {
    return PumpUntil([n] { return g_line.size() >= n; }, timeoutMs);
  }
  // Waits for one callback, then makes sure no other follows.
  void ExpectOnly(int32_t bits, int32_t value = 0) {
    ASSERT_TRUE(WaitForLine(1)) << "no callback for 0x" << std::hex << bits;
    PumpFor(50);
    const auto calls = g_line.Snapshot();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].bits, bits);
    EXPECT_EQ(calls[0].value, value);
    EXPECT_EQ(calls[0].port, kCom);
  }
};

TEST_F(LineEvents, ADsrFallIsPostedOnceOnTheCreatingThread) {
  Watch(kAllLineBits, 42);
  Control("dsr off");
  ExpectOnly(CRW_LINE_DSR);
  EXPECT_EQ(g_line.Snapshot()[0].thread, ThreadId());
  EXPECT_EQ(g_line.Snapshot()[0].user, 42);
  const std::string log = Log(kCom);
  EXPECT_NE(log.find("Inf:Info    : Event Notification: 0x00000010(0, 0)\n"), std::string::npos);
  EXPECT_NE(log.find("Inf:Info    : Execute CallBack Function(Comm): 0x00002000\n\n"),
            std::string::npos);
  // A rise posts nothing.
  Control("dsr on");
  PumpFor(50);
  EXPECT_EQ(g_line.size(), 1u);
}

TEST_F(LineEvents, CallbacksRunOnTheThreadThatCreatedThePort) {
  long portThread = 0;
  std::thread owner([&] {
    portThread = ThreadId();
    Watch(kAllLineBits);
    Control("dsr off");
    ASSERT_TRUE(WaitForLine(1));
  });
  owner.join();
  ASSERT_EQ(g_line.size(), 1u);
  EXPECT_EQ(g_line.Snapshot()[0].thread, portThread);
  EXPECT_NE(portThread, ThreadId());
}

TEST_F(LineEvents, AThreadThatNeverDispatchesGetsNothing) {
  std::mutex mu;
  std::condition_variable cv;
  int step = 0;
  auto advance = [&](int to) {
    std::lock_guard<std::mutex> lock(mu);
    step = to;
    cv.notify_all();
  };
  auto await = [&](int to) {
    std::unique_lock<std::mutex> lock(mu);
    cv.wait(lock, [&] { return step >= to; });
  };
  bool pendingSeen = false;
  std::thread owner([&] {
    Watch(kAllLineBits);
    advance(1);
    await(2);
    // The event waited here, for this thread, all along.
    pollfd p{vantorEventFd(), POLLIN, 0};
    pendingSeen = poll(&p, 1, 0) == 1;
    vantorDispatchEvents();
  });
  await(1);
  Control("dsr off");
  PumpFor(100);  // this thread's dispatching runs nothing of another's port
  EXPECT_EQ(g_line.size(), 0u);
  advance(2);
  owner.join();
  EXPECT_TRUE(pendingSeen);
  EXPECT_EQ(g_line.size(), 1u);
}

TEST_F(LineEvents, RxcharComesOnceWithTheQueueCount) {
  Watch(CRW_LINE_RXCHAR);
  Control("send 30313233343536373839");
  ExpectOnly(CRW_LINE_RXCHAR, 10);
  // More bytes into a queue that is not empty: no new RXCHAR.
  Control("send 41");
  PumpFor(50);
  EXPECT_EQ(g_line.size(), 1u);
}

TEST_F(LineEvents, RxcharNeverComesDuringATransaction) {
  Watch(CRW_LINE_RXCHAR);
  char* code = nullptr;
  char* status = nullptr;
  char* data = nullptr;
  for (int i = 0; i < 5; ++i) {
    ASSERT_EQ(CRW_OK, crwSendCommand(kCom, 1000, 0, "ST", nullptr, 0));
    ASSERT_EQ(CRW_OK, crwReceiveResponse(kCom, 0, 1000, 0, &code, &status, &data));
  }
  Take(code);
  Take(status);
  Take(data);
  PumpFor(50);
  EXPECT_EQ(g_line.size(), 0u);
}

TEST_F(LineEvents, TxemptyFollowsAWriteOutsideATransaction) {
  Watch(CRW_LINE_TXEMPTY);
  ASSERT_EQ(CRW_OK, crwSendBinaryDataQR(kCom, 1000, 0, 0, "ABC", 3));
  ExpectOnly(CRW_LINE_TXEMPTY);
}

TEST_F(LineEvents, EachLineChangeArrivesWithItsBit) {
  Watch(kAllLineBits);
  const std::pair<const char*, int32_t> cases[] = {
      {"break", CRW_LINE_BREAK},     {"framing", CRW_LINE_FRAME}, {"overrun", CRW_LINE_OVERRUN},
      {"parity", CRW_LINE_PARITY},   {"ring 5", CRW_LINE_RING},   {"cts off", CRW_LINE_CTS},
      {"rlsd off", CRW_LINE_RLSD},   {"cts on", CRW_LINE_CTS},    {"rlsd on", CRW_LINE_RLSD},
  };
  size_t n = 0;
  for (const auto& c : cases) {
    Control(c.first);
    ASSERT_TRUE(WaitForLine(++n)) << c.first;
    PumpFor(20);
    const auto calls = g_line.Snapshot();
    ASSERT_EQ(calls.size(), n) << c.first;
    EXPECT_EQ(calls.back().bits, c.second) << c.first;
  }
}

TEST_F(LineEvents, OnlyTheMaskedBitsArePosted) {
  Watch(CRW_LINE_PARITY);
  Control("framing");
  Control("break");
  Control("parity");
  ExpectOnly(CRW_LINE_PARITY);
}

TEST_F(LineEvents, AHangUpIsOneBreakAndTheThreadEnds) {
  Watch(kAllLineBits);
  Control("hangup");
  ExpectOnly(CRW_LINE_BREAK);
  PumpFor(100);
  EXPECT_EQ(g_line.size(), 1u);
  // Nothing spins on the dead line: the process sleeps.
  const double cpu = CpuMs();
  PumpFor(300);
  EXPECT_LT(CpuMs() - cpu, 60.0);
  EXPECT_NE(Log(kCom).find("Inf:Info    : End CommEventThreadProc: the line is gone\n"),
            std::string::npos);
  EXPECT_EQ(CRW_OK, crwClosePort(kCom));
  opened_.clear();
}

TEST_F(LineEvents, AnIdlePortsThreadWakesAboutEveryTenMillisecondsNotEveryOne) {
  StartDevice(kCom);
  const std::set<std::string> before = Threads();
  ASSERT_EQ(CRW_OK, crwOpenPort(kCom, 9600, "8", "N"));
  opened_.push_back(kCom);
  std::vector<std::string> started;
  for (const std::string& id : Threads())
    if (!before.count(id)) started.push_back(id);
  ASSERT_EQ(started.size(), 1u);  // the line-event thread
  const long sleeps0 = Sleeps(started[0]);
  const uint32_t t0 = NowMs();
  PumpFor(500);
  const long sleeps = Sleeps(started[0]) - sleeps0;
  const uint32_t ms = NowMs() - t0;
  // A busy machine makes the waits longer, never shorter; sampling every
  // millisecond would be about ten times as many.
  EXPECT_LE(sleeps, static_cast<long>(ms / 10 + 10)) << ms << " ms";
  // A look still comes: a change of the lines is seen while idle.
  ASSERT_EQ(CRW_OK, crwSetCommEventProc(kCom, LineProc, 0, kAllLineBits));
  Control("cts off");
  ExpectOnly(CRW_LINE_CTS);
}

TEST_F(LineEvents, ACallbackMayDispatchAgainAndClose) {
  Watch(kAllLineBits);
  std::vector<int32_t> nested;
  g_inCallback = [&] {
    if (g_line.size() != 1) return;
    // A modal dialog's own message loop: the next event runs inside.
    PumpUntil([] { return g_line.size() >= 2; }, 1000);
    nested.push_back(static_cast<int32_t>(g_line.size()));
    EXPECT_EQ(CRW_OK, crwClosePort(kCom));
  };
  Control("cts off");
  Control("rlsd off");
  ASSERT_TRUE(WaitForLine(2)) << Log(kCom);
  EXPECT_EQ(nested, std::vector<int32_t>({2}));
  const auto calls = g_line.Snapshot();
  EXPECT_EQ(calls[0].bits, CRW_LINE_CTS);
  EXPECT_EQ(calls[1].bits, CRW_LINE_RLSD);
  opened_.clear();
}

TEST_F(LineEvents, RegistrationRules) {
  EXPECT_EQ(CRW_PORT_NOT_OPEN, crwSetCommEventProc(kCom, LineProc, 0, kAllLineBits));
  Watch(kAllLineBits);
  EXPECT_EQ(CRW_NAK, crwSetCommEventProc(kCom, LineProc, 0, kAllLineBits));
  EXPECT_NE(Log(kCom).find("ErrorCode 1: This port has already been registered. \n"),
            std::string::npos);
  EXPECT_EQ(CRW_OK, crwSetCommEventProc(kCom, nullptr, 0, 0));
  Control("dsr off");
  PumpFor(50);
  EXPECT_EQ(g_line.size(), 0u);
  // Every open clears the callback.
  EXPECT_EQ(CRW_OK, crwSetCommEventProc(kCom, LineProc, 0, kAllLineBits));
  ASSERT_EQ(CRW_OK, crwClosePort(kCom));
  ASSERT_EQ(CRW_OK, crwOpenPort(kCom, 9600, "8", "N"));
  Control("dsr on");
  Control("dsr off");
  PumpFor(50);
  EXPECT_EQ(g_line.size(), 0u);
}

}  // namespace
}  // namespace coretest

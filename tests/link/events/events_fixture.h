// What the worker and line-event tests share: the callbacks (plain functions
// that record every call with the thread it ran on) and the dispatch loop
// that stands in for a program's message loop.
#pragma once
#include <poll.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "link_fixture.h"

namespace coretest {

// One callback call.
struct Call {
  int16_t port = 0;
  int32_t bits = 0;
  int32_t value = 0;  // the line callback's value
  std::string data;   // response text or binary bytes
  int16_t length = 0;
  int32_t user = 0;
  long thread = 0;  // the kernel's thread id
};

inline long ThreadId() { return static_cast<long>(syscall(SYS_gettid)); }

// The calls of every callback kind, in order. Callbacks run on whatever
// thread dispatches; the tests read from others too.
class Calls {
 public:
  void Add(Call c) {
    std::lock_guard<std::mutex> lock(mu_);
    calls_.push_back(std::move(c));
  }
  std::vector<Call> Snapshot() const {
    std::lock_guard<std::mutex> lock(mu_);
    return calls_;
  }
  size_t size() const {
    std::lock_guard<std::mutex> lock(mu_);
    return calls_.size();
  }
  // Calls whose bits include `bit`.
  size_t Count(int32_t bit) const {
    std::lock_guard<std::mutex> lock(mu_);
    size_t n = 0;
    for (const Call& c : calls_)
      if (c.bits & bit) ++n;
    return n;
  }

 private:
  mutable std::mutex mu_;
  std::vector<Call> calls_;
};

inline Calls g_response, g_binary, g_line;
// Run inside a callback, after it has been recorded (a test may close the
// port or register again from there).
inline std::function<void()> g_inCallback;

inline void RunInCallback() {
  if (g_inCallback) g_inCallback();
}

inline void ResponseProc(int16_t port, int32_t bits, char* text, int16_t length, int32_t user) {
  Call c{port, bits, 0, text ? std::string(text, SysStringByteLen(text)) : "<null>", length, user,
         ThreadId()};
  SysFreeString(text);  // the text belongs to the callback
  g_response.Add(std::move(c));
  RunInCallback();
}

inline void BinaryProc(int16_t port, int32_t bits, const void* data, int16_t length, int32_t user) {
  const char* p = static_cast<const char*>(data);
  g_binary.Add(Call{port, bits, 0, p ? std::string(p, static_cast<size_t>(length)) : "<null>",
                    length, user, ThreadId()});
  RunInCallback();
}

inline void LineProc(int16_t port, int32_t value, int32_t bits, int32_t user) {
  g_line.Add(Call{port, bits, value, "", 0, user, ThreadId()});
  RunInCallback();
}

// Runs this thread's callbacks until pred holds or timeoutMs passes, waiting
// on the mailbox descriptor in between as a message loop would.
inline bool PumpUntil(const std::function<bool()>& pred, int timeoutMs) {
  const int fd = vantorEventFd();
  const uint32_t start = NowMs();
  for (;;) {
    vantorDispatchEvents();
    if (pred()) return true;
    const int left = timeoutMs - static_cast<int>(NowMs() - start);
    if (left <= 0) return false;
    pollfd p{fd, POLLIN, 0};
    poll(&p, 1, left < 20 ? left : 20);
  }
}

// Runs this thread's callbacks for ms milliseconds.
inline void PumpFor(int ms) {
  PumpUntil([] { return false; }, ms);
}

// Process CPU time in milliseconds, every thread together.
inline double CpuMs() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return ts.tv_sec * 1000.0 + ts.tv_nsec / 1e6;
}

}  // namespace coretest

// The serial line tests' device: a pseudo-terminal whose master end plays
// the device, and their millisecond clock.
#pragma once
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace plattest {

using Bytes = std::vector<uint8_t>;

inline int64_t NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// It must exist: a machine without /dev/ptmx fails these tests rather than
// skipping them.
class Pty {
 public:
  Pty() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) return;
    slave_ = ptsname(master_);
  }
  ~Pty() { CloseMaster(); }
  Pty(const Pty&) = delete;
  Pty& operator=(const Pty&) = delete;
  bool ok() const { return master_ >= 0 && !slave_.empty(); }
  const std::string& slave() const { return slave_; }
  int master() const { return master_; }
  void CloseMaster() {
    if (master_ >= 0) close(master_);
    master_ = -1;
  }
  void Send(const Bytes& b) { ASSERT_EQ(write(master_, b.data(), b.size()), ssize_t(b.size())); }
  // Whatever reaches the master within waitMs, up to max bytes.
  Bytes Receive(size_t max, int waitMs = 1000) {
    Bytes out;
    int64_t end = NowMs() + waitMs;
    while (out.size() < max) {
      int left = static_cast<int>(end - NowMs());
      pollfd p{master_, POLLIN, 0};
      if (left <= 0 || poll(&p, 1, left) <= 0) break;
      uint8_t buf[4096];
      ssize_t n = read(master_, buf, std::min(sizeof buf, max - out.size()));
      if (n <= 0) break;
      out.insert(out.end(), buf, buf + n);
    }
    return out;
  }

 private:
  int master_ = -1;
  std::string slave_;
};

}  // namespace plattest

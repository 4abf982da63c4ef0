// The serial line asks its driver for low latency at open and puts the flag
// back at close. A pseudo-terminal has no serial flags, so a scripted driver
// plays a USB adapter's: it records each request and answers as told.
#include "platform/low_latency.h"

#include <errno.h>
#include <gtest/gtest.h>
#include <linux/serial.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/serial_line.h"
#include "pty.h"

namespace {

using namespace plat;
using plattest::Pty;

class ScriptedFlags : public SerialFlagsDriver {
 public:
  ScriptedFlags() { UseSerialFlagsDriver(this); }
  ~ScriptedFlags() override { UseSerialFlagsDriver(nullptr); }

  int Get(int fd, serial_struct* out) override {
    fds.push_back(fd);
    calls.push_back("get");
    if (getErrno) return Fail(getErrno);
    *out = state;
    return 0;
  }
  int Set(int fd, const serial_struct& in) override {
    fds.push_back(fd);
    char text[32];
    std::snprintf(text, sizeof text, "set 0x%x", static_cast<unsigned>(in.flags));
    calls.push_back(text);
    if (in.baud_base != state.baud_base || in.type != state.type) calls.push_back("other fields changed");
    if (setErrno) return Fail(setErrno);
    state = in;
    return 0;
  }

  serial_struct state{};
  int getErrno = 0;
  int setErrno = 0;
  std::vector<std::string> calls;
  std::vector<int> fds;

 private:
  static int Fail(int e) {
    errno = e;
    return -1;
  }
};

std::unique_ptr<SerialLine> Open(const Pty& pty) {
  int err = 0;
  auto line = SerialLine::Open(pty.slave(), "", &err);
  EXPECT_TRUE(line) << std::strerror(err);
  return line;
}

using Calls = std::vector<std::string>;

TEST(LowLatency, AskedAtOpenAndPutBackAtClose) {
  Pty pty;
  ASSERT_TRUE(pty.ok());
  ScriptedFlags driver;
  driver.state.type = PORT_16550A;
  driver.state.baud_base = 115200;
  driver.state.flags = ASYNC_SKIP_TEST;
  auto line = Open(pty);
  ASSERT_TRUE(line);
  const int fd = line->fd();
  EXPECT_EQ(driver.calls, (Calls{"get", "set 0x2040"}));
  EXPECT_EQ(driver.state.flags, ASYNC_SKIP_TEST | ASYNC_LOW_LATENCY);
  line.reset();
  EXPECT_EQ(driver.calls, (Calls{"get", "set 0x2040", "get", "set 0x40"}));
  EXPECT_EQ(driver.state.flags, ASYNC_SKIP_TEST);
  EXPECT_EQ(driver.fds, std::vector<int>(4, fd));

  // A flag another program set while the line was open is kept; only ours goes.
  driver.calls.clear();
  line = Open(pty);
  driver.state.flags |= ASYNC_SPD_HI;
  line.reset();
  EXPECT_EQ(driver.calls, (Calls{"get", "set 0x2040", "get", "set 0x50"}));

  // A line that is gone by the close is left alone.
  driver.calls.clear();
  driver.state.flags = ASYNC_SKIP_TEST;
  line = Open(pty);
  driver.getErrno = EIO;
  line.reset();
  EXPECT_EQ(driver.calls, (Calls{"get", "set 0x2040", "get"}));
}

TEST(LowLatency, ALineWithoutTheFlagOrThatRefusesItIsLeftAsItIs) {
  Pty pty;
  ASSERT_TRUE(pty.ok());
  ScriptedFlags driver;
  for (int e : {ENOTTY, EINVAL}) {
    driver.calls.clear();
    driver.getErrno = e;
    auto line = Open(pty);
    ASSERT_TRUE(line) << e;
    line.reset();
    EXPECT_EQ(driver.calls, Calls{"get"}) << e;
  }
  driver.getErrno = 0;
  for (int e : {EPERM, EINVAL}) {
    driver.calls.clear();
    driver.setErrno = e;
    auto line = Open(pty);
    ASSERT_TRUE(line) << e;
    line.reset();
    EXPECT_EQ(driver.calls, (Calls{"get", "set 0x2000"})) << e;
  }
  // Already on: nothing to ask, nothing to put back.
  driver.calls.clear();
  driver.setErrno = 0;
  driver.state.flags = ASYNC_LOW_LATENCY;
  auto line = Open(pty);
  ASSERT_TRUE(line);
  line.reset();
  EXPECT_EQ(driver.calls, Calls{"get"});
}

TEST(LowLatency, APseudoTerminalsOwnDriverHasNoSerialFlags) {
  Pty pty;
  ASSERT_TRUE(pty.ok());
  auto line = Open(pty);
  ASSERT_TRUE(line);
  LowLatency request;
  request.Ask(line->fd());
  EXPECT_FALSE(request.changed());
  request.Restore(line->fd());
}

}  // namespace

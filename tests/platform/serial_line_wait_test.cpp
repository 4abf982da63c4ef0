// The line-event thread's wait on the line: it ends for received bytes, a
// hang-up or a wake-up, stays ended while bytes wait unread, and watches
// only the wake-up when told not to watch the line.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <thread>

#include "platform/serial_line.h"
#include "platform/wake_event.h"
#include "pty.h"

namespace {

using namespace plat;
using plattest::Pty;

// Long enough never to pass on a machine that works; the waits end sooner.
constexpr int kHangGuardMs = 10000;

std::unique_ptr<SerialLine> Open(const Pty& pty) {
  int err = 0;
  auto line = SerialLine::Open(pty.slave(), "", &err);
  EXPECT_TRUE(line) << std::strerror(err);
  if (line) {
    EXPECT_TRUE(line->SetSettings(LineSettings{}));
  }
  return line;
}

TEST(SerialLineWait, ReceivedBytesEndTheWaitUntilTheyAreRead) {
  Pty pty;
  ASSERT_TRUE(pty.ok());
  auto line = Open(pty);
  ASSERT_TRUE(line);
  SerialLine::Wake w = line->WaitForInput(true, -1, 10);
  EXPECT_FALSE(w.line || w.woken);  // a quiet line lets the time run out

  std::thread device([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    pty.Send({0x06, 0x15});
  });
  w = line->WaitForInput(true, -1, kHangGuardMs);
  device.join();
  EXPECT_TRUE(w.line);
  EXPECT_FALSE(w.woken);
  // Nothing was read, so the line stays ready...
  EXPECT_TRUE(line->WaitForInput(true, -1, kHangGuardMs).line);
  // ...unless it is not watched.
  w = line->WaitForInput(false, -1, 10);
  EXPECT_FALSE(w.line || w.woken);
  uint8_t b = 0;
  ASSERT_EQ(line->ReadByte(&b, 0), ReadStatus::Byte);
  ASSERT_EQ(line->ReadByte(&b, 0), ReadStatus::Byte);
  EXPECT_EQ(b, 0x15);
  EXPECT_FALSE(line->WaitForInput(true, -1, 10).line);
}

TEST(SerialLineWait, AWakeUpEndsTheWaitUntilItIsCleared) {
  Pty pty;
  ASSERT_TRUE(pty.ok());
  auto line = Open(pty);
  ASSERT_TRUE(line);
  WakeEvent wake;
  ASSERT_GE(wake.fd(), 0);
  std::thread other([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    wake.Signal();
  });
  SerialLine::Wake w = line->WaitForInput(false, wake.fd(), kHangGuardMs);
  other.join();
  EXPECT_TRUE(w.woken);
  EXPECT_FALSE(w.line);
  wake.Signal();  // signals add up; one Clear takes them all back
  EXPECT_TRUE(line->WaitForInput(true, wake.fd(), kHangGuardMs).woken);
  wake.Clear();
  w = line->WaitForInput(true, wake.fd(), 10);
  EXPECT_FALSE(w.line || w.woken);
}

TEST(SerialLineWait, AHangUpEndsTheWait) {
  Pty pty;
  ASSERT_TRUE(pty.ok());
  auto line = Open(pty);
  ASSERT_TRUE(line);
  pty.CloseMaster();
  EXPECT_TRUE(line->WaitForInput(true, -1, kHangGuardMs).line);
  uint32_t bits = 0xFF;
  EXPECT_TRUE(line->GetModemStatus(&bits));
  EXPECT_TRUE(line->hungUp());
}

}  // namespace

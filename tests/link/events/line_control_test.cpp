// Line and handshake control against the simulated device: the output lines
// as the device sees them in the side channel, the input lines as it sets
// them, the driver's flow settings and the handshake flag.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <termios.h>

#include "events_fixture.h"
#include "platform/line_termios.h"
#include "platform/side_channel.h"

namespace coretest {
namespace {

constexpr int kCom = 5;

using LineControl = LinkTest;

TEST_F(LineControl, SetLineControlDrivesDtrRtsAndBreakInTheSideChannel) {
  LogAll();
  OpenDevice(kCom);
  const size_t before = Log(kCom).size();
  EXPECT_EQ(CRW_OK, crwSetLineControl(kCom, 1, 0, 1));
  EXPECT_EQ(sim_.HostLines(), plat::kHostDtr | plat::kHostBreak);
  // Success writes no "Return Value" line.
  EXPECT_EQ(LogEntries(Log(kCom), before),
            Entries({"Inf:Enter   : SetLineControl", "Inf:CSLock  : SetLineControl",
                     "Inf:CSUnlock: SetLineControl", "Inf:Exit    : SetLineControl"}));
  EXPECT_EQ(CRW_OK, crwSetLineControl(kCom, 0, 1, 0));
  EXPECT_EQ(sim_.HostLines(), plat::kHostRts);
  ASSERT_TRUE(sim_.WaitForTag(sim::Dir::Line, "HOST DTR off RTS on BREAK off", 1, 1000));
}

TEST_F(LineControl, GetLineStatusFollowsTheDevice) {
  OpenDevice(kCom);
  int16_t cts = -1, dsr = -1, rlsd = -1;
  EXPECT_EQ(CRW_OK, crwGetLineStatus(kCom, &cts, &dsr, &rlsd));
  EXPECT_EQ((std::vector<int>{cts, dsr, rlsd}), (std::vector<int>{1, 1, 1}));
  Control("cts off");
  Control("rlsd off");
  EXPECT_EQ(CRW_OK, crwGetLineStatus(kCom, &cts, &dsr, &rlsd));
  EXPECT_EQ((std::vector<int>{cts, dsr, rlsd}), (std::vector<int>{0, 1, 0}));
  Control("cts on");
  Control("dsr off");
  EXPECT_EQ(CRW_OK, crwGetLineStatus(kCom, &cts, &dsr, &rlsd));
  EXPECT_EQ((std::vector<int>{cts, dsr, rlsd}), (std::vector<int>{1, 0, 0}));
}

TEST_F(LineControl, StatusCallsLeaveZerosWhenRefused) {
  int16_t cts = 7, dsr = 7, rlsd = 7, hs = 7;
  EXPECT_EQ(CRW_PARAMETER_ERROR, crwGetLineStatus(0, &cts, &dsr, &rlsd));
  EXPECT_EQ((std::vector<int>{cts, dsr, rlsd}), (std::vector<int>{0, 0, 0}));
  EXPECT_EQ(CRW_PARAMETER_ERROR, crwGetHandshakeStatus(257, &hs));
  EXPECT_EQ(hs, 0);
  cts = dsr = rlsd = 7;
  EXPECT_EQ(CRW_PORT_NOT_OPEN, crwGetLineStatus(kCom, &cts, &dsr, &rlsd));
  EXPECT_EQ((std::vector<int>{cts, dsr, rlsd}), (std::vector<int>{0, 0, 0}));
  EXPECT_EQ(CRW_PORT_NOT_OPEN, crwSetLineControl(kCom, 1, 1, 0));
  EXPECT_EQ(CRW_PORT_NOT_OPEN, crwComDSRCTSsw(kCom, 0, 0));
  int32_t handle = 7;
  EXPECT_EQ(CRW_PORT_NOT_OPEN, crwGetPortHandle(kCom, &handle));
  EXPECT_EQ(handle, 7);
}

TEST_F(LineControl, TheHandshakeFlagChangesOnlyWhileClosed) {
  int16_t hs = -1;
  EXPECT_EQ(CRW_OK, crwGetHandshakeStatus(kCom, &hs));
  EXPECT_EQ(hs, 1);  // a new port object
  EXPECT_EQ(CRW_OK, crwSetHandshake(kCom, 0));
  OpenDevice(kCom);
  EXPECT_EQ(sim_.HostLines() & (plat::kHostDtr | plat::kHostRts), plat::kHostDtr | plat::kHostRts);
  EXPECT_EQ(CRW_NAK, crwSetHandshake(kCom, 1));
  EXPECT_EQ(CRW_OK, crwGetHandshakeStatus(kCom, &hs));
  EXPECT_EQ(hs, 0);
  ASSERT_EQ(CRW_OK, crwClosePort(kCom));
  // The flag outlives the close.
  EXPECT_EQ(CRW_OK, crwGetHandshakeStatus(kCom, &hs));
  EXPECT_EQ(hs, 0);
}

TEST_F(LineControl, GetPortHandleGivesTheOpenDescriptor) {
  OpenDevice(kCom);
  int32_t handle = -1;
  EXPECT_EQ(CRW_OK, crwGetPortHandle(kCom, &handle));
  ASSERT_GE(handle, 0);
  EXPECT_NE(fcntl(handle, F_GETFD), -1);
  EXPECT_TRUE(isatty(handle));
}

// The kernel's view of the open line.
plat::KernelTermios2 TermiosOf(int fd) {
  plat::KernelTermios2 t{};
  EXPECT_EQ(0, ioctl(fd, plat::kTcGets2, &t));
  return t;
}

TEST_F(LineControl, ComDSRCTSswChangesOnlyTheFlowSettings) {
  Settings("[TimeOut]\nWriteFileTimeOut=100\n");
  OpenDevice(kCom);
  int32_t fd = -1;
  ASSERT_EQ(CRW_OK, crwGetPortHandle(kCom, &fd));
  const plat::KernelTermios2 before = TermiosOf(fd);
  EXPECT_NE(before.c_cflag & CRTSCTS, 0u);
  // DSR output flow holds a write back while the device drops DSR.
  Control("dsr off");
  EXPECT_EQ(CRW_SEND_ERROR, crwSendBinaryDataQR(kCom, 150, 0, 0, "A", 1));

  EXPECT_EQ(CRW_OK, crwComDSRCTSsw(kCom, 0, 0));
  plat::KernelTermios2 after = TermiosOf(fd);
  EXPECT_EQ(after.c_cflag, before.c_cflag & ~static_cast<tcflag_t>(CRTSCTS));
  EXPECT_EQ(after.c_iflag, before.c_iflag);
  EXPECT_EQ(after.c_oflag, before.c_oflag);
  EXPECT_EQ(after.c_lflag, before.c_lflag);
  EXPECT_EQ(after.c_ospeed, before.c_ospeed);
  EXPECT_EQ(sim_.HostLines() & (plat::kHostDtr | plat::kHostRts), plat::kHostDtr | plat::kHostRts);
  sim_.ClearTranscript();
  EXPECT_EQ(CRW_OK, crwSendBinaryDataQR(kCom, 150, 0, 0, "A", 1));
  EXPECT_TRUE(sim_.WaitForTag(sim::Dir::Host, "RAW", 1, 1000));

  EXPECT_EQ(CRW_OK, crwComDSRCTSsw(kCom, 0, 1));
  EXPECT_NE(TermiosOf(fd).c_cflag & CRTSCTS, 0u);
  // Every open turns both on again.
  ASSERT_EQ(CRW_OK, crwClosePort(kCom));
  ASSERT_EQ(CRW_OK, crwOpenPort(kCom, 9600, "8", "N"));
  ASSERT_EQ(CRW_OK, crwGetPortHandle(kCom, &fd));
  EXPECT_NE(TermiosOf(fd).c_cflag & CRTSCTS, 0u);
  EXPECT_EQ(CRW_SEND_ERROR, crwSendBinaryDataQR(kCom, 150, 0, 0, "A", 1));
}

TEST_F(LineControl, NothingHereIsRefusedWhileAWorkerRuns) {
  OpenDevice(kCom);
  Control("silent always");
  ASSERT_EQ(CRW_OK, crwSetResponseEventProc(kCom, 0, 5000, ResponseProc, 0, 0x8));
  ASSERT_EQ(CRW_PORT_BUSY, crwSendCommand(kCom, 100, 0, "ST", nullptr, 0));
  int16_t cts = -1, dsr = -1, rlsd = -1;
  EXPECT_EQ(CRW_OK, crwGetLineStatus(kCom, &cts, &dsr, &rlsd));
  EXPECT_EQ(CRW_OK, crwSetLineControl(kCom, 1, 1, 0));
  EXPECT_EQ(CRW_OK, crwComDSRCTSsw(kCom, 1, 1));
  int32_t handle = -1;
  EXPECT_EQ(CRW_OK, crwGetPortHandle(kCom, &handle));
}

}  // namespace
}  // namespace coretest

// The export frame and the port object's open and close, against the
// simulated device.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "link_fixture.h"
#include "open_refusal.h"
#include "termios_spy.h"

namespace coretest {
namespace {

using PortFrame = LinkTest;
using PortOpen = LinkTest;

TEST_F(PortFrame, NumbersOutsideOneTo256Give100WithoutALog) {
  LogAll();
  EXPECT_EQ(CRW_PARAMETER_ERROR, crwClosePort(0));
  EXPECT_EQ(CRW_PARAMETER_ERROR, crwClosePort(257));
  EXPECT_EQ(CRW_PARAMETER_ERROR, crwClosePort(-1));
  EXPECT_EQ(CRW_PARAMETER_ERROR, crwOpenPort(0x10000, 9600, "8", "N"));  // low half 0
  EXPECT_EQ(CRW_PARAMETER_ERROR, crwSendCommand(-1, 100, 0, "ST", nullptr, 0));
  EXPECT_FALSE(Exists(LogPath(0)));
  EXPECT_FALSE(Exists(LogPath(257)));
  EXPECT_FALSE(Exists(work_ + "/Vantor_-01.log"));
  EXPECT_FALSE(Exists(LogPath(1)));
}

TEST_F(PortFrame, OnlyTheLowSixteenBitsNameThePort) {
  LogAll();
  StartDevice(1);
  EXPECT_EQ(CRW_OK, crwOpenPort(65537, 9600, "8", "N"));  // 0x10001 is port 1
  EXPECT_EQ(CRW_NAK, crwOpenPort(1, 9600, "8", "N"));     // the same object: already open
  EXPECT_EQ(CRW_OK, crwClosePort(1));
  EXPECT_NE(Log(1).find("Enter   : crwOpenPort"), std::string::npos);
}

TEST_F(PortFrame, ClosingANeverOpenedPortCreatesItsLog) {
  LogAll();
  EXPECT_EQ(CRW_NAK, crwClosePort(5));
  EXPECT_EQ(LogEntries(Log(5)),
            Entries({"Inf:Info    : DLL Version = " VANTOR_TEST_VERSION,
                     "Inf:Enter   : crwClosePort", "Inf:CSLock  : crwClosePort",
                     "Err:ErrInfo : ErrorCode 1: Serial Port is already closed",
                     "Inf:CSUnlock: crwClosePort", "Inf:ErrExit : crwClosePort"}));
}

TEST_F(PortOpen, SetsTheLineAsAsked) {
  LogAll();
  StartDevice(3);
  ASSERT_EQ(CRW_OK, crwOpenPort(3, 9600, "8", "e"));
  opened_.push_back(3);
  plat::KernelTermios2 t{};
  ASSERT_TRUE(LastLineSettings(sim_.SlavePath(), &t));
  EXPECT_EQ(t.c_cflag & CBAUD, static_cast<tcflag_t>(B9600));
  EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
  EXPECT_EQ(t.c_cflag & (PARENB | PARODD | CMSPAR), static_cast<tcflag_t>(PARENB));
  EXPECT_TRUE(t.c_cflag & CRTSCTS);  // CTS output flow control
  EXPECT_FALSE(t.c_iflag & (IXON | IXOFF));
  EXPECT_FALSE(t.c_lflag & (ICANON | ECHO));
  // DTR and RTS in handshake mode are on while the port is open.
  EXPECT_EQ(sim_.HostLines() & (plat::kHostDtr | plat::kHostRts), plat::kHostDtr | plat::kHostRts);
  EXPECT_NE(Log(3).find("Inf:Info    : PortName is " + dev_ + "/COM3\n"), std::string::npos);

  ASSERT_EQ(CRW_OK, crwClosePort(3));
  EXPECT_EQ(sim_.HostLines() & (plat::kHostDtr | plat::kHostRts), 0u);
  ASSERT_EQ(CRW_OK, crwOpenPort(3, 19200, "7x", "O"));  // "7x" counts as 7
  ASSERT_TRUE(LastLineSettings(sim_.SlavePath(), &t));
  EXPECT_EQ(t.c_cflag & CBAUD, static_cast<tcflag_t>(B19200));
  EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS7));
  EXPECT_EQ(t.c_cflag & (PARENB | PARODD | CMSPAR), static_cast<tcflag_t>(PARENB | PARODD));
}

TEST_F(PortOpen, SecondOpenGives1AndKeepsThePortOpen) {
  OpenDevice(3);
  EXPECT_EQ(CRW_NAK, crwOpenPort(3, 9600, "8", "N"));
  EXPECT_EQ(CRW_OK, crwSendCommand(3, 500, 0, "ST", nullptr, 0));
}

TEST_F(PortOpen, BadDataBitsOrParityGive100AndLeaveThePortClosed) {
  StartDevice(3);
  EXPECT_EQ(CRW_PARAMETER_ERROR, crwOpenPort(3, 9600, "9", "N"));
  EXPECT_EQ(CRW_PARAMETER_ERROR, crwOpenPort(3, 9600, "8", "M"));
  EXPECT_EQ(CRW_PARAMETER_ERROR, crwOpenPort(3, 0, "8", "N"));
  EXPECT_EQ(CRW_PARAMETER_ERROR, crwOpenPort(3, 9600, nullptr, "N"));
  EXPECT_EQ(CRW_PARAMETER_ERROR, crwOpenPort(3, 9600, "8", nullptr));
  EXPECT_EQ(CRW_NAK, crwClosePort(3));  // still closed
  EXPECT_EQ(CRW_PORT_NOT_OPEN, crwSendCommand(3, 100, 0, "ST", nullptr, 0));
  // The device was let go each time: it opens now.
  EXPECT_EQ(CRW_OK, crwOpenPort(3, 9600, "8", "N"));
  opened_.push_back(3);
}

// Every refused open leaves the system's reason in errno and names it in the
// log, on an error line of its own before the error code's.
TEST_F(PortOpen, AnAbsentDeviceGives101WithTheSystemsReason) {
  Settings("[Log]\r\nLogging=1\r\n");  // errors only: the reason is one
  errno = 0;
  EXPECT_EQ(CRW_PORT_NOT_OPEN, crwOpenPort(200, 9600, "8", "N"));  // maps to no device
  EXPECT_EQ(errno, ENODEV);
  EXPECT_EQ(LogEntries(Log(200)), Entries({"Err:ErrInfo : COM200 has no device file",
                                           "Err:ErrInfo : ErrorCode 101: Serial Port cannot be opened"}));
  const std::string link = dev_ + "/COM7";
  ASSERT_EQ(0, symlink("/nonexistent/pts/99", link.c_str()));  // a link left behind
  errno = 0;
  EXPECT_EQ(CRW_PORT_NOT_OPEN, crwOpenPort(7, 9600, "8", "N"));
  EXPECT_EQ(errno, ENOENT);
  EXPECT_EQ(LogEntries(Log(7)), Entries({("Err:ErrInfo : " + link + ": " + strerror(ENOENT)).c_str(),
                                         "Err:ErrInfo : ErrorCode 101: Serial Port cannot be opened"}));
}

TEST_F(PortOpen, ADeviceTheUserMayNotOpenGives101AndSaysSo) {
  LogAll();
  StartDevice(3);
  const std::string device = dev_ + "/COM3";
  testsupport::RefuseOpen(device, EACCES);
  errno = 0;
  EXPECT_EQ(CRW_PORT_NOT_OPEN, crwOpenPort(3, 9600, "8", "N"));
  EXPECT_EQ(errno, EACCES);
  EXPECT_EQ(LogEntries(Log(3)),
            Entries({"Inf:Info    : DLL Version = " VANTOR_TEST_VERSION, "Inf:Enter   : crwOpenPort",
                     "Inf:CSLock  : crwOpenPort", ("Err:ErrInfo : " + device + ": " + strerror(EACCES)).c_str(),
                     "Err:ErrInfo : ErrorCode 101: Serial Port cannot be opened", "Inf:CSUnlock: crwOpenPort",
                     "Inf:ErrExit : crwOpenPort"}));
  // Once the user may, the same port object opens it.
  testsupport::AllowOpen(device);
  EXPECT_EQ(CRW_OK, crwOpenPort(3, 9600, "8", "N"));
  opened_.push_back(3);
}

TEST_F(PortOpen, ASecondProcessCannotOpenTheSameDevice) {
  StartDevice(4);
  int go[2];
  ASSERT_EQ(0, pipe(go));
  // The child is forked before this process touches the library, so it has
  // a library state of its own, as another program would.
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    char c;
    if (read(go[0], &c, 1) != 1) _exit(255);
    _exit(crwOpenPort(4, 9600, "8", "N"));
  }
  ASSERT_EQ(CRW_OK, crwOpenPort(4, 9600, "8", "N"));
  opened_.push_back(4);
  ASSERT_EQ(1, write(go[1], "x", 1));
  int status = 0;
  ASSERT_EQ(child, waitpid(child, &status, 0));
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(CRW_PORT_NOT_OPEN, WEXITSTATUS(status));
  close(go[0]);
  close(go[1]);
}

TEST_F(PortOpen, ClosedPortOpensAgainWithTheSameObject) {
  LogAll();
  OpenDevice(3);
  EXPECT_EQ(CRW_OK, crwClosePort(3));
  EXPECT_EQ(CRW_NAK, crwClosePort(3));
  EXPECT_EQ(CRW_OK, crwOpenPort(3, 9600, "8", "N"));
  EXPECT_EQ(CRW_OK, crwSendCommand(3, 500, 0, "ST", nullptr, 0));
  // One object, one version line.
  const std::string log = Log(3);
  EXPECT_EQ(log.find("DLL Version"), log.rfind("DLL Version"));
}

TEST_F(PortOpen, LoggingTwoWritesNoLogAtAll) {
  Settings("[Log]\nLogging=2\n");
  OpenDevice(3);
  EXPECT_EQ(CRW_OK, crwSendCommand(3, 500, 0, "ST", nullptr, 0));
  EXPECT_EQ(CRW_NAK, crwClosePort(8));
  EXPECT_FALSE(Exists(LogPath(3)));
  EXPECT_FALSE(Exists(LogPath(8)));
}

TEST_F(PortOpen, TheLogFileNameIsNeverAFormat) {
  Settings("[Log]\nLogging=0\nLogFileName=.\\trace_%s%n_%03d.log\n");
  EXPECT_EQ(CRW_NAK, crwClosePort(9));
  // The one number conversion takes the port number; the rest is text.
  EXPECT_TRUE(Exists(work_ + "/trace_%s%n_009.log"));
}

}  // namespace
}  // namespace coretest

// What the exports write to the port log: the frame of every call, the line
// routines' texts and dumps, and the levels.
#include <gtest/gtest.h>

#include "link_fixture.h"

namespace coretest {
namespace {

constexpr int kCom = 3;

using PortLog = LinkTest;

std::string DumpOf(const std::string& row0, const std::string& row1 = "") {
  std::string d = "    Addr : +0 +1 +2 +3 +4 +5 +6 +7 +8 +9 +A +B +C +D +E +F\n    " +
                  std::string(55, '-') + "\n" + row0 + "\n";
  if (!row1.empty()) d += row1 + "\n";
  return d + "\n";
}

TEST_F(PortLog, ASuccessfulSendCommandWritesElevenLines) {
  LogAll();
  OpenDevice(kCom);
  const size_t before = Log(kCom).size();
  ASSERT_EQ(CRW_OK, crwSendCommand(kCom, 1000, 0, "ST", "AB", 2));
  const std::string log = Log(kCom);
  EXPECT_EQ(LogEntries(log, before),
            Entries({"Inf:Enter   : crwSendCommand", "Inf:CSLock  : crwSendCommand",
                     "Inf:Info    : Start WriteComm Method", "<dump>",
                     "Inf:Info    : End WriteComm Method", "Inf:Info    : Start ReadComm Method",
                     "<dump>", "Inf:Info    : End ReadComm Method",
                     "Inf:Info    : Return Value is 0", "Inf:CSUnlock: crwSendCommand",
                     "Inf:Exit    : crwSendCommand"}));
  EXPECT_NE(log.find(DumpOf("    0000 : 04 02 53 54 41 42 03 07" + std::string(24, ' ') +
                            "   \x04\x02STAB\x03\x07")),
            std::string::npos);
  EXPECT_NE(log.find(DumpOf("    0000 : 06" + std::string(45, ' ') + "   \x06")), std::string::npos);
}

TEST_F(PortLog, ErrorsOnlyLoggingKeepsTheErrorLines) {
  Settings("[Log]\nLogging=1\n");
  OpenDevice(kCom);
  Control("noack");
  EXPECT_EQ(CRW_TIMEOUT, crwSendCommand(kCom, 50, 0, "ST", nullptr, 0));
  EXPECT_EQ(CRW_PARAMETER_ERROR, crwSendCommand(kCom, 50, 0, "S", nullptr, 0));
  EXPECT_EQ(LogEntries(Log(kCom)), Entries({"Err:ErrInfo : ErrorCode 110: Timeout Error.",
                                            "Err:ErrInfo : ErrorCode 100: Parameter Error"}));
}

TEST_F(PortLog, DumpsOfNoneAndSixteenBytesEndWithAnEmptyRow) {
  LogAll();
  OpenDevice(kCom);
  ASSERT_EQ(CRW_OK, crwSendDataQR(kCom, 1000, 0, nullptr, 0));
  ASSERT_EQ(CRW_OK, crwSendDataQR(kCom, 1000, 0, "0123456789ABCDEF", 16));
  const std::string empty = "    0000 :" + std::string(48, ' ') + "   ";
  const std::string log = Log(kCom);
  EXPECT_NE(log.find("Start WriteComm Method\n" + DumpOf(empty)), std::string::npos) << log;
  EXPECT_NE(log.find("Start WriteComm Method\n" +
                     DumpOf("    0000 : 30 31 32 33 34 35 36 37 38 39 41 42 43 44 45 46   0123456789ABCDEF",
                            "    0010 :" + std::string(48, ' ') + "   ")),
            std::string::npos)
      << log;
}

TEST_F(PortLog, ATimeOutDumpsWhatCame) {
  LogAll();
  OpenDevice(kCom);
  Control("silent");
  Control("send 41 42");
  ASSERT_TRUE(sim_.WaitForTag(sim::Dir::Device, "", 1, 1000));
  const size_t before = Log(kCom).size();
  // Long enough that a busy machine still gets the poll written before it runs out.
  EXPECT_EQ(CRW_TIMEOUT, crwReceiveResponse(kCom, 0, 500, 0, nullptr, nullptr, nullptr));
  const std::vector<std::string> lines = LogEntries(Log(kCom), before);
  EXPECT_EQ(std::vector<std::string>(lines.end() - 5, lines.end()),
            Entries({"Inf:Info    : [Error]Dump Receive Data", "<dump>",
                     "Err:ErrInfo : ErrorCode 110: Timeout Error.", "Inf:CSUnlock: crwReceiveResponse",
                     "Inf:ErrExit : crwReceiveResponse"}));
  EXPECT_NE(Log(kCom).find("[Error]Dump Receive Data\n" +
                           DumpOf("    0000 : 41 42" + std::string(42, ' ') + "   AB")),
            std::string::npos);
}

TEST_F(PortLog, EveryFailedCallUnlocksAndLeavesByErrExit) {
  LogAll();
  OpenDevice(kCom);
  Control("hangup");
  size_t before = Log(kCom).size();
  ASSERT_EQ(CRW_SEND_ERROR, crwSendCommand(kCom, 1000, 0, "ST", nullptr, 0));
  EXPECT_EQ(LogEntries(Log(kCom), before),
            Entries({"Inf:Enter   : crwSendCommand", "Inf:CSLock  : crwSendCommand",
                     "Inf:Info    : Start WriteComm Method",
                     "Err:ErrInfo : ErrorCode 200: WIN32 API Error (Send3)",
                     "Inf:CSUnlock: crwSendCommand", "Inf:ErrExit : crwSendCommand"}));
  ASSERT_EQ(CRW_OK, crwClosePort(kCom));
  before = Log(kCom).size();
  ASSERT_EQ(CRW_PORT_NOT_OPEN, crwReceiveResponse(kCom, 0, 100, 0, nullptr, nullptr, nullptr));
  EXPECT_EQ(LogEntries(Log(kCom), before),
            Entries({"Inf:Enter   : crwReceiveResponse", "Inf:CSLock  : crwReceiveResponse",
                     "Err:ErrInfo : ErrorCode 101: Serial Port is not opened yet",
                     "Inf:CSUnlock: crwReceiveResponse", "Inf:ErrExit : crwReceiveResponse"}));
}

}  // namespace
}  // namespace coretest

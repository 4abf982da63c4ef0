// The response and binary workers against the simulated device: what they
// report, the busy port while they run, stopping them, and the dispatcher
// that reaps them.
#include <gtest/gtest.h>

#include "events_fixture.h"
#include "wire/codec.h"

namespace coretest {
namespace {

constexpr int kCom = 7;

class Workers : public LinkTest {
 protected:
  void SetUp() override {
    LinkTest::SetUp();
    if (HasFatalFailure()) return;
    LogAll();
    OpenDevice(kCom);
  }
  void TearDown() override {
    g_inCallback = nullptr;
    LinkTest::TearDown();
  }
  // A command whose reply the next poll fetches: "A ST 90".
  void CommandSent() { ASSERT_EQ(CRW_OK, crwSendCommand(kCom, 1000, 0, "ST", nullptr, 0)); }
  int16_t Transaction() { return crwSendCommand(kCom, 100, 0, "ST", nullptr, 0); }
};

using ResponseWorker = Workers;
using BinaryWorker = Workers;
using Registrations = Workers;

TEST_F(ResponseWorker, AReplyAWithOnly0x4SelectedIsReportedAs0x4) {
  CommandSent();
  ASSERT_EQ(CRW_OK, crwSetResponseEventProc(kCom, 0, 1000, ResponseProc, 9, 0x4));
  ASSERT_TRUE(PumpUntil([] { return g_response.size() == 1; }, 1000));
  const Call c = g_response.Snapshot()[0];
  EXPECT_EQ(c.bits, 0x4);
  EXPECT_EQ(c.data, "AST90");
  EXPECT_EQ(c.length, 5);
  EXPECT_EQ(c.user, 9);
  EXPECT_EQ(c.port, kCom);
  EXPECT_EQ(c.thread, ThreadId());
  // No ACK for the reply: the poll was the last thing sent.
  EXPECT_EQ(Wire(sim::Dir::Host).back(), Bytes({0x04, 0x05}));
  const std::string log = Log(kCom);
  // "GetExitCodeThread" and the CP932 bytes of the character for "before".
  EXPECT_NE(log.find("Inf:Info    : GetExitCodeThread\x91\x4f\n"), std::string::npos);
  EXPECT_NE(log.find("Inf:Info    : Execute CallBack Function(Response): 0x00000004\n\n"),
            std::string::npos);
  // Reaped: the port takes transactions again.
  EXPECT_EQ(CRW_OK, Transaction());
}

TEST_F(ResponseWorker, WaitWhileBusyPollsThroughBusyRepliesToA) {
  Control("reply ST 90 DATA busy 2");
  CommandSent();
  ASSERT_EQ(CRW_OK, crwSetResponseEventProc(kCom, 1, 1000, ResponseProc, 0, 0x1 | 0x4));
  ASSERT_TRUE(PumpUntil([] { return g_response.size() == 1; }, 1000));
  EXPECT_EQ(g_response.Snapshot()[0].bits, 0x1);
  EXPECT_EQ(g_response.Snapshot()[0].data, "AST90DATA");
  EXPECT_EQ(sim_.CountTag(sim::Dir::Host, "POLL"), 3);
}

TEST_F(ResponseWorker, EveryTransactionGets140WhileItRuns) {
  Control("silent always");
  ASSERT_EQ(CRW_OK, crwSetResponseEventProc(kCom, 0, 5000, ResponseProc, 0, 0x8));
  EXPECT_EQ(CRW_PORT_BUSY, Transaction());
  char* slot = nullptr;
  int16_t length = 0;
  EXPECT_EQ(CRW_PORT_BUSY, crwReceiveData(kCom, 0, &slot, &length));
  EXPECT_EQ(CRW_PORT_BUSY, crwSendBinaryData(kCom, 100, 0, 0, 0, "A", 1));
  EXPECT_EQ(CRW_PORT_BUSY, crwSendBinaryDataQR(kCom, 100, 0, 0, "A", 1));
  EXPECT_EQ(CRW_OK, crwComRXBufferClear(kCom));
  const std::string log = Log(kCom);
  EXPECT_NE(log.find("Err:ErrInfo : ErrorCode 140: Serial Port is busy\n"), std::string::npos);
}

TEST_F(ResponseWorker, Callback0StopsItAndTheStopEventFreesThePort) {
  Control("silent always");
  ASSERT_EQ(CRW_OK, crwSetResponseEventProc(kCom, 0, 30000, ResponseProc, 3, 0x8));
  ASSERT_TRUE(sim_.WaitForTag(sim::Dir::Host, "POLL", 1, 1000));
  const uint32_t start = NowMs();
  EXPECT_EQ(CRW_OK, crwSetResponseEventProc(kCom, 0, 30000, nullptr, 0, 0));
  // Busy until the stop event has been dispatched.
  EXPECT_EQ(CRW_PORT_BUSY, Transaction());
  ASSERT_TRUE(PumpUntil([] { return g_response.size() == 1; }, 5000));
  EXPECT_LT(NowMs() - start, 3000u);  // not the whole worker time-out
  const Call c = g_response.Snapshot()[0];
  EXPECT_EQ(c.bits, 0x8);
  EXPECT_EQ(c.data, "");
  EXPECT_EQ(c.length, 0);
  Control("silent off");
  EXPECT_EQ(CRW_OK, Transaction());
}

TEST_F(ResponseWorker, ClosingDuringAPollGivesNoStopEvent) {
  Control("silent always");
  ASSERT_EQ(CRW_OK, crwSetResponseEventProc(kCom, 0, 30000, ResponseProc, 0, 0x8 | 0x100));
  ASSERT_TRUE(sim_.WaitForTag(sim::Dir::Host, "POLL", 1, 1000));
  const uint32_t start = NowMs();
  EXPECT_EQ(CRW_OK, crwClosePort(kCom));
  EXPECT_LT(NowMs() - start, 3000u);  // not the poll's time-out
  opened_.clear();
  PumpFor(100);
  EXPECT_EQ(g_response.size(), 0u);
}

TEST_F(ResponseWorker, ATimeOutIsReportedWhenSelected) {
  Control("silent always");
  const uint32_t start = NowMs();
  ASSERT_EQ(CRW_OK, crwSetResponseEventProc(kCom, 0, 50, ResponseProc, 0, 0x100));
  ASSERT_TRUE(PumpUntil([] { return g_response.size() == 1; }, 1000));
  EXPECT_GE(NowMs() - start, 50u);
  EXPECT_EQ(g_response.Snapshot()[0].bits, 0x100);
}

TEST_F(ResponseWorker, ThePollWaitsForCtsAndReports0x200) {
  Control("cts off");
  ASSERT_EQ(CRW_OK, crwSetResponseEventProc(kCom, 0, 50, ResponseProc, 0, 0x200));
  ASSERT_TRUE(PumpUntil([] { return g_response.size() == 1; }, 1000));
  EXPECT_EQ(g_response.Snapshot()[0].bits, 0x200);
  EXPECT_EQ(sim_.CountTag(sim::Dir::Host, "POLL"), 0);
}

TEST_F(ResponseWorker, ABadReplyIsNeverReportedAsGood) {
  Control("kind A always");
  Control("badbcc always");
  ASSERT_EQ(CRW_OK, crwSetResponseEventProc(kCom, 0, 200, ResponseProc, 0, 0x1 | 0x4));
  // Poll, NAK three times, 120 unselected: poll again.
  ASSERT_TRUE(sim_.WaitForTag(sim::Dir::Host, "POLL", 2, 2000));
  PumpFor(20);
  EXPECT_EQ(g_response.size(), 0u);
  EXPECT_GE(sim_.CountTag(sim::Dir::Host, "NAK"), 3);
  Control("badbcc off");
  ASSERT_TRUE(PumpUntil([] { return g_response.size() == 1; }, 2000));
  const Call c = g_response.Snapshot()[0];
  EXPECT_EQ(c.bits, 0x1);
  EXPECT_EQ(c.data.substr(0, 1), "A");
}

TEST_F(ResponseWorker, ABadReplyGives0x800WhenSelected) {
  Control("badbcc always");
  ASSERT_EQ(CRW_OK, crwSetResponseEventProc(kCom, 0, 200, ResponseProc, 0, 0x800));
  ASSERT_TRUE(PumpUntil([] { return g_response.size() == 1; }, 2000));
  EXPECT_EQ(g_response.Snapshot()[0].bits, 0x800);
  EXPECT_EQ(sim_.CountTag(sim::Dir::Host, "NAK"), 3);
}

TEST_F(ResponseWorker, TheLastRegistrationsUserValueReachesEveryCallback) {
  CommandSent();
  ASSERT_EQ(CRW_OK, crwSetResponseEventProc(kCom, 0, 1000, ResponseProc, 5, 0x1));
  ASSERT_EQ(CRW_OK, crwSetCommEventProc(kCom, LineProc, 0, CRW_LINE_RLSD));
  Control("rlsd off");
  ASSERT_TRUE(PumpUntil([] { return g_response.size() == 1 && g_line.size() == 1; }, 2000));
  EXPECT_EQ(g_response.Snapshot()[0].user, 0);
  EXPECT_EQ(g_line.Snapshot()[0].user, 0);
}

TEST_F(ResponseWorker, TheCallbackMayRegisterAgain) {
  CommandSent();
  g_inCallback = [] {
    if (g_response.size() == 1) {
      EXPECT_EQ(CRW_OK, crwSetResponseEventProc(kCom, 0, 1000, ResponseProc, 0, 0x1 | 0x2));
    }
  };
  ASSERT_EQ(CRW_OK, crwSetResponseEventProc(kCom, 0, 1000, ResponseProc, 0, 0x1));
  // The second worker gets the idle reply "R 00 00".
  ASSERT_TRUE(PumpUntil([] { return g_response.size() == 2; }, 2000));
  EXPECT_EQ(g_response.Snapshot()[1].bits, 0x2);
  EXPECT_EQ(g_response.Snapshot()[1].data, "R0000");
}

TEST_F(BinaryWorker, AGoodFrameIsAcknowledgedAndReported) {
  ASSERT_EQ(CRW_OK, crwSetReceiveBinaryEventProc(kCom, 1000, BinaryProc, 4, 0x1));
  Control("binsend good 411642");
  ASSERT_TRUE(PumpUntil([] { return g_binary.size() == 1; }, 1000));
  const Call c = g_binary.Snapshot()[0];
  EXPECT_EQ(c.bits, 0x1);
  EXPECT_EQ(c.data, std::string("A\x16" "B"));
  EXPECT_EQ(c.length, 3);
  EXPECT_EQ(c.user, 4);
  ASSERT_TRUE(sim_.WaitForTag(sim::Dir::Host, "SYN ACK", 1, 1000));
  EXPECT_EQ(Wire(sim::Dir::Host), std::vector<Bytes>({{0x16, 0x06}}));
  EXPECT_NE(Log(kCom).find("Execute CallBack Function(Binary): 0x00000001\n"), std::string::npos);
}

TEST_F(BinaryWorker, ThreeBadFramesAreNakedAndTheFourthGives0x800) {
  Control("binbadbcc always");
  ASSERT_EQ(CRW_OK, crwSetReceiveBinaryEventProc(kCom, 1000, BinaryProc, 0, 0x800));
  Control("binsend good 4142");
  ASSERT_TRUE(PumpUntil([] { return g_binary.size() == 1; }, 2000));
  EXPECT_EQ(g_binary.Snapshot()[0].bits, 0x800);
  EXPECT_EQ(sim_.CountTag(sim::Dir::Host, "SYN NAK"), 3);
  EXPECT_EQ(sim_.CountTag(sim::Dir::Host, "SYN ACK"), 0);
}

TEST_F(BinaryWorker, WithoutBit0x800BadFramesAreNakedUntilAGoodOne) {
  Control("binbadbcc 5");
  ASSERT_EQ(CRW_OK, crwSetReceiveBinaryEventProc(kCom, 1000, BinaryProc, 0, 0x1));
  Control("binsend good 4142");
  ASSERT_TRUE(PumpUntil([] { return g_binary.size() == 1; }, 2000));
  EXPECT_EQ(g_binary.Snapshot()[0].bits, 0x1);
  EXPECT_EQ(sim_.CountTag(sim::Dir::Host, "SYN NAK"), 5);
}

TEST_F(BinaryWorker, Bit0x400WatchesDsr) {
  ASSERT_EQ(CRW_OK, crwSetReceiveBinaryEventProc(kCom, 0, BinaryProc, 0, 0x400));
  PumpFor(20);
  Control("dsr off");
  ASSERT_TRUE(PumpUntil([] { return g_binary.size() == 1; }, 1000));
  EXPECT_EQ(g_binary.Snapshot()[0].bits, 0x400);
  EXPECT_NE(Log(kCom).find("ErrorCode 112: DSR Error.\n"), std::string::npos);
}

TEST_F(Registrations, TheResultTable) {
  EXPECT_EQ(CRW_OK, crwSetResponseEventProc(kCom, 0, 1000, nullptr, 0, 0));
  EXPECT_EQ(CRW_PARAMETER_ERROR, crwSetResponseEventProc(kCom, 0, -1, ResponseProc, 0, 0));
  EXPECT_EQ(CRW_PARAMETER_ERROR, crwSetReceiveBinaryEventProc(kCom, -1, BinaryProc, 0, 0));
  Control("silent always");
  ASSERT_EQ(CRW_OK, crwSetResponseEventProc(kCom, 0, 5000, ResponseProc, 0, 0));
  EXPECT_EQ(CRW_NAK, crwSetResponseEventProc(kCom, 0, 5000, ResponseProc, 0, 0));
  EXPECT_EQ(CRW_PORT_BUSY, crwSetReceiveBinaryEventProc(kCom, 5000, BinaryProc, 0, 0));
  EXPECT_EQ(CRW_PORT_BUSY, crwSetReceiveBinaryEventProc(kCom, 5000, nullptr, 0, 0));
  const std::string log = Log(kCom);
  EXPECT_NE(log.find("Err:ErrInfo : ErrorCode 1: This port has already been registered. \n"),
            std::string::npos);
  ASSERT_EQ(CRW_OK, crwClosePort(kCom));
  EXPECT_EQ(CRW_PORT_NOT_OPEN, crwSetResponseEventProc(kCom, 0, 1000, ResponseProc, 0, 0));
  EXPECT_EQ(CRW_PORT_NOT_OPEN, crwSetReceiveBinaryEventProc(kCom, 1000, BinaryProc, 0, 0));
  opened_.clear();
}

TEST_F(Registrations, AnUnselectedStopReachesNoCallbackButFreesThePort) {
  Control("silent always");
  ASSERT_EQ(CRW_OK, crwSetReceiveBinaryEventProc(kCom, 5000, BinaryProc, 0, 0x1));
  ASSERT_EQ(CRW_OK, crwSetReceiveBinaryEventProc(kCom, 5000, nullptr, 0, 0));
  ASSERT_TRUE(PumpUntil([this] { return Transaction() != CRW_PORT_BUSY; }, 1000));
  EXPECT_EQ(g_binary.size(), 0u);
}

TEST_F(Registrations, APulledLineEndsTheWorker) {
  ASSERT_EQ(CRW_OK, crwSetResponseEventProc(kCom, 0, 5000, ResponseProc, 0, 0x1));
  Control("hangup");
  // The receive error is not selected: no callback, but no spinning either,
  // and the port is free again.
  ASSERT_TRUE(PumpUntil([this] { return Transaction() != CRW_PORT_BUSY; }, 1000));
  EXPECT_EQ(g_response.size(), 0u);
  const double cpu = CpuMs();
  PumpFor(200);
  EXPECT_LT(CpuMs() - cpu, 40.0);
}

}  // namespace
}  // namespace coretest

// The text-frame transactions against the simulated device: the bytes on the
// wire (from the device's transcript), the results and the slots.
#include <gtest/gtest.h>

#include <cstring>

#include "link_fixture.h"
#include "wire/codec.h"

namespace coretest {
namespace {

constexpr int kCom = 3;

std::string Hex(const Bytes& b) {
  std::string s;
  char buf[4];
  for (uint8_t c : b) {
    snprintf(buf, sizeof buf, "%02X", c);
    s += buf;
  }
  return s;
}

Bytes Reply(char kind, const char* code, const char* status, const std::string& data = "") {
  return wire::ResponseFrame(static_cast<uint8_t>(kind), code, status,
                             reinterpret_cast<const uint8_t*>(data.data()), data.size());
}

Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }

Bytes Cat(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

class TextTest : public LinkTest {
 protected:
  void SetUp() override {
    LinkTest::SetUp();
    if (HasFatalFailure()) return;
    LogAll();
    OpenDevice(kCom);
  }
  // Bytes the device sends now, unasked; returns once they are on their way.
  void DeviceSends(const Bytes& b) {
    const int before = sim_.CountTag(sim::Dir::Device, "");
    Control("send " + Hex(b));
    ASSERT_TRUE(sim_.WaitForTag(sim::Dir::Device, "", before + 1, 1000));
  }
  int Polls() const { return sim_.CountTag(sim::Dir::Host, "POLL"); }
  int HostNaks() const { return sim_.CountTag(sim::Dir::Host, "NAK"); }
  int16_t Command(int32_t timeoutMs = 1000) {
    return crwSendCommand(kCom, timeoutMs, 0, "ST", nullptr, 0);
  }
  int16_t Poll(int16_t waitWhileBusy = 0, int32_t timeoutMs = 1000) {
    return crwReceiveResponse(kCom, waitWhileBusy, timeoutMs, 0, &code_, &status_, &data_);
  }

  char* code_ = nullptr;
  char* status_ = nullptr;
  char* data_ = nullptr;
  void TearDown() override {
    Take(code_);
    Take(status_);
    Take(data_);
    LinkTest::TearDown();
  }
};

using SendCommand = TextTest;
using ReceiveResponse = TextTest;
using RetryingSenders = TextTest;
using DataTransfers = TextTest;
using LineFaults = TextTest;

TEST_F(SendCommand, WritesTheFrameAndTakesTheAck) {
  EXPECT_EQ(CRW_OK, crwSendCommand(kCom, 1000, 0, "ST", "AB", 2));
  EXPECT_EQ(Wire(sim::Dir::Host), std::vector<Bytes>({{0x04, 0x02, 0x53, 0x54, 0x41, 0x42, 0x03, 0x07}}));
  EXPECT_EQ(Wire(sim::Dir::Device), std::vector<Bytes>({{0x06}}));
}

TEST_F(SendCommand, WithoutDataSendsCodeAlone) {
  EXPECT_EQ(CRW_OK, crwSendCommand(kCom, 1000, 0, "ST", nullptr, 0));
  EXPECT_TRUE(SentByHost({0x04, 0x02, 0x53, 0x54, 0x03, 0x04}));
}

TEST_F(SendCommand, NakGives1) {
  Control("nak");
  EXPECT_EQ(CRW_NAK, Command());
}

TEST_F(SendCommand, SilenceGives110AfterTheTimeOut) {
  Control("noack");
  const uint32_t t0 = NowMs();
  EXPECT_EQ(CRW_TIMEOUT, Command(200));
  const uint32_t took = NowMs() - t0;
  EXPECT_GE(took, 200u);
  EXPECT_LT(took, 10 * 200u);  // it ends: a busy machine only makes it late
}

TEST_F(SendCommand, BadArgumentsGive100AndSendNothing) {
  EXPECT_EQ(CRW_PARAMETER_ERROR, crwSendCommand(kCom, 1000, 0, "S", nullptr, 0));
  EXPECT_EQ(CRW_PARAMETER_ERROR, crwSendCommand(kCom, 1000, 0, "STX", nullptr, 0));
  EXPECT_EQ(CRW_PARAMETER_ERROR, crwSendCommand(kCom, 1000, 0, nullptr, nullptr, 0));
  EXPECT_EQ(CRW_PARAMETER_ERROR, crwSendCommand(kCom, 1000, 0, "ST", "AB", 3));
  EXPECT_EQ(CRW_PARAMETER_ERROR, crwSendCommand(kCom, 1000, 0, "ST", "AB", 1));
  EXPECT_EQ(CRW_PARAMETER_ERROR, crwSendCommand(kCom, 1000, 0, "ST", "AB", -1));
  EXPECT_EQ(CRW_PARAMETER_ERROR, crwSendCommand(kCom, 1000, 0, "ST", nullptr, 2));
  EXPECT_EQ(CRW_PARAMETER_ERROR, crwSendCommand(kCom, -1, 0, "ST", nullptr, 0));
  EXPECT_TRUE(Wire(sim::Dir::Host).empty());
}

TEST_F(SendCommand, TheLengthTestReadsNoFurtherThanLenPlusOne) {
  // Data with no NUL in reach: exactly len + 1 readable bytes, the last one
  // not NUL. A longer look would leave the buffer (ASan).
  char* block = static_cast<char*>(malloc(3));
  memcpy(block, "ABC", 3);
  EXPECT_EQ(CRW_PARAMETER_ERROR, crwSendCommand(kCom, 1000, 0, "ST", block, 2));
  free(block);
}

TEST_F(SendCommand, BytesAfterTheAckStayQueued) {
  Control("silent 2");
  DeviceSends(Cat({0x06}, Reply('A', "ST", "90", "OK")));
  EXPECT_EQ(CRW_OK, Command());
  // The reply that came with the ACK is read by the next poll.
  EXPECT_EQ(CRW_OK, Poll());
  EXPECT_EQ(Take(data_), "OK");
}

TEST_F(ReceiveResponse, ReplyAFillsTheSlots) {
  ASSERT_EQ(CRW_OK, Command());
  data_ = SysAllocStringByteLen("old", 3);
  EXPECT_EQ(CRW_OK, Poll());
  EXPECT_EQ(Take(code_), "ST");
  EXPECT_EQ(Take(status_), "90");
  EXPECT_EQ(Take(data_), "");
  EXPECT_TRUE(SentByHost({0x04, 0x05}));
  EXPECT_EQ(sim_.CountTag(sim::Dir::Host, "ACK"), 0);  // no ACK for a reply
}

TEST_F(ReceiveResponse, NullSlotsAreSkipped) {
  ASSERT_EQ(CRW_OK, Command());
  EXPECT_EQ(CRW_OK, crwReceiveResponse(kCom, 0, 1000, 0, nullptr, nullptr, nullptr));
}

TEST_F(ReceiveResponse, NoiseAndAStaleFrameBeforeTheReplyAreSkipped) {
  Control("noise 06 41");
  Control("stale");
  ASSERT_EQ(CRW_OK, crwSendCommand(kCom, 1000, 0, "VS", nullptr, 0));
  EXPECT_EQ(CRW_OK, Poll());
  EXPECT_EQ(Take(code_), "VS");
  EXPECT_EQ(Take(status_), "90");
}

TEST_F(ReceiveResponse, OneBadBccIsAnsweredWithNakAndTheResendTaken) {
  ASSERT_EQ(CRW_OK, Command());
  Control("badbcc 1");
  EXPECT_EQ(CRW_OK, Poll());
  EXPECT_EQ(HostNaks(), 1);
  EXPECT_EQ(Take(code_), "ST");
}

TEST_F(ReceiveResponse, ABadReplyAndThreeBadResendsGive120) {
  ASSERT_EQ(CRW_OK, Command());
  Control("badbcc 4");
  EXPECT_EQ(CRW_BCC_RETRY_ERROR, Poll());
  EXPECT_EQ(HostNaks(), 3);
  EXPECT_EQ(Polls(), 1);
}

TEST_F(ReceiveResponse, WaitWhileBusyPollsThroughBToA) {
  Control("busy 3");
  ASSERT_EQ(CRW_OK, Command());
  EXPECT_EQ(CRW_OK, Poll(1));
  EXPECT_EQ(Polls(), 4);
  EXPECT_EQ(Take(status_), "90");
}

TEST_F(ReceiveResponse, BusyWithoutWaitingGives2) {
  Control("busy 3");
  ASSERT_EQ(CRW_OK, Command());
  EXPECT_EQ(CRW_BUSY_REPLY, Poll(0));
  EXPECT_EQ(Take(code_), "ST");
  EXPECT_EQ(Take(status_), "00");
  EXPECT_EQ(Polls(), 1);
}

TEST_F(ReceiveResponse, KindRGives1) {
  EXPECT_EQ(CRW_NAK, Poll());  // nothing running: the idle reply "R 00 00"
  EXPECT_EQ(Take(code_), "00");
}

TEST_F(ReceiveResponse, ShortFramesFillOnlyWhatTheyHold) {
  Control("silent always");
  data_ = SysAllocStringByteLen("old", 3);
  DeviceSends({0x02, 'A', 'S', 0x03, 'A' ^ 'S' ^ 0x03});
  EXPECT_EQ(CRW_OK, Poll());
  EXPECT_EQ(Take(code_), "S");
  EXPECT_EQ(Take(status_), "");
  EXPECT_EQ(Take(data_), "");

  data_ = SysAllocStringByteLen("kept", 4);
  DeviceSends({0x02, 0x03, 0x03});  // no kind at all
  EXPECT_EQ(CRW_OK, Poll());
  EXPECT_EQ(Take(code_), "");
  EXPECT_EQ(Take(data_), "kept");
}

TEST_F(ReceiveResponse, AReplyLongerThanTheBufferGivesAResultCode) {
  Control("long 6000");
  ASSERT_EQ(CRW_OK, Command());
  EXPECT_EQ(CRW_BUFFER_OVER, Poll());
  // The port is still usable once the rest has been cleared away.
  ASSERT_TRUE(sim_.WaitForTag(sim::Dir::Device, "REPLY", 1, 1000));
  usleep(50 * 1000);
  EXPECT_EQ(CRW_OK, crwComRXBufferClear(kCom));
  EXPECT_EQ(CRW_OK, Command());
  EXPECT_EQ(CRW_OK, Poll());
}

TEST_F(RetryingSenders, SendDataRRWaitsOutSlowDevices) {
  Control("silent always");
  const uint32_t t0 = NowMs();
  char* reply = nullptr;
  int16_t len = -1;
  EXPECT_EQ(CRW_TIMEOUT, crwSendDataRR(kCom, 0, 2900, 0, "AB", 2, &reply, &len));
  const uint32_t took = NowMs() - t0;
  EXPECT_GE(took, 3100u);  // the 2.9 s read and the 200 ms pause after it
  EXPECT_LT(took, 10 * 3100u);
  EXPECT_EQ(sim_.CountTag(sim::Dir::Host, "DATA"), 1);
  EXPECT_EQ(reply, nullptr);
  EXPECT_EQ(len, -1);
}

TEST_F(RetryingSenders, SendDataRRResendsOnNakAndGives1AfterTheLastTry) {
  Control("nak always");
  EXPECT_EQ(CRW_NAK, crwSendDataRR(kCom, 2, 500, 0, "AB", 2, nullptr, nullptr));
  EXPECT_EQ(sim_.CountTag(sim::Dir::Host, "DATA AB"), 3);
  EXPECT_NE(Log(kCom).find("ErrorCode 1: NAK Response"), std::string::npos);
}

TEST_F(RetryingSenders, SendDataRRTakesTheReplyAndAcksIt) {
  Control("datareply XYZ");
  char* reply = nullptr;
  int16_t len = 0;
  EXPECT_EQ(CRW_OK, crwSendDataRR(kCom, 1, 1000, 0, "AB", 2, &reply, &len));
  EXPECT_EQ(Take(reply), "XYZ");
  EXPECT_EQ(len, 3);
  ASSERT_TRUE(sim_.WaitForTag(sim::Dir::Host, "ACK", 1, 1000));
  const std::vector<Bytes> host = Wire(sim::Dir::Host);
  ASSERT_EQ(host.size(), 2u);
  EXPECT_EQ(host[0], Bytes({0x02, 'A', 'B', 0x03, 'A' ^ 'B' ^ 0x03}));
  EXPECT_EQ(host[1], Bytes({0x06}));
}

TEST_F(RetryingSenders, SendCommandRRGivesUpOnABusyDevice) {
  Control("busy 5");
  EXPECT_EQ(CRW_BUSY_TIMEOUT,
            crwSendCommandRR(kCom, 1, 1000, 0, 0, "ST", nullptr, 0, &code_, &status_, &data_));
  EXPECT_EQ(Polls(), 1);
}

TEST_F(RetryingSenders, SendCommandRRPollsUntilTheReply) {
  Control("busy 2");
  EXPECT_EQ(CRW_OK,
            crwSendCommandRR(kCom, 1, 1000, 2000, 0, "ST", "AB", 2, &code_, &status_, &data_));
  EXPECT_EQ(Polls(), 3);
  EXPECT_EQ(Take(code_), "ST");
  EXPECT_EQ(Take(status_), "90");
}

TEST_F(RetryingSenders, SendCommandRRWithoutWaitingGives2ForBusy) {
  Control("busy 2");
  EXPECT_EQ(CRW_BUSY_REPLY,
            crwSendCommandRR(kCom, 0, 1000, 0, 0, "ST", nullptr, 0, &code_, &status_, &data_));
}

TEST_F(RetryingSenders, SendCommandRRGives1ForNak) {
  Control("nak");
  EXPECT_EQ(CRW_NAK, crwSendCommandRR(kCom, 1, 1000, 0, 0, "ST", nullptr, 0, &code_, &status_, &data_));
  EXPECT_EQ(Polls(), 0);
}

TEST_F(RetryingSenders, SendDataBCC) {
  EXPECT_EQ(CRW_OK, crwSendDataBCC(kCom, 1, 0, 1000, 0, "AB", 2));
  Control("noack");
  EXPECT_EQ(CRW_OK, crwSendDataBCC(kCom, 0, 0, 1000, 0, "CD", 2));  // no answer awaited
  ASSERT_TRUE(sim_.WaitForTag(sim::Dir::Host, "DATA CD", 1, 1000));
  Control("nak always");
  EXPECT_EQ(CRW_NAK, crwSendDataBCC(kCom, 1, 1, 1000, 0, "EF", 2));
  EXPECT_EQ(sim_.CountTag(sim::Dir::Host, "DATA EF"), 2);
  EXPECT_EQ(CRW_PARAMETER_ERROR, crwSendDataBCC(kCom, -1, 0, 1000, 0, "AB", 2));
  EXPECT_EQ(CRW_PARAMETER_ERROR, crwSendDataBCC(kCom, 1, -1, 1000, 0, "AB", 2));
}

TEST_F(DataTransfers, SendDataWRWritesRawBytesAndTakesTheAnswer) {
  Control("rawanswer ack");
  EXPECT_EQ(CRW_OK, crwSendDataWR(kCom, 1000, 0, "HELLO", 5));
  EXPECT_TRUE(SentByHost(Text("HELLO")));
  Control("rawanswer nak");
  EXPECT_EQ(CRW_NAK, crwSendDataWR(kCom, 1000, 0, "AGAIN", 5));
}

TEST_F(DataTransfers, SendDataQRWritesAndReadsNothing) {
  Control("rawanswer 41");
  EXPECT_EQ(CRW_OK, crwSendDataQR(kCom, 1000, 0, "QR", 2));
  ASSERT_TRUE(sim_.WaitForTag(sim::Dir::Device, "", 1, 1000));
  EXPECT_TRUE(SentByHost(Text("QR")));
  char* got = nullptr;
  int16_t len = 0;
  usleep(20 * 1000);
  EXPECT_EQ(CRW_OK, crwReceiveData(kCom, 0, &got, &len));  // the answer is still queued
  EXPECT_EQ(Take(got), "A");
}

TEST_F(DataTransfers, ReceiveDataTakesWhatCameAndSays1ForNothing) {
  DeviceSends(Text("ABC"));
  usleep(20 * 1000);
  char* got = nullptr;
  int16_t len = 0;
  EXPECT_EQ(CRW_OK, crwReceiveData(kCom, 0, &got, &len));
  EXPECT_EQ(Take(got), "ABC");
  EXPECT_EQ(len, 3);
  EXPECT_EQ(CRW_NAK, crwReceiveData(kCom, 0, &got, nullptr));
  EXPECT_EQ(got, nullptr);
  EXPECT_NE(Log(kCom).find("ErrorCode 1: No Receive Data"), std::string::npos);
}

TEST_F(DataTransfers, ReceiveDataStopsAtOneBufferAndLeavesTheRest) {
  Bytes burst(6000);
  for (size_t i = 0; i < burst.size(); ++i) burst[i] = static_cast<uint8_t>('a' + i % 26);
  DeviceSends(burst);
  usleep(50 * 1000);
  char* got = nullptr;
  int16_t len = 0;
  ASSERT_EQ(CRW_OK, crwReceiveData(kCom, 0, &got, &len));
  EXPECT_EQ(len, 5120);
  EXPECT_EQ(Take(got), std::string(burst.begin(), burst.begin() + 5120));
  ASSERT_EQ(CRW_OK, crwReceiveData(kCom, 0, &got, &len));
  EXPECT_EQ(len, 880);
  EXPECT_EQ(Take(got), std::string(burst.begin() + 5120, burst.end()));
}

TEST_F(DataTransfers, ComRXBufferClearDropsWhatIsQueued) {
  DeviceSends(Text("junk"));
  usleep(20 * 1000);
  EXPECT_EQ(CRW_OK, crwComRXBufferClear(kCom));
  char* got = nullptr;
  EXPECT_EQ(CRW_NAK, crwReceiveData(kCom, 0, &got, nullptr));
  Take(got);
}

TEST_F(DataTransfers, ReceiveDataBCCAcknowledgesAGoodFrame) {
  Control("silent always");
  DeviceSends(wire::DataFrame(reinterpret_cast<const uint8_t*>("AB"), 2));
  char* got = nullptr;
  int16_t len = 0;
  EXPECT_EQ(CRW_OK, crwReceiveDataBCC(kCom, 1, 1000, 0, &got, &len));
  EXPECT_EQ(Take(got), "AB");
  EXPECT_EQ(len, 2);
  ASSERT_TRUE(sim_.WaitForTag(sim::Dir::Host, "ACK", 1, 1000));
}

TEST_F(DataTransfers, ReceiveDataBCCWithoutAcknowledgeReportsABadBcc) {
  Control("silent always");
  DeviceSends({0x02, 'A', 'B', 0x03, 0x55});
  char* got = nullptr;
  int16_t len = 0;
  EXPECT_EQ(CRW_BCC_RETRY_ERROR, crwReceiveDataBCC(kCom, 0, 1000, 0, &got, &len));
  EXPECT_EQ(Take(got), "AB");
  EXPECT_EQ(len, 2);
  EXPECT_TRUE(Wire(sim::Dir::Host).empty());  // no NAK
}

TEST_F(DataTransfers, ReceiveDataBCCHFReadsTheFollowUpFrame) {
  Control("silent always");
  DeviceSends(Cat(Reply('A', "02", "02"), Reply('A', "02", "90", "DATA")));
  char *k1 = nullptr, *c1 = nullptr, *s1 = nullptr, *k2 = nullptr, *c2 = nullptr, *s2 = nullptr;
  char* data = nullptr;
  int16_t len = 0;
  EXPECT_EQ(CRW_OK, crwReceiveDataBCCHF(kCom, 1, 1000, 0, &k1, &c1, &s1, &k2, &c2, &s2, &data, &len));
  EXPECT_EQ(Take(k1) + Take(c1) + Take(s1), "A0202");
  EXPECT_EQ(Take(k2) + Take(c2) + Take(s2), "A0290");
  EXPECT_EQ(Take(data), "DATA");
  EXPECT_EQ(len, 4);
  EXPECT_TRUE(Wire(sim::Dir::Host).empty());  // sends nothing

  DeviceSends(Reply('A', "ST", "90", "X"));
  EXPECT_EQ(CRW_OK, crwReceiveDataBCCHF(kCom, 1, 1000, 0, &k1, &c1, &s1, &k2, &c2, &s2, &data, &len));
  EXPECT_EQ(Take(k1) + Take(c1) + Take(s1), "AST90");
  EXPECT_EQ(k2, nullptr);
  EXPECT_EQ(Take(data), "X");
  EXPECT_EQ(len, 1);
}

TEST_F(DataTransfers, ReceiveDataBCCHFReportsADamagedFirstFrame) {
  Control("silent always");
  Bytes first = Reply('A', "02", "02");
  first.back() ^= 0x5A;
  DeviceSends(Cat(first, Reply('A', "02", "90", "DATA")));
  char* data = nullptr;
  int16_t len = 0;
  EXPECT_EQ(CRW_BCC_RETRY_ERROR,
            crwReceiveDataBCCHF(kCom, 1, 1000, 0, nullptr, nullptr, nullptr, nullptr, nullptr,
                                nullptr, &data, &len));
  EXPECT_EQ(Take(data), "DATA");  // the good follow-up's data is delivered
  EXPECT_EQ(len, 4);
}

TEST_F(DataTransfers, ReceiveDataBCCHFTimesOutOnAnOverlongFrame) {
  Control("silent always");
  Bytes frame = Cat(Cat({0x02}, Bytes(6000, 'x')), {0x03, 0x00});
  frame.back() = wire::CalcBCC(frame.data(), frame.size());
  DeviceSends(frame);
  char* data = nullptr;
  int16_t len = 0;
  EXPECT_EQ(CRW_TIMEOUT, crwReceiveDataBCCHF(kCom, 0, 100, 0, nullptr, nullptr, nullptr, nullptr,
                                             nullptr, nullptr, &data, &len));
  EXPECT_EQ(data, nullptr);
}

TEST_F(DataTransfers, ClosedPortGives101) {
  ASSERT_EQ(CRW_OK, crwClosePort(kCom));
  EXPECT_EQ(CRW_PORT_NOT_OPEN, Command());
  EXPECT_EQ(CRW_PORT_NOT_OPEN, Poll());
  EXPECT_EQ(CRW_PORT_NOT_OPEN, crwReceiveData(kCom, 0, nullptr, nullptr));
  EXPECT_EQ(CRW_PORT_NOT_OPEN, crwComRXBufferClear(kCom));
  EXPECT_EQ(CRW_PORT_NOT_OPEN, crwSendDataQR(kCom, 100, 0, "A", 1));
}

TEST_F(LineFaults, CtsOffGives111AfterTheTimeOut) {
  Control("cts off");
  const uint32_t t0 = NowMs();
  EXPECT_EQ(CRW_CTS_TIMEOUT, Command(100));
  EXPECT_LT(NowMs() - t0, 10 * 100u);
  EXPECT_TRUE(Wire(sim::Dir::Host).empty());
}

TEST_F(LineFaults, DsrOffGives112) {
  Control("dsr off");
  EXPECT_EQ(CRW_DSR_TIMEOUT, crwSendCommand(kCom, 50, 1, "ST", nullptr, 0));
  EXPECT_EQ(CRW_DSR_TIMEOUT, crwReceiveData(kCom, 1, nullptr, nullptr));
  const std::string log = Log(kCom);
  EXPECT_NE(log.find("Err:ErrInfo : ErrorCode 112: DSR Timeout Error\n"), std::string::npos);
  EXPECT_NE(log.find("Err:ErrInfo : ErrorCode 112: DSR Error.\n"), std::string::npos);
}

TEST_F(LineFaults, ABabblingLineGivesAResultCodeInsteadOfAnAck) {
  Control("noack");
  DeviceSends(Bytes(6000, 'x'));
  usleep(20 * 1000);
  EXPECT_EQ(CRW_BUFFER_OVER, Command());
}

TEST_F(LineFaults, AHangUpFailsAtOnce) {
  Control("hangup");
  const uint32_t t0 = NowMs();
  EXPECT_EQ(CRW_SEND_ERROR, Command(30000));
  EXPECT_EQ(CRW_RECEIVE_ERROR, crwReceiveData(kCom, 0, nullptr, nullptr));
  EXPECT_EQ(CRW_DSR_TIMEOUT, crwReceiveData(kCom, 1, nullptr, nullptr));  // DSR reads off
  EXPECT_EQ(CRW_SEND_ERROR, Poll(0, 30000));
  EXPECT_LT(NowMs() - t0, 3000u);  // no time-out waited out
  EXPECT_EQ(CRW_OK, crwClosePort(kCom));
}

}  // namespace
}  // namespace coretest

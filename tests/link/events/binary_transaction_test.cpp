// The binary-frame transactions against the simulated device: the SYN
// frames on the wire, the answers and their retries, reports into the
// caller's buffer, and the two raw transfers.
#include <gtest/gtest.h>

#include "link_fixture.h"
#include "wire/codec.h"

namespace coretest {
namespace {

constexpr int kCom = 4;

const Bytes kSynAck{0x16, 0x06};
const Bytes kSynNak{0x16, 0x15};

std::string Hex(const Bytes& b) {
  std::string s;
  char buf[4];
  for (uint8_t c : b) {
    snprintf(buf, sizeof buf, "%02X", c);
    s += buf;
  }
  return s;
}

Bytes Seq(size_t n, uint8_t first = 0x30) {
  Bytes b(n);
  for (size_t i = 0; i < n; ++i) b[i] = static_cast<uint8_t>(first + i);
  return b;
}

class BinaryTest : public LinkTest {
 protected:
  void SetUp() override {
    LinkTest::SetUp();
    if (HasFatalFailure()) return;
    LogAll();
    OpenDevice(kCom);
  }
  // The device sends a report frame now ("good", "badbcc" or "malformed").
  void DeviceReports(const char* how, const Bytes& data) {
    Control(std::string("binsend ") + how + " " + Hex(data));
  }
  int16_t SendData(const Bytes& data, int16_t retries = 0, int32_t timeoutMs = 1000) {
    return crwSendBinaryData(kCom, timeoutMs, retries, 0, 0, data.data(),
                             static_cast<int16_t>(data.size()));
  }
  int16_t Report(int16_t size, int16_t retries = 0, int32_t timeoutMs = 1000) {
    buffer_.assign(static_cast<size_t>(size), 0xEE);
    length_ = -1;
    return crwReceiveBinaryReport(kCom, timeoutMs, retries, 0, 0, buffer_.data(), size, &length_);
  }
  Bytes Got() const { return Bytes(buffer_.begin(), buffer_.begin() + (length_ > 0 ? length_ : 0)); }
  // What the host sent, once the device has taken at least n entries (the
  // last answer may still be on its way when a call returns).
  std::vector<Bytes> Host(int n = 0) const {
    if (n) {
      EXPECT_TRUE(sim_.WaitForTag(sim::Dir::Host, "", n, 1000));
    }
    return Wire(sim::Dir::Host);
  }

  Bytes buffer_;
  int16_t length_ = -1;
};

using SendBinaryData = BinaryTest;
using ReceiveBinaryReport = BinaryTest;
using SendBinaryCommandRR = BinaryTest;
using RawTransfers = BinaryTest;
using BinaryChecks = BinaryTest;

TEST_F(SendBinaryData, DoublesEverySynButTheBcc) {
  ASSERT_EQ(CRW_OK, SendData({0x41, 0x16, 0x42}));
  EXPECT_EQ(Host(1), std::vector<Bytes>({{0x16, 0x02, 0x41, 0x16, 0x16, 0x42, 0x16, 0x03, 0x16}}));
  EXPECT_EQ(Wire(sim::Dir::Device), std::vector<Bytes>({kSynAck}));
}

TEST_F(SendBinaryData, EmptyDataSendsTheBareFrame) {
  ASSERT_EQ(CRW_OK, crwSendBinaryData(kCom, 1000, 0, 0, 0, nullptr, 0));
  EXPECT_EQ(Host(1), std::vector<Bytes>({{0x16, 0x02, 0x16, 0x03, 0x03}}));
}

TEST_F(SendBinaryData, SynNakWithNoRetriesGives1) {
  Control("binanswer nak");
  EXPECT_EQ(CRW_NAK, SendData({0x41}));
  EXPECT_EQ(Host(1).size(), 1u);
  EXPECT_NE(Log(kCom).find("Err:ErrInfo : ErrorCode 1: NAK Response\n"), std::string::npos);
}

TEST_F(SendBinaryData, SynNakSendsTheFrameAgain) {
  Control("binanswer nak 2");
  EXPECT_EQ(CRW_OK, SendData({0x41}, 2));
  const Bytes frame = wire::BinaryFrame(Bytes{0x41}.data(), 1);
  EXPECT_EQ(Host(3), std::vector<Bytes>({frame, frame, frame}));
}

TEST_F(SendBinaryData, AGarbledAnswerIsAskedForAgainWithSynNak) {
  Control("binanswer garbage 1");
  EXPECT_EQ(CRW_OK, SendData({0x41}));
  EXPECT_EQ(Host(2), std::vector<Bytes>({wire::BinaryFrame(Bytes{0x41}.data(), 1), kSynNak}));
}

TEST_F(SendBinaryData, GarbledAnswersEndOnceTheTriesAreUsedUp) {
  Control("binanswer garbage always");
  EXPECT_EQ(CRW_NAK, SendData({0x41}));
  EXPECT_EQ(Host(2), std::vector<Bytes>({wire::BinaryFrame(Bytes{0x41}.data(), 1), kSynNak}));
  sim_.ClearTranscript();
  // Two retries ask twice; then the one more asking, and the end.
  EXPECT_EQ(CRW_NAK, SendData({0x41}, 2));
  EXPECT_EQ(Host(4),
            std::vector<Bytes>({wire::BinaryFrame(Bytes{0x41}.data(), 1), kSynNak, kSynNak, kSynNak}));
}

TEST_F(SendBinaryData, SilenceGives110AfterEveryTry) {
  Control("binanswer silent always");
  const uint32_t start = NowMs();
  EXPECT_EQ(CRW_TIMEOUT, SendData({0x41}, 1, 60));
  EXPECT_GE(NowMs() - start, 120u);
  EXPECT_EQ(Host(2).size(), 2u);
  EXPECT_NE(Log(kCom).find("Err:ErrInfo : ErrorCode 110: Timeout Error\n"), std::string::npos);
}

TEST_F(SendBinaryData, LogsTheFrameAndTheAnswer) {
  const size_t before = Log(kCom).size();
  ASSERT_EQ(CRW_OK, SendData({0x41}));
  EXPECT_EQ(LogEntries(Log(kCom), before),
            Entries({"Inf:Enter   : crwSendBinaryData", "Inf:CSLock  : crwSendBinaryData",
                     "Inf:Info    : Start WriteCommForBinary Method",
                     "Inf:Info    : Send Data(Including Control Code in Data)", "<dump>",
                     "Inf:Info    : End WriteCommForBinary Method",
                     "Inf:Info    : Start ReadCommForBinary Method",
                     "Inf:Info    : Dump Receive Data(Including Control Code in Data)", "<dump>",
                     "Inf:Info    : Receive Data", "<dump>",
                     "Inf:Info    : End ReadCommForBinary Method", "Inf:Info    : Return Value is 0",
                     "Inf:CSUnlock: crwSendBinaryData", "Inf:Exit    : crwSendBinaryData"}));
}

TEST_F(ReceiveBinaryReport, NineBytesIntoTenAreTakenAndAcknowledged) {
  DeviceReports("good", Seq(9));
  EXPECT_EQ(CRW_OK, Report(10));
  EXPECT_EQ(length_, 9);
  EXPECT_EQ(Got(), Seq(9));
  EXPECT_EQ(buffer_[9], 0xEE);
  EXPECT_EQ(Host(1), std::vector<Bytes>({kSynAck}));
}

TEST_F(ReceiveBinaryReport, TenBytesIntoTenGive130AndNoAnswer) {
  DeviceReports("good", Seq(10));
  EXPECT_EQ(CRW_BUFFER_OVER, Report(10));
  EXPECT_EQ(length_, 10);
  EXPECT_EQ(Got(), Seq(10));
  EXPECT_FALSE(sim_.WaitForTag(sim::Dir::Host, "", 1, 50)) << "the report was answered";
  EXPECT_NE(Log(kCom).find("Err:ErrInfo : ErrorCode 130: BUFFEROVER\n"), std::string::npos);
}

TEST_F(ReceiveBinaryReport, ABccOf16IsTakenAsItStands) {
  // 'A' ^ 'T' ^ 0x03 = 0x16: the frame ends 16 03 16.
  DeviceReports("good", {'A', 'T'});
  ASSERT_TRUE(sim_.WaitForTag(sim::Dir::Device, "BIN", 1, 1000));
  EXPECT_EQ(Wire(sim::Dir::Device)[0], Bytes({0x16, 0x02, 'A', 'T', 0x16, 0x03, 0x16}));
  EXPECT_EQ(CRW_OK, Report(10));
  EXPECT_EQ(Got(), Bytes({'A', 'T'}));
}

TEST_F(ReceiveBinaryReport, DoubledSynsComeBackSingle) {
  DeviceReports("good", {0x16, 0x16, 0x41});
  EXPECT_EQ(CRW_OK, Report(10));
  EXPECT_EQ(Got(), Bytes({0x16, 0x16, 0x41}));
}

TEST_F(ReceiveBinaryReport, ABadBccIsAnsweredWithSynNakAndTheResendTaken) {
  DeviceReports("badbcc", {'A', 'B'});
  EXPECT_EQ(CRW_OK, Report(10, 3));
  EXPECT_EQ(Got(), Bytes({'A', 'B'}));
  EXPECT_EQ(Host(2), std::vector<Bytes>({kSynNak, kSynAck}));
}

TEST_F(ReceiveBinaryReport, TheThirdBadFrameGives120WithRetries3) {
  Control("binbadbcc always");
  DeviceReports("good", {'A', 'B'});
  EXPECT_EQ(CRW_BCC_RETRY_ERROR, Report(10, 3));
  EXPECT_EQ(Host(2), std::vector<Bytes>({kSynNak, kSynNak}));
  EXPECT_EQ(length_, 0);
}

TEST_F(ReceiveBinaryReport, AMalformedFrameIsNakedButNotCounted) {
  DeviceReports("malformed", {'A', 'B'});
  EXPECT_EQ(CRW_OK, Report(10, 1));
  EXPECT_EQ(Got(), Bytes({'A', 'B'}));
  EXPECT_EQ(Host(2), std::vector<Bytes>({kSynNak, kSynAck}));
}

TEST_F(ReceiveBinaryReport, SilenceGives110) {
  EXPECT_EQ(CRW_TIMEOUT, Report(10, 0, 50));
  EXPECT_EQ(length_, 0);
}

TEST_F(SendBinaryCommandRR, SendsTheCommandAndTakesTheReport) {
  Control("binreport hex:0116 1");
  Bytes report(8, 0);
  int16_t length = -1;
  const Bytes cmd{'I', 'B'};
  EXPECT_EQ(CRW_OK, crwSendBinaryCommandRR(kCom, 1000, 0, 0, 0, cmd.data(), 2, 1000, report.data(),
                                           8, &length));
  EXPECT_EQ(length, 2);
  EXPECT_EQ(Bytes(report.begin(), report.begin() + 2), Bytes({0x01, 0x16}));
  EXPECT_EQ(Host(2), std::vector<Bytes>({wire::BinaryFrame(cmd.data(), 2), kSynAck}));
}

TEST_F(SendBinaryCommandRR, AnswersThreeBadReportsAndGives120AtTheFourth) {
  Control("binreport AB 1");
  Control("binbadbcc always");
  Bytes report(8, 0);
  int16_t length = -1;
  EXPECT_EQ(CRW_BCC_RETRY_ERROR,
            crwSendBinaryCommandRR(kCom, 1000, 3, 0, 0, "IB", 2, 1000, report.data(), 8, &length));
  EXPECT_EQ(Host(4).size(), 4u);
  EXPECT_EQ(sim_.CountTag(sim::Dir::Host, "SYN NAK"), 3);
  EXPECT_EQ(length, 0);
}

TEST_F(SendBinaryCommandRR, AGarbledAnswerGetsTheCommandAgain) {
  Control("binanswer garbage always");
  Bytes report(8, 0);
  int16_t length = -1;
  EXPECT_EQ(CRW_NAK,
            crwSendBinaryCommandRR(kCom, 1000, 1, 0, 0, "IB", 2, 1000, report.data(), 8, &length));
  // Two tries, then one more sending, and the end.
  EXPECT_EQ(Host(3).size(), 3u);
  EXPECT_EQ(sim_.CountTag(sim::Dir::Host, "BIN"), 3);
  EXPECT_EQ(sim_.CountTag(sim::Dir::Host, "SYN NAK"), 0);
}

TEST_F(SendBinaryCommandRR, ATooLongReportGives130) {
  Control("binreport hex:0102030405 1");
  Bytes report(4, 0);
  int16_t length = -1;
  EXPECT_EQ(CRW_BUFFER_OVER,
            crwSendBinaryCommandRR(kCom, 1000, 0, 0, 0, "IB", 2, 1000, report.data(), 4, &length));
  EXPECT_EQ(length, 4);
  EXPECT_EQ(report, Bytes({1, 2, 3, 4}));
}

TEST_F(RawTransfers, SendBinaryDataQRWritesTheBytesAsTheyAre) {
  EXPECT_EQ(CRW_OK, crwSendBinaryDataQR(kCom, 1000, 0, 0, "ABC", 3));
  ASSERT_TRUE(sim_.WaitForTag(sim::Dir::Host, "RAW", 1, 1000));
  EXPECT_EQ(Host(), std::vector<Bytes>({{'A', 'B', 'C'}}));
}

TEST_F(RawTransfers, SendBinaryDataQRWithNothingWritesNothing) {
  EXPECT_EQ(CRW_OK, crwSendBinaryDataQR(kCom, 1000, 0, 0, nullptr, 0));
  EXPECT_EQ(CRW_PARAMETER_ERROR, crwSendBinaryDataQR(kCom, 1000, 0, 0, nullptr, 5));
  // A raw group is closed after 20 quiet milliseconds.
  EXPECT_FALSE(sim_.WaitForTag(sim::Dir::Host, "", 1, 60));
}

TEST_F(RawTransfers, ReceiveBinaryDataFillsTheBufferAndLeavesTheRest) {
  Control("send 3031323334353637");
  ASSERT_TRUE(sim_.WaitForTag(sim::Dir::Device, "SEND", 1, 1000));
  Bytes buf(5, 0);
  int16_t length = -1;
  const size_t before = Log(kCom).size();
  EXPECT_EQ(CRW_OK, crwReceiveBinaryData(kCom, 1000, 0, buf.data(), 5, &length));
  EXPECT_EQ(length, 5);
  EXPECT_EQ(buf, Seq(5));
  const auto entries = LogEntries(Log(kCom), before);
  ASSERT_GE(entries.size(), 4u);
  EXPECT_EQ(std::vector<std::string>(entries.end() - 4, entries.end()),
            Entries({"Inf:Info    : End ReadCommForUnformattedBinary Method",
                     "Err:ErrInfo : ErrorCode 130: BUFFEROVER", "Inf:CSUnlock: crwReceiveBinaryData",
                     "Inf:Exit    : crwReceiveBinaryData"}));
  EXPECT_EQ(CRW_OK, crwReceiveBinaryData(kCom, 1000, 0, buf.data(), 5, &length));
  EXPECT_EQ(length, 3);
  EXPECT_EQ(Bytes(buf.begin(), buf.begin() + 3), Seq(3, 0x35));
  const auto last = LogEntries(Log(kCom));
  EXPECT_EQ(std::vector<std::string>(last.end() - 3, last.end()),
            Entries({"Inf:Info    : Return Value is 0", "Inf:CSUnlock: crwReceiveBinaryData",
                     "Inf:Exit    : crwReceiveBinaryData"}));
}

TEST_F(RawTransfers, ReceiveBinaryDataWithNothingGives110) {
  Bytes buf(5, 0);
  int16_t length = -1;
  const uint32_t start = NowMs();
  EXPECT_EQ(CRW_TIMEOUT, crwReceiveBinaryData(kCom, 50, 0, buf.data(), 5, &length));
  EXPECT_GE(NowMs() - start, 50u);
  EXPECT_EQ(length, 0);
}

TEST_F(BinaryChecks, RefusalsComeBeforeTheArguments) {
  int16_t length = 7;
  Bytes buf(4);
  EXPECT_EQ(CRW_PARAMETER_ERROR, crwSendBinaryData(kCom, 1000, -1, 0, 0, "A", 1));
  EXPECT_EQ(CRW_PARAMETER_ERROR, crwSendBinaryData(kCom, -1, 0, 0, 0, "A", 1));
  EXPECT_EQ(CRW_PARAMETER_ERROR, crwSendBinaryData(kCom, 1000, 0, 0, 0, "A", -1));
  EXPECT_EQ(CRW_PARAMETER_ERROR, crwSendBinaryData(kCom, 1000, 0, 0, 0, nullptr, 1));
  EXPECT_EQ(CRW_PARAMETER_ERROR,
            crwReceiveBinaryReport(kCom, 1000, 0, 0, 0, nullptr, 4, &length));
  EXPECT_EQ(CRW_PARAMETER_ERROR,
            crwSendBinaryCommandRR(kCom, 1000, 0, 0, 0, "A", 1, -1, buf.data(), 4, &length));
  EXPECT_EQ(CRW_PARAMETER_ERROR, crwReceiveBinaryData(kCom, 1000, 0, buf.data(), -1, &length));
  EXPECT_EQ(length, 7);  // untouched after 100
  ASSERT_EQ(CRW_OK, crwClosePort(kCom));
  EXPECT_EQ(CRW_PORT_NOT_OPEN, crwSendBinaryData(kCom, -1, 0, 0, 0, nullptr, 1));
  EXPECT_EQ(CRW_PORT_NOT_OPEN, crwReceiveBinaryData(kCom, 1000, 0, buf.data(), 4, &length));
  EXPECT_EQ(length, 7);
  EXPECT_TRUE(Host().empty());
}

TEST_F(BinaryChecks, TheLineChecksWaitForDsrAndCts) {
  Control("dsr off");
  EXPECT_EQ(CRW_DSR_TIMEOUT, crwSendBinaryDataQR(kCom, 30, 1, 0, "A", 1));
  Control("dsr on");
  Control("cts off");
  EXPECT_EQ(CRW_CTS_TIMEOUT, crwSendBinaryDataQR(kCom, 30, 0, 1, "A", 1));
  const std::string log = Log(kCom);
  EXPECT_NE(log.find("ErrorCode 112: DSR Timeout Error\n"), std::string::npos);
  EXPECT_NE(log.find("ErrorCode 111: CTS Timeout Error\n"), std::string::npos);
}

TEST_F(BinaryChecks, LostDsrEndsAReadWith112) {
  Control("dsr off");
  Bytes buf(4);
  int16_t length = -1;
  EXPECT_EQ(CRW_DSR_TIMEOUT, crwReceiveBinaryData(kCom, 1000, 1, buf.data(), 4, &length));
  EXPECT_NE(Log(kCom).find("ErrorCode 112: DSR Error.\n"), std::string::npos);
}

}  // namespace
}  // namespace coretest

// SYN-framed binary frames both ways: answers, reports, resends on SYN NAK
// and the binary fault knobs.
#include <gtest/gtest.h>

#include <mutex>

#include "sim_fixture.h"
#include "wire/codec.h"

namespace simtest {
namespace {

using sim::Dir;

const char kFrame41_16_42[] = "16 02 41 16 16 42 16 03 16";
const char kSynAck[] = "16 06";
const char kSynNak[] = "16 15";
// Report data 01 16: stuffed, BCC 01^16^03 = 14.
const char kReport0116[] = "16 02 01 16 16 16 03 14";

class SimBinary : public SimTest {};

TEST_F(SimBinary, GoodFrameGetsSynAckBadOneSynNak) {
  Exchange(kFrame41_16_42, kSynAck);
  Exchange("16 02 41 16 16 42 16 03 17", kSynNak);
  Exchange("16 02 16 03 03", kSynAck);  // empty data
  EXPECT_EQ(1, dev_.CountTag(Dir::Host, "BIN 3 [badbcc]"));
  EXPECT_EQ(1, dev_.CountTag(Dir::Host, "BIN 0"));
}

TEST_F(SimBinary, BrokenFrameGetsSynNakAndTheLineRecovers) {
  // 16 41 inside a frame breaks it.
  Exchange("16 02 41 16 41 42", kSynNak);
  ASSERT_TRUE(dev_.WaitForTag(Dir::Host, "BIN [malformed]", 1, 5000));
  Exchange(kFrame41_16_42, kSynAck);
}

TEST_F(SimBinary, HandlerSeesUnstuffedData) {
  // Handlers run on the simulator's thread.
  std::mutex mu;
  sim::Bytes seen;
  dev_.SetBinaryHandler([&](const sim::Bytes& d) {
    std::lock_guard<std::mutex> lock(mu);
    seen = d;
    sim::BinaryAnswer a;
    a.report = true;
    a.reportData = {0x01, 0x16};
    return a;
  });
  Exchange(kFrame41_16_42, std::string(kSynAck) + " " + kReport0116);
  {
    std::lock_guard<std::mutex> lock(mu);
    EXPECT_EQ("41 16 42", HexOf(seen));
  }
  dev_.SetBinaryHandler([](const sim::Bytes&) {
    sim::BinaryAnswer a;
    a.accept = false;
    return a;
  });
  Exchange(kFrame41_16_42, kSynNak);
}

TEST_F(SimBinary, ReportFollowsSynAckAndSynNakGetsItAgain) {
  Ctl("binreport hex:0116");
  Exchange(kFrame41_16_42, std::string(kSynAck) + " " + kReport0116);
  Exchange(kSynNak, kReport0116);
  Send(kSynAck);
  ExpectSilence();
  // Once only.
  Exchange(kFrame41_16_42, kSynAck);
}

TEST_F(SimBinary, SynNakAfterAnAnswerRepeatsTheAnswer) {
  Exchange("16 02 41 16 16 42 16 03 17", kSynNak);
  Exchange(kSynNak, kSynNak);
  Exchange(kFrame41_16_42, kSynAck);
  Exchange(kSynNak, kSynAck);
}

TEST_F(SimBinary, GarbledAnswerThenSynNakGetsTheTrueAnswerAndTheReport) {
  Ctl("binreport hex:0116");
  Ctl("binanswer garbage");
  Exchange(kFrame41_16_42, "16 3F");
  Exchange(kSynNak, std::string(kSynAck) + " " + kReport0116);
}

TEST_F(SimBinary, SilentAnswerThenTheHostSendsAgain) {
  Ctl("binanswer silent");
  Send(kFrame41_16_42);
  ExpectSilence();
  Exchange(kFrame41_16_42, kSynAck);
}

TEST_F(SimBinary, ForcedAnswers) {
  Ctl("binanswer nak 2");
  Exchange(kFrame41_16_42, kSynNak);
  Exchange(kFrame41_16_42, kSynNak);
  Exchange(kFrame41_16_42, kSynAck);
  Ctl("binanswer ack");
  Exchange("16 02 41 16 16 42 16 03 17", kSynAck);
}

TEST_F(SimBinary, BinSendBadBccThenGoodResend) {
  Ctl("binsend badbcc 41 16 42");
  EXPECT_EQ("16 02 41 16 16 42 16 03 E9", HexOf(Read(9)));
  Exchange(kSynNak, kFrame41_16_42);
  ExpectTag(Dir::Device, "BIN 3 [badbcc]", 1);
  ExpectTag(Dir::Device, "BIN 3 [resend]", 1);
}

TEST_F(SimBinary, BinSendMalformedAndGood) {
  Ctl("binsend malformed 41");
  EXPECT_EQ("16 40 41 16 03 42", HexOf(Read(6)));
  Exchange(kSynNak, "16 02 41 16 03 42");
  Ctl("binsend good");
  EXPECT_EQ("16 02 16 03 03", HexOf(Read(5)));
}

TEST_F(SimBinary, ReportFaultsCountResends) {
  Ctl("binbadbcc 2");
  Ctl("binsend good 41");
  EXPECT_EQ("16 02 41 16 03 BD", HexOf(Read(6)));
  Exchange(kSynNak, "16 02 41 16 03 BD");
  Exchange(kSynNak, "16 02 41 16 03 42");
  Ctl("binmalformed always");
  Exchange(kSynNak, "16 40 41 16 03 42");
  Exchange(kSynNak, "16 40 41 16 03 42");
}

}  // namespace
}  // namespace simtest

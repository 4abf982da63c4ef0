// The simulator's plain device behaviour on the wire: commands, polls,
// replies, resends, data frames, raw bytes; and what the transcript says.
#include <gtest/gtest.h>

#include "sim_fixture.h"
#include "wire/codec.h"

namespace simtest {
namespace {

using sim::Dir;


class SimWire : public SimTest {};

TEST_F(SimWire, CommandGetsAckAndPollGetsFinishedReplyThenIdle) {
  Exchange(kCmdSt, "06");
  Exchange(kPoll, kReplyAst90);
  Exchange(kPoll, kIdle);
}

TEST_F(SimWire, PollWithoutCommandGetsIdleReply) { Exchange(kPoll, kIdle); }

TEST_F(SimWire, CommandWithDataIsEchoedByCode) {
  Exchange("04 02 53 54 41 42 03 07", "06");
  Exchange(kPoll, kReplyAst90);
  EXPECT_EQ(1, dev_.CountTag(Dir::Host, "CMD ST AB"));
}

TEST_F(SimWire, BadBccCommandGetsNakAndStartsNothing) {
  Exchange("04 02 53 54 03 05", "15");
  Exchange(kPoll, kIdle);
  EXPECT_EQ(1, dev_.CountTag(Dir::Host, "CMD ST [badbcc]"));
}

TEST_F(SimWire, CommandWithoutCodeGetsNak) { Exchange("04 02 03 03", "15"); }

TEST_F(SimWire, NakAfterReplyGetsTheSameFrameAgain) {
  Exchange(kCmdSt, "06");
  Exchange(kPoll, kReplyAst90);
  Exchange("15", kReplyAst90);
  Exchange("15", kReplyAst90);
  ExpectTag(Dir::Device, "REPLY A ST 90 [resend]", 2);
}

TEST_F(SimWire, NakBeforeAnyReplyGetsNothing) {
  Send("15");
  ExpectSilence();
}

TEST_F(SimWire, HostAckAfterReplyIsTakenSilently) {
  Exchange(kPoll, kIdle);
  Send("06");
  ExpectSilence();
  EXPECT_TRUE(dev_.WaitForTag(Dir::Host, "ACK", 1, 1000));
}

TEST_F(SimWire, BadBccReplyThenNakGetsGoodResend) {
  Ctl("badbcc 1");
  Exchange(kCmdSt, "06");
  Exchange(kPoll, "02 41 53 54 39 30 03 B3");
  Exchange("15", kReplyAst90);
}

TEST_F(SimWire, BusyTwoGivesBusyBusyFinished) {
  Ctl("busy 2");
  Exchange(kCmdSt, "06");
  Exchange(kPoll, "02 42 53 54 30 30 03 46");
  Exchange(kPoll, "02 42 53 54 30 30 03 46");
  Exchange(kPoll, kReplyAst90);
  // The fault was for one command only.
  Exchange(kCmdSt, "06");
  Exchange(kPoll, kReplyAst90);
}

TEST_F(SimWire, CannedReplyCarriesStatusDataAndBusyPolls) {
  Ctl("reply ST 94 hex:0102 busy 1");
  Exchange(kCmdSt, "06");
  Exchange(kPoll, "02 42 53 54 30 30 03 46");
  const sim::Bytes data{0x01, 0x02};
  const sim::Bytes want = wire::ResponseFrame('A', "ST", "94", data.data(), data.size());
  Exchange(kPoll, HexOf(want));
  EXPECT_EQ("02 41 53 54 39 34 01 02 03 49", HexOf(want));  // 02 is left out of the BCC
  Ctl("reply ST off");
  Exchange(kCmdSt, "06");
  Exchange(kPoll, kReplyAst90);
}

TEST_F(SimWire, CannedReplyWithTextAndKind) {
  Ctl("reply VS 90 \"41 11\" kind R");
  Exchange("04 02 56 53 03 06", "06");
  const std::string text = "41 11";
  const sim::Bytes want = wire::ResponseFrame(
      'R', "VS", "90", reinterpret_cast<const uint8_t*>(text.data()), text.size());
  Exchange(kPoll, HexOf(want));
}

TEST_F(SimWire, CannedNakRefusesTheCommand) {
  Ctl("reply ST nak");
  Exchange(kCmdSt, "15");
  Exchange(kPoll, kIdle);
}

TEST_F(SimWire, IdleFieldsAreSettable) {
  Ctl("idle 25 00");
  Exchange(kPoll, "02 52 32 35 30 30 03 56");
  Ctl("reset");
  Exchange(kPoll, kIdle);
}

TEST_F(SimWire, NewCommandReplacesARunningOne) {
  Ctl("reply ST 90 busy 5");
  Exchange(kCmdSt, "06");
  Exchange(kPoll, "02 42 53 54 30 30 03 46");
  Exchange("04 02 43 4C 03 0C", "06");  // CL
  Exchange(kPoll, "02 41 43 4C 39 30 03 44");
}

TEST_F(SimWire, DataFrameIsAckedAndAnsweredWhenAsked) {
  Exchange("02 41 42 03 00", "06");
  Ctl("datareply XY");
  // ACK and the data frame leave in one write: read them as one.
  Exchange("02 41 42 03 00", "06 02 58 59 03 02");
  Exchange("15", "02 58 59 03 02");
  Exchange("02 41 42 03 01", "15");
  EXPECT_EQ(1, dev_.CountTag(Dir::Host, "DATA AB [badbcc]"));
  ExpectTag(Dir::Device, "DATA XY [resend]", 1);
}

TEST_F(SimWire, RawBytesAreRecordedAndAnsweredOnlyWhenAsked) {
  Send("41 42 43");
  ExpectSilence(100);
  EXPECT_TRUE(dev_.WaitForTag(Dir::Host, "RAW ABC", 1, 1000));
  Ctl("rawanswer ack");
  Exchange("41 42", "06");
  Ctl("rawanswer 30 31");
  Exchange("41", "30 31");
}

TEST_F(SimWire, FrameArrivingByteByByteIsOneCommand) {
  const sim::Bytes cmd = Hex(kCmdSt);
  for (size_t i = 0; i + 1 < cmd.size(); ++i) {
    Send(sim::Bytes{cmd[i]});
    ExpectSilence(5);
  }
  Exchange("04", "06");  // the BCC
}

TEST_F(SimWire, SeveralFramesInOneWriteAreAnsweredInOrder) {
  Send(std::string(kCmdSt) + " " + kPoll + " 15");
  EXPECT_EQ(std::string("06 ") + kReplyAst90 + " " + kReplyAst90, HexOf(Read(17)));
}

TEST_F(SimWire, BytesBeforeAFrameAreRawAndTheFrameStillCounts) {
  Send(std::string("41 42 ") + kCmdSt);
  EXPECT_EQ("06", HexOf(Read(1)));
  EXPECT_TRUE(dev_.WaitForTag(Dir::Host, "RAW AB", 1, 1000));
}

TEST_F(SimWire, HalfFrameIsDroppedAfterTheFrameTimeout) {
  Ctl("frametimeout 50");
  Send("04 02 53 54");
  ExpectSilence(100);
  EXPECT_TRUE(dev_.WaitForTag(Dir::Host, "RAW <04><02>ST [partial]", 1, 1000));
  Exchange(kCmdSt, "06");
}

TEST_F(SimWire, OversizedFrameNeverHangsTheDevice) {
  sim::Bytes big{0x02};
  big.insert(big.end(), 7000, 'x');
  big.push_back(0x03);
  big.push_back(0x00);
  Send(big);
  EXPECT_TRUE(dev_.WaitForTag(Dir::Host, "RAW", 1, 2000));
  ReadQuiet(50);
  Exchange(kCmdSt, "06");
  for (const sim::TranscriptEntry& e : dev_.Transcript()) EXPECT_LE(e.bytes.size(), 5120u);
}

TEST_F(SimWire, HostCloseAndReopenKeepTheLine) {
  Exchange(kCmdSt, "06");
  CloseHost();
  OpenHost();
  Exchange(kPoll, kReplyAst90);
}

TEST_F(SimWire, TranscriptNamesEveryExchange) {
  Exchange(kCmdSt, "06");
  Exchange(kPoll, kReplyAst90);
  Exchange("15", kReplyAst90);
  Exchange("16 02 41 16 16 42 16 03 16", "16 06");
  Send("7A");
  ASSERT_TRUE(dev_.WaitForTag(Dir::Host, "RAW", 1, 1000));
  const std::vector<sim::TranscriptEntry> t = dev_.Transcript();
  std::vector<std::string> lines;
  uint32_t last = 0;
  for (const sim::TranscriptEntry& e : t) {
    EXPECT_GE(e.ms, last);
    last = e.ms;
    const std::string line = sim::FormatEntry(e);
    lines.push_back(line.substr(7));  // past the time
  }
  const std::vector<std::string> want = {
      "host 04 02 53 54 03 04 | CMD ST",
      "dev  06 | ACK",
      "host 04 05 | POLL",
      "dev  02 41 53 54 39 30 03 4C | REPLY A ST 90",
      "host 15 | NAK",
      "dev  02 41 53 54 39 30 03 4C | REPLY A ST 90 [resend]",
      "host 16 02 41 16 16 42 16 03 16 | BIN 3",
      "dev  16 06 | SYN ACK",
      "host 7A | RAW z",
  };
  EXPECT_EQ(want, lines);
  EXPECT_EQ(' ', sim::FormatEntry(t[0])[6]);
  dev_.ClearTranscript();
  EXPECT_TRUE(dev_.Transcript().empty());
}

TEST_F(SimWire, ControlLinesAreCheckedAndRecorded) {
  EXPECT_EQ("", dev_.Control("# a comment"));
  EXPECT_EQ("", dev_.Control("   "));
  EXPECT_NE("", dev_.Control("frobnicate"));
  EXPECT_NE("", dev_.Control("badbcc lots"));
  EXPECT_NE("", dev_.Control("reply S 90"));
  EXPECT_NE("", dev_.Control("split 0 10"));
  EXPECT_NE("", dev_.Control("send zz"));
  EXPECT_NE("", dev_.Control("note \"unbalanced"));
  EXPECT_EQ("", dev_.Control("note all \"is well\""));
  EXPECT_EQ(1, dev_.CountTag(Dir::Control, "note all"));
  EXPECT_EQ(0, dev_.CountTag(Dir::Control, "frobnicate"));
}

}  // namespace
}  // namespace simtest

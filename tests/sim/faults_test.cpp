// Each fault knob puts exactly the promised bytes on the wire, for as many
// occasions as it was given, and the device behind it stays consistent.
#include <gtest/gtest.h>

#include "sim_fixture.h"
#include "wire/codec.h"

namespace simtest {
namespace {

using sim::Dir;


class SimFaults : public SimTest {};

TEST_F(SimFaults, NakRefusesGoodFramesForItsCount) {
  Ctl("nak 2");
  Exchange(kCmdSt, "15");
  Exchange("02 41 42 03 00", "15");
  Exchange(kPoll, kIdle);  // the refused command never ran
  Exchange(kCmdSt, "06");
}

TEST_F(SimFaults, NoAckTakesTheCommandSilently) {
  Ctl("noack");
  Send(kCmdSt);
  ExpectSilence();
  Exchange(kPoll, kReplyAst90);
}

TEST_F(SimFaults, SilentIgnoresEveryFrameKind) {
  Ctl("silent 3");
  Send(kCmdSt);
  ExpectSilence();
  Send(kPoll);
  ExpectSilence();
  Send("16 02 16 03 03");
  ExpectSilence();
  Exchange(kPoll, kIdle);  // the command was not heard
}

TEST_F(SimFaults, AckDelayHoldsTheAck) {
  // Far longer than the silence looked for, however late a busy machine looks.
  Ctl("ackdelay 1000");
  const uint64_t t0 = NowMs();
  Send(kCmdSt);
  ExpectSilence(100);
  EXPECT_EQ("06", HexOf(Read(1)));
  EXPECT_GE(NowMs() - t0, 990u);
}

TEST_F(SimFaults, BadBccAlwaysSpoilsResendsUntilSwitchedOff) {
  Ctl("badbcc always");
  Exchange(kCmdSt, "06");
  for (int i = 0; i < 4; ++i) Exchange(i == 0 ? kPoll : "15", "02 41 53 54 39 30 03 B3");
  Ctl("badbcc off");
  Exchange("15", kReplyAst90);
  ExpectTag(Dir::Device, "REPLY A ST 90 [resend,badbcc]", 3);
}

TEST_F(SimFaults, ForcedKindKeepsTheFrameValid) {
  Ctl("kind B");
  Exchange(kCmdSt, "06");
  Exchange(kPoll, "02 42 53 54 39 30 03 4F");
  // The device moved on: the true reply was the finished one.
  Exchange("15", kReplyAst90);
}

TEST_F(SimFaults, NoiseGoesOutJustBeforeTheReply) {
  Ctl("noise 41 06 15");
  Exchange(kCmdSt, "06");
  Exchange(kPoll, std::string("41 06 15 ") + kReplyAst90);
  Exchange(kPoll, kIdle);
  Ctl("noise 7F x2");
  Exchange(kPoll, std::string("7F ") + kIdle);
  Exchange("15", std::string("7F ") + kIdle);
  Exchange(kPoll, kIdle);
  ASSERT_TRUE(dev_.WaitForTag(Dir::Device, "REPLY R", 1, 1000));
  // Noise and reply are one write: the same time stamp.
  const auto t = dev_.Transcript();
  for (size_t i = 0; i + 1 < t.size(); ++i) {
    if (t[i].tag == "NOISE") {
      EXPECT_EQ(t[i].ms, t[i + 1].ms);
    }
  }
}

TEST_F(SimFaults, StaleFrameGoesOutJustBeforeTheReply) {
  Ctl("stale");
  Exchange(kCmdSt, "06");
  Exchange(kPoll, std::string(kIdle) + " " + kReplyAst90);
  ExpectTag(Dir::Device, "STALE REPLY R 00 00", 1);
}

TEST_F(SimFaults, SplitSendsPiecesWithGaps) {
  Ctl("split 3 60");
  Exchange(kCmdSt, "06");
  const uint64_t t0 = NowMs();
  Send(kPoll);
  EXPECT_EQ(kReplyAst90, HexOf(Read(8)));
  EXPECT_GE(NowMs() - t0, 115u);
  ASSERT_TRUE(dev_.WaitForTag(Dir::Device, "PART 3/3", 1, 1000));
  // The device wrote three pieces, 60 ms apart.
  std::vector<sim::TranscriptEntry> parts;
  for (const sim::TranscriptEntry& e : dev_.Transcript())
    if (e.tag.compare(0, 5, "PART ") == 0) parts.push_back(e);
  ASSERT_EQ(3u, parts.size());
  EXPECT_EQ("PART 1/3 REPLY A ST 90", parts[0].tag);
  EXPECT_EQ("02 41 53", HexOf(parts[0].bytes));
  EXPECT_EQ("54 39 30", HexOf(parts[1].bytes));
  EXPECT_EQ("03 4C", HexOf(parts[2].bytes));
  EXPECT_GE(parts[1].ms - parts[0].ms, 59u);
  EXPECT_GE(parts[2].ms - parts[1].ms, 59u);
}

TEST_F(SimFaults, DelayHoldsTheReply) {
  Ctl("delay 1000");
  Exchange(kCmdSt, "06");
  const uint64_t t0 = NowMs();
  Send(kPoll);
  ExpectSilence(100);
  EXPECT_EQ(kReplyAst90, HexOf(Read(8)));
  EXPECT_GE(NowMs() - t0, 990u);
  Exchange(kPoll, kIdle);  // once only
}

TEST_F(SimFaults, DelayedReplyDoesNotLetLaterAnswersOvertake) {
  Ctl("delay 100");
  Send(std::string(kPoll) + " " + kCmdSt);
  EXPECT_EQ(std::string(kIdle) + " 06", HexOf(Read(9)));
}

TEST_F(SimFaults, LongReplyIsAWholeValidFrame) {
  Ctl("long 6000");
  Exchange(kCmdSt, "06");
  Send(kPoll);
  const sim::Bytes f = Read(6008, 5000);
  ASSERT_EQ(6008u, f.size());
  EXPECT_EQ("02 41 53 54 39 30 30 31", HexOf(sim::Bytes(f.begin(), f.begin() + 8)));
  EXPECT_EQ(0x03, f[6006]);
  EXPECT_TRUE(wire::FrameBccOk(f.data(), f.size()));
}

TEST_F(SimFaults, SendPutsBytesOnTheLineNow) {
  Ctl("send 02 41 03");
  EXPECT_EQ("02 41 03", HexOf(Read(3)));
  Ctl("send text:OK");
  EXPECT_EQ("4F 4B", HexOf(Read(2)));
  EXPECT_TRUE(dev_.WaitForTag(Dir::Device, "SEND", 2, 5000));
}

TEST_F(SimFaults, FaultsOffAndResetClearEverything) {
  Ctl("badbcc always");
  Ctl("delay 500 always");
  Ctl("faults off");
  Exchange(kPoll, kIdle);
  Ctl("nak always");
  Ctl("reply ST 14");
  Ctl("idle 20 00");
  Ctl("reset");
  Exchange(kCmdSt, "06");
  Exchange(kPoll, kReplyAst90);
  Exchange(kPoll, kIdle);
}

}  // namespace
}  // namespace simtest

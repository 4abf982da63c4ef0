// Command, data and raw handlers, and the custom input modes later device
// features build on.
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>

#include "sim_fixture.h"
#include "wire/codec.h"

namespace simtest {
namespace {

using sim::Dir;


std::string Frame(char kind, const char* code, const char* status, const std::string& data) {
  return HexOf(wire::ResponseFrame(static_cast<uint8_t>(kind), code, status,
                                   reinterpret_cast<const uint8_t*>(data.data()), data.size()));
}

std::string Command(const char* code, const std::string& data) {
  return HexOf(wire::TextCommandFrame(reinterpret_cast<const uint8_t*>(code),
                                      reinterpret_cast<const uint8_t*>(data.data()), data.size()));
}

class SimHandlers : public SimTest {};

TEST_F(SimHandlers, HandlerSeesCodeAndDataAndShapesTheReplies) {
  // Handlers run on the simulator's thread.
  std::mutex mu;
  sim::Command seen;
  dev_.SetHandler("ER", [&](const sim::Command& c) {
    std::lock_guard<std::mutex> lock(mu);
    seen = c;
    sim::Answer a;
    a.busyPolls = 1;
    a.busyStatus = "12";
    a.status = "92";
    a.data = {'0', '0', '4', '2'};
    a.more.push_back(sim::Reply{'R', "20", "00", {}});
    return a;
  });
  Exchange(Command("ER", "0010"), "06");
  {
    std::lock_guard<std::mutex> lock(mu);
    EXPECT_EQ("ER", seen.code);
    EXPECT_EQ("30 30 31 30", HexOf(seen.data));
  }
  Exchange(kPoll, Frame('B', "ER", "12", ""));
  Exchange(kPoll, Frame('A', "ER", "92", "0042"));
  Exchange(kPoll, Frame('R', "20", "00", ""));
  Exchange(kPoll, kIdle);
}

TEST_F(SimHandlers, HandlerRefusalIsANak) {
  dev_.SetHandler("ER", [](const sim::Command&) {
    sim::Answer a;
    a.accept = false;
    return a;
  });
  Exchange(Command("ER", ""), "15");
  dev_.RemoveHandler("ER");
  Exchange(Command("ER", ""), "06");
}

TEST_F(SimHandlers, CannedReplyWinsOverTheHandler) {
  std::atomic<int> calls{0};
  dev_.SetHandler("ST", [&calls](const sim::Command&) {
    ++calls;
    return sim::Answer{};
  });
  Ctl("reply ST 11");
  Exchange(Command("ST", ""), "06");
  Exchange(kPoll, Frame('A', "ST", "11", ""));
  EXPECT_EQ(0, calls.load());
  Ctl("reply ST off");
  Exchange(Command("ST", ""), "06");
  EXPECT_EQ(1, calls.load());
}

TEST_F(SimHandlers, HandlerMayUseTheControlLanguage) {
  dev_.SetHandler("PW", [this](const sim::Command&) {
    EXPECT_EQ("", dev_.Control("idle 20 00"));
    return sim::Answer{};
  });
  Exchange(Command("PW", ""), "06");
  Exchange(kPoll, Frame('A', "PW", "90", ""));
  Exchange(kPoll, Frame('R', "20", "00", ""));
}

TEST_F(SimHandlers, DataAndRawHandlers) {
  dev_.SetDataHandler([](const sim::Bytes& d) {
    sim::DataAnswer a;
    a.reply = true;
    a.replyData = d;
    a.replyData.push_back('!');
    return a;
  });
  Exchange("02 41 42 03 00", "06 02 41 42 21 03 21");
  dev_.SetRawHandler([](const sim::Bytes& raw) { return raw.size() == 2 ? sim::Bytes{0x06} : sim::Bytes{}; });
  Exchange("30 31", "06");
  Send("30");
  ExpectSilence();
}

// A block mode like a picture download: blocks of four bytes, each answered
// with ACK; EOT ENQ asks for the verdict and ends the mode.
class BlockMode : public sim::InputMode {
 public:
  size_t Feed(const uint8_t* p, size_t n, sim::ModeIo& io) override {
    if (n >= 2 && p[0] == 0x04 && p[1] == 0x05) {
      io.RecordIn({p, p + 2}, "VERDICT POLL");
      io.SendReply(sim::Reply{'R', "00", "00", {}});
      io.Finish();
      return 2;
    }
    if (n < 4) return 0;
    io.RecordIn({p, p + 4}, "BLOCK");
    io.Send({0x06}, "ACK");
    return 4;
  }
};

TEST_F(SimHandlers, ModeAfterTheFinalReplyTakesRawBlocks) {
  dev_.SetHandler("IB", [](const sim::Command&) {
    sim::Answer a;
    a.mode = std::make_shared<BlockMode>();
    return a;
  });
  Exchange(Command("IB", ""), "06");
  Exchange(kPoll, Frame('A', "IB", "90", ""));
  // Block bytes that would be frames to the parser.
  Send("04 02");
  ExpectSilence(40);
  Exchange("15 03", "06");
  Exchange("41 04 05 16", "06");
  Exchange(kPoll, kIdle);  // the verdict
  Exchange("15", kIdle);   // and its resend, by the parser again
  EXPECT_EQ(2, dev_.CountTag(Dir::Host, "BLOCK"));
  EXPECT_EQ(1, dev_.CountTag(Dir::Host, "VERDICT POLL"));
}

TEST_F(SimHandlers, ModeRightAfterTheAckAndModeOff) {
  dev_.SetHandler("IB", [](const sim::Command&) {
    sim::Answer a;
    a.mode = std::make_shared<BlockMode>();
    a.modeStart = sim::ModeStart::AfterAck;
    return a;
  });
  // The command and a first block in one write.
  Exchange(Command("IB", "") + " 01 02 03 04", "06 06");
  Ctl("mode off");
  Exchange(kPoll, Frame('A', "IB", "90", ""));
}

}  // namespace
}  // namespace simtest

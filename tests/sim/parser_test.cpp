// The host-byte parser on its own: the same events whatever the chunking,
// and nothing it is fed can make it hold more than a frame's worth.
#include <gtest/gtest.h>

#include <random>

#include "host_parser.h"
#include "sim_fixture.h"

namespace simtest {
namespace {

using sim::HostEvent;
using sim::HostKind;
using sim::HostParser;

struct Seen {
  HostKind kind;
  std::string wire;
  bool ok;
};

std::vector<Seen> Parse(const sim::Bytes& in, size_t chunk) {
  HostParser p;
  std::vector<Seen> out;
  uint64_t t = 1000;
  for (size_t at = 0; at < in.size();) {
    const size_t n = std::min(chunk, in.size() - at);
    size_t used = 0;
    while (used < n) {
      HostEvent ev;
      bool got = false;
      used += p.Feed(in.data() + at + used, n - used, t, &ev, &got);
      if (got) out.push_back({ev.kind, HexOf(ev.wire), ev.bccOk && ev.wellFormed});
    }
    at += n;
  }
  HostEvent ev;
  if (p.Tick(t + 10000000, &ev)) out.push_back({ev.kind, HexOf(ev.wire), ev.bccOk});
  return out;
}

TEST(SimHostParser, SameEventsWhateverTheChunking) {
  const sim::Bytes in = Hex(
      "04 02 53 54 41 42 03 07  04 05  15  06  41 42  02 58 59 03 02  16 02 41 16 16 42 16 03 16"
      "  16 06  16 15  04 02 53 54 03 05  16 02 41 16 41  99");
  const std::vector<Seen> whole = Parse(in, in.size());
  const std::vector<HostKind> kinds = {
      HostKind::Command, HostKind::Poll,   HostKind::Nak,    HostKind::Ack,
      HostKind::Raw,     HostKind::Data,   HostKind::Binary, HostKind::SynAck,
      HostKind::SynNak,  HostKind::Command, HostKind::Binary, HostKind::Raw};
  ASSERT_EQ(kinds.size(), whole.size());
  for (size_t i = 0; i < kinds.size(); ++i) EXPECT_EQ(kinds[i], whole[i].kind) << i;
  EXPECT_FALSE(whole[9].ok);   // bad BCC
  EXPECT_FALSE(whole[10].ok);  // 16 41 broke the frame
  EXPECT_EQ("16 41 99", whole[11].wire);
  for (size_t chunk : {1, 2, 3, 7}) {
    const std::vector<Seen> split = Parse(in, chunk);
    ASSERT_EQ(whole.size(), split.size()) << chunk;
    for (size_t i = 0; i < whole.size(); ++i) {
      EXPECT_EQ(whole[i].kind, split[i].kind);
      EXPECT_EQ(whole[i].wire, split[i].wire);
    }
  }
}

TEST(SimHostParser, RandomBytesStayBoundedAndAllAccountedFor) {
  std::mt19937 rng(20261208);
  // Mostly protocol bytes, so that frames open and break often.
  const uint8_t alphabet[] = {0x02, 0x03, 0x04, 0x05, 0x06, 0x15, 0x16, 0x41, 0x00, 0xFF};
  HostParser p;
  uint64_t fed = 0, seen = 0, t = 0;
  for (int round = 0; round < 2000; ++round) {
    sim::Bytes chunk(1 + rng() % 700);
    for (uint8_t& b : chunk) b = (rng() % 4 == 0) ? static_cast<uint8_t>(rng()) : alphabet[rng() % 10];
    fed += chunk.size();
    t += 1000 * (rng() % 30);
    for (size_t used = 0; used < chunk.size();) {
      HostEvent ev;
      bool got = false;
      used += p.Feed(chunk.data() + used, chunk.size() - used, t, &ev, &got);
      if (got) {
        ASSERT_LE(ev.wire.size(), 5120u);
        seen += ev.wire.size();
      }
    }
    HostEvent ev;
    if (p.Tick(t + 25000, &ev)) seen += ev.wire.size();
  }
  HostEvent ev;
  if (p.Tick(t + 10000000, &ev)) seen += ev.wire.size();
  EXPECT_EQ(fed, seen);  // every byte shows up in exactly one event
}

TEST(SimHostParser, RawRunEndsAfterTheQuietGapAndHalfFramesAfterTheTimeout) {
  HostParser p;
  p.SetRawGapUs(20000);
  p.SetFrameTimeoutUs(500000);
  const sim::Bytes raw = Hex("41 42");
  HostEvent ev;
  bool got = false;
  EXPECT_EQ(2u, p.Feed(raw.data(), raw.size(), 1000000, &ev, &got));
  EXPECT_FALSE(got);
  EXPECT_EQ(1020000u, p.DeadlineUs());
  EXPECT_FALSE(p.Tick(1019999, &ev));
  EXPECT_TRUE(p.Tick(1020000, &ev));
  EXPECT_EQ(HostKind::Raw, ev.kind);
  EXPECT_EQ(0u, p.DeadlineUs());
  const sim::Bytes half = Hex("04 02 53");
  p.Feed(half.data(), half.size(), 2000000, &ev, &got);
  EXPECT_FALSE(p.Tick(2400000, &ev));
  ASSERT_TRUE(p.Tick(2500000, &ev));
  EXPECT_STREQ("partial", ev.rawWhy);
  EXPECT_EQ("04 02 53", HexOf(ev.wire));
}

}  // namespace
}  // namespace simtest

// The line itself: side-channel lines and counters, host lines, a pulled
// cable, a new cable, exclusive opening and wire-speed pacing.
#include <errno.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "platform/serial_line.h"
#include "platform/side_channel.h"
#include "sim_fixture.h"

namespace simtest {
namespace {

using sim::Dir;

class SimLine : public SimTest {};

TEST_F(SimLine, LinkAndSideChannelSitInTheDeviceFolder) {
  struct stat st;
  ASSERT_EQ(0, lstat(dev_.LinkPath().c_str(), &st));
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(dir_.path() + "/COM7", dev_.LinkPath());
  EXPECT_EQ(dir_.path() + "/COM7.lines", dev_.LinesPath());
  char target[128] = {};
  ASSERT_GT(readlink(dev_.LinkPath().c_str(), target, sizeof target - 1), 0);
  EXPECT_EQ(dev_.SlavePath(), target);
  // The side channel is the one the serial line maps.
  std::unique_ptr<plat::SideChannel> side = plat::SideChannel::Open(dev_.LinesPath());
  ASSERT_TRUE(side);
  EXPECT_EQ(plat::kLineCts | plat::kLineDsr | plat::kLineRlsd, side->block()->deviceLines.load());
}

TEST_F(SimLine, StopRemovesLinkAndSideChannel) {
  const std::string link = dev_.LinkPath(), lines = dev_.LinesPath();
  CloseHost();
  dev_.Stop();
  EXPECT_NE(0, access(link.c_str(), F_OK));
  struct stat st;
  EXPECT_NE(0, lstat(link.c_str(), &st));
  EXPECT_NE(0, access(lines.c_str(), F_OK));
}

TEST_F(SimLine, ModemLinesChangeAndCountOnlyOnChanges) {
  plat::SideChannelBlock* b = dev_.Lines();
  ASSERT_NE(nullptr, b);
  Ctl("dsr off");
  EXPECT_EQ(0u, b->deviceLines.load() & plat::kLineDsr);
  EXPECT_EQ(1u, b->dsr.load());
  Ctl("dsr off");
  EXPECT_EQ(1u, b->dsr.load());
  Ctl("dsr on");
  EXPECT_EQ(2u, b->dsr.load());
  Ctl("cts off");
  Ctl("rlsd off");
  EXPECT_EQ(plat::kLineDsr, b->deviceLines.load());
  EXPECT_EQ(1u, b->cts.load());
  EXPECT_EQ(1u, b->rlsd.load());
}

TEST_F(SimLine, DsrPulseAndRingComeBack) {
  plat::SideChannelBlock* b = dev_.Lines();
  Ctl("dsrpulse 40");
  Ctl("ring 40");
  EXPECT_EQ(0u, b->deviceLines.load() & plat::kLineDsr);
  EXPECT_NE(0u, b->deviceLines.load() & plat::kLineRing);
  EXPECT_EQ(1u, b->ring.load());
  const uint64_t end = NowMs() + 1000;
  while (NowMs() < end && (b->deviceLines.load() & (plat::kLineDsr | plat::kLineRing)) != plat::kLineDsr)
    usleep(2000);
  EXPECT_EQ(plat::kLineDsr, b->deviceLines.load() & (plat::kLineDsr | plat::kLineRing));
  EXPECT_EQ(2u, b->dsr.load());
  EXPECT_EQ(1u, b->ring.load());
}

TEST_F(SimLine, BreakAndLineErrorsBumpTheirCounters) {
  plat::SideChannelBlock* b = dev_.Lines();
  Ctl("break");
  Ctl("framing 3");
  Ctl("overrun");
  Ctl("parity 2");
  EXPECT_EQ(1u, b->brk.load());
  EXPECT_EQ(3u, b->framing.load());
  EXPECT_EQ(1u, b->overrun.load());
  EXPECT_EQ(2u, b->parity.load());
  EXPECT_EQ(plat::kLineCts | plat::kLineDsr | plat::kLineRlsd, b->deviceLines.load());
}

TEST_F(SimLine, HostLinesAreReadBackAndRecorded) {
  std::unique_ptr<plat::SideChannel> side = plat::SideChannel::Open(dev_.LinesPath());
  ASSERT_TRUE(side);
  side->block()->hostLines.store(plat::kHostDtr);
  EXPECT_EQ(plat::kHostDtr, dev_.HostLines());
  EXPECT_TRUE(dev_.WaitForTag(Dir::Line, "HOST DTR on RTS off BREAK off", 1, 1000));
  side->block()->hostLines.store(plat::kHostDtr | plat::kHostRts | plat::kHostBreak);
  EXPECT_TRUE(dev_.WaitForTag(Dir::Line, "HOST DTR on RTS on BREAK on", 1, 1000));
}

TEST_F(SimLine, HangupEndsTheHostsReads) {
  Exchange("04 05", "02 52 30 30 30 30 03 51");
  Ctl("hangup");
  EXPECT_EQ("", dev_.SlavePath());
  pollfd p{host_, POLLIN, 0};
  ASSERT_EQ(1, poll(&p, 1, 1000));
  EXPECT_NE(0, p.revents & (POLLHUP | POLLERR | POLLIN));
  uint8_t b;
  const ssize_t n = read(host_, &b, 1);
  EXPECT_TRUE(n == 0 || (n < 0 && errno == EIO)) << n << " " << errno;
  EXPECT_EQ(1, dev_.CountTag(Dir::Line, "HANGUP"));
  // Control lines that send go nowhere and do no harm.
  Ctl("send 06");
}

TEST_F(SimLine, ReplugPutsANewLineBehindTheLink) {
  Ctl("hangup");
  CloseHost();
  Ctl("replug");
  EXPECT_NE("", dev_.SlavePath());
  OpenHost();
  Exchange("04 02 53 54 03 04", "06");
}

TEST_F(SimLine, SecondOpenThroughTheSerialLineFails) {
  CloseHost();
  int err = 0;
  std::unique_ptr<plat::SerialLine> first = plat::SerialLine::Open(dev_.LinkPath(), dev_.LinesPath(), &err);
  ASSERT_TRUE(first) << err;
  std::unique_ptr<plat::SerialLine> second = plat::SerialLine::Open(dev_.LinkPath(), dev_.LinesPath(), &err);
  EXPECT_FALSE(second);
  EXPECT_NE(0, err);
  first.reset();
  // Released: it opens again, and the line still works.
  first = plat::SerialLine::Open(dev_.LinkPath(), dev_.LinesPath(), &err);
  ASSERT_TRUE(first) << err;
  size_t written = 0;
  const sim::Bytes cmd = Hex("04 02 53 54 03 04");
  ASSERT_EQ(plat::WriteStatus::Ok, first->Write(cmd.data(), cmd.size(), &written));
  uint8_t b = 0;
  plat::ReadStatus st = plat::ReadStatus::None;
  for (int i = 0; i < 1000 && st == plat::ReadStatus::None; ++i) st = first->ReadByte(&b, 1);
  EXPECT_EQ(plat::ReadStatus::Byte, st);
  EXPECT_EQ(0x06, b);
}

TEST_F(SimLine, PaceSendsAtWireSpeed) {
  // 96 characters of 10 bits at 9600 baud take 100 ms.
  Ctl("pace 9600");
  std::string hex;
  for (int i = 0; i < 96; ++i) hex += "41 ";
  const uint64_t t0 = NowMs();
  Ctl("send " + hex);
  Read(96);
  const uint64_t took = NowMs() - t0;
  EXPECT_GE(took, 90u);
  EXPECT_LE(took, 1500u);
}

TEST_F(SimLine, PaceTakesAtWireSpeed) {
  // A 50-byte data frame at 4800 baud, 11 bits a character: 114 ms before
  // its last byte is in, then the ACK.
  Ctl("pace 4800 11");
  sim::Bytes frame{0x02};
  frame.insert(frame.end(), 47, 'A');
  frame.push_back(0x03);
  frame.push_back(static_cast<uint8_t>('A' ^ 0x03));  // 47 x 'A' XOR to 'A'
  ASSERT_EQ(50u, frame.size());
  const uint64_t t0 = NowMs();
  Send(frame);
  EXPECT_EQ("06", HexOf(Read(1)));
  const uint64_t took = NowMs() - t0;
  EXPECT_GE(took, 100u);
  EXPECT_LE(took, 1500u);
  EXPECT_TRUE(dev_.WaitForTag(Dir::Host, "DATA AAAA", 1, 1000));
  Ctl("pace off");
  Exchange("04 02 53 54 03 04", "06");
}

TEST_F(SimLine, PaceKeepsUpAtHighBaudRates) {
  // A character every 87 us: 1152 characters each way take 100 ms, however
  // late the service loop wakes for each one (not a millisecond each, which
  // would be 1152 ms).
  Ctl("pace 115200");
  std::string hex;
  for (int i = 0; i < 1152; ++i) hex += "41";
  uint64_t t0 = NowMs();
  Ctl("send " + hex);
  Read(1152);
  EXPECT_GE(NowMs() - t0, 90u);
  EXPECT_LE(NowMs() - t0, 1000u);

  // A data frame of 1152 bytes: its ACK comes once the last byte is in.
  sim::Bytes frame{0x02};
  frame.insert(frame.end(), 1149, 'A');
  frame.push_back(0x03);
  frame.push_back(static_cast<uint8_t>('A' ^ 0x03));  // 1149 x 'A' XOR to 'A'
  t0 = NowMs();
  Send(frame);
  EXPECT_EQ("06", HexOf(Read(1)));
  EXPECT_GE(NowMs() - t0, 90u);
  EXPECT_LE(NowMs() - t0, 1000u);
}

}  // namespace
}  // namespace simtest

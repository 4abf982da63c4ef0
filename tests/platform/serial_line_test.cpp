#include "platform/serial_line.h"

#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "platform/line_termios.h"
#include "platform/side_channel.h"
#include "pty.h"

namespace {

using namespace plat;
using plattest::Bytes;
using plattest::NowMs;
using plattest::Pty;

std::unique_ptr<SerialLine> OpenRaw(const std::string& path, const std::string& side = "") {
  int err = 0;
  auto line = SerialLine::Open(path, side, &err);
  EXPECT_TRUE(line) << path << ": " << strerror(err);
  if (line) {
    LineSettings s;
    EXPECT_TRUE(line->SetSettings(s));
  }
  return line;
}

KernelTermios2 DeviceTermios(int fd) {
  KernelTermios2 t{};
  EXPECT_EQ(ioctl(fd, kTcGets2, &t), 0);
  return t;
}

// --- termios built from the settings -------------------------------------

TEST(LineTermios, NineSixHundredEightEvenIsRawWithTheRightFlags) {
  KernelTermios2 t{};
  t.c_cflag = HUPCL | CS5 | B38400;
  t.c_iflag = ICRNL | IXON | INPCK;
  t.c_oflag = OPOST | ONLCR;
  t.c_lflag = ICANON | ECHO | ISIG | IEXTEN;
  t.c_cc[VMIN] = 1;
  LineSettings s;
  s.baud = 9600;
  s.byteSize = 8;
  s.parity = Parity::Even;
  s.ctsOutFlow = true;
  ASSERT_TRUE(ApplyLineSettings(s, &t));
  EXPECT_EQ(t.c_cflag & CBAUD, tcflag_t(B9600));
  EXPECT_EQ(t.c_cflag & CSIZE, tcflag_t(CS8));
  EXPECT_TRUE(t.c_cflag & PARENB);
  EXPECT_FALSE(t.c_cflag & (PARODD | CMSPAR | CSTOPB));
  EXPECT_TRUE(t.c_cflag & CRTSCTS);
  EXPECT_EQ(t.c_cflag & (CREAD | CLOCAL | HUPCL), tcflag_t(CREAD | CLOCAL | HUPCL));
  EXPECT_EQ(t.c_iflag & (ICRNL | IXON | IXOFF | INPCK), 0u);
  EXPECT_TRUE(t.c_iflag & IGNBRK);
  EXPECT_FALSE(t.c_oflag & OPOST);
  EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
  EXPECT_EQ(t.c_cc[VMIN], 0);
  EXPECT_EQ(t.c_cc[VTIME], 0);
}

TEST(LineTermios, OtherParitiesSizesStopBitsAndXon) {
  LineSettings s;
  s.byteSize = 7;
  s.parity = Parity::Odd;
  s.stopBits = StopBits::Two;
  s.xonOut = s.xonIn = true;
  KernelTermios2 t{};
  ASSERT_TRUE(ApplyLineSettings(s, &t));
  EXPECT_EQ(t.c_cflag & (CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS),
            tcflag_t(CS7 | PARENB | PARODD | CSTOPB));
  EXPECT_EQ(t.c_iflag & (IXON | IXOFF), tcflag_t(IXON | IXOFF));
  s.parity = Parity::Mark;
  ASSERT_TRUE(ApplyLineSettings(s, &t));
  EXPECT_EQ(t.c_cflag & (PARENB | PARODD | CMSPAR), tcflag_t(PARENB | PARODD | CMSPAR));
  s.parity = Parity::Space;
  s.byteSize = 5;
  s.stopBits = StopBits::OneHalf;
  ASSERT_TRUE(ApplyLineSettings(s, &t));
  EXPECT_EQ(t.c_cflag & (CSIZE | PARENB | PARODD | CMSPAR | CSTOPB),
            tcflag_t(CS5 | PARENB | CMSPAR | CSTOPB));
}

TEST(LineTermios, RatesWithoutABConstantUseBother) {
  LineSettings s;
  s.baud = 250000;
  KernelTermios2 t{};
  t.c_cflag = B9600;
  ASSERT_TRUE(ApplyLineSettings(s, &t));
  EXPECT_EQ(t.c_cflag & CBAUD, kBother);
  EXPECT_EQ(t.c_ospeed, 250000u);
  EXPECT_EQ(t.c_ispeed, 250000u);
  EXPECT_EQ(StandardSpeed(115200), speed_t(B115200));
  EXPECT_EQ(StandardSpeed(250000), speed_t(B0));
}

TEST(LineTermios, ValuesNoUartTakesAreRefused) {
  KernelTermios2 t{};
  LineSettings s;
  s.baud = 0;
  EXPECT_FALSE(ApplyLineSettings(s, &t));
  s = LineSettings{};
  s.byteSize = 9;
  EXPECT_FALSE(ApplyLineSettings(s, &t));
  s.byteSize = 4;
  EXPECT_FALSE(ApplyLineSettings(s, &t));
  s = LineSettings{};
  s.parity = static_cast<Parity>(9);
  EXPECT_FALSE(ApplyLineSettings(s, &t));
}

TEST(LineTermios, TermiosReadsBackAsTheSettings) {
  for (uint32_t baud : {1200u, 9600u, 38400u, 115200u, 250000u}) {
    for (Parity p : {Parity::None, Parity::Odd, Parity::Even, Parity::Mark, Parity::Space}) {
      LineSettings s;
      s.baud = baud;
      s.byteSize = p == Parity::None ? 8 : 7;
      s.parity = p;
      s.stopBits = baud == 1200 ? StopBits::Two : StopBits::One;
      s.ctsOutFlow = p == Parity::Odd;
      s.xonIn = p == Parity::Mark;
      KernelTermios2 t{};
      ASSERT_TRUE(ApplyLineSettings(s, &t));
      EXPECT_EQ(SettingsFromTermios(t), s) << baud << " parity " << int(p);
    }
  }
}

// --- the line on a pseudo-terminal ----------------------------------------

TEST(SerialLine, SettingsReachTheDeviceAndReadBackAsSet) {
  Pty pty;
  ASSERT_TRUE(pty.ok());
  int err = 0;
  auto line = SerialLine::Open(pty.slave(), "", &err);
  ASSERT_TRUE(line) << strerror(err);
  EXPECT_FALSE(line->isTty());
  LineSettings before;
  ASSERT_TRUE(line->GetSettings(&before));
  EXPECT_EQ(before.baud, 38400u);  // what a fresh pseudo-terminal holds

  LineSettings s;
  s.baud = 9600;
  s.parity = Parity::Even;
  s.ctsOutFlow = true;
  s.dsrOutFlow = true;
  s.dtrControl = LineControl::Handshake;
  s.rtsControl = LineControl::Handshake;
  ASSERT_TRUE(line->SetSettings(s));
  LineSettings got;
  ASSERT_TRUE(line->GetSettings(&got));
  EXPECT_EQ(got, s);  // also parity, which a pseudo-terminal cannot keep
  KernelTermios2 t = DeviceTermios(line->fd());
  EXPECT_EQ(t.c_cflag & CBAUD, tcflag_t(B9600));
  EXPECT_EQ(t.c_cflag & CSIZE, tcflag_t(CS8));
  EXPECT_TRUE(t.c_cflag & CRTSCTS);
  EXPECT_EQ(t.c_lflag & ICANON, 0u);
  EXPECT_EQ(t.c_cc[VMIN], 0);
  EXPECT_EQ(t.c_cc[VTIME], 0);

  s.baud = 250000;
  s.ctsOutFlow = false;
  ASSERT_TRUE(line->SetSettings(s));
  t = DeviceTermios(line->fd());
  EXPECT_EQ(t.c_cflag & CBAUD, kBother);
  EXPECT_EQ(t.c_ospeed, 250000u);
  EXPECT_FALSE(t.c_cflag & CRTSCTS);
  ASSERT_TRUE(line->GetSettings(&got));
  EXPECT_EQ(got, s);

  s.byteSize = 9;
  EXPECT_FALSE(line->SetSettings(s));
  ASSERT_TRUE(line->GetSettings(&got));
  EXPECT_EQ(got.byteSize, 8);  // a refused set changes nothing
}

TEST(SerialLine, OneByteReadsLeaveTheRestQueued) {
  Pty pty;
  ASSERT_TRUE(pty.ok());
  auto line = OpenRaw(pty.slave());
  ASSERT_TRUE(line);
  uint8_t b = 0;
  EXPECT_EQ(line->ReadByte(&b), ReadStatus::None);
  pty.Send({0x06, 0x02, 0x41, 0x03});
  ASSERT_EQ(line->ReadByte(&b, 1000), ReadStatus::Byte);
  EXPECT_EQ(b, 0x06);
  EXPECT_EQ(line->InQueue(), 3);
  for (uint8_t want : {0x02, 0x41, 0x03}) {
    ASSERT_EQ(line->ReadByte(&b), ReadStatus::Byte);
    EXPECT_EQ(b, want);
  }
  EXPECT_EQ(line->InQueue(), 0);
  int64_t start = NowMs();
  EXPECT_EQ(line->ReadByte(&b), ReadStatus::None);
  EXPECT_LT(NowMs() - start, 200);  // 1 ms asked; the rest is slack for a loaded machine
}

TEST(SerialLine, WritesReachTheFarEndByteForByte) {
  Pty pty;
  ASSERT_TRUE(pty.ok());
  auto line = OpenRaw(pty.slave());
  ASSERT_TRUE(line);
  line->SetWriteTimeoutMs(1000);
  // CR, LF and NUL must pass untouched in raw mode.
  const Bytes frame = {0x04, 0x02, 0x53, 0x54, 0x0D, 0x0A, 0x00, 0x03, 0x04};
  size_t written = 0;
  EXPECT_EQ(line->Write(frame.data(), frame.size(), &written), WriteStatus::Ok);
  EXPECT_EQ(written, frame.size());
  EXPECT_EQ(pty.Receive(frame.size()), frame);
  EXPECT_EQ(line->OutQueue(), 0);
  EXPECT_EQ(line->Write(frame.data(), 0, &written), WriteStatus::Ok);
  EXPECT_EQ(written, 0u);
}

TEST(SerialLine, AWriteTheFarEndNeverTakesTimesOutWithWhatWent) {
  Pty pty;
  ASSERT_TRUE(pty.ok());
  auto line = OpenRaw(pty.slave());
  ASSERT_TRUE(line);
  line->SetWriteTimeoutMs(100);
  Bytes big(4 << 20, 0x55);  // far more than the pseudo-terminal buffers
  size_t written = 0;
  int64_t start = NowMs();
  EXPECT_EQ(line->Write(big.data(), big.size(), &written), WriteStatus::Timeout);
  int64_t took = NowMs() - start;
  EXPECT_GE(took, 100);
  EXPECT_LT(took, 1000);
  EXPECT_GT(written, 0u);
  EXPECT_LT(written, big.size());
}

TEST(SerialLine, ASecondOpenFailsWhileTheFirstHoldsTheLine) {
  Pty pty;
  ASSERT_TRUE(pty.ok());
  char tmpl[] = "/tmp/serial_line_test.XXXXXX";
  ASSERT_NE(mkdtemp(tmpl), nullptr);
  std::string link = std::string(tmpl) + "/COM7";
  ASSERT_EQ(symlink(pty.slave().c_str(), link.c_str()), 0);
  {
    auto first = OpenRaw(link);
    ASSERT_TRUE(first);
    for (const std::string& path : {link, pty.slave()}) {
      int err = 0;
      EXPECT_FALSE(SerialLine::Open(path, "", &err)) << path;
      EXPECT_EQ(err, EBUSY) << path;
    }
    // The turned-away opener must not have undone the holder's exclusion.
    int err = 0;
    EXPECT_FALSE(SerialLine::Open(link, "", &err));
  }
  int err = 0;
  EXPECT_TRUE(SerialLine::Open(link, "", &err)) << strerror(err);
  unlink(link.c_str());
  rmdir(tmpl);
}

TEST(SerialLine, OpeningWhatIsNotALineFails) {
  int err = 0;
  EXPECT_FALSE(SerialLine::Open("/nonexistent/ttyS99", "", &err));
  EXPECT_EQ(err, ENOENT);
  EXPECT_FALSE(SerialLine::Open("/dev/null", "", &err));
  EXPECT_EQ(err, ENOTTY);
}

TEST(SerialLine, AHangUpIsReportedAtOnceAndForEver) {
  Pty pty;
  ASSERT_TRUE(pty.ok());
  auto line = OpenRaw(pty.slave());
  ASSERT_TRUE(line);
  line->SetWriteTimeoutMs(1000);
  pty.CloseMaster();  // the cable is pulled
  uint8_t b = 0;
  int64_t start = NowMs();
  EXPECT_EQ(line->ReadByte(&b, 30000), ReadStatus::HangUp);
  EXPECT_LT(NowMs() - start, 3000);  // not the read's time-out
  EXPECT_TRUE(line->hungUp());
  start = NowMs();
  for (int i = 0; i < 1000; ++i) ASSERT_EQ(line->ReadByte(&b, 50), ReadStatus::HangUp);
  EXPECT_LT(NowMs() - start, 5000);  // no waiting on the dead line: 50 s if each read waited
  const uint8_t enq[] = {0x04, 0x05};
  size_t written = 99;
  EXPECT_EQ(line->Write(enq, sizeof enq, &written), WriteStatus::HangUp);
  EXPECT_EQ(written, 0u);
  uint32_t bits = 0xFF;
  EXPECT_TRUE(line->GetModemStatus(&bits));
  EXPECT_EQ(bits, 0u);
}

TEST(SerialLine, AHangUpIsSeenByAWriteAndByTheModemStatusToo) {
  for (int seenBy = 0; seenBy < 2; ++seenBy) {
    Pty pty;
    ASSERT_TRUE(pty.ok());
    auto line = OpenRaw(pty.slave());
    ASSERT_TRUE(line);
    line->SetWriteTimeoutMs(1000);
    pty.CloseMaster();
    if (seenBy == 0) {
      const uint8_t enq[] = {0x04, 0x05};
      size_t written = 0;
      EXPECT_EQ(line->Write(enq, sizeof enq, &written), WriteStatus::HangUp);
    } else {
      uint32_t bits = 0xFF;
      EXPECT_TRUE(line->GetModemStatus(&bits));
      EXPECT_EQ(bits, 0u);
    }
    uint8_t b = 0;
    EXPECT_EQ(line->ReadByte(&b, 0), ReadStatus::HangUp);
  }
}

TEST(SerialLine, APseudoTerminalWithoutSideChannelReadsAsAConnectedNullModem) {
  Pty pty;
  ASSERT_TRUE(pty.ok());
  auto line = OpenRaw(pty.slave());
  ASSERT_TRUE(line);
  EXPECT_EQ(line->sideChannel(), nullptr);
  uint32_t bits = 0;
  ASSERT_TRUE(line->GetModemStatus(&bits));
  EXPECT_EQ(bits, kModemCts | kModemDsr | kModemRlsd);
  EXPECT_TRUE(line->SetDtr(false));
  EXPECT_TRUE(line->SetRts(true));
  EXPECT_TRUE(line->SetBreak(true));
  EXPECT_TRUE(line->SetBreak(false));
  LineCounters c;
  c.brk = 7;
  ASSERT_TRUE(line->GetCounters(&c));
  EXPECT_EQ(c.brk, 0u);
  EXPECT_EQ(c.cts + c.dsr + c.ring + c.rlsd + c.framing + c.overrun + c.parity, 0u);
}

TEST(SerialLine, OutputPurgeKeepsWhatTheFarEndHasNotReadOnAPseudoTerminal) {
  Pty pty;
  ASSERT_TRUE(pty.ok());
  auto line = OpenRaw(pty.slave());
  ASSERT_TRUE(line);
  const uint8_t ack = 0x06;
  ASSERT_EQ(line->Write(&ack, 1, nullptr), WriteStatus::Ok);
  EXPECT_TRUE(line->PurgeOutput());
  EXPECT_EQ(pty.Receive(1), Bytes{0x06});

  pty.Send({0x15, 0x15, 0x15});
  uint8_t b = 0;
  ASSERT_EQ(line->ReadByte(&b, 1000), ReadStatus::Byte);
  EXPECT_TRUE(line->PurgeInput());
  EXPECT_EQ(line->InQueue(), 0);
  EXPECT_EQ(line->ReadByte(&b, 10), ReadStatus::None);
}

// --- the side channel -----------------------------------------------------

class SideChannelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(pty_.ok());
    char tmpl[] = "/tmp/side_channel_test.XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
    path_ = dir_ + "/COM9.lines";
    sim_ = SideChannel::Create(path_);
    ASSERT_TRUE(sim_);
  }
  void TearDown() override {
    sim_.reset();
    unlink(path_.c_str());
    rmdir(dir_.c_str());
  }
  SideChannelBlock& Block() { return *sim_->block(); }
  Pty pty_;
  std::string dir_, path_;
  std::unique_ptr<SideChannel> sim_;
};

TEST_F(SideChannelTest, ANewBlockIsAConnectedLineWithZeroCounters) {
  struct stat st;
  ASSERT_EQ(stat(path_.c_str(), &st), 0);
  EXPECT_EQ(size_t(st.st_size), sizeof(SideChannelBlock));
  EXPECT_EQ(st.st_mode & 0777, 0666u);
  auto other = SideChannel::Open(path_);
  ASSERT_TRUE(other);
  EXPECT_EQ(other->block()->magic, kSideChannelMagic);
  EXPECT_EQ(other->block()->version, kSideChannelVersion);
  EXPECT_EQ(other->block()->deviceLines.load(), kLineCts | kLineDsr | kLineRlsd);
  EXPECT_EQ(other->block()->hostLines.load(), 0u);
  EXPECT_EQ(other->block()->parity.load(), 0u);
  Block().ring.fetch_add(3);  // one mapping sees the other's writes
  EXPECT_EQ(other->block()->ring.load(), 3u);
}

TEST_F(SideChannelTest, OpenRefusesWhatIsNotABlock) {
  EXPECT_FALSE(SideChannel::Open(dir_ + "/missing.lines"));
  Block().version = kSideChannelVersion + 1;
  EXPECT_FALSE(SideChannel::Open(path_));
  Block().version = kSideChannelVersion;
  Block().magic = 0;
  EXPECT_FALSE(SideChannel::Open(path_));
  ASSERT_EQ(truncate(path_.c_str(), 8), 0);
  sim_.reset();  // nothing may touch the mapping past the new end
  EXPECT_FALSE(SideChannel::Open(path_));
}

TEST_F(SideChannelTest, ModemLinesAndCountersComeFromTheSimulator) {
  auto line = OpenRaw(pty_.slave(), path_);
  ASSERT_TRUE(line);
  ASSERT_NE(line->sideChannel(), nullptr);
  uint32_t bits = 0;
  ASSERT_TRUE(line->GetModemStatus(&bits));
  EXPECT_EQ(bits, kModemCts | kModemDsr | kModemRlsd);
  Block().deviceLines.store(kLineDsr | kLineRing);
  ASSERT_TRUE(line->GetModemStatus(&bits));
  EXPECT_EQ(bits, kModemDsr | kModemRing);
  Block().deviceLines.store(0);
  ASSERT_TRUE(line->GetModemStatus(&bits));
  EXPECT_EQ(bits, 0u);

  Block().cts.store(1);
  Block().dsr.store(2);
  Block().ring.store(3);
  Block().rlsd.store(4);
  Block().brk.store(5);
  Block().framing.store(6);
  Block().overrun.store(7);
  Block().parity.store(8);
  LineCounters c;
  ASSERT_TRUE(line->GetCounters(&c));
  EXPECT_EQ(c.cts, 1u);
  EXPECT_EQ(c.dsr, 2u);
  EXPECT_EQ(c.ring, 3u);
  EXPECT_EQ(c.rlsd, 4u);
  EXPECT_EQ(c.brk, 5u);
  EXPECT_EQ(c.framing, 6u);
  EXPECT_EQ(c.overrun, 7u);
  EXPECT_EQ(c.parity, 8u);
}

TEST_F(SideChannelTest, HostLinesGoToTheSimulatorAndDropAtClose) {
  auto line = OpenRaw(pty_.slave(), path_);  // default settings: DTR and RTS Enable
  ASSERT_TRUE(line);
  EXPECT_EQ(Block().hostLines.load(), kHostDtr | kHostRts);
  EXPECT_TRUE(line->SetDtr(false));
  EXPECT_EQ(Block().hostLines.load(), kHostRts);
  EXPECT_TRUE(line->SetBreak(true));
  EXPECT_EQ(Block().hostLines.load(), kHostRts | kHostBreak);
  EXPECT_TRUE(line->SetRts(false));
  EXPECT_TRUE(line->SetBreak(false));
  EXPECT_EQ(Block().hostLines.load(), 0u);

  LineSettings s;
  s.dtrControl = LineControl::Handshake;
  s.rtsControl = LineControl::Disable;
  ASSERT_TRUE(line->SetSettings(s));
  EXPECT_EQ(Block().hostLines.load(), kHostDtr);
  s.dtrControl = LineControl::Disable;
  s.rtsControl = LineControl::Handshake;
  ASSERT_TRUE(line->SetSettings(s));
  EXPECT_EQ(Block().hostLines.load(), kHostRts);
  EXPECT_TRUE(line->SetBreak(true));
  line.reset();
  EXPECT_EQ(Block().hostLines.load(), 0u);
}

TEST_F(SideChannelTest, DsrOutputFlowHoldsAWriteUntilDsrComesOn) {
  auto line = OpenRaw(pty_.slave(), path_);
  ASSERT_TRUE(line);
  LineSettings s;
  s.dsrOutFlow = true;
  ASSERT_TRUE(line->SetSettings(s));
  line->SetWriteTimeoutMs(60);
  Block().deviceLines.store(kLineCts | kLineRlsd);
  const uint8_t enq[] = {0x04, 0x05};
  size_t written = 99;
  int64_t start = NowMs();
  EXPECT_EQ(line->Write(enq, sizeof enq, &written), WriteStatus::Timeout);
  EXPECT_GE(NowMs() - start, 60);
  EXPECT_EQ(written, 0u);
  EXPECT_TRUE(pty_.Receive(2, 20).empty());

  line->SetWriteTimeoutMs(2000);
  start = NowMs();
  std::thread raise([this] {
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    Block().deviceLines.fetch_or(kLineDsr);
  });
  EXPECT_EQ(line->Write(enq, sizeof enq, &written), WriteStatus::Ok);
  raise.join();
  EXPECT_GE(NowMs() - start, 30);
  EXPECT_EQ(written, 2u);
  EXPECT_EQ(pty_.Receive(2), Bytes(enq, enq + 2));
}

TEST_F(SideChannelTest, CtsOutputFlowHoldsAWriteOnASimulatedLine) {
  auto line = OpenRaw(pty_.slave(), path_);
  ASSERT_TRUE(line);
  LineSettings s;
  s.ctsOutFlow = true;
  ASSERT_TRUE(line->SetSettings(s));
  line->SetWriteTimeoutMs(40);
  Block().deviceLines.store(kLineDsr | kLineRlsd);
  const uint8_t ack = 0x06;
  size_t written = 99;
  EXPECT_EQ(line->Write(&ack, 1, &written), WriteStatus::Timeout);
  EXPECT_EQ(written, 0u);
  Block().deviceLines.store(kLineCts);
  EXPECT_EQ(line->Write(&ack, 1, &written), WriteStatus::Ok);
  EXPECT_EQ(pty_.Receive(1), Bytes{0x06});
}

TEST_F(SideChannelTest, AnUnusableBlockLeavesTheLineANullModem) {
  Block().magic = 0;
  auto line = OpenRaw(pty_.slave(), path_);
  ASSERT_TRUE(line);
  EXPECT_EQ(line->sideChannel(), nullptr);
  uint32_t bits = 0;
  ASSERT_TRUE(line->GetModemStatus(&bits));
  EXPECT_EQ(bits, kModemCts | kModemDsr | kModemRlsd);
}

// The line-event thread watches the lines while a transaction runs and the
// caller switches the flow control.
TEST_F(SideChannelTest, WatchingTheLinesWhileTransactionsRunIsSafe) {
  auto line = OpenRaw(pty_.slave(), path_);
  ASSERT_TRUE(line);
  line->SetWriteTimeoutMs(1000);
  std::atomic<bool> stop{false};
  std::atomic<int> looks{0};
  std::thread watcher([&] {
    while (!stop.load()) {
      uint32_t bits = 0;
      LineCounters c;
      EXPECT_TRUE(line->GetModemStatus(&bits));
      EXPECT_TRUE(line->GetCounters(&c));
      Block().dsr.fetch_add(1);
      looks.fetch_add(1);
    }
  });
  LineSettings s;
  for (int i = 0; i < 50; ++i) {
    s.dsrOutFlow = i % 2 == 0;
    ASSERT_TRUE(line->SetSettings(s));
    const uint8_t b = static_cast<uint8_t>(i);
    ASSERT_EQ(line->Write(&b, 1, nullptr), WriteStatus::Ok);
    ASSERT_EQ(pty_.Receive(1), Bytes{b});
    pty_.Send({b});
    uint8_t got = 0;
    ASSERT_EQ(line->ReadByte(&got, 1000), ReadStatus::Byte);
    EXPECT_EQ(got, b);
  }
  while (looks.load() == 0) std::this_thread::yield();
  stop.store(true);
  watcher.join();
}

// --- reopening as a user that is not root ---------------------------------

// Runs fn in a child process as nobody (when we are root) and returns its
// exit status; 200 when the child could not become nobody.
int RunAsNobody(const std::function<int()>& fn) {
  pid_t pid = fork();
  if (pid == 0) {
    if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0))
      _exit(200);
    _exit(fn());
  }
  int status = 0;
  if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return 201;
  return WEXITSTATUS(status);
}

TEST(SerialLineReopen, AUserThatIsNotRootReopensAfterTheHolderClosed) {
  Pty pty;
  ASSERT_TRUE(pty.ok());
  ASSERT_EQ(chmod(pty.slave().c_str(), 0666), 0);
  // The simulator keeps its own end of the line open, so the exclusive mode
  // is not reset by the last close of the line.
  int simulatorFd = open(pty.slave().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  ASSERT_GE(simulatorFd, 0);
  auto tryOpen = [&] {
    int err = 0;
    auto line = SerialLine::Open(pty.slave(), "", &err);
    return line ? 0 : err;
  };
  auto holder = OpenRaw(pty.slave());
  ASSERT_TRUE(holder);
  EXPECT_EQ(RunAsNobody(tryOpen), EBUSY);
  holder.reset();
  EXPECT_EQ(RunAsNobody(tryOpen), 0);
  EXPECT_EQ(tryOpen(), 0);
  close(simulatorFd);
}

}  // namespace

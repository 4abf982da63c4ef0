// A simulator on a temporary device folder and the host's end of its line
// opened as a plain file: the tests speak the wire protocol byte by byte,
// without the library.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "sim/simulator.h"

namespace simtest {

using sim::Bytes;

Bytes Hex(const std::string& text);
std::string HexOf(const Bytes& b);
uint64_t NowMs();
// A whole file's bytes ("" when it cannot be read).
std::string ReadFile(const std::string& path);

// A fresh temporary folder, removed with everything in it at the end.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// A text command frame as hex: EOT STX code data ETX BCC.
std::string Command(const std::string& code, const std::string& data);

// Frames the tests send and expect, as hex.
constexpr char kPoll[] = "04 05";                        // EOT ENQ
constexpr char kCmdSt[] = "04 02 53 54 03 04";           // "ST"
constexpr char kReplyAst90[] = "02 41 53 54 39 30 03 4C";  // "A ST 90"
constexpr char kIdle[] = "02 52 30 30 30 30 03 51";      // "R 00 00": ready, no card

class SimTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Opens the link like a host would (O_RDWR|O_NOCTTY|O_NONBLOCK); returns the fd.
  int OpenHost();
  void CloseHost();
  void Send(const Bytes& b);
  void Send(const std::string& hex) { Send(Hex(hex)); }
  // Reads exactly n bytes (fails the test after timeoutMs: a hang guard far
  // beyond what a busy machine takes to answer).
  Bytes Read(size_t n, int timeoutMs = 10000);
  // Reads whatever arrives until the line has been quiet for quietMs.
  Bytes ReadQuiet(int quietMs = 60, int timeoutMs = 2000);
  // Sends, then expects exactly `expected` back and nothing after it.
  void Exchange(const std::string& sendHex, const std::string& expectHex);
  // Nothing arrives within ms.
  void ExpectSilence(int ms = 80);
  void Ctl(const std::string& line) { ASSERT_EQ("", dev_.Control(line)) << line; }
  // One reply frame from the line, checked for its BCC, as its text without
  // STX, ETX and BCC: "AVS90Mivor V1.20".
  std::string ReadReply();
  // Exactly `count` transcript entries of dir begin with prefix. Waits for
  // them: the device records its bytes just after writing them.
  void ExpectTag(sim::Dir dir, const std::string& prefix, int count) {
    EXPECT_TRUE(dev_.WaitForTag(dir, prefix, count, 10000)) << prefix;
    EXPECT_EQ(count, dev_.CountTag(dir, prefix)) << prefix;
  }

  TempDir dir_;
  sim::Simulator dev_;
  int host_ = -1;
  static constexpr int kCom = 7;
};

// The standard device ("device standard") and its command exchanges.
class StandardDeviceTest : public SimTest {
 protected:
  void SetUp() override {
    SimTest::SetUp();
    Ctl("device standard");
  }
  std::string Poll() {
    Send(kPoll);
    return ReadReply();
  }
  // Sends the command, takes its ACK and polls through its "B" replies of
  // the same code; the reply that ended it.
  std::string Ask(const std::string& code, const std::string& data = "") {
    Exchange(Command(code, data), "06");
    std::string r = Poll();
    for (int i = 0; i < 100 && r.compare(0, 3, "B" + code) == 0; ++i) r = Poll();
    return r;
  }
};

}  // namespace simtest

#include "sim_fixture.h"

#include "wire/codec.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "wire/hex.h"

namespace simtest {

Bytes Hex(const std::string& text) { return wire::ParseHex(text); }

std::string HexOf(const Bytes& b) { return wire::HexString(b); }

uint64_t NowMs() {
  return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                   std::chrono::steady_clock::now().time_since_epoch())
                                   .count());
}

std::string ReadFile(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

TempDir::TempDir() {
  char tmpl[] = "/tmp/vantor-sim-test.XXXXXX";
  const char* p = mkdtemp(tmpl);
  path_ = p ? p : "";
}

TempDir::~TempDir() {
  if (!path_.empty()) {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
}

void SimTest::SetUp() {
  // No pseudo-terminals is a broken test machine, not a reason to skip.
  ASSERT_EQ(0, access("/dev/ptmx", R_OK | W_OK)) << "/dev/ptmx is missing";
  ASSERT_FALSE(dir_.path().empty());
  std::string error;
  ASSERT_TRUE(dev_.Start({dir_.path(), kCom, ""}, &error)) << error;
  OpenHost();
}

void SimTest::TearDown() {
  CloseHost();
  dev_.Stop();
}

int SimTest::OpenHost() {
  CloseHost();
  host_ = open(dev_.LinkPath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  EXPECT_GE(host_, 0) << dev_.LinkPath();
  return host_;
}

void SimTest::CloseHost() {
  if (host_ >= 0) close(host_);
  host_ = -1;
}

void SimTest::Send(const Bytes& b) {
  size_t done = 0;
  while (done < b.size()) {
    const ssize_t n = write(host_, b.data() + done, b.size() - done);
    if (n > 0) {
      done += static_cast<size_t>(n);
    } else {
      pollfd p{host_, POLLOUT, 0};
      ASSERT_GE(poll(&p, 1, 1000), 0);
    }
  }
}

Bytes SimTest::Read(size_t n, int timeoutMs) {
  Bytes got;
  const uint64_t end = NowMs() + static_cast<uint64_t>(timeoutMs);
  while (got.size() < n) {
    const uint64_t now = NowMs();
    if (now >= end) break;
    pollfd p{host_, POLLIN, 0};
    if (poll(&p, 1, static_cast<int>(end - now)) <= 0) continue;
    uint8_t buf[8192];
    const size_t want = std::min(sizeof buf, n - got.size());
    const ssize_t r = read(host_, buf, want);
    if (r <= 0) break;
    got.insert(got.end(), buf, buf + r);
  }
  EXPECT_EQ(n, got.size()) << "got " << HexOf(got);
  return got;
}

Bytes SimTest::ReadQuiet(int quietMs, int timeoutMs) {
  Bytes got;
  const uint64_t end = NowMs() + static_cast<uint64_t>(timeoutMs);
  while (NowMs() < end) {
    pollfd p{host_, POLLIN, 0};
    if (poll(&p, 1, quietMs) <= 0) break;
    uint8_t buf[8192];
    const ssize_t r = read(host_, buf, sizeof buf);
    if (r <= 0) break;
    got.insert(got.end(), buf, buf + r);
  }
  return got;
}

void SimTest::Exchange(const std::string& sendHex, const std::string& expectHex) {
  Send(sendHex);
  const Bytes want = Hex(expectHex);
  EXPECT_EQ(HexOf(want), HexOf(Read(want.size()))) << "after " << sendHex;
  ExpectSilence(30);
}

void SimTest::ExpectSilence(int ms) {
  pollfd p{host_, POLLIN, 0};
  if (poll(&p, 1, ms) > 0) {
    uint8_t buf[256];
    const ssize_t r = read(host_, buf, sizeof buf);
    ADD_FAILURE() << "unexpected bytes: " << (r > 0 ? HexOf(Bytes(buf, buf + r)) : "(read failed)");
  }
}

std::string Command(const std::string& code, const std::string& data) {
  return HexOf(wire::TextCommandFrame(reinterpret_cast<const uint8_t*>(code.data()),
                                      reinterpret_cast<const uint8_t*>(data.data()), data.size()));
}

std::string SimTest::ReadReply() {
  Bytes f = Read(1);
  if (f.empty() || f[0] != wire::STX) return "not a frame: " + HexOf(f);
  while (f.back() != wire::ETX) {
    const Bytes b = Read(1);
    if (b.empty()) return "cut: " + HexOf(f);
    f.push_back(b[0]);
  }
  f.push_back(Read(1).at(0));
  EXPECT_TRUE(wire::FrameBccOk(f.data(), f.size())) << HexOf(f);
  return std::string(f.begin() + 1, f.end() - 2);
}

}  // namespace simtest

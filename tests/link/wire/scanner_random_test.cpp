// Every scanner driven as the library drives it, over a million seeded random
// bytes (noise, control-byte soup, good and broken frames, runs longer than a
// receive buffer), byte by byte and in chunks. The caller's cap applies: a
// collection that reaches kMaxFrame bytes without a frame is given up. Each
// delivery is checked against the bytes it came from.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

#include "wire/codec.h"
#include "wire/hex.h"

namespace wire {
namespace {

constexpr size_t kStreamBytes = 1000000;
constexpr uint64_t kSeed = 20261208;

Bytes RandomData(std::mt19937_64& rng, size_t len, bool controlHeavy) {
  static const uint8_t kControl[] = {STX, ETX, EOT, ENQ, ACK, NAK, SYN, SYN, 'A', '9'};
  Bytes d(len);
  for (auto& b : d) {
    b = controlHeavy ? kControl[rng() % sizeof kControl] : static_cast<uint8_t>(rng());
  }
  return d;
}

Bytes MakeStream(uint64_t seed) {
  std::mt19937_64 rng(seed);
  Bytes s;
  s.reserve(kStreamBytes + 8000);
  auto add = [&s](const Bytes& b) { s.insert(s.end(), b.begin(), b.end()); };
  while (s.size() < kStreamBytes) {
    switch (rng() % 16) {
      case 0: case 1: case 2:
        add(RandomData(rng, rng() % 300, false));
        break;
      case 3: case 4: case 5:
        add(RandomData(rng, rng() % 300, true));
        break;
      case 6: case 7: case 8: {
        Bytes d = RandomData(rng, rng() % 64, rng() % 2 == 0);
        add(ResponseFrame("ARB"[rng() % 3], "ST", "90", d.data(), d.size()));
        break;
      }
      case 9: case 10: case 11: {
        Bytes d = RandomData(rng, rng() % 300, rng() % 2 == 0);
        Bytes f = BinaryFrame(d.data(), d.size());
        if (rng() % 4 == 0) f[rng() % f.size()] ^= static_cast<uint8_t>(1 + rng() % 255);
        add(f);
        break;
      }
      case 12: case 13:
        add(Bytes{SYN, static_cast<uint8_t>(rng() % 2 ? ACK : NAK)});
        break;
      case 14:
        add(Bytes{static_cast<uint8_t>(rng() % 2 ? ACK : NAK)});
        break;
      case 15:  // longer than any receive buffer
        if (rng() % 8 == 0) {
          Bytes d(kMaxFrame + 200 + rng() % 800, static_cast<uint8_t>('A' + rng() % 3));
          if (rng() % 2) add(BinaryFrame(d.data(), d.size()));
          else add(DataFrame(d.data(), d.size()));
        }
        break;
    }
  }
  s.resize(kStreamBytes);
  return s;
}

const Bytes& Stream() {
  static const Bytes s = MakeStream(kSeed);
  return s;
}

bool ReservedAfterSyn(uint8_t b) {
  return b == STX || b == ETX || b == ACK || b == NAK || b == SYN;
}

#define CHECK(c)                                                     \
  do {                                                               \
    if (!(c)) {                                                      \
      Fail(#c, __LINE__);                                            \
      return;                                                        \
    }                                                                \
  } while (0)

// A caller of one scanner. Feed gets each byte and whether the line falls
// silent after it.
struct Driver {
  std::string error;
  size_t delivered = 0;
  size_t gaveUp = 0;
  Bytes buf;

  void Fail(const char* what, int line) {
    if (error.empty()) {
      error = std::string(what) + " (line " + std::to_string(line) + ") with " +
              std::to_string(buf.size()) + " bytes held: " +
              HexString(buf.data(), std::min<size_t>(buf.size(), 64));
    }
  }
  // Appends a byte as a one-byte read into the caller's capped buffer.
  bool Take(uint8_t b) {
    if (buf.size() >= kMaxFrame) {
      ++gaveUp;
      buf.clear();
    }
    buf.push_back(b);
    return buf.size() <= kMaxFrame;
  }
};

// ReadComm in frame mode: scans when the line falls silent.
struct TextScanDriver : Driver {
  void Feed(uint8_t b, bool silence) {
    CHECK(Take(b));
    if (!silence && buf.size() < kMaxFrame) return;
    size_t start = 0, len = 0;
    if (!FindLastFrame(buf.data(), buf.size(), &start, &len)) return;
    CHECK(len >= 3 && start + len <= buf.size());
    const uint8_t* f = buf.data() + start;
    CHECK(f[0] == STX && f[len - 2] == ETX);
    for (size_t i = 1; i + 2 < len; ++i) CHECK(f[i] != STX && f[i] != ETX);
    // The last complete frame: nothing complete follows it.
    size_t s2, l2;
    CHECK(!FindLastFrame(f + len, buf.size() - start - len, &s2, &l2));
    ++delivered;
    buf.clear();
  }
};

// ReadCommHF: one collector fed byte by byte until it closes a frame or
// fills up (the caller then runs into its time-out and gives up).
struct HFDriver : Driver {
  HFCollector c{kMaxFrame};

  void Feed(uint8_t b, bool silence) {
    if (c.full()) {
      ++gaveUp;
      c.Reset();
      buf.clear();
    }
    buf.push_back(b);  // every byte since the collection began
    if (buf.size() > 2 * kMaxFrame) buf.erase(buf.begin(), buf.begin() + kMaxFrame);
    const bool closed = c.Feed(b);
    const Bytes& f = c.bytes();
    CHECK(f.size() <= kMaxFrame);
    if (!closed) {
      if (silence) CHECK(!c.Complete());
      return;
    }
    CHECK(c.Complete() && f.size() >= 3);
    CHECK(std::equal(f.begin(), f.end(), buf.end() - f.size()));
    for (size_t i = 1; i + 2 < f.size(); ++i) CHECK(f[i] != STX && f[i] != ETX);
    ++delivered;
    c.Reset();
    buf.clear();
  }
};

// ReadCommForBinary in pair mode: checks after every byte.
struct PairDriver : Driver {
  void Feed(uint8_t b, bool) {
    CHECK(Take(b));
    if (!BinaryPairReady(buf.data(), buf.size())) return;
    const size_t n = buf.size();
    CHECK(n >= 2 && buf[n - 2] == SYN);
    CHECK(buf[n - 1] != STX && buf[n - 1] != ETX && buf[n - 1] != SYN);
    ++delivered;
    buf.clear();
  }
};

// ReadCommForBinary in frame mode: early exit after every byte, frame search
// when the line falls silent.
struct BinaryFrameDriver : Driver {
  size_t exits = 0;
  size_t asTheyAre = 0;
  size_t goodBcc = 0;

  void Feed(uint8_t b, bool silence) {
    CHECK(Take(b));
    size_t at = 0;
    if (BinaryEarlyExit(buf.data(), buf.size(), &at)) {
      // Checked after every byte, so the pair is the one just completed.
      CHECK(at + 2 == buf.size());
      CHECK(buf[at] == SYN && !ReservedAfterSyn(buf[at + 1]));
      ++exits;
      buf.clear();
      return;
    }
    if (!silence) return;
    Bytes out;
    if (!BinaryFrameOnSilence(buf.data(), buf.size(), &out)) return;
    size_t start = 0, len = 0;
    if (FindBinaryFrame(buf.data(), buf.size(), &start, &len)) {
      CHECK(len >= 5 && start + len <= buf.size());
      CHECK(out.size() <= len);
      Bytes plain, data;
      CHECK(UnstuffBinaryFrame(buf.data() + start, len, &plain));
      CHECK(plain == out);
      bool bccOk = false;
      CHECK(SplitBinaryFrame(out.data(), out.size(), &data, &bccOk));
      // Restuffing the data gives the received frame back, all but its BCC.
      Bytes again = BinaryFrame(data.data(), data.size());
      CHECK(again.size() == len);
      CHECK(std::equal(again.begin(), again.end() - 1, buf.begin() + start));
      CHECK(bccOk == (again.back() == buf[start + len - 1]));
      if (bccOk) ++goodBcc;
      ++delivered;
    } else {
      CHECK(out == buf);
      CHECK(buf.size() >= 2 && buf[0] == SYN && !ReservedAfterSyn(buf[1]));
      ++asTheyAre;
    }
    buf.clear();
  }
};

// Byte by byte with the line silent after every byte, then in chunks of
// 1-700 bytes with silence only at a chunk's end.
template <typename D>
void FeedStream(D* byteByByte, D* chunked) {
  const Bytes& s = Stream();
  for (uint8_t b : s) {
    byteByByte->Feed(b, true);
    if (!byteByByte->error.empty()) break;
  }
  std::mt19937_64 rng(kSeed + 1);
  size_t chunkLeft = 0;
  for (uint8_t b : s) {
    if (chunkLeft == 0) chunkLeft = 1 + rng() % 700;
    chunked->Feed(b, --chunkLeft == 0);
    if (!chunked->error.empty()) break;
  }
}

TEST(ScannerRandom, ReadCommFrameScan) {
  TextScanDriver one, chunks;
  FeedStream(&one, &chunks);
  ASSERT_EQ("", one.error);
  ASSERT_EQ("", chunks.error);
  EXPECT_GT(one.delivered, 1000u);
  EXPECT_GT(chunks.delivered, 1000u);
  EXPECT_GT(one.gaveUp + chunks.gaveUp, 0u);
}

TEST(ScannerRandom, HFCollector) {
  HFDriver one, chunks;
  FeedStream(&one, &chunks);
  ASSERT_EQ("", one.error);
  ASSERT_EQ("", chunks.error);
  EXPECT_GT(one.delivered, 1000u);
  EXPECT_GT(one.gaveUp, 0u);
}

TEST(ScannerRandom, BinaryPairMode) {
  PairDriver one, chunks;
  FeedStream(&one, &chunks);
  ASSERT_EQ("", one.error);
  ASSERT_EQ("", chunks.error);
  EXPECT_GT(one.delivered, 1000u);
  EXPECT_GT(one.gaveUp, 0u);
}

TEST(ScannerRandom, BinaryFrameMode) {
  BinaryFrameDriver one, chunks;
  FeedStream(&one, &chunks);
  ASSERT_EQ("", one.error);
  ASSERT_EQ("", chunks.error);
  EXPECT_GT(one.delivered, 500u);
  EXPECT_GT(one.goodBcc, 100u);
  EXPECT_GT(one.exits, 1000u);
  EXPECT_GT(chunks.delivered + chunks.asTheyAre, 500u);
  EXPECT_GT(one.gaveUp + chunks.gaveUp, 0u);
}

}  // namespace
}  // namespace wire

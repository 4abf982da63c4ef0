// Drives every frame scanner over arbitrary bytes the way the receive loops
// use them, and checks what each one delivers against the input. Also checks
// that whatever is framed reads back as the same data.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "wire/codec.h"
#include "wire/hex.h"

namespace {

using wire::Bytes;

#define CHECK(c)                                                       \
  do {                                                                 \
    if (!(c)) {                                                        \
      std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #c); \
      std::abort();                                                    \
    }                                                                  \
  } while (0)

bool ReservedAfterSyn(uint8_t b) {
  return b == wire::STX || b == wire::ETX || b == wire::ACK || b == wire::NAK ||
         b == wire::SYN;
}

// Where the line falls silent: picked by a small generator seeded from the
// input, about one byte in sixteen, and always after the last byte.
class Silence {
 public:
  Silence(const uint8_t* p, size_t n) {
    for (size_t i = 0; i < std::min<size_t>(n, 8); ++i) state_ = state_ * 131 + p[i];
  }
  bool After(size_t i, size_t n) {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 7;
    state_ ^= state_ << 17;
    return i + 1 == n || (state_ & 15) == 0;
  }

 private:
  uint64_t state_ = 0x9E3779B97F4A7C15ull;
};

// Caller's buffer: one byte per read, given up when it reaches the cap.
void Take(Bytes* buf, uint8_t b) {
  if (buf->size() >= wire::kMaxFrame) buf->clear();
  buf->push_back(b);
  CHECK(buf->size() <= wire::kMaxFrame);
}

void ReadCommFrames(const uint8_t* p, size_t n) {
  Silence silence(p, n);
  Bytes buf;
  for (size_t i = 0; i < n; ++i) {
    Take(&buf, p[i]);
    if (!silence.After(i, n) && buf.size() < wire::kMaxFrame) continue;
    size_t start = 0, len = 0;
    if (!wire::FindLastFrame(buf.data(), buf.size(), &start, &len)) continue;
    CHECK(len >= 3 && start + len <= buf.size());
    const uint8_t* f = buf.data() + start;
    CHECK(f[0] == wire::STX && f[len - 2] == wire::ETX);
    for (size_t k = 1; k + 2 < len; ++k) CHECK(f[k] != wire::STX && f[k] != wire::ETX);
    size_t s2, l2;
    CHECK(!wire::FindLastFrame(f + len, buf.size() - start - len, &s2, &l2));
    (void)wire::FrameBccOk(f, len);
    buf.clear();
  }
}

void ReadCommHF(const uint8_t* p, size_t n, size_t limit) {
  wire::HFCollector c(limit);
  size_t since = 0;  // input offset where the collection began
  for (size_t i = 0; i < n; ++i) {
    if (c.full()) {
      c.Reset();
      since = i;
    }
    const bool closed = c.Feed(p[i]);
    const Bytes& f = c.bytes();
    CHECK(f.size() <= limit && f.size() <= i + 1 - since);
    if (!closed) continue;
    CHECK(c.Complete() && f.size() >= 3);
    CHECK(std::equal(f.begin(), f.end(), p + i + 1 - f.size()));
    c.Reset();
    since = i + 1;
  }
}

void ReadCommForBinaryPair(const uint8_t* p, size_t n) {
  Bytes buf;
  for (size_t i = 0; i < n; ++i) {
    Take(&buf, p[i]);
    if (!wire::BinaryPairReady(buf.data(), buf.size())) continue;
    const size_t k = buf.size();
    CHECK(k >= 2 && buf[k - 2] == wire::SYN);
    CHECK(buf[k - 1] != wire::STX && buf[k - 1] != wire::ETX && buf[k - 1] != wire::SYN);
    buf.clear();
  }
}

void CheckBinaryDelivery(const Bytes& buf, const Bytes& out) {
  size_t start = 0, len = 0;
  if (!wire::FindBinaryFrame(buf.data(), buf.size(), &start, &len)) {
    CHECK(out == buf);
    CHECK(buf.size() >= 2 && buf[0] == wire::SYN && !ReservedAfterSyn(buf[1]));
    return;
  }
  CHECK(len >= 5 && start + len <= buf.size() && out.size() <= len);
  Bytes data;
  bool bccOk = false;
  CHECK(wire::SplitBinaryFrame(out.data(), out.size(), &data, &bccOk));
  Bytes again = wire::BinaryFrame(data.data(), data.size());
  CHECK(again.size() == len);
  CHECK(std::equal(again.begin(), again.end() - 1, buf.begin() + start));
  CHECK(bccOk == (again.back() == buf[start + len - 1]));
}

void ReadCommForBinaryFrames(const uint8_t* p, size_t n) {
  Silence silence(p, n);
  Bytes buf, out;
  for (size_t i = 0; i < n; ++i) {
    Take(&buf, p[i]);
    size_t at = 0;
    if (wire::BinaryEarlyExit(buf.data(), buf.size(), &at)) {
      CHECK(at + 2 == buf.size());
      CHECK(buf[at] == wire::SYN && !ReservedAfterSyn(buf[at + 1]));
      buf.clear();
      continue;
    }
    if (!silence.After(i, n)) continue;
    if (!wire::BinaryFrameOnSilence(buf.data(), buf.size(), &out)) continue;
    CheckBinaryDelivery(buf, out);
    buf.clear();
  }
}

// The input taken as a whole buffer and as data to be framed.
void WholeInput(const uint8_t* p, size_t n) {
  Bytes plain, data;
  bool bccOk = false;
  if (wire::UnstuffBinaryFrame(p, n, &plain)) {
    CHECK(plain.size() <= n);
    CHECK(wire::SplitBinaryFrame(plain.data(), plain.size(), &data, &bccOk));
  }
  if (wire::SplitBinaryFrame(p, n, &data, &bccOk)) CHECK(data.size() + 5 == n);

  Bytes f = wire::BinaryFrame(p, n);
  size_t start = 0, len = 0, at = 0;
  CHECK(wire::FindBinaryFrame(f.data(), f.size(), &start, &len) && start == 0 && len == f.size());
  CHECK(!wire::BinaryEarlyExit(f.data(), f.size(), &at));
  CHECK(wire::UnstuffBinaryFrame(f.data(), f.size(), &plain));
  CHECK(wire::SplitBinaryFrame(plain.data(), plain.size(), &data, &bccOk));
  CHECK(bccOk && data == Bytes(p, p + n));

  // A data frame reads back whole when its data holds no STX or ETX.
  if (std::none_of(p, p + n, [](uint8_t b) { return b == wire::STX || b == wire::ETX; })) {
    Bytes d = wire::DataFrame(p, n);
    CHECK(wire::FindLastFrame(d.data(), d.size(), &start, &len) && start == 0 &&
          len == d.size());
    CHECK(wire::FrameBccOk(d.data(), d.size()));
  }

  if (n <= 1024) CHECK(wire::ParseHex(wire::HexString(p, n)) == Bytes(p, p + n));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ReadCommFrames(data, size);
  // Collector limits from tiny to the full receive buffer.
  const size_t limit = size == 0 ? wire::kMaxFrame : 1 + data[0] % 64;
  ReadCommHF(data, size, limit);
  ReadCommHF(data, size, wire::kMaxFrame);
  ReadCommForBinaryPair(data, size);
  ReadCommForBinaryFrames(data, size);
  WholeInput(data, size);
  return 0;
}

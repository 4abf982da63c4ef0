// SYN-framed binary blocks: building, the scans of ReadCommForBinary and
// the removal of doubled SYNs.
#include "wire/codec.h"

namespace wire {

namespace {

// ACK, NAK and the frame bytes do not end a frame-mode read on their own.
bool IsReservedAfterSyn(uint8_t b) {
  return b == STX || b == ETX || b == ACK || b == NAK || b == SYN;
}

}  // namespace

uint8_t BinaryBcc(const uint8_t* data, size_t len) {
  uint8_t bcc = 0;
  for (size_t i = 0; i < len; ++i) bcc ^= data[i];
  return bcc ^ ETX;
}

Bytes BinaryFrame(const uint8_t* data, size_t len) {
  Bytes f;
  f.reserve(len + len / 8 + 5);
  f.push_back(SYN);
  f.push_back(STX);
  uint8_t bcc = 0;
  for (size_t i = 0; i < len; ++i) {
    if (data[i] == SYN) f.push_back(SYN);
    f.push_back(data[i]);
    bcc ^= data[i];
  }
  f.push_back(SYN);
  f.push_back(ETX);
  f.push_back(bcc ^ ETX);
  return f;
}

bool FindBinaryFrame(const uint8_t* p, size_t n, size_t* start, size_t* len) {
  bool open = false;
  size_t from = 0;
  size_t i = 0;
  while (i < n) {
    if (p[i] != SYN) {
      ++i;
      continue;
    }
    if (i + 1 >= n) return false;  // the SYN's partner has not arrived yet
    const uint8_t next = p[i + 1];
    if (open) {
      if (next == SYN) {
        i += 2;
        continue;
      }
      if (next == ETX) {
        if (i + 2 >= n) return false;  // waiting for the BCC
        *start = from;
        *len = i + 3 - from;
        return true;
      }
      open = false;  // a lone SYN inside the data: this frame is broken
    }
    if (next == STX) {
      open = true;
      from = i;
    }
    i += 2;
  }
  return false;
}

bool UnstuffBinaryFrame(const uint8_t* p, size_t n, Bytes* plain) {
  size_t start = 0;
  size_t len = 0;
  if (!FindBinaryFrame(p, n, &start, &len) || start != 0 || len != n) return false;
  plain->clear();
  plain->reserve(n);
  plain->push_back(SYN);
  plain->push_back(STX);
  // Between SYN STX and SYN ETX BCC every SYN is the first of a doubled pair.
  for (size_t i = 2; i + 3 < n; ++i) {
    plain->push_back(p[i]);
    if (p[i] == SYN) ++i;
  }
  plain->push_back(SYN);
  plain->push_back(ETX);
  plain->push_back(p[n - 1]);
  return true;
}

bool SplitBinaryFrame(const uint8_t* p, size_t n, Bytes* data, bool* bccOk) {
  if (n < 5 || p[0] != SYN || p[1] != STX || p[n - 3] != SYN || p[n - 2] != ETX) return false;
  data->assign(p + 2, p + n - 3);
  *bccOk = p[n - 1] == BinaryBcc(data->data(), data->size());
  return true;
}

bool BinaryPairReady(const uint8_t* p, size_t n) {
  if (n < 2 || p[n - 2] != SYN) return false;
  const uint8_t last = p[n - 1];
  return last != STX && last != ETX && last != SYN;
}

bool BinaryEarlyExit(const uint8_t* p, size_t n, size_t* pairStart) {
  for (size_t i = 0; i + 1 < n; ++i) {
    if (p[i] != SYN) continue;
    const uint8_t next = p[i + 1];
    if (next == STX) return false;  // a frame has begun: only silence ends the read now
    if (!IsReservedAfterSyn(next)) {
      *pairStart = i;
      return true;
    }
    ++i;  // a doubled SYN or a control pair
  }
  return false;
}

bool BinaryFrameOnSilence(const uint8_t* p, size_t n, Bytes* out) {
  size_t start = 0;
  size_t len = 0;
  if (FindBinaryFrame(p, n, &start, &len)) return UnstuffBinaryFrame(p + start, len, out);
  if (n >= 2 && p[0] == SYN && !IsReservedAfterSyn(p[1])) {
    out->assign(p, p + n);
    return true;
  }
  return false;
}

}  // namespace wire

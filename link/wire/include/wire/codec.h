// Wire codecs of the device link: frames, BCC, SYN stuffing and the scanners
// that find frames in received bytes. No I/O; shared by the library and the
// simulator, pinned by golden vectors.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace wire {

constexpr uint8_t STX = 0x02;
constexpr uint8_t ETX = 0x03;
constexpr uint8_t EOT = 0x04;
constexpr uint8_t ENQ = 0x05;
constexpr uint8_t ACK = 0x06;
constexpr uint8_t NAK = 0x15;
constexpr uint8_t SYN = 0x16;

// Largest frame either side collects.
constexpr size_t kMaxFrame = 5120;

using Bytes = std::vector<uint8_t>;

// XOR of the bytes after the first STX up to and including the first ETX
// after it; every 0x02 is left out wherever it stands; without ETX, to the
// end. No STX: 0 (no byte follows an STX). A data byte 0x03 ends the XOR
// early, on both sides of the line alike.
uint8_t CalcBCC(const uint8_t* p, size_t n);

// EOT STX code[0] code[1] data ETX BCC.
Bytes TextCommandFrame(const uint8_t code[2], const uint8_t* data, size_t len);
// EOT ENQ.
Bytes PollFrame();
// STX data ETX BCC.
Bytes DataFrame(const uint8_t* data, size_t len);
// STX kind code[2] status[2] data ETX BCC (what the device sends).
Bytes ResponseFrame(uint8_t kind, const char code[2], const char status[2], const uint8_t* data,
                    size_t len);

// The last byte of frame equals CalcBCC over the frame. False for frames
// shorter than 3 bytes.
bool FrameBccOk(const uint8_t* frame, size_t n);

// ReadComm's frame-mode scan over everything received so far: an STX opens a
// frame (a later STX before the ETX reopens it there), the first ETX after it
// closes it and the next byte is its BCC, whatever its value (a BCC of 0x02
// opens nothing). The last complete frame wins. True with its offset and
// length (at least 3 bytes, STX first, ETX second-to-last).
bool FindLastFrame(const uint8_t* p, size_t n, size_t* start, size_t* len);

// ReadCommHF's collector: fed one byte at a time, it keeps at most `limit`
// bytes and says when a frame's BCC byte has arrived. Bytes before an STX
// stay in the collection (and count against the limit) until an STX comes.
class HFCollector {
 public:
  explicit HFCollector(size_t limit) : limit_(limit) {}
  // Appends b; true when this byte closed a frame (the BCC after ETX). A full
  // collector takes nothing (its owner reads no more); a byte fed after a
  // closed frame starts a new collection.
  bool Feed(uint8_t b);
  bool full() const { return buf_.size() >= limit_; }
  // STX first, ETX second-to-last, not empty.
  bool Complete() const;
  const Bytes& bytes() const { return buf_; }
  // Back to an empty collection waiting for STX.
  void Reset();

 private:
  enum class State { BeforeStx, InFrame, AfterEtx, Closed };
  size_t limit_;
  State state_ = State::BeforeStx;
  Bytes buf_;
};

// ---- binary (SYN) frames ----
//
// The scanners read the received bytes from the start in SYN pairs: a 0x16
// and the byte after it belong together everywhere, so 16 16 is one data
// 0x16 (also outside a frame), 16 02 opens a frame, 16 03 plus one byte (the
// BCC, whatever its value) closes it, and any other 16 x is a control pair;
// inside a frame such a pair breaks the frame and is read again as if outside
// it (so 16 02 there reopens).

// XOR of the data bytes XORed with 0x03.
uint8_t BinaryBcc(const uint8_t* data, size_t len);
// SYN STX data(0x16 doubled) SYN ETX BCC; the BCC is never doubled.
Bytes BinaryFrame(const uint8_t* data, size_t len);
// The first complete stuffed frame in the bytes: true with its offset and
// length (SYN STX ... SYN ETX BCC, still stuffed).
bool FindBinaryFrame(const uint8_t* p, size_t n, size_t* start, size_t* len);
// Turns a stuffed frame (SYN STX ... SYN ETX BCC, exactly n bytes) into its
// plain form with each doubled 0x16 reduced to one. False when the n bytes
// are not one complete frame.
bool UnstuffBinaryFrame(const uint8_t* p, size_t n, Bytes* plain);
// A plain (unstuffed) frame: SYN STX data SYN ETX BCC. True when it has that
// shape; *bccOk says whether its BCC matches; *data gets the data bytes.
bool SplitBinaryFrame(const uint8_t* p, size_t n, Bytes* data, bool* bccOk);

// ReadCommForBinary's decisions, made over everything received so far.
// Pair mode (capacity 2): the second-last byte is SYN and the last is neither
// STX, ETX nor SYN (SYN ACK, SYN NAK or another control pair); the answer is
// those last two bytes.
bool BinaryPairReady(const uint8_t* p, size_t n);
// Frame mode, after each byte: while no SYN STX has arrived, a lone SYN (not
// half of a doubled pair) followed by a byte other than STX, ETX, ACK, NAK or
// SYN ends the read; true with those two bytes' offset.
bool BinaryEarlyExit(const uint8_t* p, size_t n, size_t* pairStart);
// Frame mode, when the line fell silent: the first complete frame, unstuffed,
// or, when there is none and the bytes begin with SYN and a byte other than
// STX, ETX, ACK, NAK or SYN, all bytes as they are. False: keep reading.
bool BinaryFrameOnSilence(const uint8_t* p, size_t n, Bytes* out);

}  // namespace wire

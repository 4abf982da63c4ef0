// Splits the bytes the host sends into what the device reacts to: text
// commands, polls, ACK and NAK, data frames, binary frames, SYN ACK and
// SYN NAK, and runs of raw bytes. Streaming: bytes may come in any chunks;
// nothing it is fed can make it hold more than kMaxFrame bytes.
#pragma once
#include <cstddef>
#include <cstdint>

#include "sim/types.h"

namespace sim {

enum class HostKind { Command, Poll, Ack, Nak, Data, Binary, SynAck, SynNak, Raw };

struct HostEvent {
  HostKind kind = HostKind::Raw;
  Bytes wire;     // the bytes as they came
  Bytes payload;  // Command: code and data; Data: the data; Binary: the data, unstuffed
  bool bccOk = true;       // Command, Data, Binary
  bool wellFormed = true;  // Command: has a two-byte code; Binary: closed by SYN ETX
  const char* rawWhy = "";  // Raw: "" (unframed bytes), "partial" (a frame cut off), "overflow"
};

class HostParser {
 public:
  // Consumes bytes up to and including the one that completes an event; then
  // *got is true and *ev holds it. A byte that only ends a run of raw bytes
  // is not consumed. Returns the number of bytes consumed.
  size_t Feed(const uint8_t* p, size_t n, uint64_t nowUs, HostEvent* ev, bool* got);
  // Raw bytes after a quiet gap, or a frame begun but not finished within the
  // frame time-out, come out as a Raw event.
  bool Tick(uint64_t nowUs, HostEvent* ev);
  // When Tick may next have something (0: nothing held).
  uint64_t DeadlineUs() const;

  void SetRawGapUs(uint64_t us) { rawGapUs_ = us; }
  void SetFrameTimeoutUs(uint64_t us) { frameTimeoutUs_ = us; }
  void Reset();

 private:
  enum class State { Idle, Raw, AfterEot, Text, TextBcc, AfterSyn, Binary, BinarySyn, BinaryBcc };
  // One byte; true when it was consumed (false: reprocess it in the new state).
  bool Step(uint8_t b, HostEvent* ev, bool* got);
  void Emit(HostKind kind, HostEvent* ev, bool* got);
  void EmitRaw(const char* why, HostEvent* ev, bool* got);
  // A byte after EOT or SYN that does not go on with a frame: the bytes so
  // far are raw, and so is b unless it starts something of its own. Step's
  // result: false when b is still to be taken.
  bool NotAFrame(uint8_t b, HostEvent* ev, bool* got);
  void FinishText(HostEvent* ev, bool* got);
  void FinishBinary(bool wellFormed, HostEvent* ev, bool* got);

  State st_ = State::Idle;
  bool textIsCommand_ = false;
  Bytes buf_;
  uint64_t lastUs_ = 0;
  uint64_t rawGapUs_ = 20000;
  uint64_t frameTimeoutUs_ = 1000000;
};

}  // namespace sim

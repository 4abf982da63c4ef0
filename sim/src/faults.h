// The fault knobs of the simulated device. Each acts on the next N
// occasions it applies to, or on every one ("always"). Faults change only
// what goes on the wire: the device remembers the true frame and a resend
// starts from that.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "sim/types.h"

namespace sim {

constexpr int kAlways = -1;

struct Knob {
  int left = 0;  // occasions still to act on; kAlways: every one
  // True when the knob acts on this occasion (and counts it).
  bool Take() {
    if (left == 0) return false;
    if (left > 0) --left;
    return true;
  }
  bool armed() const { return left != 0; }
};

enum class BinAnswerFault : uint8_t { Ack, Nak, Garbage, Silent };

struct Faults {
  // Answers to text commands and data frames.
  Knob nak;       // NAK a good frame (the command is dropped)
  Knob noAck;     // take the frame, send nothing
  Knob ackDelay;  // the ACK/NAK goes out ackDelayMs late
  uint32_t ackDelayMs = 0;
  Knob busy;      // the command stays busy for busyPolls polls
  int busyPolls = 0;
  // Before a command's own replies: stillPolls polls answered "A <code> 12"
  // (the previous command still runs), or one poll answered
  // "B <otherCode> 00" (the device is busy with another command).
  Knob still;
  int stillPolls = 1;
  Knob otherBusy;
  std::string otherCode = "CI";
  // The standard device's commands stay busy for slowMs before their replies.
  Knob slow;
  uint32_t slowMs = 0;
  // Any frame from the host that would be answered.
  Knob silent;
  Knob noPoll;  // polls get no answer (commands still get their ACK)
  // Reply frames (poll answers, resends after NAK, data replies).
  Knob badBcc;
  Knob kind;  // poll answers carry kindByte
  char kindByte = 'A';
  Knob noise;  // noiseBytes go out just before the frame, in the same write
  Bytes noiseBytes;
  Knob stale;  // a complete idle frame goes out just before the frame
  Knob split;  // the write goes out in splitSize chunks, splitGapMs apart
  size_t splitSize = 1;
  uint32_t splitGapMs = 0;
  Knob delay;  // the write goes out delayMs late
  uint32_t delayMs = 0;
  Knob longReply;  // poll answers carry longLen data bytes
  size_t longLen = 6000;
  // Binary.
  Knob binAnswer;  // the answer to a binary frame becomes binAnswerFault
  BinAnswerFault binAnswerFault = BinAnswerFault::Ack;
  Knob binBadBcc;     // binary reports go out with a wrong BCC
  Knob binMalformed;  // binary reports go out with their STX replaced
  // The "IB" block mode (image_ram.h).
  Knob ibNak;  // tries of block number ibNakBlock answered NAK, good or not
  int ibNakBlock = 0;
  Knob ibSilent;  // blocks and the closing poll get no answer
  Knob ibBadBcc;  // the closing poll's verdict frame carries a wrong BCC

  void Clear() { *this = Faults{}; }
};

}  // namespace sim

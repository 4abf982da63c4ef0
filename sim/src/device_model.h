// The device's side of the protocol: what it answers to each thing the host
// sends, shaped by the fault knobs. No I/O: answers come back as writes for
// the output queue.
#pragma once
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "faults.h"
#include "host_parser.h"
#include "sim/types.h"

namespace sim {

// Bytes that go out together, with their transcript tag.
struct Segment {
  Bytes bytes;
  std::string tag;
};
// One write() to the line, delayMs after now, and at least gapMs after the
// write before it has gone out.
struct Write {
  uint32_t delayMs = 0;
  std::vector<Segment> segments;
  uint32_t gapMs = 0;
};
using Writes = std::vector<Write>;

// A fixed answer for one command code, set by the control line "reply".
struct CannedReply {
  bool accept = true;
  std::string status = "90";
  Bytes data;
  int busyPolls = 0;
  char kind = 'A';
};

enum class BinSendKind : uint8_t { Good, BadBcc, Malformed };

class DeviceModel {
 public:
  DeviceModel();

  Writes OnHost(const HostEvent& ev);
  // The input mode due now (null: none); taken once.
  std::shared_ptr<InputMode> TakeMode();
  // A reply frame an input mode sends, and the resend of the last frame.
  Writes ModeReply(const Reply& r);
  Writes Resend();

  // Sends a binary frame now; a SYN NAK from the host gets it again (good).
  Writes BinSend(const Bytes& data, BinSendKind how);
  // The idle reply frame, "R <state> <aux> <data>".
  Bytes IdleFrame() const;

  void SetHandler(const std::string& code, CommandHandler h);
  void RemoveHandler(const std::string& code);
  void SetDataHandler(DataHandler h) { dataHandler_ = std::move(h); }
  void SetBinaryHandler(BinaryHandler h) { binaryHandler_ = std::move(h); }
  void SetRawHandler(RawHandler h) { rawHandler_ = std::move(h); }

  void SetCanned(const std::string& code, const CannedReply& r) { canned_[code] = r; }
  void RemoveCanned(const std::string& code) { canned_.erase(code); }
  void SetIdle(const std::string& state, const std::string& aux, const Bytes& data);
  void SetDataReply(bool on, const Bytes& data);
  void SetRawAnswer(bool on, const Bytes& answer);
  void SetBinReport(const Bytes& data, int count);  // count 0: off; kAlways: every frame
  Faults& faults() { return faults_; }

  // Everything but the handlers back to the start.
  void Reset();

 private:
  struct Job {
    bool active = false;
    std::string code;
    int busyLeft = 0;
    std::string busyStatus;
    std::deque<Reply> replies;
    std::shared_ptr<InputMode> mode;  // entered after the last reply
    std::deque<Reply> first;          // fault replies, before everything else
    PollDriver driver;                // asked next at each poll, until Done
  };

  Writes OnCommand(const HostEvent& ev);
  Writes OnPoll();
  Writes OnNak();
  Writes OnData(const HostEvent& ev);
  Writes OnBinary(const HostEvent& ev);
  Writes OnSynNak();
  Writes OnRaw(const HostEvent& ev);

  Answer Decide(const Command& cmd);
  void StartJob(const std::string& code, const Answer& a);
  // The reply the next poll gets; false: the poll gets no answer.
  bool NextReply(Reply* r);
  Writes AckWrites(bool ack);
  // A reply frame (with a kind byte) or a data reply, through the faults.
  Writes FrameWrites(const Bytes& frame, bool isReply, bool resend);
  Writes Shape(std::vector<Segment> segs);
  Writes PairWrites(bool ack, bool resend);
  Segment ReportSegment(const Bytes& data, bool resend, BinSendKind how);

  Faults faults_;
  std::map<std::string, CommandHandler> handlers_;
  std::map<std::string, CannedReply> canned_;
  DataHandler dataHandler_;
  BinaryHandler binaryHandler_;
  RawHandler rawHandler_;

  std::string idleState_ = "00", idleAux_ = "00";
  Bytes idleData_;
  bool dataReplyOn_ = false;
  Bytes dataReply_;
  bool rawAnswerOn_ = false;
  Bytes rawAnswer_;
  Knob binReport_;
  Bytes binReportData_;

  Job job_;
  std::shared_ptr<InputMode> newMode_;
  Bytes lastFrame_;  // the true last reply or data reply frame, for a NAK
  bool lastIsReply_ = false;
  // Binary: the last answer pair or report frame, for a SYN NAK.
  enum class LastBinary { None, Pair, Report } lastBinary_ = LastBinary::None;
  bool lastPairAck_ = false;
  Bytes lastReportData_;
  bool reportPending_ = false;  // goes out after the next SYN ACK on the wire
  Bytes pendingReport_;
};

}  // namespace sim

// What the simulated device deals in: the transcript of the line, the
// commands it receives and the answers its handlers give.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace sim {

using Bytes = std::vector<uint8_t>;

// Who a transcript line belongs to: bytes from the host, bytes from the
// device, a line event (side channel), or a control line given to the
// simulator.
enum class Dir : uint8_t { Host, Device, Line, Control };

struct TranscriptEntry {
  uint32_t ms = 0;  // since the simulator started
  Dir dir = Dir::Host;
  Bytes bytes;      // exactly what crossed the wire (empty for line and control lines)
  std::string tag;  // decoded: "CMD ST AB", "POLL", "ACK", "REPLY A ST 90", "BIN 3", "RAW" ...
};

// "host", "dev", "line" or "ctl".
const char* DirName(Dir d);
// One transcript line: "000123 host 04 05 | POLL" (milliseconds, direction,
// hex, tag).
std::string FormatEntry(const TranscriptEntry& e);

// A text command as the device received it.
struct Command {
  std::string code;  // the two code bytes
  Bytes data;
};

// A reply frame STX kind code status data ETX BCC, as later polls serve it.
struct Reply {
  char kind = 'A';
  std::string code;  // two bytes; empty: the command's code
  std::string status = "90";
  Bytes data;
};

// Given to an input mode: how it answers and notes what it saw.
class ModeIo {
 public:
  virtual ~ModeIo() = default;
  // Queues bytes for the host as one write; tag names them in the transcript.
  virtual void Send(const Bytes& bytes, const std::string& tag) = 0;
  // Sends a reply frame STX kind code status data ETX BCC (through the reply
  // faults); it becomes the frame a NAK from the host asks for again.
  virtual void SendReply(const Reply& reply) = 0;
  // Sends the last reply frame again, as a NAK from the host asks. A mode
  // entered after a command's final reply sees that NAK (0x15) first when the
  // reply reached the host broken.
  virtual void ResendLast() = 0;
  // Notes host bytes the mode took in the transcript (the simulator does not
  // record what a mode consumes on its own).
  virtual void RecordIn(const Bytes& bytes, const std::string& tag) = 0;
  // Leaves the mode once the current call returns; bytes the mode did not
  // consume go back to the frame parser.
  virtual void Finish() = 0;
  virtual uint32_t NowMs() const = 0;
};

// A custom input mode a command handler can switch the device into (a
// binary block transfer, say): while it is active every byte from the host
// goes to it instead of the frame parser. Runs on the simulator's service
// thread with the simulator locked.
class InputMode {
 public:
  virtual ~InputMode() = default;
  // Offers the bytes received so far; returns how many it consumed. Bytes it
  // leaves are offered again, in front of the next ones (at most 5120 are
  // kept), unless it called io.Finish(), which sends them to the parser.
  virtual size_t Feed(const uint8_t* p, size_t n, ModeIo& io) = 0;
  // Called on every pass of the service loop (at least every 20 ms).
  virtual void Tick(ModeIo& io) { (void)io; }
};

// What a poll of a running command gets from the command's driver.
enum class Step : uint8_t {
  Reply,   // the poll gets the reply the driver filled in; the command goes on
  Last,    // the poll gets the reply the driver filled in; the command is over
  Silent,  // the poll gets no answer at all; the command goes on
  Done,    // the driver is through: this poll and the next ones get the
           // answer's busy polls and replies
};
// Decides the polls of a command whose end depends on time or on a control
// line (a card the operator inserts, a restart). The reply comes in as
// "B <code> 00"; a reply left without a code gets the command's code. Runs
// on the service thread with the simulator locked.
using PollDriver = std::function<Step(Reply* reply)>;

// When a command's input mode begins: once the poll that fetched its last
// reply has been answered (the host then sends its data), or right after
// the ACK of the command (the host sends its data without polling).
enum class ModeStart : uint8_t { AfterReply, AfterAck };

// What a command handler decides. The defaults are the plain device: ACK,
// no busy polls, then "A <code> 90" with no data.
struct Answer {
  bool accept = true;            // false: NAK, the command is dropped
  int busyPolls = 0;             // polls answered "B <code> <busyStatus>" first
  std::string busyStatus = "00";
  char kind = 'A';               // the final reply
  std::string status = "90";
  Bytes data;
  std::vector<Reply> more;       // replies for the polls after the final one
  std::shared_ptr<InputMode> mode;  // the mode the command switches the device into
  ModeStart modeStart = ModeStart::AfterReply;
  PollDriver driver;  // asked at each poll before the busy polls and replies
  bool deaf = false;  // true: no ACK, no NAK, the running command goes on (a
                      // device that is restarting hears nothing)
};
using CommandHandler = std::function<Answer(const Command&)>;

// A data frame STX data ETX BCC from the host: ACK or NAK, and optionally a
// data frame sent back right after the ACK.
struct DataAnswer {
  bool accept = true;
  bool reply = false;
  Bytes replyData;
};
using DataHandler = std::function<DataAnswer(const Bytes& data)>;

// A binary frame from the host (good BCC): SYN ACK or SYN NAK, and optionally
// a binary report frame sent after the SYN ACK.
struct BinaryAnswer {
  bool accept = true;
  bool report = false;
  Bytes reportData;
};
using BinaryHandler = std::function<BinaryAnswer(const Bytes& data)>;

// Unframed bytes from the host (grouped until the line is quiet): the bytes
// to send back, possibly none.
using RawHandler = std::function<Bytes(const Bytes& raw)>;

}  // namespace sim

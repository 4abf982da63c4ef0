// A fake card reader/writer on a pseudo-terminal. It links DIR/COMn to the
// slave side of a pty, creates the side channel DIR/COMn.lines beside it and
// answers the device link's wire protocol from a service thread: text
// commands and polls, data frames, SYN-framed binary frames and raw bytes.
// Tests and the vantor-sim tool drive it with control lines (faults, line
// events, canned answers: see Control) and read back what crossed the wire
// from its transcript.
//
//   sim::Simulator dev;
//   dev.Start({dir, 3, ""});           // DIR/COM3 -> /dev/pts/N
//   dev.Control("badbcc 1");           // next reply frame goes out with a wrong BCC
//   ... the library talks to COM3 ...
//   dev.WaitForTag(sim::Dir::Device, "REPLY A ST 90", 2, 1000);
#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/side_channel.h"
#include "sim/types.h"

namespace sim {

struct Options {
  std::string dir;             // the device folder ($VANTOR_DEVICE_DIR)
  int com = 1;                 // the link is dir/COM<com>
  std::string transcriptPath;  // "" for none; else one line per entry, flushed
};

class Simulator {
 public:
  Simulator();
  ~Simulator();  // Stop()
  Simulator(const Simulator&) = delete;
  Simulator& operator=(const Simulator&) = delete;

  // Opens the pty, links it, creates the side channel, starts the service
  // thread. False with *error set when any step fails (nothing is left
  // behind then).
  bool Start(const Options& options, std::string* error = nullptr);
  // Stops the thread, removes the link and the side-channel file, closes the
  // pty. Safe to call twice.
  void Stop();
  bool running() const;

  // One control line (the language is described in ControlHelp()). Returns
  // "" when done, else the error text. Safe from any thread, also from a
  // handler.
  std::string Control(const std::string& line);
  static const char* ControlHelp();

  // Command handlers, keyed by the two-byte command code; the code "" keys
  // the handler for every code without one of its own. A canned answer set
  // with the control line "reply" wins over a handler; without either a
  // command gets ACK and "A <code> 90". Handlers run on the service thread
  // with the simulator locked: they may call Control but must not block.
  // The control line "device standard" installs the device's common command
  // set as such handlers (for every code, "" included); "device plain"
  // removes them again.
  void SetHandler(const std::string& code, CommandHandler handler);
  void RemoveHandler(const std::string& code);
  void SetDataHandler(DataHandler handler);      // null: ACK only
  void SetBinaryHandler(BinaryHandler handler);  // null: SYN ACK only
  void SetRawHandler(RawHandler handler);        // null: no answer

  // The transcript, oldest first.
  std::vector<TranscriptEntry> Transcript() const;
  void ClearTranscript();
  // Blocks until pred holds for the transcript or timeoutMs passes; the
  // predicate runs with the transcript locked (it must not call back).
  bool WaitForTranscript(const std::function<bool(const std::vector<TranscriptEntry>&)>& pred,
                         int timeoutMs) const;
  // Waits until at least `count` entries of dir have a tag that begins with
  // tagPrefix.
  bool WaitForTag(Dir dir, const std::string& tagPrefix, int count, int timeoutMs) const;
  // Entries of dir whose tag begins with tagPrefix.
  int CountTag(Dir dir, const std::string& tagPrefix) const;

  // The print image RAM that "PI" records and "IB" blocks fill: RAM row ->
  // that row's bytes, leftmost dot in bit 7 (sim/src/image_ram.h).
  std::map<int, Bytes> ImageRows() const;

  // The standard device's print data: the "MS:", "GJ:" and "PD:" commands
  // (code and parameter bytes) loaded since the last "PC" or print, and
  // every card printed since the start or "reset" (its loaded commands and
  // the print command last).
  std::vector<std::string> PrintData() const;
  std::vector<std::vector<std::string>> PrintedCards() const;

  // The side-channel block (null before Start) and the host lines
  // (plat::kHostDtr | kHostRts | kHostBreak) the library wrote into it.
  plat::SideChannelBlock* Lines() const;
  uint32_t HostLines() const;

  std::string LinkPath() const;   // dir/COMn
  std::string SlavePath() const;  // /dev/pts/N ("" after a hang-up)
  std::string LinesPath() const;  // dir/COMn.lines

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace sim

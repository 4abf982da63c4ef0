// The backup RAM clear of the bench's "EEPROM/RAMClear" tab: after the
// operator's confirmation it sends "!!\$." (bytes 21 21 5C 24 2E), while the
// device channel draws the elapsed time and progress on "B" replies
// (gRamClearActive), then reads the first 16 bytes back with "md:660000"
// and shows "O K" when they are all zero, else "N G".
#pragma once
#include <QString>
#include <cstdint>
#include <functional>

namespace quorel {

class FormControls;
class JobHost;
struct BenchJobState;

// The command as the program sends it.
extern const QString kRamClearCommand;
// The read-back line of a cleared RAM.
extern const QString kRamClearedLine;

// The verdict of a reply to "md:660000": its 55 characters from the 7th
// equal the cleared line.
bool RamClearedReply(const QString& replyText);

class RamClearJob {
 public:
  RamClearJob(FormControls& ui, JobHost& host, BenchJobState& state);
  // The millisecond clock that gBusyStartTick is taken from; the device
  // channel's progress must use the same one.
  void SetClock(std::function<uint32_t()> clock) { clock_ = std::move(clock); }
  // CmdRAMClear_Click.
  void Click();

 private:
  void Run();
  void Lock(bool locked);

  FormControls& ui_;
  JobHost& host_;
  BenchJobState& state_;
  std::function<uint32_t()> clock_;
};

}  // namespace quorel

// The DIP-switch test of the bench's "DSW/7Seg/LED/Buzz" tab and the switch
// read other tests use: "!!i" answers both banks as two hex bytes (switch 1
// in bit 0). The test polls until every one of the 16 switches has been seen
// going over and back.
#pragma once
#include <QString>
#include <array>
#include <cstdint>
#include <optional>

namespace quorel {

class FormControls;
class JobHost;
struct BenchJobState;

// ---- rules ----

// The bank's bit string (switch 8 first, switch 1 last) from reply
// characters 6-7 (bank 1) or 8-9 (bank 2) of a "!!i" reply text; "" for
// any other bank.
QString DswBits(const QString& replyText, int bank);

// Sends "!!i" and answers DswBits of its reply; the reply is not judged.
QString DSWRead(JobHost& host, int bank);

// Both banks of a reading; none when the reply text is not a good one
// ("A", "90" at characters 4-5, four hex digits at 6-9).
struct DswReading {
  uint8_t bank1 = 0;
  uint8_t bank2 = 0;
};
std::optional<DswReading> ParseDswReply(const QString& replyText);

// The test states of the 16 switches: 0 not moved, 1 moved once, 2 moved
// twice. Moves count only between good readings: a reading that failed
// (time-out, refusal, garbled data) is skipped, and the next good one is
// compared with the last good one, so a failed exchange can never look
// like every ON switch moving.
class DswTracker {
 public:
  // Feeds one reading (none: a failed exchange); true when a state changed.
  bool Feed(const std::optional<DswReading>& reading);
  int State(int bank, int sw) const { return states_[bank - 1][sw - 1]; }
  // The eight state digits of a bank, switch 1 first.
  QString StateText(int bank) const;
  bool Done() const;
  const std::optional<DswReading>& last() const { return last_; }

 private:
  std::array<std::array<int, 8>, 2> states_{};
  std::optional<DswReading> last_;
};

// The fill colour of a switch in a test state.
uint32_t DswStateColor(int state);

// The DIP-switch frame locked (while a panel check runs) and back to its
// idle look: every switch OFF and untested.
void LockDipFrame(FormControls& ui);
void UnlockDipFrame(FormControls& ui);

// ---- the job ----

class DipSwitchTest {
 public:
  static const QString kStart, kStop;

  DipSwitchTest(FormControls& ui, JobHost& host, BenchJobState& state);
  // CmdDSWTest_Click: starts the test or, while it runs, stops it.
  void Click();
  // The window closes: a running test ends after its current reading.
  void Stop();
  // Draws both banks from their bit strings in the switches' test colours;
  // mode 1 and 2 only (the positions are kept by the tracker).
  void DswGraOnOff(int mode, const QString& bits1, const QString& bits2);
  const DswTracker& tracker() const { return tracker_; }

 private:
  void Run();
  void LockPanel();
  void UnlockPanel();

  FormControls& ui_;
  JobHost& host_;
  BenchJobState& state_;
  DswTracker tracker_;
  bool stop_ = false;
};

}  // namespace quorel

// The card-read endurance test of the Yarsel reader, without its window:
// the operator's card goes out ("CO3") and in ("CI") again for a set number
// of passes, the second half of them in margin mode "!!m2"; card-in replies
// with a magnetic read error ("4x") are counted, a line or communication
// error ("0x") or a jam or hardware error ("3x") ends the run. Every run
// ends with the same sequence ("CL" when a command still runs, "!!m0",
// "COF").
//
// The run is one handler on the GUI thread that keeps the windows live
// inside the channel's waits; a second click during it is the abort, and
// the window's close request stops it the same way. The window shows what
// the run reports through CardReadDisplay.
#pragma once
#include <QString>
#include <cstdint>

#include "core/command_handoff.h"

namespace quorel {

class DeviceChannel;

// ---- rules ----

// Pass `pass` of a run of `count` passes belongs to the second half (sends
// "!!m2"): pass > count / 2 in real division (count 5: passes 3, 4 and 5).
bool InSecondHalf(int32_t pass, int32_t count);

// Track data as LbTrackData shows it: up to 30 characters as they are;
// longer, characters 1-30, CR LF, 31-60, CR LF and the rest (the third
// line is never cut, and is empty for 31 to 60 characters).
QString TrackDataLines(const QString& data);

// The pass count of the count box: its leading number, 0 to 32767 (a
// larger number is 32767, a negative one or no number 0).
int32_t PassCountOf(const QString& text);

// The data of a reply to the command: reply characters from the command's
// length + 4 on ("VS" -> from the 6th).
QString ReplyDataFor(const QString& replyText, const QString& command);

// ---- what the run shows ----

class CardReadDisplay {
 public:
  virtual ~CardReadDisplay() = default;
  virtual void ShowCaption(const QString& caption) = 0;  // CmdTest
  // TxtCount read-only and ChkMargin disabled while locked.
  virtual void SetInputsLocked(bool locked) = 0;
  virtual void ShowMessage(const QString& text) = 0;  // LbMsg
  // LbAns: the reply head on bright green (good) or bright red; an empty
  // head (no reply yet) on the label's own colour.
  virtual void ShowAnswer(const QString& head, bool good) = 0;
  virtual void ShowVersion(const QString& text) = 0;    // LbVS
  virtual void ShowTrackData(const QString& text) = 0;  // LbTrackData (CR LF between lines)
  virtual void ShowErrors(const QString& text) = 0;     // LbError
  virtual void ShowPassCount(const QString& text) = 0;  // LbPassCount
  virtual QString CountText() const = 0;                // TxtCount
  virtual void SetCountText(const QString& text) = 0;
  virtual bool MarginTicked() const = 0;  // ChkMargin
};

class CardReadRun {
 public:
  static const QString kStartCaption;  // "Test Start": idle
  static const QString kAbortCaption;  // "Test Abort": a run goes on

  CardReadRun(DeviceChannel& channel, CardReadDisplay& display);
  CardReadRun(const CardReadRun&) = delete;
  CardReadRun& operator=(const CardReadRun&) = delete;

  // The load state: empty labels, "0 /", count "200", idle, stop flag cleared.
  void Load();
  // CmdTest_Click: a run from idle, the abort while one goes on. A click
  // on "Test Start" while an aborted run is still finishing does nothing.
  void Click();
  // The window's close request: the run under way stops at its next check.
  void RequestStop() { stop_ = 1; }
  // Shows the reply in the shared reply fields for gSendCommand.
  void RespAnalyzer();

  const QString& caption() const { return caption_; }
  bool Active() const { return active_; }
  int16_t stopFlag() const { return stop_; }

 private:
  void Run();
  void AbortPath();
  void EndSequence();
  // Sends the command through the channel; shows the reply when asked.
  ComuOutcome Send(const QString& command, bool show);
  void SetCaption(const QString& caption);
  void RestoreIdle();
  // The run must end now: the port closed, a stop, or the program closing.
  bool MustLeave() const;
  int32_t ReadCount();

  DeviceChannel& channel_;
  CardReadDisplay& display_;
  QString caption_;
  int16_t stop_ = 0;
  bool active_ = false;  // a run's handler is on the stack
};

}  // namespace quorel

// The main window's service buttons: the array Command2 (head power and
// erase values, clock check and setting, head data, sensor voltages and
// thresholds, sensor setting and clearing, counter resets) and Command34
// (all counters into LbEEPForm). They work on the window's controls by name
// and on the device through a JobHost, so tests drive them without widgets.
//
// One busy mark (the console's bCmdBusy) lets one sequence run at a time.
// The two loop buttons (clock check 5, sensor voltages 9) run until pressed
// again; while a loop runs only its own button gets through, and that press
// only ends the loop.
#pragma once
#include <QDateTime>
#include <QString>
#include <cstdint>
#include <functional>

#include "core/command_handoff.h"

namespace quorel {

class FormControls;
class JobHost;

// "CK:" & yymmdd & "0" & weekday (0 Sunday to 6 Saturday) & hhmmss.
QString ClockCommand(const QDateTime& when);

// The sensor voltages of these models are read against 5 V; all others 3.3 V.
bool SensorRefIs5V(const QString& versionText);

class MaintenanceCommands {
 public:
  // busy: the window's bCmdBusy, shared with the console.
  MaintenanceCommands(FormControls& ui, JobHost& host, int16_t& busy);

  void Command2_Click(int index);
  void Command34_Click();

  // Label37's running style while a loop runs (the window centres the
  // label's text); by default nothing.
  void SetLoopStyle(std::function<void(bool running)> style) { loopStyle_ = std::move(style); }
  // The PC clock the clock setting reads; by default the local time now.
  void SetClock(std::function<QDateTime()> clock) { clock_ = std::move(clock); }
  // Seconds between two passes of a loop (0.3).
  void SetLoopPause(float seconds) { loopPause_ = seconds; }

  // The button whose loop runs now, or -1.
  int runningLoop() const { return loop_; }

 private:
  // The button's own steps before the common tail; false when the press
  // ends here (Cancel, the program closing).
  bool OwnSteps(int index, QString* tail);
  // The loop of button 5 or 9: sends `command` every pause until the
  // button's caption is its idle text again. False when the program closes.
  bool RunLoop(int index, const QString& command);
  void PostProcess(int index);
  void HeadDataDisplay();
  void CounterReadout();
  bool Confirmed() const;
  bool Closing() const;

  FormControls& ui_;
  JobHost& host_;
  int16_t& busy_;
  int loop_ = -1;
  ComuOutcome last_ = ComuOutcome::kAnswered;  // of the press's last command
  float loopPause_ = 0.3f;
  std::function<void(bool)> loopStyle_;
  std::function<QDateTime()> clock_;
};

}  // namespace quorel

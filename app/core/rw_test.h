// The continuous write/read test of the main window (button CmdRWTest,
// "Test Start" / "Test Quit"). It sets the device's modes, makes sure a card
// is inside, then writes a known pattern to the selected magnetic tracks
// pass after pass, verifies or reads it back and counts failures per track,
// until the pass count is reached, the user stops it or ErrStop does. It
// reads its options from the window's controls by name and reaches the
// device through a JobHost, so tests drive it without widgets.
//
// Every way out of a run leaves the test idle ("Test Start",
// gRwTestRunning 0); once the run has changed the device's modes, its
// closing steps (card out, the saved modes back) run exactly once.
#pragma once
#include <QString>
#include <array>
#include <cstdint>
#include <functional>

#include "core/command_handoff.h"
#include "core/rw_patterns.h"

namespace quorel {

class FormControls;
class JobHost;

class RwTest {
 public:
  RwTest(FormControls& ui, JobHost& host);

  // Starts the test when it is idle; while it runs (the click arrives
  // inside one of its waits) asks it to stop.
  void CmdRWTest_Click();

  // The window FormEMC: shown when a run with "EMC" starts, closed when it ends.
  void SetEmcWindow(std::function<void()> show, std::function<void()> unload) {
    showEmc_ = std::move(show);
    unloadEmc_ = std::move(unload);
  }
  // Seconds of each of the two MODEM guard waits (1).
  void SetGuardSeconds(float seconds) { guardSeconds_ = seconds; }

  bool running() const { return running_; }
  // -1 when the run counted a failure (mRwError).
  int16_t mRwError() const { return rwError_; }
  // Failures per track and operations (WR, VR, RD) of the last run.
  const std::array<int, 3>& failures() const { return e_; }
  int operations() const { return k_; }
  // The mode pairs saved at the start of the last run, sent back at its end.
  const QString& savedModes() const { return savedModes_; }

 private:
  enum class Exit { kDone, kQuiet, kAborted };

  void Start();
  void Stop();
  // The set-up; false when the run ends there.
  bool SetUp();
  bool SetupSend(const QString& command);
  bool TakeCard();
  // One cycle; returns when its passes end.
  void RunCycle(rwtest::Cycle cycle);
  // One pass; false when the passes end.
  bool Pass(rwtest::Cycle cycle, int i);
  bool WriteTrackData(rwtest::Cycle cycle);
  bool WriteAndCheck(rwtest::Cycle cycle);
  bool Operation(const QString& command);
  bool CheckMayGoOn() const;
  void wrCheck(rwtest::Cycle cycle);
  void wrCheck2(rwtest::Cycle cycle);
  void wrCheck3();
  void ShowCounts(rwtest::Cycle cycle);
  void Display();
  void Print(int i);
  void SecondInterface();
  void ClosingSteps();
  void Idle();
  bool Ticked(const char* name) const;
  bool StopOrClosed() const;
  bool Closing() const;
  void Send(const QString& command);

  FormControls& ui_;
  JobHost& host_;
  std::function<void()> showEmc_, unloadEmc_;
  float guardSeconds_ = 1.0f;

  // One run.
  bool running_ = false;
  bool modesChanged_ = false;
  bool cardOutSent_ = false;
  bool aborted_ = false;
  bool errStop_ = false;
  bool ir_ = false;
  bool margin2Sent_ = false;
  int16_t rwError_ = 0;
  std::array<bool, 3> tracks_{};
  std::array<int, 3> e_{};
  int k_ = 0;
  int irFailures_ = 0;
  int irReads_ = 0;
  int count_ = 0;
  int printLine_ = -1;  // -1: no printing
  int linesPerCard_ = 21;
  QString s1_, s2_;
  QString savedModes_;
  rwtest::Pieces pieces_;
};

}  // namespace quorel

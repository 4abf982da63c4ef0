// The "Jitter" tab of the bench: writes an all-zero pattern on the chosen
// magnetic tracks, has the device measure the clock jitter of each track in
// the insertion ("WR") and the ejection ("VR") direction ("jt:" + track),
// shows the seven figures per track and direction and the device's verdict,
// and ends with an overall verdict kept in a result model.
#pragma once
#include <QString>
#include <array>
#include <functional>

namespace quorel {

class FormControls;
class JobHost;
struct BenchJobState;

// ---- rules ----

// mJitterData: index 0 only cleared; 1 MAX, 2 MIN, 3 AVE, 4 RATE, 5 SPEED,
// 6 THR, 7 verdict.
using JitterData = std::array<QString, 8>;

// The seven fields of a "jt:" reply at their fixed positions when it begins
// "Ajt90"; else the placeholders "--" "--" "--" "--.-" "---" "---" "NG".
JitterData ParseJitterReply(const QString& replyText);

// The track mask digit: track3 track2 track1 as bits, "1" to "7" ("0" when
// none is ticked).
QString JitterTrackDigit(const std::array<bool, 3>& ticked);

// "MS:R0W0D7H<n>C<n>Z1".
QString JitterModeCommand(const QString& digit);

// "WD:<track>/" and 138 "0".
QString JitterWriteCommand(int track);

// The verdicts of one run: per track, insertion and ejection; a track not
// ticked has none and never counts.
class JitterResults {
 public:
  void Reset(const std::array<bool, 3>& ticked);
  void Set(int track, bool ejection, bool ok);
  // Every ticked track judged OK in both directions (a ticked track not yet
  // judged counts as NG).
  bool AllOk() const;

 private:
  std::array<bool, 3> ticked_{};
  std::array<std::array<int, 2>, 3> verdict_{};  // -1 none, 0 NG, 1 OK
};

// ---- the job ----

class JitterTest {
 public:
  static const QString kIdle, kRunning, kChooseKind;

  JitterTest(FormControls& ui, JobHost& host, BenchJobState& state);
  // Sets the window caption ("Mivor Test Mode" and its running suffix).
  void SetCaptionHook(std::function<void(const QString&)> hook) { caption_ = std::move(hook); }
  // The pause that shows the stop message (tests shorten it).
  void SetAbortPause(float seconds) { abortPause_ = seconds; }

  // CmdClockJitterTst_Click.
  void Click();
  // ChkJitter_KeyUp / ChkJitter_MouseUp.
  void PrintOptionChanged();

  const JitterResults& results() const { return results_; }
  const JitterData& lastData() const { return data_; }

 private:
  // Runs from the card wait to the verdict; false when it stopped early.
  bool Run(const std::array<bool, 3>& ticked);
  bool Stopped();
  bool WaitForCard();
  void Pass(int track, bool ejection);
  void ResetGrid();
  void Status(const QString& text, int lamp = -1);
  void End(bool aborted);

  FormControls& ui_;
  JobHost& host_;
  BenchJobState& state_;
  std::function<void(const QString&)> caption_;
  float abortPause_ = 3.0f;
  JitterData data_;
  JitterResults results_;
};

}  // namespace quorel

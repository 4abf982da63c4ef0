// The device clock test of the bench's "Clock" tab: optionally sets the
// device clock from the PC once ("CK:yymmdd0whhmmss"), then reads it ("CK")
// pass after pass and compares it with the PC clock column by column until
// the operator stops it, the port closes or the program closes.
#pragma once
#include <QDateTime>
#include <QString>
#include <functional>

namespace quorel {

class FormControls;
class JobHost;
struct BenchJobState;

// ---- rules ----

// "CK:" yymmdd "0" weekday (0 = Sunday) hhmmss.
QString ClockSetCommand(const QDateTime& pc);
// "Sun." ... "Sat." for 0 to 6, "" otherwise.
QString WeekdayCaption(int digit);
// "日 曜日" ... "土 曜日" for 0 to 6, "" otherwise.
QString WeekdayTip(int digit);
// PC minus device in seconds since midnight; a gap of more than half a day
// is a clock on the other side of midnight and is corrected by a day.
double ClockDifference(double pcSeconds, double deviceSeconds);
// The device time lies within PC - gap .. PC + gap (bounds included).
bool ClockWithinGap(double pcSeconds, double deviceSeconds, int gap);
// TxtCkGap as a whole number (rounded); an empty or non-numeric text is 0.
int ClockGapOf(const QString& text);

// ---- the job ----

class ClockTest {
 public:
  static const QString kStart, kStop, kStopping;

  ClockTest(FormControls& ui, JobHost& host, BenchJobState& state);
  // The PC clock (tests put in a fixed one).
  void SetClock(std::function<QDateTime()> clock) { clock_ = std::move(clock); }
  // CmdTimeSynchronize_Click.
  void Click();
  // ChkCkSet_Click: unlocks or locks the gap setting.
  void SettingClick();

 private:
  void Run();
  void ShowPc(const QDateTime& pc);
  void ShowDevice(const QString& reply, const QDateTime& pc);
  void Judge(int column, bool ok);

  FormControls& ui_;
  JobHost& host_;
  BenchJobState& state_;
  std::function<QDateTime()> clock_;
};

}  // namespace quorel

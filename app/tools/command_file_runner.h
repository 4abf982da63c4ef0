// Command files and their run, without widgets: how a line is read (keyword
// in columns 1-6, command text from column 7), the line table of a run, the
// LOOP counter, the error-stop decision, and the run itself, which talks to
// the device and to the window through two small interfaces.
#pragma once
#include <QString>
#include <QStringList>
#include <cstdint>

#include "core/command_handoff.h"
#include "core/dialogs.h"

namespace quorel {

// A run takes at most this many lines.
constexpr int kMaxRunLines = 300;

enum class LineKind {
  kEnd,      // "END": the run ends
  kLoop,     // "LOOP": target and pass count on the next two lines
  kPoll,     // "POLL": one poll of the device
  kWait,     // "WAIT": seconds on the next line
  kComment,  // "'" in column 1
  kCommand,  // the text from column 7 is a device command
  kSkip,     // a line of six characters or fewer that is no keyword
};

// The keyword is matched on the first six characters in any letter case.
LineKind ClassifyLine(const QString& line);

// The command text of a command line: everything from column 7.
QString CommandOf(const QString& line);

// The text that goes to the device: a command beginning "PD" gets the
// reply macros and then the control macros, any other only the control macros.
QString ExpandCommand(const QString& command);

// The decimal number the text begins with (blanks, sign, digits, a point and
// a fraction, an exponent); 0 when it begins with none.
double LeadingDecimal(const QString& text);

// A parameter line read as a whole number: rounded, halves to the even
// neighbour, and clamped to the 32-bit range.
int64_t WholeParameter(const QString& text);

// The lines of a run: only those followed by CR LF, at most 300. Entry 0 and
// every entry beyond the last are empty, so a keyword whose parameter lines
// lie beyond the table reads empty lines.
class LineTable {
 public:
  static LineTable Split(const QString& text);
  int count() const { return static_cast<int>(lines_.size()); }
  QString at(int64_t line) const;

 private:
  QStringList lines_;
};

// The LOOP step: where the run goes next and the counter it keeps. The lines
// from the target to the LOOP line run `count` times in all (once for a count
// of 1 or less, which leaves the counter at 0 for the next LOOP). A jump to a
// target below 0 ends the run.
struct LoopStep {
  int64_t next = 0;
  int32_t repeat = 0;
  bool endRun = false;
};
LoopStep DecideLoop(int64_t line, int64_t target, int64_t count, int32_t repeat);

// Whether the error stop halts on this outcome of a command. An answered
// command passes with a status beginning "0" or "9", and with "13" when
// APA13 is ignored; a command the channel refused or gave up on never passes.
// A stop, a closed port or the program's end are not errors: the run ends.
bool ErrorStopHalts(ComuOutcome outcome, const QString& status, bool apa13Ignored);

// The text of the error-stop box for the reply shown.
QString ErrorStopText(const QString& replyText);

enum class ErrorChoice { kRetry, kIgnore, kAbort };
ErrorChoice ChoiceOf(BoxAnswer answer);

// The built-in command file shown when the start file cannot be read.
QString SampleCommandFile();

// The device as the run reaches it (the main window's forwarders).
class RunnerDevice {
 public:
  virtual ~RunnerDevice() = default;
  virtual void commIni() = 0;
  // Both open the port first when it is closed.
  virtual ComuOutcome poll() = 0;
  virtual ComuOutcome comu() = 0;
  // The command typed into the main window's send box and sent from there.
  virtual void SendFromConsole(const QString& command) = 0;
};

// What the run shows and reads in its window.
class RunnerView {
 public:
  virtual ~RunnerView() = default;
  virtual void ShowLine(int64_t line) = 0;
  virtual void ShowLoopCount(int32_t repeat) = 0;
  virtual void ShowCommand(const QString& text) = 0;
  virtual void ShowWait(const QString& text) = 0;
  // The running line orange and bold; the last one back to black and plain.
  virtual void Highlight(int64_t line) = 0;
  virtual void Unhighlight() = 0;
  // The whole text black and plain.
  virtual void ClearHighlights() = 0;
  virtual bool ErrorStopTicked() const = 0;
  virtual bool Apa13IgnoresTicked() const = 0;
};

class CommandFileRunner {
 public:
  enum class End {
    kRefused,     // a run is under way, or the channel waits for a restart
    kNoPort,      // the port could not be opened (the box has been shown)
    kFinished,    // the last line ran
    kEndLine,     // an "END" line
    kStopped,     // the stop flag (Abort)
    kPortClosed,  // the port closed under the run
    kClosing,     // the program closes
    kAborted,     // Abort in the error-stop box
  };

  CommandFileRunner(RunnerDevice& device, RunnerView& view) : device_(device), view_(view) {}

  // Runs the text (lines separated by CR LF) line by line.
  End Run(const QString& text);
  // Abort: a poll, "CL" from the main window, and the stop flag. Nothing
  // while the channel waits for a restart or a stop is already asked.
  void Abort();

  bool running() const { return running_; }

 private:
  End Execute(const LineTable& table);
  // The command step of one line; false when the run must end.
  bool RunCommand(const QString& line, End* end);
  void Wait(const QString& parameter);

  RunnerDevice& device_;
  RunnerView& view_;
  bool running_ = false;
};

}  // namespace quorel

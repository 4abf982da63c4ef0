// The one frame every device action of the EEPROM window runs in:
//
//   1. restart-wait test: while the channel waits for a device restart the
//      action does nothing at all;
//   2. busy state: the tab strip and File > Import/Export disabled;
//   3. port check: a closed port is opened (its own open-error box when it
//      cannot be) and then polled once; still closed: the critical box
//      "通信エラー" and the end;
//   4. preamble: "PA" after a power-up report, "CL" while a command runs;
//   5. the action's commands, each through comu;
//   7. the busy state cleared on every way out.
//
// A handler that leaves out a step says so with its JobSteps. Handlers call
// one another: a called handler runs its own frame inside the caller's, and
// the busy state is cleared only when the outermost busy job ends.
//
// A reply is judged only when comu answered it: a command that comu refused
// (the channel busy), never sent or gave up on reads as the channel's own
// time-out mark, kind "E" with empty text and status, whatever the shared
// reply fields still hold; a model check reads this job's own "VS" only.
//
// When the window closes (or the program does) while a job waits, the
// command in flight finishes and nothing more is sent: Send returns false
// and every job unwinds; the window learns when the last one has.
#pragma once
#include <QString>
#include <functional>

#include "core/command_handoff.h"
#include "eeprom/eep_family.h"

namespace quorel::eep {

class EepChannel;
class EepJobRunner;

struct JobSteps {
  bool restartGuard = true;  // step 1
  bool busy = true;          // steps 2 and 7
  bool portCheck = true;     // step 3
  bool preamble = true;      // step 4
};
// Every step; "RS" without the preamble; the right-button "RSS" with the
// port check alone.
constexpr JobSteps kFullJob{};
constexpr JobSteps kResetJob{true, true, true, false};
constexpr JobSteps kPortOnlyJob{false, false, true, false};

// The reply to the job's last command.
struct JobReply {
  QString text;    // kind letter, echoed code, status, data
  QString kind;    // "A", "R", "B", or "E" (time-out, line error, not sent)
  QString status;  // two characters
  ComuOutcome outcome = ComuOutcome::kAnswered;
};

enum class ModelAnswer {
  kFits,       // the version fits the family
  kAccepted,   // it does not, and the user chose OK (or was not asked)
  kCancelled,  // it does not, and the user chose Cancel: the job ends
};

class EepJob {
 public:
  // Puts the command into gSendCommand and sends it with comu. False when
  // the job must end now (the window or the program closes): then nothing
  // was sent, or the command just answered was the last one.
  bool Send(const QString& command);
  const JobReply& reply() const { return reply_; }
  const QString& text() const { return reply_.text; }

  // Sends "VS" and checks the family under the given rule. showVersion, when
  // given, gets the version before any question. On a mismatch the question
  // box (OK/Cancel, titled for the family) is asked unless skipQuestion.
  ModelAnswer CheckModel(Family family, ModelCheck check, bool skipQuestion,
                         const std::function<void(const QString&)>& showVersion = {});
  // This job's version: the data of its own "VS" answered with status "90",
  // else "".
  const QString& version() const { return version_; }

  // The window or the program is closing: send nothing more.
  bool ending() const;

 private:
  friend class EepJobRunner;
  explicit EepJob(EepJobRunner& runner) : runner_(runner) {}

  EepJobRunner& runner_;
  JobReply reply_;
  QString version_;
};

class EepJobRunner {
 public:
  explicit EepJobRunner(EepChannel& channel) : channel_(channel) {}
  EepJobRunner(const EepJobRunner&) = delete;
  EepJobRunner& operator=(const EepJobRunner&) = delete;

  // Shows the busy state (true) or clears it (false).
  void SetBusyDisplay(std::function<void(bool)> show) { showBusy_ = std::move(show); }
  // Runs when the outermost job has ended.
  void SetOnUnwound(std::function<void()> f) { onUnwound_ = std::move(f); }

  // Runs body inside the frame. False when the frame ended the job before
  // the body (restart wait, closed port, closing, the preamble's send).
  bool Run(const JobSteps& steps, const std::function<void(EepJob&)>& body);

  // The busy state for work that sends nothing (the display clear): held
  // while the scope lives, nested like a job's.
  class BusyScope {
   public:
    explicit BusyScope(EepJobRunner& runner);
    ~BusyScope();
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

   private:
    EepJobRunner& runner_;
  };

  int depth() const { return depth_; }
  bool busy() const { return busyDepth_ > 0; }
  // The window closes: the jobs end at their next command.
  void RequestEnd() { endRequested_ = true; }
  void CancelEnd() { endRequested_ = false; }
  bool ending() const;
  EepChannel& channel() { return channel_; }

 private:
  friend class EepJob;
  void EnterBusy();
  void LeaveBusy();
  bool PortReady();

  EepChannel& channel_;
  std::function<void(bool)> showBusy_;
  std::function<void()> onUnwound_;
  int depth_ = 0;
  int busyDepth_ = 0;
  bool endRequested_ = false;
};

}  // namespace quorel::eep

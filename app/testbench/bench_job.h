// What every job of the test bench does around its own commands: the one-
// job-at-a-time rule, the port check with its optional "通信エラー" box and
// the "PA"/"CL" preamble, sending a command and judging its own answer, and
// the card wait ("ST" until a card is in, then "CI"). Each test keeps its
// own sequence in its own class; these helpers only frame it.
#pragma once
#include <QString>
#include <cstdint>
#include <functional>

#include "core/command_handoff.h"

namespace quorel {

class JobHost;

// The bench window's job state. mAbortRequest is -1 when the running job
// must stop (second press of its button, the window's close).
struct BenchJobState {
  int16_t mAbortRequest = 0;
  bool running = false;  // a job's handler is on the stack
};

// Marks a job as running for its lifetime. A start while another job runs is
// ignored by the caller (Acquired() false): jobs never nest, because a job
// started inside another's wait would find every command refused.
class BenchJobScope {
 public:
  explicit BenchJobScope(BenchJobState& state) : state_(state), acquired_(!state.running) {
    if (acquired_) state_.running = true;
  }
  ~BenchJobScope() {
    if (acquired_) state_.running = false;
  }
  BenchJobScope(const BenchJobScope&) = delete;
  BenchJobScope& operator=(const BenchJobScope&) = delete;
  bool Acquired() const { return acquired_; }

 private:
  BenchJobState& state_;
  bool acquired_;
};

// Port check and preamble: opens the port when it is closed (then polls for
// the device's state), else acts on the last reply; sends "PA" after a
// power-up report or "CL" while a command still runs. False when the port
// cannot be opened: nothing was sent; with errorBox the critical box
// "通信できません！" titled "通信エラー" was shown first.
bool BenchPortReady(JobHost& host, bool errorBox);

// gSendCommand = command, then comu; true only when the command's own
// answer arrived (a refused or unanswered exchange is never judged on an
// older reply).
bool BenchSend(JobHost& host, const QString& command);

// A two-letter command passed: answered, and the reply begins "A", the code
// and "90".
bool BenchPassed(JobHost& host, const QString& command);

// The running job must end now: a stop request, a closed port or the
// program closing.
bool BenchMustEnd(const BenchJobState& state);

// The card wait: shows "カードを挿入してください", then sends "ST" until reply
// character 6 or 7 is "1", then "CI". False when it ended without a card
// (stop request, closed port, program closing): no "CI" was sent.
bool BenchWaitForCard(JobHost& host, const BenchJobState& state, const std::function<void(const QString&)>& message);

}  // namespace quorel

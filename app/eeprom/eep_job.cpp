#include "eeprom/eep_job.h"

#include "core/dialogs.h"
#include "core/job_preamble.h"
#include "core/main_module.h"
#include "eeprom/eep_channel.h"
#include "eeprom/eep_rows.h"

namespace quorel::eep {
namespace {

// Leaves the frame on every way out of Run.
class Frame {
 public:
  Frame(int* depth, std::function<void()>* onUnwound) : depth_(depth), onUnwound_(onUnwound) { ++*depth_; }
  ~Frame() {
    if (--*depth_ == 0 && *onUnwound_) (*onUnwound_)();
  }
  Frame(const Frame&) = delete;
  Frame& operator=(const Frame&) = delete;

 private:
  int* depth_;
  std::function<void()>* onUnwound_;
};

}  // namespace

bool EepJob::ending() const { return runner_.ending(); }

bool EepJob::Send(const QString& command) {
  if (runner_.ending()) {
    reply_ = {QString(), QStringLiteral("E"), QString(), ComuOutcome::kClosing};
    return false;
  }
  MainModule& m = mm();
  m.gSendCommand = command;
  const ComuOutcome outcome = runner_.channel_.comu();
  if (outcome == ComuOutcome::kAnswered)
    reply_ = {m.gReplyText, m.gReplyKind, m.gReplyStatus, outcome};
  else
    reply_ = {QString(), QStringLiteral("E"), QString(), outcome};
  return outcome != ComuOutcome::kClosing && !runner_.ending();
}

ModelAnswer EepJob::CheckModel(Family family, ModelCheck check, bool skipQuestion,
                               const std::function<void(const QString&)>& showVersion) {
  if (!Send(QStringLiteral("VS"))) return ModelAnswer::kCancelled;
  version_ =
      reply_.kind == QLatin1String("A") && reply_.status == QLatin1String("90") ? ReplyData(reply_.text) : QString();
  if (showVersion) showVersion(version_);
  if (!ModelMismatch(family, check, version_)) return ModelAnswer::kFits;
  if (skipQuestion) return ModelAnswer::kAccepted;
  const BoxAnswer a =
      MsgBox(ModelQuestionText(), BoxButtons::kOkCancel, BoxIcon::kQuestion, ModelQuestionTitle(family));
  if (a != BoxAnswer::kOk || ending()) return ModelAnswer::kCancelled;
  return ModelAnswer::kAccepted;
}

bool EepJobRunner::ending() const { return endRequested_ || mm().gAppClosing == 1; }

void EepJobRunner::EnterBusy() {
  if (busyDepth_++ == 0 && showBusy_) showBusy_(true);
}

void EepJobRunner::LeaveBusy() {
  if (--busyDepth_ == 0 && showBusy_) showBusy_(false);
}

EepJobRunner::BusyScope::BusyScope(EepJobRunner& runner) : runner_(runner) { runner_.EnterBusy(); }
EepJobRunner::BusyScope::~BusyScope() { runner_.LeaveBusy(); }

bool EepJobRunner::PortReady() {
  MainModule& m = mm();
  if (m.gPortOpen) return true;
  channel_.commIni();
  if (!m.gPortOpen) {
    MsgBox(QStringLiteral("通信できません！\r\n通信設定やケーブルを見直してください。"), BoxButtons::kOk,
           BoxIcon::kCritical, QStringLiteral("通信エラー"));
    return false;
  }
  return channel_.poll() != ComuOutcome::kClosing && !ending();
}

bool EepJobRunner::Run(const JobSteps& steps, const std::function<void(EepJob&)>& body) {
  if (steps.restartGuard && mm().gResetWaiting != 0) return false;
  if (ending()) return false;
  Frame frame(&depth_, &onUnwound_);
  struct Busy {
    EepJobRunner* runner;
    ~Busy() {
      if (runner) runner->LeaveBusy();
    }
  } busy{steps.busy ? this : nullptr};
  if (steps.busy) EnterBusy();
  if (steps.portCheck && !PortReady()) return false;
  EepJob job(*this);
  if (steps.preamble) {
    const MainModule& m = mm();
    const QString preamble = PreambleCommand(m.gReplyKind, m.gReplyStatus);
    if (!preamble.isEmpty() && !job.Send(preamble)) return false;
  }
  body(job);
  return true;
}

}  // namespace quorel::eep

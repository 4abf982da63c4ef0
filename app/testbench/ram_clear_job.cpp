#include "testbench/ram_clear_job.h"

#include "core/dialogs.h"
#include "core/form_controls.h"
#include "core/job_host.h"
#include "core/main_module.h"
#include "platform/clock.h"
#include "testbench/bench_job.h"
#include "testbench/bench_settings.h"

namespace quorel {
namespace {

constexpr uint32_t kOkGreen = 0xFF00;
constexpr uint32_t kNgRed = 0xFF;
constexpr uint32_t kCleaningOrange = 0x80C0FF;

const QString kStatus = QStringLiteral("LbRAMClear");
const QString kVerdict = QStringLiteral("LbRAMClearOKNG");
const QString kBar = QStringLiteral("ProgBarRAMClear");

}  // namespace

const QString kRamClearCommand = QStringLiteral("!!\\$.");
const QString kRamClearedLine = QStringLiteral("660000: 00 00 00 00 00 00 00 00-00 00 00 00 00 00 00 00");

bool RamClearedReply(const QString& replyText) { return replyText.mid(6, 55) == kRamClearedLine; }

RamClearJob::RamClearJob(FormControls& ui, JobHost& host, BenchJobState& state)
    : ui_(ui), host_(host), state_(state), clock_(plat::TickMs) {}

void RamClearJob::Lock(bool locked) {
  ui_.SetEnabled(QStringLiteral("SSTabMivorTest"), -1, !locked);
  ui_.SetEnabled(QStringLiteral("FrameEEP"), -1, !locked);
  ui_.SetEnabled(QStringLiteral("FrameRAMClear"), -1, !locked);
}

void RamClearJob::Click() {
  MainModule& m = mm();
  if (m.gResetWaiting) return;
  BenchJobScope scope(state_);
  if (!scope.Acquired()) return;  // another bench job runs
  Lock(true);
  ui_.SetText(QStringLiteral("LbRAMPercent"), -1, QStringLiteral("0%"));
  m.gRamClearActive = 1;
  m.gStopRequest = 0;
  Run();
  Lock(false);
  m.gRamClearActive = 0;
}

void RamClearJob::Run() {
  MainModule& m = mm();
  // Erasing is not undone: Enter must not do it, Cancel is the default.
  const BoxAnswer answer =
      MsgBox(QStringLiteral("ＲＡＭ上の全ての設定が消去されます。\nよろしいでしょうか？"), BoxButtons::kOkCancel,
             BoxIcon::kExclamation, QStringLiteral("RAM Clear Mode"), BoxDefault::kSecond);
  if (answer != BoxAnswer::kOk) return;
  ui_.SetForeColor(kStatus, -1, kButtonText);
  ui_.SetText(kStatus, -1, QStringLiteral("Status"));
  ui_.SetValue(kBar, -1, 0);
  ui_.SetText(kVerdict, -1, QString());
  if (!BenchPortReady(host_, false)) return;
  m.gProgressPct = 0;
  ui_.SetValue(kBar, -1, 0);
  ui_.SetForeColor(kStatus, -1, kCleaningOrange);
  ui_.SetText(kStatus, -1, QStringLiteral("RAM Cleaning"));
  m.gBusyStartTick = static_cast<int32_t>(clock_());
  BenchSend(host_, kRamClearCommand);
  // Only the read-back's own answer is judged, never an older reply.
  const bool cleared = BenchSend(host_, QStringLiteral("md:660000")) && RamClearedReply(m.gReplyText);
  ui_.SetForeColor(kVerdict, -1, cleared ? kOkGreen : kNgRed);
  ui_.SetText(kVerdict, -1, cleared ? QStringLiteral("O K") : QStringLiteral("N G"));
  ui_.SetForeColor(kStatus, -1, kButtonText);
  ui_.SetText(kStatus, -1, QStringLiteral("finished"));
}

}  // namespace quorel

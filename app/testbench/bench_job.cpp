#include "testbench/bench_job.h"

#include "core/dialogs.h"
#include "core/event_wait.h"
#include "core/job_host.h"
#include "core/job_preamble.h"
#include "core/main_module.h"

namespace quorel {

bool BenchPortReady(JobHost& host, bool errorBox) {
  MainModule& m = mm();
  if (!m.gPortOpen) {
    host.commIni();
    if (!m.gPortOpen) {
      if (errorBox)
        MsgBox(QStringLiteral("通信できません！\n通信設定やケーブルを見直してください。"), BoxButtons::kOk,
               BoxIcon::kCritical, QStringLiteral("通信エラー"));
      return false;
    }
    host.poll();
  }
  const QString preamble = PreambleCommand(m.gReplyKind, m.gReplyStatus);
  if (!preamble.isEmpty()) BenchSend(host, preamble);
  return true;
}

bool BenchSend(JobHost& host, const QString& command) {
  mm().gSendCommand = command;
  return host.comu() == ComuOutcome::kAnswered;
}

bool BenchPassed(JobHost& host, const QString& command) {
  if (!BenchSend(host, command)) return false;
  return mm().gReplyText.left(5) == QLatin1Char('A') + CommandCode(command) + QStringLiteral("90");
}

bool BenchMustEnd(const BenchJobState& state) {
  const MainModule& m = mm();
  return state.mAbortRequest != 0 || !m.gPortOpen || m.gAppClosing == 1;
}

bool BenchWaitForCard(JobHost& host, const BenchJobState& state, const std::function<void(const QString&)>& message) {
  if (message) message(QStringLiteral("カードを挿入してください"));
  for (;;) {
    PumpPendingEvents();
    if (BenchMustEnd(state)) return false;
    const bool answered = BenchSend(host, QStringLiteral("ST"));
    PumpPendingEvents();
    const QString& reply = mm().gReplyText;
    if (answered && (reply.mid(5, 1) == QLatin1String("1") || reply.mid(6, 1) == QLatin1String("1"))) break;
    if (BenchMustEnd(state)) return false;
  }
  BenchSend(host, QStringLiteral("CI"));
  return true;
}

}  // namespace quorel

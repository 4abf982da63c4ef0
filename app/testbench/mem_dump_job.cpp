#include "testbench/mem_dump_job.h"

#include <algorithm>

#include "core/device_channel.h"
#include "core/dialogs.h"
#include "core/event_wait.h"
#include "core/job_preamble.h"
#include "core/main_module.h"
#include "testbench/mem_dump_text.h"

namespace quorel {
namespace {

const QString kCrLf = QStringLiteral("\r\n");

// Marks the dump's handler as on the stack for its scope.
class RunningScope {
 public:
  explicit RunningScope(bool& flag) : flag_(flag) { flag_ = true; }
  ~RunningScope() { flag_ = false; }
  RunningScope(const RunningScope&) = delete;
  RunningScope& operator=(const RunningScope&) = delete;

 private:
  bool& flag_;
};

}  // namespace

const QString MemDumpJob::kStartCaption = QStringLiteral("Start");
const QString MemDumpJob::kStopCaption = QStringLiteral("Stop");

MemDumpJob::MemDumpJob(DeviceChannel& channel, MemDumpDisplay& display)
    : channel_(channel), display_(display), caption_(kStartCaption) {}

void MemDumpJob::SetCaption(const QString& caption) {
  caption_ = caption;
  display_.ShowCaption(caption);
}

bool MemDumpJob::MustEnd() const {
  const MainModule& m = mm();
  return !m.gPortOpen || m.gDumpStop == 1;
}

ComuOutcome MemDumpJob::Send(const QString& command) {
  mm().gSendCommand = command;
  ComuOptions options;
  options.endOnDumpStop = true;
  return channel_.comu(options);
}

void MemDumpJob::Click() {
  MainModule& m = mm();
  if (m.gResetWaiting) return;
  if (caption_ != kStartCaption) {
    // Stop: the running dump ends at its next check; the channel stops
    // waiting for the dump's reply in flight.
    SetCaption(kStartCaption);
    m.gDumpStop = 1;
    return;
  }
  // A stopped dump still on its way out.
  if (running_) return;

  const QString startText = NormalizeAddress(display_.StartText());
  const QString endText = NormalizeAddress(display_.EndText());
  const std::optional<uint32_t> start = AddressValue(startText);
  const std::optional<uint32_t> end = AddressValue(endText);
  if (!start || !end || *end < *start) {
    MsgBox(QStringLiteral("開始アドレスと終了アドレスは16進数6桁で入力してください。\r\n"
                          "終了アドレスは開始アドレス以上にしてください。"),
           BoxButtons::kOk, BoxIcon::kExclamation, QStringLiteral("MemoryDump"));
    return;
  }
  if (startText != display_.StartText()) {
    display_.SetStartText(startText);
    display_.ShowLastLine(startText);
  }
  if (endText != display_.EndText()) display_.SetEndText(endText);
  Run(*start, *end);
}

void MemDumpJob::Run(uint32_t start, uint32_t end) {
  const RunningScope scope(running_);
  MainModule& m = mm();
  SetCaption(kStopCaption);
  m.gDumpStop = 0;
  display_.SetDumpText(QString());
  dump_.clear();

  QString addressPart = QLatin1Char(':') + AddressText(start);
  const uint32_t last = CappedEnd(start, end);
  const QString endText = AddressText(last);
  if (last != end) display_.SetEndText(endText);
  const bool monitor = display_.Monitor();

  if (!m.gPortOpen) {
    channel_.commIni();
    if (m.gPortOpen) channel_.poll();
  }
  if (m.gAppClosing == 1) return;
  if (MustEnd()) return Finish(monitor);

  // A device that has just powered up is acknowledged; a command still
  // running is cleared.
  if (PreambleCommand(m.gReplyKind, m.gReplyStatus) == QLatin1String("PA")) {
    Send(QStringLiteral("PA"));
    channel_.poll();
    if (m.gAppClosing == 1) return;
    if (MustEnd()) return Finish(monitor);
  }
  if (m.gReplyKind == QLatin1String("B")) {
    Send(QStringLiteral("CL"));
    if (m.gAppClosing == 1) return;
    if (MustEnd()) return Finish(monitor);
  }

  display_.SetSaveEnabled(false);
  display_.SetLocked(true);
  const int span = static_cast<int>(last - start);
  const int maximum = span + 16;
  display_.SetProgressRange(1, maximum);
  display_.SetProgress(1);
  int64_t counter = 1;

  for (;;) {
    PumpPendingEvents();
    if (m.gAppClosing == 1) return;
    // A Stop that came before the send: nothing more to ask.
    if (MustEnd()) break;
    const ComuOutcome outcome = Send(QStringLiteral("md") + addressPart);
    if (outcome == ComuOutcome::kClosing) return;
    // Without an answer the reply fields still hold the line before.
    if (outcome != ComuOutcome::kAnswered) break;
    if (!GoodDumpReply(m.gReplyText)) break;
    if (const std::optional<QString> line = LineOfReply(m.gReplyText)) {
      if (PastEnd(*line, endText)) break;
      const QString lead = addressPart.isEmpty() ? kCrLf : DumpHeader() + kCrLf;
      dump_ += lead;
      if (monitor) display_.AppendDumpText(lead);
      display_.ShowLastLine(*line);
      dump_ += *line;
      if (monitor) display_.AppendDumpText(*line);
      addressPart.clear();
    }
    display_.SetProgress(static_cast<int>(std::min<int64_t>(counter, maximum)));
    counter += 16;
    display_.ShowPercent(PercentText(counter, span));
    if (m.gAppClosing == 1) return;
  }
  Finish(monitor);
}

void MemDumpJob::Finish(bool monitor) {
  if (!monitor && !dump_.isEmpty()) display_.SetDumpText(dump_);
  display_.SetLocked(false);
  display_.SetSaveEnabled(!dump_.isEmpty());
  SetCaption(kStartCaption);
}

void MemDumpJob::Close() {
  MainModule& m = mm();
  m.gDumpStop = 1;
  m.gReplyText.clear();
}

}  // namespace quorel

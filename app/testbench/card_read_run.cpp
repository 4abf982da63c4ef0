#include "testbench/card_read_run.h"

#include "core/conversions.h"
#include "core/device_channel.h"
#include "core/event_wait.h"
#include "core/job_preamble.h"
#include "core/main_module.h"

namespace quorel {
namespace {

constexpr int32_t kMaxPasses = 32767;
constexpr qsizetype kTrackLine = 30;
constexpr int64_t kLongestSleepMs = 200;

const QString kCrLf = QStringLiteral("\r\n");

bool Is(const QString& s, const char* text) { return s == QLatin1String(text); }

// Marks the run's handler as on the stack for its scope.
class ActiveScope {
 public:
  explicit ActiveScope(bool& flag) : flag_(flag) { flag_ = true; }
  ~ActiveScope() { flag_ = false; }
  ActiveScope(const ActiveScope&) = delete;
  ActiveScope& operator=(const ActiveScope&) = delete;

 private:
  bool& flag_;
};

}  // namespace

const QString CardReadRun::kStartCaption = QStringLiteral("Test Start");
const QString CardReadRun::kAbortCaption = QStringLiteral("Test Abort");

bool InSecondHalf(int32_t pass, int32_t count) { return static_cast<double>(pass) > count / 2.0; }

QString TrackDataLines(const QString& data) {
  if (data.size() <= kTrackLine) return data;
  return data.left(kTrackLine) + kCrLf + data.mid(kTrackLine, kTrackLine) + kCrLf + data.mid(2 * kTrackLine);
}

int32_t PassCountOf(const QString& text) { return static_cast<int32_t>(LeadingNumber(text, 0, kMaxPasses)); }

QString ReplyDataFor(const QString& replyText, const QString& command) { return replyText.mid(command.size() + 3); }

CardReadRun::CardReadRun(DeviceChannel& channel, CardReadDisplay& display)
    : channel_(channel), display_(display), caption_(kStartCaption) {}

void CardReadRun::Load() {
  display_.ShowMessage(QString());
  display_.ShowAnswer(QString(), true);
  display_.ShowVersion(QString());
  display_.ShowTrackData(QString());
  display_.ShowErrors(QString());
  display_.ShowPassCount(QStringLiteral("0 /"));
  display_.SetCountText(QStringLiteral("200"));
  SetCaption(kStartCaption);
  display_.SetInputsLocked(false);
  stop_ = 0;
}

void CardReadRun::SetCaption(const QString& caption) {
  caption_ = caption;
  display_.ShowCaption(caption);
}

void CardReadRun::RestoreIdle() {
  SetCaption(kStartCaption);
  display_.SetInputsLocked(false);
}

bool CardReadRun::MustLeave() const {
  const MainModule& m = mm();
  return !m.gPortOpen || stop_ != 0 || m.gAppClosing == 1;
}

int32_t CardReadRun::ReadCount() {
  const QString text = display_.CountText();
  const int32_t count = PassCountOf(text);
  // The box shows the count the run uses.
  const QString shown = QString::number(count);
  if (text != shown) display_.SetCountText(shown);
  return count;
}

ComuOutcome CardReadRun::Send(const QString& command, bool show) {
  mm().gSendCommand = command;
  const ComuOutcome outcome = channel_.comu();
  if (show && outcome != ComuOutcome::kClosing) RespAnalyzer();
  return outcome;
}

void CardReadRun::Click() {
  if (mm().gResetWaiting) return;
  if (caption_ != kStartCaption) {
    AbortPath();
    return;
  }
  // An aborted run still finishing owns the channel: a new one now would
  // only have its commands refused.
  if (active_) return;
  Run();
}

void CardReadRun::AbortPath() {
  SetCaption(kStartCaption);
  stop_ = 1;
  // The run under way sees the flag when its current exchange ends and runs
  // the end sequence itself, so the device gets it once.
  if (active_) return;
  EndSequence();
}

void CardReadRun::Run() {
  const ActiveScope scope(active_);
  MainModule& m = mm();
  SetCaption(kAbortCaption);
  display_.SetInputsLocked(true);
  stop_ = 0;
  display_.ShowErrors(QStringLiteral("0"));

  // An open port; a closed one is opened here, and one that cannot be
  // opened ends the run (the opening attempt reports it).
  if (!m.gPortOpen) channel_.commIni();
  if (m.gPortOpen) channel_.poll();
  if (MustLeave()) {
    if (m.gAppClosing != 1) RestoreIdle();
    return;
  }

  // A device that has just powered up is acknowledged; a command still
  // running is cleared.
  if (PreambleCommand(m.gReplyKind, m.gReplyStatus) == QLatin1String("PA")) {
    Send(QStringLiteral("PA"), false);
    channel_.poll();
    if (MustLeave()) {
      if (m.gAppClosing != 1) RestoreIdle();
      return;
    }
  }
  if (Is(m.gReplyKind, "B")) {
    Send(QStringLiteral("CL"), false);
    if (MustLeave()) {
      if (m.gAppClosing != 1) RestoreIdle();
      return;
    }
  }

  int32_t errors = 0;
  if (display_.MarginTicked()) Send(QStringLiteral("!!m1"), true);
  Send(QStringLiteral("VS"), true);
  display_.ShowMessage(QStringLiteral(" カードを挿入してください！"));
  // Pass 1: the operator's card.
  Send(QStringLiteral("CI"), true);
  if (m.gReplyStatus.startsWith(QLatin1Char('4'))) {
    errors = 1;
    display_.ShowErrors(QStringLiteral("1"));
  }

  if (!MustLeave()) {
    display_.ShowMessage(QStringLiteral(" 連続リードテスト中！！"));
    const int32_t count = ReadCount();
    for (int32_t pass = 2; pass <= count; ++pass) {
      Send(QStringLiteral("CO3"), true);
      Send(QStringLiteral("CL"), true);
      if (InSecondHalf(pass, ReadCount())) Send(QStringLiteral("!!m2"), true);
      mm().gSendCommand = QStringLiteral("CI");
      const ComuOutcome cardIn = channel_.comu();
      // A card-in the channel would not send has no reply to wait for.
      if (cardIn == ComuOutcome::kBusy) break;
      PumpUntil([&]() -> int64_t { return Is(m.gReplyKind, "A") || MustLeave() ? -1 : kLongestSleepMs; });
      if (m.gAppClosing == 1) return;
      RespAnalyzer();
      if (m.gReplyStatus.startsWith(QLatin1Char('4'))) display_.ShowErrors(QString::number(++errors));
      display_.ShowPassCount(QString::number(pass) + QStringLiteral(" /"));
      if (m.gReplyStatus.startsWith(QLatin1Char('0')) || m.gReplyStatus.startsWith(QLatin1Char('3')) || MustLeave())
        break;
    }
  }
  if (m.gAppClosing == 1) return;
  EndSequence();
}

void CardReadRun::EndSequence() {
  const MainModule& m = mm();
  if (Is(m.gReplyKind, "B")) Send(QStringLiteral("CL"), true);
  Send(QStringLiteral("!!m0"), true);
  display_.ShowMessage(QStringLiteral(" テスト終了"));
  channel_.poll();
  Send(QStringLiteral("COF"), true);
  RestoreIdle();
}

void CardReadRun::RespAnalyzer() {
  const MainModule& m = mm();
  const QString& reply = m.gReplyText;
  display_.ShowAnswer(reply.left(5), Is(m.gReplyStatus, "90"));
  const QString code = reply.mid(1, 2);
  if (Is(code, "VS")) {
    display_.ShowVersion(ReplyDataFor(reply, m.gSendCommand));
  } else if (Is(code, "CI")) {
    display_.ShowTrackData(TrackDataLines(ReplyDataFor(reply, m.gSendCommand)));
  }
}

}  // namespace quorel

#include "tools/command_file_runner.h"

#include <QLocale>
#include <algorithm>
#include <cmath>
#include <limits>

#include "core/event_wait.h"
#include "core/main_module.h"
#include "core/text_macros.h"

namespace quorel {
namespace {

constexpr int kKeyColumns = 6;

bool IsDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

bool IsBlank(QChar c) {
  return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n') || c == QLatin1Char('\r');
}

// Ends the run's bookkeeping however Run returns.
class RunningFlag {
 public:
  explicit RunningFlag(bool& flag) : flag_(flag) { flag_ = true; }
  ~RunningFlag() { flag_ = false; }
  RunningFlag(const RunningFlag&) = delete;
  RunningFlag& operator=(const RunningFlag&) = delete;

 private:
  bool& flag_;
};

}  // namespace

LineKind ClassifyLine(const QString& line) {
  const QString key = line.left(kKeyColumns).toUpper();
  if (key.startsWith(QLatin1String("END"))) return LineKind::kEnd;
  if (key.startsWith(QLatin1String("LOOP"))) return LineKind::kLoop;
  if (key.startsWith(QLatin1String("POLL"))) return LineKind::kPoll;
  if (key.startsWith(QLatin1String("WAIT"))) return LineKind::kWait;
  if (key.startsWith(QLatin1Char('\''))) return LineKind::kComment;
  return line.size() > kKeyColumns ? LineKind::kCommand : LineKind::kSkip;
}

QString CommandOf(const QString& line) { return line.mid(kKeyColumns); }

QString ExpandCommand(const QString& command) {
  if (command.startsWith(QLatin1String("PD"))) return ExpandCtrlMacros(ExpandTextMacros(command));
  return ExpandCtrlMacros(command);
}

double LeadingDecimal(const QString& text) {
  qsizetype i = 0;
  const qsizetype n = text.size();
  while (i < n && IsBlank(text.at(i))) ++i;
  const qsizetype start = i;
  if (i < n && (text.at(i) == QLatin1Char('+') || text.at(i) == QLatin1Char('-'))) ++i;
  qsizetype digits = 0;
  while (i < n && IsDigit(text.at(i))) ++i, ++digits;
  if (i < n && text.at(i) == QLatin1Char('.')) {
    ++i;
    while (i < n && IsDigit(text.at(i))) ++i, ++digits;
  }
  if (digits == 0) return 0.0;
  qsizetype end = i;
  if (i < n && (text.at(i) == QLatin1Char('e') || text.at(i) == QLatin1Char('E'))) {
    qsizetype j = i + 1;
    if (j < n && (text.at(j) == QLatin1Char('+') || text.at(j) == QLatin1Char('-'))) ++j;
    if (j < n && IsDigit(text.at(j))) {
      while (j < n && IsDigit(text.at(j))) ++j;
      end = j;
    }
  }
  bool ok = false;
  const QString number = text.mid(start, end - start);
  const double value = QLocale::c().toDouble(number, &ok);
  if (ok && std::isfinite(value)) return value;
  // Only an exponent beyond the double range fails here: far below or far above.
  const bool negative = number.startsWith(QLatin1Char('-'));
  const bool tiny = number.contains(QLatin1String("e-"), Qt::CaseInsensitive);
  if (tiny) return 0.0;
  return negative ? -std::numeric_limits<double>::max() : std::numeric_limits<double>::max();
}

int64_t WholeParameter(const QString& text) {
  const double rounded = std::nearbyint(LeadingDecimal(text));  // halves to even
  if (rounded <= static_cast<double>(std::numeric_limits<int32_t>::min())) return std::numeric_limits<int32_t>::min();
  if (rounded >= static_cast<double>(std::numeric_limits<int32_t>::max())) return std::numeric_limits<int32_t>::max();
  return static_cast<int64_t>(rounded);
}

LineTable LineTable::Split(const QString& text) {
  LineTable table;
  const QLatin1String crlf("\r\n");
  qsizetype from = 0;
  while (table.lines_.size() < kMaxRunLines) {
    const qsizetype at = text.indexOf(crlf, from);
    if (at < 0) break;
    table.lines_.append(text.mid(from, at - from));
    from = at + 2;
  }
  return table;
}

QString LineTable::at(int64_t line) const {
  if (line < 1 || line > lines_.size()) return QString();
  return lines_.at(static_cast<qsizetype>(line - 1));
}

LoopStep DecideLoop(int64_t line, int64_t target, int64_t count, int32_t repeat) {
  LoopStep step;
  bool jump = false;
  if (repeat <= 0) {
    // The first pass ends here: count - 1 passes remain. A count of 1 or
    // less leaves none, and the counter at 0 for a later LOOP.
    const int64_t left = count - 1;
    step.repeat = left > 0 ? static_cast<int32_t>(std::min<int64_t>(left, std::numeric_limits<int32_t>::max())) : 0;
    jump = step.repeat > 0;
  } else if (repeat > 1) {
    step.repeat = repeat - 1;
    jump = true;
  } else {
    step.repeat = 0;
  }
  if (!jump) {
    step.next = line + 3;
  } else if (target < 0) {
    step.endRun = true;
  } else {
    step.next = target;
  }
  return step;
}

bool ErrorStopHalts(ComuOutcome outcome, const QString& status, bool apa13Ignored) {
  switch (outcome) {
    case ComuOutcome::kAnswered:
      if (apa13Ignored && status == QLatin1String("13")) return false;
      return !(status.startsWith(QLatin1Char('0')) || status.startsWith(QLatin1Char('9')));
    case ComuOutcome::kBusy:
    case ComuOutcome::kAbandoned:
      return true;
    case ComuOutcome::kPortClosed:
    case ComuOutcome::kStopped:
    case ComuOutcome::kClosing:
      return false;
  }
  return true;
}

QString ErrorStopText(const QString& replyText) {
  return QStringLiteral("エラー発生 \"") + replyText +
         QStringLiteral("\"\r\n\r\n[キャンセル]終了 / [再試行]続行 / [無視]無視");
}

ErrorChoice ChoiceOf(BoxAnswer answer) {
  if (answer == BoxAnswer::kRetry) return ErrorChoice::kRetry;
  if (answer == BoxAnswer::kIgnore) return ErrorChoice::kIgnore;
  return ErrorChoice::kAbort;
}

QString SampleCommandFile() {
  static const char* const kLines[] = {
      "' サンプル", "POLL**",   "PowAckPA", "COMANDCL",
      "COMANDCI",  "Print>PC", "Print>PD:0/10/50/esc$e22Mivorlf$esc$e11Sample Print",
      "COMANDPO",  "wait",     "1",
      "Loop",      "4",        "1000",
      "END"};
  QString text;
  for (const char* line : kLines) text += QString::fromUtf8(line) + QStringLiteral("\r\n");
  return text;
}

CommandFileRunner::End CommandFileRunner::Run(const QString& text) {
  MainModule& m = mm();
  // A second run would share the line display and the stop flag with the
  // first; the channel would interleave their commands.
  if (running_ || m.gResetWaiting != 0) return End::kRefused;
  const RunningFlag flag(running_);
  // Cleared before the port is opened: an abort while it opens must count.
  m.gStopRequest = 0;
  m.gShowCountdown = 0;
  if (!m.gPortOpen) {
    device_.commIni();
    if (!m.gPortOpen) {
      MsgBox(QStringLiteral("通信できません！\r\n通信設定やケーブルを見直してください。"), BoxButtons::kOk,
             BoxIcon::kCritical, QStringLiteral("通信エラー"));
      return End::kNoPort;
    }
    device_.poll();
  }
  view_.ClearHighlights();

  PumpPendingEvents();
  const LineTable table = LineTable::Split(text);
  if (m.gAppClosing == 1) return End::kClosing;
  if (m.gStopRequest == 1) return End::kStopped;
  return Execute(table);
}

CommandFileRunner::End CommandFileRunner::Execute(const LineTable& table) {
  MainModule& m = mm();
  if (table.count() == 0) return End::kFinished;
  int64_t i = 1;
  int32_t repeat = 0;
  for (;;) {
    PumpPendingEvents();
    view_.ShowLoopCount(repeat);
    view_.ShowLine(i);
    view_.Highlight(i);
    const QString entry = table.at(i);
    bool endRun = false;
    switch (ClassifyLine(entry)) {
      case LineKind::kEnd:
        view_.ShowCommand(QStringLiteral(" end"));
        return End::kEndLine;
      case LineKind::kLoop: {
        const LoopStep step =
            DecideLoop(i, WholeParameter(table.at(i + 1)), WholeParameter(table.at(i + 2)), repeat);
        repeat = step.repeat;
        i = step.next;
        endRun = step.endRun;
        break;
      }
      case LineKind::kPoll:
        view_.ShowCommand(QStringLiteral(" POLL"));
        device_.poll();
        ++i;
        break;
      case LineKind::kWait:
        m.gShowCountdown = 1;
        ++i;
        view_.ShowCommand(QStringLiteral(" wait"));
        view_.ShowWait(table.at(i));
        Wait(table.at(i));
        ++i;
        m.gShowCountdown = 0;
        break;
      case LineKind::kComment:
      case LineKind::kSkip:
        ++i;
        break;
      case LineKind::kCommand: {
        End end = End::kFinished;
        if (!RunCommand(entry, &end)) return end;
        ++i;
        break;
      }
    }
    if (!m.gPortOpen) return End::kPortClosed;
    if (m.gStopRequest == 1) return End::kStopped;
    view_.Unhighlight();
    if (m.gAppClosing == 1) return End::kClosing;
    if (endRun || i > table.count()) return End::kFinished;
  }
}

bool CommandFileRunner::RunCommand(const QString& line, End* end) {
  MainModule& m = mm();
  const QString command = CommandOf(line);
  view_.ShowCommand(QLatin1Char(' ') + command);
  for (;;) {
    m.gSendCommand = ExpandCommand(command);
    const ComuOutcome outcome = device_.comu();
    if (!view_.ErrorStopTicked()) return true;
    if (!ErrorStopHalts(outcome, m.gReplyStatus, view_.Apa13IgnoresTicked())) return true;
    // A refused command got no reply: what the fields hold belongs to another.
    const QString shown = outcome == ComuOutcome::kBusy ? QString() : m.gReplyText;
    const BoxAnswer answer = MsgBox(ErrorStopText(shown), BoxButtons::kAbortRetryIgnore, BoxIcon::kExclamation,
                                    QStringLiteral("Error Stop"));
    switch (ChoiceOf(answer)) {
      case ErrorChoice::kRetry:
        continue;
      case ErrorChoice::kIgnore:
        return true;
      case ErrorChoice::kAbort:
        *end = End::kAborted;
        return false;
    }
  }
}

void CommandFileRunner::Wait(const QString& parameter) {
  SetCountdownDisplay([this](const QString& left) { view_.ShowWait(left); });
  // Far beyond any wait a file means; keeps the value a float can hold.
  constexpr double kLongestWait = 1e7;
  WaitSeconds(static_cast<float>(std::clamp(LeadingDecimal(parameter), -kLongestWait, kLongestWait)));
  SetCountdownDisplay(nullptr);
}

void CommandFileRunner::Abort() {
  MainModule& m = mm();
  if (m.gResetWaiting != 0 || m.gStopRequest != 0) return;
  device_.poll();
  device_.SendFromConsole(QStringLiteral("CL"));
  m.gStopRequest = 1;
  view_.Unhighlight();
}

}  // namespace quorel

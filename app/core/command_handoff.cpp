#include "core/command_handoff.h"

#include "core/conversions.h"
#include "core/cp932_codec.h"

namespace quorel {
namespace {

bool DoubleByte(QChar c) { return cp932::Encode(QString(c)).size() > 1; }

bool Is(const QString& s, const char* text) { return s == QLatin1String(text); }

// An "A" that answers the armed command: not "still running", and either
// echoing the armed code or arriving when nothing else can come.
bool FinalA(const WaitView& v) {
  return Is(v.kind, "A") && !Is(v.status, "12") && v.armedSent && (v.echo == v.armedCode || v.channelIdle);
}

}  // namespace

const char* ToString(ComuOutcome outcome) {
  switch (outcome) {
    case ComuOutcome::kAnswered: return "answered";
    case ComuOutcome::kBusy: return "busy";
    case ComuOutcome::kPortClosed: return "port closed";
    case ComuOutcome::kAbandoned: return "abandoned";
    case ComuOutcome::kStopped: return "stopped";
    case ComuOutcome::kClosing: return "closing";
  }
  return "?";
}

SplitCommand SplitForSend(const QString& command) {
  SplitCommand out;
  const qsizetype codeChars = !command.isEmpty() && DoubleByte(command.at(0)) ? 1 : 2;
  out.code = cp932::Encode(command.left(codeChars));
  out.params = cp932::Encode(command.mid(codeChars));
  out.length = static_cast<int16_t>(qBound<int32_t>(INT16_MIN, AnsiByteLen(command) - 2, INT16_MAX));
  return out;
}

QString CommandCode(const QString& command) {
  if (!command.isEmpty() && DoubleByte(command.at(0))) return command.left(1);
  return command.left(2);
}

WaitRule WaitRuleFor(const QString& command, bool rwTestRunning) {
  const QString code = command.left(2);
  if (Is(code, "RS")) return WaitRule::kRestart;
  if (Is(code, "PD")) return WaitRule::kPrintData;
  if (Is(code, "CI")) return WaitRule::kCardIn;
  if (rwTestRunning) return WaitRule::kRwTest;
  return WaitRule::kGeneral;
}

std::optional<ComuOutcome> JudgeWait(WaitRule rule, const WaitView& v) {
  using O = ComuOutcome;
  if (v.closing) return O::kClosing;
  if (!v.portOpen) return O::kPortClosed;
  switch (rule) {
    case WaitRule::kRestart:
      if (Is(v.kind, "R") && v.armedSent) return O::kAnswered;
      if (!v.guardHeld) return O::kAbandoned;
      // Idle without the restart having been sent (a refused or given-up
      // send): no ready report will come. A garbled reply or a line error
      // after it is the restart itself: the wait polls on (RestartWaitRearms).
      if (v.channelIdle && !v.armedSent) return O::kAbandoned;
      return std::nullopt;
    case WaitRule::kPrintData:
      if (!Is(v.currentCode, "PD")) return O::kAbandoned;
      if (FinalA(v)) return O::kAnswered;
      if (!v.guardHeld || v.channelIdle) return O::kAbandoned;
      return std::nullopt;
    case WaitRule::kCardIn:
      if (!Is(v.currentCode, "CI")) return O::kAbandoned;
      if (FinalA(v)) return O::kAnswered;
      if (v.stopRequest) return O::kStopped;
      if (!v.guardHeld || v.channelIdle) return O::kAbandoned;
      return std::nullopt;
    case WaitRule::kRwTest:
      if (FinalA(v)) return O::kAnswered;
      if (v.cancelled) return v.stopRequest ? O::kStopped : O::kAbandoned;
      if (v.channelIdle) return O::kAbandoned;
      return std::nullopt;
    case WaitRule::kGeneral:
      if (FinalA(v)) return O::kAnswered;
      if (!v.guardHeld) return O::kAbandoned;
      if (v.dumpStop) return O::kStopped;
      if (v.channelIdle) return O::kAbandoned;
      return std::nullopt;
  }
  return std::nullopt;
}

bool RestartWaitRearms(const WaitView& v) {
  return v.portOpen && v.guardHeld && v.channelIdle && v.armedSent && !Is(v.kind, "R");
}

}  // namespace quorel

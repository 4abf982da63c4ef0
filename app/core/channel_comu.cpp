// The waiting half of the channel: comu hands a command over and waits for
// its reply by the command's rule, then decodes it; poll waits for one
// status reply. Both pump events while they wait, so the tick does the work.
#include "core/channel_view.h"
#include "core/device_channel.h"
#include "core/event_wait.h"
#include "core/main_module.h"
#include "core/reply_decoders.h"

namespace quorel {
namespace {

// The tick and every other event end a sleep early; this only bounds it.
constexpr int64_t kLongestSleepMs = 200;

bool Is(const QString& s, const char* text) { return s == QLatin1String(text); }

}  // namespace

void DeviceChannel::Arm(const QString& command) {
  MainModule& m = mm();
  armed_ = command;
  armedSent_ = false;
  m.gReplyKind.clear();
  m.gSendPending = 1;
  m.gNakCount = 0;
  TickForWork();
}

WaitView DeviceChannel::ViewOfWait(const QString& armedCode, bool endOnDumpStop) const {
  const MainModule& m = mm();
  WaitView v;
  v.armedCode = armedCode;
  v.currentCode = m.gSendCommand.left(2);
  v.kind = m.gReplyKind;
  v.status = m.gReplyStatus;
  v.echo = m.gReplyCommand;
  v.portOpen = m.gPortOpen != 0;
  v.closing = m.gAppClosing == 1;
  v.guardHeld = m.gPollBusy != 0;
  v.channelIdle = Idle();
  v.armedSent = armedSent_;
  v.stopRequest = m.gStopRequest == 1;
  v.dumpStop = endOnDumpStop && m.gDumpStop == 1;
  v.cancelled = m.gCancelled != 0;
  return v;
}

void DeviceChannel::Decode(const QString& command) {
  MainModule& m = mm();
  DecodeContext context(m);
  context.sensorRef33 = view_.SensorRef33();
  context.cardKindFromMode = view_.CardKindFromMode();
  context.cardKinds = view_.CardKinds();
  context.cardKindText = view_.CardKindText();
  const DisplayUpdates updates = DecodeReply(command, m.gReplyText, context);
  ApplyStateChanges(updates.state, m);
  for (const ControlUpdate& u : updates.controls) view_.Apply(u);
}

ComuOutcome DeviceChannel::comu(const ComuOptions& options) {
  MainModule& m = mm();
  if (m.gPollBusy != 0) return ComuOutcome::kBusy;
  if (!m.gPortOpen) return ComuOutcome::kPortClosed;
  m.gPollBusy = -1;

  // Line wait: a command still to be sent (a re-send the channel armed) or
  // the picture download holds the line. Polling alone does not: a device
  // that keeps answering "B" must still get the next command ("CL").
  ComuOutcome early = ComuOutcome::kAnswered;
  bool ended = false;
  PumpUntil([&]() -> int64_t {
    if (!m.gPortOpen) {
      m.gPollBusy = 0;
      early = ComuOutcome::kPortClosed;
      ended = true;
      return -1;
    }
    if (m.gAppClosing == 1) {
      early = ComuOutcome::kClosing;
      ended = true;
      return -1;
    }
    return m.gLineBusy != 0 || m.gSendPending != 0 ? kLongestSleepMs : -1;
  });
  if (ended) return early;

  for (const ControlUpdate& u : ParameterDisplays(m.gSendCommand).controls) view_.Apply(u);
  const QString command = m.gSendCommand;
  const QString armedCode = CommandCode(command);
  const WaitRule rule = WaitRuleFor(command, m.gRwTestRunning == -1);
  Arm(command);

  ComuOutcome outcome = ComuOutcome::kAnswered;
  PumpUntil([&]() -> int64_t {
    WaitView v = ViewOfWait(armedCode, options.endOnDumpStop);
    if (rule == WaitRule::kRestart && RestartWaitRearms(v)) {
      // The device restarts after its answer: keep asking until it reports ready.
      m.gPolling = 1;
      TickForWork();
      return kLongestSleepMs;
    }
    if (const std::optional<ComuOutcome> end = JudgeWait(rule, v)) {
      outcome = *end;
      return -1;
    }
    return kLongestSleepMs;
  });
  if (outcome == ComuOutcome::kClosing) return outcome;
  if (rule == WaitRule::kRwTest) m.gCancelled = 0;
  if (outcome == ComuOutcome::kAnswered && !Is(m.gReplyKind, "E")) Decode(command);
  m.gPollBusy = 0;
  return outcome;
}

ComuOutcome DeviceChannel::poll() {
  MainModule& m = mm();
  if (m.gPollBusy != 0) return ComuOutcome::kBusy;
  // Nothing to arm: a poll would only make the tick try the port again and
  // report its failure a second time.
  if (!m.gPortOpen) return ComuOutcome::kPortClosed;
  m.gPollBusy = -1;
  // Hands the channel back to the tick, also after StopTimer.
  switchedOff_ = false;
  if (!timer1_.isActive()) timer1_.start();
  m.gLineBusy = 0;
  m.gReplyKind.clear();
  m.gReplyText.clear();
  m.gPolling = 1;
  ComuOutcome outcome = ComuOutcome::kAnswered;
  PumpUntil([&]() -> int64_t {
    if (m.gAppClosing == 1) {
      outcome = ComuOutcome::kClosing;
      return -1;
    }
    if (!m.gPortOpen) {
      outcome = ComuOutcome::kPortClosed;
      return -1;
    }
    const QString& k = m.gReplyKind;
    const bool stillRunning = Is(k, "A") && Is(m.gReplyStatus, "12");
    if ((Is(k, "A") && !stillRunning) || Is(k, "R") || Is(k, "B") || Is(k, "E")) return -1;
    if (Idle()) {
      outcome = ComuOutcome::kAbandoned;
      return -1;
    }
    return kLongestSleepMs;
  });
  if (outcome != ComuOutcome::kClosing) m.gPollBusy = 0;
  return outcome;
}

}  // namespace quorel

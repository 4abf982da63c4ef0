// Opening and closing the port, the tick, the log and the line events.
#include "core/device_channel.h"

#include <cerrno>

#include "core/channel_view.h"
#include "core/dialogs.h"
#include "core/link_api.h"
#include "core/main_module.h"
#include "platform/clock.h"
#include "platform/com_map.h"
#include "platform/open_reason.h"

namespace quorel {
namespace {

constexpr uint32_t kGreen = 0x00FF00;
constexpr uint32_t kGrey = 0x808080;
constexpr uint32_t kLampError = 0x0000C0;

// The library calls a plain function; it reaches the one channel through this.
DeviceChannel* g_lineEventTarget = nullptr;

void LineEventTrampoline(int16_t /*port*/, int32_t /*value*/, int32_t events, int32_t /*userValue*/) {
  if (g_lineEventTarget) g_lineEventTarget->CommEventProc(events);
}

// [COMEvent] keys 0 to 9 in order and their event bits.
constexpr int32_t kEventBits[10] = {0x1, 0x4, 0x100, 0x200, 0x400, 0x1000, 0x2000, 0x4000, 0x8000, 0x10000};

struct LineEventText {
  int32_t bit;
  const char* label;
  const char* message;
  const char* title;
};

const LineEventText kLineEvents[] = {
    {0x400, "Parity Err", "パリティエラーを検知しました", "パリティエラー検知"},
    {0x200, "Overrun Err", "オーバーランエラーを検知しました", "オーバーランエラー検知"},
    {0x100, "Framming Err", "フレーミングエラーを検知しました", "フレーミングエラー検知"},
    {0x1000, "CTS Change", "CTS信号状態変化を検知しました", "CTS信号変化検知"},
    {0x2000, "DSR Change", "DSR信号状態変化を検知しました\r\nケーブルの挿入状態を確認してください", "DSR信号変化検知"},
    {0x4000, "RLSD Change", "RLSD信号状態変化を検知しました", "RLSD信号変化検知"},
    {0x8000, "BREAK Signal", "BREAK信号を検知しました\r\nUSBケーブルの挿入状態を確認してください",
     "USBケーブル切断検地"},
};

QString FlagText(int16_t flag) { return flag ? QStringLiteral("True") : QStringLiteral("False"); }

// The line under the open-error text that says why, in the system's words:
// the device file and its error, and for a file the user may not open the
// group that lets them (the first thing a new user meets). "" when the
// library gave no reason.
QString OpenFailureLine(int com, int err) {
  if (err == 0) return QString();
  QString line = QString::fromLocal8Bit(plat::OpenFailureReason(com, plat::ComDevicePath(com), err));
  if (err == EACCES || err == EPERM)
    line += QStringLiteral(". Join the dialout group (sudo adduser $USER dialout) and log in again.");
  return line;
}

}  // namespace

DeviceChannel::DeviceChannel(LinkApi& link, ChannelView& view)
    : link_(link),
      view_(view),
      log_([&view](const QString& text, const QString& tip) { view.ShowLog(text, tip); }),
      clock_(plat::TickMs) {
  QObject::connect(&timer1_, &QTimer::timeout, this, [this] { Timer1_Timer(); });
  timer1_.setInterval(100);
  g_lineEventTarget = this;
}

DeviceChannel::~DeviceChannel() {
  if (g_lineEventTarget == this) g_lineEventTarget = nullptr;
}

void DeviceChannel::Caption(const char* control, const QString& text) {
  view_.Apply({QLatin1String(control), -1, DisplayProperty::kCaption, text, -1});
}

void DeviceChannel::Text(const char* control, const QString& text) {
  view_.Apply({QLatin1String(control), -1, DisplayProperty::kText, text, -1});
}

void DeviceChannel::SetPortLabelsColor(uint32_t bgr) {
  for (const char* label : {"LbComViewer", "LbComConfig", "LbComClaimed"})
    view_.SetBackColor(QLatin1String(label), bgr);
}

void DeviceChannel::PaintLampFromKind() {
  const QString kind = view_.CurrentText(QStringLiteral("Label10")).left(1);
  const uint32_t color = kind == QLatin1String("B")   ? 0x008080
                         : kind == QLatin1String("R") ? 0x008000
                         : kind == QLatin1String("A") ? kLampError
                                                      : kGrey;
  view_.SetBackColor(QStringLiteral("Label53"), color);
}

void DeviceChannel::StartTimer(int intervalMs) {
  switchedOff_ = false;
  // A 0 ms timer would fire on every pass of the event loop.
  timer1_.start(qMax(1, intervalMs));
}

void DeviceChannel::StopTimer() {
  switchedOff_ = true;
  timer1_.stop();
}

void DeviceChannel::TickForWork() {
  if (!inTick_ && !switchedOff_ && !timer1_.isActive()) timer1_.start();
}

bool DeviceChannel::Idle() const {
  const MainModule& m = mm();
  return m.gSendPending == 0 && m.gPolling == 0 && !inTick_;
}

bool DeviceChannel::ResetWhenIdle() {
  MainModule& m = mm();
  if (m.gPollBusy != 0 || inTick_ || m.gLineBusy != 0) return false;
  m.gSendPending = m.gPolling = 0;
  m.gSendCommand.clear();
  m.gReplyCommand.clear();
  m.gReplyText.clear();
  return true;
}

void DeviceChannel::WatchLineEvents() {
  if (events_) return;
  const int fd = link_.EventFd();
  if (fd < 0) return;
  events_ = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
  QObject::connect(events_.get(), &QSocketNotifier::activated, this, [this] {
    // A callback's message box pumps events; the events that arrive
    // meanwhile wait for it to close instead of opening a second box.
    events_->setEnabled(false);
    link_.DispatchEvents();
    events_->setEnabled(true);
  });
}

void DeviceChannel::commIni() {
  MainModule& m = mm();
  int32_t mask = 0;
  for (size_t i = 0; i < 10; ++i)
    if (m.gEvtFlags[i] == 1) mask |= kEventBits[i];
  timer1_.stop();
  commClose();
  int openError = 0;
  const int16_t rc =
      link_.OpenPort(m.gPort, m.gBoud, QByteArray::number(m.gDataBit), m.gParity.toLatin1(), &openError);
  if (rc == 0 || rc == 1) {
    m.gPortOpen = -1;
    WatchLineEvents();
    link_.SetCommEventProc(m.gPort, &LineEventTrampoline, 0, mask);
    link_.ComDSRCTSsw(m.gPort, m.gUseDSR, m.gUseCTS);
    Caption("Label25", QStringLiteral("COM Open"));
    Caption("LbComClaimed", FlagText(m.gPortOpen));
    SetPortLabelsColor(kGreen);
    StartTimer(m.gTimerInterval);
    return;
  }
  m.gPortOpen = 0;
  SetPortLabelsColor(kGrey);
  timer1_.stop();
  if (rc != CRW_PORT_NOT_OPEN) return;
  QString text = QStringLiteral("他のアプリケーションが使用している可能性があります。\r\nもしくはポートが存在しません。");
  const QString reason = OpenFailureLine(m.gPort, openError);
  if (!reason.isEmpty()) text += QStringLiteral("\r\n") + reason;
  MsgBox(text, BoxButtons::kOk, BoxIcon::kCritical, QStringLiteral("COM%1オープンエラー").arg(m.gPort));
}

void DeviceChannel::commClose() {
  MainModule& m = mm();
  m.gPolling = m.gSendPending = m.gLineBusy = 0;
  m.gSendCommand.clear();
  // The armed copy stays: a re-send that a dialog arms after a close (the
  // line event came while the box was open) still has its command.
  armedSent_ = false;
  timer1_.stop();
  view_.StopSideTimers();
  link_.SetCommEventProc(m.gPort, nullptr, 0, 0);
  const int16_t rc = link_.ClosePort(m.gPort);
  if (rc != 0 && rc != 1) return;
  m.gPortOpen = 0;
  Caption("LbComClaimed", FlagText(m.gPortOpen));
  Caption("Label25", QStringLiteral("COM Close"));
  SetPortLabelsColor(kGrey);
  PaintLampFromKind();
}

void DeviceChannel::ReopenKeepingWork() {
  MainModule& m = mm();
  const int16_t pending = m.gSendPending;
  const int16_t polling = m.gPolling;
  const QString command = m.gSendCommand;
  commIni();
  if (!m.gPortOpen) return;
  m.gSendPending = pending;
  m.gPolling = polling;
  m.gSendCommand = command;
}

void DeviceChannel::ShowIfChanged(const char* control, const QString& text) {
  if (view_.CurrentText(QLatin1String(control)) != text) Caption(control, text);
}

void DeviceChannel::ShowPortState() {
  const MainModule& m = mm();
  ShowIfChanged("LbComViewer", QString::number(m.gPort));
  ShowIfChanged("LbComClaimed", FlagText(m.gPortOpen));
  if (m.gPortOpen)
    ShowIfChanged("LbComConfig", QStringLiteral("%1,%2,%3,1").arg(m.gBoud).arg(m.gParity).arg(m.gDataBit));
}

void DeviceChannel::Timer1_Timer() {
  // commIni and the boxes pump events inside a tick, and commIni starts the
  // timer again: a tick delivered then must not run inside this one.
  if (inTick_) return;
  MainModule& m = mm();
  const auto armed = [&m] { return m.gPolling != 0 || m.gSendPending != 0; };
  if (armed()) {
    inTick_ = true;
    timer1_.stop();
    if (m.gPolling != 0) {
      sendPolling();
    } else {
      if (!m.gPortOpen) ReopenKeepingWork();
      sendCommand();
    }
    inTick_ = false;
  }
  // The next step of an exchange follows within one tick; with nothing
  // armed there is nothing to tick for until Arm, poll or commIni.
  if (armed())
    timer1_.start();
  else
    timer1_.stop();
  ShowPortState();
  if (m.gAppClosing == 1) timer1_.stop();
}

void DeviceChannel::logDisp(const QString& text) { log_.Add(text); }

void DeviceChannel::CommEventProc(int32_t events) {
  // An event of a port this channel has closed already is stale: the close
  // was reported by whoever closed it.
  if (!mm().gPortOpen) return;
  for (const LineEventText& e : kLineEvents) {
    if (e.bit != events) continue;
    commClose();
    Caption("Label25", QLatin1String(e.label));
    view_.SetBackColor(QStringLiteral("Label53"), kLampError);
    MsgBox(QString::fromUtf8(e.message), BoxButtons::kOk, BoxIcon::kCritical, QString::fromUtf8(e.title));
    return;
  }
}

}  // namespace quorel

#include "testbench/dip_switch_test.h"

#include "core/conversions.h"
#include "core/event_wait.h"
#include "core/form_controls.h"
#include "core/job_host.h"
#include "core/main_module.h"
#include "testbench/bench_job.h"

namespace quorel {
namespace {

constexpr uint32_t kGrey = 0xE0E0E0;
constexpr uint32_t kUntested = 0xFF80FF;

const QString kButton = QStringLiteral("CmdDSWTest");
const QString kResult = QStringLiteral("lbDSWTestOKNG");

QString OnHalf(int bank) { return QStringLiteral("SpDSW%1On").arg(bank); }
QString OffHalf(int bank) { return QStringLiteral("SpDSW%1Off").arg(bank); }

void DrawSwitch(FormControls& ui, int bank, int sw, bool on, uint32_t color) {
  ui.SetBackColor(OnHalf(bank), sw, on ? color : kWindowBackground);
  ui.SetBackColor(OffHalf(bank), sw, on ? kWindowBackground : color);
}

bool IsHex(const QString& s) {
  for (QChar c : s)
    if (!c.isDigit() && !(c.toUpper() >= QLatin1Char('A') && c.toUpper() <= QLatin1Char('F'))) return false;
  return true;
}

}  // namespace

QString DswBits(const QString& replyText, int bank) {
  if (bank == 1) return HexToBin(replyText.mid(5, 2));
  if (bank == 2) return HexToBin(replyText.mid(7, 2));
  return QString();
}

QString DSWRead(JobHost& host, int bank) {
  SendVia(host, QStringLiteral("!!i"));
  return DswBits(mm().gReplyText, bank);
}

std::optional<DswReading> ParseDswReply(const QString& replyText) {
  if (replyText.size() < 9 || replyText[0] != QLatin1Char('A') || replyText.mid(3, 2) != QLatin1String("90"))
    return std::nullopt;
  const QString digits = replyText.mid(5, 4);
  if (!IsHex(digits)) return std::nullopt;
  DswReading r;
  r.bank1 = static_cast<uint8_t>(digits.left(2).toUInt(nullptr, 16));
  r.bank2 = static_cast<uint8_t>(digits.mid(2, 2).toUInt(nullptr, 16));
  return r;
}

bool DswTracker::Feed(const std::optional<DswReading>& reading) {
  if (!reading) return false;
  bool changed = false;
  if (last_) {
    const uint8_t moved[2] = {static_cast<uint8_t>(last_->bank1 ^ reading->bank1),
                              static_cast<uint8_t>(last_->bank2 ^ reading->bank2)};
    for (int b = 0; b < 2; ++b)
      for (int i = 0; i < 8; ++i)
        if ((moved[b] >> i) & 1 && states_[b][i] < 2) {
          ++states_[b][i];
          changed = true;
        }
  }
  last_ = reading;
  return changed;
}

QString DswTracker::StateText(int bank) const {
  QString s;
  for (int v : states_[bank - 1]) s += QString::number(v);
  return s;
}

bool DswTracker::Done() const {
  return StateText(1) == QLatin1String("22222222") && StateText(2) == QLatin1String("22222222");
}

uint32_t DswStateColor(int state) {
  switch (state) {
    case 1: return 0x80C0FF;
    case 2: return 0x00FF00;
    default: return kUntested;
  }
}

void LockDipFrame(FormControls& ui) {
  for (int b = 1; b <= 2; ++b) {
    ui.SetBackColor(QStringLiteral("SpDSW"), b, kGrey);
    ui.SetBackColor(QStringLiteral("LineDSW"), b, kGrey);
    for (int i = 1; i <= 8; ++i) {
      ui.SetBackColor(OnHalf(b), i, kButtonFace);
      ui.SetBackColor(OffHalf(b), i, kButtonFace);
    }
  }
  for (int i = 0; i <= 5; ++i) ui.SetForeColor(QStringLiteral("LbDSW"), i, kGrey);
  ui.SetForeColor(QStringLiteral("TxtDSWFrameLabel"), -1, kGrey);
  ui.SetEnabled(QStringLiteral("FrameDSW"), false);
  ui.SetForeColor(QStringLiteral("FrameDSW"), -1, kGrey);
  ui.SetEnabled(kButton, false);
}

void UnlockDipFrame(FormControls& ui) {
  ui.SetForeColor(QStringLiteral("TxtDSWFrameLabel"), -1, kWindowText);
  ui.SetEnabled(QStringLiteral("FrameDSW"), true);
  ui.SetForeColor(QStringLiteral("FrameDSW"), -1, kButtonText);
  ui.SetEnabled(kButton, true);
  for (int b = 1; b <= 2; ++b) {
    ui.SetBackColor(QStringLiteral("SpDSW"), b, kButtonText);
    ui.SetBackColor(QStringLiteral("LineDSW"), b, kButtonText);
    for (int i = 1; i <= 8; ++i) DrawSwitch(ui, b, i, false, kUntested);
  }
  for (int i = 0; i <= 5; ++i) ui.SetForeColor(QStringLiteral("LbDSW"), i, kButtonText);
}

// ---- DipSwitchTest ----

const QString DipSwitchTest::kStart = QStringLiteral("DSW Check Start");
const QString DipSwitchTest::kStop = QStringLiteral("Stop");

DipSwitchTest::DipSwitchTest(FormControls& ui, JobHost& host, BenchJobState& state)
    : ui_(ui), host_(host), state_(state) {}

void DipSwitchTest::DswGraOnOff(int mode, const QString& bits1, const QString& bits2) {
  if (mode != 1 && mode != 2) return;
  const QString* bits[2] = {&bits1, &bits2};
  for (int b = 1; b <= 2; ++b)
    for (int i = 1; i <= 8; ++i) {
      const QString& s = *bits[b - 1];
      const bool on = s.size() >= 9 - i && s[8 - i] == QLatin1Char('1');
      DrawSwitch(ui_, b, i, on, DswStateColor(tracker_.State(b, i)));
    }
}

void DipSwitchTest::Stop() {
  if (ui_.Text(kButton) != kStart) stop_ = true;
}

void DipSwitchTest::Click() {
  if (mm().gResetWaiting) return;
  if (ui_.Text(kButton) != kStart) {
    ui_.SetText(kButton, -1, kStart);
    stop_ = true;
    return;
  }
  BenchJobScope scope(state_);
  if (!scope.Acquired()) return;
  ui_.SetText(kButton, -1, kStop);
  mm().gStopRequest = 0;
  stop_ = false;
  ui_.SetForeColor(kResult, -1, kUntested);
  ui_.SetText(kResult, -1, QStringLiteral("Testing"));
  LockPanel();
  tracker_ = DswTracker();
  if (BenchPortReady(host_, true)) Run();
  ui_.SetText(kButton, -1, kStart);
  stop_ = false;
  UnlockPanel();
}

void DipSwitchTest::Run() {
  auto read = [this] {
    SendVia(host_, QStringLiteral("!!i"));
    const QString reply = mm().gReplyText;
    const std::optional<DswReading> reading = ParseDswReply(reply);
    tracker_.Feed(reading);
    if (reading) DswGraOnOff(2, DswBits(reply, 1), DswBits(reply, 2));
  };
  // The loop answers to its own Stop only: a stop request another bench
  // test left behind (mAbortRequest) is not this test's.
  auto ended = [this] { return stop_ || !mm().gPortOpen || mm().gAppClosing == 1; };
  read();
  while (!tracker_.Done() && !ended()) {
    PumpPendingEvents();
    if (ended()) break;
    read();
  }
  const bool ok = tracker_.Done();
  ui_.SetForeColor(kResult, -1, ok ? 0xC000 : 0xC0C0FF);
  ui_.SetText(kResult, -1, ok ? QStringLiteral("OK") : QStringLiteral("Stop"));
}

void DipSwitchTest::LockPanel() {
  ui_.SetEnabled(QStringLiteral("Frame7SEG"), false);
  ui_.SetForeColor(QStringLiteral("Txt7SegFrameLabel"), -1, kGrey);
  ui_.SetBackColor(QStringLiteral("Shape7Seg"), -1, kGrey);
  for (int i = 0; i < 3; ++i) {
    ui_.SetEnabled(QStringLiteral("CmdRWDevTst"), i, false);
    ui_.SetEnabled(QStringLiteral("TxtRWDevTstTimer"), i, false);
    ui_.SetBackColor(QStringLiteral("TxtRWDevTstTimer"), i, kGrey);
    ui_.SetEnabled(QStringLiteral("lbRWDevTst"), i, false);
  }
}

void DipSwitchTest::UnlockPanel() {
  ui_.SetEnabled(QStringLiteral("Frame7SEG"), true);
  ui_.SetForeColor(QStringLiteral("Txt7SegFrameLabel"), -1, kWindowText);
  ui_.SetBackColor(QStringLiteral("Shape7Seg"), -1, 0);
  for (int i = 0; i < 3; ++i) {
    ui_.SetEnabled(QStringLiteral("CmdRWDevTst"), i, true);
    ui_.SetEnabled(QStringLiteral("TxtRWDevTstTimer"), i, true);
    ui_.SetBackColor(QStringLiteral("TxtRWDevTstTimer"), i, kWindowBackground);
    ui_.SetEnabled(QStringLiteral("lbRWDevTst"), i, true);
  }
}

}  // namespace quorel

#include "testbench/panel_test.h"

#include <cmath>

#include "core/dialogs.h"
#include "core/event_wait.h"
#include "core/form_controls.h"
#include "core/job_host.h"
#include "core/main_module.h"
#include "testbench/bench_job.h"
#include "testbench/dip_switch_test.h"

namespace quorel {
namespace {

constexpr uint32_t kSegmentEnable = 0xFF86CA;
constexpr uint32_t kDigit1 = 0xFF86C6;
constexpr uint32_t kDigit2 = 0xFF86C7;
constexpr uint32_t kGrey = 0xE0E0E0;

const QString kButton = QStringLiteral("CmdRWDevTst");
const QString kStepBox = QStringLiteral("TxtRWDevTstTimer");
const QString kUnit = QStringLiteral("lbRWDevTst");
const QString kSegments = QStringLiteral("Lb7Seg");
const QString kLed = QStringLiteral("ShpLED");

const char* const kCaptions[] = {"7 Seg Check", "LED Check", "Buzzer Check"};

PanelStep SegmentStep(const QString& caption, uint8_t bits) {
  return {caption, {MemoryWriteCommand(kDigit1, bits), MemoryWriteCommand(kDigit2, bits)}, true};
}

}  // namespace

QString MemoryWriteCommand(uint32_t address, uint8_t value) {
  return QStringLiteral("mdw") + QStringLiteral("%1").arg(address & 0xFFFFFF, 6, 16, QLatin1Char('0')).toUpper() +
         QLatin1Char(':') + QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0')).toUpper();
}

const std::vector<PanelStep>& SevenSegmentSteps() {
  // One segment at a time on both digits, in the order of a figure eight
  // (the middle bar 0x80 twice).
  static const std::vector<PanelStep> steps = {
      {QStringLiteral("8.8."), {QStringLiteral("SG:881"), MemoryWriteCommand(kSegmentEnable, 0x03)}, true},
      SegmentStep(QStringLiteral("~.~."), 0x02),
      SegmentStep(QStringLiteral("'.'."), 0x04),
      SegmentStep(QStringLiteral("-.-."), 0x80),
      SegmentStep(QStringLiteral("i.i."), 0x20),
      SegmentStep(QStringLiteral("_._."), 0x10),
      SegmentStep(QStringLiteral("}.}."), 0x08),
      SegmentStep(QStringLiteral("-.-."), 0x80),
      SegmentStep(QStringLiteral("\".\"."), 0x40),
  };
  return steps;
}

QStringList SevenSegmentClosing() {
  return {MemoryWriteCommand(kSegmentEnable, 0x00), QStringLiteral("SG:880")};
}

const std::vector<PanelStep>& BuzzerSteps() {
  static const std::vector<PanelStep> steps = {
      {QStringLiteral("Volume3.gif"), {QStringLiteral("BZ:000000"), QStringLiteral("BZv2")}, true},
      {QStringLiteral("Volume1.gif"), {QStringLiteral("BZv1")}, true},
      {QStringLiteral("Volume0.gif"), {QStringLiteral("BZ"), QStringLiteral("BZv2")}, false},
  };
  return steps;
}

double StepSecondsOf(const QString& text) {
  bool ok = false;
  const double s = text.trimmed().toDouble(&ok);
  return ok && std::isfinite(s) && s > 0 ? s : 0.0;
}

// ---- LedBlinker ----

LedBlinker::LedBlinker(Draw draw) : draw_(std::move(draw)) {
  period_.setInterval(kPeriodMs);
  dark_.setSingleShot(true);
  dark_.setInterval(kOnMs);
  QObject::connect(&period_, &QTimer::timeout, [this] { LightPhase(); });
  QObject::connect(&dark_, &QTimer::timeout, [this] { DarkPhase(); });
}

void LedBlinker::Start() { period_.start(); }

void LedBlinker::Stop() {
  period_.stop();
  dark_.stop();
}

void LedBlinker::LightPhase() {
  if (mode_ < 2 || mode_ > 4) return;
  draw_(1, true);
  draw_(2, true);
  dark_.start();
}

void LedBlinker::DarkPhase() {
  if (mode_ == 3 || mode_ == 4) draw_(1, false);
  if (mode_ == 2 || mode_ == 4) draw_(2, false);
}

// ---- PanelTest ----

PanelTest::PanelTest(FormControls& ui, JobHost& host, BenchJobState& state)
    : ui_(ui), host_(host), state_(state), blinker_([this](int lamp, bool lit) { Lamp(lamp, lit); }) {}

void PanelTest::Click(int index) {
  if (mm().gResetWaiting || index < 0 || index > 2) return;
  BenchJobScope scope(state_);
  if (!scope.Acquired()) return;
  index_ = index;
  mm().gStopRequest = 0;
  if (BenchPortReady(host_, true)) {
    Lock();
    ui_.SetText(kButton, index, QStringLiteral("Checking"));
    if (index == 0) RunSevenSegment();
    else if (index == 1) RunLeds();
    else RunBuzzer();
  }
  Restore();
}

void PanelTest::Lock() {
  for (int i = 0; i < 3; ++i) {
    ui_.SetEnabled(kButton, i, false);
    ui_.SetEnabled(kStepBox, i, false);
    ui_.SetBackColor(kStepBox, i, kGrey);
    ui_.SetEnabled(kUnit, i, false);
  }
  LockDipFrame(ui_);
}

void PanelTest::Restore() {
  for (int i = 0; i < 3; ++i) {
    ui_.SetEnabled(kButton, i, true);
    ui_.SetEnabled(kStepBox, i, true);
    ui_.SetBackColor(kStepBox, i, kWindowBackground);
    ui_.SetEnabled(kUnit, i, true);
    ui_.SetText(kButton, i, QLatin1String(kCaptions[i]));
  }
  UnlockDipFrame(ui_);
}

void PanelTest::Send(const QStringList& commands) {
  for (const QString& c : commands) BenchSend(host_, c);
}

void PanelTest::Wait() { WaitSeconds(static_cast<float>(StepSecondsOf(ui_.Text(kStepBox, index_)))); }

void PanelTest::Lamp(int lamp, bool lit) {
  ui_.SetBackColor(kLed, lamp, lit ? (lamp == 1 ? kLed1Lit : kLed2Lit) : kLampOff);
}

void PanelTest::RunSevenSegment() {
  for (const PanelStep& step : SevenSegmentSteps()) {
    ui_.SetText(kSegments, -1, step.caption);
    Send(step.commands);
    Wait();
  }
  MsgBox(QStringLiteral("７セグ表示確認テスト終了"));
  Send(SevenSegmentClosing());
  ui_.SetText(kSegments, -1, QString());
}

void PanelTest::RunLeds() {
  ui_.SetBackColor(kLed, 0, kLamp0Lit);
  Lamp(1, true);
  Lamp(2, false);
  Send({QStringLiteral("LD:10")});
  Wait();
  Lamp(1, false);
  Lamp(2, true);
  Send({QStringLiteral("LD:01")});
  Wait();
  static const struct {
    int mode;
    const char* command;
  } kBlinks[] = {{2, "LD:14"}, {3, "LD:41"}, {4, "LD:44"}};
  for (const auto& b : kBlinks) {
    blinker_.SetMode(b.mode);
    blinker_.Start();
    Send({QLatin1String(b.command)});
    Wait();
    blinker_.Stop();
  }
  Lamp(1, true);
  Lamp(2, true);
  Send({QStringLiteral("LD:11")});
  MsgBox(QStringLiteral("ＬＥＤ表示確認テスト終了"));
  Lamp(1, false);
  Lamp(2, false);
  Send({QStringLiteral("LD:00")});
}

void PanelTest::RunBuzzer() {
  for (const PanelStep& step : BuzzerSteps()) {
    if (showPicture_) showPicture_(step.caption);
    Send(step.commands);
    if (step.wait) Wait();
  }
}

}  // namespace quorel

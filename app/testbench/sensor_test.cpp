#include "testbench/sensor_test.h"

#include <cmath>
#include <limits>

#include "core/event_wait.h"
#include "core/form_controls.h"
#include "core/job_host.h"
#include "core/main_module.h"
#include "core/reply_decoders.h"
#include "testbench/bench_job.h"

namespace quorel {
namespace {

constexpr uint32_t kGreen = 0x00C000;
constexpr uint32_t kRed = 0x0000FF;
constexpr uint32_t kLampWait = 0x80FF80;
constexpr uint32_t kLampMeasure = 0xC0C0FF;
constexpr uint32_t kLampIdle = 0xE0E0E0;

const QString kSensorButton = QStringLiteral("CmdSensorVolt");
const QString kValuesButton = QStringLiteral("CmdetcValue");
const QString kSensorFrame = QStringLiteral("FrameSensorVolt");
const QString kValuesFrame = QStringLiteral("FrameSensorETC");
const QString kMsg = QStringLiteral("LbSenMsg");
const QString kVolt = QStringLiteral("LbSensorV");
const QString kSenJudge = QStringLiteral("LbSenJudge");
const QString kSenTotal = QStringLiteral("LbSenTotalJudge");
const QString kEtcValue = QStringLiteral("LbetcValue");
const QString kEtcJudge = QStringLiteral("LbetcJudge");
const QString kEtcTotal = QStringLiteral("LbEtcTotalJudge");
const QString kDashes = QStringLiteral("---");
const QString kVoltDashes = QStringLiteral("-.--");

int HexDigit(QChar c) {
  const ushort u = c.unicode();
  if (u >= '0' && u <= '9') return u - '0';
  if (u >= 'A' && u <= 'F') return u - 'A' + 10;
  if (u >= 'a' && u <= 'f') return u - 'a' + 10;
  return -1;
}

}  // namespace

const QString SensorTest::kStart = QStringLiteral("Start");
const QString SensorTest::kStop = QStringLiteral("STOP");
const QString SensorTest::kStopping = QStringLiteral("Stopping");

// ---- rules ----

int ReplyHexPair(const QString& reply, int pos) {
  int value = 0;
  for (int i = pos - 1; i < pos + 1 && i < reply.size(); ++i) {
    const int d = HexDigit(reply.at(i));
    if (d < 0) break;  // the number ends at the first non-digit
    value = value * 16 + d;
  }
  return value;
}

float SensorVolt(int code, float fullScale) {
  return static_cast<float>(static_cast<double>(code) * static_cast<double>(fullScale) / 255.0);
}

std::optional<float> VoltLimitOf(const QString& text) {
  bool ok = false;
  const float v = text.trimmed().toFloat(&ok);
  if (!ok || !std::isfinite(v)) return std::nullopt;
  return v;
}

std::optional<int> TempLimitOf(const QString& text) {
  bool ok = false;
  const double v = text.trimmed().toDouble(&ok);
  if (!ok || !std::isfinite(v)) return std::nullopt;
  const double r = std::nearbyint(v);
  if (r < std::numeric_limits<int16_t>::min() || r > std::numeric_limits<int16_t>::max()) return std::nullopt;
  return static_cast<int>(r);
}

QString VoltText(double v) { return QString::number(v, 'f', 2); }

std::optional<std::array<SensorReading, 6>> JudgeSensorReply(const QString& reply, const std::array<bool, 6>& ticked,
                                                             const SensorLimits& limits) {
  if (reply.size() < 15) return std::nullopt;
  std::array<SensorReading, 6> out{};
  for (int i = 0; i < 6; ++i) {
    if (!ticked[static_cast<size_t>(i)]) {
      out[static_cast<size_t>(i)].result = SensorReading::kNotMeasured;
      continue;
    }
    SensorReading& r = out[static_cast<size_t>(i)];
    r.volt = limits.fullScale ? SensorVolt(ReplyHexPair(reply, 6 + 2 * i), *limits.fullScale) : 0.0f;
    const bool ok = limits.fullScale && limits.min && limits.max && *limits.min <= r.volt && r.volt <= *limits.max;
    r.result = ok ? SensorReading::kOk : SensorReading::kNg;
  }
  return out;
}

std::optional<float> BatteryVolt(const QString& reply) {
  if (reply.size() < 15) return std::nullopt;
  const double b = static_cast<double>(ReplyHexPair(reply, 20)) * 3.3 / 255.0 * 1.5;
  return VoltText(b).toFloat();
}

bool TempWithin(const QString& reading, std::optional<int> min, std::optional<int> max) {
  bool ok = false;
  const int t = reading.trimmed().toInt(&ok);
  return ok && min && max && *min <= t && t <= *max;
}

// ---- the jobs ----

SensorTest::SensorTest(FormControls& ui, JobHost& host, BenchJobState& state) : ui_(ui), host_(host), state_(state) {}

void SensorTest::Verdict(const QString& label, int index, bool ok) {
  ui_.SetText(label, index, ok ? QStringLiteral("OK") : QStringLiteral("NG"));
  ui_.SetForeColor(label, index, ok ? kGreen : kRed);
}

void SensorTest::Lamp(unsigned bgr) { ui_.SetBackColor(QStringLiteral("ShpSentest"), -1, bgr); }

void SensorTest::SensorSettingClick() { SensorLimitsLocked(ui_.Ticked(QStringLiteral("ChkSensorSettingMode")), false); }

void SensorTest::EtcSettingClick() { EtcLimitsLocked(ui_.Ticked(QStringLiteral("ChkEtcSettingMode"))); }

void SensorTest::SensorLimitsLocked(bool unlocked, bool forRun) {
  for (int i = 0; i <= 1; ++i) ui_.SetEnabled(QStringLiteral("TxtRange"), i, unlocked);
  for (int i = 0; i <= 5; ++i) {
    if (forRun) {
      // The run greys the sensors it does not measure.
      const bool measured = ui_.Ticked(QStringLiteral("ChkSensor"), i);
      ui_.SetEnabled(QStringLiteral("LbSensor"), i, measured);
      ui_.SetEnabled(kVolt, i, measured);
    }
    ui_.SetText(kVolt, i, kVoltDashes);
    ui_.SetText(kSenJudge, i, QString());
    ui_.SetEnabled(QStringLiteral("ChkSensor"), i, unlocked);
  }
  for (int i = 0; i <= 10; ++i) ui_.SetEnabled(QStringLiteral("LbSensorSet"), i, unlocked);
  ui_.SetEnabled(QStringLiteral("ChkSenCIcmd"), -1, unlocked);
  ui_.SetEnabled(QStringLiteral("TxtBaseVolt"), -1, unlocked);
  ui_.SetText(kSenTotal, -1, QString());
}

void SensorTest::EtcLimitsLocked(bool unlocked) {
  for (int i = 0; i <= 1; ++i) {
    ui_.SetEnabled(QStringLiteral("TxtTPHtmp"), i, unlocked);
    ui_.SetEnabled(QStringLiteral("TxtErtmp"), i, unlocked);
    ui_.SetEnabled(QStringLiteral("TxtCirtmp"), i, unlocked);
  }
  for (int i = 0; i <= 3; ++i) {
    ui_.SetText(kEtcValue, i, i < 3 ? kDashes : kVoltDashes);
    ui_.SetText(kEtcJudge, i, QString());
  }
  for (int i = 0; i <= 10; ++i) ui_.SetEnabled(QStringLiteral("LbetcSet"), i, unlocked);
  ui_.SetEnabled(QStringLiteral("TxtBattery"), -1, unlocked);
  ui_.SetText(kEtcTotal, -1, QString());
}

void SensorTest::EndRun(const QString& button, const QString& otherButton, const QString& otherFrame) {
  ui_.SetText(button, -1, kStart);
  ui_.SetText(kMsg, -1, QString());
  Lamp(kLampIdle);
  state_.mAbortRequest = 0;
  ui_.SetEnabled(otherFrame, -1, true);
  ui_.SetEnabled(QStringLiteral("SSTabMivorTest"), -1, true);
  ui_.SetEnabled(otherButton, -1, true);
}

void SensorTest::SensorClick() {
  MainModule& m = mm();
  if (m.gResetWaiting) return;
  m.gStopRequest = 0;
  if (ui_.Text(kSensorButton) != kStart) {
    ui_.SetText(kSensorButton, -1, kStopping);
    state_.mAbortRequest = -1;
    return;
  }
  BenchJobScope scope(state_);
  if (!scope.Acquired()) return;  // another bench job drives the channel
  ui_.SetText(kSensorButton, -1, kStop);
  state_.mAbortRequest = 0;
  ui_.SetEnabled(kValuesFrame, -1, false);
  ui_.SetEnabled(kValuesButton, -1, false);
  ui_.SetValue(QStringLiteral("ChkSensorSettingMode"), -1, 0);
  SensorLimitsLocked(false, true);
  if (BenchPortReady(host_, true)) RunSensors();
  EndRun(kSensorButton, kValuesButton, kValuesFrame);
}

void SensorTest::RunSensors() {
  SensorLimits limits;
  limits.fullScale = VoltLimitOf(ui_.Text(QStringLiteral("TxtBaseVolt")));
  limits.min = VoltLimitOf(ui_.Text(QStringLiteral("TxtRange"), 0));
  limits.max = VoltLimitOf(ui_.Text(QStringLiteral("TxtRange"), 1));
  std::array<bool, 6> ticked{};
  for (int i = 0; i < 6; ++i) ticked[static_cast<size_t>(i)] = ui_.Ticked(QStringLiteral("ChkSensor"), i);

  bool sheetIn = true;
  if (ui_.Ticked(QStringLiteral("ChkSenCIcmd"))) {
    Lamp(kLampWait);
    sheetIn = BenchWaitForCard(host_, state_, [this](const QString&) {
      ui_.SetText(kMsg, -1, QStringLiteral("センサーシートを挿入してください"));
    });
  }
  if (sheetIn) {
    Lamp(kLampMeasure);
    ui_.SetText(kMsg, -1, QStringLiteral("センサー電圧 測定中"));
    std::array<int, 6> results{};  // all NG until a reply says otherwise
    for (;;) {
      PumpPendingEvents();
      const bool answered = BenchSend(host_, QStringLiteral("!!s"));
      // Taken before the wait: the channel's own polls may refill the
      // reply fields meanwhile.
      const QString reply = answered ? mm().gReplyText : QString();
      WaitSeconds(0.3f);
      if (const auto readings = JudgeSensorReply(reply, ticked, limits)) {
        for (int i = 0; i < 6; ++i) {
          const SensorReading& r = (*readings)[static_cast<size_t>(i)];
          results[static_cast<size_t>(i)] = r.result;
          if (r.result == SensorReading::kNotMeasured) continue;
          ui_.SetText(kVolt, i, VoltText(r.volt));
          Verdict(kSenJudge, i, r.result == SensorReading::kOk);
        }
      }
      bool allOk = true;
      for (int r : results) allOk = allOk && r != SensorReading::kNg;
      Verdict(kSenTotal, -1, allOk);
      if (BenchMustEnd(state_)) break;
    }
  }
  Lamp(kLampWait);
  ui_.SetText(kMsg, -1, QStringLiteral("シート排出"));
  BenchSend(host_, QStringLiteral("CO"));
}

void SensorTest::ValuesClick() {
  MainModule& m = mm();
  if (m.gResetWaiting) return;
  m.gStopRequest = 0;
  if (ui_.Text(kValuesButton) != kStart) {
    ui_.SetText(kValuesButton, -1, kStopping);
    state_.mAbortRequest = -1;
    return;
  }
  BenchJobScope scope(state_);
  if (!scope.Acquired()) return;
  ui_.SetText(kValuesButton, -1, kStop);
  state_.mAbortRequest = 0;
  ui_.SetEnabled(kSensorFrame, -1, false);
  ui_.SetEnabled(kSensorButton, -1, false);
  EtcLimitsLocked(false);
  if (BenchPortReady(host_, true)) RunValues();
  EndRun(kValuesButton, kSensorButton, kSensorFrame);
}

void SensorTest::RunValues() {
  const QString boxes[3] = {QStringLiteral("TxtTPHtmp"), QStringLiteral("TxtErtmp"), QStringLiteral("TxtCirtmp")};
  std::optional<int> min[3], max[3];
  for (int k = 0; k < 3; ++k) {
    min[k] = TempLimitOf(ui_.Text(boxes[k], 0));
    max[k] = TempLimitOf(ui_.Text(boxes[k], 1));
  }
  const std::optional<float> batteryMin = VoltLimitOf(ui_.Text(QStringLiteral("TxtBattery")));

  Lamp(kLampMeasure);
  ui_.SetText(kMsg, -1, QStringLiteral("各値 取得中！"));
  std::array<int, 4> results{};
  for (;;) {
    PumpPendingEvents();
    const bool thAnswered = BenchSend(host_, QStringLiteral("TH"));
    const QString th = thAnswered ? mm().gReplyText : QString();
    if (th.left(5) != QLatin1String("ATH90")) {
      for (int k = 0; k < 3; ++k) {
        ui_.SetText(kEtcValue, k, kDashes);
        Verdict(kEtcJudge, k, false);
        results[static_cast<size_t>(k)] = 0;
      }
    } else {
      MainModule& m = mm();
      ApplyStateChanges(DecodeReply(QStringLiteral("TH"), th, DecodeContext(m)).state, m);
      const QString readings[3] = {m.gThTphTemp, m.gThErTemp, m.gThBoardTemp};
      for (int k = 0; k < 3; ++k) {
        ui_.SetText(kEtcValue, k, readings[k]);
        const bool ok = TempWithin(readings[k], min[k], max[k]);
        Verdict(kEtcJudge, k, ok);
        results[static_cast<size_t>(k)] = ok ? 1 : 0;
      }
    }
    const bool sAnswered = BenchSend(host_, QStringLiteral("!!s"));
    if (const auto battery = BatteryVolt(sAnswered ? mm().gReplyText : QString())) {
      ui_.SetText(kEtcValue, 3, VoltText(*battery));
      const bool ok = batteryMin && !(*battery < *batteryMin);
      Verdict(kEtcJudge, 3, ok);
      results[3] = ok ? 1 : 0;
    }
    bool allOk = true;
    for (int r : results) allOk = allOk && r == 1;
    Verdict(kEtcTotal, -1, allOk);
    if (BenchMustEnd(state_)) break;
  }
  Lamp(kLampWait);
  ui_.SetText(kMsg, -1, QStringLiteral("排　出"));
  BenchSend(host_, QStringLiteral("CO"));
}

}  // namespace quorel

// The "Sensor / Temp" tab of the bench: the sensor loop ("!!s" every 0.3 s,
// six A/D codes judged as voltages) and the values loop ("TH" temperatures
// and the backup battery from "!!s"), each run until its button is pressed
// again, plus the two setting-mode switches that unlock their limits.
#pragma once
#include <QString>
#include <array>
#include <optional>

namespace quorel {

class FormControls;
class JobHost;
struct BenchJobState;

// ---- rules ----

// The two hex digits at 1-based reply position pos as a number; an
// incomplete pair counts the digits present, none (or a non-hex digit) 0.
int ReplyHexPair(const QString& reply, int pos);

// code x full scale / 255, worked in double on the single-precision full
// scale and kept in single precision, as the limits it is compared with.
float SensorVolt(int code, float fullScale);

// A limit box as a single-precision number; nullopt when it holds none.
std::optional<float> VoltLimitOf(const QString& text);
// A temperature limit box as a 16-bit whole number (rounded); nullopt when
// it holds none or is out of range.
std::optional<int> TempLimitOf(const QString& text);

// "#0.00".
QString VoltText(double v);

struct SensorLimits {
  std::optional<float> fullScale, min, max;
};

// One sensor's outcome of a cycle.
struct SensorReading {
  enum Result { kNg = 0, kOk = 1, kNotMeasured = 2 };
  Result result = kNg;
  float volt = 0;  // only for measured sensors
};

// The six sensors of one "!!s" reply; nullopt when the reply is shorter
// than 15 characters (the readings stay as they were). A limit that is not
// a number judges every measured sensor NG.
std::optional<std::array<SensorReading, 6>> JudgeSensorReply(const QString& reply, const std::array<bool, 6>& ticked,
                                                             const SensorLimits& limits);

// The backup battery of a "!!s" reply (characters 20-21), code x 3.3 / 255
// x 1.5 taken back from its "#0.00" text; nullopt for a reply under 15
// characters.
std::optional<float> BatteryVolt(const QString& reply);

// min <= t <= max on whole numbers; a reading or limit that is not a whole
// number is NG.
bool TempWithin(const QString& reading, std::optional<int> min, std::optional<int> max);

// ---- the jobs ----

class SensorTest {
 public:
  static const QString kStart, kStop, kStopping;

  SensorTest(FormControls& ui, JobHost& host, BenchJobState& state);
  // CmdSensorVolt_Click.
  void SensorClick();
  // CmdetcValue_Click.
  void ValuesClick();
  // ChkSensorSettingMode_Click / ChkEtcSettingMode_Click.
  void SensorSettingClick();
  void EtcSettingClick();

 private:
  void SensorLimitsLocked(bool unlocked, bool forRun);
  void EtcLimitsLocked(bool unlocked);
  void RunSensors();
  void RunValues();
  void Verdict(const QString& label, int index, bool ok);
  void Lamp(unsigned bgr);
  void EndRun(const QString& button, const QString& otherButton, const QString& otherFrame);

  FormControls& ui_;
  JobHost& host_;
  BenchJobState& state_;
};

}  // namespace quorel

#include "testbench/bench_settings.h"

#include "core/form_controls.h"
#include "core/main_module.h"
#include "core/settings_file.h"
#include "testbench/bench_tab_placeholders.h"
#include "testbench/print_test_button.h"

namespace quorel {
namespace {

const QString kSection = QStringLiteral("Form");

QString Read(const char* key) { return ReadIni(kSection, QLatin1String(key), mm().gIniPath); }
void Write(const char* key, const QString& value) { WriteIni(kSection, QLatin1String(key), value, mm().gIniPath); }

QString StoredValue(const FormControls& ui, const BenchKey& k) {
  if (k.check) return ui.Ticked(QLatin1String(k.control), k.index) ? QStringLiteral("1") : QStringLiteral("0");
  return ui.Text(QLatin1String(k.control), k.index).trimmed();
}

// Keys [first, last) of the table.
void WriteRange(const FormControls& ui, size_t first, size_t last) {
  for (size_t i = first; i < last; ++i) Write(BenchKeys()[i].key, StoredValue(ui, BenchKeys()[i]));
}

void LoadRange(FormControls& ui, size_t first, size_t last) {
  for (size_t i = first; i < last; ++i) {
    const BenchKey& k = BenchKeys()[i];
    const QString v = Read(k.key);
    // A check-box key holding anything but "1" leaves the box unticked.
    if (k.check) ui.SetValue(QLatin1String(k.control), k.index, v == QLatin1String("1") ? 1 : 0);
    else ui.SetText(QLatin1String(k.control), k.index, v);
  }
}

constexpr size_t kStepKeys = 3;    // TxtRWDevTst0..2
constexpr size_t kLimitEnd = 20;   // ... CIcommand
constexpr size_t kClockWrite = 20;
constexpr size_t kClockGap = 21;

}  // namespace

const std::array<BenchKey, 22>& BenchKeys() {
  static const std::array<BenchKey, 22> keys = {{
      {"TxtRWDevTstTimer", 0, "TxtRWDevTst0", "0.3", false},
      {"TxtRWDevTstTimer", 1, "TxtRWDevTst1", "2", false},
      {"TxtRWDevTstTimer", 2, "TxtRWDevTst2", "2", false},
      {"TxtTPHtmp", 0, "TPHtmpMin", "0", false},
      {"TxtTPHtmp", 1, "TPHtmpMax", "70", false},
      {"TxtErtmp", 0, "ErtmpMin", "0", false},
      {"TxtErtmp", 1, "ErtmpMax", "190", false},
      {"TxtCirtmp", 0, "CirtmpMin", "0", false},
      {"TxtCirtmp", 1, "CirtmpMax", "50", false},
      {"TxtBattery", -1, "BatteryMin", "2.80", false},
      {"TxtBaseVolt", -1, "SensorBaseV", "3.3", false},
      {"TxtRange", 0, "SensorVoltMin", "1.32", false},
      {"TxtRange", 1, "SensorVoltMax", "3.27", false},
      {"ChkSensor", 0, "SenTstCheck0", "0", true},
      {"ChkSensor", 1, "SenTstCheck1", "1", true},
      {"ChkSensor", 2, "SenTstCheck2", "1", true},
      {"ChkSensor", 3, "SenTstCheck3", "1", true},
      {"ChkSensor", 4, "SenTstCheck4", "1", true},
      {"ChkSensor", 5, "SenTstCheck5", "1", true},
      {"ChkSenCIcmd", -1, "CIcommand", "1", true},
      {"ChkClockCRWSet", -1, "ClockWrite", "1", true},
      {"TxtCkGap", -1, "ClockGap", "10", false},
  }};
  return keys;
}

void ApplyBenchDesignValues(FormControls& ui) {
  for (const BenchKey& k : BenchKeys()) {
    if (k.check) ui.SetValue(QLatin1String(k.control), k.index, QLatin1String(k.design) == QLatin1String("1") ? 1 : 0);
    else ui.SetText(QLatin1String(k.control), k.index, QLatin1String(k.design));
  }
}

void LoadBenchSettings(FormControls& ui) {
  if (Read("TxtRWDevTst0").isEmpty()) {
    for (size_t i = 0; i < kStepKeys; ++i) {
      const BenchKey& k = BenchKeys()[i];
      Write(k.key, QLatin1String(k.design));
      ui.SetText(QLatin1String(k.control), k.index, QLatin1String(k.design));
    }
  } else {
    LoadRange(ui, 0, kStepKeys);
  }

  if (Read("TPHtmpMin").isEmpty()) WriteRange(ui, kStepKeys, kLimitEnd);
  else LoadRange(ui, kStepKeys, kLimitEnd);

  const QString clockWrite = Read("ClockWrite");
  if (clockWrite.isEmpty()) {
    WriteRange(ui, kClockWrite, kClockGap + 1);
  } else {
    // A stored "0" unticks the box: the operator's choice survives a restart.
    ui.SetValue(QStringLiteral("ChkClockCRWSet"), -1, clockWrite == QLatin1String("0") ? 0 : 1);
    ui.SetText(QStringLiteral("TxtCkGap"), -1, Read("ClockGap"));
  }
}

void SaveBenchSettings(const FormControls& ui) { WriteRange(ui, 0, BenchKeys().size()); }

void BenchLabelInit(FormControls& ui) {
  const QString pc = QStringLiteral("LbCkPC"), crw = QStringLiteral("LbCkCRW");
  const char* const placeholders[] = {"----", "--", "--", "", "--:--:--"};
  for (int i = 0; i < 5; ++i) {
    ui.SetText(pc, i, QLatin1String(placeholders[i]));
    ui.SetText(crw, i, QLatin1String(placeholders[i]));
    ui.SetText(QStringLiteral("LbCkOKNG"), i, QStringLiteral("--"));
    ui.SetForeColor(QStringLiteral("LbCkOKNG"), i, kButtonText);
  }
  ui.SetText(QStringLiteral("LbCkGap"), 0, QStringLiteral("----"));
  for (int i = 0; i < 3; ++i) ui.SetEnabled(QStringLiteral("LbCkSet"), i, false);
  ui.SetEnabled(QStringLiteral("FrameCkSet"), -1, false);
  ui.SetEnabled(QStringLiteral("TxtCkGap"), -1, false);
  ShowPrintTestMessage(ui, 0xE0E0E0, QString());  // the adjustment tab's message line, grey
  ui.SetText(QStringLiteral("Lb7Seg"), -1, QString());
  ui.SetText(QStringLiteral("LbRAMClearOKNG"), -1, QString());
  ui.SetText(QStringLiteral("LbRAMPercent"), -1, QStringLiteral("0%"));
  SensorJitterSettingsLabelInit(ui);
}

void BenchAdminClick(const FormControls& ui) {
  MainModule& m = mm();
  const QString section = InstanceSection(QStringLiteral("Form"));
  if (ui.Value(QStringLiteral("ChkTestAdmin")) == 1) {
    m.gAdminMode = 1;
    WriteIni(section, QStringLiteral("BRELLAN_G"), QStringLiteral("quildermans40127"), m.gIniPath);
  } else {
    WriteIni(section, QStringLiteral("BRELLAN_G"), QStringLiteral("brellan"), m.gIniPath);
    m.gAdminMode = 0;
  }
}

}  // namespace quorel

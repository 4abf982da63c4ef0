#include "testbench/bench_tab_placeholders.h"

#include "core/form_controls.h"

namespace quorel {

void SensorJitterSettingsLabelInit(FormControls& ui) {
  constexpr uint32_t kIdleLamp = 0xE0E0E0;
  for (int i = 0; i <= 8; ++i) {
    ui.SetText(QStringLiteral("EEPSetLabel_Mivor"), i, QString());
    ui.SetText(QStringLiteral("EEPSetCmb_Mivor"), i, QString());
  }
  for (int i = 0; i <= 6; ++i) ui.SetText(QStringLiteral("lbStatus_Mivor"), i, QString());
  ui.SetText(QStringLiteral("PassDisp_Mivor"), -1, QString());

  for (int k = 1; k <= 3; ++k) {
    const QString row = QStringLiteral("LbJitter") + QString::number(k) + QStringLiteral("Tr");
    for (int c = 0; c < 16; ++c) {
      QString text = QStringLiteral("---");
      if (c % 8 == 0) text = QString::number(k) + QStringLiteral("Tr");
      else if (c % 8 == 4) text = QStringLiteral("--.-");
      else if (c % 8 == 7) text = QStringLiteral("--");
      ui.SetText(row, c, text);
    }
  }

  for (int i = 0; i <= 1; ++i)
    for (const char* box : {"TxtTPHtmp", "TxtErtmp", "TxtCirtmp", "TxtRange"}) ui.SetEnabled(QLatin1String(box), i, false);
  ui.SetEnabled(QStringLiteral("TxtBattery"), -1, false);
  ui.SetEnabled(QStringLiteral("TxtBaseVolt"), -1, false);
  for (int i = 0; i <= 3; ++i) {
    ui.SetText(QStringLiteral("LbetcValue"), i, i < 3 ? QStringLiteral("---") : QStringLiteral("-.--"));
    ui.SetText(QStringLiteral("LbetcJudge"), i, QString());
  }
  for (int i = 0; i <= 10; ++i) {
    ui.SetEnabled(QStringLiteral("LbetcSet"), i, false);
    ui.SetEnabled(QStringLiteral("LbSensorSet"), i, false);
  }
  ui.SetText(QStringLiteral("LbEtcTotalJudge"), -1, QString());
  ui.SetText(QStringLiteral("LbSenTotalJudge"), -1, QString());
  for (int i = 0; i <= 5; ++i) {
    ui.SetText(QStringLiteral("LbSensorV"), i, QStringLiteral("-.--"));
    ui.SetText(QStringLiteral("LbSenJudge"), i, QString());
    ui.SetEnabled(QStringLiteral("ChkSensor"), i, false);
  }
  ui.SetEnabled(QStringLiteral("ChkSenCIcmd"), -1, false);
  ui.SetText(QStringLiteral("LbSenMsg"), -1, QString());
  ui.SetBackColor(QStringLiteral("ShpSentest"), -1, kIdleLamp);
  ui.SetText(QStringLiteral("LbJitterMsg"), -1, QString());
  ui.SetBackColor(QStringLiteral("ShapeJitterMsg"), -1, kIdleLamp);
}

}  // namespace quorel

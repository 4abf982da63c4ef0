#include "core/main_shell.h"

#include "core/form_controls.h"
#include "core/main_module.h"
#include "core/password_prompt.h"
#include "core/settings_file.h"

namespace quorel {

uint32_t LampColor(const QString& label25, const QString& label10) {
  if (label25.left(2) == QLatin1String("90")) return 0x00FF00;
  const QString kind = label10.left(1);
  if (kind == QLatin1String("B")) return 0x00FFFF;
  if (kind == QLatin1String("R")) return 0x00FF00;
  if (kind == QLatin1String("A")) return 0x0000FF;
  return kButtonFace;
}

const QStringList& ExtraOptionControls() {
  static const QStringList names = {
      QStringLiteral("ChkLCD"),      QStringLiteral("ChkEMC"),     QStringLiteral("ChkCOM2"),
      QStringLiteral("ChkRetry"),    QStringLiteral("OptPRT"),     QStringLiteral("OptLAN"),
      QStringLiteral("OptModem"),    QStringLiteral("ChkRDDT"),    QStringLiteral("ChkRmargin"),
      QStringLiteral("Chk09RWCode"), QStringLiteral("Chk27503Tr"), QStringLiteral("ChkPunch"),
      QStringLiteral("ChkIRread")};
  return names;
}

void AdminModeClick(FormControls& ui) {
  MainModule& m = mm();
  const QString section = InstanceSection(QStringLiteral("Form"));
  const QString key = QStringLiteral("BRELLAN_G");
  if (ui.Value(QStringLiteral("ChkAdminiMode")) == 1) {
    m.gAdminMode = 1;
    WriteIni(section, key, QStringLiteral("quildermans40127"), m.gIniPath);
  } else {
    WriteIni(section, key, QStringLiteral("brellan"), m.gIniPath);
    m.gAdminMode = 0;
  }
}

EnlargeAction DecideEnlarge(bool compactShown) {
  if (!compactShown) return EnlargeAction::kCompact;
  if (mm().gAdminMode == 1) return EnlargeAction::kEnlargeAndAdmin;
  return PasswordGate() ? EnlargeAction::kEnlarge : EnlargeAction::kCompact;
}

void SaveWindowKeys(const FormControls& ui, int leftTwips, int topTwips) {
  const MainModule& m = mm();
  const QString& ini = m.gIniPath;
  const QString display = InstanceSection(QStringLiteral("Display"));
  WriteIni(display, QStringLiteral("Left"), QString::number(leftTwips), ini);
  WriteIni(display, QStringLiteral("Top"), QString::number(topTwips), ini);
  const QString form = InstanceSection(QStringLiteral("Form"));
  WriteIni(form, QStringLiteral("CenVolt"),
           ui.Value(QStringLiteral("OpSenV"), 0) == 1 ? QStringLiteral("0") : QStringLiteral("1"), ini);
  WriteIni(form, QStringLiteral("PWETAutoChk"),
           ui.Value(QStringLiteral("ChkPWETAuto")) == 0 ? QStringLiteral("0") : QStringLiteral("1"), ini);
  for (int i = 0; i <= 4; ++i)
    WriteIni(form, QStringLiteral("CustomCmd%1").arg(i), ui.Text(QStringLiteral("TxtCustomSendCmd"), i), ini);
  for (int i = 0; i <= 2; ++i)
    WriteIni(form, QStringLiteral("ChkCardKind%1").arg(i), QString::number(ui.Value(QStringLiteral("ChkCardKind"), i)),
             ini);
}

}  // namespace quorel

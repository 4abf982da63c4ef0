#include "core/command_console.h"

#include "core/console_commands.h"
#include "core/dialogs.h"
#include "core/form_controls.h"
#include "core/link_api.h"
#include "core/main_module.h"
#include "core/settings_file.h"
#include "core/text_macros.h"

namespace quorel {
namespace {

const QString kForm = QStringLiteral("Form");

QString FormSection() { return InstanceSection(kForm); }

QString Flag(int16_t v) { return v == 1 ? QStringLiteral("1") : QStringLiteral("0"); }

}  // namespace

CommandConsole::CommandConsole(FormControls& ui, ConsoleHost& host) : ui_(ui), host_(host) {}

void CommandConsole::labelInit(CustomCommands custom) {
  for (int i = 0; i <= 4; ++i) {
    if (i <= 1) ui_.SetText(QStringLiteral("LbTH"), i, QString());
    if (i <= 3) ui_.SetText(QStringLiteral("TxtPWETSend"), i, QString());
    if (custom == CustomCommands::kClear) ui_.SetText(QStringLiteral("TxtCustomSendCmd"), i, QString());
    if (i >= 1 && i <= 3) {
      ui_.SetText(QStringLiteral("LbWdLen"), i, QString());
      ui_.SetText(QStringLiteral("txtWd"), i, QString());
      ui_.SetText(QStringLiteral("TxtDTtr"), i, QString());
      ui_.SetText(QStringLiteral("LbDTtrLen"), i, QString());
    }
  }
  for (const char* name : {"LbCT", "Label10", "Label14", "Label25", "Label28", "Label29", "LbComClaimed", "LbComViewer",
                           "LbEEPForm", "Label37", "Label39", "Label40", "Label41", "Label53", "TxtROMVer"})
    ui_.SetText(QString::fromLatin1(name), QString());
  const struct {
    const char* name;
    int index;
    const char* text;
  } texts[] = {{"TxtRWTestCount", -1, "200"},
               {"TxtSendBox", -1, ""},
               {"TxtSendLenBox", -1, ""},
               {"Text8", -1, "0"},
               {"TxtPDData", -1, "0/0/24/esc$e222012"},
               {"TxtMDData", -1, ""},
               {"Text11", -1, ""},
               {"Text12", -1, "69"},
               {"Text16", -1, "000000"},
               {"Text17", -1, ""},
               {"TxtASData", 0, "0"},
               {"TxtASData", 1, "459"},
               {"TxtMR", -1, ""}};
  for (const auto& t : texts) ui_.SetText(QString::fromLatin1(t.name), t.index, QString::fromLatin1(t.text));
  host_.ClearLog();
}

void CommandConsole::LoadSettings() {
  MainModule& m = mm();
  const QString s = FormSection();
  const QString& ini = m.gIniPath;
  ui_.SetValue(QStringLiteral("DSRcheckd"), m.gUseDSR == 1 ? 1 : 0);
  ui_.SetValue(QStringLiteral("CTScheckd"), m.gUseCTS == 1 ? 1 : 0);

  if (ReadIni(s, QStringLiteral("CenVolt"), ini) == QLatin1String("0"))
    ui_.SetValue(QStringLiteral("OpSenV"), 0, 1);
  else
    ui_.SetValue(QStringLiteral("OpSenV"), 1, 1);

  const QString auto_ = ReadIni(s, QStringLiteral("PWETAutoChk"), ini);
  if (auto_ == QLatin1String("0") || auto_ == QLatin1String("1")) {
    ui_.SetValue(QStringLiteral("ChkPWETAuto"), auto_ == QLatin1String("1") ? 1 : 0);
    for (int i = 0; i <= 4; ++i)
      ui_.SetText(QStringLiteral("TxtCustomSendCmd"), i, ReadIni(s, QStringLiteral("CustomCmd%1").arg(i), ini));
  } else {
    ui_.SetValue(QStringLiteral("ChkPWETAuto"), 0);
    WriteIni(s, QStringLiteral("PWETAutoChk"), QStringLiteral("0"), ini);
    for (int i = 0; i <= 4; ++i) WriteIni(s, QStringLiteral("CustomCmd%1").arg(i), QString(), ini);
  }

  if (!ReadIni(s, QStringLiteral("ChkCardKind0"), ini).isEmpty()) {
    for (int i = 0; i <= 2; ++i)
      ui_.SetValue(QStringLiteral("ChkCardKind"), i, ReadIni(s, QStringLiteral("ChkCardKind%1").arg(i), ini).toInt());
  } else {
    for (int i = 0; i <= 2; ++i) WriteIni(s, QStringLiteral("ChkCardKind%1").arg(i), QStringLiteral("0"), ini);
  }

  ui_.SetText(QStringLiteral("LbComViewer"), QString::number(m.gPort));
  ui_.SetText(QStringLiteral("LbComConfig"), QStringLiteral("%1,%2,%3,1").arg(m.gBoud).arg(m.gParity).arg(m.gDataBit));

  if (ReadIni(s, QStringLiteral("RS_Mode"), ini) == QLatin1String("1")) {
    m.gRSMode = 1;
    ui_.SetValue(QStringLiteral("ChkRSmode"), 1);
    WriteIni(s, QStringLiteral("RS_Mode"), QStringLiteral("1"), ini);
  } else {
    WriteIni(s, QStringLiteral("RS_Mode"), QStringLiteral("0"), ini);
    ui_.SetValue(QStringLiteral("ChkRSmode"), 0);
    m.gRSMode = 0;
  }
}

void CommandConsole::LoadStartValues() {
  mm().gLangJapanese = 1;
  for (const char* name : {"ChkRmargin", "ChkEMC", "ChkLCD"}) ui_.SetValue(QString::fromLatin1(name), 0);
  ui_.SetValue(QStringLiteral("Check6"), 1);
  ui_.SetValue(QStringLiteral("OptPRT"), 1);
  ui_.SetValue(QStringLiteral("OptLAN"), 0);
  ui_.SetValue(QStringLiteral("OptModem"), 0);
  ui_.SetValue(QStringLiteral("OpJISISO"), 0, 1);
  ui_.SetValue(QStringLiteral("OpJISISO"), 1, 0);
  for (const char* name : {"Chk27503Tr", "ChkCOM2", "ChkRDDT"}) ui_.SetValue(QString::fromLatin1(name), 0);
  for (const char* name : {"OptPRT", "OptLAN", "OptModem"}) ui_.SetEnabled(QString::fromLatin1(name), false);
  ui_.SetListIndex(QStringLiteral("CmbJIkoPD"), -1, 0);
  ui_.SetText(QStringLiteral("CmbJIkoPD"), QString());
}

bool CommandConsole::Send(const QString& command) {
  mm().gSendCommand = command;
  host_.comu();
  return mm().gAppClosing != 1;
}

bool CommandConsole::OpenAndPoll() {
  MainModule& m = mm();
  if (m.gPortOpen) return true;
  host_.commIni();
  if (!m.gPortOpen) return false;
  host_.poll();
  return m.gAppClosing != 1;
}

bool CommandConsole::BuildCommand(int index, QString* command) {
  if (index == 4) {
    const std::optional<QString> ms =
        MsModeText(ui_.Text(QStringLiteral("TxtMDData")), ui_.Ticked(QStringLiteral("ChkCardKind"), 0),
                   ui_.Text(QStringLiteral("CmbKdKind")));
    if (!ms) {
      MsgBox(QStringLiteral("カード種が設定されておりません。\r\nご確認ください！。"), BoxButtons::kOk,
             BoxIcon::kCritical, QStringLiteral("カード種選択エラー"));
      ui_.Focus(QStringLiteral("CmbKdKind"));
      return false;
    }
    ui_.SetText(QStringLiteral("TxtMDData"), *ms);
    *command = QStringLiteral("MS:") + *ms;
  } else if (index >= 32 && index <= 34) {
    const int n = index - 31;
    const QString data = ui_.Text(QStringLiteral("txtWd"), n);
    *command = TrackDataCommand(n, data);
    // Every send adds an entry, so earlier data can be picked again.
    ui_.InsertItem(QStringLiteral("txtWd"), n, 0, data);
  } else if (index == 43) {
    const QString page = ExpandTextMacros(PdPageText(ui_.Text(QStringLiteral("TxtPDData"))));
    ui_.SetText(QStringLiteral("TxtPDData"), page);
    *command = QStringLiteral("PD:") + ExpandCtrlMacros(page);
  } else if (index == 44) {
    *command = QStringLiteral("AS:") + ui_.Text(QStringLiteral("TxtASData"), 0) + QLatin1Char('/') +
               ui_.Text(QStringLiteral("TxtASData"), 1);
  } else {
    *command = FixedCommand(index);
  }
  return !command->isEmpty();
}

void CommandConsole::Command1_Click(int index) {
  MainModule& m = mm();
  m.gStopRequest = 0;
  if (m.gResetWaiting != 0 || m.gAppClosing == 1) return;
  if (!OpenAndPoll()) return;
  // Only the "CL" half of the job preamble: a power-up report is answered by
  // the "PA" button or the right button.
  if (m.gReplyKind == QLatin1String("B") && !Send(QStringLiteral("CL"))) return;
  if (index == 0) {
    host_.poll();
    return;
  }
  QString command;
  if (!BuildCommand(index, &command) || !Send(command)) return;
  const QString next = FollowUpCommand(index, ui_.Ticked(QStringLiteral("ChkCardKind"), 2));
  if (!next.isEmpty()) Send(next);
}

void CommandConsole::Command1_RightButtonUp(int index) {
  MainModule& m = mm();
  host_.poll();
  if (m.gAppClosing == 1) return;
  if (m.gReplyText.left(2) == QLatin1String("R2") && !Send(QStringLiteral("PA"))) return;
  const QString command = RightButtonCommand(index);
  if (command.isEmpty() || !Send(command)) return;
  if (index == 4) Send(QStringLiteral("MR"));
}

void CommandConsole::cmdKaishi_Click() {
  if (!OpenAndPoll()) return;
  const QString text = ui_.Text(QStringLiteral("TxtSendBox"));
  if (text.isEmpty()) {
    host_.poll();
    return;
  }
  // Reply macros ("ver$") go out as typed.
  Send(ExpandCtrlMacros(text));
}

void CommandConsole::CmdCustomSend_Click(int index) {
  MainModule& m = mm();
  if (!m.gPortOpen) {
    host_.commIni();
    host_.poll();  // also when the open failed: it returns at once then
    if (m.gAppClosing == 1) return;
  }
  const QString text = ui_.Text(QStringLiteral("TxtCustomSendCmd"), index);
  if (text.isEmpty()) {
    host_.poll();
    return;
  }
  Send(text.left(2) == QLatin1String("PD") ? ExpandCtrlMacros(ExpandTextMacros(text)) : ExpandCtrlMacros(text));
}

void CommandConsole::HandshakeSwitch(const QString& item, const QString& key, int16_t& flag) {
  MainModule& m = mm();
  // The check mark follows the flag (Form_Load set it so), whatever the menu
  // did to it on its own when it was chosen.
  flag = flag == 1 ? 0 : 1;
  ui_.SetValue(item, flag);
  if (m.gPortOpen) Link().ComDSRCTSsw(m.gPort, m.gUseDSR, m.gUseCTS);
  WriteIni(InstanceSection(QStringLiteral("Comm")), key, Flag(flag), m.gIniPath);
}

void CommandConsole::DSRcheckd_Click() {
  HandshakeSwitch(QStringLiteral("DSRcheckd"), QStringLiteral("DSR"), mm().gUseDSR);
}

void CommandConsole::CTScheckd_Click() {
  HandshakeSwitch(QStringLiteral("CTScheckd"), QStringLiteral("CTS"), mm().gUseCTS);
}

void CommandConsole::ChkRSmode_Click() {
  MainModule& m = mm();
  if (ui_.Value(QStringLiteral("ChkRSmode")) == 1) {
    m.gRSMode = 1;
    WriteIni(FormSection(), QStringLiteral("RS_Mode"), QStringLiteral("1"), m.gIniPath);
  } else {
    WriteIni(FormSection(), QStringLiteral("RS_Mode"), QStringLiteral("0"), m.gIniPath);
    m.gRSMode = 0;
  }
}

void CommandConsole::ChkCOM2_Click() {
  const bool on = ui_.Value(QStringLiteral("ChkCOM2")) == 1;
  if (!on) ui_.SetValue(QStringLiteral("ChkCOM2"), 0);
  for (const char* name : {"OptPRT", "OptLAN", "OptModem"}) ui_.SetEnabled(QString::fromLatin1(name), on);
  for (int i = 0; i <= 1; ++i) ui_.SetForeColor(QStringLiteral("LineCom2"), i, on ? 0x000000 : 0xE0E0E0);
}

void CommandConsole::Check3_Click() {
  if (ui_.Value(QStringLiteral("Check3")) == 1) {
    ui_.SetEnabled(QStringLiteral("Check6"), true);
    return;
  }
  ui_.SetValue(QStringLiteral("Check3"), 0);
  ui_.SetEnabled(QStringLiteral("Check6"), false);
  ui_.SetValue(QStringLiteral("Check6"), 0);
}

void CommandConsole::CmdComClose_Click() {
  MainModule& m = mm();
  host_.poll();
  if (m.gAppClosing == 1) return;
  if (m.gReplyKind == QLatin1String("B") && !Send(QStringLiteral("CL"))) return;
  const QString kind = ui_.Text(QStringLiteral("Label10")).left(1);
  const uint32_t lamp = kind == QLatin1String("B")   ? 0x008080
                        : kind == QLatin1String("R") ? 0x008000
                        : kind == QLatin1String("A") ? 0x0000C0
                                                     : 0x808080;
  ui_.SetBackColor(QStringLiteral("Label53"), -1, lamp);
  host_.commClose();
}

}  // namespace quorel

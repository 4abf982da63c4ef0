#include "testbench/bench_eeprom_tab.h"

#include "core/conversions.h"
#include "core/dialogs.h"
#include "core/form_controls.h"
#include "core/job_host.h"
#include "core/main_module.h"
#include "eeprom/eep_rows.h"
#include "eeprom/eep_settings_mivor.h"
#include "eeprom/eep_settings_model.h"
#include "eeprom/eep_tables.h"
#include "testbench/bench_job.h"
#include "testbench/bench_settings.h"

namespace quorel {
namespace {

const QString kLabel = QStringLiteral("EEPSetLabel_Mivor");
const QString kStatus = QStringLiteral("lbStatus_Mivor");
const QString kTphMark = QStringLiteral("ShpTPHRank");
const QString kErMark = QStringLiteral("ShpErRank");
constexpr uint32_t kTphColour = 0x80C0FF;
constexpr uint32_t kErColour = 0xFFC0C0;

QString Char(const QString& reply, int position) { return reply.mid(position - 1, 1); }

void Caption(FormControls& ui, const QString& name, int index, const QString& text, const QString& tip) {
  ui.SetText(name, index, text);
  ui.SetToolTip(name, index, tip);
}

}  // namespace

QString CounterLineOf(int counter, const QString& reply) {
  int count = 0;
  const eep::CounterLine* lines = eep::MivorCounters(&count);
  if (counter < 0 || counter >= count) return QString();
  return QString::fromUtf8(lines[counter].label) + eep::CounterValue(lines[counter], reply) + QLatin1Char(' ');
}

bool OtherFamilyVersion(const QString& version) {
  for (const char* p : {"3", "145", "51", "14", "9", "4211"})
    if (version.startsWith(QLatin1String(p))) return true;
  return false;
}

BenchEepromTab::BenchEepromTab(FormControls& ui, JobHost& host)
    : ui_(ui), host_(host), labelInit_([this] { BenchLabelInit(ui_); }) {}

QString BenchEepromTab::Ask(const QString& command) {
  return BenchSend(host_, command) ? mm().gReplyText : QString();
}

// A mark is filled in its colour; an unfilled one shows the face behind it.
void BenchEepromTab::Unfill() {
  for (int i = 0; i <= 13; ++i) ui_.SetBackColor(kTphMark, i, kButtonFace);
  for (int i = 2; i <= 6; ++i) ui_.SetBackColor(kErMark, i, kButtonFace);
  for (int i = 0; i <= 8; ++i) {
    ui_.SetBackColor(kLabel, i, kButtonFace);
    ui_.SetText(kLabel, i, QString());
  }
}

void BenchEepromTab::SettingsLocked(bool locked) {
  for (const char* name : {"EEPSetting_Mivor", "EEPSetting_MivorCLS", "FrameRank", "FrameUpDwn", "FrameStatus"})
    ui_.SetEnabled(QLatin1String(name), -1, !locked);
}

void BenchEepromTab::EEPSetting_Mivor_Click() {
  MainModule& m = mm();
  SettingsLocked(true);
  if (labelInit_) labelInit_();
  Unfill();
  if (BenchPortReady(host_, true)) {
    Ask(QStringLiteral("VS"));
    Caption(ui_, kStatus, 4, m.gVersionText, m.gVersionText);

    const QString th = Ask(QStringLiteral("TH"));
    Caption(ui_, kStatus, 5, eep::ReplyData(th), eep::ReplyData(th));
    m.gThTphRank = SwapDevHexChar(Char(th, 6));
    m.gThTphTemp = eep::ReplyChars(th, 7, 8);
    m.gThPw1 = eep::ReplyChars(th, 9, 10);
    m.gThPw2 = eep::ReplyChars(th, 11, 12);
    m.gThErRank = Char(th, 13);
    m.gThErLot = Char(th, 14);
    m.gThErTemp = ThermistorToCelsius(eep::ReplyChars(th, 15, 16));
    m.gThBoardTemp = eep::ReplyChars(th, 17, 18);
    ui_.SetBackColor(kLabel, 0, kTphColour);
    Caption(ui_, kLabel, 0, m.gThTphRank, QStringLiteral("現在のTPH Rank = ") + m.gThTphRank + QLatin1Char(' '));
    // A rank outside 0..d (no reply, a foreign one) fills no mark.
    const int tph = eep::TphRankMarker(m.gThTphRank);
    if (tph >= 0) ui_.SetBackColor(kTphMark, tph, kTphColour);

    m.gTphDepth = Char(Ask(QStringLiteral("!!r?")), 7);
    Caption(ui_, kLabel, 1, m.gTphDepth, QStringLiteral("現在のTPH DEPTH = ") + m.gTphDepth + QLatin1Char(' '));
    ui_.SetBackColor(kLabel, 2, kErColour);
    Caption(ui_, kLabel, 2, m.gThErRank, QStringLiteral("現在のErase Rank = ") + m.gThErRank + QLatin1Char(' '));
    const int er = eep::EraseRankMarker(m.gThErRank);
    if (er >= 0) ui_.SetBackColor(kErMark, er, kErColour);
    Caption(ui_, kLabel, 3, m.gThErLot, QStringLiteral("現在のErase LOT = ") + m.gThErLot + QLatin1Char(' '));

    m.gPrintPosition = Char(Ask(QStringLiteral("!!o?")), 6);
    Caption(ui_, kLabel, 4, m.gPrintPosition,
            QStringLiteral("現在のPrint Position = ") + m.gPrintPosition + QLatin1Char(' '));

    Caption(ui_, kStatus, 0, m.gThTphTemp, QStringLiteral("TPH温度 = ") + m.gThTphTemp + QStringLiteral("℃"));
    Caption(ui_, kStatus, 1, m.gThErTemp, QStringLiteral("消去ﾍｯﾄﾞ温度 = ") + m.gThErTemp + QStringLiteral("℃"));
    Caption(ui_, kStatus, 2, m.gThBoardTemp, QStringLiteral("基板温度 = ") + m.gThBoardTemp + QStringLiteral("℃"));

    m.gBackupVolt = eep::BackupVolt(Ask(QStringLiteral("!!s")));
    Caption(ui_, kStatus, 3, m.gBackupVolt, QStringLiteral("ﾊﾞｯｸｱｯﾌﾟ電池電圧 = ") + m.gBackupVolt + QStringLiteral("V"));

    ShowRowRead(5, Ask(QStringLiteral("!!h?")));

    const QString re = QLatin1Char(' ') + eep::ReplyChars(Ask(QStringLiteral("RE")), 6, 15);
    Caption(ui_, kStatus, 6, re, re);
  }
  SettingsLocked(false);
}

// The labels and shared fields a set row's query carries.
void BenchEepromTab::ShowRowRead(int row, const QString& r) { eep::ShowMivorRowRead(ui_, row, r); }

void BenchEepromTab::EEPSetting_MivorCLS_Click() {
  SettingsLocked(true);
  Unfill();
  for (int i = 0; i <= 6; ++i) ui_.SetText(kStatus, i, QString());
  ui_.SetListIndex(QStringLiteral("CmbKdKind"), -1, 0);
  SettingsLocked(false);
}

void BenchEepromTab::EEPSetCmd_Mivor_Click(int row) {
  MainModule& m = mm();
  const eep::MivorChangeRow* change = eep::MivorChange(row);
  if (m.gResetWaiting || !change) return;
  if (!BenchPortReady(host_, true)) return;
  m.gStopRequest = 0;
  const QString read = Ask(QString::fromLatin1(change->readCommand));
  ShowRowRead(row, read);
  const QString typed = ui_.Text(QStringLiteral("EEPSetCmb_Mivor"), row).trimmed();
  if (typed.isEmpty()) return;
  const std::optional<QString> value = eep::MivorNewValue(row, typed);
  // A write built from a query that did not answer in full, or from a value
  // the device does not offer, would change the other settings it carries.
  if (!eep::MivorReadUsable(row, read)) {
    MsgBox(QStringLiteral("現在の設定値を読み出せませんでした。\r\n設定は変更されていません。"), BoxButtons::kOk,
           BoxIcon::kCritical);
  } else if (!value) {
    MsgBox(QStringLiteral("設定値が正しくありません。\r\n一覧の値から選択してください！"), BoxButtons::kOk,
           BoxIcon::kCritical);
  } else if (MsgBox(eep::MivorConfirmText(row, eep::MivorOldValue(row, read), *value), BoxButtons::kOkCancel,
                    BoxIcon::kQuestion) == BoxAnswer::kOk) {
    const QString reply = Ask(eep::MivorWriteCommand(row, read, *value));
    if (eep::MivorChangeTaken(row, reply, *value))
      MsgBox(QStringLiteral("設定が変更されました"));
    else
      MsgBox(QStringLiteral("設定が変更が無効です。\r\nもう一度確認後、再設定してください！"));
  }
  EEPSetting_Mivor_Click();
}

void BenchEepromTab::CmdUpDown_Click(int position) {
  MainModule& m = mm();
  if (m.gResetWaiting || position < 0 || position > 2) return;
  if (!BenchPortReady(host_, true)) return;
  m.gStopRequest = 0;
  BenchSend(host_, QStringLiteral("!!h") + QString::number(position));
}

void BenchEepromTab::CounterFramesEnabled(bool enabled) {
  for (const char* name : {"SSTabMivorTest", "FrameEEP", "FrameRAMClear"})
    ui_.SetEnabled(QLatin1String(name), -1, enabled);
}

void BenchEepromTab::PassSyutoku_Mivor_Click() {
  MainModule& m = mm();
  if (m.gResetWaiting) return;
  CounterFramesEnabled(false);
  m.gStopRequest = 0;
  if (BenchPortReady(host_, false)) {
    const bool answered = BenchSend(host_, QStringLiteral("VS"));
    const bool goOn = !(answered && OtherFamilyVersion(m.gVersionText)) ||
                      MsgBox(QStringLiteral("機種が該当しないと思われますが実行されますか？"), BoxButtons::kOkCancel,
                             BoxIcon::kQuestion, QStringLiteral("EEPROM Mivor")) == BoxAnswer::kOk;
    if (goOn) {
      int count = 0;
      const eep::CounterLine* lines = eep::MivorCounters(&count);
      QString list;
      for (int i = 0; i < count; ++i) {
        if (i > 0) list += QLatin1Char('\n');
        list += CounterLineOf(i, Ask(QString::fromLatin1(lines[i].command)));
        ui_.SetText(QStringLiteral("PassDisp_Mivor"), -1, list);
      }
    }
  }
  CounterFramesEnabled(true);
}

void BenchEepromTab::CounterReset(bool withPass) {
  MainModule& m = mm();
  // A closed port that cannot be opened ends the reset without a word.
  if (!BenchPortReady(host_, false)) return;
  m.gStopRequest = 0;
  if (m.gLangJapanese != 1) return;  // there is no English question
  const QString question = withPass ? QStringLiteral("エラー＆パス回数が初期化されます！")
                                    : QStringLiteral("エラー回数のみ初期化されます！");
  if (MsgBox(question, BoxButtons::kOkCancel, BoxIcon::kQuestion) != BoxAnswer::kOk) return;
  host_.poll();
  const QString reply = Ask(withPass ? QStringLiteral("!!c") : QStringLiteral("!!e"));
  if (reply.mid(3, 2) == QLatin1String("90")) {
    PassSyutoku_Mivor_Click();
    return;
  }
  MsgBox(QStringLiteral("エラーが発生いたしました。\r\nもう一度やり直しをお勧めします。"), BoxButtons::kOk, BoxIcon::kCritical,
         withPass ? QStringLiteral("EEPROM Error & Pass Initialize") : QStringLiteral("EEPROM Error Pass Initialize"));
}

}  // namespace quorel

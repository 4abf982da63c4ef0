#include "eeprom/eep_settings_mivor.h"

#include "core/conversions.h"
#include "core/dialogs.h"
#include "core/form_controls.h"
#include "core/main_module.h"
#include "eeprom/eep_rows.h"
#include "eeprom/eep_settings_model.h"

namespace quorel::eep {
namespace {

const QString kLabel = QStringLiteral("EEPSetLabel_Mivor");
const QString kStatus = QStringLiteral("lbStatus_Mivor");
constexpr uint32_t kTphHighlight = 0xFFC0FF;    // RGB(255, 192, 255)
constexpr uint32_t kEraseHighlight = 0xFFC0C0;  // RGB(192, 192, 255)

QString Char(const QString& reply, int position) { return reply.mid(position - 1, 1); }

void Caption(FormControls& ui, const QString& name, int index, const QString& text, const QString& tip) {
  ui.SetText(name, index, text);
  ui.SetToolTip(name, index, tip);
}

}  // namespace

void MivorSettings::Read() {
  MainModule& m = mm();
  if (m.gResetWaiting != 0) return;
  FormControls& ui = frame_.ui();
  // The panel is reset before the port check: a closed port leaves it empty.
  for (int i = 0; i <= 13; ++i) {
    if (i <= 4) ui.SetText(kLabel, i, QString());
    ui.SetVisible(QStringLiteral("ShpTPHRank"), i, false);
    if (i >= 2 && i <= 6) ui.SetVisible(QStringLiteral("ShpErRank"), i, false);
    if (i <= 8) ui.SetBackColor(kLabel, i, kButtonFace);
  }
  frame_.jobs().Run(kFullJob, [&](EepJob& job) {
    if (frame_.CheckFamily(job, Family::kMivor) == ModelAnswer::kCancelled || job.ending()) return;

    if (!job.Send(QStringLiteral("TH"))) return;
    const QString th = job.text();
    Caption(ui, kStatus, 5, ReplyData(th), ReplyData(th));
    m.gThTphRank = SwapDevHexChar(Char(th, 6));
    m.gThTphTemp = ReplyChars(th, 7, 8);
    m.gThPw1 = ReplyChars(th, 9, 10);
    m.gThPw2 = ReplyChars(th, 11, 12);
    m.gThErRank = Char(th, 13);
    m.gThErLot = Char(th, 14);
    m.gThErTemp = ThermistorToCelsius(ReplyChars(th, 15, 16));
    m.gThBoardTemp = ReplyChars(th, 17, 18);
    Caption(ui, kLabel, 0, m.gThTphRank, QStringLiteral("現在のTPH Rank = ") + m.gThTphRank + QLatin1Char(' '));
    ui.SetBackColor(kLabel, 0, kTphHighlight);
    // A rank outside 0..d (no reply, a foreign one) lights no marker.
    const int tph = TphRankMarker(m.gThTphRank);
    if (tph >= 0) ui.SetVisible(QStringLiteral("ShpTPHRank"), tph, true);

    if (!job.Send(QStringLiteral("!!r?"))) return;
    m.gTphDepth = Char(job.text(), 7);
    Caption(ui, kLabel, 1, m.gTphDepth, QStringLiteral("現在のTPH DEPTH = ") + m.gTphDepth + QLatin1Char(' '));
    Caption(ui, kLabel, 2, m.gThErRank, QStringLiteral("現在のErase Rank = ") + m.gThErRank + QLatin1Char(' '));
    ui.SetBackColor(kLabel, 2, kEraseHighlight);
    const int er = EraseRankMarker(m.gThErRank);
    if (er >= 0) ui.SetVisible(QStringLiteral("ShpErRank"), er, true);
    Caption(ui, kLabel, 3, m.gThErLot, QStringLiteral("現在のErase LOT = ") + m.gThErLot + QLatin1Char(' '));

    if (!job.Send(QStringLiteral("!!o?"))) return;
    m.gPrintPosition = Char(job.text(), 6);
    Caption(ui, kLabel, 4, m.gPrintPosition,
            QStringLiteral("現在のPrint Position = ") + m.gPrintPosition + QLatin1Char(' '));

    Caption(ui, kStatus, 0, m.gThTphTemp, QStringLiteral("TPH温度 = ") + m.gThTphTemp + QStringLiteral("℃"));
    Caption(ui, kStatus, 1, m.gThErTemp, QStringLiteral("消去ﾍｯﾄﾞ温度 = ") + m.gThErTemp + QStringLiteral("℃"));
    Caption(ui, kStatus, 2, m.gThBoardTemp, QStringLiteral("基板温度 = ") + m.gThBoardTemp + QStringLiteral("℃"));

    if (!job.Send(QStringLiteral("!!s"))) return;
    m.gBackupVolt = BackupVolt(job.text());
    Caption(ui, kStatus, 3, m.gBackupVolt, QStringLiteral("ﾊﾞｯｸｱｯﾌﾟ電池電圧 = ") + m.gBackupVolt + QStringLiteral("V"));

    if (!job.Send(QStringLiteral("!!h?"))) return;
    ShowRowRead(5, job.text());

    if (m.gReportMode != 0) frame_.reportBuffer() += MivorSettingsReport(m.gReportSeparator);

    if (!job.Send(QStringLiteral("RE"))) return;
    const QString re = QLatin1Char(' ') + ReplyChars(job.text(), 6, 15);
    Caption(ui, kStatus, 6, re, re);
  });
}

void ShowMivorRowRead(FormControls& ui, int index, const QString& r) {
  MainModule& m = mm();
  if (index <= 1) {
    m.gThTphRank = SwapDevHexChar(Char(r, 6));
    m.gTphDepth = Char(r, 7);
    ui.SetText(kLabel, 0, m.gThTphRank);
    ui.SetText(kLabel, 1, m.gTphDepth);
  } else if (index <= 3) {
    m.gThErRank = Char(r, 6);
    m.gThErLot = Char(r, 7);
    ui.SetText(kLabel, 2, m.gThErRank);
    ui.SetText(kLabel, 3, m.gThErLot);
  } else if (index == 4) {
    m.gPrintPosition = Char(r, 6);
    ui.SetText(kLabel, 4, m.gPrintPosition);
  } else {
    m.gThermalUpAdj = Char(r, 6);
    m.gThermalDownAdj = Char(r, 7);
    m.gEraseUpAdj = Char(r, 8);
    m.gEraseDownAdj = Char(r, 9);
    ui.SetText(kLabel, 5, m.gThermalUpAdj);
    ui.SetText(kLabel, 6, m.gThermalDownAdj);
    ui.SetText(kLabel, 7, m.gEraseUpAdj);
    ui.SetText(kLabel, 8, m.gEraseDownAdj);
  }
}

void MivorSettings::ShowRowRead(int index, const QString& r) { ShowMivorRowRead(frame_.ui(), index, r); }

void MivorSettings::Change(int index) {
  frame_.jobs().Run(kFullJob, [&](EepJob& job) {
    const MivorChangeRow* row = MivorChange(index);
    if (row) {
      if (!job.Send(QString::fromLatin1(row->readCommand))) return;
      const QString read = job.text();
      ShowRowRead(index, read);
      const QString typed = frame_.ui().Text(QStringLiteral("EEPSetCmb_Mivor"), index);
      if (typed.isEmpty()) return;
      const std::optional<QString> value = MivorNewValue(index, typed);
      // A write built from a read that did not answer in full, or from a
      // value the device does not offer, would change other settings.
      if (!MivorReadUsable(index, read)) {
        MsgBox(QStringLiteral("現在の設定値を読み出せませんでした。\r\n設定は変更されていません。"), BoxButtons::kOk,
               BoxIcon::kCritical);
      } else if (!value) {
        MsgBox(QStringLiteral("設定値が正しくありません。\r\n一覧の値から選択してください！"), BoxButtons::kOk,
               BoxIcon::kCritical);
      } else if (MsgBox(MivorConfirmText(index, MivorOldValue(index, read), *value), BoxButtons::kOkCancel,
                        BoxIcon::kQuestion) == BoxAnswer::kOk) {
        if (!job.Send(MivorWriteCommand(index, read, *value))) return;
        if (MivorChangeTaken(index, job.text(), *value))
          MsgBox(QStringLiteral("設定が変更されました"));
        else
          MsgBox(QStringLiteral("設定が変更が無効です。\r\nもう一度確認後、再設定してください！"));
      }
    }
    if (job.ending()) return;
    Read();
  });
}

}  // namespace quorel::eep

#include "eeprom/eep_settings_word.h"

#include "core/conversions.h"
#include "core/dialogs.h"
#include "core/form_controls.h"
#include "core/main_module.h"
#include "eeprom/eep_rows.h"
#include "eeprom/eep_settings_model.h"

namespace quorel::eep {
namespace {

QString Char(const QString& reply, int position) { return reply.mid(position - 1, 1); }

const char* const kReportLabels[] = {"TPH Rank    ", "TPH Depth   ", "TPH Temp    ",
                                     "消去 Rank   ", "消去 Lot    ", "印字位置    "};

}  // namespace

void WordFamilySettings::Read(Family f) {
  MainModule& m = mm();
  // The Quenby read has never waited for a restart to finish.
  JobSteps steps = kFullJob;
  steps.restartGuard = f != Family::kQuenby;
  if (steps.restartGuard && m.gResetWaiting != 0) return;
  FormControls& ui = frame_.ui();
  const QString label = Named(QStringLiteral("EEPSetLabel"), f);
  const QString status = Named(QStringLiteral("lbStatus"), f);
  const bool full = f != Family::kFolsk;  // Folsk units report less
  for (int i = 0; i <= 4; ++i) ui.SetText(label, i, QString());
  frame_.jobs().Run(steps, [&](EepJob& job) {
    const ModelAnswer answer = job.CheckModel(f, ModelCheck::kOtherHandlers, frame_.SkipModelCheck(f),
                                              [&](const QString&) { ui.SetText(status, 3, ReplyData(job.text())); });
    if (answer == ModelAnswer::kCancelled) return;
    if (job.ending() || !job.Send(QStringLiteral("TH"))) return;
    const QString th = job.text();
    ui.SetText(status, 4, ReplyData(th));
    ui.SetToolTip(status, 4, ReplyData(th));
    m.gThTphRank = SwapDevHexChar(Char(th, 6));
    m.gThTphTemp = ReplyChars(th, 7, 8);
    m.gThPw1 = ReplyChars(th, 9, 10);
    if (full) {
      m.gThPw2 = ReplyChars(th, 11, 12);
      m.gThErRank = Char(th, 13);
      m.gThErLot = Char(th, 14);
      m.gThErTemp = ThermistorToCelsius(ReplyChars(th, 15, 16));
      if (!m.gVersionText.startsWith(QLatin1Char('3'))) m.gThBoardTemp = ReplyChars(th, 17, 18);
    }
    ui.SetText(label, 0, m.gThTphRank);
    if (!job.Send(WordReadCommandOf(1))) return;
    m.gTphDepth = DensityShown(ReplyChars(job.text(), 8, 9));
    ui.SetText(label, 1, m.gTphDepth);
    if (full) {
      ui.SetText(label, 2, m.gThErRank);
      ui.SetText(label, 3, m.gThErLot);
    }
    if (!job.Send(WordReadCommandOf(4))) return;
    m.gPrintPosition = PositionShown(ReplyChars(job.text(), 8, 9));
    ui.SetText(label, 4, m.gPrintPosition);
    ui.SetText(status, 0, m.gThTphTemp);
    if (full) {
      ui.SetText(status, 1, m.gThErTemp);
      ui.SetText(status, 2, m.gThBoardTemp);
      if (!job.Send(QStringLiteral("RE"))) return;
      ui.SetText(status, 5, QLatin1Char(' ') + ReplyData(job.text()));
    }
    if (m.gReportMode != 0) {
      const QString* values[] = {&m.gThTphRank, &m.gTphDepth, &m.gThTphTemp,
                                 &m.gThErRank,  &m.gThErLot,  &m.gPrintPosition};
      const int lines = full ? 6 : 3;
      for (int i = 0; i < lines; ++i)
        frame_.reportBuffer() += ReportLine(QString::fromUtf8(kReportLabels[i]), m.gReportSeparator, *values[i]);
    }
  });
}

void WordFamilySettings::Change(Family f, int index) {
  if (index < 0 || index >= kWordFamilySettings) return;
  frame_.jobs().Run(kFullJob, [&](EepJob& job) {
    const QString typed = frame_.ui().Text(Named(QStringLiteral("EEPSetCmb"), f), index);
    if (!job.Send(WordReadCommandOf(index))) return;
    const QString read = job.text();
    if (typed.isEmpty()) return;
    const QString high = ReplyChars(read, 6, 7);
    const QString low = ReplyChars(read, 8, 9);
    const std::optional<QString> byte = WordNewByte(index, typed);
    // The other byte goes back as it was read: without a sound read there is
    // nothing to put there, and a value of another length would spill into
    // the next word.
    if (!WordReadUsable(read)) {
      MsgBox(QStringLiteral("現在の設定値を読み出せませんでした。\r\n設定は変更されていません。"), BoxButtons::kOk,
             BoxIcon::kCritical);
      return;
    }
    if (!byte) {
      MsgBox(QStringLiteral("設定値が正しくありません。\r\n一覧の値から選択してください！"), BoxButtons::kOk,
             BoxIcon::kCritical);
      return;
    }
    if (MsgBox(WordConfirmText(index, WordOldValue(index, high, low), ByteCharacter(*byte)), BoxButtons::kOkCancel,
               BoxIcon::kQuestion) != BoxAnswer::kOk)
      return;
    if (!job.Send(WordSettingWriteCommand(index, high, low, *byte))) return;
    if (BeginsOk(job.text(), QStringLiteral("ee")))
      MsgBox(QStringLiteral("設定を有効にするにはC/Rを一旦ﾘｾｯﾄして下さい"));
    else
      MsgBox(QStringLiteral("設定の書込みに失敗しました。\r\nもう一度やり直してください。"), BoxButtons::kOk,
             BoxIcon::kCritical);
  });
}

}  // namespace quorel::eep

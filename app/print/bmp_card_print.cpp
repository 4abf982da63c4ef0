#include "print/bmp_card_print.h"

#include "core/dialogs.h"
#include "core/job_preamble.h"
#include "core/main_module.h"

namespace quorel {

bool BmpStopEnd(BmpJobView& view) {
  if (mm().gStopRequest != 1) return false;
  view.StatusColour(kStatusCyan);
  view.Status(QStringLiteral("Stop"));
  view.SetControlsEnabled(true);
  return true;
}

ComuOutcome BmpSend(BmpJobLine& line, const QString& command) {
  mm().gSendCommand = command;
  return line.comu();
}

bool BmpJobStart(BmpJobLine& line, BmpJobView& view, bool pollAgain) {
  MainModule& m = mm();
  if (m.gResetWaiting) return false;
  view.SetControlsEnabled(false);
  if (!m.gPortOpen) {
    line.commIni();
    if (!m.gPortOpen) {
      MsgBox(QStringLiteral("通信できません！\r\n通信設定やケーブルを見直してください。"), BoxButtons::kOk,
             BoxIcon::kCritical, QStringLiteral("通信エラー"));
      view.SetControlsEnabled(true);
      return false;
    }
    line.poll();
  }
  if (pollAgain) line.poll();
  const QString preamble = PreambleCommand(m.gReplyKind, m.gReplyStatus);
  if (!preamble.isEmpty()) BmpSend(line, preamble);
  return true;
}

bool RunCardPrint(BmpJobLine& line, BmpJobView& view, const QString& cardKind) {
  if (!BmpJobStart(line, view, false)) return false;
  if (BmpStopEnd(view)) return false;
  view.StatusColour(kStatusYellow);
  view.Status(QStringLiteral("Card In"));
  if (MsgBox(QStringLiteral("Please Insert a card"), BoxButtons::kOkCancel, BoxIcon::kExclamation) != BoxAnswer::kOk) {
    view.StatusColour(kStatusCyan);
    view.Status(QString());
    view.SetControlsEnabled(true);
    return false;
  }
  BmpSend(line, QStringLiteral("MS:B") + cardKind.left(1));
  BmpSend(line, QStringLiteral("CI"));
  if (BmpStopEnd(view)) return false;
  view.Status(QStringLiteral("Write"));
  BmpSend(line, QStringLiteral("WR"));
  if (BmpStopEnd(view)) return false;
  view.Status(QStringLiteral("Print"));
  BmpSend(line, QStringLiteral("PR"));
  if (BmpStopEnd(view)) return false;
  BmpSend(line, QStringLiteral("CO"));
  if (BmpStopEnd(view)) return false;
  view.Status(QStringLiteral("Finish"));
  view.SetControlsEnabled(true);
  return true;
}

}  // namespace quorel

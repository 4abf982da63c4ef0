#include "eeprom/eep_data_files.h"

#include <QFileInfo>

#include "core/dialogs.h"
#include "core/form_controls.h"
#include "core/main_module.h"
#include "eeprom/eep_file.h"
#include "eeprom/eep_frame.h"
#include "eeprom/eep_job.h"
#include "eeprom/eep_rows.h"

namespace quorel::eep {
namespace {

// The export runs while the channel waits for a restart too; its own steps
// (the dialogs) come before the port check.
constexpr JobSteps kExportJob{false, true, true, true};

QString Boxes(Family f) { return Named(QStringLiteral("TxtEEPALL"), f); }

QString FileTip(const QString& key, const QString& text) {
  return key + QLatin1Char(':') + text + QLatin1Char('(') + QString::number(text.size()) + QLatin1Char(')');
}

// The path to export into, "" when the user gave up.
QString AskExportPath() {
  FileRequest request;
  request.title = QStringLiteral("ﾌｧｲﾙ保存");
  request.filter = QStringLiteral("EEPROMﾃﾞｰﾀﾌｧｲﾙ(*.eep);;全てのﾌｧｲﾙ(*.*)");
  request.folder = mm().gDesktopPath;
  request.confirmOverwrite = false;  // the question below is the only one
  for (;;) {
    const QString path = Dialogs().SaveFile(request);
    if (path.isEmpty()) return QString();
    if (!QFileInfo::exists(path)) return path;
    const BoxAnswer a = MsgBox(QStringLiteral("名前が同じファイルがあります。\r\n追記しますか？"),
                               BoxButtons::kYesNoCancel, BoxIcon::kQuestion);
    if (a == BoxAnswer::kYes) return path;
    if (a != BoxAnswer::kNo) return QString();
    request.name = QFileInfo(path).fileName();
    request.folder = QFileInfo(path).absolutePath();
  }
}

}  // namespace

void ExportEepFile(EepFrame& frame, Family f) {
  EepJobRunner::BusyScope busy(frame.jobs());
  const QString path = AskExportPath();
  if (path.isEmpty()) return;
  FormControls& ui = frame.ui();
  bool failed = false;
  bool ran = false;
  frame.jobs().Run(kExportJob, [&](EepJob& job) {
    ran = true;
    WriteEepTitle(path, f);
    for (int r = 0; r < RowCount(f); ++r) ui.SetText(Boxes(f), r, QString());
    for (int r = 0; r < RowCount(f); ++r) {
      const bool goOn = job.Send(RowReadCommand(r));
      const QString& reply = job.text();
      QString key;
      if (StatusOk(reply)) {
        ui.SetText(Boxes(f), r, ReplyData(reply));
        WriteEepRow(path, r, ReplyData(reply));
        key = RowLabel(r);
      } else {
        ui.SetText(Boxes(f), r, reply);
        RemoveEepRow(path, r);
        failed = true;
      }
      ui.SetToolTip(Boxes(f), r, FileTip(key, ui.Text(Boxes(f), r)));
      if (!goOn) {
        // The window closes: the rows not read are not in the file either.
        for (int rest = r + 1; rest < RowCount(f); ++rest) RemoveEepRow(path, rest);
        return;
      }
    }
  });
  if (!ran || frame.jobs().ending()) return;
  if (failed)
    MsgBox(QStringLiteral("データ取得中にエラーが発生いたしました。\r\nもう一度やり直しをお勧めします。"),
           BoxButtons::kOk, BoxIcon::kCritical, QStringLiteral("EEPROM Data Export Error"));
  else
    MsgBox(QStringLiteral("データファイル出力完了"), BoxButtons::kOk, BoxIcon::kNone,
           QStringLiteral("EEPROM Data Export Success"));
}

void ImportEepFile(EepFrame& frame, Family f) {
  EepJobRunner::BusyScope busy(frame.jobs());
  FileRequest request;
  request.title = QStringLiteral("ﾌｧｲﾙ選択");
  request.filter = QStringLiteral("EEPROMﾃﾞｰﾀﾌｧｲﾙ(*.eep);;ﾃｷｽﾄﾌｧｲﾙ(*.txt);;全てのﾌｧｲﾙ(*.*)");
  request.folder = mm().gDesktopPath;
  const QString path = Dialogs().OpenFile(request);
  if (path.isEmpty()) return;
  const EepFileRows file = ReadEepFile(path, f);
  if (!file.titleFits) {
    MsgBox(QStringLiteral("ファイルが壊れているか、この機種のファイルではありません。"), BoxButtons::kOk,
           BoxIcon::kCritical, WrongFileTitle(f));
    return;
  }
  FormControls& ui = frame.ui();
  for (int r = 0; r < RowCount(f); ++r) ui.SetText(Boxes(f), r, QString());
  for (int r = 0; r < RowCount(f); ++r) {
    ui.SetText(Boxes(f), r, file.rows.value(r));
    ui.SetToolTip(Boxes(f), r, FileTip(RowLabel(r), file.rows.value(r)));
  }
  MsgBox(QStringLiteral("データファイル取込完了"), BoxButtons::kOk, BoxIcon::kNone,
         QStringLiteral("EEPROM Data Import Success"));
}

}  // namespace quorel::eep

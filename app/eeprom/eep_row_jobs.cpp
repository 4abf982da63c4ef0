#include "eeprom/eep_row_jobs.h"

#include "core/dialogs.h"
#include "core/form_controls.h"
#include "core/main_module.h"
#include "eeprom/customer_message_panel.h"
#include "eeprom/customer_message_peers.h"
#include "eeprom/eep_frame.h"
#include "eeprom/eep_job.h"
#include "eeprom/eep_rows.h"

namespace quorel::eep {
namespace {

const QString kWordCode = QStringLiteral("ee");

QString Options(Family f) { return Named(QStringLiteral("OpEEPAllRdWr"), f); }
QString Boxes(Family f) { return Named(QStringLiteral("TxtEEPALL"), f); }

}  // namespace

int RowGrid::Mode(Family f) const {
  for (int i = 0; i < 3; ++i)
    if (frame_.ui().Value(Options(f), i) == 1) return i;
  return -1;
}

QString RowGrid::Box(Family f, int row) const { return frame_.ui().Text(Boxes(f), row); }
void RowGrid::SetBox(Family f, int row, const QString& text) { frame_.ui().SetText(Boxes(f), row, text); }

void RowGrid::FillBoxes(Family f) {
  for (int r = 0; r < RowCount(f); ++r) SetBox(f, r, ErasedRow());
}

void RowGrid::ModeClick(Family f, int index) {
  // The caption promises "ALL FFFF" on every tab, so every tab fills.
  if (index == 2) FillBoxes(f);
}

void RowGrid::RowClick(Family f, int row) {
  frame_.jobs().Run(kFullJob, [this, f, row](EepJob& job) {
    const bool mivor = f == Family::kMivor;
    if (mivor && frame_.CheckFamily(job, f) == ModelAnswer::kCancelled) return;
    const int mode = Mode(f);
    if (mode < 0) return;
    const bool read = mode == 0;
    if (!job.Send(read ? RowReadCommand(row) : RowWriteCommand(row, Box(f, row)))) return;
    if (StatusOk(job.text())) {
      // Mivor reads a row twice; a write is followed by a read-back on every tab.
      SetBox(f, row, mivor || read ? ReplyData(job.text()) : job.text());
      if (mivor || !read) {
        const bool goOn = job.Send(RowReadCommand(row));
        SetBox(f, row, ReplyData(job.text()));
        if (!goOn) return;
      }
    } else {
      SetBox(f, row, job.text());
    }
    const QString text = Box(f, row);
    frame_.ui().SetToolTip(Boxes(f), row, mivor ? WithLength(text) : text);
  });
}

void RowGrid::SetRowTip(Family f, int row, Tip tip) {
  const QString text = Box(f, row);
  QString t;
  switch (tip) {
    case Tip::kLength:
      t = WithLength(text);
      break;
    case Tip::kLabelBracket:
      t = RowLabel(row) + QLatin1Char(':') + WithLength(text);
      break;
    case Tip::kLabelParen:
      t = RowLabel(row) + QLatin1Char(':') + text + QLatin1Char('(') + QString::number(text.size()) +
          QLatin1Char(')');
      break;
    case Tip::kText:
      t = text;
      break;
  }
  frame_.ui().SetToolTip(Boxes(f), row, t);
}

bool RowGrid::ReadRowForAll(EepJob& job, Family f, int row, Tip tip) {
  const bool goOn = job.Send(RowReadCommand(row));
  const QString& reply = job.text();
  const bool ok = f == Family::kMivor ? BeginsOk(reply, kWordCode) : StatusOk(reply);
  SetBox(f, row, ok ? ReplyData(reply) : reply);
  SetRowTip(f, row, tip);
  const MainModule& m = mm();
  if (m.gReportMode != 0)
    frame_.reportBuffer() += ReportLine(RowLabel(row), m.gReportSeparator, Box(f, row));
  return goOn;
}

void RowGrid::AllRows(Family f) {
  frame_.jobs().Run(kFullJob, [this, f](EepJob& job) {
    if (f == Family::kMivor) {
      if (frame_.CheckFamily(job, f) == ModelAnswer::kCancelled) return;
      if (mm().gReportMode != 0) frame_.ui().SetValue(Options(f), 0, 1);
      MivorAll(job);
    } else {
      if (mm().gReportMode != 0) frame_.ui().SetValue(Options(f), 0, 1);
      WordFamilyAll(job, f);
    }
  });
}

void RowGrid::MivorAll(EepJob& job) {
  const Family f = Family::kMivor;
  const int rows = RowCount(f);
  const int mode = Mode(f);
  if (mode < 0) return;
  if (mode == 0) {
    frame_.ui().SetText(QStringLiteral("TxtCSMsg"), -1, QString());
    for (int r = 0; r < rows; ++r) {
      SetBox(f, r, QString());
      if (r < kFirstMessageRow || r > kLastMessageRow) continue;
      if (FormControls* msg = MessagePeers::VisibleMessage()) {
        msg->SetText(QStringLiteral("TxtCSMsg"), -1, QString());
        msg->SetText(Boxes(f), r, QString());
        msg->SetToolTip(Boxes(f), r, QString());
      }
    }
    for (int r = 0; r < rows; ++r) {
      const bool goOn = ReadRowForAll(job, f, r, Tip::kLabelBracket);
      // The message window shows rows 9 to 11 as read.
      if (r >= kFirstMessageRow && r <= kLastMessageRow && BeginsOk(job.text(), kWordCode))
        if (FormControls* msg = MessagePeers::VisibleMessage()) {
          msg->SetText(Boxes(f), r, ReplyData(job.text()));
          msg->SetToolTip(Boxes(f), r, WithLength(ReplyData(job.text())));
        }
      if (!goOn) return;
    }
    // The message as rows 9 to 11 now hold it, in both message boxes; a
    // message window that is not shown is not this read's to fill.
    const QString message = CustomerMessagePanel::DecodeRowBoxes(frame_.ui());
    frame_.ui().SetText(QStringLiteral("TxtCSMsg"), -1, message);
    if (FormControls* msg = MessagePeers::VisibleMessage()) msg->SetText(QStringLiteral("TxtCSMsg"), -1, message);
    return;
  }
  const QString question =
      mode == 1 ? QStringLiteral("画面の0x00～0xFF迄の値を書き込みます。\r\nよろしいでしょうか？")
                : QStringLiteral("0x00～0xFF迄の値を全て\"F\"の値で書き込み初期化いたします。\r\nよろしいでしょうか？");
  if (MsgBox(question, BoxButtons::kOkCancel, BoxIcon::kInformation, QStringLiteral("EEPROM Write")) !=
          BoxAnswer::kOk ||
      job.ending())
    return;
  if (mode == 2) FillBoxes(f);
  for (int r = 0; r < rows; ++r) {
    const bool goOn = job.Send(RowWriteCommand(r, Box(f, r)));
    SetBox(f, r, job.text());
    frame_.ui().SetToolTip(Boxes(f), r, job.text());
    if (!goOn) return;
  }
  for (int r = 0; r < rows; ++r) {
    frame_.ui().SetValue(Options(f), 1, 1);
    if (!ReadRowForAll(job, f, r, Tip::kLabelBracket)) return;
  }
}

void RowGrid::WordFamilyAll(EepJob& job, Family f) {
  const int rows = RowCount(f);
  const int mode = Mode(f);
  if (mode < 0) return;
  if (mode == 0) {
    for (int r = 0; r < rows; ++r) SetBox(f, r, QString());
    const Tip tip = f == Family::kFolsk ? Tip::kText : Tip::kLabelParen;
    for (int r = 0; r < rows; ++r)
      if (!ReadRowForAll(job, f, r, tip)) return;
    return;
  }
  for (int r = 0; r < rows; ++r) {
    const bool goOn = job.Send(RowWriteCommand(r, Box(f, r)));
    SetBox(f, r, job.text());
    if (!goOn) return;
  }
  const int readBackOption = f == Family::kDastel ? 1 : 0;
  for (int r = 0; r < rows; ++r) {
    frame_.ui().SetValue(Options(f), readBackOption, 1);
    if (!ReadRowForAll(job, f, r, Tip::kLabelParen)) return;
  }
}

}  // namespace quorel::eep

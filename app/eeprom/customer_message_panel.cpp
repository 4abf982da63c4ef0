#include "eeprom/customer_message_panel.h"

#include "core/dialogs.h"
#include "core/form_controls.h"
#include "eeprom/eep_rows.h"

namespace quorel::eep {

namespace {

const QString kText = QStringLiteral("TxtCSMsg");
const QString kCount = QStringLiteral("LbCSMsg");
const QString kMode = QStringLiteral("ChkCSMsg");
const QString kButton = QStringLiteral("CmdCSMsgW");
const QString kRowBox = QStringLiteral("TxtEEPALL_Mivor");
const QString kWriteCaption = QStringLiteral("Wrire");
constexpr uint32_t kLightYellow = 0xC0FFFF;  // &HBBGGRR
constexpr uint32_t kLightRed = 0xC0C0FF;
constexpr uint32_t kLightGreen = 0xC0FFC0;

}  // namespace

CustomerMessagePanel::Side EepWindowSide(std::function<ModelAnswer(EepJob&)> checkFamily) {
  CustomerMessagePanel::Side side;
  side.steps = JobSteps{false, true, true, true};
  side.checkModel = std::move(checkFamily);
  side.readEmptiesOwnText = true;
  side.writeEmptiesPeerText = true;
  return side;
}

CustomerMessagePanel::Side MessageWindowSide() {
  CustomerMessagePanel::Side side;
  side.steps = kFullJob;
  side.checkModel = [](EepJob& job) { return job.CheckModel(Family::kMivor, ModelCheck::kOtherHandlers, false); };
  return side;
}

CustomerMessagePanel::CustomerMessagePanel(FormControls& ui, EepJobRunner& jobs, Side side)
    : ui_(ui), jobs_(jobs), side_(std::move(side)) {}

void CustomerMessagePanel::ModeClick() {
  const bool editor = ui_.Ticked(kMode);
  ui_.SetText(kMode, -1, editor ? QStringLiteral("CS Message Editor") : QStringLiteral("CS Message Viewer"));
  ShowMode(editor);
}

void CustomerMessagePanel::OpenInViewerMode() { ShowMode(false); }

void CustomerMessagePanel::ShowMode(bool editor) {
  if (setEditable_)
    setEditable_(editor);
  else
    ui_.SetEnabled(kText, editor);
  ui_.SetBackColor(kText, -1, editor ? kLightYellow : kButtonFace);
  ui_.SetText(kButton, -1, editor ? kWriteCaption : QStringLiteral("Read"));
  ui_.SetBackColor(kButton, -1, editor ? kLightRed : kLightGreen);
}

bool CustomerMessagePanel::CheckCount() {
  const int digits = MessageDigits(ui_.Text(kText));
  ui_.SetToolTip(kText, -1, MessageCountTip(digits));
  ui_.SetText(kCount, -1, MessageCountCaption(digits));
  if (digits <= kMessageMaxDigits) return true;
  checking_ = true;
  MsgBox(MessageOverflowText(), BoxButtons::kOk, BoxIcon::kCritical, MessageOverflowTitle());
  checking_ = false;
  return false;
}

void CustomerMessagePanel::TextChange() {
  if (checking_) return;
  CheckCount();
}

void CustomerMessagePanel::LostFocus() {
  if (checking_) return;
  if (CheckCount()) return;
  checking_ = true;
  ui_.Focus(kText);
  checking_ = false;
}

void CustomerMessagePanel::WriteOrRead() {
  if (ui_.Text(kButton) == kWriteCaption)
    Write();
  else
    Read();
}

void CustomerMessagePanel::EmptyRows(FormControls& ui) {
  for (int row = kFirstMessageRow; row <= kLastMessageRow; ++row) {
    ui.SetText(kRowBox, row, QString());
    ui.SetToolTip(kRowBox, row, QString());
  }
}

std::optional<QString> CustomerMessagePanel::ShowRow(int row, const QString& reply) {
  const bool ok = BeginsOk(reply, QStringLiteral("ee"));
  const QString shown = ok ? ReplyData(reply) : reply;
  ui_.SetText(kRowBox, row, shown);
  ui_.SetToolTip(kRowBox, row, WithLength(shown));
  if (!ok) return std::nullopt;
  if (FormControls* peer = Peer()) {
    peer->SetText(kRowBox, row, shown);
    peer->SetToolTip(kRowBox, row, WithLength(shown));
  }
  return shown;
}

void CustomerMessagePanel::Write() {
  const QString text = ui_.Text(kText);
  // A message over 192 digits has no row layout: refused before any traffic.
  const auto pieces = SplitMessage(EncodeMessage(text));
  if (!pieces) {
    MsgBox(MessageOverflowText(), BoxButtons::kOk, BoxIcon::kCritical, MessageOverflowTitle());
    return;
  }
  jobs_.Run(side_.steps, [&](EepJob& job) {
    if (side_.checkModel && side_.checkModel(job) == ModelAnswer::kCancelled) return;
    EmptyRows(ui_);
    if (FormControls* peer = Peer()) {
      if (side_.writeEmptiesPeerText) peer->SetText(kText, -1, QString());
      EmptyRows(*peer);
    }
    for (int row = kFirstMessageRow; row <= kLastMessageRow; ++row) {
      if (!job.Send(RowWriteCommand(row, (*pieces)[static_cast<size_t>(row - kFirstMessageRow)]))) return;
      if (!job.Send(RowReadCommand(row))) return;
      ShowRow(row, job.text());
    }
    if (FormControls* peer = Peer()) peer->SetText(kText, -1, text);
  });
}

void CustomerMessagePanel::Read() {
  jobs_.Run(side_.steps, [&](EepJob& job) {
    if (side_.checkModel && side_.checkModel(job) == ModelAnswer::kCancelled) return;
    if (side_.readEmptiesOwnText) ui_.SetText(kText, -1, QString());
    EmptyRows(ui_);
    if (FormControls* peer = Peer()) {
      peer->SetText(kText, -1, QString());
      EmptyRows(*peer);
    }
    std::array<std::optional<QString>, kMessageRowCount> rows;
    for (int row = kFirstMessageRow; row <= kLastMessageRow; ++row) {
      if (!job.Send(RowReadCommand(row))) return;
      rows[static_cast<size_t>(row - kFirstMessageRow)] = ShowRow(row, job.text());
    }
    const QString text = DecodeMessage(rows);
    ui_.SetText(kText, -1, text);
    FormControls* peer = peerAfterRead_ ? peerAfterRead_() : Peer();
    if (peer) peer->SetText(kText, -1, text);
  });
}

namespace {

void ShowRowReply(FormControls& ui, int row, const QString& reply) {
  const QString shown = StatusOk(reply) ? ReplyData(reply) : reply;
  ui.SetText(kRowBox, row, shown);
  ui.SetToolTip(kRowBox, row, WithLength(shown));
}

}  // namespace

void CustomerMessagePanel::RowRead(int row) {
  jobs_.Run(JobSteps{true, false, true, true}, [&](EepJob& job) {
    if (job.Send(RowReadCommand(row))) ShowRowReply(ui_, row, job.text());
  });
}

void CustomerMessagePanel::RowWrite(int row) {
  jobs_.Run(JobSteps{false, false, true, true}, [&](EepJob& job) {
    if (job.Send(RowWriteCommand(row, ui_.Text(kRowBox, row)))) ShowRowReply(ui_, row, job.text());
  });
}

void CustomerMessagePanel::Clear() {
  ui_.SetValue(kMode, 0);
  ModeClick();
  ui_.SetText(kText, -1, QString());
  TextChange();
  EmptyRows(ui_);
}

QString CustomerMessagePanel::DecodeRowBoxes(const FormControls& ui) {
  std::array<std::optional<QString>, kMessageRowCount> rows;
  for (int row = kFirstMessageRow; row <= kLastMessageRow; ++row) {
    const QString box = ui.Text(kRowBox, row);
    // A failed read leaves the whole reply in the box, never 64 hex digits.
    if (box.size() != kRowDigits) break;
    rows[static_cast<size_t>(row - kFirstMessageRow)] = box;
  }
  return DecodeMessage(rows);
}

}  // namespace quorel::eep

#include "core/qt_dialog_host.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>

namespace quorel {
namespace {

QMessageBox::StandardButtons ButtonsOf(BoxButtons buttons) {
  switch (buttons) {
    case BoxButtons::kOk: return QMessageBox::Ok;
    case BoxButtons::kOkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case BoxButtons::kRetryCancel: return QMessageBox::Retry | QMessageBox::Cancel;
    case BoxButtons::kYesNo: return QMessageBox::Yes | QMessageBox::No;
    case BoxButtons::kAbortRetryIgnore: return QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore;
    case BoxButtons::kYesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
  }
  return QMessageBox::Ok;
}

QMessageBox::StandardButton ButtonOf(BoxAnswer answer) {
  switch (answer) {
    case BoxAnswer::kOk: return QMessageBox::Ok;
    case BoxAnswer::kCancel: return QMessageBox::Cancel;
    case BoxAnswer::kRetry: return QMessageBox::Retry;
    case BoxAnswer::kYes: return QMessageBox::Yes;
    case BoxAnswer::kNo: return QMessageBox::No;
    case BoxAnswer::kAbort: return QMessageBox::Abort;
    case BoxAnswer::kIgnore: return QMessageBox::Ignore;
  }
  return QMessageBox::Ok;
}

QMessageBox::Icon IconOf(BoxIcon icon) {
  switch (icon) {
    case BoxIcon::kNone: return QMessageBox::NoIcon;
    case BoxIcon::kCritical: return QMessageBox::Critical;
    case BoxIcon::kQuestion: return QMessageBox::Question;
    case BoxIcon::kExclamation: return QMessageBox::Warning;
    case BoxIcon::kInformation: return QMessageBox::Information;
  }
  return QMessageBox::NoIcon;
}

QString StartPath(const FileRequest& request) {
  if (request.name.isEmpty()) return request.folder;
  return request.folder.isEmpty() ? request.name : QDir(request.folder).filePath(request.name);
}

}  // namespace

BoxAnswer QtDialogHost::Box(const BoxRequest& request) {
  QMessageBox box(IconOf(request.icon), request.title, request.text, ButtonsOf(request.buttons),
                  QApplication::activeWindow());
  box.setDefaultButton(ButtonOf(DefaultAnswer(request.buttons, request.defaultButton)));
  switch (box.exec()) {
    case QMessageBox::Ok: return BoxAnswer::kOk;
    case QMessageBox::Cancel: return BoxAnswer::kCancel;
    case QMessageBox::Retry: return BoxAnswer::kRetry;
    case QMessageBox::Yes: return BoxAnswer::kYes;
    case QMessageBox::No: return BoxAnswer::kNo;
    case QMessageBox::Abort: return BoxAnswer::kAbort;
    case QMessageBox::Ignore: return BoxAnswer::kIgnore;
    default: return CloseAnswer(request.buttons);
  }
}

std::optional<QString> QtDialogHost::Input(const InputRequest& request) {
  QInputDialog box(QApplication::activeWindow());
  box.setWindowTitle(request.title);
  box.setLabelText(request.prompt);
  box.setTextEchoMode(request.masked ? QLineEdit::Password : QLineEdit::Normal);
  // A masked field shows one "*" per character, whatever the style's own mark.
  if (request.masked) box.setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));
  box.setTextValue(request.initial);
  if (box.exec() != QDialog::Accepted) return std::nullopt;
  return box.textValue();
}

QString QtDialogHost::OpenFile(const FileRequest& request) {
  return QFileDialog::getOpenFileName(QApplication::activeWindow(), request.title, StartPath(request),
                                      request.filter);
}

QString QtDialogHost::SaveFile(const FileRequest& request) {
  const QFileDialog::Options options =
      request.confirmOverwrite ? QFileDialog::Options() : QFileDialog::DontConfirmOverwrite;
  return QFileDialog::getSaveFileName(QApplication::activeWindow(), request.title, StartPath(request),
                                      request.filter, nullptr, options);
}

QString QtDialogHost::Folder(const FileRequest& request) {
  return QFileDialog::getExistingDirectory(QApplication::activeWindow(), request.title, request.folder);
}

int QtDialogHost::Modal(QDialog& dialog) { return dialog.exec(); }

}  // namespace quorel

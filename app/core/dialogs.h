// Every message box, input box, file or folder dialog and modal window of the
// program goes through the one DialogHost: the Qt host for the user, a
// scripted host in the tests (so no test ever blocks on a modal dialog).
#pragma once
#include <QString>
#include <optional>

class QDialog;

namespace quorel {

enum class BoxIcon { kNone, kCritical, kQuestion, kExclamation, kInformation };
enum class BoxButtons { kOk, kOkCancel, kRetryCancel, kYesNo, kAbortRetryIgnore, kYesNoCancel };
enum class BoxAnswer { kOk, kCancel, kRetry, kYes, kNo, kAbort, kIgnore };
// The button that Enter presses, counted in the box's button order (OK
// Cancel; Retry Cancel; Yes No; Abort Retry Ignore; Yes No Cancel). The
// values are the platform's default-button bits of a box style (305 = 256
// + 48 exclamation + 1 OK/Cancel: Cancel is the default). A box without
// that many buttons defaults to its first.
enum class BoxDefault { kFirst = 0, kSecond = 256, kThird = 512, kFourth = 768 };

struct BoxRequest {
  QString text;
  BoxButtons buttons = BoxButtons::kOk;
  BoxIcon icon = BoxIcon::kNone;
  QString title;  // already resolved: never empty
  BoxDefault defaultButton = BoxDefault::kFirst;
};

struct InputRequest {
  QString prompt;
  QString title;
  QString initial;
  bool masked = false;  // password entry: typed characters are not shown
};

struct FileRequest {
  QString title;
  QString folder;  // first folder shown
  QString name;    // file name offered
  QString filter;  // Qt filter text, e.g. "Command files (*.dat);;All (*)"
  // Save dialog: false when the caller asks its own question about an
  // existing file.
  bool confirmOverwrite = true;
};

// The answer that closing a box (window button or Esc) gives: Cancel where the
// box has one, OK for an OK box, No for Yes/No, Abort for Abort/Retry/Ignore.
BoxAnswer CloseAnswer(BoxButtons buttons);

// The answer of the box's default button: what Enter gives.
BoxAnswer DefaultAnswer(BoxButtons buttons, BoxDefault defaultButton);

class DialogHost {
 public:
  virtual ~DialogHost() = default;
  virtual BoxAnswer Box(const BoxRequest& request) = 0;
  // The text entered, or nothing when the box was cancelled or closed.
  virtual std::optional<QString> Input(const InputRequest& request) = 0;
  // The chosen path, or "" when cancelled.
  virtual QString OpenFile(const FileRequest& request) = 0;
  virtual QString SaveFile(const FileRequest& request) = 0;
  virtual QString Folder(const FileRequest& request) = 0;
  // Runs a modal window to its end; its result code (QDialog::Accepted ...).
  virtual int Modal(QDialog& dialog) = 0;
};

// The host in use: the Qt host unless a test installed its own.
DialogHost& Dialogs();
// Installs a host (not owned); nullptr returns to the Qt host.
void SetDialogHost(DialogHost* host);

// A message box; an empty title shows the program title.
BoxAnswer MsgBox(const QString& text, BoxButtons buttons = BoxButtons::kOk, BoxIcon icon = BoxIcon::kNone,
                 const QString& title = QString(), BoxDefault defaultButton = BoxDefault::kFirst);

}  // namespace quorel

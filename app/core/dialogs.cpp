#include "core/dialogs.h"

#include "core/qt_dialog_host.h"
#include "core/versions.h"

namespace quorel {
namespace {

DialogHost* g_installed = nullptr;

}  // namespace

BoxAnswer CloseAnswer(BoxButtons buttons) {
  switch (buttons) {
    case BoxButtons::kOk: return BoxAnswer::kOk;
    case BoxButtons::kYesNo: return BoxAnswer::kNo;
    case BoxButtons::kAbortRetryIgnore: return BoxAnswer::kAbort;
    case BoxButtons::kOkCancel:
    case BoxButtons::kRetryCancel:
    case BoxButtons::kYesNoCancel: break;
  }
  return BoxAnswer::kCancel;
}

DialogHost& Dialogs() {
  if (g_installed) return *g_installed;
  static QtDialogHost qtHost;
  return qtHost;
}

void SetDialogHost(DialogHost* host) { g_installed = host; }

BoxAnswer MsgBox(const QString& text, BoxButtons buttons, BoxIcon icon, const QString& title) {
  BoxRequest request;
  request.text = text;
  request.buttons = buttons;
  request.icon = icon;
  request.title = title.isEmpty() ? ProgramTitle() : title;
  return Dialogs().Box(request);
}

}  // namespace quorel

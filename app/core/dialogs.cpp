#include "core/dialogs.h"

#include <vector>

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

BoxAnswer DefaultAnswer(BoxButtons buttons, BoxDefault defaultButton) {
  static const std::vector<BoxAnswer> kOrder[] = {
      {BoxAnswer::kOk},                                          // kOk
      {BoxAnswer::kOk, BoxAnswer::kCancel},                      // kOkCancel
      {BoxAnswer::kRetry, BoxAnswer::kCancel},                   // kRetryCancel
      {BoxAnswer::kYes, BoxAnswer::kNo},                         // kYesNo
      {BoxAnswer::kAbort, BoxAnswer::kRetry, BoxAnswer::kIgnore},  // kAbortRetryIgnore
      {BoxAnswer::kYes, BoxAnswer::kNo, BoxAnswer::kCancel},     // kYesNoCancel
  };
  const std::vector<BoxAnswer>& order = kOrder[static_cast<int>(buttons)];
  const size_t n = static_cast<size_t>(defaultButton) / 256;
  return n < order.size() ? order[n] : order.front();
}

DialogHost& Dialogs() {
  if (g_installed) return *g_installed;
  static QtDialogHost qtHost;
  return qtHost;
}

void SetDialogHost(DialogHost* host) { g_installed = host; }

BoxAnswer MsgBox(const QString& text, BoxButtons buttons, BoxIcon icon, const QString& title,
                 BoxDefault defaultButton) {
  BoxRequest request;
  request.text = text;
  request.buttons = buttons;
  request.icon = icon;
  request.title = title.isEmpty() ? ProgramTitle() : title;
  request.defaultButton = defaultButton;
  return Dialogs().Box(request);
}

}  // namespace quorel

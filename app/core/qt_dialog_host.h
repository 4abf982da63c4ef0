// The dialog host the user sees: Qt message boxes, input boxes and file
// dialogs, each modal to the active window.
#pragma once
#include "core/dialogs.h"

namespace quorel {

class QtDialogHost : public DialogHost {
 public:
  BoxAnswer Box(const BoxRequest& request) override;
  std::optional<QString> Input(const InputRequest& request) override;
  QString OpenFile(const FileRequest& request) override;
  QString SaveFile(const FileRequest& request) override;
  QString Folder(const FileRequest& request) override;
  int Modal(QDialog& dialog) override;
};

}  // namespace quorel

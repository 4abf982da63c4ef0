// A dialog host for tests: every box is answered from a script and recorded,
// so no test ever blocks on a modal dialog. A box the script does not expect
// fails the test (and is answered as if closed); expectations left over when
// the host is destroyed fail it too. Installs itself for its lifetime.
#pragma once
#include <QString>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "core/dialogs.h"

class QWidget;

namespace quorel::testing {

struct RecordedBox {
  enum class Kind { kBox, kInput, kOpenFile, kSaveFile, kFolder, kModal };
  Kind kind = Kind::kBox;
  BoxIcon icon = BoxIcon::kNone;
  BoxButtons buttons = BoxButtons::kOk;
  QString title;
  QString text;  // box text, input prompt, or the modal window's objectName
};

// Runs act on the application's modal window as soon as one is up: a test
// of the Qt host answers a real box or input box this way.
void OnModal(std::function<void(QWidget*)> act);

class ScriptedDialogs : public DialogHost {
 public:
  ScriptedDialogs();
  ~ScriptedDialogs() override;

  // The next message box must have this title and text; it is answered so.
  void ExpectBox(const QString& title, const QString& text, BoxAnswer answer);
  // The next input box must have this title; it returns text (nothing = cancel).
  void ExpectInput(const QString& title, std::optional<QString> text);
  // The next file or folder dialog returns path ("" = cancel).
  void ExpectOpenFile(const QString& path);
  void ExpectSaveFile(const QString& path);
  void ExpectFolder(const QString& path);
  // The next modal window must have this objectName; act runs on it (instead
  // of its event loop) and returns its result code.
  void ExpectModal(const QString& objectName, std::function<int(QDialog&)> act);

  const std::vector<RecordedBox>& recorded() const { return recorded_; }
  size_t pending() const { return script_.size(); }

  BoxAnswer Box(const BoxRequest& request) override;
  std::optional<QString> Input(const InputRequest& request) override;
  QString OpenFile(const FileRequest& request) override;
  QString SaveFile(const FileRequest& request) override;
  QString Folder(const FileRequest& request) override;
  int Modal(QDialog& dialog) override;

 private:
  struct Step {
    RecordedBox::Kind kind;
    QString title;
    QString text;
    BoxAnswer answer = BoxAnswer::kOk;
    std::optional<QString> input;
    std::function<int(QDialog&)> act;
  };
  // The next step when it is of that kind; else records the failure.
  std::optional<Step> Next(RecordedBox::Kind kind, const QString& what);
  QString PathStep(RecordedBox::Kind kind, const FileRequest& request);

  std::deque<Step> script_;
  std::vector<RecordedBox> recorded_;
};

}  // namespace quorel::testing

#include "scripted_dialogs.h"

#include <QApplication>
#include <QDialog>
#include <QTimer>

#include <gtest/gtest.h>

namespace quorel::testing {
namespace {

const char* KindName(RecordedBox::Kind kind) {
  switch (kind) {
    case RecordedBox::Kind::kBox: return "message box";
    case RecordedBox::Kind::kInput: return "input box";
    case RecordedBox::Kind::kOpenFile: return "open-file dialog";
    case RecordedBox::Kind::kSaveFile: return "save-file dialog";
    case RecordedBox::Kind::kFolder: return "folder dialog";
    case RecordedBox::Kind::kModal: return "modal window";
  }
  return "dialog";
}

}  // namespace

void OnModal(std::function<void(QWidget*)> act) {
  QTimer::singleShot(0, [act] {
    if (QWidget* w = QApplication::activeModalWidget())
      act(w);
    else
      OnModal(act);
  });
}

ScriptedDialogs::ScriptedDialogs() { SetDialogHost(this); }

ScriptedDialogs::~ScriptedDialogs() {
  SetDialogHost(nullptr);
  for (const Step& s : script_)
    ADD_FAILURE() << "expected " << KindName(s.kind) << " never shown: title \"" << s.title.toStdString()
                  << "\" text \"" << s.text.toStdString() << "\"";
}

void ScriptedDialogs::ExpectBox(const QString& title, const QString& text, BoxAnswer answer) {
  script_.push_back({RecordedBox::Kind::kBox, title, text, answer, std::nullopt, nullptr});
}

void ScriptedDialogs::ExpectInput(const QString& title, std::optional<QString> text) {
  script_.push_back({RecordedBox::Kind::kInput, title, QString(), BoxAnswer::kOk, std::move(text), nullptr});
}

void ScriptedDialogs::ExpectOpenFile(const QString& path) {
  script_.push_back({RecordedBox::Kind::kOpenFile, QString(), QString(), BoxAnswer::kOk, path, nullptr});
}

void ScriptedDialogs::ExpectSaveFile(const QString& path) {
  script_.push_back({RecordedBox::Kind::kSaveFile, QString(), QString(), BoxAnswer::kOk, path, nullptr});
}

void ScriptedDialogs::ExpectFolder(const QString& path) {
  script_.push_back({RecordedBox::Kind::kFolder, QString(), QString(), BoxAnswer::kOk, path, nullptr});
}

void ScriptedDialogs::ExpectModal(const QString& objectName, std::function<int(QDialog&)> act) {
  script_.push_back({RecordedBox::Kind::kModal, QString(), objectName, BoxAnswer::kOk, std::nullopt, std::move(act)});
}

std::optional<ScriptedDialogs::Step> ScriptedDialogs::Next(RecordedBox::Kind kind, const QString& what) {
  if (script_.empty() || script_.front().kind != kind) {
    ADD_FAILURE() << "unexpected " << KindName(kind) << ": " << what.toStdString();
    return std::nullopt;
  }
  Step step = std::move(script_.front());
  script_.pop_front();
  return step;
}

BoxAnswer ScriptedDialogs::Box(const BoxRequest& request) {
  recorded_.push_back({RecordedBox::Kind::kBox, request.icon, request.buttons, request.title, request.text});
  const QString what = QStringLiteral("title \"%1\" text \"%2\"").arg(request.title, request.text);
  const std::optional<Step> step = Next(RecordedBox::Kind::kBox, what);
  if (!step) return CloseAnswer(request.buttons);
  EXPECT_EQ(step->title.toStdString(), request.title.toStdString());
  EXPECT_EQ(step->text.toStdString(), request.text.toStdString());
  return step->answer;
}

std::optional<QString> ScriptedDialogs::Input(const InputRequest& request) {
  recorded_.push_back({RecordedBox::Kind::kInput, BoxIcon::kNone, BoxButtons::kOkCancel, request.title,
                       request.prompt});
  const std::optional<Step> step = Next(RecordedBox::Kind::kInput, request.title);
  if (!step) return std::nullopt;
  EXPECT_EQ(step->title.toStdString(), request.title.toStdString());
  return step->input;
}

QString ScriptedDialogs::PathStep(RecordedBox::Kind kind, const FileRequest& request) {
  recorded_.push_back({kind, BoxIcon::kNone, BoxButtons::kOkCancel, request.title, request.folder});
  const std::optional<Step> step = Next(kind, request.title);
  return step ? step->input.value_or(QString()) : QString();
}

QString ScriptedDialogs::OpenFile(const FileRequest& request) {
  return PathStep(RecordedBox::Kind::kOpenFile, request);
}

QString ScriptedDialogs::SaveFile(const FileRequest& request) {
  return PathStep(RecordedBox::Kind::kSaveFile, request);
}

QString ScriptedDialogs::Folder(const FileRequest& request) { return PathStep(RecordedBox::Kind::kFolder, request); }

int ScriptedDialogs::Modal(QDialog& dialog) {
  recorded_.push_back({RecordedBox::Kind::kModal, BoxIcon::kNone, BoxButtons::kOk, dialog.windowTitle(),
                       dialog.objectName()});
  const std::optional<Step> step = Next(RecordedBox::Kind::kModal, dialog.objectName());
  if (!step) return QDialog::Rejected;
  EXPECT_EQ(step->text.toStdString(), dialog.objectName().toStdString());
  return step->act ? step->act(dialog) : QDialog::Rejected;
}

}  // namespace quorel::testing

#include "core/password_prompt.h"

#include "core/dialogs.h"
#include "core/main_module.h"
#include "core/versions.h"

namespace quorel {
namespace {

QString Ask(const QString& prompt, const QString& title, const QString& defaultText, bool masked) {
  InputRequest request;
  request.prompt = prompt;
  request.title = title.isEmpty() ? ProgramTitle() : title;
  request.initial = defaultText;
  request.masked = masked;
  return Dialogs().Input(request).value_or(QString());
}

}  // namespace

QString InputBoxDK(const QString& prompt, const QString& title, const QString& defaultText) {
  return Ask(prompt, title, defaultText, true);
}

bool PasswordGate(PasswordEcho echo) {
  MainModule& m = mm();
  if (m.gAdminMode == 1) return true;
  m.gPasswordEntry.clear();
  const QString prompt = QStringLiteral("Input password");
  m.gPasswordEntry = echo == PasswordEcho::kMasked ? InputBoxDK(prompt) : Ask(prompt, QString(), QString(), false);
  return !m.gPasswordEntry.isEmpty() && m.gPasswordEntry == m.gMenuPassword;
}

}  // namespace quorel

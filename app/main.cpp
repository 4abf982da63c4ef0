// The program Quorel: a service and set-up tool for card reader/writers.
#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <cstdio>

#include "core/startup.h"
#include "core/termination_signals.h"
#include "core/versions.h"
#include "platform/file_version.h"

PLAT_EMBED_VERSION(QUOREL_VERSION);

namespace {

// Demo hook (scripts/demo, scripts/bench), not a feature:
// QUOREL_DEMO_COMMANDS="VS;ST" types each command into the send box and
// presses "Send" as a user would, then prints what the communication log box
// shows and closes the window; with QUOREL_DEMO_STAY_OPEN set (a demo on a
// display) the window stays for the user to close, and QUOREL_EXIT_AFTER_MS
// closes it later.
void RunDemoCommands(QWidget* form, const QString& commands, bool stayOpen) {
  auto* box = form->findChild<QLineEdit*>(QStringLiteral("TxtSendBox"));
  auto* send = form->findChild<QPushButton*>(QStringLiteral("cmdKaishi"));
  if (!box || !send) return;
  for (const QString& command : commands.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
    box->setText(command);
    send->click();  // returns when the reply is in
  }
  // The log box is refreshed a moment after its newest entry.
  QTimer::singleShot(200, form, [form, stayOpen] {
    if (auto* log = form->findChild<QPlainTextEdit*>(QStringLiteral("txtDisp")))
      std::fputs((log->toPlainText() + QLatin1Char('\n')).toUtf8().constData(), stdout);
    std::fflush(stdout);
    if (!stayOpen) form->close();
  });
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(quorel::ProgramTitle());
  QApplication::setApplicationVersion(quorel::ProgramVersion());

  // SIGTERM and SIGINT close the main window as the user does, so the close
  // sequence runs and saves its keys. Taken from the start: a signal that
  // comes while the window is being built closes it once it is there.
  QPointer<QWidget> mainForm;
  const quorel::TerminationSignals onSignal([&mainForm] {
    if (mainForm) mainForm->close();
  });
  mainForm = quorel::Main();

  // Test hook: QUOREL_EXIT_AFTER_MS=<n> closes the main window n ms after the
  // start, as the user would, so tests can run real copies side by side.
  bool timed = false;
  const int exitAfter = qEnvironmentVariableIntValue("QUOREL_EXIT_AFTER_MS", &timed);
  if (timed) QTimer::singleShot(exitAfter, mainForm, &QWidget::close);
  const QString demo = qEnvironmentVariable("QUOREL_DEMO_COMMANDS");
  const bool stayOpen = timed || !qEnvironmentVariableIsEmpty("QUOREL_DEMO_STAY_OPEN");
  if (!demo.isEmpty())
    QTimer::singleShot(0, mainForm, [mainForm, demo, stayOpen] { RunDemoCommands(mainForm, demo, stayOpen); });

  const int rc = QApplication::exec();
  quorel::UnloadAllForms();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  return rc;
}

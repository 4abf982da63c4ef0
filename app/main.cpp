// The program Quorel: a service and set-up tool for card reader/writers.
#include <QApplication>
#include <QTimer>
#include <QWidget>

#include "core/startup.h"
#include "core/versions.h"
#include "platform/file_version.h"

PLAT_EMBED_VERSION(QUOREL_VERSION);

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(quorel::ProgramTitle());
  QApplication::setApplicationVersion(quorel::ProgramVersion());

  QWidget* mainForm = quorel::Main();

  // Test hook: QUOREL_EXIT_AFTER_MS=<n> closes the main window n ms after the
  // start, as the user would, so tests can run real copies side by side.
  bool timed = false;
  const int exitAfter = qEnvironmentVariableIntValue("QUOREL_EXIT_AFTER_MS", &timed);
  if (timed) QTimer::singleShot(exitAfter, mainForm, &QWidget::close);

  const int rc = QApplication::exec();
  quorel::UnloadAllForms();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  return rc;
}

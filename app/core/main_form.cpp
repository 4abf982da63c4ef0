#include "core/main_form.h"

#include <QCloseEvent>

#include "core/startup.h"
#include "core/versions.h"

namespace quorel {

MainForm::MainForm(QWidget* parent) : QMainWindow(parent) {
  setObjectName(QStringLiteral("MainForm"));
  setWindowTitle(ProgramTitle());
  setAttribute(Qt::WA_DeleteOnClose);
}

void MainForm::closeEvent(QCloseEvent* event) {
  FinishInstance();
  event->accept();
}

}  // namespace quorel

#include "tools/form_emc.h"

#include <QFont>
#include <QPlainTextEdit>
#include <QResizeEvent>

namespace quorel {

FormEMC::FormEMC(QWidget* parent) : QWidget(parent), text1_(new QPlainTextEdit(this)) {
  setObjectName(QStringLiteral("FormEMC"));
  setWindowTitle(QStringLiteral("EMC Test"));
  setAttribute(Qt::WA_DeleteOnClose);
  text1_->setObjectName(QStringLiteral("Text1"));
  text1_->setFont(QFont(QStringLiteral("Arial Narrow")));
  // One long word: it wraps anywhere so the letters fill every line.
  text1_->setWordWrapMode(QTextOption::WrapAnywhere);
  text1_->move(0, 0);
  text1_->setPlainText(QString(kLetters, QLatin1Char('H')));
  text1_->resize(size());
}

void FormEMC::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  text1_->resize(event->size());
}

}  // namespace quorel

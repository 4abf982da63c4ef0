#include "core/form_controls.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QTextEdit>
#include <QWidget>
#include <algorithm>

namespace quorel {
namespace {

// Runs the program's fill of a text box, then puts the cursor at 0 (the
// start in view) or, while the user types in the box, where the user had it.
template <typename Fill>
void FillFromStart(QLineEdit* box, Fill fill) {
  const bool typing = box->hasFocus();
  const int cursor = box->cursorPosition();
  fill();
  box->setCursorPosition(typing ? std::min(cursor, static_cast<int>(box->text().size())) : 0);
}

}  // namespace

void SetBoxText(QLineEdit* box, const QString& text) {
  if (box) FillFromStart(box, [&] { box->setText(text); });
}

QString ControlKey(const QString& name, int index) {
  return index < 0 ? name : name + QLatin1Char('_') + QString::number(index);
}

void WidgetControls::AddTree(QObject* root) {
  Add(root);
  const QList<QObject*> all = root->findChildren<QObject*>();
  for (QObject* o : all) Add(o);
}

void WidgetControls::Add(QObject* object) {
  if (object && !object->objectName().isEmpty()) objects_.insert(object->objectName(), object);
}

QObject* WidgetControls::Find(const QString& name, int index) const {
  return objects_.value(ControlKey(name, index)).data();
}

QObject* WidgetControls::Need(const QString& name, int index) const {
  QObject* o = Find(name, index);
  if (!o) qWarning("no control %s", qPrintable(ControlKey(name, index)));
  return o;
}

QString WidgetControls::Text(const QString& name, int index) const {
  QObject* o = Need(name, index);
  if (auto* l = qobject_cast<QLabel*>(o)) return l->text();
  if (auto* e = qobject_cast<QLineEdit*>(o)) return e->text();
  if (auto* p = qobject_cast<QPlainTextEdit*>(o)) return p->toPlainText();
  if (auto* t = qobject_cast<QTextEdit*>(o)) return t->toPlainText();
  if (auto* c = qobject_cast<QComboBox*>(o)) return c->currentText();
  if (auto* b = qobject_cast<QAbstractButton*>(o)) return b->text();
  if (auto* a = qobject_cast<QAction*>(o)) return a->text();
  if (auto* g = qobject_cast<QGroupBox*>(o)) return g->title();
  if (auto* m = qobject_cast<QMenu*>(o)) return m->title();
  return QString();
}

void WidgetControls::SetText(const QString& name, int index, const QString& text) {
  QObject* o = Need(name, index);
  if (auto* l = qobject_cast<QLabel*>(o)) {
    l->setText(text);
    if (labelHook_) labelHook_(ControlKey(name, index));
  } else if (auto* e = qobject_cast<QLineEdit*>(o)) {
    SetBoxText(e, text);
  } else if (auto* p = qobject_cast<QPlainTextEdit*>(o)) {
    p->setPlainText(text);
  } else if (auto* t = qobject_cast<QTextEdit*>(o)) {
    t->setPlainText(text);
  } else if (auto* c = qobject_cast<QComboBox*>(o)) {
    if (QLineEdit* e = c->lineEdit())  // an editable list
      FillFromStart(e, [&] { c->setEditText(text); });
    else
      c->setCurrentIndex(c->findText(text));
  } else if (auto* b = qobject_cast<QAbstractButton*>(o)) {
    b->setText(text);
  } else if (auto* a = qobject_cast<QAction*>(o)) {
    a->setText(text);
  } else if (auto* g = qobject_cast<QGroupBox*>(o)) {
    g->setTitle(text);
  } else if (auto* m = qobject_cast<QMenu*>(o)) {
    m->setTitle(text);
  }
}

QString WidgetControls::ToolTip(const QString& name, int index) const {
  QObject* o = Need(name, index);
  if (auto* w = qobject_cast<QWidget*>(o)) return w->toolTip();
  if (auto* a = qobject_cast<QAction*>(o)) return a->toolTip();
  return QString();
}

void WidgetControls::SetToolTip(const QString& name, int index, const QString& text) {
  QObject* o = Need(name, index);
  if (auto* w = qobject_cast<QWidget*>(o))
    w->setToolTip(text);
  else if (auto* a = qobject_cast<QAction*>(o))
    a->setToolTip(text);
}

int WidgetControls::Value(const QString& name, int index) const {
  QObject* o = Need(name, index);
  if (auto* c = qobject_cast<QCheckBox*>(o)) {
    switch (c->checkState()) {
      case Qt::Checked: return 1;
      case Qt::PartiallyChecked: return 2;
      default: return 0;
    }
  }
  if (auto* b = qobject_cast<QAbstractButton*>(o)) return b->isChecked() ? 1 : 0;
  if (auto* a = qobject_cast<QAction*>(o)) return a->isChecked() ? 1 : 0;
  if (auto* p = qobject_cast<QProgressBar*>(o)) return p->value();
  return 0;
}

void WidgetControls::SetValue(const QString& name, int index, int value) {
  QObject* o = Need(name, index);
  if (auto* c = qobject_cast<QCheckBox*>(o)) {
    c->setCheckState(value == 1 ? Qt::Checked : value == 2 ? Qt::PartiallyChecked : Qt::Unchecked);
  } else if (auto* b = qobject_cast<QAbstractButton*>(o)) {
    b->setChecked(value != 0);
  } else if (auto* a = qobject_cast<QAction*>(o)) {
    a->setChecked(value != 0);
  } else if (auto* p = qobject_cast<QProgressBar*>(o)) {
    p->setValue(value);
  }
}

bool WidgetControls::Enabled(const QString& name, int index) const {
  QObject* o = Need(name, index);
  if (auto* w = qobject_cast<QWidget*>(o)) return w->isEnabled();
  if (auto* a = qobject_cast<QAction*>(o)) return a->isEnabled();
  return false;
}

void WidgetControls::SetEnabled(const QString& name, int index, bool enabled) {
  QObject* o = Need(name, index);
  if (auto* w = qobject_cast<QWidget*>(o))
    w->setEnabled(enabled);
  else if (auto* a = qobject_cast<QAction*>(o))
    a->setEnabled(enabled);
}

bool WidgetControls::Visible(const QString& name, int index) const {
  QObject* o = Need(name, index);
  // The control's own setting, whether or not its window is shown now.
  if (auto* w = qobject_cast<QWidget*>(o)) return !w->isHidden();
  if (auto* a = qobject_cast<QAction*>(o)) return a->isVisible();
  return false;
}

void WidgetControls::SetVisible(const QString& name, int index, bool visible) {
  QObject* o = Need(name, index);
  if (auto* w = qobject_cast<QWidget*>(o))
    w->setVisible(visible);
  else if (auto* a = qobject_cast<QAction*>(o))
    a->setVisible(visible);
}

void WidgetControls::SetBackColor(const QString& name, int index, uint32_t bgr) {
  PaintBackColor(qobject_cast<QWidget*>(Need(name, index)), bgr);
}

void WidgetControls::SetForeColor(const QString& name, int index, uint32_t bgr) {
  PaintForeColor(qobject_cast<QWidget*>(Need(name, index)), bgr);
}

QStringList WidgetControls::Items(const QString& name, int index) const {
  QStringList items;
  if (auto* c = qobject_cast<QComboBox*>(Need(name, index)))
    for (int i = 0; i < c->count(); ++i) items << c->itemText(i);
  return items;
}

void WidgetControls::InsertItem(const QString& name, int index, int position, const QString& text) {
  auto* c = qobject_cast<QComboBox*>(Need(name, index));
  if (!c) return;
  const QString shown = c->currentText();
  const QSignalBlocker quiet(c);  // the text shown does not change
  c->insertItem(position, text);
  if (c->isEditable()) c->setEditText(shown);
}

void WidgetControls::SetListIndex(const QString& name, int index, int listIndex) {
  if (auto* c = qobject_cast<QComboBox*>(Need(name, index))) c->setCurrentIndex(listIndex);
}

int WidgetControls::ListIndex(const QString& name, int index) const {
  if (auto* c = qobject_cast<QComboBox*>(Need(name, index))) return c->currentIndex();
  return -1;
}

void WidgetControls::Focus(const QString& name, int index) {
  if (auto* w = qobject_cast<QWidget*>(Need(name, index))) w->setFocus(Qt::OtherFocusReason);
}

}  // namespace quorel

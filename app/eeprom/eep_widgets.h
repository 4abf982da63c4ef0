// Small makers for the EEPROM window's named controls: each gets its control
// name (with "_" and the index for an element of a control array) as
// objectName, so the window's handlers find it by name.
#pragma once
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QString>

#include "core/form_controls.h"

namespace quorel::eep {

template <typename W>
W* NamedWidget(QWidget* parent, const QString& name, int index = -1) {
  auto* w = new W(parent);
  w->setObjectName(ControlKey(name, index));
  return w;
}

inline QPushButton* MakeButton(QWidget* parent, const QString& name, int index, const QString& caption,
                               const QString& tip = QString()) {
  auto* b = NamedWidget<QPushButton>(parent, name, index);
  b->setText(caption);
  b->setToolTip(tip);
  return b;
}

inline QCheckBox* MakeCheck(QWidget* parent, const QString& name, int index, const QString& caption,
                            const QString& tip = QString()) {
  auto* c = NamedWidget<QCheckBox>(parent, name, index);
  c->setText(caption);
  c->setToolTip(tip);
  return c;
}

// A label the handlers fill (sunken, so an empty one still shows its place).
inline QLabel* MakeDisplay(QWidget* parent, const QString& name, int index = -1) {
  auto* l = NamedWidget<QLabel>(parent, name, index);
  l->setFrameShape(QFrame::Panel);
  l->setFrameShadow(QFrame::Sunken);
  return l;
}

// A fixed caption nobody addresses.
inline QLabel* MakeCaption(QWidget* parent, const QString& text) { return new QLabel(text, parent); }

// An editable drop-down list (pick an item or type).
inline QComboBox* MakeChoice(QWidget* parent, const QString& name, int index, const QStringList& items) {
  auto* c = NamedWidget<QComboBox>(parent, name, index);
  c->setEditable(true);
  c->addItems(items);
  c->setCurrentIndex(-1);
  c->setEditText(QString());
  return c;
}

}  // namespace quorel::eep

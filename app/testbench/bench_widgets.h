// Small widget makers the test bench's pages share: every control carries
// its control name (and index) as its object name, so handlers and tests
// find it by name.
#pragma once
#include <QLabel>
#include <QString>
#include <QWidget>

#include "core/form_controls.h"

namespace quorel {

template <typename W>
W* Named(W* w, const QString& name, int index = -1) {
  w->setObjectName(ControlKey(name, index));
  return w;
}

inline QLabel* Label(QWidget* parent, const QString& name, int index, const QString& text = QString()) {
  auto* l = Named(new QLabel(text, parent), name, index);
  l->setTextFormat(Qt::PlainText);
  return l;
}

}  // namespace quorel

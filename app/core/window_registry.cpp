#include "core/window_registry.h"

#include <QDialog>

#include "core/dialogs.h"

namespace quorel {

void WindowRegistry::Register(const QString& name, ShowMode mode, Factory factory) {
  Entry& e = entries_[name];
  e.mode = mode;
  e.factory = std::move(factory);
}

bool WindowRegistry::Available(const QString& name) const {
  const auto it = entries_.find(name);
  return it != entries_.end() && (it->factory || it->window);
}

QWidget* WindowRegistry::Loaded(const QString& name) const {
  const auto it = entries_.find(name);
  return it == entries_.end() ? nullptr : it->window.data();
}

QWidget* WindowRegistry::Load(const QString& name) {
  const auto it = entries_.find(name);
  if (it == entries_.end()) return nullptr;
  if (!it->window && it->factory) {
    QWidget* w = it->factory();
    if (w && w->objectName().isEmpty()) w->setObjectName(name);
    it->window = w;
  }
  return it->window.data();
}

bool WindowRegistry::Open(const QString& name) {
  QWidget* w = Load(name);
  if (!w) return false;
  if (entries_.value(name).mode == ShowMode::kModal) {
    if (auto* dialog = qobject_cast<QDialog*>(w)) Dialogs().Modal(*dialog);
    return true;
  }
  w->show();
  w->raise();
  w->activateWindow();
  return true;
}

QStringList WindowRegistry::Names() const {
  QStringList names = entries_.keys();
  names.sort();
  return names;
}

}  // namespace quorel

// The tool windows the main window's menus open. Each is created on first
// use (its constructor is its load handler) and reused while it exists; it
// is shown without an owner window, modeless, or modal through the dialog
// helper. A name without a factory is a window not built yet: opening it
// does nothing.
#pragma once
#include <QHash>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>

namespace quorel {

enum class ShowMode { kModeless, kModal };

class WindowRegistry {
 public:
  using Factory = std::function<QWidget*()>;

  // A modal window's factory must make a QDialog.
  void Register(const QString& name, ShowMode mode, Factory factory = nullptr);
  // True when a window of that name can be made.
  bool Available(const QString& name) const;
  // The window while it exists, else nullptr.
  QWidget* Loaded(const QString& name) const;
  // Creates the window when it does not exist; nullptr without a factory.
  QWidget* Load(const QString& name);
  // Loads and shows the window (modal: returns when it is closed or hidden).
  // False when there is no such window.
  bool Open(const QString& name);
  // Every registered name, sorted.
  QStringList Names() const;

 private:
  struct Entry {
    ShowMode mode = ShowMode::kModeless;
    Factory factory;
    QPointer<QWidget> window;
  };
  QHash<QString, Entry> entries_;
};

}  // namespace quorel

// The menu bar of the main window: its items with their captions and
// shortcuts, and the administrator items that ShowAdminMenus shows and hides.
#pragma once
#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>
#include <cstdint>

class QAction;
class QMainWindow;
class QMenu;

namespace quorel {

class MainMenus : public QObject {
 public:
  // Builds the menu bar into window; the items carry their names as
  // objectName. While it exists it is the one ShowAdminMenus acts on.
  explicit MainMenus(QMainWindow& window);
  ~MainMenus() override;

  // The item, separator or top-level menu of that name; nullptr if none.
  QAction* Item(const QString& name) const { return items_.value(name); }
  QMenu* Menu(const QString& name) const { return menus_.value(name); }

  // Mode 1 shows, mode 0 hides the administrator items, in their order; any
  // other mode changes nothing.
  void ShowAdminMenus(int16_t mode);

  // The administrator items, in the order ShowAdminMenus sets them.
  static const QStringList& AdminItems();

 private:
  QAction* AddItem(QMenu* menu, const QString& name, const QString& caption, const QString& shortcut = QString());
  QAction* AddSeparator(QMenu* menu, const QString& name);

  QHash<QString, QAction*> items_;
  QHash<QString, QMenu*> menus_;
};

// ShowAdminMenus of the main window's menus (nothing when none exist).
void ShowAdminMenus(int16_t mode);

}  // namespace quorel

#include "core/main_menus.h"

#include <QAction>
#include <QKeySequence>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

namespace quorel {
namespace {

MainMenus* g_current = nullptr;

}  // namespace

MainMenus::MainMenus(QMainWindow& window) : QObject(&window) {
  QMenuBar* bar = window.menuBar();
  bar->setObjectName(QStringLiteral("MenuBar"));

  QMenu* test = bar->addMenu(QStringLiteral("Menu (&M)"));
  test->setObjectName(QStringLiteral("testMenu"));
  menus_.insert(test->objectName(), test);
  AddItem(test, QStringLiteral("fileAccess"), QStringLiteral("File access  "), QStringLiteral("Ctrl+F"));
  AddItem(test, QStringLiteral("bmpPr"), QStringLiteral("BMP data download"), QStringLiteral("Ctrl+B"));
  AddSeparator(test, QStringLiteral("dummy"));
  AddItem(test, QStringLiteral("enLarge"), QStringLiteral("FormEnlarge (Admin)"));
  AddSeparator(test, QStringLiteral("dummy0"));
  AddItem(test, QStringLiteral("eepControl"), QStringLiteral("EEPcontrol (Admin)"));
  AddSeparator(test, QStringLiteral("dummy1"));
  AddItem(test, QStringLiteral("MEMDump"), QStringLiteral("MemoryDump (Admin)"));
  AddSeparator(test, QStringLiteral("dummy2"));
  AddItem(test, QStringLiteral("MivorTest"), QStringLiteral("Mivor Test (Admin)"));
  AddItem(test, QStringLiteral("yarsel"), QStringLiteral("Yarsel Test (Admin)"));
  AddSeparator(test, QStringLiteral("dummy5"));
  AddItem(test, QStringLiteral("EEPMessage"), QStringLiteral("EEPMessage(Admin)"));
  AddSeparator(test, QStringLiteral("dummy6"));
  AddItem(test, QStringLiteral("Quit"), QStringLiteral("Quit"), QStringLiteral("Ctrl+Q"));

  QMenu* options = bar->addMenu(QStringLiteral("Options(&O)"));
  options->setObjectName(QStringLiteral("TestOption"));
  menus_.insert(options->objectName(), options);
  AddItem(options, QStringLiteral("DSRcheckd"), QStringLiteral("DSR Checkd"))->setCheckable(true);
  AddItem(options, QStringLiteral("CTScheckd"), QStringLiteral("CTS Checkd"))->setCheckable(true);
  AddSeparator(options, QStringLiteral("dummy3"));
  AddItem(options, QStringLiteral("TestComm"), QStringLiteral("COM Port Setting"));

  // Two top-level items without a submenu.
  for (const auto& [name, caption] : {std::pair<const char*, const char*>{"mnuMemorySW", "MemorySW(&W)"},
                                      std::pair<const char*, const char*>{"VerDSP", "Version(&V)"}}) {
    QAction* a = bar->addAction(QString::fromLatin1(caption));
    a->setObjectName(QString::fromLatin1(name));
    items_.insert(a->objectName(), a);
  }
  g_current = this;
}

MainMenus::~MainMenus() {
  if (g_current == this) g_current = nullptr;
}

QAction* MainMenus::AddItem(QMenu* menu, const QString& name, const QString& caption, const QString& shortcut) {
  QAction* a = menu->addAction(caption);
  a->setObjectName(name);
  if (!shortcut.isEmpty()) a->setShortcut(QKeySequence(shortcut));
  items_.insert(name, a);
  return a;
}

QAction* MainMenus::AddSeparator(QMenu* menu, const QString& name) {
  QAction* a = menu->addSeparator();
  a->setObjectName(name);
  items_.insert(name, a);
  return a;
}

const QStringList& MainMenus::AdminItems() {
  static const QStringList items = {
      QStringLiteral("dummy"),   QStringLiteral("enLarge"),    QStringLiteral("eepControl"), QStringLiteral("dummy1"),
      QStringLiteral("MEMDump"), QStringLiteral("dummy2"),     QStringLiteral("MivorTest"),  QStringLiteral("yarsel"),
      QStringLiteral("dummy5"),  QStringLiteral("EEPMessage"), QStringLiteral("dummy6")};
  return items;
}

void MainMenus::ShowAdminMenus(int16_t mode) {
  if (mode != 0 && mode != 1) return;
  for (const QString& name : AdminItems()) items_.value(name)->setVisible(mode == 1);
}

void ShowAdminMenus(int16_t mode) {
  if (g_current) g_current->ShowAdminMenus(mode);
}

}  // namespace quorel

// The masked password prompt on the real dialog host, the menu bar's items,
// and ShowAdminMenus.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>
#include <QtTest/QTest>
#include <functional>

#include "core/main_menus.h"
#include "core/main_module.h"
#include "core/password_prompt.h"
#include "core/qt_dialog_host.h"
#include "support/scripted_dialogs.h"

namespace quorel {
namespace {

using testing::OnModal;

TEST(MaskedPrompt, FiveDigitsShowAsFiveStarsAndComeBackAsTyped) {
  QtDialogHost host;
  SetDialogHost(&host);
  QString shown, title, prompt;
  QLineEdit::EchoMode mode = QLineEdit::Normal;
  OnModal([&](QWidget* w) {
    auto* edit = w->findChild<QLineEdit*>();
    ASSERT_NE(edit, nullptr);
    QTest::keyClicks(edit, QStringLiteral("12345"));
    shown = edit->displayText();
    mode = edit->echoMode();
    title = w->windowTitle();
    for (QLabel* l : w->findChildren<QLabel*>()) prompt += l->text();
    qobject_cast<QDialog*>(w)->accept();
  });
  EXPECT_EQ(InputBoxDK(QStringLiteral("Input password")), QStringLiteral("12345"));
  EXPECT_EQ(shown, QStringLiteral("*****"));
  EXPECT_EQ(mode, QLineEdit::Password);
  EXPECT_EQ(title, QStringLiteral("Quorel"));
  EXPECT_EQ(prompt, QStringLiteral("Input password"));

  OnModal([](QWidget* w) {
    QTest::keyClicks(w->findChild<QLineEdit*>(), QStringLiteral("58203"));
    qobject_cast<QDialog*>(w)->reject();
  });
  EXPECT_EQ(InputBoxDK(QStringLiteral("Input password")), QString());
  SetDialogHost(nullptr);
}

TEST(MaskedPrompt, ThePlainGateShowsWhatIsTypedAndAnEmptyEntryNeverPasses) {
  QtDialogHost host;
  SetDialogHost(&host);
  mm() = MainModule{};
  mm().gMenuPassword = QStringLiteral("58203");
  QString shown;
  OnModal([&](QWidget* w) {
    auto* edit = w->findChild<QLineEdit*>();
    QTest::keyClicks(edit, QStringLiteral("58203"));
    shown = edit->displayText();
    qobject_cast<QDialog*>(w)->accept();
  });
  EXPECT_TRUE(PasswordGate(PasswordEcho::kPlain));
  EXPECT_EQ(shown, QStringLiteral("58203"));
  EXPECT_EQ(mm().gPasswordEntry, QStringLiteral("58203"));

  mm().gMenuPassword.clear();  // tables not built: nothing opens on an empty entry
  OnModal([](QWidget* w) { qobject_cast<QDialog*>(w)->accept(); });
  EXPECT_FALSE(PasswordGate());
  SetDialogHost(nullptr);
}

class Menus : public ::testing::Test {
 protected:
  QAction* Item(const char* name) { return menus_.Item(QString::fromLatin1(name)); }

  QMainWindow window_;
  MainMenus menus_{window_};
};

TEST_F(Menus, CaptionsShortcutsAndOrder) {
  QStringList order;
  for (QAction* a : menus_.Menu(QStringLiteral("testMenu"))->actions()) order << a->objectName();
  EXPECT_EQ(order, (QStringList{"fileAccess", "bmpPr", "dummy", "enLarge", "dummy0", "eepControl", "dummy1", "MEMDump",
                                "dummy2", "MivorTest", "yarsel", "dummy5", "EEPMessage", "dummy6", "Quit"}));
  EXPECT_EQ(Item("fileAccess")->text(), QStringLiteral("File access  "));
  EXPECT_EQ(Item("fileAccess")->shortcut(), QKeySequence(QStringLiteral("Ctrl+F")));
  EXPECT_EQ(Item("bmpPr")->shortcut(), QKeySequence(QStringLiteral("Ctrl+B")));
  EXPECT_EQ(Item("Quit")->shortcut(), QKeySequence(QStringLiteral("Ctrl+Q")));
  EXPECT_EQ(Item("EEPMessage")->text(), QStringLiteral("EEPMessage(Admin)"));
  EXPECT_TRUE(Item("dummy0")->isSeparator());
  QStringList options;
  for (QAction* a : menus_.Menu(QStringLiteral("TestOption"))->actions()) options << a->text();
  EXPECT_EQ(options, (QStringList{"DSR Checkd", "CTS Checkd", "", "COM Port Setting"}));
  QStringList bar;
  for (QAction* a : window_.menuBar()->actions()) bar << a->text();
  EXPECT_EQ(bar, (QStringList{"Menu (&M)", "Options(&O)", "MemorySW(&W)", "Version(&V)"}));
  EXPECT_EQ(Item("VerDSP")->menu(), nullptr);
}

TEST_F(Menus, ShowAdminMenusHidesAndShowsExactlyTheElevenItems) {
  ShowAdminMenus(0);
  int hidden = 0;
  for (QAction* a : menus_.Menu(QStringLiteral("testMenu"))->actions()) {
    const bool admin = MainMenus::AdminItems().contains(a->objectName());
    EXPECT_EQ(a->isVisible(), !admin) << a->objectName().toStdString();
    hidden += admin;
  }
  EXPECT_EQ(hidden, 11);
  EXPECT_TRUE(Item("dummy0")->isVisible());
  ShowAdminMenus(2);  // any other mode: nothing changes
  EXPECT_FALSE(Item("enLarge")->isVisible());
  ShowAdminMenus(1);
  for (QAction* a : menus_.Menu(QStringLiteral("testMenu"))->actions()) EXPECT_TRUE(a->isVisible());
  ShowAdminMenus(-1);
  EXPECT_TRUE(Item("dummy6")->isVisible());
}

}  // namespace
}  // namespace quorel

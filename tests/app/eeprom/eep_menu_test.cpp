// The EEPROM window as the main window opens it: the menu item, the window
// made once and reused, its actions on the main window's channel, and a
// fresh window after it was closed.
#include <QAbstractButton>
#include <QAction>
#include <QtTest/QTest>

#include "core/main_menus.h"
#include "eeprom/form_eep.h"
#include "main/main_window_fixture.h"
#include "support/scripted_dialogs.h"

namespace quorel {
namespace {

class EepMenu : public testing::MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    FreshSettings();
    // Administrator mode: the menu asks no password.
    WriteIni(QStringLiteral("Form"), QStringLiteral("BRELLAN_G"), QStringLiteral("quildermans40127"), ini_);
    StartDevice();
    Control("device standard");
    Start();
  }
  eep::FormEEP* Choose() {
    form_->menus().Item(QStringLiteral("eepControl"))->trigger();
    return qobject_cast<eep::FormEEP*>(form_->windows().Loaded(QStringLiteral("FormEEP")));
  }
};

TEST_F(EepMenu, TheMenuOpensTheWindowOnTheMainWindowsChannel) {
  testing::ScriptedDialogs dialogs;  // any box fails the test
  eep::FormEEP* eep = Choose();
  ASSERT_NE(nullptr, eep);
  EXPECT_TRUE(eep->isVisible());
  EXPECT_EQ(QStringLiteral("EEPROM Setting Mode"), eep->windowTitle());
  EXPECT_EQ(eep, Choose());  // reused while it exists
  eep->findChild<QAbstractButton*>(QStringLiteral("CmdUpDown_1"))->click();
  EXPECT_EQ((std::vector<QByteArray>{"!!h1"}), Commands());
  QPointer<eep::FormEEP> first(eep);
  eep->findChild<QAction*>(QStringLiteral("eepQuit"))->trigger();
  EXPECT_TRUE(testing::PumpUntilTrue([&] { return first.isNull(); }, 2000));
  eep::FormEEP* second = Choose();
  ASSERT_NE(nullptr, second);
  EXPECT_TRUE(second->isVisible());
  second->close();
}

}  // namespace
}  // namespace quorel

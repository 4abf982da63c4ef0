// The about window: its texts, the administrator way in behind the picture
// (counted for the whole run), and the ways it hides.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMainWindow>
#include <QPointer>
#include <QtTest/QTest>

#include "core/main_menus.h"
#include "core/main_module.h"
#include "core/message_tables.h"
#include "support/scripted_dialogs.h"
#include "tools/version_disp.h"

namespace quorel {
namespace {

// Scripted dialogs whose input box takes the activation away from the about
// window while it is open, as a real modal prompt does.
class ActivatingDialogs : public testing::ScriptedDialogs {
 public:
  QWidget* takesFocus = nullptr;
  std::optional<QString> Input(const InputRequest& request) override {
    if (takesFocus) {
      takesFocus->show();
      QApplication::setActiveWindow(takesFocus);
      QApplication::processEvents();
    }
    return ScriptedDialogs::Input(request);
  }
};

class About : public ::testing::Test {
 protected:
  void SetUp() override {
    mm() = MainModule{};
    InitMessageTables();
    menus_.ShowAdminMenus(0);
  }
  void DoubleClickPicture() {
    QTest::mouseDClick(about_.findChild<QWidget*>(QStringLiteral("ImageVersion")), Qt::LeftButton);
  }
  QString Text(int i) { return about_.findChild<QLineEdit*>(QStringLiteral("Text%1").arg(i))->text(); }
  bool AdminMenusShown() const { return menus_.Item(QStringLiteral("eepControl"))->isVisible(); }
  void ShowActive() {
    about_.show();
    QApplication::setActiveWindow(&about_);
    QApplication::processEvents();
  }

  QMainWindow main_;
  MainMenus menus_{main_};
  VersionDisp about_;
};

TEST_F(About, FourTextsFromTheVersionInformation) {
  const AboutTexts t = ProgramAboutTexts();
  EXPECT_EQ(Text(1), t.fileDescription);
  EXPECT_EQ(Text(2), QStringLiteral("Quorel\u3000Version ") + QStringLiteral(QUOREL_VERSION).section('.', 0, 2));
  EXPECT_EQ(Text(3), t.comments);
  EXPECT_EQ(Text(4), t.legalNotice);
  EXPECT_FALSE(t.fileDescription.isEmpty());
  EXPECT_FALSE(t.legalNotice.isEmpty());
  EXPECT_EQ(about_.windowTitle(), QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));
  EXPECT_EQ(Text(1).isEmpty(), false);
}

TEST_F(About, TheThirdDoubleClickAsksAndTheCountSurvivesHiding) {
  testing::ScriptedDialogs dialogs;
  ShowActive();
  DoubleClickPicture();
  DoubleClickPicture();
  EXPECT_TRUE(dialogs.recorded().empty());
  about_.hide();
  ShowActive();
  dialogs.ExpectInput(QStringLiteral("Quorel"), QStringLiteral("12345"));  // wrong: nothing
  DoubleClickPicture();
  EXPECT_FALSE(AdminMenusShown());
  EXPECT_EQ(mm().gPasswordEntry, QStringLiteral("12345"));
  dialogs.ExpectInput(QStringLiteral("Quorel"), std::nullopt);  // cancelled: nothing
  DoubleClickPicture();
  EXPECT_FALSE(AdminMenusShown());
  dialogs.ExpectInput(QStringLiteral("Quorel"), QStringLiteral("58203"));
  DoubleClickPicture();
  EXPECT_TRUE(AdminMenusShown());
  EXPECT_EQ(mm().gAdminMode, 0);  // only the menus
  EXPECT_EQ(mm().gVersionClickCount, 5);
  ASSERT_EQ(dialogs.recorded().size(), 3u);
  EXPECT_EQ(dialogs.recorded()[0].text, QStringLiteral("Input password"));
}

TEST_F(About, AdministratorModeNeverAsks) {
  testing::ScriptedDialogs dialogs;
  mm().gAdminMode = 1;
  for (int i = 0; i < 5; ++i) DoubleClickPicture();
  EXPECT_TRUE(dialogs.recorded().empty());
  EXPECT_FALSE(AdminMenusShown());
}

TEST_F(About, AKeyTheButtonOrAnotherActiveWindowHideIt) {
  ShowActive();
  QTest::keyClick(&about_, Qt::Key_A);
  EXPECT_FALSE(about_.isVisible());
  ShowActive();
  QTest::keyClick(about_.findChild<QWidget*>(QStringLiteral("Command1")), Qt::Key_Space);
  EXPECT_FALSE(about_.isVisible());
  ShowActive();
  QTest::mouseClick(about_.findChild<QWidget*>(QStringLiteral("Command1")), Qt::LeftButton);
  EXPECT_FALSE(about_.isVisible());
  ShowActive();
  ASSERT_TRUE(about_.isActiveWindow());
  main_.show();
  QApplication::setActiveWindow(&main_);
  QApplication::processEvents();
  EXPECT_FALSE(about_.isVisible());
}

TEST_F(About, ItsOwnPasswordPromptDoesNotHideIt) {
  ActivatingDialogs dialogs;
  QWidget prompt;
  dialogs.takesFocus = &prompt;
  mm().gVersionClickCount = 2;
  ShowActive();
  ASSERT_TRUE(about_.isActiveWindow());
  dialogs.ExpectInput(QStringLiteral("Quorel"), QStringLiteral("58203"));
  DoubleClickPicture();
  EXPECT_TRUE(about_.isVisible());
  EXPECT_TRUE(AdminMenusShown());
}

}  // namespace
}  // namespace quorel

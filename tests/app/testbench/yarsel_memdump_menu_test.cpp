// The card-read test and the memory dump opened from the main window's menu
// (the started program, the real library, the simulated device): each is
// made on first use, shown modeless, and works through the main window's
// one device channel.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "core/main_menus.h"
#include "core/window_registry.h"
#include "main/main_window_fixture.h"
#include "support/scripted_dialogs.h"
#include "testbench/form_mem_dump.h"
#include "testbench/form_yarsel.h"

namespace quorel::testing {
namespace {

class YarselMemDumpMenu : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    FreshSettings();
    StartDevice();
    Control("device standard");
    Control("model yarsel");
    Control("cardread on");
    Control("cardwait 20");
    Start();
  }
  void Choose(const char* item) { form_->menus().Item(QString::fromLatin1(item))->trigger(); }
  template <typename T>
  T* Child(QWidget* w, const char* name) {
    T* c = w->findChild<T*>(QLatin1String(name));
    EXPECT_NE(c, nullptr) << name;
    return c;
  }
};

TEST_F(YarselMemDumpMenu, TheCardReadWindowOpensAfterThePasswordAndRunsOnTheMainChannel) {
  ScriptedDialogs dialogs;
  dialogs.ExpectInput(QStringLiteral("Quorel"), QStringLiteral("58203"));
  Choose("yarsel");
  auto* w = dynamic_cast<FormYarsel*>(form_->windows().Loaded(QStringLiteral("FormYarsel")));
  ASSERT_NE(w, nullptr);
  EXPECT_TRUE(w->isVisible());
  EXPECT_FALSE(w->isModal());
  Child<QLineEdit>(w, "TxtCount")->setText(QStringLiteral("2"));
  sim_.ClearTranscript();
  Child<QPushButton>(w, "CmdTest")->click();
  EXPECT_EQ(Child<QLabel>(w, "LbPassCount")->text(), "2 /");
  EXPECT_EQ(Child<QLabel>(w, "LbAns")->text(), "ACO90");
  EXPECT_EQ(Child<QLabel>(w, "LbVS")->text(), "14Y2 V1.10");
  EXPECT_EQ(Commands(), (std::vector<QByteArray>{"VS", "CI", "CO3", "CL", "!!m2", "CI", "!!m0", "COF"}));
  EXPECT_EQ(Child<QPushButton>(w, "CmdTest")->text(), "Test Start");
}

TEST_F(YarselMemDumpMenu, TheMemoryDumpOpensInAdministratorModeAndDumpsOnTheMainChannel) {
  mm().gAdminMode = 1;
  Choose("MEMDump");
  auto* w = dynamic_cast<FormMEMDump*>(form_->windows().Loaded(QStringLiteral("FormMEMDump")));
  ASSERT_NE(w, nullptr);
  EXPECT_TRUE(w->isVisible());
  EXPECT_TRUE(Child<QCheckBox>(w, "ChkAdminiMode")->isChecked());
  Child<QLineEdit>(w, "TxtAddEnd")->setText(QStringLiteral("FF8830"));
  sim_.ClearTranscript();
  Child<QPushButton>(w, "CmdDumpStart")->click();
  const QStringList lines = Child<QPlainTextEdit>(w, "DumpHex")->toPlainText().split(QLatin1Char('\n'));
  ASSERT_EQ(lines.size(), 4);
  EXPECT_TRUE(lines[3].startsWith(QStringLiteral("FF8820: ")));
  EXPECT_EQ(Commands(), (std::vector<QByteArray>{"md:FF8800", "md", "md", "md"}));
  EXPECT_TRUE(Child<QPushButton>(w, "Command2")->isEnabled());
}

}  // namespace
}  // namespace quorel::testing

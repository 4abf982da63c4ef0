// The command-file window and the port settings window as the main window
// opens them: through its menu, on its channel, with its send box, its check
// marks and port label, and its end of the program after a new log mode.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "core/main_menus.h"
#include "core/versions.h"
#include "core/window_registry.h"
#include "main_window_fixture.h"
#include "support/scripted_dialogs.h"
#include "tools/form_file.h"

namespace quorel {
namespace {

class ToolsFromMain : public testing::MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    FreshSettings();
  }
  // The main window takes the activation back, as it does when a modal
  // window it opened has closed.
  void Reactivate() {
    QWidget other;
    other.show();
    QApplication::setActiveWindow(&other);
    QApplication::processEvents();
    QApplication::setActiveWindow(form_);
    QApplication::processEvents();
  }
};

TEST_F(ToolsFromMain, TheFileMenuOpensTheRunnerOnTheMainChannelAndAbortSendsClearFromTheSendBox) {
  StartDevice();
  Start();
  form_->menus().Item(QStringLiteral("fileAccess"))->trigger();
  auto* window = dynamic_cast<FormFile*>(form_->windows().Loaded(QStringLiteral("FormFile")));
  ASSERT_TRUE(window);
  EXPECT_TRUE(window->isVisible());
  window->SetEditorText(QStringLiteral("      ST\r\nWAIT\r\n5\r\n      VS\r\n"));
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (mm().gShowCountdown != 1) return;
    poll.stop();
    window->findChild<QPushButton*>(QStringLiteral("CmdAbort"))->click();
  });
  poll.start(5);
  window->findChild<QPushButton*>(QStringLiteral("CmdExe"))->click();
  EXPECT_EQ(Commands(), (std::vector<QByteArray>{"ST", "CL"}));
  EXPECT_EQ(ui().Text(QStringLiteral("TxtSendBox")), "CL");
}

TEST_F(ToolsFromMain, ASaveShowsTheNewPortAndHandshakesInTheMainWindow) {
  Start();
  testing::ScriptedDialogs dialogs;
  dialogs.ExpectModal(QStringLiteral("FormCOM"), [](QDialog& d) {
    d.findChild<QRadioButton*>(QStringLiteral("OpGetPort_1"))->click();
    auto* port = d.findChild<QComboBox*>(QStringLiteral("CmbPort"));
    port->setCurrentIndex(port->findText(QStringLiteral("COM5")));
    d.findChild<QCheckBox*>(QStringLiteral("ChkDSR"))->setChecked(false);
    d.findChild<QPushButton*>(QStringLiteral("CmdCOMConfigSave"))->click();
    return d.result();
  });
  form_->menus().Item(QStringLiteral("TestComm"))->trigger();
  EXPECT_EQ(mm().gPort, 5);
  EXPECT_EQ(ui().Text(QStringLiteral("LbComViewer")), "5");
  EXPECT_EQ(ui().Value(QStringLiteral("DSRcheckd")), 0);
  EXPECT_EQ(ui().Value(QStringLiteral("CTScheckd")), 1);
  EXPECT_EQ(Read(QStringLiteral("Comm"), QStringLiteral("Port")), "5");
  EXPECT_EQ(mm().gRestartRequest, 0);
  Reactivate();
  EXPECT_FALSE(form_.isNull());  // no restart asked: the program goes on
}

TEST_F(ToolsFromMain, ANewLogModeEndsTheProgramWhenThePortSettingsWindowHasClosed) {
  Start();
  testing::ScriptedDialogs dialogs;
  dialogs.ExpectModal(QStringLiteral("FormCOM"), [](QDialog& d) {
    auto* mode = d.findChild<QComboBox*>(QStringLiteral("CmbVantorLog"));
    mode->setCurrentIndex(mode->findData(0));
    d.findChild<QPushButton*>(QStringLiteral("CmdCOMConfigSave"))->click();
    return d.result();
  });
  dialogs.ExpectBox(ProgramTitle(),
                    QStringLiteral("LOG設定の設定が変更になっており、一度エミュレーターを再起動させる必要があります。\r\n"
                                   "終了させる場合は[はい]を、しない場合は[いいえ]をクリックして下さい"),
                    BoxAnswer::kYes);
  form_->menus().Item(QStringLiteral("TestComm"))->trigger();
  EXPECT_EQ(mm().gRestartRequest, -1);
  EXPECT_FALSE(form_.isNull());  // the window has returned; the main window ends next
  EXPECT_EQ(ReadIni(QStringLiteral("Log"), QStringLiteral("Logging"), prog_ + QStringLiteral("/Vantor.ini")), "0");
  Reactivate();
  EXPECT_TRUE(testing::PumpUntilTrue([this] { return form_.isNull(); }, 3000));
}

}  // namespace
}  // namespace quorel

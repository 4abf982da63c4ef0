// The main window's shell offscreen: the load, the menus and their password
// gate, the layouts, the status lamp, the text boxes' conveniences, handlers
// run by values set from code, and the about window's placement.
#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QtTest/QTest>

#include "core/device_channel.h"
#include "core/main_menus.h"
#include "core/main_shell.h"
#include "main_window_fixture.h"
#include "support/scripted_dialogs.h"

namespace quorel {
namespace {

const char* const kGated[] = {"eepControl", "MEMDump", "MivorTest", "yarsel", "EEPMessage"};
const char* const kGatedWindows[] = {"FormEEP", "FormMEMDump", "FormMivorTest", "FormYarsel", "FormEEPMsg"};

class Shell : public testing::MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    FreshSettings();
  }
  void AdminAtStart() {
    WriteIni(QStringLiteral("Form"), QStringLiteral("BRELLAN_G"), QStringLiteral("quildermans40127"), ini_);
  }
  // Stand-ins for the windows other parts of the program build.
  void RegisterStandIns() {
    for (const char* name : kGatedWindows) {
      const QString n = QString::fromLatin1(name);
      form_->windows().Register(n, ShowMode::kModeless, [n] {
        auto* w = new QWidget;
        w->setObjectName(n);
        return w;
      });
    }
    for (const char* name : {"FormCOM", "FormMemorySW"}) {
      const QString n = QString::fromLatin1(name);
      form_->windows().Register(n, ShowMode::kModal, [n] {
        auto* d = new QDialog;
        d->setObjectName(n);
        return d;
      });
    }
  }
  void Choose(const char* item) { form_->menus().Item(QString::fromLatin1(item))->trigger(); }
  // The layouts' designed sizes, wider where this machine's fonts need it.
  QSize Compact() const {
    EXPECT_GE(form_->layoutWidths().compact, 640);
    return {form_->layoutWidths().compact, 584};
  }
  QSize Enlarged() const {
    EXPECT_GE(form_->layoutWidths().enlarged, 821);
    return {form_->layoutWidths().enlarged, 584};
  }
  bool Shown(const char* window) {
    QWidget* w = form_->windows().Loaded(QString::fromLatin1(window));
    return w && w->isVisible();
  }
  QColor Back(const char* control) {
    auto* w = ui().Get<QWidget>(QString::fromLatin1(control));
    return w->palette().color(w->backgroundRole());
  }
};

TEST_F(Shell, TheLoadFillsTheWindowAndSendsNothing) {
  Start();
  EXPECT_EQ(form_->windowTitle(),
            QStringLiteral("Quorel\u3000Version ") + QStringLiteral(QUOREL_VERSION).section('.', 0, 2));
  EXPECT_EQ(form_->size(), Compact());
  EXPECT_TRUE(form_->compactShown());
  EXPECT_FALSE(form_->menus().Item(QStringLiteral("eepControl"))->isVisible());
  EXPECT_TRUE(form_->menus().Item(QStringLiteral("dummy0"))->isVisible());
  EXPECT_EQ(ui().Value(QStringLiteral("DSRcheckd")), 1);
  EXPECT_EQ(ui().Value(QStringLiteral("ChkAdminiMode")), 0);
  EXPECT_EQ(ui().Text(QStringLiteral("LbComViewer")), QStringLiteral("3"));
  EXPECT_EQ(ui().Text(QStringLiteral("LbComConfig")), QStringLiteral("9600,E,8,1"));
  EXPECT_EQ(ui().Text(QStringLiteral("TxtPDData")), QStringLiteral("0/0/24/esc$e222012"));
  EXPECT_EQ(ui().Value(QStringLiteral("Check6")), 1);
  EXPECT_EQ(ui().Value(QStringLiteral("OpJISISO"), 0), 1);
  EXPECT_FALSE(ui().Enabled(QStringLiteral("OptPRT")));
  EXPECT_EQ(ui().Value(QStringLiteral("OptPRT")), 1);
  EXPECT_EQ(ui().Text(QStringLiteral("CmbJIkoPD")), QString());
  EXPECT_FALSE(ui().Visible(QStringLiteral("ChkPunch")));
  EXPECT_FALSE(ui().Visible(QStringLiteral("ChkIRread")));
  EXPECT_EQ(mm().gLangJapanese, 1);
  EXPECT_EQ(mm().gMenuPassword, QStringLiteral("58203"));
  EXPECT_TRUE(form_->channel().timerActive());
  EXPECT_EQ(form_->channel().timerInterval(), 100);
  EXPECT_FALSE(mm().gPortOpen);
  EXPECT_EQ(Read(QStringLiteral("Form"), QStringLiteral("RS_Mode")), QStringLiteral("0"));
  EXPECT_EQ(Read(QStringLiteral("Form"), QStringLiteral("ChkCardKind0")), QStringLiteral("0"));
}

TEST_F(Shell, AdministratorModeOpensEveryGatedWindowWithoutAPrompt) {
  AdminAtStart();
  Start();
  EXPECT_EQ(form_->size(), Enlarged());
  EXPECT_EQ(ui().Value(QStringLiteral("ChkAdminiMode")), 1);
  for (const QString& item : MainMenus::AdminItems()) EXPECT_TRUE(form_->menus().Item(item)->isVisible());
  for (const QString& name : ExtraOptionControls()) EXPECT_TRUE(ui().Visible(name)) << name.toStdString();
  RegisterStandIns();
  testing::ScriptedDialogs dialogs;  // any prompt fails the test
  for (const char* item : kGated) Choose(item);
  for (const char* window : kGatedWindows) EXPECT_TRUE(Shown(window)) << window;
  // Reused while it exists.
  QWidget* eep = form_->windows().Loaded(QStringLiteral("FormEEP"));
  eep->hide();
  Choose("eepControl");
  EXPECT_EQ(form_->windows().Loaded(QStringLiteral("FormEEP")), eep);
  EXPECT_TRUE(eep->isVisible());
  // The modal windows go through the dialog helper; the port setting closes the port first.
  dialogs.ExpectModal(QStringLiteral("FormCOM"), [](QDialog&) { return QDialog::Accepted; });
  dialogs.ExpectModal(QStringLiteral("FormMemorySW"), [](QDialog&) { return QDialog::Accepted; });
  Choose("TestComm");
  Choose("mnuMemorySW");
  EXPECT_EQ(dialogs.pending(), 0u);
  // The layout switch: compact, then enlarged again without a prompt.
  Choose("enLarge");
  EXPECT_EQ(form_->size(), Compact());
  for (const QString& name : ExtraOptionControls()) EXPECT_FALSE(ui().Visible(name)) << name.toStdString();
  EXPECT_FALSE(ui().Visible(QStringLiteral("LineCom2"), 1));
  Choose("enLarge");
  EXPECT_EQ(form_->size(), Enlarged());
  EXPECT_TRUE(ui().Visible(QStringLiteral("LineCom2"), 0));
  EXPECT_TRUE(dialogs.recorded().size() == 2u);
}

TEST_F(Shell, AWrongEmptyOrCancelledPasswordOpensNothingAndShowsNoBox) {
  Start();
  RegisterStandIns();
  testing::ScriptedDialogs dialogs;
  for (const char* item : kGated) {
    dialogs.ExpectInput(QStringLiteral("Quorel"), QStringLiteral("58204"));
    dialogs.ExpectInput(QStringLiteral("Quorel"), QString());
    dialogs.ExpectInput(QStringLiteral("Quorel"), std::nullopt);
    for (int i = 0; i < 3; ++i) Choose(item);
  }
  for (const char* window : kGatedWindows) EXPECT_EQ(form_->windows().Loaded(QString::fromLatin1(window)), nullptr);
  ASSERT_EQ(dialogs.recorded().size(), 15u);
  for (const testing::RecordedBox& box : dialogs.recorded()) {
    EXPECT_EQ(box.kind, testing::RecordedBox::Kind::kInput);
    EXPECT_EQ(box.text, QStringLiteral("Input password"));
  }
  // The right password opens the window, and is asked again next time.
  dialogs.ExpectInput(QStringLiteral("Quorel"), QStringLiteral("58203"));
  dialogs.ExpectInput(QStringLiteral("Quorel"), QStringLiteral("58203"));
  Choose("MEMDump");
  EXPECT_TRUE(Shown("FormMEMDump"));
  Choose("MEMDump");
  EXPECT_EQ(dialogs.pending(), 0u);
  EXPECT_EQ(mm().gAdminMode, 0);
  // A window not built into the program yet: its item asks, then opens nothing.
  form_->windows().Register(QStringLiteral("FormEEP"), ShowMode::kModeless);
  dialogs.ExpectInput(QStringLiteral("Quorel"), QStringLiteral("58203"));
  Choose("eepControl");
  EXPECT_EQ(form_->windows().Loaded(QStringLiteral("FormEEP")), nullptr);
}

TEST_F(Shell, TheLayoutSwitchAsksOutsideAdministratorModeAndAHandResizeCountsAsNotCompact) {
  Start();
  testing::ScriptedDialogs dialogs;
  dialogs.ExpectInput(QStringLiteral("Quorel"), QStringLiteral("1"));
  Choose("enLarge");  // wrong: compact again
  EXPECT_EQ(form_->size(), Compact());
  EXPECT_FALSE(ui().Visible(QStringLiteral("ChkLCD")));
  dialogs.ExpectInput(QStringLiteral("Quorel"), QStringLiteral("58203"));
  Choose("enLarge");
  EXPECT_EQ(form_->size(), Enlarged());
  EXPECT_TRUE(ui().Visible(QStringLiteral("ChkLCD")));
  EXPECT_EQ(ui().Value(QStringLiteral("ChkAdminiMode")), 0);  // not touched
  Choose("enLarge");                                          // back to compact, no prompt
  EXPECT_EQ(form_->size(), Compact());
  form_->resize(Compact().width() + 60, 584);  // by hand
  Choose("enLarge");        // compact without a prompt
  EXPECT_EQ(form_->size(), Compact());
  form_->resize(Compact().width(), 500);  // by hand, width unchanged: not the compact layout either
  Choose("enLarge");
  EXPECT_EQ(form_->size(), Compact());
  EXPECT_EQ(dialogs.pending(), 0u);
  EXPECT_EQ(dialogs.recorded().size(), 2u);
}

TEST_F(Shell, TheAdministratorBoxWritesTheMarkerAndLeavesTheMenus) {
  Start();
  mm().gInstanceNo = 2;
  ui().SetValue(QStringLiteral("ChkAdminiMode"), 1);  // set from code: the handler runs
  EXPECT_EQ(mm().gAdminMode, 1);
  EXPECT_EQ(Read(QStringLiteral("Form2"), QStringLiteral("BRELLAN_G")), QStringLiteral("quildermans40127"));
  EXPECT_FALSE(form_->menus().Item(QStringLiteral("MEMDump"))->isVisible());
  ui().SetValue(QStringLiteral("ChkAdminiMode"), 0);
  EXPECT_EQ(mm().gAdminMode, 0);
  EXPECT_EQ(Read(QStringLiteral("Form2"), QStringLiteral("BRELLAN_G")), QStringLiteral("brellan"));
}

TEST_F(Shell, TheLampFollowsTheStatusAndTheKind) {
  Start();
  const auto lamp = [this](const char* label25, const char* label10) {
    ui().SetText(QStringLiteral("Label10"), QString::fromLatin1(label10));
    ui().SetText(QStringLiteral("Label25"), QString::fromLatin1(label25));
    return Back("Label53");
  };
  EXPECT_EQ(lamp("90", "AVS"), QColor(0, 255, 0));
  EXPECT_EQ(lamp("25", "BCI"), QColor(255, 255, 0));
  EXPECT_EQ(lamp("00", "R"), QColor(0, 255, 0));
  EXPECT_EQ(lamp("41", "ARD"), QColor(255, 0, 0));
  EXPECT_EQ(lamp("COM Close", ""), form_->palette().color(QPalette::Window));
}

TEST_F(Shell, TextBoxConveniences) {
  Start();
  ui().SetText(QStringLiteral("Text12"), QString());
  EXPECT_EQ(ui().Text(QStringLiteral("Text12")), QStringLiteral("69"));
  ui().SetText(QStringLiteral("TxtSendBox"), QStringLiteral("PD:ｱ亜"));
  EXPECT_EQ(ui().Text(QStringLiteral("TxtSendLenBox")), QStringLiteral("6"));
  EXPECT_EQ(ui().ToolTip(QStringLiteral("TxtSendBox")), QStringLiteral("PD:ｱ亜"));
  ui().SetText(QStringLiteral("txtWd"), 3, QStringLiteral("12345"));
  EXPECT_EQ(ui().Text(QStringLiteral("LbWdLen"), 3), QStringLiteral("5"));
  form_->activateWindow();
  auto* box = ui().Get<QLineEdit>(QStringLiteral("TxtCustomSendCmd"), 2);
  box->setText(QStringLiteral("VS"));
  box->setFocus();
  ASSERT_TRUE(testing::PumpUntilTrue([box] { return box->selectedText() == QLatin1String("VS"); }, 2000));
  // A box the program fills shows the start of its text; in the box the
  // user types in, the cursor stays where the user put it.
  box->setCursorPosition(1);
  ui().SetText(QStringLiteral("TxtCustomSendCmd"), 2, QStringLiteral("VSX"));
  EXPECT_EQ(box->cursorPosition(), 1);
  ui().SetText(QStringLiteral("TxtSendBox"), QStringLiteral("PD:") + QString(200, QLatin1Char('A')));
  EXPECT_EQ(ui().Get<QLineEdit>(QStringLiteral("TxtSendBox"))->cursorPosition(), 0);
  // Code-set values run their handlers.
  ui().SetValue(QStringLiteral("ChkRSmode"), 1);
  EXPECT_EQ(mm().gRSMode, 1);
  EXPECT_EQ(Read(QStringLiteral("Form"), QStringLiteral("RS_Mode")), QStringLiteral("1"));
  ui().SetValue(QStringLiteral("Check3"), 1);
  EXPECT_TRUE(ui().Enabled(QStringLiteral("Check6")));
  ui().SetValue(QStringLiteral("Check3"), 0);
  EXPECT_FALSE(ui().Enabled(QStringLiteral("Check6")));
  ui().SetValue(QStringLiteral("ChkCOM2"), 1);
  EXPECT_TRUE(ui().Enabled(QStringLiteral("OptModem")));
}

TEST_F(Shell, VersionOpensTheAboutWindowPlacedByTheMainWindowsSize) {
  Start();
  form_->menus().Item(QStringLiteral("VerDSP"))->trigger();
  QWidget* about = form_->windows().Loaded(QStringLiteral("VersionDisp"));
  ASSERT_TRUE(about);
  EXPECT_TRUE(about->isVisible());
  EXPECT_EQ(about->pos(), QPoint(form_->width() - about->width() / 2, form_->height() - about->height() / 2));
  EXPECT_EQ(about->parentWidget(), nullptr);
  about->hide();
  form_->menus().Item(QStringLiteral("VerDSP"))->trigger();
  EXPECT_EQ(form_->windows().Loaded(QStringLiteral("VersionDisp")), about);
  // Its way in shows this window's administrator menus.
  testing::ScriptedDialogs dialogs;
  dialogs.ExpectInput(QStringLiteral("Quorel"), QStringLiteral("58203"));
  for (int i = 0; i < 3; ++i)
    QTest::mouseDClick(about->findChild<QWidget*>(QStringLiteral("ImageVersion")), Qt::LeftButton);
  EXPECT_TRUE(form_->menus().Item(QStringLiteral("yarsel"))->isVisible());
  EXPECT_TRUE(form_->menus().Item(QStringLiteral("dummy0"))->isVisible());
}

TEST_F(Shell, TheHandshakeMenusSwitchTheirFlagsAndKeys) {
  Start();
  Choose("DSRcheckd");
  EXPECT_EQ(mm().gUseDSR, 0);
  EXPECT_FALSE(form_->menus().Item(QStringLiteral("DSRcheckd"))->isChecked());
  EXPECT_EQ(Read(QStringLiteral("Comm"), QStringLiteral("DSR")), QStringLiteral("0"));
  Choose("CTScheckd");
  Choose("CTScheckd");
  EXPECT_EQ(mm().gUseCTS, 1);
  EXPECT_TRUE(form_->menus().Item(QStringLiteral("CTScheckd"))->isChecked());
  EXPECT_EQ(Read(QStringLiteral("Comm"), QStringLiteral("CTS")), QStringLiteral("1"));
}

TEST_F(Shell, ARestartRequestEndsTheProgramAtTheNextActivation) {
  Start();
  mm().gRestartRequest = -1;
  QApplication::setActiveWindow(nullptr);
  QApplication::setActiveWindow(form_);
  ASSERT_TRUE(testing::PumpUntilTrue([this] { return form_.isNull(); }, 3000));
  EXPECT_EQ(mm().gAppClosing, 1);
}

}  // namespace
}  // namespace quorel

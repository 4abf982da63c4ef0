#include "core/main_form.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>

#include "core/console_commands.h"
#include "core/console_layout.h"
#include "core/conversions.h"
#include "core/device_channel.h"
#include "core/event_wait.h"
#include "core/link_api.h"
#include "core/main_menus.h"
#include "core/main_module.h"
#include "core/main_services.h"
#include "core/main_shell.h"
#include "core/message_tables.h"
#include "core/password_prompt.h"
#include "core/startup.h"
#include "core/tool_windows.h"
#include "core/versions.h"
#include "tools/version_disp.h"

namespace quorel {
namespace {

MainForm* g_instance = nullptr;

int Px(int twips) { return twips / kTwipsPerPixel; }

bool IsProgramWindow(const QWidget* w) {
  const Qt::WindowType type = w->windowType();
  return !w->parentWidget() && (type == Qt::Window || type == Qt::Dialog);
}

// Destroys every window once no handler waits any more: a window whose
// handler is still on the stack (inside a wait or a modal box) must outlive
// it, so until then the windows stay closed but alive.
void DestroyWindowsWhenIdle() {
  if (ActiveWaits() > 0 || QApplication::activeModalWidget()) {
    QTimer::singleShot(20, qApp, DestroyWindowsWhenIdle);
    return;
  }
  const QWidgetList windows = QApplication::topLevelWidgets();
  for (QWidget* w : windows)
    if (IsProgramWindow(w)) w->deleteLater();
}

}  // namespace

MainForm* MainForm::Instance() { return g_instance; }

MainForm::MainForm(QWidget* parent) : QMainWindow(parent) {
  setObjectName(QStringLiteral("MainForm"));
  setWindowTitle(ProgramTitle());
  QFont f = font();
  f.setPixelSize(11);
  setFont(f);
  menus_ = new MainMenus(*this);
  auto* surface = new QWidget;
  surface->setObjectName(QStringLiteral("Surface"));
  setCentralWidget(surface);  // first, so the controls are measured in the window's font
  widths_ = BuildConsoleControls(surface, {Px(kCompactWidthTwips), Px(kEnlargedWidthTwips)});
  timer2_.setObjectName(QStringLiteral("Timer2"));
  timer3_.setObjectName(QStringLiteral("Timer3"));

  controls_.AddTree(this);
  controls_.SetLabelHook([this](const QString& key) {
    if (key == QLatin1String("Label25")) Label25_Change();
  });
  console_ = std::make_unique<CommandConsole>(controls_, static_cast<ConsoleHost&>(*this));
  channel_ = std::make_unique<DeviceChannel>(Link(), static_cast<ChannelView&>(*this));
  services_ = std::make_unique<MainServices>(controls_, *channel_, windows_, console_->bCmdBusy);
  RegisterToolWindows(windows_, *this);
  WireMenus();
  WireConsole();
  services_->Wire(this);
  WireTextBoxes();
  g_instance = this;
  Form_Load();
}

MainForm::~MainForm() {
  if (g_instance == this) g_instance = nullptr;
  // The channel stops its timer and drops its watch before the widgets go.
  channel_.reset();
}

void MainForm::Form_Load() {
  MainModule& m = mm();
  console_->labelInit();
  controls_.SetValue(QStringLiteral("ChkAdminiMode"), m.gAdminMode == 1 ? 1 : 0);
  ShowAdminMenus(m.gAdminMode == 1 ? 1 : 0);
  console_->LoadSettings();
  if (m.gAdminMode == 1)
    ApplyEnlarged();
  else
    ApplyCompact(false);
  console_->LoadStartValues();
  channel_->StopTimer();
  StopSideTimers();
  InitMessageTables();
  setWindowTitle(ProgramAboutTexts().titleAndVersion);
  channel_->StartTimer(100);
  console_->bCmdBusy = 0;
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect s = screen->geometry();
    move(s.x() + s.width() / 2 - width() / 2, s.y() + s.height() / 2 - height() / 2);
  }
}

// ---- Layouts --------------------------------------------------------------

void MainForm::SetLayoutSize(int width) {
  inLayout_ = true;
  layoutSize_ = QSize(width, Px(kFormHeightTwips));
  resize(layoutSize_);
  inLayout_ = false;
}

void MainForm::ApplyCompact(bool hideAllExtras) {
  SetLayoutSize(widths_.compact);
  if (hideAllExtras) {
    for (const QString& name : ExtraOptionControls()) controls_.SetVisible(name, false);
    for (int i = 0; i <= 1; ++i) controls_.SetVisible(QStringLiteral("LineCom2"), i, false);
  } else {
    controls_.SetVisible(QStringLiteral("ChkIRread"), false);
    controls_.SetVisible(QStringLiteral("ChkPunch"), false);
  }
  compactShown_ = true;
}

void MainForm::ApplyEnlarged() {
  SetLayoutSize(widths_.enlarged);
  for (const QString& name : ExtraOptionControls()) controls_.SetVisible(name, true);
  for (int i = 0; i <= 1; ++i) controls_.SetVisible(QStringLiteral("LineCom2"), i, true);
  compactShown_ = false;
}

void MainForm::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  // A window resized by hand is not the compact layout any more.
  if (!inLayout_ && size() != layoutSize_) compactShown_ = false;
}

void MainForm::enLarge_Click() {
  switch (DecideEnlarge(compactShown_)) {
    case EnlargeAction::kCompact: ApplyCompact(true); break;
    case EnlargeAction::kEnlargeAndAdmin:
      ApplyEnlarged();
      controls_.SetValue(QStringLiteral("ChkAdminiMode"), 1);
      break;
    case EnlargeAction::kEnlarge: ApplyEnlarged(); break;
  }
}

// ---- Menus ----------------------------------------------------------------

void MainForm::WireMenus() {
  const auto on = [this](const char* item, void (MainForm::*handler)()) {
    connect(menus_->Item(QString::fromLatin1(item)), &QAction::triggered, this, handler);
  };
  on("fileAccess", &MainForm::fileAccess_Click);
  on("bmpPr", &MainForm::bmpPr_Click);
  on("enLarge", &MainForm::enLarge_Click);
  on("eepControl", &MainForm::eepControl_Click);
  on("MEMDump", &MainForm::MEMDump_Click);
  on("MivorTest", &MainForm::MivorTest_Click);
  on("yarsel", &MainForm::yarsel_Click);
  on("EEPMessage", &MainForm::EEPMessage_Click);
  on("Quit", &MainForm::Quit_Click);
  on("TestComm", &MainForm::TestComm_Click);
  on("mnuMemorySW", &MainForm::mnuMemorySW_Click);
  on("VerDSP", &MainForm::VerDSP_Click);
  connect(menus_->Item(QStringLiteral("DSRcheckd")), &QAction::triggered, this,
          [this] { console_->DSRcheckd_Click(); });
  connect(menus_->Item(QStringLiteral("CTScheckd")), &QAction::triggered, this,
          [this] { console_->CTScheckd_Click(); });
}

void MainForm::OpenGated(const QString& window) {
  if (PasswordGate()) windows_.Open(window);
}

void MainForm::fileAccess_Click() { windows_.Open(QStringLiteral("FormFile")); }
void MainForm::bmpPr_Click() { windows_.Open(QStringLiteral("FormBMP")); }
void MainForm::eepControl_Click() { OpenGated(QStringLiteral("FormEEP")); }
void MainForm::MEMDump_Click() { OpenGated(QStringLiteral("FormMEMDump")); }
void MainForm::MivorTest_Click() { OpenGated(QStringLiteral("FormMivorTest")); }
void MainForm::EEPMessage_Click() { OpenGated(QStringLiteral("FormEEPMsg")); }

void MainForm::yarsel_Click() {
  if (PasswordGate(PasswordEcho::kPlain)) windows_.Open(QStringLiteral("FormYarsel"));
}

void MainForm::TestComm_Click() {
  channel_->commClose();
  windows_.Open(QStringLiteral("FormCOM"));  // the next sender reopens the port
}

void MainForm::mnuMemorySW_Click() { windows_.Open(QStringLiteral("FormMemorySW")); }

void MainForm::VerDSP_Click() {
  QWidget* about = windows_.Load(QStringLiteral("VersionDisp"));
  if (!about) return;
  about->move(width() - about->width() / 2, height() - about->height() / 2);
  windows_.Open(QStringLiteral("VersionDisp"));
}

// ---- Console --------------------------------------------------------------

void MainForm::WireConsole() {
  for (const ConsoleButton& b : ConsoleButtons()) {
    auto* button = controls_.Get<QPushButton>(QStringLiteral("Command1"), b.index);
    const int index = b.index;
    connect(button, &QPushButton::clicked, this, [this, index] { console_->Command1_Click(index); });
    button->installEventFilter(this);  // the right button
  }
  const auto click = [this](const QString& name, int index, std::function<void()> handler) {
    connect(controls_.Get<QPushButton>(name, index), &QPushButton::clicked, this, std::move(handler));
  };
  click(QStringLiteral("cmdKaishi"), -1, [this] { console_->cmdKaishi_Click(); });
  for (int i = 0; i <= 4; ++i)
    click(QStringLiteral("CmdCustomSend"), i, [this, i] { console_->CmdCustomSend_Click(i); });
  click(QStringLiteral("Command54"), -1, [this] { console_->Command54_Click(); });
  click(QStringLiteral("CmdComClose"), -1, [this] { console_->CmdComClose_Click(); });
  // Check boxes: a value set by code runs the handler as a click does.
  const auto changed = [this](const QString& name, std::function<void()> handler) {
    connect(controls_.Get<QCheckBox>(name), &QCheckBox::stateChanged, this, std::move(handler));
  };
  changed(QStringLiteral("ChkRSmode"), [this] { console_->ChkRSmode_Click(); });
  changed(QStringLiteral("ChkCOM2"), [this] { console_->ChkCOM2_Click(); });
  changed(QStringLiteral("Check3"), [this] { console_->Check3_Click(); });
  changed(QStringLiteral("ChkAdminiMode"), [this] { AdminModeClick(controls_); });
}

void MainForm::WireTextBoxes() {
  auto* send = controls_.Get<QLineEdit>(QStringLiteral("TxtSendBox"));
  connect(send, &QLineEdit::textChanged, this, [this, send](const QString& text) {
    controls_.SetText(QStringLiteral("TxtSendLenBox"), QString::number(AnsiByteLen(text)));
    send->setToolTip(text);
  });
  connect(send, &QLineEdit::returnPressed, this, [this] { console_->cmdKaishi_Click(); });
  for (int i = 0; i <= 4; ++i)
    connect(controls_.Get<QLineEdit>(QStringLiteral("TxtCustomSendCmd"), i), &QLineEdit::returnPressed, this,
            [this, i] { console_->CmdCustomSend_Click(i); });
  for (int i = 0; i <= 1; ++i) {
    auto* button = controls_.Get<QPushButton>(QStringLiteral("Command2"), i);
    connect(controls_.Get<QLineEdit>(QStringLiteral("TxtPWETSend"), i), &QLineEdit::returnPressed, button,
            &QPushButton::click);
  }
  for (int n = 1; n <= 3; ++n) {
    auto* wd = controls_.Get<QComboBox>(QStringLiteral("txtWd"), n);
    connect(wd, &QComboBox::editTextChanged, this, [this, n](const QString& text) {
      controls_.SetText(QStringLiteral("LbWdLen"), n, QString::number(text.size()));
    });
    connect(wd->lineEdit(), &QLineEdit::returnPressed, this, [this, n] { console_->Command1_Click(31 + n); });
  }
  auto* length = controls_.Get<QLineEdit>(QStringLiteral("Text12"));
  connect(length, &QLineEdit::textChanged, this, [length](const QString& text) {
    if (text.isEmpty()) length->setText(QStringLiteral("69"));  // the longest magnetic data
  });
  for (const char* name : {"TxtMDData", "TxtPDData", "TxtSendBox", "TxtROMVer"})
    controls_.Get<QWidget>(QString::fromLatin1(name))->installEventFilter(this);
  for (int i = 0; i <= 4; ++i) controls_.Get<QWidget>(QStringLiteral("TxtCustomSendCmd"), i)->installEventFilter(this);
  for (int i = 0; i <= 3; ++i) controls_.Get<QWidget>(QStringLiteral("TxtPWETSend"), i)->installEventFilter(this);
}

bool MainForm::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::MouseButtonRelease: {
      auto* mouse = static_cast<QMouseEvent*>(event);
      const QString name = watched->objectName();
      if (mouse->button() == Qt::RightButton && name.startsWith(QLatin1String("Command1_"))) {
        console_->Command1_RightButtonUp(name.mid(9).toInt());
        return true;
      }
      break;
    }
    case QEvent::FocusIn: {
      // A box gets the focus with its whole text selected.
      if (auto* line = qobject_cast<QLineEdit*>(watched))
        QTimer::singleShot(0, line, &QLineEdit::selectAll);
      else if (auto* page = qobject_cast<QPlainTextEdit*>(watched))
        QTimer::singleShot(0, page, &QPlainTextEdit::selectAll);
      break;
    }
    case QEvent::KeyPress: {
      auto* page = qobject_cast<QPlainTextEdit*>(watched);
      auto* key = static_cast<QKeyEvent*>(event);
      if (!page || (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)) break;
      // Enter sends the page; the line break is not put into the box, or the
      // next send would begin with it. Shift+Enter is the line break.
      if (key->modifiers() & Qt::ShiftModifier)
        page->insertPlainText(QStringLiteral("\n"));
      else
        console_->Command1_Click(watched->objectName() == QLatin1String("TxtMDData") ? 4 : 43);
      return true;
    }
    default: break;
  }
  return QMainWindow::eventFilter(watched, event);
}

void MainForm::Label25_Change() {
  controls_.SetBackColor(
      QStringLiteral("Label53"), -1,
      LampColor(controls_.Text(QStringLiteral("Label25")), controls_.Text(QStringLiteral("Label10"))));
}

// ---- Channel --------------------------------------------------------------

void MainForm::commIni() { channel_->commIni(); }
void MainForm::commClose() { channel_->commClose(); }
void MainForm::poll() { channel_->poll(); }
void MainForm::comu() { channel_->comu(); }
void MainForm::logDisp(const QString& text) { channel_->logDisp(text); }
void MainForm::ClearLog() { channel_->log().Clear(); }

void MainForm::Apply(const ControlUpdate& u) {
  switch (u.property) {
    case DisplayProperty::kCaption:
    case DisplayProperty::kText: controls_.SetText(u.control, u.index, u.text); break;
    case DisplayProperty::kToolTip: controls_.SetToolTip(u.control, u.index, u.text); break;
    case DisplayProperty::kListIndex: controls_.SetListIndex(u.control, u.index, u.listIndex); break;
  }
}

QString MainForm::CurrentText(const QString& control) const { return controls_.Text(control); }
void MainForm::SetBackColor(const QString& control, uint32_t bgr) { controls_.SetBackColor(control, -1, bgr); }
void MainForm::SetForeColor(const QString& control, uint32_t bgr) { controls_.SetForeColor(control, -1, bgr); }

void MainForm::ShowLog(const QString& text, const QString& toolTip) {
  auto* box = controls_.Get<QPlainTextEdit>(QStringLiteral("txtDisp"));
  box->setPlainText(text);
  box->setToolTip(toolTip);
}

void MainForm::ShowRamClearProgress(const QString& watch, const QString& percent, float value) {
  QWidget* bench = windows_.Load(QStringLiteral("FormMivorTest"));
  if (!bench) return;  // the test bench is not built into this program yet
  if (auto* l = bench->findChild<QLabel*>(QStringLiteral("LbWatch"))) l->setText(watch);
  if (auto* l = bench->findChild<QLabel*>(QStringLiteral("LbRAMPercent"))) l->setText(percent);
  if (auto* p = bench->findChild<QProgressBar*>(QStringLiteral("ProgBarRAMClear")))
    p->setValue(static_cast<int>(value));
}

void MainForm::StopSideTimers() {
  timer2_.stop();
  timer3_.stop();
}

bool MainForm::SensorRef33() const { return controls_.Value(QStringLiteral("OpSenV"), 0) == 1; }
bool MainForm::CardKindFromMode() const { return controls_.Value(QStringLiteral("ChkCardKind"), 1) == 1; }
QStringList MainForm::CardKinds() const { return controls_.Items(QStringLiteral("CmbKdKind")); }
QString MainForm::CardKindText() const { return controls_.Text(QStringLiteral("CmbKdKind")); }

// ---- Activation and close -------------------------------------------------

void MainForm::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  // Form_Activate: the port settings window asked for a restart.
  if (event->type() == QEvent::ActivationChange && isActiveWindow() && mm().gRestartRequest == -1 && !closed_)
    QTimer::singleShot(0, this, &QWidget::close);
}

void MainForm::closeEvent(QCloseEvent* event) {
  if (!closed_) Form_QueryUnload();
  event->accept();
}

void MainForm::Form_QueryUnload() {
  closed_ = true;
  MainModule& m = mm();
  m.gStopRequest = 1;
  channel_->commClose();
  SaveWindowKeys(controls_, x() * kTwipsPerPixel, y() * kTwipsPerPixel);
  // [MultiFormTab] Counter: the highest number another running copy holds.
  FinishInstance();
  m.gAppClosing = 1;
  channel_->StopTimer();
  const QWidgetList windows = QApplication::topLevelWidgets();
  for (QWidget* w : windows)
    if (w != this && IsProgramWindow(w)) w->close();
  DestroyWindowsWhenIdle();
  QCoreApplication::quit();
}

}  // namespace quorel

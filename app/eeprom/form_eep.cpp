#include "eeprom/form_eep.h"
#include "eeprom/eep_report_wiring.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QComboBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QMouseEvent>
#include <QScreen>
#include <QTabWidget>

#include "core/main_module.h"
#include "eeprom/eep_channel.h"
#include "eeprom/eep_data_files.h"
#include "eeprom/eep_layout.h"
#include "eeprom/eep_row_jobs.h"
#include "eeprom/eep_settings_wiring.h"
#include "eeprom/mivor_tab.h"
#include "eeprom/word_family_tab.h"

namespace quorel::eep {
namespace {

constexpr Family kFamilies[] = {Family::kMivor, Family::kDastel, Family::kQuenby, Family::kFolsk};
// Room the tab strip's own frame and captions take from a page.
constexpr int kPageFrame = 6;
constexpr int kTabBar = 28;
const char kIndexProperty[] = "eepIndex";

void Call(const std::function<void(Family)>& f, Family family) {
  if (f) f(family);
}

}  // namespace

FormEEP::FormEEP(DeviceChannel& channel, QWidget* parent)
    : FormEEP(std::make_unique<ChannelForwarders>(channel), parent) {}

FormEEP::FormEEP(std::unique_ptr<EepChannel> channel, QWidget* parent)
    : QMainWindow(parent), channel_(std::move(channel)), jobs_(*channel_), frame_(controls_, jobs_) {
  setObjectName(QStringLiteral("FormEEP"));
  setWindowTitle(QStringLiteral("EEPROM Setting Mode"));
  QFont small = font();
  small.setPointSize(8);
  setFont(small);
  BuildMenu();
  BuildTabs();
  controls_.AddTree(this);
  jobs_.SetBusyDisplay([this](bool busy) { frame_.ShowBusy(busy); });
  jobs_.SetOnUnwound([this] {
    if (deletePending_) deleteLater();
  });
  Wire();
  InstallSettingsAndCounters(frame_, &controls_, this);
  Load();
}

FormEEP::~FormEEP() {
  if (!unloaded_) Unload();
}

void FormEEP::poll() { channel_->poll(); }
void FormEEP::comu() { channel_->comu(); }
void FormEEP::commIni() { channel_->commIni(); }

void FormEEP::BuildMenu() {
  QMenu* file = menuBar()->addMenu(QStringLiteral("File(&F)"));
  file->setObjectName(QStringLiteral("eepmnuFile"));
  const auto add = [file](const char* name, const QString& caption, const QKeySequence& key) {
    QAction* a = file->addAction(caption);
    a->setObjectName(QLatin1String(name));
    a->setShortcut(key);
    return a;
  };
  add("EEPROMImport", QStringLiteral("EEPROM Address Data Import(&I)"), QKeySequence(Qt::CTRL | Qt::Key_I));
  add("EEPROMExport", QStringLiteral("EEPROM Address Data Export(&E)"), QKeySequence(Qt::CTRL | Qt::Key_E));
  file->addSeparator();
  add("eepQuit", QStringLiteral("EEPROM Setting Quit(&X)"), QKeySequence(Qt::CTRL | Qt::Key_X));
}

void FormEEP::BuildTabs() {
  auto* central = new QWidget(this);
  setCentralWidget(central);
  tabs_ = new QTabWidget(central);
  tabs_->setObjectName(QStringLiteral("SSTabEEP"));
  tabs_->move(4, 2);
  for (Family f : kFamilies) {
    const int t = TabOf(f);
    const LayoutSize normal = SizeFor(t, false);
    const LayoutSize wide = SizeFor(t, true);
    const QSize content(wide.tabStrip.width() - kPageFrame,
                        qMax(normal.tabStrip.height(), wide.tabStrip.height()) - kTabBar);
    const int left = normal.tabStrip.width() - kPageFrame;
    auto* page = new QWidget;
    if (f == Family::kMivor)
      new MivorTab(page, left, content);
    else
      new WordFamilyTab(page, f, left, content);
    tabs_->addTab(page, FamilyName(f));
  }
}

template <typename Fn>
void FormEEP::OnClick(const QString& name, int index, Fn fn) {
  if (auto* b = controls_.Get<QAbstractButton>(name, index)) connect(b, &QAbstractButton::clicked, this, fn);
}

void FormEEP::Wire() {
  // The row grid and the data files (File > Import, Export) on the selected tab.
  frame_.handlers().allRows = [this](Family f) { RowGrid(frame_).AllRows(f); };
  new ReportAndMessageWiring(this, controls_, frame_);  // report buttons, customer message
  frame_.handlers().importFile = [this] { ImportEepFile(frame_, FamilyOfTab(tabs_->currentIndex())); };
  frame_.handlers().exportFile = [this] { ExportEepFile(frame_, FamilyOfTab(tabs_->currentIndex())); };
  for (Family f : kFamilies)
    for (int r = 0; r < RowCount(f); ++r) {
      OnClick(Named(QStringLiteral("CmdEEPAd"), f), r, [this, f, r] { RowGrid(frame_).RowClick(f, r); });
      if (r < 3)
        OnClick(Named(QStringLiteral("OpEEPAllRdWr"), f), r, [this, f, r] { RowGrid(frame_).ModeClick(f, r); });
    }
  for (Family f : kFamilies) {
    OnClick(Named(QStringLiteral("JyouhouSyutoku"), f), -1, [this, f] { frame_.InformationRead(f); });
    OnClick(Named(QStringLiteral("EEPSetting"), f), -1, [this, f] { Call(frame_.handlers().settings, f); });
    OnClick(Named(QStringLiteral("CmdEepAll"), f), -1, [this, f] { Call(frame_.handlers().allRows, f); });
    // The counter panel: Mivor's own controls, the others' shared arrays.
    const bool mivor = f == Family::kMivor;
    const QString suffix = mivor ? QStringLiteral("_Mivor") : QStringLiteral("_Dastel");
    const int i = mivor ? -1 : SharedIndex(f);
    OnClick(QStringLiteral("PassSyutoku") + suffix, i, [this, f] { Call(frame_.handlers().counters, f); });
    OnClick(QStringLiteral("PassWrite") + suffix, i, [this, f] { Call(frame_.handlers().counterWrite, f); });
    if (auto* box = controls_.Get<QLineEdit>(QStringLiteral("KaisuTxt") + suffix, i))
      connect(box, &QLineEdit::returnPressed, this, [this, f] { frame_.CounterKeyPress(f, 13); });
  }
  for (int i = 0; i < 3; ++i) {
    OnClick(QStringLiteral("CmdRS"), i, [this, i] { frame_.ResetCommand(i); });
    if (QObject* rs = controls_.Find(QStringLiteral("CmdRS"), i)) {
      rs->setProperty(kIndexProperty, i);
      rs->installEventFilter(this);
    }
    OnClick(QStringLiteral("CmdUpDown"), i, [this, i] { frame_.HeadLift(i); });
  }
  for (int i = 0; i < 4; ++i) {
    OnClick(QStringLiteral("CmdDispClear"), i, [this, i] { frame_.DisplayClear(i); });
    OnClick(QStringLiteral("CmdExit"), i, [this] { close(); });
    OnClick(QStringLiteral("ChkEnlarge"), i, [this, i] { EnlargeClick(i); });
    if (auto* box = controls_.Get<QAbstractButton>(QStringLiteral("ChkEnlarge"), i))
      connect(box, &QAbstractButton::toggled, this, [this, i] { EnlargeClick(i); });
  }
  if (auto* admin = controls_.Get<QAbstractButton>(QStringLiteral("ChkAdminiMode")))
    connect(admin, &QAbstractButton::toggled, this, [this] { frame_.AdminModeClick(); });
  if (auto* codes = controls_.Get<QComboBox>(QStringLiteral("CmbErrorCode")))
    connect(codes, &QComboBox::currentIndexChanged, this, [this] { frame_.ErrorCodeClick(); });
  connect(tabs_, &QTabWidget::currentChanged, this, [this] { TabClick(); });
  if (auto* a = controls_.Get<QAction>(QStringLiteral("EEPROMImport")))
    connect(a, &QAction::triggered, this, [this] {
      if (frame_.handlers().importFile) frame_.handlers().importFile();
    });
  if (auto* a = controls_.Get<QAction>(QStringLiteral("EEPROMExport")))
    connect(a, &QAction::triggered, this, [this] {
      if (frame_.handlers().exportFile) frame_.handlers().exportFile();
    });
  if (auto* a = controls_.Get<QAction>(QStringLiteral("eepQuit")))
    connect(a, &QAction::triggered, this, [this] { close(); });
}

void FormEEP::Load() {
  MainModule& m = mm();
  // Left over from an exchange that went wrong; never the state of one
  // that still runs (another window's comu keeps its reply).
  channel_->ResetWhenIdle();
  if (m.gAdminMode == 1) controls_.SetValue(QStringLiteral("ChkAdminiMode"), 1);
  frame_.EmptyDisplays();

  const LayoutKeys keys = ReadLayoutKeys();
  if (!keys.enlargeStored) WriteEnlargeKey(false);
  for (int i = 0; i < 4; ++i) controls_.SetValue(QStringLiteral("ChkEnlarge"), i, keys.wide ? 1 : 0);
  {
    const QSignalBlocker block(tabs_);
    tabs_->setCurrentIndex(keys.tab);
  }
  previousTab_ = keys.tab;
  ApplyLayout();
  controls_.SetListIndex(QStringLiteral("CmbErrorCode"), -1, 0);

  const QRect screenArea = screen() ? screen()->geometry() : QRect();
  move(screenArea.width() / 2 - width() / 2, screenArea.height() / 2 - height() / 2);
}

void FormEEP::Unload() {
  unloaded_ = true;
  WriteTabKey(tabs_->currentIndex());
  WriteEnlargeKey(controls_.Value(QStringLiteral("ChkEnlarge"), 0) == 1);
}

void FormEEP::EnlargeClick(int index) {
  if (inEnlarge_) return;
  inEnlarge_ = true;
  const int value = controls_.Value(QStringLiteral("ChkEnlarge"), index) == 1 ? 1 : 0;
  for (int i = 0; i < 4; ++i) controls_.SetValue(QStringLiteral("ChkEnlarge"), i, value);
  inEnlarge_ = false;
  ApplyLayout();
}

void FormEEP::ApplyLayout() {
  const LayoutSize s = SizeFor(tabs_->currentIndex(), controls_.Value(QStringLiteral("ChkEnlarge"), 0) == 1);
  tabs_->setFixedSize(s.tabStrip);
  // The sizes are outer sizes: the frame the window system adds comes off.
  const QSize frame = frameGeometry().size() - size();
  resize(s.window - frame);
}

void FormEEP::TabClick() {
  EnlargeClick(previousTab_);
  previousTab_ = tabs_->currentIndex();
}

void FormEEP::closeEvent(QCloseEvent* event) {
  if (!unloaded_) Unload();
  event->accept();
  if (jobs_.depth() > 0) {
    // A handler of this window still waits inside comu: it must find the
    // window alive when the wait returns.
    jobs_.RequestEnd();
    deletePending_ = true;
    return;
  }
  deleteLater();
}

void FormEEP::showEvent(QShowEvent* event) {
  if (deletePending_) {
    // Shown again before the last job unwound: it stays.
    deletePending_ = false;
    unloaded_ = false;
    jobs_.CancelEnd();
  }
  QMainWindow::showEvent(event);
}

bool FormEEP::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonRelease) {
    const QVariant index = watched->property(kIndexProperty);
    auto* mouse = static_cast<QMouseEvent*>(event);
    if (index.isValid() && mouse->button() == Qt::RightButton) frame_.ResetMouseUp(index.toInt(), 2);
  }
  return QMainWindow::eventFilter(watched, event);
}

}  // namespace quorel::eep

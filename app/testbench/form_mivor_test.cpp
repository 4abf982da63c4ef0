#include "testbench/form_mivor_test.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "core/device_channel.h"
#include "core/main_module.h"
#include "testbench/bench_settings.h"
#include "testbench/bench_eeprom_page.h"
#include "testbench/jitter_tab_page.h"
#include "testbench/sensor_tab_page.h"
#include "testbench/panel_tab_page.h"
#include "testbench/print_tests_page.h"

#include "testbench/bench_widgets.h"

namespace quorel {
namespace {

QLineEdit* Edit(QWidget* parent, const QString& name, int index, int maxLength = 32767) {
  auto* e = Named(new QLineEdit(parent), name, index);
  e->setMaxLength(maxLength);
  return e;
}

// The eight tabs in their order; their captions as the window shows them.
const char* const kTabCaptions[] = {"Device Adjustment\n", "DSW/7Seg/LED/Buzz", "Jitter",
                                    "Information Input", "Sensor / Temp",     "Clock",
                                    "EEPROM/RAMClear",   "Administartor"};

}  // namespace

FormMivorTest* FormMivorTest::Create(DeviceChannel& channel) {
  auto host = std::make_unique<ChannelJobHost>(channel);
  auto* form = new FormMivorTest(*host);
  form->ownedHost_ = std::move(host);
  return form;
}

FormMivorTest::FormMivorTest(JobHost& host, QWidget* parent)
    : QWidget(parent),
      host_(host),
      clock_(ui_, host, state_),
      identity_(ui_, host, state_),
      ramClear_(ui_, host, state_) {
  setObjectName(QStringLiteral("FormMivorTest"));
  setWindowTitle(QStringLiteral("Mivor Test Mode"));
  BuildControls();
  ui_.AddTree(this);
  InstallSensorTab(this, ui_, host_, state_);
  InstallPanelTab(this, ui_, host_, state_);
  InstallJitterTab(this, ui_, host_, state_);
  BenchEepromTab* settings = InstallBenchEepromTab(this, ui_, host_, [this] { labelInit(); });
  InstallPrintTestsGroup(this, ui_, host_, state_, settings);
  ApplyBenchDesignValues(ui_);
  FormLoad();
}

void FormMivorTest::BuildControls() {
  auto* layout = new QVBoxLayout(this);
  tabs_ = Named(new QTabWidget(this), QStringLiteral("SSTabMivorTest"));
  // Every caption whole on one strip: the window is as wide as they need.
  tabs_->tabBar()->setUsesScrollButtons(false);
  tabs_->tabBar()->setElideMode(Qt::ElideNone);
  layout->addWidget(tabs_);
  for (int i = 0; i < 8; ++i) {
    QWidget* page = nullptr;
    if (i == 3) page = BuildIdentityTab();
    else if (i == 2) page = BuildJitterTabPage();
    else if (i == 4) page = BuildSensorTabPage();
    else if (i == 1) page = BuildPanelTabPage();
    else if (i == 5) page = BuildClockTab();
    else if (i == 6) page = BuildRamClearTab();
    else if (i == 7) page = BuildAdminTab();
    else page = new QWidget;
    tabs_->addTab(page, QString::fromUtf8(kTabCaptions[i]));
  }
}

QWidget* FormMivorTest::BuildIdentityTab() {
  auto* page = new QWidget;
  auto* g = new QGridLayout(page);
  struct Row {
    const char* title;
    const char* cmd;
    const char* text;
    const char* check;
    const char* result;
    IdentityItem item;
    int maxNormal, maxRaw;
    const char* designNormal;  // the boxes' texts as the window opens
    const char* designRaw;
  };
  const Row rows[] = {
      {"Bar Code Label", "CmdBarCodeLabel", "TxtBarCodeLabel", "ChkBarcodeLabel", "LbBarCodeLabel",
       IdentityItem::kBarCode, 7, 8, "2000001", "02000001"},
      {"Serial No.", "CmdDeviceSerial", "TxtDeviceSerial", "ChkDeviceSerial", "LbDeviceSerial", IdentityItem::kSerial,
       5, 12, "00001", "024641100001"},
      {"Date", "CmdDate", "TxtDate", "ChkDate", "lbDate", IdentityItem::kDate, 6, 8, "", ""},  // today, at load
  };
  int r = 0;
  for (const Row& row : rows) {
    auto* box = new QGroupBox(QLatin1String(row.title), page);
    auto* bg = new QGridLayout(box);
    auto* normal = Named(new QCheckBox(QStringLiteral("通常入力"), box), QLatin1String(row.check), 0);
    auto* raw = Named(new QCheckBox(QStringLiteral("生ﾃﾞｰﾀ入力"), box), QLatin1String(row.check), 1);
    normal->setChecked(true);
    auto* t0 = Edit(box, QLatin1String(row.text), 0, row.maxNormal);
    auto* t1 = Edit(box, QLatin1String(row.text), 1, row.maxRaw);
    t0->setText(QLatin1String(row.designNormal));
    t1->setText(QLatin1String(row.designRaw));
    t1->setEnabled(false);
    bg->addWidget(normal, 0, 0);
    bg->addWidget(raw, 1, 0);
    if (row.item == IdentityItem::kBarCode) bg->addWidget(Label(box, QStringLiteral("LabelBarcodeLabel"), -1, QStringLiteral("0")), 0, 1);
    if (row.item == IdentityItem::kDate) bg->addWidget(Label(box, QStringLiteral("LabelDate"), -1, QStringLiteral("20")), 0, 1);
    if (row.item == IdentityItem::kSerial) {
      auto* parts = new QHBoxLayout;
      const int lengths[] = {4, 2, 1};
      const char* designs[] = {"2012", "04", "A"};
      for (int i = 0; i < 3; ++i) {
        auto* e = Edit(box, QStringLiteral("TxtDeviceSiri"), i, lengths[i]);
        e->setText(QLatin1String(designs[i]));
        e->installEventFilter(this);
        parts->addWidget(e);
      }
      auto* list = Named(new QComboBox(box), QStringLiteral("ListDeviceSrial"));
      list->addItems({QStringLiteral("0:Pri Pro"), QStringLiteral("1:Mas Pro")});
      parts->addWidget(Label(box, QStringLiteral("LabelListDeviceSrial"), -1, QStringLiteral("/")));
      parts->addWidget(list);
      parts->addWidget(Label(box, QStringLiteral("LbInputDeviceSiri"), -1, QStringLiteral("12FA0")));
      bg->addLayout(parts, 2, 0, 1, 4);
      QObject::connect(list, &QComboBox::activated, this, [this] { identity_.ListChanged(); });
    }
    bg->addWidget(t0, 0, 2);
    bg->addWidget(t1, 1, 2);
    for (int i = 0; i < 2; ++i) {
      auto* b = Named(new QPushButton(i == 0 ? QStringLiteral("Read") : QStringLiteral("Write"), box), QLatin1String(row.cmd), i);
      bg->addWidget(b, i, 3);
      const IdentityItem item = row.item;
      QObject::connect(b, &QPushButton::clicked, this, [this, item, i] { identity_.Click(item, i); });
    }
    bg->addWidget(Label(box, QLatin1String(row.result), -1, QStringLiteral("-------")), 3, 0, 1, 4);
    for (int k = 0; k < 2; ++k) {
      QCheckBox* c = k == 0 ? normal : raw;
      const IdentityItem item = row.item;
      QObject::connect(c, &QCheckBox::clicked, this, [this, item, k] { identity_.EntryModeClick(item, k); });
    }
    // Enter in either box writes by the pair's ticks.
    for (QLineEdit* e : {t0, t1}) {
      e->installEventFilter(this);
      const IdentityItem item = row.item;
      QObject::connect(e, &QLineEdit::returnPressed, this, [this, item] { identity_.Click(item, 1); });
    }
    g->addWidget(box, r++, 0);
  }
  return page;
}

QWidget* FormMivorTest::BuildClockTab() {
  auto* page = new QWidget;
  auto* g = new QGridLayout(page);
  g->addWidget(Label(page, QStringLiteral("LbIndex"), 0, QStringLiteral("PC Time")), 1, 0);
  g->addWidget(Label(page, QStringLiteral("LbIndex"), 1, QStringLiteral("CRW Time")), 2, 0);
  const char* heads[] = {"Year", "Moon", "Day", "Week", "Time"};
  for (int i = 0; i < 5; ++i) {
    g->addWidget(Label(page, QStringLiteral("LbPCIndex"), i, QLatin1String(heads[i])), 0, 1 + i);
    g->addWidget(Label(page, QStringLiteral("LbCkPC"), i, QString()), 1, 1 + i);
    g->addWidget(Label(page, QStringLiteral("LbCkCRW"), i, QString()), 2, 1 + i);
    g->addWidget(Label(page, QStringLiteral("LbCkOKNG"), i, QStringLiteral("--")), 3, 1 + i);
  }
  g->addWidget(Label(page, QStringLiteral("LbGapIndex"), 0, QStringLiteral("Judge:")), 3, 0);
  g->addWidget(Label(page, QStringLiteral("LbGapIndex"), 1, QStringLiteral("Second Gap")), 4, 0);
  g->addWidget(Label(page, QStringLiteral("LbCkGap"), 0, QStringLiteral("----")), 4, 1);
  auto* set = Named(new QCheckBox(QStringLiteral("Clock Test Setting"), page), QStringLiteral("ChkCkSet"));
  g->addWidget(set, 5, 0, 1, 2);
  auto* frame = Named(new QGroupBox(page), QStringLiteral("FrameCkSet"));
  auto* fl = new QHBoxLayout(frame);
  fl->addWidget(Label(frame, QStringLiteral("LbCkSet"), 2, QStringLiteral("Gap:")));
  fl->addWidget(Label(frame, QStringLiteral("LbCkSet"), 0, QStringLiteral("±")));
  fl->addWidget(Edit(frame, QStringLiteral("TxtCkGap"), -1));
  fl->addWidget(Label(frame, QStringLiteral("LbCkSet"), 1, QStringLiteral("Second")));
  g->addWidget(frame, 6, 0, 1, 3);
  auto* write = Named(new QCheckBox(QStringLiteral("Clock CRW Write"), page), QStringLiteral("ChkClockCRWSet"));
  write->setToolTip(QStringLiteral("最初一度だけPC日時の値をｶｰﾄﾞﾘｰﾀﾞｰに書き込みます。"));
  g->addWidget(write, 7, 0, 1, 3);
  auto* start = Named(new QPushButton(ClockTest::kStart, page), QStringLiteral("CmdTimeSynchronize"));
  g->addWidget(start, 7, 4, 1, 2);
  QObject::connect(start, &QPushButton::clicked, this, [this] { clock_.Click(); });
  QObject::connect(set, &QCheckBox::clicked, this, [this] { clock_.SettingClick(); });
  return page;
}

QWidget* FormMivorTest::BuildRamClearTab() {
  auto* page = new QWidget;
  auto* v = new QVBoxLayout(page);
  v->addWidget(Named(new QGroupBox(QStringLiteral("EEPROM"), page), QStringLiteral("FrameEEP")));
  auto* frame = Named(new QGroupBox(QStringLiteral("Backup RAM"), page), QStringLiteral("FrameRAMClear"));
  auto* g = new QGridLayout(frame);
  auto* cmd = Named(new QPushButton(QStringLiteral("Backup RAM Clear"), frame), QStringLiteral("CmdRAMClear"));
  g->addWidget(cmd, 0, 0);
  g->addWidget(Label(frame, QStringLiteral("LbRAMClear"), -1, QStringLiteral("Status")), 0, 1);
  g->addWidget(Label(frame, QStringLiteral("LbRAMClearOKNG"), -1, QString()), 0, 2);
  g->addWidget(Label(frame, QStringLiteral("LbWatch"), -1, QString()), 1, 0);
  g->addWidget(Label(frame, QStringLiteral("LbRAMPercent"), -1, QStringLiteral("0%")), 1, 1);
  auto* bar = Named(new QProgressBar(frame), QStringLiteral("ProgBarRAMClear"));
  bar->setRange(0, 100);
  bar->setValue(0);
  g->addWidget(bar, 2, 0, 1, 3);
  v->addWidget(frame);
  v->addStretch();
  QObject::connect(cmd, &QPushButton::clicked, this, [this] { ramClear_.Click(); });
  return page;
}

QWidget* FormMivorTest::BuildAdminTab() {
  auto* page = new QWidget;
  auto* v = new QVBoxLayout(page);
  auto* admin = Named(new QCheckBox(QStringLiteral("Admninistartor"), page), QStringLiteral("ChkTestAdmin"));
  admin->setToolTip(QStringLiteral("ﾁｪｯｸすると次回よりﾊﾟｽﾜｰﾄﾞを聞いてきません。"));
  v->addWidget(admin);
  v->addStretch();
  QObject::connect(admin, &QCheckBox::clicked, this, [this] { BenchAdminClick(ui_); });
  return page;
}

void FormMivorTest::FormLoad() {
  ui_.SetValue(QStringLiteral("ChkTestAdmin"), -1, mm().gAdminMode == 1 ? 1 : 0);
  identity_.Load();
  ShowVolumePicture(ui_, QStringLiteral("Volume0.gif"));
  LoadBenchSettings(ui_);
  labelInit();
  resize(584, 557);  // 8760 x 8355 twips
}

void FormMivorTest::labelInit() { BenchLabelInit(ui_); }

bool FormMivorTest::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusIn) {
    // An identity box gets the focus with its whole text selected, so typing
    // replaces it; after the click that gave the focus has placed the caret.
    if (auto* box = qobject_cast<QLineEdit*>(watched)) QTimer::singleShot(0, box, &QLineEdit::selectAll);
  } else if (event->type() == QEvent::FocusOut) {
    for (int i = 0; i < 3; ++i)
      if (watched == ui_.Find(QStringLiteral("TxtDeviceSiri"), i)) identity_.SerialPartLeft(i);
  }
  return QWidget::eventFilter(watched, event);
}

void FormMivorTest::closeEvent(QCloseEvent* event) {
  state_.mAbortRequest = -1;
  SaveBenchSettings(ui_);
  event->accept();
}

}  // namespace quorel

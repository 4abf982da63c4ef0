#include "testbench/bench_eeprom_page.h"

#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "core/form_controls.h"
#include "testbench/bench_widgets.h"
#include "eeprom/eep_tables.h"
#include "testbench/bench_eeprom_tab.h"

namespace quorel {
namespace {

QFrame* Mark(QWidget* parent, const QString& name, int index) {
  auto* f = Named(new QFrame(parent), name, index);
  f->setFrameShape(QFrame::Box);
  f->setFixedSize(14, 14);
  f->setToolTip(QString::number(index, 16));
  return f;
}

QWidget* SettingsGroup() {
  auto* group = new QGroupBox(QStringLiteral("CR Setting"));
  auto* v = new QVBoxLayout(group);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(
      Named(new QPushButton(QStringLiteral("CR Setting Information Request"), group), QStringLiteral("EEPSetting_Mivor")));
  buttons->addWidget(Named(new QPushButton(QStringLiteral("Clear"), group), QStringLiteral("EEPSetting_MivorCLS")));
  v->addLayout(buttons);

  auto* rows = new QGridLayout;
  for (int i = 0; i < eep::kMivorSettings; ++i) {
    auto* label = Label(group, QStringLiteral("EEPSetLabel_Mivor"), i);
    label->setMinimumWidth(24);
    label->setFrameShape(QFrame::Panel);
    auto* list = Named(new QComboBox(group), QStringLiteral("EEPSetCmb_Mivor"), i);
    list->addItems(eep::SettingValues(i));
    list->setCurrentIndex(-1);  // nothing chosen
    auto* set = Named(new QPushButton(eep::SettingCaption(i), group), QStringLiteral("EEPSetCmd_Mivor"), i);
    if (i == 5) set->setToolTip(QStringLiteral("サーマル側Up補正"));
    if (i == 6) set->setToolTip(QStringLiteral("サーマル側Down補正"));
    rows->addWidget(label, i, 0);
    rows->addWidget(list, i, 1);
    rows->addWidget(set, i, 2);
  }
  v->addLayout(rows);

  auto* rank = Named(new QGroupBox(QStringLiteral("TPH/Erase Rank"), group), QStringLiteral("FrameRank"));
  auto* rg = new QGridLayout(rank);
  for (int i = 0; i <= 13; ++i) rg->addWidget(Mark(rank, QStringLiteral("ShpTPHRank"), i), 0, i);
  for (int i = 2; i <= 6; ++i) rg->addWidget(Mark(rank, QStringLiteral("ShpErRank"), i), 1, i);
  v->addWidget(rank);

  auto* lift = Named(new QGroupBox(QStringLiteral("TPH/Erase  Up Down"), group), QStringLiteral("FrameUpDwn"));
  auto* lh = new QHBoxLayout(lift);
  const char* const captions[] = {"Under", "Top", "Middle"};
  const char* const tips[] = {"昇降をｱﾝﾀﾞｰﾎﾟｼﾞｼｮﾝにします", "昇降をﾄｯﾌﾟﾎﾟｼﾞｼｮﾝにします", "昇降をﾐﾄﾞﾙﾎﾟｼﾞｼｮﾝにします"};
  for (int i = 0; i < 3; ++i) {
    auto* b = Named(new QPushButton(QLatin1String(captions[i]), lift), QStringLiteral("CmdUpDown"), i);
    b->setToolTip(QString::fromUtf8(tips[i]));
    lh->addWidget(b);
  }
  v->addWidget(lift);

  auto* status = Named(new QGroupBox(QStringLiteral("Status"), group), QStringLiteral("FrameStatus"));
  auto* sg = new QGridLayout(status);
  const char* const names[] = {"TPH Temp", "Erase Temp", "Circuit Temp", "Battery", "Version", "TH", "RE"};
  for (int i = 0; i < 7; ++i) {
    sg->addWidget(new QLabel(QLatin1String(names[i]), status), i, 0);
    sg->addWidget(Label(status, QStringLiteral("lbStatus_Mivor"), i), i, 1);
  }
  v->addWidget(status);
  return group;
}

void CounterGroup(QWidget* frame) {
  auto* g = new QGridLayout(frame);
  g->addWidget(Named(new QPushButton(QStringLiteral("Get Count Information"), frame), QStringLiteral("PassSyutoku_Mivor")),
               0, 0);
  g->addWidget(Named(new QPushButton(QStringLiteral("Error Clear"), frame), QStringLiteral("ErrorSyokika_Mivor")), 0, 1);
  g->addWidget(
      Named(new QPushButton(QStringLiteral("Error and Pass Clear"), frame), QStringLiteral("ErrorPassSyokika_Mivor")), 0,
      2);
  auto* disp = Label(frame, QStringLiteral("PassDisp_Mivor"), -1);
  disp->setFont(QFont(QStringLiteral("Monospace")));
  disp->setAlignment(Qt::AlignTop | Qt::AlignLeft);
  g->addWidget(disp, 1, 0, 1, 3);
}

template <typename F>
void OnClick(WidgetControls& ui, QObject* context, const QString& name, int index, F f) {
  if (auto* b = ui.Get<QPushButton>(name, index)) QObject::connect(b, &QPushButton::clicked, context, f);
}

}  // namespace

BenchEepromTab* InstallBenchEepromTab(QObject* owner, WidgetControls& ui, JobHost& host,
                                      std::function<void()> labelInit) {
  struct Holder : QObject {
    Holder(QObject* parent, FormControls& ui, JobHost& host) : QObject(parent), tab(ui, host) {}
    BenchEepromTab tab;
  };
  auto* holder = new Holder(owner, ui, host);
  BenchEepromTab* tab = &holder->tab;
  tab->SetLabelInit(std::move(labelInit));

  if (auto* tabs = ui.Get<QTabWidget>(QStringLiteral("SSTabMivorTest"))) {
    QWidget* page = tabs->widget(0);
    if (page) {
      auto* layout = qobject_cast<QBoxLayout*>(page->layout());
      if (!layout) layout = new QHBoxLayout(page);
      QWidget* group = SettingsGroup();
      layout->addWidget(group);
      ui.AddTree(group);
    }
  }
  if (auto* frame = ui.Get<QGroupBox>(QStringLiteral("FrameEEP"))) {
    if (!frame->layout()) {
      CounterGroup(frame);
      for (QObject* child : frame->children()) ui.AddTree(child);
    }
  }

  OnClick(ui, holder, QStringLiteral("EEPSetting_Mivor"), -1, [tab] { tab->EEPSetting_Mivor_Click(); });
  OnClick(ui, holder, QStringLiteral("EEPSetting_MivorCLS"), -1, [tab] { tab->EEPSetting_MivorCLS_Click(); });
  for (int i = 0; i < eep::kMivorSettings; ++i)
    OnClick(ui, holder, QStringLiteral("EEPSetCmd_Mivor"), i, [tab, i] { tab->EEPSetCmd_Mivor_Click(i); });
  for (int i = 0; i < 3; ++i)
    OnClick(ui, holder, QStringLiteral("CmdUpDown"), i, [tab, i] { tab->CmdUpDown_Click(i); });
  OnClick(ui, holder, QStringLiteral("PassSyutoku_Mivor"), -1, [tab] { tab->PassSyutoku_Mivor_Click(); });
  OnClick(ui, holder, QStringLiteral("ErrorSyokika_Mivor"), -1, [tab] { tab->ErrorSyokika_Mivor_Click(); });
  OnClick(ui, holder, QStringLiteral("ErrorPassSyokika_Mivor"), -1, [tab] { tab->ErrorPassSyokika_Mivor_Click(); });
  return tab;
}

}  // namespace quorel

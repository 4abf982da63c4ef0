#include "testbench/print_tests_page.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QWidget>

#include "core/form_controls.h"
#include "testbench/bench_widgets.h"
#include "testbench/bench_eeprom_tab.h"
#include "testbench/erase_margin_print.h"
#include "testbench/erase_margin_test.h"
#include "testbench/print_position_test.h"

namespace quorel {
namespace {

QWidget* Group() {
  auto* group = new QGroupBox(QStringLiteral("Test Print"));
  auto* g = new QGridLayout(group);
  auto* kinds = Named(new QComboBox(group), QStringLiteral("CmbKdKind"));
  kinds->addItems(KdKindItems());
  kinds->setToolTip(QStringLiteral("カード種選択自動モードにすると、テストモードで決められたカードを指定します。"));
  g->addWidget(kinds, 0, 0, 1, 4);
  g->addWidget(Named(new QPushButton(EraseMarginTest::kIdle, group), QStringLiteral("CmdEraseMargin")), 1, 0);
  const char* const lamps[] = {"-1", "+1", "N"};
  for (int i = 0; i < 3; ++i) {
    auto* lamp = Named(new QFrame(group), QStringLiteral("SpErMarjin"), i);
    lamp->setFixedSize(12, 12);
    lamp->setFrameShape(QFrame::Box);
    lamp->setAutoFillBackground(true);
    auto* row = new QHBoxLayout;
    row->addWidget(lamp);
    row->addWidget(Named(new QLabel(QLatin1String(lamps[i]), group), QStringLiteral("LbErMarjin"), i));
    g->addLayout(row, 1, i + 1);
  }
  g->addWidget(Named(new QPushButton(PrintPositionTest::kIdle, group), QStringLiteral("CmdPrntPosition")), 2, 0);
  auto* func = Named(new QCheckBox(QStringLiteral("Func"), group), QStringLiteral("ChkPrPositionF"));
  func->setToolTip(QStringLiteral("機能調整検査(Fnction)での、印字位置調整を選択します。(MS:b1)拡張印字範囲指定"));
  func->setChecked(true);
  auto* eval = Named(new QCheckBox(QStringLiteral("評価"), group), QStringLiteral("ChkPrPositionH"));
  eval->setToolTip(QStringLiteral("評価検査での、印字位置調整を選択します。(MS:b0)通常印字範囲指定"));
  g->addWidget(func, 2, 1);
  g->addWidget(eval, 2, 2);
  auto* shape = Named(new QFrame(group), QStringLiteral("ShapeTestMsg"));
  shape->setAutoFillBackground(true);
  auto* sl = new QHBoxLayout(shape);
  sl->addWidget(Named(new QLabel(shape), QStringLiteral("LbTestMsg")));
  g->addWidget(shape, 3, 0, 1, 4);
  return group;
}

}  // namespace

void InstallPrintTestsGroup(QWidget* window, WidgetControls& ui, JobHost& host, BenchJobState& state,
                            BenchEepromTab* settings) {
  auto* tabs = ui.Get<QTabWidget>(QStringLiteral("SSTabMivorTest"));
  QWidget* page = tabs ? tabs->widget(0) : nullptr;
  if (!page) return;
  auto* layout = qobject_cast<QBoxLayout*>(page->layout());
  if (!layout) layout = new QHBoxLayout(page);
  QWidget* group = Group();
  layout->addWidget(group);
  ui.AddTree(group);

  auto caption = [window](const QString& text) { window->setWindowTitle(text); };
  auto read = [settings] {
    if (settings) settings->EEPSetting_Mivor_Click();
  };
  // The tests live in a child of the window, so they go with it.
  struct Holder : QObject {
    Holder(QObject* parent, FormControls& ui, JobHost& host, BenchJobState& state, std::function<void()> read,
           std::function<void(const QString&)> caption)
        : QObject(parent), erase(ui, host, state, std::move(read), caption), position(ui, host, state, caption) {}
    EraseMarginTest erase;
    PrintPositionTest position;
  };
  auto* holder = new Holder(window, ui, host, state, read, caption);
  QObject::connect(ui.Get<QPushButton>(QStringLiteral("CmdEraseMargin")), &QPushButton::clicked, holder,
                   [holder] { holder->erase.Click(); });
  QObject::connect(ui.Get<QPushButton>(QStringLiteral("CmdPrntPosition")), &QPushButton::clicked, holder,
                   [holder] { holder->position.Click(); });
  QObject::connect(ui.Get<QCheckBox>(QStringLiteral("ChkPrPositionF")), &QCheckBox::clicked, holder,
                   [holder] { holder->position.PageBoxClicked(true); });
  QObject::connect(ui.Get<QCheckBox>(QStringLiteral("ChkPrPositionH")), &QCheckBox::clicked, holder,
                   [holder] { holder->position.PageBoxClicked(false); });
}

}  // namespace quorel

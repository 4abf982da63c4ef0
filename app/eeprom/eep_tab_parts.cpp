#include "eeprom/eep_tab_parts.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QVBoxLayout>

#include "eeprom/eep_frame.h"
#include "eeprom/eep_rows.h"
#include "eeprom/eep_tables.h"
#include "eeprom/eep_widgets.h"

namespace quorel::eep {
namespace {

QFont HexFont(const QWidget* w) {
  QFont f(QStringLiteral("Monospace"), w->font().pointSize());
  f.setStyleHint(QFont::TypeWriter);
  return f;
}

// The counter array's name: Mivor has its own control, the others share the
// "_Dastel" array.
struct CounterName {
  QString name;
  int index;
};
CounterName CounterControl(const QString& base, Family f) {
  if (f == Family::kMivor) return {base + QStringLiteral("_Mivor"), -1};
  return {base + QStringLiteral("_Dastel"), SharedIndex(f)};
}

}  // namespace

QWidget* MakeRowGrid(QWidget* parent, Family f) {
  auto* box = new QGroupBox(parent);
  if (f == Family::kMivor) box->setObjectName(QStringLiteral("PicEEPALL"));
  auto* grid = new QGridLayout(box);
  grid->setContentsMargins(4, 4, 4, 4);
  grid->setSpacing(1);
  for (int r = 0; r < RowCount(f); ++r) {
    auto* button = MakeButton(box, Named(QStringLiteral("CmdEEPAd"), f), r, RowCaption(r), RowButtonTip(r));
    auto* text = NamedWidget<QLineEdit>(box, Named(QStringLiteral("TxtEEPALL"), f), r);
    text->setFont(HexFont(box));
    button->setFixedHeight(20);
    text->setFixedHeight(20);
    grid->addWidget(button, r, 0);
    grid->addWidget(text, r, 1);
  }
  auto* modes = new QHBoxLayout;
  auto* group = new QButtonGroup(box);
  const char* const captions[] = {"Read", "Write", "ALL FFFF(初期化)"};
  for (int i = 0; i < 3; ++i) {
    auto* option = NamedWidget<QRadioButton>(box, Named(QStringLiteral("OpEEPAllRdWr"), f), i);
    option->setText(QString::fromUtf8(captions[i]));
    group->addButton(option);
    modes->addWidget(option);
  }
  // Read is chosen on the Mivor tab; the other tabs start with no mode.
  if (f == Family::kMivor) group->buttons().first()->setChecked(true);
  modes->addWidget(MakeButton(box, Named(QStringLiteral("CmdEepAll"), f), -1, QStringLiteral("EEPROM ALL Data")));
  grid->addLayout(modes, RowCount(f), 0, 1, 2);
  return box;
}

QWidget* MakeCounterReadButton(QWidget* parent, Family f) {
  const CounterName read = CounterControl(QStringLiteral("PassSyutoku"), f);
  return MakeButton(parent, read.name, read.index, QStringLiteral("各カウント情報取得"));
}

QWidget* MakeCounterList(QWidget* parent, Family f) {
  const CounterName disp = CounterControl(QStringLiteral("PassDisp"), f);
  auto* list = MakeDisplay(parent, disp.name, disp.index);
  list->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  QFont font = HexFont(parent);
  font.setPointSize(qMax(6, font.pointSize() - 1));
  list->setFont(font);
  list->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
  return list;
}

QWidget* MakeCounterWrite(QWidget* parent, Family f) {
  // Picture1..3 on the three shared tabs.
  auto* write = new QFrame(parent);
  if (f != Family::kMivor) write->setObjectName(QStringLiteral("Picture%1").arg(SharedIndex(f) + 1));
  auto* h = new QHBoxLayout(write);
  h->setContentsMargins(0, 0, 0, 0);
  h->setSpacing(2);
  int count = 0;
  const CounterItem* items = CounterItems(&count);
  QStringList texts;
  for (int i = 0; i < count; ++i) texts << QString::fromUtf8(items[i].text);
  const CounterName item = CounterControl(QStringLiteral("EEPkoumoku"), f);
  auto* choice = MakeChoice(write, item.name, item.index, texts);
  choice->setMinimumContentsLength(8);
  choice->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  h->addWidget(choice, 2);
  h->addWidget(MakeCaption(write, QStringLiteral("回数入力")));
  const CounterName value = CounterControl(QStringLiteral("KaisuTxt"), f);
  h->addWidget(NamedWidget<QLineEdit>(write, value.name, value.index), 1);
  const CounterName pw = CounterControl(QStringLiteral("PassWrite"), f);
  auto* button = MakeButton(write, pw.name, pw.index, QStringLiteral("Write"));
  button->setFixedWidth(48);
  h->addWidget(button);
  return write;
}

QWidget* MakeCounterResets(QWidget* parent, Family f, bool stacked) {
  auto* box = new QWidget(parent);
  QBoxLayout* l = stacked ? static_cast<QBoxLayout*>(new QVBoxLayout(box)) : new QHBoxLayout(box);
  l->setContentsMargins(0, 0, 0, 0);
  l->setSpacing(1);
  const CounterName e = CounterControl(QStringLiteral("ErrorSyokika"), f);
  l->addWidget(MakeButton(box, e.name, e.index, QStringLiteral("ｴﾗｰ初期化"), QStringLiteral("エラー回数初期化")));
  const CounterName ep = CounterControl(QStringLiteral("ErrorPassSyokika"), f);
  l->addWidget(MakeButton(box, ep.name, ep.index, QStringLiteral("ｴﾗｰﾊﾟｽ初期化"), QStringLiteral("ｴﾗｰ+ﾊﾟｽ回数初期化")));
  return box;
}

void AddSettingRows(QWidget* parent, QGridLayout* grid, int row, Family f, int first, int last) {
  for (int i = first; i <= last; ++i, ++row) {
    QString tip;
    if (f == Family::kMivor && i == 5) tip = QStringLiteral("サーマル側Up補正");
    if (f == Family::kMivor && i == 6) tip = QStringLiteral("サーマル側Down補正");
    grid->addWidget(MakeButton(parent, Named(QStringLiteral("EEPSetCmd"), f), i, SettingCaption(i), tip), row, 0);
    auto* label = MakeDisplay(parent, Named(QStringLiteral("EEPSetLabel"), f), i);
    label->setFixedWidth(30);
    label->setAlignment(Qt::AlignCenter);
    label->setAutoFillBackground(true);
    grid->addWidget(label, row, 1);
    auto* choice = MakeChoice(parent, Named(QStringLiteral("EEPSetCmb"), f), i, SettingValues(i));
    choice->setFixedWidth(56);
    grid->addWidget(choice, row, 2);
  }
}

}  // namespace quorel::eep

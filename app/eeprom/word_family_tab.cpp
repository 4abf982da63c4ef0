#include "eeprom/word_family_tab.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QStyle>
#include <QVBoxLayout>

#include "eeprom/eep_frame.h"
#include "eeprom/eep_tab_parts.h"
#include "eeprom/eep_widgets.h"

namespace quorel::eep {
namespace {

// The close button of each shared tab: CmdExit 0 on Dastel, 2 on Quenby, 3
// on Folsk (1 is the Mivor tab's).
int ExitIndex(Family f) { return f == Family::kDastel ? 0 : TabOf(f); }

}  // namespace

WordFamilyTab::WordFamilyTab(QWidget* page, Family family, int leftWidth, const QSize& content)
    : QWidget(page), family_(family) {
  setFixedSize(content);
  auto* h = new QHBoxLayout(this);
  h->setContentsMargins(2, 2, 2, 2);
  h->setSpacing(6);
  h->addWidget(MakeLeftColumn(leftWidth - 4), 0, Qt::AlignTop);
  // The counter panel: the column only the wide layout shows.
  auto* counters = new QWidget(this);
  counters->setFixedWidth(content.width() - leftWidth - 6);
  auto* v = new QVBoxLayout(counters);
  v->setContentsMargins(0, 0, 0, 0);
  v->setSpacing(2);
  v->addWidget(MakeCounterReadButton(counters, family_));
  auto* list = MakeCounterList(counters, family_);
  list->setMinimumHeight(16 * 12);
  v->addWidget(list, 1);
  v->addWidget(MakeCounterWrite(counters, family_));
  v->addWidget(MakeCounterResets(counters, family_, false));
  counters->setFixedHeight(qMin(content.height() - 8, 330));
  h->addWidget(counters, 0, Qt::AlignTop);
}

QWidget* WordFamilyTab::MakeLeftColumn(int width) {
  const Family f = family_;
  const int i = SharedIndex(f);
  auto* col = new QWidget(this);
  col->setFixedWidth(width);
  auto* v = new QVBoxLayout(col);
  v->setContentsMargins(0, 0, 0, 0);
  v->setSpacing(3);

  auto* reads = new QHBoxLayout;
  reads->addWidget(MakeButton(col, Named(QStringLiteral("JyouhouSyutoku"), f), -1, QStringLiteral("一括情報取得")));
  reads->addWidget(MakeButton(col, Named(QStringLiteral("EEPSetting"), f), -1, QStringLiteral("CR設定情報取得")));
  v->addLayout(reads);

  auto* grid = new QGridLayout;
  grid->setSpacing(1);
  AddSettingRows(col, grid, 0, f, 0, 4);
  v->addLayout(grid);

  auto* status = new QGridLayout;
  status->setSpacing(1);
  const QString lb = Named(QStringLiteral("lbStatus"), f);
  status->addWidget(MakeCaption(col, QStringLiteral("温度")), 0, 0);
  const char* const temps[] = {"TPH", "ER", "基板"};
  for (int t = 0; t < 3; ++t) {
    status->addWidget(MakeCaption(col, QString::fromUtf8(temps[t])), 0, 1 + 3 * t);
    status->addWidget(MakeDisplay(col, lb, t), 0, 2 + 3 * t);
    status->addWidget(MakeCaption(col, QStringLiteral("℃")), 0, 3 + 3 * t);
  }
  const char* const rows[] = {"ROM", "TH", "RE"};
  for (int r = 0; r < 3; ++r) {
    status->addWidget(MakeCaption(col, QString::fromLatin1(rows[r])), 1 + r, 0);
    status->addWidget(MakeDisplay(col, lb, 3 + r), 1 + r, 1, 1, 9);
  }
  v->addLayout(status);

  v->addWidget(MakeRowGrid(col, f));

  auto* bottom = new QHBoxLayout;
  auto* rs = MakeButton(col, QStringLiteral("CmdRS"), i, QStringLiteral("RS\r\n(CR再起動)"));
  bottom->addWidget(rs);
  bottom->addWidget(MakeButton(col, QStringLiteral("CmdDispClear"), TabOf(f), QStringLiteral("Clear"),
                               QStringLiteral("Display Clear")));
  bottom->addWidget(MakeCheck(col, QStringLiteral("ChkEnlarge"), TabOf(f), QStringLiteral("Enlarge"),
                              QStringLiteral("ランク表などの情報を表示します。")));
  auto* save =
      MakeButton(col, QStringLiteral("EEPSave_Dastel"), i, QString(), QStringLiteral("デバイスのデータを保存します。"));
  save->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
  bottom->addWidget(save);
  auto* exit = MakeButton(col, QStringLiteral("CmdExit"), ExitIndex(f), QString(), QStringLiteral("終了(閉じる)"));
  exit->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
  bottom->addWidget(exit);
  v->addLayout(bottom);
  v->addStretch(1);
  return col;
}

}  // namespace quorel::eep

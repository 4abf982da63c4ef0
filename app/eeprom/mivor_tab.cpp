#include "eeprom/mivor_tab.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QStyle>
#include <QVBoxLayout>

#include "core/colour_values.h"
#include "core/text_room.h"
#include "eeprom/eep_tab_parts.h"
#include "eeprom/eep_widgets.h"
#include "eeprom/error_code_list.h"

namespace quorel::eep {
namespace {

const Family kMivor = Family::kMivor;

// A rank marker: a small solid square, on when visible.
QFrame* MakeMarker(QWidget* parent, const QString& name, int index, uint32_t fill) {
  auto* m = NamedWidget<QFrame>(parent, name, index);
  m->setFixedSize(12, 10);
  PaintBackColor(m, fill);
  m->setVisible(false);
  return m;
}

QWidget* MakeRankTables(QWidget* parent) {
  auto* box = new QWidget(parent);
  auto* grid = new QGridLayout(box);
  grid->setContentsMargins(0, 0, 0, 0);
  grid->setVerticalSpacing(0);
  auto* title = NamedWidget<QLabel>(box, QStringLiteral("LbRank"));
  title->setText(QStringLiteral("TPH Rank      Erase Rank"));
  grid->addWidget(title, 0, 0, 1, 4);
  const QString ranks = QStringLiteral("0123456789abcd");
  for (int i = 0; i < 14; ++i) {
    grid->addWidget(MakeCaption(box, ranks.mid(i, 1)), i + 1, 0);
    grid->addWidget(MakeMarker(box, QStringLiteral("ShpTPHRank"), i, 0xFFC0FF), i + 1, 1);
  }
  for (int i = 2; i <= 6; ++i) {
    grid->addWidget(MakeCaption(box, QString::number(i)), i - 1, 2);
    grid->addWidget(MakeMarker(box, QStringLiteral("ShpErRank"), i, 0xFFC0C0), i - 1, 3);
  }
  grid->setColumnStretch(4, 1);
  return box;
}

QWidget* MakeStatusCodes(QWidget* parent) {
  auto* frame = new QGroupBox(QStringLiteral("ErrorCode"), parent);
  frame->setObjectName(QStringLiteral("FrameErrorCode"));
  auto* v = new QVBoxLayout(frame);
  v->setContentsMargins(4, 4, 4, 4);
  auto* combo = NamedWidget<QComboBox>(frame, QStringLiteral("CmbErrorCode"));
  combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  combo->setMinimumContentsLength(12);
  combo->addItems(ErrorCodeGroupItems());
  combo->setCurrentIndex(-1);
  v->addWidget(combo);
  auto* list = NamedWidget<QLabel>(frame, QStringLiteral("LbErrorCode"));
  list->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  list->setMinimumHeight(140);
  list->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  // The texts are padded for a fixed-pitch Japanese face.
  QFont face = list->font();
  face.setFamilies({QStringLiteral("MS Gothic"), QStringLiteral("IPAGothic"), QStringLiteral("Monospace")});
  face.setStyleHint(QFont::TypeWriter);
  list->setFont(face);
  v->addWidget(list, 1);
  return frame;
}

QWidget* MakeCustomerMessage(QWidget* parent) {
  auto* frame = new QGroupBox(parent);
  frame->setObjectName(QStringLiteral("FrameCSMsg"));
  frame->setToolTip(QStringLiteral("最大64文字(可変長)のﾒｯｾｰｼﾞを格納することができます。"));
  auto* v = new QVBoxLayout(frame);
  v->setContentsMargins(4, 4, 4, 4);
  auto* text = NamedWidget<QPlainTextEdit>(frame, QStringLiteral("TxtCSMsg"));
  text->setReadOnly(true);  // viewer mode
  text->setFixedHeight(56);
  v->addWidget(text);
  v->addWidget(MakeDisplay(frame, QStringLiteral("LbCSMsg")));
  v->addWidget(MakeCheck(frame, QStringLiteral("ChkCSMsg"), -1, QStringLiteral("Service Message Viewer"),
                         QStringLiteral("ﾁｪｯｸするとEdit modeになります。")));
  v->addWidget(MakeButton(frame, QStringLiteral("CmdCSMsgW"), -1, QStringLiteral("Read")));
  return frame;
}

}  // namespace

MivorTab::MivorTab(QWidget* page, int leftWidth, const QSize& content) : QWidget(page) {
  setFixedSize(content);
  auto* h = new QHBoxLayout(this);
  h->setContentsMargins(2, 2, 2, 2);
  h->setSpacing(6);
  h->addWidget(MakeLeftColumn(leftWidth - 4), 0, Qt::AlignTop);
  h->addWidget(MakeRightColumn(content.width() - leftWidth - 6), 0, Qt::AlignTop);
}

QWidget* MivorTab::MakeLeftColumn(int width) {
  auto* col = new QWidget(this);
  col->setFixedWidth(width);
  auto* v = new QVBoxLayout(col);
  v->setContentsMargins(0, 0, 0, 0);
  v->setSpacing(3);

  auto* reads = new QHBoxLayout;
  reads->addWidget(MakeButton(col, QStringLiteral("JyouhouSyutoku_Mivor"), -1, QStringLiteral("一括情報取得")));
  reads->addWidget(MakeButton(col, QStringLiteral("EEPSetting_Mivor"), -1, QStringLiteral("CR設定情報取得")));
  reads->addWidget(MakeCounterReadButton(col, kMivor));
  v->addLayout(reads);

  auto* middle = new QHBoxLayout;
  auto* settings = new QWidget(col);
  auto* grid = new QGridLayout(settings);
  grid->setContentsMargins(0, 0, 0, 0);
  grid->setSpacing(1);
  AddSettingRows(settings, grid, 0, kMivor, 0, 4);
  // The lift corrections: a caption each, its Up and Down buttons beside it
  // (in a column of their own, so the caption's text keeps clear of them).
  for (int pair = 0; pair < 2; ++pair) {
    const int first = 5 + 2 * pair;
    auto* caption = NamedWidget<QLabel>(settings, QStringLiteral("LbTxt"), 19 + pair);
    AddSettingRows(settings, grid, first, kMivor, first, first + 1);
    auto* beside = new QGridLayout;
    beside->setContentsMargins(0, 0, 0, 0);
    beside->setSpacing(grid->verticalSpacing());
    beside->addWidget(caption, 0, 0, 2, 1, Qt::AlignLeft | Qt::AlignVCenter);
    beside->setColumnStretch(0, 1);
    for (int i = first; i <= first + 1; ++i) {
      QWidget* button = settings->findChild<QWidget*>(ControlKey(QStringLiteral("EEPSetCmd_Mivor"), i));
      grid->removeWidget(button);
      button->setFixedWidth(qMax(34, TextRoom(button).width()));
      beside->addWidget(button, i - first, 1);
    }
    grid->addLayout(beside, first, 0, 2, 1);
  }
  const char* const captions[] = {"TPH℃", "ER℃", "基板℃", "電池V"};
  auto* status = new QGridLayout;
  status->setSpacing(1);
  for (int i = 0; i < 4; ++i) {  // two a row
    status->addWidget(MakeCaption(settings, QString::fromUtf8(captions[i])), i / 2, (i % 2) * 2);
    status->addWidget(MakeDisplay(settings, QStringLiteral("lbStatus_Mivor"), i), i / 2, (i % 2) * 2 + 1);
  }
  const char* const lines[] = {"ROM", "TH", "RE"};
  for (int i = 4; i < 7; ++i) {
    status->addWidget(MakeCaption(settings, QString::fromLatin1(lines[i - 4])), i - 2, 0);
    status->addWidget(MakeDisplay(settings, QStringLiteral("lbStatus_Mivor"), i), i - 2, 1, 1, 3);
  }
  grid->addLayout(status, 9, 0, 1, 3);
  middle->addWidget(settings, 0, Qt::AlignTop);
  auto* counters = new QVBoxLayout;
  counters->setSpacing(1);
  counters->addWidget(MakeCounterList(col, kMivor), 1);
  counters->addWidget(MakeCounterResets(col, kMivor, false));
  middle->addLayout(counters, 1);
  v->addLayout(middle);
  v->addWidget(MakeCounterWrite(col, kMivor));

  v->addWidget(MakeRowGrid(col, kMivor));

  auto* bottom = new QHBoxLayout;
  auto* lift = new QVBoxLayout;
  lift->setSpacing(1);
  // Top to bottom: Top, Middle, Under.
  lift->addWidget(MakeButton(col, QStringLiteral("CmdUpDown"), 1, QStringLiteral("Top"),
                             QStringLiteral("昇降をﾄｯﾌﾟﾎﾟｼﾞｼｮﾝにします")));
  lift->addWidget(MakeButton(col, QStringLiteral("CmdUpDown"), 2, QStringLiteral("Middle"),
                             QStringLiteral("昇降をﾐﾄﾞﾙﾎﾟｼﾞｼｮﾝにします")));
  lift->addWidget(MakeButton(col, QStringLiteral("CmdUpDown"), 0, QStringLiteral("Under"),
                             QStringLiteral("昇降をｱﾝﾀﾞｰﾎﾟｼﾞｼｮﾝにします")));
  bottom->addLayout(lift);
  auto* checks = new QVBoxLayout;
  checks->addWidget(MakeCheck(col, QStringLiteral("ChkAdminiMode"), -1, QStringLiteral("Administartor Mode"),
                              QStringLiteral("チェックすると次回からパスワードを聞いてこない。")));
  checks->addWidget(MakeCheck(col, QStringLiteral("ChkEnlarge"), 0, QStringLiteral("Enlarge"),
                              QStringLiteral("ランク表などの情報を表示します。")));
  bottom->addLayout(checks);
  bottom->addWidget(
      MakeButton(col, QStringLiteral("CmdDispClear"), 0, QStringLiteral("Clear"), QStringLiteral("Display Clear")));
  auto* save =
      MakeButton(col, QStringLiteral("EEPSave_Mivor"), -1, QString(), QStringLiteral("デバイスのデータを保存します。"));
  save->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
  bottom->addWidget(save);
  auto* exit = MakeButton(col, QStringLiteral("CmdExit"), 1, QString(), QStringLiteral("終了(閉じる)"));
  exit->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
  bottom->addWidget(exit);
  v->addLayout(bottom);
  v->addStretch(1);
  return col;
}

QWidget* MivorTab::MakeRightColumn(int width) {
  auto* col = new QWidget(this);
  col->setFixedWidth(width);
  auto* v = new QVBoxLayout(col);
  v->setContentsMargins(0, 0, 0, 0);
  v->addWidget(MakeRankTables(col));
  v->addWidget(MakeStatusCodes(col));
  v->addWidget(MakeCustomerMessage(col));
  v->addStretch(1);
  return col;
}

}  // namespace quorel::eep

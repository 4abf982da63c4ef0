#include "core/console_layout.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>

#include "core/console_commands.h"
#include "core/form_controls.h"
#include "core/text_room.h"

namespace quorel {
namespace {

template <typename T>
T* Make(QWidget* parent, const QString& name, int index, int x, int y, int w, int h) {
  auto* c = new T(parent);
  c->setObjectName(ControlKey(name, index));
  c->setGeometry(x, y, w, h);
  return c;
}

// A display field: a sunken label.
QLabel* Field(QWidget* p, const char* name, int index, int x, int y, int w, int h = 18) {
  auto* l = Make<QLabel>(p, QString::fromLatin1(name), index, x, y, w, h);
  l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  return l;
}

QLineEdit* Box(QWidget* p, const char* name, int index, int x, int y, int w, int h = 20) {
  return Make<QLineEdit>(p, QString::fromLatin1(name), index, x, y, w, h);
}

// A captioned control at its designed place, grown where its caption needs
// more room in this font.
template <typename T>
T* Captioned(QWidget* parent, const char* name, int index, const QString& caption, int x, int y, int w, int h) {
  auto* c = Make<T>(parent, QString::fromLatin1(name), index, x, y, w, h);
  c->setText(caption);
  PlaceFitted(c, c->geometry());
  return c;
}

QPushButton* Button(QWidget* p, const char* name, int index, const QString& caption, int x, int y, int w, int h = 20) {
  auto* b = Captioned<QPushButton>(p, name, index, caption, x, y, w, h);
  b->setFocusPolicy(Qt::TabFocus);
  return b;
}

QCheckBox* Check(QWidget* p, const char* name, int index, const QString& caption, int x, int y, int w, int h = 20) {
  return Captioned<QCheckBox>(p, name, index, caption, x, y, w, h);
}

QRadioButton* Option(QWidget* p, QButtonGroup* group, const char* name, int index, const QString& caption, int x, int y,
                     int w, int h = 20) {
  auto* r = Captioned<QRadioButton>(p, name, index, caption, x, y, w, h);
  group->addButton(r);
  return r;
}

QString Jp(const char* utf8) { return QString::fromUtf8(utf8); }

void BuildStatusRows(QWidget* p) {
  Field(p, "LbComViewer", -1, 4, 2, 36);
  Field(p, "LbComConfig", -1, 42, 2, 78);
  Field(p, "LbComClaimed", -1, 122, 2, 40);
  Field(p, "Label25", -1, 164, 2, 72);
  Field(p, "Label10", -1, 238, 2, 40);
  Field(p, "Label53", -1, 280, 2, 18)->setToolTip(QStringLiteral("Status"));
  Button(p, "CmdComClose", -1, QStringLiteral("Com Close"), 302, 1, 70);
  Check(p, "ChkRSmode", -1, QStringLiteral("RS Mode"), 376, 1, 70);
  Button(p, "Command54", -1, QStringLiteral("DSPclear"), 448, 1, 64);
  Field(p, "Label28", -1, 516, 2, 58);
  Field(p, "Label29", -1, 576, 2, 60);
  Field(p, "Label37", -1, 4, 22, 300);
  Field(p, "Label39", -1, 306, 22, 164);
  Field(p, "Label40", -1, 472, 22, 164);
}

void BuildCommandButtons(QWidget* p) {
  int k = 0;
  for (const ConsoleButton& b : ConsoleButtons()) {
    QPushButton* button = Button(p, "Command1", b.index, b.caption, 4 + (k % 9) * 45, 44 + (k / 9) * 24, 43, 22);
    if (!b.toolTip.isEmpty()) button->setToolTip(b.toolTip);
    ++k;
  }
}

void BuildReplyFields(QWidget* p) {
  Box(p, "TxtROMVer", -1, 412, 44, 224, 19)->setToolTip(QStringLiteral("Version"));
  Field(p, "LbCT", -1, 412, 65, 80);
  Field(p, "Label14", -1, 494, 65, 142);
  Box(p, "TxtMR", -1, 412, 85, 224, 19);
  Check(p, "ChkCardKind", 0, QStringLiteral("MS:Bx"), 412, 105, 66)
      ->setToolTip(Jp("ﾁｪｯｸするとMSｺﾏﾝﾄﾞ時のｶｰﾄﾞ媒体種を指定できます。"));
  Check(p, "ChkCardKind", 1, QStringLiteral("MR"), 480, 105, 44);
  Check(p, "ChkCardKind", 2, Jp("MS→MR"), 526, 105, 110);
  auto* kinds = Make<QComboBox>(p, QStringLiteral("CmbKdKind"), -1, 412, 126, 224, 20);
  static const char* const kKinds[16] = {"0:標準カード",  "1:PETカード",   "2:紙カード",    "3:リライトPET",
                                         "4:リライト紙",  "5:サーマルPET", "6:サーマル紙",  "7:プラスチック",
                                         "8:薄型カード",  "9:厚型カード",  "::予備カード1", ";:予備カード2",
                                         "<:予備カード3", "=:予備カード4", ">:予備カード5", "?:予備カード6"};
  for (const char* k : kKinds) kinds->addItem(Jp(k));
  kinds->setCurrentIndex(-1);
  Box(p, "TxtASData", 0, 412, 148, 36, 19);
  Box(p, "TxtASData", 1, 450, 148, 40, 19);
  Field(p, "Label41", -1, 494, 148, 142);
}

void BuildCommandBoxes(QWidget* p) {
  auto* ms = Make<QPlainTextEdit>(p, QStringLiteral("TxtMDData"), -1, 4, 166, 200, 36);
  ms->setToolTip(QStringLiteral("MS:"));
  auto* pd = Make<QPlainTextEdit>(p, QStringLiteral("TxtPDData"), -1, 208, 166, 200, 36);
  pd->setToolTip(QStringLiteral("PD:"));
  for (int n = 1; n <= 3; ++n) {
    const int y = 187 + n * 21;
    auto* wd = Make<QComboBox>(p, QStringLiteral("txtWd"), n, 4, y, 176, 20);
    wd->setEditable(true);
    wd->setInsertPolicy(QComboBox::NoInsert);  // the send adds the entry
    wd->setToolTip(QStringLiteral("WD:%1/").arg(n));
    Field(p, "LbWdLen", n, 182, y, 26, 19);
    Box(p, "TxtDTtr", n, 210, y, 170, 19)->setToolTip(QStringLiteral("DT:%1").arg(n));
    Field(p, "LbDTtrLen", n, 382, y, 26, 19);
  }
  Box(p, "TxtSendBox", -1, 4, 273, 292);
  Box(p, "TxtSendLenBox", -1, 298, 273, 40)->setReadOnly(true);
  Button(p, "cmdKaishi", -1, QStringLiteral("Send"), 340, 272, 68, 22);
  for (int i = 0; i <= 4; ++i) {
    const int y = 297 + i * 21;
    Box(p, "TxtCustomSendCmd", i, 4, y, 334);
    Button(p, "CmdCustomSend", i, QStringLiteral("Send"), 340, y, 68);
  }
  auto* log = Make<QPlainTextEdit>(p, QStringLiteral("txtDisp"), -1, 4, 404, 404, 155);
  log->setReadOnly(true);
  log->setLineWrapMode(QPlainTextEdit::NoWrap);
}

void BuildMaintenance(QWidget* p) {
  Button(p, "Command2", 0, QStringLiteral("PW:"), 412, 170, 36);
  Box(p, "TxtPWETSend", 0, 450, 170, 70);
  Button(p, "Command2", 1, QStringLiteral("ET:"), 524, 170, 36);
  Box(p, "TxtPWETSend", 1, 562, 170, 74);
  Button(p, "Command2", 3, QStringLiteral("RE"), 412, 192, 36);
  Box(p, "TxtPWETSend", 2, 450, 192, 70);
  Button(p, "Command2", 15, QStringLiteral("PW"), 524, 192, 36);
  Box(p, "TxtPWETSend", 3, 562, 192, 74);
  Button(p, "Command2", 8, QStringLiteral("TH"), 412, 214, 36);
  Check(p, "ChkPWETAuto", -1, QStringLiteral("AutoCheck"), 452, 214, 82);
  Button(p, "Command34", -1, Jp("情報"), 536, 214, 100);
  Button(p, "Command2", 5, Jp("時計確認"), 412, 236, 72);
  Button(p, "Command2", 6, Jp("時計設定"), 486, 236, 72);
  auto* volts = new QButtonGroup(p);
  volts->setObjectName(QStringLiteral("OpSenVGroup"));
  const QRect v33 = Option(p, volts, "OpSenV", 0, QStringLiteral("3.3V"), 560, 236, 42)->geometry();
  Option(p, volts, "OpSenV", 1, QStringLiteral("5V"), v33.x() + v33.width(), 236, 36);  // just after 3.3V
  Button(p, "Command2", 9, Jp("ｾﾝｻｰ電圧"), 412, 258, 74);
  Button(p, "Command2", 10, Jp("ｾﾝｻｰしきい値確認"), 488, 258, 148);
  Button(p, "Command2", 11, Jp("ｾﾝｻｰ設定"), 412, 280, 74);
  Button(p, "Command2", 12, Jp("ｾﾝｻｰｸﾘｱ"), 488, 280, 74);
  Button(p, "Command2", 13, Jp("ｴﾗｰ回数初期化"), 412, 302, 110);
  Button(p, "Command2", 14, Jp("ﾊﾟｽ+ｴﾗｰ初期化"), 524, 302, 112);
  Field(p, "LbTH", 0, 412, 324, 224);
  QLabel* head = Field(p, "LbTH", 1, 412, 344, 224, 62);
  head->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  auto* scroll = new QScrollArea(p);
  scroll->setGeometry(412, 408, 224, 36);
  scroll->setWidgetResizable(true);
  auto* counters = new QLabel;
  counters->setObjectName(QStringLiteral("LbEEPForm"));
  counters->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  scroll->setWidget(counters);
}

// A caption beside a box of the write/read test.
QLabel* Caption(QWidget* p, const char* name, const QString& text, int x, int y, int w) {
  auto* l = Make<QLabel>(p, QString::fromLatin1(name), -1, x, y, w, 20);
  l->setText(text);
  return l;
}

void BuildSelfPrint(QWidget* p) {
  Button(p, "CmdJIkoPD", -1, QStringLiteral("PrintDataSend"), 412, 446, 100)
      ->setToolTip(QStringLiteral("Self Test Print Data"));
  auto* pages = Make<QComboBox>(p, QStringLiteral("CmbJIkoPD"), -1, 514, 446, 122, 20);
  for (const char* page : {"", "320x600(Mivor)", "320x460(Mivor)", "320x460(Dastel)", "Corvant(QB)", "Corvant(QB2)",
                           "Pellis(QA)", "FolskType"})
    pages->addItem(QString::fromLatin1(page));
}

// A caption beside a box of the write/read test, as wide as its text needs.
QLabel* FittedCaption(QWidget* p, const char* name, const QString& text, int x, int y, int w) {
  QLabel* l = Caption(p, name, text, x, y, w);
  PlaceFitted(l, l->geometry());
  return l;
}

int RightOf(const QWidget* w) { return w->x() + w->width(); }

// The "Read/Write/Print Test" group: its frame first, so the controls lie on
// it. Where a caption grew in this font, the control after it moves along the
// row, and the frame grows to hold what grew.
void BuildTestOptions(QWidget* p) {
  auto* frame = Make<QGroupBox>(p, QStringLiteral("FraRWTest"), -1, 410, 466, 228, 98);
  frame->setTitle(QStringLiteral("Read/Write/Print Test"));
  Button(p, "CmdRWTest", -1, QStringLiteral("Test Start"), 414, 482, 58);
  QLabel* count = FittedCaption(p, "LbRWTestCount", QStringLiteral("Test Count :"), 474, 482, 66);
  QLineEdit* countBox = Box(p, "TxtRWTestCount", -1, qMax(542, RightOf(count) + 1), 482, 32);
  countBox->setToolTip(Jp("R/W Testのパス回数を指定します。"));
  Check(p, "ChkRWErrorStop", -1, QStringLiteral("ErrStop"), qMax(574, RightOf(countBox)), 482, 62);
  auto* format = new QButtonGroup(p);
  format->setObjectName(QStringLiteral("OpJISISOGroup"));
  Option(p, format, "OpJISISO", 0, QStringLiteral("JIS"), 414, 502, 42)
      ->setToolTip(Jp("R/W Testの磁気をJISフォーマットにて指定します。"));
  Option(p, format, "OpJISISO", 1, QStringLiteral("ISO"), 458, 502, 44)
      ->setToolTip(Jp("R/W Testの磁気をISOフォーマットにて指定します。"));
  // The length box sits in the blanks of its caption, between "Mag." and
  // "Char", wherever this font puts them.
  const QString magChar = QStringLiteral("Mag.         Char");
  QLabel* mag = FittedCaption(p, "LbRWMagChar", magChar, 504, 502, 92);
  const QFontMetrics fm = mag->fontMetrics();
  const int gapLeft = mag->x() + fm.horizontalAdvance(QStringLiteral("Mag.")) + 1;
  const int gapRight = mag->x() + fm.horizontalAdvance(magChar.left(magChar.lastIndexOf(QLatin1Char(' ')) + 1)) - 1;
  Box(p, "Text12", -1, gapLeft, 502, qMax(0, gapRight - gapLeft))->setToolTip(Jp("磁気の最大Byte数を指定します。"));
  QLabel* modes = FittedCaption(p, "LbRWModes", QStringLiteral("MS:"), 414, 522, 20);
  QLineEdit* msBox = Box(p, "Text17", -1, qMax(434, RightOf(modes) + 1), 522, 72);
  msBox->setToolTip(Jp("R/W にMSコマンドを追加します。"));
  QLabel* wait = FittedCaption(p, "LbRWWait", QStringLiteral("Wait(sec) "), qMax(510, RightOf(msBox) + 4), 522, 56);
  Box(p, "Text8", -1, qMax(566, RightOf(wait)), 522, 30)->setToolTip(Jp("R/W に停止動作を追加します。"));
  Check(p, "Check3", -1, QStringLiteral("Print"), 414, 542, 52)->setToolTip(Jp("R/W に一行印字動作を追加します。"));
  QCheckBox* erase = Check(p, "Check6", -1, QStringLiteral("Erase"), 468, 542, 58);
  erase->setToolTip(Jp("R/W に消去動作を追加します。"));
  erase->setEnabled(false);  // usable only while Print is ticked
  QLineEdit* t11 = Box(p, "Text11", -1, qMax(528, RightOf(erase)), 542, 48);
  Box(p, "Text16", -1, qMax(578, RightOf(t11) + 2), 542, 56);
  int right = RightOf(frame);
  for (QWidget* c : p->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
    if (c != frame && frame->geometry().contains(c->geometry().topLeft())) right = qMax(right, RightOf(c) + 2);
  frame->resize(right - frame->x(), frame->height());
}

QFrame* Line(QWidget* p, int index, int y) {
  auto* line = Make<QFrame>(p, QStringLiteral("LineCom2"), index, 646, y, 166, 3);
  line->setFrameShape(QFrame::HLine);
  line->setFrameShadow(QFrame::Plain);
  return line;
}

void BuildEnlargedArea(QWidget* p) {
  Check(p, "ChkAdminiMode", -1, QStringLiteral("Administrator Mode"), 646, 4, 168);
  int y = 32;
  const auto next = [&y] { return (y += 22) - 22; };
  Check(p, "ChkLCD", -1, QStringLiteral("LCD"), 646, next(), 160);
  Check(p, "ChkEMC", -1, QStringLiteral("EMC"), 646, next(), 160);
  Check(p, "ChkRetry", -1, QStringLiteral("Mag_Er_Retry"), 646, next(), 160)
      ->setToolTip(Jp("磁気エラーリトライ回数を０に設定しません。"));
  Check(p, "ChkRDDT", -1, QStringLiteral("RD+DT"), 646, next(), 160);
  Check(p, "ChkRmargin", -1, QStringLiteral("R_Margin"), 646, next(), 160);
  Check(p, "Chk09RWCode", -1, QStringLiteral("0-9code"), 646, next(), 160);
  Check(p, "Chk27503Tr", -1, QStringLiteral("2750Oe 3Tr"), 646, next(), 160);
  Check(p, "ChkPunch", -1, QStringLiteral("Punch"), 646, next(), 160);
  Check(p, "ChkIRread", -1, QStringLiteral("IR read"), 646, next(), 160);
  Line(p, 0, next() + 8);
  Check(p, "ChkCOM2", -1, QStringLiteral("Com2"), 646, next(), 160);
  auto* second = new QButtonGroup(p);
  second->setObjectName(QStringLiteral("OptCom2Group"));
  Option(p, second, "OptPRT", -1, QStringLiteral("PRT"), 662, next(), 140);
  Option(p, second, "OptLAN", -1, QStringLiteral("LAN"), 662, next(), 140);
  Option(p, second, "OptModem", -1, QStringLiteral("MODEM"), 662, next(), 140);
  Line(p, 1, next() + 8);
}

}  // namespace

ConsoleWidths BuildConsoleControls(QWidget* surface, const ConsoleWidths& designed) {
  BuildStatusRows(surface);
  BuildCommandButtons(surface);
  BuildReplyFields(surface);
  BuildCommandBoxes(surface);
  BuildMaintenance(surface);
  BuildSelfPrint(surface);
  BuildTestOptions(surface);
  BuildEnlargedArea(surface);
  FitChildren(surface);  // captions set after their control was placed
  constexpr int kAnyHeight = 1 << 16;
  const int compact = RoomForChildren(surface, QSize(designed.compact, kAnyHeight)).width();
  // The enlarged area keeps its distance from the compact one.
  const int shift = compact - designed.compact;
  for (QWidget* c : surface->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
    if (c->x() >= designed.compact) c->move(c->x() + shift, c->y());
  return {compact, RoomForChildren(surface, QSize(designed.enlarged + shift, kAnyHeight)).width()};
}

}  // namespace quorel

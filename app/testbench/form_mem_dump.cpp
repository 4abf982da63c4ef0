#include "testbench/form_mem_dump.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDateTime>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTextBlock>
#include <QTimer>

#include "core/device_channel.h"
#include "core/dialogs.h"
#include "core/form_controls.h"
#include "core/main_module.h"
#include "core/main_shell.h"
#include "core/text_room.h"
#include "testbench/mem_dump_file.h"
#include "testbench/mem_dump_text.h"

namespace quorel {
namespace {

// Window and dump-box geometry in twips.
constexpr int kWidthTwips = 9180;
constexpr int kHeightTwips = 10110;
constexpr int kDumpLeftTwips = 60;
constexpr int kDumpTopTwips = 990;
constexpr int kDumpWidthMarginTwips = 200;
constexpr int kDumpHeightMarginTwips = 1100;

int Px(int twips) { return twips / kTwipsPerPixel; }

QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& text = QString()) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  label->setTextFormat(Qt::PlainText);
  return label;
}

QString ForBox(const QString& text) {
  QString t = text;
  t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return t;
}

}  // namespace

FormMEMDump::FormMEMDump(DeviceChannel& channel, QWidget* parent)
    : QWidget(parent), channel_(channel), job_(channel, *this) {
  setObjectName(QStringLiteral("FormMEMDump"));
  setWindowTitle(QStringLiteral("MemoryDump"));
  BuildControls();
  FormLoad();
}

void FormMEMDump::BuildControls() {
  top_ = new QWidget(this);
  auto* grid = new QGridLayout(top_);
  grid->setContentsMargins(4, 2, 4, 0);
  grid->setVerticalSpacing(1);

  grid->addWidget(MakeLabel(top_, QStringLiteral("Label1"), QStringLiteral("開始アドレス")), 0, 0);
  txtAddStart_ = new QLineEdit(top_);
  txtAddStart_->setObjectName(QStringLiteral("TxtAddStart"));
  grid->addWidget(txtAddStart_, 0, 1);
  grid->addWidget(MakeLabel(top_, QStringLiteral("Label2"), QStringLiteral("終了アドレス")), 1, 0);
  txtAddEnd_ = new QLineEdit(top_);
  txtAddEnd_->setObjectName(QStringLiteral("TxtAddEnd"));
  grid->addWidget(txtAddEnd_, 1, 1);
  for (QLineEdit* box : {txtAddStart_, txtAddEnd_}) {
    box->setMaximumWidth(70);
    box->installEventFilter(this);
  }

  const QString presets[] = {QStringLiteral("FF8800-FFB2F0"), QStringLiteral("618000-618FFF")};
  const QString models[] = {QStringLiteral("Mivor"), QStringLiteral("Dastel")};
  for (int i = 0; i < 2; ++i) {
    optadd_[i] = new QRadioButton(presets[i], top_);
    optadd_[i]->setObjectName(ControlKey(QStringLiteral("Optadd"), i));
    optadd_[i]->setToolTip(models[i]);
    grid->addWidget(optadd_[i], i, 2);
    QObject::connect(optadd_[i], &QRadioButton::clicked, this, [this, i] { OptaddClick(i); });
  }

  cmdDumpStart_ = new QPushButton(MemDumpJob::kStartCaption, top_);
  cmdDumpStart_->setObjectName(QStringLiteral("CmdDumpStart"));
  grid->addWidget(cmdDumpStart_, 0, 3);
  chkDumpMonitor_ = new QCheckBox(QStringLiteral("Monitor ON"), top_);
  chkDumpMonitor_->setObjectName(QStringLiteral("ChkDumpMonitor"));
  grid->addWidget(chkDumpMonitor_, 1, 3);

  txtJumpFind_ = new QLineEdit(top_);
  txtJumpFind_->setObjectName(QStringLiteral("TxtJumpFind"));
  grid->addWidget(txtJumpFind_, 0, 4);
  cmdJumpFind_ = new QPushButton(QStringLiteral("Find"), top_);
  cmdJumpFind_->setObjectName(QStringLiteral("CmdJumpFind"));
  grid->addWidget(cmdJumpFind_, 0, 5);
  progressBarMem_ = new QProgressBar(top_);
  progressBarMem_->setObjectName(QStringLiteral("ProgressBarMem"));
  progressBarMem_->setTextVisible(false);
  progressBarMem_->setMaximumHeight(14);
  grid->addWidget(progressBarMem_, 1, 4);
  lbPercent_ = MakeLabel(top_, QStringLiteral("LbPercent"));
  grid->addWidget(lbPercent_, 1, 5);

  command2_ = new QPushButton(QStringLiteral("Save"), top_);
  command2_->setObjectName(QStringLiteral("Command2"));
  command2_->setToolTip(QStringLiteral("デバイスのデータを保存します。"));
  grid->addWidget(command2_, 0, 6);
  chkAdminiMode_ = new QCheckBox(QStringLiteral("Administrator Mode"), top_);
  chkAdminiMode_->setObjectName(QStringLiteral("ChkAdminiMode"));
  chkAdminiMode_->setToolTip(QStringLiteral("チェックすると次回からパスワードを聞いてこない。"));
  grid->addWidget(chkAdminiMode_, 1, 6);

  lbGetAdd_ = MakeLabel(top_, QStringLiteral("LbGetAdd"), QStringLiteral("FF8800"));
  grid->addWidget(lbGetAdd_, 2, 0, 1, 7);
  grid->setColumnStretch(4, 1);

  dumpHex_ = new QPlainTextEdit(this);
  dumpHex_->setObjectName(QStringLiteral("DumpHex"));
  dumpHex_->setLineWrapMode(QPlainTextEdit::NoWrap);
  QFont font(QStringLiteral("ＭＳ ゴシック"));
  font.setFamilies({QStringLiteral("ＭＳ ゴシック"), QStringLiteral("MS Gothic"), QStringLiteral("monospace")});
  font.setStyleHint(QFont::TypeWriter);
  dumpHex_->setFont(font);
  dumpHex_->installEventFilter(this);

  QObject::connect(cmdDumpStart_, &QPushButton::clicked, this, [this] { job_.Click(); });
  QObject::connect(cmdJumpFind_, &QPushButton::clicked, this, [this] { JumpFind(); });
  QObject::connect(command2_, &QPushButton::clicked, this, [this] { SaveClick(); });
  QObject::connect(chkAdminiMode_, &QCheckBox::clicked, this, [this] { ChkAdminiModeClick(); });
}

void FormMEMDump::FormLoad() {
  SetBoxText(txtAddStart_, QStringLiteral("FF8800"));
  SetBoxText(txtAddEnd_, QStringLiteral("FFB2F0"));
  // The row of controls above the dump keeps every caption and address
  // whole (the addresses as the load sets them): the window is never
  // narrower than that row needs.
  for (QLineEdit* box : {txtAddStart_, txtAddEnd_}) {
    const int room = TextRoom(box).width();
    box->setMinimumWidth(room);
    box->setMaximumWidth(qMax(box->maximumWidth(), room));
  }
  setMinimumWidth(top_->minimumSizeHint().width());
  resize(Px(kWidthTwips), Px(kHeightTwips));
  if (const QScreen* s = screen()) {
    const QRect r = s->geometry();
    move(r.width() / 2 - width() / 2, r.height() / 2 - height() / 2);
  }
  if (mm().gAdminMode == 1) chkAdminiMode_->setChecked(true);
  dumpHex_->clear();
  command2_->setEnabled(false);
}

void FormMEMDump::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (isMinimized()) return;
  top_->setGeometry(0, 0, width(), Px(kDumpTopTwips));
  dumpHex_->setGeometry(Px(kDumpLeftTwips), Px(kDumpTopTwips), width() - Px(kDumpWidthMarginTwips),
                        height() - Px(kDumpHeightMarginTwips));
}

void FormMEMDump::closeEvent(QCloseEvent* event) {
  job_.Close();
  event->accept();
}

void FormMEMDump::OptaddClick(int index) {
  if (index == 0) {
    SetBoxText(txtAddStart_, QStringLiteral("FF8800"));
    SetBoxText(txtAddEnd_, QStringLiteral("FFB2F0"));
  } else if (index == 1) {
    SetBoxText(txtAddStart_, QStringLiteral("618000"));
    SetBoxText(txtAddEnd_, QStringLiteral("618FFF"));
  }
}

bool FormMEMDump::eventFilter(QObject* watched, QEvent* event) {
  if (watched == txtAddStart_ || watched == txtAddEnd_) return AddressBoxEvent(static_cast<QLineEdit*>(watched), event);
  if (watched == dumpHex_ && event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F3) {
    JumpFind();
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

bool FormMEMDump::AddressBoxEvent(QLineEdit* box, QEvent* event) {
  switch (event->type()) {
    case QEvent::FocusIn:
      // After the click that gave the focus has placed the caret.
      QTimer::singleShot(0, box, [box] { box->setSelection(0, 6); });
      return false;
    case QEvent::FocusOut: {
      const QString text = NormalizeAddress(box->text());
      SetBoxText(box, text);
      if (box == txtAddStart_) lbGetAdd_->setText(text);
      return false;
    }
    case QEvent::KeyPress: {
      const int key = static_cast<QKeyEvent*>(event)->key();
      const bool forward =
          key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Down || key == Qt::Key_PageDown;
      const bool back = key == Qt::Key_Up || key == Qt::Key_PageUp;
      if (forward) {
        (box == txtAddStart_ ? static_cast<QWidget*>(txtAddEnd_) : cmdDumpStart_)->setFocus(Qt::TabFocusReason);
        return true;
      }
      if (back && box == txtAddEnd_) {
        txtAddStart_->setFocus(Qt::BacktabFocusReason);
        return true;
      }
      return false;
    }
    default:
      return false;
  }
}

void FormMEMDump::JumpFind() {
  const QString what = txtJumpFind_->text();
  qsizetype from = 0;
  for (;;) {
    const std::optional<DumpMatch> match = FindInDump(dumpHex_->toPlainText(), what, from);
    if (!match) {
      QTextCursor c = dumpHex_->textCursor();
      c.setPosition(0);
      dumpHex_->setTextCursor(c);
      MsgBox(QStringLiteral("検索文字列が見つかりませんでした"), BoxButtons::kOk, BoxIcon::kNone,
             QStringLiteral("MemoryDump"));
      return;
    }
    QTextCursor c = dumpHex_->textCursor();
    c.setPosition(static_cast<int>(match->position));
    c.setPosition(static_cast<int>(match->position + match->length), QTextCursor::KeepAnchor);
    dumpHex_->setTextCursor(c);
    if (MsgBox(QStringLiteral("次を検索しますか?"), BoxButtons::kYesNo) != BoxAnswer::kYes) return;
    from = match->position + match->length;
  }
}

void FormMEMDump::SaveClick() { SaveDumpFile(dumpHex_->toPlainText(), QDateTime::currentDateTime()); }

void FormMEMDump::ChkAdminiModeClick() {
  WidgetControls ui;
  ui.Add(chkAdminiMode_);
  AdminModeClick(ui);
}

void FormMEMDump::poll() { channel_.poll(); }
void FormMEMDump::comu() { channel_.comu(); }
void FormMEMDump::commIni() { channel_.commIni(); }
void FormMEMDump::logDisp(const QString& text) { channel_.logDisp(text); }

// ---- what the dump shows ----

void FormMEMDump::ShowCaption(const QString& caption) { cmdDumpStart_->setText(caption); }

void FormMEMDump::SetLocked(bool locked) {
  txtAddStart_->setReadOnly(locked);
  txtAddEnd_->setReadOnly(locked);
  for (QRadioButton* o : optadd_) o->setEnabled(!locked);
  txtJumpFind_->setEnabled(!locked);
  cmdJumpFind_->setEnabled(!locked);
  chkDumpMonitor_->setEnabled(!locked);
}

void FormMEMDump::SetSaveEnabled(bool enabled) { command2_->setEnabled(enabled); }

void FormMEMDump::SetDumpText(const QString& text) { dumpHex_->setPlainText(ForBox(text)); }

void FormMEMDump::AppendDumpText(const QString& text) {
  QTextCursor c = dumpHex_->textCursor();
  c.movePosition(QTextCursor::End);
  c.insertText(ForBox(text));
  dumpHex_->setTextCursor(c);
  dumpHex_->ensureCursorVisible();
}

void FormMEMDump::ShowLastLine(const QString& line) { lbGetAdd_->setText(line); }

void FormMEMDump::SetProgressRange(int minimum, int maximum) { progressBarMem_->setRange(minimum, maximum); }
void FormMEMDump::SetProgress(int value) { progressBarMem_->setValue(value); }
void FormMEMDump::ShowPercent(const QString& text) { lbPercent_->setText(text); }
QString FormMEMDump::StartText() const { return txtAddStart_->text(); }
QString FormMEMDump::EndText() const { return txtAddEnd_->text(); }
void FormMEMDump::SetStartText(const QString& text) { SetBoxText(txtAddStart_, text); }
void FormMEMDump::SetEndText(const QString& text) { SetBoxText(txtAddEnd_, text); }
bool FormMEMDump::Monitor() const { return chkDumpMonitor_->isChecked(); }

}  // namespace quorel

#include "testbench/form_yarsel.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

#include "core/device_channel.h"
#include "core/form_controls.h"
#include "core/main_module.h"
#include "core/main_shell.h"

namespace quorel {
namespace {

QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& text = QString()) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  label->setTextFormat(Qt::PlainText);
  return label;
}

}  // namespace

FormYarsel::FormYarsel(DeviceChannel& channel, QWidget* parent)
    : QWidget(parent), channel_(channel), run_(channel, *this) {
  setObjectName(QStringLiteral("FormYarsel"));
  setWindowTitle(QStringLiteral("Yarsel Test"));
  BuildControls();
  FormLoad();
}

void FormYarsel::BuildControls() {
  auto* grid = new QGridLayout(this);
  lbMsg_ = MakeLabel(this, QStringLiteral("LbMsg"));
  lbMsg_->setMinimumHeight(24);
  grid->addWidget(lbMsg_, 0, 0, 1, 4);

  const QString captions[] = {QStringLiteral("Ver:"), QStringLiteral("Ans:"), QStringLiteral("Error:")};
  for (int i = 0; i < 3; ++i)
    grid->addWidget(MakeLabel(this, ControlKey(QStringLiteral("LbYarselTest"), i), captions[i]), 1 + i, 0);
  lbVS_ = MakeLabel(this, QStringLiteral("LbVS"));
  grid->addWidget(lbVS_, 1, 1, 1, 3);
  lbAns_ = MakeLabel(this, QStringLiteral("LbAns"));
  lbAns_->setMinimumWidth(90);
  lbAns_->setAlignment(Qt::AlignCenter);
  grid->addWidget(lbAns_, 2, 1);
  lbError_ = MakeLabel(this, QStringLiteral("LbError"));
  grid->addWidget(lbError_, 3, 1);

  lbPassCount_ = MakeLabel(this, QStringLiteral("LbPassCount"));
  lbPassCount_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  grid->addWidget(lbPassCount_, 3, 2);
  txtCount_ = new QLineEdit(this);
  txtCount_->setObjectName(QStringLiteral("TxtCount"));
  txtCount_->setMaximumWidth(80);
  grid->addWidget(txtCount_, 3, 3);

  lbTrackData_ = MakeLabel(this, QStringLiteral("LbTrackData"));
  lbTrackData_->setFrameShape(QFrame::Panel);
  lbTrackData_->setFrameShadow(QFrame::Sunken);
  lbTrackData_->setMinimumHeight(64);
  lbTrackData_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  QFont fixed(QStringLiteral("monospace"));
  fixed.setStyleHint(QFont::TypeWriter);
  lbTrackData_->setFont(fixed);
  grid->addWidget(lbTrackData_, 4, 0, 1, 4);

  chkMargin_ = new QCheckBox(QStringLiteral("Margin Read"), this);
  chkMargin_->setObjectName(QStringLiteral("ChkMargin"));
  grid->addWidget(chkMargin_, 5, 0, 1, 2);
  cmdTest_ = new QPushButton(CardReadRun::kStartCaption, this);
  cmdTest_->setObjectName(QStringLiteral("CmdTest"));
  grid->addWidget(cmdTest_, 5, 2, 1, 2);
  chkAdminiMode_ = new QCheckBox(QStringLiteral("Administrator Mode"), this);
  chkAdminiMode_->setObjectName(QStringLiteral("ChkAdminiMode"));
  chkAdminiMode_->setToolTip(QStringLiteral("チェックすると次回からパスワードを聞いてこない。"));
  grid->addWidget(chkAdminiMode_, 6, 0, 1, 4);
  grid->setColumnStretch(1, 1);

  QObject::connect(cmdTest_, &QPushButton::clicked, this, [this] { run_.Click(); });
  QObject::connect(chkAdminiMode_, &QCheckBox::clicked, this, [this] { ChkAdminiModeClick(); });
}

void FormYarsel::FormLoad() {
  resize(420, 300);
  if (const QScreen* s = screen()) {
    const QRect r = s->geometry();
    move(r.width() / 2 - width() / 2, r.height() / 2 - height() / 2);
  }
  if (mm().gAdminMode == 1) chkAdminiMode_->setChecked(true);
  run_.Load();
}

void FormYarsel::ChkAdminiModeClick() {
  WidgetControls ui;
  ui.Add(chkAdminiMode_);
  AdminModeClick(ui);
}

void FormYarsel::closeEvent(QCloseEvent* event) {
  run_.RequestStop();
  event->accept();
}

void FormYarsel::poll() { channel_.poll(); }
void FormYarsel::comu() { channel_.comu(); }
void FormYarsel::commIni() { channel_.commIni(); }

// ---- what the run shows ----

void FormYarsel::ShowCaption(const QString& caption) { cmdTest_->setText(caption); }

void FormYarsel::SetInputsLocked(bool locked) {
  txtCount_->setReadOnly(locked);
  chkMargin_->setEnabled(!locked);
}

void FormYarsel::ShowMessage(const QString& text) { lbMsg_->setText(text); }

void FormYarsel::ShowAnswer(const QString& head, bool good) {
  lbAns_->setText(head);
  // Bright green or bright red; no verdict leaves the window's own colour.
  PaintBackColor(lbAns_, head.isEmpty() ? kButtonFace : good ? 0x00FF00 : 0x0000FF);
}

void FormYarsel::ShowVersion(const QString& text) { lbVS_->setText(text); }

void FormYarsel::ShowTrackData(const QString& text) {
  QString shown = text;
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  lbTrackData_->setText(shown);
}

void FormYarsel::ShowErrors(const QString& text) { lbError_->setText(text); }
void FormYarsel::ShowPassCount(const QString& text) { lbPassCount_->setText(text); }
QString FormYarsel::CountText() const { return txtCount_->text(); }
void FormYarsel::SetCountText(const QString& text) { SetBoxText(txtCount_, text); }
bool FormYarsel::MarginTicked() const { return chkMargin_->isChecked(); }

}  // namespace quorel

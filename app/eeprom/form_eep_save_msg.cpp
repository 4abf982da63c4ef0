#include "eeprom/form_eep_save_msg.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "core/dialogs.h"
#include "core/main_module.h"
#include "core/main_shell.h"
#include "core/text_room.h"
#include "eeprom/eep_report.h"

namespace quorel::eep {

namespace {

QRect Twips(int left, int top, int width, int height) {
  return QRect(left / kTwipsPerPixel, top / kTwipsPerPixel, width / kTwipsPerPixel, height / kTwipsPerPixel);
}

}  // namespace

FormEEPSaveMsg::FormEEPSaveMsg(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("FormEEPSaveMsg"));
  setWindowTitle(QStringLiteral("EEP_Save_Message"));
  auto* label = new QLabel(this);
  label->setObjectName(QStringLiteral("LbEEPSaveMsg"));
  label->setFont(QFont(QStringLiteral("ＭＳ ゴシック")));
  label->setWordWrap(true);
  label->setText(QStringLiteral("製品のシリアルNo.を入力してください\n(必要のないときはOK又はEnterで進んでください)"));
  PlaceFitted(label, Twips(120, 120, 3465, 915));

  csv_ = new QCheckBox(QStringLiteral("CSV (CSV出力するときはチェック)"), this);
  csv_->setObjectName(QStringLiteral("ChEEPSaveCSV"));
  csv_->setFont(QFont(QStringLiteral("ＭＳ ゴシック")));
  PlaceFitted(csv_, Twips(150, 1110, 3405, 180));
  csv_->setToolTip(QStringLiteral("デバイスのデータをCSV形式で保存します"));

  serial_ = new QLineEdit(this);
  serial_->setObjectName(QStringLiteral("TxtEEPSaveMsg"));
  serial_->setFont(QFont(QStringLiteral("Arial")));
  serial_->setGeometry(Twips(120, 1320, 3465, 375));
  connect(serial_, &QLineEdit::returnPressed, this, [this] { OkClick(0); });

  const QString captions[] = {QStringLiteral("OK"), QStringLiteral("Cancel")};
  const int lefts[] = {300, 2100};
  for (int i = 0; i < 2; ++i) {
    auto* button = new QPushButton(captions[i], this);
    button->setObjectName(QStringLiteral("OKEEPSaveMsg_%1").arg(i));
    button->setFont(QFont(QStringLiteral("Arial")));
    PlaceFitted(button, Twips(lefts[i], 1830, 1155, 435));
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, [this, i] { OkClick(i); });
  }
  // The designed size, or more where this font needs it.
  setFixedSize(RoomForChildren(this, QSize(3735 / kTwipsPerPixel, 2310 / kTwipsPerPixel)));
  mm().gReportSerial.clear();
}

void FormEEPSaveMsg::OkClick(int index) {
  MainModule& m = mm();
  if (index == 0) {
    m.gReportSerial = ReportSerial(serial_->text());
    m.gReportSeparator = ReportSeparator(csv_->isChecked());
    m.gReportPromptResult = 0;
    accept();
  } else {
    m.gReportPromptResult = -1;
    reject();
  }
}

void FormEEPSaveMsg::keyPressEvent(QKeyEvent* event) {
  // Enter means OK only in the serial box (its returnPressed); elsewhere it
  // does not press a default button. Esc is the close box (sets nothing).
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) return;
  QDialog::keyPressEvent(event);
}

void FormEEPSaveMsg::Ask() {
  FormEEPSaveMsg prompt;
  Dialogs().Modal(prompt);
}

}  // namespace quorel::eep

#include "tools/version_disp.h"

#include <QEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <limits>

#include "core/form_controls.h"
#include "core/main_menus.h"
#include "core/main_module.h"
#include "core/password_prompt.h"
#include "tools/quorel_version_info.h"

namespace quorel {
namespace {

// The picture: a card with its magnetic stripe and print area.
QPixmap CardPicture() {
  QPixmap pm(96, 64);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(40, 60, 110), 2));
  p.setBrush(QColor(225, 235, 250));
  p.drawRoundedRect(QRectF(3, 5, 90, 54), 6, 6);
  p.fillRect(QRectF(4, 14, 88, 10), QColor(30, 30, 30));
  p.setPen(QPen(QColor(90, 110, 160), 1));
  for (int i = 0; i < 3; ++i) p.drawLine(QPointF(12, 34 + i * 7), QPointF(i == 2 ? 52 : 80, 34 + i * 7));
  return pm;
}

}  // namespace

AboutTexts ProgramAboutTexts() {
  AboutTexts t;
  t.fileDescription = QStringLiteral(QUOREL_INFO_FILE_DESCRIPTION);
  t.titleAndVersion =
      QStringLiteral(QUOREL_INFO_TITLE) + QStringLiteral("\u3000Version ") +
      QStringLiteral("%1.%2.%3").arg(QUOREL_INFO_MAJOR).arg(QUOREL_INFO_MINOR).arg(QUOREL_INFO_REVISION);
  t.comments = QStringLiteral(QUOREL_INFO_COMMENTS);
  t.legalNotice = QStringLiteral(QUOREL_INFO_LEGAL_COPYRIGHT);
  return t;
}

bool VersionPictureDoubleClick() {
  MainModule& m = mm();
  // Counted for the whole run; it never wraps.
  if (m.gVersionClickCount < std::numeric_limits<int16_t>::max()) ++m.gVersionClickCount;
  if (m.gVersionClickCount < 3 || m.gAdminMode == 1) return false;
  if (!PasswordGate()) return false;
  ShowAdminMenus(1);
  return true;
}

VersionDisp::VersionDisp() {
  setObjectName(QStringLiteral("VersionDisp"));
  setWindowTitle(QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));
  setFixedSize(372, 160);
  installEventFilter(this);  // keys on the window itself

  image_ = new QLabel(this);
  image_->setObjectName(QStringLiteral("ImageVersion"));
  image_->setGeometry(12, 14, 96, 64);
  image_->setPixmap(CardPicture());
  image_->installEventFilter(this);

  const QFont arial(QStringLiteral("Arial"), 9);
  for (int i = 1; i <= 4; ++i) {
    auto* text = new QLineEdit(this);
    text->setObjectName(QStringLiteral("Text%1").arg(i));
    text->setGeometry(120, 10 + (i - 1) * 26, 240, 22);
    text->setReadOnly(true);
    text->setFrame(false);
    text->setFont(arial);
    text->installEventFilter(this);
  }
  ok_ = new QPushButton(QStringLiteral("OK"), this);
  ok_->setObjectName(QStringLiteral("Command1"));
  ok_->setGeometry(282, 122, 78, 28);
  ok_->installEventFilter(this);
  connect(ok_, &QPushButton::clicked, this, &QWidget::hide);

  // Form_Load: centred on the screen, the texts filled.
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect s = screen->geometry();
    move(s.x() + (s.width() - width()) / 2, s.y() + (s.height() - height()) / 2);
  }
  FillTexts();
}

void VersionDisp::FillTexts() {
  const AboutTexts t = ProgramAboutTexts();
  const QString texts[4] = {t.fileDescription, t.titleAndVersion, t.comments, t.legalNotice};
  for (int i = 0; i < 4; ++i) SetBoxText(findChild<QLineEdit*>(QStringLiteral("Text%1").arg(i + 1)), texts[i]);
}

bool VersionDisp::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    hide();  // any key on the window or its button
    return true;
  }
  if (watched == image_ && event->type() == QEvent::MouseButtonDblClick) {
    ImageVersion_DblClick();
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

void VersionDisp::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && !isActiveWindow() && isVisible() && !asking_) hide();
}

void VersionDisp::ImageVersion_DblClick() {
  asking_ = true;
  VersionPictureDoubleClick();
  asking_ = false;
}

}  // namespace quorel

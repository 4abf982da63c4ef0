#include "print/picture_box.h"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>

#include "print/print_area_layout.h"

namespace quorel {

PictureBox::PictureBox(QWidget* parent) : QFrame(parent) {
  setFrameStyle(QFrame::Panel | QFrame::Sunken);
  setLineWidth(kPictureBorder);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureBox::SetImage(const QImage* image) {
  image_ = image;
  update();
}

void PictureBox::paintEvent(QPaintEvent* event) {
  {
    QPainter p(this);
    const QRect inside = contentsRect();
    p.fillRect(rect(), palette().window());
    p.fillRect(inside, Qt::white);
    if (image_ && !image_->isNull()) {
      p.setClipRect(inside);
      p.drawImage(inside.topLeft(), *image_);
    }
  }
  QFrame::paintEvent(event);
}

void PictureBox::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && doubleClick_) doubleClick_();
  QFrame::mouseDoubleClickEvent(event);
}

}  // namespace quorel

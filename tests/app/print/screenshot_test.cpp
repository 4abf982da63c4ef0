// Pictures of the bitmap window for the eye, written to the build folder:
// area 2 with its five message rows around a 320 x 300 picture, and area 1
// with a 320 x 600 picture. The picture box's inside is asserted to be the
// area, one pixel per dot.
#include <QDir>
#include <QPixmap>
#include <QPainter>
#include <cstdio>

#include "form_bmp_fixture.h"
#include <QFrame>

namespace quorel {
namespace {

using testing::FormBmpTest;

// A card-like test picture: a frame, a diagonal, a dark block and grey steps.
QImage CardArt(int w, int h) {
  QImage img(w, h, QImage::Format_RGB32);
  img.fill(Qt::white);
  QPainter p(&img);
  p.setPen(QPen(Qt::black, 3));
  p.drawRect(1, 1, w - 3, h - 3);
  p.drawLine(0, 0, w - 1, h - 1);
  p.fillRect(20, 20, 80, 40, Qt::black);
  for (int i = 0; i < 8; ++i) p.fillRect(20 + 34 * i, h - 60, 30, 30, QColor::fromRgb(i * 32, i * 32, i * 32));
  return img;
}

QString Shoot(QWidget& w, const char* name) {
  QDir().mkpath(QStringLiteral(QUOREL_SCREENSHOT_DIR));
  const QString path = QStringLiteral(QUOREL_SCREENSHOT_DIR "/") + QString::fromLatin1(name);
  const QPixmap shot = w.grab();
  EXPECT_FALSE(shot.isNull());
  EXPECT_TRUE(shot.save(path));
  std::printf("screenshot: %s (%dx%d)\n", qPrintable(path), shot.width(), shot.height());
  return path;
}

TEST_F(FormBmpTest, ScreenshotAreaTwoWithMessageRows) {
  Put(QStringLiteral("PrintArea"), QStringLiteral("2"));
  Put(QStringLiteral("FileName2"), Picture(QStringLiteral("card300.bmp"), CardArt(320, 300)));
  Put(QStringLiteral("TranceMode"), QStringLiteral("1"));
  Put(QStringLiteral("BufferSizeByte"), QStringLiteral("2048"));
  const char* lines[] = {"Top message", "Line one", "Line two", "Line three", "Line four"};
  for (int i = 0; i < 5; ++i) Put(QStringLiteral("Line%1").arg(i), QString::fromLatin1(lines[i]));
  FormBMP& f = Open();
  f.show();
  auto* box = ui().Get<QFrame>(QStringLiteral("PicBMPField"));
  EXPECT_EQ(box->contentsRect().size(), QSize(320, 300));
  EXPECT_EQ(f.picture().view().size(), QSize(320, 300));
  for (int i = 0; i < 5; ++i) EXPECT_TRUE(ui().Get<QWidget>(QStringLiteral("TxtMsgLine"), i)->isVisible()) << i;
  // Message rows sit inside the frame, clear of the picture box.
  const QRect pic = box->geometry();
  EXPECT_LT(ui().Get<QWidget>(QStringLiteral("TxtMsgLine"), 0)->geometry().bottom(), pic.top());
  EXPECT_GT(ui().Get<QWidget>(QStringLiteral("TxtMsgLine"), 1)->geometry().top(), pic.bottom());
  Shoot(f, "FormBMP-area2.png");
}

TEST_F(FormBmpTest, ScreenshotAreaOneTall) {
  Put(QStringLiteral("PrintArea"), QStringLiteral("1"));
  Put(QStringLiteral("FileName1"), Picture(QStringLiteral("card600.bmp"), CardArt(320, 600)));
  FormBMP& f = Open();
  f.show();
  auto* box = ui().Get<QFrame>(QStringLiteral("PicBMPField"));
  EXPECT_EQ(box->contentsRect().size(), QSize(320, 600));
  EXPECT_EQ(f.picture().view().size(), QSize(320, 600));
  for (int i = 0; i < 5; ++i) EXPECT_FALSE(ui().Get<QWidget>(QStringLiteral("TxtMsgLine"), i)->isVisible()) << i;
  // The whole frame fits in the window.
  const QWidget* frame = ui().Get<QWidget>(QStringLiteral("FramePic"));
  EXPECT_LE(frame->mapTo(&f, QPoint(0, frame->height())).y(), f.height());
  Shoot(f, "FormBMP-area1.png");
}

}  // namespace
}  // namespace quorel

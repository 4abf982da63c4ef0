// The picture display without the window: loading through the gate, the
// zoom's stretch sizes, the scroll set-up and the view each area shows.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cstring>

#include "picture_files.h"
#include "print/picture_view.h"

namespace quorel {
namespace {

using testing::BmpOf;
using testing::MakeBmp;
using testing::Pattern;

QByteArray ViewBytes(const PictureView& v) {
  const QImage& img = v.view();
  QByteArray out;
  for (int y = 0; y < img.height(); ++y)
    out.append(reinterpret_cast<const char*>(img.constScanLine(y)), img.width() * 3);
  return out;
}

QRgb ViewPixel(const PictureView& v, int x, int y) { return v.view().pixel(x, y) & 0xFFFFFF; }

TEST(Display, FullSizePictureAtHundredPercentInAreaZero) {
  PictureView v;
  ASSERT_EQ(v.LoadBytes(BmpOf(Pattern(320, 460))), PictureLoad::kLoaded);
  v.SetZoom(100);
  EXPECT_EQ(v.stretchSize(), QSize(320, 460));
  const ScrollSetting s = v.ScrollSetup(PrintAreaAt(0));
  EXPECT_EQ(s.hMax, 1);
  EXPECT_EQ(s.vMax, 1);
  EXPECT_EQ(s.hValue, 0);  // half of 1, to even
  EXPECT_EQ(s.vValue, 0);
  v.Refresh(PrintAreaAt(0), s.hValue, s.vValue);
  // The view is the whole area: its last column and row are painted too.
  ASSERT_EQ(v.view().size(), QSize(320, 460));
  const QImage src = Pattern(320, 460);
  for (const QPoint p : {QPoint(0, 0), QPoint(319, 0), QPoint(0, 459), QPoint(319, 459), QPoint(123, 234)})
    EXPECT_EQ(ViewPixel(v, p.x(), p.y()), src.pixel(p) & 0xFFFFFF) << p.x() << "," << p.y();
}

TEST(Display, HalfSizeAtDoubleZoomIsItsPixelDoubledCopy) {
  PictureView half;
  ASSERT_EQ(half.LoadBytes(BmpOf(Pattern(160, 230))), PictureLoad::kLoaded);
  half.SetZoom(100);
  ScrollSetting s = half.ScrollSetup(PrintAreaAt(0));
  EXPECT_EQ(s.hMax, 0);  // negative maxima become 0
  EXPECT_EQ(s.vMax, 0);
  half.Refresh(PrintAreaAt(0), 0, 0);
  EXPECT_EQ(ViewPixel(half, 159, 229), Pattern(160, 230).pixel(159, 229) & 0xFFFFFF);
  EXPECT_EQ(ViewPixel(half, 160, 0), 0xFFFFFFu);  // beyond the picture: paper
  EXPECT_EQ(ViewPixel(half, 0, 230), 0xFFFFFFu);

  half.SetZoom(200);
  EXPECT_EQ(half.stretchSize(), QSize(320, 460));
  s = half.ScrollSetup(PrintAreaAt(0));
  half.Refresh(PrintAreaAt(0), s.hValue, s.vValue);

  PictureView full;
  ASSERT_EQ(full.LoadBytes(BmpOf(testing::PixelMultiplied(Pattern(160, 230), 2))), PictureLoad::kLoaded);
  full.SetZoom(100);
  const ScrollSetting f = full.ScrollSetup(PrintAreaAt(0));
  full.Refresh(PrintAreaAt(0), f.hValue, f.vValue);
  EXPECT_EQ(s.hMax, f.hMax);
  EXPECT_EQ(s.vMax, f.vMax);
  EXPECT_TRUE(ViewBytes(half) == ViewBytes(full));
}

TEST(Display, StretchRoundsHalvesToEven) {
  PictureView v;
  ASSERT_EQ(v.LoadBytes(BmpOf(Pattern(100, 10))), PictureLoad::kLoaded);
  v.SetZoom(33);
  EXPECT_EQ(v.stretchSize(), QSize(33, 3));  // 3.3 -> 3
  v.SetZoom(25);
  EXPECT_EQ(v.stretchSize(), QSize(25, 2));  // 2.5 -> 2
  v.SetZoom(150);
  EXPECT_EQ(v.stretchSize(), QSize(150, 15));
  EXPECT_EQ(RoundHalfEven(0.5), 0);
  EXPECT_EQ(RoundHalfEven(1.5), 2);
  EXPECT_EQ(RoundHalfEven(2.5), 2);
}

TEST(Display, ScrollMiddleAndOffsetView) {
  PictureView v;
  ASSERT_EQ(v.LoadBytes(BmpOf(Pattern(400, 700))), PictureLoad::kLoaded);
  v.SetZoom(100);
  const ScrollSetting s = v.ScrollSetup(PrintAreaAt(2));
  EXPECT_EQ(s.hMax, 81);  // 400 - 319
  EXPECT_EQ(s.hValue, 40);
  EXPECT_EQ(s.vMax, 401);  // 700 - 299
  EXPECT_EQ(s.vValue, 200);
  v.Refresh(PrintAreaAt(2), s.hValue, s.vValue);
  ASSERT_EQ(v.view().size(), QSize(320, 300));
  const QImage src = Pattern(400, 700);
  EXPECT_EQ(ViewPixel(v, 0, 0), src.pixel(40, 200) & 0xFFFFFF);
  EXPECT_EQ(ViewPixel(v, 319, 299), src.pixel(359, 499) & 0xFFFFFF);
  // The bars at their maxima show the last column and row of the picture.
  v.Refresh(PrintAreaAt(2), s.hMax, s.vMax);
  EXPECT_EQ(ViewPixel(v, 318, 298), src.pixel(399, 699) & 0xFFFFFF);
  EXPECT_EQ(ViewPixel(v, 319, 299), 0xFFFFFFu);
}

// A large picture at a high zoom: 32-bit sizes, and only the view is made.
TEST(Display, LargeZoomNeedsNoZoomedCopy) {
  QImage big(9000, 40, QImage::Format_RGB32);
  big.fill(qRgb(255, 255, 255));
  big.setPixel(8999, 39, qRgb(0, 0, 0));
  PictureView v;
  ASSERT_TRUE(v.SetPicture(big));
  v.SetZoom(400);
  EXPECT_EQ(v.stretchSize(), QSize(36000, 160));  // past 16 bits
  const ScrollSetting s = v.ScrollSetup(PrintAreaAt(0));
  EXPECT_EQ(s.hMax, 36000 - 319);
  v.Refresh(PrintAreaAt(0), s.hMax, 0);
  // The last source pixel fills the last 4 x 4 zoomed pixels, shown at columns 315-318, rows 156-159.
  EXPECT_EQ(ViewPixel(v, 318, 159), 0u);
  EXPECT_EQ(ViewPixel(v, 315, 156), 0u);
  EXPECT_EQ(ViewPixel(v, 314, 156), 0xFFFFFFu);
  EXPECT_EQ(ViewPixel(v, 319, 159), 0xFFFFFFu);
  EXPECT_EQ(v.view().size(), QSize(320, 460));
}

TEST(Display, CorruptFilesKeepTheOldPicture) {
  PictureView v;
  ASSERT_EQ(v.LoadBytes(BmpOf(Pattern(20, 10))), PictureLoad::kLoaded);
  const QImage before = v.picture();
  const auto white = [](int, int) { return 0xFFFFFFFFu; };
  const QByteArray bad[] = {
      QByteArray("BM not a bitmap at all"),
      MakeBmp(20, 10, 24, white).left(200),                 // rows missing
      MakeBmp(20, 10, 8, white, 1),                         // RLE, which the library refuses
      MakeBmp(20, 10, 24, white, 4),                        // an embedded JPEG
      testing::Encoded(Pattern(8, 8), "PNG"),               // a kind the library does not take
      QByteArray(),
  };
  for (const QByteArray& b : bad) {
    EXPECT_EQ(v.LoadBytes(b), PictureLoad::kNotPicture) << b.left(8).toHex().toStdString();
    EXPECT_EQ(v.picture(), before);
  }
  EXPECT_EQ(v.LoadFile(QStringLiteral("/nonexistent/x.bmp")), PictureLoad::kNoFile);
  EXPECT_EQ(v.picture(), before);
}

// A paletted picture's pixels must name colours its palette holds: the
// decoder would paint any other from memory it never filled, differently
// from one load to the next.
TEST(Display, PaletteIndexesPastThePaletteAreRefused) {
  PictureView v;
  const std::vector<uint32_t> two = {0x000000, 0xFF0000};
  ASSERT_EQ(v.LoadBytes(testing::MakePalettedBmp(5, 3, two, [](int x, int) { return static_cast<uint8_t>(x & 1); })),
            PictureLoad::kLoaded);
  EXPECT_EQ(v.picture().pixel(1, 0) & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(v.LoadBytes(testing::MakePalettedBmp(5, 3, two, [](int x, int y) { return static_cast<uint8_t>(x == 4 && y == 2 ? 2 : 0); })),
            PictureLoad::kNotPicture);
  EXPECT_EQ(v.clipSize(), QSize(5, 3));
}

long MaxRssKb() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_maxrss;
}

// 10000 x 10000 is 100 Mpixel, past the 64 Mpixel the downloads take: every
// kind is refused from its header, before any decoder allocates for it.
TEST(Display, HugeHeaderRefusedWithoutAllocating) {
  PictureView v;
  ASSERT_EQ(v.LoadBytes(BmpOf(Pattern(4, 4))), PictureLoad::kLoaded);
  const long before = MaxRssKb();

  QByteArray bmp = MakeBmp(1, 1, 24, [](int, int) { return 0u; }, 0, 10000, 10000, false);
  bmp.append(QByteArray(64, '\0'));
  QByteArray gif = testing::TransparentGif();
  gif[6] = static_cast<char>(0x10);  // screen 10000 x 10000
  gif[7] = static_cast<char>(0x27);
  gif[8] = static_cast<char>(0x10);
  gif[9] = static_cast<char>(0x27);
  QByteArray jpeg = testing::Encoded(Pattern(16, 16), "JPG");
  const int sof = jpeg.indexOf(QByteArray::fromHex("FFC0"));
  ASSERT_GT(sof, 0);
  jpeg[sof + 5] = static_cast<char>(0x27);
  jpeg[sof + 6] = static_cast<char>(0x10);
  jpeg[sof + 7] = static_cast<char>(0x27);
  jpeg[sof + 8] = static_cast<char>(0x10);
  for (const QByteArray& b : {bmp, gif, jpeg}) {
    EXPECT_EQ(v.LoadBytes(b), PictureLoad::kNotPicture);
    EXPECT_EQ(v.clipSize(), QSize(4, 4));
  }
  // A 10000 x 10000 picture at four bytes a pixel would be 400 MB.
  EXPECT_LT(MaxRssKb() - before, 64 * 1024);
}

TEST(Display, AlphaRules) {
  // A GIF's transparent colour is paper.
  PictureView v;
  ASSERT_EQ(v.LoadBytes(testing::TransparentGif()), PictureLoad::kLoaded);
  EXPECT_EQ(v.picture().pixel(0, 0) & 0xFFFFFF, 0xFFFFFFu);
  EXPECT_EQ(v.picture().pixel(1, 0) & 0xFFFFFF, 0xFF0000u);
  // The alpha byte of a 32-bit BMP is not looked at.
  ASSERT_EQ(v.LoadBytes(MakeBmp(2, 1, 32, [](int x, int) { return x ? 0x00000000u : 0x00FF0000u; })),
            PictureLoad::kLoaded);
  EXPECT_EQ(v.picture().pixel(0, 0) & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(v.picture().pixel(1, 0) & 0xFFFFFF, 0x000000u);
  // A clipboard picture with alpha is laid over white.
  QImage half(1, 1, QImage::Format_ARGB32);
  half.setPixel(0, 0, qRgba(0, 0, 0, 128));
  ASSERT_TRUE(v.SetPicture(half));
  EXPECT_EQ(v.picture().pixel(0, 0) & 0xFFFFFF, 0x7F7F7Fu);
  EXPECT_FALSE(v.SetPicture(QImage()));
  EXPECT_EQ(v.clipSize(), QSize(1, 1));
}

TEST(Display, JpegAndTopDownBmp) {
  PictureView v;
  QImage grey(16, 8, QImage::Format_RGB32);
  grey.fill(qRgb(100, 100, 100));
  ASSERT_EQ(v.LoadBytes(testing::Encoded(grey, "JPG", 100)), PictureLoad::kLoaded);
  EXPECT_EQ(v.clipSize(), QSize(16, 8));
  EXPECT_NEAR(qRed(v.picture().pixel(3, 3)), 100, 3);

  // Rows stored top first (negative height).
  QByteArray topDown = MakeBmp(1, 2, 24, [](int, int y) { return y ? 0u : 0xFFFFFFu; });
  const QByteArray neg = QByteArray::fromHex("FEFFFFFF");  // -2
  topDown.replace(22, 4, neg);
  ASSERT_EQ(v.LoadBytes(topDown), PictureLoad::kLoaded);
  EXPECT_EQ(v.clipSize(), QSize(1, 2));
  // Stored bottom-up as (white, black) read top-down: black first.
  EXPECT_EQ(v.picture().pixel(0, 0) & 0xFFFFFF, 0x000000u);
}

TEST(Display, NoPictureViewIsBlank) {
  PictureView v;
  v.SetZoom(300);
  EXPECT_FALSE(v.hasPicture());
  EXPECT_EQ(v.stretchSize(), QSize());
  const ScrollSetting s = v.ScrollSetup(PrintAreaAt(1));
  EXPECT_EQ(s.hMax + s.vMax + s.hValue + s.vValue, 0);
  v.Refresh(PrintAreaAt(1), 0, 0);
  ASSERT_EQ(v.view().size(), QSize(320, 600));
  const printdata::RgbView px = v.viewPixels();
  EXPECT_EQ(px.width, 320);
  EXPECT_EQ(px.height, 600);
  EXPECT_EQ(px.data[0], 255);
  EXPECT_EQ(px.data[px.stride * 599 + 319 * 3 + 2], 255);
}

}  // namespace
}  // namespace quorel

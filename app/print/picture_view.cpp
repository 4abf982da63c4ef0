#include "print/picture_view.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cmath>
#include <vector>

namespace quorel {
namespace {

uint8_t OverWhite(int channel, int alpha) {
  return static_cast<uint8_t>((channel * alpha + 255 * (255 - alpha) + 127) / 255);
}

// The decoded pixels become the picture without a copy: the image owns them.
QImage Wrap(printdata::RgbImage&& decoded) {
  auto* pixels = new std::vector<uint8_t>(std::move(decoded.rgb));
  return QImage(
      pixels->data(), decoded.width, decoded.height, static_cast<qsizetype>(decoded.width) * 3,
      QImage::Format_RGB888, [](void* p) { delete static_cast<std::vector<uint8_t>*>(p); }, pixels);
}

}  // namespace

int RoundHalfEven(double value) {
  const double r = std::nearbyint(value);  // the default rounding mode: halves to even
  if (!(r > -2147483647.0)) return -2147483647;
  if (r > 2147483647.0) return 2147483647;
  return static_cast<int>(r);
}

PictureView::PictureView(const printdata::PictureLimits& limits) : limits_(limits) {}

PictureLoad PictureView::LoadFile(const QString& path) {
  const QFileInfo info(path);
  if (path.isEmpty() || !info.isFile()) return PictureLoad::kNoFile;
  if (info.size() > limits_.maxFileBytes) return PictureLoad::kNotPicture;
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return PictureLoad::kNotPicture;
  return LoadBytes(file.read(limits_.maxFileBytes + 1));
}

PictureLoad PictureView::LoadBytes(const QByteArray& bytes) {
  printdata::RgbImage decoded;
  if (printdata::DecodePicture(reinterpret_cast<const uint8_t*>(bytes.constData()), static_cast<size_t>(bytes.size()),
                               &decoded, limits_) != printdata::kPictureDecoded) {
    return PictureLoad::kNotPicture;
  }
  picture_ = Wrap(std::move(decoded));
  Stretch();
  return PictureLoad::kLoaded;
}

bool PictureView::SetPicture(const QImage& image) {
  if (image.isNull() || !printdata::PictureSizeAllowed(image.width(), image.height(), limits_)) return false;
  QImage argb = image.convertToFormat(QImage::Format_ARGB32);
  if (argb.isNull()) return false;  // no memory for it
  for (int y = 0; y < argb.height(); ++y) {
    auto* px = reinterpret_cast<QRgb*>(argb.scanLine(y));
    for (int x = 0; x < argb.width(); ++x) {
      const int a = qAlpha(px[x]);
      if (a != 255) px[x] = qRgb(OverWhite(qRed(px[x]), a), OverWhite(qGreen(px[x]), a), OverWhite(qBlue(px[x]), a));
    }
  }
  argb.reinterpretAsFormat(QImage::Format_RGB32);
  QImage rgb = argb.convertToFormat(QImage::Format_RGB888);
  if (rgb.isNull()) return false;
  picture_ = std::move(rgb);
  Stretch();
  return true;
}

void PictureView::SetZoom(int percent) {
  zoom_ = percent;
  Stretch();
}

void PictureView::Stretch() {
  if (!hasPicture()) {
    stretch_ = QSize();
    return;
  }
  // Division first, in floating point, as the zoom has always been worked.
  stretch_ = QSize(RoundHalfEven(picture_.width() / 100.0 * zoom_), RoundHalfEven(picture_.height() / 100.0 * zoom_));
}

ScrollSetting PictureView::ScrollSetup(const PrintArea& area) const {
  ScrollSetting s;
  const int w = hasPicture() ? stretch_.width() : 0;
  const int h = hasPicture() ? stretch_.height() : 0;
  s.hMax = w - area.lastColumn;
  s.vMax = h - area.lastRow;
  if (s.hMax < 0) s.hMax = 0;
  s.hValue = RoundHalfEven(s.hMax / 2.0);
  if (s.vMax < 0) s.vMax = 0;
  s.vValue = RoundHalfEven(s.vMax / 2.0);
  return s;
}

void PictureView::Refresh(const PrintArea& area, int h, int v) {
  const int w = std::max(area.width(), 1), hh = std::max(area.height(), 1);
  if (view_.width() != w || view_.height() != hh) view_ = QImage(w, hh, QImage::Format_RGB888);
  view_.fill(Qt::white);
  if (!hasPicture() || stretch_.width() < 1 || stretch_.height() < 1) return;
  h = std::max(h, 0);
  v = std::max(v, 0);
  const int cols = std::clamp(stretch_.width() - h, 0, w);
  const int rows = std::clamp(stretch_.height() - v, 0, hh);

  // Nearest neighbour: zoomed pixel z comes from the source pixel under its
  // centre, (2z + 1) * source / (2 * stretched), worked in 64 bits; srcX
  // holds each view column's byte offset in a source row.
  const int64_t srcW = picture_.width(), srcH = picture_.height();
  const int64_t zw = stretch_.width(), zh = stretch_.height();
  std::vector<int> srcX(static_cast<size_t>(cols));
  for (int x = 0; x < cols; ++x) {
    const int64_t z = int64_t{h} + x;
    srcX[static_cast<size_t>(x)] = 3 * static_cast<int>(std::min((2 * z + 1) * srcW / (2 * zw), srcW - 1));
  }
  for (int y = 0; y < rows; ++y) {
    const int64_t z = int64_t{v} + y;
    const int sy = static_cast<int>(std::min((2 * z + 1) * srcH / (2 * zh), srcH - 1));
    const uint8_t* src = picture_.constScanLine(sy);
    uint8_t* dst = view_.scanLine(y);
    for (int x = 0; x < cols; ++x, dst += 3) {
      const uint8_t* p = src + srcX[static_cast<size_t>(x)];
      dst[0] = p[0];
      dst[1] = p[1];
      dst[2] = p[2];
    }
  }
}

printdata::RgbView PictureView::viewPixels() const {
  printdata::RgbView v;
  if (view_.isNull()) return v;
  v.data = view_.constBits();
  v.width = view_.width();
  v.height = view_.height();
  v.stride = static_cast<size_t>(view_.bytesPerLine());
  return v;
}

}  // namespace quorel

// The bitmap window's picture loading: arbitrary bytes through the gate and
// Qt's decoders, then the zoom, the scroll set-up, the view and both row
// forms of the conversion. Nothing may crash, a refused picture must leave
// the old one, and an accepted one must come out opaque at its header's size
// and must load in the library too, pixel for pixel (the window shows
// nothing that the library's own download would refuse or draw otherwise).
// The first byte picks the input's shape (the bytes as they are, a BMP header
// made from them, a GIF around them, a small JPEG with bytes overwritten) so
// random inputs reach into each decoder, not only its signature check.
#include <QBuffer>
#include <QByteArray>
#include <QCoreApplication>
#include <QImage>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "picture_load.h"
#include "print/dot_scan.h"
#include "print/picture_view.h"
#include "print/print_area_layout.h"

namespace {

#define CHECK(c)                                                                  \
  do {                                                                            \
    if (!(c)) {                                                                   \
      std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #c); \
      std::abort();                                                               \
    }                                                                             \
  } while (0)

class Reader {
 public:
  Reader(const uint8_t* p, size_t n) : p_(p), n_(n) {}
  uint8_t Byte() { return at_ < n_ ? p_[at_++] : 0; }
  const uint8_t* Rest() const { return p_ + at_; }
  size_t Left() const { return n_ - at_; }

 private:
  const uint8_t* p_;
  size_t n_;
  size_t at_ = 0;
};

void Put16(QByteArray* b, uint32_t v) {
  b->append(static_cast<char>(v & 0xFF));
  b->append(static_cast<char>(v >> 8 & 0xFF));
}
void Put32(QByteArray* b, uint32_t v) {
  Put16(b, v & 0xFFFF);
  Put16(b, v >> 16);
}

QByteArray MakeBmp(Reader* in) {
  static const uint16_t kBpp[] = {1, 4, 8, 16, 24, 32, 2, 0};
  static const uint32_t kHeader[] = {40, 40, 108, 124, 12, 56, 64, 40};
  const uint8_t shape = in->Byte();
  const uint32_t hsz = kHeader[shape & 7];
  const uint16_t bpp = kBpp[shape >> 3 & 7];
  const uint32_t compression = (shape & 0x40) ? in->Byte() % 5 : 0;
  const int32_t w = 1 + in->Byte() % 64;
  int32_t h = 1 + in->Byte() % 64;
  if (in->Byte() & 1) h = -h;
  QByteArray info;
  Put32(&info, hsz);
  if (hsz == 12) {
    Put16(&info, static_cast<uint32_t>(w));
    Put16(&info, static_cast<uint32_t>(h < 0 ? -h : h));
    Put16(&info, 1);
    Put16(&info, bpp);
  } else {
    Put32(&info, static_cast<uint32_t>(w));
    Put32(&info, static_cast<uint32_t>(h));
    Put16(&info, 1);
    Put16(&info, bpp);
    Put32(&info, compression);
    while (static_cast<uint32_t>(info.size()) < hsz) info.append(static_cast<char>(in->Byte()));
  }
  const uint32_t palette = bpp <= 8 ? 4u * (in->Byte() % 257) : (compression == 3 ? 12 : 0);
  for (uint32_t i = 0; i < palette; ++i) info.append(static_cast<char>(in->Byte()));
  const uint64_t stride = (static_cast<uint64_t>(w) * bpp + 31) / 32 * 4;
  uint64_t pixels = stride * static_cast<uint64_t>(h < 0 ? -h : h);
  if ((in->Byte() & 3) == 0 && pixels > 0) pixels -= 1 + in->Byte() % pixels;
  QByteArray f("BM");
  const uint32_t offset = 14 + static_cast<uint32_t>(info.size());
  Put32(&f, offset + static_cast<uint32_t>(pixels));
  Put32(&f, 0);
  Put32(&f, offset);
  f += info;
  for (uint64_t i = 0; i < pixels; ++i) f.append(static_cast<char>(in->Left() ? in->Rest()[i % in->Left()] : 0));
  return f;
}

QByteArray MakeGif(Reader* in) {
  QByteArray f("GIF89a");
  const uint32_t w = 1 + in->Byte() % 64, h = 1 + in->Byte() % 64;
  Put16(&f, w);
  Put16(&f, h);
  const uint8_t bits = in->Byte() % 8;
  f.append(static_cast<char>(0xF0 | bits));
  f.append('\0');
  f.append('\0');
  for (int i = 0; i < 3 << (bits + 1); ++i) f.append(static_cast<char>(in->Byte()));
  if (in->Byte() & 1) {
    const char gce[] = {0x21, static_cast<char>(0xF9), 0x04, 0x01, 0, 0, static_cast<char>(in->Byte()), 0};
    f.append(gce, sizeof gce);
  }
  f.append(',');
  Put16(&f, in->Byte() % 4);
  Put16(&f, in->Byte() % 4);
  Put16(&f, w - in->Byte() % 4);
  Put16(&f, h - in->Byte() % 4);
  f.append(static_cast<char>(in->Byte() & 0x40));
  f.append(static_cast<char>(2 + in->Byte() % 7));
  f.append(reinterpret_cast<const char*>(in->Rest()), static_cast<int>(in->Left()));
  return f;
}

const QByteArray& SampleJpeg() {
  static const QByteArray bytes = [] {
    QImage img(24, 16, QImage::Format_RGB32);
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 24; ++x) img.setPixel(x, y, qRgb(x * 10, y * 15, (x ^ y) * 8));
    QByteArray out;
    QBuffer buf(&out);
    buf.open(QIODevice::WriteOnly);
    img.save(&buf, "JPG", 80);
    return out;
  }();
  return bytes;
}

QByteArray MutateJpeg(Reader* in) {
  QByteArray f = SampleJpeg();
  if (f.isEmpty()) return f;
  const size_t edits = in->Left() / 3;
  for (size_t i = 0; i < edits; ++i) {
    const int at = (in->Byte() | in->Byte() << 8) % f.size();
    f[at] = static_cast<char>(in->Byte());
  }
  return f;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static int argc = 1;
  static char name[] = "fuzz_bmp_picture";
  static char* argv[] = {name, nullptr};
  static QCoreApplication* app = QCoreApplication::instance() ? nullptr : new QCoreApplication(argc, argv);
  (void)app;
  if (size == 0) return 0;
  Reader in(data + 1, size - 1);
  QByteArray bytes;
  switch (data[0] % 4) {
    case 0: bytes = QByteArray(reinterpret_cast<const char*>(data + 1), static_cast<int>(size - 1)); break;
    case 1: bytes = MakeBmp(&in); break;
    case 2: bytes = MakeGif(&in); break;
    default: bytes = MutateJpeg(&in); break;
  }

  printdata::PictureLimits limits;  // small, so a run stays fast
  limits.maxSide = 2048;
  limits.maxPixels = 1 << 20;
  quorel::PictureView view(limits);
  QImage old(3, 2, QImage::Format_RGB32);
  old.fill(qRgb(1, 2, 3));
  CHECK(view.SetPicture(old));
  const QImage before = view.picture();

  const quorel::PictureLoad r = view.LoadBytes(bytes);
  CHECK(r == quorel::PictureLoad::kLoaded || r == quorel::PictureLoad::kNotPicture);
  if (r != quorel::PictureLoad::kLoaded) {
    CHECK(view.picture() == before);
    return 0;
  }
  const QImage& pic = view.picture();
  CHECK(pic.format() == QImage::Format_RGB888);
  CHECK(pic.width() >= 1 && pic.height() >= 1 && pic.width() <= 2048 && pic.height() <= 2048);

  // The library takes it too, at the same size.
  vantor::PictureLimits libLimits;
  libLimits.maxSide = limits.maxSide;
  libLimits.maxPixels = limits.maxPixels;
  printdata::RgbImage lib;
  const int rc = vantor::LoadPictureMemory(reinterpret_cast<const uint8_t*>(bytes.constData()),
                                           static_cast<size_t>(bytes.size()), &lib, libLimits);
  CHECK(rc == 0);
  CHECK(lib.width == pic.width() && lib.height == pic.height());
  // The same decoder: the same pixels.
  for (int y = 0; y < pic.height(); ++y)
    CHECK(std::memcmp(pic.constScanLine(y), lib.rgb.data() + static_cast<size_t>(y) * pic.width() * 3,
                      static_cast<size_t>(pic.width()) * 3) == 0);

  static const int kZooms[] = {10, 25, 33, 50, 66, 75, 80, 100, 120, 150, 200, 250, 300, 400};
  view.SetZoom(kZooms[in.Byte() % 14]);
  // One input in 64 takes a print area of the window; the others a small
  // area of any width, so runs stay quick and odd widths come up.
  quorel::PrintArea area{in.Byte() % 64, in.Byte() % 16, in.Byte() % 8, 0};
  if (in.Byte() % 64 == 1) area = quorel::PrintAreaAt(in.Byte() % 4);
  if (area.firstColumn > area.lastColumn) area.firstColumn = 0;
  const quorel::ScrollSetting s = view.ScrollSetup(area);
  CHECK(s.hMax >= 0 && s.vMax >= 0 && s.hValue >= 0 && s.hValue <= s.hMax && s.vValue >= 0 && s.vValue <= s.vMax);
  view.Refresh(area, s.hMax ? in.Byte() % (s.hMax + 1) : 0, s.vMax ? in.Byte() % (s.vMax + 1) : 0);
  CHECK(view.view().width() == area.width() && view.view().height() == area.height());

  const printdata::Thresholds t = printdata::ShiftedThresholds(10 * (in.Byte() % 11) - 50);
  std::vector<std::string> rows;
  CHECK(printdata::ScanHexRows(view.viewPixels(), area.scanArea(), t, {}, &rows) == printdata::ScanStatus::kDone);
  CHECK(static_cast<int>(rows.size()) == area.height());
  const int digits = (area.width() - area.firstColumn) / 4;
  for (const std::string& row : rows) CHECK(static_cast<int>(row.size()) == digits);
  std::vector<uint8_t> packed;
  CHECK(printdata::ScanPackedRows(view.viewPixels(), area.scanArea(), t, {}, &packed) == printdata::ScanStatus::kDone);
  CHECK(packed.size() == static_cast<size_t>((area.width() - area.firstColumn) / 8 * area.height()));
  return 0;
}

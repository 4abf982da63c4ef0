// The bitmap window's picture loading: arbitrary bytes through the gate and
// Qt's decoders, then the zoom, the scroll set-up, the view and both row
// forms of the conversion. Nothing may crash, a refused picture must leave
// the old one, and an accepted one must come out opaque at its header's size
// and must load in the library too, pixel for pixel (the window shows
// nothing that the library's own download would refuse or draw otherwise).
// The input's shape (picture_shapes.h) lets random inputs reach into each
// decoder, not only its signature check.
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
#include "picture_shapes.h"
#include "print/dot_scan.h"
#include "print/picture_view.h"
#include "print/print_area_layout.h"

using picture_shapes::Reader;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static int argc = 1;
  static char name[] = "fuzz_bmp_picture";
  static char* argv[] = {name, nullptr};
  static QCoreApplication* app = QCoreApplication::instance() ? nullptr : new QCoreApplication(argc, argv);
  (void)app;
  if (size == 0) return 0;
  Reader in(data + 1, size - 1);
  const std::vector<uint8_t> shaped = picture_shapes::ShapedPicture(data, size, &in);
  const QByteArray bytes(reinterpret_cast<const char*>(shaped.data()), static_cast<int>(shaped.size()));

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

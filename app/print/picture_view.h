// The bitmap window's picture: the loaded file or clipboard picture, its
// zoom, and the view the picture box shows and the conversions read.
//
// The picture is kept once, at its own size, with any transparency already
// laid over white paper. The zoomed picture is never built: the view takes
// each of its pixels from the picture by nearest neighbour, so a large
// picture at a high zoom costs no more memory than the view itself.
//
// Files are decoded by the decoder the library's downloads use, so the
// window shows exactly the pictures (and pixels) a download in library mode
// sends; the size is judged from the header before anything is allocated,
// so a bogus header fails cleanly and the old picture stays.
#pragma once
#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

#include "print/dot_scan.h"
#include "print/picture_decode.h"
#include "print/print_area_layout.h"

namespace quorel {

enum class PictureLoad {
  kLoaded,
  kNoFile,      // no file of that name: nothing changed
  kNotPicture,  // not a picture the downloads take: the old picture stays
};

// Where the scroll bars go after a picture or zoom change.
struct ScrollSetting {
  int hMax = 0, hValue = 0;
  int vMax = 0, vValue = 0;
};

class PictureView {
 public:
  explicit PictureView(const printdata::PictureLimits& limits = printdata::PictureLimits());

  PictureLoad LoadFile(const QString& path);
  PictureLoad LoadBytes(const QByteArray& bytes);
  // A picture from the clipboard: false (the old one stays) when it is empty
  // or larger than the limits.
  bool SetPicture(const QImage& image);

  bool hasPicture() const { return !picture_.isNull(); }
  // The loaded picture at its own size (null without one), as RGB888.
  const QImage& picture() const { return picture_; }
  QSize clipSize() const { return picture_.size(); }

  // The zoom in percent; the stretch size follows at once.
  void SetZoom(int percent);
  int zoom() const { return zoom_; }
  // The zoomed picture's size: each side / 100 x zoom, to the nearest
  // whole number with halves to even (0 x 0 without a picture).
  QSize stretchSize() const { return stretch_; }

  // Each bar's maximum is the stretch size minus the area's last index; a
  // negative maximum becomes 0 with the value 0, otherwise the value is half
  // the maximum rounded with halves to even (the middle of the picture).
  ScrollSetting ScrollSetup(const PrintArea& area) const;

  // Paints the view: white, (last column + 1) x (last row + 1) pixels, with
  // the part of the zoomed picture from column h and row v at its top left.
  void Refresh(const PrintArea& area, int h, int v);
  const QImage& view() const { return view_; }
  printdata::RgbView viewPixels() const;

 private:
  void Stretch();

  printdata::PictureLimits limits_;
  QImage picture_;  // Format_RGB888
  QImage view_;     // Format_RGB888
  int zoom_ = 100;
  QSize stretch_;
};

// Half to even, as the zoom and the scroll middle round.
int RoundHalfEven(double value);

}  // namespace quorel

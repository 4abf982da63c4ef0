// Picture files for the bitmap window's tests, made in memory: BMPs written
// by hand (so their header fields are exactly the ones a test means), a
// GIF with a transparent colour, JPEGs and PNGs through Qt's writers.
#pragma once
#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QFile>
#include <QImage>
#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

namespace quorel::testing {

inline void Le16(QByteArray* b, uint32_t v) {
  b->append(static_cast<char>(v & 0xFF));
  b->append(static_cast<char>(v >> 8 & 0xFF));
}
inline void Le32(QByteArray* b, uint32_t v) {
  Le16(b, v & 0xFFFF);
  Le16(b, v >> 16);
}

// A BMP with a 40-byte header; bottom-up rows of 24 or 32 bits per pixel
// taken from pixel(x, y) as 0xAARRGGBB. compression and a shortened pixel
// area let tests make the forms the downloads refuse.
inline QByteArray MakeBmp(int w, int h, int bpp, const std::function<uint32_t(int, int)>& pixel,
                          uint32_t compression = 0, int headerWidth = 0, int headerHeight = 0,
                          bool pixelsPresent = true) {
  const int stride = (w * bpp + 31) / 32 * 4;
  QByteArray pixels;
  if (pixelsPresent) {
    for (int y = h - 1; y >= 0; --y) {
      QByteArray row;
      for (int x = 0; x < w; ++x) {
        const uint32_t c = pixel(x, y);
        row.append(static_cast<char>(c & 0xFF));
        row.append(static_cast<char>(c >> 8 & 0xFF));
        row.append(static_cast<char>(c >> 16 & 0xFF));
        if (bpp == 32) row.append(static_cast<char>(c >> 24 & 0xFF));
      }
      row.append(QByteArray(stride - row.size(), '\0'));
      pixels += row;
    }
  }
  QByteArray f("BM");
  Le32(&f, static_cast<uint32_t>(54 + pixels.size()));
  Le32(&f, 0);
  Le32(&f, 54);
  Le32(&f, 40);
  Le32(&f, static_cast<uint32_t>(headerWidth ? headerWidth : w));
  Le32(&f, static_cast<uint32_t>(headerHeight ? headerHeight : h));
  Le16(&f, 1);
  Le16(&f, static_cast<uint32_t>(bpp));
  Le32(&f, compression);
  Le32(&f, static_cast<uint32_t>(pixels.size()));
  Le32(&f, 2835);
  Le32(&f, 2835);
  Le32(&f, 0);
  Le32(&f, 0);
  return f + pixels;
}

// An 8-bit BMP with a palette of the given colours (0x00RRGGBB) and one
// palette index per pixel.
inline QByteArray MakePalettedBmp(int w, int h, const std::vector<uint32_t>& palette,
                                  const std::function<uint8_t(int, int)>& index) {
  const int stride = (w + 3) / 4 * 4;
  QByteArray pixels;
  for (int y = h - 1; y >= 0; --y) {
    QByteArray row;
    for (int x = 0; x < w; ++x) row.append(static_cast<char>(index(x, y)));
    row.append(QByteArray(stride - row.size(), '\0'));
    pixels += row;
  }
  const uint32_t offset = 54 + 4 * static_cast<uint32_t>(palette.size());
  QByteArray f("BM");
  Le32(&f, offset + static_cast<uint32_t>(pixels.size()));
  Le32(&f, 0);
  Le32(&f, offset);
  Le32(&f, 40);
  Le32(&f, static_cast<uint32_t>(w));
  Le32(&f, static_cast<uint32_t>(h));
  Le16(&f, 1);
  Le16(&f, 8);
  Le32(&f, 0);
  Le32(&f, static_cast<uint32_t>(pixels.size()));
  Le32(&f, 2835);
  Le32(&f, 2835);
  Le32(&f, static_cast<uint32_t>(palette.size()));
  Le32(&f, 0);
  for (uint32_t c : palette) Le32(&f, c);
  return f + pixels;
}

// A 24-bit BMP of a QImage.
inline QByteArray BmpOf(const QImage& img) {
  const QImage rgb = img.convertToFormat(QImage::Format_RGB32);
  return MakeBmp(rgb.width(), rgb.height(), 24, [&](int x, int y) { return static_cast<uint32_t>(rgb.pixel(x, y)); });
}

// A picture whose every pixel differs from its neighbours, so any shift or
// scaling error shows.
inline QImage Pattern(int w, int h) {
  QImage img(w, h, QImage::Format_RGB32);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) img.setPixel(x, y, qRgb((x * 7) & 0xFF, (y * 5) & 0xFF, (x ^ y) & 0xFF));
  return img;
}

// Each pixel repeated factor times across and down.
inline QImage PixelMultiplied(const QImage& src, int factor) {
  QImage out(src.width() * factor, src.height() * factor, QImage::Format_RGB32);
  for (int y = 0; y < out.height(); ++y)
    for (int x = 0; x < out.width(); ++x) out.setPixel(x, y, src.pixel(x / factor, y / factor));
  return out;
}

// A 2 x 1 GIF89a: colour 0 black and transparent, colour 1 red.
inline QByteArray TransparentGif() {
  QByteArray f("GIF89a");
  Le16(&f, 2);
  Le16(&f, 1);
  f.append(static_cast<char>(0x80));  // global table of 2 colours
  f.append('\0');
  f.append('\0');
  f.append(QByteArray::fromHex("000000FF0000"));
  f.append(QByteArray::fromHex("21F904010000" "00" "00"));  // transparency on, index 0
  f.append(',');
  Le16(&f, 0);
  Le16(&f, 0);
  Le16(&f, 2);
  Le16(&f, 1);
  f.append('\0');
  f.append(static_cast<char>(2));  // LZW minimum code size
  // clear (4), 0, 1, end (5) in 3-bit codes, least significant bit first
  f.append(QByteArray::fromHex("02440200"));
  f.append(';');
  return f;
}

inline QByteArray Encoded(const QImage& img, const char* format, int quality = -1) {
  QByteArray bytes;
  QBuffer buf(&bytes);
  buf.open(QIODevice::WriteOnly);
  img.save(&buf, format, quality);
  return bytes;
}

inline bool WriteFile(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

}  // namespace quorel::testing

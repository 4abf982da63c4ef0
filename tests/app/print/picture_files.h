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
#include <string>
#include <vector>

#include "bmp_file.h"

namespace quorel::testing {

// A BMP with a 40-byte header; bottom-up rows of 24 or 32 bits per pixel
// taken from pixel(x, y) as 0xAARRGGBB. compression and a shortened pixel
// area let tests make the forms the downloads refuse.
inline QByteArray MakeBmp(int w, int h, int bpp, const std::function<uint32_t(int, int)>& pixel,
                          uint32_t compression = 0, int headerWidth = 0, int headerHeight = 0,
                          bool pixelsPresent = true) {
  testpictures::BmpFile bmp;
  bmp.width = w;
  bmp.height = h;
  bmp.bpp = bpp;
  bmp.compression = compression;
  bmp.value = [&](int x, int y) { return bpp == 32 ? pixel(x, y) : pixel(x, y) & 0xFFFFFF; };
  std::string file = bmp.Encode();
  // The header may claim another size than the pixels it carries.
  std::string size;
  testpictures::Put32(&size, static_cast<uint32_t>(headerWidth));
  testpictures::Put32(&size, static_cast<uint32_t>(headerHeight));
  if (headerWidth) file.replace(18, 4, size, 0, 4);
  if (headerHeight) file.replace(22, 4, size, 4, 4);
  if (!pixelsPresent) file.resize(54);
  return QByteArray::fromStdString(file);
}

// An 8-bit BMP with a palette of the given colours (0x00RRGGBB), all of
// them counted in the header, and one palette index per pixel.
inline QByteArray MakePalettedBmp(int w, int h, const std::vector<uint32_t>& palette,
                                  const std::function<uint8_t(int, int)>& index) {
  testpictures::BmpFile bmp;
  bmp.width = w;
  bmp.height = h;
  bmp.bpp = 8;
  bmp.palette = palette;
  bmp.coloursUsed = static_cast<uint32_t>(palette.size());
  bmp.value = [&](int x, int y) { return uint32_t{index(x, y)}; };
  return QByteArray::fromStdString(bmp.Encode());
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
  f.append(QByteArray::fromHex("02000100"));  // screen 2 x 1
  f.append(static_cast<char>(0x80));  // global table of 2 colours
  f.append('\0');
  f.append('\0');
  f.append(QByteArray::fromHex("000000FF0000"));
  f.append(QByteArray::fromHex("21F904010000" "00" "00"));  // transparency on, index 0
  f.append(',');
  f.append(QByteArray::fromHex("0000000002000100"));  // image at 0, 0, 2 x 1
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

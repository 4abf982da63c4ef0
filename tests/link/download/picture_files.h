// Picture files the download tests write: BMPs of 1, 8 and 24 bits per pixel,
// bottom-up and top-down, built byte by byte from a dot pattern, and two
// files that are not bitmap pictures (a PNG and an icon). It carries the PNG
// writer itself: one source file includes it.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "bmp_file.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#include <stb/stb_image_write.h>

namespace dltest {

// Which pixels are dots. Dots are drawn navy (0, 0, 128: every channel at or
// below the middle threshold), the rest light grey (220, 220, 220: every
// channel at or above the upper one), so a picture of these two colours
// reads the same in every format.
using DotPattern = std::function<bool(int x, int y)>;

constexpr uint32_t kNavy = 0x000080;
constexpr uint32_t kGrey = 0xDCDCDC;

enum class BmpKind { Bits1, Bits8, Bits24BottomUp, Bits24TopDown };

inline std::string Bmp(int width, int height, BmpKind kind, const DotPattern& dot) {
  testpictures::BmpFile bmp;
  bmp.width = width;
  bmp.height = height;
  bmp.bpp = kind == BmpKind::Bits1 ? 1 : kind == BmpKind::Bits8 ? 8 : 24;
  bmp.topDown = kind == BmpKind::Bits24TopDown;
  // The 8-bit palette holds other colours around the two in use.
  uint32_t dotValue = kNavy, blankValue = kGrey;
  if (bmp.bpp == 1) {
    bmp.palette = {kNavy, kGrey};
    dotValue = 0;
    blankValue = 1;
  } else if (bmp.bpp == 8) {
    for (uint32_t i = 0; i < 256; ++i) bmp.palette.push_back(i * 0x010203 & 0xFFFFFF);
    dotValue = 200;
    blankValue = 17;
    bmp.palette[dotValue] = kNavy;
    bmp.palette[blankValue] = kGrey;
  }
  bmp.value = [&](int x, int y) { return dot(x, y) ? dotValue : blankValue; };
  return bmp.Encode();
}

inline std::string Png() {
  const std::vector<uint8_t> rgb(4 * 4 * 3, 0);
  std::string png;
  stbi_write_png_to_func(
      [](void* ctx, void* data, int size) {
        static_cast<std::string*>(ctx)->append(static_cast<const char*>(data),
                                               static_cast<size_t>(size));
      },
      &png, 4, 4, 3, rgb.data(), 12);
  return png;
}

// A file that is not a bitmap picture: an icon.
inline std::string Icon() { return testpictures::IconFile(); }

// The dots of one row as the device keeps them: ceil(width / 8) bytes,
// leftmost dot in bit 7.
inline std::vector<uint8_t> DotRow(int width, int y, const DotPattern& dot) {
  std::vector<uint8_t> row(static_cast<size_t>(width + 7) / 8, 0);
  for (int x = 0; x < width; ++x)
    if (dot(x, y)) row[static_cast<size_t>(x / 8)] |= static_cast<uint8_t>(0x80 >> (x % 8));
  return row;
}

}  // namespace dltest

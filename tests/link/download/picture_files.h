// Picture files the download tests write: BMPs of 1, 8 and 24 bits per pixel,
// bottom-up and top-down, built byte by byte from a dot pattern, and two
// files that are not bitmap pictures (a PNG and an icon). It carries the PNG
// writer itself: one source file includes it.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

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

inline void Put16(std::string* s, uint32_t v) {
  s->push_back(static_cast<char>(v & 0xFF));
  s->push_back(static_cast<char>(v >> 8 & 0xFF));
}
inline void Put32(std::string* s, uint32_t v) {
  Put16(s, v & 0xFFFF);
  Put16(s, v >> 16);
}

inline std::string Bmp(int width, int height, BmpKind kind, const DotPattern& dot) {
  const int bpp = kind == BmpKind::Bits1 ? 1 : kind == BmpKind::Bits8 ? 8 : 24;
  const bool topDown = kind == BmpKind::Bits24TopDown;
  // The 8-bit palette holds other colours around the two in use.
  std::vector<uint32_t> palette;
  uint8_t dotIndex = 0, blankIndex = 1;
  if (bpp == 1) {
    palette = {kNavy, kGrey};
  } else if (bpp == 8) {
    for (uint32_t i = 0; i < 256; ++i) palette.push_back(i * 0x010203 & 0xFFFFFF);
    dotIndex = 200;
    blankIndex = 17;
    palette[dotIndex] = kNavy;
    palette[blankIndex] = kGrey;
  }

  std::string info;
  Put32(&info, 40);
  Put32(&info, static_cast<uint32_t>(width));
  Put32(&info, static_cast<uint32_t>(topDown ? -height : height));
  Put16(&info, 1);
  Put16(&info, static_cast<uint32_t>(bpp));
  for (int i = 0; i < 6; ++i) Put32(&info, 0);  // BI_RGB, sizes, resolution, colours
  for (uint32_t c : palette) Put32(&info, c);   // B, G, R, 0 in the file

  std::string pixels;
  for (int row = 0; row < height; ++row) {
    const int y = topDown ? row : height - 1 - row;
    std::string line;
    uint8_t acc = 0;
    for (int x = 0; x < width; ++x) {
      const bool d = dot(x, y);
      if (bpp == 1) {
        acc = static_cast<uint8_t>(acc << 1 | (d ? dotIndex : blankIndex));
        if (x % 8 == 7) line.push_back(static_cast<char>(acc));
      } else if (bpp == 8) {
        line.push_back(static_cast<char>(d ? dotIndex : blankIndex));
      } else {
        const uint32_t c = d ? kNavy : kGrey;
        line.push_back(static_cast<char>(c & 0xFF));
        line.push_back(static_cast<char>(c >> 8 & 0xFF));
        line.push_back(static_cast<char>(c >> 16 & 0xFF));
      }
    }
    if (bpp == 1 && width % 8) line.push_back(static_cast<char>(acc << (8 - width % 8)));
    while (line.size() % 4) line.push_back('\0');
    pixels += line;
  }

  std::string file = "BM";
  const uint32_t offset = 14 + static_cast<uint32_t>(info.size());
  Put32(&file, offset + static_cast<uint32_t>(pixels.size()));
  Put32(&file, 0);
  Put32(&file, offset);
  return file + info + pixels;
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

// A 1x1 icon of 32 bits: directory, one entry, the bitmap header, the pixel
// and the mask.
inline std::string Icon() {
  std::string ico("\0\0\1\0\1\0", 6);
  ico += std::string("\1\1\0\0\1\0\x20\0", 8);
  Put32(&ico, 48);
  Put32(&ico, 22);
  Put32(&ico, 40);
  Put32(&ico, 1);
  Put32(&ico, 2);
  Put16(&ico, 1);
  Put16(&ico, 32);
  ico += std::string(24, '\0') + std::string(8, '\0');
  return ico;
}

// The dots of one row as the device keeps them: ceil(width / 8) bytes,
// leftmost dot in bit 7.
inline std::vector<uint8_t> DotRow(int width, int y, const DotPattern& dot) {
  std::vector<uint8_t> row(static_cast<size_t>(width + 7) / 8, 0);
  for (int x = 0; x < width; ++x)
    if (dot(x, y)) row[static_cast<size_t>(x / 8)] |= static_cast<uint8_t>(0x80 >> (x % 8));
  return row;
}

}  // namespace dltest

// BMP files written byte by byte, so that every header field is the
// caller's to choose: the picture files of the tests and the benchmarks.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace testpictures {

inline void Put16(std::string* s, uint32_t v) {
  s->push_back(static_cast<char>(v & 0xFF));
  s->push_back(static_cast<char>(v >> 8 & 0xFF));
}
inline void Put32(std::string* s, uint32_t v) {
  Put16(s, v & 0xFFFF);
  Put16(s, v >> 16);
}

// One BMP file: the header fields and a value for every pixel.
struct BmpFile {
  int width = 0;
  int height = 0;  // rows; stored negative when topDown
  int bpp = 24;
  bool topDown = false;
  uint32_t compression = 0;
  uint32_t headerSize = 40;
  std::vector<uint32_t> palette;  // 0x00RRGGBB
  uint32_t coloursUsed = 0;       // 0: as many as the bit depth allows
  std::vector<uint32_t> masks;    // R, G, B (and A) for bit fields
  // Palette index, 16-bit word, 0xRRGGBB or 32-bit word, as bpp says.
  std::function<uint32_t(int x, int y)> value;

  std::string Encode() const {
    std::string info;
    Put32(&info, headerSize);
    Put32(&info, static_cast<uint32_t>(width));
    Put32(&info, static_cast<uint32_t>(topDown ? -height : height));
    Put16(&info, 1);
    Put16(&info, static_cast<uint32_t>(bpp));
    Put32(&info, compression);
    for (int i = 0; i < 3; ++i) Put32(&info, 0);  // image size, resolution
    Put32(&info, coloursUsed);
    Put32(&info, 0);
    if (headerSize >= 108) {
      for (size_t i = 0; i < 4; ++i) Put32(&info, i < masks.size() ? masks[i] : 0);
      Put32(&info, 0x73524742);  // "sRGB"
      while (info.size() < headerSize) info.push_back('\0');
    } else {
      for (uint32_t m : masks) Put32(&info, m);
    }
    for (uint32_t c : palette) Put32(&info, c & 0xFFFFFF);

    std::string pixels;
    for (int row = 0; row < height; ++row) {
      const int y = topDown ? row : height - 1 - row;
      std::string line;
      uint32_t acc = 0;
      int bits = 0;
      for (int x = 0; x < width; ++x) {
        const uint32_t v = value(x, y);
        if (bpp < 8) {
          acc = acc << bpp | v;
          bits += bpp;
          if (bits == 8) {
            line.push_back(static_cast<char>(acc));
            acc = 0;
            bits = 0;
          }
        } else if (bpp == 8) {
          line.push_back(static_cast<char>(v));
        } else if (bpp == 16) {
          Put16(&line, v);
        } else if (bpp == 24) {
          line.push_back(static_cast<char>(v & 0xFF));
          line.push_back(static_cast<char>(v >> 8 & 0xFF));
          line.push_back(static_cast<char>(v >> 16 & 0xFF));
        } else {
          Put32(&line, v);
        }
      }
      if (bits) line.push_back(static_cast<char>(acc << (8 - bits)));
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
};

// A 24-bit bottom-up BMP of width x height pixels, rgb holding R, G, B of
// each pixel row by row from the top.
inline std::string Bmp24(int width, int height, const std::vector<uint8_t>& rgb) {
  BmpFile bmp;
  bmp.width = width;
  bmp.height = height;
  bmp.value = [&rgb, width](int x, int y) {
    const size_t i = (static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)) * 3;
    return uint32_t{rgb[i]} << 16 | uint32_t{rgb[i + 1]} << 8 | rgb[i + 2];
  };
  return bmp.Encode();
}

// A 1 x 1 icon of 32 bits (directory, one entry, the bitmap header, the
// pixel and the mask): a file that is not a bitmap picture.
inline std::string IconFile() {
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

}  // namespace testpictures

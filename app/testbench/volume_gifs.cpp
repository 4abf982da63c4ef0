// Draws the buzzer check's three volume pictures, a speaker with 0, 1 and 3
// sound waves, and writes them as Volume0.gif, Volume1.gif and Volume3.gif
// into the folder given (the program's folder). Run at build time: Qt reads
// GIF but does not write it, so the files are written here byte by byte.
//
// The LZW data are left uncompressed: every pixel is one literal code of 8
// bits (minimum code size 7), and a clear code follows every 100 literals,
// long before the decoder's table would make the codes one bit wider.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kSize = 32;
constexpr int kCodeSize = 7;  // 128 colours, 8-bit codes
constexpr uint8_t kClear = 1 << kCodeSize;
constexpr uint8_t kEnd = kClear + 1;
constexpr int kLiteralsPerClear = 100;

enum Colour : uint8_t { kBack, kOutline, kCone, kWave };

// &HRRGGBB of the four colours used; the rest of the table is black.
constexpr uint32_t kPalette[] = {0xFFFFFF, 0x000000, 0x808080, 0x0050C0};

using Picture = std::vector<uint8_t>;  // kSize x kSize colour indexes, row by row

Picture Speaker(int waves) {
  Picture p(kSize * kSize, kBack);
  auto set = [&p](int x, int y, Colour c) {
    if (x >= 0 && x < kSize && y >= 0 && y < kSize) p[static_cast<size_t>(y * kSize + x)] = c;
  };
  // The magnet: a block on the left.
  for (int y = 12; y <= 19; ++y)
    for (int x = 3; x <= 8; ++x) set(x, y, kOutline);
  // The cone: widening to the right, outlined.
  for (int x = 9; x <= 15; ++x) {
    const int top = 12 - (x - 9), bottom = 19 + (x - 9);
    for (int y = top; y <= bottom; ++y) set(x, y, y == top || y == bottom || x == 15 ? kOutline : kCone);
  }
  // The waves: arcs around the cone's mouth, the nearest first.
  const double cx = 15.0, cy = 15.5;
  for (int k = 1; k <= waves; ++k) {
    const double r = 2.0 + 4.0 * k;
    for (int y = 0; y < kSize; ++y)
      for (int x = 16; x < kSize; ++x) {
        const double dx = x - cx, dy = y - cy;
        if (std::fabs(std::hypot(dx, dy) - r) < 0.8 && std::fabs(dy) <= dx * 1.2) set(x, y, kWave);
      }
  }
  return p;
}

void Word(std::string& out, int v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>((v >> 8) & 0xFF);
}

std::string Gif(const Picture& p) {
  std::string out = "GIF87a";
  Word(out, kSize);
  Word(out, kSize);
  out += static_cast<char>(0x80 | ((kCodeSize - 1) << 4) | (kCodeSize - 1));  // global table of 128
  out += '\0';                                                                 // background colour
  out += '\0';                                                                 // no aspect ratio
  for (int i = 0; i < (1 << kCodeSize); ++i) {
    const uint32_t rgb = i < 4 ? kPalette[i] : 0;
    out += static_cast<char>((rgb >> 16) & 0xFF);
    out += static_cast<char>((rgb >> 8) & 0xFF);
    out += static_cast<char>(rgb & 0xFF);
  }
  out += ',';  // the image: the whole screen, not interlaced
  Word(out, 0);
  Word(out, 0);
  Word(out, kSize);
  Word(out, kSize);
  out += '\0';
  out += static_cast<char>(kCodeSize);
  std::string codes;
  for (size_t i = 0; i < p.size(); ++i) {
    if (i % kLiteralsPerClear == 0) codes += static_cast<char>(kClear);
    codes += static_cast<char>(p[i]);
  }
  codes += static_cast<char>(kEnd);
  for (size_t at = 0; at < codes.size(); at += 255) {
    const std::string block = codes.substr(at, 255);
    out += static_cast<char>(block.size());
    out += block;
  }
  out += '\0';  // end of the image data
  out += ';';   // end of the file
  return out;
}

bool Write(const std::string& path, const std::string& bytes) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
    return 2;
  }
  for (int waves : {0, 1, 3}) {
    const std::string path = std::string(argv[1]) + "/Volume" + std::to_string(waves) + ".gif";
    if (!Write(path, Gif(Speaker(waves)))) {
      std::fprintf(stderr, "cannot write %s\n", path.c_str());
      return 1;
    }
  }
  return 0;
}

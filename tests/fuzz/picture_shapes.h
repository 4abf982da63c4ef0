// Shaped picture inputs for the picture fuzz targets: the first input byte
// picks the shape (the bytes as they are, a BMP whose header is made from
// them, a GIF around them as LZW data, or the sample JPEG with bytes of it
// overwritten), so random inputs reach deep into each decoder and not only
// its signature check.
#pragma once
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "../link/jpeg_sample.h"

#define CHECK(c)                                                                  \
  do {                                                                            \
    if (!(c)) {                                                                   \
      std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #c); \
      std::abort();                                                               \
    }                                                                             \
  } while (0)

namespace picture_shapes {

class Reader {
 public:
  Reader(const uint8_t* p, size_t n) : p_(p), n_(n) {}
  uint8_t Byte() { return at_ < n_ ? p_[at_++] : 0; }
  uint32_t Word() { return Byte() | Byte() << 8 | Byte() << 16 | static_cast<uint32_t>(Byte()) << 24; }
  const uint8_t* Rest() const { return p_ + at_; }
  size_t Left() const { return n_ - at_; }

 private:
  const uint8_t* p_;
  size_t n_;
  size_t at_ = 0;
};

inline void Put16(std::vector<uint8_t>* v, uint32_t x) {
  v->push_back(static_cast<uint8_t>(x));
  v->push_back(static_cast<uint8_t>(x >> 8));
}
inline void Put32(std::vector<uint8_t>* v, uint32_t x) {
  Put16(v, x & 0xFFFF);
  Put16(v, x >> 16);
}

// Pixel data cycles through the rest of the input; one input in four leaves
// the file short.
inline std::vector<uint8_t> MakeBmp(Reader* in) {
  static const uint16_t kBpp[] = {1, 4, 8, 16, 24, 32, 2, 0};
  static const uint32_t kHeader[] = {40, 40, 108, 124, 12, 56, 64, 40};
  const uint8_t shape = in->Byte();
  const uint32_t hsz = kHeader[shape & 7];
  const uint16_t bpp = kBpp[shape >> 3 & 7];
  const uint32_t compression = (shape & 0x40) ? in->Byte() % 5 : 0;
  const bool shortFile = (shape & 0x80) && (in->Byte() & 3) == 0;
  const int32_t w = 1 + in->Byte() % 64;
  int32_t h = 1 + in->Byte() % 64;
  if (in->Byte() & 1) h = -h;
  const uint32_t paletteEntries = bpp <= 8 ? in->Byte() % 257 : 0;

  std::vector<uint8_t> info;
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
    while (info.size() < hsz) info.push_back(in->Byte());
    if (compression == 3 && hsz < 108)
      for (int i = 0; i < 3; ++i) Put32(&info, in->Word());
  }
  for (uint32_t i = 0; i < paletteEntries * 4; ++i) info.push_back(in->Byte());

  const uint64_t stride = (static_cast<uint64_t>(w) * bpp + 31) / 32 * 4;
  uint64_t pixels = stride * static_cast<uint64_t>(h < 0 ? -h : h);
  if (shortFile && pixels > 0) pixels -= 1 + in->Byte() % pixels;

  std::vector<uint8_t> file{'B', 'M'};
  const uint32_t offset = 14 + static_cast<uint32_t>(info.size());
  Put32(&file, offset + static_cast<uint32_t>(pixels));
  Put32(&file, 0);
  Put32(&file, offset);
  file.insert(file.end(), info.begin(), info.end());
  const uint8_t* rest = in->Rest();
  const size_t left = in->Left();
  for (uint64_t i = 0; i < pixels; ++i) file.push_back(left ? rest[i % left] : 0);
  return file;
}

// A GIF screen and one image descriptor around the input's bytes as LZW data.
inline std::vector<uint8_t> MakeGif(Reader* in) {
  std::vector<uint8_t> file{'G', 'I', 'F', '8', '9', 'a'};
  const uint32_t w = 1 + in->Byte() % 64, h = 1 + in->Byte() % 64;
  Put16(&file, w);
  Put16(&file, h);
  const uint8_t tableBits = in->Byte() % 8;
  file.push_back(static_cast<uint8_t>(0xF0 | tableBits));
  file.push_back(0);
  file.push_back(0);
  for (int i = 0; i < 3 << (tableBits + 1); ++i) file.push_back(in->Byte());
  if (in->Byte() & 1) {
    const uint8_t gce[] = {0x21, 0xF9, 0x04, 0x01, 0, 0, in->Byte(), 0};
    file.insert(file.end(), gce, gce + sizeof gce);
  }
  file.push_back(',');
  Put16(&file, in->Byte() % 4);
  Put16(&file, in->Byte() % 4);
  Put16(&file, w - in->Byte() % 4);
  Put16(&file, h - in->Byte() % 4);
  file.push_back(in->Byte() & 0x40);  // sometimes interlaced
  file.push_back(static_cast<uint8_t>(2 + in->Byte() % 7));
  file.insert(file.end(), in->Rest(), in->Rest() + in->Left());
  return file;
}

inline std::vector<uint8_t> MutateJpeg(Reader* in) {
  const std::string sample = samples::JpegBytes();
  std::vector<uint8_t> file(sample.begin(), sample.end());
  const size_t edits = in->Left() / 3;
  for (size_t i = 0; i < edits; ++i) {
    const size_t at = (in->Byte() | in->Byte() << 8) % file.size();
    file[at] = in->Byte();
  }
  return file;
}

// The input as a picture file of the shape its first byte picks; *in is left
// at the bytes the shape did not use.
inline std::vector<uint8_t> ShapedPicture(const uint8_t* data, size_t size, Reader* in) {
  switch (data[0] % 4) {
    case 0: return std::vector<uint8_t>(data + 1, data + size);
    case 1: return MakeBmp(in);
    case 2: return MakeGif(in);
    default: return MutateJpeg(in);
  }
}

}  // namespace picture_shapes

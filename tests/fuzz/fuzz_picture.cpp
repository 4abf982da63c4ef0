// Decodes arbitrary bytes as a picture and, when one is accepted, builds the
// "PI" records and "IB" blocks of it, checking that every row comes out once.
// The first byte picks the input's shape: the bytes as they are, a BMP whose
// header is made from them, a GIF whose image data they are, or the sample
// JPEG with bytes of it overwritten. So random inputs reach deep into each
// decoder and not only its signature check.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "picture_shapes.h"
#include "picture_load.h"
#include "print/print_data.h"

namespace {

using picture_shapes::Reader;

void Build(const printdata::RgbImage& img, Reader* in) {
  const int width = (in->Byte() & 1) ? img.width : 1 + (in->Byte() | in->Byte() << 8) % 400;
  const int height = (in->Byte() & 1) ? img.height : 1 + in->Byte() % 80;
  const printdata::DotArea area{&img, width, height, {}};
  const int startColumn = (in->Byte() & 3) ? 0 : in->Byte() % width;
  const int rowBase = in->Byte();
  const long size = 16 + (in->Byte() | in->Byte() << 8) % 4096;

  std::vector<std::string> records;
  const bool fits = size >= printdata::MinPIRecordBufferSize(width, height, startColumn, rowBase);
  const int pi = printdata::BuildPIRecords(area, startColumn, rowBase, size, &records);
  CHECK(pi == (fits ? 0 : 100));
  if (pi == 0) {
    long rows = 0;
    for (const std::string& r : records) {
      CHECK(static_cast<long>(r.size()) <= size - 14);
      CHECK(r.compare(0, 5, "PI:0/") == 0);
      long slashes = 0;
      for (char c : r) slashes += c == '/';
      rows += slashes - 3 + 1;
    }
    CHECK(rows == height);
  }

  std::vector<std::vector<uint8_t>> blocks;
  const bool room = static_cast<size_t>(size) >= printdata::IBBlockSize(width);
  const int ib = printdata::BuildIBBlocks(area, rowBase, size, &blocks);
  CHECK(ib == (room ? 0 : 100));
  if (ib == 0) {
    CHECK(static_cast<int>(blocks.size()) == (height + 3) / 4);
    for (const auto& b : blocks) {
      CHECK(b.size() == printdata::IBBlockSize(width));
      CHECK(b[0] == 0x01 && (b[1] ^ b[2]) == 0xFF);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  Reader in(data + 1, size - 1);
  const std::vector<uint8_t> bytes = picture_shapes::ShapedPicture(data, size, &in);
  vantor::PictureLimits limits;  // small, so a run stays fast
  limits.maxSide = 4096;
  limits.maxPixels = 1 << 20;
  printdata::RgbImage img;
  const int r = vantor::LoadPictureMemory(bytes.data(), bytes.size(), &img, limits);
  CHECK(r == 0 || r == 200);
  if (r != 0) return 0;
  CHECK(img.width >= 1 && img.height >= 1 && img.width <= 4096 && img.height <= 4096);
  CHECK(img.rgb.size() == static_cast<size_t>(img.width) * img.height * 3);
  Build(img, &in);
  return 0;
}

#include "picture_load.h"

#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "bmp_file.h"
#include "jpeg_sample.h"
#include "platform/cp932.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#include <stb/stb_image_write.h>

// With a sanitizer the allocator tells us every allocation's size, so a test
// can see that a huge header is refused before anything is allocated for it.
extern "C" int __sanitizer_install_malloc_and_free_hooks(
    void (*malloc_hook)(const volatile void*, size_t),
    void (*free_hook)(const volatile void*)) __attribute__((weak));

namespace {

using printdata::RgbImage;
using vantor::LoadPictureFile;
using vantor::LoadPictureMemory;
using vantor::PictureLimits;

std::atomic<bool> gWatching{false};
std::atomic<size_t> gLargest{0};

void OnMalloc(const volatile void*, size_t n) {
  if (!gWatching.load(std::memory_order_relaxed)) return;
  size_t seen = gLargest.load(std::memory_order_relaxed);
  while (n > seen && !gLargest.compare_exchange_weak(seen, n)) {
  }
}
void OnFree(const volatile void*) {}

bool WatchAllocations() {
  static const bool installed = __sanitizer_install_malloc_and_free_hooks != nullptr &&
                                __sanitizer_install_malloc_and_free_hooks(OnMalloc, OnFree) != 0;
  return installed;
}

using Bmp = testpictures::BmpFile;
using testpictures::Put16;
using testpictures::Put32;

// A GIF with a four-colour table. Codes stay 3 bits wide: a clear code
// before every pair of pixels keeps the decoder's table from growing.
std::string Gif(int w, int h, const std::vector<uint32_t>& colours,
                const std::vector<std::vector<int>>& frames, int transparent = -1) {
  std::string g = "GIF89a";
  Put16(&g, static_cast<uint32_t>(w));
  Put16(&g, static_cast<uint32_t>(h));
  g += "\xF1";
  g.push_back('\0');
  g.push_back('\0');
  for (int i = 0; i < 4; ++i) {
    const uint32_t c = i < static_cast<int>(colours.size()) ? colours[i] : 0;
    g.push_back(static_cast<char>(c >> 16 & 0xFF));
    g.push_back(static_cast<char>(c >> 8 & 0xFF));
    g.push_back(static_cast<char>(c & 0xFF));
  }
  for (const auto& pixels : frames) {
    if (transparent >= 0) {
      g += "\x21\xF9\x04\x01";
      Put16(&g, 0);
      g.push_back(static_cast<char>(transparent));
      g.push_back('\0');
    }
    g.push_back(',');
    Put32(&g, 0);
    Put16(&g, static_cast<uint32_t>(w));
    Put16(&g, static_cast<uint32_t>(h));
    g.push_back('\0');
    g.push_back('\x02');
    std::vector<int> codes;
    for (size_t i = 0; i < pixels.size(); ++i) {
      if (i % 2 == 0) codes.push_back(4);
      codes.push_back(pixels[i]);
    }
    codes.push_back(5);
    std::string data;
    uint32_t acc = 0;
    int bits = 0;
    for (int c : codes) {
      acc |= static_cast<uint32_t>(c) << bits;
      bits += 3;
      while (bits >= 8) {
        data.push_back(static_cast<char>(acc & 0xFF));
        acc >>= 8;
        bits -= 8;
      }
    }
    if (bits) data.push_back(static_cast<char>(acc));
    for (size_t at = 0; at < data.size(); at += 255) {
      const std::string part = data.substr(at, 255);
      g.push_back(static_cast<char>(part.size()));
      g += part;
    }
    g.push_back('\0');
  }
  g.push_back(';');
  return g;
}

void Append(void* ctx, void* data, int size) {
  static_cast<std::string*>(ctx)->append(static_cast<const char*>(data), static_cast<size_t>(size));
}

std::vector<uint8_t> Pixel(const RgbImage& img, int x, int y) {
  const size_t at = (static_cast<size_t>(y) * img.width + x) * 3;
  return {img.rgb[at], img.rgb[at + 1], img.rgb[at + 2]};
}

std::vector<uint8_t> Rgb(uint32_t c) {
  return {static_cast<uint8_t>(c >> 16), static_cast<uint8_t>(c >> 8), static_cast<uint8_t>(c)};
}

class PictureLoad : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/picture_load_test.XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
  }
  void TearDown() override { std::system(("rm -rf '" + dir_ + "'").c_str()); }

  std::string Write(const std::string& name, const std::string& bytes) {
    const std::string path = dir_ + "/" + name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }
  int Load(const std::string& bytes, RgbImage* img) {
    return LoadPictureFile(Write("picture.bmp", bytes).c_str(), img);
  }

  std::string dir_;
};

// 5 x 3 with a colour per pixel that tells where it came from.
uint32_t Colour(int x, int y) { return 0x102030u * static_cast<uint32_t>(x + 1) ^ 0x0F0F00u * static_cast<uint32_t>(y); }

void ExpectPattern(const RgbImage& img) {
  ASSERT_EQ(img.width, 5);
  ASSERT_EQ(img.height, 3);
  ASSERT_EQ(img.rgb.size(), 45u);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) EXPECT_EQ(Pixel(img, x, y), Rgb(Colour(x, y))) << x << "," << y;
}

TEST_F(PictureLoad, Bmp24BitBottomUpAndTopDown) {
  for (bool topDown : {false, true}) {
    Bmp bmp;
    bmp.width = 5;
    bmp.height = 3;
    bmp.topDown = topDown;
    bmp.value = Colour;
    RgbImage img;
    ASSERT_EQ(Load(bmp.Encode(), &img), 0) << topDown;
    ExpectPattern(img);
  }
}

TEST_F(PictureLoad, Bmp32BitIgnoresAlphaAndTakesBitFields) {
  Bmp plain;
  plain.width = 5;
  plain.height = 3;
  plain.bpp = 32;
  plain.value = [](int x, int y) { return Colour(x, y) | (x == 0 ? 0x80000000u : 0u); };
  RgbImage img;
  ASSERT_EQ(Load(plain.Encode(), &img), 0);
  ExpectPattern(img);

  // A V5 header, top-down, with the channels in other places.
  Bmp v5 = plain;
  v5.headerSize = 124;
  v5.topDown = true;
  v5.compression = 3;
  v5.masks = {0x000000FF, 0x0000FF00, 0x00FF0000, 0};
  v5.value = [](int x, int y) {
    const uint32_t c = Colour(x, y);
    return (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF);
  };
  ASSERT_EQ(Load(v5.Encode(), &img), 0);
  ExpectPattern(img);
}

TEST_F(PictureLoad, Bmp16BitFiveFiveFiveAndBitFields) {
  Bmp rgb555;
  rgb555.width = 3;
  rgb555.height = 2;
  rgb555.bpp = 16;
  rgb555.value = [](int x, int y) {
    static const uint32_t v[2][3] = {{0x7FFF, 0x7C00, 0x03E0}, {0x001F, 0x0000, 0x4210}};
    return v[y][x];
  };
  RgbImage img;
  ASSERT_EQ(Load(rgb555.Encode(), &img), 0);
  EXPECT_EQ(Pixel(img, 0, 0), Rgb(0xFFFFFF));
  EXPECT_EQ(Pixel(img, 1, 0), Rgb(0xFF0000));
  EXPECT_EQ(Pixel(img, 2, 0), Rgb(0x00FF00));
  EXPECT_EQ(Pixel(img, 0, 1), Rgb(0x0000FF));
  EXPECT_EQ(Pixel(img, 1, 1), Rgb(0x000000));
  EXPECT_EQ(Pixel(img, 2, 1), Rgb(0x848484));

  Bmp rgb565 = rgb555;
  rgb565.compression = 3;
  rgb565.masks = {0xF800, 0x07E0, 0x001F};
  rgb565.value = [](int x, int y) {
    static const uint32_t v[2][3] = {{0xFFFF, 0xF800, 0x07E0}, {0x001F, 0x0000, 0x0000}};
    return v[y][x];
  };
  ASSERT_EQ(Load(rgb565.Encode(), &img), 0);
  EXPECT_EQ(Pixel(img, 0, 0), Rgb(0xFFFFFF));
  EXPECT_EQ(Pixel(img, 1, 0), Rgb(0xFF0000));
  EXPECT_EQ(Pixel(img, 2, 0), Rgb(0x00FF00));
  EXPECT_EQ(Pixel(img, 0, 1), Rgb(0x0000FF));
}

TEST_F(PictureLoad, BmpWithPalettes) {
  const std::vector<uint32_t> colours{0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF,
                                      0x123456, 0x808080, 0xFEDCBA};
  for (int bpp : {1, 4, 8}) {
    SCOPED_TRACE(bpp);
    Bmp bmp;
    bmp.width = 11;  // 1 bit: crosses a byte and pads the row
    bmp.height = 3;
    bmp.bpp = bpp;
    bmp.palette = colours;
    bmp.palette.resize(bpp == 1 ? 2 : colours.size());
    const uint32_t n = static_cast<uint32_t>(bmp.palette.size());
    bmp.value = [n](int x, int y) { return static_cast<uint32_t>(x * 3 + y) % n; };
    RgbImage img;
    ASSERT_EQ(Load(bmp.Encode(), &img), 0);
    ASSERT_EQ(img.width, 11);
    ASSERT_EQ(img.height, 3);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 11; ++x)
        EXPECT_EQ(Pixel(img, x, y), Rgb(bmp.palette[bmp.value(x, y)])) << x << "," << y;
  }
}

TEST_F(PictureLoad, GifFirstFrameWithTransparentPixelsWhite) {
  const std::vector<uint32_t> colours{0x000000, 0xFF0000, 0x0000FF, 0x00FF00};
  const std::string gif = Gif(3, 2, colours, {{0, 1, 2, 3, 3, 0}, {1, 1, 1, 1, 1, 1}}, 3);
  RgbImage img;
  ASSERT_EQ(Load(gif, &img), 0);
  ASSERT_EQ(img.width, 3);
  ASSERT_EQ(img.height, 2);
  EXPECT_EQ(Pixel(img, 0, 0), Rgb(0x000000));
  EXPECT_EQ(Pixel(img, 1, 0), Rgb(0xFF0000));
  EXPECT_EQ(Pixel(img, 2, 0), Rgb(0x0000FF));
  EXPECT_EQ(Pixel(img, 0, 1), Rgb(0xFFFFFF));
  EXPECT_EQ(Pixel(img, 1, 1), Rgb(0xFFFFFF));
  EXPECT_EQ(Pixel(img, 2, 1), Rgb(0x000000));
}

TEST_F(PictureLoad, JpegDecodes) {
  RgbImage img;
  ASSERT_EQ(Load(samples::JpegBytes(), &img), 0);
  ASSERT_EQ(img.width, 16);
  ASSERT_EQ(img.height, 16);
  for (int y = 0; y < 16; ++y) {
    const std::vector<uint8_t> dark = Pixel(img, 2, y), light = Pixel(img, 13, y);
    EXPECT_EQ(printdata::ClassifyPixel(dark[0], dark[1], dark[2]), 1);
    EXPECT_EQ(printdata::ClassifyPixel(light[0], light[1], light[2]), 0);
  }
}

TEST_F(PictureLoad, OtherContentIsNotABitmap) {
  const std::vector<uint8_t> rgb(4 * 4 * 3, 0);
  std::string png;
  ASSERT_NE(stbi_write_png_to_func(Append, &png, 4, 4, 3, rgb.data(), 12), 0);

  const std::string ico = testpictures::IconFile();

  const std::string jpeg = samples::JpegBytes();

  Bmp good;
  good.width = 5;
  good.height = 3;
  good.value = Colour;
  const std::string full = good.Encode();

  auto withCompression = [](int bpp, uint32_t compression) {
    Bmp b;
    b.width = 4;
    b.height = 2;
    b.bpp = bpp;
    b.compression = compression;
    if (bpp <= 8) b.palette = {0, 0xFFFFFF};
    b.value = [](int, int) { return 0u; };
    return b.Encode();
  };
  // The old 12-byte header with a palette of 3-byte entries.
  std::string core = "BM";
  Put32(&core, 36);
  Put32(&core, 0);
  Put32(&core, 32);
  Put32(&core, 12);
  Put16(&core, 2);
  Put16(&core, 1);
  Put16(&core, 1);
  Put16(&core, 1);
  core += std::string("\0\0\0\xFF\xFF\xFF\x40\0\0\0", 10);

  const struct {
    const char* what;
    std::string bytes;
  } cases[] = {
      {"png", png},
      {"icon", ico},
      {"rle8", withCompression(8, 1)},
      {"rle4", withCompression(4, 2)},
      {"bit fields at 24 bits", withCompression(24, 3)},
      {"embedded jpeg", withCompression(24, 4)},
      {"old header with a palette", core},
      {"empty", ""},
      {"pixel rows cut short", full.substr(0, full.size() - 1)},
      {"header only", full.substr(0, 54)},
      {"header cut", full.substr(0, 20)},
      {"just BM", "BM"},
      {"text", "This is not a picture.\r\n"},
      {"jpeg without a scan", jpeg.substr(0, jpeg.find("\xFF\xDA")) + "\xFF\xD9"},
      {"gif cut", Gif(3, 2, {0, 0xFFFFFF}, {{0, 1, 0, 1, 0, 1}}).substr(0, 20)},
  };
  for (const auto& c : cases) {
    RgbImage img;
    img.width = 7;
    EXPECT_EQ(Load(c.bytes, &img), 200) << c.what;
    EXPECT_EQ(img.width, 7) << c.what;
  }
}

TEST_F(PictureLoad, MissingFileOrPathGives100) {
  RgbImage img;
  EXPECT_EQ(LoadPictureFile((dir_ + "/none.bmp").c_str(), &img), 100);
  EXPECT_EQ(LoadPictureFile("", &img), 100);
  EXPECT_EQ(LoadPictureFile(nullptr, &img), 100);
  EXPECT_EQ(LoadPictureFile(dir_.c_str(), &img), 100);  // a folder
}

TEST_F(PictureLoad, FolderWithAJapaneseName) {
  std::string cp932;
  ASSERT_TRUE(plat::Utf8ToCp932("テスト", &cp932));
  ASSERT_EQ(cp932, "\x83\x65\x83\x58\x83\x67");
  ASSERT_EQ(mkdir((dir_ + "/テスト").c_str(), 0755), 0);
  Bmp bmp;
  bmp.width = 5;
  bmp.height = 3;
  bmp.value = Colour;
  Write("テスト/絵.bmp", bmp.Encode());
  std::string name;
  ASSERT_TRUE(plat::Utf8ToCp932("絵.bmp", &name));
  RgbImage img;
  ASSERT_EQ(LoadPictureFile((dir_ + "/" + cp932 + "/" + name).c_str(), &img), 0);
  ExpectPattern(img);
}

TEST_F(PictureLoad, HugeSizesAreRefusedBeforeAllocating) {
  const bool watched = WatchAllocations();
  // Headers alone: a BMP claiming 100000 x 100000, a JPEG frame and a GIF
  // screen of 20000 x 20000, which the decoder would otherwise allocate.
  std::string bmp = "BM";
  Put32(&bmp, 0);
  Put32(&bmp, 0);
  Put32(&bmp, 62);
  Put32(&bmp, 40);
  Put32(&bmp, 100000);
  Put32(&bmp, 100000);
  Put16(&bmp, 1);
  Put16(&bmp, 1);
  bmp += std::string(24, '\0');
  Put32(&bmp, 0);
  Put32(&bmp, 0xFFFFFF);
  const std::string jpeg(
      "\xFF\xD8\xFF\xC0\x00\x11\x08\x4E\x20\x4E\x20\x03\x01\x22\x00\x02\x11\x01\x03\x11\x01"
      "\xFF\xD9", 23);
  std::string gif = Gif(1, 1, {0}, {{0}});
  gif[6] = gif[8] = '\x20';
  gif[7] = gif[9] = '\x4E';

  gLargest = 0;
  gWatching = true;
  RgbImage img;
  EXPECT_EQ(LoadPictureMemory(reinterpret_cast<const uint8_t*>(bmp.data()), bmp.size(), &img), 200);
  EXPECT_EQ(LoadPictureMemory(reinterpret_cast<const uint8_t*>(jpeg.data()), jpeg.size(), &img), 200);
  EXPECT_EQ(LoadPictureMemory(reinterpret_cast<const uint8_t*>(gif.data()), gif.size(), &img), 200);
  gWatching = false;
  if (watched) {
    EXPECT_LT(gLargest.load(), size_t{1} << 20);
  }
}

TEST_F(PictureLoad, LimitsApplyToWholePictures) {
  Bmp bmp;
  bmp.width = 20;
  bmp.height = 20;
  bmp.value = [](int, int) { return 0u; };
  const std::string bytes = bmp.Encode();
  const auto* p = reinterpret_cast<const uint8_t*>(bytes.data());
  RgbImage img;
  PictureLimits fewPixels;
  fewPixels.maxPixels = 399;
  EXPECT_EQ(LoadPictureMemory(p, bytes.size(), &img, fewPixels), 200);
  PictureLimits narrow;
  narrow.maxSide = 19;
  EXPECT_EQ(LoadPictureMemory(p, bytes.size(), &img, narrow), 200);
  PictureLimits smallFile;
  smallFile.maxFileBytes = static_cast<int64_t>(bytes.size()) - 1;
  EXPECT_EQ(LoadPictureFile(Write("a.bmp", bytes).c_str(), &img, smallFile), 200);
  EXPECT_EQ(LoadPictureMemory(p, bytes.size(), &img), 0);
  EXPECT_EQ(img.width * img.height, 400);
}

}  // namespace

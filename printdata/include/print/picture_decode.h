// Decodes the pictures the downloads print: a BMP (1, 4, 8, 16, 24 or 32
// bits per pixel, bottom-up or top-down, uncompressed or with bit fields),
// the first frame of a GIF, or a JPEG, into 8-bit RGB.
//
// Anything else is not a picture we take: an icon, a PNG, an RLE-compressed
// BMP, an empty, truncated or corrupt file. The size is read from the header
// and checked before any pixel memory is allocated, so a bogus header fails
// cleanly. A GIF's transparent pixels are paper (white); the alpha byte of a
// 32-bit BMP is not looked at, as the system's own bitmap drawing does not.
//
// One decoder for the library's downloads and the bitmap window, so the
// window shows exactly the pictures, and the pixels, that a download sends.
#pragma once
#include <cstddef>
#include <cstdint>

#include "print/print_data.h"

namespace printdata {

constexpr int kPictureDecoded = 0;
constexpr int kPictureRefused = 200;

enum class PictureKind { kNone, kBmp, kGif, kJpeg };

struct PictureLimits {
  int maxSide = 32767;                   // pixels, either dimension
  int64_t maxPixels = int64_t{1} << 26;  // 64 Mpixel
  int64_t maxFileBytes = int64_t{512} << 20;
};

// The kind by the file's signature: "BM", "GIF87a"/"GIF89a", FF D8 FF.
PictureKind SniffPicture(const uint8_t* p, size_t n);

// 1 .. maxSide each way and at most maxPixels in all.
bool PictureSizeAllowed(int64_t width, int64_t height, const PictureLimits& limits);

// kPictureDecoded with the picture in *out, or kPictureRefused with *out
// left as it was.
int DecodePicture(const uint8_t* data, size_t size, RgbImage* out, const PictureLimits& limits = PictureLimits());

}  // namespace printdata

// Loads the picture a download prints: a bitmap picture (BMP of 1, 4, 8, 16,
// 24 or 32 bits per pixel, bottom-up or top-down, uncompressed or with bit
// fields; the first frame of a GIF; a JPEG) decoded to 8-bit RGB.
//
// Anything else is not a bitmap picture: an icon, a PNG, an RLE-compressed
// BMP, an empty, truncated or corrupt file. The picture's size is taken from
// its header and checked before any pixel memory is allocated.
#pragma once
#include <cstddef>
#include <cstdint>

#include "print/picture_decode.h"
#include "print/print_data.h"

namespace vantor {

constexpr int kPictureOk = 0;
constexpr int kPictureNoFile = 100;     // empty path, or the file cannot be opened or read
constexpr int kPictureNotBitmap = 200;  // the content is not a bitmap picture we take

using PictureLimits = printdata::PictureLimits;

// path: CP932 bytes as the caller's program holds them; turned into the file
// system's UTF-8 before opening. On success *out holds the picture; on failure
// it is left as it was.
int LoadPictureFile(const char* path, printdata::RgbImage* out,
                    const PictureLimits& limits = PictureLimits());

// The same decoding for bytes already in memory: 0 or 200.
int LoadPictureMemory(const uint8_t* data, size_t size, printdata::RgbImage* out,
                      const PictureLimits& limits = PictureLimits());

}  // namespace vantor

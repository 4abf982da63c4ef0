#include "print/picture_decode.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>

// The decoder is compiled here, and only for the kinds we take, so nothing
// else of it is reachable from a picture file.
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_ONLY_BMP
#define STBI_ONLY_GIF
#define STBI_ONLY_JPEG
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#include <stb/stb_image.h>

namespace printdata {
namespace {

uint32_t Le16(const uint8_t* p) { return static_cast<uint32_t>(p[0] | p[1] << 8); }
uint32_t Le32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0] | p[1] << 8 | p[2] << 16) | static_cast<uint32_t>(p[3]) << 24;
}

// Every pixel of a paletted BMP names a colour the palette holds: the
// decoder would paint any other index from memory it never filled.
bool PaletteCovers(const uint8_t* rows, uint64_t stride, int w, int h, int bpp, unsigned entries) {
  if (entries >= (1u << bpp)) return true;
  const int perByte = 8 / bpp;
  const unsigned mask = (1u << bpp) - 1;
  for (int y = 0; y < h; ++y) {
    const uint8_t* row = rows + static_cast<uint64_t>(y) * stride;
    for (int x = 0; x < w; ++x) {
      const int shift = 8 - bpp * (x % perByte + 1);
      if ((row[x / perByte] >> shift & mask) >= entries) return false;
    }
  }
  return true;
}

// The header is judged here, not left to the decoder: it reads past the end
// of its input as zeros (a truncated file would pass), it reports a top-down
// picture's height as negative and it would allocate any size up to 2 GB.
// Header sizes we read: the 12-byte core header (24 and 32 bits only: the
// decoder misplaces its 3-byte palette) and the 40, 56, 108 and 124-byte
// info headers; RLE and embedded JPEG/PNG bitmaps are refused, and so is a
// file that ends before its last pixel row, and a paletted one without a
// palette or with pixels that name colours past its end.
bool BmpHeaderUsable(const uint8_t* p, size_t n, const PictureLimits& limits, int* width, int* height) {
  if (n < 26) return false;
  const uint32_t offset = Le32(p + 10);
  const uint32_t headerSize = Le32(p + 14);
  int64_t w = 0, h = 0;
  uint32_t planes = 0, bpp = 0, compression = 0, maskBytes = 0;
  if (headerSize == 12) {
    w = Le16(p + 18);
    h = Le16(p + 20);
    planes = Le16(p + 22);
    bpp = Le16(p + 24);
    if (bpp < 24) return false;
  } else if (headerSize == 40 || headerSize == 56 || headerSize == 108 || headerSize == 124) {
    if (n < 34) return false;
    w = static_cast<int32_t>(Le32(p + 18));
    h = static_cast<int32_t>(Le32(p + 22));
    planes = Le16(p + 26);
    bpp = Le16(p + 28);
    compression = Le32(p + 30);
  } else {
    return false;
  }
  if (planes != 1) return false;
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) return false;
  if (compression == 3) {  // bit fields: 16 and 32 bits only; masks follow a short header
    if (bpp != 16 && bpp != 32) return false;
    if (headerSize == 40 || headerSize == 56) maskBytes = 12;
  } else if (compression != 0) {
    return false;
  }
  if (h < 0) h = -h;  // top-down rows; INT32_MIN fails the size check
  if (!PictureSizeAllowed(w, h, limits)) return false;

  const uint64_t headerEnd = 14 + uint64_t{headerSize} + maskBytes;
  if (offset < headerEnd) return false;
  if (bpp <= 8 && offset - headerEnd < 4) return false;
  const uint64_t stride = (static_cast<uint64_t>(w) * bpp + 31) / 32 * 4;
  if (uint64_t{offset} + stride * static_cast<uint64_t>(h) > n) return false;
  if (bpp <= 8) {
    const uint64_t entries = std::min<uint64_t>((offset - headerEnd) / 4, 256);
    if (!PaletteCovers(p + offset, stride, static_cast<int>(w), static_cast<int>(h), static_cast<int>(bpp),
                       static_cast<unsigned>(entries))) {
      return false;
    }
  }
  *width = static_cast<int>(w);
  *height = static_cast<int>(h);
  return true;
}

// Walks a JPEG's marker segments and refuses what the decoder would take on
// trust and then read or write outside its tables for: a Huffman table of
// more than 256 symbols; a scan that uses a Huffman table, or a frame
// component a quantisation table, that no earlier segment defined; a file
// that ends before its first scan. Entropy-coded data runs to the next
// marker that is neither stuffing (FF 00) nor a restart.
bool JpegSegmentsUsable(const uint8_t* p, size_t n) {
  unsigned dcTables = 0, acTables = 0, quantTables = 0;  // bit i: table i defined
  uint8_t frameQuant[256];
  std::memset(frameQuant, 0xFF, sizeof frameQuant);  // component id -> its table
  bool scan = false;
  size_t at = 2;  // after SOI
  while (at + 1 < n) {
    if (p[at] != 0xFF) return false;
    const uint8_t marker = p[at + 1];
    if (marker == 0xFF) {  // fill byte
      ++at;
      continue;
    }
    at += 2;
    if (marker == 0xD9) break;
    if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) continue;  // no length
    if (at + 1 >= n) return false;
    const size_t len = static_cast<size_t>(p[at] << 8 | p[at + 1]);  // counts itself
    if (len < 2 || at + len > n) return false;
    const uint8_t* seg = p + at + 2;
    const size_t segLen = len - 2;
    if (marker == 0xC4) {  // DHT: class/id, 16 counts, symbols; repeated
      size_t t = 0;
      while (t < segLen) {
        if (t + 17 > segLen) return false;
        size_t symbols = 0;
        for (size_t i = 1; i <= 16; ++i) symbols += seg[t + i];
        if (symbols > 256) return false;
        const unsigned id = seg[t] & 15;
        if (id > 3) return false;
        (seg[t] >> 4 ? acTables : dcTables) |= 1u << id;
        t += 17 + symbols;
      }
    } else if (marker == 0xDB) {  // DQT: precision/id, 64 or 128 bytes; repeated
      size_t t = 0;
      while (t < segLen) {
        const unsigned id = seg[t] & 15;
        if (id > 3) return false;
        quantTables |= 1u << id;
        t += 1 + ((seg[t] >> 4) ? 128 : 64);
      }
    } else if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) {
      // SOFn: precision, height, width, components with their tables
      if (segLen < 6) return false;
      const size_t components = seg[5];
      if (segLen < 6 + 3 * components) return false;
      for (size_t c = 0; c < components; ++c) frameQuant[seg[6 + 3 * c]] = seg[8 + 3 * c] & 15;
    } else if (marker == 0xDA) {  // SOS: components with their tables, Ss, Se, Ah/Al
      if (segLen < 1) return false;
      const size_t components = seg[0];
      if (segLen < 1 + 2 * components + 3) return false;
      const uint8_t ss = seg[1 + 2 * components], se = seg[2 + 2 * components];
      for (size_t c = 0; c < components; ++c) {
        const uint8_t q = frameQuant[seg[1 + 2 * c]];
        const unsigned dc = seg[2 + 2 * c] >> 4, ac = seg[2 + 2 * c] & 15;
        if (q > 3 || !(quantTables >> q & 1)) return false;
        if (ss == 0 && (dc > 3 || !(dcTables >> dc & 1))) return false;
        if (se > 0 && (ac > 3 || !(acTables >> ac & 1))) return false;
      }
      scan = true;
    }
    at += len;
    if (marker == 0xDA) {
      while (at + 1 < n && !(p[at] == 0xFF && p[at + 1] != 0x00 && !(p[at + 1] >= 0xD0 && p[at + 1] <= 0xD7)))
        ++at;
    }
  }
  return scan;
}

}  // namespace

PictureKind SniffPicture(const uint8_t* p, size_t n) {
  if (p == nullptr) return PictureKind::kNone;
  if (n >= 2 && p[0] == 'B' && p[1] == 'M') return PictureKind::kBmp;
  if (n >= 6 && std::memcmp(p, "GIF8", 4) == 0 && (p[4] == '7' || p[4] == '9') && p[5] == 'a')
    return PictureKind::kGif;
  if (n >= 3 && p[0] == 0xFF && p[1] == 0xD8 && p[2] == 0xFF) return PictureKind::kJpeg;
  return PictureKind::kNone;
}

bool PictureSizeAllowed(int64_t width, int64_t height, const PictureLimits& limits) {
  return width >= 1 && height >= 1 && width <= limits.maxSide && height <= limits.maxSide &&
         width * height <= limits.maxPixels;
}

int DecodePicture(const uint8_t* data, size_t size, RgbImage* out, const PictureLimits& limits) {
  if (data == nullptr || out == nullptr || size == 0) return kPictureRefused;
  if (static_cast<uint64_t>(size) > static_cast<uint64_t>(limits.maxFileBytes) ||
      size > static_cast<size_t>(INT_MAX)) {
    return kPictureRefused;
  }
  const PictureKind kind = SniffPicture(data, size);
  if (kind == PictureKind::kNone) return kPictureRefused;
  const int len = static_cast<int>(size);
  int w = 0, h = 0, comp = 0;
  if (kind == PictureKind::kBmp) {
    if (!BmpHeaderUsable(data, size, limits, &w, &h)) return kPictureRefused;
  } else {
    if (kind == PictureKind::kJpeg && !JpegSegmentsUsable(data, size)) return kPictureRefused;
    // The size from the header, before the decoder allocates for it.
    if (!stbi_info_from_memory(data, len, &w, &h, &comp) || !PictureSizeAllowed(w, h, limits))
      return kPictureRefused;
  }

  const int channels = kind == PictureKind::kGif ? 4 : 3;
  int dw = 0, dh = 0;
  stbi_uc* pixels = stbi_load_from_memory(data, len, &dw, &dh, &comp, channels);
  if (pixels == nullptr) return kPictureRefused;
  if (dw != w || dh != h) {
    stbi_image_free(pixels);
    return kPictureRefused;
  }

  const size_t count = static_cast<size_t>(w) * static_cast<size_t>(h);
  std::vector<uint8_t> rgb(count * 3);
  if (channels == 3) {
    std::memcpy(rgb.data(), pixels, rgb.size());
  } else {
    const stbi_uc* s = pixels;
    uint8_t* d = rgb.data();
    for (size_t i = 0; i < count; ++i, s += 4, d += 3) {
      const bool clear = s[3] == 0;
      d[0] = clear ? 255 : s[0];
      d[1] = clear ? 255 : s[1];
      d[2] = clear ? 255 : s[2];
    }
  }
  stbi_image_free(pixels);

  out->width = w;
  out->height = h;
  out->rgb.swap(rgb);
  return kPictureDecoded;
}

}  // namespace printdata

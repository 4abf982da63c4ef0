#include "picture_load.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "platform/cp932.h"

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

namespace vantor {
namespace {

enum class Kind { kNone, kBmp, kGif, kJpeg };

Kind Sniff(const uint8_t* p, size_t n) {
  if (n >= 2 && p[0] == 'B' && p[1] == 'M') return Kind::kBmp;
  if (n >= 6 && std::memcmp(p, "GIF8", 4) == 0 && (p[4] == '7' || p[4] == '9') && p[5] == 'a')
    return Kind::kGif;
  if (n >= 3 && p[0] == 0xFF && p[1] == 0xD8 && p[2] == 0xFF) return Kind::kJpeg;
  return Kind::kNone;
}

uint32_t Le16(const uint8_t* p) { return p[0] | p[1] << 8; }
uint32_t Le32(const uint8_t* p) {
  return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}

bool SizeAllowed(int64_t w, int64_t h, const PictureLimits& limits) {
  return w >= 1 && h >= 1 && w <= limits.maxSide && h <= limits.maxSide &&
         w * h <= limits.maxPixels;
}

// The header is judged here, not left to the decoder: it reads past the end
// of its input as zeros (a truncated file would pass), it reports a top-down
// picture's height as negative and it would allocate any size up to 2 GB.
// We take the kinds listed above, a size within the limits and a file that
// holds all its pixel rows.
bool BmpHeaderUsable(const uint8_t* p, size_t n, const PictureLimits& limits, int* width,
                     int* height) {
  if (n < 26) return false;
  const uint32_t offset = Le32(p + 10);
  const uint32_t hsz = Le32(p + 14);
  int64_t w, h;
  uint32_t planes, bpp, compression = 0;
  uint32_t masks = 0;       // bytes of bit masks after a 40 or 56 byte header
  if (hsz == 12) {
    w = Le16(p + 18);
    h = Le16(p + 20);
    planes = Le16(p + 22);
    bpp = Le16(p + 24);
    // The decoder misplaces the 3-byte palette of these old headers.
    if (bpp < 24) return false;
  } else if (hsz == 40 || hsz == 56 || hsz == 108 || hsz == 124) {
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
  // BI_RGB, or BI_BITFIELDS for 16 and 32 bits; RLE and embedded JPEG/PNG are refused.
  if (compression == 3) {
    if (bpp != 16 && bpp != 32) return false;
    if (hsz == 40 || hsz == 56) masks = 12;
  } else if (compression != 0) {
    return false;
  }
  if (h < 0) h = -h;  // top-down; INT32_MIN is caught by the size check
  if (!SizeAllowed(w, h, limits)) return false;

  const uint64_t headerEnd = 14 + uint64_t{hsz} + masks;
  if (offset < headerEnd) return false;
  if (bpp <= 8 && offset - headerEnd < 4) return false;  // no palette
  const uint64_t stride = (static_cast<uint64_t>(w) * bpp + 31) / 32 * 4;
  if (uint64_t{offset} + stride * static_cast<uint64_t>(h) > n) return false;
  *width = static_cast<int>(w);
  *height = static_cast<int>(h);
  return true;
}

// Walks a JPEG's marker segments the strict way and judges what the decoder
// would take on trust, each of which makes it read or write outside its
// tables or decode memory it never filled:
// - a Huffman table whose code counts add up to more than 256 symbols;
// - a scan that uses a Huffman table, or a frame component whose
//   quantisation table, no earlier segment defined;
// - a file that ends before its first scan (it would come out grey).
// Entropy-coded data runs to the next marker that is neither stuffing (FF 00)
// nor a restart.
bool JpegSegmentsUsable(const uint8_t* p, size_t n) {
  unsigned dcTables = 0, acTables = 0, quantTables = 0;  // bit i: table i defined
  std::vector<uint8_t> frameQuant(256, 0xFF);             // component id -> table
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
    } else if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 &&
               marker != 0xCC) {  // SOFn: precision, height, width, components
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
      while (at + 1 < n &&
             !(p[at] == 0xFF && p[at + 1] != 0x00 && !(p[at + 1] >= 0xD0 && p[at + 1] <= 0xD7)))
        ++at;
    }
  }
  return scan;
}

}  // namespace

int LoadPictureMemory(const uint8_t* data, size_t size, printdata::RgbImage* out,
                      const PictureLimits& limits) {
  if (data == nullptr || out == nullptr || size == 0) return kPictureNotBitmap;
  if (static_cast<uint64_t>(size) > static_cast<uint64_t>(limits.maxFileBytes) ||
      size > static_cast<size_t>(INT32_MAX)) {
    return kPictureNotBitmap;
  }
  const Kind kind = Sniff(data, size);
  if (kind == Kind::kNone) return kPictureNotBitmap;
  const int len = static_cast<int>(size);
  int w = 0, h = 0, comp = 0;
  if (kind == Kind::kBmp) {
    if (!BmpHeaderUsable(data, size, limits, &w, &h)) return kPictureNotBitmap;
  } else {
    if (kind == Kind::kJpeg && !JpegSegmentsUsable(data, size)) return kPictureNotBitmap;
    // The size from the header, before the decoder allocates for it.
    if (!stbi_info_from_memory(data, len, &w, &h, &comp) || !SizeAllowed(w, h, limits))
      return kPictureNotBitmap;
  }

  // A GIF comes with alpha: its transparent pixels are blank paper. The alpha
  // byte of a 32-bit BMP is not looked at, as the system's own bitmap drawing
  // does not.
  const int channels = kind == Kind::kGif ? 4 : 3;
  int dw = 0, dh = 0;
  stbi_uc* pixels = stbi_load_from_memory(data, len, &dw, &dh, &comp, channels);
  if (pixels == nullptr) return kPictureNotBitmap;
  if (dw != w || dh != h) {
    stbi_image_free(pixels);
    return kPictureNotBitmap;
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
  return kPictureOk;
}

int LoadPictureFile(const char* path, printdata::RgbImage* out, const PictureLimits& limits) {
  if (path == nullptr || *path == '\0' || out == nullptr) return kPictureNoFile;
  std::string utf8;
  if (!plat::Cp932ToUtf8(path, &utf8)) return kPictureNoFile;

  const int fd = ::open(utf8.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return kPictureNoFile;
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return kPictureNoFile;
  }
  if (st.st_size > limits.maxFileBytes) {
    ::close(fd);
    return kPictureNotBitmap;
  }

  std::vector<uint8_t> bytes(static_cast<size_t>(st.st_size));
  size_t got = 0;
  while (got < bytes.size()) {
    const ssize_t r = ::read(fd, bytes.data() + got, bytes.size() - got);
    if (r < 0 && errno == EINTR) continue;
    if (r < 0) {
      ::close(fd);
      return kPictureNoFile;
    }
    if (r == 0) break;  // shrank while we read: judge what is there
    got += static_cast<size_t>(r);
  }
  ::close(fd);
  bytes.resize(got);
  return LoadPictureMemory(bytes.data(), bytes.size(), out, limits);
}

}  // namespace vantor

#include "platform/cp932.h"

#include <iconv.h>

#include <cerrno>
#include <cstddef>

namespace plat {
namespace {

bool IsLead(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
bool IsTrail(unsigned char b) { return b >= 0x40 && b <= 0xFC && b != 0x7F; }

// Bytes one bad CP932 character takes, so that a valid byte after a broken
// lead byte (often a line break) is not swallowed with it.
size_t BadCp932Length(const char* p, size_t left) {
  const auto b0 = static_cast<unsigned char>(p[0]);
  if (left >= 2 && IsLead(b0) && IsTrail(static_cast<unsigned char>(p[1]))) return 2;
  return 1;
}

// Bytes of the UTF-8 character that has no CP932 form (or is malformed).
size_t BadUtf8Length(const char* p, size_t left) {
  const auto b0 = static_cast<unsigned char>(p[0]);
  size_t n = b0 >= 0xF0 ? 4 : b0 >= 0xE0 ? 3 : b0 >= 0xC0 ? 2 : 1;
  if (n > left) return 1;
  for (size_t i = 1; i < n; ++i)
    if ((static_cast<unsigned char>(p[i]) & 0xC0) != 0x80) return 1;
  return n;
}

using BadLength = size_t (*)(const char*, size_t);

bool Convert(const char* to, const char* from, const std::string& in, std::string* out,
             const char* replacement, BadLength badLength) {
  out->clear();
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  bool clean = true;
  char* src = const_cast<char*>(in.data());
  size_t srcLeft = in.size();
  char buf[1024];
  while (srcLeft > 0) {
    char* dst = buf;
    size_t dstLeft = sizeof buf;
    const size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    out->append(buf, static_cast<size_t>(dst - buf));
    if (rc != static_cast<size_t>(-1) || errno == E2BIG) continue;
    // EILSEQ, or EINVAL for a character cut off at the end of the input.
    clean = false;
    out->append(replacement);
    const size_t skip = errno == EINVAL ? srcLeft : badLength(src, srcLeft);
    src += skip;
    srcLeft -= skip;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
  }
  iconv_close(cd);
  return clean;
}

}  // namespace

bool Cp932ToUtf8(const std::string& in, std::string* out) {
  return Convert("UTF-8", "CP932", in, out, "\xEF\xBF\xBD", BadCp932Length);
}

bool Utf8ToCp932(const std::string& in, std::string* out) {
  return Convert("CP932", "UTF-8", in, out, "?", BadUtf8Length);
}

}  // namespace plat

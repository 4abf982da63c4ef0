#include "platform/log_name.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/cp932.h"

namespace plat {
namespace {

constexpr int kMaxWidth = 64;

// Length of an integer conversion "%[flags][width](d|i|u|x|X|o)" at p, or 0.
size_t ConversionLength(const std::string& s, size_t p) {
  size_t i = p + 1;
  while (i < s.size() && std::strchr("-+ #0", s[i]) && s[i] != '\0') ++i;
  int width = 0;
  while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
    width = width * 10 + (s[i] - '0');
    if (width > kMaxWidth) return 0;
    ++i;
  }
  if (i < s.size() && std::strchr("diuxXo", s[i]) && s[i] != '\0') return i + 1 - p;
  return 0;
}

std::string FormatFilePart(const std::string& part, int port) {
  std::string out;
  bool converted = false;
  for (size_t i = 0; i < part.size();) {
    if (part[i] != '%') {
      out += part[i++];
      continue;
    }
    if (i + 1 < part.size() && part[i + 1] == '%') {
      out += '%';
      i += 2;
      continue;
    }
    const size_t len = converted ? 0 : ConversionLength(part, i);
    if (len == 0) {
      out += part[i++];
      continue;
    }
    // The format handed to snprintf is one validated conversion, never the
    // configured text itself.
    const char conv = part[i + len - 1];
    std::string spec = "%";
    for (size_t k = i + 1; k < i + len - 1; ++k)
      if (part[k] != '#' || (conv != 'd' && conv != 'i' && conv != 'u')) spec += part[k];
    spec += conv;
    char buf[kMaxWidth + 32];
    int n;
    if (conv == 'd' || conv == 'i') n = std::snprintf(buf, sizeof buf, spec.c_str(), port);
    else n = std::snprintf(buf, sizeof buf, spec.c_str(), static_cast<unsigned>(port));
    if (n > 0) out.append(buf, static_cast<size_t>(n) < sizeof buf ? static_cast<size_t>(n) : sizeof buf - 1);
    converted = true;
    i += len;
  }
  return out;
}

std::string CurrentDir() {
  std::vector<char> buf(4096);
  while (!getcwd(buf.data(), buf.size())) {
    if (errno != ERANGE) return "/";
    buf.resize(buf.size() * 2);
  }
  return buf.data();
}

// Removes ".", ".." and repeated slashes without touching the file system.
std::string Normalize(const std::string& path) {
  std::vector<std::string> parts;
  size_t i = 0;
  while (i <= path.size()) {
    size_t j = path.find('/', i);
    if (j == std::string::npos) j = path.size();
    const std::string seg = path.substr(i, j - i);
    if (seg == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!seg.empty() && seg != ".") {
      parts.push_back(seg);
    }
    i = j + 1;
  }
  std::string out;
  for (const auto& seg : parts) out += "/" + seg;
  return out.empty() ? "/" : out;
}

}  // namespace

std::string FormatLogFileName(const std::string& patternCp932, int port, const std::string& baseDir) {
  std::string pattern;
  Cp932ToUtf8(patternCp932, &pattern);  // a bad byte becomes U+FFFD; the name stays usable
  // After decoding, so a CP932 trail byte 0x5C is not taken for a separator.
  for (char& c : pattern)
    if (c == '\\') c = '/';
  const size_t slash = pattern.rfind('/');
  const std::string folder = slash == std::string::npos ? std::string() : pattern.substr(0, slash + 1);
  const std::string file = FormatFilePart(pattern.substr(folder.size()), port);
  if (file.empty()) return std::string();
  std::string path = folder + file;
  if (path[0] != '/') {
    std::string base = baseDir;
    if (base.empty() || base[0] != '/') base = CurrentDir() + "/" + base;
    path = base + "/" + path;
  }
  return Normalize(path);
}

}  // namespace plat

#include "platform/file_version.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace plat {
namespace {

constexpr char kMarker[] = PLAT_VERSION_MARKER;
constexpr size_t kMarkerLen = sizeof kMarker - 1;
constexpr size_t kMaxVersion = 64;

bool IsVersionChar(char c) { return (c >= '0' && c <= '9') || c == '.'; }

// Streams the file through a small matcher so a marker split across two
// reads is still found. The marker's first byte occurs nowhere else in it, so
// a failed partial match can simply restart at the current byte.
class Scanner {
 public:
  // Returns true once a complete version has been read.
  bool Feed(const char* p, size_t n) {
    const char* end = p + n;
    while (p < end) {
      if (matched_ < kMarkerLen) {
        if (matched_ == 0) {
          p = static_cast<const char*>(std::memchr(p, kMarker[0], static_cast<size_t>(end - p)));
          if (!p) return false;
          matched_ = 1;
        } else if (*p == kMarker[matched_]) {
          ++matched_;
        } else {
          matched_ = (*p == kMarker[0]) ? 1 : 0;
        }
        ++p;
        continue;
      }
      if (IsVersionChar(*p) && version_.size() < kMaxVersion) {
        version_ += *p++;
        continue;
      }
      if (!IsVersionChar(*p) && Valid()) return true;
      // Empty, without a digit or too long: not a version, keep looking
      // (the reader's own copy of the marker is followed by nothing).
      matched_ = 0;
      version_.clear();
    }
    return false;
  }
  bool Finish() { return matched_ == kMarkerLen && Valid(); }
  const std::string& version() const { return version_; }

 private:
  bool Valid() const { return version_.find_first_of("0123456789") != std::string::npos; }
  size_t matched_ = 0;
  std::string version_;
};

}  // namespace

bool ReadFileVersion(const std::string& path, std::string* version) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  Scanner scanner;
  std::vector<char> buf(1 << 16);
  bool found = false;
  for (;;) {
    const ssize_t n = read(fd, buf.data(), buf.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      found = n == 0 && scanner.Finish();
      break;
    }
    if (scanner.Feed(buf.data(), static_cast<size_t>(n))) {
      found = true;
      break;
    }
  }
  close(fd);
  if (found && version) *version = scanner.version();
  return found;
}

}  // namespace plat

#include "picture_load.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "platform/cp932.h"

namespace vantor {

// The decoding itself is the shared print-data unit's, so the bitmap window
// shows exactly the pictures, and the pixels, that a download sends.
int LoadPictureMemory(const uint8_t* data, size_t size, printdata::RgbImage* out,
                      const PictureLimits& limits) {
  if (out == nullptr) return kPictureNotBitmap;
  return printdata::DecodePicture(data, size, out, limits) == printdata::kPictureDecoded
             ? kPictureOk
             : kPictureNotBitmap;
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

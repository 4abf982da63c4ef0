// A fortified build would give open() an inline wrapper of the C library's;
// this file defines the function itself.
#undef _FORTIFY_SOURCE
#include "open_refusal.h"

#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <stdarg.h>
#include <sys/types.h>

#include <map>
#include <mutex>

namespace testsupport {
namespace {

// Used until exit, also by opens after the tests' own destructors ran.
std::mutex& Mu() {
  static auto* mu = new std::mutex;
  return *mu;
}
std::map<std::string, int>& Refused() {
  static auto* refused = new std::map<std::string, int>;
  return *refused;
}

}  // namespace

void RefuseOpen(const std::string& path, int err) {
  std::lock_guard<std::mutex> lock(Mu());
  Refused()[path] = err;
}

void AllowOpen(const std::string& path) {
  std::lock_guard<std::mutex> lock(Mu());
  Refused().erase(path);
}

}  // namespace testsupport

namespace {

int ScriptedError(const char* path) {
  if (!path) return 0;
  std::lock_guard<std::mutex> lock(testsupport::Mu());
  const auto it = testsupport::Refused().find(path);
  return it == testsupport::Refused().end() ? 0 : it->second;
}

using OpenFn = int (*)(const char*, int, ...);

int OpenOrRefuse(OpenFn real, const char* path, int flags, va_list ap) {
  const mode_t mode = (flags & O_CREAT) || (flags & O_TMPFILE) == O_TMPFILE ? va_arg(ap, mode_t) : 0;
  if (const int err = ScriptedError(path)) {
    errno = err;
    return -1;
  }
  return real(path, flags, mode);
}

}  // namespace

extern "C" int open(const char* path, int flags, ...) {
  static const auto real = reinterpret_cast<OpenFn>(dlsym(RTLD_NEXT, "open"));
  va_list ap;
  va_start(ap, flags);
  const int fd = OpenOrRefuse(real, path, flags, ap);
  va_end(ap);
  return fd;
}

extern "C" int open64(const char* path, int flags, ...) {
  static const auto real = reinterpret_cast<OpenFn>(dlsym(RTLD_NEXT, "open64"));
  va_list ap;
  va_start(ap, flags);
  const int fd = OpenOrRefuse(real, path, flags, ap);
  va_end(ap);
  return fd;
}

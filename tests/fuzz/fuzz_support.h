// What the fuzz targets share: a broken promise ends the run with its
// reason, and each target keeps one scratch file per process.
#pragma once
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace fuzzsupport {

// Ends the run with "target: what" when ok is false.
inline void Check(bool ok, const char* target, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "%s: %s\n", target, what);
  std::abort();
}

// The one scratch file of this process, "<name>.<pid><extension>", reused
// for every input and removed at exit (with its ".lock" file). On tmpfs
// when there is one, where the fsync of every write costs nothing.
inline const std::string& ScratchFile(const char* name, const char* extension) {
  static const std::string* path = [&] {
    const char* env = std::getenv("TMPDIR");
    const std::string dir = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : env && *env ? env : "/tmp";
    auto* p = new std::string(dir + "/" + name + "." + std::to_string(getpid()) + extension);
    std::atexit([] {
      unlink(path->c_str());
      unlink((*path + ".lock").c_str());
    });
    return p;
  }();
  return *path;
}

}  // namespace fuzzsupport

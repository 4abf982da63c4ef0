// Version numbers carried inside a file, readable without loading it. Each
// binary embeds the marker "@(#)VANTOR-FILE-VERSION:" followed by its dotted
// version and a NUL; ReadFileVersion scans a file for it.
#pragma once
#include <string>

#define PLAT_VERSION_MARKER "@(#)VANTOR-FILE-VERSION:"

// Place once in one source file of a binary: PLAT_EMBED_VERSION("1.0.0.0");
#define PLAT_EMBED_VERSION(ver)                                                   \
  extern "C" __attribute__((used, visibility("hidden"))) const char               \
      kPlatEmbeddedVersion[] = PLAT_VERSION_MARKER ver

namespace plat {

// True and the dotted version when path holds the marker.
bool ReadFileVersion(const std::string& path, std::string* version);

}  // namespace plat

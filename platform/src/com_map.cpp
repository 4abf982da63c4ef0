#include "platform/com_map.h"

#include <sys/stat.h>

#include <cstdlib>

namespace plat {

namespace {

std::string InDir(const std::string& dir, const std::string& name) {
  if (!dir.empty() && dir.back() == '/') return dir + name;
  return dir + "/" + name;
}

// lstat, not stat: a link left behind by a simulator that has gone must make
// the port fail to open, not fall through to the machine's real port.
bool EntryExists(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0;
}

}  // namespace

std::string DeviceOverrideDir() {
  const char* dir = std::getenv("VANTOR_DEVICE_DIR");
  return dir ? dir : "";
}

std::string ComDevicePath(int com) { return ComDevicePath(com, DeviceOverrideDir(), "/dev"); }

std::string ComDevicePath(int com, const std::string& overrideDir, const std::string& devRoot) {
  if (com < 1) return "";
  if (!overrideDir.empty()) {
    std::string link = InDir(overrideDir, "COM" + std::to_string(com));
    if (EntryExists(link)) return link;
  }
  const char* family = nullptr;
  int index = 0;
  if (com <= 32) {
    family = "ttyS";
    index = com - 1;
  } else if (com <= 64) {
    family = "ttyUSB";
    index = com - 33;
  } else if (com <= 96) {
    family = "ttyACM";
    index = com - 65;
  } else {
    return "";
  }
  return InDir(devRoot, family + std::to_string(index));
}

std::string ComSideChannelPath(int com) { return ComSideChannelPath(com, DeviceOverrideDir()); }

std::string ComSideChannelPath(int com, const std::string& overrideDir) {
  if (com < 1 || overrideDir.empty()) return "";
  std::string link = InDir(overrideDir, "COM" + std::to_string(com));
  std::string lines = link + ".lines";
  // Only a port that is itself under the override folder has one.
  struct stat st;
  if (!EntryExists(link) || stat(lines.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return "";
  return lines;
}

}  // namespace plat

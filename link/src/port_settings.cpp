#include "port_settings.h"

#include <dlfcn.h>
#include <unistd.h>

#include "platform/file_version.h"
#include "platform/profile.h"

namespace vantor {
namespace {

constexpr char kSettingsName[] = "Vantor.ini";
constexpr size_t kMaxLogFileName = 255;

}  // namespace

std::string LibraryFilePath() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<const void*>(&LibraryFilePath), &info) == 0 || !info.dli_fname)
    return std::string();
  return info.dli_fname;
}

const std::string& LibraryVersion() {
  static const std::string version = [] {
    std::string v;
    const std::string self = LibraryFilePath();
    if (self.empty() || !plat::ReadFileVersion(self, &v)) v.clear();
    return v;
  }();
  return version;
}

std::string SettingsFilePath() {
  const std::string local = std::string("./") + kSettingsName;
  if (access(local.c_str(), F_OK) == 0) return local;
  const std::string self = LibraryFilePath();
  const size_t slash = self.rfind('/');
  if (slash == std::string::npos) return local;  // loaded from the current folder
  return self.substr(0, slash + 1) + kSettingsName;
}

PortSettings ReadPortSettings(const std::string& file) {
  PortSettings s;
  s.logging = plat::ProfileGetInt(file, "Log", "Logging", s.logging);
  s.logFileName = plat::ProfileGetString(file, "Log", "LogFileName", s.logFileName);
  if (s.logFileName.size() > kMaxLogFileName) s.logFileName.resize(kMaxLogFileName);
  s.delayMs = plat::ProfileGetInt(file, "Delay", "Delay", 0);
  if (s.delayMs < 0) s.delayMs = 0;
  s.writeTimeoutMs = plat::ProfileGetInt(file, "TimeOut", "WriteFileTimeOut", 5000);
  if (s.writeTimeoutMs < 0) s.writeTimeoutMs = 5000;
  return s;
}

}  // namespace vantor

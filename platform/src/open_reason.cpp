#include "platform/open_reason.h"

#include <string.h>

namespace plat {

std::string OpenFailureReason(int com, const std::string& devicePath, int err) {
  if (devicePath.empty()) return "COM" + std::to_string(com) + " has no device file";
  char buf[256];
  // The GNU strerror_r: thread-safe, in the language of the process's locale.
  const char* text = strerror_r(err, buf, sizeof buf);
  return devicePath + ": " + text;
}

}  // namespace plat

// Settings files come from users and other programs: whatever bytes they
// hold, reading must not crash, and a write must read back while every other
// key of the section keeps its value.
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz_support.h"
#include "platform/profile.h"

namespace {

const std::string& TempFile() { return fuzzsupport::ScratchFile("fuzz_profile", ".ini"); }

void Check(bool ok, const char* what) { fuzzsupport::Check(ok, "fuzz_profile", what); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string& file = TempFile();
  const int fd = open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) return 0;
  const bool written = size == 0 || write(fd, data, size) == static_cast<ssize_t>(size);
  close(fd);
  if (!written) return 0;

  const auto sections = plat::ProfileSections(file);
  std::string section = "fuzz";
  if (!sections.empty() && sections[0].find('\r') == std::string::npos) section = sections[0];
  plat::ProfileGetString(file, section, "a", "def");
  plat::ProfileGetInt(file, section, "a", 7);
  plat::ProfileGetInt(file, "", "b", 7);

  const auto keys = plat::ProfileKeys(file, section);
  std::string before[8];
  size_t checked = 0;
  for (; checked < keys.size() && checked < 8; ++checked)
    before[checked] = plat::ProfileGetString(file, section, keys[checked], "<none>");

  Check(plat::ProfileWriteString(file, section, "fz", "v123"), "write failed");
  Check(plat::ProfileGetString(file, section, "fz", "") == "v123", "write does not read back");
  for (size_t i = 0; i < checked; ++i) {
    if (plat::ProfileKeys(file, section).empty()) break;
    const bool isNew = keys[i].size() == 2 && (keys[i][0] | 0x20) == 'f' && (keys[i][1] | 0x20) == 'z';
    if (!isNew) Check(plat::ProfileGetString(file, section, keys[i], "<none>") == before[i], "write changed another key");
  }
  Check(plat::ProfileWriteString(file, section, "fz", nullptr), "delete failed");
  Check(plat::ProfileGetString(file, section, "fz", "<none>") == "<none>", "delete does not read back");
  return 0;
}

// The two exports that need no port object: the machine's COM names and the
// driver texts of one COM number.
#include <cstdint>
#include <string>
#include <vector>

#include "com_enum.h"
#include "platform/string_slot.h"
#include "vantor.h"

extern "C" {

VANTOR_API int32_t crwGetPortNames(char** names, int16_t* count) {
  if (names == nullptr || count == nullptr) return 0;
  const std::vector<int> coms = vantor::ListComPorts();
  const std::string list = vantor::JoinComNames(coms);
  plat::SetSlot(names, list.data(), list.size());
  *count = static_cast<int16_t>(coms.size());
  return 1;
}

VANTOR_API int32_t crwGetComDevInfo(int32_t com, char** driverDesc, char** providerName,
                                    char** driverDate, char** driverVersion) {
  // Without sysfs there is no device list to search.
  if (!vantor::TtyClassAvailable()) return 0;
  vantor::ComDriverInfo info;
  vantor::LookupComDriver(static_cast<int16_t>(com), &info);
  plat::SetSlot(driverDesc, info.desc.data(), info.desc.size());
  plat::SetSlot(providerName, info.provider.data(), info.provider.size());
  plat::SetSlot(driverDate, info.date.data(), info.date.size());
  plat::SetSlot(driverVersion, info.version.data(), info.version.size());
  return 1;
}

}  // extern "C"

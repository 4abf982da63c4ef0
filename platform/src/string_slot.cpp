#include "platform/string_slot.h"

#include <cstdlib>
#include <cstring>
#include <limits>

namespace {
constexpr size_t kPrefix = sizeof(uint32_t);
}

extern "C" {

char* SysAllocStringByteLen(const char* bytes, uint32_t len) {
  auto* block = static_cast<char*>(std::malloc(kPrefix + static_cast<size_t>(len) + 1));
  if (!block) return nullptr;
  std::memcpy(block, &len, kPrefix);
  char* s = block + kPrefix;
  if (bytes && len) std::memcpy(s, bytes, len);
  else if (len) std::memset(s, 0, len);
  s[len] = '\0';
  return s;
}

uint32_t SysStringByteLen(const char* s) {
  if (!s) return 0;
  uint32_t len;
  std::memcpy(&len, s - kPrefix, kPrefix);
  return len;
}

void SysFreeString(char* s) {
  if (s) std::free(s - kPrefix);
}

}  // extern "C"

namespace plat {

void SetSlot(char** slot, const void* bytes, size_t len) {
  if (!slot) return;
  // Allocate before freeing: the new bytes may come from the old string.
  char* fresh = nullptr;
  if (len <= std::numeric_limits<uint32_t>::max())
    fresh = SysAllocStringByteLen(static_cast<const char*>(bytes), static_cast<uint32_t>(len));
  SysFreeString(*slot);
  *slot = fresh;
}

}  // namespace plat

// A stand-in for libvantor.so that lacks most functions: the binding must
// answer the missing ones itself. Its string slots use the library's layout
// (32-bit length before the bytes, a NUL after) and it counts the slots
// still alive, so a test sees that the binding frees what it takes.
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

int g_liveSlots = 0;

char* NewSlot(const char* bytes, uint32_t len) {
  char* block = static_cast<char*>(std::malloc(len + 5));
  std::memcpy(block, &len, 4);
  std::memcpy(block + 4, bytes, len);
  block[len + 4] = '\0';
  ++g_liveSlots;
  return block + 4;
}

}  // namespace

extern "C" {

// Port 3 opens; any other is refused as a device file the user may not open.
__attribute__((visibility("default"))) int16_t crwOpenPort(int32_t port, int32_t, const char*, const char*) {
  if (port == 3) return 0;
  errno = EACCES;
  return 101;
}

__attribute__((visibility("default"))) int16_t crwClosePort(int32_t) { return 0; }

// Kind "A", code "VS", status "90", data: the bytes 80 FF, a NUL and "x".
__attribute__((visibility("default"))) int16_t crwReceiveResponse(int32_t, int16_t, int32_t, int16_t, char** code,
                                                                  char** status, char** data) {
  *code = NewSlot("VS", 2);
  *status = NewSlot("90", 2);
  *data = NewSlot("\x80\xFF\0x", 4);
  return 0;
}

__attribute__((visibility("default"))) uint32_t SysStringByteLen(const char* s) {
  uint32_t n = 0;
  if (s) std::memcpy(&n, s - 4, 4);
  return n;
}

__attribute__((visibility("default"))) void SysFreeString(char* s) {
  if (!s) return;
  --g_liveSlots;
  std::free(s - 4);
}

__attribute__((visibility("default"))) int stubLiveSlots(void) { return g_liveSlots; }

}  // extern "C"

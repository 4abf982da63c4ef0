// Length-prefixed byte strings handed to callers through string slots.
// Layout (other callers of the library read it): a 32-bit byte length in the
// four bytes before the first byte, the bytes, then one NUL. The pointer handed
// out points at the first byte. Allocated with malloc, so any module that
// links this file can free what another allocated.
#pragma once
#include <cstddef>
#include <cstdint>

extern "C" {
// Copies len bytes from bytes (or zero-fills when bytes is null). Never null
// unless memory runs out.
char* SysAllocStringByteLen(const char* bytes, uint32_t len);
// Byte length of s; 0 for null.
uint32_t SysStringByteLen(const char* s);
// Frees s; null is allowed.
void SysFreeString(char* s);
}

namespace plat {
// Releases what *slot holds and stores a new string of the given bytes.
// A null slot is skipped.
void SetSlot(char** slot, const void* bytes, size_t len);
}  // namespace plat

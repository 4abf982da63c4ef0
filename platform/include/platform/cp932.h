// The one CP932 (Windows Shift-JIS) codec. CP932, not SHIFT_JIS: the texts use
// its extension characters (NEC and IBM rows, the circled digits).
#pragma once
#include <string>

namespace plat {

// False when the input holds bytes that are not CP932; *out then holds what
// could be converted with U+FFFD for each bad sequence.
bool Cp932ToUtf8(const std::string& in, std::string* out);
// False when a character has no CP932 form; it becomes '?'.
bool Utf8ToCp932(const std::string& in, std::string* out);

}  // namespace plat

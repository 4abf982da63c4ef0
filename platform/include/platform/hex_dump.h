// The hex dump of the port log: a header line, four blanks and 55 hyphens,
// then count/16+1 rows of 16 bytes (so a multiple of 16 ends with an empty
// row), each with the bytes as text cut at the first NUL, CR or LF, and one
// closing empty line. Lines end with '\n'.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace plat {

std::string FormatHexDump(const uint8_t* bytes, size_t count);

}  // namespace plat

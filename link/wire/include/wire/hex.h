// Bytes as hex text for transcripts, scripts and tests: "04 02 53".
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "wire/codec.h"

namespace wire {

// Upper-case pairs separated by one blank; empty input gives "".
std::string HexString(const uint8_t* p, size_t n);
std::string HexString(const Bytes& b);

// Reads hex pairs; blanks, tabs, line ends, ',' and ':' between pairs are
// skipped, case is ignored, "0x" before a pair is allowed ("04 02 53",
// "040253", "0x04,0x02"). False on anything else or an odd digit count;
// *out then holds nothing.
bool TryParseHex(const std::string& text, Bytes* out);
// As TryParseHex; throws std::invalid_argument on bad text.
Bytes ParseHex(const std::string& text);

}  // namespace wire

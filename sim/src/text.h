// Rendering bytes for transcript tags.
#pragma once
#include <string>

#include "sim/types.h"

namespace sim {

// Printable ASCII as it is, every other byte as <XX>; long runs are cut
// after 64 bytes with "...(N bytes)".
std::string Printable(const Bytes& b);

// "tag" or "tag payload" when the payload is not empty.
std::string WithData(const std::string& tag, const Bytes& data);

}  // namespace sim

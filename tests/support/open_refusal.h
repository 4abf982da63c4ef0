// Scripted refusals of open(2) for a test program: a device file that root
// (as CI runs) could open still fails as it would for a user outside its
// group. The program's own open() comes before the C library's for every
// library it loads, libvantor.so included; any path not refused is opened
// as usual.
#pragma once
#include <string>

namespace testsupport {

// Every later open of exactly this path fails with err, until AllowOpen.
void RefuseOpen(const std::string& path, int err);
void AllowOpen(const std::string& path);

}  // namespace testsupport

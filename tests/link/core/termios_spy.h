// Records the line settings the library hands the kernel. A pseudo-terminal
// reports every character size as CS8 and never shows parity, so what the
// library asked for is read where it is asked: at the TCSETS2 ioctl, which
// this test program takes over (the library calls ioctl through the dynamic
// linker, and the program's definition comes first).
#pragma once
#include <string>

#include "platform/line_termios.h"

namespace coretest {

// The last settings set on a descriptor that leads to devicePath; false when
// none were.
bool LastLineSettings(const std::string& devicePath, plat::KernelTermios2* out);

}  // namespace coretest

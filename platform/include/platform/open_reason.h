// Why a COM port could not be opened, in the system's words: the device file
// and the text of the error its open met ("/dev/ttyUSB0: Permission denied"),
// or that the number maps to no device file. The library writes it into the
// port's log; the program shows it under its open-error text.
#pragma once
#include <string>

namespace plat {

// err is the errno of the failed open; devicePath is "" when COM com maps to
// no device file.
std::string OpenFailureReason(int com, const std::string& devicePath, int err);

}  // namespace plat

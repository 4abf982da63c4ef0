// Maps COM numbers onto device files. COM n is $VANTOR_DEVICE_DIR/COMn when
// that exists (looked up at every call: tests and the simulator add links at
// run time); otherwise COM1-32 are /dev/ttyS0-31, COM33-64 /dev/ttyUSB0-31 and
// COM65-96 /dev/ttyACM0-31.
#pragma once
#include <string>

namespace plat {

// Device path for COM n, or "" when the number maps to nothing. The path is
// not checked for existence except for the override folder.
std::string ComDevicePath(int com);
std::string ComDevicePath(int com, const std::string& overrideDir, const std::string& devRoot);

// The side-channel file $VANTOR_DEVICE_DIR/COMn.lines when it exists, else "".
std::string ComSideChannelPath(int com);
std::string ComSideChannelPath(int com, const std::string& overrideDir);

// $VANTOR_DEVICE_DIR or "" when unset.
std::string DeviceOverrideDir();

}  // namespace plat

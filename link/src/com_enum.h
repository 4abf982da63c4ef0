// Which COM ports the machine has and which driver serves each, read from the
// device tree the kernel publishes under sysfs. Nothing here opens a port.
//
// Every function takes its roots as parameters so tests run on a fake tree:
//   overrideDir  the folder of COMn links ($VANTOR_DEVICE_DIR); "" for none
//   sysRoot      the sysfs mount ("/sys")
//   devRoot      the device folder ("/dev")
// The overloads without roots use the machine's: $VANTOR_DEVICE_DIR, "/sys"
// and "/dev".
#pragma once
#include <string>
#include <vector>

namespace vantor {

// COM numbers that exist, ascending: every COMn entry of overrideDir that
// leads somewhere (n from 1 to 256) and every device of the COM map that is
// really there. A /dev/ttySn counts only when /sys/class/tty/ttySn/type exists
// and is not 0: the 8250 driver makes nodes for every UART it might drive.
// /dev/ttyUSBn and /dev/ttyACMn count when they exist. An override entry
// stands for its number, so no number appears twice; one that leads nowhere
// hides the machine's device of its number, as it does for an open.
std::vector<int> ListComPorts(const std::string& overrideDir, const std::string& sysRoot,
                              const std::string& devRoot);
std::vector<int> ListComPorts();

// "COM1,COM33,COM65": the names of the numbers joined by "," without spaces.
std::string JoinComNames(const std::vector<int>& coms);

// The four driver texts a caller sees for one COM port.
struct ComDriverInfo {
  std::string desc;      // USB interface name, else USB product, else the driver name
  std::string provider;  // USB manufacturer, else "Linux"
  std::string date;      // sysfs publishes no driver date: always empty
  std::string version;   // /sys/module/<module>/version, else the kernel release
};

// Finds the device behind COM n: the COM map's path (override link first),
// resolved through every link, must be a tty with a /sys/class/tty/<name>/device.
// True with *info filled when it is; false with four empty texts when COM n
// maps to nothing, does not exist, or is a tty without a device (a
// pseudo-terminal, such as the simulator's).
bool LookupComDriver(int com, const std::string& overrideDir, const std::string& sysRoot,
                     const std::string& devRoot, ComDriverInfo* info);
// As above with the override folder of $VANTOR_DEVICE_DIR.
bool LookupComDriver(int com, const std::string& sysRoot, const std::string& devRoot,
                     ComDriverInfo* info);
bool LookupComDriver(int com, ComDriverInfo* info);

// False when sysRoot offers no tty class folder to look in (sysfs not
// mounted): a lookup then cannot tell "no device" from "cannot know".
bool TtyClassAvailable(const std::string& sysRoot);
bool TtyClassAvailable();

// The two lines a port writes to its log right after "PortName is %s" when it
// opens COM n:
//   [0] "PortDesc   : <desc> "
//   [1] "PortDriver : <provider> <date> <version>"
// Empty when LookupComDriver finds no device: the open then logs nothing more.
// The texts are finished lines: hand them to the logger as the argument of a
// "%s" format, never as the format (a device name may hold '%').
std::vector<std::string> ComDriverLogLines(int com, const std::string& overrideDir,
                                           const std::string& sysRoot, const std::string& devRoot);
std::vector<std::string> ComDriverLogLines(int com);

}  // namespace vantor

#include "com_enum.h"

#include <sys/utsname.h>

#include <cstddef>
#include <filesystem>
#include <fstream>
#include <set>
#include <system_error>

#include "platform/com_map.h"

namespace fs = std::filesystem;

namespace vantor {
namespace {

const char kSysRoot[] = "/sys";
const char kDevRoot[] = "/dev";

// The library's ports are 1 to 256; a link for any other number could not be
// opened, so listing it would mislead.
constexpr int kMaxCom = 256;

// sysfs attributes are at most a page.
constexpr std::streamsize kMaxAttr = 4096;

// Reads a sysfs attribute without its trailing newline. False when the file
// cannot be opened.
bool ReadAttr(const fs::path& path, std::string* text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  char buf[kMaxAttr];
  in.read(buf, kMaxAttr);
  size_t n = static_cast<size_t>(in.gcount());
  while (n > 0 && (buf[n - 1] == '\n' || buf[n - 1] == '\r' || buf[n - 1] == ' ' ||
                   buf[n - 1] == '\t' || buf[n - 1] == '\0')) {
    --n;
  }
  text->assign(buf, n);
  return true;
}

std::string ReadAttrOrEmpty(const fs::path& path) {
  std::string text;
  ReadAttr(path, &text);
  return text;
}

bool Exists(const fs::path& path) {
  std::error_code ec;
  return fs::exists(path, ec);
}

// The last component of the path a link leads to, "" when it leads nowhere.
std::string LinkTargetName(const fs::path& link) {
  std::error_code ec;
  fs::path target = fs::canonical(link, ec);
  return ec ? std::string() : target.filename().string();
}

// n for "COMn" written the canonical way (no sign, no leading zero), else 0.
int ParseComName(const std::string& name) {
  if (name.size() < 4 || name.size() > 6 || name.compare(0, 3, "COM") != 0 || name[3] == '0') {
    return 0;
  }
  int n = 0;
  for (size_t i = 3; i < name.size(); ++i) {
    if (name[i] < '0' || name[i] > '9') return 0;
    n = n * 10 + (name[i] - '0');
  }
  return n <= kMaxCom ? n : 0;
}

fs::path TtyClassDir(const std::string& sysRoot, const std::string& tty) {
  return fs::path(sysRoot) / "class" / "tty" / tty;
}

// A mapped device node that stands for hardware: it exists and, for an 8250
// port, the driver found a UART behind it.
bool DeviceIsReal(const std::string& path, const std::string& sysRoot) {
  if (!Exists(path)) return false;
  const std::string tty = fs::path(path).filename().string();
  if (tty.compare(0, 4, "ttyS") != 0) return true;
  std::string type;
  return ReadAttr(TtyClassDir(sysRoot, tty) / "type", &type) && !type.empty() && type != "0";
}

std::string KernelRelease() {
  struct utsname u {};
  return uname(&u) == 0 ? std::string(u.release) : std::string();
}

// The device that carries the port's hardware. Newer kernels put the serial
// core's own port and controller devices (bus "serial-base", drivers "port"
// and "ctrl") between a UART's tty and its hardware; their names tell the
// user nothing, so the walk goes past them.
fs::path HardwareDevice(fs::path device) {
  while (LinkTargetName(device / "subsystem") == "serial-base" && device.has_relative_path()) {
    device = device.parent_path();
  }
  return device;
}

// What the USB device above a tty's device says of itself; all empty when the
// tty does not hang off USB.
struct UsbNames {
  std::string interface, product, manufacturer;
};

UsbNames FindUsbNames(const fs::path& device, const std::string& sysRoot) {
  std::error_code ec;
  std::string top = fs::canonical(sysRoot, ec).native();
  if (ec) return UsbNames{};
  if (top.back() != '/') top += '/';
  std::string interface;
  // The interface name sits on the USB interface, between the tty's device
  // and the USB device (the one with an idVendor); the other names sit on the
  // USB device. The walk stops at the first USB device or at the sysfs root.
  for (fs::path p = device; p.has_relative_path() && p.native().compare(0, top.size(), top) == 0;
       p = p.parent_path()) {
    if (interface.empty()) interface = ReadAttrOrEmpty(p / "interface");
    if (Exists(p / "idVendor")) {
      return UsbNames{interface, ReadAttrOrEmpty(p / "product"),
                      ReadAttrOrEmpty(p / "manufacturer")};
    }
  }
  return UsbNames{};
}

}  // namespace

std::vector<int> ListComPorts(const std::string& overrideDir, const std::string& sysRoot,
                              const std::string& devRoot) {
  std::set<int> coms, overridden;
  if (!overrideDir.empty()) {
    std::error_code ec;
    for (fs::directory_iterator it(overrideDir, ec), end; !ec && it != end; it.increment(ec)) {
      const int n = ParseComName(it->path().filename().string());
      if (n == 0) continue;
      // Any entry takes its number from the machine's device, as it does when
      // the port opens; one left behind by a simulator that has gone leads
      // nowhere and so is no port at all.
      overridden.insert(n);
      if (Exists(it->path())) coms.insert(n);
    }
  }
  for (int n = 1; n <= kMaxCom; ++n) {
    if (overridden.count(n) != 0) continue;
    const std::string path = plat::ComDevicePath(n, std::string(), devRoot);
    if (!path.empty() && DeviceIsReal(path, sysRoot)) coms.insert(n);
  }
  return std::vector<int>(coms.begin(), coms.end());
}

std::vector<int> ListComPorts() {
  return ListComPorts(plat::DeviceOverrideDir(), kSysRoot, kDevRoot);
}

std::string JoinComNames(const std::vector<int>& coms) {
  std::string list;
  for (int n : coms) {
    if (!list.empty()) list += ',';
    list += "COM";
    list += std::to_string(n);
  }
  return list;
}

bool LookupComDriver(int com, const std::string& overrideDir, const std::string& sysRoot,
                     const std::string& devRoot, ComDriverInfo* info) {
  *info = ComDriverInfo();
  const std::string path = plat::ComDevicePath(com, overrideDir, devRoot);
  if (path.empty()) return false;
  // The override link and /dev/serial/by-* names lead to the node the kernel
  // named after the tty.
  const std::string tty = LinkTargetName(path);
  if (tty.empty()) return false;
  std::error_code ec;
  const fs::path device =
      HardwareDevice(fs::canonical(TtyClassDir(sysRoot, tty) / "device", ec));
  if (ec) return false;  // no such tty, or one without hardware (a pseudo-terminal)

  const std::string driver = LinkTargetName(device / "driver");
  // The module may be named apart from its driver (driver serial8250 lives in
  // module 8250).
  std::string module = LinkTargetName(device / "driver" / "module");
  if (module.empty()) module = driver;
  const UsbNames usb = FindUsbNames(device, sysRoot);

  info->desc = !usb.interface.empty() ? usb.interface : !usb.product.empty() ? usb.product : driver;
  info->provider = !usb.manufacturer.empty() ? usb.manufacturer : "Linux";
  if (!module.empty()) info->version = ReadAttrOrEmpty(fs::path(sysRoot) / "module" / module / "version");
  if (info->version.empty()) info->version = KernelRelease();
  return true;
}

bool LookupComDriver(int com, const std::string& sysRoot, const std::string& devRoot,
                     ComDriverInfo* info) {
  return LookupComDriver(com, plat::DeviceOverrideDir(), sysRoot, devRoot, info);
}

bool LookupComDriver(int com, ComDriverInfo* info) {
  return LookupComDriver(com, plat::DeviceOverrideDir(), kSysRoot, kDevRoot, info);
}

bool TtyClassAvailable(const std::string& sysRoot) {
  std::error_code ec;
  return fs::is_directory(fs::path(sysRoot) / "class" / "tty", ec);
}

bool TtyClassAvailable() { return TtyClassAvailable(kSysRoot); }

std::vector<std::string> ComDriverLogLines(int com, const std::string& overrideDir,
                                           const std::string& sysRoot, const std::string& devRoot) {
  ComDriverInfo info;
  if (!LookupComDriver(com, overrideDir, sysRoot, devRoot, &info)) return {};
  return {"PortDesc   : " + info.desc + " ",
          "PortDriver : " + info.provider + " " + info.date + " " + info.version};
}

std::vector<std::string> ComDriverLogLines(int com) {
  return ComDriverLogLines(com, plat::DeviceOverrideDir(), kSysRoot, kDevRoot);
}

}  // namespace vantor

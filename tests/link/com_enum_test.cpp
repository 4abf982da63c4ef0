// COM port listing and driver details on a fake sysfs and /dev laid out the
// way the kernel lays them out (class links into the device tree, relative
// device/driver/module links), plus the two exports on the machine's own
// tree with a pseudo-terminal under $VANTOR_DEVICE_DIR.
#include "com_enum.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/string_slot.h"
#include "vantor.h"

namespace fs = std::filesystem;

namespace {

std::string KernelRelease() {
  struct utsname u {};
  return uname(&u) == 0 ? u.release : "";
}

std::string SlotText(const char* s) { return std::string(s, SysStringByteLen(s)); }

// A pseudo-terminal pair; the slave's path stands in for the simulator's end.
class Pty {
 public:
  Pty() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ >= 0 && grantpt(master_) == 0 && unlockpt(master_) == 0) {
      const char* name = ptsname(master_);
      if (name != nullptr) slave_ = name;
    }
  }
  ~Pty() {
    if (master_ >= 0) close(master_);
  }
  Pty(const Pty&) = delete;
  Pty& operator=(const Pty&) = delete;
  const std::string& slave() const { return slave_; }

 private:
  int master_ = -1;
  std::string slave_;
};

class TempDir {
 public:
  TempDir() {
    char pattern[] = "/tmp/com_enum_test_XXXXXX";
    const char* made = mkdtemp(pattern);
    if (made != nullptr) path_ = made;
  }
  ~TempDir() {
    std::error_code ec;
    if (!path_.empty()) fs::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// Machine with: COM1 = ttyS0 (a UART on a PnP device), ttyS1 and ttyS9
// (placeholders the 8250 driver made, type 0), a /dev/ttyS2 without any sysfs
// entry, COM33 = ttyUSB0 (FTDI adapter behind usb-serial), COM65 = ttyACM0
// (CDC ACM with an interface name), tty1 (a console without a device).
class FakeTree : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(tmp_.path().empty());
    sys_ = tmp_.path() + "/sys";
    dev_ = tmp_.path() + "/dev";
    over_ = tmp_.path() + "/override";
    fs::create_directories(over_);
    fs::create_directories(dev_);

    // A UART as newer kernels publish it: the serial core's controller and
    // port devices stand between the tty and the hardware.
    const std::string pnp = "devices/pnp0/00:01";
    Link("bus/pnp/drivers/serial", pnp + "/driver");
    Link("bus/pnp", pnp + "/subsystem");
    Link("bus/serial-base/drivers/ctrl", pnp + "/00:01:0/driver");
    Link("bus/serial-base", pnp + "/00:01:0/subsystem");
    Link("bus/serial-base/drivers/port", pnp + "/00:01:0/00:01:0.0/driver");
    Link("bus/serial-base", pnp + "/00:01:0/00:01:0.0/subsystem");
    Tty(pnp + "/00:01:0/00:01:0.0/tty/ttyS0", pnp + "/00:01:0/00:01:0.0", "4");

    // Placeholders as older kernels publish them: straight on the platform device.
    const std::string platform = "devices/platform/serial8250";
    Link("bus/platform/drivers/serial8250", platform + "/driver");
    Link("module/8250", "bus/platform/drivers/serial8250/module");
    File("module/8250/version", "2.0.8250\n");
    Tty(platform + "/tty/ttyS1", platform, "0");
    Tty(platform + "/tty/ttyS9", platform, "0");

    const std::string usb = "devices/pci0000:00/0000:00:14.0/usb1";
    UsbDevice(usb, "1d6b", "0002", "Linux 6.1.0 xhci-hcd", "xHCI Host Controller");
    UsbDevice(usb + "/1-1", "0403", "6001", "FTDI", "FT232R USB UART");
    File(usb + "/1-1/serial", "A50285BI\n");
    Link("bus/usb/drivers/ftdi_sio", usb + "/1-1/1-1:1.0/driver");
    Link("bus/usb-serial/drivers/ftdi_sio", usb + "/1-1/1-1:1.0/ttyUSB0/driver");
    Link("module/ftdi_sio", "bus/usb-serial/drivers/ftdi_sio/module");
    File("module/ftdi_sio/version", "v1.6.0\n");
    Tty(usb + "/1-1/1-1:1.0/ttyUSB0/tty/ttyUSB0", usb + "/1-1/1-1:1.0/ttyUSB0", "");

    UsbDevice(usb + "/1-2", "2341", "0043", "Arduino (www.arduino.cc)", "Uno");
    File(usb + "/1-2/1-2:1.0/interface", "CDC Abstract Control Model\n");
    Link("bus/usb/drivers/cdc_acm", usb + "/1-2/1-2:1.0/driver");
    Link("module/cdc_acm", "bus/usb/drivers/cdc_acm/module");
    fs::create_directories(sys_ + "/module/cdc_acm");
    Tty(usb + "/1-2/1-2:1.0/tty/ttyACM0", usb + "/1-2/1-2:1.0", "");

    fs::create_directories(sys_ + "/devices/virtual/tty/tty1");
    Link("devices/virtual/tty/tty1", "class/tty/tty1");

    for (const char* node : {"ttyS0", "ttyS1", "ttyS2", "ttyS9", "ttyUSB0", "ttyACM0", "tty1"}) {
      std::ofstream(dev_ + "/" + node);
    }
  }

  // A link inside the fake sysfs, relative as the kernel writes them.
  void Link(const std::string& target, const std::string& link) {
    const fs::path at = fs::path(sys_) / link;
    fs::create_directories(at.parent_path());
    fs::create_directories(fs::path(sys_) / target);
    fs::create_symlink(fs::path(sys_ + "/" + target).lexically_relative(at.parent_path()), at);
  }

  void File(const std::string& rel, const std::string& text) {
    const fs::path at = fs::path(sys_) / rel;
    fs::create_directories(at.parent_path());
    std::ofstream(at) << text;
  }

  // A tty class device at dir whose device is deviceDir; an empty type writes
  // no type attribute (only 8250 ports have one).
  void Tty(const std::string& dir, const std::string& deviceDir, const std::string& type) {
    const std::string name = fs::path(dir).filename().string();
    Link(deviceDir, dir + "/device");
    if (!type.empty()) File(dir + "/type", type + "\n");
    Link(dir, "class/tty/" + name);
  }

  void UsbDevice(const std::string& dir, const std::string& vendor, const std::string& product,
                 const std::string& manufacturerName, const std::string& productName) {
    File(dir + "/idVendor", vendor + "\n");
    File(dir + "/idProduct", product + "\n");
    File(dir + "/manufacturer", manufacturerName + "\n");
    File(dir + "/product", productName + "\n");
  }

  void OverrideLink(const std::string& name, const std::string& target) {
    fs::create_symlink(target, over_ + "/" + name);
  }

  vantor::ComDriverInfo Lookup(int com, bool expectDevice) {
    vantor::ComDriverInfo info{"stale", "stale", "stale", "stale"};
    EXPECT_EQ(expectDevice, vantor::LookupComDriver(com, over_, sys_, dev_, &info)) << "COM" << com;
    return info;
  }

  TempDir tmp_;
  std::string sys_, dev_, over_;
};

void ExpectInfo(const vantor::ComDriverInfo& info, const std::string& desc,
                const std::string& provider, const std::string& version) {
  EXPECT_EQ(desc, info.desc);
  EXPECT_EQ(provider, info.provider);
  EXPECT_EQ("", info.date);
  EXPECT_EQ(version, info.version);
}

TEST_F(FakeTree, ListsRealPortsAscendingAndLeavesOutAbsentUarts) {
  const std::vector<int> coms = vantor::ListComPorts("", sys_, dev_);
  EXPECT_EQ((std::vector<int>{1, 33, 65}), coms);
  EXPECT_EQ("COM1,COM33,COM65", vantor::JoinComNames(coms));
  EXPECT_EQ("", vantor::JoinComNames({}));
}

TEST_F(FakeTree, UsbSerialAdapterGivesProductManufacturerAndModuleVersion) {
  ExpectInfo(Lookup(33, true), "FT232R USB UART", "FTDI", "v1.6.0");
}

TEST_F(FakeTree, InterfaceNameWinsAndKernelReleaseStandsInForMissingVersion) {
  ExpectInfo(Lookup(65, true), "CDC Abstract Control Model", "Arduino (www.arduino.cc)",
             KernelRelease());
}

TEST_F(FakeTree, Com1AndCom10AreTheirOwnDevices) {
  // The hardware's driver names a port without USB, not the serial core's
  // "port"; the version comes from the driver's module, not from a module
  // named like the driver.
  ExpectInfo(Lookup(1, true), "serial", "Linux", KernelRelease());
  ExpectInfo(Lookup(10, true), "serial8250", "Linux", "2.0.8250");
}

TEST_F(FakeTree, NoDeviceGivesFourEmptyTexts) {
  OverrideLink("COM7", dev_ + "/tty1");  // a tty without hardware
  for (int com : {3, 4, 7, 34, 0, -1, 300}) ExpectInfo(Lookup(com, false), "", "", "");
}

TEST_F(FakeTree, OverrideEntriesJoinTheListAndWinForTheirNumber) {
  Pty pty;
  ASSERT_FALSE(pty.slave().empty()) << "no pseudo-terminal: /dev/ptmx missing?";
  OverrideLink("COM33", pty.slave());
  OverrideLink("COM200", dev_ + "/ttyUSB0");
  OverrideLink("COM65", dev_ + "/ttyACM7");  // left behind: leads nowhere, hides ttyACM0
  OverrideLink("COM05", pty.slave());
  OverrideLink("COM0", pty.slave());
  OverrideLink("COM257", pty.slave());
  std::ofstream(over_ + "/COM33.lines");

  EXPECT_EQ("COM1,COM33,COM200", vantor::JoinComNames(vantor::ListComPorts(over_, sys_, dev_)));
  ExpectInfo(Lookup(33, false), "", "", "");
  ExpectInfo(Lookup(65, false), "", "", "");
  // Links are followed to the node the kernel named.
  ExpectInfo(Lookup(200, true), "FT232R USB UART", "FTDI", "v1.6.0");
}

TEST_F(FakeTree, LogLinesOfAnOpen) {
  EXPECT_EQ((std::vector<std::string>{"PortDesc   : FT232R USB UART ", "PortDriver : FTDI  v1.6.0"}),
            vantor::ComDriverLogLines(33, over_, sys_, dev_));
  EXPECT_TRUE(vantor::ComDriverLogLines(3, over_, sys_, dev_).empty());
  EXPECT_TRUE(vantor::TtyClassAvailable(sys_));
  EXPECT_FALSE(vantor::TtyClassAvailable(dev_));
}

// The exports on the machine's own tree.

class EnumExports : public ::testing::Test {
 protected:
  void TearDown() override { unsetenv("VANTOR_DEVICE_DIR"); }
};

TEST_F(EnumExports, NullPointersGiveZeroAndWriteNothing) {
  char* names = SysAllocStringByteLen("keep", 4);
  char* const before = names;
  EXPECT_EQ(0, crwGetPortNames(&names, nullptr));
  EXPECT_EQ(before, names);
  EXPECT_EQ("keep", SlotText(names));
  SysFreeString(names);

  int16_t count = -7;
  EXPECT_EQ(0, crwGetPortNames(nullptr, &count));
  EXPECT_EQ(-7, count);
}

TEST_F(EnumExports, SimulatorPortIsListedAndHasNoDriver) {
  Pty pty;
  ASSERT_FALSE(pty.slave().empty()) << "no pseudo-terminal: /dev/ptmx missing?";
  TempDir dir;
  ASSERT_FALSE(dir.path().empty());
  fs::create_symlink(pty.slave(), dir.path() + "/COM5");
  ASSERT_EQ(0, setenv("VANTOR_DEVICE_DIR", dir.path().c_str(), 1));

  char* names = SysAllocStringByteLen("old", 3);
  int16_t count = -1;
  ASSERT_EQ(1, crwGetPortNames(&names, &count));
  const std::string list = SlotText(names);
  SysFreeString(names);
  std::vector<std::string> items;
  for (size_t start = 0; start <= list.size();) {
    size_t comma = list.find(',', start);
    if (comma == std::string::npos) comma = list.size();
    items.push_back(list.substr(start, comma - start));
    start = comma + 1;
  }
  EXPECT_NE(items.end(), std::find(items.begin(), items.end(), "COM5")) << list;
  EXPECT_EQ(static_cast<int16_t>(items.size()), count) << list;

  char* slots[4];
  for (char*& s : slots) s = SysAllocStringByteLen("old", 3);
  ASSERT_EQ(1, crwGetComDevInfo(5, &slots[0], &slots[1], &slots[2], &slots[3]));
  for (char* s : slots) {
    ASSERT_NE(nullptr, s);
    EXPECT_EQ("", SlotText(s));
    SysFreeString(s);
  }
  // Only the low 16 bits carry the number; null slots are skipped.
  char* desc = nullptr;
  EXPECT_EQ(1, crwGetComDevInfo(0x10005, &desc, nullptr, nullptr, nullptr));
  ASSERT_NE(nullptr, desc);
  EXPECT_EQ("", SlotText(desc));
  SysFreeString(desc);
}

}  // namespace

#include "platform/com_map.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <string>
#include <vector>

namespace {

using plat::ComDevicePath;
using plat::ComSideChannelPath;

// A scratch device folder named by $VANTOR_DEVICE_DIR for the life of a test.
class ComMapTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/com_map_test.XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
    setenv("VANTOR_DEVICE_DIR", dir_.c_str(), 1);
  }
  void TearDown() override {
    for (const std::string& f : made_) unlink(f.c_str());
    rmdir(dir_.c_str());
    unsetenv("VANTOR_DEVICE_DIR");
  }
  std::string Link(const std::string& name, const std::string& target = "/dev/null") {
    std::string path = dir_ + "/" + name;
    EXPECT_EQ(symlink(target.c_str(), path.c_str()), 0);
    made_.push_back(path);
    return path;
  }
  std::string File(const std::string& name) {
    std::string path = dir_ + "/" + name;
    std::ofstream(path) << "x";
    made_.push_back(path);
    return path;
  }
  std::string dir_;
  std::vector<std::string> made_;
};

TEST(ComMap, NumbersMapOntoTheThreeDeviceFamilies) {
  EXPECT_EQ(ComDevicePath(1, "", "/dev"), "/dev/ttyS0");
  EXPECT_EQ(ComDevicePath(32, "", "/dev"), "/dev/ttyS31");
  EXPECT_EQ(ComDevicePath(33, "", "/dev"), "/dev/ttyUSB0");
  EXPECT_EQ(ComDevicePath(64, "", "/dev"), "/dev/ttyUSB31");
  EXPECT_EQ(ComDevicePath(65, "", "/dev"), "/dev/ttyACM0");
  EXPECT_EQ(ComDevicePath(96, "", "/dev"), "/dev/ttyACM31");
}

TEST(ComMap, NumbersOutsideTheFamiliesMapToNothing) {
  EXPECT_EQ(ComDevicePath(97, "", "/dev"), "");
  EXPECT_EQ(ComDevicePath(256, "", "/dev"), "");
  EXPECT_EQ(ComDevicePath(0, "", "/dev"), "");
  EXPECT_EQ(ComDevicePath(-1, "", "/dev"), "");
}

TEST(ComMap, WithoutTheVariableTheDefaultsApply) {
  unsetenv("VANTOR_DEVICE_DIR");
  EXPECT_EQ(plat::DeviceOverrideDir(), "");
  EXPECT_EQ(ComDevicePath(1), "/dev/ttyS0");
  EXPECT_EQ(ComDevicePath(33), "/dev/ttyUSB0");
  EXPECT_EQ(ComDevicePath(65), "/dev/ttyACM0");
  EXPECT_EQ(ComDevicePath(97), "");
  EXPECT_EQ(ComSideChannelPath(1), "");
}

TEST_F(ComMapTest, AnOverrideLinkWinsAndIsLookedUpAtEveryCall) {
  EXPECT_EQ(plat::DeviceOverrideDir(), dir_);
  EXPECT_EQ(ComDevicePath(3), "/dev/ttyS2");  // folder set, no link yet
  std::string link = Link("COM3");
  EXPECT_EQ(ComDevicePath(3), link);
  EXPECT_EQ(ComDevicePath(4), "/dev/ttyS3");
  unlink(link.c_str());
  EXPECT_EQ(ComDevicePath(3), "/dev/ttyS2");
}

TEST_F(ComMapTest, AnOverrideLinkGivesNumbersBeyondTheFamiliesAPort) {
  std::string link = Link("COM97");
  EXPECT_EQ(ComDevicePath(97), link);
  EXPECT_EQ(ComDevicePath(98), "");
}

TEST_F(ComMapTest, AStaleLinkStillWinsSoTheRealPortIsNeverOpenedByMistake) {
  std::string link = Link("COM1", dir_ + "/gone");
  EXPECT_EQ(ComDevicePath(1), link);
}

TEST_F(ComMapTest, AFolderWithATrailingSlashJoinsCleanly) {
  std::string link = Link("COM2");
  EXPECT_EQ(ComDevicePath(2, dir_ + "/", "/dev"), link);
  EXPECT_EQ(ComDevicePath(40, dir_, "/devroot/"), "/devroot/ttyUSB7");
}

TEST_F(ComMapTest, SideChannelPathOnlyWhenTheLinesFileExistsBesideTheLink) {
  EXPECT_EQ(ComSideChannelPath(5), "");
  Link("COM5");
  EXPECT_EQ(ComSideChannelPath(5), "");  // link without a lines file
  std::string lines = File("COM5.lines");
  EXPECT_EQ(ComSideChannelPath(5), lines);
  EXPECT_EQ(ComSideChannelPath(5, dir_), lines);
  EXPECT_EQ(ComSideChannelPath(5, ""), "");
  File("COM6.lines");  // a lines file whose port is not in the folder
  EXPECT_EQ(ComSideChannelPath(6), "");
  unlink(lines.c_str());
  EXPECT_EQ(ComSideChannelPath(5), "");
}

}  // namespace

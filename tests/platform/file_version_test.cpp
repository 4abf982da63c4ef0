#include "platform/file_version.h"

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

PLAT_EMBED_VERSION("9.8.7.6");

namespace {

class FileVersionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/file_version_test.XXXXXX";
    const int fd = mkstemp(tmpl);
    ASSERT_GE(fd, 0);
    close(fd);
    path_ = tmpl;
  }
  void TearDown() override { unlink(path_.c_str()); }
  void Put(const std::string& bytes) { std::ofstream(path_, std::ios::binary) << bytes; }
  std::string Read() {
    std::string v = "<none>";
    plat::ReadFileVersion(path_, &v);
    return v;
  }
  std::string path_;
};

std::string Junk(size_t n) {
  std::string s;
  for (size_t i = 0; i < n; ++i) s += static_cast<char>("@(#)VANT\0\x7F\xFF 1.2"[i % 15]);
  return s;
}

TEST_F(FileVersionTest, FindsTheMarkerInJunk) {
  Put(Junk(1000) + PLAT_VERSION_MARKER + std::string("1.2.3.4\0tail", 12) + Junk(50));
  EXPECT_EQ(Read(), "1.2.3.4");
}

TEST_F(FileVersionTest, FindsAMarkerSplitAcrossReadChunks) {
  const std::string marker = PLAT_VERSION_MARKER;
  // Reads go 64 KiB at a time: put the chunk border inside the marker, then
  // inside the version.
  for (size_t cut : {size_t{1}, marker.size() / 2, marker.size() - 1, marker.size() + 2}) {
    Put(Junk(65536 - cut) + marker + std::string("10.20.30.40", 12));
    EXPECT_EQ(Read(), "10.20.30.40") << "cut " << cut;
  }
  Put(Junk(70000) + marker + "5.6");  // ends right after the version
  EXPECT_EQ(Read(), "5.6");
}

TEST_F(FileVersionTest, SkipsMarkersWithoutAVersion) {
  const std::string marker = PLAT_VERSION_MARKER;
  Put(marker + std::string(1, '\0') + marker + "..\0" + marker + std::string(65, '1') + '\0' + marker +
      "2.0" + '\0');
  EXPECT_EQ(Read(), "2.0");
  Put(Junk(5000) + marker);
  EXPECT_FALSE(plat::ReadFileVersion(path_, nullptr));
  EXPECT_FALSE(plat::ReadFileVersion(path_ + ".absent", nullptr));
}

TEST(FileVersion, ReadsTheVersionThisBinaryCarries) {
  std::string v;
  ASSERT_TRUE(plat::ReadFileVersion("/proc/self/exe", &v));
  EXPECT_EQ(v, "9.8.7.6");
}

}  // namespace

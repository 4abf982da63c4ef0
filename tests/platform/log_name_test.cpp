#include "platform/log_name.h"

#include <unistd.h>

#include <string>

#include <gtest/gtest.h>

namespace {

using plat::FormatLogFileName;

TEST(LogName, FormatsThePortIntoTheFileName) {
  EXPECT_EQ(FormatLogFileName(".\\Vantor_%03d.log", 3, "/x"), "/x/Vantor_003.log");
  EXPECT_EQ(FormatLogFileName("Vantor_%d.log", 12, "/x"), "/x/Vantor_12.log");
  EXPECT_EQ(FormatLogFileName("p%-4ip", 7, "/x"), "/x/p7   p");
  EXPECT_EQ(FormatLogFileName("p%+d", 7, "/x"), "/x/p+7");
  EXPECT_EQ(FormatLogFileName("p%#x_%X_%o", 255, "/x"), "/x/p0xff_%X_%o") << "only one conversion";
  EXPECT_EQ(FormatLogFileName("p%#u", 9, "/x"), "/x/p9");
  EXPECT_EQ(FormatLogFileName("100%%_%u", 5, "/x"), "/x/100%_5");
  EXPECT_EQ(FormatLogFileName("Vantor.log", 5, "/x"), "/x/Vantor.log") << "no number: one file for all";
  EXPECT_EQ(FormatLogFileName("", 5, "/x"), "");
  EXPECT_EQ(FormatLogFileName("logs\\", 5, "/x"), "") << "a folder without a file name";
}

TEST(LogName, NeverActsOnOtherConversions) {
  EXPECT_EQ(FormatLogFileName("%s%n%p%ld%.3d%5.2f_%d", 1, "/x"), "/x/%s%n%p%ld%.3d%5.2f_1");
  EXPECT_EQ(FormatLogFileName("trail%", 1, "/x"), "/x/trail%");
  EXPECT_EQ(FormatLogFileName("w%99999999999d", 1, "/x"), "/x/w%99999999999d") << "absurd width";
  EXPECT_EQ(FormatLogFileName("w%64d", 1, "/x"), "/x/w" + std::string(63, ' ') + "1");
  EXPECT_EQ(FormatLogFileName("/var/%d%s%%/log_%02d", 4, "/x"), "/var/%d%s%%/log_04") << "folder is literal";
}

TEST(LogName, ResolvesFoldersAndDecodesCp932) {
  EXPECT_EQ(FormatLogFileName("..\\logs\\.\\a_%d.log", 2, "/opt/app/bin"), "/opt/app/logs/a_2.log");
  EXPECT_EQ(FormatLogFileName("/abs//dir/../a.log", 2, "/x"), "/abs/a.log");
  EXPECT_EQ(FormatLogFileName("\\\\a.log", 2, "/x"), "/a.log");
  EXPECT_EQ(FormatLogFileName("../../../../a.log", 2, "/x"), "/a.log");
  // "ログ\ソ" folder: the 0x5C trail byte of "ソ" is no separator.
  EXPECT_EQ(FormatLogFileName("\x83\x8D\x83\x4F\\\x83\x5C_%d.log", 1, "/x"),
            "/x/\u30ED\u30B0/\u30BD_1.log");
  EXPECT_EQ(FormatLogFileName("bad\x85\x40.log", 1, "/x"), "/x/bad\uFFFD.log");
  char cwd[4096];
  ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
  const std::string here = std::string(cwd) == "/" ? "" : cwd;
  EXPECT_EQ(FormatLogFileName("a.log", 1, ""), here + "/a.log");
}

}  // namespace

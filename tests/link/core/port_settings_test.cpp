// Reading Vantor.ini: the four keys, their defaults and the negative-value
// rules, and where the file is looked for.
#include "port_settings.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "temp_dir.h"

namespace vantor {
namespace {

using coretest::TempDir;
using coretest::WriteFile;

TEST(PortSettings, MissingFileGivesTheDefaults) {
  TempDir dir;
  const PortSettings s = ReadPortSettings(dir / "Vantor.ini");
  EXPECT_EQ(s.logging, -1);
  EXPECT_EQ(s.logFileName, ".\\Vantor_%03d.log");
  EXPECT_EQ(s.delayMs, 0);
  EXPECT_EQ(s.writeTimeoutMs, 5000);
}

TEST(PortSettings, NegativeDelayAndWriteTimeOutFallBack) {
  TempDir dir;
  WriteFile(dir / "Vantor.ini",
            "[Log]\r\nLogging=0\r\nLogFileName=.\\logs\\P%d.log\r\n"
            "[Delay]\r\nDelay=-5\r\n[TimeOut]\r\nWriteFileTimeOut=-1\r\n");
  const PortSettings s = ReadPortSettings(dir / "Vantor.ini");
  EXPECT_EQ(s.logging, 0);
  EXPECT_EQ(s.logFileName, ".\\logs\\P%d.log");
  EXPECT_EQ(s.delayMs, 0);
  EXPECT_EQ(s.writeTimeoutMs, 5000);

  WriteFile(dir / "Vantor.ini", "[Delay]\nDelay=7\n[TimeOut]\nWriteFileTimeOut=250\n");
  const PortSettings t = ReadPortSettings(dir / "Vantor.ini");
  EXPECT_EQ(t.delayMs, 7);
  EXPECT_EQ(t.writeTimeoutMs, 250);
}

TEST(PortSettings, LogFileNameIsCutAt255Bytes) {
  TempDir dir;
  WriteFile(dir / "Vantor.ini", "[Log]\nLogFileName=" + std::string(300, 'x') + "\n");
  EXPECT_EQ(ReadPortSettings(dir / "Vantor.ini").logFileName, std::string(255, 'x'));
}

TEST(PortSettings, TheCurrentFolderComesFirstThenTheLibraryFolder) {
  TempDir dir;
  char old[4096];
  ASSERT_NE(getcwd(old, sizeof old), nullptr);
  ASSERT_EQ(0, chdir(dir.path().c_str()));
  const std::string self = LibraryFilePath();
  const std::string beside = self.substr(0, self.rfind('/') + 1) + "Vantor.ini";
  EXPECT_EQ(SettingsFilePath(), beside);
  WriteFile(dir / "Vantor.ini", "[Log]\nLogging=1\n");
  EXPECT_EQ(SettingsFilePath(), "./Vantor.ini");
  EXPECT_EQ(ReadPortSettings(SettingsFilePath()).logging, 1);
  ASSERT_EQ(0, chdir(old));
}

}  // namespace
}  // namespace vantor

// ReadIni/WriteIni over the profile files: CP932 on disk, the 1023-byte
// limit, shared use by two processes; the instance locks; and the folder
// the settings files go to.
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include "core/folders.h"
#include "core/instance_locks.h"
#include "core/main_module.h"
#include "core/settings_file.h"
#include "temp_dir.h"

namespace quorel {
namespace {

QByteArray ReadAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(Settings, ValuesAreCp932OnDiskAndLengthsInBytes) {
  testing::TempDir dir;
  const QString ini = dir.file(QStringLiteral("Quorel.ini"));
  WriteIni(QStringLiteral("BMPDown"), QStringLiteral("Line4"), QString::fromUtf8(" 2012年発売"), ini);
  WriteIni(QStringLiteral("Form"), QStringLiteral("CustomCmd0"), QString(), ini);
  EXPECT_EQ(ReadAll(ini), QByteArray("[BMPDown]\r\nLine4= 2012\x94N\x94\xAD\x94\x84\r\n[Form]\r\nCustomCmd0=\r\n"));
  // The reader trims blanks, as the profile functions do.
  EXPECT_EQ(ReadIni(QStringLiteral("bmpdown"), QStringLiteral("LINE4"), ini), QString::fromUtf8("2012年発売"));
  EXPECT_EQ(mm().gIniTextLen, 10);
  EXPECT_EQ(ReadIni(QStringLiteral("Form"), QStringLiteral("Missing"), ini), QString());
  EXPECT_EQ(mm().gIniTextLen, 0);
  EXPECT_EQ(ReadIni(QStringLiteral("Form"), QStringLiteral("CustomCmd0"), dir.file(QStringLiteral("none.ini"))),
            QString());
}

TEST(Settings, ReadCutsAt1023Bytes) {
  testing::TempDir dir;
  const QString ini = dir.file(QStringLiteral("Quorel.ini"));
  WriteIni(QStringLiteral("Form"), QStringLiteral("CustomCmd1"), QString(1500, QLatin1Char('x')), ini);
  EXPECT_EQ(ReadIni(QStringLiteral("Form"), QStringLiteral("CustomCmd1"), ini), QString(1023, QLatin1Char('x')));
  EXPECT_EQ(mm().gIniTextLen, 1023);
}

TEST(Settings, TwoProcessesWritingOneFileKeepEveryKey) {
  testing::TempDir dir;
  const QString ini = dir.file(QStringLiteral("Quorel.ini"));
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  const QString section = child == 0 ? QStringLiteral("Child") : QStringLiteral("Parent");
  for (int i = 0; i < 200; ++i)
    WriteIni(section, QStringLiteral("Key%1").arg(i), QString::number(i * 7), ini);
  if (child == 0) _exit(0);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  for (const QString& s : {QStringLiteral("Child"), QStringLiteral("Parent")})
    for (int i = 0; i < 200; ++i)
      ASSERT_EQ(ReadIni(s, QStringLiteral("Key%1").arg(i), ini), QString::number(i * 7)) << s.toStdString() << i;
}

TEST(Settings, SectionsCarryTheInstanceNumber) {
  mm().gInstanceNo = 0;
  EXPECT_EQ(InstanceSection(QStringLiteral("Comm")), QStringLiteral("Comm"));
  mm().gInstanceNo = 12;
  EXPECT_EQ(InstanceSection(QStringLiteral("Comm")), QStringLiteral("Comm12"));
  mm().gInstanceNo = 0;
}

// Two lock holders in one process stand for two copies: flock locks of
// separately opened files exclude each other just as between processes.
TEST(InstanceLocks, HeldNumbersAndRelease) {
  testing::TempDir dir;
  InstanceLocks a(dir.path());
  InstanceLocks b(dir.path());
  {
    const InstanceLocks::Guard guard(a);
    EXPECT_TRUE(a.HeldByOthers().empty());
    ASSERT_TRUE(a.Take(0));
  }
  {
    const InstanceLocks::Guard guard(b);
    EXPECT_EQ(b.HeldByOthers(), std::vector<int>{0});
    EXPECT_FALSE(b.Take(0));
    ASSERT_TRUE(b.Take(7));
  }
  EXPECT_EQ(HeldInstanceNumbers(dir.path()), (std::vector<int>{0, 7}));
  {
    const InstanceLocks::Guard guard(a);
    EXPECT_EQ(a.HeldByOthers(), std::vector<int>{7});  // never its own
  }
  b.Release();
  EXPECT_EQ(b.number(), -1);
  EXPECT_EQ(HeldInstanceNumbers(dir.path()), std::vector<int>{0});
}

TEST(InstanceLocks, FolderBesideTheProgramOnlyWhenWritable) {
  testing::TempDir dir;
  testing::TempDir runtime;
  EXPECT_EQ(InstanceLocks::DirFor(dir.path()), dir.path());
  // A folder the program cannot write to (here: one that does not exist).
  qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
  const QString other = InstanceLocks::DirFor(dir.file(QStringLiteral("gone")));
  EXPECT_TRUE(other.startsWith(runtime.path() + QStringLiteral("/quorel-"))) << other.toStdString();
  EXPECT_TRUE(QDir(other).exists());
  EXPECT_EQ(InstanceLocks::DirFor(dir.file(QStringLiteral("gone"))), other);
  EXPECT_NE(InstanceLocks::DirFor(dir.file(QStringLiteral("gone2"))), other);
}

// Whether the program folder is writable is handed in: CI runs as root, who
// may write to every folder.
TEST(Folders, SettingsBesideAWritableProgramFolderElseInThePerUserFolder) {
  testing::TempDir home;
  const QString program = QStringLiteral("/opt/quorel/lib/quorel");
  qputenv("HOME", home.path().toLocal8Bit());
  qputenv("XDG_CONFIG_HOME", home.file(QStringLiteral("config")).toLocal8Bit());
  EXPECT_EQ(SettingsDirFor(program, true), program);
  const QString perUser = home.file(QStringLiteral("config/quorel"));
  EXPECT_EQ(SettingsDirFor(program, false), perUser);
  EXPECT_TRUE(QDir(perUser).exists());
  // Without $XDG_CONFIG_HOME, or with a relative one, ~/.config.
  for (const char* config : {"", "relative/config"}) {
    qputenv("XDG_CONFIG_HOME", config);
    EXPECT_EQ(SettingsDirFor(program, false), home.file(QStringLiteral(".config/quorel"))) << config;
  }
  // $QUOREL_PROGRAM_DIR comes first, written to or not.
  qputenv("QUOREL_PROGRAM_DIR", home.path().toLocal8Bit() + "/");
  EXPECT_EQ(SettingsDir(), home.path());
}

}  // namespace
}  // namespace quorel

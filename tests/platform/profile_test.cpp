#include "platform/profile.h"

#include <dirent.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

using plat::ProfileGetInt;
using plat::ProfileGetString;
using plat::ProfileKeys;
using plat::ProfileSections;
using plat::ProfileWriteString;

class ProfileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/profile_test.XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
    file_ = dir_ + "/Vantor.ini";
  }
  void TearDown() override {
    for (const auto& name : List()) unlink((dir_ + "/" + name).c_str());
    rmdir(dir_.c_str());
  }
  void Put(const std::string& bytes) {
    std::ofstream(file_, std::ios::binary) << bytes;
  }
  std::string Get() const {
    std::ifstream in(file_, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
  }
  std::vector<std::string> List() const {
    std::vector<std::string> names;
    if (DIR* d = opendir(dir_.c_str())) {
      while (dirent* e = readdir(d))
        if (std::string(e->d_name) != "." && std::string(e->d_name) != "..") names.push_back(e->d_name);
      closedir(d);
    }
    return names;
  }
  std::string S(const std::string& sec, const std::string& key, const std::string& def = "<def>") const {
    return ProfileGetString(file_, sec, key, def);
  }

  std::string dir_;
  std::string file_;
};

TEST_F(ProfileTest, ReadsValuesLikeTheWindowsReader) {
  Put("; library settings\r\n"
      "[Port]\r\n"
      "Logging = -5\r\n"
      "Name = \"  quoted  \"\r\n"
      "Plain=\t value with  spaces \t\r\n"
      "Half=\"open\r\n"
      "Pair=\"\"\r\n"
      "Number=12ab\r\n"
      "Plus=+7\r\n"
      "Word=ab\r\n"
      "Empty=\r\n"
      "Big=4294967295\r\n"
      "no equals sign here\r\n"
      "; Hidden=1\r\n"
      "Logging=99\r\n"
      "[port]\r\n"
      "Logging=7\r\n"
      "Only=second\r\n");
  EXPECT_EQ(ProfileGetInt(file_, "Port", "Logging", 1), -5);
  EXPECT_EQ(ProfileGetInt(file_, "PORT", "logging", 1), -5) << "case-insensitive section and key";
  EXPECT_EQ(ProfileGetInt(file_, "  Port ", " Logging ", 1), -5) << "names are trimmed";
  EXPECT_EQ(S("Port", "Name"), "  quoted  ");
  EXPECT_EQ(S("Port", "Plain"), "value with  spaces");
  EXPECT_EQ(S("Port", "Half"), "\"open");
  EXPECT_EQ(S("Port", "Pair"), "");
  EXPECT_EQ(ProfileGetInt(file_, "Port", "Number", 1), 12);
  EXPECT_EQ(ProfileGetInt(file_, "Port", "Plus", 1), 7);
  EXPECT_EQ(ProfileGetInt(file_, "Port", "Word", 1), 0);
  EXPECT_EQ(ProfileGetInt(file_, "Port", "Big", 1), -1);
  EXPECT_EQ(S("Port", "Empty"), "");
  EXPECT_EQ(ProfileGetInt(file_, "Port", "Empty", 33), 33) << "an empty value reads as missing";
  EXPECT_EQ(S("Port", "Hidden"), "<def>") << "comment line";
  EXPECT_EQ(S("Port", "no equals sign here"), "<def>");
  EXPECT_EQ(S("Port", "Missing"), "<def>");
  EXPECT_EQ(ProfileGetInt(file_, "Port", "Missing", -3), -3);
  EXPECT_EQ(S("Port", "Only"), "<def>") << "a duplicate section is shadowed by the first";
  EXPECT_EQ(S("Nowhere", "Logging"), "<def>");
  EXPECT_EQ(ProfileGetString(dir_ + "/absent.ini", "Port", "Logging", "d"), "d");
  EXPECT_EQ(ProfileSections(file_), (std::vector<std::string>{"Port"}));
  EXPECT_EQ(ProfileKeys(file_, "port"), (std::vector<std::string>{"Logging", "Name", "Plain", "Half", "Pair",
                                                                   "Number", "Plus", "Word", "Empty", "Big"}));
}

TEST_F(ProfileTest, ReadsLfFilesHeaderlessTopAndShiftJisBytes) {
  // "\x83\x5D" is a katakana whose trail byte is ']'; "\x83\x41" and "\x83\x61"
  // are two different katakana that ASCII case folding would confuse.
  Put("Top=1\n"
      "[\x83\x5D]\n"
      "Text=\x83\x5C\x8E\xA6\n"
      "\t[ Spaced ]  \n"
      "k=v\n"
      "[\x83\x41]\n"
      "k=upper\n"
      "[\x83\x61]\n"
      "k=lower\n"
      "[Last]\n"
      "End=no line break");
  EXPECT_EQ(S("", "Top"), "1");
  EXPECT_EQ(S("\x83\x5D", "Text"), "\x83\x5C\x8E\xA6");
  EXPECT_EQ(S("spaced", "K"), "v");
  EXPECT_EQ(S("\x83\x41", "k"), "upper");
  EXPECT_EQ(S("\x83\x61", "k"), "lower");
  EXPECT_EQ(S("last", "end"), "no line break");
  EXPECT_EQ(ProfileSections(file_),
            (std::vector<std::string>{"\x83\x5D", "Spaced", "\x83\x41", "\x83\x61", "Last"}));
}

TEST_F(ProfileTest, WriteChangesOnlyTheValueAndKeepsTheRestByteForByte) {
  const std::string before =
      "; \x83\x5C settings\r\n"
      "[Port]\r\n"
      "  Logging   =   0\r\n"
      "LogFileName=.\\Vantor_%03d.log\r\n"
      "\r\n"
      "[Other]\r\n"
      "Logging=5\r\n";
  Put(before);
  ASSERT_TRUE(ProfileWriteString(file_, "PORT", "logging", "-1"));
  EXPECT_EQ(Get(),
            "; \x83\x5C settings\r\n"
            "[Port]\r\n"
            "  Logging   =-1\r\n"
            "LogFileName=.\\Vantor_%03d.log\r\n"
            "\r\n"
            "[Other]\r\n"
            "Logging=5\r\n");
}

TEST_F(ProfileTest, ValueWithLeadingBlankDoesNotGrowOnRewrite) {
  Put("[Application]\r\nVersion=1\r\n");
  for (int i = 0; i < 3; ++i)
    ASSERT_TRUE(ProfileWriteString(file_, "Application", "Version", " File Not Found !! "));
  EXPECT_EQ(Get(), "[Application]\r\nVersion= File Not Found !! \r\n");
}

TEST_F(ProfileTest, NewKeyGoesAfterTheSectionsLastKeyInTheFilesLineEnding) {
  Put("[A]\n"
      "x=1\n"
      "; about B\n"
      "\n"
      "[B]\n"
      "\n"
      "[C]\n"
      "z=3");
  ASSERT_TRUE(ProfileWriteString(file_, "A", "y", "2"));
  ASSERT_TRUE(ProfileWriteString(file_, "B", "w", "\x82\xA0"));
  ASSERT_TRUE(ProfileWriteString(file_, "C", "zz", "4"));
  ASSERT_TRUE(ProfileWriteString(file_, "D", "d", "5"));
  EXPECT_EQ(Get(),
            "[A]\n"
            "x=1\n"
            "y=2\n"
            "; about B\n"
            "\n"
            "[B]\n"
            "w=\x82\xA0\n"
            "\n"
            "[C]\n"
            "z=3\n"
            "zz=4\n"
            "[D]\n"
            "d=5\n");
  EXPECT_EQ(S("b", "W"), "\x82\xA0");
}

TEST_F(ProfileTest, NewFileIsWrittenWithCrlf) {
  ASSERT_TRUE(ProfileWriteString(file_, "Port", "Logging", "1"));
  ASSERT_TRUE(ProfileWriteString(file_, "Port", "LogFileName", "\"x y\""));
  EXPECT_EQ(Get(), "[Port]\r\nLogging=1\r\nLogFileName=\"x y\"\r\n");
  EXPECT_EQ(S("Port", "LogFileName"), "x y");
}

TEST_F(ProfileTest, NullValueDeletesTheKeyAndNullKeyTheSection) {
  Put("[A]\r\n"
      "k=1\r\n"
      "K=2\r\n"
      "keep=3\r\n"
      "[B]\r\n"
      "b=1\r\n"
      "\r\n"
      "[a]\r\n"
      "k=4\r\n"
      "[C]\r\n"
      "c=1\r\n");
  ASSERT_TRUE(ProfileWriteString(file_, "a", "k", nullptr));
  EXPECT_EQ(S("A", "k"), "<def>");
  EXPECT_EQ(Get(),
            "[A]\r\n"
            "keep=3\r\n"
            "[B]\r\n"
            "b=1\r\n"
            "\r\n"
            "[a]\r\n"
            "k=4\r\n"
            "[C]\r\n"
            "c=1\r\n");
  ASSERT_TRUE(ProfileWriteString(file_, "A", nullptr, nullptr));
  EXPECT_EQ(Get(),
            "[B]\r\n"
            "b=1\r\n"
            "\r\n"
            "[C]\r\n"
            "c=1\r\n");
  // Removing what is not there leaves the file alone and creates none.
  ASSERT_TRUE(ProfileWriteString(file_, "Z", nullptr, nullptr));
  ASSERT_TRUE(ProfileWriteString(file_, "B", "zz", nullptr));
  EXPECT_EQ(Get(), "[B]\r\nb=1\r\n\r\n[C]\r\nc=1\r\n");
  const std::string absent = dir_ + "/absent.ini";
  ASSERT_TRUE(ProfileWriteString(absent, "Z", nullptr, nullptr));
  EXPECT_NE(access(absent.c_str(), F_OK), 0);
}

TEST_F(ProfileTest, RefusesWhatWouldNotReadBack) {
  Put("[A]\r\nk=1\r\n");
  EXPECT_FALSE(ProfileWriteString(file_, "A", "a=b", "1"));
  EXPECT_FALSE(ProfileWriteString(file_, "A", "k", "1\r\n[B]"));
  EXPECT_FALSE(ProfileWriteString(file_, "A\n", "k", "1"));
  EXPECT_FALSE(ProfileWriteString(file_, "A", ";k", "1"));
  EXPECT_FALSE(ProfileWriteString(file_, "A", " ", "1"));
  EXPECT_FALSE(ProfileWriteString(dir_ + "/no/such/folder.ini", "A", "k", "1"));
  EXPECT_EQ(Get(), "[A]\r\nk=1\r\n");
}

TEST_F(ProfileTest, ReplacesAtomicallyKeepingModeAndLinks) {
  Put("[A]\r\nk=1\r\n");
  ASSERT_EQ(chmod(file_.c_str(), 0600), 0);
  const std::string link = dir_ + "/link.ini";
  ASSERT_EQ(symlink(file_.c_str(), link.c_str()), 0);
  ASSERT_TRUE(ProfileWriteString(link, "A", "k", "2"));
  struct stat st {};
  ASSERT_EQ(lstat(link.c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  ASSERT_EQ(stat(file_.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0600u);
  EXPECT_EQ(Get(), "[A]\r\nk=2\r\n");
  // Only the file, the link and the lock file remain: no temporary left over.
  auto names = List();
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"Vantor.ini", "Vantor.ini.lock", "link.ini"}));

  ASSERT_TRUE(plat::WriteFileAtomic(file_, std::string("a\0b", 3)));
  EXPECT_EQ(Get(), std::string("a\0b", 3));
}

TEST_F(ProfileTest, TwoProcessesWritingAtOnceLoseNoUpdate) {
  Put("[Head]\r\nh=1\r\n[Shared]\r\n[Tail]\r\nt=1\r\n");
  constexpr int kWrites = 200;
  std::vector<pid_t> children;
  for (const char* prefix : {"a", "b"}) {
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      int failures = 0;
      for (int i = 0; i < kWrites; ++i) {
        const std::string key = prefix + std::to_string(i);
        if (!ProfileWriteString(file_, "Shared", key.c_str(), (key + "v").c_str())) ++failures;
      }
      _exit(failures == 0 ? 0 : 1);
    }
    children.push_back(pid);
  }
  for (const pid_t pid : children) {
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  const auto keys = ProfileKeys(file_, "Shared");
  EXPECT_EQ(keys.size(), 2u * kWrites);
  for (const char* prefix : {"a", "b"})
    for (int i = 0; i < kWrites; ++i) {
      const std::string key = prefix + std::to_string(i);
      ASSERT_EQ(S("Shared", key), key + "v");
    }
  EXPECT_EQ(S("Head", "h"), "1");
  EXPECT_EQ(S("Tail", "t"), "1");
}

}  // namespace

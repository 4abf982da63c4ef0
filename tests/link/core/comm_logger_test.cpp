// The port log file: line layout, levels, dumps, the file's life and the
// locking between threads and processes.
#include "comm_logger.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <fcntl.h>

#include <atomic>
#include <cstdio>
#include <regex>
#include <thread>

#include "log_texts.h"
#include "temp_dir.h"

namespace vantor {
namespace {

using coretest::Exists;
using coretest::ReadFile;
using coretest::TempDir;

std::string Pad(long v, int width) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%*ld", width, v);
  return buf;
}

TEST(CommLogger, LineLayoutIsByteExact) {
  TempDir dir;
  const std::string file = dir / "Vantor_003.log";
  {
    CCommLogger log(file, CCommLogger::kAll, 3);
    EXPECT_TRUE(log.Line(CCommLogger::kInfo, kTagEnter, "crwOpenPort"));
    EXPECT_TRUE(log.ErrorCode(kErrParameter, 100));
  }
  const std::string text = ReadFile(file);
  const std::string ids = Pad(getpid(), 5) + ":" + Pad(syscall(SYS_gettid), 5);
  // date:time:ms:pid:tid:level:tag: text, then the empty line of the end.
  const std::regex layout(
      "\\d{4}:\\d\\d:\\d\\d:\\d\\d:\\d\\d:\\d\\d:[ \\d]{2}\\d:" + ids +
      ":Inf:Enter   : crwOpenPort\n"
      "\\d{4}:\\d\\d:\\d\\d:\\d\\d:\\d\\d:\\d\\d:[ \\d]{2}\\d:" + ids +
      ":Err:ErrInfo : ErrorCode 100: Parameter Error\n\n");
  EXPECT_TRUE(std::regex_match(text, layout)) << text;
}

TEST(CommLogger, ErrorsOnlyWritesOnlyErrorLines) {
  TempDir dir;
  const std::string file = dir / "e.log";
  {
    CCommLogger log(file, CCommLogger::kErrorsOnly, 1);
    EXPECT_FALSE(log.Info("Start WriteComm Method"));
    EXPECT_FALSE(log.Dump(CCommLogger::kInfo, reinterpret_cast<const uint8_t*>("AB"), 2));
    EXPECT_TRUE(log.ErrorCode(kErrTimeoutLine, 110));
  }
  const std::string text = ReadFile(file);
  EXPECT_NE(text.find(":Err:ErrInfo : ErrorCode 110: Timeout Error.\n"), std::string::npos);
  EXPECT_EQ(text.find(":Inf:"), std::string::npos) << text;
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 2) << text;
}

TEST(CommLogger, OffOrNamelessWritesNothing) {
  TempDir dir;
  {
    CCommLogger off(dir / "off.log", CCommLogger::kOff, 1);
    CCommLogger other(dir / "two.log", 2, 1);  // any other setting is off too
    CCommLogger nameless("", CCommLogger::kAll, 1);
    EXPECT_FALSE(off.ErrorCode(kErrParameter, 100));
    EXPECT_FALSE(other.ErrorCode(kErrParameter, 100));
    EXPECT_FALSE(nameless.ErrorCode(kErrParameter, 100));
  }
  EXPECT_FALSE(Exists(dir / "off.log"));
  EXPECT_FALSE(Exists(dir / "two.log"));
}

std::string DumpHeader() {
  return "    Addr : +0 +1 +2 +3 +4 +5 +6 +7 +8 +9 +A +B +C +D +E +F\n    " + std::string(55, '-') + "\n";
}

TEST(CommLogger, DumpsOfNoneAndSixteenBytesEndWithAnEmptyRow) {
  TempDir dir;
  const std::string file = dir / "d.log";
  const std::string sixteen = "0123456789ABCDEF";
  {
    CCommLogger log(file, CCommLogger::kAll, 1);
    EXPECT_TRUE(log.Dump(CCommLogger::kInfo, nullptr, 0));
    EXPECT_TRUE(log.Dump(CCommLogger::kInfo, reinterpret_cast<const uint8_t*>(sixteen.data()), 16));
  }
  const std::string emptyRow = "    0000 :" + std::string(48, ' ') + "   \n";
  const std::string expected = DumpHeader() + emptyRow + "\n" + DumpHeader() +
                               "    0000 : 30 31 32 33 34 35 36 37 38 39 41 42 43 44 45 46   0123456789ABCDEF\n"
                               "    0010 :" + std::string(48, ' ') + "   \n\n" +
                               "\n";  // the logger's closing empty line
  EXPECT_EQ(ReadFile(file), expected);
}

TEST(CommLogger, FileIsOpenedForEveryLine) {
  TempDir dir;
  const std::string file = dir / "p.log";
  CCommLogger log(file, CCommLogger::kAll, 2);
  log.Info("one");
  ASSERT_EQ(0, std::rename(file.c_str(), (dir / "moved.log").c_str()));
  log.Info("two");
  EXPECT_NE(ReadFile(dir / "moved.log").find("one"), std::string::npos);
  const std::string now = ReadFile(file);
  EXPECT_EQ(now.find("one"), std::string::npos);
  EXPECT_NE(now.find(":Inf:Info    : two\n"), std::string::npos);
}

TEST(CommLogger, LineWaitsForAnotherProcessHoldingTheFile) {
  TempDir dir;
  const std::string file = dir / "l.log";
  const int fd = open(file.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(0, flock(fd, LOCK_EX));  // as a logger of another process would
  CCommLogger log(file, CCommLogger::kAll, 4);
  std::atomic<bool> done{false};
  std::thread writer([&] {
    log.Info("after the lock");
    done = true;
  });
  usleep(50 * 1000);
  EXPECT_FALSE(done.load());
  EXPECT_EQ(ReadFile(file), "");
  flock(fd, LOCK_UN);
  close(fd);
  writer.join();
  EXPECT_NE(ReadFile(file).find("after the lock"), std::string::npos);
}

TEST(CommLogger, AProcessThatDiesHoldingTheLockFreezesNobody) {
  TempDir dir;
  const std::string file = dir / "k.log";
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    const int fd = open(file.c_str(), O_WRONLY | O_CREAT, 0644);
    flock(fd, LOCK_EX);
    raise(SIGKILL);  // dies in the middle of its line
  }
  int status = 0;
  ASSERT_EQ(child, waitpid(child, &status, 0));
  ASSERT_TRUE(WIFSIGNALED(status));
  CCommLogger log(file, CCommLogger::kAll, 4);
  EXPECT_TRUE(log.Info("still logging"));
}

TEST(CommLogger, LinesOfManyThreadsStayWhole) {
  TempDir dir;
  const std::string file = dir / "t.log";
  {
    CCommLogger a(file, CCommLogger::kAll, 5);
    CCommLogger b(file, CCommLogger::kAll, 5);
    std::vector<std::thread> threads;
    for (int i = 0; i < 4; ++i)
      threads.emplace_back([&, i] {
        for (int k = 0; k < 50; ++k) (i % 2 ? a : b).Info(std::string(200, static_cast<char>('a' + i)));
      });
    for (auto& t : threads) t.join();
  }
  const std::string text = ReadFile(file);
  const std::regex line("^.{40}Info    : (a{200}|b{200}|c{200}|d{200})$");
  size_t lines = 0, pos = 0;
  while (pos < text.size()) {
    const size_t end = text.find('\n', pos);
    const std::string one = text.substr(pos, end - pos);
    pos = end + 1;
    if (one.empty()) continue;  // the two closing empty lines
    ++lines;
    EXPECT_TRUE(std::regex_match(one, line)) << one;
  }
  EXPECT_EQ(lines, 200u);
}

}  // namespace
}  // namespace vantor

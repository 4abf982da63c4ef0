// vantor-sim as a program: the ready line, the link, scripts, the transcript
// file, and a clean exit that takes the link with it.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "sim_fixture.h"

extern char** environ;

namespace simtest {
namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

bool WaitFor(const std::function<bool()>& cond, int ms) {
  const uint64_t end = NowMs() + static_cast<uint64_t>(ms);
  while (!cond()) {
    if (NowMs() >= end) return false;
    usleep(5000);
  }
  return true;
}

// The tool as a child process with its stdout on a pipe.
class Tool {
 public:
  explicit Tool(const std::vector<std::string>& args) {
    int out[2];
    if (pipe(out) != 0) return;
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_adddup2(&fa, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&fa, out[0]);
    posix_spawn_file_actions_addopen(&fa, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    std::vector<char*> argv;
    std::vector<std::string> all = {VANTOR_SIM_BIN};
    all.insert(all.end(), args.begin(), args.end());
    for (std::string& a : all) argv.push_back(&a[0]);
    argv.push_back(nullptr);
    if (posix_spawn(&pid_, VANTOR_SIM_BIN, &fa, nullptr, argv.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&fa);
    close(out[1]);
    out_ = out[0];
  }
  ~Tool() {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    if (out_ >= 0) close(out_);
  }
  // The first line of stdout (within 5 s).
  std::string FirstLine() {
    std::string line;
    char c;
    while (line.find('\n') == std::string::npos) {
      pollfd p{out_, POLLIN, 0};
      if (poll(&p, 1, 5000) <= 0 || read(out_, &c, 1) != 1) break;
      line += c;
    }
    return line;
  }
  // Exit status, waiting up to ms; -1 when it did not end.
  int Wait(int ms) {
    int status = 0;
    const bool ended = WaitFor([&] { return waitpid(pid_, &status, WNOHANG) == pid_; }, ms);
    if (!ended) return -1;
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }
  pid_t pid() const { return pid_; }

 private:
  pid_t pid_ = -1;
  int out_ = -1;
};

TEST(SimCli, ScriptRunsTranscriptIsWrittenAndSigtermCleansUp) {
  ASSERT_EQ(0, access("/dev/ptmx", R_OK | W_OK)) << "/dev/ptmx is missing";
  TempDir dir;
  const std::string script = dir.path() + "/s.txt", log = dir.path() + "/t.log";
  std::ofstream(script) << "# a changed answer\nreply ST 91\nwait 10\nnote script done\n";
  Tool tool({"--dir", dir.path(), "--com", "4", "--script", script, "--transcript", log});
  ASSERT_GT(tool.pid(), 0);
  const std::string ready = tool.FirstLine();
  EXPECT_EQ(0u, ready.find("ready COM4 -> /dev/pts/")) << ready;
  const std::string link = dir.path() + "/COM4";
  struct stat st;
  ASSERT_EQ(0, lstat(link.c_str(), &st));
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(0, access((link + ".lines").c_str(), F_OK));
  ASSERT_TRUE(WaitFor([&] { return ReadFile(log).find("note script done") != std::string::npos; }, 5000));

  const int fd = open(link.c_str(), O_RDWR | O_NOCTTY);
  ASSERT_GE(fd, 0);
  const sim::Bytes cmd = Hex("04 02 53 54 03 04 04 05");
  ASSERT_EQ(8, write(fd, cmd.data(), cmd.size()));
  sim::Bytes got;
  WaitFor([&] {
    uint8_t buf[64];
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, 10) > 0) {
      const ssize_t n = read(fd, buf, sizeof buf);
      if (n > 0) got.insert(got.end(), buf, buf + n);
    }
    return got.size() >= 9;
  }, 3000);
  EXPECT_EQ("06 02 41 53 54 39 31 03 4D", HexOf(got));
  close(fd);
  ASSERT_TRUE(WaitFor([&] { return ReadFile(log).find("| REPLY A ST 91") != std::string::npos; }, 2000));
  EXPECT_NE(std::string::npos, ReadFile(log).find(" host 04 02 53 54 03 04 | CMD ST\n"));

  kill(tool.pid(), SIGTERM);
  EXPECT_EQ(0, tool.Wait(5000));
  EXPECT_NE(0, lstat(link.c_str(), &st));
  EXPECT_NE(0, access((link + ".lines").c_str(), F_OK));
}

TEST(SimCli, ExitAtEndStopsAfterTheScriptAndReportsBadLines) {
  ASSERT_EQ(0, access("/dev/ptmx", R_OK | W_OK)) << "/dev/ptmx is missing";
  TempDir dir;
  const std::string good = dir.path() + "/good.txt", bad = dir.path() + "/bad.txt";
  std::ofstream(good) << "cts off\nwait 20\n";
  std::ofstream(bad) << "no such line\n";
  Tool ok({"--dir", dir.path(), "--com", "2", "--script", good, "--exit-at-end"});
  EXPECT_EQ(0, ok.Wait(5000));
  struct stat st;
  EXPECT_NE(0, lstat((dir.path() + "/COM2").c_str(), &st));
  Tool fails({"--dir", dir.path(), "--com", "2", "--script", bad, "--exit-at-end"});
  EXPECT_EQ(3, fails.Wait(5000));
}

TEST(SimCli, HelpDescribesTheControlLanguageAndBadArgumentsFail) {
  Tool help({"--help"});
  EXPECT_EQ(0u, help.FirstLine().find("usage: vantor-sim"));
  EXPECT_EQ(0, help.Wait(5000));
  Tool bad({"--com", "1"});
  EXPECT_EQ(2, bad.Wait(5000));
}

}  // namespace
}  // namespace simtest

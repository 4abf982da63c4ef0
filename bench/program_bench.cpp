// The whole program Quorel on the simulated device, as a bench tool runs all
// day: the round trip of a console command ("VS" typed into the send box and
// sent, until the next one leaves), then the CPU the program spends over
// 10 s with the port open and nothing to do, as a share of one core, for the
// whole process, its GUI thread and its other threads (the library's
// line-event thread among them). The device answers at once (no pacing), so
// the round trip is the program's and the library's own time.
//
// The program runs as its own process; the simulator runs in this one, so
// its thread is not counted. For scale, the CPU of a thread that does
// nothing but wake every 10 ms (as often as the library's line-event thread
// must look at the modem lines): what one wake-up costs differs widely from
// machine to machine, most in virtual machines.
#include <benchmark/benchmark.h>
#include <dirent.h>
#include <ftw.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "sim/simulator.h"

namespace {

constexpr int kCom = 5;
constexpr int kCommands = 40;
constexpr int kIdleSeconds = 10;

// Nanoseconds on a CPU of one thread (/proc/PID/task/TID/schedstat).
double TaskCpuNs(pid_t pid, const std::string& tid) {
  std::ifstream f("/proc/" + std::to_string(pid) + "/task/" + tid + "/schedstat");
  double ns = 0;
  f >> ns;
  return ns;
}

// Every thread of pid and its CPU time so far.
std::vector<std::pair<std::string, double>> ThreadCpu(pid_t pid) {
  std::vector<std::pair<std::string, double>> out;
  const std::string dir = "/proc/" + std::to_string(pid) + "/task";
  if (DIR* d = opendir(dir.c_str())) {
    while (dirent* e = readdir(d))
      if (e->d_name[0] != '.') out.emplace_back(e->d_name, TaskCpuNs(pid, e->d_name));
    closedir(d);
  }
  return out;
}

class ProgramOnSimulator {
 public:
  ProgramOnSimulator() {
    char tmpl[] = "/tmp/quorel-bench-XXXXXX";
    if (!mkdtemp(tmpl)) return;
    dir_ = tmpl;
    const std::string dev = dir_ + "/dev", prog = dir_ + "/prog";
    mkdir(dev.c_str(), 0755);
    mkdir(prog.c_str(), 0755);
    mkdir((prog + "/run").c_str(), 0700);
    if (symlink(VANTOR_LIB_PATH, (prog + "/libvantor.so").c_str()) != 0) return;
    std::ofstream(prog + "/Quorel.ini")
        << "[Application]\r\nApp=Quorel\r\n[Comm]\r\nPort=" << kCom
        << "\r\nBoud=115200\r\nParity=0\r\nDataBit=8\r\nStopBit=1\r\nDSR=1\r\nCTS=1\r\n"
           "AckTimer=1000\r\nRespTimer=1000\r\nNakRetry=3\r\n[COMEvent]\r\n2_EVT_ERR_FRAME=1\r\n"
           "3_EVT_ERR_OVERRUN=1\r\n4_EVT_ERR_PARITY=1\r\n6_EVT_DSR=1\r\n8_EVT_BREAK=1\r\n";
    std::ofstream(prog + "/Vantor.ini") << "[Application]\r\nName=VantorDLL INI File\r\n[Log]\r\nLogging=-1\r\n";
    if (!device_.Start({dev, kCom, ""}) || !device_.Control("device standard").empty()) return;

    std::string commands;
    for (int i = 0; i < kCommands; ++i) commands += i ? ";VS" : "VS";
    pid_ = fork();
    if (pid_ == 0) {
      setenv("QT_QPA_PLATFORM", "offscreen", 1);
      setenv("QUOREL_PROGRAM_DIR", prog.c_str(), 1);
      setenv("HOME", prog.c_str(), 1);
      setenv("XDG_CONFIG_HOME", (prog + "/.config").c_str(), 1);
      setenv("XDG_RUNTIME_DIR", (prog + "/run").c_str(), 1);
      setenv("VANTOR_DEVICE_DIR", dev.c_str(), 1);
      setenv("QUOREL_DEMO_COMMANDS", commands.c_str(), 1);
      // Keeps the window open after the commands; the bench ends it sooner.
      setenv("QUOREL_EXIT_AFTER_MS", "600000", 1);
      if (!freopen("/dev/null", "w", stdout) || !freopen("/dev/null", "w", stderr)) _exit(126);
      execl(QUOREL_EXE_PATH, QUOREL_EXE_PATH, static_cast<char*>(nullptr));
      _exit(127);
    }
  }
  ~ProgramOnSimulator() {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);  // closes the window as the user does
      int status = 0;
      waitpid(pid_, &status, 0);
    }
    device_.Stop();
    if (!dir_.empty())
      nftw(
          dir_.c_str(), [](const char* p, const struct stat*, int, FTW*) { return ::remove(p); }, 16,
          FTW_DEPTH | FTW_PHYS);
  }
  bool started() const { return pid_ > 0; }
  pid_t pid() const { return pid_; }
  sim::Simulator& device() { return device_; }

 private:
  std::string dir_;
  sim::Simulator device_;
  pid_t pid_ = -1;
};

void BM_ProgramOnTheSimulator(benchmark::State& state) {
  for (auto _ : state) {
    ProgramOnSimulator program;
    if (!program.started()) {
      state.SkipWithError("the program or the simulated device did not start");
      return;
    }
    sim::Simulator& dev = program.device();
    if (!dev.WaitForTag(sim::Dir::Device, "REPLY A VS 90", kCommands, 120000)) {
      state.SkipWithError("the program did not send its commands");
      return;
    }
    // The first command opens the port; the gaps between the later ones are
    // whole round trips.
    std::vector<uint32_t> sent;
    for (const sim::TranscriptEntry& e : dev.Transcript())
      if (e.dir == sim::Dir::Host && e.tag.rfind("CMD VS", 0) == 0) sent.push_back(e.ms);
    const double roundTripMs =
        sent.size() > 1 ? double(sent.back() - sent.front()) / double(sent.size() - 1) : 0;

    std::this_thread::sleep_for(std::chrono::seconds(1));  // the log box's last refresh
    const int hostLines = dev.CountTag(sim::Dir::Host, "");
    const auto before = ThreadCpu(program.pid());
    const auto t0 = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(std::chrono::seconds(kIdleSeconds));
    const auto after = ThreadCpu(program.pid());
    const double wallNs = std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - t0).count();
    double gui = 0, others = 0;
    for (const auto& [tid, ns] : after) {
      double spent = ns;
      for (const auto& b : before)
        if (b.first == tid) spent -= b.second;
      (tid == std::to_string(program.pid()) ? gui : others) += spent;
    }
    const bool stillSending = dev.CountTag(sim::Dir::Host, "") != hostLines;
    state.counters["round_trip_ms"] = roundTripMs;
    state.counters["idle_cpu_%"] = 100.0 * (gui + others) / wallNs;
    state.counters["gui_thread_%"] = 100.0 * gui / wallNs;
    state.counters["other_threads_%"] = 100.0 * others / wallNs;
    state.counters["threads"] = static_cast<double>(after.size());
    if (stillSending) state.SkipWithError("the program sent while it should have been idle");
  }
}
BENCHMARK(BM_ProgramOnTheSimulator)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

double ThreadCpuNs() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return double(ts.tv_sec) * 1e9 + double(ts.tv_nsec);
}

void BM_ASleeperWakingEvery10ms(benchmark::State& state) {
  for (auto _ : state) {
    const double cpu0 = ThreadCpuNs();
    const auto t0 = std::chrono::steady_clock::now();
    int wakes = 0;
    while (std::chrono::steady_clock::now() - t0 < std::chrono::seconds(5)) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
      ++wakes;
    }
    const double wallNs = std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - t0).count();
    state.counters["cpu_%"] = 100.0 * (ThreadCpuNs() - cpu0) / wallNs;
    state.counters["us_per_wake"] = (ThreadCpuNs() - cpu0) / 1000.0 / wakes;
  }
}
BENCHMARK(BM_ASleeperWakingEvery10ms)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();

// libvantor.so against the in-process simulated device: the time of one
// command round trip (command, ACK, poll, reply) with the port log on and
// off, and the CPU spent while a call waits out a 2 s time-out.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "sim/simulator.h"
#include "two_devices.h"
#include "vantor.h"

namespace {

constexpr int kQuietPort = 3;   // Logging=-1
constexpr int kLoggedPort = 4;  // Logging=0: every line and dump

benchdevices::TwoDevices& Env() {
  static benchdevices::TwoDevices devices(kQuietPort, kLoggedPort);
  return devices;
}

void Free(char*& s) {
  SysFreeString(s);
  s = nullptr;
}

void BM_CommandRoundTrip(benchmark::State& state) {
  if (!Env().ok()) {
    state.SkipWithError("no simulated device");
    return;
  }
  const bool logged = state.range(0) != 0;
  const int port = logged ? kLoggedPort : kQuietPort;
  char *code = nullptr, *status = nullptr, *data = nullptr;
  for (auto _ : state) {
    if (crwSendCommand(port, 1000, 0, "ST", "AB", 2) != CRW_OK ||
        crwReceiveResponse(port, 0, 1000, 0, &code, &status, &data) != CRW_OK) {
      state.SkipWithError("round trip failed");
      break;
    }
  }
  Free(code);
  Free(status);
  Free(data);
  state.SetLabel(logged ? "logging on" : "logging off");
}
BENCHMARK(BM_CommandRoundTrip)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

double CpuSeconds(int who) {
  rusage u{};
  getrusage(who, &u);
  return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
         static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// The calling thread's CPU per second of waiting, and the whole process's
// (which includes the simulator's own thread).
void BM_WaitingForATimeOut(benchmark::State& state) {
  if (!Env().ok()) {
    state.SkipWithError("no simulated device");
    return;
  }
  double threadCpu = 0, processCpu = 0, wall = 0;
  for (auto _ : state) {
    Env().device(false).Control("noack");
    const double t0 = CpuSeconds(RUSAGE_THREAD), p0 = CpuSeconds(RUSAGE_SELF);
    const auto w0 = std::chrono::steady_clock::now();
    if (crwSendCommand(kQuietPort, 2000, 0, "ST", nullptr, 0) != CRW_TIMEOUT) {
      state.SkipWithError("expected a time-out");
      break;
    }
    wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - w0).count();
    threadCpu += CpuSeconds(RUSAGE_THREAD) - t0;
    processCpu += CpuSeconds(RUSAGE_SELF) - p0;
  }
  if (wall > 0) {
    state.counters["thread_cpu_%"] = 100.0 * threadCpu / wall;
    state.counters["process_cpu_%"] = 100.0 * processCpu / wall;
  }
}
BENCHMARK(BM_WaitingForATimeOut)->Iterations(2)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();

// The "IB" picture download of the tallest print area, 320 x 600 (150 blocks
// of 164 bytes), against the in-process simulated device pacing the line at
// 115200 baud, 10 bits a character. The figure that counts is wire_%: the
// time the bytes that crossed the line (both ways) take at that speed, as a
// share of the time the whole call took. What is missing to 100 % is the
// turn-around after each block: the device's answer and the host's read of
// it. The port log is off (Logging=-1) or on (Logging=0).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <fstream>
#include <string>

#include "bmp_file.h"
#include "random_picture.h"
#include "sim/simulator.h"
#include "two_devices.h"
#include "vantor.h"

namespace {

constexpr int kQuietPort = 7;   // Logging=-1
constexpr int kLoggedPort = 8;  // Logging=0
using benchpictures::kHeight;
using benchpictures::kWidth;
constexpr double kBaud = 115200;
constexpr double kBitsPerChar = 10;

// Two paced devices, and the picture in their scratch folder.
class Bench {
 public:
  Bench() : picture_(devices_.dir() + "/picture.bmp") {
    std::ofstream(picture_, std::ios::binary) << testpictures::Bmp24(kWidth, kHeight, benchpictures::RandomRgb(7));
  }
  bool ok() const { return devices_.ok(); }
  sim::Simulator& device(bool logged) { return devices_.device(logged); }
  const std::string& picture() const { return picture_; }

 private:
  benchdevices::TwoDevices devices_{kQuietPort, kLoggedPort, {"pace 115200", "ibwidth 320"}};
  std::string picture_;
};

Bench& Env() {
  static Bench bench;
  return bench;
}

// Bytes both ways in the device's transcript.
size_t WireBytes(const sim::Simulator& dev) {
  size_t n = 0;
  for (const sim::TranscriptEntry& e : dev.Transcript())
    if (e.dir == sim::Dir::Host || e.dir == sim::Dir::Device) n += e.bytes.size();
  return n;
}

void BM_IBDownloadAt115200(benchmark::State& state) {
  if (!Env().ok()) {
    state.SkipWithError("no simulated device");
    return;
  }
  const bool logged = state.range(0) != 0;
  const int port = logged ? kLoggedPort : kQuietPort;
  sim::Simulator& dev = Env().device(logged);
  char *code = nullptr, *status = nullptr;
  double wall = 0, wire = 0;
  for (auto _ : state) {
    state.PauseTiming();
    dev.ClearTranscript();
    state.ResumeTiming();
    const auto t0 = std::chrono::steady_clock::now();
    const int16_t rc = crwIBBinarySend(port, 3, 0, 0, kWidth - 1, kHeight - 1, 0, 2000, 512,
                                       Env().picture().c_str(), &code, &status);
    const auto t1 = std::chrono::steady_clock::now();
    if (rc != CRW_OK) {
      state.SkipWithError(("download failed: " + std::to_string(rc)).c_str());
      break;
    }
    // The verdict's last byte is on the wire before the call can return.
    state.PauseTiming();
    dev.WaitForTag(sim::Dir::Device, "REPLY R", 1, 1000);
    wire += static_cast<double>(WireBytes(dev)) * kBitsPerChar / kBaud;
    wall += std::chrono::duration<double>(t1 - t0).count();
    state.ResumeTiming();
  }
  SysFreeString(code);
  SysFreeString(status);
  if (wall > 0) {
    state.counters["wire_%"] = 100.0 * wire / wall;
    state.counters["wire_ms"] = 1000.0 * wire / static_cast<double>(state.iterations());
  }
  state.SetLabel(logged ? "logging on" : "logging off");
}
BENCHMARK(BM_IBDownloadAt115200)
    ->Arg(0)
    ->Arg(1)
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();

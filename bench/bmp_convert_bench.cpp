// The bitmap window's own conversion of the tallest print area, 320 x 600:
// the whole view scanned into hex rows (four pixels a digit) and into
// packed rows (eight pixels a byte), with a stop check after every group and
// a per-row hook as the window runs them. Reported per picture in ms.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "print/dot_scan.h"
#include "random_picture.h"

namespace {

using benchpictures::kHeight;
using benchpictures::kWidth;

// Random colours, so every step of the dot rule is taken.
const printdata::RgbImage& Picture() {
  static const printdata::RgbImage img{kWidth, kHeight, benchpictures::RandomRgb(103)};
  return img;
}

printdata::ScanHooks WindowHooks(const volatile int* stop, int* rows) {
  printdata::ScanHooks hooks;
  hooks.stop = [stop] { return *stop != 0; };
  hooks.afterRow = [rows](int) { ++*rows; };
  return hooks;
}

void BM_HexRows320x600(benchmark::State& state) {
  const printdata::RgbView view = printdata::ViewOf(Picture());
  const printdata::Thresholds t = printdata::ShiftedThresholds(20);
  volatile int stop = 0;
  int rowsSeen = 0;
  const printdata::ScanHooks hooks = WindowHooks(&stop, &rowsSeen);
  std::vector<std::string> rows;
  for (auto _ : state) {
    printdata::ScanHexRows(view, {0, kWidth, kHeight}, t, hooks, &rows);
    benchmark::DoNotOptimize(rows.data());
  }
  state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_HexRows320x600)->Unit(benchmark::kMillisecond);

void BM_PackedRows320x600(benchmark::State& state) {
  const printdata::RgbView view = printdata::ViewOf(Picture());
  const printdata::Thresholds t = printdata::ShiftedThresholds(20);
  volatile int stop = 0;
  int rowsSeen = 0;
  const printdata::ScanHooks hooks = WindowHooks(&stop, &rowsSeen);
  std::vector<uint8_t> bytes;
  for (auto _ : state) {
    printdata::ScanPackedRows(view, {0, kWidth, kHeight}, t, hooks, &bytes);
    benchmark::DoNotOptimize(bytes.data());
  }
  state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_PackedRows320x600)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

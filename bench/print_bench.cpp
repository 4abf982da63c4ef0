// Throughput of the picture download's pure parts for the tallest print area,
// 320 x 600: pixels classified per second, "PI" records and "IB" blocks built
// per second (with the window's 2048-byte buffer), and the whole picture
// decoded from a 24-bit BMP in memory.
#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include "picture_load.h"
#include "print/print_data.h"

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 600;

// Random greys and colours, so every rule of the classifier is taken.
const printdata::RgbImage& Picture() {
  static const printdata::RgbImage img = [] {
    printdata::RgbImage p;
    p.width = kWidth;
    p.height = kHeight;
    p.rgb.resize(static_cast<size_t>(kWidth) * kHeight * 3);
    std::mt19937 rng(5);
    for (auto& c : p.rgb) c = static_cast<uint8_t>(rng());
    return p;
  }();
  return img;
}

void BM_ClassifyPixels(benchmark::State& state) {
  const printdata::DotArea area{&Picture(), kWidth, kHeight, {}};
  std::vector<uint8_t> dots(kWidth);
  for (auto _ : state) {
    for (int y = 0; y < kHeight; ++y) {
      printdata::ClassifyRow(area, y, dots.data());
      benchmark::DoNotOptimize(dots.data());
    }
  }
  state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
  state.SetLabel("pixels");
}
BENCHMARK(BM_ClassifyPixels);

void BM_BuildPIRecords(benchmark::State& state) {
  const printdata::DotArea area{&Picture(), kWidth, kHeight, {}};
  std::vector<std::string> records;
  for (auto _ : state) {
    if (printdata::BuildPIRecords(area, 0, 0, 2048, &records) != 0) state.SkipWithError("refused");
    benchmark::DoNotOptimize(records.data());
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(records.size()));
  state.counters["pictures/s"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  state.SetLabel("records");
}
BENCHMARK(BM_BuildPIRecords);

void BM_BuildIBBlocks(benchmark::State& state) {
  const printdata::DotArea area{&Picture(), kWidth, kHeight, {}};
  std::vector<std::vector<uint8_t>> blocks;
  for (auto _ : state) {
    if (printdata::BuildIBBlocks(area, 0, 2048, &blocks) != 0) state.SkipWithError("refused");
    benchmark::DoNotOptimize(blocks.data());
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(blocks.size()));
  state.counters["pictures/s"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  state.SetLabel("blocks");
}
BENCHMARK(BM_BuildIBBlocks);

void Put32(std::vector<uint8_t>* v, uint32_t x) {
  for (int i = 0; i < 4; ++i) v->push_back(static_cast<uint8_t>(x >> (8 * i)));
}

void BM_LoadBmp24(benchmark::State& state) {
  const printdata::RgbImage& pic = Picture();
  const uint32_t stride = kWidth * 3;  // already a multiple of 4
  std::vector<uint8_t> file{'B', 'M'};
  Put32(&file, 54 + stride * kHeight);
  Put32(&file, 0);
  Put32(&file, 54);
  Put32(&file, 40);
  Put32(&file, kWidth);
  Put32(&file, kHeight);
  Put32(&file, 1 | 24 << 16);
  for (int i = 0; i < 6; ++i) Put32(&file, 0);
  for (int y = kHeight - 1; y >= 0; --y)
    for (int x = 0; x < kWidth; ++x)
      for (int c = 2; c >= 0; --c) file.push_back(pic.rgb[(static_cast<size_t>(y) * kWidth + x) * 3 + c]);
  printdata::RgbImage img;
  for (auto _ : state) {
    if (vantor::LoadPictureMemory(file.data(), file.size(), &img) != 0) state.SkipWithError("refused");
    benchmark::DoNotOptimize(img.rgb.data());
  }
  state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
  state.SetLabel("pixels");
}
BENCHMARK(BM_LoadBmp24);

}  // namespace

BENCHMARK_MAIN();

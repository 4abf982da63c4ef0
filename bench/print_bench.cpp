// Throughput of the picture download's pure parts for the tallest print area,
// 320 x 600: pixels classified per second, "PI" records and "IB" blocks built
// per second (with the window's 2048-byte buffer), and the whole picture
// decoded from a 24-bit BMP in memory.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "bmp_file.h"
#include "picture_load.h"
#include "print/print_data.h"
#include "random_picture.h"

namespace {

using benchpictures::kHeight;
using benchpictures::kWidth;

// Random greys and colours, so every rule of the classifier is taken.
const printdata::RgbImage& Picture() {
  static const printdata::RgbImage img{kWidth, kHeight, benchpictures::RandomRgb(5)};
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

void BM_LoadBmp24(benchmark::State& state) {
  const std::string file = testpictures::Bmp24(kWidth, kHeight, Picture().rgb);
  printdata::RgbImage img;
  for (auto _ : state) {
    if (vantor::LoadPictureMemory(reinterpret_cast<const uint8_t*>(file.data()), file.size(), &img) != 0) state.SkipWithError("refused");
    benchmark::DoNotOptimize(img.rgb.data());
  }
  state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
  state.SetLabel("pixels");
}
BENCHMARK(BM_LoadBmp24);

}  // namespace

BENCHMARK_MAIN();

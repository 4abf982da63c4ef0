// The benchmarks' picture: the tallest print area, 320 x 600, in random
// colours so that every step of the dot rules is taken.
#pragma once
#include <cstdint>
#include <random>
#include <vector>

namespace benchpictures {

constexpr int kWidth = 320;
constexpr int kHeight = 600;

// R, G, B of every pixel, row by row from the top.
inline std::vector<uint8_t> RandomRgb(unsigned seed) {
  std::vector<uint8_t> rgb(static_cast<size_t>(kWidth) * kHeight * 3);
  std::mt19937 rng(seed);
  for (uint8_t& c : rgb) c = static_cast<uint8_t>(rng());
  return rgb;
}

}  // namespace benchpictures

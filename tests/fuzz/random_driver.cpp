// Runs a fuzz target's entry point on seeded random inputs, so CI exercises
// every decoder under the sanitizers without libFuzzer. Inputs mix pure noise
// with byte soups biased towards the protocol's control bytes and text.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
  uint64_t seed = 1;
  long runs = 10000;
  for (int i = 1; i + 1 < argc; ++i) {
    if (std::strcmp(argv[i], "--seed") == 0) seed = std::strtoull(argv[++i], nullptr, 10);
    else if (std::strcmp(argv[i], "--runs") == 0) runs = std::strtol(argv[++i], nullptr, 10);
  }
  std::mt19937_64 rng(seed);
  static const uint8_t kBias[] = {0x02, 0x03, 0x04, 0x05, 0x06, 0x15, 0x16, '\r', '\n', '[',
                                  ']',  '=',  ';',  ' ',  '"',  '0',  '9',  'A',  'F',  ':'};
  std::vector<uint8_t> buf;
  for (long r = 0; r < runs; ++r) {
    size_t len = rng() % (r % 100 == 0 ? 8192 : 512);
    buf.resize(len);
    int mode = static_cast<int>(rng() % 3);
    for (auto& b : buf) {
      if (mode == 0) b = static_cast<uint8_t>(rng());
      else if (mode == 1) b = kBias[rng() % sizeof kBias];
      else b = (rng() % 4 == 0) ? kBias[rng() % sizeof kBias] : static_cast<uint8_t>(0x20 + rng() % 0x5f);
    }
    LLVMFuzzerTestOneInput(buf.data(), buf.size());
  }
  std::printf("%ld random inputs passed\n", runs);
  return 0;
}

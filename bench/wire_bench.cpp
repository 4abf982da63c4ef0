// Throughput of the wire codecs: BCC, frame building, frame scans and SYN
// stuffing, in bytes per second of frame or data handled.
#include <benchmark/benchmark.h>

#include <random>

#include "wire/codec.h"
#include "wire/hex.h"

namespace {

using wire::Bytes;

// Random data without STX and ETX (so a text frame spans all of it), or any
// byte values with a SYN in every 16 on average (binary).
Bytes Data(size_t n, bool binary) {
  std::mt19937 rng(7);
  Bytes d(n);
  for (auto& b : d) {
    b = static_cast<uint8_t>(rng());
    if (!binary && (b == wire::STX || b == wire::ETX)) b = 'A';
    if (binary && rng() % 16 == 0) b = wire::SYN;
  }
  return d;
}

const uint8_t kCode[2] = {'S', 'T'};

void BM_CalcBCC(benchmark::State& state) {
  Bytes f = wire::DataFrame(Data(state.range(0), false).data(), state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(wire::CalcBCC(f.data(), f.size()));
  state.SetBytesProcessed(state.iterations() * f.size());
}
BENCHMARK(BM_CalcBCC)->Arg(64)->Arg(5117);

void BM_TextCommandFrame(benchmark::State& state) {
  Bytes d = Data(state.range(0), false);
  for (auto _ : state) benchmark::DoNotOptimize(wire::TextCommandFrame(kCode, d.data(), d.size()));
  state.SetBytesProcessed(state.iterations() * (d.size() + 6));
}
BENCHMARK(BM_TextCommandFrame)->Arg(64)->Arg(5114);

void BM_DataFrame(benchmark::State& state) {
  Bytes d = Data(state.range(0), false);
  for (auto _ : state) benchmark::DoNotOptimize(wire::DataFrame(d.data(), d.size()));
  state.SetBytesProcessed(state.iterations() * (d.size() + 3));
}
BENCHMARK(BM_DataFrame)->Arg(64)->Arg(5117);

void BM_FrameBccOk(benchmark::State& state) {
  Bytes f = wire::DataFrame(Data(state.range(0), false).data(), state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(wire::FrameBccOk(f.data(), f.size()));
  state.SetBytesProcessed(state.iterations() * f.size());
}
BENCHMARK(BM_FrameBccOk)->Arg(5117);

// ReadComm's scan at silence over a full receive buffer: noise, then a reply.
void BM_FindLastFrame(benchmark::State& state) {
  Bytes d = Data(state.range(0), false);
  Bytes buf = Data(wire::kMaxFrame - d.size() - 8, false);
  Bytes r = wire::ResponseFrame('A', "ST", "90", d.data(), d.size());
  buf.insert(buf.end(), r.begin(), r.end());
  size_t start, len;
  for (auto _ : state) benchmark::DoNotOptimize(wire::FindLastFrame(buf.data(), buf.size(), &start, &len));
  state.SetBytesProcessed(state.iterations() * buf.size());
}
BENCHMARK(BM_FindLastFrame)->Arg(64)->Arg(4096);

// ReadCommHF collecting a full-size reply byte by byte.
void BM_HFCollector(benchmark::State& state) {
  Bytes d = Data(wire::kMaxFrame - 8, false);
  Bytes r = wire::ResponseFrame('A', "ST", "90", d.data(), d.size());
  wire::HFCollector c(wire::kMaxFrame);
  for (auto _ : state) {
    c.Reset();
    for (uint8_t b : r) c.Feed(b);
    benchmark::DoNotOptimize(c.Complete());
  }
  state.SetBytesProcessed(state.iterations() * r.size());
}
BENCHMARK(BM_HFCollector);

void BM_BinaryFrame(benchmark::State& state) {
  Bytes d = Data(state.range(0), true);
  for (auto _ : state) benchmark::DoNotOptimize(wire::BinaryFrame(d.data(), d.size()));
  state.SetBytesProcessed(state.iterations() * d.size());
}
BENCHMARK(BM_BinaryFrame)->Arg(64)->Arg(4800);

void BM_UnstuffBinaryFrame(benchmark::State& state) {
  Bytes d = Data(state.range(0), true);
  Bytes f = wire::BinaryFrame(d.data(), d.size());
  Bytes plain;
  for (auto _ : state) benchmark::DoNotOptimize(wire::UnstuffBinaryFrame(f.data(), f.size(), &plain));
  state.SetBytesProcessed(state.iterations() * f.size());
}
BENCHMARK(BM_UnstuffBinaryFrame)->Arg(64)->Arg(4800);

// ReadCommForBinary at silence: a stuffed frame behind some noise, found,
// unstuffed and split into its data.
void BM_BinaryFrameOnSilence(benchmark::State& state) {
  Bytes d = Data(state.range(0), true);
  Bytes buf{wire::ACK, 'A', wire::SYN, wire::ACK};
  Bytes f = wire::BinaryFrame(d.data(), d.size());
  buf.insert(buf.end(), f.begin(), f.end());
  Bytes out, data;
  bool bccOk;
  for (auto _ : state) {
    wire::BinaryFrameOnSilence(buf.data(), buf.size(), &out);
    benchmark::DoNotOptimize(wire::SplitBinaryFrame(out.data(), out.size(), &data, &bccOk));
  }
  state.SetBytesProcessed(state.iterations() * buf.size());
}
BENCHMARK(BM_BinaryFrameOnSilence)->Arg(64)->Arg(4800);

// The early-exit test over bytes with no SYN STX: the whole buffer is read.
void BM_BinaryEarlyExitNoise(benchmark::State& state) {
  Bytes buf = Data(wire::kMaxFrame, false);
  for (auto& b : buf) {
    if (b == wire::SYN) b = 'A';
  }
  size_t at;
  for (auto _ : state) benchmark::DoNotOptimize(wire::BinaryEarlyExit(buf.data(), buf.size(), &at));
  state.SetBytesProcessed(state.iterations() * buf.size());
}
BENCHMARK(BM_BinaryEarlyExitNoise);

void BM_HexString(benchmark::State& state) {
  Bytes d = Data(wire::kMaxFrame, true);
  for (auto _ : state) benchmark::DoNotOptimize(wire::HexString(d));
  state.SetBytesProcessed(state.iterations() * d.size());
}
BENCHMARK(BM_HexString);

}  // namespace

BENCHMARK_MAIN();

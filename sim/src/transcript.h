// What crossed the line, one entry per event, for tests to wait on and a
// file to read afterwards (one line per entry, flushed as it is written).
#pragma once
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "sim/types.h"

namespace sim {

class TranscriptLog {
 public:
  TranscriptLog();
  ~TranscriptLog();
  TranscriptLog(const TranscriptLog&) = delete;
  TranscriptLog& operator=(const TranscriptLog&) = delete;

  // Starts the clock (entry times count from here) and opens the file ("":
  // none); false when the file cannot be created.
  bool Begin(const std::string& path);
  void End();  // closes the file

  void Add(Dir dir, const Bytes& bytes, const std::string& tag) { AddAt(NowMs(), dir, bytes, tag); }
  // With a time taken before (the segments of one write share it).
  void AddAt(uint32_t ms, Dir dir, const Bytes& bytes, const std::string& tag);
  uint32_t NowMs() const;

  std::vector<TranscriptEntry> Snapshot() const;
  void Clear();
  bool WaitFor(const std::function<bool(const std::vector<TranscriptEntry>&)>& pred,
               int timeoutMs) const;

 private:
  mutable std::mutex mu_;
  mutable std::condition_variable cv_;
  std::vector<TranscriptEntry> entries_;
  std::FILE* file_ = nullptr;
  std::chrono::steady_clock::time_point t0_;
};

}  // namespace sim

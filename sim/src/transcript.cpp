#include "transcript.h"

namespace sim {

namespace {
// Entries kept in memory; the file keeps everything. A long soak test must
// not grow without bound.
constexpr size_t kMaxEntries = 200000;
}  // namespace

TranscriptLog::TranscriptLog() : t0_(std::chrono::steady_clock::now()) {}

TranscriptLog::~TranscriptLog() { End(); }

bool TranscriptLog::Begin(const std::string& path) {
  std::lock_guard<std::mutex> lock(mu_);
  t0_ = std::chrono::steady_clock::now();
  entries_.clear();
  if (file_) std::fclose(file_);
  file_ = nullptr;
  if (path.empty()) return true;
  file_ = std::fopen(path.c_str(), "w");
  return file_ != nullptr;
}

void TranscriptLog::End() {
  std::lock_guard<std::mutex> lock(mu_);
  if (file_) std::fclose(file_);
  file_ = nullptr;
}

uint32_t TranscriptLog::NowMs() const {
  return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                   std::chrono::steady_clock::now() - t0_)
                                   .count());
}

void TranscriptLog::AddAt(uint32_t ms, Dir dir, const Bytes& bytes, const std::string& tag) {
  TranscriptEntry e;
  e.ms = ms;
  e.dir = dir;
  e.bytes = bytes;
  e.tag = tag;
  {
    std::lock_guard<std::mutex> lock(mu_);
    if (file_) {
      const std::string line = FormatEntry(e) + "\n";
      std::fputs(line.c_str(), file_);
      std::fflush(file_);
    }
    if (entries_.size() >= kMaxEntries) entries_.erase(entries_.begin(), entries_.begin() + kMaxEntries / 2);
    entries_.push_back(std::move(e));
  }
  cv_.notify_all();
}

std::vector<TranscriptEntry> TranscriptLog::Snapshot() const {
  std::lock_guard<std::mutex> lock(mu_);
  return entries_;
}

void TranscriptLog::Clear() {
  std::lock_guard<std::mutex> lock(mu_);
  entries_.clear();
}

bool TranscriptLog::WaitFor(const std::function<bool(const std::vector<TranscriptEntry>&)>& pred,
                         int timeoutMs) const {
  std::unique_lock<std::mutex> lock(mu_);
  return cv_.wait_for(lock, std::chrono::milliseconds(timeoutMs < 0 ? 0 : timeoutMs),
                      [&] { return pred(entries_); });
}

}  // namespace sim

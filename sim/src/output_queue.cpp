#include "output_queue.h"

#include <errno.h>
#include <unistd.h>

#include <algorithm>

namespace sim {

namespace {
// The most character time a paced write makes up for at once (the service
// loop's longest sleep).
constexpr uint64_t kMaxLagUs = 20000;
}  // namespace

void OutputQueue::Push(uint64_t dueUs, std::vector<Segment> segments, uint64_t gapUs) {
  if (dueUs < lastDueUs_ && !q_.empty()) dueUs = lastDueUs_;
  lastDueUs_ = dueUs;
  Entry e;
  e.dueUs = dueUs;
  e.gapUs = gapUs;
  for (const Segment& s : segments) e.bytes.insert(e.bytes.end(), s.bytes.begin(), s.bytes.end());
  e.segments = std::move(segments);
  if (e.bytes.empty()) return;
  q_.push_back(std::move(e));
}

void OutputQueue::Clear() {
  q_.clear();
  blocked_ = false;
}

uint64_t OutputQueue::StartUs(const Entry& e) const {
  if (e.sent > 0 || e.gapUs == 0) return e.dueUs;
  return std::max(e.dueUs, lastDoneUs_ + e.gapUs);
}

uint64_t OutputQueue::NextUs() const {
  if (q_.empty() || blocked_) return 0;
  uint64_t t = StartUs(q_.front());
  if (pace_.on() && pace_.NextUs() > t) t = pace_.NextUs();
  return t;
}

bool OutputQueue::Pump(int fd, uint64_t nowUs,
                       const std::function<void(const std::vector<Segment>&)>& started) {
  blocked_ = false;
  while (!q_.empty() && StartUs(q_.front()) <= nowUs) {
    Entry& e = q_.front();
    size_t want = e.bytes.size() - e.sent;
    if (pace_.on()) {
      // A byte reaches the host when its last bit has crossed the line.
      if (e.sent == 0) pace_.StartAt(StartUs(e));
      const size_t due = pace_.Due(nowUs, kMaxLagUs);
      if (due == 0) return true;
      want = std::min(want, due);
    }
    if (!e.announced) {
      started(e.segments);
      e.announced = true;
    }
    const ssize_t n = write(fd, e.bytes.data() + e.sent, want);
    if (n < 0) {
      if (errno == EINTR) continue;
      if (errno == EAGAIN || errno == EWOULDBLOCK) {
        blocked_ = true;
        return true;
      }
      return false;
    }
    e.sent += static_cast<size_t>(n);
    if (pace_.on()) pace_.Took(static_cast<size_t>(n));
    if (e.sent < e.bytes.size()) {
      if (static_cast<size_t>(n) < want) blocked_ = true;  // the pty is full
      return true;
    }
    q_.pop_front();
    lastDoneUs_ = nowUs;
  }
  return true;
}

}  // namespace sim

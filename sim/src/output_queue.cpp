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

void OutputQueue::SetPace(uint64_t usPerChar) {
  usPerChar_ = usPerChar;
  nextCharUs_ = 0;
}

uint64_t OutputQueue::StartUs(const Entry& e) const {
  if (e.sent > 0 || e.gapUs == 0) return e.dueUs;
  return std::max(e.dueUs, lastDoneUs_ + e.gapUs);
}

uint64_t OutputQueue::NextUs() const {
  if (q_.empty() || blocked_) return 0;
  uint64_t t = StartUs(q_.front());
  if (usPerChar_ && nextCharUs_ > t) t = nextCharUs_;
  return t;
}

bool OutputQueue::Pump(int fd, uint64_t nowUs,
                       const std::function<void(const std::vector<Segment>&)>& started) {
  blocked_ = false;
  while (!q_.empty() && StartUs(q_.front()) <= nowUs) {
    Entry& e = q_.front();
    size_t want = e.bytes.size() - e.sent;
    if (usPerChar_) {
      // A line that stood idle does not save up characters: a write's
      // first character goes when the write falls due. After that the
      // characters whose time passed before the loop woke go at once, up to
      // kMaxLagUs of them.
      if (e.sent == 0 && nextCharUs_ < StartUs(e)) nextCharUs_ = StartUs(e);
      if (nextCharUs_ + kMaxLagUs < nowUs) nextCharUs_ = nowUs - kMaxLagUs;
      if (nextCharUs_ > nowUs) return true;
      const uint64_t due = (nowUs - nextCharUs_) / usPerChar_ + 1;
      want = std::min<uint64_t>(want, due);
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
    if (usPerChar_) nextCharUs_ += static_cast<uint64_t>(n) * usPerChar_;
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

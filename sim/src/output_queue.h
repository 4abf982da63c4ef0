// The device's writes to the line, in order: each entry is due at a time
// and goes out as one write() (a full pty may take it in pieces). With a
// pace set, bytes leave no faster than the wire speed of that baud rate.
#pragma once
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "device_model.h"
#include "line_pace.h"

namespace sim {

class OutputQueue {
 public:
  // Entries never overtake each other: one due before the last queued entry
  // waits for it. An entry with a gap leaves no sooner than gapUs after the
  // entry before it has gone out.
  void Push(uint64_t dueUs, std::vector<Segment> segments, uint64_t gapUs = 0);
  // Writes whatever is due to fd (non-blocking). started() is called with
  // an entry's segments just before its first byte leaves, so the
  // transcript holds an answer before the host can have read it. Returns
  // false when the write failed for good (the line is gone).
  bool Pump(int fd, uint64_t nowUs, const std::function<void(const std::vector<Segment>&)>& started);
  // The next time Pump has something to do (0: nothing queued). When the pty
  // was full, Pump waits for the fd to take bytes instead: see blocked().
  uint64_t NextUs() const;
  bool blocked() const { return blocked_; }
  bool empty() const { return q_.empty(); }
  void Clear();

  // Bytes leave at this baud rate and character size; 0 baud: as fast as
  // the pty takes them.
  void SetPace(uint64_t baud, uint64_t bits) { pace_.Set(baud, bits); }

 private:
  struct Entry {
    uint64_t dueUs = 0;
    uint64_t gapUs = 0;
    std::vector<Segment> segments;
    Bytes bytes;
    size_t sent = 0;
    bool announced = false;  // started() has been called
  };
  std::deque<Entry> q_;
  uint64_t lastDueUs_ = 0;
  bool blocked_ = false;
  uint64_t lastDoneUs_ = 0;  // when the last entry went out completely
  uint64_t StartUs(const Entry& e) const;
  LinePace pace_;
};

}  // namespace sim

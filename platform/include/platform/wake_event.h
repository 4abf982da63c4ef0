// An eventfd: readable from a Signal until the next Clear. One thread waits
// on it (with poll, beside whatever else it waits for); any thread signals.
#pragma once

namespace plat {

class WakeEvent {
 public:
  WakeEvent();  // fd() is -1 when the kernel gives none
  ~WakeEvent();
  WakeEvent(const WakeEvent&) = delete;
  WakeEvent& operator=(const WakeEvent&) = delete;

  int fd() const { return fd_; }
  void Signal();
  // Takes back every Signal given so far.
  void Clear();

 private:
  int fd_;
};

}  // namespace plat

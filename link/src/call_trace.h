// The frame every port operation runs in: "Enter   " before the per-call
// lock, "CSLock  " once it is held, and on the way out "CSUnlock" before the
// lock is left and "Exit    " or "ErrExit " after it. How the call ends is
// said by returning through Ok, Done, Err, Fail or ReturnAsError.
#pragma once
#include <cstdint>
#include <mutex>

namespace vantor {

class CCommLogger;

class CallTrace {
 public:
  CallTrace(CCommLogger& log, std::mutex& lock, const char* name);
  ~CallTrace();
  CallTrace(const CallTrace&) = delete;
  CallTrace& operator=(const CallTrace&) = delete;

  // Success: "Return Value is %d" with rc, then "Exit    ".
  int16_t Ok(int16_t rc);
  // Success without the "Return Value is %d" line: "Exit    ".
  int16_t Done(int16_t rc);
  // An error that the routine which found it has logged: "ErrExit ".
  int16_t Err(int16_t rc);
  // An error found by the operation itself: its "ErrInfo " line (fmt is a
  // fixed error text taking rc), then "ErrExit ".
  int16_t Fail(int16_t rc, const char* fmt);
  // A result reported like a success ("Return Value is %d") that still ends
  // the call as an error ("ErrExit ").
  int16_t ReturnAsError(int16_t rc);

  CCommLogger& log() const { return log_; }

 private:
  CCommLogger& log_;
  std::unique_lock<std::mutex> lock_;
  const char* name_;
  bool ok_ = false;  // unless told otherwise the call ends as an error
};

}  // namespace vantor

#include "call_trace.h"

#include "comm_logger.h"
#include "log_texts.h"

namespace vantor {

CallTrace::CallTrace(CCommLogger& log, std::mutex& lock, const char* name)
    : log_(log), lock_(lock, std::defer_lock), name_(name) {
  log_.Line(CCommLogger::kInfo, kTagEnter, name_);
  lock_.lock();
  log_.Line(CCommLogger::kInfo, kTagLock, name_);
}

CallTrace::~CallTrace() {
  log_.Line(CCommLogger::kInfo, kTagUnlock, name_);
  lock_.unlock();
  log_.Line(CCommLogger::kInfo, ok_ ? kTagExit : kTagErrExit, name_);
}

int16_t CallTrace::Ok(int16_t rc) {
  if (log_.Enabled(CCommLogger::kInfo)) log_.Info(FormatCode(kTextReturnValue, rc));
  ok_ = true;
  return rc;
}

int16_t CallTrace::Done(int16_t rc) {
  ok_ = true;
  return rc;
}

int16_t CallTrace::Err(int16_t rc) {
  ok_ = false;
  return rc;
}

int16_t CallTrace::Fail(int16_t rc, const char* fmt) {
  log_.ErrorCode(fmt, rc);
  ok_ = false;
  return rc;
}

int16_t CallTrace::ReturnAsError(int16_t rc) {
  if (log_.Enabled(CCommLogger::kInfo)) log_.Info(FormatCode(kTextReturnValue, rc));
  ok_ = false;
  return rc;
}

}  // namespace vantor

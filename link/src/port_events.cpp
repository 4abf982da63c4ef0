// Event records and their dispatch. Workers and the line-event thread never
// call the caller: each event becomes a record in the mailbox of the thread
// that created the port, and DispatchCallback runs it there, from
// vantorDispatchEvents(), with no library lock held while the callback runs.
#include <cstdio>
#include <string>

#include "comm_port.h"
#include "platform/clock.h"
#include "platform/cp932.h"
#include "platform/mailbox.h"
#include "platform/string_slot.h"

namespace vantor {
namespace {

// The lines around each look at a worker's exit, in the library's code page.
const std::string& ExitTestText(bool after) {
  static const std::string before = [] {
    std::string s;
    plat::Utf8ToCp932("GetExitCodeThread\u524d", &s);
    return s;
  }();
  static const std::string still = [] {
    std::string s;
    plat::Utf8ToCp932("GetExitCodeThread\u5f8c", &s);
    return s;
  }();
  return after ? still : before;
}

std::string CallbackLine(const char* fmt, int32_t bits) {
  char text[64];
  std::snprintf(text, sizeof text, fmt, static_cast<unsigned>(bits));
  return text;
}

}  // namespace

void CCommPort::PostEvent(EventKind kind, int32_t bits, const uint8_t* data, size_t length,
                          int32_t value, uint32_t generation) {
  // The block carries one zero byte after the data, for callers that take
  // it for a C string.
  wire::Bytes bytes;
  if (data && length) bytes.assign(data, data + length);
  bytes.push_back(0);
  std::shared_ptr<std::atomic<CCommPort*>> self = self_;
  // A record for a thread that has ended is dropped, as a message posted to
  // a window that is gone.
  mailbox_->Post([self, kind, bits, bytes, value, generation] {
    if (CCommPort* port = self->load()) port->DispatchCallback(kind, bits, bytes, value, generation);
  });
}

void CCommPort::ReapWorker(uint32_t generation) {
  std::lock_guard<std::mutex> lock(callLock_);
  // A record of a worker that crwClosePort has already reaped (and perhaps a
  // newer worker started since) leaves the port alone.
  if (!workerThread_.joinable() || workerGeneration_.load() != generation) return;
  for (;;) {
    log_->Info(ExitTestText(false));
    if (workerEnded_.load()) break;
    log_->Info(ExitTestText(true));
    plat::SleepMs(1);
  }
  workerThread_.join();
  workerBusy_.store(false);
}

void CCommPort::DispatchCallback(EventKind kind, int32_t bits, const wire::Bytes& data,
                                 int32_t value, uint32_t generation) {
  if (kind != kLineEvent) ReapWorker(generation);
  const size_t size = data.size() - 1;  // without the closing zero
  const int16_t length = static_cast<int16_t>(size);
  switch (kind) {
    case kResponseEvent: {
      const CrwResponseProc callback = responseProc_.load();
      if (!callback || !(bits & workerMask_.load())) return;
      log_->Info(CallbackLine("Execute CallBack Function(Response): 0x%08x\n", bits));
      // The text belongs to the callback, which frees it with SysFreeString.
      char* text = SysAllocStringByteLen(reinterpret_cast<const char*>(data.data()),
                                         static_cast<uint32_t>(size));
      callback(port_, bits, text, length, userValue_.load());
      return;
    }
    case kBinaryEvent: {
      const CrwBinaryProc callback = binaryProc_.load();
      if (!callback || !(bits & workerMask_.load())) return;
      log_->Info(CallbackLine("Execute CallBack Function(Binary): 0x%08x\n", bits));
      callback(port_, bits, size ? data.data() : nullptr, length, userValue_.load());
      return;
    }
    case kLineEvent: {
      const CrwCommEventProc callback = lineProc_.load();
      if (!callback || !(bits & lineMask_.load())) return;
      log_->Info(CallbackLine("Execute CallBack Function(Comm): 0x%08x\n", bits));
      callback(port_, value, bits, userValue_.load());
      return;
    }
  }
}

}  // namespace vantor

// The three registrations and the two workers behind them. A worker reads
// in the background until it has one thing to report, posts it as an event
// record and ends; the port is busy (every transaction gets 140) from the
// registration until the dispatcher or crwClosePort has reaped it.
#include <limits>
#include <system_error>

#include "call_trace.h"
#include "comm_port.h"
#include "log_texts.h"

namespace vantor {
namespace {

// The port whose worker runs on this thread, if any.
thread_local const CCommPort* t_workerOf = nullptr;

// Worker event bits.
constexpr int32_t kBitA = 0x1;  // reply 'A'; a good binary frame
constexpr int32_t kBitR = 0x2;
constexpr int32_t kBitOther = 0x4;
constexpr int32_t kBitStopped = 0x8;
constexpr int32_t kBitCts = 0x200;
constexpr int32_t kBitDsr = 0x400;
constexpr int32_t kBitBcc = 0x800;

// A worker receive buffer: one reply, or one binary frame with its framing.
constexpr size_t kBinaryFrameCapacity = kReceiveCapacity + 5;
// Bad binary frames answered with SYN NAK before 0x800 is reported.
constexpr int kBinaryNaks = 3;

// The event bit of a line routine's error; 0 for any other result.
int32_t ErrorToEventBits(int16_t rc) {
  switch (rc) {
    case CRW_TIMEOUT: return 0x100;
    case CRW_CTS_TIMEOUT: return kBitCts;
    case CRW_DSR_TIMEOUT: return kBitDsr;
    case CRW_BCC_RETRY_ERROR: return kBitBcc;
    case CRW_SEND_ERROR: return 0x1000;
    case CRW_RECEIVE_ERROR: return 0x2000;
    default: return 0;
  }
}

// Marks the calling thread as the port's worker for the life of the object.
class WorkerScope {
 public:
  explicit WorkerScope(const CCommPort* port, std::atomic<bool>& ended) : ended_(ended) {
    t_workerOf = port;
  }
  ~WorkerScope() {
    t_workerOf = nullptr;
    ended_.store(true);
  }
  WorkerScope(const WorkerScope&) = delete;
  WorkerScope& operator=(const WorkerScope&) = delete;

 private:
  std::atomic<bool>& ended_;
};

}  // namespace

bool CCommPort::OnWorker() const { return t_workerOf == this; }

bool CCommPort::StopFlagSet() {
  std::lock_guard<std::mutex> lock(workerLock_);
  return workerStop_.load() != 0;
}

void CCommPort::PostStop(uint32_t generation) {
  if (quiet_.load()) return;
  PostEvent(static_cast<EventKind>(workerKind_.load()), kBitStopped, nullptr, 0, 0, generation);
}

bool CCommPort::WorkerErrorEnds(int16_t rc, uint32_t generation) {
  if (rc == kStopped || StopFlagSet()) {
    PostStop(generation);
    return true;
  }
  const int32_t bit = ErrorToEventBits(rc);
  // On a line that is gone every routine fails at once: trying again would
  // only spin. The error is posted whether selected or not, so that the
  // dispatcher reaps the worker; an unselected bit reaches no callback.
  if ((bit & workerMask_.load()) || line_->hungUp()) {
    PostEvent(static_cast<EventKind>(workerKind_.load()), bit, nullptr, 0, 0, generation);
    return true;
  }
  return false;
}

// ---- registrations ----

int16_t CCommPort::RegistrationRefusal(CallTrace& t, EventKind kind, bool hasCallback) {
  if (!workerBusy_.load()) return hasCallback ? -1 : t.Ok(CRW_OK);
  if (workerKind_.load() != kind) return t.Fail(CRW_PORT_BUSY, kErrPortBusy);
  if (hasCallback) return t.Fail(CRW_NAK, kErrAlreadyRegistered);
  // The worker ends at its next look at the flag and posts its stop event;
  // the port stays busy until that event has been dispatched.
  {
    std::lock_guard<std::mutex> lock(workerLock_);
    workerStop_.store(1);
  }
  return t.Ok(CRW_OK);
}

int16_t CCommPort::StartWorker(CallTrace& t, EventKind kind) {
  {
    std::lock_guard<std::mutex> lock(workerLock_);
    workerStop_.store(0);
  }
  workerEnded_.store(false);
  workerKind_.store(kind);
  const uint32_t generation = workerGeneration_.fetch_add(1) + 1;
  try {
    workerThread_ = std::thread(kind == kResponseEvent ? &CCommPort::ResponseThreadProc
                                                       : &CCommPort::BinaryThreadProc,
                                this, generation);
  } catch (const std::system_error&) {
    return t.Fail(CRW_NAK, kErrNoThread);
  }
  workerBusy_.store(true);
  return t.Ok(CRW_OK);
}

int16_t CCommPort::SetResponseEventProc(int16_t waitWhileBusy, int32_t timeoutMs,
                                        CrwResponseProc callback, int32_t userValue,
                                        int32_t eventMask) {
  CallTrace t(*log_, callLock_, "crwSetResponseEventProc");
  TransactionMark mark(inTransaction_);
  if (int16_t rc = CheckReady(t, false)) return rc;
  if (timeoutMs < 0) return t.Fail(CRW_PARAMETER_ERROR, kErrParameter);
  const int16_t refused = RegistrationRefusal(t, kResponseEvent, callback != nullptr);
  if (refused >= 0) return refused;
  workerTimeoutMs_.store(timeoutMs);
  workerDsrCheck_.store((eventMask & kBitDsr) != 0);
  workerWaitWhileBusy_.store(waitWhileBusy);
  responseProc_.store(callback);
  userValue_.store(userValue);
  workerMask_.store(eventMask);
  return StartWorker(t, kResponseEvent);
}

int16_t CCommPort::SetReceiveBinaryEventProc(int32_t timeoutMs, CrwBinaryProc callback,
                                             int32_t userValue, int32_t eventMask) {
  CallTrace t(*log_, callLock_, "crwSetReceiveBinaryEventProc");
  TransactionMark mark(inTransaction_);
  if (int16_t rc = CheckReady(t, false)) return rc;
  if (timeoutMs < 0) return t.Fail(CRW_PARAMETER_ERROR, kErrParameter);
  const int16_t refused = RegistrationRefusal(t, kBinaryEvent, callback != nullptr);
  if (refused >= 0) return refused;
  workerTimeoutMs_.store(timeoutMs);
  workerDsrCheck_.store((eventMask & kBitDsr) != 0);
  workerCtsCheck_.store((eventMask & kBitCts) != 0);
  binaryProc_.store(callback);
  userValue_.store(userValue);
  workerMask_.store(eventMask);
  return StartWorker(t, kBinaryEvent);
}

int16_t CCommPort::SetCommEventProc(CrwCommEventProc callback, int32_t userValue, int32_t eventMask) {
  CallTrace t(*log_, callLock_, "crwSetCommEventProc");
  TransactionMark mark(inTransaction_);
  if (int16_t rc = CheckReady(t, false)) return rc;
  if (!callback) {
    lineProc_.store(nullptr);  // mask and user value stay
    return t.Ok(CRW_OK);
  }
  if (lineProc_.load()) return t.Fail(CRW_NAK, kErrAlreadyRegistered);
  lineMask_.store(eventMask);
  userValue_.store(userValue);
  lineProc_.store(callback);
  return t.Ok(CRW_OK);
}

// ---- the workers ----
//
// A worker time-out of 0 is an endless wait: the read is given no limit and
// ends only with data, an error or the stop flag, which every read of a
// worker looks at once a millisecond.

namespace {
int32_t ReadLimit(int32_t workerTimeoutMs) {
  return workerTimeoutMs == 0 ? std::numeric_limits<int32_t>::max() : workerTimeoutMs;
}
}  // namespace

void CCommPort::ResponseThreadProc(uint32_t generation) {
  WorkerScope scope(this, workerEnded_);
  const int32_t timeoutMs = workerTimeoutMs_.load();
  const int32_t readLimit = ReadLimit(timeoutMs);
  const bool dsrCheck = workerDsrCheck_.load();
  const bool waitWhileBusy = workerWaitWhileBusy_.load() != 0;
  const int32_t mask = workerMask_.load();
  const wire::Bytes poll = wire::PollFrame();
  for (;;) {
    // 1: the poll. An unselected error still goes on to the read.
    if (int16_t rc = WriteComm(poll.data(), poll.size(), timeoutMs, dsrCheck)) {
      const int32_t bit = ErrorToEventBits(rc);
      if ((bit & mask) || line_->hungUp()) {
        PostEvent(kResponseEvent, bit, nullptr, 0, 0, generation);
        return;
      }
    }
    // 2: one reply; after an unselected error read again, without polling.
    wire::Bytes reply;
    for (;;) {
      const int16_t rc = ReadComm(ReadMode::Frame, readLimit, dsrCheck, &reply);
      if (rc == CRW_OK) break;
      if (WorkerErrorEnds(rc, generation)) return;
    }
    // 3: a wrong BCC asks again. A reply that stays wrong is never reported
    // as good: unless 0x800 is selected it counts as an unreported error.
    if (!wire::FrameBccOk(reply.data(), reply.size())) {
      if (int16_t rc = NakAndReread(readLimit, dsrCheck, &reply)) {
        if (WorkerErrorEnds(rc, generation)) return;
        continue;
      }
    }
    // 4: the kind decides.
    const uint8_t kind = reply.size() > 1 ? reply[1] : 0;
    int32_t bit = 0;
    if (kind == 'R' && (mask & kBitR)) {
      bit = kBitR;
    } else if (kind == 'A' && (mask & kBitA)) {
      bit = kBitA;
    } else if (!waitWhileBusy && (mask & kBitOther)) {
      bit = kBitOther;
    }
    if (bit) {
      // 5: kind, code, status and data: the bytes between STX and ETX.
      const size_t n = reply.size() >= 3 ? reply.size() - 3 : 0;
      PostEvent(kResponseEvent, bit, reply.data() + 1, n, 0, generation);
      return;
    }
    if (StopFlagSet()) {
      PostStop(generation);
      return;
    }
  }
}

void CCommPort::BinaryThreadProc(uint32_t generation) {
  WorkerScope scope(this, workerEnded_);
  const int32_t timeoutMs = workerTimeoutMs_.load();
  const int32_t readLimit = ReadLimit(timeoutMs);
  const bool dsrCheck = workerDsrCheck_.load();
  const bool ctsCheck = workerCtsCheck_.load();
  const int32_t mask = workerMask_.load();
  static const wire::Bytes kSynAck{wire::SYN, wire::ACK};
  static const wire::Bytes kSynNak{wire::SYN, wire::NAK};
  int naks = 0;
  for (;;) {
    wire::Bytes frame;
    if (int16_t rc = ReadCommForBinary(kBinaryFrameCapacity, readLimit, dsrCheck, &frame)) {
      if (WorkerErrorEnds(rc, generation)) return;
      continue;
    }
    wire::Bytes data;
    bool bccOk = false;
    if (wire::SplitBinaryFrame(frame.data(), frame.size(), &data, &bccOk) && bccOk) {
      const int16_t rc =
          WriteCommForBinary(kSynAck.data(), kSynAck.size(), timeoutMs, dsrCheck, ctsCheck);
      const int32_t bit = ErrorToEventBits(rc);
      if (rc && (bit & mask)) {
        PostEvent(kBinaryEvent, bit, nullptr, 0, 0, generation);
      } else {
        PostEvent(kBinaryEvent, kBitA, data.data(), data.size(), 0, generation);
      }
      return;
    }
    if (naks >= kBinaryNaks && (mask & kBitBcc)) {
      PostEvent(kBinaryEvent, kBitBcc, nullptr, 0, 0, generation);
      return;
    }
    const int16_t rc = WriteCommForBinary(kSynNak.data(), kSynNak.size(), timeoutMs, dsrCheck, ctsCheck);
    if (rc && ((ErrorToEventBits(rc) & mask) || line_->hungUp())) {
      PostEvent(kBinaryEvent, ErrorToEventBits(rc), nullptr, 0, 0, generation);
      return;
    }
    ++naks;
    if (StopFlagSet()) {
      PostStop(generation);
      return;
    }
  }
}

}  // namespace vantor

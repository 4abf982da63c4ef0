// The line routines every text transaction is built from. Reads take one byte
// at a time, so the bytes after an answer stay queued for the next read, and
// a frame is recognised one quiet millisecond after its last byte. A read
// waits 1 ms only where that millisecond decides something (right after a
// byte, or while DSR is watched); otherwise it sleeps until the next byte or
// the time-out, so a caller waiting for a slow device costs next to no CPU.
// A line that hangs up ends a routine at once. On a worker thread every read
// waits one millisecond at a time and ends when the worker is asked to stop.
#include <string>

#include "comm_port.h"
#include "line_timing.h"
#include "log_texts.h"

namespace vantor {
namespace {

constexpr char kStartWrite[] = "Start WriteComm Method";
constexpr char kEndWrite[] = "End WriteComm Method";
constexpr char kStartRead[] = "Start ReadComm Method";
constexpr char kEndRead[] = "End ReadComm Method";
constexpr char kStartReadHF[] = "Start ReadCommHF Method";
constexpr char kEndReadHF[] = "End ReadCommHF Method";
constexpr char kErrorDump[] = "[Error]Dump Receive Data";

bool IsAckOrNak(uint8_t b) { return b == wire::ACK || b == wire::NAK; }

}  // namespace

bool CCommPort::DsrOn() const {
  uint32_t bits = 0;
  return line_ && line_->GetModemStatus(&bits) && (bits & plat::kModemDsr) != 0;
}

bool CCommPort::CtsOn() const {
  uint32_t bits = 0;
  return line_ && line_->GetModemStatus(&bits) && (bits & plat::kModemCts) != 0;
}

CCommPort::LineWait CCommPort::WaitModemLine(uint32_t bit, int32_t limitMs) const {
  const uint32_t start = plat::TickMs();
  for (;;) {
    uint32_t bits = 0;
    const bool read = line_->GetModemStatus(&bits);
    if (line_->hungUp()) return LineWait::HungUp;
    if (read && (bits & bit)) return LineWait::On;
    // A worker asked to stop gives up at once; it looks at its flag next.
    if (TimedOut(start, limitMs) || StopRequested()) return LineWait::TimedOut;
    plat::SleepMs(1);
  }
}

void CCommPort::DumpReceiveError(const wire::Bytes& rx) {
  if (!log_->Enabled(CCommLogger::kInfo)) return;
  log_->Info(kErrorDump);
  log_->Dump(CCommLogger::kInfo, rx.data(), rx.size());
}

int16_t CCommPort::WriteComm(const uint8_t* bytes, size_t count, int32_t timeoutMs, bool dsrCheck) {
  auto fail = [this](int16_t rc, const char* text) {
    log_->ErrorCode(text, rc);
    return rc;
  };
  log_->Info(kStartWrite);
  line_->PurgeOutput();
  const uint32_t start = plat::TickMs();
  size_t done = 0;
  bool wroteNothing = true;
  while (done < count) {
    if (wroteNothing) {
      // A line that is gone has no DSR or CTS to wait for.
      LineWait w = line_->hungUp() ? LineWait::HungUp : LineWait::On;
      if (w == LineWait::On && dsrCheck) {
        w = WaitModemLine(plat::kModemDsr, timeoutMs);
        if (w == LineWait::TimedOut) return fail(CRW_DSR_TIMEOUT, kErrDsrTimeout);
      }
      if (w == LineWait::On) {
        w = WaitModemLine(plat::kModemCts, timeoutMs);
        if (w == LineWait::TimedOut) return fail(CRW_CTS_TIMEOUT, kErrCtsTimeout);
      }
      if (w == LineWait::HungUp) return fail(CRW_SEND_ERROR, kErrSend3);
      if (timeoutMs != 0 && TimedOut(start, timeoutMs)) return fail(CRW_SEND_ERROR, kErrSend1);
    }
    if (delayMs_ > 0) plat::SleepMs(static_cast<uint32_t>(delayMs_));
    size_t written = 0;
    const plat::WriteStatus st = line_->Write(bytes + done, count - done, &written);
    if (st == plat::WriteStatus::Error) return fail(CRW_SEND_ERROR, kErrSend3);
    if (st == plat::WriteStatus::HangUp) return fail(CRW_SEND_ERROR, kErrSend2);
    // A write cut short by the write time-out goes on with the rest.
    done += written;
    wroteNothing = written == 0;
  }
  log_->Dump(CCommLogger::kInfo, bytes, count);
  log_->Info(kEndWrite);
  // Counted once the write's lines are out: the line-event thread reports
  // the empty output queue (TXEMPTY) after them.
  if (count) CountWrite();
  return CRW_OK;
}

int16_t CCommPort::ReadComm(ReadMode mode, int32_t timeoutMs, bool dsrCheck, wire::Bytes* out) {
  auto fail = [this](int16_t rc, const char* text, const wire::Bytes& rx) {
    DumpReceiveError(rx);
    log_->ErrorCode(text, rc);
    return rc;
  };
  log_->Info(kStartRead);
  out->clear();
  wire::Bytes rx;
  size_t from = 0, len = 0;  // what is delivered out of rx
  uint32_t clock = plat::TickMs();
  // The bytes in hand have been looked at in a quiet millisecond: nothing
  // changes until the next byte comes.
  bool settled = true;
  for (;;) {
    const bool quietCounts =
        timeoutMs < 0 || dsrCheck || OnWorker() || (mode == ReadMode::Frame && !settled);
    uint8_t b = 0;
    const plat::ReadStatus st =
        line_->ReadByte(&b, quietCounts ? kQuietMs : WaitUntilTimeout(clock, timeoutMs));
    if (st == plat::ReadStatus::HangUp || st == plat::ReadStatus::Error) {
      if (dsrCheck && !DsrOn()) return fail(CRW_DSR_TIMEOUT, kErrDsrLost, rx);
      return fail(CRW_RECEIVE_ERROR, kErrReceive, rx);
    }
    bool full = false;
    if (st == plat::ReadStatus::Byte) {
      settled = false;
      rx.push_back(b);
      if (mode == ReadMode::Frame || !IsAckOrNak(b)) {
        // Every byte extends the time-out.
        clock = plat::TickMs();
        if (rx.size() < kReceiveCapacity) continue;
        full = true;  // decide with what the buffer holds
      }
    } else if (dsrCheck && !DsrOn()) {
      return fail(CRW_DSR_TIMEOUT, kErrDsrLost, rx);
    } else if (StopRequested()) {
      return kStopped;
    }

    if (timeoutMs < 0) {
      len = rx.size();
      break;
    }
    if (mode == ReadMode::Ack && !rx.empty() && IsAckOrNak(rx.back())) {
      from = rx.size() - 1;
      len = 1;
      break;
    }
    if (mode == ReadMode::Frame && wire::FindLastFrame(rx.data(), rx.size(), &from, &len)) break;
    settled = true;
    // A babbling line, or an answer longer than any the device sends: the
    // rest stays queued.
    if (full) return fail(CRW_BUFFER_OVER, kErrBufferOver, rx);
    if (TimedOut(clock, timeoutMs)) return fail(CRW_TIMEOUT, kErrTimeoutLine, rx);
  }
  // The dump shows every byte received, also those around the answer.
  log_->Dump(CCommLogger::kInfo, rx.data(), rx.size());
  log_->Info(kEndRead);
  out->assign(rx.begin() + static_cast<std::ptrdiff_t>(from),
              rx.begin() + static_cast<std::ptrdiff_t>(from + len));
  return CRW_OK;
}

int16_t CCommPort::ReadCommHF(size_t limit, int32_t timeoutMs, bool dsrCheck, wire::Bytes* out) {
  log_->Info(kStartReadHF);
  out->clear();
  wire::HFCollector frame(limit);
  auto fail = [&](int16_t rc, const char* text) {
    DumpReceiveError(frame.bytes());
    log_->ErrorCode(text, rc);
    return rc;
  };
  uint32_t clock = plat::TickMs();
  for (;;) {
    while (!frame.full()) {
      // The frame ends at its BCC byte, so no quiet millisecond counts here.
      const int wait = (dsrCheck || timeoutMs < 0) ? kQuietMs : WaitUntilTimeout(clock, timeoutMs);
      uint8_t b = 0;
      const plat::ReadStatus st = line_->ReadByte(&b, wait);
      if (st == plat::ReadStatus::HangUp || st == plat::ReadStatus::Error) {
        if (dsrCheck && !DsrOn()) return fail(CRW_DSR_TIMEOUT, kErrDsrLost);
        return fail(CRW_RECEIVE_ERROR, kErrReceive);
      }
      if (st == plat::ReadStatus::None) {
        if (dsrCheck && !DsrOn()) return fail(CRW_DSR_TIMEOUT, kErrDsrLost);
        break;
      }
      clock = plat::TickMs();
      if (frame.Feed(b)) break;  // its BCC has come
    }
    if (frame.Complete()) {
      *out = frame.bytes();
      log_->Dump(CCommLogger::kInfo, out->data(), out->size());
      log_->Info(kEndReadHF);
      return CRW_OK;
    }
    // A frame longer than the limit can never complete: it times out, and
    // what follows it stays queued.
    if (timeoutMs < 0 ? frame.full() : TimedOut(clock, timeoutMs))
      return fail(CRW_TIMEOUT, kErrTimeoutLine);
    if (frame.full()) plat::SleepMs(static_cast<uint32_t>(WaitUntilTimeout(clock, timeoutMs)));
  }
}

int16_t CCommPort::NakAndReread(int32_t timeoutMs, bool dsrCheck, wire::Bytes* frame) {
  static const uint8_t kNak = wire::NAK;
  for (int round = 0; round < 3; ++round) {
    if (int16_t rc = WriteComm(&kNak, 1, timeoutMs, dsrCheck)) return rc;
    if (int16_t rc = ReadComm(ReadMode::Frame, timeoutMs, dsrCheck, frame)) return rc;
    if (wire::FrameBccOk(frame->data(), frame->size())) return CRW_OK;
  }
  log_->ErrorCode(kErrBccRetry, CRW_BCC_RETRY_ERROR);
  return CRW_BCC_RETRY_ERROR;
}

int16_t CCommPort::ReadCheckedFrame(int32_t timeoutMs, bool dsrCheck, wire::Bytes* frame) {
  if (int16_t rc = ReadComm(ReadMode::Frame, timeoutMs, dsrCheck, frame)) return rc;
  if (wire::FrameBccOk(frame->data(), frame->size())) return CRW_OK;
  return NakAndReread(timeoutMs, dsrCheck, frame);
}

}  // namespace vantor

// The line routines of the binary transfers: SYN frames and control pairs
// written and read with their stuffing, and raw bytes. Like the text
// routines they read one byte at a time, so what follows an answer stays
// queued for the next read.
#include <string>

#include "comm_port.h"
#include "line_timing.h"
#include "log_texts.h"

namespace vantor {
namespace {

constexpr char kStartWrite[] = "Start WriteCommForBinary Method";
constexpr char kEndWrite[] = "End WriteCommForBinary Method";
constexpr char kSent[] = "Send Data(Including Control Code in Data)";
constexpr char kStartRead[] = "Start ReadCommForBinary Method";
constexpr char kEndRead[] = "End ReadCommForBinary Method";
constexpr char kStartRawRead[] = "Start ReadCommForUnformattedBinary Method";
constexpr char kEndRawRead[] = "End ReadCommForUnformattedBinary Method";
constexpr char kReceivedAll[] = "Dump Receive Data(Including Control Code in Data)";
constexpr char kReceived[] = "Receive Data";
constexpr char kReceivedOver[] = "Receive Data(Buffer Over Error)";
constexpr char kErrorDumpAll[] = "[Error]Dump Receive Data(Including Control Code in Data)";
constexpr char kErrorDump[] = "[Error]Dump Receive Data";

// A failed read logs what it had received, then its error.
int16_t FailWithDump(CCommLogger& log, int16_t rc, const char* text, const char* dumpTitle,
                     const wire::Bytes& rx) {
  if (log.Enabled(CCommLogger::kInfo)) {
    log.Info(dumpTitle);
    log.Dump(CCommLogger::kInfo, rx.data(), rx.size());
  }
  log.ErrorCode(text, rc);
  return rc;
}

// The capacity that reads an answer pair rather than a frame.
constexpr size_t kPairCapacity = 2;

}  // namespace

int16_t CCommPort::WriteCommForBinary(const uint8_t* bytes, size_t count, int32_t timeoutMs,
                                      bool dsrCheck, bool ctsCheck) {
  size_t done = 0;
  auto fail = [&](int16_t rc, const char* text, bool dump) {
    if (dump && log_->Enabled(CCommLogger::kInfo)) {
      log_->Info(kErrorDumpAll);
      log_->Dump(CCommLogger::kInfo, bytes, done);
    }
    log_->ErrorCode(text, rc);
    return rc;
  };
  log_->Info(kStartWrite);
  line_->PurgeOutput();
  const uint32_t start = plat::TickMs();
  bool wroteNothing = true;
  while (done < count) {
    if (wroteNothing) {
      // A line that is gone has no DSR or CTS to wait for.
      LineWait w = line_->hungUp() ? LineWait::HungUp : LineWait::On;
      if (w == LineWait::On && dsrCheck) {
        w = WaitModemLine(plat::kModemDsr, timeoutMs);
        if (w == LineWait::TimedOut) return fail(CRW_DSR_TIMEOUT, kErrDsrTimeout, false);
      }
      if (w == LineWait::On && ctsCheck) {
        w = WaitModemLine(plat::kModemCts, timeoutMs);
        if (w == LineWait::TimedOut) return fail(CRW_CTS_TIMEOUT, kErrCtsTimeout, false);
      }
      if (w == LineWait::HungUp) return fail(CRW_SEND_ERROR, kErrSend3, true);
      // As in WriteComm, a time-out of 0 sets no overall limit: a clock that
      // ticks between two calls must not fail a write that could go.
      if (timeoutMs != 0 && TimedOut(start, timeoutMs))
        return fail(CRW_SEND_ERROR, kErrSend1, false);
    }
    if (delayMs_ > 0) plat::SleepMs(static_cast<uint32_t>(delayMs_));
    size_t written = 0;
    const plat::WriteStatus st = line_->Write(bytes + done, count - done, &written);
    done += written;
    if (st == plat::WriteStatus::Error) return fail(CRW_SEND_ERROR, kErrSend3, true);
    if (st == plat::WriteStatus::HangUp) return fail(CRW_SEND_ERROR, kErrSend2, true);
    // A write cut short by the write time-out goes on with the rest.
    wroteNothing = written == 0;
  }
  if (log_->Enabled(CCommLogger::kInfo)) {
    log_->Info(kSent);
    log_->Dump(CCommLogger::kInfo, bytes, count);
    log_->Info(kEndWrite);
  }
  // Counted once the write's lines are out: the line-event thread reports
  // the empty output queue (TXEMPTY) after them.
  if (count) CountWrite();
  return CRW_OK;
}

int16_t CCommPort::ReadCommForBinary(size_t capacity, int32_t timeoutMs, bool dsrCheck,
                                     wire::Bytes* out) {
  wire::Bytes rx;
  auto fail = [&](int16_t rc, const char* text, const char* dumpTitle) {
    return FailWithDump(*log_, rc, text, dumpTitle, rx);
  };
  log_->Info(kStartRead);
  out->clear();
  const bool pairMode = capacity == kPairCapacity;
  // A device that never falls silent: decide with what is in hand once a
  // frame of the full capacity, doubled throughout, would have come.
  const size_t limit = 2 * capacity + kReceiveCapacity;
  wire::Bytes got;
  uint32_t clock = plat::TickMs();
  bool settled = true;  // the bytes in hand have been looked at in a quiet millisecond
  for (;;) {
    const bool quietCounts = dsrCheck || OnWorker() || (!pairMode && !settled);
    uint8_t b = 0;
    const plat::ReadStatus st =
        line_->ReadByte(&b, quietCounts ? kQuietMs : WaitUntilTimeout(clock, timeoutMs));
    if (st == plat::ReadStatus::HangUp || st == plat::ReadStatus::Error) {
      if (dsrCheck && !DsrOn()) return fail(CRW_DSR_TIMEOUT, kErrDsrLost, kErrorDump);
      return fail(CRW_RECEIVE_ERROR, kErrReceive, kErrorDump);
    }
    if (st == plat::ReadStatus::Byte) {
      rx.push_back(b);
      clock = plat::TickMs();
      settled = false;
      size_t pair = 0;
      if (pairMode && wire::BinaryPairReady(rx.data(), rx.size())) {
        got.assign(rx.end() - 2, rx.end());
        break;
      }
      if (!pairMode && wire::BinaryEarlyExit(rx.data(), rx.size(), &pair)) {
        got.assign(rx.begin() + static_cast<std::ptrdiff_t>(pair),
                   rx.begin() + static_cast<std::ptrdiff_t>(pair + 2));
        break;
      }
      if (rx.size() < limit) continue;
      if (pairMode || !wire::BinaryFrameOnSilence(rx.data(), rx.size(), &got)) got = rx;
      break;
    }
    if (dsrCheck && !DsrOn()) return fail(CRW_DSR_TIMEOUT, kErrDsrLost, kErrorDumpAll);
    if (StopRequested()) return kStopped;
    if (!pairMode && !settled) {
      if (wire::BinaryFrameOnSilence(rx.data(), rx.size(), &got)) break;
      settled = true;
    }
    if (TimedOut(clock, timeoutMs)) return fail(CRW_TIMEOUT, kErrTimeoutLine, kErrorDumpAll);
  }
  const bool over = got.size() > capacity;
  if (over) got.resize(capacity);
  if (log_->Enabled(CCommLogger::kInfo)) {
    log_->Info(kReceivedAll);
    log_->Dump(CCommLogger::kInfo, rx.data(), rx.size());
    log_->Info(over ? kReceivedOver : kReceived);
    log_->Dump(CCommLogger::kInfo, got.data(), got.size());
    log_->Info(kEndRead);
  }
  *out = std::move(got);
  return CRW_OK;
}

int16_t CCommPort::ReadCommForUnformattedBinary(size_t capacity, int32_t timeoutMs, bool dsrCheck,
                                                wire::Bytes* out) {
  wire::Bytes rx;
  auto fail = [&](int16_t rc, const char* text, const char* dumpTitle) {
    return FailWithDump(*log_, rc, text, dumpTitle, rx);
  };
  log_->Info(kStartRawRead);
  out->clear();
  const uint32_t start = plat::TickMs();
  while (rx.size() < capacity) {
    // Once a byte is in, the first quiet millisecond ends the read.
    const bool quietCounts = !rx.empty() || dsrCheck || OnWorker();
    uint8_t b = 0;
    const plat::ReadStatus st =
        line_->ReadByte(&b, quietCounts ? kQuietMs : WaitUntilTimeout(start, timeoutMs));
    if (st == plat::ReadStatus::HangUp || st == plat::ReadStatus::Error) {
      if (dsrCheck && !DsrOn()) return fail(CRW_DSR_TIMEOUT, kErrDsrLost, kErrorDump);
      return fail(CRW_RECEIVE_ERROR, kErrReceive, kErrorDump);
    }
    if (st == plat::ReadStatus::Byte) {
      rx.push_back(b);
      continue;
    }
    if (dsrCheck && !DsrOn()) return fail(CRW_DSR_TIMEOUT, kErrDsrLost, kErrorDumpAll);
    if (!rx.empty()) break;
    if (StopRequested()) return kStopped;
    if (TimedOut(start, timeoutMs)) return fail(CRW_TIMEOUT, kErrTimeoutLine, kErrorDumpAll);
  }
  if (log_->Enabled(CCommLogger::kInfo)) {
    log_->Info(kReceived);
    log_->Dump(CCommLogger::kInfo, rx.data(), rx.size());
    log_->Info(kEndRawRead);
  }
  *out = std::move(rx);
  return CRW_OK;
}

}  // namespace vantor

// The binary-frame transactions: SYN frames answered with SYN ACK or SYN
// NAK, binary reports from the device, and the two raw transfers. Each runs
// in the common frame (log, lock, refusals, argument checks and, for the
// three framed ones, the in-transaction flag).
#include <cstring>

#include "call_trace.h"
#include "comm_port.h"
#include "log_texts.h"

namespace vantor {
namespace {

// Frame bytes around a report's data: SYN STX before it, SYN ETX BCC after.
constexpr size_t kFrameOverhead = 5;

const wire::Bytes kSynAck{wire::SYN, wire::ACK};
const wire::Bytes kSynNak{wire::SYN, wire::NAK};

// A length and the buffer it belongs to: a negative length, or a null buffer
// with a length, is a parameter error. A null buffer with length 0 is fine.
bool BadBuffer(const void* p, int16_t len) { return len < 0 || (!p && len != 0); }

const uint8_t* BytesOf(const void* p) { return static_cast<const uint8_t*>(p); }

void SetLength(int16_t* length, size_t n) {
  if (length) *length = static_cast<int16_t>(n);
}

}  // namespace

int16_t CCommPort::SendBinaryWithRetries(const wire::Bytes& frame, int16_t retries,
                                         int32_t writeTimeoutMs, int32_t readTimeoutMs,
                                         bool dsrCheck, bool ctsCheck, bool garbledAsksAgain) {
  enum class Outcome { Nak, Timeout, Garbled } outcome = Outcome::Timeout;
  const wire::Bytes* next = &frame;
  // Once the tries are used up a garbled answer earns one more asking, and
  // no more: a device that only babbles must not hold the call for ever.
  bool askedAgain = false;
  for (int attempt = 0;; ++attempt) {
    if (int16_t rc = WriteCommForBinary(next->data(), next->size(), writeTimeoutMs, dsrCheck, ctsCheck))
      return rc;
    wire::Bytes answer;
    const int16_t rc = ReadCommForBinary(2, readTimeoutMs, dsrCheck, &answer);
    if (rc != CRW_OK && rc != CRW_TIMEOUT) return rc;
    if (rc == CRW_TIMEOUT) {
      outcome = Outcome::Timeout;  // the same bytes go again
    } else if (answer == kSynAck) {
      return CRW_OK;
    } else if (answer == kSynNak) {
      outcome = Outcome::Nak;
      next = &frame;
    } else {
      outcome = Outcome::Garbled;
      next = garbledAsksAgain ? &kSynNak : &frame;
    }
    if (attempt < retries) continue;
    if (outcome == Outcome::Timeout) {
      log_->ErrorCode(kErrTimeoutRetry, CRW_TIMEOUT);
      return CRW_TIMEOUT;
    }
    if (outcome == Outcome::Nak || askedAgain) {
      log_->ErrorCode(kErrNak, CRW_NAK);
      return CRW_NAK;
    }
    askedAgain = true;
  }
}

int16_t CCommPort::ReceiveReport(int32_t writeTimeoutMs, int32_t readTimeoutMs, int16_t retries,
                                 bool dsrCheck, bool ctsCheck, bool badLimitExceeds,
                                 uint8_t* buffer, size_t bufferSize, int16_t* received) {
  const size_t capacity = bufferSize + kFrameOverhead;
  int badFrames = 0;
  for (;;) {
    wire::Bytes frame;
    if (int16_t rc = ReadCommForBinary(capacity, readTimeoutMs, dsrCheck, &frame)) return rc;
    wire::Bytes data;
    bool bccOk = false;
    const bool wellFormed = wire::SplitBinaryFrame(frame.data(), frame.size(), &data, &bccOk);
    if (wellFormed && !bccOk) ++badFrames;
    // A frame that fills the whole capacity holds at least bufferSize data
    // bytes: too long, also at exactly bufferSize. It gets no answer.
    if (frame.size() == capacity && frame[0] == wire::SYN && frame[1] == wire::STX) {
      if (bufferSize) std::memcpy(buffer, frame.data() + 2, bufferSize);
      SetLength(received, bufferSize);
      log_->ErrorCode(kErrBufferOver, CRW_BUFFER_OVER);
      return CRW_BUFFER_OVER;
    }
    if (wellFormed && bccOk) {
      if (int16_t rc = WriteCommForBinary(kSynAck.data(), kSynAck.size(), writeTimeoutMs, dsrCheck,
                                          ctsCheck))
        return rc;
      if (!data.empty()) std::memcpy(buffer, data.data(), data.size());
      SetLength(received, data.size());
      return CRW_OK;
    }
    // Only frames with a bad BCC count against the limit; a malformed one
    // is answered all the same.
    if (wellFormed) {
      const bool limit = badLimitExceeds ? badFrames > retries : badFrames == retries;
      if (limit) {
        log_->ErrorCode(kErrBccRetry, CRW_BCC_RETRY_ERROR);
        return CRW_BCC_RETRY_ERROR;
      }
    }
    if (int16_t rc = WriteCommForBinary(kSynNak.data(), kSynNak.size(), writeTimeoutMs, dsrCheck,
                                        ctsCheck))
      return rc;
  }
}

int16_t CCommPort::SendBinaryCommandRR(int32_t sendTimeoutMs, int16_t retries, int16_t dsrCheck,
                                       int16_t ctsCheck, const void* data, int16_t len,
                                       int32_t receiveTimeoutMs, void* report, int16_t reportSize,
                                       int16_t* reportLength) {
  CallTrace t(*log_, callLock_, "crwSendBinaryCommandRR");
  if (int16_t rc = CheckReady(t, true)) return rc;
  if (sendTimeoutMs < 0 || retries < 0 || BadBuffer(data, len) || receiveTimeoutMs < 0 ||
      BadBuffer(report, reportSize))
    return t.Fail(CRW_PARAMETER_ERROR, kErrParameter);
  SetLength(reportLength, 0);
  TransactionMark mark(inTransaction_);
  const wire::Bytes frame = wire::BinaryFrame(BytesOf(data), static_cast<size_t>(len));
  if (int16_t rc = SendBinaryWithRetries(frame, retries, sendTimeoutMs, receiveTimeoutMs,
                                         dsrCheck != 0, ctsCheck != 0, false))
    return t.Err(rc);
  if (int16_t rc = ReceiveReport(sendTimeoutMs, receiveTimeoutMs, retries, dsrCheck != 0,
                                 ctsCheck != 0, true, static_cast<uint8_t*>(report),
                                 static_cast<size_t>(reportSize), reportLength))
    return t.Err(rc);
  return t.Ok(CRW_OK);
}

int16_t CCommPort::SendBinaryData(int32_t timeoutMs, int16_t retries, int16_t dsrCheck,
                                  int16_t ctsCheck, const void* data, int16_t len) {
  CallTrace t(*log_, callLock_, "crwSendBinaryData");
  if (int16_t rc = CheckReady(t, true)) return rc;
  if (retries < 0 || timeoutMs < 0 || BadBuffer(data, len))
    return t.Fail(CRW_PARAMETER_ERROR, kErrParameter);
  TransactionMark mark(inTransaction_);
  const wire::Bytes frame = wire::BinaryFrame(BytesOf(data), static_cast<size_t>(len));
  if (int16_t rc = SendBinaryWithRetries(frame, retries, timeoutMs, timeoutMs, dsrCheck != 0,
                                         ctsCheck != 0, true))
    return t.Err(rc);
  return t.Ok(CRW_OK);
}

int16_t CCommPort::ReceiveBinaryReport(int32_t timeoutMs, int16_t retries, int16_t dsrCheck,
                                       int16_t ctsCheck, void* buffer, int16_t bufferSize,
                                       int16_t* received) {
  CallTrace t(*log_, callLock_, "crwReceiveBinaryReport");
  if (int16_t rc = CheckReady(t, true)) return rc;
  if (retries < 0 || timeoutMs < 0 || BadBuffer(buffer, bufferSize))
    return t.Fail(CRW_PARAMETER_ERROR, kErrParameter);
  SetLength(received, 0);
  TransactionMark mark(inTransaction_);
  if (int16_t rc = ReceiveReport(timeoutMs, timeoutMs, retries, dsrCheck != 0, ctsCheck != 0, false,
                                 static_cast<uint8_t*>(buffer), static_cast<size_t>(bufferSize),
                                 received))
    return t.Err(rc);
  return t.Ok(CRW_OK);
}

int16_t CCommPort::SendBinaryDataQR(int32_t timeoutMs, int16_t dsrCheck, int16_t ctsCheck,
                                    const void* data, int16_t len) {
  CallTrace t(*log_, callLock_, "crwSendBinaryDataQR");
  if (int16_t rc = CheckReady(t, true)) return rc;
  if (timeoutMs < 0 || BadBuffer(data, len)) return t.Fail(CRW_PARAMETER_ERROR, kErrParameter);
  if (int16_t rc = WriteCommForBinary(BytesOf(data), static_cast<size_t>(len), timeoutMs,
                                      dsrCheck != 0, ctsCheck != 0))
    return t.Err(rc);
  return t.Ok(CRW_OK);
}

int16_t CCommPort::ReceiveBinaryData(int32_t timeoutMs, int16_t dsrCheck, void* buffer,
                                     int16_t bufferSize, int16_t* received) {
  CallTrace t(*log_, callLock_, "crwReceiveBinaryData");
  if (int16_t rc = CheckReady(t, true)) return rc;
  if (timeoutMs < 0 || BadBuffer(buffer, bufferSize))
    return t.Fail(CRW_PARAMETER_ERROR, kErrParameter);
  SetLength(received, 0);
  wire::Bytes got;
  if (int16_t rc = ReadCommForUnformattedBinary(static_cast<size_t>(bufferSize), timeoutMs,
                                                dsrCheck != 0, &got))
    return t.Err(rc);
  if (!got.empty()) std::memcpy(buffer, got.data(), got.size());
  SetLength(received, got.size());
  // A full buffer may mean more is waiting: said in the log, and the call
  // still succeeds (the rest stays queued for the next call).
  if (got.size() == static_cast<size_t>(bufferSize)) {
    log_->ErrorCode(kErrBufferOver, CRW_BUFFER_OVER);
    return t.Done(CRW_OK);
  }
  return t.Ok(CRW_OK);
}

}  // namespace vantor

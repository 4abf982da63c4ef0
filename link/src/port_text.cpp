// The text-frame transactions: commands, polls, data frames and their
// acknowledgements, each run in the common frame (log, lock, refusals,
// argument checks, in-transaction flag).
#include <cstring>

#include "call_trace.h"
#include "comm_port.h"
#include "log_texts.h"
#include "platform/clock.h"
#include "platform/string_slot.h"

namespace vantor {
namespace {

constexpr size_t kNoLimit = static_cast<size_t>(-1);

const uint8_t* Bytes(const char* p) { return reinterpret_cast<const uint8_t*>(p); }

// The argument checks, each true when the argument is wrong.
bool BadCode(const char* code) { return !code || strnlen(code, 3) != 2; }
// len must be the data's NUL-terminated length; no more than len + 1 bytes
// of the caller's buffer are looked at.
bool BadData(const char* data, int16_t len) {
  if (!data) return len != 0;
  return strnlen(data, static_cast<size_t>(len) + 1) != static_cast<size_t>(len);
}

// Copies up to `count` bytes starting at `from` out of [p, p + n) into the
// slot: a field that the frame holds only in part gives what is there.
void SetField(char** slot, const uint8_t* p, size_t n, size_t from, size_t count) {
  const size_t a = from < n ? from : n;
  const size_t b = (count < n - a) ? a + count : n;
  plat::SetSlot(slot, p + a, b - a);
}

// The text between STX and ETX of a frame STX ... ETX BCC.
struct FrameBody {
  const uint8_t* p;
  size_t n;
};
FrameBody BodyOf(const wire::Bytes& frame) {
  if (frame.size() < 3) return {frame.data(), 0};
  return {frame.data() + 1, frame.size() - 3};
}

// A reply's kind byte; 0 when the frame has no text at all.
uint8_t KindOf(const wire::Bytes& frame) {
  const FrameBody body = BodyOf(frame);
  return body.n ? body.p[0] : 0;
}

// Fills the slots from a reply STX kind code(2) status(2) data ETX BCC and
// gives its result: 'A' 0, 'R' 1, 'B' 2, any other kind 0 with the data
// slot left as it was.
int16_t TakeReply(const wire::Bytes& frame, char** code, char** status, char** data) {
  const FrameBody body = BodyOf(frame);
  SetField(code, body.p, body.n, 1, 2);
  SetField(status, body.p, body.n, 3, 2);
  const uint8_t kind = KindOf(frame);
  if (kind != 'A' && kind != 'B' && kind != 'R') return CRW_OK;
  SetField(data, body.p, body.n, 5, kNoLimit);
  return kind == 'R' ? CRW_NAK : kind == 'B' ? CRW_BUSY_REPLY : CRW_OK;
}

void SetLength(int16_t* length, size_t n) {
  if (length) *length = static_cast<int16_t>(n);
}

// A frame of crwReceiveDataBCCHF: kind, code and status, and the data after
// them, which is empty for a frame of 8 bytes or fewer.
void TakeHFFrame(const wire::Bytes& frame, char** kind, char** code, char** status, char** data,
                 int16_t* length) {
  const FrameBody body = BodyOf(frame);
  SetField(kind, body.p, body.n, 0, 1);
  SetField(code, body.p, body.n, 1, 2);
  SetField(status, body.p, body.n, 3, 2);
  const size_t dataLen = body.n > 5 ? body.n - 5 : 0;
  plat::SetSlot(data, body.p + (body.n > 5 ? 5 : body.n), dataLen);
  SetLength(length, dataLen);
}

// Whether a first frame announces a follow-up frame: status "02" and one of
// the codes that send their data in a second frame.
bool HasFollowUp(const wire::Bytes& frame) {
  static const char* const kCodes[] = {"02", "05", "07", "0D", "14", "16", "18", "1A"};
  const FrameBody body = BodyOf(frame);
  if (body.n < 5 || body.p[3] != '0' || body.p[4] != '2') return false;
  for (const char* c : kCodes)
    if (body.p[1] == c[0] && body.p[2] == c[1]) return true;
  return false;
}

}  // namespace

int16_t CCommPort::SendWithRetries(const wire::Bytes& frame, int16_t retries, int32_t timeoutMs,
                                   bool dsrCheck) {
  int16_t outcome = CRW_OK;
  for (int attempt = 0; attempt <= retries; ++attempt) {
    if (int16_t rc = WriteComm(frame.data(), frame.size(), timeoutMs, dsrCheck)) return rc;
    wire::Bytes answer;
    const int16_t rc = ReadComm(ReadMode::Ack, timeoutMs, dsrCheck, &answer);
    if (rc == CRW_OK && answer[0] == wire::ACK) return CRW_OK;
    if (rc == CRW_OK) {
      outcome = CRW_NAK;
      continue;
    }
    if (rc != CRW_TIMEOUT) return rc;
    outcome = CRW_TIMEOUT;
    // Slow devices get at least 3.1 s per try, also after the last one.
    if (timeoutMs < 3000) plat::SleepMs(static_cast<uint32_t>(3100 - timeoutMs));
  }
  log_->ErrorCode(outcome == CRW_TIMEOUT ? kErrTimeoutRetry : kErrNak, outcome);
  return outcome;
}

int16_t CCommPort::SendCommand(int32_t timeoutMs, int16_t dsrCheck, const char* code,
                               const char* data, int16_t len) {
  CallTrace t(*log_, callLock_, "crwSendCommand");
  if (int16_t rc = CheckReady(t, true)) return rc;
  if (timeoutMs < 0 || BadCode(code) || len < 0 || BadData(data, len))
    return t.Fail(CRW_PARAMETER_ERROR, kErrParameter);
  TransactionMark mark(inTransaction_);
  const wire::Bytes frame = wire::TextCommandFrame(Bytes(code), Bytes(data), static_cast<size_t>(len));
  if (int16_t rc = WriteComm(frame.data(), frame.size(), timeoutMs, dsrCheck != 0)) return t.Err(rc);
  wire::Bytes answer;
  if (int16_t rc = ReadComm(ReadMode::Ack, timeoutMs, dsrCheck != 0, &answer)) return t.Err(rc);
  return t.Ok(answer[0] == wire::ACK ? CRW_OK : CRW_NAK);
}

int16_t CCommPort::SendDataWR(int32_t timeoutMs, int16_t dsrCheck, const char* data, int16_t len) {
  CallTrace t(*log_, callLock_, "crwSendDataWR");
  if (int16_t rc = CheckReady(t, true)) return rc;
  if (timeoutMs < 0 || len < 0 || BadData(data, len))
    return t.Fail(CRW_PARAMETER_ERROR, kErrParameter);
  TransactionMark mark(inTransaction_);
  if (int16_t rc = WriteComm(Bytes(data), static_cast<size_t>(len), timeoutMs, dsrCheck != 0))
    return t.Err(rc);
  wire::Bytes answer;
  if (int16_t rc = ReadComm(ReadMode::Ack, timeoutMs, dsrCheck != 0, &answer)) return t.Err(rc);
  return t.Ok(answer[0] == wire::ACK ? CRW_OK : CRW_NAK);
}

int16_t CCommPort::SendDataQR(int32_t timeoutMs, int16_t dsrCheck, const char* data, int16_t len) {
  CallTrace t(*log_, callLock_, "crwSendDataQR");
  if (int16_t rc = CheckReady(t, true)) return rc;
  if (timeoutMs < 0 || len < 0 || BadData(data, len))
    return t.Fail(CRW_PARAMETER_ERROR, kErrParameter);
  if (int16_t rc = WriteComm(Bytes(data), static_cast<size_t>(len), timeoutMs, dsrCheck != 0))
    return t.Err(rc);
  return t.Ok(CRW_OK);
}

int16_t CCommPort::ReceiveResponse(int16_t waitWhileBusy, int32_t timeoutMs, int16_t dsrCheck,
                                   char** code, char** status, char** data) {
  CallTrace t(*log_, callLock_, "crwReceiveResponse");
  if (int16_t rc = CheckReady(t, true)) return rc;
  if (timeoutMs < 0) return t.Fail(CRW_PARAMETER_ERROR, kErrParameter);
  TransactionMark mark(inTransaction_);
  const wire::Bytes poll = wire::PollFrame();
  wire::Bytes reply;
  for (;;) {
    if (int16_t rc = WriteComm(poll.data(), poll.size(), timeoutMs, dsrCheck != 0)) return t.Err(rc);
    if (int16_t rc = ReadCheckedFrame(timeoutMs, dsrCheck != 0, &reply)) return t.Err(rc);
    const uint8_t kind = KindOf(reply);
    if (kind == 'A' || kind == 'R' || waitWhileBusy == 0) break;
    plat::SleepMs(1);  // still busy: poll again, without spinning
  }
  // No ACK is sent for a reply.
  return t.Ok(TakeReply(reply, code, status, data));
}

int16_t CCommPort::ReceiveData(int16_t dsrCheck, char** data, int16_t* length) {
  CallTrace t(*log_, callLock_, "crwReceiveData");
  if (int16_t rc = CheckReady(t, true)) return rc;
  // Whatever arrives until the line falls quiet, at most one buffer full.
  wire::Bytes got;
  if (int16_t rc = ReadComm(ReadMode::Frame, -1, dsrCheck != 0, &got)) return t.Err(rc);
  if (got.empty()) return t.Fail(CRW_NAK, kErrNoData);
  plat::SetSlot(data, got.data(), got.size());
  SetLength(length, got.size());
  return t.Ok(CRW_OK);
}

int16_t CCommPort::SendDataRR(int16_t retries, int32_t timeoutMs, int16_t dsrCheck, const char* data,
                              int16_t len, char** reply, int16_t* replyLength) {
  CallTrace t(*log_, callLock_, "crwSendDataRR");
  if (int16_t rc = CheckReady(t, true)) return rc;
  if (retries < 0 || timeoutMs < 0 || len < 0 || BadData(data, len))
    return t.Fail(CRW_PARAMETER_ERROR, kErrParameter);
  TransactionMark mark(inTransaction_);
  const wire::Bytes frame = wire::DataFrame(Bytes(data), static_cast<size_t>(len));
  if (int16_t rc = SendWithRetries(frame, retries, timeoutMs, dsrCheck != 0)) return t.Err(rc);
  wire::Bytes answer;
  if (int16_t rc = ReadCheckedFrame(timeoutMs, dsrCheck != 0, &answer)) return t.Err(rc);
  const FrameBody body = BodyOf(answer);
  plat::SetSlot(reply, body.p, body.n);
  SetLength(replyLength, body.n);
  static const uint8_t kAck = wire::ACK;
  if (int16_t rc = WriteComm(&kAck, 1, timeoutMs, dsrCheck != 0)) return t.Err(rc);
  return t.Ok(CRW_OK);
}

int16_t CCommPort::SendDataBCC(int16_t waitAck, int16_t retries, int32_t timeoutMs, int16_t dsrCheck,
                               const char* data, int16_t len) {
  CallTrace t(*log_, callLock_, "crwSendDataBCC");
  if (int16_t rc = CheckReady(t, true)) return rc;
  if (waitAck < 0 || retries < 0 || timeoutMs < 0 || len < 0 || BadData(data, len))
    return t.Fail(CRW_PARAMETER_ERROR, kErrParameter);
  TransactionMark mark(inTransaction_);
  const wire::Bytes frame = wire::DataFrame(Bytes(data), static_cast<size_t>(len));
  const int16_t rc = waitAck == 0 ? WriteComm(frame.data(), frame.size(), timeoutMs, dsrCheck != 0)
                                  : SendWithRetries(frame, retries, timeoutMs, dsrCheck != 0);
  return rc ? t.Err(rc) : t.Ok(CRW_OK);
}

int16_t CCommPort::ReceiveDataBCC(int16_t acknowledge, int32_t timeoutMs, int16_t dsrCheck,
                                  char** data, int16_t* length) {
  CallTrace t(*log_, callLock_, "crwReceiveDataBCC");
  if (int16_t rc = CheckReady(t, true)) return rc;
  if (acknowledge < 0 || timeoutMs < 0) return t.Fail(CRW_PARAMETER_ERROR, kErrParameter);
  TransactionMark mark(inTransaction_);
  // ReadComm delivers the run from an STX through the byte after the first
  // ETX that follows it.
  wire::Bytes frame;
  if (int16_t rc = ReadComm(ReadMode::Frame, timeoutMs, dsrCheck != 0, &frame)) return t.Err(rc);
  if (!wire::FrameBccOk(frame.data(), frame.size())) {
    if (acknowledge == 0) {
      // The caller asked not to answer: it gets the data and the verdict.
      const FrameBody body = BodyOf(frame);
      plat::SetSlot(data, body.p, body.n);
      SetLength(length, body.n);
      return t.ReturnAsError(CRW_BCC_RETRY_ERROR);
    }
    if (int16_t rc = NakAndReread(timeoutMs, dsrCheck != 0, &frame)) return t.Err(rc);
  }
  const FrameBody body = BodyOf(frame);
  plat::SetSlot(data, body.p, body.n);
  SetLength(length, body.n);
  if (acknowledge != 0) {
    static const uint8_t kAck = wire::ACK;
    if (int16_t rc = WriteComm(&kAck, 1, timeoutMs, dsrCheck != 0)) return t.Err(rc);
  }
  return t.Ok(CRW_OK);
}

int16_t CCommPort::ReceiveDataBCCHF(int16_t follow, int32_t timeoutMs, int16_t dsrCheck,
                                    char** kind1, char** code1, char** status1, char** kind2,
                                    char** code2, char** status2, char** data, int16_t* length) {
  CallTrace t(*log_, callLock_, "crwReceiveDataBCCHF");
  if (int16_t rc = CheckReady(t, true)) return rc;
  if (timeoutMs < 0) return t.Fail(CRW_PARAMETER_ERROR, kErrParameter);
  TransactionMark mark(inTransaction_);
  // Sends nothing: no poll, no ACK, no NAK.
  wire::Bytes first;
  if (int16_t rc = ReadCommHF(kReceiveCapacity, timeoutMs, dsrCheck != 0, &first)) return t.Err(rc);
  TakeHFFrame(first, kind1, code1, status1, data, length);
  const bool firstOk = wire::FrameBccOk(first.data(), first.size());
  bool lastOk = firstOk;
  bool followed = false;
  if (follow != 0 && HasFollowUp(first)) {
    wire::Bytes second;
    if (int16_t rc = ReadCommHF(kReceiveCapacity, timeoutMs, dsrCheck != 0, &second))
      return t.Err(rc);
    TakeHFFrame(second, kind2, code2, status2, data, length);
    lastOk = wire::FrameBccOk(second.data(), second.size());
    followed = true;
  }
  if (!lastOk) return t.ReturnAsError(CRW_BCC_RETRY_ERROR);
  if (followed && !firstOk) {
    // The data in hand is good, and is logged as such; the result still
    // tells that the first frame was damaged.
    t.Ok(CRW_OK);
    return CRW_BCC_RETRY_ERROR;
  }
  return t.Ok(CRW_OK);
}

int16_t CCommPort::ComRXBufferClear() {
  CallTrace t(*log_, callLock_, "crwComRXBufferClear");
  if (int16_t rc = CheckReady(t, false)) return rc;
  return line_->PurgeInput() ? t.Ok(CRW_OK) : t.Err(CRW_NAK);
}

int16_t CCommPort::SendCommandRR(int16_t waitWhileBusy, int32_t timeoutMs, int32_t busyTimeoutMs,
                                 int16_t dsrCheck, const char* code, const char* data, int16_t len,
                                 char** replyCode, char** status, char** replyData) {
  CallTrace t(*log_, callLock_, "crwSendCommandRR");
  if (int16_t rc = CheckReady(t, true)) return rc;
  if (timeoutMs < 0 || busyTimeoutMs < 0 || BadCode(code) || len < 0 || BadData(data, len))
    return t.Fail(CRW_PARAMETER_ERROR, kErrParameter);
  TransactionMark mark(inTransaction_);
  const bool dsr = dsrCheck != 0;
  const wire::Bytes frame = wire::TextCommandFrame(Bytes(code), Bytes(data), static_cast<size_t>(len));
  if (int16_t rc = WriteComm(frame.data(), frame.size(), timeoutMs, dsr)) return t.Err(rc);
  wire::Bytes answer;
  if (int16_t rc = ReadComm(ReadMode::Ack, timeoutMs, dsr, &answer)) {
    line_->PurgeInput();
    return t.Err(rc);
  }
  if (answer[0] != wire::ACK) return t.Ok(CRW_NAK);

  const uint32_t pollStart = plat::TickMs();
  const wire::Bytes poll = wire::PollFrame();
  for (;;) {
    if (int16_t rc = WriteComm(poll.data(), poll.size(), timeoutMs, dsr)) return t.Err(rc);
    if (int16_t rc = ReadCheckedFrame(timeoutMs, dsr, &answer)) {
      line_->PurgeInput();
      return t.Err(rc);
    }
    const uint8_t kind = KindOf(answer);
    if (kind == 'A' || kind == 'R' || waitWhileBusy == 0)
      return t.Ok(TakeReply(answer, replyCode, status, replyData));
    if (plat::Elapsed(pollStart, plat::TickMs(), static_cast<uint32_t>(busyTimeoutMs)))
      return t.Fail(CRW_BUSY_TIMEOUT, kErrBusyTimeout);
    plat::SleepMs(1);  // still busy: poll again, without spinning
  }
}

}  // namespace vantor

// Line and handshake control: the driver's DSR/CTS output flow, the OS
// handle, the DTR/RTS mode of the next open, the modem input lines and the
// DTR, RTS and BREAK output lines. None of them is refused while a worker
// runs, and none is a transaction.
#include "call_trace.h"
#include "comm_port.h"
#include "log_texts.h"

namespace vantor {

int16_t CCommPort::ComDSRCTSsw(int16_t dsr, int16_t cts) {
  CallTrace t(*log_, callLock_, "crwComDSRCTSsw");
  if (int16_t rc = CheckReady(t, false)) return rc;
  // Only the two output-flow settings change. A failure leaves the port
  // open as it was: its descriptor is still valid.
  plat::LineSettings s;
  if (!line_->GetSettings(&s)) return t.Fail(CRW_PARAMETER_ERROR, kErrParameter);
  s.dsrOutFlow = dsr != 0;
  s.ctsOutFlow = cts != 0;
  if (!line_->SetSettings(s)) return t.Fail(CRW_PARAMETER_ERROR, kErrParameter);
  return t.Ok(CRW_OK);
}

int16_t CCommPort::GetPortHandle(int32_t* handle) {
  CallTrace t(*log_, callLock_, "crwGetPortHandle");
  if (int16_t rc = CheckReady(t, false)) return rc;
  // The caller may use the descriptor for its own calls; the library still
  // owns it and closes it.
  if (handle) *handle = line_->fd();
  return t.Ok(CRW_OK);
}

int16_t CCommPort::SetHandshake(int16_t handshake) {
  CallTrace t(*log_, callLock_, "SetHandshake");
  if (isOpen()) return t.Fail(CRW_NAK, kErrAlreadyOpened);
  handshake_.store(handshake);
  return t.Ok(CRW_OK);
}

int16_t CCommPort::GetHandshakeStatus(int16_t* handshake) {
  CallTrace t(*log_, callLock_, "GetHandshakeStatus");
  if (handshake) *handshake = handshake_.load();
  return t.Ok(CRW_OK);
}

int16_t CCommPort::GetLineStatus(int16_t* cts, int16_t* dsr, int16_t* rlsd) {
  CallTrace t(*log_, callLock_, "GetLineStatus");
  if (int16_t rc = CheckReady(t, false)) return rc;
  uint32_t bits = 0;
  if (!line_->GetModemStatus(&bits)) return t.Fail(CRW_NAK, kErrNotOpened);
  if (cts) *cts = (bits & plat::kModemCts) ? 1 : 0;
  if (dsr) *dsr = (bits & plat::kModemDsr) ? 1 : 0;
  if (rlsd) *rlsd = (bits & plat::kModemRlsd) ? 1 : 0;
  return t.Ok(CRW_OK);
}

int16_t CCommPort::SetLineControl(int16_t dtr, int16_t rts, int16_t brk) {
  CallTrace t(*log_, callLock_, "SetLineControl");
  if (int16_t rc = CheckReady(t, false)) return rc;
  // In this order; the first failure ends the call.
  if (!line_->SetDtr(dtr != 0) || !line_->SetRts(rts != 0) || !line_->SetBreak(brk != 0))
    return t.Fail(CRW_NAK, kErrNotOpened);
  return t.Done(CRW_OK);
}

}  // namespace vantor

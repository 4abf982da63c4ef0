// The exports of the callback registrations and of line and handshake
// control.
#include "export_frame.h"

using vantor::OnPort;

extern "C" {

VANTOR_API int16_t crwSetResponseEventProc(int32_t port, int16_t waitWhileBusy, int32_t timeoutMs,
                                           CrwResponseProc callback, int32_t userValue,
                                           int32_t eventMask) {
  return OnPort(port, [&](vantor::CCommPort& p) {
    return p.SetResponseEventProc(waitWhileBusy, timeoutMs, callback, userValue, eventMask);
  });
}

VANTOR_API int16_t crwSetReceiveBinaryEventProc(int32_t port, int32_t timeoutMs, CrwBinaryProc callback,
                                                int32_t userValue, int32_t eventMask) {
  return OnPort(port, [&](vantor::CCommPort& p) {
    return p.SetReceiveBinaryEventProc(timeoutMs, callback, userValue, eventMask);
  });
}

VANTOR_API int16_t crwSetCommEventProc(int32_t port, CrwCommEventProc callback, int32_t userValue,
                                       int32_t eventMask) {
  return OnPort(port, [&](vantor::CCommPort& p) {
    return p.SetCommEventProc(callback, userValue, eventMask);
  });
}

VANTOR_API int16_t crwComDSRCTSsw(int32_t port, int16_t dsr, int16_t cts) {
  return OnPort(port, [&](vantor::CCommPort& p) { return p.ComDSRCTSsw(dsr, cts); });
}

VANTOR_API int16_t crwGetPortHandle(int32_t port, int32_t* handle) {
  return OnPort(port, [&](vantor::CCommPort& p) { return p.GetPortHandle(handle); });
}

VANTOR_API int16_t crwSetHandshake(int32_t port, int16_t handshake) {
  return OnPort(port, [&](vantor::CCommPort& p) { return p.SetHandshake(handshake); });
}

// The two status calls leave defined zeros in their slots even when the
// port number is refused.
VANTOR_API int16_t crwGetHandshakeStatus(int32_t port, int16_t* handshake) {
  if (handshake) *handshake = 0;
  return OnPort(port, [&](vantor::CCommPort& p) { return p.GetHandshakeStatus(handshake); });
}

VANTOR_API int16_t crwGetLineStatus(int32_t port, int16_t* cts, int16_t* dsr, int16_t* rlsd) {
  if (cts) *cts = 0;
  if (dsr) *dsr = 0;
  if (rlsd) *rlsd = 0;
  return OnPort(port, [&](vantor::CCommPort& p) { return p.GetLineStatus(cts, dsr, rlsd); });
}

VANTOR_API int16_t crwSetLineControl(int32_t port, int16_t dtr, int16_t rts, int16_t brk) {
  return OnPort(port, [&](vantor::CCommPort& p) { return p.SetLineControl(dtr, rts, brk); });
}

}  // extern "C"

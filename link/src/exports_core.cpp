// The exports of the port table, the port object and the text-frame
// transactions, and the calling thread's event mailbox.
#include <cerrno>

#include "export_frame.h"
#include "platform/file_version.h"
#include "platform/mailbox.h"
#include "vantor.h"

PLAT_EMBED_VERSION(VANTOR_VERSION);

using vantor::OnPort;

extern "C" {

VANTOR_API int16_t crwOpenPort(int32_t port, int32_t baud, const char* dataBits, const char* parity) {
  int reason = 0;
  const int16_t rc = OnPort(port, [&](vantor::CCommPort& p) { return p.OpenPort(baud, dataBits, parity, &reason); });
  // Set last, after every log line: the caller reads it as the reason.
  if (rc == CRW_PORT_NOT_OPEN) errno = reason;
  return rc;
}

VANTOR_API int16_t crwClosePort(int32_t port) {
  return OnPort(port, [&](vantor::CCommPort& p) { return p.ClosePort(); });
}

VANTOR_API int16_t crwSendCommand(int32_t port, int32_t timeoutMs, int16_t dsrCheck, const char* code,
                                  const char* data, int16_t len) {
  return OnPort(port, [&](vantor::CCommPort& p) {
    return p.SendCommand(timeoutMs, dsrCheck, code, data, len);
  });
}

VANTOR_API int16_t crwSendDataWR(int32_t port, int32_t timeoutMs, int16_t dsrCheck, const char* data,
                                 int16_t len) {
  return OnPort(port, [&](vantor::CCommPort& p) { return p.SendDataWR(timeoutMs, dsrCheck, data, len); });
}

VANTOR_API int16_t crwSendDataQR(int32_t port, int32_t timeoutMs, int16_t dsrCheck, const char* data,
                                 int16_t len) {
  return OnPort(port, [&](vantor::CCommPort& p) { return p.SendDataQR(timeoutMs, dsrCheck, data, len); });
}

VANTOR_API int16_t crwReceiveResponse(int32_t port, int16_t waitWhileBusy, int32_t timeoutMs,
                                      int16_t dsrCheck, char** code, char** status, char** data) {
  return OnPort(port, [&](vantor::CCommPort& p) {
    return p.ReceiveResponse(waitWhileBusy, timeoutMs, dsrCheck, code, status, data);
  });
}

VANTOR_API int16_t crwReceiveData(int32_t port, int16_t dsrCheck, char** data, int16_t* length) {
  return OnPort(port, [&](vantor::CCommPort& p) { return p.ReceiveData(dsrCheck, data, length); });
}

VANTOR_API int16_t crwSendDataRR(int32_t port, int16_t retries, int32_t timeoutMs, int16_t dsrCheck,
                                 const char* data, int16_t len, char** reply, int16_t* replyLength) {
  return OnPort(port, [&](vantor::CCommPort& p) {
    return p.SendDataRR(retries, timeoutMs, dsrCheck, data, len, reply, replyLength);
  });
}

VANTOR_API int16_t crwSendDataBCC(int32_t port, int16_t waitAck, int16_t retries, int32_t timeoutMs,
                                  int16_t dsrCheck, const char* data, int16_t len) {
  return OnPort(port, [&](vantor::CCommPort& p) {
    return p.SendDataBCC(waitAck, retries, timeoutMs, dsrCheck, data, len);
  });
}

VANTOR_API int16_t crwReceiveDataBCC(int32_t port, int16_t acknowledge, int32_t timeoutMs,
                                     int16_t dsrCheck, char** data, int16_t* length) {
  return OnPort(port, [&](vantor::CCommPort& p) {
    return p.ReceiveDataBCC(acknowledge, timeoutMs, dsrCheck, data, length);
  });
}

VANTOR_API int16_t crwReceiveDataBCCHF(int32_t port, int16_t follow, int32_t timeoutMs, int16_t dsrCheck,
                                       char** kind1, char** code1, char** status1, char** kind2,
                                       char** code2, char** status2, char** data, int16_t* length) {
  return OnPort(port, [&](vantor::CCommPort& p) {
    return p.ReceiveDataBCCHF(follow, timeoutMs, dsrCheck, kind1, code1, status1, kind2, code2,
                              status2, data, length);
  });
}

VANTOR_API int16_t crwComRXBufferClear(int32_t port) {
  return OnPort(port, [&](vantor::CCommPort& p) { return p.ComRXBufferClear(); });
}

VANTOR_API int16_t crwSendCommandRR(int32_t port, int16_t waitWhileBusy, int32_t timeoutMs,
                                    int32_t busyTimeoutMs, int16_t dsrCheck, const char* code,
                                    const char* data, int16_t len, char** replyCode, char** status,
                                    char** replyData) {
  return OnPort(port, [&](vantor::CCommPort& p) {
    return p.SendCommandRR(waitWhileBusy, timeoutMs, busyTimeoutMs, dsrCheck, code, data, len,
                           replyCode, status, replyData);
  });
}

VANTOR_API int vantorEventFd(void) { return plat::Mailbox::ForThisThread()->fd(); }

VANTOR_API int vantorDispatchEvents(void) {
  const auto box = plat::Mailbox::PeekThisThread();
  return box ? static_cast<int>(box->Dispatch()) : 0;
}

}  // extern "C"

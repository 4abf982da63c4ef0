// The exports of the binary-frame transactions.
#include "export_frame.h"

using vantor::OnPort;

extern "C" {

VANTOR_API int16_t crwSendBinaryCommandRR(int32_t port, int32_t sendTimeoutMs, int16_t retries,
                                          int16_t dsrCheck, int16_t ctsCheck, const void* data,
                                          int16_t len, int32_t receiveTimeoutMs, void* report,
                                          int16_t reportSize, int16_t* reportLength) {
  return OnPort(port, [&](vantor::CCommPort& p) {
    return p.SendBinaryCommandRR(sendTimeoutMs, retries, dsrCheck, ctsCheck, data, len,
                                 receiveTimeoutMs, report, reportSize, reportLength);
  });
}

VANTOR_API int16_t crwSendBinaryData(int32_t port, int32_t timeoutMs, int16_t retries, int16_t dsrCheck,
                                     int16_t ctsCheck, const void* data, int16_t len) {
  return OnPort(port, [&](vantor::CCommPort& p) {
    return p.SendBinaryData(timeoutMs, retries, dsrCheck, ctsCheck, data, len);
  });
}

VANTOR_API int16_t crwReceiveBinaryReport(int32_t port, int32_t timeoutMs, int16_t retries,
                                          int16_t dsrCheck, int16_t ctsCheck, void* buffer,
                                          int16_t bufferSize, int16_t* received) {
  return OnPort(port, [&](vantor::CCommPort& p) {
    return p.ReceiveBinaryReport(timeoutMs, retries, dsrCheck, ctsCheck, buffer, bufferSize, received);
  });
}

VANTOR_API int16_t crwSendBinaryDataQR(int32_t port, int32_t timeoutMs, int16_t dsrCheck,
                                       int16_t ctsCheck, const void* data, int16_t len) {
  return OnPort(port, [&](vantor::CCommPort& p) {
    return p.SendBinaryDataQR(timeoutMs, dsrCheck, ctsCheck, data, len);
  });
}

VANTOR_API int16_t crwReceiveBinaryData(int32_t port, int32_t timeoutMs, int16_t dsrCheck, void* buffer,
                                        int16_t bufferSize, int16_t* received) {
  return OnPort(port, [&](vantor::CCommPort& p) {
    return p.ReceiveBinaryData(timeoutMs, dsrCheck, buffer, bufferSize, received);
  });
}

}  // extern "C"

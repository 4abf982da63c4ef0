// Exports whose work is not in the library yet: the binary transactions, the
// worker and line-event registrations, line control and the picture
// download. Each answers 1 until its own file replaces it here.
#include "vantor.h"

extern "C" {

VANTOR_API int16_t crwSendBinaryCommandRR(int32_t, int32_t, int16_t, int16_t, int16_t, const void*,
                                          int16_t, int32_t, void*, int16_t, int16_t*) {
  return 1;
}
VANTOR_API int16_t crwSendBinaryData(int32_t, int32_t, int16_t, int16_t, int16_t, const void*, int16_t) {
  return 1;
}
VANTOR_API int16_t crwReceiveBinaryReport(int32_t, int32_t, int16_t, int16_t, int16_t, void*, int16_t,
                                          int16_t*) {
  return 1;
}
VANTOR_API int16_t crwSendBinaryDataQR(int32_t, int32_t, int16_t, int16_t, const void*, int16_t) {
  return 1;
}
VANTOR_API int16_t crwReceiveBinaryData(int32_t, int32_t, int16_t, void*, int16_t, int16_t*) {
  return 1;
}

VANTOR_API int16_t crwSetResponseEventProc(int32_t, int16_t, int32_t, CrwResponseProc, int32_t, int32_t) {
  return 1;
}
VANTOR_API int16_t crwSetReceiveBinaryEventProc(int32_t, int32_t, CrwBinaryProc, int32_t, int32_t) {
  return 1;
}
VANTOR_API int16_t crwSetCommEventProc(int32_t, CrwCommEventProc, int32_t, int32_t) { return 1; }

VANTOR_API int16_t crwComDSRCTSsw(int32_t, int16_t, int16_t) { return 1; }
VANTOR_API int16_t crwGetPortHandle(int32_t, int32_t*) { return 1; }
VANTOR_API int16_t crwSetHandshake(int32_t, int16_t) { return 1; }
VANTOR_API int16_t crwGetHandshakeStatus(int32_t, int16_t* handshake) {
  if (handshake) *handshake = 0;
  return 1;
}
VANTOR_API int16_t crwGetLineStatus(int32_t, int16_t* cts, int16_t* dsr, int16_t* rlsd) {
  if (cts) *cts = 0;
  if (dsr) *dsr = 0;
  if (rlsd) *rlsd = 0;
  return 1;
}
VANTOR_API int16_t crwSetLineControl(int32_t, int16_t, int16_t, int16_t) { return 1; }

VANTOR_API int16_t crwPIDataSend(int32_t, int16_t, int16_t, int16_t, int16_t, int16_t, int16_t, int16_t,
                                 int32_t, int32_t, const char*, char**, char**) {
  return 1;
}
VANTOR_API int16_t crwIBBinarySend(int32_t, int16_t, int16_t, int16_t, int16_t, int16_t, int16_t, int32_t,
                                   int32_t, const char*, char**, char**) {
  return 1;
}

}  // extern "C"

/* Public interface of libvantor.so: the serial link to card reader/writer
 * devices. Every function takes the port number first (only its low 16 bits
 * count, 1 to 256) and returns a result code. Strings come back in string
 * slots: char** variables that receive a length-prefixed string (the 32-bit
 * byte length stands in the 4 bytes before the first byte, a NUL follows the
 * last); the library frees what a slot held before, the caller frees what it
 * gets with SysFreeString. */
#ifndef VANTOR_H
#define VANTOR_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(VANTOR_BUILDING)
#define VANTOR_API __attribute__((visibility("default")))
#else
#define VANTOR_API
#endif

/* Result codes. */
enum {
  CRW_OK = 0,
  CRW_NAK = 1, /* also: reply kind 'R', nothing received, already open/closed */
  CRW_BUSY_REPLY = 2, /* reply kind 'B' */
  CRW_PARAMETER_ERROR = 100,
  CRW_PORT_NOT_OPEN = 101,
  CRW_TIMEOUT = 110,
  CRW_CTS_TIMEOUT = 111,
  CRW_DSR_TIMEOUT = 112,
  CRW_BUSY_TIMEOUT = 113,
  CRW_BCC_RETRY_ERROR = 120,
  CRW_BUFFER_OVER = 130,
  CRW_PORT_BUSY = 140,
  CRW_SEND_ERROR = 200,
  CRW_RECEIVE_ERROR = 201
};

/* Worker event bits (response and binary callbacks). */
enum {
  CRW_EV_REPLY_A = 0x1,
  CRW_EV_REPLY_R = 0x2,
  CRW_EV_REPLY_OTHER = 0x4,
  CRW_EV_STOPPED = 0x8,
  CRW_EV_TIMEOUT = 0x100,
  CRW_EV_CTS = 0x200,
  CRW_EV_DSR = 0x400,
  CRW_EV_BCC = 0x800,
  CRW_EV_SEND = 0x1000,
  CRW_EV_RECEIVE = 0x2000
};

/* Line event bits (line callback). */
enum {
  CRW_LINE_RXCHAR = 0x1,
  CRW_LINE_TXEMPTY = 0x4,
  CRW_LINE_FRAME = 0x100,
  CRW_LINE_OVERRUN = 0x200,
  CRW_LINE_PARITY = 0x400,
  CRW_LINE_CTS = 0x1000,
  CRW_LINE_DSR = 0x2000,
  CRW_LINE_RLSD = 0x4000,
  CRW_LINE_BREAK = 0x8000,
  CRW_LINE_RING = 0x10000
};

/* Callbacks run on the thread that first called the library for the port,
 * from vantorDispatchEvents(). The response text is a slot string owned by
 * the callback (free it with SysFreeString); binary data belongs to the
 * library and is valid only during the call. */
typedef void (*CrwResponseProc)(int16_t port, int32_t events, char* text, int16_t length,
                                int32_t userValue);
typedef void (*CrwBinaryProc)(int16_t port, int32_t events, const void* data, int16_t length,
                              int32_t userValue);
typedef void (*CrwCommEventProc)(int16_t port, int32_t value, int32_t events, int32_t userValue);

/* On CRW_PORT_NOT_OPEN errno holds the system's reason the device file could
 * not be opened (EACCES: the user may not open it, EBUSY: another program
 * holds it, ENOENT: it is not there; ENODEV: the number maps to no device
 * file); the port's log names it too. */
VANTOR_API int16_t crwOpenPort(int32_t port, int32_t baud, const char* dataBits, const char* parity);
VANTOR_API int16_t crwClosePort(int32_t port);
VANTOR_API int16_t crwSendCommand(int32_t port, int32_t timeoutMs, int16_t dsrCheck, const char* code,
                                  const char* data, int16_t len);
VANTOR_API int16_t crwSendDataWR(int32_t port, int32_t timeoutMs, int16_t dsrCheck, const char* data,
                                 int16_t len);
VANTOR_API int16_t crwSendDataQR(int32_t port, int32_t timeoutMs, int16_t dsrCheck, const char* data,
                                 int16_t len);
VANTOR_API int16_t crwReceiveResponse(int32_t port, int16_t waitWhileBusy, int32_t timeoutMs,
                                      int16_t dsrCheck, char** code, char** status, char** data);
VANTOR_API int16_t crwReceiveData(int32_t port, int16_t dsrCheck, char** data, int16_t* length);
VANTOR_API int16_t crwSendDataRR(int32_t port, int16_t retries, int32_t timeoutMs, int16_t dsrCheck,
                                 const char* data, int16_t len, char** reply, int16_t* replyLength);
VANTOR_API int32_t crwGetPortNames(char** names, int16_t* count);
VANTOR_API int16_t crwSendBinaryCommandRR(int32_t port, int32_t sendTimeoutMs, int16_t retries,
                                          int16_t dsrCheck, int16_t ctsCheck, const void* data,
                                          int16_t len, int32_t receiveTimeoutMs, void* report,
                                          int16_t reportSize, int16_t* reportLength);
VANTOR_API int16_t crwSendBinaryData(int32_t port, int32_t timeoutMs, int16_t retries, int16_t dsrCheck,
                                     int16_t ctsCheck, const void* data, int16_t len);
VANTOR_API int16_t crwReceiveBinaryReport(int32_t port, int32_t timeoutMs, int16_t retries,
                                          int16_t dsrCheck, int16_t ctsCheck, void* buffer,
                                          int16_t bufferSize, int16_t* received);
VANTOR_API int16_t crwSendBinaryDataQR(int32_t port, int32_t timeoutMs, int16_t dsrCheck,
                                       int16_t ctsCheck, const void* data, int16_t len);
VANTOR_API int16_t crwReceiveBinaryData(int32_t port, int32_t timeoutMs, int16_t dsrCheck, void* buffer,
                                        int16_t bufferSize, int16_t* received);
VANTOR_API int16_t crwSendCommandRR(int32_t port, int16_t waitWhileBusy, int32_t timeoutMs,
                                    int32_t busyTimeoutMs, int16_t dsrCheck, const char* code,
                                    const char* data, int16_t len, char** replyCode,
                                    char** status, char** replyData);
VANTOR_API int16_t crwSetResponseEventProc(int32_t port, int16_t waitWhileBusy, int32_t timeoutMs,
                                           CrwResponseProc callback, int32_t userValue,
                                           int32_t eventMask);
VANTOR_API int16_t crwSetReceiveBinaryEventProc(int32_t port, int32_t timeoutMs, CrwBinaryProc callback,
                                                int32_t userValue, int32_t eventMask);
VANTOR_API int16_t crwSetCommEventProc(int32_t port, CrwCommEventProc callback, int32_t userValue,
                                       int32_t eventMask);
VANTOR_API int16_t crwSendDataBCC(int32_t port, int16_t waitAck, int16_t retries, int32_t timeoutMs,
                                  int16_t dsrCheck, const char* data, int16_t len);
VANTOR_API int16_t crwReceiveDataBCC(int32_t port, int16_t acknowledge, int32_t timeoutMs,
                                     int16_t dsrCheck, char** data, int16_t* length);
VANTOR_API int16_t crwReceiveDataBCCHF(int32_t port, int16_t follow, int32_t timeoutMs, int16_t dsrCheck,
                                       char** kind1, char** code1, char** status1, char** kind2,
                                       char** code2, char** status2, char** data, int16_t* length);
VANTOR_API int16_t crwComRXBufferClear(int32_t port);
VANTOR_API int16_t crwComDSRCTSsw(int32_t port, int16_t dsr, int16_t cts);
VANTOR_API int32_t crwGetComDevInfo(int32_t com, char** driverDesc, char** providerName,
                                    char** driverDate, char** driverVersion);
VANTOR_API int16_t crwGetPortHandle(int32_t port, int32_t* handle);
VANTOR_API int16_t crwSetHandshake(int32_t port, int16_t handshake);
VANTOR_API int16_t crwGetHandshakeStatus(int32_t port, int16_t* handshake);
VANTOR_API int16_t crwGetLineStatus(int32_t port, int16_t* cts, int16_t* dsr, int16_t* rlsd);
VANTOR_API int16_t crwSetLineControl(int32_t port, int16_t dtr, int16_t rts, int16_t brk);
VANTOR_API int16_t crwPIDataSend(int32_t port, int16_t retries, int16_t dsrCheck, int16_t ctsCheck,
                                 int16_t lastColumn, int16_t lastRow, int16_t startColumn,
                                 int16_t rowBase, int32_t timeoutMs, int32_t recordBufferSize,
                                 const char* path, char** replyCode, char** status);
VANTOR_API int16_t crwIBBinarySend(int32_t port, int16_t retries, int16_t dsrCheck, int16_t ctsCheck,
                                   int16_t lastColumn, int16_t lastRow, int16_t rowBase,
                                   int32_t timeoutMs, int32_t blockBufferSize, const char* path,
                                   char** replyCode, char** status);

/* The calling thread's event mailbox: a file descriptor that becomes readable
 * while callbacks of ports created on this thread wait to run. Created on
 * first call. */
VANTOR_API int vantorEventFd(void);
/* Runs every waiting callback of the calling thread; returns how many ran. */
VANTOR_API int vantorDispatchEvents(void);

/* String slots: free what the library stored in a slot. */
VANTOR_API char* SysAllocStringByteLen(const char* bytes, uint32_t len);
VANTOR_API void SysFreeString(char* s);
VANTOR_API uint32_t SysStringByteLen(const char* s);

#ifdef __cplusplus
}
#endif

#endif /* VANTOR_H */

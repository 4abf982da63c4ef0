// The program's only way to the device: the exports of libvantor.so behind an
// interface. The program binds the library by name at run time (it never
// links it), each function at its first call; tests put a scripted fake in
// its place.
//
// Texts cross as bytes: callers convert with the CP932 codec, so bytes
// 0x80-0xFF reach the wire unchanged. Data that has a length argument is
// passed with exactly that length; what the library puts into a string slot
// comes back as a QByteArray (the slot itself is freed here).
#pragma once
#include <QByteArray>
#include <QString>
#include <cstdint>
#include <memory>

#include "vantor.h"

namespace quorel {

// Result of a call that could not be made at all: the library file or the
// function is missing. Not a library code; callers treat it as a failure of
// their own side (a port is then not open).
constexpr int16_t kLinkUnbound = -1;

class LinkApi {
 public:
  virtual ~LinkApi() = default;

  // Text transactions. When the port cannot be opened (101) *openError gets
  // the system's reason (an errno value; 0 when the library gave none).
  virtual int16_t OpenPort(int32_t port, int32_t baud, const QByteArray& dataBits, const QByteArray& parity,
                           int* openError) = 0;
  virtual int16_t ClosePort(int32_t port) = 0;
  virtual int16_t SendCommand(int32_t port, int32_t timeoutMs, int16_t dsrCheck, const QByteArray& code,
                              const QByteArray& data, int16_t len) = 0;
  virtual int16_t SendDataWR(int32_t port, int32_t timeoutMs, int16_t dsrCheck, const QByteArray& data,
                             int16_t len) = 0;
  virtual int16_t SendDataQR(int32_t port, int32_t timeoutMs, int16_t dsrCheck, const QByteArray& data,
                             int16_t len) = 0;
  virtual int16_t ReceiveResponse(int32_t port, int16_t waitWhileBusy, int32_t timeoutMs, int16_t dsrCheck,
                                  QByteArray* code, QByteArray* status, QByteArray* data) = 0;
  virtual int16_t ReceiveData(int32_t port, int16_t dsrCheck, QByteArray* data, int16_t* length) = 0;
  virtual int16_t SendDataRR(int32_t port, int16_t retries, int32_t timeoutMs, int16_t dsrCheck,
                             const QByteArray& data, int16_t len, QByteArray* reply, int16_t* replyLength) = 0;
  virtual int16_t SendCommandRR(int32_t port, int16_t waitWhileBusy, int32_t timeoutMs, int32_t busyTimeoutMs,
                                int16_t dsrCheck, const QByteArray& code, const QByteArray& data, int16_t len,
                                QByteArray* replyCode, QByteArray* status, QByteArray* replyData) = 0;
  virtual int16_t SendDataBCC(int32_t port, int16_t waitAck, int16_t retries, int32_t timeoutMs,
                              int16_t dsrCheck, const QByteArray& data, int16_t len) = 0;
  virtual int16_t ReceiveDataBCC(int32_t port, int16_t acknowledge, int32_t timeoutMs, int16_t dsrCheck,
                                 QByteArray* data, int16_t* length) = 0;
  // kinds, codes and statuses: two entries each (first and following reply).
  virtual int16_t ReceiveDataBCCHF(int32_t port, int16_t follow, int32_t timeoutMs, int16_t dsrCheck,
                                   QByteArray* kind1, QByteArray* code1, QByteArray* status1, QByteArray* kind2,
                                   QByteArray* code2, QByteArray* status2, QByteArray* data,
                                   int16_t* length) = 0;
  virtual int16_t ComRXBufferClear(int32_t port) = 0;

  // Binary transactions. A report or buffer comes back cut to the length
  // the library reports.
  virtual int16_t SendBinaryCommandRR(int32_t port, int32_t sendTimeoutMs, int16_t retries, int16_t dsrCheck,
                                      int16_t ctsCheck, const QByteArray& data, int16_t len,
                                      int32_t receiveTimeoutMs, QByteArray* report, int16_t reportSize,
                                      int16_t* reportLength) = 0;
  virtual int16_t SendBinaryData(int32_t port, int32_t timeoutMs, int16_t retries, int16_t dsrCheck,
                                 int16_t ctsCheck, const QByteArray& data, int16_t len) = 0;
  virtual int16_t ReceiveBinaryReport(int32_t port, int32_t timeoutMs, int16_t retries, int16_t dsrCheck,
                                      int16_t ctsCheck, QByteArray* buffer, int16_t bufferSize,
                                      int16_t* received) = 0;
  virtual int16_t SendBinaryDataQR(int32_t port, int32_t timeoutMs, int16_t dsrCheck, int16_t ctsCheck,
                                   const QByteArray& data, int16_t len) = 0;
  virtual int16_t ReceiveBinaryData(int32_t port, int32_t timeoutMs, int16_t dsrCheck, QByteArray* buffer,
                                    int16_t bufferSize, int16_t* received) = 0;

  // Workers and line events. Callbacks run inside DispatchEvents on the
  // thread that first called the library for the port.
  virtual int16_t SetResponseEventProc(int32_t port, int16_t waitWhileBusy, int32_t timeoutMs,
                                       CrwResponseProc callback, int32_t userValue, int32_t eventMask) = 0;
  virtual int16_t SetReceiveBinaryEventProc(int32_t port, int32_t timeoutMs, CrwBinaryProc callback,
                                            int32_t userValue, int32_t eventMask) = 0;
  virtual int16_t SetCommEventProc(int32_t port, CrwCommEventProc callback, int32_t userValue,
                                   int32_t eventMask) = 0;
  // The calling thread's event descriptor (readable while callbacks wait),
  // -1 when it cannot be had.
  virtual int EventFd() = 0;
  // Runs the waiting callbacks of the calling thread; how many ran.
  virtual int DispatchEvents() = 0;

  // Line and handshake control.
  virtual int16_t ComDSRCTSsw(int32_t port, int16_t dsr, int16_t cts) = 0;
  virtual int16_t GetPortHandle(int32_t port, int32_t* handle) = 0;
  virtual int16_t SetHandshake(int32_t port, int16_t handshake) = 0;
  virtual int16_t GetHandshakeStatus(int32_t port, int16_t* handshake) = 0;
  virtual int16_t GetLineStatus(int32_t port, int16_t* cts, int16_t* dsr, int16_t* rlsd) = 0;
  virtual int16_t SetLineControl(int32_t port, int16_t dtr, int16_t rts, int16_t brk) = 0;

  // Enumeration: 1 found, 0 not (kLinkUnbound when the call cannot be made).
  virtual int32_t GetPortNames(QByteArray* names, int16_t* count) = 0;
  virtual int32_t GetComDevInfo(int32_t com, QByteArray* driverDesc, QByteArray* providerName,
                                QByteArray* driverDate, QByteArray* driverVersion) = 0;

  // Picture download; path as CP932 bytes (the library turns it into the
  // file system's UTF-8 before it opens the file).
  virtual int16_t PIDataSend(int32_t port, int16_t retries, int16_t dsrCheck, int16_t ctsCheck,
                             int16_t lastColumn, int16_t lastRow, int16_t startColumn, int16_t rowBase,
                             int32_t timeoutMs, int32_t recordBufferSize, const QByteArray& path,
                             QByteArray* replyCode, QByteArray* status) = 0;
  virtual int16_t IBBinarySend(int32_t port, int16_t retries, int16_t dsrCheck, int16_t ctsCheck,
                               int16_t lastColumn, int16_t lastRow, int16_t rowBase, int32_t timeoutMs,
                               int32_t blockBufferSize, const QByteArray& path, QByteArray* replyCode,
                               QByteArray* status) = 0;
};

// The binding in use: the library file of the program folder unless a test
// installed its own.
LinkApi& Link();
// Installs a binding (not owned); nullptr returns to the library file.
void SetLinkApi(LinkApi* api);

// The binding of a library file: loaded at the first call of any function,
// each function looked up at its own first call. Never fails loudly: a
// missing file or function makes every call that needs it answer
// kLinkUnbound (EventFd -1, DispatchEvents 0) and leaves its outputs empty.
std::unique_ptr<LinkApi> MakeLibraryLink(const QString& libraryPath);

}  // namespace quorel

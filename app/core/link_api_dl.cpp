// The binding of libvantor.so by name. The file is opened at the first call
// of any function and each function is looked up at its own first call, so a
// program whose folder lacks the file (or holds an older one without some
// function) starts and runs; only the calls that need what is missing fail,
// with kLinkUnbound.
#include <dlfcn.h>

#include <cerrno>

#include <QFile>

#include <algorithm>
#include <array>

#include "core/link_api.h"

namespace quorel {
namespace {

enum Fn {
  kOpenPort, kClosePort, kSendCommand, kSendDataWR, kSendDataQR, kReceiveResponse, kReceiveData, kSendDataRR,
  kSendCommandRR, kSendDataBCC, kReceiveDataBCC, kReceiveDataBCCHF, kComRXBufferClear, kSendBinaryCommandRR,
  kSendBinaryData, kReceiveBinaryReport, kSendBinaryDataQR, kReceiveBinaryData, kSetResponseEventProc,
  kSetReceiveBinaryEventProc, kSetCommEventProc, kEventFd, kDispatchEvents, kComDSRCTSsw, kGetPortHandle,
  kSetHandshake, kGetHandshakeStatus, kGetLineStatus, kSetLineControl, kGetPortNames, kGetComDevInfo,
  kPIDataSend, kIBBinarySend, kSysStringByteLen, kSysFreeString, kFnCount
};

constexpr std::array<const char*, kFnCount> kNames = {
    "crwOpenPort", "crwClosePort", "crwSendCommand", "crwSendDataWR", "crwSendDataQR", "crwReceiveResponse",
    "crwReceiveData", "crwSendDataRR", "crwSendCommandRR", "crwSendDataBCC", "crwReceiveDataBCC",
    "crwReceiveDataBCCHF", "crwComRXBufferClear", "crwSendBinaryCommandRR", "crwSendBinaryData",
    "crwReceiveBinaryReport", "crwSendBinaryDataQR", "crwReceiveBinaryData", "crwSetResponseEventProc",
    "crwSetReceiveBinaryEventProc", "crwSetCommEventProc", "vantorEventFd", "vantorDispatchEvents",
    "crwComDSRCTSsw", "crwGetPortHandle", "crwSetHandshake", "crwGetHandshakeStatus", "crwGetLineStatus",
    "crwSetLineControl", "crwGetPortNames", "crwGetComDevInfo", "crwPIDataSend", "crwIBBinarySend",
    "SysStringByteLen", "SysFreeString"};

// Null for an empty array: the library reads no bytes then (its length is 0).
const char* Bytes(const QByteArray& a) { return a.isNull() ? nullptr : a.constData(); }

class DlLinkApi : public LinkApi {
 public:
  explicit DlLinkApi(const QString& path) : path_(QFile::encodeName(path)) {}
  ~DlLinkApi() override {
    if (handle_) dlclose(handle_);
  }

  int16_t OpenPort(int32_t port, int32_t baud, const QByteArray& dataBits, const QByteArray& parity,
                   int* openError) override {
    auto f = Sym<decltype(&crwOpenPort)>(kOpenPort);
    // The library leaves the reason of a refused open in errno.
    errno = 0;
    const int16_t rc = f ? f(port, baud, dataBits.constData(), parity.constData()) : kLinkUnbound;
    const int reason = errno;
    Put(openError, rc == CRW_PORT_NOT_OPEN ? reason : 0);
    return rc;
  }
  int16_t ClosePort(int32_t port) override {
    auto f = Sym<decltype(&crwClosePort)>(kClosePort);
    return f ? f(port) : kLinkUnbound;
  }
  int16_t SendCommand(int32_t port, int32_t timeoutMs, int16_t dsrCheck, const QByteArray& code,
                      const QByteArray& data, int16_t len) override {
    auto f = Sym<decltype(&crwSendCommand)>(kSendCommand);
    return f ? f(port, timeoutMs, dsrCheck, code.constData(), Bytes(data), len) : kLinkUnbound;
  }
  int16_t SendDataWR(int32_t port, int32_t timeoutMs, int16_t dsrCheck, const QByteArray& data,
                     int16_t len) override {
    auto f = Sym<decltype(&crwSendDataWR)>(kSendDataWR);
    return f ? f(port, timeoutMs, dsrCheck, Bytes(data), len) : kLinkUnbound;
  }
  int16_t SendDataQR(int32_t port, int32_t timeoutMs, int16_t dsrCheck, const QByteArray& data,
                     int16_t len) override {
    auto f = Sym<decltype(&crwSendDataQR)>(kSendDataQR);
    return f ? f(port, timeoutMs, dsrCheck, Bytes(data), len) : kLinkUnbound;
  }
  int16_t ReceiveResponse(int32_t port, int16_t waitWhileBusy, int32_t timeoutMs, int16_t dsrCheck,
                          QByteArray* code, QByteArray* status, QByteArray* data) override {
    Slots<3> s;
    auto f = Sym<decltype(&crwReceiveResponse)>(kReceiveResponse);
    const int16_t rc = f ? f(port, waitWhileBusy, timeoutMs, dsrCheck, &s[0], &s[1], &s[2]) : kLinkUnbound;
    Take(s, {code, status, data});
    return rc;
  }
  int16_t ReceiveData(int32_t port, int16_t dsrCheck, QByteArray* data, int16_t* length) override {
    Slots<1> s;
    int16_t n = 0;
    auto f = Sym<decltype(&crwReceiveData)>(kReceiveData);
    const int16_t rc = f ? f(port, dsrCheck, &s[0], &n) : kLinkUnbound;
    Take(s, {data});
    Put(length, n);
    return rc;
  }
  int16_t SendDataRR(int32_t port, int16_t retries, int32_t timeoutMs, int16_t dsrCheck, const QByteArray& data,
                     int16_t len, QByteArray* reply, int16_t* replyLength) override {
    Slots<1> s;
    int16_t n = 0;
    auto f = Sym<decltype(&crwSendDataRR)>(kSendDataRR);
    const int16_t rc = f ? f(port, retries, timeoutMs, dsrCheck, Bytes(data), len, &s[0], &n) : kLinkUnbound;
    Take(s, {reply});
    Put(replyLength, n);
    return rc;
  }
  int16_t SendCommandRR(int32_t port, int16_t waitWhileBusy, int32_t timeoutMs, int32_t busyTimeoutMs,
                        int16_t dsrCheck, const QByteArray& code, const QByteArray& data, int16_t len,
                        QByteArray* replyCode, QByteArray* status, QByteArray* replyData) override {
    Slots<3> s;
    auto f = Sym<decltype(&crwSendCommandRR)>(kSendCommandRR);
    const int16_t rc = f ? f(port, waitWhileBusy, timeoutMs, busyTimeoutMs, dsrCheck, code.constData(), Bytes(data),
                             len, &s[0], &s[1], &s[2])
                         : kLinkUnbound;
    Take(s, {replyCode, status, replyData});
    return rc;
  }
  int16_t SendDataBCC(int32_t port, int16_t waitAck, int16_t retries, int32_t timeoutMs, int16_t dsrCheck,
                      const QByteArray& data, int16_t len) override {
    auto f = Sym<decltype(&crwSendDataBCC)>(kSendDataBCC);
    return f ? f(port, waitAck, retries, timeoutMs, dsrCheck, Bytes(data), len) : kLinkUnbound;
  }
  int16_t ReceiveDataBCC(int32_t port, int16_t acknowledge, int32_t timeoutMs, int16_t dsrCheck, QByteArray* data,
                         int16_t* length) override {
    Slots<1> s;
    int16_t n = 0;
    auto f = Sym<decltype(&crwReceiveDataBCC)>(kReceiveDataBCC);
    const int16_t rc = f ? f(port, acknowledge, timeoutMs, dsrCheck, &s[0], &n) : kLinkUnbound;
    Take(s, {data});
    Put(length, n);
    return rc;
  }
  int16_t ReceiveDataBCCHF(int32_t port, int16_t follow, int32_t timeoutMs, int16_t dsrCheck, QByteArray* kind1,
                           QByteArray* code1, QByteArray* status1, QByteArray* kind2, QByteArray* code2,
                           QByteArray* status2, QByteArray* data, int16_t* length) override {
    Slots<7> s;
    int16_t n = 0;
    auto f = Sym<decltype(&crwReceiveDataBCCHF)>(kReceiveDataBCCHF);
    const int16_t rc =
        f ? f(port, follow, timeoutMs, dsrCheck, &s[0], &s[1], &s[2], &s[3], &s[4], &s[5], &s[6], &n) : kLinkUnbound;
    Take(s, {kind1, code1, status1, kind2, code2, status2, data});
    Put(length, n);
    return rc;
  }
  int16_t ComRXBufferClear(int32_t port) override {
    auto f = Sym<decltype(&crwComRXBufferClear)>(kComRXBufferClear);
    return f ? f(port) : kLinkUnbound;
  }

  int16_t SendBinaryCommandRR(int32_t port, int32_t sendTimeoutMs, int16_t retries, int16_t dsrCheck,
                              int16_t ctsCheck, const QByteArray& data, int16_t len, int32_t receiveTimeoutMs,
                              QByteArray* report, int16_t reportSize, int16_t* reportLength) override {
    QByteArray buffer(std::max<int16_t>(reportSize, 0), '\0');
    int16_t n = 0;
    auto f = Sym<decltype(&crwSendBinaryCommandRR)>(kSendBinaryCommandRR);
    const int16_t rc = f ? f(port, sendTimeoutMs, retries, dsrCheck, ctsCheck, Bytes(data), len, receiveTimeoutMs,
                             buffer.data(), reportSize, &n)
                         : kLinkUnbound;
    Cut(buffer, n, report);
    Put(reportLength, n);
    return rc;
  }
  int16_t SendBinaryData(int32_t port, int32_t timeoutMs, int16_t retries, int16_t dsrCheck, int16_t ctsCheck,
                         const QByteArray& data, int16_t len) override {
    auto f = Sym<decltype(&crwSendBinaryData)>(kSendBinaryData);
    return f ? f(port, timeoutMs, retries, dsrCheck, ctsCheck, Bytes(data), len) : kLinkUnbound;
  }
  int16_t ReceiveBinaryReport(int32_t port, int32_t timeoutMs, int16_t retries, int16_t dsrCheck, int16_t ctsCheck,
                              QByteArray* buffer, int16_t bufferSize, int16_t* received) override {
    QByteArray bytes(std::max<int16_t>(bufferSize, 0), '\0');
    int16_t n = 0;
    auto f = Sym<decltype(&crwReceiveBinaryReport)>(kReceiveBinaryReport);
    const int16_t rc =
        f ? f(port, timeoutMs, retries, dsrCheck, ctsCheck, bytes.data(), bufferSize, &n) : kLinkUnbound;
    Cut(bytes, n, buffer);
    Put(received, n);
    return rc;
  }
  int16_t SendBinaryDataQR(int32_t port, int32_t timeoutMs, int16_t dsrCheck, int16_t ctsCheck,
                           const QByteArray& data, int16_t len) override {
    auto f = Sym<decltype(&crwSendBinaryDataQR)>(kSendBinaryDataQR);
    return f ? f(port, timeoutMs, dsrCheck, ctsCheck, Bytes(data), len) : kLinkUnbound;
  }
  int16_t ReceiveBinaryData(int32_t port, int32_t timeoutMs, int16_t dsrCheck, QByteArray* buffer,
                            int16_t bufferSize, int16_t* received) override {
    QByteArray bytes(std::max<int16_t>(bufferSize, 0), '\0');
    int16_t n = 0;
    auto f = Sym<decltype(&crwReceiveBinaryData)>(kReceiveBinaryData);
    const int16_t rc = f ? f(port, timeoutMs, dsrCheck, bytes.data(), bufferSize, &n) : kLinkUnbound;
    Cut(bytes, n, buffer);
    Put(received, n);
    return rc;
  }

  int16_t SetResponseEventProc(int32_t port, int16_t waitWhileBusy, int32_t timeoutMs, CrwResponseProc callback,
                               int32_t userValue, int32_t eventMask) override {
    auto f = Sym<decltype(&crwSetResponseEventProc)>(kSetResponseEventProc);
    return f ? f(port, waitWhileBusy, timeoutMs, callback, userValue, eventMask) : kLinkUnbound;
  }
  int16_t SetReceiveBinaryEventProc(int32_t port, int32_t timeoutMs, CrwBinaryProc callback, int32_t userValue,
                                    int32_t eventMask) override {
    auto f = Sym<decltype(&crwSetReceiveBinaryEventProc)>(kSetReceiveBinaryEventProc);
    return f ? f(port, timeoutMs, callback, userValue, eventMask) : kLinkUnbound;
  }
  int16_t SetCommEventProc(int32_t port, CrwCommEventProc callback, int32_t userValue,
                           int32_t eventMask) override {
    auto f = Sym<decltype(&crwSetCommEventProc)>(kSetCommEventProc);
    return f ? f(port, callback, userValue, eventMask) : kLinkUnbound;
  }
  int EventFd() override {
    auto f = Sym<decltype(&vantorEventFd)>(kEventFd);
    return f ? f() : -1;
  }
  int DispatchEvents() override {
    auto f = Sym<decltype(&vantorDispatchEvents)>(kDispatchEvents);
    return f ? f() : 0;
  }

  int16_t ComDSRCTSsw(int32_t port, int16_t dsr, int16_t cts) override {
    auto f = Sym<decltype(&crwComDSRCTSsw)>(kComDSRCTSsw);
    return f ? f(port, dsr, cts) : kLinkUnbound;
  }
  int16_t GetPortHandle(int32_t port, int32_t* handle) override {
    int32_t h = 0;
    auto f = Sym<decltype(&crwGetPortHandle)>(kGetPortHandle);
    const int16_t rc = f ? f(port, &h) : kLinkUnbound;
    Put(handle, h);
    return rc;
  }
  int16_t SetHandshake(int32_t port, int16_t handshake) override {
    auto f = Sym<decltype(&crwSetHandshake)>(kSetHandshake);
    return f ? f(port, handshake) : kLinkUnbound;
  }
  int16_t GetHandshakeStatus(int32_t port, int16_t* handshake) override {
    int16_t h = 0;
    auto f = Sym<decltype(&crwGetHandshakeStatus)>(kGetHandshakeStatus);
    const int16_t rc = f ? f(port, &h) : kLinkUnbound;
    Put(handshake, h);
    return rc;
  }
  int16_t GetLineStatus(int32_t port, int16_t* cts, int16_t* dsr, int16_t* rlsd) override {
    int16_t c = 0, d = 0, r = 0;
    auto f = Sym<decltype(&crwGetLineStatus)>(kGetLineStatus);
    const int16_t rc = f ? f(port, &c, &d, &r) : kLinkUnbound;
    Put(cts, c);
    Put(dsr, d);
    Put(rlsd, r);
    return rc;
  }
  int16_t SetLineControl(int32_t port, int16_t dtr, int16_t rts, int16_t brk) override {
    auto f = Sym<decltype(&crwSetLineControl)>(kSetLineControl);
    return f ? f(port, dtr, rts, brk) : kLinkUnbound;
  }

  int32_t GetPortNames(QByteArray* names, int16_t* count) override {
    Slots<1> s;
    int16_t n = 0;
    auto f = Sym<decltype(&crwGetPortNames)>(kGetPortNames);
    const int32_t rc = f ? f(&s[0], &n) : kLinkUnbound;
    Take(s, {names});
    Put(count, n);
    return rc;
  }
  int32_t GetComDevInfo(int32_t com, QByteArray* driverDesc, QByteArray* providerName, QByteArray* driverDate,
                        QByteArray* driverVersion) override {
    Slots<4> s;
    auto f = Sym<decltype(&crwGetComDevInfo)>(kGetComDevInfo);
    const int32_t rc = f ? f(com, &s[0], &s[1], &s[2], &s[3]) : kLinkUnbound;
    Take(s, {driverDesc, providerName, driverDate, driverVersion});
    return rc;
  }

  int16_t PIDataSend(int32_t port, int16_t retries, int16_t dsrCheck, int16_t ctsCheck, int16_t lastColumn,
                     int16_t lastRow, int16_t startColumn, int16_t rowBase, int32_t timeoutMs,
                     int32_t recordBufferSize, const QByteArray& path, QByteArray* replyCode,
                     QByteArray* status) override {
    Slots<2> s;
    auto f = Sym<decltype(&crwPIDataSend)>(kPIDataSend);
    const int16_t rc = f ? f(port, retries, dsrCheck, ctsCheck, lastColumn, lastRow, startColumn, rowBase, timeoutMs,
                             recordBufferSize, path.constData(), &s[0], &s[1])
                         : kLinkUnbound;
    Take(s, {replyCode, status});
    return rc;
  }
  int16_t IBBinarySend(int32_t port, int16_t retries, int16_t dsrCheck, int16_t ctsCheck, int16_t lastColumn,
                       int16_t lastRow, int16_t rowBase, int32_t timeoutMs, int32_t blockBufferSize,
                       const QByteArray& path, QByteArray* replyCode, QByteArray* status) override {
    Slots<2> s;
    auto f = Sym<decltype(&crwIBBinarySend)>(kIBBinarySend);
    const int16_t rc = f ? f(port, retries, dsrCheck, ctsCheck, lastColumn, lastRow, rowBase, timeoutMs,
                             blockBufferSize, path.constData(), &s[0], &s[1])
                         : kLinkUnbound;
    Take(s, {replyCode, status});
    return rc;
  }

 private:
  // String slots start empty: the library frees what a slot held before.
  template <size_t N>
  struct Slots {
    std::array<char*, N> p{};
    char*& operator[](size_t i) { return p[i]; }
  };

  void* Handle() {
    if (!triedOpen_) {
      triedOpen_ = true;
      handle_ = dlopen(path_.constData(), RTLD_NOW | RTLD_LOCAL);
    }
    return handle_;
  }

  template <typename F>
  F Sym(Fn fn) {
    if (!tried_[fn]) {
      tried_[fn] = true;
      if (void* h = Handle()) syms_[fn] = dlsym(h, kNames[fn]);
    }
    return reinterpret_cast<F>(syms_[fn]);
  }

  // Copies each slot's bytes into its output and frees the slot.
  template <size_t N>
  void Take(Slots<N>& s, std::initializer_list<QByteArray*> outs) {
    auto length = Sym<decltype(&SysStringByteLen)>(kSysStringByteLen);
    auto release = Sym<decltype(&SysFreeString)>(kSysFreeString);
    size_t i = 0;
    for (QByteArray* out : outs) {
      char* slot = s[i++];
      if (out) *out = slot && length ? QByteArray(slot, static_cast<qsizetype>(length(slot))) : QByteArray();
      if (slot && release) release(slot);
    }
  }

  template <typename T>
  static void Put(T* out, T value) {
    if (out) *out = value;
  }

  // The bytes the library reported, never more than the buffer held.
  static void Cut(QByteArray& bytes, int16_t n, QByteArray* out) {
    if (!out) return;
    bytes.truncate(std::clamp<qsizetype>(n, 0, bytes.size()));
    *out = bytes;
  }

  QByteArray path_;
  void* handle_ = nullptr;
  bool triedOpen_ = false;
  std::array<void*, kFnCount> syms_{};
  std::array<bool, kFnCount> tried_{};
};

}  // namespace

std::unique_ptr<LinkApi> MakeLibraryLink(const QString& libraryPath) {
  return std::make_unique<DlLinkApi>(libraryPath);
}

}  // namespace quorel

// A scripted stand-in for the library binding. Every call is recorded with
// its arguments; each answers the next result queued for its function (else
// the function's default: result 0, empty outputs). A result may block for a
// while first, as the library's waits do, and may run an action inside the
// call. Line events queued with FireLineEvent reach the registered callback
// through EventFd/DispatchEvents, as the library's do. Installs itself as
// the program's binding for its lifetime.
#pragma once
#include <QByteArray>
#include <QString>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "core/link_api.h"

namespace quorel::testing {

struct LinkCall {
  std::string fn;                // the export's name: "crwSendCommand"
  std::vector<QByteArray> args;  // inputs in order: numbers as decimal text, bytes as passed, callbacks "proc"/"0"
};

struct FakeResult {
  int32_t rc = 0;
  std::vector<QByteArray> out;   // string slots and buffers, in argument order
  std::vector<int32_t> nums;     // integer outputs (lengths, handle, line states), in argument order
  int delayMs = 0;               // the call blocks this long before it answers
  std::function<void()> during;  // runs inside the call, after the delay
};

class FakeLinkApi : public LinkApi {
 public:
  FakeLinkApi();
  ~FakeLinkApi() override;
  FakeLinkApi(const FakeLinkApi&) = delete;
  FakeLinkApi& operator=(const FakeLinkApi&) = delete;

  // The next call of fn answers r; results queue up in order.
  void Push(const std::string& fn, FakeResult r);
  void Push(const std::string& fn, int32_t rc, int delayMs = 0);
  // What calls of fn answer when nothing is queued.
  void SetDefault(const std::string& fn, FakeResult r);
  // A poll answer from the whole reply text ("AVS90data", "R0000", "BCI00"):
  // result 0, 1 or 2 by the kind letter, the code, status and data slots
  // filled with the text's CP932 bytes.
  static FakeResult Reply(const QString& replyText, int delayMs = 0);
  void PushReply(const QString& replyText, int delayMs = 0) { Push("crwReceiveResponse", Reply(replyText, delayMs)); }
  size_t Queued(const std::string& fn) const;

  // Queues a line event for the callback registered now; the event
  // descriptor stays readable until DispatchEvents runs it.
  void FireLineEvent(int32_t events);
  CrwCommEventProc commEventProc() const { return commProc_; }

  const std::vector<LinkCall>& calls() const { return calls_; }
  std::vector<LinkCall> CallsOf(const std::string& fn) const;
  int Count(const std::string& fn) const;
  // The code and data of every crwSendCommand, joined ("VS", "RSS").
  std::vector<QString> SentCommands() const;
  void ClearCalls() { calls_.clear(); }

  // nums[0]: the reason of a refused open.
  int16_t OpenPort(int32_t port, int32_t baud, const QByteArray& dataBits, const QByteArray& parity,
                   int* openError) override;
  int16_t ClosePort(int32_t port) override;
  int16_t SendCommand(int32_t port, int32_t timeoutMs, int16_t dsrCheck, const QByteArray& code,
                      const QByteArray& data, int16_t len) override;
  int16_t SendDataWR(int32_t port, int32_t timeoutMs, int16_t dsrCheck, const QByteArray& data,
                     int16_t len) override;
  int16_t SendDataQR(int32_t port, int32_t timeoutMs, int16_t dsrCheck, const QByteArray& data,
                     int16_t len) override;
  int16_t ReceiveResponse(int32_t port, int16_t waitWhileBusy, int32_t timeoutMs, int16_t dsrCheck,
                          QByteArray* code, QByteArray* status, QByteArray* data) override;
  int16_t ReceiveData(int32_t port, int16_t dsrCheck, QByteArray* data, int16_t* length) override;
  int16_t SendDataRR(int32_t port, int16_t retries, int32_t timeoutMs, int16_t dsrCheck, const QByteArray& data,
                     int16_t len, QByteArray* reply, int16_t* replyLength) override;
  int16_t SendCommandRR(int32_t port, int16_t waitWhileBusy, int32_t timeoutMs, int32_t busyTimeoutMs,
                        int16_t dsrCheck, const QByteArray& code, const QByteArray& data, int16_t len,
                        QByteArray* replyCode, QByteArray* status, QByteArray* replyData) override;
  int16_t SendDataBCC(int32_t port, int16_t waitAck, int16_t retries, int32_t timeoutMs, int16_t dsrCheck,
                      const QByteArray& data, int16_t len) override;
  int16_t ReceiveDataBCC(int32_t port, int16_t acknowledge, int32_t timeoutMs, int16_t dsrCheck, QByteArray* data,
                         int16_t* length) override;
  int16_t ReceiveDataBCCHF(int32_t port, int16_t follow, int32_t timeoutMs, int16_t dsrCheck, QByteArray* kind1,
                           QByteArray* code1, QByteArray* status1, QByteArray* kind2, QByteArray* code2,
                           QByteArray* status2, QByteArray* data, int16_t* length) override;
  int16_t ComRXBufferClear(int32_t port) override;
  int16_t SendBinaryCommandRR(int32_t port, int32_t sendTimeoutMs, int16_t retries, int16_t dsrCheck,
                              int16_t ctsCheck, const QByteArray& data, int16_t len, int32_t receiveTimeoutMs,
                              QByteArray* report, int16_t reportSize, int16_t* reportLength) override;
  int16_t SendBinaryData(int32_t port, int32_t timeoutMs, int16_t retries, int16_t dsrCheck, int16_t ctsCheck,
                         const QByteArray& data, int16_t len) override;
  int16_t ReceiveBinaryReport(int32_t port, int32_t timeoutMs, int16_t retries, int16_t dsrCheck, int16_t ctsCheck,
                              QByteArray* buffer, int16_t bufferSize, int16_t* received) override;
  int16_t SendBinaryDataQR(int32_t port, int32_t timeoutMs, int16_t dsrCheck, int16_t ctsCheck,
                           const QByteArray& data, int16_t len) override;
  int16_t ReceiveBinaryData(int32_t port, int32_t timeoutMs, int16_t dsrCheck, QByteArray* buffer,
                            int16_t bufferSize, int16_t* received) override;
  int16_t SetResponseEventProc(int32_t port, int16_t waitWhileBusy, int32_t timeoutMs, CrwResponseProc callback,
                               int32_t userValue, int32_t eventMask) override;
  int16_t SetReceiveBinaryEventProc(int32_t port, int32_t timeoutMs, CrwBinaryProc callback, int32_t userValue,
                                    int32_t eventMask) override;
  int16_t SetCommEventProc(int32_t port, CrwCommEventProc callback, int32_t userValue,
                           int32_t eventMask) override;
  int EventFd() override;
  int DispatchEvents() override;
  int16_t ComDSRCTSsw(int32_t port, int16_t dsr, int16_t cts) override;
  int16_t GetPortHandle(int32_t port, int32_t* handle) override;
  int16_t SetHandshake(int32_t port, int16_t handshake) override;
  int16_t GetHandshakeStatus(int32_t port, int16_t* handshake) override;
  int16_t GetLineStatus(int32_t port, int16_t* cts, int16_t* dsr, int16_t* rlsd) override;
  int16_t SetLineControl(int32_t port, int16_t dtr, int16_t rts, int16_t brk) override;
  int32_t GetPortNames(QByteArray* names, int16_t* count) override;
  int32_t GetComDevInfo(int32_t com, QByteArray* driverDesc, QByteArray* providerName, QByteArray* driverDate,
                        QByteArray* driverVersion) override;
  int16_t PIDataSend(int32_t port, int16_t retries, int16_t dsrCheck, int16_t ctsCheck, int16_t lastColumn,
                     int16_t lastRow, int16_t startColumn, int16_t rowBase, int32_t timeoutMs,
                     int32_t recordBufferSize, const QByteArray& path, QByteArray* replyCode,
                     QByteArray* status) override;
  int16_t IBBinarySend(int32_t port, int16_t retries, int16_t dsrCheck, int16_t ctsCheck, int16_t lastColumn,
                       int16_t lastRow, int16_t rowBase, int32_t timeoutMs, int32_t blockBufferSize,
                       const QByteArray& path, QByteArray* replyCode, QByteArray* status) override;

 private:
  // Records the call, then takes its result (delay and action done).
  FakeResult Call(const char* fn, std::vector<QByteArray> args);

  std::vector<LinkCall> calls_;
  std::map<std::string, std::deque<FakeResult>> queued_;
  std::map<std::string, FakeResult> defaults_;
  CrwCommEventProc commProc_ = nullptr;
  int32_t commPort_ = 0;
  int32_t commUser_ = 0;
  std::deque<int32_t> events_;
  int eventFd_ = -1;
};

}  // namespace quorel::testing

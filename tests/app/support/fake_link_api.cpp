#include "fake_link_api.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "core/cp932_codec.h"

namespace quorel::testing {
namespace {

QByteArray N(int64_t v) { return QByteArray::number(static_cast<qlonglong>(v)); }

QByteArray Out(const FakeResult& r, size_t i) { return i < r.out.size() ? r.out[i] : QByteArray(); }

template <typename T>
void Num(const FakeResult& r, size_t i, T* out) {
  if (out) *out = static_cast<T>(i < r.nums.size() ? r.nums[i] : 0);
}

void Set(QByteArray* out, const QByteArray& v) {
  if (out) *out = v;
}

}  // namespace

FakeLinkApi::FakeLinkApi() {
  eventFd_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  SetLinkApi(this);
}

FakeLinkApi::~FakeLinkApi() {
  SetLinkApi(nullptr);
  if (eventFd_ >= 0) close(eventFd_);
}

void FakeLinkApi::Push(const std::string& fn, FakeResult r) { queued_[fn].push_back(std::move(r)); }

void FakeLinkApi::Push(const std::string& fn, int32_t rc, int delayMs) {
  FakeResult r;
  r.rc = rc;
  r.delayMs = delayMs;
  Push(fn, std::move(r));
}

void FakeLinkApi::SetDefault(const std::string& fn, FakeResult r) { defaults_[fn] = std::move(r); }

FakeResult FakeLinkApi::Reply(const QString& replyText, int delayMs) {
  FakeResult r;
  const QChar kind = replyText.isEmpty() ? QChar() : replyText.at(0);
  r.rc = kind == QLatin1Char('R') ? 1 : kind == QLatin1Char('B') ? 2 : 0;
  r.out = {cp932::Encode(replyText.mid(1, 2)), cp932::Encode(replyText.mid(3, 2)), cp932::Encode(replyText.mid(5))};
  r.delayMs = delayMs;
  return r;
}

size_t FakeLinkApi::Queued(const std::string& fn) const {
  const auto it = queued_.find(fn);
  return it == queued_.end() ? 0 : it->second.size();
}

void FakeLinkApi::FireLineEvent(int32_t events) {
  events_.push_back(events);
  const uint64_t one = 1;
  (void)!write(eventFd_, &one, sizeof one);
}

std::vector<LinkCall> FakeLinkApi::CallsOf(const std::string& fn) const {
  std::vector<LinkCall> out;
  std::copy_if(calls_.begin(), calls_.end(), std::back_inserter(out), [&](const LinkCall& c) { return c.fn == fn; });
  return out;
}

int FakeLinkApi::Count(const std::string& fn) const {
  return static_cast<int>(std::count_if(calls_.begin(), calls_.end(), [&](const LinkCall& c) { return c.fn == fn; }));
}

std::vector<QString> FakeLinkApi::SentCommands() const {
  std::vector<QString> out;
  for (const LinkCall& c : calls_)
    if (c.fn == "crwSendCommand") out.push_back(cp932::Decode(c.args[3] + c.args[4]));
  return out;
}

FakeResult FakeLinkApi::Call(const char* fn, std::vector<QByteArray> args) {
  calls_.push_back({fn, std::move(args)});
  FakeResult r;
  auto q = queued_.find(fn);
  if (q != queued_.end() && !q->second.empty()) {
    r = std::move(q->second.front());
    q->second.pop_front();
  } else if (auto d = defaults_.find(fn); d != defaults_.end()) {
    r = d->second;
  }
  if (r.delayMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(r.delayMs));
  if (r.during) r.during();
  return r;
}

int16_t FakeLinkApi::OpenPort(int32_t port, int32_t baud, const QByteArray& dataBits, const QByteArray& parity,
                              int* openError) {
  const FakeResult r = Call("crwOpenPort", {N(port), N(baud), dataBits, parity});
  Num(r, 0, openError);
  return static_cast<int16_t>(r.rc);
}

int16_t FakeLinkApi::ClosePort(int32_t port) { return static_cast<int16_t>(Call("crwClosePort", {N(port)}).rc); }

int16_t FakeLinkApi::SendCommand(int32_t port, int32_t timeoutMs, int16_t dsrCheck, const QByteArray& code,
                                 const QByteArray& data, int16_t len) {
  return static_cast<int16_t>(
      Call("crwSendCommand", {N(port), N(timeoutMs), N(dsrCheck), code, data, N(len)}).rc);
}

int16_t FakeLinkApi::SendDataWR(int32_t port, int32_t timeoutMs, int16_t dsrCheck, const QByteArray& data,
                                int16_t len) {
  return static_cast<int16_t>(Call("crwSendDataWR", {N(port), N(timeoutMs), N(dsrCheck), data, N(len)}).rc);
}

int16_t FakeLinkApi::SendDataQR(int32_t port, int32_t timeoutMs, int16_t dsrCheck, const QByteArray& data,
                                int16_t len) {
  return static_cast<int16_t>(Call("crwSendDataQR", {N(port), N(timeoutMs), N(dsrCheck), data, N(len)}).rc);
}

int16_t FakeLinkApi::ReceiveResponse(int32_t port, int16_t waitWhileBusy, int32_t timeoutMs, int16_t dsrCheck,
                                     QByteArray* code, QByteArray* status, QByteArray* data) {
  const FakeResult r = Call("crwReceiveResponse", {N(port), N(waitWhileBusy), N(timeoutMs), N(dsrCheck)});
  Set(code, Out(r, 0));
  Set(status, Out(r, 1));
  Set(data, Out(r, 2));
  return static_cast<int16_t>(r.rc);
}

int16_t FakeLinkApi::ReceiveData(int32_t port, int16_t dsrCheck, QByteArray* data, int16_t* length) {
  const FakeResult r = Call("crwReceiveData", {N(port), N(dsrCheck)});
  Set(data, Out(r, 0));
  Num(r, 0, length);
  return static_cast<int16_t>(r.rc);
}

int16_t FakeLinkApi::SendDataRR(int32_t port, int16_t retries, int32_t timeoutMs, int16_t dsrCheck,
                                const QByteArray& data, int16_t len, QByteArray* reply, int16_t* replyLength) {
  const FakeResult r = Call("crwSendDataRR", {N(port), N(retries), N(timeoutMs), N(dsrCheck), data, N(len)});
  Set(reply, Out(r, 0));
  Num(r, 0, replyLength);
  return static_cast<int16_t>(r.rc);
}

int16_t FakeLinkApi::SendCommandRR(int32_t port, int16_t waitWhileBusy, int32_t timeoutMs, int32_t busyTimeoutMs,
                                   int16_t dsrCheck, const QByteArray& code, const QByteArray& data, int16_t len,
                                   QByteArray* replyCode, QByteArray* status, QByteArray* replyData) {
  const FakeResult r = Call("crwSendCommandRR", {N(port), N(waitWhileBusy), N(timeoutMs), N(busyTimeoutMs),
                                                 N(dsrCheck), code, data, N(len)});
  Set(replyCode, Out(r, 0));
  Set(status, Out(r, 1));
  Set(replyData, Out(r, 2));
  return static_cast<int16_t>(r.rc);
}

int16_t FakeLinkApi::SendDataBCC(int32_t port, int16_t waitAck, int16_t retries, int32_t timeoutMs,
                                 int16_t dsrCheck, const QByteArray& data, int16_t len) {
  return static_cast<int16_t>(
      Call("crwSendDataBCC", {N(port), N(waitAck), N(retries), N(timeoutMs), N(dsrCheck), data, N(len)}).rc);
}

int16_t FakeLinkApi::ReceiveDataBCC(int32_t port, int16_t acknowledge, int32_t timeoutMs, int16_t dsrCheck,
                                    QByteArray* data, int16_t* length) {
  const FakeResult r = Call("crwReceiveDataBCC", {N(port), N(acknowledge), N(timeoutMs), N(dsrCheck)});
  Set(data, Out(r, 0));
  Num(r, 0, length);
  return static_cast<int16_t>(r.rc);
}

int16_t FakeLinkApi::ReceiveDataBCCHF(int32_t port, int16_t follow, int32_t timeoutMs, int16_t dsrCheck,
                                      QByteArray* kind1, QByteArray* code1, QByteArray* status1, QByteArray* kind2,
                                      QByteArray* code2, QByteArray* status2, QByteArray* data, int16_t* length) {
  const FakeResult r = Call("crwReceiveDataBCCHF", {N(port), N(follow), N(timeoutMs), N(dsrCheck)});
  QByteArray* outs[] = {kind1, code1, status1, kind2, code2, status2, data};
  for (size_t i = 0; i < 7; ++i) Set(outs[i], Out(r, i));
  Num(r, 0, length);
  return static_cast<int16_t>(r.rc);
}

int16_t FakeLinkApi::ComRXBufferClear(int32_t port) {
  return static_cast<int16_t>(Call("crwComRXBufferClear", {N(port)}).rc);
}

int16_t FakeLinkApi::SendBinaryCommandRR(int32_t port, int32_t sendTimeoutMs, int16_t retries, int16_t dsrCheck,
                                         int16_t ctsCheck, const QByteArray& data, int16_t len,
                                         int32_t receiveTimeoutMs, QByteArray* report, int16_t reportSize,
                                         int16_t* reportLength) {
  const FakeResult r = Call("crwSendBinaryCommandRR", {N(port), N(sendTimeoutMs), N(retries), N(dsrCheck),
                                                       N(ctsCheck), data, N(len), N(receiveTimeoutMs), N(reportSize)});
  Set(report, Out(r, 0));
  Num(r, 0, reportLength);
  return static_cast<int16_t>(r.rc);
}

int16_t FakeLinkApi::SendBinaryData(int32_t port, int32_t timeoutMs, int16_t retries, int16_t dsrCheck,
                                    int16_t ctsCheck, const QByteArray& data, int16_t len) {
  return static_cast<int16_t>(
      Call("crwSendBinaryData", {N(port), N(timeoutMs), N(retries), N(dsrCheck), N(ctsCheck), data, N(len)}).rc);
}

int16_t FakeLinkApi::ReceiveBinaryReport(int32_t port, int32_t timeoutMs, int16_t retries, int16_t dsrCheck,
                                         int16_t ctsCheck, QByteArray* buffer, int16_t bufferSize,
                                         int16_t* received) {
  const FakeResult r = Call("crwReceiveBinaryReport",
                            {N(port), N(timeoutMs), N(retries), N(dsrCheck), N(ctsCheck), N(bufferSize)});
  Set(buffer, Out(r, 0));
  Num(r, 0, received);
  return static_cast<int16_t>(r.rc);
}

int16_t FakeLinkApi::SendBinaryDataQR(int32_t port, int32_t timeoutMs, int16_t dsrCheck, int16_t ctsCheck,
                                      const QByteArray& data, int16_t len) {
  return static_cast<int16_t>(
      Call("crwSendBinaryDataQR", {N(port), N(timeoutMs), N(dsrCheck), N(ctsCheck), data, N(len)}).rc);
}

int16_t FakeLinkApi::ReceiveBinaryData(int32_t port, int32_t timeoutMs, int16_t dsrCheck, QByteArray* buffer,
                                       int16_t bufferSize, int16_t* received) {
  const FakeResult r = Call("crwReceiveBinaryData", {N(port), N(timeoutMs), N(dsrCheck), N(bufferSize)});
  Set(buffer, Out(r, 0));
  Num(r, 0, received);
  return static_cast<int16_t>(r.rc);
}

int16_t FakeLinkApi::SetResponseEventProc(int32_t port, int16_t waitWhileBusy, int32_t timeoutMs,
                                          CrwResponseProc callback, int32_t userValue, int32_t eventMask) {
  return static_cast<int16_t>(Call("crwSetResponseEventProc", {N(port), N(waitWhileBusy), N(timeoutMs),
                                                               callback ? "proc" : "0", N(userValue), N(eventMask)})
                                  .rc);
}

int16_t FakeLinkApi::SetReceiveBinaryEventProc(int32_t port, int32_t timeoutMs, CrwBinaryProc callback,
                                               int32_t userValue, int32_t eventMask) {
  return static_cast<int16_t>(
      Call("crwSetReceiveBinaryEventProc", {N(port), N(timeoutMs), callback ? "proc" : "0", N(userValue),
                                            N(eventMask)})
          .rc);
}

int16_t FakeLinkApi::SetCommEventProc(int32_t port, CrwCommEventProc callback, int32_t userValue,
                                      int32_t eventMask) {
  const FakeResult r =
      Call("crwSetCommEventProc", {N(port), callback ? "proc" : "0", N(userValue), N(eventMask)});
  commProc_ = callback;
  commPort_ = port;
  commUser_ = userValue;
  return static_cast<int16_t>(r.rc);
}

// Not recorded: the channel asks for them on every event pass.
int FakeLinkApi::EventFd() { return eventFd_; }

int FakeLinkApi::DispatchEvents() {
  uint64_t count = 0;
  (void)!read(eventFd_, &count, sizeof count);
  int ran = 0;
  while (!events_.empty()) {
    const int32_t events = events_.front();
    events_.pop_front();
    if (!commProc_) continue;
    commProc_(static_cast<int16_t>(commPort_), 0, events, commUser_);
    ++ran;
  }
  return ran;
}

int16_t FakeLinkApi::ComDSRCTSsw(int32_t port, int16_t dsr, int16_t cts) {
  return static_cast<int16_t>(Call("crwComDSRCTSsw", {N(port), N(dsr), N(cts)}).rc);
}

int16_t FakeLinkApi::GetPortHandle(int32_t port, int32_t* handle) {
  const FakeResult r = Call("crwGetPortHandle", {N(port)});
  Num(r, 0, handle);
  return static_cast<int16_t>(r.rc);
}

int16_t FakeLinkApi::SetHandshake(int32_t port, int16_t handshake) {
  return static_cast<int16_t>(Call("crwSetHandshake", {N(port), N(handshake)}).rc);
}

int16_t FakeLinkApi::GetHandshakeStatus(int32_t port, int16_t* handshake) {
  const FakeResult r = Call("crwGetHandshakeStatus", {N(port)});
  Num(r, 0, handshake);
  return static_cast<int16_t>(r.rc);
}

int16_t FakeLinkApi::GetLineStatus(int32_t port, int16_t* cts, int16_t* dsr, int16_t* rlsd) {
  const FakeResult r = Call("crwGetLineStatus", {N(port)});
  Num(r, 0, cts);
  Num(r, 1, dsr);
  Num(r, 2, rlsd);
  return static_cast<int16_t>(r.rc);
}

int16_t FakeLinkApi::SetLineControl(int32_t port, int16_t dtr, int16_t rts, int16_t brk) {
  return static_cast<int16_t>(Call("crwSetLineControl", {N(port), N(dtr), N(rts), N(brk)}).rc);
}

int32_t FakeLinkApi::GetPortNames(QByteArray* names, int16_t* count) {
  const FakeResult r = Call("crwGetPortNames", {});
  Set(names, Out(r, 0));
  Num(r, 0, count);
  return r.rc;
}

int32_t FakeLinkApi::GetComDevInfo(int32_t com, QByteArray* driverDesc, QByteArray* providerName,
                                   QByteArray* driverDate, QByteArray* driverVersion) {
  const FakeResult r = Call("crwGetComDevInfo", {N(com)});
  Set(driverDesc, Out(r, 0));
  Set(providerName, Out(r, 1));
  Set(driverDate, Out(r, 2));
  Set(driverVersion, Out(r, 3));
  return r.rc;
}

int16_t FakeLinkApi::PIDataSend(int32_t port, int16_t retries, int16_t dsrCheck, int16_t ctsCheck,
                                int16_t lastColumn, int16_t lastRow, int16_t startColumn, int16_t rowBase,
                                int32_t timeoutMs, int32_t recordBufferSize, const QByteArray& path,
                                QByteArray* replyCode, QByteArray* status) {
  const FakeResult r =
      Call("crwPIDataSend", {N(port), N(retries), N(dsrCheck), N(ctsCheck), N(lastColumn), N(lastRow),
                             N(startColumn), N(rowBase), N(timeoutMs), N(recordBufferSize), path});
  Set(replyCode, Out(r, 0));
  Set(status, Out(r, 1));
  return static_cast<int16_t>(r.rc);
}

int16_t FakeLinkApi::IBBinarySend(int32_t port, int16_t retries, int16_t dsrCheck, int16_t ctsCheck,
                                  int16_t lastColumn, int16_t lastRow, int16_t rowBase, int32_t timeoutMs,
                                  int32_t blockBufferSize, const QByteArray& path, QByteArray* replyCode,
                                  QByteArray* status) {
  const FakeResult r = Call("crwIBBinarySend", {N(port), N(retries), N(dsrCheck), N(ctsCheck), N(lastColumn),
                                                N(lastRow), N(rowBase), N(timeoutMs), N(blockBufferSize), path});
  Set(replyCode, Out(r, 0));
  Set(status, Out(r, 1));
  return static_cast<int16_t>(r.rc);
}

}  // namespace quorel::testing

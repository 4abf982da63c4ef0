// One port number of the library: its settings, log, serial line, locks and
// every operation the exports hand to it. The operations live in one file
// per concern:
//   comm_port.cpp     construction, open, close, the common checks
//   port_line_io.cpp  WriteComm, ReadComm, ReadCommHF, NAK-and-reread
//   port_text.cpp     the text-frame transactions
// and the binary transactions, workers, line events and line control in
// files of their own.
#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

#include "comm_logger.h"
#include "platform/serial_line.h"
#include "vantor.h"
#include "wire/codec.h"

namespace plat {
class Mailbox;
}

namespace vantor {

class CallTrace;

// Largest number of bytes one read collects (the driver's queue size too).
constexpr size_t kReceiveCapacity = wire::kMaxFrame;

// What ReadComm waits for.
enum class ReadMode {
  Ack,    // one ACK or NAK
  Frame,  // one STX ... ETX BCC frame (or, with a negative time-out, whatever comes)
};

// Sets the in-transaction flag for the life of the object.
class TransactionMark {
 public:
  explicit TransactionMark(std::atomic<int32_t>& flag) : flag_(flag) { flag_.store(1); }
  ~TransactionMark() { flag_.store(0); }
  TransactionMark(const TransactionMark&) = delete;
  TransactionMark& operator=(const TransactionMark&) = delete;

 private:
  std::atomic<int32_t>& flag_;
};

class CCommPort {
 public:
  enum State : int32_t { kClosed = 1, kOpen = 2 };

  // Reads Vantor.ini, starts the log (with the library's version line) and
  // binds the port to the calling thread's mailbox.
  explicit CCommPort(int16_t port);
  // Closes a port that is still open, quietly.
  ~CCommPort();
  CCommPort(const CCommPort&) = delete;
  CCommPort& operator=(const CCommPort&) = delete;

  int16_t port() const { return port_; }
  CCommLogger& logger() const { return *log_; }
  bool isOpen() const { return state_.load() == kOpen; }

  // ---- open and close (comm_port.cpp) ----
  int16_t OpenPort(int32_t baud, const char* dataBits, const char* parity);
  int16_t ClosePort();
  // The library's unload: ends the threads and closes the line without a
  // log line or an event.
  void CloseQuietly();

  // ---- text-frame transactions (port_text.cpp) ----
  int16_t SendCommand(int32_t timeoutMs, int16_t dsrCheck, const char* code, const char* data,
                      int16_t len);
  int16_t SendDataWR(int32_t timeoutMs, int16_t dsrCheck, const char* data, int16_t len);
  int16_t SendDataQR(int32_t timeoutMs, int16_t dsrCheck, const char* data, int16_t len);
  int16_t ReceiveResponse(int16_t waitWhileBusy, int32_t timeoutMs, int16_t dsrCheck, char** code,
                          char** status, char** data);
  int16_t ReceiveData(int16_t dsrCheck, char** data, int16_t* length);
  int16_t SendDataRR(int16_t retries, int32_t timeoutMs, int16_t dsrCheck, const char* data,
                     int16_t len, char** reply, int16_t* replyLength);
  int16_t SendDataBCC(int16_t waitAck, int16_t retries, int32_t timeoutMs, int16_t dsrCheck,
                      const char* data, int16_t len);
  int16_t ReceiveDataBCC(int16_t acknowledge, int32_t timeoutMs, int16_t dsrCheck, char** data,
                         int16_t* length);
  int16_t ReceiveDataBCCHF(int16_t follow, int32_t timeoutMs, int16_t dsrCheck, char** kind1,
                           char** code1, char** status1, char** kind2, char** code2,
                           char** status2, char** data, int16_t* length);
  int16_t ComRXBufferClear();
  int16_t SendCommandRR(int16_t waitWhileBusy, int32_t timeoutMs, int32_t busyTimeoutMs,
                        int16_t dsrCheck, const char* code, const char* data, int16_t len,
                        char** replyCode, char** status, char** replyData);

  // ---- line routines (port_line_io.cpp) ----
  // Called with the per-call lock held, or by a worker while every
  // synchronous call is refused. Each logs the error it ends with.
  //
  // Writes all bytes: 0, 111 CTS, 112 DSR, 200 write failed or line gone.
  int16_t WriteComm(const uint8_t* bytes, size_t count, int32_t timeoutMs, bool dsrCheck);
  // One byte per read. Ack: the ACK or NAK byte. Frame: the last complete
  // frame, found when the line falls quiet; with a negative time-out all
  // bytes received up to the first quiet read. 0, 110, 112, 130 (the
  // receive buffer filled without an answer), 201.
  int16_t ReadComm(ReadMode mode, int32_t timeoutMs, bool dsrCheck, wire::Bytes* out);
  // One frame of at most limit bytes, delivered as soon as its BCC arrives.
  // 0, 110, 112, 201.
  int16_t ReadCommHF(size_t limit, int32_t timeoutMs, bool dsrCheck, wire::Bytes* out);
  // After a frame with a wrong BCC: up to three rounds of NAK and a new
  // frame into *frame. 0, 120 or a line routine's code.
  int16_t NakAndReread(int32_t timeoutMs, bool dsrCheck, wire::Bytes* frame);
  // A reply frame; a wrong BCC is answered by NAK-and-reread.
  int16_t ReadCheckedFrame(int32_t timeoutMs, bool dsrCheck, wire::Bytes* frame);
  // The modem input lines; off when the status cannot be read.
  bool DsrOn() const;
  bool CtsOn() const;

 private:
  // How a wait for a modem line ended.
  enum class LineWait { On, TimedOut, HungUp };
  // Waits while the line (a plat::kModem* bit) is off, reading the status
  // about once a millisecond, for at most limitMs.
  LineWait WaitModemLine(uint32_t bit, int32_t limitMs) const;
  // Logs "[Error]Dump Receive Data" and the bytes received so far.
  void DumpReceiveError(const wire::Bytes& rx);
  // The common refusals of a transaction, logged: 101 while closed, 140
  // while a worker holds the port (when testBusy); 0 to go on.
  int16_t CheckReady(CallTrace& t, bool testBusy);
  // The try loop of the acknowledged data senders: 0 on ACK, else 1 (NAK),
  // 110 or the error that ended it.
  int16_t SendWithRetries(const wire::Bytes& frame, int16_t retries, int32_t timeoutMs,
                          bool dsrCheck);
  // Ends the worker and the line-event thread, closes the line, marks the
  // port closed. Called with the per-call lock held.
  void ReleaseLine();
  void StopWorkerQuietly();
  void StopLineEvents();
  // Starts the line-event thread of an open port.
  void StartLineEvents();

  // Members in the order of the port's data model.
  std::mutex callLock_;  // held by every operation for its whole run
  std::unique_ptr<plat::SerialLine> line_;  // the open device; set only while open
  const int16_t port_;
  std::unique_ptr<CCommLogger> log_;
  int32_t delayMs_ = 0;  // pause before every write
  std::atomic<int32_t> state_{kClosed};
  int32_t writeTimeoutMs_ = 5000;  // the driver's total write time-out

  // Response or binary worker; while workerBusy_ is set, transactions get 140.
  std::thread workerThread_;
  std::atomic<bool> workerBusy_{false};
  std::atomic<int32_t> workerStop_{0};
  std::mutex workerLock_;  // guards workerStop_
  // Line-event thread, from open to close.
  std::thread lineThread_;
  std::atomic<int32_t> lineStop_{0};
  std::mutex lineLock_;  // guards lineStop_

  std::atomic<int32_t> workerKind_{0};  // 1001 response, 1002 binary
  std::atomic<int32_t> quiet_{0};       // the worker ends without an event
  std::atomic<int16_t> workerWaitWhileBusy_{0};
  std::atomic<int32_t> workerTimeoutMs_{0};
  std::atomic<bool> workerDsrCheck_{false};
  std::atomic<bool> workerCtsCheck_{false};

  std::atomic<CrwResponseProc> responseProc_{nullptr};
  std::atomic<CrwBinaryProc> binaryProc_{nullptr};
  std::atomic<CrwCommEventProc> lineProc_{nullptr};
  std::atomic<int32_t> userValue_{0};
  std::atomic<int32_t> workerMask_{0};
  std::atomic<int32_t> lineMask_{0};

  std::atomic<int32_t> inTransaction_{0};  // a synchronous transaction runs
  std::atomic<int16_t> handshake_{1};      // DTR/RTS handshake at the next open

  // The creating thread's mailbox: callbacks run there.
  std::shared_ptr<plat::Mailbox> mailbox_;
};

}  // namespace vantor

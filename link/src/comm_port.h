// One port number of the library: its settings, log, serial line, locks and
// every operation the exports hand to it. The operations live in one file
// per concern:
//   comm_port.cpp     construction, open, close, the common checks
//   port_line_io.cpp  WriteComm, ReadComm, ReadCommHF, NAK-and-reread
//   port_text.cpp     the text-frame transactions
//   port_binary_io.cpp  WriteCommForBinary, ReadCommForBinary,
//                       ReadCommForUnformattedBinary
//   port_binary.cpp   the binary-frame transactions
//   port_workers.cpp  the registrations and the response and binary workers
//   port_events.cpp   event records and DispatchCallback
//   line_events.cpp   the line-event thread
//   port_lines.cpp    line and handshake control
#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

#include "comm_logger.h"
#include "platform/serial_line.h"
#include "platform/wake_event.h"
#include "vantor.h"
#include "wire/codec.h"

namespace plat {
class Mailbox;
}

namespace vantor {

class CallTrace;

// One look of the line-event thread at the line.
struct LineSample {
  uint32_t modem = 0;  // plat::kModem* bits
  plat::LineCounters counters;
  int inQueue = 0;
  int outQueue = 0;
  uint32_t writes = 0;  // the port's write count
};

// Largest number of bytes one read collects (the driver's queue size too).
constexpr size_t kReceiveCapacity = wire::kMaxFrame;

// What ReadComm waits for.
enum class ReadMode {
  Ack,    // one ACK or NAK
  Frame,  // one STX ... ETX BCC frame (or, with a negative time-out, whatever comes)
};

// A read of a worker that ended because the worker was asked to stop; never
// reaches a caller.
constexpr int16_t kStopped = -1;

// Kinds of event records (and of workers).
enum EventKind : int16_t { kResponseEvent = 1001, kBinaryEvent = 1002, kLineEvent = 1003 };

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
  // On 101 *openError (when given) holds the errno of the failed open,
  // ENODEV when the number maps to no device file.
  int16_t OpenPort(int32_t baud, const char* dataBits, const char* parity, int* openError = nullptr);
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

  // ---- binary-frame transactions (port_binary.cpp) ----
  int16_t SendBinaryCommandRR(int32_t sendTimeoutMs, int16_t retries, int16_t dsrCheck,
                              int16_t ctsCheck, const void* data, int16_t len,
                              int32_t receiveTimeoutMs, void* report, int16_t reportSize,
                              int16_t* reportLength);
  int16_t SendBinaryData(int32_t timeoutMs, int16_t retries, int16_t dsrCheck, int16_t ctsCheck,
                         const void* data, int16_t len);
  int16_t ReceiveBinaryReport(int32_t timeoutMs, int16_t retries, int16_t dsrCheck, int16_t ctsCheck,
                              void* buffer, int16_t bufferSize, int16_t* received);
  int16_t SendBinaryDataQR(int32_t timeoutMs, int16_t dsrCheck, int16_t ctsCheck, const void* data,
                           int16_t len);
  int16_t ReceiveBinaryData(int32_t timeoutMs, int16_t dsrCheck, void* buffer, int16_t bufferSize,
                            int16_t* received);

  // ---- registrations (port_workers.cpp) ----
  int16_t SetResponseEventProc(int16_t waitWhileBusy, int32_t timeoutMs, CrwResponseProc callback,
                               int32_t userValue, int32_t eventMask);
  int16_t SetReceiveBinaryEventProc(int32_t timeoutMs, CrwBinaryProc callback, int32_t userValue,
                                    int32_t eventMask);
  int16_t SetCommEventProc(CrwCommEventProc callback, int32_t userValue, int32_t eventMask);

  // ---- line and handshake control (port_lines.cpp) ----
  int16_t ComDSRCTSsw(int16_t dsr, int16_t cts);
  int16_t GetPortHandle(int32_t* handle);
  int16_t SetHandshake(int16_t handshake);
  int16_t GetHandshakeStatus(int16_t* handshake);
  int16_t GetLineStatus(int16_t* cts, int16_t* dsr, int16_t* rlsd);
  int16_t SetLineControl(int16_t dtr, int16_t rts, int16_t brk);

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

  // ---- binary line routines (port_binary_io.cpp) ----
  // Writes all bytes: 0, 111 CTS, 112 DSR, 200.
  int16_t WriteCommForBinary(const uint8_t* bytes, size_t count, int32_t timeoutMs, bool dsrCheck,
                             bool ctsCheck);
  // One SYN frame (unstuffed) or one control pair; capacity 2 reads an
  // answer pair. At most capacity bytes are delivered. 0, 110, 112, 201.
  int16_t ReadCommForBinary(size_t capacity, int32_t timeoutMs, bool dsrCheck, wire::Bytes* out);
  // Raw bytes up to capacity or the first quiet read. 0, 110, 112, 201.
  int16_t ReadCommForUnformattedBinary(size_t capacity, int32_t timeoutMs, bool dsrCheck,
                                       wire::Bytes* out);

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

  // ---- binary transactions (port_binary.cpp) ----
  // The try loop of a frame that the device answers with SYN ACK or SYN NAK:
  // 0, 1 (NAK or garbled answers), 110 or the error that ended it.
  // garbledAsksAgain: an unreadable answer is followed by SYN NAK (else by
  // the frame again).
  int16_t SendBinaryWithRetries(const wire::Bytes& frame, int16_t retries, int32_t writeTimeoutMs,
                                int32_t readTimeoutMs, bool dsrCheck, bool ctsCheck,
                                bool garbledAsksAgain);
  // Reads one report frame into buffer and answers it: 0, 120, 130 or a line
  // routine's error. badLimitExceeds: 120 once the bad frames exceed retries
  // (else once they equal it, retries 0 being no limit).
  int16_t ReceiveReport(int32_t writeTimeoutMs, int32_t readTimeoutMs, int16_t retries,
                        bool dsrCheck, bool ctsCheck, bool badLimitExceeds, uint8_t* buffer,
                        size_t bufferSize, int16_t* received);

  // ---- workers (port_workers.cpp) ----
  // True on this port's worker thread: its reads wait one millisecond at a
  // time and end (kStopped) once the stop flag is set.
  bool OnWorker() const;
  bool StopRequested() const { return OnWorker() && workerStop_.load() != 0; }
  // Starts the worker of the given kind; 0, or 1 when the thread cannot be made.
  int16_t StartWorker(CallTrace& t, EventKind kind);
  // The callback-0 and busy cases of both registrations; -1 to go on.
  int16_t RegistrationRefusal(CallTrace& t, EventKind kind, bool hasCallback);
  void ResponseThreadProc(uint32_t generation);
  void BinaryThreadProc(uint32_t generation);
  // Reads the stop flag under the worker lock.
  bool StopFlagSet();
  // What a worker does once it sees its stop flag: the stop event, unless
  // the port is being closed.
  void PostStop(uint32_t generation);
  // An error of a worker's line routine: true when it ends the worker (the
  // stop flag, a selected error, or a line that is gone).
  bool WorkerErrorEnds(int16_t rc, uint32_t generation);

  // ---- events (port_events.cpp) ----
  // Posts one record to the mailbox of the thread that created the port.
  void PostEvent(EventKind kind, int32_t bits, const uint8_t* data, size_t length, int32_t value,
                 uint32_t generation);
  // Runs one record on the creating thread: reaps the worker that posted it
  // and calls the callback its kind and bits select. data ends with one
  // zero byte that is not part of the data.
  void DispatchCallback(EventKind kind, int32_t bits, const wire::Bytes& data, int32_t value,
                        uint32_t generation);
  // Joins the worker that posted a record, if it is still the port's worker.
  void ReapWorker(uint32_t generation);

  // ---- line-event thread (line_events.cpp) ----
  void CommEventThreadProc(plat::SerialLine* line, LineSample first);
  bool LineStopSet();
  // Counts a write that sent bytes and wakes the line-event thread for its
  // TXEMPTY.
  void CountWrite();

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
  plat::WakeEvent lineWake_;  // ends the thread's wait: a stop, a write

  std::atomic<uint32_t> workerGeneration_{0};  // counts the workers started
  std::atomic<bool> workerEnded_{false};         // the worker's last act
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
  std::atomic<uint32_t> writeCount_{0};    // writes that sent bytes (TXEMPTY)
  std::atomic<int16_t> handshake_{1};      // DTR/RTS handshake at the next open

  // The creating thread's mailbox: callbacks run there. Records reach the
  // port through self_, which the destructor clears.
  std::shared_ptr<plat::Mailbox> mailbox_;
  std::shared_ptr<std::atomic<CCommPort*>> self_;
};

}  // namespace vantor

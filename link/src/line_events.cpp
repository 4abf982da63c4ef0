// The line-event thread: from open to close it looks at the line (modem
// lines, the driver's counters, the queues) and turns what changed into the
// library's line events. Between looks it waits on the line for received
// bytes, a hang-up or an error, so an idle port costs next to nothing and
// RXCHAR follows the first byte at once. Modem lines and counters wake no
// one, so a look comes at least every 10 ms; it does not wait for the driver
// (TIOCMIWAIT), because such a wait cannot be interrupted and many USB
// adapters do not have it. While received bytes wait to be read, or a write
// has not yet drained, it looks every millisecond. A line that is gone (a
// pulled USB adapter) is reported once, as BREAK, and ends the thread.
#include <cstdio>
#include <system_error>

#include "comm_port.h"
#include "platform/clock.h"

namespace vantor {
namespace {

// The event set the log shows, in the values of the platform the library
// was first written for.
enum PlatformEvent : uint32_t {
  kEvRxChar = 0x1,
  kEvTxEmpty = 0x4,
  kEvCts = 0x8,
  kEvDsr = 0x10,
  kEvRlsd = 0x20,
  kEvBreak = 0x40,
  kEvErr = 0x80,
  kEvRing = 0x100,
};

using Sample = LineSample;

// The longest wait between two looks: modem lines and error counters have no
// wake-up of their own.
constexpr int kLookAtLeastEveryMs = 10;
// The wait between looks while something is due within a millisecond or so.
constexpr int kLookEveryMs = 1;

Sample Take(const plat::SerialLine& line, uint32_t writes) {
  Sample s;
  line.GetModemStatus(&s.modem);
  line.GetCounters(&s.counters);
  s.inQueue = line.InQueue();
  s.outQueue = line.OutQueue();
  if (s.inQueue < 0) s.inQueue = 0;
  if (s.outQueue < 0) s.outQueue = 0;
  s.writes = writes;
  return s;
}

// Whether a modem line changed between two looks: its counter moved (which
// also catches pulses shorter than a millisecond) or its state differs
// (adapters that keep no counters). The state and the counter are read one
// after the other, so one edge may show in the state at one look and in the
// counter at the next: an edge seen only in the state is owed its count,
// and that count, when it comes, is no new change.
class EdgeWatch {
 public:
  bool Changed(uint32_t counterBefore, uint32_t counterNow, bool stateChanged) {
    uint32_t count = counterNow - counterBefore;
    if (owed_ && count) {
      --count;
      owed_ = false;
    }
    if (stateChanged && count == 0) owed_ = true;
    return count != 0 || stateChanged;
  }

 private:
  bool owed_ = false;
};

bool Differs(uint32_t modemBefore, uint32_t modemNow, uint32_t bit) {
  return ((modemBefore ^ modemNow) & bit) != 0;
}

}  // namespace

void CCommPort::StartLineEvents() {
  {
    std::lock_guard<std::mutex> lock(lineLock_);
    lineStop_.store(0);
  }
  lineWake_.Clear();
  try {
    // The first look is taken here, so that a change right after the open
    // counts, however late the thread starts.
    lineThread_ = std::thread(&CCommPort::CommEventThreadProc, this, line_.get(),
                              Take(*line_, writeCount_.load()));
  } catch (const std::system_error&) {
    // The port still works; it reports no line events.
  }
}

void CCommPort::CountWrite() {
  writeCount_.fetch_add(1);
  // The write has drained: TXEMPTY is due now, not at the next look.
  lineWake_.Signal();
}

bool CCommPort::LineStopSet() {
  std::lock_guard<std::mutex> lock(lineLock_);
  return lineStop_.load() != 0;
}

void CCommPort::CommEventThreadProc(plat::SerialLine* line, LineSample first) {
  Sample prev = first;
  bool dsrWasOn = (prev.modem & plat::kModemDsr) != 0;
  bool rxArrived = false;
  bool txPending = false;  // a write has ended that TXEMPTY has not yet followed
  EdgeWatch cts, dsr, rlsd, ring;
  // The line woke the last wait but the look found nothing to read: a
  // reader took the bytes first, or a hang-up that the next look confirms.
  // The next wait does not watch the line, so it cannot return at once again.
  bool unexplained = false;
  while (!LineStopSet()) {
    // Received bytes keep the line readable until a reader takes them, so
    // while they wait the line is not watched (that would spin): look every
    // millisecond then, as also while a write's TXEMPTY is due and when
    // there is no wake-up for stop and writes.
    const bool soon = prev.inQueue > 0 || txPending || unexplained || lineWake_.fd() < 0;
    const plat::SerialLine::Wake woke =
        line->WaitForInput(!soon, lineWake_.fd(), soon ? kLookEveryMs : kLookAtLeastEveryMs);
    if (woke.woken) lineWake_.Clear();
    if (LineStopSet()) break;
    // A transaction that runs at either end of the look owns the bytes and
    // the write it saw; its reader may take them and end it at any moment
    // after, so this is not asked later (the log line alone may take longer).
    const bool inTransactionBefore = inTransaction_.load() != 0;
    const Sample now = Take(*line, writeCount_.load());
    const bool inTransaction = inTransactionBefore || inTransaction_.load() != 0;
    const bool gone = line->hungUp();
    unexplained = woke.line && now.inQueue == 0;
    if (prev.inQueue == 0 && now.inQueue > 0) rxArrived = true;
    if (now.writes != prev.writes) txPending = true;

    uint32_t events = 0;
    const plat::LineCounters& a = prev.counters;
    const plat::LineCounters& b = now.counters;
    if (now.inQueue > prev.inQueue) events |= kEvRxChar;
    if (txPending && now.outQueue == 0) {
      events |= kEvTxEmpty;
      txPending = false;
    }
    if (cts.Changed(a.cts, b.cts, Differs(prev.modem, now.modem, plat::kModemCts))) events |= kEvCts;
    if (dsr.Changed(a.dsr, b.dsr, Differs(prev.modem, now.modem, plat::kModemDsr))) events |= kEvDsr;
    if (rlsd.Changed(a.rlsd, b.rlsd, Differs(prev.modem, now.modem, plat::kModemRlsd)))
      events |= kEvRlsd;
    if (a.brk != b.brk || gone) events |= kEvBreak;
    if (a.framing != b.framing || a.overrun != b.overrun || a.parity != b.parity) events |= kEvErr;
    // A ring counts where it begins.
    if (ring.Changed(a.ring, b.ring, (now.modem & ~prev.modem & plat::kModemRing) != 0))
      events |= kEvRing;
    // A hang-up drops every modem line and empties the queues: that is the
    // BREAK, nothing else.
    if (gone) events = kEvBreak;

    if (events) {
      if (log_->Enabled(CCommLogger::kInfo)) {
        char text[64];
        std::snprintf(text, sizeof text, "Event Notification: 0x%08x(%d, %d)", events,
                      prev.inQueue, now.inQueue);
        log_->Info(text);
      }
      const bool dsrOn = (now.modem & plat::kModemDsr) != 0;
      const bool dsrFell = (events & kEvDsr) && dsrWasOn && !dsrOn;
      if (events & kEvDsr) dsrWasOn = dsrOn;
      const bool rxPost = (events & kEvRxChar) && !inTransaction && rxArrived;
      if ((events & kEvRxChar) && !inTransaction) rxArrived = false;

      if (lineProc_.load()) {
        const int32_t mask = lineMask_.load();
        auto post = [&](bool condition, int32_t bit, int32_t value) {
          if (condition && (mask & bit)) PostEvent(kLineEvent, bit, nullptr, 0, value, 0);
        };
        post(rxPost, CRW_LINE_RXCHAR, now.inQueue);
        post((events & kEvTxEmpty) && !inTransaction, CRW_LINE_TXEMPTY, 0);
        post(events & kEvCts, CRW_LINE_CTS, 0);
        post(dsrFell, CRW_LINE_DSR, 0);
        post(events & kEvRlsd, CRW_LINE_RLSD, 0);
        post(events & kEvBreak, CRW_LINE_BREAK, 0);
        const bool err = (events & kEvErr) != 0;
        post(err && a.framing != b.framing, CRW_LINE_FRAME, 0);
        post(err && a.overrun != b.overrun, CRW_LINE_OVERRUN, 0);
        post(err && a.parity != b.parity, CRW_LINE_PARITY, 0);
        post(events & kEvRing, CRW_LINE_RING, 0);
      }
    }
    if (gone) {
      // Nothing more can come from this line: the close joins the thread.
      log_->Info("End CommEventThreadProc: the line is gone");
      return;
    }
    prev = now;
  }
}

}  // namespace vantor

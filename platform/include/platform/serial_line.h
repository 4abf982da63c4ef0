// A serial line over termios: the stand-in for the comm calls the library
// makes. Reads are one byte per call with a short wait, so bytes that follow a
// frame stay queued for the next read. A pseudo-terminal has no modem lines:
// they come from the side channel when one exists, else the line reads as a
// connected null-modem (CTS, DSR and RLSD on).
#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "platform/low_latency.h"
#include "platform/side_channel.h"

namespace plat {

enum class Parity : uint8_t { None = 0, Odd = 1, Even = 2, Mark = 3, Space = 4 };
enum class StopBits : uint8_t { One = 0, OneHalf = 1, Two = 2 };
enum class LineControl : uint8_t { Disable = 0, Enable = 1, Handshake = 2, Toggle = 3 };

struct LineSettings {
  uint32_t baud = 9600;
  uint8_t byteSize = 8;
  Parity parity = Parity::None;
  StopBits stopBits = StopBits::One;
  bool binary = true;
  bool ctsOutFlow = false;
  bool dsrOutFlow = false;
  LineControl dtrControl = LineControl::Enable;
  LineControl rtsControl = LineControl::Enable;
  bool xonOut = false;
  bool xonIn = false;

  bool operator==(const LineSettings& o) const {
    return baud == o.baud && byteSize == o.byteSize && parity == o.parity &&
           stopBits == o.stopBits && binary == o.binary && ctsOutFlow == o.ctsOutFlow &&
           dsrOutFlow == o.dsrOutFlow && dtrControl == o.dtrControl &&
           rtsControl == o.rtsControl && xonOut == o.xonOut && xonIn == o.xonIn;
  }
  bool operator!=(const LineSettings& o) const { return !(*this == o); }
};

// Modem-status bits (same values as the side channel's device lines).
constexpr uint32_t kModemCts = 0x10;
constexpr uint32_t kModemDsr = 0x20;
constexpr uint32_t kModemRing = 0x40;
constexpr uint32_t kModemRlsd = 0x80;

struct LineCounters {
  uint32_t cts = 0, dsr = 0, ring = 0, rlsd = 0, brk = 0, framing = 0, overrun = 0, parity = 0;
};

enum class ReadStatus {
  Byte,    // one byte stored
  None,    // nothing arrived within the wait
  HangUp,  // the line is gone (POLLHUP, EIO, read of 0): report it, never spin
  Error,   // any other failure
};

enum class WriteStatus {
  Ok,       // every byte accepted and the output queue drained
  Timeout,  // the write time-out passed; *written says how much went
  HangUp,
  Error,
};

// The line may be used by two threads at once (a transaction reading and
// writing while the line-event thread reads the modem status and counters):
// every method is safe against every other, except that the object must
// outlive all of them.
class SerialLine {
 public:
  // Opens path exclusively (TIOCEXCL and flock) and asks its driver for low
  // latency (put back at close); sideChannelPath may be "".
  // The side channel is used only when the device has no modem lines; a side
  // channel that cannot be mapped is ignored. Returns null and sets *err
  // (errno; EBUSY when another opener holds the line) on failure.
  static std::unique_ptr<SerialLine> Open(const std::string& path,
                                          const std::string& sideChannelPath, int* err);
  // Drops DTR/RTS/BREAK on a simulated line, puts the driver's latency back,
  // clears TIOCEXCL, then closes.
  ~SerialLine();
  SerialLine(const SerialLine&) = delete;
  SerialLine& operator=(const SerialLine&) = delete;

  int fd() const { return fd_; }
  const std::string& path() const { return path_; }
  bool isTty() const { return realTty_; }  // has real modem lines
  bool hungUp() const { return hungUp_.load(); }
  SideChannel* sideChannel() const { return side_.get(); }

  // Before the first SetSettings: what the driver holds (DTR/RTS control
  // Enable, DSR flow off). After it: exactly what was set, also where the
  // device cannot hold it (a pseudo-terminal keeps neither parity nor size).
  bool GetSettings(LineSettings* out) const;
  // Applies raw mode and s; drives DTR and RTS as their control modes say
  // (Disable and RTS Toggle: off, otherwise on). False (errno EINVAL) for a
  // value no UART takes.
  bool SetSettings(const LineSettings& s);
  // Total time a Write may take before it reports Timeout (0: no limit).
  void SetWriteTimeoutMs(uint32_t ms) { writeTimeoutMs_.store(ms); }

  ReadStatus ReadByte(uint8_t* out, int waitMs = 1);
  // What ended a WaitForInput; both false when the time ran out.
  struct Wake {
    bool line = false;   // received bytes, a hang-up or an error on the line
    bool woken = false;  // wakeFd became readable
  };
  // Waits up to waitMs until the line has something for a reader (with
  // watchLine) or wakeFd (-1: none) is readable. Reads and clears nothing,
  // so received bytes keep it from waiting at all until they are read.
  Wake WaitForInput(bool watchLine, int wakeFd, int waitMs) const;
  // Waits for DSR (DSR output flow; and for CTS with CTS output flow on a
  // simulated line, which the driver cannot do) before each chunk, then waits
  // until the output queue is empty. On Timeout *written counts the bytes that
  // left the port; what was still queued is dropped on a real port.
  WriteStatus Write(const uint8_t* data, size_t len, size_t* written);

  bool PurgeOutput();  // a no-op on a pseudo-terminal: it would delete bytes the far end has not read
  bool PurgeInput();

  bool GetModemStatus(uint32_t* bits) const;  // kModem* bits; 0 after a hang-up
  bool SetDtr(bool on);
  bool SetRts(bool on);
  bool SetBreak(bool on);
  bool GetCounters(LineCounters* out) const;
  int InQueue() const;   // -1 on error
  int OutQueue() const;  // -1 on error

 private:
  SerialLine() = default;
  bool SetHostLine(uint32_t hostBit, bool on);

  int fd_ = -1;
  std::string path_;
  bool realTty_ = false;
  mutable std::atomic<bool> hungUp_{false};
  std::atomic<uint32_t> writeTimeoutMs_{0};
  std::atomic<uint32_t> hostLines_{0};  // kHost* bits when there is no side channel
  mutable std::mutex settingsMu_;
  LineSettings settings_;
  std::unique_ptr<SideChannel> side_;
  LowLatency lowLatency_;
};

}  // namespace plat

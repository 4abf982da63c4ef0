// A serial line over termios: the stand-in for the comm calls the library
// makes. Reads are one byte per call with a short wait, so bytes that follow a
// frame stay queued for the next read. A pseudo-terminal has no modem lines:
// they come from the side channel when one exists, else the line reads as a
// connected null-modem (CTS, DSR and RLSD on).
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

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

class SerialLine {
 public:
  // Opens path exclusively (TIOCEXCL and flock); sideChannelPath may be "".
  // Returns null and sets *err (errno) on failure.
  static std::unique_ptr<SerialLine> Open(const std::string& path,
                                          const std::string& sideChannelPath, int* err);
  ~SerialLine();  // clears TIOCEXCL, then closes
  SerialLine(const SerialLine&) = delete;
  SerialLine& operator=(const SerialLine&) = delete;

  int fd() const { return fd_; }
  const std::string& path() const { return path_; }
  bool isTty() const { return realTty_; }  // has real modem lines
  bool hungUp() const { return hungUp_; }
  SideChannel* sideChannel() const { return side_.get(); }

  bool GetSettings(LineSettings* out) const;
  bool SetSettings(const LineSettings& s);
  // Total time a Write may take before it reports Timeout (0: no limit).
  void SetWriteTimeoutMs(uint32_t ms) { writeTimeoutMs_ = ms; }

  ReadStatus ReadByte(uint8_t* out, int waitMs = 1);
  WriteStatus Write(const uint8_t* data, size_t len, size_t* written);

  bool PurgeOutput();
  bool PurgeInput();

  bool GetModemStatus(uint32_t* bits) const;
  bool SetDtr(bool on);
  bool SetRts(bool on);
  bool SetBreak(bool on);
  bool GetCounters(LineCounters* out) const;
  int InQueue() const;   // -1 on error
  int OutQueue() const;  // -1 on error

 private:
  SerialLine() = default;
  int fd_ = -1;
  std::string path_;
  bool realTty_ = false;
  bool hungUp_ = false;
  uint32_t writeTimeoutMs_ = 0;
  bool dsrOutFlow_ = false;
  std::unique_ptr<SideChannel> side_;
};

}  // namespace plat

// The driver's low-latency mode for as long as a line is open. Most USB
// serial adapters hold received bytes for a latency timer (often 16 ms)
// unless the driver is asked for low latency; the link reads a quiet line
// within a millisecond, so each one-byte answer would otherwise cost the
// whole timer and a reply could be split at a "quiet" read. The request goes
// through the driver's serial flags (TIOCGSERIAL, TIOCSSERIAL); a line whose
// driver has none (a pseudo-terminal) is left as it is.
#pragma once

struct serial_struct;  // <linux/serial.h>

namespace plat {

// The two serial-flag requests as the line makes them: 0, or -1 with errno
// set, as ioctl. Tests put a scripted driver in the kernel's place.
class SerialFlagsDriver {
 public:
  virtual ~SerialFlagsDriver() = default;
  virtual int Get(int fd, serial_struct* out) = 0;
  virtual int Set(int fd, const serial_struct& in) = 0;
};

// What every later request goes through; null puts the kernel back.
void UseSerialFlagsDriver(SerialFlagsDriver* driver);

// One line's request: Ask at open, Restore at close.
class LowLatency {
 public:
  // Turns ASYNC_LOW_LATENCY on where the driver has the flag and it is off.
  // A driver without serial flags, or one that refuses, leaves the line as
  // it is: that is no error, the line only answers later.
  void Ask(int fd);
  // Puts the flag back as Ask found it, when Ask changed it. A line that is
  // gone meanwhile is left alone.
  void Restore(int fd);
  bool changed() const { return changed_; }

 private:
  bool changed_ = false;
};

}  // namespace plat

#include "platform/serial_line.h"

#include <errno.h>
#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "platform/line_termios.h"

namespace plat {

namespace {

struct SpeedEntry {
  uint32_t baud;
  speed_t code;
};

constexpr SpeedEntry kSpeeds[] = {
    {50, B50},           {75, B75},           {110, B110},         {134, B134},
    {150, B150},         {200, B200},         {300, B300},         {600, B600},
    {1200, B1200},       {1800, B1800},       {2400, B2400},       {4800, B4800},
    {9600, B9600},       {19200, B19200},     {38400, B38400},     {57600, B57600},
    {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000},
    {1500000, B1500000}, {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000},
    {3500000, B3500000}, {4000000, B4000000},
};

int64_t NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// A write's time limit; limitMs 0 means none.
class Deadline {
 public:
  explicit Deadline(uint32_t limitMs) : none_(limitMs == 0), at_(NowMs() + limitMs) {}
  bool Expired() const { return !none_ && NowMs() >= at_; }
  // For poll(): -1 without a limit.
  int RemainingMs() const {
    if (none_) return -1;
    int64_t left = at_ - NowMs();
    return left > 0 ? static_cast<int>(left) : 0;
  }

 private:
  bool none_;
  int64_t at_;
};

void SleepOneMs() { std::this_thread::sleep_for(std::chrono::milliseconds(1)); }

// errno values after which the line is gone for good: a pulled USB cable, the
// far end of a pseudo-terminal closed.
bool IsHangUpErrno(int e) { return e == EIO || e == EPIPE || e == ENXIO || e == ENODEV; }

}  // namespace

speed_t StandardSpeed(uint32_t baud) {
  for (const SpeedEntry& e : kSpeeds)
    if (e.baud == baud) return e.code;
  return B0;
}

bool ApplyLineSettings(const LineSettings& s, KernelTermios2* t) {
  if (s.baud == 0 || s.byteSize < 5 || s.byteSize > 8) return false;
  if (s.parity > Parity::Space || s.stopBits > StopBits::Two) return false;
  if (s.dtrControl > LineControl::Handshake || s.rtsControl > LineControl::Toggle) return false;

  t->c_iflag &= ~(BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF | IXANY |
                  INPCK | IUCLC | IMAXBEL);
  // A break is an event for the line-event side, never a NUL in the data.
  t->c_iflag |= IGNBRK;
  if (s.xonOut) t->c_iflag |= IXON;
  if (s.xonIn) t->c_iflag |= IXOFF;
  t->c_oflag &= ~OPOST;
  t->c_lflag &= ~(ECHO | ECHOE | ECHOK | ECHONL | ECHOCTL | ECHOKE | ICANON | ISIG | IEXTEN);

  t->c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS | CBAUD | CIBAUD);
  t->c_cflag |= CREAD | CLOCAL;
  static constexpr tcflag_t kSizes[] = {CS5, CS6, CS7, CS8};
  t->c_cflag |= kSizes[s.byteSize - 5];
  switch (s.parity) {
    case Parity::None: break;
    case Parity::Odd: t->c_cflag |= PARENB | PARODD; break;
    case Parity::Even: t->c_cflag |= PARENB; break;
    case Parity::Mark: t->c_cflag |= PARENB | CMSPAR | PARODD; break;
    case Parity::Space: t->c_cflag |= PARENB | CMSPAR; break;
  }
  // A UART sends 1.5 stop bits when asked for two with a 5-bit byte.
  if (s.stopBits != StopBits::One) t->c_cflag |= CSTOPB;
  if (s.ctsOutFlow) t->c_cflag |= CRTSCTS;

  speed_t code = StandardSpeed(s.baud);
  t->c_cflag |= code != B0 ? code : kBother;
  t->c_ispeed = s.baud;
  t->c_ospeed = s.baud;

  t->c_cc[VMIN] = 0;
  t->c_cc[VTIME] = 0;
  return true;
}

LineSettings SettingsFromTermios(const KernelTermios2& t) {
  LineSettings s;
  tcflag_t code = t.c_cflag & CBAUD;
  s.baud = t.c_ospeed;
  for (const SpeedEntry& e : kSpeeds)
    if (code != kBother && e.code == code) s.baud = e.baud;
  switch (t.c_cflag & CSIZE) {
    case CS5: s.byteSize = 5; break;
    case CS6: s.byteSize = 6; break;
    case CS7: s.byteSize = 7; break;
    default: s.byteSize = 8; break;
  }
  if (!(t.c_cflag & PARENB))
    s.parity = Parity::None;
  else if (t.c_cflag & CMSPAR)
    s.parity = (t.c_cflag & PARODD) ? Parity::Mark : Parity::Space;
  else
    s.parity = (t.c_cflag & PARODD) ? Parity::Odd : Parity::Even;
  s.stopBits = (t.c_cflag & CSTOPB) ? StopBits::Two : StopBits::One;
  s.ctsOutFlow = (t.c_cflag & CRTSCTS) != 0;
  s.xonOut = (t.c_iflag & IXON) != 0;
  s.xonIn = (t.c_iflag & IXOFF) != 0;
  return s;
}

std::unique_ptr<SerialLine> SerialLine::Open(const std::string& path,
                                             const std::string& sideChannelPath, int* err) {
  int dummyErr = 0;
  if (!err) err = &dummyErr;
  int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    *err = errno;
    return nullptr;
  }
  if (!isatty(fd)) {
    *err = ENOTTY;
    close(fd);
    return nullptr;
  }
  // TIOCEXCL alone does not keep out root, so the flock is what makes a
  // second opener fail; it is taken first so that an opener turned away here
  // never touches the holder's exclusive mode.
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    *err = errno == EWOULDBLOCK ? EBUSY : errno;
    close(fd);
    return nullptr;
  }
  if (ioctl(fd, TIOCEXCL) != 0) {
    *err = errno;
    close(fd);
    return nullptr;
  }
  std::unique_ptr<SerialLine> line(new SerialLine);
  line->fd_ = fd;  // from here on the destructor undoes the exclusive mode
  line->path_ = path;
  int bits = 0;
  if (ioctl(fd, TIOCMGET, &bits) == 0) {
    line->realTty_ = true;
  } else if (errno != ENOTTY && errno != EINVAL) {
    *err = errno;
    return nullptr;
  }
  KernelTermios2 t;
  if (ioctl(fd, kTcGets2, &t) != 0) {
    *err = errno;
    return nullptr;
  }
  line->settings_ = SettingsFromTermios(t);
  if (!line->realTty_ && !sideChannelPath.empty()) line->side_ = SideChannel::Open(sideChannelPath);
  line->lowLatency_.Ask(fd);
  return line;
}

SerialLine::~SerialLine() {
  if (fd_ < 0) return;
  if (realTty_) {
    ioctl(fd_, TIOCCBRK);
  } else if (side_) {
    // What a real port shows the device when its host closes it.
    side_->block()->hostLines.fetch_and(~(kHostDtr | kHostRts | kHostBreak));
  }
  lowLatency_.Restore(fd_);
  // The far end (the simulator) keeps its end open, so the exclusive mode
  // would outlive this close and turn away the next opener that is not root.
  ioctl(fd_, TIOCNXCL);
  close(fd_);
}

bool SerialLine::GetSettings(LineSettings* out) const {
  std::lock_guard<std::mutex> lock(settingsMu_);
  *out = settings_;
  return true;
}

bool SerialLine::SetSettings(const LineSettings& s) {
  KernelTermios2 t;
  if (ioctl(fd_, kTcGets2, &t) != 0) {
    if (IsHangUpErrno(errno)) hungUp_.store(true);
    return false;
  }
  if (!ApplyLineSettings(s, &t)) {
    errno = EINVAL;
    return false;
  }
  if (ioctl(fd_, kTcSets2, &t) != 0) return false;
  {
    std::lock_guard<std::mutex> lock(settingsMu_);
    settings_ = s;
  }
  bool dtr = s.dtrControl != LineControl::Disable;
  bool rts = s.rtsControl == LineControl::Enable || s.rtsControl == LineControl::Handshake;
  return SetDtr(dtr) && SetRts(rts);
}

ReadStatus SerialLine::ReadByte(uint8_t* out, int waitMs) {
  if (hungUp_.load()) return ReadStatus::HangUp;
  pollfd p{fd_, POLLIN, 0};
  int r = poll(&p, 1, waitMs);
  if (r < 0) return errno == EINTR ? ReadStatus::None : ReadStatus::Error;
  if (r == 0) return ReadStatus::None;
  bool hup = (p.revents & (POLLHUP | POLLERR)) != 0;
  ssize_t n = read(fd_, out, 1);
  if (n == 1) return ReadStatus::Byte;
  if (n == 0 || errno == EAGAIN || errno == EINTR) {
    // With VMIN=0 an empty read is normal; with a hang-up beside it, the
    // line is gone and every later read must say so at once.
    if (!hup) return ReadStatus::None;
    hungUp_.store(true);
    return ReadStatus::HangUp;
  }
  if (IsHangUpErrno(errno)) {
    hungUp_.store(true);
    return ReadStatus::HangUp;
  }
  return ReadStatus::Error;
}

SerialLine::Wake SerialLine::WaitForInput(bool watchLine, int wakeFd, int waitMs) const {
  // poll() skips an entry whose descriptor is negative.
  pollfd p[2] = {{watchLine ? fd_ : -1, POLLIN, 0}, {wakeFd, POLLIN, 0}};
  Wake w;
  if (poll(p, 2, waitMs) <= 0) return w;  // a signal ends the wait like the time
  w.line = p[0].revents != 0;
  w.woken = p[1].revents != 0;
  return w;
}

WriteStatus SerialLine::Write(const uint8_t* data, size_t len, size_t* written) {
  size_t dummy = 0;
  if (!written) written = &dummy;
  *written = 0;
  if (hungUp_.load()) return WriteStatus::HangUp;
  bool waitDsr, waitCts;
  {
    std::lock_guard<std::mutex> lock(settingsMu_);
    waitDsr = settings_.dsrOutFlow;
    // The driver holds back output for CTS on a real port; a simulated line
    // has to do it here.
    waitCts = settings_.ctsOutFlow && !realTty_;
  }
  uint32_t need = (waitDsr ? kModemDsr : 0) | (waitCts ? kModemCts : 0);
  Deadline deadline(writeTimeoutMs_.load());
  size_t done = 0;
  while (done < len) {
    while (need) {
      uint32_t bits = 0;
      if (!GetModemStatus(&bits)) return WriteStatus::Error;
      if (hungUp_.load()) return WriteStatus::HangUp;
      if ((bits & need) == need) break;
      if (deadline.Expired()) {
        *written = done;
        return WriteStatus::Timeout;
      }
      SleepOneMs();
    }
    pollfd p{fd_, POLLOUT, 0};
    int r = poll(&p, 1, need ? 1 : deadline.RemainingMs());
    if (r < 0 && errno != EINTR) return WriteStatus::Error;
    if (r > 0 && (p.revents & POLLHUP)) {
      hungUp_.store(true);
      *written = done;
      return WriteStatus::HangUp;
    }
    if (r > 0 && (p.revents & (POLLOUT | POLLERR))) {
      ssize_t n = write(fd_, data + done, len - done);
      if (n > 0) {
        done += static_cast<size_t>(n);
        continue;
      }
      if (n < 0 && IsHangUpErrno(errno)) {
        hungUp_.store(true);
        *written = done;
        return WriteStatus::HangUp;
      }
      if (n < 0 && errno != EAGAIN && errno != EINTR) {
        *written = done;
        return WriteStatus::Error;
      }
    }
    if (deadline.Expired()) {
      *written = done;
      return WriteStatus::Timeout;
    }
  }
  // "Written" means sent: wait until the driver's queue has gone out.
  for (;;) {
    int queued = OutQueue();
    if (queued < 0) {
      *written = done;
      if (!IsHangUpErrno(errno)) return WriteStatus::Error;
      hungUp_.store(true);
      return WriteStatus::HangUp;
    }
    if (queued == 0) break;
    if (deadline.Expired()) {
      // What has not left by now is dropped, as a timed-out write is over.
      *written = done - static_cast<size_t>(queued);
      if (realTty_) tcflush(fd_, TCOFLUSH);
      return WriteStatus::Timeout;
    }
    SleepOneMs();
  }
  *written = done;
  return WriteStatus::Ok;
}

bool SerialLine::PurgeOutput() {
  if (!realTty_) return !hungUp_.load();
  return tcflush(fd_, TCOFLUSH) == 0;
}

bool SerialLine::PurgeInput() { return tcflush(fd_, TCIFLUSH) == 0; }

bool SerialLine::GetModemStatus(uint32_t* bits) const {
  *bits = 0;
  if (hungUp_.load()) return true;
  if (realTty_) {
    int m = 0;
    if (ioctl(fd_, TIOCMGET, &m) != 0) {
      if (!IsHangUpErrno(errno)) return false;
      hungUp_.store(true);
      return true;
    }
    if (m & TIOCM_CTS) *bits |= kModemCts;
    if (m & TIOCM_DSR) *bits |= kModemDsr;
    if (m & TIOCM_RI) *bits |= kModemRing;
    if (m & TIOCM_CD) *bits |= kModemRlsd;
    return true;
  }
  // A pseudo-terminal whose far end has closed shows it only to poll.
  pollfd p{fd_, 0, 0};
  if (poll(&p, 1, 0) > 0 && (p.revents & POLLHUP)) {
    hungUp_.store(true);
    return true;
  }
  if (side_)
    *bits = side_->block()->deviceLines.load() & (kModemCts | kModemDsr | kModemRing | kModemRlsd);
  else
    *bits = kModemCts | kModemDsr | kModemRlsd;  // a connected null-modem
  return true;
}

bool SerialLine::SetHostLine(uint32_t hostBit, bool on) {
  if (hungUp_.load()) {
    errno = EIO;
    return false;
  }
  if (realTty_) {
    int r;
    if (hostBit == kHostBreak) {
      r = ioctl(fd_, on ? TIOCSBRK : TIOCCBRK);
    } else {
      int m = hostBit == kHostDtr ? TIOCM_DTR : TIOCM_RTS;
      r = ioctl(fd_, on ? TIOCMBIS : TIOCMBIC, &m);
    }
    if (r != 0) {
      if (IsHangUpErrno(errno)) hungUp_.store(true);
      return false;
    }
  } else if (side_) {
    std::atomic<uint32_t>& host = side_->block()->hostLines;
    if (on)
      host.fetch_or(hostBit);
    else
      host.fetch_and(~hostBit);
  }
  if (on)
    hostLines_.fetch_or(hostBit);
  else
    hostLines_.fetch_and(~hostBit);
  return true;
}

bool SerialLine::SetDtr(bool on) { return SetHostLine(kHostDtr, on); }
bool SerialLine::SetRts(bool on) { return SetHostLine(kHostRts, on); }
bool SerialLine::SetBreak(bool on) { return SetHostLine(kHostBreak, on); }

bool SerialLine::GetCounters(LineCounters* out) const {
  *out = LineCounters{};
  if (realTty_) {
    serial_icounter_struct ic{};
    // Many USB adapters keep no counters: they read as zeros.
    if (ioctl(fd_, TIOCGICOUNT, &ic) == 0) {
      out->cts = static_cast<uint32_t>(ic.cts);
      out->dsr = static_cast<uint32_t>(ic.dsr);
      out->ring = static_cast<uint32_t>(ic.rng);
      out->rlsd = static_cast<uint32_t>(ic.dcd);
      out->brk = static_cast<uint32_t>(ic.brk);
      out->framing = static_cast<uint32_t>(ic.frame);
      out->overrun = static_cast<uint32_t>(ic.overrun);
      out->parity = static_cast<uint32_t>(ic.parity);
    }
  } else if (side_) {
    const SideChannelBlock* b = side_->block();
    out->cts = b->cts.load();
    out->dsr = b->dsr.load();
    out->ring = b->ring.load();
    out->rlsd = b->rlsd.load();
    out->brk = b->brk.load();
    out->framing = b->framing.load();
    out->overrun = b->overrun.load();
    out->parity = b->parity.load();
  }
  return true;
}

int SerialLine::InQueue() const {
  int n = 0;
  return ioctl(fd_, TIOCINQ, &n) == 0 ? n : -1;
}

int SerialLine::OutQueue() const {
  int n = 0;
  return ioctl(fd_, TIOCOUTQ, &n) == 0 ? n : -1;
}

}  // namespace plat

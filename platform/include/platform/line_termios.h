// Line settings as the kernel's termios2, the only form that carries any baud
// rate (BOTHER with the rate in c_ispeed/c_ospeed) besides the Bxxx ones.
// The kernel's own header for it clashes with <termios.h>, so the layout is
// declared here; the asserts keep it honest on the architectures that share
// the generic termios layout (x86, arm, riscv, ...).
#pragma once
#include <sys/ioctl.h>
#include <termios.h>

#include <cstdint>

#include "platform/serial_line.h"

namespace plat {

constexpr int kKernelNccs = 19;

struct KernelTermios2 {
  tcflag_t c_iflag;
  tcflag_t c_oflag;
  tcflag_t c_cflag;
  tcflag_t c_lflag;
  cc_t c_line;
  cc_t c_cc[kKernelNccs];
  speed_t c_ispeed;
  speed_t c_ospeed;
};
static_assert(sizeof(KernelTermios2) == 44, "kernel termios2 layout");
static_assert(CBAUD == 0010017 && CBAUDEX == 0010000, "generic termios layout");
static_assert(VMIN < kKernelNccs && VTIME < kKernelNccs, "generic termios layout");

constexpr tcflag_t kBother = CBAUDEX;  // "rate in c_ospeed" (the kernel's BOTHER)
constexpr unsigned long kTcGets2 = _IOR('T', 0x2A, KernelTermios2);
constexpr unsigned long kTcSets2 = _IOW('T', 0x2B, KernelTermios2);

// The Bxxx constant for a standard baud rate, or B0 when the rate has none.
speed_t StandardSpeed(uint32_t baud);

// Puts *t in raw mode with the settings' rate, size, parity, stop bits and
// flow control: no echo, no translation, no signals, breaks ignored as data,
// no parity check, receiver on, carrier ignored, VMIN=0 and VTIME=0 (a read
// returns at once). HUPCL and the fields the settings do not cover are kept.
// False for values no UART takes (rate 0, size outside 5-8, unknown enum).
bool ApplyLineSettings(const LineSettings& s, KernelTermios2* t);

// What the termios says about the settings; the fields termios cannot hold
// get their defaults (binary, DSR flow off, DTR and RTS control Enable).
LineSettings SettingsFromTermios(const KernelTermios2& t);

}  // namespace plat

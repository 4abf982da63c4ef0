#include "platform/low_latency.h"

#include <linux/serial.h>
#include <sys/ioctl.h>

#include <atomic>

namespace plat {
namespace {

class KernelSerialFlags : public SerialFlagsDriver {
 public:
  int Get(int fd, serial_struct* out) override { return ioctl(fd, TIOCGSERIAL, out); }
  int Set(int fd, const serial_struct& in) override { return ioctl(fd, TIOCSSERIAL, &in); }
};

KernelSerialFlags g_kernel;
std::atomic<SerialFlagsDriver*> g_driver{nullptr};

SerialFlagsDriver& Driver() {
  SerialFlagsDriver* d = g_driver.load();
  return d ? *d : g_kernel;
}

}  // namespace

void UseSerialFlagsDriver(SerialFlagsDriver* driver) { g_driver.store(driver); }

void LowLatency::Ask(int fd) {
  serial_struct s{};
  if (Driver().Get(fd, &s) != 0) return;  // ENOTTY, EINVAL: no serial flags
  if (s.flags & ASYNC_LOW_LATENCY) return;
  s.flags |= ASYNC_LOW_LATENCY;
  changed_ = Driver().Set(fd, s) == 0;
}

void LowLatency::Restore(int fd) {
  if (!changed_) return;
  changed_ = false;
  // Read again rather than write back what open saw: only this flag was ours.
  serial_struct s{};
  if (Driver().Get(fd, &s) != 0) return;
  s.flags &= ~ASYNC_LOW_LATENCY;
  (void)Driver().Set(fd, s);
}

}  // namespace plat

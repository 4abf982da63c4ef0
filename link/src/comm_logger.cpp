#include "comm_logger.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <mutex>

#include "log_texts.h"
#include "platform/hex_dump.h"

namespace vantor {
namespace {

constexpr int kPortSlots = 257;

// One mutex per port number. std::mutex is constant-initialised and trivially
// destroyed here, so the table is usable from any static constructor or
// destructor, in any order.
std::mutex g_portLogMutex[kPortSlots];

std::mutex& PortMutex(int port) {
  return g_portLogMutex[(port >= 0 && port < kPortSlots) ? port : 0];
}

int ThreadId() {
  thread_local int tid = 0;
  if (tid == 0) tid = static_cast<int>(syscall(SYS_gettid));
  return tid;
}

// "%Y:%m:%d:%H:%M:%S:%3u:%5d:%5d:" from one reading of the clock, so the
// milliseconds always belong to the second shown.
std::string LinePrefix() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  tm local{};
  localtime_r(&now.tv_sec, &local);
  char stamp[32];
  const size_t n = strftime(stamp, sizeof stamp, "%Y:%m:%d:%H:%M:%S", &local);
  char rest[48];
  std::snprintf(rest, sizeof rest, ":%3u:%5d:%5d:", static_cast<unsigned>(now.tv_nsec / 1000000),
                static_cast<int>(getpid()), ThreadId());
  std::string out(stamp, n);
  out += rest;
  return out;
}

bool WriteAll(int fd, const char* p, size_t n) {
  while (n > 0) {
    const ssize_t w = write(fd, p, n);
    if (w < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    p += w;
    n -= static_cast<size_t>(w);
  }
  return true;
}

}  // namespace

std::string FormatCode(const char* fmt, int code) {
  char buf[160];
  const int n = std::snprintf(buf, sizeof buf, fmt, code);
  if (n < 0) return std::string();
  return std::string(buf, static_cast<size_t>(n) < sizeof buf ? static_cast<size_t>(n) : sizeof buf - 1);
}

CCommLogger::CCommLogger(std::string fileName, int configured, int port)
    : fileName_(std::move(fileName)),
      configured_(configured == kAll || configured == kErrorsOnly ? configured : kOff),
      port_(port) {}

CCommLogger::~CCommLogger() {
  if (configured_ != kOff && !fileName_.empty()) Append("\n");
}

bool CCommLogger::Line(int level, const char* tag, const std::string& text) {
  if (!Enabled(level)) return false;
  std::string line = LinePrefix();
  line += level == kError ? "Err:" : "Inf:";
  line += tag;
  line += ": ";
  line += text;
  line += '\n';
  return Append(line);
}

bool CCommLogger::Info(const std::string& text) { return Line(kInfo, kTagInfo, text); }

bool CCommLogger::ErrorCode(const char* fmt, int code) {
  if (!Enabled(kError)) return false;
  return Line(kError, kTagErrInfo, FormatCode(fmt, code));
}

bool CCommLogger::Dump(int level, const uint8_t* bytes, size_t count) {
  if (!Enabled(level)) return false;
  return Append(plat::FormatHexDump(bytes, count));
}

bool CCommLogger::Append(const std::string& data) {
  std::lock_guard<std::mutex> lock(PortMutex(port_));
  const int fd = open(fileName_.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  // Other processes logging for this port take the same lock; it goes with
  // the close (or with a process that dies holding it).
  while (flock(fd, LOCK_EX) != 0 && errno == EINTR) {
  }
  const bool ok = WriteAll(fd, data.data(), data.size());
  close(fd);
  return ok;
}

}  // namespace vantor

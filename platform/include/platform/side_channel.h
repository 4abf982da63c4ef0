// Shared-memory block that carries the modem lines, breaks and line errors a
// pseudo-terminal cannot carry. The simulator creates it beside its COMn link
// as COMn.lines; the serial line maps it when it exists.
#pragma once
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

namespace plat {

// Device-side line bits, the modem-status values of the serial line.
constexpr uint32_t kLineCts = 0x10;
constexpr uint32_t kLineDsr = 0x20;
constexpr uint32_t kLineRing = 0x40;
constexpr uint32_t kLineRlsd = 0x80;
// Host-side line bits.
constexpr uint32_t kHostDtr = 0x1;
constexpr uint32_t kHostRts = 0x2;
constexpr uint32_t kHostBreak = 0x4;

struct SideChannelBlock {
  uint32_t magic;    // kSideChannelMagic
  uint32_t version;  // kSideChannelVersion
  std::atomic<uint32_t> deviceLines;  // kLine* bits, written by the simulator
  std::atomic<uint32_t> hostLines;    // kHost* bits, written by the library
  // Monotonic counters bumped by the simulator, read like TIOCGICOUNT.
  std::atomic<uint32_t> cts, dsr, ring, rlsd, brk, framing, overrun, parity;
};
static_assert(std::atomic<uint32_t>::is_always_lock_free, "shared atomics");

constexpr uint32_t kSideChannelMagic = 0x564C4E53;  // "SNLV"
constexpr uint32_t kSideChannelVersion = 1;

class SideChannel {
 public:
  // Creates (or truncates) the file and maps it; lines start CTS|DSR|RLSD on.
  static std::unique_ptr<SideChannel> Create(const std::string& path);
  // Maps an existing file; null when missing or not a valid block.
  static std::unique_ptr<SideChannel> Open(const std::string& path);
  ~SideChannel();
  SideChannel(const SideChannel&) = delete;
  SideChannel& operator=(const SideChannel&) = delete;

  SideChannelBlock* block() const { return block_; }
  const std::string& path() const { return path_; }

 private:
  SideChannel(SideChannelBlock* b, std::string path) : block_(b), path_(std::move(path)) {}
  SideChannelBlock* block_;
  std::string path_;
};

}  // namespace plat

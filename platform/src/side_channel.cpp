#include "platform/side_channel.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <new>

namespace plat {

namespace {

void* MapBlock(int fd) {
  void* p = mmap(nullptr, sizeof(SideChannelBlock), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
  return p == MAP_FAILED ? nullptr : p;
}

}  // namespace

std::unique_ptr<SideChannel> SideChannel::Create(const std::string& path) {
  int fd = open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) return nullptr;
  // The simulator may run as root while the library runs as a user, and the
  // library writes the host lines: the file must be writable by both.
  fchmod(fd, 0666);
  void* mem = nullptr;
  if (ftruncate(fd, sizeof(SideChannelBlock)) == 0) mem = MapBlock(fd);
  close(fd);
  if (!mem) return nullptr;
  // The magic goes in last so that a concurrent Open never accepts a
  // half-made block.
  auto* b = new (mem) SideChannelBlock{};
  b->deviceLines.store(kLineCts | kLineDsr | kLineRlsd);
  __atomic_store_n(&b->version, kSideChannelVersion, __ATOMIC_RELEASE);
  __atomic_store_n(&b->magic, kSideChannelMagic, __ATOMIC_RELEASE);
  return std::unique_ptr<SideChannel>(new SideChannel(b, path));
}

std::unique_ptr<SideChannel> SideChannel::Open(const std::string& path) {
  int fd = open(path.c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0) return nullptr;
  struct stat st;
  SideChannelBlock* b = nullptr;
  if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
      st.st_size >= static_cast<off_t>(sizeof(SideChannelBlock)))
    b = static_cast<SideChannelBlock*>(MapBlock(fd));
  close(fd);
  if (!b) return nullptr;
  if (__atomic_load_n(&b->magic, __ATOMIC_ACQUIRE) != kSideChannelMagic ||
      __atomic_load_n(&b->version, __ATOMIC_ACQUIRE) != kSideChannelVersion) {
    munmap(b, sizeof(SideChannelBlock));
    return nullptr;
  }
  return std::unique_ptr<SideChannel>(new SideChannel(b, path));
}

SideChannel::~SideChannel() { munmap(block_, sizeof(SideChannelBlock)); }

}  // namespace plat

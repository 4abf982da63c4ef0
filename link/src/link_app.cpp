#include "link_app.h"

#include <new>

namespace vantor {

// One object for the life of the library: constructed when it is loaded,
// destroyed (and every port closed) when it is unloaded or the process ends.
static CLinkApp g_app;

CLinkApp& CLinkApp::Instance() { return g_app; }

CCommPort* CLinkApp::Port(int32_t portArg) {
  const int16_t port = static_cast<int16_t>(portArg & 0xFFFF);
  if (port < 1 || port >= kSlots) return nullptr;
  std::lock_guard<std::mutex> lock(lock_);
  std::unique_ptr<CCommPort>& slot = table_[port];
  if (!slot) {
    try {
      slot.reset(new CCommPort(port));
    } catch (const std::bad_alloc&) {
      // The slot stays empty; the export fails without an object.
    }
  }
  return slot.get();
}

CLinkApp::~CLinkApp() {
  std::lock_guard<std::mutex> lock(lock_);
  for (auto& slot : table_)
    if (slot) slot->CloseQuietly();
  for (auto& slot : table_) slot.reset();
}

}  // namespace vantor

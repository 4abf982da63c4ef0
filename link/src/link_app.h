// The library's one application object: the table of port objects (slot n
// for port n, 1 to 256) and the lock that guards it. Port objects live until
// the library is unloaded; the unload closes every port that is still open.
#pragma once
#include <cstdint>
#include <memory>
#include <mutex>

#include "comm_port.h"

namespace vantor {

class CLinkApp {
 public:
  static constexpr int kSlots = 257;

  static CLinkApp& Instance();

  // The port object for an export's port argument (its low 16 bits, signed),
  // created on first use; null for a number outside 1 to 256, or when the
  // object could not be created.
  CCommPort* Port(int32_t portArg);

  // Brightness thresholds of the picture download.
  int32_t threshold(int i) const { return thresholds_[i]; }

  CLinkApp() = default;
  // The unload: ends every port's threads and closes its line quietly, then
  // destroys the port objects.
  ~CLinkApp();
  CLinkApp(const CLinkApp&) = delete;
  CLinkApp& operator=(const CLinkApp&) = delete;

 private:
  std::mutex lock_;
  std::unique_ptr<CCommPort> table_[kSlots];
  int32_t thresholds_[3] = {64, 128, 192};
};

}  // namespace vantor

// A job host over another with a hook that runs before each command goes
// out: tests act "while the device works" (press Stop, look at the window)
// at a chosen command.
#pragma once
#include <QString>
#include <functional>

#include "core/job_host.h"
#include "core/main_module.h"

namespace quorel::testing {

class HookedHost : public JobHost {
 public:
  explicit HookedHost(JobHost& inner) : inner_(inner) {}
  void commIni() override { inner_.commIni(); }
  ComuOutcome poll() override { return inner_.poll(); }
  ComuOutcome comu() override {
    if (before) before(mm().gSendCommand);
    return inner_.comu();
  }
  void SendClAside() override { inner_.SendClAside(); }
  std::function<void(const QString&)> before;

 private:
  JobHost& inner_;
};

}  // namespace quorel::testing

// Two simulated devices in a scratch folder for a whole benchmark run, each
// on a port of the library opened at 115200 baud: one with the library's
// log off (Logging=-1), one with every line and dump logged (Logging=0).
// The folder is the current one meanwhile; at the end the ports close (so
// the log is written out) and the folder goes with everything in it.
#pragma once
#include <ftw.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <initializer_list>
#include <string>

#include "sim/simulator.h"
#include "vantor.h"

namespace benchdevices {

class TwoDevices {
 public:
  // controls: the control lines both devices get before the ports open.
  TwoDevices(int quietPort, int loggedPort, std::initializer_list<const char*> controls = {})
      : quietPort_(quietPort), loggedPort_(loggedPort) {
    char tmpl[] = "/tmp/vantor-bench-XXXXXX";
    if (!mkdtemp(tmpl)) return;
    dir_ = tmpl;
    const std::string dev = dir_ + "/dev";
    mkdir(dev.c_str(), 0755);
    setenv("VANTOR_DEVICE_DIR", dev.c_str(), 1);
    if (chdir(dir_.c_str()) != 0) return;
    ok_ = quiet_.Start({dev, quietPort, ""}) && logged_.Start({dev, loggedPort, ""});
    for (sim::Simulator* s : {&quiet_, &logged_})
      for (const char* line : controls) ok_ = ok_ && s->Control(line).empty();
    // Settings are read when a port object is created.
    std::ofstream("Vantor.ini") << "[Log]\nLogging=0\n";
    ok_ = ok_ && crwOpenPort(loggedPort, 115200, "8", "N") == CRW_OK;
    std::ofstream("Vantor.ini") << "[Log]\nLogging=-1\n";
    ok_ = ok_ && crwOpenPort(quietPort, 115200, "8", "N") == CRW_OK;
  }
  ~TwoDevices() {
    crwClosePort(quietPort_);
    crwClosePort(loggedPort_);
    quiet_.Stop();
    logged_.Stop();
    if (!dir_.empty())
      nftw(
          dir_.c_str(), [](const char* p, const struct stat*, int, FTW*) { return ::remove(p); }, 16,
          FTW_DEPTH | FTW_PHYS);
  }
  TwoDevices(const TwoDevices&) = delete;
  TwoDevices& operator=(const TwoDevices&) = delete;

  bool ok() const { return ok_; }
  const std::string& dir() const { return dir_; }
  sim::Simulator& device(bool logged) { return logged ? logged_ : quiet_; }

 private:
  int quietPort_, loggedPort_;
  std::string dir_;
  bool ok_ = false;
  sim::Simulator quiet_, logged_;
};

}  // namespace benchdevices

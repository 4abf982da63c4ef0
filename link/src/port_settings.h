// The library settings file Vantor.ini, read when a port object is created:
// ./Vantor.ini when the current folder holds one, else Vantor.ini beside the
// library file (where the program keeps it). Only four keys are read.
#pragma once
#include <cstdint>
#include <string>

namespace vantor {

struct PortSettings {
  int32_t logging = -1;                          // [Log] Logging: 0 all, 1 errors, else off
  std::string logFileName = ".\\Vantor_%03d.log";  // [Log] LogFileName, at most 255 bytes
  int32_t delayMs = 0;                           // [Delay] Delay, negative counts as 0
  int32_t writeTimeoutMs = 5000;                 // [TimeOut] WriteFileTimeOut, negative counts as 5000
};

// The settings file that applies now (it need not exist).
std::string SettingsFilePath();
PortSettings ReadPortSettings(const std::string& file);

// The file this library was loaded from, and its version text ("" when it
// carries none); the version is read once per process.
std::string LibraryFilePath();
const std::string& LibraryVersion();

}  // namespace vantor

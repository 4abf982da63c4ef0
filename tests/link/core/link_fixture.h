// A test bench for the library's exports: a scratch folder with a device
// folder ($VANTOR_DEVICE_DIR) and a working folder (the current folder, where
// Vantor.ini and the logs go), and a simulated device on a COM number. Every
// test case runs in its own process, so the library's port objects are new.
#pragma once
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <regex>
#include <string>
#include <vector>

#include "sim/simulator.h"
#include "temp_dir.h"
#include "vantor.h"

// Exported by the library beside SysFreeString, though vantor.h does not
// declare it.
extern "C" char* SysAllocStringByteLen(const char* bytes, uint32_t len);

namespace coretest {

using Bytes = std::vector<uint8_t>;

class LinkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // A machine without pseudo-terminals fails these tests, never skips them.
    ASSERT_TRUE(Exists("/dev/ptmx")) << "/dev/ptmx is missing: no pseudo-terminals";
    dev_ = dir_ / "dev";
    work_ = dir_ / "work";
    ASSERT_EQ(0, mkdir(dev_.c_str(), 0755));
    ASSERT_EQ(0, mkdir(work_.c_str(), 0755));
    setenv("VANTOR_DEVICE_DIR", dev_.c_str(), 1);
    char old[4096];
    ASSERT_NE(getcwd(old, sizeof old), nullptr);
    oldCwd_ = old;
    ASSERT_EQ(0, chdir(work_.c_str()));
  }
  void TearDown() override {
    for (int port : opened_) crwClosePort(port);
    sim_.Stop();
    (void)chdir(oldCwd_.c_str());
  }

  // Vantor.ini in the working folder; read when a port object is created.
  void Settings(const std::string& text) { WriteFile(work_ + "/Vantor.ini", text); }
  void LogAll() { Settings("[Log]\r\nLogging=0\r\n"); }

  void StartDevice(int com) {
    std::string error;
    ASSERT_TRUE(sim_.Start({dev_, com, ""}, &error)) << error;
  }
  void Control(const std::string& line) { ASSERT_EQ("", sim_.Control(line)) << line; }
  // Starts the device on COM n and opens port n at 9600 8N1.
  void OpenDevice(int com) {
    StartDevice(com);
    ASSERT_EQ(CRW_OK, crwOpenPort(com, 9600, "8", "N"));
    opened_.push_back(com);
  }

  std::string LogPath(int port) const {
    char name[32];
    snprintf(name, sizeof name, "/Vantor_%03d.log", port);
    return work_ + name;
  }
  std::string Log(int port) const { return ReadFile(LogPath(port)); }

  // Bytes of every transcript entry of one direction.
  std::vector<Bytes> Wire(sim::Dir dir) const {
    std::vector<Bytes> out;
    for (const auto& e : sim_.Transcript())
      if (e.dir == dir) out.push_back(e.bytes);
    return out;
  }
  bool SentByHost(const Bytes& b) const {
    const auto host = Wire(sim::Dir::Host);
    return std::find(host.begin(), host.end(), b) != host.end();
  }

  TempDir dir_;
  std::string dev_, work_, oldCwd_;
  sim::Simulator sim_;
  std::vector<int> opened_;
};

// A string slot's bytes, freed; "<null>" for an empty slot.
inline std::string Take(char*& slot) {
  if (!slot) return "<null>";
  std::string s(slot, SysStringByteLen(slot));
  SysFreeString(slot);
  slot = nullptr;
  return s;
}

// The log's lines without their time, process and thread fields
// ("Inf:Enter   : crwOpenPort"); each hex dump becomes one "<dump>" line.
// The line-event thread's lines ("Event Notification", and its end on a
// line that is gone) are left out: that thread logs what it sees on the line
// at any time, between the lines of a call.
inline std::vector<std::string> LogEntries(const std::string& text, size_t from = 0) {
  static const std::regex prefix("^\\d{4}:\\d\\d:\\d\\d:\\d\\d:\\d\\d:\\d\\d:[ \\d]{3}:[ \\d]{5}:[ \\d]{5}:");
  std::vector<std::string> out;
  bool inDump = false;
  size_t pos = from;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(pos, end - pos);
    pos = end + 1;
    std::smatch m;
    if (std::regex_search(line, m, prefix)) {
      inDump = false;
      const std::string entry = line.substr(static_cast<size_t>(m.length(0)));
      if (entry.rfind("Inf:Info    : Event Notification: ", 0) == 0 ||
          entry.rfind("Inf:Info    : End CommEventThreadProc", 0) == 0)
        continue;
      out.push_back(entry);
    } else if (line.rfind("    Addr :", 0) == 0) {
      out.push_back("<dump>");
      inDump = true;
    } else if (!inDump || !line.empty()) {
      if (!inDump) out.push_back(line);
    } else {
      inDump = false;  // the empty line that closes a dump
    }
  }
  return out;
}

inline std::vector<std::string> Entries(std::initializer_list<const char*> lines) {
  return std::vector<std::string>(lines.begin(), lines.end());
}

inline uint32_t NowMs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<uint32_t>(ts.tv_sec * 1000 + ts.tv_nsec / 1000000);
}

}  // namespace coretest

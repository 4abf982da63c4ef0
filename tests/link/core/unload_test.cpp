// Unloading the library with a port still open: the unload closes the port
// (the device is free again, its DTR and RTS drop) and ends its log, and the
// process stays clean under AddressSanitizer. The library is loaded from a
// copy in a scratch folder, beside a Vantor.ini of its own, so this also
// shows where the settings come from when the current folder has none.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <thread>

#include "platform/serial_line.h"
#include "sim/simulator.h"
#include "temp_dir.h"

namespace coretest {
namespace {

using OpenFn = int16_t (*)(int32_t, int32_t, const char*, const char*);
using CommandFn = int16_t (*)(int32_t, int32_t, int16_t, const char*, const char*, int16_t);

class Unload : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Exists("/dev/ptmx")) << "/dev/ptmx is missing: no pseudo-terminals";
    ASSERT_EQ(0, mkdir((dir_ / "lib").c_str(), 0755));
    ASSERT_EQ(0, mkdir((dir_ / "dev").c_str(), 0755));
    ASSERT_EQ(0, mkdir((dir_ / "work").c_str(), 0755));
    lib_ = dir_ / "lib/libvantor.so";
    {
      std::ifstream in(VANTOR_LIB_PATH, std::ios::binary);
      std::ofstream out(lib_, std::ios::binary);
      out << in.rdbuf();
    }
    WriteFile(dir_ / "lib/Vantor.ini",
              "[Log]\nLogging=0\nLogFileName=" + dir_.path() + "/logs_%03d.log\n");
    setenv("VANTOR_DEVICE_DIR", (dir_ / "dev").c_str(), 1);
    char old[4096];
    ASSERT_NE(getcwd(old, sizeof old), nullptr);
    oldCwd_ = old;
    ASSERT_EQ(0, chdir((dir_ / "work").c_str()));  // no Vantor.ini here
    std::string error;
    ASSERT_TRUE(sim_.Start({dir_ / "dev", 3, ""}, &error)) << error;
  }
  void TearDown() override {
    sim_.Stop();
    (void)chdir(oldCwd_.c_str());
  }

  // Loads the copy and opens COM3 through it.
  void* LoadAndOpen() {
    void* h = dlopen(lib_.c_str(), RTLD_NOW | RTLD_LOCAL);
    EXPECT_NE(h, nullptr) << dlerror();
    if (!h) return nullptr;
    auto open = reinterpret_cast<OpenFn>(dlsym(h, "crwOpenPort"));
    auto command = reinterpret_cast<CommandFn>(dlsym(h, "crwSendCommand"));
    EXPECT_EQ(0, open(3, 9600, "8", "N"));
    EXPECT_EQ(0, command(3, 1000, 0, "ST", nullptr, 0));
    return h;
  }

  bool DeviceFree() {
    int err = 0;
    return plat::SerialLine::Open(sim_.LinkPath(), "", &err) != nullptr;
  }

  TempDir dir_;
  std::string lib_, oldCwd_;
  sim::Simulator sim_;
};

TEST_F(Unload, ClosesTheOpenPortAndEndsItsLog) {
  void* h = nullptr;
  // The port is created on a thread that has ended by the unload, as a
  // program's worker thread would have.
  std::thread([&] { h = LoadAndOpen(); }).join();
  ASSERT_NE(h, nullptr);
  EXPECT_FALSE(DeviceFree());
  EXPECT_EQ(sim_.HostLines() & (plat::kHostDtr | plat::kHostRts), plat::kHostDtr | plat::kHostRts);

  ASSERT_EQ(0, dlclose(h));
  EXPECT_EQ(dlopen(lib_.c_str(), RTLD_NOW | RTLD_NOLOAD), nullptr) << "the library is still loaded";
  EXPECT_TRUE(DeviceFree());
  EXPECT_EQ(sim_.HostLines() & (plat::kHostDtr | plat::kHostRts), 0u);
  // The line-event thread may have logged what it saw of the command after
  // the command's last line.
  std::string log = ReadFile(dir_ / "logs_003.log");
  for (size_t at; (at = log.rfind("Inf:Info    : Event Notification: ")) != std::string::npos;) {
    const size_t begin = log.rfind('\n', at) + 1;
    log.erase(begin, log.find('\n', at) + 1 - begin);
  }
  EXPECT_NE(log.find("Inf:Info    : DLL Version = " VANTOR_TEST_VERSION "\n"), std::string::npos) << log;
  const std::string end = "Inf:Exit    : crwSendCommand\n\n";  // and the closing empty line
  ASSERT_GT(log.size(), end.size());
  EXPECT_EQ(log.substr(log.size() - end.size()), end);
}

TEST_F(Unload, DlcloseOnTheThreadThatOpenedThePortIsClean) {
  void* h = LoadAndOpen();
  ASSERT_NE(h, nullptr);
  // This thread's event mailbox keeps the code loaded until the thread ends;
  // the port is closed then, or at exit.
  EXPECT_EQ(0, dlclose(h));
}

}  // namespace
}  // namespace coretest

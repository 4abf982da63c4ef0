// Unloading the library while a worker waits for the device and the
// line-event thread runs: the unload ends both threads without an event and
// releases the line, and the process stays clean under AddressSanitizer. The
// library is loaded from a copy, so that no other test's load keeps it.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "platform/serial_line.h"
#include "sim/simulator.h"
#include "temp_dir.h"

namespace coretest {
namespace {

using OpenFn = int16_t (*)(int32_t, int32_t, const char*, const char*);
using ResponseProcFn = void (*)(int16_t, int32_t, char*, int16_t, int32_t);
using CommProcFn = void (*)(int16_t, int32_t, int32_t, int32_t);
using SetResponseFn = int16_t (*)(int32_t, int16_t, int32_t, ResponseProcFn, int32_t, int32_t);
using SetCommFn = int16_t (*)(int32_t, CommProcFn, int32_t, int32_t);
using CommandFn = int16_t (*)(int32_t, int32_t, int16_t, const char*, const char*, int16_t);

int g_calls = 0;
void OnResponse(int16_t, int32_t, char*, int16_t, int32_t) { ++g_calls; }
void OnLine(int16_t, int32_t, int32_t, int32_t) { ++g_calls; }

class WorkerUnload : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Exists("/dev/ptmx")) << "/dev/ptmx is missing: no pseudo-terminals";
    ASSERT_EQ(0, mkdir((dir_ / "dev").c_str(), 0755));
    lib_ = dir_ / "libvantor.so";
    {
      std::ifstream in(VANTOR_LIB_PATH, std::ios::binary);
      std::ofstream out(lib_, std::ios::binary);
      out << in.rdbuf();
    }
    WriteFile(dir_ / "Vantor.ini", "[Log]\nLogging=2\n");
    setenv("VANTOR_DEVICE_DIR", (dir_ / "dev").c_str(), 1);
    std::string error;
    ASSERT_TRUE(sim_.Start({dir_ / "dev", 8, ""}, &error)) << error;
  }
  void TearDown() override { sim_.Stop(); }

  // Opens COM8 through the loaded copy and leaves a response worker polling
  // a device that never answers, and a line callback registered.
  void StartWorker(void* h) {
    auto open = reinterpret_cast<OpenFn>(dlsym(h, "crwOpenPort"));
    auto setResponse = reinterpret_cast<SetResponseFn>(dlsym(h, "crwSetResponseEventProc"));
    auto setComm = reinterpret_cast<SetCommFn>(dlsym(h, "crwSetCommEventProc"));
    auto command = reinterpret_cast<CommandFn>(dlsym(h, "crwSendCommand"));
    ASSERT_TRUE(open && setResponse && setComm && command);
    ASSERT_EQ(0, open(8, 9600, "8", "N"));
    ASSERT_EQ("", sim_.Control("silent always"));
    ASSERT_EQ(0, setComm(8, OnLine, 0, 0x1F705));
    ASSERT_EQ(0, setResponse(8, 0, 0, OnResponse, 0, 0xFFFF));
    ASSERT_EQ(140, command(8, 100, 0, "ST", nullptr, 0));
    ASSERT_TRUE(sim_.WaitForTag(sim::Dir::Host, "POLL", 1, 1000));
  }

  bool DeviceFree() {
    int err = 0;
    return plat::SerialLine::Open(sim_.LinkPath(), "", &err) != nullptr;
  }

  TempDir dir_;
  std::string lib_;
  sim::Simulator sim_;
};

TEST_F(WorkerUnload, EndsTheWorkerAndTheLineThreadQuietly) {
  void* h = dlopen(lib_.c_str(), RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(h, nullptr) << dlerror();
  // The port belongs to a thread that has ended, as a program's helper
  // thread would have; its events have nowhere to go.
  std::thread([&] { StartWorker(h); }).join();
  ASSERT_FALSE(HasFatalFailure());
  EXPECT_FALSE(DeviceFree());
  ASSERT_EQ("", sim_.Control("cts off"));
  const auto start = std::chrono::steady_clock::now();
  ASSERT_EQ(0, dlclose(h));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(5000));  // the worker has no time-out
  EXPECT_EQ(dlopen(lib_.c_str(), RTLD_NOW | RTLD_NOLOAD), nullptr) << "the library is still loaded";
  EXPECT_TRUE(DeviceFree());
  EXPECT_EQ(g_calls, 0);
}

TEST_F(WorkerUnload, OnTheCreatingThreadTheCodeStaysUntilExit) {
  void* h = dlopen(lib_.c_str(), RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(h, nullptr) << dlerror();
  StartWorker(h);
  ASSERT_FALSE(HasFatalFailure());
  // This thread's mailbox keeps the library loaded; the worker and the line
  // thread are ended at exit, when the library's objects go.
  EXPECT_EQ(0, dlclose(h));
}

}  // namespace
}  // namespace coretest

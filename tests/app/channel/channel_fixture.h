// The channel on a scripted binding: the fake library, a recording view and
// scripted dialogs, with the settings of a fresh installation on COM3 (9600,
// even parity, 8 bits, DSR and CTS on, 1000 ms time-outs, 3 retries). A
// watchdog ends a test's waits after a long while as if the program closed,
// so a channel fault fails a test instead of hanging it.
#pragma once
#include <QElapsedTimer>
#include <QTimer>
#include <functional>
#include <vector>

#include <gtest/gtest.h>

#include "core/device_channel.h"
#include "core/event_wait.h"
#include "core/main_module.h"
#include "core/message_tables.h"
#include "recording_view.h"
#include "support/fake_link_api.h"
#include "support/scripted_dialogs.h"
#include "support/watchdog.h"

namespace quorel::testing {

// Scripted dialogs that first run a hook while the box "is open" (what a real
// modal box would let happen), then answer from the script.
class HookedDialogs : public ScriptedDialogs {
 public:
  std::function<void(const BoxRequest&)> onBox;
  BoxAnswer Box(const BoxRequest& request) override {
    if (onBox) onBox(request);
    return ScriptedDialogs::Box(request);
  }
};

inline void DefaultChannelSettings() {
  MainModule& m = mm();
  m = MainModule{};
  InitMessageTables();
  m.gPort = 3;
  m.gBoud = 9600;
  m.gParity = QStringLiteral("E");
  m.gDataBit = 8;
  m.gUseDSR = 1;
  m.gUseCTS = 1;
  m.gAckTimer = 1000;
  m.gRespTimer = 1000;
  m.gNakRetry = 3;
  m.gAckNakTimeoutRetry = 3;
  m.gRespTimeoutRetry = 3;
  m.gEvtFlags = {0, 0, 1, 1, 1, 0, 1, 0, 1, 0};
}

// Lets events run for ms milliseconds.
inline void PumpFor(int ms) {
  QElapsedTimer t;
  t.start();
  PumpUntil([&]() -> int64_t {
    const qint64 left = ms - t.elapsed();
    return left > 0 ? left : -1;
  });
}

// Lets events run until pred holds or ms pass; whether it held.
inline bool PumpUntilTrue(const std::function<bool()>& pred, int ms) {
  QElapsedTimer t;
  t.start();
  bool held = false;
  PumpUntil([&]() -> int64_t {
    if ((held = pred())) return -1;
    const qint64 left = ms - t.elapsed();
    return left > 0 ? qMin<qint64>(left, 5) : -1;
  });
  return held;
}

// Runs act once, from the event loop, on the first pass on which cond holds:
// a click that comes at a given point of an exchange rather than after a
// given time, which a busy machine would move.
class OnceWhen {
 public:
  OnceWhen(std::function<bool()> cond, std::function<void()> act) : cond_(std::move(cond)), act_(std::move(act)) {
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      if (done_ || !cond_()) return;
      done_ = true;
      timer_.stop();
      act_();
    });
    timer_.start(0);
  }
  bool done() const { return done_; }

 private:
  std::function<bool()> cond_;
  std::function<void()> act_;
  QTimer timer_;
  bool done_ = false;
};

// The log's entries, oldest first.
inline std::vector<QString> Entries(const QString& logText) {
  QStringList lines = logText.split(QStringLiteral("\r\n"));
  if (!lines.isEmpty() && lines.back().isEmpty()) lines.removeLast();
  return std::vector<QString>(lines.rbegin(), lines.rend());
}

class FakeChannelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    DefaultChannelSettings();
    ArmWatchdog(watchdog_);
    watchdog_.start(kScriptedWatchdogMs);
  }
  void TearDown() override { watchdog_.stop(); }

  void Open() {
    channel_.commIni();
    ASSERT_TRUE(mm().gPortOpen);
    fake_.ClearCalls();
  }
  ComuOutcome Comu(const QString& command, const ComuOptions& options = {}) {
    mm().gSendCommand = command;
    return channel_.comu(options);
  }
  std::vector<QString> Log() const { return Entries(channel_.log().text()); }

  QTimer watchdog_;
  HookedDialogs dialogs_;
  FakeLinkApi fake_;
  RecordingView view_;
  DeviceChannel channel_{fake_, view_};
};

using Lines = std::vector<QString>;

}  // namespace quorel::testing

// Readable failures for texts.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
QT_END_NAMESPACE

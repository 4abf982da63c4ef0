// What an open port costs while nothing happens, and while a device keeps
// answering busy, through the real library against the simulated device.
// The tick runs only while an exchange is under way: an idle port has no
// tick and no traffic. The CPU figures themselves are scripts/bench's
// (program_bench); here only what holds on any machine is checked.
#include <QElapsedTimer>

#include "sim_channel_fixture.h"

namespace quorel::testing {
namespace {

class ChannelIdle : public SimChannelTest {
 protected:
  int HostLines() const { return sim_.CountTag(sim::Dir::Host, ""); }
  // The first tick after an open or an exchange finds nothing armed.
  bool TickStops() {
    return PumpUntilTrue([&] { return !channel_.timerActive(); }, 5000);
  }
};

TEST_F(ChannelIdle, AnOpenPortStopsTheTickWhenNothingIsArmedAndWhatArmsStartsIt) {
  Open();
  EXPECT_TRUE(channel_.timerActive());  // a successful open starts it
  EXPECT_EQ(channel_.timerInterval(), 2);
  // The first tick writes the port displays; then there is nothing to tick for.
  ASSERT_TRUE(TickStops());
  EXPECT_EQ(view_.Text("LbComViewer"), "3");
  EXPECT_EQ(view_.Text("LbComClaimed"), "True");
  EXPECT_EQ(view_.Text("LbComConfig"), "9600,E,8,1");
  const int idleLines = HostLines();
  PumpFor(100);
  EXPECT_FALSE(channel_.timerActive());
  EXPECT_EQ(HostLines(), idleLines);  // idle: nothing crosses the wire

  // A command starts the tick; the tick that takes the final reply stops it.
  EXPECT_EQ(Comu(QStringLiteral("VS")), ComuOutcome::kAnswered);
  EXPECT_EQ(mm().gVersionText, QLatin1String(kVersion));
  EXPECT_FALSE(channel_.timerActive());
  // So does a poll; a device still busy keeps it running until the end.
  Control("reply ST 90 busy 3");
  EXPECT_EQ(Comu(QStringLiteral("ST")), ComuOutcome::kAnswered);
  EXPECT_EQ(mm().gReplyStatus, "90");
  EXPECT_FALSE(channel_.timerActive());
  EXPECT_EQ(channel_.poll(), ComuOutcome::kAnswered);
  EXPECT_EQ(mm().gReplyKind, "R");
  EXPECT_FALSE(channel_.timerActive());
  EXPECT_EQ(Log(), (std::vector<QString>{"VS", "   ACK", "Poll", QStringLiteral("   AVS90") + QLatin1String(kVersion), "ST", "   ACK",
                                         "Poll", "   BST00", "Poll", "   BST00", "Poll", "   BST00", "Poll",
                                         "   AST90", "Poll", "   R0000"}));

  // What the tick would show follows a change made while it is stopped.
  mm().gBoud = 19200;
  channel_.ShowPortState();
  EXPECT_EQ(view_.Text("LbComConfig"), "19200,E,8,1");
}

TEST_F(ChannelIdle, ACommandArmedWhileACallerHasTheTimerOffWaitsForItsReturn) {
  Open();
  ASSERT_TRUE(TickStops());
  // As the bitmap window does around a transfer that bypasses the channel.
  channel_.StopTimer();
  // Once the command has been armed for a while, the caller hands back.
  bool heldBack = false;
  QElapsedTimer sinceArmed;
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout, [&] {
    if (mm().gSendPending != 1) return;
    if (!sinceArmed.isValid()) sinceArmed.start();
    if (sinceArmed.elapsed() < 50) return;
    watch.stop();
    heldBack = !channel_.timerActive() && Sent("VS") == 0;
    channel_.StartTimer(channel_.timerInterval());
  });
  watch.start(5);
  EXPECT_EQ(Comu(QStringLiteral("VS")), ComuOutcome::kAnswered);
  EXPECT_TRUE(heldBack);
  EXPECT_EQ(Sent("VS"), 1);
  EXPECT_FALSE(channel_.timerActive());
}

TEST_F(ChannelIdle, ABurstOfBusyRepliesKeepsTheLogExactWithFewRepaints) {
  Open();
  Control("reply VS 90 busy 1000000");
  constexpr int kReplies = 40;
  QTimer closer;
  QObject::connect(&closer, &QTimer::timeout, [&] {
    if (sim_.CountTag(sim::Dir::Device, "REPLY B VS 00") >= kReplies) channel_.commClose();
  });
  closer.start(5);
  const int shows0 = view_.logShows;
  QElapsedTimer clock;
  clock.start();
  EXPECT_EQ(Comu(QStringLiteral("VS")), ComuOutcome::kPortClosed);
  const qint64 elapsedMs = clock.elapsed();
  closer.stop();
  channel_.log().Flush();
  const int repaints = view_.logShows - shows0;

  // The log holds exactly what happened: the command, its ACK, then one
  // poll line and one busy line per reply the device sent, newest on top,
  // the older text cut at 13000 characters.
  const int replies = sim_.CountTag(sim::Dir::Device, "REPLY B VS 00");
  EXPECT_GE(replies, kReplies);
  QString expected;
  const auto add = [&](const QString& e) { expected = e + QStringLiteral("\r\n") + expected.left(13000); };
  add(QStringLiteral("VS"));
  add(QStringLiteral("   ACK"));
  for (int i = 0; i < replies; ++i) {
    add(QStringLiteral("Poll"));
    add(QStringLiteral("   BVS00"));
  }
  EXPECT_EQ(channel_.log().text(), expected);
  EXPECT_EQ(view_.logText, expected);
  // One repaint per throttle interval at most, however fast the lines came,
  // and the final Flush.
  EXPECT_LE(repaints, elapsedMs / CommLog::kThrottleMs + 2) << replies << " replies in " << elapsedMs << " ms";
}

}  // namespace
}  // namespace quorel::testing

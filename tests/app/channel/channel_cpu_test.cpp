// What the channel costs: an open, idle port and a burst of busy replies,
// through the real library against the simulated device. The figures are
// printed for the record.
#include <cstdio>

#include "sim_channel_fixture.h"

namespace quorel::testing {
namespace {

class ChannelCost : public SimChannelTest {};

TEST_F(ChannelCost, AnOpenIdlePortCostsUnderATenthOfACore) {
  Open();
  const double thread0 = ThreadCpuSeconds();
  const double process0 = ProcessCpuSeconds();
  PumpFor(2000);
  const double thread = (ThreadCpuSeconds() - thread0) / 2.0;
  const double process = (ProcessCpuSeconds() - process0) / 2.0;
  std::printf("idle port, 2 s: GUI thread %.1f %% of a core, whole process %.1f %%\n", thread * 100,
              process * 100);
  EXPECT_LT(thread, 0.10);
  EXPECT_TRUE(mm().gPortOpen);
  EXPECT_EQ(sim_.CountTag(sim::Dir::Host, "CMD"), 0);  // idle: nothing was sent
}

TEST_F(ChannelCost, ABurstOfBusyRepliesKeepsTheLogExactWithFewRepaints) {
  Open();
  Control("reply VS 90 busy 1000000");
  QTimer::singleShot(2000, [&] { channel_.commClose(); });
  const int shows0 = view_.logShows;
  const double thread0 = ThreadCpuSeconds();
  EXPECT_EQ(Comu(QStringLiteral("VS")), ComuOutcome::kPortClosed);
  const double thread = (ThreadCpuSeconds() - thread0) / 2.0;
  channel_.log().Flush();
  const int repaints = view_.logShows - shows0;

  // The log holds exactly what happened: the command, its ACK, then one
  // poll line and one busy line per reply the device sent, newest on top,
  // the older text cut at 13000 characters.
  const int replies = sim_.CountTag(sim::Dir::Device, "REPLY B VS 00");
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
  std::printf("busy burst, 2 s: %d replies, %d log repaints (%.1f a second), GUI thread %.1f %% of a core\n",
              replies, repaints, repaints / 2.0, thread * 100);
  EXPECT_GT(replies, 20);
  EXPECT_LT(repaints / 2.0, 30.0);
}

}  // namespace
}  // namespace quorel::testing

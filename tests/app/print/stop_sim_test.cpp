// The bitmap window's Stop against the simulated device through the real
// library: "CL" crosses the wire and the stop flag is raised after it, also
// while a job's command waits on the channel (the card of "Card In Print"),
// but never among the binary blocks of an "IB" download.
#include <QAction>
#include <QTimer>

#include <algorithm>

#include "bmp_window_sim_fixture.h"

namespace quorel::testing {
namespace {

using BmpStopSim = BmpWindowSim;

// Position of the first host entry with this tag after position from; -1 when none.
int HostTagAfter(const sim::Simulator& sim, const std::string& tag, int from) {
  const auto entries = sim.Transcript();
  for (int i = from + 1; i < static_cast<int>(entries.size()); ++i) {
    const sim::TranscriptEntry& e = entries[static_cast<size_t>(i)];
    if (e.dir == sim::Dir::Host && e.tag.rfind(tag, 0) == 0) return i;
  }
  return -1;
}

TEST_F(BmpStopSim, StopSendsClThenRaisesTheFlag) {
  mm().gStopRequest = 0;
  form_->CmdStop_Click();
  EXPECT_EQ(Sent("CL"), 1);
  EXPECT_EQ(mm().gReplyCommand, QStringLiteral("CL"));
  EXPECT_EQ(mm().gStopRequest, 1);
  // "CommClose" closes the port; the window stays usable.
  ui().Get<QAction>(QStringLiteral("Close"))->trigger();
  EXPECT_FALSE(mm().gPortOpen);
  form_->CmdStop_Click();  // port closed: nothing more on the wire
  EXPECT_EQ(Sent("CL"), 1);
}

TEST_F(BmpStopSim, StopWhileTheCardIsAwaitedSendsClBesideTheWaitingCi) {
  Control("cardwait manual");
  ExpectInsert(BoxAnswer::kOk);
  // Stop once the device has said it waits for the card.
  QTimer stopper;
  QObject::connect(&stopper, &QTimer::timeout, [this, &stopper] {
    if (sim_.CountTag(sim::Dir::Device, "REPLY B CI") < 1) return;
    stopper.stop();
    Click("CmdStop");
  });
  stopper.start(20);
  Click("CmdCIPR");
  const int ci = HostTagAfter(sim_, "CMD CI", -1);
  ASSERT_GE(ci, 0);
  EXPECT_GT(HostTagAfter(sim_, "CMD CL", ci), ci);
  EXPECT_EQ(Tagged("CMD WR"), 0);
  EXPECT_EQ(ui().Text(QStringLiteral("LbStatusMsg")), QStringLiteral("Stop"));
  EXPECT_TRUE(ui().Enabled(QStringLiteral("CmdCIPR")));
  // The device waits for nothing any more: the next command is answered.
  EXPECT_EQ(Comu(QStringLiteral("VS")), ComuOutcome::kAnswered);
  EXPECT_EQ(mm().gReplyCommand, QStringLiteral("VS"));
}

TEST_F(BmpStopSim, StopInTheBlockPhaseSendsNoClAmongTheBlocks) {
  // No picture shown: the blocks are white, and there are as many.
  ui().SetValue(QStringLiteral("OpIBPI"), 0, 1);        // "IB"
  ui().SetValue(QStringLiteral("OpTranceMode"), 1, 1);  // "Form"
  QTimer stopper;
  QObject::connect(&stopper, &QTimer::timeout, [this, &stopper] {
    if (mm().gLineBusy == 0) return;  // not yet in the block phase
    stopper.stop();
    Click("CmdStop");
  });
  stopper.start(10);
  Click("CmdBMPTrans");
  EXPECT_FALSE(stopper.isActive());
  const std::vector<QString> log = Log();
  EXPECT_EQ(std::count(log.begin(), log.end(), QStringLiteral("CL")), 0);
  EXPECT_EQ(Tagged("CMD CL"), 0);
  EXPECT_EQ(ui().Text(QStringLiteral("LbStatusMsg")), QStringLiteral("Stop"));
  // The block mode was ended: the next command is a command again.
  EXPECT_EQ(Comu(QStringLiteral("VS")), ComuOutcome::kAnswered);
  EXPECT_EQ(mm().gReplyCommand, QStringLiteral("VS"));
}

}  // namespace
}  // namespace quorel::testing

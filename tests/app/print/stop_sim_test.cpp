// The bitmap window's Stop against the simulated device through the real
// library: "CL" crosses the wire and the stop flag is raised after it.
#include <QAction>

#include "bmp_window_sim_fixture.h"

namespace quorel::testing {
namespace {

using BmpStopSim = BmpWindowSim;

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

}  // namespace
}  // namespace quorel::testing

// The bitmap window's Stop against the simulated device through the real
// library: "CL" crosses the wire and the stop flag is raised after it.
#include <QAction>

#include "../channel/sim_channel_fixture.h"
#include "print/form_bmp.h"

namespace quorel::testing {
namespace {

// The library binding is made when the fixture's channel is, before SetUp:
// the program folder must name the library's folder from the start.
const bool kProgramDirSet = qputenv("QUOREL_PROGRAM_DIR", QUOREL_LIBRARY_DIR);

class BmpStopSim : public SimChannelTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(kProgramDirSet);
    SimChannelTest::SetUp();
    mm().gIniPath = dir_.file(QStringLiteral("Quorel.ini"));
  }
};

TEST_F(BmpStopSim, StopSendsClThenRaisesTheFlag) {
  Open();
  FormBMP form(channel_);
  mm().gStopRequest = 0;
  form.CmdStop_Click();
  EXPECT_EQ(Sent("CL"), 1);
  EXPECT_EQ(mm().gReplyCommand, QStringLiteral("CL"));
  EXPECT_EQ(mm().gStopRequest, 1);
  // "CommClose" closes the port; the window stays usable.
  form.ui().Get<QAction>(QStringLiteral("Close"))->trigger();
  EXPECT_FALSE(mm().gPortOpen);
  form.CmdStop_Click();  // port closed: nothing more on the wire
  EXPECT_EQ(Sent("CL"), 1);
}

}  // namespace
}  // namespace quorel::testing

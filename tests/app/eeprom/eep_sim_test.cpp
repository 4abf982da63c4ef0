// The EEPROM window on the real library and the in-process simulator: what
// its actions put on the wire, the restart wait of "RS", opening the window
// while another comu waits, and quitting it in the middle of a read.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QPointer>
#include <QTimer>

#include "eep_window_sim_fixture.h"
#include "eeprom/form_eep.h"

namespace quorel::eep {
namespace {

using testing::PumpUntilTrue;

class EepOnSimulator : public EepWindowOnSimulator {
 protected:
  std::vector<std::string> Commands() const { return CommandTags(); }
};

TEST_F(EepOnSimulator, TopPutsTheHeadLiftCommandOnTheWire) {
  Click(QStringLiteral("CmdUpDown"), 1);  // the port is opened and polled first
  EXPECT_TRUE(mm().gPortOpen);
  EXPECT_EQ((std::vector<std::string>{"CMD !! h1"}), Commands());
  EXPECT_EQ(QStringLiteral("A!!90"), mm().gReplyText);
  Click(QStringLiteral("CmdUpDown"), 0);
  Click(QStringLiteral("CmdUpDown"), 2);
  EXPECT_EQ((std::vector<std::string>{"CMD !! h1", "CMD !! h0", "CMD !! h2"}), Commands());
}

TEST_F(EepOnSimulator, ResetSendsRsAndPollsUntilTheDeviceIsReady) {
  Control("restart 300");
  channel_.SetRestartWaitSeconds(0.2f);
  Open();
  sim_.ClearTranscript();
  Click(QStringLiteral("CmdRS"), 0);
  EXPECT_EQ((std::vector<std::string>{"CMD RS"}), Commands());
  EXPECT_EQ(0, mm().gResetWaiting);
  EXPECT_EQ(QStringLiteral("R"), mm().gReplyKind);
  EXPECT_TRUE(mm().gReplyStatus.startsWith(QLatin1Char('2')));  // the power-up report
  EXPECT_GE(sim_.CountTag(sim::Dir::Host, "POLL"), 2);
  EXPECT_TRUE(Window().tabStrip()->isEnabled());
  // The next job answers the power-up with "PA" first.
  Click(QStringLiteral("CmdUpDown"), 1);
  EXPECT_EQ((std::vector<std::string>{"CMD RS", "CMD PA", "CMD !! h1"}), Commands());
}

TEST_F(EepOnSimulator, OpeningTheWindowLeavesAWaitingComuItsOwnReply) {
  Open();
  Control("delay 200");  // well within the response time-out
  // Opened while the "VS" is in flight.
  bool opened = false;
  const testing::OnceWhen inFlight([this] { return Sent("VS") == 1; }, [&] {
    Window();
    opened = true;
  });
  const ComuOutcome outcome = Comu(QStringLiteral("VS"));
  EXPECT_TRUE(opened);
  EXPECT_EQ(ComuOutcome::kAnswered, outcome);
  EXPECT_EQ(QStringLiteral("AVS90") + QLatin1String(kVersion), mm().gReplyText);
  EXPECT_EQ(QLatin1String(kVersion), mm().gVersionText);
  EXPECT_EQ(1, Sent("VS"));
}

TEST_F(EepOnSimulator, QuittingDuringAnInformationReadSendsNothingAfterTheCommandInFlight) {
  Open();
  FormEEP& w = Window();
  // Readers of the tab, as the panels plug them in: each its own job.
  const auto sends = [&w](const char* command) {
    return [&w, command](Family) {
      w.jobs().Run(kFullJob, [command](EepJob& job) { job.Send(QString::fromLatin1(command)); });
    };
  };
  w.frame().handlers().counters = sends("CT:0");
  w.frame().handlers().settings = sends("TH");
  w.frame().handlers().allRows = sends("eer:00/10");
  sim_.ClearTranscript();
  Control("delay 300");
  const testing::OnceWhen inFlight([this] { return Sent("VS") == 1; },
                          [&w] { w.findChild<QAction*>(QStringLiteral("eepQuit"))->trigger(); });
  Click(QStringLiteral("JyouhouSyutoku_Dastel"));
  EXPECT_EQ((std::vector<std::string>{"CMD VS"}), Commands());
  EXPECT_TRUE(PumpUntilTrue(
      [&] {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return window_.isNull();
      },
      2000));
  // Nothing went out afterwards either.
  testing::PumpFor(100);
  EXPECT_EQ((std::vector<std::string>{"CMD VS"}), Commands());
}

}  // namespace
}  // namespace quorel::eep

// The write/read test through the real library against the simulated
// device: passes and counts on the wire, injected track faults, ErrStop, the
// track lengths of both formats, a stop during the card wait, and the
// device's modes after every run.
#include <gtest/gtest.h>

#include "core/rw_test.h"
#include "core/versions.h"
#include "sim_fixture.h"

namespace quorel::testing {
namespace {

using Bytes = std::vector<QByteArray>;

// Every key the test sets, with the device's own values.
const char kModes[] = "modes B0C3D0F1H7K0M0N0P0R2S1W2X0Y3Z1b0";

class DeviceRwTest : public DeviceTest {
 protected:
  void SetUp() override {
    DeviceTest::SetUp();
    Control(kModes);
    Control("card middle");
    ui_.SetText(QStringLiteral("CmdRWTest"), QStringLiteral("Test Start"));
    ui_.SetValue(QStringLiteral("OpJISISO"), 0, 1);
    ui_.SetText(QStringLiteral("Text12"), QStringLiteral("40"));
    ui_.SetText(QStringLiteral("Text8"), QStringLiteral("0"));
    ui_.SetText(QStringLiteral("TxtRWTestCount"), QStringLiteral("10"));
  }
  void Run() {
    Open();
    modesBefore_ = DeviceModes();
    sim_.ClearTranscript();
    test_.CmdRWTest_Click();
    EXPECT_FALSE(test_.running());
    EXPECT_EQ(ui_.Text(QStringLiteral("CmdRWTest")), QStringLiteral("Test Start"));
    EXPECT_EQ(mm().gRwTestRunning, 0);
    EXPECT_EQ(DeviceModes(), modesBefore_);
  }
  void ExpectResult(const char* text) { dialogs_.ExpectBox(ProgramTitle(), QString::fromUtf8(text), BoxAnswer::kOk); }
  // Lengths of the data of the "WD:n/" frames.
  std::vector<int> TrackLengths(int n) const {
    std::vector<int> out;
    for (const QByteArray& b : WireStarting(QStringLiteral("WD:%1/").arg(n).toLatin1().constData()))
      out.push_back(static_cast<int>(b.size()) - 5);
    return out;
  }

  QString modesBefore_;
  RwTest test_{ui_, host_};
};

TEST_F(DeviceRwTest, TenPassesOfJisRunFourTimesAndEndOk) {
  ExpectResult("連続Ｗ／Ｒ試験　ＯＫ");
  Run();
  EXPECT_EQ(TrackLengths(1), (std::vector<int>{40, 40, 40, 40}));
  EXPECT_EQ(TrackLengths(2), (std::vector<int>{40, 40, 40, 40}));
  EXPECT_TRUE(TrackLengths(3).empty());
  EXPECT_EQ(Sent("WR"), 4);
  EXPECT_EQ(Sent("VR"), 8);
  EXPECT_EQ(Sent("RC"), 12);
  EXPECT_EQ(test_.operations(), 12);
  EXPECT_EQ(ui_.Text(QStringLiteral("Label28")), QStringLiteral("Tr1 : 0/ 12\rTr2 : 0/ 12\r"));
  const Bytes modes = WireStarting("MS:");
  ASSERT_GE(modes.size(), 7u);
  EXPECT_EQ(modes[0], QByteArray("MS:R0W0"));
  EXPECT_EQ(modes.back(), modesBefore_.mid(5).prepend(QStringLiteral("MS:")).toLatin1());
  EXPECT_EQ(Sent("CO"), 1);
}

TEST_F(DeviceRwTest, IsoWritesItsThreeFixedLengths) {
  Control("modes C7");
  ui_.SetValue(QStringLiteral("OpJISISO"), 0, 0);
  ui_.SetValue(QStringLiteral("OpJISISO"), 1, 1);
  ui_.SetText(QStringLiteral("TxtRWTestCount"), QStringLiteral("4"));
  ExpectResult("連続Ｗ／Ｒ試験　ＯＫ");
  Run();
  EXPECT_EQ(TrackLengths(1), (std::vector<int>{76, 76}));
  EXPECT_EQ(TrackLengths(2), (std::vector<int>{37, 37}));
  EXPECT_EQ(TrackLengths(3), (std::vector<int>{104, 104}));
  EXPECT_EQ(WireStarting("MS:M").front(), QByteArray("MS:M1"));
  EXPECT_EQ(ui_.Text(QStringLiteral("Label29")), QStringLiteral("Tr1 : 0/ 6\rTr2 : 0/ 6\rTr3 : 0/ 6"));
}

TEST_F(DeviceRwTest, AVerifyFailureOnTrackTwoCountsOnThatTrack) {
  Control("magfault 2 verify 1");
  ExpectResult("連続Ｗ／Ｒ試験　ＮＧ\r   Tr1=  0/ 12\r   Tr2=  1/ 12\r   Tr3=  0/ 12");
  Run();
  EXPECT_EQ(test_.failures(), (std::array<int, 3>{0, 1, 0}));
  EXPECT_EQ(Sent("WR"), 4);
}

TEST_F(DeviceRwTest, ErrStopEndsAtTheFirstFailure) {
  ui_.SetValue(QStringLiteral("ChkRWErrorStop"), 1);
  Control("magfault 1 write 1");  // spoiled on the card: the write's own verify fails
  ExpectResult("連続Ｗ／Ｒ試験　ＮＧ\r   Tr1=  1/ 1\r   Tr2=  0/ 1\r   Tr3=  0/ 1");
  Run();
  EXPECT_EQ(Sent("WR"), 1);
  EXPECT_EQ(Sent("VR"), 0);
  EXPECT_EQ(Sent("RC"), 1);
  EXPECT_EQ(Sent("CO"), 1);
}

TEST_F(DeviceRwTest, ReadBackComparesTheTrackData) {
  ui_.SetValue(QStringLiteral("ChkRDDT"), 1);
  ui_.SetText(QStringLiteral("TxtRWTestCount"), QStringLiteral("1"));
  Control("magfault 1 read 1");
  ExpectResult("連続Ｗ／Ｒ試験　ＮＧ\r   Tr1=  1/ 3\r   Tr2=  0/ 3\r   Tr3=  0/ 3");
  Run();
  EXPECT_EQ(Sent("DT"), 4);
  EXPECT_EQ(ui_.Text(QStringLiteral("TxtDTtr"), 2), mm().gWrTrack2Data);
}

TEST_F(DeviceRwTest, AStopDuringTheCardWaitClearsTakesTheCardOutAndRestoresTheModes) {
  Control("card none");
  Control("cardwait manual");
  QTimer click;
  QObject::connect(&click, &QTimer::timeout, [&] {
    if (Sent("CI") >= 1 && mm().gRwCardInWait == -1) {
      click.stop();
      test_.CmdRWTest_Click();
    }
  });
  click.start(20);
  Run();
  const Bytes wire = Wire();
  ASSERT_GE(wire.size(), 6u);
  Bytes tail(wire.end() - 6, wire.end());
  tail.pop_back();  // the check's own "MR" is not the test's
  EXPECT_EQ(Bytes(tail.begin(), tail.begin() + 3), (Bytes{"CI", "CL", "CO"}));
  EXPECT_EQ(tail[3], modesBefore_.mid(5).prepend(QStringLiteral("MS:")).toLatin1());
  EXPECT_EQ(Sent("CO"), 1);
  EXPECT_EQ(Sent("WR"), 0);
  EXPECT_EQ(mm().gRwCardInWait, 0);
}

TEST_F(DeviceRwTest, AStopDuringThePassesEndsWithTheCountsSoFar) {
  ui_.SetText(QStringLiteral("TxtRWTestCount"), QStringLiteral("1000"));
  QTimer click;
  QObject::connect(&click, &QTimer::timeout, [&] {
    if (Sent("WR") >= 2) {
      click.stop();
      test_.CmdRWTest_Click();
    }
  });
  click.start(0);  // every pass of the event loop: no exchange slips by unseen
  ExpectResult("連続Ｗ／Ｒ試験　ＯＫ");
  Run();
  EXPECT_GE(test_.operations(), 3);
  EXPECT_LE(Sent("WR"), 3);
  EXPECT_EQ(Sent("CO"), 1);
}

}  // namespace
}  // namespace quorel::testing

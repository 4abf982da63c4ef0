// The download job against the simulated device through the real library:
// what reaches the device's image RAM, record for record and block for
// block, in the program's own conversion and in the library's.
#include <QElapsedTimer>
#include <QTimer>

#include "bmp_job_sim_fixture.h"

namespace quorel::testing {
namespace {

TEST_F(BmpJobSim, PiProgramModeAreaTwoFillsTheRamShiftedSixtyRows) {
  UseArea(2);
  c_.lines = {QStringLiteral("T"), QStringLiteral("AB"), QStringLiteral("CD"), QStringLiteral("EF"), QStringLiteral("GH")};
  c_.cardKind = QStringLiteral("5");
  c_.silver = true;
  ExpectCardBox();
  BmpDownloadJob job(line_, Link(), jobView_, watch_, c_);
  job.Run();
  ASSERT_EQ(job.records().size(), 100u);
  for (size_t i = 0; i < job.records().size(); ++i)
    EXPECT_TRUE(job.records()[i].startsWith(QStringLiteral("PI:0/%1/40/").arg(60 + 3 * static_cast<int>(i))));
  EXPECT_EQ(Sent("PI"), 100);
  EXPECT_EQ(Ram(2), Expected(2));
  EXPECT_EQ(Sent("PD"), 1);
  EXPECT_EQ(Sent("PR"), 1);
  EXPECT_EQ(sim_.PrintedCards().size(), 1u);
  EXPECT_EQ(Card(1), CardOf(2));
  const QByteArray text = CardText(1);
  EXPECT_TRUE(text.startsWith("kind 5\nbackground silver\n")) << text.constData();
  EXPECT_TRUE(text.contains("\ntext T\ntext AB\n")) << text.constData();
  // The work file holds the records sent, one a line.
  QFile f(dir_.file(QStringLiteral("IRtemp.dat")));
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  QByteArray expected;
  for (const QString& r : job.records()) expected += r.toLatin1() + "\r\n";
  EXPECT_EQ(f.readAll(), expected);
}

TEST_F(BmpJobSim, PiLibraryModeMatchesProgramMode) {
  UseArea(0);
  ExpectCardBox();
  BmpDownloadJob(line_, Link(), jobView_, watch_, c_).Run();
  const auto programRam = Ram(0);
  EXPECT_EQ(programRam, Expected(0));

  Control("image clear");
  sim_.ClearTranscript();
  c_.library = true;
  c_.filePath = PictureFile(460);
  ExpectCardBox();
  BmpDownloadJob(line_, Link(), jobView_, watch_, c_).Run();
  EXPECT_EQ(Sent("PI"), 77);
  EXPECT_EQ(Ram(0), programRam);
  EXPECT_EQ(Sent("PR"), 1);
  EXPECT_EQ(Card(1), CardOf(0));
  EXPECT_EQ(Card(2), Card(1));

  // A missing file: red error, and the channel serves the next command.
  sim_.ClearTranscript();
  c_.filePath = dir_.file(QStringLiteral("none.bmp"));
  BmpDownloadJob(line_, Link(), jobView_, watch_, c_).Run();
  EXPECT_EQ(jobView_.last(), QStringLiteral("BMP Data Transmit Error"));
  EXPECT_EQ(jobView_.colour, kStatusRed);
  EXPECT_EQ(Comu(QStringLiteral("VS")), ComuOutcome::kAnswered);
  EXPECT_EQ(Sent("VS"), 1);
}

TEST_F(BmpJobSim, IbProgramModeMatchesThePiPath) {
  UseArea(1);
  ExpectCardBox();
  BmpDownloadJob(line_, Link(), jobView_, watch_, c_).Run();
  EXPECT_EQ(Card(1), CardOf(1));

  Control("image clear");
  sim_.ClearTranscript();
  c_.ib = true;
  ExpectCardBox();
  BmpDownloadJob job(line_, Link(), jobView_, watch_, c_);
  job.Run();
  EXPECT_EQ(job.blocks().size(), 150u);
  EXPECT_EQ(Ram(1), Expected(1));
  EXPECT_EQ(Sent("PR"), 1);
  EXPECT_EQ(Card(2), Card(1));
  EXPECT_EQ(jobView_.colour, kStatusCyan);
  EXPECT_EQ(Comu(QStringLiteral("VS")), ComuOutcome::kAnswered);
}

TEST_F(BmpJobSim, AreaThreeKeepsItsLastRowInBothModes) {
  UseArea(3);
  c_.ib = true;
  ExpectCardBox();
  BmpDownloadJob(line_, Link(), jobView_, watch_, c_).Run();
  const auto ram = Ram(3);
  EXPECT_EQ(ram, Expected(3));
  ASSERT_EQ(ram.count(60 + 464), 1u);
  EXPECT_EQ(Card(1), CardOf(3));

  Control("image clear");
  c_.library = true;
  c_.filePath = PictureFile(465);
  ExpectCardBox();
  BmpDownloadJob(line_, Link(), jobView_, watch_, c_).Run();
  EXPECT_EQ(Ram(3), ram);
  EXPECT_EQ(Card(2), Card(1));
}

TEST_F(BmpJobSim, RefusedBlockEndsWithError) {
  UseArea(1);
  c_.ib = true;
  Control("ibnak 3 100");
  BmpDownloadJob(line_, Link(), jobView_, watch_, c_).Run();
  EXPECT_EQ(jobView_.last(), QStringLiteral("Error"));
  EXPECT_EQ(sim_.ImageRows().count(12), 0u);
  EXPECT_EQ(sim_.ImageRows().count(11), 1u);
  Control("ibnak off");
  EXPECT_EQ(Comu(QStringLiteral("VS")), ComuOutcome::kAnswered);
  EXPECT_EQ(Sent("VS"), 1);
}

TEST_F(BmpJobSim, SilentDeviceAndStopEndWithErrorWithoutHanging) {
  UseArea(1);
  c_.ib = true;
  mm().gRespTimer = kShortTimeoutMs;  // the block's answer wait
  Control("ibsilent 1");
  QElapsedTimer stopAt;
  const OnceWhen blockPhase([] { return mm().gLineBusy == 1; }, [&] {
    // The window's Stop: its "CL" is refused at once during the block phase.
    mm().gSendCommand = QStringLiteral("CL");
    EXPECT_EQ(channel_.comu(), ComuOutcome::kBusy);
    mm().gStopRequest = 1;
    stopAt.start();
  });
  BmpDownloadJob(line_, Link(), jobView_, watch_, c_).Run();
  ASSERT_TRUE(stopAt.isValid());
  // Within the block's answer wait, give or take a busy machine: no wait
  // begun after the stop.
  EXPECT_LT(stopAt.elapsed(), 10 * (mm().gRespTimer + 100));
  EXPECT_EQ(jobView_.last(), QStringLiteral("Error"));
  Control("ibsilent off");
  EXPECT_EQ(Comu(QStringLiteral("VS")), ComuOutcome::kAnswered);
}


}  // namespace
}  // namespace quorel::testing

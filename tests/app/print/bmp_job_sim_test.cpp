// The download job against the simulated device through the real library:
// what reaches the device's image RAM, record for record and block for
// block, in the program's own conversion and in the library's.
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>
#include <chrono>

#include "../channel/sim_channel_fixture.h"
#include "bmp_job_fakes.h"
#include "core/event_wait.h"
#include "core/versions.h"
#include "picture_files.h"
#include "print/bmp_channel_line.h"
#include "print/bmp_download_job.h"

namespace quorel::testing {
namespace {

const bool kProgramDirSet = qputenv("QUOREL_PROGRAM_DIR", QUOREL_LIBRARY_DIR);

// A pattern with dots in every column and row phase.
bool Dot(int x, int y) { return (x * 7 + y * 13) % 11 < 4; }

class BmpJobSim : public SimChannelTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(kProgramDirSet);
    SimChannelTest::SetUp();
    Control("cardwait 20");
    picture_ = WhitePicture(320, 600);
    for (int y = 0; y < 600; ++y)
      for (int x = 0; x < 320; ++x)
        if (Dot(x, y)) Blacken(&picture_, x, y);
    jobView_.onPump = [] { PumpPendingEvents(); };
    c_.bitmapFolder = dir_.path() + QLatin1Char('/');
    Open();
  }
  void UseArea(int area) {
    c_.area = area;
    c_.printArea = PrintAreaAt(area);
  }
  QString PictureFile(int height) {
    const QString path = dir_.file(QStringLiteral("pic.bmp"));
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(MakeBmp(320, height, 24, [](int x, int y) { return Dot(x, y) ? 0xFF000000u : 0xFFFFFFFFu; }));
    return path;
  }
  // The RAM rows the area must hold: picture row y at row offset + y.
  std::map<int, sim::Bytes> Expected(int area) const {
    const PrintArea a = PrintAreaAt(area);
    std::map<int, sim::Bytes> rows;
    for (int y = 0; y < a.height(); ++y) {
      std::vector<uint8_t> bytes;
      printdata::AppendPackedRow(printdata::ViewOf(picture_), a.scanArea(), y, printdata::Thresholds(), {}, &bytes);
      rows[a.rowOffset + y] = sim::Bytes(bytes.begin(), bytes.end());
    }
    return rows;
  }
  // The rows of the RAM in the area's range.
  std::map<int, sim::Bytes> Ram(int area) const {
    const PrintArea a = PrintAreaAt(area);
    std::map<int, sim::Bytes> rows;
    for (const auto& [row, bytes] : sim_.ImageRows())
      if (row >= a.rowOffset && row < a.rowOffset + a.height()) rows[row] = bytes;
    return rows;
  }
  void ExpectCardBox() {
    dialogs_.ExpectBox(ProgramTitle(), QStringLiteral("Please Insert a card"), BoxAnswer::kOk);
  }

  printdata::RgbImage picture_;
  JobRecordingView jobView_{&picture_};
  ChannelLine line_{channel_};
  BmpStopwatch watch_;
  BmpJobChoices c_;
};

TEST_F(BmpJobSim, PiProgramModeAreaTwoFillsTheRamShiftedSixtyRows) {
  UseArea(2);
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
  c_.ib = true;
  ExpectCardBox();
  BmpDownloadJob job(line_, Link(), jobView_, watch_, c_);
  job.Run();
  EXPECT_EQ(job.blocks().size(), 150u);
  EXPECT_EQ(Ram(1), Expected(1));
  EXPECT_EQ(Sent("PR"), 1);
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

  Control("image clear");
  c_.library = true;
  c_.filePath = PictureFile(465);
  ExpectCardBox();
  BmpDownloadJob(line_, Link(), jobView_, watch_, c_).Run();
  EXPECT_EQ(Ram(3), ram);
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
  Control("ibsilent 1");
  QElapsedTimer stopAt;
  QTimer::singleShot(400, [&] {
    // The window's Stop: its "CL" is refused at once during the block phase.
    mm().gSendCommand = QStringLiteral("CL");
    EXPECT_EQ(channel_.comu(), ComuOutcome::kBusy);
    mm().gStopRequest = 1;
    stopAt.start();
  });
  BmpDownloadJob(line_, Link(), jobView_, watch_, c_).Run();
  ASSERT_TRUE(stopAt.isValid());
  EXPECT_LE(stopAt.elapsed(), mm().gRespTimer + 100);
  EXPECT_EQ(jobView_.last(), QStringLiteral("Error"));
  Control("ibsilent off");
  EXPECT_EQ(Comu(QStringLiteral("VS")), ComuOutcome::kAnswered);
}

TEST_F(BmpJobSim, PacedBlockPhaseStaysNearItsWireTime) {
  UseArea(1);
  c_.ib = true;
  mm().gBoud = 115200;
  channel_.commClose();
  Open();
  Control("pace 115200 11");
  ExpectCardBox();
  BmpDownloadJob job(line_, Link(), jobView_, watch_, c_);
  job.Run();
  // Wire time of the blocks and their one-byte answers at 11 bits a byte.
  const double wire = 150.0 * (164 + 1) * 11 / 115200.0;
  // The job's own transfer time: the block phase, "IB" reply to last answer.
  ASSERT_TRUE(jobView_.times[1].has_value());
  const double measured = *jobView_.times[1] / 1000.0;
  std::printf("IB block phase, area 1, 115200 baud: %.3f s; wire time %.3f s (%.2fx)\n", measured, wire,
              measured / wire);
  EXPECT_EQ(Ram(1), Expected(1));

  // The library's own loop over the same blocks ("IB", blocks, closing
  // poll, its conversion included): the program's block phase is no slower.
  c_.library = true;
  c_.filePath = PictureFile(600);
  ExpectCardBox();
  BmpDownloadJob(line_, Link(), jobView_, watch_, c_).Run();
  ASSERT_TRUE(jobView_.times[0].has_value());
  const double library = *jobView_.times[0] / 1000.0;
  std::printf("library call (conversion included): %.3f s (%.2fx)\n", library, library / wire);
  // Alone on the machine the block phase takes 1.09-1.10x its wire time, like
  // the library's own loop; the rest is the line's per-block turnaround. The
  // bounds leave room for a loaded test machine: they catch a block phase
  // that waits where it should not, not scheduling noise.
  EXPECT_LE(measured, library * 1.15);
  EXPECT_LE(measured, 1.3 * wire);
}

}  // namespace
}  // namespace quorel::testing

// The download job against the simulated device through the real library,
// on a 320 x 600 picture with dots in every column and row phase: what
// reaches the device's image RAM and what its printed cards show.
#pragma once
#include <QDir>
#include <QFile>
#include <map>

#include "../channel/sim_channel_fixture.h"
#include "bmp_job_fakes.h"
#include "core/event_wait.h"
#include "core/versions.h"
#include "picture_files.h"
#include "print/bmp_channel_line.h"
#include "print/bmp_download_job.h"

namespace quorel::testing {

inline const bool kProgramDirSet = qputenv("QUOREL_PROGRAM_DIR", QUOREL_LIBRARY_DIR);

// A pattern with dots in every column and row phase.
inline bool Dot(int x, int y) { return (x * 7 + y * 13) % 11 < 4; }

// The pattern as a picture in memory.
inline printdata::RgbImage DotPicture(int width, int height) {
  printdata::RgbImage picture = WhitePicture(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      if (Dot(x, y)) Blacken(&picture, x, y);
  return picture;
}

// The pattern as a 320-dot picture file of the given height.
inline QByteArray DotBmp(int height) {
  return MakeBmp(320, height, 24, [](int x, int y) { return Dot(x, y) ? 0xFF000000u : 0xFFFFFFFFu; });
}

// The RAM rows a print area must hold after the picture went down: picture
// row y at row offset + y.
inline std::map<int, sim::Bytes> AreaRows(const printdata::RgbImage& picture, int area) {
  const PrintArea a = PrintAreaAt(area);
  std::map<int, sim::Bytes> rows;
  for (int y = 0; y < a.height(); ++y) {
    std::vector<uint8_t> bytes;
    printdata::AppendPackedRow(printdata::ViewOf(picture), a.scanArea(), y, printdata::Thresholds(), {}, &bytes);
    rows[a.rowOffset + y] = sim::Bytes(bytes.begin(), bytes.end());
  }
  return rows;
}

class BmpJobSim : public SimChannelTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(kProgramDirSet);
    SimChannelTest::SetUp();
    Control("cardwait 20");
    picture_ = DotPicture(320, 600);
    jobView_.onPump = [] { PumpPendingEvents(); };
    c_.bitmapFolder = dir_.path() + QLatin1Char('/');
    ASSERT_TRUE(QDir(dir_.path()).mkpath(QStringLiteral("cards")));
    Control("cards " + dir_.file(QStringLiteral("cards")).toStdString());
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
    f.write(DotBmp(height));
    return path;
  }
  // The RAM rows the area must hold: picture row y at row offset + y.
  std::map<int, sim::Bytes> Expected(int area) const { return AreaRows(picture_, area); }
  // The rows of the RAM in the area's range.
  std::map<int, sim::Bytes> Ram(int area) const {
    const PrintArea a = PrintAreaAt(area);
    std::map<int, sim::Bytes> rows;
    for (const auto& [row, bytes] : sim_.ImageRows())
      if (row >= a.rowOffset && row < a.rowOffset + a.height()) rows[row] = bytes;
    return rows;
  }
  // The n-th printed card's picture as the device wrote it (binary PBM).
  QByteArray Card(int n) const {
    QFile f(dir_.file(QStringLiteral("cards/card-%1.pbm").arg(n, 3, 10, QLatin1Char('0'))));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }
  QByteArray CardText(int n) const {
    QFile f(dir_.file(QStringLiteral("cards/card-%1.txt").arg(n, 3, 10, QLatin1Char('0'))));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }
  // The card a fresh device prints for the area: 600 rows of 320 dots, the
  // picture's rows at the area's rows, white elsewhere.
  QByteArray CardOf(int area) const {
    QByteArray pbm = "P4\n320 600\n";
    const int head = pbm.size();
    pbm += QByteArray(600 * 40, '\0');
    for (const auto& [row, bytes] : Expected(area)) pbm.replace(head + row * 40, 40, reinterpret_cast<const char*>(bytes.data()), 40);
    return pbm;
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

}  // namespace quorel::testing

// The bitmap window's library ("DLL") downloads of a picture whose path is
// not ASCII, clicked on the window against the simulated device: the library
// gets the path as CP932 bytes and fills the image RAM with the picture; a
// path CP932 cannot hold is refused with a box that names it, before
// anything is sent.
#include <QDir>

#include "bmp_job_sim_fixture.h"
#include "bmp_window_sim_fixture.h"

namespace quorel::testing {
namespace {

class LibraryPathSim : public BmpWindowSim {
 protected:
  // The dot pattern as a picture of the first print area's height in folder/pic.bmp.
  QString Picture(const QString& folder) {
    const QString dir = dir_.file(folder);
    EXPECT_TRUE(QDir().mkpath(dir));
    const QString path = dir + QStringLiteral("/pic.bmp");
    EXPECT_TRUE(WriteFile(path, DotBmp(PrintAreaAt(0).height())));
    return path;
  }
  // One "BMP Transmit and Print" in library mode; the card box is cancelled.
  void Transmit(const QString& path, bool ib) {
    ui().SetText(QStringLiteral("TxtFilePathBox"), path);
    ui().SetValue(QStringLiteral("OpIBPI"), ib ? 0 : 1, 1);
    ui().SetValue(QStringLiteral("OpTranceMode"), 0, 1);
    Control("image clear");
    sim_.ClearTranscript();
    Click("CmdBMPTrans");
  }
  int HostEntries() const {
    int n = 0;
    for (const sim::TranscriptEntry& e : sim_.Transcript()) n += e.dir == sim::Dir::Host ? 1 : 0;
    return n;
  }
};

TEST_F(LibraryPathSim, AJapaneseFolderSendsEveryRecordAndBlockInLibraryMode) {
  const QString path = Picture(QStringLiteral("画像"));
  const auto expected = AreaRows(DotPicture(320, PrintAreaAt(0).height()), 0);
  for (const bool ib : {false, true}) {
    ExpectInsert(BoxAnswer::kCancel);  // the job goes on past the image to the card
    Transmit(path, ib);
    EXPECT_EQ(dialogs_.pending(), 0u) << ib;
    EXPECT_GT(Sent(ib ? "IB" : "PI"), 0) << ib;
    const auto rows = sim_.ImageRows();
    EXPECT_TRUE(rows == expected) << ib << ": " << rows.size() << " RAM rows, " << expected.size() << " expected";
  }
}

TEST_F(LibraryPathSim, APathCp932CannotHoldIsNamedAndNothingIsSent) {
  const QString path = Picture(QStringLiteral("café"));
  for (const bool ib : {false, true}) {
    dialogs_.ExpectBox(QStringLiteral("BMP Data Transmit Error"),
                       QStringLiteral("The picture's path holds characters that cannot be passed to the library "
                                      "(DLL mode):\r\n") +
                           path +
                           QStringLiteral("\r\n\r\nSend it in Form mode, or move the picture to a folder whose path "
                                          "has none of them."),
                       BoxAnswer::kOk);
    Transmit(path, ib);
    EXPECT_EQ(dialogs_.pending(), 0u) << ib;
    EXPECT_EQ(HostEntries(), 0) << ib;
    EXPECT_TRUE(ui().Enabled(QStringLiteral("CmdBMPTrans")));
  }
}

}  // namespace
}  // namespace quorel::testing

// The export as the window runs it: the file in the bitmap folder, Stop
// from the window's events, and a folder it cannot write to.
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include "core/main_module.h"
#include "core/versions.h"
#include "print/assembler_export_job.h"
#include "recording_job_view.h"
#include "support/scripted_dialogs.h"
#include "temp_dir.h"

namespace quorel::testing {
namespace {

class AssemblerJob : public ::testing::Test {
 protected:
  void SetUp() override {
    mm() = MainModule{};
    white_.width = 320;
    white_.height = 460;
    white_.rgb.assign(320 * 460 * 3, 0xFF);
    view_.pixels = printdata::ViewOf(white_);
    folder_ = dir_.path() + QLatin1Char('/');
  }
  QByteArray Written() {
    QFile f(folder_ + QStringLiteral("IMAGE.dat"));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    return f.readAll();
  }
  QByteArray Golden() {
    QFile f(QStringLiteral(QUOREL_GOLDEN_DIR "/image_white_460.dat"));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    return f.readAll();
  }

  TempDir dir_;
  QString folder_;
  printdata::RgbImage white_;
  RecordingJobView view_;
  ScriptedDialogs dialogs_;
  PrintArea area0_;  // 320 x 460
};

TEST_F(AssemblerJob, WritesTheWholeFileAndShowsItsRows) {
  mm().gStopRequest = 1;  // left from an earlier job: the export clears it
  EXPECT_EQ(ExportAssemblerFile(view_, folder_, area0_, printdata::Thresholds()), AssemblerEnd::kDone);
  EXPECT_EQ(Written(), Golden());
  EXPECT_EQ(view_.rows.size(), 460u);
  EXPECT_EQ(view_.status, QStringLiteral("Data Set Finish"));
  EXPECT_EQ(view_.colour, kStatusCyan);
  EXPECT_TRUE(view_.unlocked);
}

TEST_F(AssemblerJob, StopFromTheWindowEndsTheFileAtThatRow) {
  view_.onPump = [this] {
    if (view_.rows.back() == 10) mm().gStopRequest = 1;
  };
  EXPECT_EQ(ExportAssemblerFile(view_, folder_, area0_, printdata::Thresholds()), AssemblerEnd::kStopped);
  const QByteArray file = Written();
  EXPECT_TRUE(file.endsWith("H'00   ; 10\n;\r\n"));
  EXPECT_EQ(file, Golden().left(file.size()));
  EXPECT_EQ(view_.status, QStringLiteral("Stop"));
  EXPECT_TRUE(view_.unlocked);
}

TEST_F(AssemblerJob, AMissingFolderGivesTheBoxNamingThePath) {
  const QString missing = folder_ + QStringLiteral("gone/");
  const QString path = missing + QStringLiteral("IMAGE.dat");
  dialogs_.ExpectBox(ProgramTitle(), AssemblerWriteError(path), BoxAnswer::kOk);
  EXPECT_EQ(ExportAssemblerFile(view_, missing, area0_, printdata::Thresholds()), AssemblerEnd::kNotWritten);
  ASSERT_EQ(dialogs_.recorded().size(), 1u);
  EXPECT_EQ(dialogs_.recorded()[0].icon, BoxIcon::kCritical);
  EXPECT_TRUE(dialogs_.recorded()[0].text.contains(QDir::toNativeSeparators(path)));
  EXPECT_FALSE(QFile::exists(path));
  EXPECT_TRUE(view_.unlocked);
}

TEST_F(AssemblerJob, AFolderInThePlaceOfTheFileIsReportedAndKept) {
  // Whatever the user's rights, a folder is not replaced by the file.
  ASSERT_TRUE(QDir(folder_).mkdir(QStringLiteral("IMAGE.dat")));
  dialogs_.ExpectBox(ProgramTitle(), AssemblerWriteError(folder_ + QStringLiteral("IMAGE.dat")), BoxAnswer::kOk);
  EXPECT_EQ(ExportAssemblerFile(view_, folder_, area0_, printdata::Thresholds()), AssemblerEnd::kNotWritten);
  EXPECT_TRUE(QFileInfo(folder_ + QStringLiteral("IMAGE.dat")).isDir());
  EXPECT_TRUE(view_.unlocked);
}

}  // namespace
}  // namespace quorel::testing

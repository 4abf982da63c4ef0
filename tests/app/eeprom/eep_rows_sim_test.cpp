// The raw row grid and the EEPROM data files on the real library and the
// in-process simulator: the commands on the wire, what the simulator's word
// store holds afterwards, failed rows, and the files byte for byte.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTabWidget>
#include <QTimer>

#include "core/cp932_codec.h"
#include "core/versions.h"
#include "eeprom/eep_rows.h"
#include "eep_window_sim_fixture.h"
#include "eeprom/form_eep.h"
#include "support/rendered_view.h"

namespace quorel::eep {
namespace {

const QString kRow10 = QStringLiteral("0123456789ABCDEF0123456789ABCDEF0123456789ABCDEF0123456789ABCDEF");

class EepRowsOnSimulator : public EepWindowOnSimulator {
 protected:
  void SetUp() override {
    SimChannelTest::SetUp();
    Control("version Mivor07.02");
  }
  void Menu(const char* name) {
    auto* a = Window().findChild<QAction*>(QString::fromLatin1(name));
    ASSERT_NE(nullptr, a);
    a->trigger();
  }
  QLineEdit* Box(Family f, int row) {
    return Window().findChild<QLineEdit*>(ControlKey(Named(QStringLiteral("TxtEEPALL"), f), row));
  }
  void Mode(Family f, int index) { Click(Named(QStringLiteral("OpEEPAllRdWr"), f), index); }
  void Tab(Family f) {
    Window().tabStrip()->setCurrentIndex(TabOf(f));
    Control(std::string("eeprom family ") + FamilyName(f).toLower().toStdString());
  }
  std::vector<std::string> Commands() const { return CommandTags(); }
  int Writes() const { return Sent("ee w:"); }
  int CountPrefix(const std::string& prefix) const {
    int n = 0;
    for (const std::string& c : Commands()) n += c.compare(0, prefix.size(), prefix) == 0;
    return n;
  }
  // The simulator's words as "eeprom dump AA NN" notes them.
  std::string Words(const std::string& address, const std::string& count) {
    sim_.ClearTranscript();
    Control("eeprom dump " + address + " " + count);
    for (const sim::TranscriptEntry& e : sim_.Transcript()) {
      const size_t at = e.tag.find("eeprom ");
      if (at != std::string::npos) return e.tag.substr(e.tag.rfind(' ') + 1);
    }
    return std::string();
  }
  QString Path(const char* name) const { return dir_.file(QString::fromLatin1(name)); }
  static QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }
  void ExpectExportSuccess() {
    dialogs_.ExpectBox(QStringLiteral("EEPROM Data Export Success"), QStringLiteral("データファイル出力完了"),
                       BoxAnswer::kOk);
  }
  void ExpectExportError() {
    dialogs_.ExpectBox(QStringLiteral("EEPROM Data Export Error"),
                       QStringLiteral("データ取得中にエラーが発生いたしました。\r\nもう一度やり直しをお勧めします。"),
                       BoxAnswer::kOk);
  }
};

TEST_F(EepRowsOnSimulator, MivorRowButtonReadsTwiceAndWritesWithReadBack) {
  Window();
  Open();
  sim_.ClearTranscript();
  Click(QStringLiteral("CmdEEPAd_Mivor"), 10);
  EXPECT_EQ((std::vector<std::string>{"CMD VS", "CMD ee r:A0/10", "CMD ee r:A0/10"}), Commands());
  const QString read = Box(Family::kMivor, 10)->text();
  EXPECT_EQ(64, read.size());
  EXPECT_EQ(WithLength(read), Box(Family::kMivor, 10)->toolTip());

  Mode(Family::kMivor, 1);
  Box(Family::kMivor, 10)->setText(kRow10);
  sim_.ClearTranscript();
  Click(QStringLiteral("CmdEEPAd_Mivor"), 10);
  EXPECT_EQ((std::vector<std::string>{"CMD VS", "CMD ee w:A0/10/" + kRow10.toStdString(), "CMD ee r:A0/10"}),
            Commands());
  EXPECT_EQ(kRow10, Box(Family::kMivor, 10)->text());
  EXPECT_EQ(kRow10.toStdString(), Words("A0", "10"));
}

TEST_F(EepRowsOnSimulator, MivorAllRowsWriteCancelledSendsNoWrite) {
  Window();
  Mode(Family::kMivor, 1);
  dialogs_.ExpectBox(QStringLiteral("EEPROM Write"),
                     QStringLiteral("画面の0x00～0xFF迄の値を書き込みます。\r\nよろしいでしょうか？"),
                     BoxAnswer::kCancel);
  Click(QStringLiteral("CmdEepAll_Mivor"));
  EXPECT_EQ(0, Writes());
  EXPECT_EQ(0u, dialogs_.pending());
  EXPECT_TRUE(Window().tabStrip()->isEnabled());
}

TEST_F(EepRowsOnSimulator, MivorFillWritesEveryRowAndSelectsWrite) {
  Window();
  Mode(Family::kMivor, 2);
  EXPECT_EQ(ErasedRow(), Box(Family::kMivor, 15)->text());  // the option fills at once
  dialogs_.ExpectBox(QStringLiteral("EEPROM Write"),
                     QStringLiteral("0x00～0xFF迄の値を全て\"F\"の値で書き込み初期化いたします。\r\nよろしいでしょうか？"),
                     BoxAnswer::kOk);
  Click(QStringLiteral("CmdEepAll_Mivor"));
  EXPECT_EQ(16, Writes());
  EXPECT_EQ(16, Sent("ee r:"));
  EXPECT_EQ(std::string(256 * 4, 'F'), Words("00", "FF") + Words("FF", "01"));
  EXPECT_EQ(ErasedRow(), Box(Family::kMivor, 0)->text());
  EXPECT_EQ(RowLabel(0) + QStringLiteral(":") + WithLength(ErasedRow()), Box(Family::kMivor, 0)->toolTip());
  EXPECT_TRUE(Window().controls().Ticked(QStringLiteral("OpEEPAllRdWr_Mivor"), 1));
}

TEST_F(EepRowsOnSimulator, DastelAllRowsWriteAsksNothing) {
  Tab(Family::kDastel);
  // No mode chosen yet: nothing but the port's own exchanges.
  Click(QStringLiteral("CmdEepAll_Dastel"));
  Click(QStringLiteral("CmdEEPAd_Dastel"), 1);
  EXPECT_EQ(0, Sent("ee "));
  Mode(Family::kDastel, 0);
  Click(QStringLiteral("CmdEepAll_Dastel"));
  EXPECT_EQ(4, Sent("ee r:"));
  EXPECT_EQ(0, Sent("VS"));
  const QString row1 = Box(Family::kDastel, 1)->text();
  EXPECT_EQ(RowLabel(1) + QStringLiteral(":") + row1 + QStringLiteral("(64)"), Box(Family::kDastel, 1)->toolTip());
  Mode(Family::kDastel, 1);
  sim_.ClearTranscript();
  Click(QStringLiteral("CmdEepAll_Dastel"));  // no box expected: a box would fail the test
  EXPECT_EQ(4, Writes());
  EXPECT_EQ(4, Sent("ee r:"));
  EXPECT_EQ(row1, Box(Family::kDastel, 1)->text());
}

TEST_F(EepRowsOnSimulator, FailedRowShowsItsReplyAndTheLoopGoesOn) {
  Window();
  Control("eeprom fail A5 37");
  mm().gReportMode = -1;
  mm().gReportSeparator = QStringLiteral(":");
  Mode(Family::kMivor, 1);  // report mode reads whatever is chosen
  Click(QStringLiteral("CmdEepAll_Mivor"));
  EXPECT_EQ(0, Writes());
  EXPECT_EQ(QStringLiteral("Aee37"), Box(Family::kMivor, 10)->text());
  EXPECT_EQ(64, Box(Family::kMivor, 11)->text().size());
  EXPECT_EQ(16, Sent("ee r:"));
  EXPECT_TRUE(Window().frame().reportBuffer().contains(RowLabel(10) + QStringLiteral(":Aee37\r\n")));
  EXPECT_TRUE(Window().frame().reportBuffer().startsWith(RowLabel(0) + QStringLiteral(":")));
  mm().gReportMode = 0;
}

// Every row box shows the start of its 64 digits (the lowest address first).
TEST_F(EepRowsOnSimulator, MivorAllRowsReadShowsEachRowFromItsStart) {
  Control("eeprom set 00 " + kRow10.toStdString());
  Window().show();
  Click(QStringLiteral("CmdEepAll_Mivor"));
  EXPECT_EQ(16, Sent("ee r:"));
  ASSERT_EQ(kRow10, Box(Family::kMivor, 0)->text());
  EXPECT_TRUE(testing::ShowsTextStart(Box(Family::kMivor, 0)));
  for (int r = 0; r < 16; ++r) EXPECT_EQ(0, Box(Family::kMivor, r)->cursorPosition()) << r;
  ASSERT_TRUE(QDir().mkpath(QStringLiteral(QUOREL_SCREENSHOT_DIR)));
  ASSERT_TRUE(Window().grab().save(QStringLiteral(QUOREL_SCREENSHOT_DIR "/eeprom_mivor_rows_read.png")));
}

// The Dastel export of the factory image, byte for byte.
TEST_F(EepRowsOnSimulator, DastelExportMatchesTheGoldenFile) {
  Tab(Family::kDastel);
  const QString path = Path("dastel.eep");
  dialogs_.ExpectSaveFile(path);
  ExpectExportSuccess();
  Menu("EEPROMExport");
  const QByteArray bytes = ReadAll(path);
  const QByteArray firstKey = QByteArray::fromHex("307830308160307830462830302F3130293D");
  EXPECT_TRUE(bytes.contains("\r\n" + firstKey)) << bytes.toStdString();
  EXPECT_EQ(ReadAll(QStringLiteral(QUOREL_EEP_GOLDEN_DIR "/dastel_default.eep")), bytes);
  EXPECT_EQ(RowLabel(0) + QStringLiteral(":") + Box(Family::kDastel, 0)->text() + QStringLiteral("(64)"),
            Box(Family::kDastel, 0)->toolTip());
}

TEST_F(EepRowsOnSimulator, SecondRunningCopyWritesItsOwnSections) {
  mm().gInstanceNo = 1;
  Tab(Family::kQuenby);
  const QString path = Path("q1.eep");
  dialogs_.ExpectSaveFile(path);
  ExpectExportSuccess();
  Menu("EEPROMExport");
  const QByteArray bytes = ReadAll(path);
  EXPECT_TRUE(bytes.startsWith("[EEPROM_Data_Title1]\r\nTitle=Quenby_EEPROM_Data\r\n")) << bytes.toStdString();
  EXPECT_TRUE(bytes.contains("\r\n[EEPROM_Address1]\r\n"));
  // Running copy 0 finds no title in it.
  mm().gInstanceNo = 0;
  dialogs_.ExpectOpenFile(path);
  dialogs_.ExpectBox(QStringLiteral("Quenby EEPROM Data"),
                     QStringLiteral("ファイルが壊れているか、この機種のファイルではありません。"), BoxAnswer::kOk);
  Menu("EEPROMImport");
  EXPECT_EQ(0u, dialogs_.pending());
}

TEST_F(EepRowsOnSimulator, ExportThenImportRoundTripsOnEveryTab) {
  for (Family f : {Family::kMivor, Family::kDastel, Family::kQuenby, Family::kFolsk}) {
    SCOPED_TRACE(FamilyName(f).toStdString());
    Tab(f);
    const QString path = Path("rt.eep") + FamilyName(f);
    dialogs_.ExpectSaveFile(path);
    ExpectExportSuccess();
    Menu("EEPROMExport");
    QStringList exported;
    for (int r = 0; r < RowCount(f); ++r) {
      exported << Box(f, r)->text();
      Box(f, r)->setText(QStringLiteral("edited"));
    }
    EXPECT_EQ(64, exported.first().size());
    dialogs_.ExpectOpenFile(path);
    dialogs_.ExpectBox(QStringLiteral("EEPROM Data Import Success"), QStringLiteral("データファイル取込完了"),
                       BoxAnswer::kOk);
    Menu("EEPROMImport");
    for (int r = 0; r < RowCount(f); ++r) EXPECT_EQ(exported[r], Box(f, r)->text()) << r;
  }
  EXPECT_EQ(0u, dialogs_.pending());
}

TEST_F(EepRowsOnSimulator, ImportingAReportFileLeavesTheBoxesAlone) {
  Tab(Family::kMivor);
  const QString path = Path("report.txt");
  QFile report(path);
  ASSERT_TRUE(report.open(QIODevice::WriteOnly));
  report.write(cp932::Encode(RowLabel(0) + QStringLiteral(":") + ErasedRow() + QStringLiteral("\r\n")));
  report.close();
  Box(Family::kMivor, 0)->setText(QStringLiteral("kept"));
  dialogs_.ExpectOpenFile(path);
  dialogs_.ExpectBox(QStringLiteral("Mivor EEPROM Data"),
                     QStringLiteral("ファイルが壊れているか、この機種のファイルではありません。"), BoxAnswer::kOk);
  Menu("EEPROMImport");
  EXPECT_EQ(QStringLiteral("kept"), Box(Family::kMivor, 0)->text());
  EXPECT_EQ(0u, dialogs_.pending());
}

// A row that fails while exporting into an existing file loses its old key,
// so a later import cannot take the older value for good data.
TEST_F(EepRowsOnSimulator, FailedRowIsTakenOutOfAnExistingFile) {
  Tab(Family::kDastel);
  const QString path = Path("existing.eep");
  dialogs_.ExpectSaveFile(path);
  ExpectExportSuccess();
  Menu("EEPROMExport");
  ASSERT_TRUE(ReadAll(path).contains(cp932::Encode(RowLabel(2))));

  Control("eeprom fail 2A 37");
  mm().gReportPromptResult = -1;  // a cancelled report prompt stops nothing here
  dialogs_.ExpectSaveFile(path);
  dialogs_.ExpectBox(ProgramTitle(), QStringLiteral("名前が同じファイルがあります。\r\n追記しますか？"),
                     BoxAnswer::kYes);
  ExpectExportError();
  sim_.ClearTranscript();
  Menu("EEPROMExport");
  EXPECT_EQ(4, Sent("ee r:"));
  const QByteArray bytes = ReadAll(path);
  EXPECT_FALSE(bytes.contains(cp932::Encode(RowLabel(2))));
  for (int r : {0, 1, 3}) EXPECT_TRUE(bytes.contains(cp932::Encode(RowLabel(r)))) << r;
  EXPECT_EQ(QStringLiteral("Aee37"), Box(Family::kDastel, 2)->text());
  EXPECT_EQ(QStringLiteral(":Aee37(5)"), Box(Family::kDastel, 2)->toolTip());

  dialogs_.ExpectOpenFile(path);
  dialogs_.ExpectBox(QStringLiteral("EEPROM Data Import Success"), QStringLiteral("データファイル取込完了"),
                     BoxAnswer::kOk);
  Menu("EEPROMImport");
  EXPECT_EQ(QString(), Box(Family::kDastel, 2)->text());
  EXPECT_EQ(64, Box(Family::kDastel, 3)->text().size());
  EXPECT_EQ(0u, dialogs_.pending());
}

// Another window's command holds the channel: every row read is refused, so
// no row goes into the file and the error box says so.
TEST_F(EepRowsOnSimulator, ExportWhileTheChannelIsHeldWritesNoRow) {
  Tab(Family::kDastel);
  Open();
  const QString path = Path("held.eep");
  Control("delay 200");  // well within the response time-out
  // The export asked for while the "VS" is in flight.
  bool ran = false;
  const testing::OnceWhen inFlight([this] { return Sent("VS") == 1; }, [&] {
    dialogs_.ExpectSaveFile(path);
    ExpectExportError();
    Menu("EEPROMExport");
    ran = true;
  });
  EXPECT_EQ(ComuOutcome::kAnswered, Comu(QStringLiteral("VS")));
  ASSERT_TRUE(ran);
  EXPECT_EQ(0, Sent("ee r:"));
  const QByteArray bytes = ReadAll(path);
  for (int r = 0; r < 4; ++r) EXPECT_FALSE(bytes.contains(cp932::Encode(RowLabel(r)))) << r;
  EXPECT_EQ(0u, dialogs_.pending());
  EXPECT_TRUE(Window().tabStrip()->isEnabled());
}

TEST_F(EepRowsOnSimulator, WordFamilyRowButtonsAndFill) {
  Tab(Family::kQuenby);
  Mode(Family::kQuenby, 2);  // every tab fills: the caption promises it
  EXPECT_EQ(ErasedRow(), Box(Family::kQuenby, 3)->text());
  sim_.ClearTranscript();
  Click(QStringLiteral("CmdEEPAd_Quenby"), 3);
  EXPECT_EQ((std::vector<std::string>{"CMD ee w:30/10/" + ErasedRow().toStdString(), "CMD ee r:30/10"}),
            Commands());
  EXPECT_EQ(ErasedRow(), Box(Family::kQuenby, 3)->toolTip());
  Mode(Family::kQuenby, 0);
  sim_.ClearTranscript();
  Click(QStringLiteral("CmdEEPAd_Quenby"), 0);
  EXPECT_EQ((std::vector<std::string>{"CMD ee r:00/10"}), Commands());
  // A write sends the box as it stands, whatever it holds.
  Mode(Family::kQuenby, 1);
  Box(Family::kQuenby, 1)->setText(QStringLiteral("12zz"));
  sim_.ClearTranscript();
  Click(QStringLiteral("CmdEEPAd_Quenby"), 1);
  EXPECT_EQ((std::vector<std::string>{"CMD ee w:10/10/12zz"}), Commands());
  EXPECT_EQ(QStringLiteral("Aee14"), Box(Family::kQuenby, 1)->text());
}

}  // namespace
}  // namespace quorel::eep

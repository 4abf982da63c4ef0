// The bitmap window's rules without a window: the [BMPDown] settings with
// their instance number, index fall-backs and the area-3 rename; the
// print-area table and layouts; the stopwatch; the message-line cut.
#include <gtest/gtest.h>

#include <QFile>

#include "core/main_module.h"
#include "core/settings_file.h"
#include "print/bmp_settings.h"
#include "print/bmp_shell_rules.h"
#include "print/bmp_stopwatch.h"
#include "print/print_area_layout.h"
#include "temp_dir.h"

namespace quorel {
namespace {

class BmpSettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    mm() = MainModule{};
    mm().gIniPath = dir_.file(QStringLiteral("Quorel.ini"));
  }
  void Put(const QString& section, const QString& key, const QString& value) {
    WriteIni(section, key, value, mm().gIniPath);
  }
  QString Get(const QString& section, const QString& key) { return ReadIni(section, key, mm().gIniPath); }

  testing::TempDir dir_;
};

TEST_F(BmpSettingsTest, InstanceTwoReadsAndWritesItsOwnSection) {
  mm().gInstanceNo = 2;
  EXPECT_EQ(BmpSection(), QStringLiteral("BMPDown2"));
  Put(QStringLiteral("BMPDown2"), QStringLiteral("PrintArea"), QStringLiteral("3"));
  Put(QStringLiteral("BMPDown2"), QStringLiteral("FileDir"), QStringLiteral("/pics/"));
  Put(QStringLiteral("BMPDown"), QStringLiteral("PrintArea"), QStringLiteral("1"));
  const BmpSettings s = LoadBmpSettings();
  EXPECT_EQ(s.choices.printArea, 3);
  EXPECT_EQ(s.fileDir, QStringLiteral("/pics/"));

  BmpChoices c = s.choices;
  c.printArea = 2;
  c.lines[0] = QStringLiteral("top");
  SaveBmpChoices(c);
  EXPECT_EQ(Get(QStringLiteral("BMPDown2"), QStringLiteral("PrintArea")), QStringLiteral("2"));
  EXPECT_EQ(Get(QStringLiteral("BMPDown2"), QStringLiteral("Line0")), QStringLiteral("top"));
  EXPECT_EQ(Get(QStringLiteral("BMPDown"), QStringLiteral("PrintArea")), QStringLiteral("1"));
  EXPECT_EQ(Get(QStringLiteral("BMPDown"), QStringLiteral("Line0")), QString());

  mm().gInstanceNo = 1;
  EXPECT_EQ(BmpSection(), QStringLiteral("BMPDown1"));
  mm().gInstanceNo = 0;
  EXPECT_EQ(BmpSection(), QStringLiteral("BMPDown"));
}

TEST_F(BmpSettingsTest, EmptyTranceModeIsDllAndBadIndexesFallBack) {
  const QString s = QStringLiteral("BMPDown");
  Put(s, QStringLiteral("TranceMode"), QString());
  Put(s, QStringLiteral("IBPIcmd"), QStringLiteral("7"));
  Put(s, QStringLiteral("MagTrack"), QStringLiteral("x"));
  Put(s, QStringLiteral("CardBackColor"), QStringLiteral("-1"));
  Put(s, QStringLiteral("PrintArea"), QStringLiteral("4"));
  Put(s, QStringLiteral("BufferSize"), QStringLiteral("1.5"));
  BmpChoices c = LoadBmpSettings().choices;
  EXPECT_EQ(c.tranceMode, 0);
  EXPECT_EQ(c.ibpi, 1);
  EXPECT_EQ(c.magTrack, 0);
  EXPECT_EQ(c.cardBackColor, 0);
  EXPECT_EQ(c.printArea, 0);
  EXPECT_EQ(c.bufferSize, 0);

  Put(s, QStringLiteral("TranceMode"), QStringLiteral("1"));
  Put(s, QStringLiteral("IBPIcmd"), QStringLiteral(" 0 "));
  Put(s, QStringLiteral("BufferSize"), QStringLiteral("2"));
  c = LoadBmpSettings().choices;
  EXPECT_EQ(c.tranceMode, 1);
  EXPECT_EQ(c.ibpi, 0);
  EXPECT_EQ(c.bufferSize, 2);

  EXPECT_EQ(OptionIndex(QStringLiteral("3"), 4, 9), 3);
  for (const char* bad : {"", "4", "-0x1", "1e0", "+", "２"}) EXPECT_EQ(OptionIndex(QString::fromUtf8(bad), 4, 9), 9) << bad;
}

TEST_F(BmpSettingsTest, AreaThreeFileRenamedOnlyAtTheEnd) {
  EXPECT_EQ(RenamedAreaThreeFile(QStringLiteral("/opt/q/ImagePic/Mivor_320x465.bmp")),
            QStringLiteral("/opt/q/ImagePic/Mivor_320x460_2.bmp"));
  EXPECT_EQ(RenamedAreaThreeFile(QStringLiteral("Mivor_320x465.bmp")), QStringLiteral("Mivor_320x460_2.bmp"));
  EXPECT_EQ(RenamedAreaThreeFile(QStringLiteral("/Mivor_320x465.bmp/x.bmp")), QStringLiteral("/Mivor_320x465.bmp/x.bmp"));
  EXPECT_EQ(RenamedAreaThreeFile(QStringLiteral("/a/Mivor_320x465.bmp.bak")), QStringLiteral("/a/Mivor_320x465.bmp.bak"));
  Put(QStringLiteral("BMPDown"), QStringLiteral("FileName3"), QStringLiteral("/d/Mivor_320x465.bmp"));
  Put(QStringLiteral("BMPDown"), QStringLiteral("FileName2"), QStringLiteral("/d/Mivor_320x465.bmp"));
  const BmpChoices c = LoadBmpSettings().choices;
  EXPECT_EQ(c.fileNames[3], QStringLiteral("/d/Mivor_320x460_2.bmp"));
  EXPECT_EQ(c.fileNames[2], QStringLiteral("/d/Mivor_320x465.bmp"));
}

TEST_F(BmpSettingsTest, CloseWritesOnlySelectedGroups) {
  const QString s = QStringLiteral("BMPDown");
  Put(s, QStringLiteral("MagTrack"), QStringLiteral("1"));
  Put(s, QStringLiteral("BufferSizeByte"), QStringLiteral("4096"));
  BmpChoices c;
  c.magTrack = -1;
  c.bufferSize = -1;
  c.bufferSizeByte = QStringLiteral("999");
  c.ibpi = 0;
  c.tranceMode = 1;
  c.cardBackColor = 1;
  c.printArea = 3;
  c.fileNames = {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d")};
  SaveBmpChoices(c);
  EXPECT_EQ(Get(s, QStringLiteral("MagTrack")), QStringLiteral("1"));
  EXPECT_EQ(Get(s, QStringLiteral("BufferSizeByte")), QStringLiteral("4096"));
  EXPECT_EQ(Get(s, QStringLiteral("BufferSize")), QString());
  EXPECT_EQ(Get(s, QStringLiteral("IBPIcmd")), QStringLiteral("0"));
  EXPECT_EQ(Get(s, QStringLiteral("TranceMode")), QStringLiteral("1"));
  EXPECT_EQ(Get(s, QStringLiteral("CardBackColor")), QStringLiteral("1"));
  EXPECT_EQ(Get(s, QStringLiteral("PrintArea")), QStringLiteral("3"));
  EXPECT_EQ(Get(s, QStringLiteral("FileName3")), QStringLiteral("d"));
  EXPECT_EQ(Get(s, QStringLiteral("FileDir")), QString());
  c.bufferSize = 2;
  SaveBmpChoices(c);
  EXPECT_EQ(Get(s, QStringLiteral("BufferSize")), QStringLiteral("2"));
  EXPECT_EQ(Get(s, QStringLiteral("BufferSizeByte")), QStringLiteral("999"));
}

struct AreaRow {
  int lastRow, rowOffset;
  QRect picture, hScroll, vScroll;
  int frameHeight, windowHeight;
  bool rows;
  int line1Text, line4Caption;
};

TEST(PrintAreas, TableAndLayoutsAt96Dpi) {
  const AreaRow rows[] = {
      {459, 0, {2, 12, 324, 464}, {4, 476, 320, 17}, {328, 12, 17, 464}, 499, 562, false, 380, 460},
      {599, 0, {2, 12, 324, 604}, {4, 616, 320, 17}, {328, 12, 17, 604}, 639, 698, false, 380, 460},
      {299, 60, {2, 40, 324, 304}, {4, 344, 320, 17}, {328, 40, 17, 304}, 499, 562, true, 380, 460},
      {464, 60, {2, 40, 324, 469}, {4, 513, 320, 17}, {328, 40, 17, 474}, 639, 698, true, 540, 616},
  };
  for (int i = 0; i < kPrintAreaCount; ++i) {
    const AreaRow& r = rows[i];
    const PrintArea& a = PrintAreaAt(i);
    EXPECT_EQ(a.lastColumn, 319) << i;
    EXPECT_EQ(a.lastRow, r.lastRow) << i;
    EXPECT_EQ(a.firstColumn, 0) << i;
    EXPECT_EQ(a.rowOffset, r.rowOffset) << i;
    const AreaLayout l = LayoutOfArea(i);
    EXPECT_EQ(l.picture, r.picture) << i;
    // The inside is the area: one pixel per dot, border 2 each side.
    EXPECT_EQ(l.picture.width() - 2 * kPictureBorder, a.width()) << i;
    EXPECT_EQ(l.picture.height() - 2 * kPictureBorder, a.height()) << i;
    EXPECT_EQ(l.hScroll, r.hScroll) << i;
    EXPECT_EQ(l.vScroll, r.vScroll) << i;
    EXPECT_EQ(l.frameHeight, r.frameHeight) << i;
    EXPECT_EQ(l.windowHeight, r.windowHeight) << i;
    EXPECT_EQ(l.messageRows, r.rows) << i;
    EXPECT_EQ(l.rows[0].caption, QPoint(6, 20)) << i;
    EXPECT_EQ(l.rows[0].text, QPoint(68, 16)) << i;
    EXPECT_EQ(l.rows[0].length, QPoint(310, 16)) << i;
    EXPECT_EQ(l.rows[1].text, QPoint(70, r.line1Text)) << i;
    EXPECT_EQ(l.rows[4].caption, QPoint(4, r.line4Caption)) << i;
  }
  EXPECT_EQ(PrintAreaAt(9).lastRow, 459);
  EXPECT_EQ(PrintAreaAt(2).scanArea().height, 300);
  EXPECT_EQ(PrintAreaAt(2).scanArea().width, 320);
}

TEST(Stopwatch, ExplicitStartAndRead) {
  uint32_t now = 5000;
  BmpStopwatch w;
  w.SetClock([&] { return now; });
  EXPECT_EQ(w.ElapsedMs(), 0u);  // never started
  w.Start();
  now += 1234;
  EXPECT_EQ(w.ElapsedMs(), 1234u);
  EXPECT_FLOAT_EQ(w.Seconds(), 1.234f);
  EXPECT_EQ(TimeCaption(w.ElapsedMs()), QStringLiteral("1.234 s"));
  // A job that stopped early never read it: the next start begins afresh.
  w.Start();
  now += 50;
  EXPECT_EQ(TimeCaption(w.ElapsedMs()), QStringLiteral("0.050 s"));
  // Across the wrap of the 32-bit count.
  now = 0xFFFFFF00u;
  w.Start();
  now += 0x200;
  EXPECT_EQ(w.ElapsedMs(), 0x200u);
  EXPECT_EQ(TimeCaption(61005), QStringLiteral("61.005 s"));
  EXPECT_EQ(NoTimeCaption(), QStringLiteral("--.--- s"));
}

TEST(ShellRules, MessageLinesCutAt26Characters) {
  const QString thirty = QStringLiteral("123456789012345678901234567890");
  EXPECT_EQ(CutMessageLine(thirty), thirty.left(26));
  EXPECT_EQ(CharacterCount(CutMessageLine(thirty)), 26);
  // Characters, not bytes: 30 full-width characters keep 26.
  const QString wide = QString(30, QChar(0x3042));
  EXPECT_EQ(CutMessageLine(wide), QString(26, QChar(0x3042)));
  // A pair of surrogates is one character and is never split.
  const QString astral = QString(25, QLatin1Char('a')) + QString::fromUcs4(U"\U0001F600\U0001F600");
  EXPECT_EQ(CharacterCount(astral), 27);
  EXPECT_EQ(CutMessageLine(astral), QString(25, QLatin1Char('a')) + QString::fromUcs4(U"\U0001F600"));
}

TEST(ShellRules, ListsAndCaret) {
  const QStringList cards = CardKindItems();
  ASSERT_EQ(cards.size(), 16);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(CardKindCode(cards[i]), QString(QChar(0x30 + i))) << i;
  EXPECT_EQ(cards[11], QStringLiteral(";: 予備"));
  EXPECT_EQ(ZoomSteps()[kZoomStartIndex], 100);
  EXPECT_EQ(BrightnessTexts()[kBrightnessStartIndex], QStringLiteral("  0"));
  EXPECT_EQ(BrightnessAt(0), -50);
  EXPECT_EQ(BrightnessAt(10), 50);
  EXPECT_EQ(RamAreaItems().join(QString()), QStringLiteral("123456789:;<=>"));
  EXPECT_EQ(JobControlNames().size(), 11);
  EXPECT_EQ(PathCaretPosition(QStringLiteral("/a/b.bmp")), 8);
  EXPECT_EQ(PathCaretPosition(QStringLiteral("  /a/b.bmp  ")), 9);
  EXPECT_EQ(PathCaretPosition(QString()), 0);
}

}  // namespace
}  // namespace quorel

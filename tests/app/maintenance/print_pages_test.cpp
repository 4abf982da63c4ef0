// The print page description: the seven self-print pages against a golden
// list written from the page descriptions (texts with ESC and LF, CP932 byte
// lengths), the forms every raster line and text page must have, and the
// command builders the other windows share.
#include <QFile>
#include <QStringList>

#include <gtest/gtest.h>

#include "core/cp932_codec.h"
#include "core/print_pages.h"

namespace quorel {
namespace {

using print::PageValues;

const PageValues kValues{QStringLiteral("Mivor V1.20"), QStringLiteral("5"), QStringLiteral("25")};

// The golden list: page header lines "page N LABEL", then one command a line.
struct GoldenPage {
  QString label;
  QStringList commands;
};

std::vector<GoldenPage> ReadGolden() {
  QFile f(QStringLiteral(QUOREL_PAGES_GOLDEN));
  EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << QUOREL_PAGES_GOLDEN;
  std::vector<GoldenPage> pages;
  for (const QString& line : QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'))) {
    if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) continue;
    if (line.startsWith(QLatin1String("page "))) {
      pages.push_back({line.section(QLatin1Char(' '), 2), {}});
      continue;
    }
    pages.back().commands << line;
  }
  return pages;
}

// A command as the golden list writes it.
QString Golden(const QString& command) {
  QString text = command;
  text.replace(print::kEsc, QStringLiteral("\\e")).replace(print::kLf, QStringLiteral("\\n"));
  return QString::number(cp932::Encode(command).size()) + QLatin1Char('\t') + text;
}

TEST(SelfPrintPages, EachPageIsTheGoldenCommandListByteForByte) {
  const std::vector<GoldenPage> golden = ReadGolden();
  ASSERT_EQ(golden.size(), 7u);
  for (int index = 1; index <= 7; ++index) {
    SCOPED_TRACE(index);
    const GoldenPage& want = golden[static_cast<size_t>(index - 1)];
    EXPECT_EQ(print::SelfPrintPageNames().at(index), want.label);
    const std::vector<QString> page = print::SelfPrintPage(index, kValues);
    ASSERT_EQ(page.size(), static_cast<size_t>(want.commands.size()));
    for (size_t i = 0; i < page.size(); ++i)
      EXPECT_EQ(Golden(page[i]).toStdString(), want.commands.at(static_cast<qsizetype>(i)).toStdString()) << i;
  }
}

TEST(SelfPrintPages, RasterLinesAndPagesHaveTheirForms) {
  for (int index = 1; index <= 7; ++index) {
    SCOPED_TRACE(index);
    int rasters = 0, pages = 0;
    for (const QString& command : print::SelfPrintPage(index, kValues)) {
      if (command.startsWith(QLatin1String("GJ:"))) {
        ++rasters;
        EXPECT_EQ(command.size(), 148);
        EXPECT_TRUE(print::IsRasterCommand(command)) << command.toStdString();
      }
      if (command.startsWith(QLatin1String("PD:"))) {
        ++pages;
        EXPECT_FALSE(command.endsWith(print::kLf));
      }
    }
    EXPECT_EQ(rasters, index <= 2 ? 5 : (index == 4 || index == 5) ? 0 : 1);
    EXPECT_GE(pages, 1);
  }
  // 576 dots of four bits a digit.
  for (const char* s : {"F", "E", "C", "B", "A"}) EXPECT_EQ((print::SelfPrintRaster(QLatin1Char(*s)).size() - 4) * 4, 576);
  EXPECT_TRUE(print::SelfPrintRaster(QLatin1Char('0')).isEmpty());
}

TEST(SelfPrintPages, ModeKeysAndValuesGoAsTheyStand) {
  EXPECT_EQ(print::SelfPrintPage(5, kValues).front(), QStringLiteral("MS: K0N0X0F3Y7T0"));
  EXPECT_EQ(print::SelfPrintPage(3, kValues).front(), QStringLiteral("MS:F1X0Y0N0K0"));
  // Page 6 prints rank, temperature and version where the values go.
  const QString page6 = print::SelfPrintPage(6, {QStringLiteral("V9"), QStringLiteral(":"), QStringLiteral("3A")}).back();
  EXPECT_TRUE(page6.endsWith(print::kEsc + QStringLiteral("Y051/◆ TPH=: TMP=3A ROM=V9▼")));
  EXPECT_TRUE(page6.startsWith(QLatin1String("PD:1/072/27/")));
}

TEST(SelfPrintPages, IndexesWithoutAPageGiveNothing) {
  EXPECT_EQ(print::SelfPrintPageNames().size(), 8);
  EXPECT_TRUE(print::SelfPrintPageNames().at(0).isEmpty());
  for (int index : {-1, 0, 8}) EXPECT_TRUE(print::SelfPrintPage(index, kValues).empty());
}

TEST(SelfPrintPages, ExtensionCharactersAreCp932NotShiftJis) {
  // NEC and IBM extensions that plain Shift_JIS has no code for.
  EXPECT_EQ(cp932::Encode(QStringLiteral("㈱㍻①ⅱ凜")), QByteArray("\x87\x8a\x87\x7e\x87\x40\xfa\x41\xea\xa3"));
  EXPECT_EQ(cp932::Encode(QStringLiteral("－’")), QByteArray("\x81\x7c\x81\x66"));
}

TEST(PageLanguage, CommandFormsOfAJob) {
  EXPECT_EQ(print::ClearCommand(), QStringLiteral("PC"));
  EXPECT_EQ(print::ModeCommand(QStringLiteral("K0N0")), QStringLiteral("MS:K0N0"));
  EXPECT_EQ(print::PageCommand(QStringLiteral("0/0/27/"), {QStringLiteral("A"), print::Esc(QStringLiteral("e12")) + QStringLiteral("B")}),
            QStringLiteral("PD:0/0/27/A\n\x1b" "e12B"));
  EXPECT_EQ(print::PageCommand(QStringLiteral("0/4/0/"), {}), QStringLiteral("PD:0/4/0/"));
  EXPECT_EQ(print::RasterCommand(QLatin1Char('9'), QString(144, QLatin1Char('0'))).size(), 148);
  EXPECT_FALSE(print::IsRasterCommand(QStringLiteral("GJ:F") + QString(143, QLatin1Char('F'))));
  EXPECT_FALSE(print::IsRasterCommand(QStringLiteral("GJ:F") + QString(143, QLatin1Char('F')) + QLatin1Char('f')));
}

TEST(PageLanguage, CardKindsAndTheirPrintCommands) {
  const QString kinds = QStringLiteral("0123456789:;<=>?");
  for (QChar k : kinds) EXPECT_TRUE(print::IsCardKind(k)) << k.toLatin1();
  for (QChar k : QStringLiteral("/@A ")) EXPECT_FALSE(print::IsCardKind(k)) << k.toLatin1();
  EXPECT_EQ(print::PrintForCardKind(QLatin1Char('>')), QStringLiteral("PP=>"));
  EXPECT_EQ(print::PrintForCardKind(QLatin1Char('?')), QStringLiteral("PP=?"));
  EXPECT_EQ(print::PrintForCardKind(QLatin1Char('=')), QStringLiteral("PR=="));
  EXPECT_EQ(print::PrintForCardKind(QLatin1Char('0')), QStringLiteral("PR=0"));
  EXPECT_EQ(print::PrintCommand(false, QLatin1Char('5')), QStringLiteral("PP=5"));
}

}  // namespace
}  // namespace quorel

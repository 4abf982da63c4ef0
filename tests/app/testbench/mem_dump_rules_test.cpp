// The memory dump's text rules and its file bytes without a window or a
// device: the address boxes' six-digit form and the range check, the end
// cap, the header, a reply's line and the end test, the percentage, the
// search by character position and the CP932 CR LF file.
#include <gtest/gtest.h>

#include <QDateTime>

#include "core/cp932_codec.h"
#include "testbench/mem_dump_file.h"
#include "testbench/mem_dump_text.h"

namespace quorel {
namespace {

TEST(MemDumpRules, AddressBoxesKeepSixUpperCaseDigits) {
  EXPECT_EQ(NormalizeAddress(QStringLiteral("ab12")), QStringLiteral("00AB12"));
  EXPECT_EQ(NormalizeAddress(QStringLiteral("  ff8800 ")), QStringLiteral("FF8800"));
  EXPECT_EQ(NormalizeAddress(QStringLiteral("1234567")), QStringLiteral("234567"));
  EXPECT_EQ(NormalizeAddress(QString()), QStringLiteral("000000"));
  EXPECT_EQ(NormalizeAddress(QStringLiteral("xyz")), QStringLiteral("000XYZ"));  // shown, refused at Start
  EXPECT_EQ(AddressValue(QStringLiteral("FF8800")), 0xFF8800u);
  EXPECT_EQ(AddressValue(QStringLiteral("00ab12")), 0x00AB12u);
  EXPECT_FALSE(AddressValue(QStringLiteral("000XYZ")));
  EXPECT_FALSE(AddressValue(QStringLiteral("FF880")));
  EXPECT_FALSE(AddressValue(QStringLiteral("FF88000")));
  EXPECT_FALSE(AddressValue(QStringLiteral("FF 800")));
  EXPECT_FALSE(AddressValue(QString::fromUtf8("ＦＦ８８００")));  // full-width digits are not hex
  EXPECT_EQ(AddressText(0x34DF), QStringLiteral("0034DF"));
}

TEST(MemDumpRules, TheEndIsCappedAt845LinesFromTheStart) {
  EXPECT_EQ(CappedEnd(0xFF8800, 0xFFB2F0), 0xFFB2F0u);
  EXPECT_EQ(CappedEnd(0x618000, 0x61FFFF), 0x61B4CFu);
  EXPECT_EQ(CappedEnd(0x000010, 0x100000), 0x0034DFu);
  EXPECT_EQ(CappedEnd(0x618000, 0x618000 + 13519), 0x618000u + 13519u);
  EXPECT_EQ(CappedEnd(0xFFF000, 0xFFFFFF), 0xFFFFFFu);
}

TEST(MemDumpRules, HeaderLineAndEndTest) {
  const QString header = DumpHeader();
  EXPECT_EQ(header.size(), 8 + 47 + 5 + 16);
  EXPECT_TRUE(header.startsWith(QStringLiteral("        +0 +1 ")));
  EXPECT_TRUE(header.endsWith(QStringLiteral("+E +F     0123456789ABCDEF")));
  const QString reply =
      QStringLiteral("Amd90 FFB2E0: 00 01 02 03 04 05 06 07-08 09 0A 0B 0C 0D 0E 0F     ................");
  EXPECT_TRUE(GoodDumpReply(reply));
  EXPECT_FALSE(GoodDumpReply(QStringLiteral("Amd41")));
  EXPECT_FALSE(GoodDumpReply(QStringLiteral("E")));
  EXPECT_EQ(LineOfReply(reply), reply.mid(6));
  EXPECT_FALSE(LineOfReply(QStringLiteral("Amd90 ")));
  // The line at the end address itself sorts after it.
  EXPECT_FALSE(PastEnd(QStringLiteral("FFB2E0: 00"), QStringLiteral("FFB2F0")));
  EXPECT_TRUE(PastEnd(QStringLiteral("FFB2F0: 00"), QStringLiteral("FFB2F0")));
  EXPECT_TRUE(PastEnd(QStringLiteral("FFB300: 00"), QStringLiteral("FFB2F0")));
}

TEST(MemDumpRules, PercentRoundsHalfUpAndASpanOfZeroIsDone) {
  EXPECT_EQ(PercentText(17, 10992), QStringLiteral("0%"));
  EXPECT_EQ(PercentText(10993, 10992), QStringLiteral("100%"));
  EXPECT_EQ(PercentText(1, 200), QStringLiteral("1%"));  // 0.5 % rounds up
  EXPECT_EQ(PercentText(99, 200), QStringLiteral("50%"));
  EXPECT_EQ(PercentText(17, 0), QStringLiteral("100%"));
}

TEST(MemDumpRules, SearchGoesOnBehindTheMatchByCharacter) {
  // Double-byte characters before the matches: two bytes each in CP932,
  // one character each here.
  const QString text = QString::fromUtf8("日本語 ab\n日本 AB xAb");
  std::vector<qsizetype> found;
  qsizetype from = 0;
  while (const std::optional<DumpMatch> m = FindInDump(text, QStringLiteral("AB"), from)) {
    EXPECT_EQ(m->length, 2);
    found.push_back(m->position);
    from = m->position + m->length;
  }
  EXPECT_EQ(found, (std::vector<qsizetype>{4, 10, 14}));
  EXPECT_FALSE(FindInDump(text, QString(), 0));
  EXPECT_FALSE(FindInDump(text, QStringLiteral("zz"), 0));
  EXPECT_FALSE(FindInDump(text, QStringLiteral("AB"), text.size() + 1));
}

TEST(MemDumpFile, NameIsMemDumAndTheTimeAsYyMmDdHhMmSs) {
  const QDateTime t(QDate(2024, 1, 31), QTime(23, 59, 58));
  EXPECT_EQ(ProposedDumpFileName(t), QStringLiteral("MemDum240131235958"));
  EXPECT_EQ(ProposedDumpFileName(QDateTime(QDate(2009, 2, 3), QTime(4, 5, 6))), QStringLiteral("MemDum090203040506"));
}

TEST(MemDumpFile, BytesAreCp932WithCrLfAndOneCrLfAtTheEnd) {
  EXPECT_EQ(DumpFileBytes(QStringLiteral("a\r\nb")), QByteArray("a\r\nb\r\n"));
  EXPECT_EQ(DumpFileBytes(QStringLiteral("a\nb\rc")), QByteArray("a\r\nb\r\nc\r\n"));
  EXPECT_EQ(DumpFileBytes(QString()), QByteArray("\r\n"));
  EXPECT_EQ(DumpFileBytes(QString::fromUtf8("日本")), QByteArray("\x93\xfa\x96\x7b\r\n"));
}

}  // namespace
}  // namespace quorel

// The EEPROM window's model without widgets: row addresses, labels and word
// commands, the model-family rules as one table, the fixed tables' widths,
// the status-code list and its narrowing, the layout sizes.
#include <gtest/gtest.h>

#include "core/conversions.h"
#include "core/main_module.h"
#include "core/message_tables.h"
#include "eeprom/eep_family.h"
#include "eeprom/eep_layout.h"
#include "eeprom/eep_rows.h"
#include "eeprom/eep_tables.h"
#include "eeprom/error_code_list.h"
#include "eeprom/narrow_text.h"

namespace quorel::eep {
namespace {

TEST(EepRows, LabelsAndCommandsOfRowsAndWords) {
  EXPECT_EQ(QStringLiteral("0x00～0x0F(00/10)"), RowLabel(0));
  EXPECT_EQ(QStringLiteral("0xA0～0xAF(A0/10)"), RowLabel(10));
  EXPECT_EQ(QStringLiteral("0xF0～0xFF"), RowCaption(15));
  EXPECT_EQ(QChar(0xFF5E), RowCaption(3).at(4));  // the full-width tilde
  EXPECT_EQ(QStringLiteral("0x30～0x3Fのアドレスを") + QStringLiteral("Read/Write操作します"), RowButtonTip(3));
  EXPECT_EQ(QStringLiteral("eer:00/10"), RowReadCommand(0));
  EXPECT_EQ(QStringLiteral("eer:A0/10"), RowReadCommand(10));
  EXPECT_EQ(QStringLiteral("eer:F0/10"), RowReadCommand(15));
  // A row box is sent as it stands, whatever its length.
  EXPECT_EQ(QStringLiteral("eew:90/10/0041xyz"), RowWriteCommand(9, QStringLiteral("0041xyz")));
  EXPECT_EQ(QStringLiteral("eer:2F/01"), WordReadCommand(0x2F, 1));
  EXPECT_EQ(QStringLiteral("eew:20/01/4133"), WordWriteCommand(0x20, 1, QStringLiteral("4133")));
  EXPECT_EQ(QStringLiteral("eew:1E/02/0000012C"), WordWriteCommand(0x1E, 2, QStringLiteral("0000012C")));
  EXPECT_EQ(QString(64, QLatin1Char('F')), ErasedRow());
}

TEST(EepRows, RepliesAreJudgedAndCutByPosition) {
  const QString ok = QStringLiteral("Aee904132FFFF");
  EXPECT_TRUE(BeginsOk(ok, QStringLiteral("ee")));
  EXPECT_TRUE(StatusOk(ok));
  EXPECT_EQ(QStringLiteral("4132FFFF"), ReplyData(ok));
  EXPECT_EQ(QStringLiteral("32"), ReplyChars(ok, 8, 9));
  EXPECT_EQ(QStringLiteral("FF"), ReplyChars(ok, 12, 20));  // as many as there are
  EXPECT_EQ(QString(), ReplyChars(ok, 14, 20));
  // "90" at 4-5 after another code passes the position test only.
  EXPECT_FALSE(BeginsOk(QStringLiteral("A!!90"), QStringLiteral("ee")));
  EXPECT_TRUE(StatusOk(QStringLiteral("A!!90")));
  for (const char* bad : {"Aee14", "", "E", "Aee9", "Bee00"}) {
    EXPECT_FALSE(BeginsOk(QString::fromLatin1(bad), QStringLiteral("ee"))) << bad;
    EXPECT_FALSE(StatusOk(QString::fromLatin1(bad))) << bad;
  }
  EXPECT_EQ(QString(), ReplyData(QStringLiteral("E")));
  EXPECT_EQ(QStringLiteral("Aee14 [5]"), WithLength(QStringLiteral("Aee14")));
  EXPECT_EQ(QStringLiteral("0x00～0x0F(00/10):00\r\n"),
            ReportLine(RowLabel(0), QStringLiteral(":"), QStringLiteral("00")));
}

// Mismatch ('x') or fit ('.') of each version, in the order of kVersions.
TEST(EepFamily, ModelRulesOfEveryFamilyAndHandler) {
  const char* const kVersions[] = {"Mivor07.02", "4211 V1.05", "4100", "3200", "9300 V2.01",
                                   "5120 V1.10", "1450",       "7ABC", ""};
  struct Row {
    Family family;
    ModelCheck check;
    const char* expected;
  };
  const Row kTable[] = {
      {Family::kMivor, ModelCheck::kInformationRead, ".xxxxxxxx"},
      {Family::kMivor, ModelCheck::kOtherHandlers, ".x.xxxx.."},
      {Family::kMivor, ModelCheck::kReport, ".x.xxxx.."},
      {Family::kDastel, ModelCheck::kInformationRead, "x...xxxxx"},
      {Family::kDastel, ModelCheck::kOtherHandlers, "x...xxxxx"},
      {Family::kDastel, ModelCheck::kReport, "x.x.xxxxx"},
      {Family::kQuenby, ModelCheck::kInformationRead, "xxxx.xxxx"},
      {Family::kQuenby, ModelCheck::kOtherHandlers, "xxxx.xxxx"},
      {Family::kQuenby, ModelCheck::kReport, "xxxx.xxxx"},
      {Family::kFolsk, ModelCheck::kInformationRead, "xxxxx..xx"},
      {Family::kFolsk, ModelCheck::kOtherHandlers, "xxxxx..xx"},
      {Family::kFolsk, ModelCheck::kReport, "xxxxx..xx"},
  };
  for (const Row& row : kTable) {
    QString got;
    for (const char* v : kVersions) got += ModelMismatch(row.family, row.check, QString::fromLatin1(v)) ? 'x' : '.';
    EXPECT_EQ(QString::fromLatin1(row.expected), got)
        << FamilyName(row.family).toStdString() << " check " << static_cast<int>(row.check);
  }
}

TEST(EepFamily, TitlesRowsAndSharedIndexes) {
  EXPECT_EQ(QStringLiteral("EEPROM Holdt / Quenby"), ModelQuestionTitle(Family::kQuenby));
  EXPECT_EQ(QStringLiteral("EEPROM Folsk Series"), ModelQuestionTitle(Family::kFolsk));
  EXPECT_EQ(16, RowCount(Family::kMivor));
  EXPECT_EQ(4, RowCount(Family::kFolsk));
  EXPECT_EQ(QStringLiteral("Dastel_EEPROM_Data"), DataFileTitle(Family::kDastel));
  EXPECT_EQ(QLatin1Char('*'), ReportRuleChar(Family::kMivor));
  EXPECT_EQ(QLatin1Char('/'), ReportRuleChar(Family::kQuenby));
  EXPECT_EQ(Family::kFolsk, FamilyOfSharedIndex(2));
  EXPECT_EQ(1, SharedIndex(Family::kQuenby));
  EXPECT_EQ(Family::kMivor, FamilyOfTab(7));
}

// The labels are padded to columns in the ANSI code page: a mistyped blank
// would shift every value of the list or the report.
TEST(EepTables, LabelsFillTheirColumnsInAnsiBytes) {
  int n = 0;
  const CounterLine* mivor = MivorCounters(&n);
  ASSERT_EQ(19, n);
  for (int i = 0; i < n; ++i) {
    const QString label = QString::fromUtf8(mivor[i].label);
    EXPECT_EQ(18, AnsiByteLen(label)) << mivor[i].command;
    EXPECT_TRUE(label.endsWith(QStringLiteral(": "))) << mivor[i].command;
    EXPECT_EQ(6, mivor[i].from);
    EXPECT_EQ(13, mivor[i].to);
  }
  const CounterLine* words = WordFamilyCounters(&n);
  ASSERT_EQ(16, n);
  for (int i = 0; i < n; ++i) {
    const int shown = words[i].to - words[i].from + 1;
    EXPECT_EQ(21, AnsiByteLen(QString::fromUtf8(words[i].label)) + shown) << words[i].command;
    EXPECT_EQ(18, AnsiByteLen(QString::fromUtf8(words[i].reportLabel))) << words[i].command;
  }
  const CounterItem* items = CounterItems(&n);
  ASSERT_EQ(16, n);
  const CounterItem* pass = FindCounterItem(QStringLiteral("ﾊﾟｽ回数"));
  ASSERT_NE(nullptr, pass);
  EXPECT_EQ(0x1E, pass->address);
  EXPECT_EQ(2, pass->words);
  EXPECT_EQ(0x11, FindCounterItem(QStringLiteral("Tr1ｴﾗｰ"))->address);
  EXPECT_EQ(nullptr, FindCounterItem(QStringLiteral("ﾊﾟｽ回数 ")));
  // Every one-word counter lies in 0C-17, every two-word one in 18-1F.
  for (int i = 0; i < n; ++i)
    EXPECT_TRUE(items[i].words == 1 ? items[i].address >= 0x0C && items[i].address <= 0x17
                                    : items[i].address >= 0x18 && items[i].address <= 0x1E)
        << items[i].text;
}

TEST(EepTables, SettingValuesAndWords) {
  EXPECT_EQ(14, SettingValues(0).size());
  EXPECT_EQ(QStringLiteral("a"), SettingValues(0).first());
  EXPECT_EQ(QStringLiteral("9"), SettingValues(0).last());
  EXPECT_EQ(5, SettingValues(1).size());
  EXPECT_EQ(10, SettingValues(2).size());
  EXPECT_EQ(9, SettingValues(3).size());
  EXPECT_EQ(9, SettingValues(4).size());
  EXPECT_EQ(10, SettingValues(8).size());
  EXPECT_EQ(QStringLiteral("印字位置設定"), SettingCaption(4));
  EXPECT_EQ(QStringLiteral("Down"), SettingCaption(8));
  EXPECT_EQ(0x22, WordFamilySettingByte(3).word);
  EXPECT_TRUE(WordFamilySettingByte(3).highByte);
  EXPECT_FALSE(WordFamilySettingByte(2).highByte);
  EXPECT_EQ(0x08, WordFamilySettingByte(4).word);
}

class ErrorCodes : public ::testing::Test {
 protected:
  void SetUp() override {
    mm() = MainModule{};
    InitMessageTables();
  }
  static QStringList Lines(int group) {
    QStringList lines = ErrorCodeList(group).split(QStringLiteral("\r\n"));
    EXPECT_EQ(QString(), lines.takeLast());  // every line ends in CR LF
    return lines;
  }
  static QStringList Codes(int group) {
    QStringList codes;
    for (const QString& l : Lines(group)) codes << l.left(2);
    return codes;
  }
};

TEST_F(ErrorCodes, GroupsListTheCodesWithTexts) {
  EXPECT_EQ(QStringList({"30", "32", "33", "34", "35", "36", "37", "38", "39", "3A", "3C"}), Codes(3));
  EXPECT_EQ(QStringList({"90", "92", "93", "94", "96"}), Codes(9));
  EXPECT_EQ(QStringList({"20", "21", "22", "23", "25"}), Codes(2));
  EXPECT_EQ(QStringList({"70", "75"}), Codes(7));
  EXPECT_EQ(QString(), ErrorCodeList(8));
  int total = 0;
  for (int g = 0; g <= 9; ++g) total += g == 8 ? 0 : Lines(g).size();
  EXPECT_EQ(52, total);
  // Each listed code has a text, and the two blanks stand between.
  for (int g = 0; g <= 9; ++g)
    for (const QString& l : g == 8 ? QStringList() : Lines(g))
      EXPECT_TRUE(l.mid(2, 3).startsWith(QStringLiteral("  "))) << l.toStdString();
}

TEST_F(ErrorCodes, TextsAreNarrowed) {
  const QString line = Lines(0).first();
  EXPECT_TRUE(line.startsWith(QStringLiteral("00  RS-232Cﾌﾚｰﾐﾝｸﾞｴﾗｰ"))) << line.toStdString();
  EXPECT_EQ(QStringLiteral("3C  ﾊｰﾄﾞｴﾗｰ7(EEPROM  ｴﾗｰ)"), Lines(3).last().trimmed());
}

TEST(Narrow, FullWidthBecomesHalfWidth) {
  EXPECT_EQ(QStringLiteral("ｶﾞ"), ToNarrow(QStringLiteral("ガ")));
  EXPECT_EQ(QStringLiteral("ﾊﾟ"), ToNarrow(QStringLiteral("パ")));
  EXPECT_EQ(QStringLiteral("AB1("), ToNarrow(QStringLiteral("ＡＢ１（")));
  EXPECT_EQ(QStringLiteral("ｳﾞｧｯｰ､｡ ~"), ToNarrow(QStringLiteral("ヴァッー、。　～")));
  // Kanji, hiragana, ASCII and half-width kana stay.
  EXPECT_EQ(QStringLiteral("磁気 がぱ abc ｶﾞ"), ToNarrow(QStringLiteral("磁気 がぱ abc ｶﾞ")));
}

TEST(EepLayout, SizesOfEachTabAndLayoutInPixels) {
  EXPECT_EQ(QSize(403, 789), SizeFor(0, false).tabStrip);
  EXPECT_EQ(QSize(412, 845), SizeFor(0, false).window);
  EXPECT_EQ(QSize(650, 845), SizeFor(0, true).window);
  EXPECT_EQ(QSize(629, 611), SizeFor(1, true).tabStrip);
  EXPECT_EQ(QSize(637, 668), SizeFor(1, true).window);
  EXPECT_EQ(QSize(397, 512), SizeFor(3, false).window);
  EXPECT_EQ(QSize(637, 512), SizeFor(2, true).window);
  EXPECT_EQ(SizeFor(0, false).window, SizeFor(9, false).window);
}

}  // namespace
}  // namespace quorel::eep

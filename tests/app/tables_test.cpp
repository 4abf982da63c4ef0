// The message tables: the status texts in their exact CP932 byte widths.
#include <gtest/gtest.h>

#include "core/conversions.h"
#include "core/cp932_codec.h"
#include "core/main_module.h"
#include "core/message_tables.h"

namespace quorel {
namespace {

class Tables : public ::testing::Test {
 protected:
  void SetUp() override {
    mm() = MainModule{};
    InitMessageTables(TableLanguage::kJapanese);
  }
};

TEST_F(Tables, FiftyTwoStatusTextsPaddedToTheirWidth) {
  int filled = 0;
  for (size_t i = 0; i < mm().gErrText.size(); ++i) {
    const QString& t = mm().gErrText[i];
    if (t.isEmpty()) continue;
    ++filled;
    EXPECT_EQ(AnsiByteLen(t), i <= 5 ? 34 : 33) << std::hex << i;
    EXPECT_NE(t.trimmed(), t) << std::hex << i;  // every text is padded
  }
  EXPECT_EQ(filled, 52);
  EXPECT_EQ(mm().gErrText.size(), 161u);
}

TEST_F(Tables, StatusTextsAreByteExact) {
  // "ＲＳ－２３２Ｃフレーミングエラー" with the full-width hyphen of CP932 (81 7C).
  EXPECT_EQ(cp932::Encode(mm().gErrText[0x00]),
            QByteArray("\x82\x71\x82\x72\x81\x7C\x82\x51\x82\x52\x82\x51\x82\x62\x83\x74\x83\x8C\x81\x5B\x83\x7E"
                       "\x83\x93\x83\x4F\x83\x47\x83\x89\x81\x5B  "));
  EXPECT_EQ(mm().gErrText[0x90], QStringLiteral("OK") + QString(31, QLatin1Char(' ')));
  // Half-width katakana and double blanks are kept as written.
  EXPECT_EQ(cp932::Encode(mm().gErrText[0x37]),
            QByteArray("\x83\x6E\x81\x5B\x83\x68\x83\x47\x83\x89\x81\x5B\x82\x52\x81\x69"
                       "EEPROM  \xB4\xD7\xB0\x81\x6A    "));
  EXPECT_EQ(mm().gErrText[0x92], QString::fromUtf8("OK（ノーオペレーション  ）       "));
  EXPECT_EQ(mm().gErrText[0x46].trimmed(), QString::fromUtf8("リ－ドデータなしエラー"));
  EXPECT_TRUE(mm().gErrText[0x24].isEmpty());
  EXPECT_TRUE(mm().gErrText[0xA0].isEmpty());
}

TEST_F(Tables, StatusLookupIsBoundsChecked) {
  EXPECT_EQ(ErrTextOf(QStringLiteral("90")), mm().gErrText[0x90]);
  EXPECT_EQ(ErrTextOf(QStringLiteral("3a")), mm().gErrText[0x3A]);
  EXPECT_EQ(ErrTextOf(QStringLiteral("A0")), QString());
  EXPECT_EQ(ErrTextOf(QStringLiteral("A1")), QString());
  EXPECT_EQ(ErrTextOf(QStringLiteral("FF")), QString());
  EXPECT_EQ(ErrTextOf(QStringLiteral("9")), QString());
  EXPECT_EQ(ErrTextOf(QStringLiteral("+9")), QString());
  EXPECT_EQ(ErrTextOf(QStringLiteral("Z0")), QString());
}

TEST_F(Tables, StateAndPositionTables) {
  const MainModule& m = mm();
  EXPECT_EQ(m.gStatusText[0], QStringLiteral("OK            "));
  EXPECT_EQ(AnsiByteLen(m.gStatusText[5]), 14);
  EXPECT_EQ(m.gStatusText[5].trimmed(), QString::fromUtf8("メカエラー"));
  EXPECT_TRUE(m.gStatusText[7].isEmpty());
  EXPECT_EQ(m.gCardPosText[1], QString::fromUtf8("カ－ド有り  前"));
  EXPECT_EQ(m.gCardPosText[5], QString::fromUtf8("カードを抜き取って下さい"));
  EXPECT_TRUE(m.gCardPosText[6].isEmpty());
  EXPECT_EQ(m.gCardPosText[9], QString::fromUtf8("カ－ド有り 前＋保留部"));
  EXPECT_EQ(m.gTphRankText[13], QStringLiteral("   -746"));
  EXPECT_TRUE(m.gTphRankText[14].isEmpty());
  EXPECT_EQ(m.gErRankText[9], QStringLiteral("896-   "));
  EXPECT_EQ(m.gRangeTextA[0], QStringLiteral("       "));
  EXPECT_TRUE(m.gRangeTextA[9].isEmpty());
  EXPECT_EQ(m.gRangeTextB[7], QStringLiteral("956-"));
  EXPECT_EQ(m.gRangeTextC[9], QStringLiteral("       "));
  EXPECT_EQ(m.gLotText[3], QStringLiteral("IJ "));
  EXPECT_TRUE(m.gLotText[0].isEmpty());
  EXPECT_EQ(m.gMenuPassword, QStringLiteral("58203"));
  EXPECT_EQ(m.gTimerInterval, 2);
}

TEST_F(Tables, ASecondBuildOverwritesOnlyItsPositions) {
  mm().gErrText[0x24] = QStringLiteral("kept");
  mm().gWrTrack2Data = QStringLiteral("x");
  InitMessageTables(TableLanguage::kJapanese);
  EXPECT_EQ(mm().gErrText[0x24], QStringLiteral("kept"));
  EXPECT_TRUE(mm().gWrTrack2Data.isEmpty());
}

}  // namespace
}  // namespace quorel

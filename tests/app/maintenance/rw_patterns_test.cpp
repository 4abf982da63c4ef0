// The write/read test's data and texts, and the service buttons' clock text
// and reference-voltage rule: pure functions.
#include <QDateTime>
#include <set>

#include <gtest/gtest.h>

#include "core/maintenance_commands.h"
#include "core/rw_patterns.h"

namespace quorel {
namespace {

using rwtest::Cycle;
using rwtest::PatternSet;

TEST(RwPatterns, JisTracksAreTheFirstLCharactersOfTheirFourPieces) {
  const rwtest::Pieces& p = rwtest::PatternPieces(PatternSet::kJis);
  const auto t = rwtest::TrackTexts(Cycle::kJis, p, 40);
  EXPECT_EQ(t[0], QStringLiteral("ABCDEABCDE222225788987CDEABCDE222225789") + QLatin1Char('3'));
  EXPECT_EQ(t[1], QStringLiteral("1234567890123454329878901234543298789012"));
  EXPECT_EQ(t[2], QStringLiteral("fefrioBADJFWIERUequr()%#&/*+@RUequr()%#&"));
  for (const QString& s : rwtest::TrackTexts(Cycle::kJis, p, 69)) EXPECT_EQ(s.size(), 69);
  for (int empty : {0, -5})
    for (const QString& s : rwtest::TrackTexts(Cycle::kJis, p, empty)) EXPECT_TRUE(s.isEmpty());
}

TEST(RwPatterns, IsoTracksKeepTheirLengthsThroughEveryPermutation) {
  rwtest::Pieces p = rwtest::PatternPieces(PatternSet::kIso);
  const auto first = rwtest::TrackTexts(Cycle::kIso, p, 999);
  EXPECT_EQ(first[0], QStringLiteral("0123456789:;<=>@ABCDEFGHIJKLMNO33333ABCDEABCDEFACDB01666:;@@@OLM667777712345"));
  EXPECT_EQ(first[2].left(27 + 28), QStringLiteral("<=::<>890157643<>:18946==3487521046<>==:7381:73183==349"));
  std::set<QString> seen;
  for (int pass = 0; pass < 12; ++pass) {
    const auto t = rwtest::TrackTexts(Cycle::kIso, p, 0);
    EXPECT_EQ(t[0].size(), 76);
    EXPECT_EQ(t[1].size(), 37);
    EXPECT_EQ(t[2].size(), 104);
    seen.insert(t[0] + t[1] + t[2]);
    p = rwtest::Permuted(Cycle::kIso, p);
  }
  EXPECT_GT(seen.size(), 3u);  // the data changes from pass to pass
}

TEST(RwPatterns, PermutationsTakeEachPieceFromItsPlace) {
  rwtest::Pieces p;
  for (int i = 0; i < 12; ++i) p[static_cast<size_t>(i)] = QString::number(i);
  const auto join = [](const rwtest::Pieces& q) {
    QStringList l;
    for (const QString& s : q) l << s;
    return l.join(QLatin1Char(','));
  };
  EXPECT_EQ(join(rwtest::Permuted(Cycle::kJis, p)), QStringLiteral("5,10,3,4,9,2,7,8,1,6,11,0"));
  EXPECT_EQ(join(rwtest::Permuted(Cycle::kIso, p)), QStringLiteral("1,2,3,0,9,10,11,8,5,6,7,4"));
}

TEST(RwPatterns, TheHexModelsSetWinsAndItsTracksAreCut) {
  EXPECT_EQ(rwtest::SetFor(Cycle::kJis, true, true), PatternSet::kHex);
  EXPECT_EQ(rwtest::SetFor(Cycle::kIso, true, false), PatternSet::kDigits);
  EXPECT_EQ(rwtest::SetFor(Cycle::kIso, false, false), PatternSet::kIso);
  for (const QString& piece : rwtest::PatternPieces(PatternSet::kHex)) EXPECT_EQ(piece.size(), 69);
  const auto t = rwtest::TrackTexts(Cycle::kIso, rwtest::PatternPieces(PatternSet::kHex), 0);
  EXPECT_EQ(rwtest::HexModelCut(1, t[0]).size(), 38);
  EXPECT_EQ(rwtest::HexModelCut(2, t[1]).size(), 24);
  EXPECT_EQ(rwtest::HexModelCut(3, t[2]).size(), 104);
  EXPECT_EQ(rwtest::HexModelCut(1, QStringLiteral("ABC")), QStringLiteral("ABC"));
}

TEST(RwPatterns, CountLabelsAndTheResultBox) {
  EXPECT_EQ(rwtest::Str(0), QStringLiteral(" 0"));
  EXPECT_EQ(rwtest::Str(-1), QStringLiteral("-1"));
  EXPECT_EQ(rwtest::CountLabel({true, true, true}, {0, 2, 0}, 12), QStringLiteral("Tr1 : 0/ 12\rTr2 : 2/ 12\rTr3 : 0/ 12"));
  EXPECT_EQ(rwtest::CountLabel({false, true, false}, {0, 1, 0}, 3), QStringLiteral("\rTr2 : 1/ 3\r"));
  EXPECT_EQ(rwtest::ResultText({0, 0, 0}, 12), QStringLiteral("連続Ｗ／Ｒ試験　ＯＫ"));
  EXPECT_EQ(rwtest::ResultText({0, 1, -2}, 12),
            QStringLiteral("連続Ｗ／Ｒ試験　ＮＧ\r   Tr1=  0/ 12\r   Tr2=  1/ 12\r   Tr3=  0/ 12"));
}

TEST(ServiceButtons, ClockTextCarriesTheWeekdayFromSunday) {
  const QTime t(7, 5, 9);
  EXPECT_EQ(ClockCommand(QDateTime(QDate(2024, 3, 3), t)), QStringLiteral("CK:24030300070509"));  // Sunday
  EXPECT_EQ(ClockCommand(QDateTime(QDate(2024, 3, 9), t)), QStringLiteral("CK:24030906070509"));  // Saturday
  const QString wed = ClockCommand(QDateTime(QDate(2031, 12, 31), QTime(23, 59, 58)));
  EXPECT_EQ(wed, QStringLiteral("CK:31123103235958"));
  EXPECT_EQ(wed.size() - 3, 14);
}

TEST(ServiceButtons, SensorReferenceByModel) {
  for (const char* v : {"3D10", "4211X", "145A", "51F0", "14Y2", "9Q10"}) EXPECT_TRUE(SensorRefIs5V(QString::fromLatin1(v))) << v;
  for (const char* v : {"2A00", "421", "Mivor V1.20", "", "7X00"}) EXPECT_FALSE(SensorRefIs5V(QString::fromLatin1(v))) << v;
}

}  // namespace
}  // namespace quorel

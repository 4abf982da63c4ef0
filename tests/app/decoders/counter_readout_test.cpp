// The counter readout's command lists, labels and value positions.
#include <gtest/gtest.h>

#include "core/counter_readout.h"
#include "core/cp932_codec.h"
#include "decode_fixture.h"

namespace quorel {
namespace {

QString Commands(bool familyA) {
  QString s;
  for (const CounterEntry& e : CounterList(familyA)) s += QString::fromLatin1(e.command).mid(3);
  return s;
}

TEST(CounterReadout, ListsInOrder) {
  EXPECT_EQ(Commands(true), QStringLiteral("abcdefijklmnoprstuv"));
  EXPECT_EQ(Commands(false), QStringLiteral("012349AB87EF"));
  EXPECT_TRUE(IsCounterFamilyA(QStringLiteral("M12")));
  EXPECT_FALSE(IsCounterFamilyA(QStringLiteral("3M")));
  EXPECT_FALSE(IsCounterFamilyA(QString()));
}

TEST(CounterReadout, LinesTakeTheirValueWhateverTheEndCode) {
  const auto& a = CounterList(true);
  EXPECT_EQ(CounterLine(a.front(), QStringLiteral("ACT900000012FFFF")), QString::fromUtf8("　　 ｶｰﾄﾞﾊﾟｽ回数: 0000012F"));
  // The last family-A label ends with an ASCII hyphen inside the katakana.
  EXPECT_EQ(cp932::Encode(QString::fromUtf8(a.back().label)), QByteArray("    \xCC\xA8\xB0\xC4\xDE\xB4\xD7-\x89\xF1\x90\x94: "));

  const auto& g = CounterList(false);
  const QString reply = QStringLiteral("ACT1312345678");
  EXPECT_EQ(CounterLine(g[0], reply), QString::fromUtf8("パス　回数 : 12345678"));
  EXPECT_EQ(CounterLine(g[5], reply), QString::fromUtf8("Tr1エラー  :     5678"));
  EXPECT_EQ(CounterLine(g[8], reply), QString::fromUtf8("メカエラー :   345678"));
  EXPECT_EQ(CounterLine(g[11], QStringLiteral("ACT")), QString::fromUtf8("ﾊﾟﾝﾁエラー :   "));
}

}  // namespace
}  // namespace quorel

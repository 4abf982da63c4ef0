#include "core/counter_readout.h"

#include "core/reply_fields.h"

namespace quorel {
namespace {

const std::vector<CounterEntry> kFamilyA = {
    {"CT:a", "　　 ｶｰﾄﾞﾊﾟｽ回数: ", 6, 8},
    {"CT:b", "     磁気ﾗｲﾄ回数: ", 6, 8},
    {"CT:c", "    磁気ﾘｰﾄﾞ回数: ", 6, 8},
    {"CT:d", "        印字回数: ", 6, 8},
    {"CT:e", "        消去回数: ", 6, 8},
    {"CT:f", "    ﾗｲﾄｺﾏﾝﾄﾞ回数: ", 6, 8},
    {"CT:i", "電源立ち上げ回数: ", 6, 8},
    {"CT:j", " FROM 書換え回数: ", 6, 8},
    {"CT:k", " TPH 昇降ｴﾗｰ回数: ", 6, 8},
    {"CT:l", " EPH 昇降ｴﾗｰ回数: ", 6, 8},
    {"CT:m", "    ｶｰﾄﾞｼﾞｬﾑ回数: ", 6, 8},
    {"CT:n", "  磁気Tr1ｴﾗｰ回数: ", 6, 8},
    {"CT:o", "  磁気Tr2ｴﾗｰ回数: ", 6, 8},
    {"CT:p", "  磁気Tr3ｴﾗｰ回数: ", 6, 8},
    {"CT:r", "ﾊｰﾄﾞｴﾗｰ回数(Tmp): ", 6, 8},
    {"CT:s", "ﾊｰﾄﾞｴﾗｰ回数(etc): ", 6, 8},
    {"CT:t", "ﾘｰﾄﾞｺﾏﾝﾄﾞ磁気ｴﾗｰ: ", 6, 8},
    {"CT:u", " ﾗｲﾄｺﾏﾝﾄﾞ磁気ｴﾗｰ: ", 6, 8},
    {"CT:v", "    ﾌｨｰﾄﾞｴﾗ-回数: ", 6, 8},
};
const std::vector<CounterEntry> kGeneral = {
    {"CT:0", "パス　回数 : ", 6, 8},
    {"CT:1", "ライト回数 : ", 6, 8},
    {"CT:2", "リード回数 : ", 6, 8},
    {"CT:3", "印字　回数 : ", 6, 8},
    {"CT:4", "電断　回数 : ", 6, 8},
    {"CT:9", "Tr1エラー  :     ", 10, 4},
    {"CT:A", "Tr2エラー  :     ", 10, 4},
    {"CT:B", "Tr3エラー  :     ", 10, 4},
    {"CT:8", "メカエラー :   ", 8, 6},
    {"CT:7", "ｼﾞｬﾑエラー :   ", 8, 6},
    {"CT:E", "ﾊｰﾄﾞエラー :   ", 8, 6},
    {"CT:F", "ﾊﾟﾝﾁエラー :   ", 8, 6},
};

}  // namespace

bool IsCounterFamilyA(const QString& versionText) { return versionText.startsWith(QLatin1Char('M')); }

const std::vector<CounterEntry>& CounterList(bool familyA) { return familyA ? kFamilyA : kGeneral; }

QString CounterLine(const CounterEntry& entry, const QString& replyText) {
  return QString::fromUtf8(entry.label) + reply::Mid(replyText, entry.position, entry.length);
}

}  // namespace quorel

#include "eeprom/eep_tables.h"

#include <iterator>

namespace quorel::eep {
namespace {

const CounterItem kCounterItems[] = {
    {"ﾊﾟｽ回数", 0x1E, 2},  {"ﾗｲﾄ回数", 0x1C, 2}, {"ﾘｰﾄﾞ回数", 0x1A, 2}, {"印字回数", 0x18, 2},
    {"電断回数", 0x0C, 1}, {"Tr1ｴﾗｰ", 0x11, 1},  {"Tr2ｴﾗｰ", 0x12, 1},   {"Tr3ｴﾗｰ", 0x13, 1},
    {"Tr4ｴﾗｰ", 0x14, 1},   {"ﾒｶｴﾗｰ", 0x10, 1},   {"ｼﾞｬﾑｴﾗｰ", 0x0F, 1},  {"ﾊｰﾄﾞｴﾗｰ", 0x16, 1},
    {"受信ｴﾗｰ", 0x0D, 1},  {"送信ｴﾗｰ", 0x0E, 1}, {"ﾌｨｰﾄﾞｴﾗｰ", 0x15, 1}, {"ﾊﾟﾝﾁｴﾗｰ", 0x17, 1},
};
const CounterLine kMivorCounters[] = {
    {"CT:a", "\u3000\u3000 ｶｰﾄﾞﾊﾟｽ回数: ", 6, 13, "パス回数\u3000\u3000\u3000\u3000\u3000"},
    {"CT:b", "     磁気ﾗｲﾄ回数: ", 6, 13, "ライト回数\u3000\u3000\u3000\u3000"},
    {"CT:c", "    磁気ﾘｰﾄﾞ回数: ", 6, 13, "リード回数\u3000\u3000\u3000\u3000"},
    {"CT:d", "        印字回数: ", 6, 13, "印字回数\u3000\u3000\u3000\u3000\u3000"},
    {"CT:e", "        消去回数: ", 6, 13, "消去回数\u3000\u3000\u3000\u3000\u3000"},
    {"CT:f", "    ﾗｲﾄｺﾏﾝﾄﾞ回数: ", 6, 13, "ライトコマンド回数"},
    {"CT:i", "電源立ち上げ回数: ", 6, 13, "電断回数\u3000\u3000\u3000\u3000\u3000"},
    {"CT:j", " FROM 書換え回数: ", 6, 13, "FROM書換え回数\u3000\u3000"},
    {"CT:k", " TPH 昇降ｴﾗｰ回数: ", 6, 13, "TPH昇降エラー     "},
    {"CT:l", " EPH 昇降ｴﾗｰ回数: ", 6, 13, "EPH昇降エラー   \u3000"},
    {"CT:m", "    ｶｰﾄﾞｼﾞｬﾑ回数: ", 6, 13, "カードジャムエラー"},
    {"CT:n", "  磁気Tr1ｴﾗｰ回数: ", 6, 13, "Tr1エラー \u3000\u3000\u3000\u3000"},
    {"CT:o", "  磁気Tr2ｴﾗｰ回数: ", 6, 13, "Tr2エラー \u3000\u3000\u3000\u3000"},
    {"CT:p", "  磁気Tr3ｴﾗｰ回数: ", 6, 13, "Tr3エラー \u3000\u3000\u3000\u3000"},
    {"CT:r", "ﾊｰﾄﾞｴﾗｰ回数(Tmp): ", 6, 13, "ハードエラー(温度系)\u3000\u3000\u3000"},
    {"CT:s", "ﾊｰﾄﾞｴﾗｰ回数(etc): ", 6, 13, "ハードエラー(その他)\u3000\u3000\u3000"},
    {"CT:t", "ﾘｰﾄﾞｺﾏﾝﾄﾞ磁気ｴﾗｰ: ", 6, 13, "リードコマンド磁気エラー回数"},
    {"CT:u", " ﾗｲﾄｺﾏﾝﾄﾞ磁気ｴﾗｰ: ", 6, 13, "ライトコマンド磁気エラー回数"},
    {"CT:v", "    ﾌｨｰﾄﾞｴﾗ-回数: ", 6, 13, "フィードエラー\u3000\u3000"},
};
const CounterLine kWordFamilyCounters[] = {
    {"CT:0", "パ ス 回数 : ", 6, 13, "パス回数\u3000\u3000\u3000\u3000\u3000"},
    {"CT:1", "ライト回数 : ", 6, 13, "ライト回数\u3000\u3000\u3000\u3000"},
    {"CT:2", "リード回数 : ", 6, 13, "リード回数\u3000\u3000\u3000\u3000"},
    {"CT:3", "印字\u3000回数 : ", 6, 13, "印字回数\u3000\u3000\u3000\u3000\u3000"},
    {"CT:4", "電断\u3000回数 : ", 6, 13, "電断回数\u3000\u3000\u3000\u3000\u3000"},
    {"CT:9", "Tr1エラー  :     ", 10, 13, "Tr1エラー \u3000\u3000\u3000\u3000"},
    {"CT:A", "Tr2エラー\u3000:     ", 10, 13, "Tr2エラー \u3000\u3000\u3000\u3000"},
    {"CT:B", "Tr3エラー\u3000:     ", 10, 13, "Tr3エラー \u3000\u3000\u3000\u3000"},
    {"CT:C", "Tr4エラー  :     ", 10, 13, "Tr4エラー \u3000\u3000\u3000\u3000"},
    {"CT:8", "メカエラー :   ", 8, 13, "メカエラー\u3000\u3000\u3000\u3000"},
    {"CT:7", "ｼﾞｬﾑエラー :   ", 8, 13, "ジャムエラー\u3000\u3000\u3000"},
    {"CT:E", "ﾊｰﾄﾞエラー :   ", 8, 13, "ハードエラー\u3000\u3000\u3000"},
    {"CT:5", "受信エラー :   ", 8, 13, "受信エラー\u3000\u3000\u3000\u3000"},
    {"CT:6", "送信エラー :   ", 8, 13, "送信エラー\u3000\u3000\u3000\u3000"},
    {"CT:D", "ﾌｨｰﾄﾞエラー:   ", 8, 13, "フィードエラー\u3000\u3000"},
    {"CT:F", "ﾊﾟﾝﾁエラー :   ", 8, 13, "パンチエラー\u3000\u3000\u3000"},
};

const char* const kSettingCaptions[kMivorSettings] = {
    "TPHﾗﾝｸ設定", "印字濃度", "消去ﾗﾝｸ設定", "消去ﾛｯﾄ設定", "印字位置設定", "UP", "Down", "UP", "Down"};

QStringList Digits(char last) {
  QStringList values;
  for (char c = '0'; c <= last; ++c) values << QString(QLatin1Char(c));
  return values;
}

}  // namespace

const CounterItem* CounterItems(int* count) {
  *count = static_cast<int>(std::size(kCounterItems));
  return kCounterItems;
}

const CounterItem* FindCounterItem(const QString& text) {
  for (const CounterItem& item : kCounterItems)
    if (text == QString::fromUtf8(item.text)) return &item;
  return nullptr;
}

const CounterLine* MivorCounters(int* count) {
  *count = static_cast<int>(std::size(kMivorCounters));
  return kMivorCounters;
}

const CounterLine* WordFamilyCounters(int* count) {
  *count = static_cast<int>(std::size(kWordFamilyCounters));
  return kWordFamilyCounters;
}

QString SettingCaption(int index) {
  return index >= 0 && index < kMivorSettings ? QString::fromUtf8(kSettingCaptions[index]) : QString();
}

QStringList SettingValues(int index) {
  switch (index) {
    case 0:  // the head rank: 10 to 13 shown as "a" to "d", listed first
      return QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d")} +
             Digits('9');
    case 1:
      return Digits('4');
    case 3:
    case 4:
      return Digits('8');
    default:
      return index >= 0 && index < kMivorSettings ? Digits('9') : QStringList();
  }
}

SettingByte WordFamilySettingByte(int index) {
  switch (index) {
    case 0:
      return {0x20, true};
    case 1:
      return {0x20, false};
    case 2:
      return {0x22, false};
    case 3:
      return {0x22, true};
    default:
      return {0x08, false};
  }
}

}  // namespace quorel::eep

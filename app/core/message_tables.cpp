#include "core/message_tables.h"

#include <array>
#include <cstddef>

#include "core/conversions.h"
#include "core/main_module.h"

namespace quorel {
namespace {

struct Entry {
  int index;
  const char* text;  // UTF-8
};

// End-code texts by status (hex); stored padded to their display width.
constexpr Entry kErrTextJa[] = {
    {0x00, "ＲＳ－２３２Ｃフレーミングエラー"},
    {0x01, "ＲＳ－２３２Ｃオーバーランエラー"},
    {0x02, "ＲＳ－２３２Ｃパリティーエラー"},
    {0x03, "バファオーバーフローエラー"},
    {0x04, "ＢＣＣエラー"},
    {0x05, "通信不能"},
    {0x10, "パワーアップエラー"},
    {0x11, "コマンドエラー"},
    {0x12, "コマンド実行中エラー"},
    {0x13, "コマンド実行不可"},
    {0x14, "パラメーターエラー"},
    {0x20, "カードありエラー"},
    {0x21, "カード抜き取り待ちエラー"},
    {0x22, "カードサイズエラー"},
    {0x23, "カード挿入エラー"},
    {0x25, "カードなしエラー"},
    {0x30, "カードジャムエラー"},
    {0x32, "サーマルメカエラー"},
    {0x33, "エンコーダパルスエラー"},
    {0x34, "搬送路カバーオープンエラー"},
    {0x35, "ハードエラー１（温度検出異常）"},
    {0x36, "ハードエラー２（ｾﾝｻｰ異常）"},
    {0x37, "ハードエラー３（EEPROM  ｴﾗｰ）"},
    {0x38, "ハードエラー４（ﾌﾞﾚｰｷﾝｸﾞｴﾗｰ）"},
    {0x39, "ハードエラー５（漢字ROMｴﾗｰ）"},
    {0x3A, "ハードエラー６（CIOﾓｰﾄﾞｴﾗｰ）"},
    {0x3C, "ハードエラー７（EEPROM  ｴﾗｰ）"},
    {0x40, "リード／ライトエラー"},
    {0x41, "スタートコード無しエラー"},
    {0x42, "パリティーエラー"},
    {0x43, "エンドコード無しエラー"},
    {0x44, "ＢＣＣ／ＬＲＣエラー"},
    {0x45, "ベリファイエラー"},
    {0x46, "リ－ドデータなしエラー"},
    {0x47, "ライトデータなしエラー"},
    {0x48, "磁気データコードエラー"},
    {0x50, "プリントデータなしエラー"},
    {0x51, "サーマルヒートエラー"},
    {0x52, "消去ユニット低温エラー"},
    {0x53, "プリントキャラクタエラー"},
    {0x54, "印字エリアオーバーエラー"},
    {0x60, "フィーダなしエラー"},
    {0x61, "フィーダカードなし"},
    {0x62, "フィードエラー"},
    {0x64, "フィーダありエラー"},
    {0x70, "ＥＥＰＲＯＭ印字テーブルエラー"},
    {0x75, "ＩＲバーコードリードエラー"},
    {0x90, "OK"},
    {0x92, "OK（ノーオペレーション  ）"},
    {0x93, "OK（フィーダカードエンド）"},
    {0x94, "OK（サーマル低温警告）"},
    {0x96, "OK（他トラックエラー）"},
};

constexpr Entry kStatusTextJa[] = {
    {0, "OK"}, {1, "OK"}, {2, "パワーアップ"}, {3, "サーマル高温"},
    {4, "ジャムエラー"}, {5, "メカエラー"}, {6, "ハードエラー"},
};

constexpr Entry kCardPosTextJa[] = {
    {0, "カ－ドなし"},
    {1, "カ－ド有り  前"},
    {2, "カード有り  中"},
    {3, "カード有り  後"},
    {4, "カードを抜き取って下さい"},
    {5, "カードを抜き取って下さい"},
    {8, "カ－ド有り 保留部"},
    {9, "カ－ド有り 前＋保留部"},
};

constexpr const char* kBlank = "       ";

constexpr Entry kTphRank[] = {
    {0, "747-784"},   {1, "785-822"},   {2, "823-864"},    {3, "865-907"},    {4, "908-952"},
    {5, "953-1000"},  {6, "1001-1050"}, {7, "1051-1102"},  {8, "1103-1158"},  {9, "1159-1215"},
    {10, "1216-1276"}, {11, "1277-1340"}, {12, "1341-"},   {13, "   -746"},
};
constexpr Entry kErRank[] = {
    {0, "577-605"},  {1, "606-635"},  {2, "636-667"},  {3, "668-700"},  {4, "701-735"},
    {5, "736-772"},  {6, "773-811"},  {7, "812-852"},  {8, "853-895"},  {9, "896-   "},
    {10, "   -498"}, {11, "499-523"}, {12, "524-549"}, {13, "550-576"},
};
constexpr Entry kRangeA[] = {
    {0, kBlank},     {1, "   -239"}, {2, "240-251"}, {3, "252-263"}, {4, "264-277"},
    {5, "278-291"},  {6, "292-305"}, {7, "306-"},    {8, kBlank},
};
constexpr Entry kRangeB[] = {
    {0, kBlank},     {1, "   -743"}, {2, "744-785"}, {3, "786-828"}, {4, "829-870"},
    {5, "871-913"},  {6, "914-955"}, {7, "956-"},    {8, kBlank},
};
constexpr Entry kRangeC[] = {
    {0, "   -700"}, {1, "701-743"}, {2, "744-785"}, {3, "786-828"}, {4, "829-870"},
    {5, "871-913"}, {6, "914-955"}, {7, "956-998"}, {8, "999-   "}, {9, kBlank},
};
constexpr Entry kLot[] = {{2, "KL"}, {3, "IJ "}, {4, "FGH"}, {5, "DE "}, {6, "ABC"}};

// Pads with blanks to a width in display columns, which on this code page
// are the CP932 bytes (a full-width character is two of each).
QString Padded(const QString& text, int columns) {
  const int pad = columns - AnsiByteLen(text);
  return pad > 0 ? text + QString(pad, QLatin1Char(' ')) : text;
}

template <size_t N, size_t M>
void Fill(std::array<QString, N>& table, const Entry (&entries)[M], int columns = 0) {
  for (const Entry& e : entries) {
    const QString text = QString::fromUtf8(e.text);
    table[static_cast<size_t>(e.index)] = columns > 0 ? Padded(text, columns) : text;
  }
}

void FillJapanese(MainModule& m) {
  for (const Entry& e : kErrTextJa)
    m.gErrText[static_cast<size_t>(e.index)] = Padded(QString::fromUtf8(e.text), e.index <= 0x05 ? 34 : 33);
  Fill(m.gStatusText, kStatusTextJa, 14);
  Fill(m.gCardPosText, kCardPosTextJa);
}

}  // namespace

void InitMessageTables(TableLanguage language) {
  MainModule& m = mm();
  m.gMenuPassword = QStringLiteral("58203");
  m.gTimerInterval = 2;
  m.gWrTrack1Data.clear();
  m.gWrTrack2Data.clear();
  m.gWrTrack3Data.clear();
  switch (language) {
    case TableLanguage::kJapanese: FillJapanese(m); break;
  }
  Fill(m.gTphRankText, kTphRank);
  Fill(m.gErRankText, kErRank);
  Fill(m.gRangeTextA, kRangeA);
  Fill(m.gRangeTextB, kRangeB);
  Fill(m.gRangeTextC, kRangeC);
  Fill(m.gLotText, kLot);
}

QString ErrTextOf(const QString& status) {
  const auto hex = [](QChar c) {
    const char16_t u = c.unicode();
    return (u >= '0' && u <= '9') || (u >= 'A' && u <= 'F') || (u >= 'a' && u <= 'f');
  };
  if (status.size() != 2 || !hex(status.at(0)) || !hex(status.at(1))) return QString();
  const int index = status.toInt(nullptr, 16);
  if (index >= static_cast<int>(mm().gErrText.size())) return QString();
  return mm().gErrText[static_cast<size_t>(index)];
}

}  // namespace quorel

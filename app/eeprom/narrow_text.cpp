#include "eeprom/narrow_text.h"

#include <iterator>

namespace quorel::eep {
namespace {

// Half-width forms of U+30A1 (ァ) to U+30F6 (ヶ), in code order: the
// half-width kana, and 1 (dakuten U+FF9E) or 2 (handakuten U+FF9F) after
// it for a voiced or semi-voiced kana; 0 where no half-width form exists.
struct Kana {
  char16_t half;
  char mark;
};
constexpr Kana kKatakana[] = {
    {0xFF67, 0}, {0xFF71, 0}, {0xFF68, 0}, {0xFF72, 0}, {0xFF69, 0}, {0xFF73, 0},  // ァアィイゥウ
    {0xFF6A, 0}, {0xFF74, 0}, {0xFF6B, 0}, {0xFF75, 0},                            // ェエォオ
    {0xFF76, 0}, {0xFF76, 1}, {0xFF77, 0}, {0xFF77, 1}, {0xFF78, 0}, {0xFF78, 1},  // カガキギクグ
    {0xFF79, 0}, {0xFF79, 1}, {0xFF7A, 0}, {0xFF7A, 1},                            // ケゲコゴ
    {0xFF7B, 0}, {0xFF7B, 1}, {0xFF7C, 0}, {0xFF7C, 1}, {0xFF7D, 0}, {0xFF7D, 1},  // サザシジスズ
    {0xFF7E, 0}, {0xFF7E, 1}, {0xFF7F, 0}, {0xFF7F, 1},                            // セゼソゾ
    {0xFF80, 0}, {0xFF80, 1}, {0xFF81, 0}, {0xFF81, 1}, {0xFF6F, 0}, {0xFF82, 0},  // タダチヂッツ
    {0xFF82, 1}, {0xFF83, 0}, {0xFF83, 1}, {0xFF84, 0}, {0xFF84, 1},               // ヅテデトド
    {0xFF85, 0}, {0xFF86, 0}, {0xFF87, 0}, {0xFF88, 0}, {0xFF89, 0},               // ナニヌネノ
    {0xFF8A, 0}, {0xFF8A, 1}, {0xFF8A, 2}, {0xFF8B, 0}, {0xFF8B, 1}, {0xFF8B, 2},  // ハバパヒビピ
    {0xFF8C, 0}, {0xFF8C, 1}, {0xFF8C, 2}, {0xFF8D, 0}, {0xFF8D, 1}, {0xFF8D, 2},  // フブプヘベペ
    {0xFF8E, 0}, {0xFF8E, 1}, {0xFF8E, 2},                                         // ホボポ
    {0xFF8F, 0}, {0xFF90, 0}, {0xFF91, 0}, {0xFF92, 0}, {0xFF93, 0},               // マミムメモ
    {0xFF6C, 0}, {0xFF94, 0}, {0xFF6D, 0}, {0xFF95, 0}, {0xFF6E, 0}, {0xFF96, 0},  // ャヤュユョヨ
    {0xFF97, 0}, {0xFF98, 0}, {0xFF99, 0}, {0xFF9A, 0}, {0xFF9B, 0},               // ラリルレロ
    {0, 0},      {0xFF9C, 0}, {0, 0},      {0, 0},      {0xFF66, 0}, {0xFF9D, 0},  // ヮワヰヱヲン
    {0xFF73, 1}, {0, 0},      {0, 0},                                              // ヴヵヶ
};
constexpr char16_t kFirstKatakana = 0x30A1;

// Signs outside the two blocks.
struct Pair {
  char16_t full;
  char16_t half;
};
constexpr Pair kSigns[] = {
    {0x3000, 0x0020},  // ideographic space
    {0x3001, 0xFF64},  // 、
    {0x3002, 0xFF61},  // 。
    {0x300C, 0xFF62},  // 「
    {0x300D, 0xFF63},  // 」
    {0x309B, 0xFF9E},  // ゛
    {0x309C, 0xFF9F},  // ゜
    {0x30FB, 0xFF65},  // ・
    {0x30FC, 0xFF70},  // ー
    {0x2018, 0x0060},  // ‘
    {0x2019, 0x0027},  // ’
    {0x201C, 0x0022},  // “
    {0x201D, 0x0022},  // ”
    {0xFFE0, 0x00A2},  // ￠
    {0xFFE1, 0x00A3},  // ￡
    {0xFFE2, 0x00AC},  // ￢
    {0xFFE3, 0x00AF},  // ￣
    {0xFFE4, 0x00A6},  // ￤
    {0xFFE5, 0x00A5},  // ￥
};

}  // namespace

QString ToNarrow(const QString& text) {
  QString out;
  out.reserve(text.size());
  for (const QChar ch : text) {
    const char16_t c = ch.unicode();
    if (c >= 0xFF01 && c <= 0xFF5E) {  // full-width ASCII
      out += QChar(static_cast<char16_t>(c - 0xFF01 + 0x21));
      continue;
    }
    const size_t k = static_cast<size_t>(c - kFirstKatakana);
    if (c >= kFirstKatakana && k < std::size(kKatakana) && kKatakana[k].half != 0) {
      out += QChar(kKatakana[k].half);
      if (kKatakana[k].mark) out += QChar(kKatakana[k].mark == 1 ? char16_t{0xFF9E} : char16_t{0xFF9F});
      continue;
    }
    char16_t half = 0;
    for (const Pair& p : kSigns)
      if (p.full == c) half = p.half;
    out += half ? QChar(half) : ch;
  }
  return out;
}

}  // namespace quorel::eep

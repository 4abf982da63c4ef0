// Full-width to half-width, as the Japanese code page's narrowing maps it:
// full-width Latin letters, digits, signs and the ideographic space become
// ASCII, full-width katakana and their punctuation half-width katakana (a
// voiced kana becomes two characters: "ガ" -> "ｶﾞ", "パ" -> "ﾊﾟ"); kanji,
// hiragana, ASCII and everything else stay as they are.
#pragma once
#include <QString>

namespace quorel::eep {

QString ToNarrow(const QString& text);

}  // namespace quorel::eep

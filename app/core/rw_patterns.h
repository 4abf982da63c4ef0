// The write/read test's data: the pattern sets of twelve pieces, the track
// texts a pass writes, the permutation between passes, and the texts of its
// count labels and result box. Pure functions.
#pragma once
#include <QString>
#include <array>

namespace quorel::rwtest {

// The magnetic format of a cycle: 0 JIS, 1 ISO.
enum class Cycle { kJis = 0, kIso = 1 };

// Twelve pieces P0 to P11: track 1 uses P0 to P3, track 2 P4 to P7, track 3
// P8 to P11 (the ISO track 3 also P4 to P7).
using Pieces = std::array<QString, 12>;

enum class PatternSet { kJis, kIso, kDigits, kHex };
const Pieces& PatternPieces(PatternSet set);

// The set a cycle loads: the hex model's set wins over the digits-only set,
// which wins over the cycle's own.
PatternSet SetFor(Cycle cycle, bool digitsOnly, bool hexModel);

// The three track texts of a pass. JIS: the first jisLength characters of
// each track's four pieces joined (a length below 0 counts as 0). ISO:
// 76, 37 and 104 characters.
std::array<QString, 3> TrackTexts(Cycle cycle, const Pieces& p, int jisLength);

// The text the hex model gets on a track: track 1 at most 38 characters,
// track 2 at most 24, track 3 as it is.
QString HexModelCut(int track, const QString& text);

// The pieces of the next pass.
Pieces Permuted(Cycle cycle, const Pieces& p);

// The number as the program writes counts: a blank before a number that is
// not negative (" 0", "-1").
QString Str(long long n);

// The text of Label28 (JIS) or Label29 (ISO): one line per track, CR
// between them; an unselected track leaves its line empty.
QString CountLabel(const std::array<bool, 3>& selected, const std::array<int, 3>& failures, int operations);

// The closing box: "連続Ｗ／Ｒ試験　ＯＫ" when no track failed, else "ＮＧ"
// with each track's count (negative counts shown as 0).
QString ResultText(const std::array<int, 3>& failures, int operations);
bool ResultOk(const std::array<int, 3>& failures);

}  // namespace quorel::rwtest

// The text tables that turn reply codes into words: end codes, device state,
// card position, resistance ranges and production batches.
#pragma once
#include <QString>

namespace quorel {

// Only Japanese tables exist; the builder takes the language so another set
// can be added beside them.
enum class TableLanguage { kJapanese };

// Sets gMenuPassword and gTimerInterval, empties the write/read test's track
// data and fills the message tables of MainModule. Positions a language does
// not list keep their text.
void InitMessageTables(TableLanguage language = TableLanguage::kJapanese);

// gErrText of a two-character hex status ("90"); "" when the status is not
// two hex digits or lies above A0.
QString ErrTextOf(const QString& status);

}  // namespace quorel

// The print-position test print of the bench's first tab: the user glyphs
// its pages load, the two fixed pages (print-position page in the extended
// print range, evaluation page in the compatible range), the print command
// for the chosen kind and the closing mode write with the print-range
// switch "b" taken from DIP switch 1 of bank 2.
#pragma once
#include <QChar>
#include <QString>
#include <vector>

namespace quorel {

// The "GJ:" command of one of the pages' glyphs ("F", "0", "E", "C", "B",
// "A", "9"); empty for any other code.
QString TestGlyphCommand(QChar code);

// The commands of each page in order; version: the "VS" reply's data.
std::vector<QString> EvaluationSheet(const QString& version);
std::vector<QString> PositionSheet(const QString& version);

// "PP=" for the thermal kinds ">" and "?", "PR=" otherwise.
QString PositionPrintCommand(QChar kind);

// The mode settings to write back: the "MR" reply from character 6 on when
// it begins "AMR90", else the fallback "H7C7" (mode pairs only, so the
// closing command never carries a second "MS:" head).
QString SavedModesOf(const QString& mrReply);
extern const QString kFallbackModes;

// "MS:b1" or "MS:b0" (switch 1 of bank 2, the last bit) and the saved modes.
QString ClosingModeCommand(const QString& bank2Bits, const QString& savedModes);

}  // namespace quorel

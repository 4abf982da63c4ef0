// Command-text macros. Each expander walks the text once, tests its macro
// words at every position in a fixed order (case-sensitive, also inside
// words) and never re-examines what it inserted.
#pragma once
#include <QString>

namespace quorel {

// "ver$" "pw$" "re$" "tr$" "er$" "el$" "tt$" "et$" "pt$": the values of the
// last "VS", "RE" and "TH" replies.
QString ExpandTextMacros(const QString& text);

// "esc$" "si$" "so$" "lf$": ESC, SI, SO, LF. "bin$XY" with two device hex
// digits (0-9, :-?, A-F): the byte XY, carried as a raw-byte character when
// it is not a character by itself; "bin$X" at the very end reads X twice.
// Any other "bin$" stays as it is.
QString ExpandCtrlMacros(const QString& text);

// ESC, SI, SO and LF shown as their macro words, for display.
QString CtrlCharsToMacros(const QString& text);

}  // namespace quorel

// The device's print page description as the program composes it: a job is
// "PC", "MS:" with its mode pairs, raster lines "GJ:", text pages "PD:" and
// a print command. Pure functions: the console, the write/read test, the
// test bench and the bitmap window build their pages here, and the
// self-print test's seven fixed pages live here too. The device interprets
// the description; nothing here interprets it.
#pragma once
#include <QChar>
#include <QString>
#include <QStringList>
#include <vector>

namespace quorel::print {

// An item of a text page begins with ESC; a line of text ends with LF.
inline const QChar kEsc = QChar(27);
inline const QChar kLf = QChar(10);

// ESC followed by the item: Esc("X028") is ESC "X028".
QString Esc(const QString& item);

// "PC": clears the device's print data.
QString ClearCommand();

// "MS:" and the mode pairs as given (a leading blank goes out with them).
QString ModeCommand(const QString& modePairs);

// "GJ:" followed by the selector and the dot digits: a raster line. The
// device expects 144 upper-case hex digits (576 dots); see IsRasterCommand.
QString RasterCommand(QChar selector, const QString& hexDigits);

// True for a well-formed raster line: "GJ:", one selector character and 144
// upper-case hex digits, 148 characters in all.
bool IsRasterCommand(const QString& command);

// "PD:" and the head (three numbers, each closed by "/", as the page gives
// them: "0/4/27/"), then the lines joined by LF. No LF follows the last line.
QString PageCommand(const QString& head, const QStringList& lines);

// One of the 16 card kinds: "0" to "9" and ":" ";" "<" "=" ">" "?".
bool IsCardKind(QChar kind);

// ">" and "?": the thermal card kinds, printed without erasing.
bool IsThermalCardKind(QChar kind);

// "PR=" & kind (erase and print) or "PP=" & kind (print without erasing).
QString PrintCommand(bool erase, QChar kind);

// The print command for a card kind: "PP=" for the thermal kinds, "PR="
// for every other kind.
QString PrintForCardKind(QChar kind);

// ---- the self-print test's pages ----

// The values a page prints: the device's version text, the head's
// resistance rank and temperature.
struct PageValues {
  QString versionText;
  QString headRank;
  QString headTemp;
};

// The entries of the page list CmbJIkoPD: index 0 is empty, 1 to 7 name the
// pages.
const QStringList& SelfPrintPageNames();

// The fixed raster lines of the self-print pages by selector ("F", "E",
// "C", "B", "A"): the whole "GJ:" command; empty for any other selector.
QString SelfPrintRaster(QChar selector);

// The commands of page 1 to 7, in the order they are sent; empty for any
// other index.
std::vector<QString> SelfPrintPage(int index, const PageValues& values);

}  // namespace quorel::print

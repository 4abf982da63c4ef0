// The bitmap window's fixed lists and small rules that need no widget: the
// card kinds, zoom and brightness lists, the controls a job locks, the
// message-line cut and the path box's caret.
#pragma once
#include <QString>
#include <QStringList>
#include <array>

namespace quorel {

// Each message line holds at most this many characters (not bytes).
constexpr int kMessageLineMax = 26;

// Characters of a text: a pair of UTF-16 surrogates counts once.
int CharacterCount(const QString& text);
// The first kMessageLineMax characters of the text.
QString CutMessageLine(const QString& text);

// CmbCard: 16 items, the code "0" to "?" (0x30 to 0x3F), ": " and the stock.
QStringList CardKindItems();
// The card kind of an item: its first character.
QString CardKindCode(const QString& itemText);

// CmbZoom: percent values, text = value; the window starts at index 7 (100).
const std::array<int, 14>& ZoomSteps();
constexpr int kZoomStartIndex = 7;

// CmbBright: offsets -50 to +50 in steps of 10; texts "-50" .. "  0" .. "+50";
// the window starts at index 5 (0).
QStringList BrightnessTexts();
int BrightnessAt(int index);
constexpr int kBrightnessStartIndex = 5;

// The device's stored image areas, for CmbSaveAreaNo and CmbLoadAreaNo.
QStringList RamAreaItems();

// The 11 controls SetControlsEnabled sets, in its order (the buttons and
// the menu items of the jobs); CmdStop takes the opposite state.
const QStringList& JobControlNames();

// Where the path box's caret goes after a change: after the text without
// its surrounding blanks, one place further, never past the end.
int PathCaretPosition(const QString& text);

// The file dialog of the picture file.
QString PictureDialogTitle();
QString PictureDialogFilter();

}  // namespace quorel

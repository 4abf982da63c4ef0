// The four print areas of the bitmap window: what part of the card the
// picture covers, and where the picture box, its scroll bars, the frame,
// the window and the message rows stand for each. The positions are kept in
// twips as the layouts were drawn and turned into pixels at 96 dpi (15
// twips a pixel).
#pragma once
#include <QRect>
#include <array>

#include "print/dot_scan.h"

namespace quorel {

constexpr int kPrintAreaCount = 4;
constexpr int kMessageLineCount = 5;
constexpr int kPictureBorder = 2;  // pixels around the picture box's inside

// The four print-area numbers the conversions and downloads read.
struct PrintArea {
  int lastColumn = 319;
  int lastRow = 459;
  int firstColumn = 0;
  int rowOffset = 0;  // card row of the picture's first row

  int width() const { return lastColumn + 1; }
  int height() const { return lastRow + 1; }
  // The part of the view the conversions scan: every column and row of it.
  printdata::ScanArea scanArea() const { return {firstColumn, width(), height()}; }
};

// One message row: caption label, text box, length label (tops may differ).
struct MessageRowLayout {
  QPoint caption;
  QPoint text;
  QPoint length;
};

// Pixel geometry of one area; x and y inside the frame FramePic.
struct AreaLayout {
  QRect picture;         // outer rectangle, border included
  QRect hScroll;         // HScrollLandscape
  QRect vScroll;         // VScrollPortrait
  int frameHeight = 0;   // FramePic
  int windowHeight = 0;  // the whole window, title bar and borders included
  bool messageRows = false;
  std::array<MessageRowLayout, kMessageLineCount> rows{};
};

// Index 0 "320x460", 1 "320x600", 2 "320x300+Text", 3 "320x465+Text";
// any other index gives area 0.
const PrintArea& PrintAreaAt(int index);
AreaLayout LayoutOfArea(int index);

// Twips to pixels at 96 dpi, to the nearest pixel.
int TwipsToPixels(int twips);

// Widths the layouts do not fix: scroll bar thickness, the message text box
// and the length label.
constexpr int kScrollBarThickness = 17;
constexpr int kMessageTextWidth = 236;
constexpr int kMessageLengthWidth = 28;

}  // namespace quorel

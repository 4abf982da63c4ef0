#include "print/print_area_layout.h"

namespace quorel {
namespace {

constexpr int kTwipsPerPixel = 15;

struct AreaTwips {
  PrintArea area;
  int pictureTop, pictureHeight;
  int hScrollTop;
  int vScrollTop, vScrollHeight;
  int frameHeight, windowHeight;
  bool messageRows;
  std::array<int, 4> captionTops;  // message lines 1 to 4
  std::array<int, 4> textTops;     // text box and length label
};

// The areas without text keep the rows of the shorter text area; they are hidden there.
constexpr std::array<int, 4> kShortCaptionTops = {5760, 6140, 6520, 6900};
constexpr std::array<int, 4> kShortTextTops = {5700, 6060, 6420, 6780};
constexpr std::array<int, 4> kTallCaptionTops = {8160, 8520, 8880, 9240};
constexpr std::array<int, 4> kTallTextTops = {8100, 8460, 8820, 9180};

constexpr std::array<AreaTwips, kPrintAreaCount> kAreas = {{
    {{319, 459, 0, 0}, 180, 6960, 7140, 180, 6960, 7485, 8430, false, kShortCaptionTops, kShortTextTops},
    {{319, 599, 0, 0}, 180, 9060, 9240, 180, 9060, 9585, 10470, false, kShortCaptionTops, kShortTextTops},
    {{319, 299, 0, 60}, 600, 4560, 5160, 600, 4560, 7485, 8430, true, kShortCaptionTops, kShortTextTops},
    {{319, 464, 0, 60}, 600, 7035, 7700, 600, 7110, 9585, 10470, true, kTallCaptionTops, kTallTextTops},
}};

// Horizontal places, the same in every area.
constexpr int kPictureLeft = 30;
constexpr int kPictureWidth = 4860;
constexpr int kHScrollLeft = 60;
constexpr int kVScrollLeft = 4920;
constexpr int kTopCaptionLeft = 90, kTopCaptionTop = 300;
constexpr int kTopTextLeft = 1020, kTopTextTop = 240;
constexpr int kLineCaptionLeft = 60;
constexpr int kLineTextLeft = 1050;
constexpr int kLengthLeft = 4650;

const AreaTwips& TwipsOf(int index) { return kAreas[index >= 0 && index < kPrintAreaCount ? index : 0]; }

QPoint Px(int leftTwips, int topTwips) { return {TwipsToPixels(leftTwips), TwipsToPixels(topTwips)}; }

}  // namespace

int TwipsToPixels(int twips) { return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel; }

const PrintArea& PrintAreaAt(int index) { return TwipsOf(index).area; }

AreaLayout LayoutOfArea(int index) {
  const AreaTwips& a = TwipsOf(index);
  AreaLayout l;
  l.picture = QRect(TwipsToPixels(kPictureLeft), TwipsToPixels(a.pictureTop), TwipsToPixels(kPictureWidth),
                    TwipsToPixels(a.pictureHeight));
  // The horizontal bar runs under the picture's inside, the vertical one
  // beside the picture box.
  l.hScroll = QRect(TwipsToPixels(kHScrollLeft), TwipsToPixels(a.hScrollTop),
                    a.area.width(), kScrollBarThickness);
  l.vScroll = QRect(TwipsToPixels(kVScrollLeft), TwipsToPixels(a.vScrollTop), kScrollBarThickness,
                    TwipsToPixels(a.vScrollHeight));
  l.frameHeight = TwipsToPixels(a.frameHeight);
  l.windowHeight = TwipsToPixels(a.windowHeight);
  l.messageRows = a.messageRows;
  l.rows[0] = {Px(kTopCaptionLeft, kTopCaptionTop), Px(kTopTextLeft, kTopTextTop), Px(kLengthLeft, kTopTextTop)};
  for (int i = 0; i < 4; ++i) {
    l.rows[i + 1] = {Px(kLineCaptionLeft, a.captionTops[i]), Px(kLineTextLeft, a.textTops[i]),
                     Px(kLengthLeft, a.textTops[i])};
  }
  return l;
}

}  // namespace quorel

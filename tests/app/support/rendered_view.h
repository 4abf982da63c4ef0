// What a control shows on screen, taken from its rendered pixels: the colour
// it is filled with and the darkest ink drawn on it. Tests of what a window
// shows assert on these rather than on the values the program stored.
#pragma once
#include <QColor>
#include <QHash>
#include <QImage>
#include <QWidget>

namespace quorel::testing {

struct Ink {
  QColor fill;     // the commonest colour inside the control's frame
  QColor darkest;  // the darkest pixel there (text, when there is any)
};

// inset: pixels left off each side so that the frame's own lines do not count.
inline Ink InkOf(QWidget* widget, int inset = 3) {
  const QImage image = widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
  QHash<QRgb, int> counts;
  Ink ink;
  ink.darkest = Qt::white;
  const qreal ratio = image.devicePixelRatio();
  const int margin = static_cast<int>(inset * ratio);
  for (int y = margin; y < image.height() - margin; ++y)
    for (int x = margin; x < image.width() - margin; ++x) {
      const QRgb p = image.pixel(x, y);
      ++counts[p];
      if (QColor(p).lightness() < ink.darkest.lightness()) ink.darkest = QColor(p);
    }
  int most = 0;
  for (auto it = counts.cbegin(); it != counts.cend(); ++it)
    if (it.value() > most) {
      most = it.value();
      ink.fill = QColor(it.key());
    }
  return ink;
}

// A light fill: the window colour of a text box, not a near-black value.
inline bool IsLight(const QColor& c) { return c.lightness() >= 200; }
// Dark text that reads on a light fill.
inline bool ReadsOn(const QColor& text, const QColor& fill) {
  return text.lightness() <= 110 && fill.lightness() - text.lightness() >= 100;
}
// A grey (or white) with no colour of its own: a system colour, not a lamp.
inline bool IsNeutral(const QColor& c) { return c.hsvSaturation() < 40; }

}  // namespace quorel::testing

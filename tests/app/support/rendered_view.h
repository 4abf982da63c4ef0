// What a control shows on screen, taken from its rendered pixels: the colour
// it is filled with, the darkest ink drawn on it, which part of a text box's
// text is in view. Tests of what a window shows assert on these rather than
// on the values the program stored.
#pragma once
#include <QColor>
#include <QFontMetrics>
#include <QHash>
#include <QImage>
#include <QLineEdit>
#include <QWidget>
#include <algorithm>

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

// Whether the box shows the first characters of its text: its left part
// renders as that of a box of the same make holding only those characters
// (which fit, so nothing of them is scrolled out of view).
inline bool ShowsTextStart(QLineEdit* box, int chars = 8) {
  QLineEdit probe(box->parentWidget());
  probe.setGeometry(box->geometry());
  probe.setFont(box->font());
  probe.setPalette(box->palette());
  probe.setFrame(box->hasFrame());
  probe.setAlignment(box->alignment());
  probe.setReadOnly(box->isReadOnly());
  probe.setEnabled(box->isEnabled());
  probe.setText(box->text().left(chars));
  probe.setCursorPosition(0);
  probe.show();
  const QImage shown = box->grab().toImage();
  const QImage expected = probe.grab().toImage();
  if (shown.size() != expected.size()) return false;
  // Up to the end of those characters; the next one may touch the last pixel.
  const int width = box->contentsRect().left() + box->fontMetrics().horizontalAdvance(probe.text());
  const qreal ratio = shown.devicePixelRatio();
  for (int y = 0; y < shown.height(); ++y)
    for (int x = 0; x < std::min(shown.width(), static_cast<int>(width * ratio)); ++x)
      if (shown.pixel(x, y) != expected.pixel(x, y)) return false;
  return true;
}

}  // namespace quorel::testing

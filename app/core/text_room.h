// Room for a control's text in the fonts this machine draws it with. The
// windows are drawn in fixed pixel sizes; where a caption or a short value
// needs more room than its control's size gives, the control grows from its
// top-left corner (it never shrinks) and its container grows with it, so
// that no text is cut and nothing sticks out.
#pragma once
#include <QRect>
#include <QSize>

class QWidget;

namespace quorel {

// The size a label, push button, check box, option button or text box needs
// to show its whole text in its own font and style; for a word-wrapped
// label, the height it needs at its present width. An empty size for other
// widgets, for an empty text, and for a text box holding more than a short
// value (16 characters).
QSize TextRoom(const QWidget* control);

// Places a control at its designed rectangle, grown to its TextRoom: a
// single-line control gets wider (and taller when the font is), a
// word-wrapped label taller. Returns the rectangle it got.
QRect PlaceFitted(QWidget* control, const QRect& designed);

// PlaceFitted for every child of container at its present rectangle: for
// controls whose text was set after they were placed.
void FitChildren(QWidget* container);

// A container's designed size, grown so that each child that begins inside
// it but reaches beyond it ends `margin` pixels inside. A child that begins
// beyond it (a part a compact layout hides) does not count.
QSize RoomForChildren(const QWidget* container, const QSize& designed, int margin = 4);

}  // namespace quorel

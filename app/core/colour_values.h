// Colour values as the windows' handlers give them: &HBBGGRR, or a system
// colour &H800000nn whose low byte is the platform's colour index (0 scroll
// bar ... 5 window ... 8 window text ... 15 button face ... 18 button text
// ... 24 tool-tip background). A system colour is not an RGB value: it
// stands for a colour of the widget's own palette, so a light window stays
// light and its text dark whatever the palette is. Every place that turns
// such a value into a colour on screen goes through these functions.
#pragma once
#include <QColor>
#include <cstdint>

class QWidget;

namespace quorel {

constexpr uint32_t kSystemColorFlag = 0x80000000;
// The system colours the handlers name.
constexpr uint32_t kWindowBackground = 0x80000005;
constexpr uint32_t kWindowText = 0x80000008;
// The control goes back to its palette's face colour (on a label: no fill
// of its own, so the window behind it shows).
constexpr uint32_t kButtonFace = 0x8000000F;
constexpr uint32_t kButtonText = 0x80000012;

// The colour the value stands for on widget: an RGB value as it is, a
// system colour from the palette the application gives the widget's class.
// An unknown system colour index gives the palette's window colour.
QColor ColorOfValue(uint32_t value, const QWidget* widget);

// Paints the widget's face (the background of a text box or list, the face
// of a button, the fill of a label or frame) or its text with the value.
void PaintBackColor(QWidget* widget, uint32_t value);
void PaintForeColor(QWidget* widget, uint32_t value);

}  // namespace quorel

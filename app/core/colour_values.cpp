#include "core/colour_values.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTextEdit>
#include <QWidget>
#include <array>
#include <initializer_list>

namespace quorel {
namespace {

// Where a system colour is found in a palette. Most follow the widget's
// state (active, inactive, disabled); grey text is the disabled text colour
// in every state.
struct SystemColor {
  QPalette::ColorRole role;
  bool disabledText;
};

// By the platform's colour index, 0 to 0x18: the nearest palette role.
constexpr std::array<SystemColor, 25> kSystemColors = {{
    {QPalette::Mid, false},              // 0 scroll bar
    {QPalette::Dark, false},             // 1 desktop
    {QPalette::Highlight, false},        // 2 active caption
    {QPalette::Mid, false},              // 3 inactive caption
    {QPalette::Window, false},           // 4 menu
    {QPalette::Base, false},             // 5 window
    {QPalette::Shadow, false},           // 6 window frame
    {QPalette::WindowText, false},       // 7 menu text
    {QPalette::Text, false},             // 8 window text
    {QPalette::HighlightedText, false},  // 9 caption text
    {QPalette::Button, false},           // 10 active border
    {QPalette::Button, false},           // 11 inactive border
    {QPalette::Dark, false},             // 12 application workspace
    {QPalette::Highlight, false},        // 13 highlight
    {QPalette::HighlightedText, false},  // 14 highlight text
    {QPalette::Button, false},           // 15 button face
    {QPalette::Dark, false},             // 16 button shadow
    {QPalette::Text, true},              // 17 grey text
    {QPalette::ButtonText, false},       // 18 button text
    {QPalette::WindowText, false},       // 19 inactive caption text
    {QPalette::Light, false},            // 20 button highlight
    {QPalette::Shadow, false},           // 21 3D dark shadow
    {QPalette::Midlight, false},         // 22 3D light
    {QPalette::ToolTipText, false},      // 23 tool-tip text
    {QPalette::ToolTipBase, false},      // 24 tool-tip background
}};

bool IsSystem(uint32_t value) { return (value & kSystemColorFlag) != 0; }

SystemColor SystemColorOf(uint32_t value) {
  const uint32_t index = value & ~kSystemColorFlag;
  return index < kSystemColors.size() ? kSystemColors[index] : SystemColor{QPalette::Window, false};
}

QColor RgbOf(uint32_t bgr) { return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF); }

QColor ColorIn(uint32_t value, const QPalette& palette, QPalette::ColorGroup group) {
  if (!IsSystem(value)) return RgbOf(value);
  const SystemColor s = SystemColorOf(value);
  return palette.color(s.disabledText ? QPalette::Disabled : group, s.role);
}

bool IsTextBox(const QWidget* w) {
  return qobject_cast<const QLineEdit*>(w) || qobject_cast<const QPlainTextEdit*>(w) ||
         qobject_cast<const QTextEdit*>(w) || qobject_cast<const QAbstractItemView*>(w);
}

// A push or tool button paints with the button roles; a check box or option
// button is text on the window like a label.
bool IsPushButton(const QWidget* w) {
  return qobject_cast<const QAbstractButton*>(w) && !qobject_cast<const QCheckBox*>(w) &&
         !qobject_cast<const QRadioButton*>(w);
}

// A drop-down list without an edit line draws its face as a button, its
// open list as a text box: both take the list's colour.
bool IsListFace(const QWidget* w) {
  const auto* c = qobject_cast<const QComboBox*>(w);
  return c && !c->isEditable();
}

void Paint(QWidget* w, std::initializer_list<QPalette::ColorRole> roles, uint32_t value) {
  const QPalette own = QApplication::palette(w);
  QPalette p = w->palette();
  for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
    const QColor c = ColorIn(value, own, g);
    for (QPalette::ColorRole role : roles) p.setColor(g, role, c);
  }
  w->setPalette(p);
}

}  // namespace

QColor ColorOfValue(uint32_t value, const QWidget* widget) {
  if (!IsSystem(value)) return RgbOf(value);
  return ColorIn(value, widget ? QApplication::palette(widget) : QApplication::palette(), QPalette::Active);
}

void PaintBackColor(QWidget* w, uint32_t value) {
  if (!w) return;
  w->setAutoFillBackground(value != kButtonFace || qobject_cast<QLabel*>(w) == nullptr);
  if (IsListFace(w))
    Paint(w, {QPalette::Base, QPalette::Button}, value);
  else if (IsTextBox(w) || qobject_cast<QComboBox*>(w))
    Paint(w, {QPalette::Base}, value);
  else if (IsPushButton(w))
    Paint(w, {QPalette::Button}, value);
  else
    Paint(w, {QPalette::Window}, value);
}

void PaintForeColor(QWidget* w, uint32_t value) {
  if (!w) return;
  if (IsListFace(w))
    Paint(w, {QPalette::Text, QPalette::ButtonText}, value);
  else if (IsTextBox(w) || qobject_cast<QComboBox*>(w))
    Paint(w, {QPalette::Text}, value);
  else if (IsPushButton(w))
    Paint(w, {QPalette::ButtonText}, value);
  else
    Paint(w, {QPalette::WindowText}, value);
}

}  // namespace quorel

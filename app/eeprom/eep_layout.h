// The EEPROM window's size per tab and layout, and the two keys it keeps in
// the program settings file, section "EEPROM" with the instance number
// appended when it is not 0: Enlarge ("1" wide, else normal) and SSTab (the
// tab, 0 to 3).
#pragma once
#include <QSize>
#include <QString>

namespace quorel::eep {

// Outer sizes in pixels (the layouts were drawn in twips, 15 to a pixel).
struct LayoutSize {
  QSize tabStrip;
  QSize window;
};
LayoutSize SizeFor(int tab, bool wide);

// The keys as they are stored, made safe: a tab outside 0 to 3 or a value
// that is no whole number gives tab 0; an Enlarge value other than 1, or no
// whole number, gives the normal layout.
struct LayoutKeys {
  int tab = 0;
  bool wide = false;
  bool enlargeStored = false;  // the key holds a value (else the load writes "0")
};
QString EepromSection();
LayoutKeys ReadLayoutKeys();
void WriteEnlargeKey(bool wide);
void WriteTabKey(int tab);

}  // namespace quorel::eep

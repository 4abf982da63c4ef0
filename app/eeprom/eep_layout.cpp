#include "eeprom/eep_layout.h"

#include "core/main_module.h"
#include "core/settings_file.h"

namespace quorel::eep {
namespace {

constexpr int kTwipsPerPixel = 15;

// Twips: tab strip width and height, window width and height.
struct Twips {
  int stripW, stripH, windowW, windowH;
};
constexpr Twips kNormal[4] = {
    {6045, 11835, 6180, 12675}, {5835, 6765, 5955, 7620}, {5835, 6855, 5955, 7680}, {5835, 6855, 5955, 7680}};
constexpr Twips kWide[4] = {
    {9555, 11835, 9750, 12675}, {9435, 9165, 9555, 10020}, {9435, 6855, 9555, 7680}, {9435, 6855, 9555, 7680}};

QSize Pixels(int w, int h) { return QSize(w / kTwipsPerPixel, h / kTwipsPerPixel); }

// A whole number as the key holds it, or nothing.
bool WholeNumber(const QString& text, int* value) {
  bool ok = false;
  *value = text.trimmed().toInt(&ok);
  return ok;
}

}  // namespace

LayoutSize SizeFor(int tab, bool wide) {
  const Twips& t = (wide ? kWide : kNormal)[tab >= 0 && tab <= 3 ? tab : 0];
  return {Pixels(t.stripW, t.stripH), Pixels(t.windowW, t.windowH)};
}

QString EepromSection() { return InstanceSection(QStringLiteral("EEPROM")); }

LayoutKeys ReadLayoutKeys() {
  const QString& ini = mm().gIniPath;
  LayoutKeys keys;
  const QString enlarge = ReadIni(EepromSection(), QStringLiteral("Enlarge"), ini);
  keys.enlargeStored = !enlarge.isEmpty();
  int value = 0;
  keys.wide = WholeNumber(enlarge, &value) && value == 1;
  const QString tab = ReadIni(EepromSection(), QStringLiteral("SSTab"), ini);
  if (WholeNumber(tab, &value) && value >= 0 && value <= 3) keys.tab = value;
  return keys;
}

void WriteEnlargeKey(bool wide) {
  WriteIni(EepromSection(), QStringLiteral("Enlarge"), wide ? QStringLiteral("1") : QStringLiteral("0"), mm().gIniPath);
}

void WriteTabKey(int tab) { WriteIni(EepromSection(), QStringLiteral("SSTab"), QString::number(tab), mm().gIniPath); }

}  // namespace quorel::eep

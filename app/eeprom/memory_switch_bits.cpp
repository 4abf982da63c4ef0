#include "eeprom/memory_switch_bits.h"

#include <cmath>

namespace quorel::eep {

QString Hex2Bin(const QString& text) {
  QString bits;
  for (QChar c : text) {
    bool ok = false;
    const int v = QString(c).toInt(&ok, 16);
    if (!ok || c.unicode() > 0x7F) continue;
    bits += QStringLiteral("%1").arg(v, 4, 2, QLatin1Char('0'));
  }
  return bits;
}

QString Bin2Hex(const QString& bits) {
  const int point = bits.indexOf(QLatin1Char('.'));
  const QString whole = point < 0 ? bits : bits.left(point);
  double sum = 0;
  double weight = 1;
  for (int i = whole.size() - 1; i >= 0; --i, weight *= 2)
    if (whole.at(i) == QLatin1Char('1')) sum += weight;
  if (point >= 0) {
    weight = 0.5;
    for (int i = point + 1; i < bits.size(); ++i, weight /= 2)
      if (bits.at(i) == QLatin1Char('1')) sum += weight;
  }
  const double rounded = std::nearbyint(sum);  // the default mode rounds halves to even
  return QString::number(static_cast<qulonglong>(rounded), 16).toUpper();
}

double FirmwareNumber(const QString& version) {
  const QString digits = version.mid(5, 2);
  int i = 0;
  while (i < digits.size() && digits.at(i) == QLatin1Char(' ')) ++i;
  double value = 0;
  for (; i < digits.size() && digits.at(i).isDigit() && digits.at(i).unicode() < 0x80; ++i)
    value = value * 10 + (digits.at(i).unicode() - '0');
  return value;
}

bool IsMivorVersion(const QString& version) { return version.startsWith(QLatin1String("Mivor")); }

SwitchBoxes BoxesOfLowByte(const QString& lowByte) {
  const QString bits = Hex2Bin(lowByte);
  SwitchBoxes boxes{};
  // Box i is character 9 - i of the eight bits (box 1 the last).
  for (int i = 1; i <= 8; ++i) boxes[static_cast<size_t>(i - 1)] = bits.mid(8 - i, 1) == QLatin1String("1");
  return boxes;
}

QString SwitchWord(const SwitchBoxes& boxes) {
  QString bits;
  for (int i = 8; i >= 1; --i) bits += boxes[static_cast<size_t>(i - 1)] ? QLatin1Char('1') : QLatin1Char('0');
  const QString low = (QStringLiteral("00") + Bin2Hex(bits)).right(2);
  const int complement = 255 - low.toInt(nullptr, 16);
  const QString high = (QStringLiteral("00") + QString::number(complement, 16).toUpper()).right(2);
  return high + low;
}

}  // namespace quorel::eep

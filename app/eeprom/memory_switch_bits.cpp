#include "eeprom/memory_switch_bits.h"

#include "core/conversions.h"

namespace quorel::eep {

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
  const QString bits = HexToBin(lowByte);
  SwitchBoxes boxes{};
  // Box i is character 9 - i of the eight bits (box 1 the last).
  for (int i = 1; i <= 8; ++i) boxes[static_cast<size_t>(i - 1)] = bits.mid(8 - i, 1) == QLatin1String("1");
  return boxes;
}

QString SwitchWord(const SwitchBoxes& boxes) {
  QString bits;
  for (int i = 8; i >= 1; --i) bits += boxes[static_cast<size_t>(i - 1)] ? QLatin1Char('1') : QLatin1Char('0');
  const QString low = (QStringLiteral("00") + BinToHex(bits)).right(2);
  const int complement = 255 - low.toInt(nullptr, 16);
  const QString high = (QStringLiteral("00") + QString::number(complement, 16).toUpper()).right(2);
  return high + low;
}

}  // namespace quorel::eep

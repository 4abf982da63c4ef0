// The memory switches of a Mivor device: eight on/off options in the low
// byte of EEPROM word 0x2F, the high byte its complement. Box i (1 to 8) is
// bit i-1.
#pragma once
#include <QString>
#include <array>

namespace quorel::eep {

using SwitchBoxes = std::array<bool, 8>;  // [0] is box 1

// The firmware number: characters 6 and 7 of the version read leniently
// (leading blanks skipped, up to the first character that cannot go on).
double FirmwareNumber(const QString& version);
// The version names a Mivor ("Mivor" at the start).
bool IsMivorVersion(const QString& version);

// The four digits "eew:2F/01/" carries: complement, then the switches.
QString SwitchWord(const SwitchBoxes& boxes);
// The boxes of a read's low byte (two hex digits).
SwitchBoxes BoxesOfLowByte(const QString& lowByte);

}  // namespace quorel::eep

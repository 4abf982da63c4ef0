// What the EEPROM of each device family holds when it leaves the factory:
// the word count and the default image, one 16-bit word per address.
//
// Mivor units have 256 words (rows 0 to F); Dastel, Quenby and Folsk units
// 64 (rows 0 to 3). A word never written reads FFFF. Every image carries
// the usage counters (one-word counters 0C-17, two-word counters 18-1F, high
// word first); the Dastel-type images keep their settings bytes in words 08
// (print position, low byte), 20 (head rank high, print density low) and 22
// (erase lot high, erase rank low) as character codes; the Mivor image keeps
// its memory switches in word 2F (high byte the complement of the low one)
// and a short customer message, one UTF-16 code unit a word, from word 90 on.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace sim {

enum class EepromFamily { Mivor, Dastel, Quenby, Folsk };

constexpr int kEepromFamilies = 4;

// "mivor", "dastel", "quenby", "folsk".
const char* EepromFamilyName(EepromFamily family);
// The family of such a name; false for any other text.
bool EepromFamilyByName(const std::string& name, EepromFamily* family);
// The EEPROM a unit of the model knob's family carries ("model holdt" is a
// Quenby-type unit, "model yarsel" a Folsk-type one, "model other" has the
// Mivor's 256 words); false for an unknown model name.
bool EepromFamilyOfModel(const std::string& model, EepromFamily* family);

// The factory image: 256 words for Mivor, 64 for the others.
std::vector<uint16_t> DefaultEepromImage(EepromFamily family);

}  // namespace sim

#include "eeprom_images.h"

namespace sim {

namespace {

struct Named {
  const char* name;
  EepromFamily family;
};
const Named kFamilyNames[] = {{"mivor", EepromFamily::Mivor},
                              {"dastel", EepromFamily::Dastel},
                              {"quenby", EepromFamily::Quenby},
                              {"folsk", EepromFamily::Folsk}};
// The model knob's families beyond the four.
const Named kModelFamilies[] = {{"holdt", EepromFamily::Quenby},
                                {"yarsel", EepromFamily::Folsk},
                                {"other", EepromFamily::Mivor}};

struct Word {
  uint16_t address;
  uint16_t value;
};

// Counters of a unit that has seen some use: print, read, write and pass
// counts as two words each, and a few one-word error counts.
void PutCounters(std::vector<uint16_t>* image, uint16_t powerOffs, uint16_t jams) {
  std::vector<uint16_t>& w = *image;
  w[0x0C] = powerOffs;
  w[0x0F] = jams;
  for (uint16_t a = 0x0D; a <= 0x17; ++a)
    if (a != 0x0F) w[a] = 0;
  const Word twoWords[] = {{0x18, 0x0030}, {0x1A, 0x0080}, {0x1C, 0x0040}, {0x1E, 0x0100}};
  for (const Word& c : twoWords) {
    w[c.address] = 0;  // high word
    w[c.address + 1u] = c.value;
  }
}

std::vector<uint16_t> MivorImage() {
  std::vector<uint16_t> w(256, 0xFFFF);
  // Rows 0 to 2 were cleared at the factory; the counters start there.
  for (uint16_t a = 0; a < 0x30; ++a) w[a] = 0;
  PutCounters(&w, 0, 0);
  w[0x2F] = 0xFF00;  // memory switches: all off
  // Customer message "Vantor", ended by the first FFFF word.
  const uint16_t message[] = {0x0056, 0x0061, 0x006E, 0x0074, 0x006F, 0x0072};
  for (uint16_t i = 0; i < 6; ++i) w[0x90 + i] = message[i];
  // Identity of the unit: bar-code label "02000001" (80/02), serial
  // "124641000001" (82/03) and manufacture date "20120601" (85/02).
  const uint16_t identity[] = {0x0200, 0x0001, 0x1246, 0x4100, 0x0001, 0x2012, 0x0601};
  for (uint16_t i = 0; i < 7; ++i) w[0x80 + i] = identity[i];
  return w;
}

// Words 08, 20 and 22 of the Dastel-type units: the settings bytes.
std::vector<uint16_t> WordFamilyImage(uint16_t position, uint16_t rankDensity, uint16_t lotRank,
                                      uint16_t powerOffs, uint16_t jams) {
  std::vector<uint16_t> w(64, 0xFFFF);
  for (uint16_t a = 0; a < 0x20; ++a) w[a] = 0;
  PutCounters(&w, powerOffs, jams);
  w[0x08] = position;
  w[0x20] = rankDensity;
  w[0x22] = lotRank;
  return w;
}

}  // namespace

const char* EepromFamilyName(EepromFamily family) {
  return kFamilyNames[static_cast<int>(family)].name;
}

bool EepromFamilyByName(const std::string& name, EepromFamily* family) {
  for (const Named& n : kFamilyNames) {
    if (name == n.name) {
      *family = n.family;
      return true;
    }
  }
  return false;
}

bool EepromFamilyOfModel(const std::string& model, EepromFamily* family) {
  if (EepromFamilyByName(model, family)) return true;
  for (const Named& n : kModelFamilies) {
    if (model == n.name) {
      *family = n.family;
      return true;
    }
  }
  return false;
}

std::vector<uint16_t> DefaultEepromImage(EepromFamily family) {
  switch (family) {
    case EepromFamily::Mivor:
      return MivorImage();
    case EepromFamily::Dastel:  // position "4", rank "5" density "2", lot "1" erase rank "5"
      return WordFamilyImage(0xFF34, 0x3532, 0x3135, 0x0012, 0x0002);
    case EepromFamily::Quenby:  // position "5", rank "6" density "3", lot "2" erase rank "4"
      return WordFamilyImage(0xFF35, 0x3633, 0x3234, 0x0008, 0x0000);
    case EepromFamily::Folsk:  // never set: position, density and erase bytes erased
      return WordFamilyImage(0xFFFF, 0x37FF, 0xFFFF, 0x0003, 0x0001);
  }
  return {};
}

}  // namespace sim

// The settings areas of the Dastel, Quenby and Folsk tabs: five
// one-character settings kept in EEPROM words 08, 20 and 22, shown by the
// read (EEPSetting_<F>) and changed one at a time (EEPSetCmd_<F>).
#pragma once
#include "eeprom/eep_frame.h"

namespace quorel::eep {

class WordFamilySettings {
 public:
  explicit WordFamilySettings(EepFrame& frame) : frame_(frame) {}

  // "VS", "TH", the settings words and (Dastel, Quenby) "RE".
  void Read(Family f);
  // Rewrites the word of setting index 0 to 4 with the chosen byte, the
  // other byte as the read-before-write reported it.
  void Change(Family f, int index);

 private:
  EepFrame& frame_;
};

}  // namespace quorel::eep

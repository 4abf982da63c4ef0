// File > Export and File > Import of the EEPROM window: the rows of the
// selected tab's family to and from an EEPROM data file (eep_file.h).
//
// Export reads every row from the device (no "VS", no model check), shows
// it in the row grid and stores it; a row that fails is shown with its whole
// reply and its key is taken out of the file. Import only fills the row
// boxes; the grid's own buttons write them. Neither looks at the report
// prompt's last answer.
#pragma once
#include "eeprom/eep_family.h"

namespace quorel::eep {

class EepFrame;

void ExportEepFile(EepFrame& frame, Family f);
void ImportEepFile(EepFrame& frame, Family f);

}  // namespace quorel::eep

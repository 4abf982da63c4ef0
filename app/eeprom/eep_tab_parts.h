// The panels every family tab of the EEPROM window has, built the same way
// on each: the raw row grid, the counter panel and the setting rows. Each
// maker returns a widget holding the family's named controls.
#pragma once
#include <QWidget>

#include "eeprom/eep_family.h"

class QGridLayout;

namespace quorel::eep {

// Row buttons CmdEEPAd_<F>(r) and boxes TxtEEPALL_<F>(r), the mode options
// OpEEPAllRdWr_<F>(0..2) and the all-rows button CmdEepAll_<F>.
QWidget* MakeRowGrid(QWidget* parent, Family f);
// The counter panel's parts, named "_Mivor" on the Mivor tab and as the
// shared "_Dastel" array's member on the others: the read button
// PassSyutoku, the list PassDisp, the write group (EEPkoumoku, KaisuTxt,
// PassWrite) in a box of its own, and the two resets.
QWidget* MakeCounterReadButton(QWidget* parent, Family f);
QWidget* MakeCounterList(QWidget* parent, Family f);
QWidget* MakeCounterWrite(QWidget* parent, Family f);
QWidget* MakeCounterResets(QWidget* parent, Family f, bool stacked);
// EEPSetCmd_<F>(i), EEPSetLabel_<F>(i), EEPSetCmb_<F>(i) for i in first..last,
// one row each, into a grid starting at row `row`.
void AddSettingRows(QWidget* parent, QGridLayout* grid, int row, Family f, int first, int last);

}  // namespace quorel::eep

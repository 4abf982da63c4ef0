// The test bench's limits and test settings in section [Form] of the
// program settings file (unnumbered: every running copy shares them), the
// placeholders of its result displays and its administrator box. Written
// against FormControls, so they run on the window and on a plain table.
#pragma once
#include <QString>
#include <array>

namespace quorel {

class FormControls;

struct BenchKey {
  const char* control;  // control name
  int index;            // element of a control array, -1 for a single control
  const char* key;      // key in [Form]
  const char* design;   // the control's design value
  bool check;           // a check box: stored as "0" or "1"
};

// The 22 keys in their table order.
const std::array<BenchKey, 22>& BenchKeys();

// Puts every settings control to its design value (the window does this
// when it builds its controls).
void ApplyBenchDesignValues(FormControls& ui);

// The settings part of the window's load: step times, limits and sensor
// choices, clock settings. Missing groups are written from the controls;
// present ones are loaded into them.
void LoadBenchSettings(FormControls& ui);

// The window's close: every key written back in table order.
void SaveBenchSettings(const FormControls& ui);

// Puts the result displays of the clock and RAM-clear tabs back to their
// placeholders and locks the clock settings.
void BenchLabelInit(FormControls& ui);

// The administrator box ChkTestAdmin: gAdminMode and [Form] BRELLAN_G of
// this copy's own (numbered) section, which start-up reads.
void BenchAdminClick(const FormControls& ui);

}  // namespace quorel

// The Mivor tab's settings panel: the read of everything it shows
// (EEPSetting_Mivor) and the change of one of its nine settings
// (EEPSetCmd_Mivor), both in the window's job frame.
#pragma once
#include "eeprom/eep_frame.h"

namespace quorel {
class FormControls;
}

namespace quorel::eep {

// The captions a Mivor setting row's read ("!!r?", "!!o?", "!!h?")
// refreshes, and the shared head state behind them; the EEPROM window and
// the test bench's settings tab both show them.
void ShowMivorRowRead(FormControls& ui, int row, const QString& reply);

class MivorSettings {
 public:
  explicit MivorSettings(EepFrame& frame) : frame_(frame) {}

  // "VS", "TH", "!!r?", "!!o?", "!!s", "!!h?", "RE": the panel, the shared
  // head state and, in report mode, the report lines.
  void Read();
  // Changes setting index 0 to 8 after the confirmation; the write goes out
  // only when the row's read was answered in full and the typed value is
  // one item of the row's list. Ends with a full Read.
  void Change(int index);

 private:
  void ShowRowRead(int index, const QString& reply);
  EepFrame& frame_;
};

}  // namespace quorel::eep

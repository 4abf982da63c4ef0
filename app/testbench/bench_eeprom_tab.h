// The bench's device settings and counters: the settings readout into the
// nine setting labels, the rank marks and the status labels, its clear
// button, the nine set rows, the head lift, and on the EEPROM tab the
// counter readout and the two counter resets. The settings and counter
// rules are the EEPROM window's; this class runs them in the bench's frame.
#pragma once
#include <QString>
#include <functional>

namespace quorel {

class FormControls;
class JobHost;

// The 19 lines of the counter readout from one reply per counter, in the
// counters' order: label, reply characters 6 to 13, one space.
QString CounterLineOf(int counter, const QString& reply);

// The version of a device of another family: the counter readout asks first.
bool OtherFamilyVersion(const QString& version);

class BenchEepromTab {
 public:
  BenchEepromTab(FormControls& ui, JobHost& host);
  // The window's labelInit (it resets every tab's results).
  void SetLabelInit(std::function<void()> labelInit) { labelInit_ = std::move(labelInit); }

  void EEPSetting_Mivor_Click();                // the settings readout
  void EEPSetting_MivorCLS_Click();             // the clear
  void EEPSetCmd_Mivor_Click(int row);          // set one setting
  void CmdUpDown_Click(int position);           // head lift 0 Under, 1 Top, 2 Middle
  void PassSyutoku_Mivor_Click();               // the counter readout
  void ErrorSyokika_Mivor_Click() { CounterReset(false); }
  void ErrorPassSyokika_Mivor_Click() { CounterReset(true); }

 private:
  // gSendCommand = command, comu; the reply text when the command's own
  // answer came, else "" (an older reply is never cut into fields).
  QString Ask(const QString& command);
  void ShowRowRead(int row, const QString& reply);
  void Unfill();
  void SettingsLocked(bool locked);
  void CounterFramesEnabled(bool enabled);
  void CounterReset(bool withPass);

  FormControls& ui_;
  JobHost& host_;
  std::function<void()> labelInit_;
};

}  // namespace quorel

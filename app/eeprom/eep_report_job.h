// The device report of the EEPROM window (EEPSave_Mivor, EEPSave_Dastel(i)):
// the prompt, the job start, "VS" with the report's model rule, the save
// dialog with its own existing-file question, then the header, the
// family's settings, counter and row readers in report mode, and one
// append of the whole report.
//
// The report holds the busy state from its job start to its end, so the tab
// strip cannot change under it and every reader it calls reads the
// button's own family.
#pragma once
#include <QString>
#include <functional>

#include "eeprom/eep_family.h"
#include "eeprom/eep_report.h"

namespace quorel::eep {

class EepFrame;

class DeviceReport {
 public:
  struct Hooks {
    // Shows FormEEPSaveMsg modally; it sets gReportPromptResult,
    // gReportSerial and gReportSeparator as its buttons say.
    std::function<void()> prompt;
    // What the port's driver records (crwGetComDevInfo); empty values when
    // the library finds no device for the port.
    std::function<DriverInfo(int port)> driverInfo;
  };

  DeviceReport(EepFrame& frame, Hooks hooks) : frame_(frame), hooks_(std::move(hooks)) {}

  void Run(Family f);
  // The path the last report was written to ("" when none was).
  const QString& writtenPath() const { return writtenPath_; }

 private:
  // The save dialog and the existing-file question; "" ends the report.
  QString ChoosePath();

  EepFrame& frame_;
  Hooks hooks_;
  QString writtenPath_;
};

}  // namespace quorel::eep

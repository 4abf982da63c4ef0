// The EEPROM window's report buttons (EEPSave_Mivor, EEPSave_Dastel(0..2))
// and its customer-message frame, wired to their controls. Owned by the
// window (a child object); the window enters itself for the message window.
#pragma once
#include <QObject>
#include <functional>

#include "eeprom/customer_message_panel.h"
#include "eeprom/eep_report_job.h"

namespace quorel {
class WidgetControls;
}

namespace quorel::eep {

class EepFrame;

class ReportAndMessageWiring : public QObject {
  Q_OBJECT

 public:
  // driverInfo reads what the port's driver records; without one the
  // library's crwGetComDevInfo does.
  ReportAndMessageWiring(QWidget* window, WidgetControls& controls, EepFrame& frame,
                         std::function<DriverInfo(int)> driverInfo = {});
  ~ReportAndMessageWiring() override;

  CustomerMessagePanel& panel() { return panel_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* window_;
  WidgetControls& controls_;
  DeviceReport report_;
  CustomerMessagePanel panel_;
};

}  // namespace quorel::eep

// FormEEPMsg, "EEPMessage": the customer message of a Mivor device alone,
// with its own row buttons for rows 9 to 11, "Clear" and the administrator
// box. Modeless; opened by the main window's menu, or created hidden by the
// EEPROM window at the end of its message read. It reaches the device
// through its own forwarders and runs its own frame: the whole window is
// its busy state.
#pragma once
#include <QWidget>
#include <memory>

#include "core/form_controls.h"
#include "eeprom/customer_message_panel.h"
#include "eeprom/eep_job.h"

namespace quorel {
class DeviceChannel;
class WindowRegistry;
}

namespace quorel::eep {

class EepChannel;

class FormEEPMsg : public QWidget {
  Q_OBJECT

 public:
  explicit FormEEPMsg(std::unique_ptr<EepChannel> channel, QWidget* parent = nullptr);
  ~FormEEPMsg() override;

  // The registry's factory; the EEPROM window loads the message window
  // through the same registry.
  static std::function<QWidget*()> Factory(WindowRegistry& registry, DeviceChannel& channel);

  FormControls& controls() { return controls_; }
  CustomerMessagePanel& panel() { return panel_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void Build();
  void Load();

  std::unique_ptr<EepChannel> channel_;
  EepJobRunner jobs_;
  WidgetControls controls_;
  CustomerMessagePanel panel_;
  bool closing_ = false;
};

}  // namespace quorel::eep

// FormMemorySW, "Memory Switch": the memory switches of a Mivor device
// (EEPROM word 0x2F), read on opening when the user agrees and written back
// with "Write". Modal; it reaches the device through its own forwarders to
// the program's device channel.
#pragma once
#include <QDialog>
#include <functional>
#include <memory>

#include "core/form_controls.h"
#include "eeprom/eep_job.h"
#include "eeprom/memory_switch_job.h"

namespace quorel {
class DeviceChannel;
}

namespace quorel::eep {

class EepChannel;

class FormMemorySW : public QDialog {
  Q_OBJECT

 public:
  // labelInit: the main window's display reset around each job.
  FormMemorySW(DeviceChannel& channel, std::function<void()> labelInit, QWidget* parent = nullptr);
  ~FormMemorySW() override;

  // The load question and the first read (run once, when first shown).
  void Load();
  MemorySwitchJob& switches() { return job_; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void Build();

  std::unique_ptr<EepChannel> channel_;
  EepJobRunner jobs_;
  WidgetControls controls_;
  MemorySwitchJob job_;
  bool loaded_ = false;
};

}  // namespace quorel::eep

// The memory-switch window's device actions: "Get Status" reads word 0x2F
// into the eight boxes, "Write" sends them back with the complement byte.
// Both check this job's own "VS": the family "Mivor" with firmware 7 or
// later.
//
// Write is refused unless the last read in this window was answered "Aee90"
// (an unset word "FFFF" counts): the low byte sent otherwise would clear
// the switches the user cannot see or change.
#pragma once
#include <QString>
#include <functional>

#include "eeprom/eep_job.h"
#include "eeprom/memory_switch_bits.h"

namespace quorel {
class FormControls;
}

namespace quorel::eep {

class MemorySwitchJob {
 public:
  // labelInit: the main window's display reset at a job's start and end.
  MemorySwitchJob(FormControls& ui, EepJobRunner& jobs, std::function<void()> labelInit);

  // The window opens: administrator boxes, then the load question and the
  // read on OK.
  void Load();
  // CmdMSWEEP(index): 0 reads, any other index writes.
  void Click(int index);

  bool readAnswered() const { return readAnswered_; }

 private:
  void Read(EepJob& job);
  void Write(EepJob& job);
  bool ModelFits(EepJob& job);
  void SetStatus(const QString& text);
  SwitchBoxes Boxes() const;
  void SetBoxes(const SwitchBoxes& boxes);
  void LabelInit();

  FormControls& ui_;
  EepJobRunner& jobs_;
  std::function<void()> labelInit_;
  bool readAnswered_ = false;
};

}  // namespace quorel::eep

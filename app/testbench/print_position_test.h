// The print-position job of the bench's first tab (button CmdPrntPosition):
// one card printed with the print-position or the evaluation page, the
// device's mode settings saved before ("MR") and written back after it with
// the print-range switch "b" from DIP switch 1 of bank 2.
#pragma once
#include <QString>
#include <functional>

namespace quorel {

class FormControls;
class JobHost;
struct BenchJobState;

class PrintPositionTest {
 public:
  static const QString kIdle, kRunning;

  PrintPositionTest(FormControls& ui, JobHost& host, BenchJobState& state,
                    std::function<void(const QString&)> caption);
  // CmdPrntPosition_Click.
  void Click();
  // ChkPrPositionF_MouseUp / ChkPrPositionH_MouseUp: the clicked box stays
  // ticked, the other is cleared.
  void PageBoxClicked(bool functionBox);
  // The mode settings this job saved with "MR" (its own, never a scratch
  // string shared with other windows).
  const QString& savedModes() const { return savedModes_; }

 private:
  void Message(uint32_t color, const QString& text);
  void Ending();

  FormControls& ui_;
  JobHost& host_;
  BenchJobState& state_;
  std::function<void(const QString&)> caption_;
  QString savedModes_;
};

}  // namespace quorel

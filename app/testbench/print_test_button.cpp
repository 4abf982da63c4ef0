#include "testbench/print_test_button.h"

#include "core/form_controls.h"
#include "core/main_module.h"
#include "testbench/bench_job.h"

namespace quorel {

namespace {
constexpr uint32_t kGrey = 0xE0E0E0;
}  // namespace

void ShowPrintTestMessage(FormControls& ui, uint32_t color, const QString& text) {
  ui.SetBackColor(QStringLiteral("ShapeTestMsg"), -1, color);
  ui.SetText(QStringLiteral("LbTestMsg"), -1, text);
}

bool PrintTestStartPressed(FormControls& ui, BenchJobState& state, const QString& button, const QString& idle) {
  if (mm().gResetWaiting) return false;
  ShowPrintTestMessage(ui, kGrey, QString());
  if (ui.Text(button) == idle) return true;
  ui.SetText(button, -1, idle);
  state.mAbortRequest = -1;
  return false;
}

}  // namespace quorel

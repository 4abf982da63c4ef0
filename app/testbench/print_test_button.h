// What the bench's two card test prints (erase margin, print position)
// share: the message line under their buttons, and how a press of either
// button starts or stops its test.
#pragma once
#include <QString>
#include <cstdint>

namespace quorel {

class FormControls;
struct BenchJobState;

// The message line: its lamp colour (0xBBGGRR) and text.
void ShowPrintTestMessage(FormControls& ui, uint32_t color, const QString& text);

// The start of a press of the test's button: nothing while the channel
// waits for a restart; else the message line is cleared and, while the
// test runs (the button's caption is not `idle`), the press asks it to
// stop: the caption goes back to `idle` and the running test ends. True
// when the press is to start the test.
bool PrintTestStartPressed(FormControls& ui, BenchJobState& state, const QString& button, const QString& idle);

}  // namespace quorel

// Start-up and end of the program.
#pragma once

class QWidget;

namespace quorel {

// The start procedure: library version, control characters, both settings
// files (rewritten with defaults when missing or foreign), this copy's
// instance number, the port, line-event, path and administrator settings,
// then the main window, shown. Returns the main window (it deletes itself
// when closed).
QWidget* Main();

// Gives up this copy's instance number: [MultiFormTab] Counter becomes the
// highest number another running copy still holds, or 0. Does nothing when
// no number is held (a second call).
void FinishInstance();

// Closes every loaded window; each that agrees to close is destroyed.
void UnloadAllForms();

}  // namespace quorel

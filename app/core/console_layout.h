// The controls of the main window's working surface, each with the name its
// handlers use as objectName ("Command1_21" for element 21 of Command1), in
// their places: the compact area (the first 640 pixels) and, right of it, the
// extra option controls of the enlarged layout.
#pragma once

class QWidget;

namespace quorel {

// Creates every console control as a child of surface (sized by the caller).
void BuildConsoleControls(QWidget* surface);

}  // namespace quorel

// The controls of the main window's working surface, each with the name its
// handlers use as objectName ("Command1_21" for element 21 of Command1), in
// their places: the compact area (the first 640 pixels) and, right of it, the
// extra option controls of the enlarged layout.
#pragma once

class QWidget;

namespace quorel {

// The window widths of the compact and the enlarged layout.
struct ConsoleWidths {
  int compact = 0;
  int enlarged = 0;
};

// Creates every console control as a child of surface (sized by the caller)
// and gives the widths of both layouts: the designed ones, grown where the
// captions need more room in this font (the enlarged area then moves right
// by what the compact area grew).
ConsoleWidths BuildConsoleControls(QWidget* surface, const ConsoleWidths& designed);

}  // namespace quorel

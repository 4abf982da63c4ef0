// How the main window makes the command-file window and the port settings
// window: each wired to the main window's channel, send box and displays.
#pragma once

class QWidget;

namespace quorel {

class MainForm;

// "File Access Mode": runs through the main window's channel; its Abort
// sends "CL" from the main window's send box.
QWidget* NewFormFile(MainForm& main);

// "通信設定": after a save the main window's DSR/CTS check marks and port
// label show the new settings.
QWidget* NewFormCOM(MainForm& main);

}  // namespace quorel

// The windows the main window's menus open, by name, with the way each is
// shown. A window whose factory is still missing is listed all the same:
// its menu item is there and gated, and opens it once it exists.
#pragma once

namespace quorel {

class MainForm;
class WindowRegistry;

// One Register line per window name. A factory gets what its window needs
// from the main window: its device channel (main.channel()), the library
// binding (Link()), the main window's controls.
void RegisterToolWindows(WindowRegistry& registry, MainForm& main);

}  // namespace quorel

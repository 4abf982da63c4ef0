// Puts the settings and counter panels into the EEPROM window: the frame's
// settings, counter and counter-write handlers, and the panels' own buttons
// (EEPSetCmd_*, ErrorSyokika_*, ErrorPassSyokika_*) when widgets are given.
#pragma once
#include <QObject>

#include "eeprom/eep_frame.h"

namespace quorel {
class WidgetControls;
}

namespace quorel::eep {

// controls may be null (tests on a table of controls); context owns the
// button connections.
void InstallSettingsAndCounters(EepFrame& frame, WidgetControls* controls, QObject* context);

}  // namespace quorel::eep

// The widgets of the bench's device settings and counters: the settings
// group on the "Device Adjustment" tab and the counter group inside the
// EEPROM frame of the "EEPROM/RAMClear" tab, wired to a BenchEepromTab.
#pragma once
#include <QObject>
#include <functional>

namespace quorel {

class BenchEepromTab;
class JobHost;
class WidgetControls;

// Adds both groups to the window whose controls ui holds (the tab strip
// "SSTabMivorTest" and the frame "FrameEEP" must be there), registers them
// and connects their clicks. The returned tab lives as long as owner; other
// jobs of the window run its settings readout through it.
BenchEepromTab* InstallBenchEepromTab(QObject* owner, WidgetControls& ui, JobHost& host,
                                      std::function<void()> labelInit);

}  // namespace quorel

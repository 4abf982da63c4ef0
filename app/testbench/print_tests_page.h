// The card test prints' group on the bench's "Device Adjustment" tab: the
// card-kind list, the erase-margin and print-position buttons, the page
// choice, the message line and the three rank lamps, wired to an
// EraseMarginTest and a PrintPositionTest that the owner keeps.
#pragma once
#include <QObject>

namespace quorel {

class BenchEepromTab;
class JobHost;
class WidgetControls;
struct BenchJobState;

// Adds the group to the first page of the tab strip "SSTabMivorTest" of the
// window ui holds, registers it and connects its clicks; window: the bench
// window whose title the jobs set; settings: the settings readout the
// erase-margin test runs first (may be null: R stays as it is).
void InstallPrintTestsGroup(QWidget* window, WidgetControls& ui, JobHost& host, BenchJobState& state,
                            BenchEepromTab* settings);

}  // namespace quorel

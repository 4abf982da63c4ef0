// The bench's "Sensor / Temp" page: its widgets (named as the sensor loops
// address them) and the wiring of their clicks to a SensorTest that the
// page owns.
#pragma once
#include <QWidget>

namespace quorel {

class JobHost;
class WidgetControls;
struct BenchJobState;

// The page with every control of the tab; limits locked as at start.
QWidget* BuildSensorTabPage();

// Connects the page's buttons and setting switches (found through ui, which
// must already hold the page's widgets) to a SensorTest living as long as
// owner.
void InstallSensorTab(QObject* owner, WidgetControls& ui, JobHost& host, BenchJobState& state);

}  // namespace quorel

// The placeholders of the sensor, jitter and settings tabs, which the
// window's labelInit puts back with its own.
#pragma once

namespace quorel {

class FormControls;

void SensorJitterSettingsLabelInit(FormControls& ui);

}  // namespace quorel

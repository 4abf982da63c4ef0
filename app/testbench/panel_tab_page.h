// The bench's "DSW/7Seg/LED/Buzz" page: the panel frame (7-segment, LEDs,
// buzzer) and the DIP-switch frame, named as the checks address them, and
// the wiring of their buttons to a PanelTest and a DipSwitchTest that the
// page's owner keeps.
#pragma once
#include <QString>
#include <QWidget>

namespace quorel {

class JobHost;
class WidgetControls;
struct BenchJobState;

// The page with every control of the tab, in its idle look.
QWidget* BuildPanelTabPage();

// PicVolume shows the picture file of that name from the program's folder;
// a file that is not there (or not a picture) leaves the box empty.
void ShowVolumePicture(WidgetControls& ui, const QString& file);

// Connects the page's buttons (found through ui, which must already hold
// the page's widgets) to the two tests, living as long as owner.
void InstallPanelTab(QObject* owner, WidgetControls& ui, JobHost& host, BenchJobState& state);

}  // namespace quorel

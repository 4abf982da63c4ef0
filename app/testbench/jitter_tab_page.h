// The bench's "Jitter" page: its widgets (named as the jitter test
// addresses them) and the wiring of its button and print option to a
// JitterTest that the page owns.
#pragma once
#include <QWidget>

namespace quorel {

class JobHost;
class WidgetControls;
struct BenchJobState;

// The page with every control of the tab, in its idle look.
QWidget* BuildJitterTabPage();

// Connects the page's controls (ui must already hold them) to a JitterTest
// that lives as long as window; the test sets window's caption while it runs.
void InstallJitterTab(QWidget* window, WidgetControls& ui, JobHost& host, BenchJobState& state);

}  // namespace quorel

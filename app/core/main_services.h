// The main window's service buttons, wired: the maintenance array Command2,
// the counter readout Command34, the self-print test CmdJIkoPD with its page
// list, and the write/read test CmdRWTest with its EMC window. The logic
// lives in MaintenanceCommands, SelfPrint and RwTest; this class builds them
// on the window's controls and channel and connects the buttons.
#pragma once
#include <cstdint>
#include <memory>

class QWidget;

namespace quorel {

class DeviceChannel;
class JobHost;
class MaintenanceCommands;
class RwTest;
class SelfPrint;
class WidgetControls;
class WindowRegistry;

class MainServices {
 public:
  // busy: the window's bCmdBusy (the console's).
  MainServices(WidgetControls& ui, DeviceChannel& channel, WindowRegistry& windows, int16_t& busy);
  ~MainServices();
  MainServices(const MainServices&) = delete;
  MainServices& operator=(const MainServices&) = delete;

  // Connects the buttons; context owns the connections.
  void Wire(QWidget* context);

  MaintenanceCommands& maintenance() { return *maintenance_; }
  SelfPrint& selfPrint() { return *selfPrint_; }
  RwTest& rwTest() { return *rwTest_; }

 private:
  WidgetControls& ui_;
  WindowRegistry& windows_;
  std::unique_ptr<JobHost> host_;
  std::unique_ptr<MaintenanceCommands> maintenance_;
  std::unique_ptr<SelfPrint> selfPrint_;
  std::unique_ptr<RwTest> rwTest_;
};

}  // namespace quorel

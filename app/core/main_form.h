// The main window: the menu bar and the windows it opens, the command
// console and the one device channel every window shares. Its handlers are
// thin: the console's logic is CommandConsole, the shell's decisions
// main_shell, the exchange with the device DeviceChannel; this class wires
// the widgets to them and shows what the channel reports.
#pragma once
#include <QMainWindow>
#include <QSize>
#include <QTimer>
#include <memory>

#include "core/channel_view.h"
#include "core/command_console.h"
#include "core/console_layout.h"
#include "core/form_controls.h"
#include "core/window_registry.h"

namespace quorel {

class DeviceChannel;
class MainMenus;
class MainServices;

class MainForm : public QMainWindow, public ChannelView, private ConsoleHost {
  Q_OBJECT

 public:
  explicit MainForm(QWidget* parent = nullptr);
  ~MainForm() override;

  // The channel's operations for every window (their poll, comu, commIni).
  void commIni() override;
  void commClose() override;
  void poll() override;
  void comu() override;
  void logDisp(const QString& text);

  DeviceChannel& channel() { return *channel_; }
  CommandConsole& console() { return *console_; }
  WidgetControls& controls() { return controls_; }
  WindowRegistry& windows() { return windows_; }
  MainMenus& menus() { return *menus_; }
  // The service buttons: maintenance, counters, self-print, write/read test.
  MainServices& services() { return *services_; }
  // The main window of the run, or nullptr.
  static MainForm* Instance();

  // The console's display reset for other windows: the custom commands stay.
  void labelInit() { console_->labelInit(CommandConsole::CustomCommands::kKeep); }

  // Menu handlers.
  void fileAccess_Click();
  void bmpPr_Click();
  void enLarge_Click();
  void eepControl_Click();
  void MEMDump_Click();
  void MivorTest_Click();
  void yarsel_Click();
  void EEPMessage_Click();
  void Quit_Click() { close(); }
  void TestComm_Click();
  void mnuMemorySW_Click();
  void VerDSP_Click();

  // True while the compact layout is shown and the window was not resized
  // by hand since.
  bool compactShown() const { return compactShown_; }
  // The window widths of the compact and the enlarged layout.
  const ConsoleWidths& layoutWidths() const { return widths_; }

  // ChannelView.
  void Apply(const ControlUpdate& update) override;
  QString CurrentText(const QString& control) const override;
  void SetBackColor(const QString& control, uint32_t bgr) override;
  void SetForeColor(const QString& control, uint32_t bgr) override;
  void ShowLog(const QString& text, const QString& toolTip) override;
  void ShowRamClearProgress(const QString& watch, const QString& percent, float value) override;
  void StopSideTimers() override;
  bool SensorRef33() const override;
  bool CardKindFromMode() const override;
  QStringList CardKinds() const override;
  QString CardKindText() const override;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ClearLog() override;
  void Form_Load();
  void Form_QueryUnload();
  void Label25_Change();
  // Compact: all extras hidden (the layout switch) or only ChkIRread and
  // ChkPunch (the load's compact layout).
  void ApplyCompact(bool hideAllExtras);
  void ApplyEnlarged();
  void SetLayoutSize(int width);
  void OpenGated(const QString& window);
  void WireMenus();
  void WireConsole();
  void WireTextBoxes();

  WidgetControls controls_;
  WindowRegistry windows_;
  MainMenus* menus_ = nullptr;
  std::unique_ptr<CommandConsole> console_;
  std::unique_ptr<DeviceChannel> channel_;
  std::unique_ptr<MainServices> services_;
  QTimer timer2_, timer3_;
  ConsoleWidths widths_;
  QSize layoutSize_;
  bool inLayout_ = false;
  bool compactShown_ = true;
  bool closed_ = false;
};

}  // namespace quorel

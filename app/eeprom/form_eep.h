// FormEEP, "EEPROM Setting Mode": the EEPROM window with one tab per model
// family (Mivor, Dastel, Quenby, Folsk), its File menu, the normal and wide
// layouts it keeps in the settings file, and the job frame its device
// actions run in. Modeless; it reaches the device only through its
// forwarders poll, comu and commIni.
//
// Closing it (its close buttons, File > Quit, the window's close box) saves
// the layout keys at once. While one of its jobs still waits on the device
// the window only hides: the job ends at its next command and the window is
// deleted once the last job has unwound.
#pragma once
#include <QMainWindow>
#include <memory>

#include "core/form_controls.h"
#include "eeprom/eep_frame.h"
#include "eeprom/eep_job.h"

class QTabWidget;

namespace quorel {
class DeviceChannel;
}

namespace quorel::eep {

class EepChannel;

class FormEEP : public QMainWindow {
  Q_OBJECT

 public:
  // The window on the program's device channel.
  explicit FormEEP(DeviceChannel& channel, QWidget* parent = nullptr);
  // The window on the given forwarders (tests script them).
  explicit FormEEP(std::unique_ptr<EepChannel> channel, QWidget* parent = nullptr);
  ~FormEEP() override;

  // The window's forwarders to the device channel.
  void poll();
  void comu();
  void commIni();

  EepFrame& frame() { return frame_; }
  EepJobRunner& jobs() { return jobs_; }
  FormControls& controls() { return controls_; }
  QTabWidget* tabStrip() const { return tabs_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildMenu();
  void BuildTabs();
  void Wire();
  void Load();
  void Unload();
  // ChkEnlarge(index) changed: all four boxes follow it, then the layout.
  void EnlargeClick(int index);
  // The tab strip and the window sized for the selected tab and layout.
  void ApplyLayout();
  void TabClick();
  template <typename Fn>
  void OnClick(const QString& name, int index, Fn fn);

  std::unique_ptr<EepChannel> channel_;
  EepJobRunner jobs_;
  WidgetControls controls_;
  EepFrame frame_;
  QTabWidget* tabs_ = nullptr;
  int previousTab_ = 0;
  bool inEnlarge_ = false;
  bool unloaded_ = false;
  bool deletePending_ = false;
};

}  // namespace quorel::eep

// The test bench "Mivor Test Mode": a tab strip with one tab per group of
// tests. The window builds the controls and hands their clicks to the plain
// job classes (clock, identity, RAM clear), which work on the controls by
// name; it loads and saves the [Form] settings and stops a running job when
// it closes.
#pragma once
#include <QWidget>
#include <memory>

#include "core/form_controls.h"
#include "core/job_host.h"
#include "testbench/bench_job.h"
#include "testbench/clock_test.h"
#include "testbench/identity_job.h"
#include "testbench/ram_clear_job.h"

class QTabWidget;

namespace quorel {

class DeviceChannel;

class FormMivorTest : public QWidget {
 public:
  explicit FormMivorTest(JobHost& host, QWidget* parent = nullptr);
  // The program's window: jobs run on the main window's channel.
  static FormMivorTest* Create(DeviceChannel& channel);

  FormControls& controls() { return ui_; }
  BenchJobState& jobState() { return state_; }
  ClockTest& clockTest() { return clock_; }
  IdentityJob& identity() { return identity_; }
  RamClearJob& ramClear() { return ramClear_; }

  // The forwarders of the main window's channel operations.
  void poll() { host_.poll(); }
  void comu() { host_.comu(); }
  void commIni() { host_.commIni(); }
  void labelInit();

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildControls();
  QWidget* BuildIdentityTab();
  QWidget* BuildClockTab();
  QWidget* BuildRamClearTab();
  QWidget* BuildAdminTab();
  void FormLoad();

  std::unique_ptr<JobHost> ownedHost_;
  JobHost& host_;
  BenchJobState state_;
  WidgetControls ui_;
  ClockTest clock_;
  IdentityJob identity_;
  RamClearJob ramClear_;
  QTabWidget* tabs_ = nullptr;
};

}  // namespace quorel

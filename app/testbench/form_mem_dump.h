// The memory-dump window "MemoryDump": the address boxes and their two
// presets, Start/Stop, the monitor box, the dump text, the progress, the
// search (button and F3) and Save. The dump itself is MemDumpJob, its text
// rules mem_dump_text.h, its file mem_dump_file.h.
#pragma once
#include <QWidget>

#include "testbench/mem_dump_job.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;

namespace quorel {

class DeviceChannel;

class FormMEMDump : public QWidget, private MemDumpDisplay {
 public:
  explicit FormMEMDump(DeviceChannel& channel, QWidget* parent = nullptr);

  MemDumpJob& job() { return job_; }

  // The preset of that index (0 or 1); any other index does nothing.
  void OptaddClick(int index);
  // The search: finds the text of TxtJumpFind in the dump, asking after
  // each match whether to go on.
  void JumpFind();
  // Save: the dump text to a file chosen in the save dialog.
  void SaveClick();

  // The main window's channel operations.
  void poll();
  void comu();
  void commIni();
  void logDisp(const QString& text);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  // The close request: a running dump ends; the window always closes.
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildControls();
  void FormLoad();
  void ChkAdminiModeClick();
  bool AddressBoxEvent(QLineEdit* box, QEvent* event);

  // MemDumpDisplay
  void ShowCaption(const QString& caption) override;
  void SetLocked(bool locked) override;
  void SetSaveEnabled(bool enabled) override;
  void SetDumpText(const QString& text) override;
  void AppendDumpText(const QString& text) override;
  void ShowLastLine(const QString& line) override;
  void SetProgressRange(int minimum, int maximum) override;
  void SetProgress(int value) override;
  void ShowPercent(const QString& text) override;
  QString StartText() const override;
  QString EndText() const override;
  void SetStartText(const QString& text) override;
  void SetEndText(const QString& text) override;
  bool Monitor() const override;

  DeviceChannel& channel_;
  MemDumpJob job_;
  QWidget* top_ = nullptr;  // everything above the dump text
  QLineEdit* txtAddStart_ = nullptr;
  QLineEdit* txtAddEnd_ = nullptr;
  QRadioButton* optadd_[2] = {nullptr, nullptr};
  QPushButton* cmdDumpStart_ = nullptr;
  QCheckBox* chkDumpMonitor_ = nullptr;
  QPlainTextEdit* dumpHex_ = nullptr;
  QLabel* lbGetAdd_ = nullptr;
  QProgressBar* progressBarMem_ = nullptr;
  QLabel* lbPercent_ = nullptr;
  QLineEdit* txtJumpFind_ = nullptr;
  QPushButton* cmdJumpFind_ = nullptr;
  QPushButton* command2_ = nullptr;
  QCheckBox* chkAdminiMode_ = nullptr;
};

}  // namespace quorel

// The card-read test window "Yarsel Test": the pass count, the margin-read
// box, the start/abort button and what the run shows (operator message,
// reply head in its verdict colour, firmware version, track data, error
// count, pass number). The run itself is CardReadRun.
#pragma once
#include <QWidget>

#include "testbench/card_read_run.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace quorel {

class DeviceChannel;

class FormYarsel : public QWidget, private CardReadDisplay {
 public:
  explicit FormYarsel(DeviceChannel& channel, QWidget* parent = nullptr);

  CardReadRun& run() { return run_; }

  // The main window's channel operations.
  void poll();
  void comu();
  void commIni();
  void RespAnalyzer() { run_.RespAnalyzer(); }

 protected:
  // The close request: a run under way stops; the window always closes.
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildControls();
  void FormLoad();
  void ChkAdminiModeClick();

  // CardReadDisplay
  void ShowCaption(const QString& caption) override;
  void SetInputsLocked(bool locked) override;
  void ShowMessage(const QString& text) override;
  void ShowAnswer(const QString& head, bool good) override;
  void ShowVersion(const QString& text) override;
  void ShowTrackData(const QString& text) override;
  void ShowErrors(const QString& text) override;
  void ShowPassCount(const QString& text) override;
  QString CountText() const override;
  void SetCountText(const QString& text) override;
  bool MarginTicked() const override;

  DeviceChannel& channel_;
  CardReadRun run_;
  QPushButton* cmdTest_ = nullptr;
  QLineEdit* txtCount_ = nullptr;
  QCheckBox* chkMargin_ = nullptr;
  QCheckBox* chkAdminiMode_ = nullptr;
  QLabel* lbMsg_ = nullptr;
  QLabel* lbAns_ = nullptr;
  QLabel* lbVS_ = nullptr;
  QLabel* lbTrackData_ = nullptr;
  QLabel* lbError_ = nullptr;
  QLabel* lbPassCount_ = nullptr;
};

}  // namespace quorel

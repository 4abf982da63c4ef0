// The port settings window "通信設定", shown modal with the port closed: the
// COM port (the present ones from the library, or any of 1-256), the line
// settings, the channel's time-outs, retries and message-box switches, the
// line events, the library's log mode and log folder, the driver details of
// the chosen port, a way to the desktop's hardware viewer and the wipe of
// the settings file. What it decides lives in port_settings_model.h.
#pragma once
#include <QDialog>
#include <QString>
#include <cstdint>
#include <functional>

#include "tools/port_settings_model.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace quorel {

class LinkApi;

class FormCOM : public QDialog {
 public:
  // saved runs after a save changed the shared state (the main window's
  // DSR/CTS check marks and port label follow it).
  explicit FormCOM(LinkApi& link, std::function<void()> saved = nullptr, QWidget* parent = nullptr);

  void CmbPort_Click();
  // Either option's click, also when it was selected already.
  void OpGetPort_Click();
  void CmdComRefresh_Click();
  void RefreshPortList();
  void CmbVantorLog_Click();
  void FoluderSansyou_Click();
  void DeviceManager_Click();
  void CmdCOMConfigSave_Click();
  void CmdInitialize_Click();

  // The log mode the window shows (the item data, -1 .. 3).
  int logMode() const { return logMode_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  // Esc asks the same questions as the close box.
  void reject() override { close(); }
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildControls();
  void Load();
  void FillPorts(const ItemList& items);
  // Selects an item and runs the selection handler, as a user's choice does.
  void SelectPort(int index);
  void SelectStoredPort();
  void MsgBoxSwitchChanged(QCheckBox* box, QLineEdit* retry, QLabel* label);
  void ApplyLogFolderRule();
  PortSettingsForm FormValues() const;
  // The save's steps; false (with the message shown) when a box is wrong.
  bool Save();
  bool AskRestart();
  bool LogModeChanged() const;
  QLineEdit* Box(NumberBox box) const { return numbers_[static_cast<int>(box)]; }

  LinkApi& link_;
  std::function<void()> saved_;
  int16_t bClosing_ = 0;
  int16_t bSaved_ = 0;
  int logMode_ = -1;
  ItemList ports_;

  QComboBox* port_ = nullptr;
  QRadioButton* getPort_ = nullptr;
  QRadioButton* manualPort_ = nullptr;
  QLabel* portNames_ = nullptr;
  QPushButton* refresh_ = nullptr;
  QComboBox* baud_ = nullptr;
  QComboBox* parity_ = nullptr;
  QComboBox* dataBits_ = nullptr;
  QCheckBox* cts_ = nullptr;
  QCheckBox* dsr_ = nullptr;
  QLineEdit* numbers_[kNumberBoxes] = {};
  QCheckBox* ackNakMsgBox_ = nullptr;
  QCheckBox* respMsgBox_ = nullptr;
  QLabel* ackNakRetryLabel_ = nullptr;
  QLabel* respRetryLabel_ = nullptr;
  QCheckBox* events_[9] = {};
  QComboBox* logModeBox_ = nullptr;
  QLineEdit* logFolder_ = nullptr;
  QPushButton* browse_ = nullptr;
  QLabel* devInfo_[4] = {};
  QPushButton* deviceManager_ = nullptr;
  QCheckBox* release_ = nullptr;
  QPushButton* initialize_ = nullptr;
  QPushButton* save_ = nullptr;
};

}  // namespace quorel

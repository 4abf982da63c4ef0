// The command-file window "File Access Mode": drive, folder and file lists,
// the file name box, the editor, open/save/clear, and the run of the
// editor's text through the device channel with the running line shown
// orange and bold. The run's logic lives in CommandFileRunner; the window
// shows what it reports and keeps the check boxes' settings.
#pragma once
#include <QString>
#include <QStringList>
#include <QWidget>
#include <memory>

#include "tools/command_file_runner.h"

class QCheckBox;
class QComboBox;
class QFileSystemModel;
class QLabel;
class QLineEdit;
class QListView;
class QPushButton;
class QTextEdit;
class QTreeView;

namespace quorel {

// The roots the drive list offers: "/", the home folder and the mounted
// media the user can read.
QStringList DriveRoots();

class FormFile : public QWidget, private RunnerView {
 public:
  explicit FormFile(std::unique_ptr<RunnerDevice> device, QWidget* parent = nullptr);
  ~FormFile() override;

  void CmdOpen_Click();
  void CmdSave_Click();
  void CmdCls_Click();
  void CmdExe_Click();
  void CmdAbort_Click();
  void CmdEnd_Click() { close(); }
  void File1_Click(const QString& name);

  // The folder list's path; setting it moves the drive list and the file list along.
  QString folder() const { return folder_; }
  void SetFolder(const QString& path);
  // The last file opened or saved.
  QString filePath() const { return filePath_; }
  // The editor's text, lines joined by CR LF: what a run reads.
  QString EditorText() const;
  void SetEditorText(const QString& text);
  bool running() const { return runner_.running(); }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // RunnerView
  void ShowLine(int64_t line) override;
  void ShowLoopCount(int32_t repeat) override;
  void ShowCommand(const QString& text) override;
  void ShowWait(const QString& text) override;
  void Highlight(int64_t line) override;
  void Unhighlight() override;
  void ClearHighlights() override;
  bool ErrorStopTicked() const override;
  bool Apa13IgnoresTicked() const override;

  void BuildControls();
  void LoadSettings();
  void LoadStartFile();
  void Layout();
  void Drive1_Change(int index);
  // The path of the name box's file in the folder list's folder.
  QString ChosenPath() const;
  void PaintLine(int blockNumber, bool running);
  void ScrollToBlock(int blockNumber);

  std::unique_ptr<RunnerDevice> device_;
  CommandFileRunner runner_;
  QString folder_;
  QString filePath_;
  int highlighted_ = -1;  // block shown as the running line, -1 for none
  bool deleteAfterRun_ = false;

  QComboBox* drive_ = nullptr;
  QTreeView* dir_ = nullptr;
  QListView* file_ = nullptr;
  QFileSystemModel* dirModel_ = nullptr;
  QFileSystemModel* fileModel_ = nullptr;
  QLineEdit* name_ = nullptr;
  QTextEdit* editor_ = nullptr;
  QPushButton* buttons_[6] = {};
  QCheckBox* errorStop_ = nullptr;
  QCheckBox* apa13_ = nullptr;
  QLabel* nameCaption_ = nullptr;
  QLabel* captions_[4] = {};
  QLabel* lbLine_ = nullptr;
  QLabel* lbCommand_ = nullptr;
  QLabel* lbLoop_ = nullptr;
  QLabel* lbWait_ = nullptr;
};

}  // namespace quorel

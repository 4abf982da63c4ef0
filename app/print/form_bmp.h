// "BMP Down Load": the window in which the user loads a picture, chooses how
// it becomes print data and is sent, and prints it on a card. Its
// constructor is its load: it reads section [BMPDown] (numbered for this
// copy), lays itself out for the stored print area and shows that area's
// picture. Closing it saves the choices and ends a running job at its next
// check.
//
// The window holds the controls and wires them; the picture and its view
// live in PictureView, the areas in print_area_layout, the settings in
// bmp_settings. The download and card jobs run through RunJob, which locks
// the job controls around them.
#pragma once
#include <QMainWindow>
#include <QPointer>
#include <array>
#include <functional>

#include "core/command_handoff.h"
#include "core/form_controls.h"
#include "print/bmp_settings.h"
#include "print/bmp_stopwatch.h"
#include "print/picture_view.h"
#include "print/print_area_layout.h"

class QAbstractButton;
class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QScrollBar;
class QTabWidget;

namespace quorel {

class DeviceChannel;
class PictureBox;
struct BmpJobChoices;
class BmpJobLine;
class BmpJobView;

// A frame's title takes this much of its top; what the layouts place inside
// a frame sits below it.
constexpr int kFrameTitleInset = 8;

class FormBMP : public QMainWindow {
  Q_OBJECT

 public:
  // mainWindow: shown by "Form1 show" and closed by "Quit" (may be null).
  explicit FormBMP(DeviceChannel& channel, QWidget* mainWindow = nullptr);
  ~FormBMP() override;

  // The device channel of the main window, for this window's jobs.
  void commIni();
  ComuOutcome comu();
  ComuOutcome poll();

  // The 11 job controls to enabled, CmdStop to the opposite.
  void SetControlsEnabled(bool enabled);
  // Locks the job controls, runs the job, unlocks them. A close asked for
  // meanwhile takes effect when the outermost job has ended.
  void RunJob(const std::function<void()>& job);
  bool jobRunning() const { return jobDepth_ > 0; }

  // The stopwatch the jobs time themselves with, and the time labels.
  BmpStopwatch& stopwatch() { return stopwatch_; }
  void ShowTime(int index, uint32_t ms);
  void ClearTime(int index);

  // What the conversions read: the view after PictureRefresh, the area,
  // the thresholds of the brightness list.
  void PictureRefresh();
  const PictureView& picture() const { return picture_; }
  const PrintArea& printArea() const { return area_; }
  int printAreaIndex() const { return areaIndex_; }
  printdata::Thresholds DotThresholds() const;
  int BrightnessOffset() const;

  // The bitmap folder (ending in a separator) and the file-name table.
  const QString& bitmapFolder() const { return bitmapFolder_; }
  const std::array<QString, kPrintAreaCount>& fileNames() const { return fileNames_; }
  void SetFileName(int area, const QString& path);
  // The choices as the close saves them.
  BmpChoices CurrentChoices() const;

  // The controls by name (objectName = the control's name, "_n" for an
  // element of a control array).
  WidgetControls& ui() { return ui_; }

  // Handlers, public so menus, tests and jobs reach them.
  void CmdFileRead_Click();
  void CmdBMPFileDisp_Click();
  void CmdCilpDisp_Click();
  void CmdStop_Click();
  // The download job, the card print and the menu's binary download
  // (bmp_job_window.cpp); JobChoices is what they read of the window.
  void CmdBMPTrans_Click();
  void CmdCIPR_Click();
  void bmpDownload_Click();
  BmpJobChoices JobChoices() const;
  // A job on the window's adapters of the job interfaces, inside RunJob.
  void RunPortJob(const std::function<void(BmpJobLine&, BmpJobView&)>& job);
  // The stored image areas and the assembler file (form_bmp_ram.cpp).
  void CmdSaveRAM_Click();
  void CmdLoadRAM_Click();
  void MenuFileH8Assembla_Click();
  void OpPrArea_Click(int index);
  void OpTranceMode_Click(int index);
  void PicBMPField_DblClick();
  void ScrollSetup();

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildMenus();
  void BuildPictureFrame(QWidget* parent);
  void BuildOptionTabs(QWidget* parent);
  void BuildPictureControls(QWidget* parent);
  void BuildTransferTabs(QWidget* parent);
  void Load();
  void LoadTimePictureSettings();
  void ApplyLayout(const AreaLayout& layout);
  void ShowLoadedPicture();
  void TxtMsgLine_Change(int index);
  void TxtFilePathBox_Change();
  void ChkIB4Free_Click();
  void CmbCard_Change();
  void CmbZoom_Change();
  void MenuQuit_Click();
  void MenuClose_Click();
  void MenuShowMain_Click();
  int ZoomPercent() const;
  void Select(QButtonGroup* group, int index);
  void ClearGroup(QButtonGroup* group);
  void FinishJob();

  DeviceChannel& channel_;
  QPointer<QWidget> mainWindow_;
  WidgetControls ui_;
  PictureView picture_;
  BmpStopwatch stopwatch_;
  PrintArea area_;
  int areaIndex_ = 0;
  QString bitmapFolder_;
  std::array<QString, kPrintAreaCount> fileNames_;
  int jobDepth_ = 0;
  bool closePending_ = false;

  QButtonGroup* opPrArea_ = nullptr;
  QButtonGroup* opIBPI_ = nullptr;
  QButtonGroup* opTranceMode_ = nullptr;
  QButtonGroup* opMagTr_ = nullptr;
  QButtonGroup* opCdBackColor_ = nullptr;
  QButtonGroup* opBufferSize_ = nullptr;
  QGroupBox* framePic_ = nullptr;
  PictureBox* pictureBox_ = nullptr;
  QScrollBar* hScroll_ = nullptr;
  QScrollBar* vScroll_ = nullptr;
  std::array<QLabel*, kMessageLineCount> msgInfo_{};
  std::array<QLineEdit*, kMessageLineCount> msgLine_{};
  std::array<QLabel*, kMessageLineCount> msgLen_{};
  QLineEdit* pathBox_ = nullptr;
  QLineEdit* bufferSizeBox_ = nullptr;
  QComboBox* zoom_ = nullptr;
  QComboBox* bright_ = nullptr;
  QComboBox* card_ = nullptr;
  QComboBox* saveArea_ = nullptr;
  QComboBox* loadArea_ = nullptr;
  QTabWidget* tabFunction_ = nullptr;
  QTabWidget* tabDown_ = nullptr;
};

}  // namespace quorel

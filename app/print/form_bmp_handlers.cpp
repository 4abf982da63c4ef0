// The bitmap window's load, close and handlers.
#include <QAbstractButton>
#include <QButtonGroup>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTabWidget>
#include <QUrl>

#include "core/device_channel.h"
#include "core/dialogs.h"
#include "core/form_controls.h"
#include "core/job_host.h"
#include "core/main_module.h"
#include "print/bmp_shell_rules.h"
#include "print/form_bmp.h"
#include "print/picture_box.h"

namespace quorel {
namespace {

QString FirstDroppedFile(const QMimeData* data) {
  if (data == nullptr || !data->hasUrls()) return QString();
  for (const QUrl& url : data->urls()) {
    if (url.isLocalFile()) return url.toLocalFile();
  }
  return QString();
}

}  // namespace

// The load, in the order the window has always loaded.
void FormBMP::Load() {
  // The first area and the picture box as they start.
  Select(opPrArea_, 0);
  LoadTimePictureSettings();
  for (const char* name : {"LbSendDataDisp", "LbStatusMsg", "LbLineDisp"}) ui_.SetText(QString::fromLatin1(name), QString());

  // The groups and lists at their first choices.
  for (QButtonGroup* g : {opCdBackColor_, opMagTr_, opTranceMode_, opIBPI_}) Select(g, 0);
  zoom_->setCurrentIndex(kZoomStartIndex);
  bright_->setCurrentIndex(kBrightnessStartIndex);
  saveArea_->setCurrentIndex(0);
  loadArea_->setCurrentIndex(0);
  card_->setCurrentIndex(0);

  // The stored choices; the area's click clears the track choice again.
  const BmpSettings s = LoadBmpSettings();
  const BmpChoices& c = s.choices;
  bitmapFolder_ = s.fileDir;
  Select(opIBPI_, c.ibpi);
  Select(opTranceMode_, c.tranceMode);
  Select(opMagTr_, c.magTrack);
  Select(opCdBackColor_, c.cardBackColor);
  Select(opPrArea_, c.printArea);
  Select(opBufferSize_, c.bufferSize);
  SetBoxText(bufferSizeBox_, c.bufferSizeByte);

  tabFunction_->setCurrentIndex(0);
  tabDown_->setCurrentIndex(0);

  // The message lines, each cut and counted by its change handler.
  for (int i = 0; i < kMessageLineCount; ++i) {
    SetBoxText(msgLine_[i], c.lines[static_cast<size_t>(i)]);
    TxtMsgLine_Change(i);
    msgLine_[i]->setToolTip(msgLine_[i]->text());
  }

  // The file-name table, and the selected area's picture.
  fileNames_ = c.fileNames;
  pathBox_->setText(fileNames_[static_cast<size_t>(areaIndex_)]);
  pathBox_->setToolTip(pathBox_->text());
  CmdBMPFileDisp_Click();

  // What an earlier exchange left in the channel goes, unless one is under
  // way (another window's command must not be dropped).
  channel_.ResetWhenIdle();

  ClearTime(0);
  ClearTime(1);
  LoadTimePictureSettings();

  // Centred on the screen.
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect r = screen->availableGeometry();
    move(r.left() + r.width() / 2 - width() / 2, r.top() + r.height() / 2 - height() / 2);
  }
}

// The picture box as it starts: the bars' maxima follow the area until the
// next picture or zoom change sets them from the picture.
void FormBMP::LoadTimePictureSettings() {
  const QSignalBlocker hb(hScroll_), vb(vScroll_);
  hScroll_->setMaximum(area_.lastColumn);
  vScroll_->setMaximum(area_.lastRow);
}

void FormBMP::closeEvent(QCloseEvent* event) {
  mm().gStopRequest = 1;
  SaveBmpChoices(CurrentChoices());
  if (jobDepth_ > 0) {
    // A job's handler is still on the stack: the window goes when it ends.
    closePending_ = true;
    hide();
    event->ignore();
    return;
  }
  event->accept();
}

BmpChoices FormBMP::CurrentChoices() const {
  BmpChoices c;
  c.ibpi = opIBPI_->checkedId();
  c.magTrack = opMagTr_->checkedId();
  c.cardBackColor = opCdBackColor_->checkedId();
  c.tranceMode = opTranceMode_->checkedId();
  c.printArea = areaIndex_;
  c.bufferSize = opBufferSize_->checkedId();
  c.bufferSizeByte = bufferSizeBox_->text();
  for (int i = 0; i < kMessageLineCount; ++i) c.lines[i] = msgLine_[i]->text();
  c.fileNames = fileNames_;
  return c;
}

void FormBMP::SetFileName(int area, const QString& path) {
  if (area >= 0 && area < kPrintAreaCount) fileNames_[static_cast<size_t>(area)] = path;
}

void FormBMP::commIni() { channel_.commIni(); }
ComuOutcome FormBMP::comu() { return channel_.comu(); }
ComuOutcome FormBMP::poll() { return channel_.poll(); }

void FormBMP::SetControlsEnabled(bool enabled) {
  for (const QString& name : JobControlNames()) ui_.SetEnabled(name, enabled);
  ui_.SetEnabled(QStringLiteral("CmdStop"), !enabled);
}

void FormBMP::RunJob(const std::function<void()>& job) {
  ++jobDepth_;
  SetControlsEnabled(false);
  if (job) job();
  SetControlsEnabled(true);
  FinishJob();
}

void FormBMP::FinishJob() {
  if (--jobDepth_ > 0 || !closePending_) return;
  closePending_ = false;
  deleteLater();
}

void FormBMP::ShowTime(int index, uint32_t ms) { ui_.SetText(QStringLiteral("LbTime"), index, TimeCaption(ms)); }
void FormBMP::ClearTime(int index) { ui_.SetText(QStringLiteral("LbTime"), index, NoTimeCaption()); }

int FormBMP::BrightnessOffset() const { return bright_->currentText().trimmed().toInt(); }

printdata::Thresholds FormBMP::DotThresholds() const { return printdata::ShiftedThresholds(BrightnessOffset()); }

int FormBMP::ZoomPercent() const { return zoom_->currentText().trimmed().toInt(); }

void FormBMP::CmdStop_Click() {
  MainModule& m = mm();
  m.gSendCommand = QStringLiteral("CL");
  // While a job's command waits on the channel (the card of "CI") comu
  // refuses a second command, yet only a "CL" ends the device's wait: it
  // goes beside the waiting command. Not while the "IB" blocks hold the
  // line: the device would take it for block bytes.
  if (channel_.comu() == ComuOutcome::kBusy && m.gPortOpen && m.gLineBusy == 0) {
    ChannelJobHost(channel_).SendClAside();
    m.gPolling = 1;
  }
  m.gStopRequest = 1;
}

void FormBMP::MenuShowMain_Click() {
  if (!mainWindow_) return;
  mainWindow_->show();
  mainWindow_->raise();
  mainWindow_->activateWindow();
}

void FormBMP::MenuClose_Click() {
  channel_.commClose();
  mm().gStopRequest = 1;
}

void FormBMP::MenuQuit_Click() {
  mm().gStopRequest = 1;
  channel_.commClose();
  close();
  if (mainWindow_) mainWindow_->close();
}

void FormBMP::ChkIB4Free_Click() {
  if (ui_.Value(QStringLiteral("ChkIB4Free")) != 1) return;
  Select(opIBPI_, 0);
  Select(opTranceMode_, 1);
}

void FormBMP::CmbCard_Change() { card_->setToolTip(card_->currentText()); }

void FormBMP::TxtMsgLine_Change(int index) {
  QLineEdit* line = msgLine_[static_cast<size_t>(index)];
  if (CharacterCount(line->text()) > kMessageLineMax) {
    SetBoxText(line, CutMessageLine(line->text()));  // runs this handler again for the cut text
    return;
  }
  const QString count = QString::number(CharacterCount(line->text()));
  msgLen_[static_cast<size_t>(index)]->setText(count);
  msgLen_[static_cast<size_t>(index)]->setToolTip(count);
}

void FormBMP::TxtFilePathBox_Change() {
  pathBox_->setToolTip(pathBox_->text());
  pathBox_->setCursorPosition(PathCaretPosition(pathBox_->text()));
}

void FormBMP::OpTranceMode_Click(int index) {
  ClearTime(0);
  ClearTime(1);
  tabDown_->setCurrentIndex(0);
  if (index != 0 && index != 1) return;
  const bool form = index == 1;
  // "DLL": the library reports no rows and no progress, so those go.
  for (const char* name : {"ProgBarFileTrance", "ProgBarDataSend", "LbLineDisp", "LbSendDataDisp"})
    ui_.SetVisible(QString::fromLatin1(name), form);
  ui_.SetVisible(QStringLiteral("LbTimeDisp"), 1, form);
  ui_.SetVisible(QStringLiteral("LbTime"), 1, form);
  ui_.SetText(QStringLiteral("LbTimeDisp"), 0, form ? QStringLiteral("File-ized time ") : QStringLiteral("File-ized+Transfer time"));
  // Caption, value, caption, value from the top (twips 150, 450, 870, 1170).
  for (int i = 0; i < 2; ++i) {
    if (auto* caption = ui_.Get<QLabel>(QStringLiteral("LbTimeDisp"), i))
      caption->setGeometry(TwipsToPixels(60), TwipsToPixels(150 + 720 * i) + kFrameTitleInset, 154, 16);
    if (auto* value = ui_.Get<QLabel>(QStringLiteral("LbTime"), i))
      value->setGeometry(TwipsToPixels(630), TwipsToPixels(450 + 720 * i) + kFrameTitleInset, 90, 16);
  }
}

void FormBMP::OpPrArea_Click(int index) {
  if (index < 0 || index >= kPrintAreaCount) return;
  ClearGroup(opMagTr_);
  const AreaLayout layout = LayoutOfArea(index);
  ApplyLayout(layout);
  areaIndex_ = index;
  area_ = PrintAreaAt(index);
  if (layout.messageRows) {
    for (int i = 0; i < kMessageLineCount; ++i) TxtMsgLine_Change(i);
  }
  pathBox_->setText(fileNames_[static_cast<size_t>(index)]);
  CmdBMPFileDisp_Click();
}

void FormBMP::CmdFileRead_Click() {
  FileRequest request;
  request.title = PictureDialogTitle();
  request.filter = PictureDialogFilter();
  request.name = fileNames_[static_cast<size_t>(areaIndex_)];
  request.folder = bitmapFolder_;
  const QString path = Dialogs().OpenFile(request);
  if (path.isEmpty()) return;
  pathBox_->setText(path);
  // The folder is the directory part of the chosen path.
  bitmapFolder_ = path.left(path.lastIndexOf(QLatin1Char('/')) + 1);
  fileNames_[static_cast<size_t>(areaIndex_)] = path;
  CmdBMPFileDisp_Click();
}

void FormBMP::CmdBMPFileDisp_Click() {
  const QString path = pathBox_->text();
  if (path.isEmpty() || !QFileInfo(path).isFile()) return;
  // A file that is no picture leaves the old one; the steps after go on.
  picture_.LoadFile(path);
  ShowLoadedPicture();
}

void FormBMP::CmdCilpDisp_Click() {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  if (data == nullptr || !data->hasImage()) return;
  picture_.SetPicture(qvariant_cast<QImage>(data->imageData()));
  ShowLoadedPicture();
}

void FormBMP::PicBMPField_DblClick() {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  if (data != nullptr && data->hasImage()) CmdCilpDisp_Click();
  else CmdBMPFileDisp_Click();
}

void FormBMP::ShowLoadedPicture() {
  picture_.SetZoom(ZoomPercent());
  ScrollSetup();
  PictureRefresh();
}

void FormBMP::CmbZoom_Change() {
  if (!picture_.hasPicture()) return;
  ShowLoadedPicture();
}

void FormBMP::ScrollSetup() {
  const ScrollSetting s = picture_.ScrollSetup(area_);
  const QSignalBlocker hb(hScroll_), vb(vScroll_);
  hScroll_->setMaximum(s.hMax);
  hScroll_->setValue(s.hValue);
  vScroll_->setMaximum(s.vMax);
  vScroll_->setValue(s.vValue);
}

void FormBMP::PictureRefresh() {
  picture_.Refresh(area_, hScroll_->value(), vScroll_->value());
  pictureBox_->SetImage(&picture_.view());
}

void FormBMP::Select(QButtonGroup* group, int index) {
  QAbstractButton* b = group->button(index);
  if (b == nullptr) return;
  if (b->isChecked()) {
    // Selecting the selected button runs its click all the same.
    if (group == opPrArea_) OpPrArea_Click(index);
    else if (group == opTranceMode_) OpTranceMode_Click(index);
    return;
  }
  b->setChecked(true);
}

void FormBMP::ClearGroup(QButtonGroup* group) {
  group->setExclusive(false);
  for (QAbstractButton* b : group->buttons()) b->setChecked(false);
  group->setExclusive(true);
}

bool FormBMP::eventFilter(QObject* watched, QEvent* event) {
  if (watched == pathBox_) {
    if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
      auto* e = static_cast<QDropEvent*>(event);
      if (!FirstDroppedFile(e->mimeData()).isEmpty()) {
        e->acceptProposedAction();
        return true;
      }
    } else if (event->type() == QEvent::Drop) {
      auto* e = static_cast<QDropEvent*>(event);
      const QString path = FirstDroppedFile(e->mimeData());
      if (!path.isEmpty()) {
        // Shown in the box only; the picture comes when the user asks.
        pathBox_->setText(path);
        pathBox_->setCursorPosition(path.size());
        e->acceptProposedAction();
        return true;
      }
    } else if (event->type() == QEvent::FocusOut) {
      TxtFilePathBox_Change();
    }
  } else if (watched == zoom_ && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      ui_.Focus(QStringLiteral("CmdBMPTrans"));
      return true;
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

}  // namespace quorel

// The bitmap window's device jobs: the download job and the card print,
// run on the window's widgets and the main window's device channel.
#include <QButtonGroup>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>

#include "core/device_channel.h"
#include "core/event_wait.h"
#include "core/link_api.h"
#include "core/main_module.h"
#include "core/settings_file.h"
#include "print/bmp_card_print.h"
#include "print/bmp_channel_line.h"
#include "print/bmp_download_job.h"
#include "print/bmp_settings.h"
#include "print/bmp_shell_rules.h"
#include "print/form_bmp.h"

namespace quorel {
namespace {

class WindowView : public BmpJobView {
 public:
  WindowView(FormBMP& form, DeviceChannel& channel) : form_(form), channel_(channel) {}
  void SetControlsEnabled(bool enabled) override { form_.SetControlsEnabled(enabled); }
  void Status(const QString& caption) override { form_.ui().SetText(QStringLiteral("LbStatusMsg"), caption); }
  void StatusColour(uint32_t bgr) override { form_.ui().SetBackColor(QStringLiteral("LbStatusMsg"), -1, bgr); }
  void Repaint() override {
    if (auto* label = form_.ui().Get<QLabel>(QStringLiteral("LbStatusMsg"))) label->repaint();
  }
  void Time(int index, std::optional<uint32_t> ms) override {
    if (ms) form_.ShowTime(index, *ms);
    else form_.ClearTime(index);
  }
  void LineDisp(int value) override { form_.ui().SetText(QStringLiteral("LbLineDisp"), QLatin1Char(' ') + QString::number(value)); }
  void SendDataDisp(const QString& text) override { form_.ui().SetText(QStringLiteral("LbSendDataDisp"), text); }
  void Progress(int bar, int value, int maximum) override {
    auto* p = form_.ui().Get<QProgressBar>(bar == 0 ? QStringLiteral("ProgBarFileTrance") : QStringLiteral("ProgBarDataSend"));
    if (p == nullptr) return;
    if (maximum >= 0) p->setMaximum(maximum);
    p->setValue(std::min(value, p->maximum()));
  }
  void PumpEvents() override { PumpPendingEvents(); }
  void PictureRefresh() override { form_.PictureRefresh(); }
  printdata::RgbView Pixels() const override { return form_.picture().viewPixels(); }
  void Note(const QString& text) override { channel_.logDisp(text); }

 private:
  FormBMP& form_;
  DeviceChannel& channel_;
};

}  // namespace

BmpJobChoices FormBMP::JobChoices() const {
  BmpJobChoices c;
  for (int i = 0; i < kMessageLineCount; ++i) c.lines[static_cast<size_t>(i)] = msgLine_[static_cast<size_t>(i)]->text();
  c.trackOption = opMagTr_->checkedId();
  c.area = areaIndex_;
  c.printArea = area_;
  c.cardKind = CardKindCode(card_->currentText());
  c.silver = opCdBackColor_->checkedId() == 1;
  c.ib = opIBPI_->checkedId() == 0;
  c.library = opTranceMode_->checkedId() == 0;
  c.bufferOption = opBufferSize_->checkedId();
  c.bufferText = bufferSizeBox_->text();
  c.filePath = pathBox_->text();
  c.bitmapFolder = bitmapFolder_;
  c.thresholds = DotThresholds();
  return c;
}

void FormBMP::CmdBMPTrans_Click() {
  if (mm().gResetWaiting) return;
  RunJob([this] {
    const QString section = InstanceSection(QStringLiteral("BMPDown"));
    WriteIni(section, QStringLiteral("FileDir"), bitmapFolder_, mm().gIniPath);
    WriteIni(section, QStringLiteral("FileName") + QString::number(areaIndex_),
             fileNames_[static_cast<size_t>(areaIndex_)], mm().gIniPath);
    ChannelLine line(channel_);
    WindowView view(*this, channel_);
    BmpDownloadJob job(line, Link(), view, stopwatch_, JobChoices());
    job.Run();
  });
}

void FormBMP::CmdCIPR_Click() {
  if (mm().gResetWaiting) return;
  // Started by its button or menu item: a Stop left over from an earlier
  // job does not end it (a download's card print keeps the flag).
  mm().gStopRequest = 0;
  RunJob([this] {
    ChannelLine line(channel_);
    WindowView view(*this, channel_);
    RunCardPrint(line, view, CardKindCode(card_->currentText()));
  });
}

void FormBMP::RunPortJob(const std::function<void(BmpJobLine&, BmpJobView&)>& job) {
  RunJob([this, &job] {
    ChannelLine line(channel_);
    WindowView view(*this, channel_);
    job(line, view);
  });
}

void FormBMP::bmpDownload_Click() {
  if (mm().gResetWaiting) return;
  RunJob([this] {
    ChannelLine line(channel_);
    WindowView view(*this, channel_);
    BmpDownloadJob job(line, Link(), view, stopwatch_, JobChoices());
    job.SendIBDataFile();
  });
}

}  // namespace quorel

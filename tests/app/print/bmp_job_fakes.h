// The download job's surroundings for tests without widgets: a line that
// records the commands handed to comu (and can act as they go out), and a
// view that records the status captions and colours and reads a picture
// held in memory.
#pragma once
#include <QString>
#include <array>
#include <optional>
#include <functional>
#include <vector>

#include "core/main_module.h"
#include "print/bmp_job_ports.h"
#include "print/dot_scan.h"

namespace quorel::testing {

class JobRecordingLine : public BmpJobLine {
 public:
  bool openable = true;
  std::vector<QString> sent;
  int polls = 0;
  int iniCalls = 0;
  bool timerOn = true;
  // Runs as each command goes out (after it is recorded).
  std::function<void(const QString&)> onSend;

  void commIni() override {
    ++iniCalls;
    if (openable) mm().gPortOpen = -1;
  }
  ComuOutcome poll() override {
    ++polls;
    timerOn = true;
    mm().gLineBusy = 0;
    return ComuOutcome::kAnswered;
  }
  ComuOutcome comu() override {
    if (mm().gPollBusy != 0) return ComuOutcome::kBusy;
    sent.push_back(mm().gSendCommand);
    if (onSend) onSend(mm().gSendCommand);
    return ComuOutcome::kAnswered;
  }
  void TimerOff() override { timerOn = false; }
  void TimerOn() override { timerOn = true; }

  // The commands sent that start with prefix.
  std::vector<QString> Starting(const QString& prefix) const {
    std::vector<QString> out;
    for (const QString& s : sent)
      if (s.startsWith(prefix)) out.push_back(s);
    return out;
  }
  int IndexOf(const QString& command, int from = 0) const {
    for (size_t i = static_cast<size_t>(from); i < sent.size(); ++i)
      if (sent[i] == command) return static_cast<int>(i);
    return -1;
  }
};

class JobRecordingView : public BmpJobView {
 public:
  explicit JobRecordingView(const printdata::RgbImage* picture = nullptr) : picture_(picture) {}
  std::vector<QString> captions;
  uint32_t colour = 0;
  std::vector<QString> notes;
  std::function<void()> onPump;
  int pumps = 0;

  void SetControlsEnabled(bool) override {}
  void Status(const QString& caption) override { captions.push_back(caption); }
  void StatusColour(uint32_t bgr) override { colour = bgr; }
  void Repaint() override {}
  std::array<std::optional<uint32_t>, 2> times{};
  void Time(int index, std::optional<uint32_t> ms) override { times[static_cast<size_t>(index & 1)] = ms; }
  void LineDisp(int) override {}
  void SendDataDisp(const QString&) override {}
  void Progress(int, int, int) override {}
  void PumpEvents() override {
    ++pumps;
    if (onPump) onPump();
  }
  void PictureRefresh() override {}
  printdata::RgbView Pixels() const override {
    return picture_ != nullptr ? printdata::ViewOf(*picture_) : printdata::RgbView{};
  }
  void Note(const QString& text) override { notes.push_back(text); }
  QString last() const { return captions.empty() ? QString() : captions.back(); }

 private:
  const printdata::RgbImage* picture_;
};

// A white picture, with a black dot at each (x, y) given.
inline printdata::RgbImage WhitePicture(int width, int height) {
  printdata::RgbImage img;
  img.width = width;
  img.height = height;
  img.rgb.assign(static_cast<size_t>(width) * height * 3, 0xFF);
  return img;
}

inline void Blacken(printdata::RgbImage* img, int x, int y) {
  const size_t at = (static_cast<size_t>(y) * img->width + x) * 3;
  img->rgb[at] = img->rgb[at + 1] = img->rgb[at + 2] = 0;
}

}  // namespace quorel::testing

// The job interfaces for tests: the line over a device channel, and a view
// that keeps what the job showed (label, colour, locked controls, rows) and
// hands out a picture of the test's choosing.
#pragma once
#include <QString>
#include <functional>
#include <optional>
#include <vector>

#include "core/device_channel.h"
#include "print/bmp_job_ports.h"

namespace quorel::testing {

class ChannelJobLine : public BmpJobLine {
 public:
  explicit ChannelJobLine(DeviceChannel& channel) : channel_(channel) {}
  void commIni() override { channel_.commIni(); }
  ComuOutcome poll() override { return channel_.poll(); }
  ComuOutcome comu() override { return channel_.comu(); }
  void TimerOff() override {}
  void TimerOn() override {}

 private:
  DeviceChannel& channel_;
};

class RecordingJobView : public BmpJobView {
 public:
  void SetControlsEnabled(bool enabled) override { unlocked = enabled; }
  void Status(const QString& caption) override { status = caption; }
  void StatusColour(uint32_t bgr) override { colour = bgr; }
  void Repaint() override {}
  void Time(int, std::optional<uint32_t>) override {}
  void LineDisp(int value) override { rows.push_back(value); }
  void SendDataDisp(const QString&) override {}
  void Progress(int, int, int) override {}
  void PumpEvents() override {
    if (onPump) onPump();
  }
  void PictureRefresh() override {}
  printdata::RgbView Pixels() const override { return pixels; }
  void Note(const QString&) override {}

  bool unlocked = true;
  QString status;
  uint32_t colour = 0;
  std::vector<int> rows;
  std::function<void()> onPump;
  printdata::RgbView pixels;
};

}  // namespace quorel::testing

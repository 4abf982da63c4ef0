// The download and card jobs' line over the main window's device channel.
#pragma once
#include "core/device_channel.h"
#include "core/main_module.h"
#include "print/bmp_job_ports.h"

namespace quorel {

class ChannelLine : public BmpJobLine {
 public:
  explicit ChannelLine(DeviceChannel& channel) : channel_(channel) {}
  void commIni() override { channel_.commIni(); }
  ComuOutcome poll() override { return channel_.poll(); }
  ComuOutcome comu() override { return channel_.comu(); }
  void TimerOff() override { channel_.StopTimer(); }
  // poll starts the timer at its set interval; so does this.
  void TimerOn() override {
    if (!channel_.timerActive()) channel_.StartTimer(channel_.timerInterval());
  }

 private:
  DeviceChannel& channel_;
};

}  // namespace quorel

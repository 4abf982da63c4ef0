// The command-file run's way to the device: the program's one channel, with
// the port opened first when it is closed, and the main window's send box
// for the "CL" of an abort.
#pragma once
#include <QString>
#include <functional>

#include "tools/command_file_runner.h"

namespace quorel {

class DeviceChannel;

class ChannelRunnerDevice : public RunnerDevice {
 public:
  // consoleSend types a command into the main window's send box and presses
  // its Send button; without it the command goes through the channel here.
  explicit ChannelRunnerDevice(DeviceChannel& channel, std::function<void(const QString&)> consoleSend = nullptr)
      : channel_(channel), consoleSend_(std::move(consoleSend)) {}

  void commIni() override;
  ComuOutcome poll() override;
  ComuOutcome comu() override;
  void SendFromConsole(const QString& command) override;

 private:
  DeviceChannel& channel_;
  std::function<void(const QString&)> consoleSend_;
};

}  // namespace quorel

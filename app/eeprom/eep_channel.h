// The EEPROM window's forwarders to the program's one device channel: what
// its jobs call to open the port, poll, and send the command in
// gSendCommand. Tests put a scripted channel in their place.
#pragma once
#include "core/command_handoff.h"

namespace quorel {
class DeviceChannel;
}

namespace quorel::eep {

class EepChannel {
 public:
  virtual ~EepChannel() = default;
  virtual void commIni() = 0;
  virtual ComuOutcome poll() = 0;
  virtual ComuOutcome comu() = 0;
  // Clears the channel's shared state (send pending, polling, line busy, the
  // command and the last reply) only while no exchange is in progress: no
  // comu or poll waits, no tick runs and no download holds the line. True
  // when it cleared.
  virtual bool ResetWhenIdle() = 0;
};

class ChannelForwarders : public EepChannel {
 public:
  explicit ChannelForwarders(DeviceChannel& channel) : channel_(channel) {}
  void commIni() override;
  ComuOutcome poll() override;
  ComuOutcome comu() override;
  bool ResetWhenIdle() override;

 private:
  DeviceChannel& channel_;
};

}  // namespace quorel::eep

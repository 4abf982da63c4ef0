#include "tools/channel_runner_device.h"

#include "core/device_channel.h"
#include "core/main_module.h"
#include "core/text_macros.h"

namespace quorel {

void ChannelRunnerDevice::commIni() { channel_.commIni(); }

ComuOutcome ChannelRunnerDevice::poll() {
  if (!mm().gPortOpen) channel_.commIni();
  return channel_.poll();
}

ComuOutcome ChannelRunnerDevice::comu() {
  if (!mm().gPortOpen) channel_.commIni();
  return channel_.comu();
}

void ChannelRunnerDevice::SendFromConsole(const QString& command) {
  if (consoleSend_) {
    consoleSend_(command);
    return;
  }
  // What the send button does: open and poll a closed port, then send.
  MainModule& m = mm();
  if (!m.gPortOpen) {
    channel_.commIni();
    if (!m.gPortOpen) return;
    channel_.poll();
    if (m.gAppClosing == 1) return;
  }
  m.gSendCommand = ExpandCtrlMacros(command);
  channel_.comu();
}

}  // namespace quorel

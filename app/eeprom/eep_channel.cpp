#include "eeprom/eep_channel.h"

#include "core/device_channel.h"

namespace quorel::eep {

void ChannelForwarders::commIni() { channel_.commIni(); }
ComuOutcome ChannelForwarders::poll() { return channel_.poll(); }
ComuOutcome ChannelForwarders::comu() { return channel_.comu(); }

bool ChannelForwarders::ResetWhenIdle() { return channel_.ResetWhenIdle(); }

}  // namespace quorel::eep

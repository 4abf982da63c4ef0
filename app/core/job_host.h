// What the main window's service sequences (maintenance buttons, counter
// readout, self-print, the write/read test) need of the device channel. The
// program hands them the channel itself (ChannelJobHost); tests hand them a
// scripted device, so the sequences run without a window and a line.
#pragma once
#include <QString>

#include "core/command_handoff.h"
#include "core/device_channel.h"
#include "core/job_preamble.h"
#include "core/main_module.h"

namespace quorel {

class JobHost {
 public:
  virtual ~JobHost() = default;
  // Opens the port; gPortOpen tells whether it worked.
  virtual void commIni() = 0;
  // One status poll, waiting while events run.
  virtual ComuOutcome poll() = 0;
  // Hands gSendCommand to the channel and waits for its reply.
  virtual ComuOutcome comu() = 0;
  // "CL" on its own, with the channel's timer held off meanwhile: ends a
  // card wait the device is still in while a comu waits for it.
  virtual void SendClAside() = 0;
};

class ChannelJobHost : public JobHost {
 public:
  explicit ChannelJobHost(DeviceChannel& channel) : channel_(channel) {}
  void commIni() override { channel_.commIni(); }
  ComuOutcome poll() override { return channel_.poll(); }
  ComuOutcome comu() override { return channel_.comu(); }
  void SendClAside() override {
    const int interval = channel_.timerInterval();
    channel_.StopTimer();
    channel_.sendCLCommand();
    channel_.StartTimer(interval);
  }

 private:
  DeviceChannel& channel_;
};

// gSendCommand = command, then comu.
inline ComuOutcome SendVia(JobHost& host, const QString& command) {
  mm().gSendCommand = command;
  return host.comu();
}

// The job preamble's "PA"/"CL" decision on the last reply, sent when there
// is one to send.
inline void AnswerLastReply(JobHost& host) {
  const QString command = PreambleCommand(mm().gReplyKind, mm().gReplyStatus);
  if (!command.isEmpty()) SendVia(host, command);
}

// True when the last comu brought this command's own answer: kind "A" with
// the command's code echoed.
inline bool AnsweredBy(ComuOutcome outcome, const QString& command) {
  const MainModule& m = mm();
  return outcome == ComuOutcome::kAnswered && m.gReplyKind == QLatin1String("A") &&
         m.gReplyCommand == CommandCode(command);
}

}  // namespace quorel

// The program's one device channel. Two halves meet in the shared state:
// the waiting half (comu, poll), which runs inside a window's handler and
// pumps events, and the working half, the tick of Timer1, which either polls
// for a reply (sendPolling) or sends the pending command (sendCommand).
// commIni and commClose open and close the port; CommEventProc takes the
// library's line events on the GUI thread.
//
// The command a comu armed is kept here as a private copy: the first send
// and every re-send (NAK, Retry, a "B" of another command) send that copy,
// so a caller that writes its next command into gSendCommand early never
// gets it sent twice.
#pragma once
#include <QObject>
#include <QSocketNotifier>
#include <QString>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <memory>

#include "core/comm_log.h"
#include "core/command_handoff.h"

namespace quorel {

class ChannelView;
class LinkApi;

class DeviceChannel : public QObject {
 public:
  DeviceChannel(LinkApi& link, ChannelView& view);
  ~DeviceChannel() override;
  DeviceChannel(const DeviceChannel&) = delete;
  DeviceChannel& operator=(const DeviceChannel&) = delete;

  // Opens the port from the settings in the shared state; on success the
  // tick runs every gTimerInterval ms (its first tick writes the port
  // displays, and an idle tick stops it).
  void commIni();
  // Closes the port; clears the channel's flags and the current command.
  void commClose();
  // Hands gSendCommand to the channel and waits for its reply, then decodes
  // it into the displays. The shared reply fields hold what ended the wait.
  ComuOutcome comu(const ComuOptions& options = {});
  // Polls once for the device's state without sending and waits for the
  // reply (the start of a job). On a closed port it arms nothing.
  ComuOutcome poll();
  // One tick of Timer1: a poll, else the pending send. Never runs inside
  // itself. The tick runs only while an exchange is under way (a send or a
  // poll armed): a tick that leaves nothing armed stops the timer, and what
  // arms an exchange starts it again, so an idle port costs no wake-ups.
  void Timer1_Timer();
  void sendCommand();
  void sendPolling();
  // A "CL" exchange without the timer (the write/read test's stop calls it
  // with the timer stopped).
  void sendCLCommand();
  // One entry of the communication log.
  void logDisp(const QString& text);
  // A line event (the library's callback runs this on the GUI thread).
  void CommEventProc(int32_t events);

  // Timer1 as the main window starts it at load (100 ms).
  void StartTimer(int intervalMs);
  // Switches Timer1 off for a caller that uses the line itself: work armed
  // meanwhile waits for StartTimer, poll or a successful commIni.
  void StopTimer();
  bool timerActive() const { return timer1_.isActive(); }
  int timerInterval() const { return timer1_.interval(); }
  bool inTick() const { return inTick_; }

  CommLog& log() { return log_; }
  const CommLog& log() const { return log_; }
  // The command the last comu armed.
  const QString& armedCommand() const { return armed_; }
  // Nothing to send, no poll armed and no tick running.
  bool Idle() const;
  // Clears what an exchange that went wrong left behind (send pending,
  // polling, line busy, the command and the last reply), but only while no
  // exchange is in progress: no comu or poll waits, no tick runs and no
  // download holds the line. True when it cleared. A window that resets the
  // channel as it opens uses this, so it never drops another's command.
  bool ResetWhenIdle();

  // The port number, claim and settings displays, as a tick writes them:
  // only what changed reaches the window. Whoever changes what they show
  // while the tick is stopped calls this.
  void ShowPortState();

  // Length of the restart wait after "RS" (5 s; tests shorten it).
  void SetRestartWaitSeconds(float seconds) { restartWaitSeconds_ = seconds; }
  // The millisecond clock of the RAM-clear progress.
  void SetClock(std::function<uint32_t()> clock) { clock_ = std::move(clock); }

 private:
  void Caption(const char* control, const QString& text);
  void Text(const char* control, const QString& text);
  void ShowIfChanged(const char* control, const QString& text);
  void SetPortLabelsColor(uint32_t bgr);
  void PaintLampFromKind();
  // The timer's reopening of the port for work already armed keeps that work.
  void ReopenKeepingWork();
  void WatchLineEvents();
  void RestartWait();
  void ShowReplyA(const QString& code, const QString& status, const QString& data);
  void ShowReplyR(const QString& state, const QString& replyText);
  void ShowReplyB(const QString& code, const QString& replyText);
  void RamClearProgress();
  // Between automatic retries: events run; false when the retries must end
  // (port closed; with an unlimited count also a stop request or closing).
  bool RetryMayGoOn(bool unlimited);
  void Arm(const QString& command);
  // Starts the tick for an exchange just armed, unless a tick runs (it
  // starts the timer itself as it ends) or a caller switched the timer off.
  void TickForWork();
  WaitView ViewOfWait(const QString& armedCode, bool endOnDumpStop) const;
  void Decode(const QString& command);

  LinkApi& link_;
  ChannelView& view_;
  QTimer timer1_;
  CommLog log_;
  std::unique_ptr<QSocketNotifier> events_;
  bool inTick_ = false;
  bool switchedOff_ = false;  // StopTimer's hold, until StartTimer
  QString armed_;
  bool armedSent_ = false;
  float restartWaitSeconds_ = 5.0f;
  std::function<uint32_t()> clock_;
};

}  // namespace quorel

// The rules of the command hand-off that need no window and no device: how a
// command text is cut for the library, which reply code a command expects
// back, and when the wait of comu ends and how.
#pragma once
#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>

namespace quorel {

// How a comu (or poll) call ended. Callers that only read the shared reply
// fields may ignore it; new code judges it first.
enum class ComuOutcome {
  kAnswered,    // the reply the command waits for is in the reply fields
  kBusy,        // refused: another comu or poll holds the channel; nothing sent
  kPortClosed,  // the port was closed on entry or closed during the wait
  kAbandoned,   // the channel gave up: a dialog answered, retries used up,
                // a time-out or receive error, or the channel fell idle
                // without the awaited reply
  kStopped,     // a stop flag ended the wait (Stop button, memory-dump stop)
  kClosing,     // the program is closing; the reply fields mean nothing
};

const char* ToString(ComuOutcome outcome);

struct ComuOptions {
  // The memory dump's waits also end on gDumpStop; nobody else's do.
  bool endOnDumpStop = false;
};

// A command cut for crwSendCommand: a double-byte first character is the
// whole code, otherwise the first two characters are; the length is the
// CP932 byte length of the whole text minus 2 (so a one-character command
// gives -1, which the library refuses).
struct SplitCommand {
  QByteArray code;
  QByteArray params;
  int16_t length = 0;
};
SplitCommand SplitForSend(const QString& command);

// The code the device echoes for the command: its first character when that
// is a double-byte character, else its first two characters.
QString CommandCode(const QString& command);

// Which wait a command gets, by its first two characters.
enum class WaitRule {
  kRestart,    // "RS", "RSS": until the device reports ready (kind "R")
  kPrintData,  // "PD"
  kCardIn,     // "CI", "CI*"
  kRwTest,     // any code while the write/read test runs
  kGeneral,
};
WaitRule WaitRuleFor(const QString& command, bool rwTestRunning);

// What one pass of the wait sees.
struct WaitView {
  QString armedCode;    // code of the command this comu armed
  QString currentCode;  // first two characters of gSendCommand now
  QString kind;         // gReplyKind
  QString status;       // gReplyStatus
  QString echo;         // gReplyCommand
  bool portOpen = true;
  bool closing = false;     // gAppClosing
  bool guardHeld = true;    // gPollBusy still set
  bool channelIdle = false;  // nothing to send, no poll armed, no tick running
  bool armedSent = false;   // the armed command got its ACK
  bool stopRequest = false;
  bool dumpStop = false;    // gDumpStop, and the caller asked to end on it
  bool cancelled = false;   // gCancelled
};

// The end of the wait, or nothing while it goes on. "A" with end code "12"
// (the previous command still runs) never ends a wait; an "A" whose echo is
// another code ends it only once the channel is idle after the armed
// command went out (it is then the device's answer to it). A channel that
// fell idle without the awaited reply (a kind "R" to the command's poll, a
// time-out answered Cancel, a refused send) ends the wait as abandoned: no
// reply can come any more. The "RS" wait goes on after an "A" (the device
// restarts after answering), and after a kind "E", and ends on its ready
// report "R".
std::optional<ComuOutcome> JudgeWait(WaitRule rule, const WaitView& v);

// The restart wait keeps polling through the device's restart: true when the
// channel fell idle after an answer that is not yet the ready report (an "A",
// or kind "E" for a garbled reply or a line error while the device reboots).
bool RestartWaitRearms(const WaitView& v);

}  // namespace quorel

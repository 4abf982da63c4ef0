// The start of a job as every sender runs it: open the port when it is
// closed, learn the device's state with poll, then answer a power-up report
// with "PA" or stop a command that still runs with "CL". The windows differ
// in three points, which the options name.
#pragma once
#include <QString>
#include <optional>

#include "core/command_handoff.h"

namespace quorel {

class DeviceChannel;

struct PreambleOptions {
  // A port that cannot be opened shows the critical box "通信できません！"
  // (titled "通信エラー"); otherwise the job ends silently.
  bool commErrorBox = false;
  // Poll also when the port was open already; false: only right after
  // opening it, else act on the last reply (the console handlers, the
  // self-print test).
  bool pollWhenOpen = true;
  // Answer a power-up report with "PA"; false: only the "CL" half (the
  // console's command buttons, which have a "PA" button of their own).
  bool answerPowerUp = true;
};

struct PreambleResult {
  bool portOpen = false;             // false: the job must end
  std::optional<ComuOutcome> polled;  // the poll's outcome, when it ran
  QString sent;                      // "PA", "CL" or "" (nothing sent)
  std::optional<ComuOutcome> sendOutcome;
};

PreambleResult RunJobPreamble(DeviceChannel& channel, const PreambleOptions& options = {});

// The decision alone, from the last reply: "PA", "CL" or "".
QString PreambleCommand(const QString& replyKind, const QString& replyStatus, bool answerPowerUp = true);

}  // namespace quorel

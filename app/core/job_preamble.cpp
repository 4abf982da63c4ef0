#include "core/job_preamble.h"

#include "core/device_channel.h"
#include "core/dialogs.h"
#include "core/main_module.h"

namespace quorel {

QString PreambleCommand(const QString& replyKind, const QString& replyStatus, bool answerPowerUp) {
  const bool powerUp = (replyKind == QLatin1String("R") && replyStatus.startsWith(QLatin1Char('2'))) ||
                       (replyKind == QLatin1String("A") && replyStatus == QLatin1String("10"));
  if (powerUp && answerPowerUp) return QStringLiteral("PA");
  if (!powerUp && replyKind == QLatin1String("B")) return QStringLiteral("CL");
  return QString();
}

PreambleResult RunJobPreamble(DeviceChannel& channel, const PreambleOptions& options) {
  MainModule& m = mm();
  PreambleResult result;
  const bool wasOpen = m.gPortOpen != 0;
  if (!wasOpen) {
    channel.commIni();
    if (!m.gPortOpen) {
      if (options.commErrorBox)
        MsgBox(QStringLiteral("通信できません！\r\n通信設定やケーブルを見直してください。"), BoxButtons::kOk,
               BoxIcon::kCritical, QStringLiteral("通信エラー"));
      return result;
    }
  }
  result.portOpen = true;
  if (!wasOpen || options.pollWhenOpen) result.polled = channel.poll();
  result.sent = PreambleCommand(m.gReplyKind, m.gReplyStatus, options.answerPowerUp);
  if (!result.sent.isEmpty()) {
    m.gSendCommand = result.sent;
    result.sendOutcome = channel.comu();
  }
  return result;
}

}  // namespace quorel

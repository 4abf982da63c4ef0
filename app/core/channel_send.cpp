// The send half of the tick: the armed command to the library, ACK, NAK and
// their retries, the ACK/NAK time-out and the restart wait after "RS".
#include "core/channel_view.h"
#include "core/device_channel.h"
#include "core/dialogs.h"
#include "core/event_wait.h"
#include "core/link_api.h"
#include "core/main_module.h"
#include "core/text_macros.h"

namespace quorel {
namespace {

QString ActionText(const QString& command) {
  const QString code = command.left(2);
  const auto is = [&](std::initializer_list<const char*> codes) {
    for (const char* c : codes)
      if (code == QLatin1String(c)) return true;
    return false;
  };
  if (is({"CO"})) return QStringLiteral("カード排出");
  if (is({"WR", "WN"})) return QStringLiteral("ライト");
  if (is({"RD", "DT"})) return QStringLiteral("リード");
  if (is({"PR", "PP", "PO"})) return QStringLiteral("プリント");
  if (is({"VR"})) return QStringLiteral("ベリファイ");
  if (is({"CI"})) return QStringLiteral("カードを挿入して下さい。");
  if (is({"PD"})) return QStringLiteral("プリントデータセット");
  if (is({"PI"})) return QStringLiteral("プリントイメージデータセット");
  if (is({"WD"})) return QStringLiteral("ライトデータセット");
  if (is({"HC"})) return QStringLiteral("クリーニングカード挿入");
  return QString();
}

// "Retry=n" from the second attempt on.
QString AttemptSuffix(const char* word, int count) {
  return count == 0 ? QString() : QLatin1String(word) + QString::number(count);
}

}  // namespace

bool DeviceChannel::RetryMayGoOn(bool unlimited) {
  const MainModule& m = mm();
  PumpPendingEvents();
  if (!m.gPortOpen) return false;
  return !unlimited || (m.gStopRequest != 1 && m.gAppClosing != 1);
}

void DeviceChannel::RestartWait() {
  MainModule& m = mm();
  m.gPolling = 0;
  m.gResetWaiting = -1;
  view_.SetForeColor(QStringLiteral("Label37"), 0x0000FF);
  Caption("Label37", QStringLiteral("　　　　　　ＲＳコマンド 再起動中"));
  WaitSeconds(restartWaitSeconds_);
  // A port closed during the wait stays without work.
  if (m.gPortOpen) m.gPolling = 1;
  m.gResetWaiting = 0;
  view_.SetForeColor(QStringLiteral("Label37"), 0);
}

void DeviceChannel::sendCommand() {
  MainModule& m = mm();
  if (!m.gPortOpen) return;
  m.gSendPending = 0;
  m.gCancelled = 0;
  const QString command = armed_;
  Caption("Label37", ActionText(command));
  const SplitCommand split = SplitForSend(command);
  int retry = 0;
  for (;;) {
    m.gReplyKind.clear();
    m.gReplyStatus.clear();
    m.gReplyText.clear();
    logDisp(command);
    const int16_t rc = link_.SendCommand(m.gPort, m.gAckTimer, m.gUseDSR, split.code, split.params, split.length);
    if (rc == 0) {
      logDisp(QStringLiteral("   ACK"));
      Text("TxtSendBox", CtrlCharsToMacros(command));
      m.gPolling = 1;
      armedSent_ = true;
      if (split.code == "RS" && m.gRSMode == 0) RestartWait();
      return;
    }
    if (rc == CRW_TIMEOUT || rc == CRW_CTS_TIMEOUT) {
      if (!m.gPortOpen) return;
      logDisp(QStringLiteral("   ACK/NAK RespTimeOut %1ms ").arg(m.gAckTimer) + AttemptSuffix("Retry=", retry));
      log_.Flush();
      if (m.gAckNakTimeoutMsgFlag == 1) {
        const BoxAnswer a = MsgBox(
            QStringLiteral("ACK/NAK待ちタイムアウト発生 \r\n送信時 %1ms以内にACK/NAKの応答がありませんでした\r\n\r\n"
                           "[再試行(R)]続行 / [キャンセル]処理を中断いたします。")
                .arg(m.gAckTimer),
            BoxButtons::kRetryCancel, BoxIcon::kExclamation, QStringLiteral("ACK / NAK Response Time Out"));
        if (a == BoxAnswer::kRetry) {
          m.gSendPending = 1;
          m.gCancelled = -1;
          m.gPolling = 1;
        } else {
          m.gSendPending = 0;
          commClose();
        }
        m.gPollBusy = 0;
        return;
      }
      const bool unlimited = m.gAckNakTimeoutRetry == -1;
      if (retry < m.gAckNakTimeoutRetry || unlimited) {
        ++retry;
        if (m.gAckRetryWaitTimer != 0) {
          logDisp(QStringLiteral("     + Retry Wait %1ms ").arg(m.gAckRetryWaitTimer));
          log_.Flush();
          WaitSeconds(static_cast<float>(m.gAckRetryWaitTimer) / 1000.0f);
        }
        if (RetryMayGoOn(unlimited)) continue;
        // Stopped, or the port went away meanwhile: the command is given up.
        if (m.gPortOpen) m.gReplyKind = QStringLiteral("E");
        return;
      }
      m.gSendPending = 0;
      commClose();
      m.gPollBusy = 0;
      return;
    }
    if (rc == CRW_NAK) {
      if (!m.gPortOpen) return;
      logDisp(QStringLiteral("   NAK Response %1ms ").arg(m.gAckTimer) + AttemptSuffix("NAKRetry=", m.gNakCount));
      if (m.gNakCount < m.gNakRetry || m.gNakRetry == -1) {
        if (m.gStopRequest == 0) {
          m.gSendPending = 1;
        } else {
          m.gCancelled = -1;
          m.gPolling = 1;
        }
        if (m.gNakCount < INT16_MAX) ++m.gNakCount;
      } else {
        log_.Flush();
        const BoxAnswer a = MsgBox(QStringLiteral("NAKリトライオーバー発生 \r\n\r\n[再試行]続行 / [キャンセル]終了"),
                                   BoxButtons::kRetryCancel, BoxIcon::kExclamation,
                                   QStringLiteral("Nak Retry Count Over"));
        m.gSendPending = a == BoxAnswer::kRetry ? 1 : 0;
        m.gCancelled = -1;
        m.gPolling = 1;
        m.gNakCount = 0;
        m.gPollBusy = 0;
      }
      logDisp(QStringLiteral("   NAK"));
      return;
    }
    if (rc == CRW_PARAMETER_ERROR) {
      // The library refused the command as it stands (a one-character
      // command, a NUL in the data): nothing more will come for it.
      logDisp(QStringLiteral("   Parameter Error"));
      m.gReplyKind = QStringLiteral("E");
      return;
    }
    commClose();
    return;
  }
}

}  // namespace quorel

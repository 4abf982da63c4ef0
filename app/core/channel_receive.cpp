// The poll half of the tick: one poll, the reply into the shared fields and
// the status displays, the reply time-out, the RAM-clear progress; and the
// self-contained "CL" exchange of the write/read test.
#include <cmath>

#include "core/channel_view.h"
#include "core/cp932_codec.h"
#include "core/device_channel.h"
#include "core/dialogs.h"
#include "core/event_wait.h"
#include "core/link_api.h"
#include "core/main_module.h"
#include "core/message_tables.h"

namespace quorel {
namespace {

const QString kIndent = QStringLiteral("   ");

void TerminalOffBox() {
  MsgBox(QStringLiteral("端末がＯＦＦです"), BoxButtons::kOk, BoxIcon::kCritical);
}

int DigitValue(const QString& text, qsizetype i) {
  if (i >= text.size()) return 0;
  const char16_t u = text.at(i).unicode();
  return u >= '0' && u <= '9' ? u - '0' : 0;
}

struct Fields {
  QString first, second, data;
};

// One poll: the three slots as text.
int16_t Receive(LinkApi& link, int16_t dsrCheck, Fields* f) {
  const MainModule& m = mm();
  QByteArray code, status, data;
  const int16_t rc = link.ReceiveResponse(m.gPort, 0, m.gRespTimer, dsrCheck, &code, &status, &data);
  f->first = cp932::Decode(code);
  f->second = cp932::Decode(status);
  f->data = cp932::Decode(data);
  return rc;
}

}  // namespace

void DeviceChannel::ShowReplyA(const QString& code, const QString& status, const QString& data) {
  Caption("Label10", QStringLiteral("A") + code);
  logDisp(kIndent + QStringLiteral("A") + code + status + data);
  Caption("Label25", status);
  Caption("Label40", ErrTextOf(status));
  Caption("Label39", QStringLiteral("コマンド終了    ") + code);
}

void DeviceChannel::ShowReplyR(const QString& state, const QString& replyText) {
  const MainModule& m = mm();
  Caption("Label10", QStringLiteral("R"));
  logDisp(kIndent + replyText);
  Caption("Label25", state);
  Caption("Label37", QString());
  Caption("Label40", m.gStatusText[static_cast<size_t>(DigitValue(state, 0))] +
                         m.gCardPosText[static_cast<size_t>(DigitValue(state, 1))]);
  Caption("Label39", QStringLiteral("コマンド待ち　　"));
}

void DeviceChannel::ShowReplyB(const QString& code, const QString& replyText) {
  Caption("Label10", QStringLiteral("B") + code);
  logDisp(kIndent + replyText);
  Caption("Label25", QString());
  Caption("Label40", QString());
  Caption("Label39", QStringLiteral("コマンド実行中　") + code);
}

void DeviceChannel::RamClearProgress() {
  MainModule& m = mm();
  m.gBusyElapsed = static_cast<int32_t>(clock_() - static_cast<uint32_t>(m.gBusyStartTick));
  // The elapsed time of a clock that wrapped or was set late is still
  // shown as a time, never as a negative number. The whole elapsed time is
  // shown (no wrap at a minute), so a long erase keeps counting up.
  const uint32_t elapsed = static_cast<uint32_t>(m.gBusyElapsed);
  const QString seconds =
      QString::number(elapsed / 1000) + QLatin1Char('.') + QStringLiteral("%1").arg(elapsed % 1000, 3, 10, QLatin1Char('0'));
  double pct = seconds.toDouble() / 5.9 * 100.0;
  if (pct >= 100.0) pct = 100.0;
  m.gProgressPct = static_cast<float>(pct);
  view_.ShowRamClearProgress(seconds + QStringLiteral(" s"),
                             QString::number(static_cast<long long>(std::nearbyint(m.gProgressPct))) +
                                 QLatin1Char('%'),
                             m.gProgressPct);
}

void DeviceChannel::sendPolling() {
  MainModule& m = mm();
  if (!m.gPortOpen) {
    ReopenKeepingWork();
    if (!m.gPortOpen) {
      commClose();
      TerminalOffBox();
      return;
    }
  }
  int retry = 0;
  for (;;) {
    logDisp(QStringLiteral("Poll"));
    Fields f;
    const int16_t rc = Receive(link_, m.gUseDSR, &f);
    m.gPolling = 0;
    if (rc == 0) {
      m.gReplyKind = QStringLiteral("A");
      m.gReplyCommand = f.first;
      m.gReplyStatus = f.second;
      m.gReplyText = QStringLiteral("A") + f.first + f.second + f.data;
      if (f.second == QLatin1String("12")) m.gPolling = 1;
      ShowReplyA(f.first, f.second, f.data);
      return;
    }
    if (rc == 1) {
      m.gReplyKind = QStringLiteral("R");
      m.gReplyStatus = f.first;
      m.gReplyText = QStringLiteral("R") + f.first + f.second + f.data;
      ShowReplyR(f.first, m.gReplyText);
      return;
    }
    if (rc == 2) {
      m.gReplyKind = QStringLiteral("B");
      m.gReplyCommand = f.first;
      m.gReplyText = QStringLiteral("B") + f.first + f.second + f.data;
      ShowReplyB(f.first, m.gReplyText);
      if (m.gRamClearActive == 1) RamClearProgress();
      if (CommandCode(armed_) == f.first) {
        m.gPolling = 1;
      } else if (!armed_.isEmpty()) {
        // The device runs another command: send ours again.
        m.gSendPending = 1;
        m.gNakCount = 0;
      }
      return;
    }
    if (rc == CRW_TIMEOUT) {
      if (!m.gPortOpen) return;
      logDisp(QStringLiteral("   ResponseTimeOut %1ms ").arg(m.gRespTimer) +
              (retry == 0 ? QString() : QStringLiteral("Retry=") + QString::number(retry)));
      log_.Flush();
      m.gReplyKind = QStringLiteral("E");
      m.gReplyText.clear();
      if (m.gRespTimeoutMsgFlag == 1) {
        const BoxAnswer a = MsgBox(
            QStringLiteral("応答待ちタイムアウト発生 \r\n受信時 %1ms以内に機器からの応答がありませんでした\r\n\r\n"
                           "[再試行(R)]続行 / [キャンセル]処理を中断いたします。")
                .arg(m.gRespTimer),
            BoxButtons::kRetryCancel, BoxIcon::kExclamation, QStringLiteral("Device Response Time Out"));
        if (a == BoxAnswer::kRetry && m.gPortOpen) continue;
        return;
      }
      const bool unlimited = m.gRespTimeoutRetry == -1;
      if (retry < m.gRespTimeoutRetry || unlimited) {
        ++retry;
        if (m.gResRetryWaitTimer != 0) {
          logDisp(QStringLiteral("     + Resp Retry Wait %1ms ").arg(m.gResRetryWaitTimer));
          log_.Flush();
          WaitSeconds(static_cast<float>(m.gResRetryWaitTimer) / 1000.0f);
        }
        if (RetryMayGoOn(unlimited)) continue;
        return;
      }
      commClose();
      return;
    }
    if (rc == CRW_CTS_TIMEOUT || rc == CRW_DSR_TIMEOUT) {
      m.gReplyKind.clear();
      m.gReplyText.clear();
      logDisp(QStringLiteral("   DSR/CTS Time Out %1ms").arg(m.gRespTimer));
      commClose();
      TerminalOffBox();
      return;
    }
    m.gReplyKind = QStringLiteral("E");
    m.gReplyText.clear();
    return;
  }
}

void DeviceChannel::sendCLCommand() {
  MainModule& m = mm();
  for (;;) {
    PumpPendingEvents();
    // Send loop.
    for (;;) {
      PumpPendingEvents();
      if (!m.gPortOpen || m.gAppClosing == 1) break;
      Caption("Label37", QString());
      logDisp(QStringLiteral("CL"));
      const int16_t rc = link_.SendCommand(m.gPort, 3000, 1, QByteArrayLiteral("CL"), QByteArray(), 0);
      if (rc == 0) {
        logDisp(QStringLiteral("   ACK"));
        Text("TxtSendBox", QStringLiteral("CL"));
        break;
      }
      if (rc == CRW_NAK) {
        logDisp(QStringLiteral("   NAK"));
        continue;
      }
      if (rc == CRW_PARAMETER_ERROR) continue;
      return;
    }
    // Poll loop; reply time-outs are retried as often as sendPolling's are.
    QString lastStatus;
    int timeouts = 0;
    for (;;) {
      PumpPendingEvents();
      if (m.gAppClosing == 1) return;
      if (!m.gPortOpen) {
        commIni();
        if (!m.gPortOpen) {
          TerminalOffBox();
          break;
        }
      }
      logDisp(QStringLiteral("Poll"));
      Fields f;
      const int16_t rc = Receive(link_, 1, &f);
      m.gPolling = 0;
      lastStatus = f.second;
      if (rc == 0) {
        ShowReplyA(f.first, f.second, f.data);
        break;
      }
      if (rc == 1) {
        ShowReplyR(f.first, QStringLiteral("R") + f.first + f.second + f.data);
        continue;
      }
      if (rc == 2) {
        m.gReplyText = QStringLiteral("B") + f.first + f.second + f.data;
        ShowReplyB(f.first, m.gReplyText);
        if (f.first != m.gSendCommand.left(2)) return;
        continue;
      }
      if (rc == CRW_TIMEOUT) {
        if (m.gRespTimeoutRetry == -1 || timeouts < m.gRespTimeoutRetry) {
          ++timeouts;
          continue;
        }
        break;
      }
      if (rc == CRW_CTS_TIMEOUT || rc == CRW_DSR_TIMEOUT) TerminalOffBox();
      break;
    }
    if (lastStatus != QLatin1String("12")) return;
  }
}

}  // namespace quorel

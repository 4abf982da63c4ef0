// The channel through the real library against the simulated device: what
// the log shows and what crossed the wire.
#include <QFile>
#include <algorithm>
#include <cerrno>
#include <cstring>

#include "core/cp932_codec.h"
#include "core/job_preamble.h"
#include "open_refusal.h"
#include "sim_channel_fixture.h"

namespace quorel::testing {
namespace {

class SimChannel : public SimChannelTest {};

TEST_F(SimChannel, VersionCommandLogsItsExchangeAndShowsTheStatus) {
  Open();
  EXPECT_EQ(Comu(QStringLiteral("VS")), ComuOutcome::kAnswered);
  const QString reply = QStringLiteral("AVS90") + QLatin1String(kVersion);
  EXPECT_EQ(Log(), (Lines{"VS", "   ACK", "Poll", QStringLiteral("   ") + reply}));
  EXPECT_EQ(mm().gReplyText, reply);
  EXPECT_EQ(view_.Text("Label25"), "90");
  EXPECT_EQ(view_.Text("Label10"), "AVS");
  EXPECT_EQ(view_.Text("Label40"), mm().gErrText[0x90]);
  EXPECT_EQ(view_.Text("TxtROMVer"), QLatin1String(kVersion));
  EXPECT_EQ(mm().gVersionText, QLatin1String(kVersion));
  EXPECT_EQ(Sent("VS"), 1);
}

// A device file the user may not open (not in its group; CI runs as root,
// so the open is refused by script): the library's log and the program's
// open-error box both say why.
TEST_F(SimChannel, AnOpenTheSystemRefusesNamesTheDeviceFileAndTheGroupToJoin) {
  const std::string device = devDir_ + "/COM3";
  QFile settings(QStringLiteral("Vantor.ini"));  // the current folder: errors only
  ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
  settings.write("[Log]\r\nLogging=1\r\n");
  settings.close();
  testsupport::RefuseOpen(device, EACCES);
  const QString reason =
      QString::fromStdString(device) + QStringLiteral(": ") + QString::fromLocal8Bit(strerror(EACCES));
  dialogs_.ExpectBox(QStringLiteral("COM3オープンエラー"),
                     QStringLiteral("他のアプリケーションが使用している可能性があります。\r\nもしくはポートが存在しません。\r\n") +
                         reason + QStringLiteral(". Join the dialout group (sudo adduser $USER dialout) and log in again."),
                     BoxAnswer::kOk);
  channel_.commIni();
  EXPECT_FALSE(mm().gPortOpen);
  EXPECT_EQ(dialogs_.pending(), 0u);
  QFile log(QStringLiteral("Vantor_003.log"));
  ASSERT_TRUE(log.open(QIODevice::ReadOnly));
  const QString text = QString::fromLocal8Bit(log.readAll());
  EXPECT_TRUE(text.contains(QStringLiteral("Err:ErrInfo : ") + reason + QStringLiteral("\n"))) << text.toStdString();
  // Once the user has joined, the port opens.
  testsupport::AllowOpen(device);
  Open();
}

TEST_F(SimChannel, TwoNaksAreRetriedAndLoggedBeforeTheAck) {
  Open();
  Control("nak 2");
  EXPECT_EQ(Comu(QStringLiteral("VS")), ComuOutcome::kAnswered);
  EXPECT_EQ(Log(), (Lines{"VS", "   NAK Response 3000ms ", "   NAK", "VS", "   NAK Response 3000ms NAKRetry=1",
                          "   NAK", "VS", "   ACK", "Poll", QStringLiteral("   AVS90") + QLatin1String(kVersion)}));
  EXPECT_EQ(Sent("VS"), 3);
}

TEST_F(SimChannel, ADeviceThatNeverAnswersAPollGivesTimeOutLinesAndKindE) {
  Open();
  mm().gAckTimer = mm().gRespTimer = kShortTimeoutMs;
  mm().gRespTimeoutRetry = 1;
  Control("nopoll always");
  EXPECT_EQ(Comu(QStringLiteral("VS")), ComuOutcome::kPortClosed);
  EXPECT_EQ(Log(), (Lines{"VS", "   ACK", "Poll", "   ResponseTimeOut 300ms ", "Poll",
                          "   ResponseTimeOut 300ms Retry=1"}));
  EXPECT_EQ(mm().gReplyKind, "E");
  // Asked instead of retrying: Cancel keeps the port open.
  Open();
  mm().gRespTimeoutMsgFlag = 1;
  dialogs_.ExpectBox(QStringLiteral("Device Response Time Out"),
                     QStringLiteral("応答待ちタイムアウト発生 \r\n受信時 300ms以内に機器からの応答がありませんでした\r\n\r\n"
                                    "[再試行(R)]続行 / [キャンセル]処理を中断いたします。"),
                     BoxAnswer::kCancel);
  EXPECT_EQ(Comu(QStringLiteral("ST")), ComuOutcome::kAbandoned);
  EXPECT_EQ(mm().gReplyKind, "E");
  EXPECT_TRUE(mm().gPortOpen);
}

TEST_F(SimChannel, APulledLineGivesOneBoxAndAClosedPortThatStaysQuiet) {
  Open();
  ASSERT_EQ(Comu(QStringLiteral("VS")), ComuOutcome::kAnswered);
  dialogs_.ExpectBox(QStringLiteral("USBケーブル切断検地"),
                     QStringLiteral("BREAK信号を検知しました\r\nUSBケーブルの挿入状態を確認してください"), BoxAnswer::kOk);
  Control("hangup");
  EXPECT_TRUE(PumpUntilTrue([] { return !mm().gPortOpen; }, 3000));
  // No spinning: no tick, no second box, next to no CPU.
  const double cpu0 = ThreadCpuSeconds();
  PumpFor(300);
  EXPECT_LT(ThreadCpuSeconds() - cpu0, 0.03);
  EXPECT_FALSE(channel_.timerActive());
  EXPECT_EQ(dialogs_.recorded().size(), 1u);
  EXPECT_EQ(Comu(QStringLiteral("VS")), ComuOutcome::kPortClosed);
}

TEST_F(SimChannel, AfterRetryInTheNakBoxTheNextCommandReachesTheDeviceOnce) {
  Open();
  mm().gNakRetry = 0;
  Control("nak 1");
  dialogs_.ExpectBox(QStringLiteral("Nak Retry Count Over"),
                     QStringLiteral("NAKリトライオーバー発生 \r\n\r\n[再試行]続行 / [キャンセル]終了"), BoxAnswer::kRetry);
  EXPECT_EQ(Comu(QStringLiteral("VS")), ComuOutcome::kAbandoned);
  EXPECT_EQ(Comu(QStringLiteral("ST")), ComuOutcome::kAnswered);
  EXPECT_EQ(mm().gReplyCommand, "ST");
  PumpFor(50);
  EXPECT_EQ(Sent("ST"), 1);
  EXPECT_EQ(Sent("VS"), 2);
}

TEST_F(SimChannel, ALeftoverDumpStopDoesNotCutTheConsolesWait) {
  Open();
  mm().gDumpStop = 1;
  EXPECT_EQ(Comu(QStringLiteral("VS")), ComuOutcome::kAnswered);
  EXPECT_EQ(mm().gReplyText, QStringLiteral("AVS90") + QLatin1String(kVersion));
  EXPECT_EQ(view_.Text("TxtROMVer"), QLatin1String(kVersion));
}

TEST_F(SimChannel, AClearReachesADeviceThatKeepsWaitingForACard) {
  Open();
  Control("cardwait manual");
  // The console's clear pressed while the card is awaited (the device has
  // answered the "CI" with "B"): refused, and the card wait ends because its
  // command was replaced.
  ComuOutcome nested = ComuOutcome::kAnswered;
  const OnceWhen cardAwaited([this] { return Sent("CI") == 1 && mm().gReplyKind == QLatin1String("B"); }, [&] {
    mm().gSendCommand = QStringLiteral("CL");
    nested = channel_.comu();
  });
  EXPECT_EQ(Comu(QStringLiteral("CI")), ComuOutcome::kAbandoned);
  EXPECT_EQ(nested, ComuOutcome::kBusy);
  EXPECT_EQ(mm().gReplyKind, "B");
  // The console's next press sends the clear: the device still says "B CI".
  EXPECT_EQ(Comu(QStringLiteral("CL")), ComuOutcome::kAnswered);
  EXPECT_EQ(mm().gReplyText.left(5), "ACL90");
  PumpFor(50);
  EXPECT_EQ(Sent("CI"), 1);
  EXPECT_EQ(Sent("CL"), 1);
}

TEST_F(SimChannel, HighBytesReachTheWireUnchangedAndANulIsRefused) {
  Open();
  const QString cmd = QStringLiteral("PD") + cp932::ByteChar(0x80) + cp932::ByteChar(0xFF) + QStringLiteral("亜");
  Comu(cmd);
  std::vector<uint8_t> frame;
  for (const sim::TranscriptEntry& e : sim_.Transcript())
    if (e.dir == sim::Dir::Host && e.tag.rfind("CMD PD", 0) == 0) frame = e.bytes;
  const QByteArray sjis = cp932::Encode(QStringLiteral("亜"));
  const std::vector<uint8_t> payload{'P', 'D', 0x80, 0xFF, static_cast<uint8_t>(sjis[0]), static_cast<uint8_t>(sjis[1])};
  ASSERT_GE(frame.size(), payload.size() + 4);
  EXPECT_TRUE(std::search(frame.begin(), frame.end(), payload.begin(), payload.end()) != frame.end());

  // A NUL in the data and a one-character command: the library refuses both.
  for (const QString& bad : {QStringLiteral("PD") + QChar(0) + QStringLiteral("A"), QStringLiteral("V")}) {
    channel_.log().Clear();
    EXPECT_EQ(Comu(bad), ComuOutcome::kAbandoned);
    EXPECT_EQ(Log(), (Lines{bad, "   Parameter Error"}));
    EXPECT_EQ(mm().gReplyKind, "E");
    EXPECT_TRUE(mm().gPortOpen);
  }
  EXPECT_EQ(Sent("PD"), 1);
}

TEST_F(SimChannel, AResetIsPolledThroughTheDevicesRestartUntilItReportsReady) {
  Open();
  // Deaf for a second after its answer: the polls from the end of the wait
  // on time out, however late a busy machine sends them, until it is back.
  Control("restart 1000");
  channel_.SetRestartWaitSeconds(0.1f);
  mm().gRespTimer = kShortTimeoutMs;
  mm().gRespTimeoutRetry = -1;
  EXPECT_EQ(Comu(QStringLiteral("RSS")), ComuOutcome::kAnswered);
  EXPECT_EQ(mm().gReplyKind, "R");
  const Lines log = Log();
  ASSERT_GE(log.size(), 6u);
  EXPECT_EQ(Lines(log.begin(), log.begin() + 4), (Lines{"RSS", "   ACK", "Poll", "   ResponseTimeOut 300ms "}));
  EXPECT_TRUE(log.back().startsWith(QStringLiteral("   R"))) << log.back().toStdString();
  EXPECT_EQ(Sent("RS"), 1);
  EXPECT_TRUE(mm().gPortOpen);
}

TEST_F(SimChannel, APowerUpIsAnsweredByThePreamble) {
  Control("state 2");
  const PreambleResult r = RunJobPreamble(channel_);
  EXPECT_TRUE(r.portOpen);
  EXPECT_EQ(r.sent, "PA");
  EXPECT_EQ(r.sendOutcome, ComuOutcome::kAnswered);
  EXPECT_EQ(Sent("PA"), 1);
}

}  // namespace
}  // namespace quorel::testing

// comu and poll on the scripted binding: the guard, the wait rules, the
// displays before the send and the decoding after it, the job preamble, and
// the faults of the hand-off that the channel must not have.
#include "channel_fixture.h"
#include "core/job_preamble.h"

namespace quorel::testing {
namespace {

const QString kNakBoxText = QStringLiteral("NAKリトライオーバー発生 \r\n\r\n[再試行]続行 / [キャンセル]終了");
const QString kDsrTitle = QStringLiteral("DSR信号変化検知");
const QString kDsrText = QStringLiteral("DSR信号状態変化を検知しました\r\nケーブルの挿入状態を確認してください");

class Handoff : public FakeChannelTest {};

TEST_F(Handoff, RefusedWhileHeldOrWithTheportClosedAndNothingIsSent) {
  EXPECT_EQ(Comu(QStringLiteral("VS")), ComuOutcome::kPortClosed);
  Open();
  mm().gPollBusy = -1;
  EXPECT_EQ(Comu(QStringLiteral("VS")), ComuOutcome::kBusy);
  mm().gPollBusy = 0;
  PumpFor(10);
  EXPECT_EQ(fake_.Count("crwSendCommand"), 0);
}

TEST_F(Handoff, ASecondComuWhileOneWaitsIsRefusedAndTheFirstDecodesItsOwnReply) {
  Open();
  for (int i = 0; i < 3; ++i) fake_.PushReply(QStringLiteral("BVS00"));
  fake_.PushReply(QStringLiteral("AVS901234"));
  ComuOutcome nested = ComuOutcome::kAnswered;
  const OnceWhen busyShown([] { return mm().gReplyKind == QLatin1String("B"); },
                           [&] { nested = Comu(QStringLiteral("ST")); });
  EXPECT_EQ(Comu(QStringLiteral("VS")), ComuOutcome::kAnswered);
  EXPECT_EQ(nested, ComuOutcome::kBusy);
  EXPECT_EQ(fake_.SentCommands(), (std::vector<QString>{"VS"}));
  EXPECT_EQ(mm().gVersionText, "1234");
  EXPECT_EQ(view_.Text("TxtROMVer"), "1234");
  EXPECT_EQ(view_.UpdatesOf("Label14"), 0);  // not decoded as the nested "ST"
}

TEST_F(Handoff, AfterRetryInTheNakBoxTheCallersNextCommandIsSentExactlyOnce) {
  Open();
  mm().gNakRetry = 0;
  fake_.Push("crwSendCommand", CRW_NAK);
  dialogs_.ExpectBox(QStringLiteral("Nak Retry Count Over"), kNakBoxText, BoxAnswer::kRetry);
  fake_.PushReply(QStringLiteral("R0000"));  // the poll the box armed
  fake_.PushReply(QStringLiteral("AVS90"));  // the answer to the re-sent "VS"
  fake_.PushReply(QStringLiteral("AST90"));
  EXPECT_EQ(Comu(QStringLiteral("VS")), ComuOutcome::kAbandoned);
  // The caller goes on at once with its next command.
  EXPECT_EQ(Comu(QStringLiteral("ST")), ComuOutcome::kAnswered);
  EXPECT_EQ(fake_.SentCommands(), (std::vector<QString>{"VS", "VS", "ST"}));
  EXPECT_EQ(mm().gReplyText, "AST90");
  PumpFor(20);
  EXPECT_EQ(fake_.SentCommands().size(), 3u);
}

TEST_F(Handoff, AnRReplyToACommandsPollEndsTheWaitAsAbandoned) {
  Open();
  fake_.PushReply(QStringLiteral("R0000"));
  EXPECT_EQ(Comu(QStringLiteral("VS")), ComuOutcome::kAbandoned);
  EXPECT_EQ(mm().gPollBusy, 0);
  EXPECT_EQ(view_.UpdatesOf("TxtROMVer"), 0);  // nothing decoded
}

TEST_F(Handoff, ACardInWaitEndsWhenTheReplyTimeOutIsCancelled) {
  Open();
  mm().gRespTimeoutMsgFlag = 1;
  fake_.PushReply(QStringLiteral("BCI00"));
  fake_.PushReply(QStringLiteral("BCI00"));
  fake_.Push("crwReceiveResponse", CRW_TIMEOUT);
  dialogs_.ExpectBox(QStringLiteral("Device Response Time Out"),
                     QStringLiteral("応答待ちタイムアウト発生 \r\n受信時 1000ms以内に機器からの応答がありませんでした\r\n\r\n"
                                    "[再試行(R)]続行 / [キャンセル]処理を中断いたします。"),
                     BoxAnswer::kCancel);
  EXPECT_EQ(Comu(QStringLiteral("CI")), ComuOutcome::kAbandoned);
  EXPECT_TRUE(mm().gPortOpen);
}

TEST_F(Handoff, TwelveKeepsTheCardInAndGeneralWaitsGoing) {
  Open();
  fake_.PushReply(QStringLiteral("BCI00"));
  fake_.PushReply(QStringLiteral("ACI12"));
  fake_.PushReply(QStringLiteral("ACI90"));
  EXPECT_EQ(Comu(QStringLiteral("CI")), ComuOutcome::kAnswered);
  EXPECT_EQ(mm().gReplyStatus, "90");
  fake_.PushReply(QStringLiteral("APD12"));
  fake_.PushReply(QStringLiteral("APD12"));
  fake_.PushReply(QStringLiteral("APD90"));
  EXPECT_EQ(Comu(QStringLiteral("PD:0/0/24/x")), ComuOutcome::kAnswered);
  EXPECT_EQ(fake_.Count("crwReceiveResponse"), 6);
}

TEST_F(Handoff, AnAOfAnotherCommandDoesNotEndTheWait) {
  Open();
  // A poll from before this command was sent answers for the previous one.
  mm().gPolling = 1;
  fake_.PushReply(QStringLiteral("ACI90"), 5);
  fake_.PushReply(QStringLiteral("AVS90"));
  EXPECT_EQ(Comu(QStringLiteral("VS")), ComuOutcome::kAnswered);
  EXPECT_EQ(mm().gReplyText, "AVS90");
  EXPECT_EQ(Log(), (Lines{"Poll", "   ACI90", "VS", "   ACK", "Poll", "   AVS90"}));
}

TEST_F(Handoff, TheRestartWaitPollsThroughTheRestartUntilTheReadyReport) {
  Open();
  channel_.SetRestartWaitSeconds(0.05f);
  bool resetWaitingSeen = false;
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout, [&] { resetWaitingSeen |= mm().gResetWaiting == -1; });
  watch.start(1);
  fake_.PushReply(QStringLiteral("ARS90"));  // answered before the device goes deaf
  fake_.Push("crwReceiveResponse", CRW_TIMEOUT);
  fake_.PushReply(QStringLiteral("R2000"));
  EXPECT_EQ(Comu(QStringLiteral("RSS")), ComuOutcome::kAnswered);
  const auto send = fake_.CallsOf("crwSendCommand");
  ASSERT_EQ(send.size(), 1u);
  EXPECT_EQ(send[0].args[3], QByteArray("RS"));
  EXPECT_EQ(send[0].args[4], QByteArray("S"));
  EXPECT_EQ(send[0].args[5], QByteArray("1"));
  EXPECT_TRUE(resetWaitingSeen);
  EXPECT_EQ(mm().gResetWaiting, 0);
  EXPECT_EQ(view_.foreHistory, (QStringList{"Label37=ff", "Label37=0"}));
  EXPECT_EQ(mm().gReplyKind, "R");
  EXPECT_EQ(Log(), (Lines{"RSS", "   ACK", "Poll", "   ARS90", "Poll", "   ResponseTimeOut 1000ms ", "Poll",
                          "   R2000"}));
}

TEST_F(Handoff, WithoutTheRestartWaitTheResetIsPolledAtOnce) {
  Open();
  mm().gRSMode = 1;
  channel_.SetRestartWaitSeconds(30.0f);
  fake_.PushReply(QStringLiteral("R0000"));
  QElapsedTimer t;
  t.start();
  EXPECT_EQ(Comu(QStringLiteral("RS")), ComuOutcome::kAnswered);
  EXPECT_LT(t.elapsed(), 3000);  // not the restart wait
  EXPECT_TRUE(view_.foreHistory.isEmpty());
}

TEST_F(Handoff, TheRestartCaptionShowsDuringTheWait) {
  Open();
  channel_.SetRestartWaitSeconds(0.03f);
  QString caption;
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout, [&] {
    if (mm().gResetWaiting == -1) caption = view_.Text("Label37");
  });
  watch.start(1);
  fake_.PushReply(QStringLiteral("R0000"));
  Comu(QStringLiteral("RS"));
  EXPECT_EQ(caption, "　　　　　　ＲＳコマンド 再起動中");
}

TEST_F(Handoff, ACardInWaitEndsWhenAnotherSenderReplacesTheCommandAndItsClearGoesOut) {
  Open();
  fake_.SetDefault("crwReceiveResponse", FakeLinkApi::Reply(QStringLiteral("BCI00")));
  // The console's clear button pressed while the card is awaited: once the
  // device has answered the sent "CI" with "B".
  ComuOutcome nested = ComuOutcome::kAnswered;
  const OnceWhen cardAwaited(
      [this] { return fake_.Count("crwSendCommand") == 1 && mm().gReplyKind == QLatin1String("B"); },
      [&] { nested = Comu(QStringLiteral("CL")); });
  EXPECT_EQ(Comu(QStringLiteral("CI")), ComuOutcome::kAbandoned);
  EXPECT_EQ(nested, ComuOutcome::kBusy);
  // The channel still polls the card wait; the next clear gets through. The
  // device answers "B CI" until the clear reaches it, however many polls
  // the ticks make before it goes out (a busy machine lets one run first).
  ASSERT_EQ(PreambleCommand(mm().gReplyKind, mm().gReplyStatus), "CL");
  FakeResult clearReachesTheDevice;
  clearReachesTheDevice.during = [this] { fake_.PushReply(QStringLiteral("ACL90")); };
  fake_.Push("crwSendCommand", clearReachesTheDevice);
  EXPECT_EQ(Comu(QStringLiteral("CL")), ComuOutcome::kAnswered);
  EXPECT_EQ(fake_.SentCommands(), (std::vector<QString>{"CI", "CL"}));
}

TEST_F(Handoff, TheStopButtonEndsACardInWait) {
  Open();
  fake_.SetDefault("crwReceiveResponse", FakeLinkApi::Reply(QStringLiteral("BCI00")));
  QTimer::singleShot(20, [] { mm().gStopRequest = 1; });
  EXPECT_EQ(Comu(QStringLiteral("CI")), ComuOutcome::kStopped);
}

TEST_F(Handoff, ALeftoverDumpStopEndsOnlyTheMemoryDumpsWaits) {
  Open();
  mm().gDumpStop = 1;
  fake_.PushReply(QStringLiteral("BVS00"));
  fake_.PushReply(QStringLiteral("AVS90V9"));
  EXPECT_EQ(Comu(QStringLiteral("VS")), ComuOutcome::kAnswered);
  EXPECT_EQ(view_.Text("TxtROMVer"), "V9");
  fake_.SetDefault("crwReceiveResponse", FakeLinkApi::Reply(QStringLiteral("BRD00")));
  ComuOptions dump;
  dump.endOnDumpStop = true;
  EXPECT_EQ(Comu(QStringLiteral("RD"), dump), ComuOutcome::kStopped);
}

TEST_F(Handoff, TheWriteReadTestsWaitEndsOnTheChannelsCancelAndResetsIt) {
  Open();
  mm().gRwTestRunning = -1;
  mm().gNakRetry = 0;
  fake_.Push("crwSendCommand", CRW_NAK);
  fake_.PushReply(QStringLiteral("R0000"));
  dialogs_.ExpectBox(QStringLiteral("Nak Retry Count Over"), kNakBoxText, BoxAnswer::kCancel);
  EXPECT_EQ(Comu(QStringLiteral("WR")), ComuOutcome::kAbandoned);
  EXPECT_EQ(mm().gCancelled, 0);
}

TEST_F(Handoff, ThePortClosingWhileTheLineIsBusyReleasesTheGuardWithoutSending) {
  Open();
  mm().gLineBusy = 1;
  QTimer::singleShot(20, [&] { channel_.commClose(); });
  EXPECT_EQ(Comu(QStringLiteral("VS")), ComuOutcome::kPortClosed);
  EXPECT_EQ(mm().gPollBusy, 0);
  EXPECT_EQ(fake_.Count("crwSendCommand"), 0);
}

TEST_F(Handoff, TheLineWaitHoldsTheSendUntilTheDownloadEnds) {
  Open();
  mm().gLineBusy = 1;
  QTimer::singleShot(30, [] { mm().gLineBusy = 0; });
  fake_.PushReply(QStringLiteral("AVS90"));
  QElapsedTimer t;
  t.start();
  EXPECT_EQ(Comu(QStringLiteral("VS")), ComuOutcome::kAnswered);
  EXPECT_GE(t.elapsed(), 25);
}

TEST_F(Handoff, ClosingTheProgramEndsTheWaitWithoutDecodingAndKeepsTheGuard) {
  Open();
  fake_.SetDefault("crwReceiveResponse", FakeLinkApi::Reply(QStringLiteral("BVS00")));
  QTimer::singleShot(20, [] { mm().gAppClosing = 1; });
  EXPECT_EQ(Comu(QStringLiteral("VS")), ComuOutcome::kClosing);
  EXPECT_EQ(mm().gPollBusy, -1);
}

TEST_F(Handoff, ParametersShowBeforeTheSendAndOnlyForTracksOneToThree) {
  Open();
  fake_.SetDefault("crwReceiveResponse", FakeLinkApi::Reply(QStringLiteral("AWD90")));
  Comu(QStringLiteral("WD:2/ABC"));
  EXPECT_EQ(view_.Text("txtWd", 2), "ABC");
  const size_t before = view_.updates.size();
  for (const char* cmd : {"WD:4/XYZ", "WD:0/XYZ", "WD:x/XYZ"}) Comu(QLatin1String(cmd));
  for (size_t i = before; i < view_.updates.size(); ++i) EXPECT_NE(view_.updates[i].control, "txtWd");
  // Track data of a track the window has no box for changes nothing either.
  fake_.SetDefault("crwReceiveResponse", FakeLinkApi::Reply(QStringLiteral("ADT90 DATA")));
  Comu(QStringLiteral("DT:5"));
  EXPECT_EQ(view_.UpdatesOf("TxtDTtr"), 0);
  Comu(QStringLiteral("DT:1"));
  EXPECT_EQ(view_.Text("TxtDTtr", 1), "DATA");
}

TEST_F(Handoff, TheTimersReopeningOfThePortKeepsTheCommandADialogArmed) {
  // A slow tick, so the wait sees the closed port before the next tick
  // reopens it (a busy machine can hold up a 2 ms wait past the next tick).
  mm().gTimerInterval = 300;
  Open();
  mm().gNakRetry = 0;
  fake_.Push("crwSendCommand", CRW_NAK);
  // The cable is pulled while the NAK box is open; then the user says Retry.
  dialogs_.onBox = [&](const BoxRequest& r) {
    if (r.title == QLatin1String("Nak Retry Count Over")) channel_.CommEventProc(0x2000);
  };
  dialogs_.ExpectBox(kDsrTitle, kDsrText, BoxAnswer::kOk);
  dialogs_.ExpectBox(QStringLiteral("Nak Retry Count Over"), kNakBoxText, BoxAnswer::kRetry);
  fake_.PushReply(QStringLiteral("R0000"));
  fake_.PushReply(QStringLiteral("AVS90"));
  EXPECT_EQ(Comu(QStringLiteral("VS")), ComuOutcome::kPortClosed);
  // The tick reopens the port, polls once and sends the command again.
  EXPECT_TRUE(PumpUntilTrue([&] { return fake_.Count("crwReceiveResponse") == 2 && channel_.Idle(); }, 10000));
  EXPECT_EQ(fake_.Count("crwOpenPort"), 1);
  EXPECT_EQ(fake_.SentCommands(), (std::vector<QString>{"VS", "VS"}));
  EXPECT_TRUE(mm().gPortOpen);
}

TEST_F(Handoff, APendingSendOnAClosedPortReopensItAndStillGoesOut) {
  Open();
  fake_.PushReply(QStringLiteral("AVS90"));
  Comu(QStringLiteral("VS"));
  channel_.commClose();
  fake_.ClearCalls();
  mm().gSendPending = 1;  // as a dialog's Retry leaves it after the close
  channel_.Timer1_Timer();
  EXPECT_EQ(fake_.Count("crwOpenPort"), 1);
  EXPECT_EQ(fake_.SentCommands(), (std::vector<QString>{"VS"}));
}

TEST_F(Handoff, TheTickNeverRunsInsideItself) {
  Open();
  fake_.PushReply(QStringLiteral("AVS90"));
  Comu(QStringLiteral("VS"));
  mm().gRespTimeoutMsgFlag = 1;
  channel_.commClose();
  mm().gPolling = 1;  // a poll armed for a port that is closed now
  fake_.Push("crwReceiveResponse", CRW_TIMEOUT);
  fake_.ClearCalls();
  int callsDuringBox = -1;
  bool timerOnDuringBox = false;
  dialogs_.onBox = [&](const BoxRequest&) {
    // A real box lets events run: the timer that commIni started is due,
    // and a sender armed a command meanwhile.
    timerOnDuringBox = channel_.timerActive();
    mm().gSendPending = 1;
    const size_t before = fake_.calls().size();
    PumpFor(30);
    callsDuringBox = static_cast<int>(fake_.calls().size() - before);
  };
  dialogs_.ExpectBox(QStringLiteral("Device Response Time Out"),
                     QStringLiteral("応答待ちタイムアウト発生 \r\n受信時 1000ms以内に機器からの応答がありませんでした\r\n\r\n"
                                    "[再試行(R)]続行 / [キャンセル]処理を中断いたします。"),
                     BoxAnswer::kCancel);
  channel_.Timer1_Timer();  // reopens the port (timer on again), polls, times out
  EXPECT_TRUE(timerOnDuringBox);
  EXPECT_EQ(callsDuringBox, 0);
  EXPECT_FALSE(channel_.inTick());
  // The send waits for the next tick of its own.
  EXPECT_TRUE(PumpUntilTrue([&] { return fake_.Count("crwSendCommand") == 1; }, 5000));
}

class Poll : public FakeChannelTest {};

TEST_F(Poll, OnAClosedPortItArmsNothingSoAFailedOpenGivesOneBox) {
  fake_.SetDefault("crwOpenPort", FakeResult{CRW_PORT_NOT_OPEN, {}, {}, 0, nullptr});
  dialogs_.ExpectBox(QStringLiteral("COM3オープンエラー"),
                     QStringLiteral("他のアプリケーションが使用している可能性があります。\r\nもしくはポートが存在しません。"),
                     BoxAnswer::kOk);
  channel_.commIni();
  EXPECT_EQ(channel_.poll(), ComuOutcome::kPortClosed);
  EXPECT_EQ(mm().gPolling, 0);
  PumpFor(30);
  EXPECT_EQ(dialogs_.recorded().size(), 1u);
  EXPECT_EQ(fake_.Count("crwOpenPort"), 1);
}

TEST_F(Poll, WhileHeldItReturnsAtOnceAndChangesNothing) {
  Open();
  mm().gPollBusy = -1;
  mm().gReplyKind = QStringLiteral("A");
  EXPECT_EQ(channel_.poll(), ComuOutcome::kBusy);
  EXPECT_EQ(mm().gReplyKind, "A");
  EXPECT_EQ(mm().gPolling, 0);
}

TEST_F(Poll, ItWaitsForAnyKindButTheStillRunningA) {
  Open();
  mm().gLineBusy = 1;
  mm().gReplyStatus = QStringLiteral("xx");
  fake_.PushReply(QStringLiteral("BCI00"));
  EXPECT_EQ(channel_.poll(), ComuOutcome::kAnswered);
  EXPECT_EQ(mm().gReplyKind, "B");
  EXPECT_EQ(mm().gLineBusy, 0);
  EXPECT_EQ(mm().gReplyStatus, "xx");  // a poll leaves the status of a "B" alone
  PumpFor(10);
  fake_.ClearCalls();
  fake_.PushReply(QStringLiteral("ACI12"));
  fake_.PushReply(QStringLiteral("ACI90"));
  EXPECT_EQ(channel_.poll(), ComuOutcome::kAnswered);
  EXPECT_EQ(mm().gReplyStatus, "90");
}

class Preamble : public FakeChannelTest {};

TEST_F(Preamble, OpensPollsAndAnswersAPowerUpWithPa) {
  fake_.PushReply(QStringLiteral("R2000"));
  fake_.PushReply(QStringLiteral("APA90"));
  const PreambleResult r = RunJobPreamble(channel_);
  EXPECT_TRUE(r.portOpen);
  EXPECT_EQ(r.polled, ComuOutcome::kAnswered);
  EXPECT_EQ(r.sent, "PA");
  EXPECT_EQ(r.sendOutcome, ComuOutcome::kAnswered);
  EXPECT_EQ(fake_.SentCommands(), (std::vector<QString>{"PA"}));
}

TEST_F(Preamble, AClosedPortThatWillNotOpenEndsTheJobWithOrWithoutTheBox) {
  fake_.SetDefault("crwOpenPort", FakeResult{2, {}, {}, 0, nullptr});
  EXPECT_FALSE(RunJobPreamble(channel_).portOpen);
  dialogs_.ExpectBox(QStringLiteral("通信エラー"),
                     QStringLiteral("通信できません！\r\n通信設定やケーブルを見直してください。"), BoxAnswer::kOk);
  PreambleOptions withBox;
  withBox.commErrorBox = true;
  EXPECT_FALSE(RunJobPreamble(channel_, withBox).portOpen);
  EXPECT_EQ(fake_.Count("crwReceiveResponse"), 0);
}

TEST_F(Preamble, TheConsoleVariantActsOnTheLastReplyAndOnlyClears) {
  Open();
  mm().gReplyKind = QStringLiteral("B");
  PreambleOptions console;
  console.pollWhenOpen = false;
  console.answerPowerUp = false;
  fake_.PushReply(QStringLiteral("ACL90"));
  const PreambleResult r = RunJobPreamble(channel_, console);
  EXPECT_FALSE(r.polled.has_value());
  EXPECT_EQ(r.sent, "CL");
  EXPECT_EQ(fake_.SentCommands(), (std::vector<QString>{"CL"}));
  mm().gReplyKind = QStringLiteral("R");
  mm().gReplyStatus = QStringLiteral("20");
  EXPECT_TRUE(RunJobPreamble(channel_, console).sent.isEmpty());
}

}  // namespace
}  // namespace quorel::testing

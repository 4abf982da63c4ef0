// One command's road through the tick on the scripted binding: the send, its
// ACK, NAK and time-out handling, the polls and the reply displays.
#include "channel_fixture.h"
#include "core/cp932_codec.h"
#include "platform/clock.h"

namespace quorel::testing {
namespace {

const QString kNakBoxText = QStringLiteral("NAKリトライオーバー発生 \r\n\r\n[再試行]続行 / [キャンセル]終了");

class Exchange : public FakeChannelTest {};

TEST_F(Exchange, AnAcknowledgedCommandAndItsReplyInTheLogAndLabels) {
  Open();
  fake_.PushReply(QStringLiteral("AVS90V1.00"));
  EXPECT_EQ(Comu(QStringLiteral("VS")), ComuOutcome::kAnswered);
  EXPECT_EQ(Log(), (Lines{"VS", "   ACK", "Poll", "   AVS90V1.00"}));
  const auto send = fake_.CallsOf("crwSendCommand");
  ASSERT_EQ(send.size(), 1u);
  EXPECT_EQ(send[0].args, (std::vector<QByteArray>{"3", "1000", "1", "VS", "", "0"}));
  EXPECT_EQ(fake_.CallsOf("crwReceiveResponse")[0].args, (std::vector<QByteArray>{"3", "0", "1000", "1"}));
  EXPECT_EQ(mm().gReplyKind, "A");
  EXPECT_EQ(mm().gReplyCommand, "VS");
  EXPECT_EQ(mm().gReplyStatus, "90");
  EXPECT_EQ(mm().gReplyText, "AVS90V1.00");
  EXPECT_EQ(view_.Text("TxtSendBox"), "VS");
  EXPECT_EQ(view_.Text("Label10"), "AVS");
  EXPECT_EQ(view_.Text("Label25"), "90");
  EXPECT_EQ(view_.Text("Label40"), mm().gErrText[0x90]);
  EXPECT_EQ(view_.Text("Label39"), "コマンド終了    VS");
  EXPECT_EQ(mm().gPollBusy, 0);
  EXPECT_TRUE(channel_.Idle());
}

TEST_F(Exchange, ActionTextsAndControlCharactersInTheSendBox) {
  Open();
  fake_.PushReply(QStringLiteral("ACI90"));
  Comu(QStringLiteral("CI"));
  EXPECT_EQ(view_.Text("Label37"), "カードを挿入して下さい。");
  fake_.PushReply(QStringLiteral("APD90"));
  Comu(QStringLiteral("PD:0/0/24/") + QChar(27) + QStringLiteral("e222012"));
  EXPECT_EQ(view_.Text("Label37"), "プリントデータセット");
  EXPECT_EQ(view_.Text("TxtSendBox"), "PD:0/0/24/esc$e222012");
  fake_.PushReply(QStringLiteral("AST90"));
  Comu(QStringLiteral("ST"));
  EXPECT_EQ(view_.Text("Label37"), "");
}

TEST_F(Exchange, ADoubleByteCodeGoesAsOneCharacter) {
  Open();
  // The echo is the code's two bytes.
  fake_.Push("crwReceiveResponse", FakeResult{0, {cp932::Encode(QStringLiteral("亜")), "90", ""}, {}, 0, nullptr});
  EXPECT_EQ(Comu(QStringLiteral("亜AB")), ComuOutcome::kAnswered);
  const auto send = fake_.CallsOf("crwSendCommand");
  ASSERT_EQ(send.size(), 1u);
  EXPECT_EQ(send[0].args[3], cp932::Encode(QStringLiteral("亜")));
  EXPECT_EQ(send[0].args[4], QByteArray("AB"));
  EXPECT_EQ(send[0].args[5], QByteArray("2"));
}

TEST_F(Exchange, FourNaksWithNakRetryThreeOpenTheBoxBeforeTheLastNakLine) {
  Open();
  for (int i = 0; i < 4; ++i) fake_.Push("crwSendCommand", CRW_NAK);
  fake_.PushReply(QStringLiteral("R0000"));
  std::vector<QString> logAtBox;
  dialogs_.onBox = [&](const BoxRequest&) {
    logAtBox = Log();
    EXPECT_EQ(view_.logText, channel_.log().text()) << "the log box is repainted before the box";
  };
  dialogs_.ExpectBox(QStringLiteral("Nak Retry Count Over"), kNakBoxText, BoxAnswer::kCancel);
  EXPECT_EQ(Comu(QStringLiteral("VS")), ComuOutcome::kAbandoned);
  const Lines sends{"VS", "   NAK Response 1000ms ", "   NAK",
                    "VS", "   NAK Response 1000ms NAKRetry=1", "   NAK",
                    "VS", "   NAK Response 1000ms NAKRetry=2", "   NAK",
                    "VS", "   NAK Response 1000ms NAKRetry=3"};
  EXPECT_EQ(logAtBox, sends);
  EXPECT_EQ(dialogs_.recorded()[0].buttons, BoxButtons::kRetryCancel);
  EXPECT_EQ(dialogs_.recorded()[0].icon, BoxIcon::kExclamation);
  // Cancel: one poll, nothing sent again.
  Lines all = sends;
  for (const char* l : {"   NAK", "Poll", "   R0000"}) all.push_back(QLatin1String(l));
  EXPECT_TRUE(PumpUntilTrue([&] { return Log().size() >= all.size(); }, 5000));
  PumpFor(20);
  EXPECT_EQ(Log(), all);
  EXPECT_EQ(fake_.Count("crwSendCommand"), 4);
  EXPECT_EQ(mm().gNakCount, 0);
  EXPECT_TRUE(mm().gPortOpen);
}

TEST_F(Exchange, RetryInTheNakBoxPollsOnceThenSendsTheCommandAgain) {
  Open();
  mm().gNakRetry = 0;
  fake_.Push("crwSendCommand", CRW_NAK);
  fake_.PushReply(QStringLiteral("R0000"));
  fake_.PushReply(QStringLiteral("AVS90"));
  dialogs_.ExpectBox(QStringLiteral("Nak Retry Count Over"), kNakBoxText, BoxAnswer::kRetry);
  EXPECT_EQ(Comu(QStringLiteral("VS")), ComuOutcome::kAbandoned);  // the box released the caller
  EXPECT_TRUE(PumpUntilTrue([&] { return fake_.Count("crwReceiveResponse") == 2 && channel_.Idle(); }, 1000));
  EXPECT_EQ(Log(), (Lines{"VS", "   NAK Response 1000ms ", "   NAK", "Poll", "   R0000", "VS", "   ACK", "Poll",
                          "   AVS90"}));
}

TEST_F(Exchange, NakUnderAStopRequestPollsInsteadOfSendingAgain) {
  Open();
  mm().gStopRequest = 1;
  fake_.Push("crwSendCommand", CRW_NAK);
  fake_.PushReply(QStringLiteral("R0000"));
  EXPECT_EQ(Comu(QStringLiteral("VS")), ComuOutcome::kAbandoned);
  EXPECT_EQ(fake_.Count("crwSendCommand"), 1);
  EXPECT_EQ(mm().gCancelled, -1);
}

TEST_F(Exchange, AckNakTimeOutsRetriedInOneTickThenThePortCloses) {
  Open();
  mm().gAckNakTimeoutRetry = 2;
  fake_.SetDefault("crwSendCommand", FakeResult{CRW_TIMEOUT, {}, {}, 0, nullptr});
  // All three tries run inside one tick, with the timer stopped.
  int outsideOneTick = 0;
  FakeResult counting{CRW_TIMEOUT, {}, {}, 0,
                      [&] { outsideOneTick += channel_.inTick() && !channel_.timerActive() ? 0 : 1; }};
  for (int i = 0; i < 3; ++i) fake_.Push("crwSendCommand", counting);
  EXPECT_EQ(Comu(QStringLiteral("VS")), ComuOutcome::kPortClosed);
  EXPECT_EQ(outsideOneTick, 0);
  EXPECT_EQ(Log(), (Lines{"VS", "   ACK/NAK RespTimeOut 1000ms ", "VS", "   ACK/NAK RespTimeOut 1000ms Retry=1", "VS",
                          "   ACK/NAK RespTimeOut 1000ms Retry=2"}));
  EXPECT_FALSE(mm().gPortOpen);
  EXPECT_EQ(mm().gPollBusy, 0);
}

TEST_F(Exchange, AckNakRetryWaitIsLoggedAndWaited) {
  Open();
  mm().gAckNakTimeoutRetry = 1;
  mm().gAckRetryWaitTimer = 60;
  fake_.Push("crwSendCommand", CRW_CTS_TIMEOUT);
  fake_.PushReply(QStringLiteral("AVS90"));
  QElapsedTimer t;
  t.start();
  EXPECT_EQ(Comu(QStringLiteral("VS")), ComuOutcome::kAnswered);
  EXPECT_GE(t.elapsed(), 60);
  EXPECT_EQ(Log(), (Lines{"VS", "   ACK/NAK RespTimeOut 1000ms ", "     + Retry Wait 60ms ", "VS", "   ACK", "Poll",
                          "   AVS90"}));
}

TEST_F(Exchange, AckNakTimeOutBoxRetrySendsAgainAndCancelClosesThePort) {
  Open();
  mm().gAckNakTimeoutMsgFlag = 1;
  const QString text = QStringLiteral(
      "ACK/NAK待ちタイムアウト発生 \r\n送信時 1000ms以内にACK/NAKの応答がありませんでした\r\n\r\n"
      "[再試行(R)]続行 / [キャンセル]処理を中断いたします。");
  fake_.Push("crwSendCommand", CRW_TIMEOUT);
  fake_.PushReply(QStringLiteral("R0000"));
  fake_.PushReply(QStringLiteral("AVS90"));
  dialogs_.ExpectBox(QStringLiteral("ACK / NAK Response Time Out"), text, BoxAnswer::kRetry);
  EXPECT_EQ(Comu(QStringLiteral("VS")), ComuOutcome::kAbandoned);
  EXPECT_TRUE(PumpUntilTrue([&] { return fake_.Count("crwSendCommand") == 2 && channel_.Idle(); }, 1000));
  EXPECT_TRUE(mm().gPortOpen);

  fake_.Push("crwSendCommand", CRW_TIMEOUT);
  dialogs_.ExpectBox(QStringLiteral("ACK / NAK Response Time Out"), text, BoxAnswer::kCancel);
  EXPECT_EQ(Comu(QStringLiteral("VS")), ComuOutcome::kPortClosed);
  EXPECT_FALSE(mm().gPortOpen);
}

TEST_F(Exchange, ParameterErrorEndsTheWaitWithKindEAndKeepsThePortOpen) {
  Open();
  fake_.Push("crwSendCommand", CRW_PARAMETER_ERROR);
  EXPECT_EQ(Comu(QStringLiteral("V")), ComuOutcome::kAbandoned);
  EXPECT_EQ(fake_.CallsOf("crwSendCommand")[0].args[5], QByteArray("-1"));
  EXPECT_EQ(Log(), (Lines{"V", "   Parameter Error"}));
  EXPECT_EQ(mm().gReplyKind, "E");
  EXPECT_TRUE(mm().gPortOpen);
  EXPECT_EQ(mm().gPollBusy, 0);
  // The channel is free for the next command.
  fake_.PushReply(QStringLiteral("AVS90"));
  EXPECT_EQ(Comu(QStringLiteral("VS")), ComuOutcome::kAnswered);
  // The restart and card waits end too.
  fake_.Push("crwSendCommand", CRW_PARAMETER_ERROR);
  EXPECT_EQ(Comu(QStringLiteral("CI")), ComuOutcome::kAbandoned);
}

TEST_F(Exchange, OtherSendFailuresAndAMissingFunctionCloseThePort) {
  for (int32_t rc : {int32_t{CRW_SEND_ERROR}, int32_t{kLinkUnbound}}) {
    Open();
    fake_.Push("crwSendCommand", rc);
    EXPECT_EQ(Comu(QStringLiteral("VS")), ComuOutcome::kPortClosed) << rc;
    EXPECT_FALSE(mm().gPortOpen);
  }
}

TEST_F(Exchange, UnlimitedAckNakRetriesLetEventsRunAndEndOnStopCloseOrClosing) {
  Open();
  mm().gAckNakTimeoutRetry = -1;
  fake_.SetDefault("crwSendCommand", FakeResult{CRW_TIMEOUT, {}, {}, 1, nullptr});
  // Each pressed while the retries run, after the fourth try: only pumped
  // events see it.
  const auto afterFourTries = [this] {
    const int before = fake_.Count("crwSendCommand");
    return [this, before] { return fake_.Count("crwSendCommand") >= before + 4; };
  };
  {
    const OnceWhen stopButton(afterFourTries(), [] { mm().gStopRequest = 1; });
    EXPECT_EQ(Comu(QStringLiteral("VS")), ComuOutcome::kAbandoned);
  }
  EXPECT_GE(fake_.Count("crwSendCommand"), 4);
  EXPECT_TRUE(mm().gPortOpen);
  EXPECT_EQ(mm().gReplyKind, "E");

  mm().gStopRequest = 0;
  {
    const OnceWhen closeButton(afterFourTries(), [&] { channel_.commClose(); });
    EXPECT_EQ(Comu(QStringLiteral("VS")), ComuOutcome::kPortClosed);
  }

  Open();
  const OnceWhen closing(afterFourTries(), [] { mm().gAppClosing = 1; });
  EXPECT_EQ(Comu(QStringLiteral("VS")), ComuOutcome::kClosing);
}

class Polling : public FakeChannelTest {};

TEST_F(Polling, AnAWithTwelveKeepsPollingUntilTheNextA) {
  Open();
  fake_.PushReply(QStringLiteral("AVS12"));
  fake_.PushReply(QStringLiteral("AVS90XYZ"));
  EXPECT_EQ(Comu(QStringLiteral("VS")), ComuOutcome::kAnswered);
  EXPECT_EQ(mm().gReplyStatus, "90");
  EXPECT_EQ(mm().gReplyText, "AVS90XYZ");
  EXPECT_EQ(Log(), (Lines{"VS", "   ACK", "Poll", "   AVS12", "Poll", "   AVS90XYZ"}));
}

TEST_F(Polling, ABOfAnotherCommandSendsOursAgainWithTheNakCountBackAtZero) {
  Open();
  fake_.Push("crwSendCommand", CRW_NAK);  // the NAK count is 1 now
  fake_.Push("crwSendCommand", 0);
  fake_.PushReply(QStringLiteral("BCI00"));
  fake_.Push("crwSendCommand", CRW_NAK);  // logged as a first NAK again
  fake_.Push("crwSendCommand", 0);
  fake_.PushReply(QStringLiteral("BVS00"));
  fake_.PushReply(QStringLiteral("AVS90"));
  EXPECT_EQ(Comu(QStringLiteral("VS")), ComuOutcome::kAnswered);
  EXPECT_EQ(Log(), (Lines{"VS", "   NAK Response 1000ms ", "   NAK", "VS", "   ACK", "Poll", "   BCI00", "VS",
                          "   NAK Response 1000ms ", "   NAK", "VS", "   ACK", "Poll", "   BVS00", "Poll", "   AVS90"}));
  EXPECT_EQ(view_.Text("Label10"), "AVS");
}

TEST_F(Polling, BusyRepliesShowTheExecutingTextAndTheRamClearProgress) {
  Open();
  uint32_t now = 100000;
  channel_.SetClock([&] { return now; });
  MainModule& m = mm();
  m.gRamClearActive = 1;
  m.gBusyStartTick = static_cast<int32_t>(now);
  struct Step {
    uint32_t after;
    const char* watch;
    const char* percent;
  } steps[] = {{2950, "2.950 s", "50%"}, {7000, "7.000 s", "100%"}, {61234, "61.234 s", "100%"}};
  for (const Step& s : steps) {
    now = 100000 + s.after;
    fake_.PushReply(QStringLiteral("BRC00"));
    mm().gPolling = 1;
    channel_.Timer1_Timer();
    EXPECT_EQ(view_.watch, s.watch);
    EXPECT_EQ(view_.percent, s.percent);
    EXPECT_EQ(m.gBusyElapsed, static_cast<int32_t>(s.after));
  }
  EXPECT_FLOAT_EQ(m.gProgressPct, 100.0f);  // past a minute: no wrap, capped
  EXPECT_EQ(view_.Text("Label10"), "BRC");
  EXPECT_EQ(view_.Text("Label39"), "コマンド実行中　RC");
  EXPECT_EQ(view_.Text("Label25"), "");
  EXPECT_EQ(view_.Text("Label40"), "");
  channel_.commClose();
}

TEST_F(Polling, AnRReplyShowsTheStateAndCardPositionTexts) {
  Open();
  fake_.PushReply(QStringLiteral("R2500"));
  EXPECT_EQ(channel_.poll(), ComuOutcome::kAnswered);
  EXPECT_EQ(mm().gReplyKind, "R");
  EXPECT_EQ(mm().gReplyStatus, "25");
  EXPECT_EQ(view_.Text("Label40"), mm().gStatusText[2] + mm().gCardPosText[5]);
  EXPECT_EQ(view_.Text("Label39"), "コマンド待ち　　");
  EXPECT_EQ(view_.Text("Label10"), "R");
  EXPECT_EQ(view_.Text("Label25"), "25");
  fake_.PushReply(QStringLiteral("Rx?00"));  // not digits: entry 0
  channel_.poll();
  EXPECT_EQ(view_.Text("Label40"), mm().gStatusText[0] + mm().gCardPosText[0]);
}

TEST_F(Polling, ReplyTimeOutsRetriedThenThePortClosesWithKindE) {
  Open();
  mm().gRespTimeoutRetry = 2;
  mm().gResRetryWaitTimer = 20;
  fake_.SetDefault("crwReceiveResponse", FakeResult{CRW_TIMEOUT, {}, {}, 0, nullptr});
  EXPECT_EQ(Comu(QStringLiteral("VS")), ComuOutcome::kPortClosed);
  EXPECT_EQ(Log(), (Lines{"VS", "   ACK", "Poll", "   ResponseTimeOut 1000ms ", "     + Resp Retry Wait 20ms ", "Poll",
                          "   ResponseTimeOut 1000ms Retry=1", "     + Resp Retry Wait 20ms ", "Poll",
                          "   ResponseTimeOut 1000ms Retry=2"}));
  EXPECT_EQ(mm().gReplyKind, "E");
  EXPECT_FALSE(mm().gPortOpen);
}

TEST_F(Polling, ReplyTimeOutBoxRetryPollsAtOnceAndCancelLeavesKindEWithThePortOpen) {
  Open();
  mm().gRespTimeoutMsgFlag = 1;
  const QString text = QStringLiteral(
      "応答待ちタイムアウト発生 \r\n受信時 1000ms以内に機器からの応答がありませんでした\r\n\r\n"
      "[再試行(R)]続行 / [キャンセル]処理を中断いたします。");
  fake_.Push("crwReceiveResponse", CRW_TIMEOUT);
  fake_.Push("crwReceiveResponse", CRW_TIMEOUT);
  dialogs_.ExpectBox(QStringLiteral("Device Response Time Out"), text, BoxAnswer::kRetry);
  dialogs_.ExpectBox(QStringLiteral("Device Response Time Out"), text, BoxAnswer::kCancel);
  EXPECT_EQ(Comu(QStringLiteral("VS")), ComuOutcome::kAbandoned);
  EXPECT_EQ(Log(), (Lines{"VS", "   ACK", "Poll", "   ResponseTimeOut 1000ms ", "Poll",
                          "   ResponseTimeOut 1000ms "}));
  EXPECT_EQ(mm().gReplyKind, "E");
  EXPECT_TRUE(mm().gReplyText.isEmpty());
  EXPECT_TRUE(mm().gPortOpen);
}

TEST_F(Polling, UnlimitedReplyRetriesLetEventsRunAndEndOnAStop) {
  Open();
  mm().gRespTimeoutRetry = -1;
  fake_.SetDefault("crwReceiveResponse", FakeResult{CRW_TIMEOUT, {}, {}, 1, nullptr});
  // Pressed after the fourth unanswered poll: only pumped events see it.
  const OnceWhen stopButton([this] { return fake_.Count("crwReceiveResponse") >= 4; },
                            [] { mm().gStopRequest = 1; });
  EXPECT_EQ(Comu(QStringLiteral("VS")), ComuOutcome::kAbandoned);
  EXPECT_GE(fake_.Count("crwReceiveResponse"), 4);
  EXPECT_TRUE(mm().gPortOpen);
}

TEST_F(Polling, DsrOrCtsTimeOutClosesThePortWithTheTerminalOffBox) {
  for (int32_t rc : {int32_t{CRW_DSR_TIMEOUT}, int32_t{CRW_CTS_TIMEOUT}}) {
    Open();
    fake_.Push("crwReceiveResponse", rc);
    dialogs_.ExpectBox(QStringLiteral("Quorel"), QStringLiteral("端末がＯＦＦです"), BoxAnswer::kOk);
    EXPECT_EQ(Comu(QStringLiteral("VS")), ComuOutcome::kPortClosed);
    EXPECT_TRUE(mm().gReplyKind.isEmpty());
    EXPECT_EQ(Log().back(), "   DSR/CTS Time Out 1000ms");
    channel_.log().Clear();
  }
}

TEST_F(Polling, OtherReceiveFailuresLeaveKindEWithThePortOpen) {
  Open();
  fake_.Push("crwReceiveResponse", CRW_BCC_RETRY_ERROR);
  EXPECT_EQ(Comu(QStringLiteral("VS")), ComuOutcome::kAbandoned);
  EXPECT_EQ(mm().gReplyKind, "E");
  EXPECT_TRUE(mm().gPortOpen);
}

TEST_F(Polling, ATickWithBothFlagsPollsAndLeavesTheSendForLater) {
  Open();
  MainModule& m = mm();
  m.gSendCommand = QStringLiteral("VS");
  fake_.PushReply(QStringLiteral("R0000"));
  fake_.PushReply(QStringLiteral("AVS90"));
  dialogs_.ExpectBox(QStringLiteral("Nak Retry Count Over"), kNakBoxText, BoxAnswer::kRetry);
  m.gNakRetry = 0;
  fake_.Push("crwSendCommand", CRW_NAK);
  Comu(QStringLiteral("VS"));  // the box leaves both flags set
  ASSERT_EQ(m.gPolling, 1);
  ASSERT_EQ(m.gSendPending, 1);
  fake_.ClearCalls();
  channel_.Timer1_Timer();
  EXPECT_EQ(fake_.Count("crwReceiveResponse"), 1);
  EXPECT_EQ(fake_.Count("crwSendCommand"), 0);
  channel_.Timer1_Timer();
  EXPECT_EQ(fake_.Count("crwSendCommand"), 1);
}

TEST_F(Polling, TheWriteReadTestsClearCommandIgnoresTheSettings) {
  Open();
  mm().gSendCommand = QStringLiteral("CI");
  fake_.Push("crwSendCommand", CRW_NAK);
  fake_.PushReply(QStringLiteral("BCI00"));
  fake_.PushReply(QStringLiteral("R0000"));
  fake_.PushReply(QStringLiteral("ACL12"));  // still running: everything once more
  fake_.PushReply(QStringLiteral("ACL90"));
  channel_.StopTimer();
  channel_.sendCLCommand();
  const auto send = fake_.CallsOf("crwSendCommand");
  ASSERT_EQ(send.size(), 3u);
  EXPECT_EQ(send[0].args, (std::vector<QByteArray>{"3", "3000", "1", "CL", "", "0"}));
  EXPECT_EQ(fake_.CallsOf("crwReceiveResponse")[0].args[3], QByteArray("1"));
  EXPECT_EQ(Log(), (Lines{"CL", "   NAK", "CL", "   ACK", "Poll", "   BCI00", "Poll", "   R0000", "Poll", "   ACL12",
                          "CL", "   ACK", "Poll", "   ACL90"}));
  EXPECT_EQ(view_.Text("TxtSendBox"), "CL");
  EXPECT_EQ(view_.Text("Label39"), "コマンド終了    CL");
  EXPECT_TRUE(mm().gReplyKind.isEmpty());  // the reply fields stay as they were
}

}  // namespace
}  // namespace quorel::testing

// The hand-off's rules without a channel: the cut of a command for the
// library, the wait rules and the job preamble's decision.
#include <gtest/gtest.h>

#include "core/command_handoff.h"
#include "core/cp932_codec.h"
#include "core/job_preamble.h"

namespace quorel {
namespace {

TEST(SplitForSend, TwoCharacterCodeAndTheRestAsParameters) {
  const SplitCommand s = SplitForSend(QStringLiteral("RSS"));
  EXPECT_EQ(s.code, QByteArray("RS"));
  EXPECT_EQ(s.params, QByteArray("S"));
  EXPECT_EQ(s.length, 1);
  const SplitCommand vs = SplitForSend(QStringLiteral("VS"));
  EXPECT_EQ(vs.code, QByteArray("VS"));
  EXPECT_TRUE(vs.params.isEmpty());
  EXPECT_EQ(vs.length, 0);
}

TEST(SplitForSend, ADoubleByteFirstCharacterIsTheWholeCode) {
  const SplitCommand s = SplitForSend(QStringLiteral("亜AB"));
  EXPECT_EQ(s.code, cp932::Encode(QStringLiteral("亜")));
  EXPECT_EQ(s.code.size(), 2);
  EXPECT_EQ(s.params, QByteArray("AB"));
  EXPECT_EQ(s.length, 2);
  EXPECT_EQ(CommandCode(QStringLiteral("亜AB")), QStringLiteral("亜"));
  // Half-width katakana is one byte: an ordinary two-character code.
  EXPECT_EQ(SplitForSend(QStringLiteral("ｱｲｳ")).code.size(), 2);
}

TEST(SplitForSend, HighBytesAndDoubleByteParametersKeepTheirBytes) {
  // "PD" then the raw bytes 80 and FF, then a double-byte character.
  const QString cmd = QStringLiteral("PD") + cp932::ByteChar(0x80) + cp932::ByteChar(0xFF) + QStringLiteral("亜");
  const SplitCommand s = SplitForSend(cmd);
  EXPECT_EQ(s.params, QByteArray("\x80\xFF", 2) + cp932::Encode(QStringLiteral("亜")));
  EXPECT_EQ(s.length, 4);
}

TEST(SplitForSend, ShortCommandsGiveTheLengthTheLibraryRefuses) {
  EXPECT_EQ(SplitForSend(QStringLiteral("V")).length, -1);
  EXPECT_EQ(SplitForSend(QString()).length, -2);
  // A NUL travels as a byte; the library refuses it, not the cut.
  const SplitCommand nul = SplitForSend(QStringLiteral("PD") + QChar(0) + QStringLiteral("A"));
  EXPECT_EQ(nul.params, QByteArray("\0A", 2));
  EXPECT_EQ(nul.length, 2);
}

TEST(WaitRuleFor, ByTheFirstTwoCharacters) {
  EXPECT_EQ(WaitRuleFor(QStringLiteral("RSS"), false), WaitRule::kRestart);
  EXPECT_EQ(WaitRuleFor(QStringLiteral("PD:0/0"), true), WaitRule::kPrintData);
  EXPECT_EQ(WaitRuleFor(QStringLiteral("CI*"), true), WaitRule::kCardIn);
  EXPECT_EQ(WaitRuleFor(QStringLiteral("VS"), true), WaitRule::kRwTest);
  EXPECT_EQ(WaitRuleFor(QStringLiteral("VS"), false), WaitRule::kGeneral);
  EXPECT_EQ(WaitRuleFor(QStringLiteral("rs"), false), WaitRule::kGeneral);
}

const char* CodeOf(WaitRule rule) {
  switch (rule) {
    case WaitRule::kRestart: return "RS";
    case WaitRule::kPrintData: return "PD";
    case WaitRule::kCardIn: return "CI";
    default: return "VS";
  }
}

// A wait in progress: the armed "VS" was sent and a poll is out.
WaitView Busy(const char* armed = "VS") {
  WaitView v;
  v.armedCode = QLatin1String(armed);
  v.currentCode = QLatin1String(armed);
  v.armedSent = true;
  return v;
}

WaitView Reply(const char* kind, const char* echo, const char* status, bool idle, const char* armed = "VS") {
  WaitView v = Busy(armed);
  v.kind = QLatin1String(kind);
  v.echo = QLatin1String(echo);
  v.status = QLatin1String(status);
  v.channelIdle = idle;
  return v;
}

TEST(JudgeWait, ClosingAndAClosedPortEndEveryRule) {
  for (WaitRule rule : {WaitRule::kRestart, WaitRule::kPrintData, WaitRule::kCardIn, WaitRule::kRwTest,
                        WaitRule::kGeneral}) {
    WaitView v = Busy(CodeOf(rule));
    EXPECT_EQ(JudgeWait(rule, v), std::nullopt);
    v.portOpen = false;
    EXPECT_EQ(JudgeWait(rule, v), ComuOutcome::kPortClosed);
    v.closing = true;
    EXPECT_EQ(JudgeWait(rule, v), ComuOutcome::kClosing);
  }
}

TEST(JudgeWait, TwelveMeansStillRunningInEveryRule) {
  for (WaitRule rule : {WaitRule::kPrintData, WaitRule::kCardIn, WaitRule::kRwTest, WaitRule::kGeneral}) {
    const char* code = CodeOf(rule);
    EXPECT_EQ(JudgeWait(rule, Reply("A", code, "12", false, code)), std::nullopt);
    EXPECT_EQ(JudgeWait(rule, Reply("A", code, "90", false, code)), ComuOutcome::kAnswered);
    EXPECT_EQ(JudgeWait(rule, Reply("A", code, "40", false, code)), ComuOutcome::kAnswered);
  }
}

TEST(JudgeWait, AnAOfAnotherCodeEndsTheWaitOnlyOnceTheChannelIsIdle) {
  // The poll a dialog armed for the previous command answers first.
  EXPECT_EQ(JudgeWait(WaitRule::kGeneral, Reply("A", "CI", "90", false)), std::nullopt);
  // Nothing sent yet: even the same code is not the answer.
  WaitView early = Reply("A", "VS", "90", false);
  early.armedSent = false;
  EXPECT_EQ(JudgeWait(WaitRule::kGeneral, early), std::nullopt);
  // Sent, and nothing else will come: the device's answer to it.
  EXPECT_EQ(JudgeWait(WaitRule::kGeneral, Reply("A", "CI", "11", true)), ComuOutcome::kAnswered);
}

TEST(JudgeWait, AnIdleChannelWithoutTheAwaitedReplyAbandonsTheWait) {
  EXPECT_EQ(JudgeWait(WaitRule::kGeneral, Reply("R", "", "00", true)), ComuOutcome::kAbandoned);
  EXPECT_EQ(JudgeWait(WaitRule::kGeneral, Reply("E", "", "", true)), ComuOutcome::kAbandoned);
  EXPECT_EQ(JudgeWait(WaitRule::kRwTest, Reply("R", "", "00", true)), ComuOutcome::kAbandoned);
  EXPECT_EQ(JudgeWait(WaitRule::kPrintData, Reply("E", "", "", true, "PD")), ComuOutcome::kAbandoned);
  EXPECT_EQ(JudgeWait(WaitRule::kCardIn, Reply("E", "", "", true, "CI")), ComuOutcome::kAbandoned);
  // An "E" of a stale poll while the command still waits to be sent is not final.
  EXPECT_EQ(JudgeWait(WaitRule::kGeneral, Reply("E", "", "", false)), std::nullopt);
  EXPECT_EQ(JudgeWait(WaitRule::kCardIn, Reply("B", "CI", "00", false, "CI")), std::nullopt);
}

TEST(JudgeWait, TheGuardReleasedByADialogEndsAllButTheWriteReadTestWait) {
  for (WaitRule rule : {WaitRule::kRestart, WaitRule::kPrintData, WaitRule::kCardIn, WaitRule::kGeneral}) {
    WaitView v = Busy(CodeOf(rule));
    v.guardHeld = false;
    EXPECT_EQ(JudgeWait(rule, v), ComuOutcome::kAbandoned);
  }
  WaitView rw = Busy();
  rw.guardHeld = false;
  EXPECT_EQ(JudgeWait(WaitRule::kRwTest, rw), std::nullopt);
  rw.cancelled = true;
  EXPECT_EQ(JudgeWait(WaitRule::kRwTest, rw), ComuOutcome::kAbandoned);
  rw.stopRequest = true;
  EXPECT_EQ(JudgeWait(WaitRule::kRwTest, rw), ComuOutcome::kStopped);
}

TEST(JudgeWait, StopFlagsEndOnlyTheirWaits) {
  WaitView ci = Busy("CI");
  ci.stopRequest = true;
  EXPECT_EQ(JudgeWait(WaitRule::kCardIn, ci), ComuOutcome::kStopped);
  WaitView vs = Busy();
  vs.stopRequest = true;
  EXPECT_EQ(JudgeWait(WaitRule::kGeneral, vs), std::nullopt);
  vs.dumpStop = true;  // set only when the caller asked for it
  EXPECT_EQ(JudgeWait(WaitRule::kGeneral, vs), ComuOutcome::kStopped);
}

TEST(JudgeWait, PrintDataAndCardInEndWhenTheirCodeIsReplaced) {
  WaitView pd = Busy("PD");
  pd.currentCode = QStringLiteral("CL");
  EXPECT_EQ(JudgeWait(WaitRule::kPrintData, pd), ComuOutcome::kAbandoned);
  WaitView ci = Busy("CI");
  ci.currentCode = QStringLiteral("CL");
  EXPECT_EQ(JudgeWait(WaitRule::kCardIn, ci), ComuOutcome::kAbandoned);
}

TEST(JudgeWait, TheRestartWaitEndsOnTheReadyReportAndKeepsPollingAfterAnAOrAnE) {
  EXPECT_EQ(JudgeWait(WaitRule::kRestart, Reply("R", "", "00", true, "RS")), ComuOutcome::kAnswered);
  // An "R" from before the reset went out is not the ready report.
  WaitView before = Reply("R", "", "00", false, "RS");
  before.armedSent = false;
  EXPECT_EQ(JudgeWait(WaitRule::kRestart, before), std::nullopt);
  EXPECT_FALSE(RestartWaitRearms(before));
  const WaitView a = Reply("A", "RS", "90", true, "RS");
  EXPECT_EQ(JudgeWait(WaitRule::kRestart, a), std::nullopt);
  EXPECT_TRUE(RestartWaitRearms(a));
  EXPECT_FALSE(RestartWaitRearms(Reply("A", "RS", "90", false, "RS")));
  // A garbled reply or a line error while the device reboots: polling goes on.
  const WaitView garbled = Reply("E", "", "", true, "RS");
  EXPECT_EQ(JudgeWait(WaitRule::kRestart, garbled), std::nullopt);
  EXPECT_TRUE(RestartWaitRearms(garbled));
  // The restart itself never went out: nothing will come.
  WaitView unsent = garbled;
  unsent.armedSent = false;
  EXPECT_EQ(JudgeWait(WaitRule::kRestart, unsent), ComuOutcome::kAbandoned);
}

TEST(PreambleCommand, PowerUpGetsPaABusyDeviceGetsCl) {
  EXPECT_EQ(PreambleCommand(QStringLiteral("R"), QStringLiteral("20")), QStringLiteral("PA"));
  EXPECT_EQ(PreambleCommand(QStringLiteral("R"), QStringLiteral("25")), QStringLiteral("PA"));
  EXPECT_EQ(PreambleCommand(QStringLiteral("A"), QStringLiteral("10")), QStringLiteral("PA"));
  EXPECT_EQ(PreambleCommand(QStringLiteral("B"), QString()), QStringLiteral("CL"));
  EXPECT_EQ(PreambleCommand(QStringLiteral("R"), QStringLiteral("00")), QString());
  EXPECT_EQ(PreambleCommand(QStringLiteral("A"), QStringLiteral("90")), QString());
  EXPECT_EQ(PreambleCommand(QStringLiteral("E"), QString()), QString());
  // The console's buttons clear only.
  EXPECT_EQ(PreambleCommand(QStringLiteral("R"), QStringLiteral("20"), false), QString());
  EXPECT_EQ(PreambleCommand(QStringLiteral("B"), QString(), false), QStringLiteral("CL"));
}

}  // namespace
}  // namespace quorel

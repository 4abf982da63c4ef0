// The command-file run without widgets and without a device: how lines are
// read, what the LOOP counter does, which replies the error stop halts on and
// what its three answers do, and the run's refusals and stops.
#include <deque>
#include <functional>
#include <vector>

#include <gtest/gtest.h>

#include "core/main_module.h"
#include "core/message_tables.h"
#include "support/scripted_dialogs.h"
#include "tools/command_file_runner.h"

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
QT_END_NAMESPACE

namespace quorel {
namespace {

using Lines = std::vector<QString>;

// The device: every poll, command and console command in order; commands
// answer from a queue of (outcome, status), else answered with "00".
class FakeDevice : public RunnerDevice {
 public:
  struct Answer {
    ComuOutcome outcome = ComuOutcome::kAnswered;
    QString status = QStringLiteral("00");
  };
  void commIni() override {
    ++opens;
    if (openSucceeds) mm().gPortOpen = -1;
    if (onOpen) onOpen();
  }
  ComuOutcome poll() override {
    events.push_back(QStringLiteral("POLL"));
    return ComuOutcome::kAnswered;
  }
  ComuOutcome comu() override {
    MainModule& m = mm();
    events.push_back(m.gSendCommand);
    Answer a;
    if (!answers.empty()) {
      a = answers.front();
      answers.pop_front();
    }
    if (a.outcome == ComuOutcome::kAnswered) {
      m.gReplyStatus = a.status;
      m.gReplyText = QStringLiteral("A") + m.gSendCommand.left(2) + a.status;
    }
    if (onComu) onComu();
    return a.outcome;
  }
  void SendFromConsole(const QString& command) override { events.push_back(QStringLiteral("console ") + command); }

  Lines events;
  std::deque<Answer> answers;
  int opens = 0;
  bool openSucceeds = true;
  std::function<void()> onComu;
  std::function<void()> onOpen;
};

// The window: what each label showed, in order, and the highlighted lines.
class FakeView : public RunnerView {
 public:
  void ShowLine(int64_t line) override { lines.push_back(line); }
  void ShowLoopCount(int32_t repeat) override { loopCounts.push_back(repeat); }
  void ShowCommand(const QString& text) override { command = text; }
  void ShowWait(const QString& text) override { waits.push_back(text); }
  void Highlight(int64_t line) override { highlighted = line; }
  void Unhighlight() override { highlighted = 0; }
  void ClearHighlights() override { ++clears; }
  bool ErrorStopTicked() const override { return errorStop; }
  bool Apa13IgnoresTicked() const override { return apa13; }

  // The loop count shown whenever line `line` began.
  std::vector<int32_t> CountsAt(int64_t line) const {
    std::vector<int32_t> out;
    for (size_t k = 0; k < lines.size(); ++k)
      if (lines[k] == line) out.push_back(loopCounts[k]);
    return out;
  }

  std::vector<int64_t> lines;
  std::vector<int32_t> loopCounts;
  QString command;
  Lines waits;
  int64_t highlighted = 0;
  int clears = 0;
  bool errorStop = false;
  bool apa13 = false;
};

// Lines joined by CR LF, each followed by one.
QString File(std::initializer_list<const char*> lines) {
  QString text;
  for (const char* l : lines) text += QString::fromUtf8(l) + QStringLiteral("\r\n");
  return text;
}

// The commands sent, without polls and console commands.
Lines Commands(const Lines& events) {
  Lines out;
  for (const QString& e : events)
    if (e != QLatin1String("POLL") && !e.startsWith(QLatin1String("console "))) out.push_back(e);
  return out;
}

class Runner : public ::testing::Test {
 protected:
  void SetUp() override {
    mm() = MainModule{};
    InitMessageTables();
    mm().gPortOpen = -1;
  }
  CommandFileRunner::End Run(const QString& text) { return runner_.Run(text); }

  testing::ScriptedDialogs dialogs_;
  FakeDevice device_;
  FakeView view_;
  CommandFileRunner runner_{device_, view_};
};

TEST(CommandLines, KeywordsAreTheFirstSixColumnsInAnyCaseAndCommandsBeginAtColumnSeven) {
  EXPECT_EQ(ClassifyLine(QStringLiteral("END")), LineKind::kEnd);
  EXPECT_EQ(ClassifyLine(QStringLiteral("endless")), LineKind::kEnd);  // the first three letters decide
  EXPECT_EQ(ClassifyLine(QStringLiteral("Loop")), LineKind::kLoop);
  EXPECT_EQ(ClassifyLine(QStringLiteral("lOoPxxCI")), LineKind::kLoop);
  EXPECT_EQ(ClassifyLine(QStringLiteral("POLL**")), LineKind::kPoll);
  EXPECT_EQ(ClassifyLine(QStringLiteral("wait")), LineKind::kWait);
  EXPECT_EQ(ClassifyLine(QStringLiteral("' note")), LineKind::kComment);
  EXPECT_EQ(ClassifyLine(QStringLiteral("'")), LineKind::kComment);
  // A keyword must start in column 1; the key is only six columns wide.
  EXPECT_EQ(ClassifyLine(QStringLiteral(" END  CI")), LineKind::kCommand);
  EXPECT_EQ(ClassifyLine(QStringLiteral("XXXXXXEND")), LineKind::kCommand);
  // Six characters that form no keyword are skipped; a seventh is the command.
  EXPECT_EQ(ClassifyLine(QStringLiteral("COMAND")), LineKind::kSkip);
  EXPECT_EQ(ClassifyLine(QStringLiteral("COMANDX")), LineKind::kCommand);
  EXPECT_EQ(CommandOf(QStringLiteral("COMANDX")), "X");
  EXPECT_EQ(ClassifyLine(QString()), LineKind::kSkip);
  // Columns are characters, not CP932 bytes.
  EXPECT_EQ(ClassifyLine(QStringLiteral("印字コマンドPC")), LineKind::kCommand);
  EXPECT_EQ(CommandOf(QStringLiteral("印字コマンドPC")), "PC");
  EXPECT_EQ(CommandOf(QStringLiteral("      CI")), "CI");
}

TEST(CommandLines, PrintDataGetsBothMacroExpansionsAndEverythingElseOnlyTheControlMacros) {
  mm() = MainModule{};
  mm().gVersionText = QStringLiteral("V12");
  EXPECT_EQ(ExpandCommand(QStringLiteral("PD:ver$esc$e22lf$")), QStringLiteral("PD:V12\x1b" "e22\n"));
  EXPECT_EQ(ExpandCommand(QStringLiteral("pd:ver$esc$")), QStringLiteral("pd:ver$\x1b"));
  EXPECT_EQ(ExpandCommand(QStringLiteral("MS:ver$si$")), QStringLiteral("MS:ver$\x0f"));
}

TEST(CommandLines, ParameterNumbersAreLeadingDecimalsRoundedHalfToEven) {
  EXPECT_EQ(LeadingDecimal(QStringLiteral("0.2")), 0.2);
  EXPECT_EQ(LeadingDecimal(QStringLiteral("  -1.5sec")), -1.5);
  EXPECT_EQ(LeadingDecimal(QStringLiteral("1e3")), 1000.0);
  EXPECT_EQ(LeadingDecimal(QStringLiteral("x1")), 0.0);
  EXPECT_EQ(LeadingDecimal(QString()), 0.0);
  EXPECT_EQ(LeadingDecimal(QStringLiteral("1e999")), std::numeric_limits<double>::max());
  EXPECT_EQ(LeadingDecimal(QStringLiteral("1e-999")), 0.0);
  EXPECT_EQ(WholeParameter(QStringLiteral("2.5")), 2);
  EXPECT_EQ(WholeParameter(QStringLiteral("3.5")), 4);
  EXPECT_EQ(WholeParameter(QStringLiteral("99999999999")), 2147483647);
  EXPECT_EQ(WholeParameter(QStringLiteral("-99999999999")), -2147483648LL);
}

TEST(CommandLines, OnlyLinesFollowedByCrLfRunAndAtMostThreeHundred) {
  EXPECT_EQ(LineTable::Split(QStringLiteral("      CI")).count(), 0);
  const LineTable t = LineTable::Split(QStringLiteral("A\r\nB\nC\r\nlast"));
  ASSERT_EQ(t.count(), 2);
  EXPECT_EQ(t.at(1), "A");
  EXPECT_EQ(t.at(2), "B\nC");
  EXPECT_EQ(t.at(0), "");
  EXPECT_EQ(t.at(3), "");
  EXPECT_EQ(t.at(-5), "");
  QString many;
  for (int i = 1; i <= 301; ++i) many += QStringLiteral("L%1\r\n").arg(i);
  const LineTable big = LineTable::Split(many);
  EXPECT_EQ(big.count(), 300);
  EXPECT_EQ(big.at(300), "L300");
  EXPECT_EQ(big.at(301), "");
}

TEST(CommandLines, TheLoopCounterRepeatsTheBodyCountTimesAndNeverGoesNegative) {
  // Count 5 from line 10 back to 4: jump with 4 passes left, then 3, 2, 1, out.
  LoopStep s = DecideLoop(10, 4, 5, 0);
  EXPECT_EQ(s.next, 4);
  EXPECT_EQ(s.repeat, 4);
  s = DecideLoop(10, 4, 5, 2);
  EXPECT_EQ(s.next, 4);
  EXPECT_EQ(s.repeat, 1);
  s = DecideLoop(10, 4, 5, 1);
  EXPECT_EQ(s.next, 13);
  EXPECT_EQ(s.repeat, 0);
  for (int64_t count : {1, 0, -7}) {
    s = DecideLoop(10, 4, count, 0);
    EXPECT_EQ(s.next, 13) << count;
    EXPECT_EQ(s.repeat, 0) << count;
  }
  s = DecideLoop(10, -1, 3, 0);
  EXPECT_TRUE(s.endRun);
  s = DecideLoop(10, 4, 2147483647LL + 10, 0);
  EXPECT_EQ(s.repeat, 2147483647);
}

TEST(CommandLines, TheSampleFileIsFourteenLinesEndingInEnd) {
  const LineTable t = LineTable::Split(SampleCommandFile());
  ASSERT_EQ(t.count(), 14);
  EXPECT_EQ(t.at(1), QStringLiteral("' サンプル"));
  EXPECT_EQ(ClassifyLine(t.at(2)), LineKind::kPoll);
  EXPECT_EQ(CommandOf(t.at(7)), QStringLiteral("PD:0/10/50/esc$e22Mivorlf$esc$e11Sample Print"));
  EXPECT_EQ(ClassifyLine(t.at(11)), LineKind::kLoop);
  EXPECT_EQ(t.at(13), "1000");
  EXPECT_EQ(ClassifyLine(t.at(14)), LineKind::kEnd);
}

TEST_F(Runner, CommandsGoOutInOrderAndTheLastLineWithoutCrLfNever) {
  EXPECT_EQ(Run(QStringLiteral("      CI\r\nCOMANDCO\r\n      VS")), CommandFileRunner::End::kFinished);
  EXPECT_EQ(device_.events, (Lines{"CI", "CO"}));
  EXPECT_EQ(view_.lines, (std::vector<int64_t>{1, 2}));
  EXPECT_EQ(view_.command, " CO");
  EXPECT_EQ(view_.clears, 1);
  EXPECT_EQ(view_.highlighted, 0);  // painted back after the last line
}

TEST_F(Runner, LoopCountFiveRunsTheBodyFiveTimesCountingDownOnTheLabel) {
  EXPECT_EQ(Run(File({"      CI", "LOOP", "1", "5", "      CO"})), CommandFileRunner::End::kFinished);
  EXPECT_EQ(Commands(device_.events), (Lines{"CI", "CI", "CI", "CI", "CI", "CO"}));
  EXPECT_EQ(view_.CountsAt(1), (std::vector<int32_t>{0, 4, 3, 2, 1}));
  EXPECT_EQ(view_.CountsAt(5), (std::vector<int32_t>{0}));
}

TEST_F(Runner, ALoopWithCountZeroLeavesTheNextLoopItsFullCount) {
  EXPECT_EQ(Run(File({"      CI", "LOOP", "1", "0", "      CO", "LOOP", "5", "3"})), CommandFileRunner::End::kFinished);
  EXPECT_EQ(Commands(device_.events), (Lines{"CI", "CO", "CO", "CO"}));
}

TEST_F(Runner, LoopCountsThatAreOneEmptyOrNoNumberDoNotJump) {
  for (const char* count : {"1", "0", "", "many", "-3"}) {
    device_.events.clear();
    Run(File({"      CI", "loop", "1", count, "      CO"}));
    EXPECT_EQ(Commands(device_.events), (Lines{"CI", "CO"})) << count;
  }
  device_.events.clear();
  Run(File({"      CI", "LOOP", "1", "2.5", "      CO"}));  // 2.5 is 2: halves go to even
  EXPECT_EQ(Commands(device_.events), (Lines{"CI", "CI", "CO"}));
}

TEST_F(Runner, TargetsAndParametersBeyondTheTableEndTheRun) {
  EXPECT_EQ(Run(File({"      CI", "LOOP", "400", "3", "      CO"})), CommandFileRunner::End::kFinished);
  EXPECT_EQ(Commands(device_.events), (Lines{"CI"}));
  device_.events.clear();
  EXPECT_EQ(Run(File({"      CI", "LOOP", "-2", "3", "      CO"})), CommandFileRunner::End::kFinished);
  EXPECT_EQ(Commands(device_.events), (Lines{"CI"}));
  // The parameter lines would lie beyond the table: empty, so no jump and no wait.
  device_.events.clear();
  EXPECT_EQ(Run(File({"      CI", "LOOP"})), CommandFileRunner::End::kFinished);
  EXPECT_EQ(Run(File({"      CI", "WAIT"})), CommandFileRunner::End::kFinished);
  EXPECT_EQ(view_.waits.front(), "");
  // A file of 300 lines whose LOOP is the last stored one.
  QString text;
  for (int i = 1; i < 300; ++i) text += QStringLiteral("'\r\n");
  text += QStringLiteral("LOOP\r\n1\r\n3\r\n");
  EXPECT_EQ(Run(text), CommandFileRunner::End::kFinished);
}

TEST_F(Runner, EndCommentPollAndWaitLines) {
  EXPECT_EQ(Run(File({"' a comment", "POLL", "wait", "0.01", "      VS", "END", "      CO"})),
            CommandFileRunner::End::kEndLine);
  EXPECT_EQ(device_.events, (Lines{"POLL", "VS"}));
  EXPECT_EQ(view_.command, " end");
  EXPECT_EQ(view_.highlighted, 6);  // the END line stays marked
  ASSERT_FALSE(view_.waits.empty());
  EXPECT_EQ(view_.waits.front(), "0.01");
  EXPECT_EQ(mm().gShowCountdown, 0);
}

TEST_F(Runner, AClosedPortIsOpenedAndPolledAndOneThatStaysClosedIsReported) {
  mm().gPortOpen = 0;
  EXPECT_EQ(Run(File({"      VS"})), CommandFileRunner::End::kFinished);
  EXPECT_EQ(device_.events, (Lines{"POLL", "VS"}));
  mm().gPortOpen = 0;
  device_.openSucceeds = false;
  device_.events.clear();
  dialogs_.ExpectBox(QStringLiteral("通信エラー"),
                     QStringLiteral("通信できません！\r\n通信設定やケーブルを見直してください。"), BoxAnswer::kOk);
  EXPECT_EQ(Run(File({"      VS"})), CommandFileRunner::End::kNoPort);
  EXPECT_TRUE(device_.events.empty());
  EXPECT_EQ(dialogs_.recorded().at(0).icon, BoxIcon::kCritical);
}

TEST_F(Runner, TheErrorStopPassesStatusesZeroAndNineAndThirteenOnlyWhenIgnored) {
  EXPECT_FALSE(ErrorStopHalts(ComuOutcome::kAnswered, QStringLiteral("00"), false));
  EXPECT_FALSE(ErrorStopHalts(ComuOutcome::kAnswered, QStringLiteral("90"), false));
  EXPECT_FALSE(ErrorStopHalts(ComuOutcome::kAnswered, QStringLiteral("13"), true));
  EXPECT_TRUE(ErrorStopHalts(ComuOutcome::kAnswered, QStringLiteral("13"), false));
  EXPECT_TRUE(ErrorStopHalts(ComuOutcome::kAnswered, QStringLiteral("25"), true));
  EXPECT_TRUE(ErrorStopHalts(ComuOutcome::kAnswered, QString(), false));
  // Refused or given up: no reply of this command, never a success.
  EXPECT_TRUE(ErrorStopHalts(ComuOutcome::kBusy, QStringLiteral("00"), false));
  EXPECT_TRUE(ErrorStopHalts(ComuOutcome::kAbandoned, QStringLiteral("00"), false));
  // Stops and a closed port end the run without a box.
  EXPECT_FALSE(ErrorStopHalts(ComuOutcome::kStopped, QStringLiteral("25"), false));
  EXPECT_FALSE(ErrorStopHalts(ComuOutcome::kPortClosed, QStringLiteral("25"), false));
  EXPECT_FALSE(ErrorStopHalts(ComuOutcome::kClosing, QStringLiteral("25"), false));
  EXPECT_EQ(ErrorStopText(QStringLiteral("ACI25")),
            QStringLiteral("エラー発生 \"ACI25\"\r\n\r\n[キャンセル]終了 / [再試行]続行 / [無視]無視"));
}

TEST_F(Runner, RetryResendsTheSameCommandIgnoreGoesOnAbortEndsTheRun) {
  view_.errorStop = true;
  const QString file = File({"      PD:ver$", "      CO"});
  mm().gVersionText = QStringLiteral("V1");
  // Retry: the same line expanded and sent again.
  device_.answers = {{ComuOutcome::kAnswered, QStringLiteral("25")}, {}};
  dialogs_.ExpectBox(QStringLiteral("Error Stop"), ErrorStopText(QStringLiteral("APD25")), BoxAnswer::kRetry);
  EXPECT_EQ(Run(file), CommandFileRunner::End::kFinished);
  EXPECT_EQ(device_.events, (Lines{"PD:V1", "PD:V1", "CO"}));
  EXPECT_EQ(dialogs_.recorded().back().icon, BoxIcon::kExclamation);
  EXPECT_EQ(dialogs_.recorded().back().buttons, BoxButtons::kAbortRetryIgnore);
  // Ignore: on to the next line.
  device_.events.clear();
  device_.answers = {{ComuOutcome::kAnswered, QStringLiteral("25")}};
  dialogs_.ExpectBox(QStringLiteral("Error Stop"), ErrorStopText(QStringLiteral("APD25")), BoxAnswer::kIgnore);
  EXPECT_EQ(Run(file), CommandFileRunner::End::kFinished);
  EXPECT_EQ(device_.events, (Lines{"PD:V1", "CO"}));
  // Abort: nothing more is sent.
  device_.events.clear();
  device_.answers = {{ComuOutcome::kAnswered, QStringLiteral("25")}};
  dialogs_.ExpectBox(QStringLiteral("Error Stop"), ErrorStopText(QStringLiteral("APD25")), BoxAnswer::kAbort);
  EXPECT_EQ(Run(file), CommandFileRunner::End::kAborted);
  EXPECT_EQ(device_.events, (Lines{"PD:V1"}));
  // Without the error stop every reply is accepted.
  view_.errorStop = false;
  device_.events.clear();
  device_.answers = {{ComuOutcome::kAnswered, QStringLiteral("25")}};
  EXPECT_EQ(Run(file), CommandFileRunner::End::kFinished);
  EXPECT_EQ(device_.events, (Lines{"PD:V1", "CO"}));
}

TEST_F(Runner, ThirteenPassesWithApa13AndARefusedCommandIsAnErrorWithoutAReply) {
  view_.errorStop = true;
  view_.apa13 = true;
  device_.answers = {{ComuOutcome::kAnswered, QStringLiteral("13")}};
  EXPECT_EQ(Run(File({"      CI", "      CO"})), CommandFileRunner::End::kFinished);
  EXPECT_EQ(dialogs_.recorded().size(), 0u);
  // Another window holds the channel: the reply fields are not this command's.
  mm().gReplyText = QStringLiteral("AVS90old");
  device_.events.clear();
  device_.answers = {{ComuOutcome::kBusy, QString()}};
  dialogs_.ExpectBox(QStringLiteral("Error Stop"), ErrorStopText(QString()), BoxAnswer::kAbort);
  EXPECT_EQ(Run(File({"      CI", "      CO"})), CommandFileRunner::End::kAborted);
  EXPECT_EQ(device_.events, (Lines{"CI"}));
}

TEST_F(Runner, ASecondRunWhileOneRunsIsRefused) {
  CommandFileRunner::End inner = CommandFileRunner::End::kFinished;
  device_.onComu = [&] {
    device_.onComu = nullptr;
    inner = runner_.Run(File({"      ST"}));
  };
  EXPECT_EQ(Run(File({"      CI", "      CO"})), CommandFileRunner::End::kFinished);
  EXPECT_EQ(inner, CommandFileRunner::End::kRefused);
  EXPECT_EQ(device_.events, (Lines{"CI", "CO"}));
  EXPECT_FALSE(runner_.running());
  mm().gResetWaiting = -1;
  EXPECT_EQ(Run(File({"      CI"})), CommandFileRunner::End::kRefused);
}

TEST_F(Runner, AbortPollsSendsClearFromTheConsoleAndStopsTheRunAfterItsLine) {
  device_.onComu = [&] {
    device_.onComu = nullptr;
    runner_.Abort();
  };
  EXPECT_EQ(Run(File({"      CI", "      CO"})), CommandFileRunner::End::kStopped);
  EXPECT_EQ(device_.events, (Lines{"CI", "POLL", "console CL"}));
  EXPECT_EQ(mm().gStopRequest, 1);
  // A second abort does nothing while the stop stands; a run clears it.
  device_.events.clear();
  runner_.Abort();
  EXPECT_TRUE(device_.events.empty());
  EXPECT_EQ(Run(File({"      CI"})), CommandFileRunner::End::kFinished);
  EXPECT_EQ(mm().gStopRequest, 0);
}

TEST_F(Runner, AnAbortWhileTheRunOpensThePortCounts) {
  mm().gPortOpen = 0;
  mm().gStopRequest = 1;  // left by an earlier abort: a new run clears it
  device_.onOpen = [&] { runner_.Abort(); };
  EXPECT_EQ(Run(File({"      CI"})), CommandFileRunner::End::kStopped);
  EXPECT_EQ(device_.events, (Lines{"POLL", "console CL", "POLL"}));
}

TEST_F(Runner, APortClosedOrTheProgramClosingEndsTheRunAfterTheLine) {
  device_.onComu = [] { mm().gPortOpen = 0; };
  EXPECT_EQ(Run(File({"      CI", "      CO"})), CommandFileRunner::End::kPortClosed);
  EXPECT_EQ(device_.events, (Lines{"CI"}));
  mm().gPortOpen = -1;
  device_.events.clear();
  device_.onComu = [] { mm().gAppClosing = 1; };
  EXPECT_EQ(Run(File({"      CI", "      CO"})), CommandFileRunner::End::kClosing);
  EXPECT_EQ(device_.events, (Lines{"CI"}));
}

}  // namespace
}  // namespace quorel

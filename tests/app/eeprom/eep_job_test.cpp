// The job frame of the EEPROM window on scripted forwarders and a table of
// controls: the preamble table, the restart-wait guard, the busy depth of
// nested handlers, replies that comu did not answer, the model question,
// the information read's order and its flag, and the end of jobs when the
// window closes.
#include "eeprom/eep_job.h"

#include <gtest/gtest.h>

#include "core/main_module.h"
#include "eeprom/eep_frame.h"
#include "fake_eep_channel.h"
#include "main/fake_controls.h"
#include "support/scripted_dialogs.h"

namespace quorel::eep {
namespace {

using testing::FakeControls;
using testing::FakeEepChannel;
using testing::ScriptedDialogs;

const QString kModelQuestion = QStringLiteral("機種が該当しないと思われますが実行されますか？");
const QString kCommError = QStringLiteral("通信できません！\r\n通信設定やケーブルを見直してください。");

class JobFrame : public ::testing::Test {
 protected:
  void SetUp() override {
    mm() = MainModule{};
    mm().gPortOpen = -1;
    jobs_.SetBusyDisplay([this](bool busy) {
      frame_.ShowBusy(busy);
      busyShows_.push_back(busy);
    });
  }
  std::vector<QString> Sent() const { return channel_.sent; }
  bool TabsEnabled() const { return ui_.Enabled(QStringLiteral("SSTabEEP")); }
  // A handler that sends one command in its own job (a reader, say).
  std::function<void(Family)> Sends(const QString& command) {
    return [this, command](Family) { jobs_.Run(kFullJob, [command](EepJob& job) { job.Send(command); }); };
  }

  ScriptedDialogs dialogs_;
  FakeEepChannel channel_;
  FakeControls ui_;
  EepJobRunner jobs_{channel_};
  EepFrame frame_{ui_, jobs_};
  std::vector<bool> busyShows_;
};

TEST_F(JobFrame, PreambleFollowsTheLastReply) {
  struct Case {
    const char* kind;
    const char* status;
    const char* preamble;
  };
  const Case kCases[] = {{"R", "20", "PA"}, {"R", "2A", "PA"}, {"A", "10", "PA"}, {"B", "00", "CL"},
                         {"A", "90", ""},   {"R", "00", ""},   {"R", "12", ""},   {"E", "", ""}};
  for (const Case& c : kCases) {
    channel_.sent.clear();
    mm().gReplyKind = QString::fromLatin1(c.kind);
    mm().gReplyStatus = QString::fromLatin1(c.status);
    frame_.HeadLift(1);
    std::vector<QString> want;
    if (*c.preamble) want.push_back(QString::fromLatin1(c.preamble));
    want.push_back(QStringLiteral("!!h1"));
    EXPECT_EQ(want, Sent()) << c.kind << c.status;
  }
  // The port was open: no poll, the preamble judged the reply left over.
  EXPECT_EQ(0, channel_.polls);
  EXPECT_EQ(0, channel_.opens);
}

TEST_F(JobFrame, ResetSendsNoPreambleAndHeadLiftNumbersItsPosition) {
  mm().gReplyKind = QStringLiteral("R");
  mm().gReplyStatus = QStringLiteral("20");
  channel_.Script(QStringLiteral("R2000"));  // ready again, after a power-up
  frame_.ResetCommand(1);
  frame_.HeadLift(0);
  EXPECT_EQ((std::vector<QString>{"RS", "PA", "!!h0"}), Sent());
  channel_.sent.clear();
  frame_.ResetMouseUp(0, 1);  // the left button's release does nothing
  frame_.ResetMouseUp(0, 2);
  EXPECT_EQ((std::vector<QString>{"RSS"}), Sent());
}

TEST_F(JobFrame, RestartWaitSendsNothingButTheRightButtonsRss) {
  mm().gResetWaiting = -1;
  ui_.SetEnabled(QStringLiteral("SSTabEEP"), -1, true);
  frame_.InformationRead(Family::kMivor);
  frame_.ResetCommand(0);
  frame_.HeadLift(2);
  EXPECT_TRUE(Sent().empty());
  EXPECT_TRUE(busyShows_.empty());  // the tab strip was left as it was
  frame_.ResetMouseUp(2, 2);
  EXPECT_EQ((std::vector<QString>{"RSS"}), Sent());
  EXPECT_TRUE(busyShows_.empty());  // "RSS" sets no busy state
}

TEST_F(JobFrame, ClosedPortIsOpenedAndPolledOnce) {
  mm().gPortOpen = 0;
  channel_.pollReply = QStringLiteral("R2000");  // a power-up
  frame_.HeadLift(1);
  EXPECT_EQ(1, channel_.opens);
  EXPECT_EQ(1, channel_.polls);
  EXPECT_EQ((std::vector<QString>{"PA", "!!h1"}), Sent());
}

TEST_F(JobFrame, UnopenablePortShowsTheBoxOnceAndSendsNothing) {
  mm().gPortOpen = 0;
  channel_.portOpens = false;
  dialogs_.ExpectBox(QStringLiteral("通信エラー"), kCommError, BoxAnswer::kOk);
  frame_.InformationRead(Family::kDastel);
  EXPECT_TRUE(Sent().empty());
  EXPECT_EQ(0, channel_.polls);
  EXPECT_TRUE(TabsEnabled());
  EXPECT_EQ((std::vector<bool>{true, false}), busyShows_);
}

TEST_F(JobFrame, NestedHandlersKeepTheBusyStateUntilTheOutermostEnds) {
  std::vector<bool> tabsDuring;
  const auto record = [&] {
    tabsDuring.push_back(TabsEnabled() || ui_.Enabled(QStringLiteral("EEPROMImport")) ||
                         ui_.Enabled(QStringLiteral("EEPROMExport")));
  };
  frame_.handlers().counters = [&](Family f) {
    Sends(QStringLiteral("CT:a"))(f);
    record();
    frame_.HeadLift(1);  // a handler run from inside another
    record();
  };
  frame_.handlers().settings = [&](Family f) {
    Sends(QStringLiteral("TH"))(f);
    record();
  };
  frame_.handlers().allRows = [&](Family f) {
    record();
    Sends(QStringLiteral("eer:00/10"))(f);
  };
  channel_.Script(QStringLiteral("AVS90Mivor07.02"));
  frame_.InformationRead(Family::kMivor);
  EXPECT_EQ((std::vector<QString>{"VS", "CT:a", "!!h1", "TH", "eer:00/10"}), Sent());
  EXPECT_EQ((std::vector<bool>{false, false, false, false}), tabsDuring);
  EXPECT_TRUE(TabsEnabled());
  EXPECT_TRUE(ui_.Enabled(QStringLiteral("EEPROMImport")));
  EXPECT_EQ((std::vector<bool>{true, false}), busyShows_);  // once on, once off
  // The information read chose "Read" before the rows.
  EXPECT_EQ(1, ui_.Value(QStringLiteral("OpEEPAllRdWr_Mivor"), 0));
}

TEST_F(JobFrame, DisplayClearInsideAJobKeepsTheBusyState) {
  jobs_.Run(kFullJob, [&](EepJob&) {
    frame_.DisplayClear(2);
    EXPECT_FALSE(TabsEnabled());
  });
  EXPECT_TRUE(TabsEnabled());
  EXPECT_TRUE(Sent().empty());
}

TEST_F(JobFrame, ARefusedOrUnansweredCommandReadsAsATimeOut) {
  // What an earlier exchange left in the shared fields must not count.
  mm().gVersionText = QStringLiteral("Mivor07.02");
  mm().gReplyText = QStringLiteral("AVS90Mivor07.02");
  channel_.Script(QString(), ComuOutcome::kBusy);
  dialogs_.ExpectBox(QStringLiteral("EEPROM Mivor"), kModelQuestion, BoxAnswer::kCancel);
  QString version = QStringLiteral("unset");
  jobs_.Run(kFullJob, [&](EepJob& job) {
    EXPECT_EQ(ModelAnswer::kCancelled, job.CheckModel(Family::kMivor, ModelCheck::kInformationRead, false));
    version = job.version();
    EXPECT_EQ(QStringLiteral("E"), job.reply().kind);
    EXPECT_EQ(QString(), job.text());
  });
  EXPECT_EQ(QString(), version);
  // The other Mivor handlers take an empty version without a question.
  channel_.Script(QString(), ComuOutcome::kAbandoned);
  jobs_.Run(kFullJob, [&](EepJob& job) {
    EXPECT_EQ(ModelAnswer::kFits, job.CheckModel(Family::kMivor, ModelCheck::kOtherHandlers, false));
  });
  // A "VS" answered with another status gives no version either.
  channel_.Script(QStringLiteral("AVS14"));
  jobs_.Run(kFullJob, [&](EepJob& job) {
    job.CheckModel(Family::kMivor, ModelCheck::kOtherHandlers, false);
    EXPECT_EQ(QString(), job.version());
    EXPECT_EQ(QStringLiteral("AVS14"), job.text());
  });
}

TEST_F(JobFrame, ACommandRefusedWhileAnotherWaitsIsNotJudgedOnThatOnesReply) {
  channel_.during = [&](const QString& command) {
    if (command != QLatin1String("!!h1")) return;
    // Another handler of the window runs while "!!h1" waits.
    jobs_.Run(kFullJob, [&](EepJob& job) {
      job.Send(QStringLiteral("eer:20/01"));
      EXPECT_EQ(ComuOutcome::kBusy, job.reply().outcome);
      EXPECT_EQ(QString(), job.text());
    });
  };
  frame_.HeadLift(1);
  EXPECT_EQ((std::vector<QString>{"!!h1"}), Sent());
  EXPECT_EQ((std::vector<QString>{"eer:20/01"}), channel_.refused);
}

TEST_F(JobFrame, InformationReadAsksOnceAndHoldsTheFlagOnlyWhileItRuns) {
  std::vector<bool> flagDuring;
  frame_.handlers().counters = [&](Family f) { flagDuring.push_back(frame_.SkipModelCheck(f)); };
  frame_.handlers().allRows = [&](Family f) { flagDuring.push_back(frame_.SkipModelCheck(f)); };
  // A Dastel device on the Quenby tab, accepted.
  channel_.Script(QStringLiteral("AVS903D10 V2.10"));
  dialogs_.ExpectBox(QStringLiteral("EEPROM Holdt / Quenby"), kModelQuestion, BoxAnswer::kOk);
  frame_.InformationRead(Family::kQuenby);
  EXPECT_EQ((std::vector<bool>{true, true}), flagDuring);
  EXPECT_FALSE(frame_.SkipModelCheck(Family::kQuenby));
  // A matching device: no question, and the flag stays down.
  flagDuring.clear();
  channel_.Script(QStringLiteral("AVS909Q10 V1.03"));
  frame_.InformationRead(Family::kQuenby);
  EXPECT_EQ((std::vector<bool>{false, false}), flagDuring);
  // Cancel: nothing after "VS", the tab strip back.
  flagDuring.clear();
  channel_.sent.clear();
  channel_.Script(QStringLiteral("AVS907ABC"));
  dialogs_.ExpectBox(QStringLiteral("EEPROM Mivor"), kModelQuestion, BoxAnswer::kCancel);
  frame_.InformationRead(Family::kMivor);
  EXPECT_TRUE(flagDuring.empty());
  EXPECT_EQ((std::vector<QString>{"VS"}), Sent());
  EXPECT_TRUE(TabsEnabled());
  EXPECT_FALSE(frame_.SkipModelCheck(Family::kMivor));
}

TEST_F(JobFrame, OtherHandlersCheckTheirFamilyByTheirOwnRule) {
  const auto check = [this](Family f, const char* version, bool report) {
    channel_.Script(QStringLiteral("AVS90") + QString::fromLatin1(version));
    ModelAnswer answer = ModelAnswer::kCancelled;
    jobs_.Run(kFullJob, [&](EepJob& job) {
      answer = report ? frame_.CheckReportFamily(job, f) : frame_.CheckFamily(job, f);
    });
    return answer;
  };
  // A Mivor handler takes a version of no family, and shows it first.
  EXPECT_EQ(ModelAnswer::kFits, check(Family::kMivor, "7ABC", false));
  EXPECT_EQ(QStringLiteral("7ABC"), ui_.Text(QStringLiteral("lbStatus_Mivor"), 4));
  EXPECT_EQ(QStringLiteral("7ABC"), ui_.ToolTip(QStringLiteral("lbStatus_Mivor"), 4));
  dialogs_.ExpectBox(QStringLiteral("EEPROM Mivor"), kModelQuestion, BoxAnswer::kCancel);
  EXPECT_EQ(ModelAnswer::kCancelled, check(Family::kMivor, "1450", false));
  EXPECT_EQ(QStringLiteral("1450"), ui_.Text(QStringLiteral("lbStatus_Mivor"), 4));
  // Dastel: any "4" passes its handlers, only "4211" its report.
  EXPECT_EQ(ModelAnswer::kFits, check(Family::kDastel, "4100", false));
  dialogs_.ExpectBox(QStringLiteral("EEPROM Dastel"), kModelQuestion, BoxAnswer::kOk);
  EXPECT_EQ(ModelAnswer::kAccepted, check(Family::kDastel, "4100", true));
  EXPECT_EQ(QStringLiteral("4100"), ui_.Text(QStringLiteral("lbStatus_Dastel"), 3));
  EXPECT_EQ(QString(), ui_.Text(QStringLiteral("lbStatus_Mivor"), 3));
  // During the family's information read, accepted once: no second question.
  frame_.handlers().counters = [&](Family f) { EXPECT_EQ(ModelAnswer::kAccepted, check(f, "5120", false)); };
  channel_.Script(QStringLiteral("AVS905120"));
  dialogs_.ExpectBox(QStringLiteral("EEPROM Holdt / Quenby"), kModelQuestion, BoxAnswer::kOk);
  frame_.InformationRead(Family::kQuenby);
  EXPECT_EQ(0u, dialogs_.pending());
}

TEST_F(JobFrame, TheWordFamilyReadClearsItsOwnTabOnly) {
  for (const char* name : {"TxtEEPALL_Mivor", "TxtEEPALL_Dastel", "TxtEEPALL_Quenby"})
    ui_.SetText(QString::fromLatin1(name), 0, QStringLiteral("old"));
  ui_.SetText(QStringLiteral("EEPkoumoku_Dastel"), 1, QStringLiteral("ﾊﾟｽ回数"));
  ui_.SetText(QStringLiteral("lbStatus_Quenby"), 5, QStringLiteral(" RE"));
  ui_.SetVisible(QStringLiteral("ShpTPHRank"), 4, true);
  channel_.Script(QStringLiteral("AVS909Q10 V1.03"));
  frame_.InformationRead(Family::kQuenby);
  EXPECT_EQ(QString(), ui_.Text(QStringLiteral("TxtEEPALL_Quenby"), 0));
  EXPECT_EQ(QString(), ui_.Text(QStringLiteral("EEPkoumoku_Dastel"), 1));
  EXPECT_EQ(QString(), ui_.Text(QStringLiteral("lbStatus_Quenby"), 5));
  EXPECT_EQ(QStringLiteral("old"), ui_.Text(QStringLiteral("TxtEEPALL_Mivor"), 0));
  EXPECT_EQ(QStringLiteral("old"), ui_.Text(QStringLiteral("TxtEEPALL_Dastel"), 0));
  EXPECT_TRUE(ui_.Visible(QStringLiteral("ShpTPHRank"), 4));
}

TEST_F(JobFrame, DisplayClearOfASharedTabClearsAllThreeAndTheRankMarks) {
  for (const char* name : {"TxtEEPALL_Mivor", "TxtEEPALL_Dastel", "TxtEEPALL_Folsk"})
    ui_.SetText(QString::fromLatin1(name), 3, QStringLiteral("old"));
  ui_.SetVisible(QStringLiteral("ShpErRank"), 5, true);
  ui_.SetText(QStringLiteral("EEPSetLabel_Mivor"), 6, QStringLiteral("3"));
  frame_.DisplayClear(2);
  EXPECT_EQ(QString(), ui_.Text(QStringLiteral("TxtEEPALL_Dastel"), 3));
  EXPECT_EQ(QString(), ui_.Text(QStringLiteral("TxtEEPALL_Folsk"), 3));
  EXPECT_EQ(QStringLiteral("0x30～0x3Fのアドレスを") + QStringLiteral("Read/Write操作します"),
            ui_.ToolTip(QStringLiteral("CmdEEPAd_Folsk"), 3));
  EXPECT_EQ(QStringLiteral("old"), ui_.Text(QStringLiteral("TxtEEPALL_Mivor"), 3));
  EXPECT_FALSE(ui_.Visible(QStringLiteral("ShpErRank"), 5));
  EXPECT_EQ(QStringLiteral("3"), ui_.Text(QStringLiteral("EEPSetLabel_Mivor"), 6));  // 5 to 8 keep theirs
  EXPECT_TRUE(Sent().empty());
}

TEST_F(JobFrame, AClosingWindowEndsEveryJobAtTheNextCommand) {
  int unwound = 0;
  jobs_.SetOnUnwound([&] { ++unwound; });
  frame_.handlers().counters = Sends(QStringLiteral("CT:a"));
  frame_.handlers().settings = Sends(QStringLiteral("TH"));
  channel_.during = [&](const QString& command) {
    if (command == QLatin1String("CT:a")) jobs_.RequestEnd();  // the window closes meanwhile
  };
  channel_.Script(QStringLiteral("AVS90Mivor07.02"));
  frame_.InformationRead(Family::kMivor);
  EXPECT_EQ((std::vector<QString>{"VS", "CT:a"}), Sent());
  EXPECT_EQ(1, unwound);
  EXPECT_EQ(0, jobs_.depth());
  EXPECT_TRUE(TabsEnabled());
  // Nothing starts any more.
  frame_.HeadLift(1);
  EXPECT_EQ(2u, Sent().size());
}

TEST_F(JobFrame, EnterInTheCounterValueBoxWrites) {
  std::vector<Family> writes;
  frame_.handlers().counterWrite = [&](Family f) { writes.push_back(f); };
  frame_.CounterKeyPress(Family::kFolsk, 65);
  frame_.CounterKeyPress(Family::kFolsk, 13);
  EXPECT_EQ((std::vector<Family>{Family::kFolsk}), writes);
}

}  // namespace
}  // namespace quorel::eep

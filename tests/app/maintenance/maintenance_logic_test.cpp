// The service buttons Command2 and the counter readout Command34 on a table
// of controls and a scripted device: the commands each press sends, the
// displays it fills, the confirmation, the two loops and the one busy mark.
#include <gtest/gtest.h>

#include "core/maintenance_commands.h"
#include "core/message_tables.h"
#include "core/versions.h"
#include "main/fake_controls.h"
#include "scripted_host.h"
#include "support/scripted_dialogs.h"

namespace quorel::testing {
namespace {

using Sent = std::vector<QString>;

const QString kTh = QStringLiteral("ATH905251214328A31");
const QString kConfirm = QStringLiteral("EEPROM内容を変更しますか ?");

class Maintenance : public ::testing::Test {
 protected:
  void SetUp() override {
    FreshStateWithOpenPort();
    mm().gReplyStatus = QStringLiteral("90");
    ui_.SetText(QStringLiteral("Command2"), 5, QStringLiteral("時計確認"));
    ui_.SetText(QStringLiteral("Command2"), 9, QStringLiteral("ｾﾝｻｰ電圧"));
    host_.device = [this](const QString& c) { return Reply(c); };
    buttons_.SetLoopPause(0.01f);
    buttons_.SetLoopStyle([this](bool running) { styles_.push_back(running); });
  }

  QString Reply(const QString& c) {
    if (c == QLatin1String("VS")) return QStringLiteral("AVS90") + version_;
    if (c == QLatin1String("RE")) return QStringLiteral("ARE900102");
    if (c == QLatin1String("TH")) return kTh;
    if (c == QLatin1String("CK")) return QStringLiteral("ACK9024030300070509");
    if (c == QLatin1String("!!s")) return QStringLiteral("A!!90A8C4379B42FF");
    if (c.startsWith(QLatin1String("CT:"))) return QStringLiteral("ACT9000") + c.right(1) + QStringLiteral("0001A");
    return QStringLiteral("A") + c.left(2) + QStringLiteral("90");
  }
  Sent Press(int index) {
    const size_t from = host_.sent.size();
    buttons_.Command2_Click(index);
    EXPECT_EQ(busy_, 0);
    return host_.SentFrom(from);
  }
  QStringList CounterLines() const { return ui_.Text(QStringLiteral("LbEEPForm")).split(QStringLiteral("\r\n")); }

  QString version_ = QStringLiteral("Mivor V1.20");
  ScriptedDialogs dialogs_;
  FakeControls ui_;
  ScriptedHost host_{ui_};
  int16_t busy_ = 0;
  MaintenanceCommands buttons_{ui_, host_, busy_};
  std::vector<bool> styles_;
};

TEST_F(Maintenance, HeadPowerWithAutoCheckReadsTheHeadDataBack) {
  ui_.SetText(QStringLiteral("TxtPWETSend"), 0, QStringLiteral(" 12 "));
  EXPECT_EQ(Press(0), (Sent{"PW:12"}));
  ui_.SetValue(QStringLiteral("ChkPWETAuto"), 1);
  EXPECT_EQ(Press(0), (Sent{"PW:12", "VS", "RE", "TH"}));
  EXPECT_EQ(ui_.Text(QStringLiteral("LbTH"), 0), QStringLiteral("5251214328A31"));
  EXPECT_EQ(ui_.ToolTip(QStringLiteral("LbTH"), 0), QStringLiteral("5251214328A31"));
  EXPECT_TRUE(ui_.Text(QStringLiteral("LbTH"), 1).startsWith(QLatin1String(" TPHRank: 5(")));
  EXPECT_EQ(ui_.Text(QStringLiteral("TxtPWETSend"), 3), QStringLiteral("1214"));
  EXPECT_EQ(mm().gThPw1, QStringLiteral("12"));
}

TEST_F(Maintenance, EraseValueWithAutoCheckReadsItBack) {
  ui_.SetText(QStringLiteral("TxtPWETSend"), 1, QStringLiteral("0A0B  "));
  ui_.SetValue(QStringLiteral("ChkPWETAuto"), 1);
  EXPECT_EQ(Press(1), (Sent{"ET:0A0B", "RE"}));
  EXPECT_EQ(ui_.Text(QStringLiteral("TxtPWETSend"), 2), QStringLiteral("0102"));
  EXPECT_EQ(ui_.ToolTip(QStringLiteral("TxtPWETSend"), 2), QStringLiteral("0102"));
  // "RE" alone shows its reply whatever the end code; no reply, nothing.
  host_.device = [](const QString&) { return QStringLiteral("ARE14"); };
  EXPECT_EQ(Press(3), (Sent{"RE"}));
  EXPECT_EQ(ui_.Text(QStringLiteral("TxtPWETSend"), 2), QString());
  host_.device = [](const QString&) { return QString(); };
  EXPECT_EQ(Press(3), (Sent{"RE"}));
  EXPECT_EQ(ui_.Text(QStringLiteral("TxtPWETSend"), 2), QString());
}

TEST_F(Maintenance, AnErrorReplyToThIsShownWholeAndStoredNowhere) {
  EXPECT_EQ(Press(8), (Sent{"VS", "RE", "TH"}));
  ASSERT_EQ(mm().gThPw2, QStringLiteral("14"));
  for (const QString& bad : {QStringLiteral("ATH50"), QStringLiteral("ATH509999999999999")}) {
    host_.device = [this, bad](const QString& c) { return c == QLatin1String("TH") ? bad : Reply(c); };
    EXPECT_EQ(Press(8), (Sent{"VS", "RE", "TH"}));
    EXPECT_EQ(ui_.Text(QStringLiteral("LbTH"), 0), bad);
    EXPECT_EQ(mm().gThTphRank, QStringLiteral("5"));
    EXPECT_EQ(mm().gThPw1, QStringLiteral("12"));
    EXPECT_EQ(mm().gThPw2, QStringLiteral("14"));
    EXPECT_EQ(ui_.Text(QStringLiteral("TxtPWETSend"), 3), QStringLiteral("1214"));
  }
  EXPECT_EQ(Press(15), (Sent{"TH"}));
}

TEST_F(Maintenance, ClockSettingSendsThePcClockWithItsWeekday) {
  buttons_.SetClock([] { return QDateTime(QDate(2024, 3, 3), QTime(23, 0, 1)); });
  EXPECT_EQ(Press(6), (Sent{"CK:24030300230001"}));
  buttons_.SetClock([] { return QDateTime(QDate(2024, 3, 9), QTime(0, 0, 0)); });
  EXPECT_EQ(Press(6), (Sent{"CK:24030906000000"}));
}

TEST_F(Maintenance, SensorThresholdAndTheConfirmedEepromCommands) {
  EXPECT_EQ(Press(10), (Sent{"!!|"}));
  dialogs_.ExpectBox(ProgramTitle(), kConfirm, BoxAnswer::kOk);
  EXPECT_EQ(Press(11), (Sent{"!!w"}));
  dialogs_.ExpectBox(ProgramTitle(), kConfirm, BoxAnswer::kOk);
  EXPECT_EQ(Press(12), (Sent{"eew:03/03/FFFFFFFFFFFF"}));
  ASSERT_EQ(dialogs_.recorded().size(), 2u);
  EXPECT_EQ(dialogs_.recorded()[0].icon, BoxIcon::kQuestion);
  EXPECT_EQ(dialogs_.recorded()[0].buttons, BoxButtons::kOkCancel);
}

TEST_F(Maintenance, CancelSendsNothingAndOkResetsThenReadsEveryCounter) {
  for (int index : {11, 12, 13, 14}) {
    dialogs_.ExpectBox(ProgramTitle(), kConfirm, BoxAnswer::kCancel);
    EXPECT_EQ(Press(index), Sent{}) << index;
  }
  dialogs_.ExpectBox(ProgramTitle(), kConfirm, BoxAnswer::kOk);
  const Sent sent = Press(13);
  ASSERT_EQ(sent.size(), 2u + 19u);
  EXPECT_EQ(sent[0], QStringLiteral("!!e"));
  EXPECT_EQ(sent[1], QStringLiteral("VS"));
  EXPECT_EQ(sent[2], QStringLiteral("CT:a"));
  EXPECT_EQ(sent.back(), QStringLiteral("CT:v"));
  EXPECT_EQ(CounterLines().size(), 19);
  version_ = QStringLiteral("3D10 V2.10");
  dialogs_.ExpectBox(ProgramTitle(), kConfirm, BoxAnswer::kOk);
  EXPECT_EQ(Press(14).size(), 2u + 12u);
  EXPECT_EQ(CounterLines().size(), 12);
}

TEST_F(Maintenance, CounterReadoutFillsLbEepFormByModel) {
  buttons_.Command34_Click();
  QStringList lines = CounterLines();
  ASSERT_EQ(lines.size(), 19);
  EXPECT_EQ(lines[0], QStringLiteral("　　 ｶｰﾄﾞﾊﾟｽ回数: 00a0001A"));
  EXPECT_EQ(lines[18], QStringLiteral("    ﾌｨｰﾄﾞｴﾗ-回数: 00v0001A"));
  version_ = QStringLiteral("3D10 V2.10");
  const int polls = host_.polls;
  buttons_.Command34_Click();
  EXPECT_EQ(host_.polls, polls + 1);
  lines = CounterLines();
  ASSERT_EQ(lines.size(), 12);
  EXPECT_EQ(lines[0], QStringLiteral("パス　回数 : 0000001A"));
  EXPECT_EQ(lines[5], QStringLiteral("Tr1エラー  :     001A"));  // 4 from 10
  EXPECT_EQ(lines[8], QStringLiteral("メカエラー :   80001A"));     // 6 from 8
  EXPECT_EQ(busy_, 0);
}

TEST_F(Maintenance, ACounterLineShowsAValueOnlyFromItsOwnGoodReply) {
  version_ = QStringLiteral("3D10");
  host_.device = [this](const QString& c) {
    if (c == QLatin1String("CT:1")) return QString();                  // no reply: CT:0's is still there
    if (c == QLatin1String("CT:2")) return QStringLiteral("ACT14");   // refused
    return Reply(c);
  };
  buttons_.Command34_Click();
  const QStringList lines = CounterLines();
  ASSERT_EQ(lines.size(), 12);
  EXPECT_EQ(lines[0], QStringLiteral("パス　回数 : 0000001A"));
  EXPECT_EQ(lines[1], QStringLiteral("ライト回数 : "));
  EXPECT_EQ(lines[2], QStringLiteral("リード回数 : "));
  EXPECT_EQ(lines[3], QStringLiteral("印字　回数 : 0030001A"));
}

TEST_F(Maintenance, TheClockLoopRunsUntilItsOwnButtonIsPressedAgain) {
  int checks = 0;
  Sent duringLoop;
  host_.duringWait = [&](const QString& c) {
    if (c != QLatin1String("CK") || ++checks != 3) return;
    EXPECT_EQ(ui_.Text(QStringLiteral("Command2"), 5), QStringLiteral("STOP"));
    const size_t before = host_.sent.size();
    buttons_.Command2_Click(9);  // the other loop: turned away
    buttons_.Command2_Click(8);  // any other button: turned away
    buttons_.Command34_Click();
    buttons_.Command2_Click(5);  // the stop
    EXPECT_EQ(host_.sent.size(), before);
  };
  const Sent sent = Press(5);
  EXPECT_EQ(sent, Sent(4, QStringLiteral("CK")));  // three passes and the closing command
  EXPECT_EQ(host_.refused, 0);
  EXPECT_EQ(ui_.Text(QStringLiteral("Command2"), 5), QStringLiteral("時計確認"));
  EXPECT_EQ(buttons_.runningLoop(), -1);
  EXPECT_EQ(styles_, (std::vector<bool>{true, false}));
  EXPECT_EQ(Press(3), (Sent{"RE"}));  // free again
}

TEST_F(Maintenance, TheSensorLoopChoosesItsReferenceByModel) {
  host_.duringWait = [&](const QString& c) {
    if (c == QLatin1String("!!s")) buttons_.Command2_Click(9);
  };
  version_ = QStringLiteral("4211X");
  EXPECT_EQ(Press(9), (Sent{"VS", "!!s", "!!s"}));
  EXPECT_EQ(ui_.Value(QStringLiteral("OpSenV"), 1), 1);
  EXPECT_EQ(ui_.Value(QStringLiteral("OpSenV"), 0), 0);
  version_ = QStringLiteral("2A00");
  EXPECT_EQ(Press(9), (Sent{"VS", "!!s", "!!s"}));
  EXPECT_EQ(ui_.Value(QStringLiteral("OpSenV"), 0), 1);
  EXPECT_EQ(ui_.Value(QStringLiteral("OpSenV"), 1), 0);
  EXPECT_EQ(ui_.Text(QStringLiteral("Command2"), 9), QStringLiteral("ｾﾝｻｰ電圧"));
}

TEST_F(Maintenance, ALoopEndsAtOnceWhenTheProgramCloses) {
  host_.duringWait = [](const QString&) { mm().gAppClosing = 1; };
  EXPECT_EQ(Press(5), (Sent{"CK"}));
  EXPECT_EQ(buttons_.runningLoop(), -1);
}

TEST_F(Maintenance, APressDuringAnotherSequenceIsTurnedAway) {
  host_.duringWait = [&](const QString& c) {
    if (c == QLatin1String("VS")) {
      buttons_.Command2_Click(3);
      buttons_.Command34_Click();
    }
  };
  EXPECT_EQ(Press(8), (Sent{"VS", "RE", "TH"}));
  mm().gResetWaiting = -1;
  EXPECT_EQ(Press(3), Sent{});
  buttons_.Command34_Click();
  EXPECT_TRUE(host_.sent.size() == 3u);
}

TEST_F(Maintenance, TheJobPreambleAnswersTheLastReply) {
  mm().gReplyKind = QStringLiteral("B");
  EXPECT_EQ(Press(3), (Sent{"CL", "RE"}));
  mm().gReplyKind = QStringLiteral("R");
  mm().gReplyStatus = QStringLiteral("20");
  EXPECT_EQ(Press(3), (Sent{"PA", "RE"}));
  mm().gReplyKind = QStringLiteral("A");
  mm().gReplyStatus = QStringLiteral("10");
  EXPECT_EQ(Press(3), (Sent{"PA", "RE"}));
}

TEST_F(Maintenance, APortThatCannotBeOpenedLeavesTheButtonsUsable) {
  mm().gPortOpen = 0;
  host_.portOpens = false;
  dialogs_.ExpectBox(QStringLiteral("通信エラー"), QStringLiteral("通信できません！\r\n通信設定やケーブルを見直してください。"),
                     BoxAnswer::kOk);
  EXPECT_EQ(Press(3), Sent{});
  EXPECT_EQ(dialogs_.recorded().at(0).icon, BoxIcon::kCritical);
  buttons_.Command34_Click();  // silently
  EXPECT_EQ(busy_, 0);
  host_.portOpens = true;
  EXPECT_EQ(Press(3), (Sent{"RE"}));
  EXPECT_EQ(host_.polls, 1);  // polled once after opening
}

}  // namespace
}  // namespace quorel::testing

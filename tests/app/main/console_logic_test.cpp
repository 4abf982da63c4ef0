// The console's handlers on a table of controls and a recording channel: the
// command texts each button hands over, the card-kind rule of "MS:", the page
// text of "PD:", the track lists of "WD:", the right-button variants, the
// free and custom command boxes, the switches and the display reset.
#include <gtest/gtest.h>

#include <QDir>
#include <functional>
#include <vector>

#include "core/command_console.h"
#include "core/main_module.h"
#include "core/message_tables.h"
#include "core/settings_file.h"
#include "fake_controls.h"
#include "support/fake_link_api.h"
#include "support/scripted_dialogs.h"
#include "temp_dir.h"

namespace quorel {
namespace {

using testing::FakeControls;
using Sent = std::vector<QString>;

// The device channel as the console sees it: every comu hands over
// gSendCommand; the reply fields are what the test puts there.
class RecordingHost : public ConsoleHost {
 public:
  void commIni() override {
    calls.push_back(QStringLiteral("commIni"));
    mm().gPortOpen = opens ? -1 : 0;
  }
  void commClose() override {
    calls.push_back(QStringLiteral("commClose"));
    mm().gPortOpen = 0;
  }
  void poll() override {
    calls.push_back(QStringLiteral("poll"));
    if (onPoll) onPoll();
  }
  void comu() override {
    sent.push_back(mm().gSendCommand);
    calls.push_back(QStringLiteral("comu ") + mm().gSendCommand);
    mm().gReplyKind = QStringLiteral("A");
    if (onComu) onComu(mm().gSendCommand);
  }
  void ClearLog() override { ++logClears; }

  bool opens = true;
  Sent sent;
  std::vector<QString> calls;
  std::function<void()> onPoll;
  std::function<void(const QString&)> onComu;
  int logClears = 0;
};

class Console : public ::testing::Test {
 protected:
  void SetUp() override {
    mm() = MainModule{};
    InitMessageTables();
    mm().gIniPath = dir_.file(QStringLiteral("Quorel.ini"));
    mm().gLF = QChar(10);
    mm().gESC = QChar(27);
    mm().gPortOpen = -1;
    mm().gReplyKind = QStringLiteral("A");
  }
  Sent Press(int index) {
    host_.sent.clear();
    console_.Command1_Click(index);
    return host_.sent;
  }
  Sent RightButton(int index) {
    host_.sent.clear();
    console_.Command1_RightButtonUp(index);
    return host_.sent;
  }
  void ChooseCardKind(const QString& text) { ui_.SetText(QStringLiteral("CmbKdKind"), text); }

  testing::TempDir dir_;
  FakeControls ui_;
  RecordingHost host_;
  CommandConsole console_{ui_, host_};
};

const QString kEsc = QString(QChar(27));

TEST_F(Console, EachFixedButtonHandsOverItsCommands) {
  const std::vector<std::pair<int, Sent>> table = {
      {1, {"PA"}},  {2, {"RS"}},    {3, {"CI"}},        {5, {"CO"}},        {6, {"CI*"}},      {7, {"CL"}},
      {8, {"BI"}},  {9, {"BO"}},    {10, {"BP"}},       {11, {"FE"}},       {12, {"HC"}},      {13, {"CR"}},
      {14, {"CE"}}, {15, {"EC"}},   {16, {"FP"}},       {17, {"RP"}},       {18, {"MR"}},      {19, {"CT"}},
      {20, {"ST"}}, {21, {"VS"}},   {24, {"RD"}},       {25, {"WR"}},       {26, {"WN"}},      {27, {"VR"}},
      {28, {"RC"}}, {29, {"DT:1"}}, {30, {"DT:2"}},     {31, {"DT:3"}},     {35, {"PC"}},      {36, {"PR"}},
      {37, {"PO"}}, {38, {"PP"}},   {39, {"EP", "CO"}}, {40, {"CI", "EP"}}, {41, {"CI", "PR"}}};
  for (const auto& [index, commands] : table) EXPECT_EQ(Press(index), commands) << "Command1(" << index << ")";
  EXPECT_EQ(Press(0), Sent{});
  EXPECT_EQ(host_.calls.back(), QStringLiteral("poll"));
}

TEST_F(Console, AClosedPortIsOpenedAndPolledFirstAndABusyDeviceGetsClearFirst) {
  mm().gPortOpen = 0;
  host_.onPoll = [] { mm().gReplyKind = QStringLiteral("B"); };
  EXPECT_EQ(Press(21), (Sent{"CL", "VS"}));
  EXPECT_EQ(host_.calls.front(), QStringLiteral("commIni"));
  EXPECT_EQ(host_.calls[1], QStringLiteral("poll"));

  // Poll after a busy reply: "CL" first, then the poll.
  mm().gReplyKind = QStringLiteral("B");
  host_.calls.clear();
  EXPECT_EQ(Press(0), Sent{"CL"});
  EXPECT_EQ(host_.calls, (std::vector<QString>{"comu CL", "poll"}));

  // A port that stays closed: nothing, no message.
  mm().gPortOpen = 0;
  host_.opens = false;
  host_.calls.clear();
  EXPECT_EQ(Press(21), Sent{});
  EXPECT_EQ(host_.calls, std::vector<QString>{"commIni"});
}

TEST_F(Console, NothingWhileTheRestartWaitRunsOrTheProgramCloses) {
  mm().gResetWaiting = -1;
  EXPECT_EQ(Press(21), Sent{});
  mm().gResetWaiting = 0;
  mm().gAppClosing = 1;
  EXPECT_EQ(Press(21), Sent{});
  EXPECT_TRUE(host_.calls.empty());
}

TEST_F(Console, AHandlerThatResumesWhileTheProgramClosesStops) {
  host_.onComu = [](const QString&) { mm().gAppClosing = 1; };
  EXPECT_EQ(Press(39), Sent{"EP"});  // no "CO" after the wait
  mm().gAppClosing = 0;
  mm().gPortOpen = 0;
  host_.onPoll = [] { mm().gAppClosing = 1; };
  EXPECT_EQ(Press(21), Sent{});
}

TEST_F(Console, MsCarriesTheChosenCardKind) {
  ui_.SetValue(QStringLiteral("ChkCardKind"), 0, 1);
  ChooseCardKind(QStringLiteral("5:サーマルPET"));
  const std::vector<std::pair<QString, QString>> cases = {
      {"", "MS:B5"}, {"B1K0", "MS:B5K0"}, {"K0N0", "MS:K0N0B5"}, {"K0B", "MS:K0B5"}, {"K0\r\nN0", "MS:K0N0B5"}};
  for (const auto& [box, command] : cases) {
    ui_.SetText(QStringLiteral("TxtMDData"), box);
    EXPECT_EQ(Press(4), Sent{command}) << box.toStdString();
    EXPECT_EQ(ui_.Text(QStringLiteral("TxtMDData")), command.mid(3));  // the box shows what was sent
  }
}

TEST_F(Console, MsWithoutACardKindShowsTheBoxAndSendsNothing) {
  testing::ScriptedDialogs dialogs;
  dialogs.ExpectBox(QStringLiteral("カード種選択エラー"),
                    QStringLiteral("カード種が設定されておりません。\r\nご確認ください！。"), BoxAnswer::kOk);
  ui_.SetValue(QStringLiteral("ChkCardKind"), 0, 1);
  ui_.SetText(QStringLiteral("TxtMDData"), QStringLiteral("K0\r\n"));
  EXPECT_EQ(Press(4), Sent{});
  ASSERT_EQ(dialogs.recorded().size(), 1u);
  EXPECT_EQ(dialogs.recorded()[0].icon, BoxIcon::kCritical);
  EXPECT_EQ(ui_.focused, QStringLiteral("CmbKdKind"));
  EXPECT_EQ(ui_.Text(QStringLiteral("TxtMDData")), QStringLiteral("K0\r\n"));
}

TEST_F(Console, MsWithoutTheCardKindBoxDropsControlCharactersAndMayBeFollowedByMr) {
  ui_.SetText(QStringLiteral("TxtMDData"), QStringLiteral("K0 N0\r\nB1"));
  EXPECT_EQ(Press(4), Sent{"MS:K0 N0B1"});
  ui_.SetValue(QStringLiteral("ChkCardKind"), 2, 1);
  EXPECT_EQ(Press(4), (Sent{"MS:K0 N0B1", "MR"}));
}

TEST_F(Console, PdSendsThePageWithControlBytesAndLineBreaksAsLf) {
  ui_.SetText(QStringLiteral("TxtPDData"), QStringLiteral("0/0/24/esc$e222012"));
  EXPECT_EQ(Press(43), Sent{"PD:0/0/24/" + kEsc + "e222012"});
  ui_.SetText(QStringLiteral("TxtPDData"), QStringLiteral("0/0/0/AB\r\nCD\tE"));
  EXPECT_EQ(Press(43), Sent{"PD:0/0/0/AB\nCDE"});
  EXPECT_EQ(ui_.Text(QStringLiteral("TxtPDData")), QStringLiteral("0/0/0/AB\nCDE"));
  // Reply macros are replaced in the box itself.
  mm().gVersionText = QStringLiteral("3141X V1.00");
  ui_.SetText(QStringLiteral("TxtPDData"), QStringLiteral("0/0/0/ver$"));
  EXPECT_EQ(Press(43), Sent{"PD:0/0/0/3141X V1.00"});
  EXPECT_EQ(ui_.Text(QStringLiteral("TxtPDData")), QStringLiteral("0/0/0/3141X V1.00"));
}

TEST_F(Console, WdSendsTheTrackDataAndAddsItOnTopOfTheListEveryTime) {
  ui_.SetText(QStringLiteral("txtWd"), 2, QStringLiteral("ABC"));
  EXPECT_EQ(Press(33), Sent{"WD:2/ABC"});
  EXPECT_EQ(Press(33), Sent{"WD:2/ABC"});
  ui_.SetText(QStringLiteral("txtWd"), 2, QStringLiteral("XY"));
  EXPECT_EQ(Press(33), Sent{"WD:2/XY"});
  EXPECT_EQ(ui_.Items(QStringLiteral("txtWd"), 2), (QStringList{"XY", "ABC", "ABC"}));
  EXPECT_EQ(ui_.Text(QStringLiteral("txtWd"), 2), QStringLiteral("XY"));
  EXPECT_TRUE(ui_.Items(QStringLiteral("txtWd"), 1).isEmpty());
}

TEST_F(Console, AsJoinsItsTwoNumbers) {
  ui_.SetText(QStringLiteral("TxtASData"), 0, QStringLiteral("0"));
  ui_.SetText(QStringLiteral("TxtASData"), 1, QStringLiteral("459"));
  EXPECT_EQ(Press(44), Sent{"AS:0/459"});
}

TEST_F(Console, RightButtonVariantsAfterTheirPoll) {
  EXPECT_EQ(RightButton(2), Sent{"RSS"});
  EXPECT_EQ(RightButton(4), (Sent{"MS:d1", "MR"}));
  EXPECT_EQ(RightButton(21), Sent{"VS?"});
  EXPECT_EQ(RightButton(29), Sent{"dt:1"});
  EXPECT_EQ(RightButton(30), Sent{"dt:2"});
  EXPECT_EQ(RightButton(31), Sent{"dt:3"});
  host_.calls.clear();
  EXPECT_EQ(RightButton(5), Sent{});  // "CO" only polls
  EXPECT_EQ(host_.calls, std::vector<QString>{"poll"});
  // A power-up report is answered first.
  host_.onPoll = [] { mm().gReplyText = QStringLiteral("R2000"); };
  EXPECT_EQ(RightButton(5), Sent{"PA"});
  EXPECT_EQ(RightButton(21), (Sent{"PA", "VS?"}));
}

TEST_F(Console, TheSendBoxExpandsControlMacrosOnly) {
  ui_.SetText(QStringLiteral("TxtSendBox"), QStringLiteral("esc$A"));
  console_.cmdKaishi_Click();
  ui_.SetText(QStringLiteral("TxtSendBox"), QStringLiteral("ver$"));
  console_.cmdKaishi_Click();
  EXPECT_EQ(host_.sent, (Sent{kEsc + "A", "ver$"}));
  host_.calls.clear();
  ui_.SetText(QStringLiteral("TxtSendBox"), QString());
  console_.cmdKaishi_Click();
  EXPECT_EQ(host_.calls, std::vector<QString>{"poll"});
}

TEST_F(Console, CustomCommandsExpandReplyMacrosOnlyForPd) {
  mm().gVersionText = QStringLiteral("4211A");
  ui_.SetText(QStringLiteral("TxtCustomSendCmd"), 1, QStringLiteral("PDver$lf$"));
  ui_.SetText(QStringLiteral("TxtCustomSendCmd"), 3, QStringLiteral("VSver$"));
  console_.CmdCustomSend_Click(1);
  console_.CmdCustomSend_Click(3);
  EXPECT_EQ(host_.sent, (Sent{"PD4211A\n", "VSver$"}));
  // A port that cannot be opened: its poll and comu return at once.
  mm().gPortOpen = 0;
  host_.opens = false;
  host_.calls.clear();
  console_.CmdCustomSend_Click(3);
  EXPECT_EQ(host_.calls, (std::vector<QString>{"commIni", "poll", "comu VSver$"}));
}

TEST_F(Console, DsrAndCtsSwitchesFollowTheFlagAndWriteTheirKeys) {
  testing::FakeLinkApi link;
  mm().gInstanceNo = 2;
  mm().gPort = 4;
  mm().gUseDSR = 1;
  mm().gUseCTS = 0;
  mm().gPortOpen = 0;
  console_.DSRcheckd_Click();
  EXPECT_EQ(mm().gUseDSR, 0);
  EXPECT_EQ(ui_.Value(QStringLiteral("DSRcheckd")), 0);
  EXPECT_EQ(ReadIni(QStringLiteral("Comm2"), QStringLiteral("DSR"), mm().gIniPath), QStringLiteral("0"));
  EXPECT_EQ(link.Count("crwComDSRCTSsw"), 0);
  mm().gPortOpen = -1;
  console_.CTScheckd_Click();
  EXPECT_EQ(mm().gUseCTS, 1);
  EXPECT_EQ(ui_.Value(QStringLiteral("CTScheckd")), 1);
  EXPECT_EQ(ReadIni(QStringLiteral("Comm2"), QStringLiteral("CTS"), mm().gIniPath), QStringLiteral("1"));
  ASSERT_EQ(link.Count("crwComDSRCTSsw"), 1);
  EXPECT_EQ(link.CallsOf("crwComDSRCTSsw")[0].args, (std::vector<QByteArray>{"4", "0", "1"}));
}

TEST_F(Console, TheOptionSwitches) {
  ui_.SetValue(QStringLiteral("ChkRSmode"), 1);
  console_.ChkRSmode_Click();
  EXPECT_EQ(mm().gRSMode, 1);
  EXPECT_EQ(ReadIni(QStringLiteral("Form"), QStringLiteral("RS_Mode"), mm().gIniPath), QStringLiteral("1"));
  ui_.SetValue(QStringLiteral("ChkRSmode"), 0);
  console_.ChkRSmode_Click();
  EXPECT_EQ(mm().gRSMode, 0);
  EXPECT_EQ(ReadIni(QStringLiteral("Form"), QStringLiteral("RS_Mode"), mm().gIniPath), QStringLiteral("0"));

  ui_.SetValue(QStringLiteral("ChkCOM2"), 1);
  console_.ChkCOM2_Click();
  EXPECT_TRUE(ui_.Enabled(QStringLiteral("OptLAN")));
  EXPECT_EQ(ui_.Get(QStringLiteral("LineCom2"), 1).fore, 0x000000u);
  ui_.SetValue(QStringLiteral("ChkCOM2"), 2);
  console_.ChkCOM2_Click();
  EXPECT_EQ(ui_.Value(QStringLiteral("ChkCOM2")), 0);
  EXPECT_FALSE(ui_.Enabled(QStringLiteral("OptModem")));
  EXPECT_EQ(ui_.Get(QStringLiteral("LineCom2"), 0).fore, 0xE0E0E0u);

  ui_.SetValue(QStringLiteral("Check3"), 1);
  console_.Check3_Click();
  EXPECT_TRUE(ui_.Enabled(QStringLiteral("Check6")));
  ui_.SetValue(QStringLiteral("Check6"), 1);
  ui_.SetValue(QStringLiteral("Check3"), 0);
  console_.Check3_Click();
  EXPECT_FALSE(ui_.Enabled(QStringLiteral("Check6")));
  EXPECT_EQ(ui_.Value(QStringLiteral("Check6")), 0);
}

TEST_F(Console, ComCloseClearsABusyDevicePaintsTheLampAndClosesThePort) {
  mm().gReplyKind = QStringLiteral("B");
  ui_.SetText(QStringLiteral("Label10"), QStringLiteral("BCI"));
  host_.onComu = [this](const QString&) { ui_.SetText(QStringLiteral("Label10"), QStringLiteral("ACL")); };
  console_.CmdComClose_Click();
  EXPECT_EQ(host_.calls, (std::vector<QString>{"poll", "comu CL", "commClose"}));
  EXPECT_EQ(ui_.Get(QStringLiteral("Label53")).back, 0x0000C0u);
  for (const auto& [kind, color] :
       std::vector<std::pair<QString, uint32_t>>{{"BCI", 0x008080}, {"R", 0x008000}, {"", 0x808080}}) {
    mm().gReplyKind = QStringLiteral("A");
    ui_.SetText(QStringLiteral("Label10"), kind);
    console_.CmdComClose_Click();
    EXPECT_EQ(ui_.Get(QStringLiteral("Label53")).back, color) << kind.toStdString();
  }
}

TEST_F(Console, TheDisplayResetEmptiesTheCustomCommandsOnlyWhenAskedTo) {
  for (int i = 0; i <= 4; ++i) ui_.SetText(QStringLiteral("TxtCustomSendCmd"), i, QStringLiteral("VS%1").arg(i));
  ui_.SetText(QStringLiteral("TxtROMVer"), QStringLiteral("old"));
  // The memory-switch window's form: displays only.
  console_.labelInit(CommandConsole::CustomCommands::kKeep);
  EXPECT_EQ(ui_.Text(QStringLiteral("TxtCustomSendCmd"), 4), QStringLiteral("VS4"));
  EXPECT_EQ(ui_.Text(QStringLiteral("TxtROMVer")), QString());
  EXPECT_EQ(ui_.Text(QStringLiteral("TxtPDData")), QStringLiteral("0/0/24/esc$e222012"));
  EXPECT_EQ(ui_.Text(QStringLiteral("Text12")), QStringLiteral("69"));
  EXPECT_EQ(ui_.Text(QStringLiteral("TxtASData"), 1), QStringLiteral("459"));
  EXPECT_EQ(host_.logClears, 1);
  // "DSPclear": everything.
  console_.Command54_Click();
  for (int i = 0; i <= 4; ++i) EXPECT_EQ(ui_.Text(QStringLiteral("TxtCustomSendCmd"), i), QString());
}

TEST_F(Console, LoadWithoutPwetAutoChkWritesEmptyCustomCommandsInTheInstanceSection) {
  mm().gInstanceNo = 2;
  mm().gPort = 3;
  mm().gBoud = 9600;
  mm().gParity = QStringLiteral("E");
  mm().gDataBit = 8;
  WriteIni(QStringLiteral("Form2"), QStringLiteral("CustomCmd0"), QStringLiteral("VS"), mm().gIniPath);
  WriteIni(QStringLiteral("Form"), QStringLiteral("PWETAutoChk"), QStringLiteral("1"), mm().gIniPath);
  console_.LoadSettings();
  const QString& ini = mm().gIniPath;
  EXPECT_EQ(ReadIni(QStringLiteral("Form2"), QStringLiteral("PWETAutoChk"), ini), QStringLiteral("0"));
  EXPECT_EQ(ReadIni(QStringLiteral("Form2"), QStringLiteral("CustomCmd0"), ini), QString());
  EXPECT_EQ(ReadIni(QStringLiteral("Form2"), QStringLiteral("ChkCardKind2"), ini), QStringLiteral("0"));
  EXPECT_EQ(ReadIni(QStringLiteral("Form2"), QStringLiteral("RS_Mode"), ini), QStringLiteral("0"));
  EXPECT_EQ(ReadIni(QStringLiteral("Form"), QStringLiteral("RS_Mode"), ini), QString());
  EXPECT_EQ(ui_.Value(QStringLiteral("OpSenV"), 1), 1);  // no CenVolt: 5 V
  EXPECT_EQ(ui_.Text(QStringLiteral("LbComConfig")), QStringLiteral("9600,E,8,1"));

  WriteIni(QStringLiteral("Form2"), QStringLiteral("PWETAutoChk"), QStringLiteral("1"), ini);
  WriteIni(QStringLiteral("Form2"), QStringLiteral("CustomCmd3"), QStringLiteral("PDver$"), ini);
  WriteIni(QStringLiteral("Form2"), QStringLiteral("ChkCardKind1"), QStringLiteral("1"), ini);
  WriteIni(QStringLiteral("Form2"), QStringLiteral("CenVolt"), QStringLiteral("0"), ini);
  WriteIni(QStringLiteral("Form2"), QStringLiteral("RS_Mode"), QStringLiteral("1"), ini);
  console_.LoadSettings();
  EXPECT_EQ(ui_.Value(QStringLiteral("ChkPWETAuto")), 1);
  EXPECT_EQ(ui_.Text(QStringLiteral("TxtCustomSendCmd"), 3), QStringLiteral("PDver$"));
  EXPECT_EQ(ui_.Value(QStringLiteral("ChkCardKind"), 1), 1);
  EXPECT_EQ(ui_.Value(QStringLiteral("OpSenV"), 0), 1);
  EXPECT_EQ(mm().gRSMode, 1);
  EXPECT_EQ(ui_.Value(QStringLiteral("ChkRSmode")), 1);
}

}  // namespace
}  // namespace quorel

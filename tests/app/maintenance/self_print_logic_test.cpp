// The self-print test on a scripted device: the commands of a run, the
// empty entry's warning, and which replies the shared values take.
#include <gtest/gtest.h>

#include "core/message_tables.h"
#include "core/print_pages.h"
#include "core/self_print.h"
#include "main/fake_controls.h"
#include "scripted_host.h"
#include "support/scripted_dialogs.h"

namespace quorel::testing {
namespace {

using Sent = std::vector<QString>;

class SelfPrintLogic : public ::testing::Test {
 protected:
  void SetUp() override {
    FreshStateWithOpenPort();
    host_.device = [this](const QString& c) {
      if (c == QLatin1String("TH")) return th_;
      if (c == QLatin1String("VS")) return vs_;
      return QStringLiteral("A") + c.left(2) + QStringLiteral("90");
    };
  }

  QString th_ = QStringLiteral("ATH905251214328A31");
  QString vs_ = QStringLiteral("AVS90Mivor V1.20");
  ScriptedDialogs dialogs_;
  FakeControls ui_;
  ScriptedHost host_{ui_};
  SelfPrint test_{host_};
};

TEST_F(SelfPrintLogic, ThePageFollowsTheHeadVersionAndClear) {
  test_.CmdJIkoPD_Click(6);
  Sent want{"TH", "VS", "PC"};
  for (const QString& c : print::SelfPrintPage(6, {QStringLiteral("Mivor V1.20"), QStringLiteral("5"), QStringLiteral("25")}))
    want.push_back(c);
  EXPECT_EQ(host_.sent, want);
  EXPECT_EQ(mm().gThTphRank, QStringLiteral("5"));
  EXPECT_EQ(mm().gVersionText, QStringLiteral("Mivor V1.20"));
}

TEST_F(SelfPrintLogic, TheEmptyEntryWarnsAfterTheFirstThreeCommands) {
  dialogs_.ExpectBox(QStringLiteral("警告"), QStringLiteral("印字データを選択してください。"), BoxAnswer::kOk);
  test_.CmdJIkoPD_Click(0);
  EXPECT_EQ(host_.sent, (Sent{"TH", "VS", "PC"}));
  EXPECT_EQ(dialogs_.recorded().at(0).icon, BoxIcon::kExclamation);
  host_.sent.clear();
  mm().gReplyKind = QStringLiteral("B");
  test_.CmdJIkoPD_Click(-1);  // nothing selected: no page, no box
  EXPECT_EQ(host_.sent, (Sent{"CL", "TH", "VS", "PC"}));
}

TEST_F(SelfPrintLogic, ErrorRepliesPrintButLeaveTheSharedValues) {
  mm().gVersionText = QStringLiteral("3D10 V2.10");
  mm().gThTphRank = QStringLiteral("7");
  mm().gThTphTemp = QStringLiteral("30");
  th_ = QStringLiteral("ATH50X");
  vs_ = QStringLiteral("AVS14BAD");
  test_.CmdJIkoPD_Click(6);
  EXPECT_EQ(host_.sent.back(), print::SelfPrintPage(6, {QStringLiteral("BAD"), QStringLiteral("X"), QStringLiteral("30")}).back());
  EXPECT_EQ(mm().gVersionText, QStringLiteral("3D10 V2.10"));
  EXPECT_EQ(mm().gThTphRank, QStringLiteral("7"));
}

TEST_F(SelfPrintLogic, AClosedPortThatStaysClosedEndsSilently) {
  mm().gPortOpen = 0;
  host_.portOpens = false;
  test_.CmdJIkoPD_Click(1);
  EXPECT_TRUE(host_.sent.empty());
  EXPECT_EQ(host_.polls, 0);
  host_.portOpens = true;
  mm().gPortOpen = 0;
  host_.pollReply = QStringLiteral("R2000");
  test_.CmdJIkoPD_Click(4);
  EXPECT_EQ(host_.polls, 1);
  EXPECT_EQ(host_.sent, (Sent{"PA", "TH", "VS", "PC", "MS:K0N0X0F3Y4", print::SelfPrintPage(4, {}).back()}));
}

}  // namespace
}  // namespace quorel::testing

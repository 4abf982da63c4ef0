// The customer-message actions on scripted forwarders and tables of
// controls: the commands of a write and a read, the refused long message,
// a failed row, the other window kept current, the modes and the count.
#include "eeprom/customer_message_panel.h"

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

const QString kRowBox = QStringLiteral("TxtEEPALL_Mivor");
const QString kErased(64, QLatin1Char('F'));

class MessagePanel : public ::testing::Test {
 protected:
  void SetUp() override {
    mm() = MainModule{};
    mm().gPortOpen = -1;
    jobs_.SetBusyDisplay([this](bool busy) { frame_.ShowBusy(busy); });
    panel_.SetPeer([this]() { return peerOpen_ ? &peer_ : nullptr; });
  }
  // A Mivor "VS" answer.
  void ScriptVersion() { channel_.Script(QStringLiteral("AVS90") + QStringLiteral("7.00")); }
  void Type(const QString& text) {
    ui_.SetText(QStringLiteral("TxtCSMsg"), text);
    panel_.TextChange();
  }
  void Editor() {
    ui_.SetValue(QStringLiteral("ChkCSMsg"), 1);
    panel_.ModeClick();
  }

  ScriptedDialogs dialogs_;
  FakeEepChannel channel_;
  FakeControls ui_, peer_;
  EepJobRunner jobs_{channel_};
  EepFrame frame_{ui_, jobs_};
  CustomerMessagePanel panel_{ui_, jobs_, EepWindowSide([this](EepJob& job) {
                                return frame_.CheckFamily(job, Family::kMivor);
                              })};
  bool peerOpen_ = false;
};

TEST_F(MessagePanel, WriteSendsEachRowAndReadsItBack) {
  Editor();
  Type(QStringLiteral("テスト"));
  peerOpen_ = true;
  peer_.SetText(QStringLiteral("TxtCSMsg"), QStringLiteral("old"));
  const QString row9 = QStringLiteral("30C630B930C8") + QString(52, QLatin1Char('F'));
  ScriptVersion();
  channel_.Script(QStringLiteral("Aee90"));
  channel_.Script(QStringLiteral("Aee90") + row9);
  channel_.Script(QStringLiteral("Aee90"));
  channel_.Script(QStringLiteral("Aee10"));  // row 10 reads back wrong
  channel_.Script(QStringLiteral("Aee90"));
  channel_.Script(QStringLiteral("Aee90") + kErased);
  panel_.WriteOrRead();
  const std::vector<QString> expected = {QStringLiteral("VS"),
                                         QStringLiteral("eew:90/10/") + row9,
                                         QStringLiteral("eer:90/10"),
                                         QStringLiteral("eew:A0/10/") + kErased,
                                         QStringLiteral("eer:A0/10"),
                                         QStringLiteral("eew:B0/10/") + kErased,
                                         QStringLiteral("eer:B0/10")};
  EXPECT_EQ(channel_.sent, expected);
  EXPECT_EQ(ui_.Text(kRowBox, 9), row9);
  EXPECT_EQ(ui_.ToolTip(kRowBox, 9), row9 + QStringLiteral(" [64]"));
  EXPECT_EQ(ui_.Text(kRowBox, 10), QStringLiteral("Aee10"));
  EXPECT_EQ(ui_.ToolTip(kRowBox, 10), QStringLiteral("Aee10 [5]"));
  // The other window: the rows read back well, and the message at the end.
  EXPECT_EQ(peer_.Text(kRowBox, 9), row9);
  EXPECT_EQ(peer_.Text(kRowBox, 10), QString());
  EXPECT_EQ(peer_.Text(kRowBox, 11), kErased);
  EXPECT_EQ(peer_.Text(QStringLiteral("TxtCSMsg")), QStringLiteral("テスト"));
  EXPECT_TRUE(ui_.Enabled(QStringLiteral("SSTabEEP")));
}

TEST_F(MessagePanel, LongMessageIsRefusedBeforeAnyTraffic) {
  Editor();
  dialogs_.ExpectBox(QStringLiteral("文字数オーバー"), MessageOverflowText(), BoxAnswer::kOk);
  Type(QString(49, QLatin1Char('x')));
  EXPECT_EQ(ui_.Text(QStringLiteral("LbCSMsg")), QStringLiteral("196byte [102.1%] [max192byte]"));
  EXPECT_EQ(ui_.Text(QStringLiteral("TxtCSMsg")).size(), 49);  // nothing cut
  dialogs_.ExpectBox(QStringLiteral("文字数オーバー"), MessageOverflowText(), BoxAnswer::kOk);
  panel_.WriteOrRead();
  EXPECT_TRUE(channel_.sent.empty());
  EXPECT_EQ(channel_.opens + channel_.polls, 0);
}

TEST_F(MessagePanel, LostFocusWarnsAndReturnsTheFocusOnce) {
  ui_.SetText(QStringLiteral("TxtCSMsg"), QString(50, QLatin1Char('x')));
  dialogs_.ExpectBox(QStringLiteral("文字数オーバー"), MessageOverflowText(), BoxAnswer::kOk);
  panel_.LostFocus();
  EXPECT_EQ(ui_.focused, QStringLiteral("TxtCSMsg"));
  EXPECT_EQ(dialogs_.recorded().size(), 1u);
}

TEST_F(MessagePanel, ReadDecodesTheRowsBeforeAFailedRow) {
  peerOpen_ = true;
  const QString row9 = QStringLiteral("00480045004C004C004F") + QString(44, QLatin1Char('F'));
  ScriptVersion();
  channel_.Script(QStringLiteral("Aee90") + row9);
  channel_.Script(QStringLiteral("Eee"));
  channel_.Script(QStringLiteral("Aee90") + QStringLiteral("0041") + QString(60, QLatin1Char('F')));
  ui_.SetText(QStringLiteral("TxtCSMsg"), QStringLiteral("stale"));
  panel_.WriteOrRead();  // viewer mode: "Read"
  const std::vector<QString> expected = {QStringLiteral("VS"), QStringLiteral("eer:90/10"),
                                         QStringLiteral("eer:A0/10"), QStringLiteral("eer:B0/10")};
  EXPECT_EQ(channel_.sent, expected);
  EXPECT_EQ(ui_.Text(QStringLiteral("TxtCSMsg")), QStringLiteral("HELLO"));
  EXPECT_EQ(peer_.Text(QStringLiteral("TxtCSMsg")), QStringLiteral("HELLO"));
  EXPECT_EQ(ui_.Text(kRowBox, 10), QStringLiteral("Eee"));
  EXPECT_EQ(CustomerMessagePanel::DecodeRowBoxes(ui_), QStringLiteral("HELLO"));
}

TEST_F(MessagePanel, ReadUpdatesAHiddenMessageWindow) {
  bool created = false;
  panel_.SetPeerAfterRead([&]() {
    created = true;
    return &peer_;
  });
  ScriptVersion();
  panel_.Read();  // every row answers "Aee90" without data: empty message
  EXPECT_TRUE(created);
  EXPECT_EQ(peer_.Text(QStringLiteral("TxtCSMsg")), QString());
}

TEST_F(MessagePanel, ModelCancelSendsNoRowCommand) {
  channel_.Script(QStringLiteral("AVS90") + QStringLiteral("3.00"));  // another family's firmware
  dialogs_.ExpectBox(QStringLiteral("EEPROM Mivor"), ModelQuestionText(), BoxAnswer::kCancel);
  panel_.Read();
  EXPECT_EQ(channel_.sent, std::vector<QString>{QStringLiteral("VS")});
  EXPECT_TRUE(ui_.Enabled(QStringLiteral("SSTabEEP")));
}

TEST_F(MessagePanel, ModesAndClear) {
  Editor();
  EXPECT_EQ(ui_.Text(QStringLiteral("CmdCSMsgW")), QStringLiteral("Wrire"));
  EXPECT_EQ(ui_.Text(QStringLiteral("ChkCSMsg")), QStringLiteral("CS Message Editor"));
  EXPECT_EQ(ui_.At(QStringLiteral("TxtCSMsg")).back, 0xC0FFFFu);
  EXPECT_EQ(ui_.At(QStringLiteral("CmdCSMsgW")).back, 0xC0C0FFu);
  Type(QStringLiteral("AB"));
  ui_.SetText(kRowBox, 9, QStringLiteral("x"));
  panel_.Clear();
  EXPECT_EQ(ui_.Value(QStringLiteral("ChkCSMsg")), 0);
  EXPECT_EQ(ui_.Text(QStringLiteral("CmdCSMsgW")), QStringLiteral("Read"));
  EXPECT_EQ(ui_.Text(QStringLiteral("ChkCSMsg")), QStringLiteral("CS Message Viewer"));
  EXPECT_EQ(ui_.At(QStringLiteral("CmdCSMsgW")).back, 0xC0FFC0u);
  EXPECT_EQ(ui_.Text(QStringLiteral("LbCSMsg")), QStringLiteral("0byte [0.0%] [max192byte]"));
  EXPECT_EQ(ui_.Text(kRowBox, 9), QString());
}

}  // namespace
}  // namespace quorel::eep

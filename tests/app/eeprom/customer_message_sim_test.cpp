// The customer message of both windows on the real library and the
// in-process simulator: the row commands on the wire, the two windows
// keeping each other current, the message window's row buttons and Clear,
// and a screenshot of the message window in editor mode.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>

#include "channel/sim_channel_fixture.h"
#include "eeprom/customer_message_peers.h"
#include "eeprom/eep_channel.h"
#include "eeprom/form_eep.h"
#include "eeprom/form_eep_msg.h"
#include "support/rendered_view.h"

namespace quorel::eep {
namespace {

const QString kErased(64, QLatin1Char('F'));
const QString kRow9 = QStringLiteral("30C630B930C8") + QString(52, QLatin1Char('F'));

class MessageOnSimulator : public testing::SimChannelTest {
 protected:
  void SetUp() override {
    SimChannelTest::SetUp();
    Control("model mivor");
    Control("eeprom family mivor");
  }
  void TearDown() override {
    delete eep_.data();
    delete msg_.data();
    SimChannelTest::TearDown();
  }
  FormEEP& Eep() {
    if (!eep_) eep_ = new FormEEP(channel_);
    return *eep_;
  }
  FormEEPMsg& Msg() {
    if (!msg_) msg_ = new FormEEPMsg(std::make_unique<ChannelForwarders>(channel_));
    return *msg_;
  }
  template <typename W>
  W* Find(QWidget& w, const QString& name, int index = -1) {
    auto* found = w.findChild<W*>(ControlKey(name, index));
    EXPECT_NE(nullptr, found) << name.toStdString();
    return found;
  }
  // The row commands on the wire, whole ("eew:90/10/30C6..."; the
  // transcript tags them "CMD ee w:90/10/...").
  std::vector<std::string> RowCommands() const {
    std::vector<std::string> out;
    for (const sim::TranscriptEntry& e : sim_.Transcript())
      if (e.dir == sim::Dir::Host && e.tag.compare(0, 6, "CMD ee") == 0) out.push_back("ee" + e.tag.substr(7));
    return out;
  }
  void Editor(QWidget& w, const QString& text) {
    Find<QCheckBox>(w, QStringLiteral("ChkCSMsg"))->setChecked(true);
    Find<QPlainTextEdit>(w, QStringLiteral("TxtCSMsg"))->setPlainText(text);
  }

  QPointer<FormEEP> eep_;
  QPointer<FormEEPMsg> msg_;
};

TEST_F(MessageOnSimulator, EepWindowWritesTheRowsAndTheMessageWindowFollows) {
  FormEEP& eep = Eep();
  FormEEPMsg& msg = Msg();
  msg.show();
  Editor(eep, QStringLiteral("テスト"));
  EXPECT_EQ(eep.controls().Text(QStringLiteral("LbCSMsg")), QStringLiteral("12byte [6.3%] [max192byte]"));
  Open();
  sim_.ClearTranscript();
  Find<QAbstractButton>(eep, QStringLiteral("CmdCSMsgW"))->click();
  const std::vector<std::string> expected = {
      "eew:90/10/" + kRow9.toStdString(), "eer:90/10", "eew:A0/10/" + kErased.toStdString(), "eer:A0/10",
      "eew:B0/10/" + kErased.toStdString(), "eer:B0/10"};
  EXPECT_EQ(RowCommands(), expected);
  for (FormControls* ui : {&eep.controls(), &msg.controls()}) {
    EXPECT_EQ(ui->Text(QStringLiteral("TxtEEPALL_Mivor"), 9), kRow9);
    EXPECT_EQ(ui->ToolTip(QStringLiteral("TxtEEPALL_Mivor"), 9), kRow9 + QStringLiteral(" [64]"));
    EXPECT_EQ(ui->Text(QStringLiteral("TxtEEPALL_Mivor"), 11), kErased);
  }
  EXPECT_EQ(msg.controls().Text(QStringLiteral("TxtCSMsg")), QStringLiteral("テスト"));

  // Read back in viewer mode: both boxes hold the decoded text.
  Find<QCheckBox>(eep, QStringLiteral("ChkCSMsg"))->setChecked(false);
  msg.controls().SetText(QStringLiteral("TxtCSMsg"), -1, QString());
  Find<QAbstractButton>(eep, QStringLiteral("CmdCSMsgW"))->click();
  EXPECT_EQ(eep.controls().Text(QStringLiteral("TxtCSMsg")), QStringLiteral("テスト"));
  EXPECT_EQ(msg.controls().Text(QStringLiteral("TxtCSMsg")), QStringLiteral("テスト"));
}

TEST_F(MessageOnSimulator, EepReadCreatesTheMessageWindowHidden) {
  // No message window yet: a read creates it (here through the loader the
  // registry would be).
  MessagePeers::SetMessageLoader([this]() -> QWidget* { return &Msg(); });
  Control("eeprom set 90 00480049FFFF");
  Find<QAbstractButton>(Eep(), QStringLiteral("CmdCSMsgW"))->click();
  ASSERT_TRUE(msg_);
  EXPECT_FALSE(msg_->isVisible());
  EXPECT_EQ(msg_->controls().Text(QStringLiteral("TxtCSMsg")), QStringLiteral("HI"));
  MessagePeers::SetMessageLoader(nullptr);
}

TEST_F(MessageOnSimulator, AllRowsReadRefillsBothMessageBoxes) {
  // "HELLO": the last character ends in hex F and still reads back whole.
  Control("eeprom set 90 00480045004C004C004FFFFF");
  FormEEP& eep = Eep();
  FormEEPMsg& msg = Msg();
  msg.show();
  eep.controls().SetValue(QStringLiteral("OpEEPAllRdWr_Mivor"), 0, 1);
  Find<QAbstractButton>(eep, QStringLiteral("CmdEepAll_Mivor"))->click();
  EXPECT_EQ(eep.controls().Text(QStringLiteral("TxtCSMsg")), QStringLiteral("HELLO"));
  EXPECT_EQ(msg.controls().Text(QStringLiteral("TxtCSMsg")), QStringLiteral("HELLO"));
}

// The all-rows read fills the message window only while it is shown: it
// neither creates one nor overwrites one that is hidden.
TEST_F(MessageOnSimulator, AllRowsReadLeavesAMessageWindowThatIsNotShownAlone) {
  Control("eeprom set 90 00480049FFFF");
  int loads = 0;
  MessagePeers::SetMessageLoader([this, &loads]() -> QWidget* {
    ++loads;
    return &Msg();
  });
  FormEEP& eep = Eep();
  eep.controls().SetValue(QStringLiteral("OpEEPAllRdWr_Mivor"), 0, 1);
  Find<QAbstractButton>(eep, QStringLiteral("CmdEepAll_Mivor"))->click();
  EXPECT_EQ(eep.controls().Text(QStringLiteral("TxtCSMsg")), QStringLiteral("HI"));
  EXPECT_EQ(loads, 0);
  EXPECT_FALSE(msg_);

  FormEEPMsg& msg = Msg();
  msg.controls().SetText(QStringLiteral("TxtCSMsg"), -1, QStringLiteral("mine"));
  msg.controls().SetText(QStringLiteral("TxtEEPALL_Mivor"), 9, QStringLiteral("0041"));
  Find<QAbstractButton>(eep, QStringLiteral("CmdEepAll_Mivor"))->click();
  EXPECT_EQ(msg.controls().Text(QStringLiteral("TxtCSMsg")), QStringLiteral("mine"));
  EXPECT_EQ(msg.controls().Text(QStringLiteral("TxtEEPALL_Mivor"), 9), QStringLiteral("0041"));
  MessagePeers::SetMessageLoader(nullptr);
}

// Both windows open in viewer mode with the check box's opening caption;
// the mode captions come with the first switch.
TEST_F(MessageOnSimulator, WindowsOpenWithTheServiceMessageViewerCaption) {
  for (QWidget* w : {static_cast<QWidget*>(&Eep()), static_cast<QWidget*>(&Msg())}) {
    SCOPED_TRACE(w->objectName().toStdString());
    auto* mode = Find<QCheckBox>(*w, QStringLiteral("ChkCSMsg"));
    EXPECT_EQ(mode->text(), QStringLiteral("Service Message Viewer"));
    EXPECT_FALSE(mode->isChecked());
    EXPECT_TRUE(Find<QPlainTextEdit>(*w, QStringLiteral("TxtCSMsg"))->isReadOnly());
    EXPECT_EQ(Find<QAbstractButton>(*w, QStringLiteral("CmdCSMsgW"))->text(), QStringLiteral("Read"));
    mode->setChecked(true);
    EXPECT_EQ(mode->text(), QStringLiteral("CS Message Editor"));
    mode->setChecked(false);
    EXPECT_EQ(mode->text(), QStringLiteral("CS Message Viewer"));
  }
}

TEST_F(MessageOnSimulator, RowButtonsReadOnClickAndWriteOnRightRelease) {
  FormEEPMsg& msg = Msg();
  msg.show();
  Open();
  sim_.ClearTranscript();
  const QString data = QStringLiteral("0041") + QString(60, QLatin1Char('F'));
  msg.controls().SetText(QStringLiteral("TxtEEPALL_Mivor"), 10, data);
  auto* button = Find<QPushButton>(msg, QStringLiteral("CmdEEPAd_Mivor"), 10);
  QMouseEvent release(QEvent::MouseButtonRelease, QPointF(2, 2), QPointF(2, 2), Qt::RightButton, Qt::NoButton,
                      Qt::NoModifier);
  QCoreApplication::sendEvent(button, &release);
  button->click();
  EXPECT_EQ(RowCommands(), (std::vector<std::string>{"eew:A0/10/" + data.toStdString(), "eer:A0/10"}));
  EXPECT_EQ(msg.controls().Text(QStringLiteral("TxtEEPALL_Mivor"), 10), data);
  EXPECT_TRUE(testing::ShowsTextStart(Find<QLineEdit>(msg, QStringLiteral("TxtEEPALL_Mivor"), 10)));
  EXPECT_EQ(msg.controls().ToolTip(QStringLiteral("TxtEEPALL_Mivor"), 10), data + QStringLiteral(" [64]"));
  EXPECT_EQ(msg.controls().ToolTip(QStringLiteral("CmdEEPAd_Mivor"), 10),
            QStringLiteral("EEPROM 0xA0～0xAFを読み込みます。"));

  // The message window's own write: same rows, no model question for Mivor.
  Editor(msg, QStringLiteral("テスト"));
  sim_.ClearTranscript();
  Find<QAbstractButton>(msg, QStringLiteral("CmdCSMsgW"))->click();
  EXPECT_EQ(RowCommands().size(), 6u);
  EXPECT_TRUE(msg.isEnabled());

  Find<QAbstractButton>(msg, QStringLiteral("CmdCSMsgClear"))->click();
  EXPECT_FALSE(Find<QCheckBox>(msg, QStringLiteral("ChkCSMsg"))->isChecked());
  EXPECT_TRUE(Find<QPlainTextEdit>(msg, QStringLiteral("TxtCSMsg"))->isReadOnly());
  EXPECT_EQ(msg.controls().Text(QStringLiteral("LbCSMsg")), QStringLiteral("0byte [0.0%] [max192byte]"));
  EXPECT_EQ(msg.controls().Text(QStringLiteral("CmdCSMsgW")), QStringLiteral("Read"));
  EXPECT_EQ(msg.controls().Text(QStringLiteral("TxtEEPALL_Mivor"), 9), QString());
}

TEST_F(MessageOnSimulator, MessageWindowScreenshotInEditorMode) {
  FormEEPMsg& msg = Msg();
  msg.show();
  Editor(msg, QStringLiteral("テスト"));
  ASSERT_TRUE(QDir().mkpath(QStringLiteral(QUOREL_SCREENSHOT_DIR)));
  ASSERT_TRUE(msg.grab().save(QStringLiteral(QUOREL_SCREENSHOT_DIR "/eep_msg_editor.png")));
  EXPECT_EQ(msg.controls().Text(QStringLiteral("CmdCSMsgW")), QStringLiteral("Wrire"));
}

}  // namespace
}  // namespace quorel::eep

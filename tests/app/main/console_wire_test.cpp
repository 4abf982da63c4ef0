// The console against the simulator through the real library: what each of
// the 42 buttons and the right-button variants put on the wire, the card-kind
// rule of "MS:", the "PD:" page with its control bytes and line breaks, and
// the Enter key of the page boxes; and the restart wait of "RS".
#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest/QTest>

#include "core/console_commands.h"
#include "core/cp932_codec.h"
#include "main_window_fixture.h"
#include "support/scripted_dialogs.h"

namespace quorel {
namespace {

using Wire = std::vector<QByteArray>;

class ConsoleWire : public testing::MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    FreshSettings();
    StartDevice();
    Start();
    // No five-second restart wait after "RS": the wait is the channel's.
    ui().SetValue(QStringLiteral("ChkRSmode"), 1);
  }
  QPushButton* Button(int index) { return ButtonOf(QStringLiteral("Command1"), index); }
  QPushButton* ButtonOf(const QString& name, int index) { return ui().Get<QPushButton>(name, index); }
  // The commands one press puts on the wire.
  Wire Press(int index) {
    sim_.ClearTranscript();
    QTest::mouseClick(Button(index), Qt::LeftButton);
    return Commands();
  }
  Wire RightClick(int index) {
    sim_.ClearTranscript();
    QTest::mouseClick(Button(index), Qt::RightButton);
    return Commands();
  }
};

QByteArray Bytes(const QString& text) { return cp932::Encode(text); }

TEST_F(ConsoleWire, EveryButtonPutsExactlyItsCommandsOnTheWire) {
  ui().SetText(QStringLiteral("TxtMDData"), QStringLiteral("K0N0"));
  ui().SetText(QStringLiteral("txtWd"), 1, QStringLiteral("ABC123"));
  ui().SetText(QStringLiteral("txtWd"), 2, QStringLiteral("12345"));
  ui().SetText(QStringLiteral("txtWd"), 3, QStringLiteral("987"));
  const std::vector<std::pair<int, Wire>> table = {
      {0, {}},
      {1, {"PA"}},
      {2, {"RS"}},
      {3, {"CI"}},
      {4, {"MS:K0N0"}},
      {5, {"CO"}},
      {6, {"CI*"}},
      {7, {"CL"}},
      {8, {"BI"}},
      {9, {"BO"}},
      {10, {"BP"}},
      {11, {"FE"}},
      {12, {"HC"}},
      {13, {"CR"}},
      {14, {"CE"}},
      {15, {"EC"}},
      {16, {"FP"}},
      {17, {"RP"}},
      {18, {"MR"}},
      {19, {"CT"}},
      {20, {"ST"}},
      {21, {"VS"}},
      {24, {"RD"}},
      {25, {"WR"}},
      {26, {"WN"}},
      {27, {"VR"}},
      {28, {"RC"}},
      {29, {"DT:1"}},
      {30, {"DT:2"}},
      {31, {"DT:3"}},
      {32, {"WD:1/ABC123"}},
      {33, {"WD:2/12345"}},
      {34, {"WD:3/987"}},
      {35, {"PC"}},
      {36, {"PR"}},
      {37, {"PO"}},
      {38, {"PP"}},
      {39, {"EP", "CO"}},
      {40, {"CI", "EP"}},
      {41, {"CI", "PR"}},
      {43,
       {"PD:0/0/24/\x1b"
        "e222012"}},
      {44, {"AS:0/459"}},
  };
  ASSERT_EQ(table.size(), ConsoleButtons().size());
  for (const auto& [index, wire] : table) EXPECT_EQ(Press(index), wire) << "Command1(" << index << ")";
  // The first press opened the port and polled; every press after it found
  // a finished reply, so no "CL" went first.
  EXPECT_TRUE(mm().gPortOpen);
}

TEST_F(ConsoleWire, RightButtonVariants) {
  const std::vector<std::pair<int, Wire>> table = {{2, {"RSS"}},   {4, {"MS:d1", "MR"}}, {21, {"VS?"}}, {29, {"dt:1"}},
                                                   {30, {"dt:2"}}, {31, {"dt:3"}},       {5, {}},       {0, {}},
                                                   {43, {}}};
  Press(0);  // opens the port
  for (const auto& [index, wire] : table) EXPECT_EQ(RightClick(index), wire) << "Command1(" << index << ")";
  // A power-up report is answered with "PA" first.
  Control("idle 20 00");
  EXPECT_EQ(RightClick(21), (Wire{"PA", "VS?"}));
}

TEST_F(ConsoleWire, MsCarriesTheCardKindAndWithoutOneShowsTheBoxOnly) {
  ui().SetValue(QStringLiteral("ChkCardKind"), 0, 1);
  {
    testing::ScriptedDialogs dialogs;
    dialogs.ExpectBox(QStringLiteral("カード種選択エラー"),
                      QStringLiteral("カード種が設定されておりません。\r\nご確認ください！。"), BoxAnswer::kOk);
    ui().SetText(QStringLiteral("TxtMDData"), QStringLiteral("K0"));
    EXPECT_EQ(Press(4), Wire{});
    EXPECT_EQ(ui().Text(QStringLiteral("TxtMDData")), QStringLiteral("K0"));
    EXPECT_TRUE(QApplication::focusWidget() == nullptr ||
                QApplication::focusWidget()->objectName() == QLatin1String("CmbKdKind"));
  }
  ui().SetListIndex(QStringLiteral("CmbKdKind"), -1, 5);
  ASSERT_TRUE(ui().Text(QStringLiteral("CmbKdKind")).startsWith(QLatin1Char('5')));
  const std::vector<std::pair<QString, QByteArray>> cases = {
      {"", "MS:B5"}, {"B1K0", "MS:B5K0"}, {"K0N0", "MS:K0N0B5"}, {"K0B", "MS:K0B5"}, {"K0\r\nN0", "MS:K0N0B5"}};
  for (const auto& [box, command] : cases) {
    ui().SetText(QStringLiteral("TxtMDData"), box);
    EXPECT_EQ(Press(4), Wire{command}) << box.toStdString();
    EXPECT_EQ(ui().Text(QStringLiteral("TxtMDData")), QString::fromLatin1(command.mid(3)));
  }
  ui().SetValue(QStringLiteral("ChkCardKind"), 2, 1);
  EXPECT_EQ(Press(4), (Wire{"MS:K0N0B5", "MR"}));
}

TEST_F(ConsoleWire, PageTextLineBreaksReachTheWireAsLf) {
  ui().SetText(QStringLiteral("TxtPDData"), QStringLiteral("0/0/0/AB\r\nCD"));
  EXPECT_EQ(Press(43), Wire{"PD:0/0/0/AB\nCD"});
  // A double-byte page line goes out in CP932.
  ui().SetText(QStringLiteral("TxtPDData"), QStringLiteral("1/216/2/ﾎﾟｲﾝﾄ 累計"));
  EXPECT_EQ(Press(43), Wire{Bytes(QStringLiteral("PD:1/216/2/ﾎﾟｲﾝﾄ 累計"))});
}

TEST_F(ConsoleWire, EnterInAPageBoxSendsWithoutPuttingALineBreakIntoTheBox) {
  auto* page = qobject_cast<QPlainTextEdit*>(ui().Find(QStringLiteral("TxtPDData")));
  ASSERT_TRUE(page);
  page->clear();
  QTest::keyClicks(page, QStringLiteral("0/0/0/AB"));
  sim_.ClearTranscript();
  QTest::keyClick(page, Qt::Key_Return);
  EXPECT_EQ(Commands(), Wire{"PD:0/0/0/AB"});
  EXPECT_EQ(page->toPlainText(), QStringLiteral("0/0/0/AB"));
  // The next send does not begin with a line break; Shift+Enter makes one.
  page->moveCursor(QTextCursor::End);
  QTest::keyClick(page, Qt::Key_Return, Qt::ShiftModifier);
  QTest::keyClicks(page, QStringLiteral("CD"));
  sim_.ClearTranscript();
  QTest::keyClick(page, Qt::Key_Enter);
  EXPECT_EQ(Commands(), Wire{"PD:0/0/0/AB\nCD"});

  auto* mode = qobject_cast<QPlainTextEdit*>(ui().Find(QStringLiteral("TxtMDData")));
  mode->clear();
  QTest::keyClicks(mode, QStringLiteral("K0"));
  sim_.ClearTranscript();
  QTest::keyClick(mode, Qt::Key_Return);
  EXPECT_EQ(Commands(), Wire{"MS:K0"});
  EXPECT_EQ(mode->toPlainText(), QStringLiteral("K0"));
}

TEST_F(ConsoleWire, TheSendBoxAndTheCustomCommandsOnTheWire) {
  auto& controls = ui();
  auto* box = qobject_cast<QLineEdit*>(controls.Find(QStringLiteral("TxtSendBox")));
  box->setText(QStringLiteral("esc$Aver$"));
  sim_.ClearTranscript();
  QTest::keyClick(box, Qt::Key_Return);
  EXPECT_EQ(Commands(), Wire{"\x1b"
                             "Aver$"});
  EXPECT_EQ(ui().Text(QStringLiteral("TxtSendLenBox")), QStringLiteral("9"));
  Control("device standard");
  Press(21);  // "VS": the version behind "ver$"
  ASSERT_FALSE(mm().gVersionText.isEmpty());
  ui().SetText(QStringLiteral("TxtCustomSendCmd"), 2, QStringLiteral("PDver$"));
  ui().SetText(QStringLiteral("TxtCustomSendCmd"), 4, QStringLiteral("VSver$"));
  sim_.ClearTranscript();
  QTest::keyClick(controls.Get<QWidget>(QStringLiteral("TxtCustomSendCmd"), 2), Qt::Key_Return);
  QTest::mouseClick(ButtonOf(QStringLiteral("CmdCustomSend"), 4), Qt::LeftButton);
  EXPECT_EQ(Commands(), (Wire{Bytes(QStringLiteral("PD") + mm().gVersionText), "VSver$"}));
}

TEST_F(ConsoleWire, TheRestartWaitPollsThroughAGarbledReplyUntilTheDeviceReportsReady) {
  Control("device standard");
  Control("restart 0");
  Press(0);  // opens the port
  // The first answer after the restart arrives garbled, also when asked again.
  Control("badbcc 4");
  EXPECT_EQ(Press(2), Wire{"RS"});
  EXPECT_EQ(sim_.CountTag(sim::Dir::Device, "REPLY R"), 5);  // four garbled, then the clean one
  EXPECT_EQ(mm().gReplyKind, QStringLiteral("R"));
}

}  // namespace
}  // namespace quorel

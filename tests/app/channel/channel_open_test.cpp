// Opening and closing the port, the port labels, the tick's displays and
// the line events, on the scripted binding.
#include <cerrno>
#include <cstring>

#include "channel_fixture.h"
#include "platform/com_map.h"

namespace quorel::testing {
namespace {

const QString kOpenErrorText = QStringLiteral("他のアプリケーションが使用している可能性があります。\r\nもしくはポートが存在しません。");

class ChannelOpen : public FakeChannelTest {};

TEST_F(ChannelOpen, DefaultEventSettingsGiveMaskA700AndGreenLabels) {
  channel_.commIni();
  ASSERT_TRUE(mm().gPortOpen);
  const auto open = fake_.CallsOf("crwOpenPort");
  ASSERT_EQ(open.size(), 1u);
  EXPECT_EQ(open[0].args, (std::vector<QByteArray>{"3", "9600", "8", "E"}));
  const auto proc = fake_.CallsOf("crwSetCommEventProc");
  ASSERT_EQ(proc.size(), 2u);  // unregistered by the close in front, then registered
  EXPECT_EQ(proc[0].args, (std::vector<QByteArray>{"3", "0", "0", "0"}));
  EXPECT_EQ(proc[1].args, (std::vector<QByteArray>{"3", "proc", "0", QByteArray::number(0xA700)}));
  EXPECT_EQ(fake_.CallsOf("crwComDSRCTSsw")[0].args, (std::vector<QByteArray>{"3", "1", "1"}));
  EXPECT_EQ(view_.Text("Label25"), "COM Open");
  EXPECT_EQ(view_.Text("LbComClaimed"), "True");
  for (const char* label : {"LbComViewer", "LbComConfig", "LbComClaimed"}) EXPECT_EQ(view_.back[label], 0x00FF00u);
  EXPECT_TRUE(channel_.timerActive());
  EXPECT_EQ(channel_.timerInterval(), 2);

  // The tick writes the port number and the line settings.
  EXPECT_TRUE(PumpUntilTrue([this] { return !view_.Text("LbComViewer").isEmpty(); }, 5000));
  EXPECT_EQ(view_.Text("LbComViewer"), "3");
  EXPECT_EQ(view_.Text("LbComConfig"), "9600,E,8,1");
}

TEST_F(ChannelOpen, EveryEventKeyAddsItsBit) {
  mm().gEvtFlags = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
  channel_.commIni();
  EXPECT_EQ(fake_.CallsOf("crwSetCommEventProc").back().args[3], QByteArray::number(0x1F705));
  // Only a value of exactly 1 counts.
  fake_.ClearCalls();
  mm().gEvtFlags = {2, -1, 0, 0, 0, 0, 0, 0, 0, 1};
  channel_.commIni();
  EXPECT_EQ(fake_.CallsOf("crwSetCommEventProc").back().args[3], QByteArray::number(0x10000));
}

TEST_F(ChannelOpen, ResultOneCountsAsOpen) {
  fake_.Push("crwOpenPort", 1);
  channel_.commIni();
  EXPECT_TRUE(mm().gPortOpen);
  EXPECT_TRUE(channel_.timerActive());
}

TEST_F(ChannelOpen, PortHeldElsewhereShowsTheOpenErrorBoxAndGreyLabels) {
  fake_.Push("crwOpenPort", 101);
  dialogs_.ExpectBox(QStringLiteral("COM3オープンエラー"), kOpenErrorText, BoxAnswer::kOk);
  channel_.commIni();
  EXPECT_FALSE(mm().gPortOpen);
  EXPECT_FALSE(channel_.timerActive());
  for (const char* label : {"LbComViewer", "LbComConfig", "LbComClaimed"}) EXPECT_EQ(view_.back[label], 0x808080u);
  ASSERT_EQ(dialogs_.recorded().size(), 1u);
  EXPECT_EQ(dialogs_.recorded()[0].icon, BoxIcon::kCritical);
  EXPECT_EQ(dialogs_.recorded()[0].buttons, BoxButtons::kOk);
  EXPECT_EQ(fake_.Count("crwSetCommEventProc"), 1);  // only the close's unregistration
}

TEST_F(ChannelOpen, TheSystemsReasonGoesOnALineOfItsOwnUnderTheOpenErrorText) {
  const QString device = QString::fromStdString(plat::ComDevicePath(3));
  struct Case {
    int err;
    QString line;
  } cases[] = {
      {EBUSY, device + QStringLiteral(": ") + QString::fromLocal8Bit(strerror(EBUSY))},
      // The user outside the device's group learns which group to join.
      {EACCES, device + QStringLiteral(": ") + QString::fromLocal8Bit(strerror(EACCES)) +
                   QStringLiteral(". Join the dialout group (sudo adduser $USER dialout) and log in again.")},
  };
  for (const Case& c : cases) {
    FakeResult refused;
    refused.rc = CRW_PORT_NOT_OPEN;
    refused.nums = {c.err};
    fake_.Push("crwOpenPort", refused);
    dialogs_.ExpectBox(QStringLiteral("COM3オープンエラー"), kOpenErrorText + QStringLiteral("\r\n") + c.line,
                       BoxAnswer::kOk);
    channel_.commIni();
    EXPECT_FALSE(mm().gPortOpen) << c.err;
  }
  // A number without a device file.
  mm().gPort = 200;
  FakeResult refused;
  refused.rc = CRW_PORT_NOT_OPEN;
  refused.nums = {ENODEV};
  fake_.Push("crwOpenPort", refused);
  dialogs_.ExpectBox(QStringLiteral("COM200オープンエラー"),
                     kOpenErrorText + QStringLiteral("\r\nCOM200 has no device file"), BoxAnswer::kOk);
  channel_.commIni();
  EXPECT_EQ(dialogs_.pending(), 0u);
}

TEST_F(ChannelOpen, OtherFailuresAndAMissingLibraryLeaveThePortClosedWithoutABox) {
  for (int32_t rc : {2, 110, int32_t{kLinkUnbound}}) {
    fake_.Push("crwOpenPort", rc);
    channel_.commIni();
    EXPECT_FALSE(mm().gPortOpen) << rc;
    EXPECT_FALSE(channel_.timerActive()) << rc;
  }
  EXPECT_TRUE(dialogs_.recorded().empty());
}

TEST_F(ChannelOpen, CloseClearsTheChannelAndPaintsTheLampFromTheLastKind) {
  Open();
  struct Case {
    const char* label10;
    uint32_t lamp;
  } cases[] = {{"BVS", 0x008080}, {"R", 0x008000}, {"AVS", 0x0000C0}, {"", 0x808080}};
  for (const Case& c : cases) {
    channel_.commIni();
    view_.Apply({QStringLiteral("Label10"), -1, DisplayProperty::kCaption, QLatin1String(c.label10), -1});
    mm().gSendCommand = QStringLiteral("VS");
    mm().gSendPending = mm().gPolling = mm().gLineBusy = 1;
    channel_.commClose();
    EXPECT_EQ(view_.back["Label53"], c.lamp) << c.label10;
    EXPECT_FALSE(mm().gPortOpen);
    EXPECT_EQ(mm().gSendPending + mm().gPolling + mm().gLineBusy, 0);
    EXPECT_TRUE(mm().gSendCommand.isEmpty());
    EXPECT_EQ(view_.Text("Label25"), "COM Close");
    EXPECT_EQ(view_.Text("LbComClaimed"), "False");
    EXPECT_FALSE(channel_.timerActive());
  }
  EXPECT_EQ(fake_.CallsOf("crwSetCommEventProc").back().args, (std::vector<QByteArray>{"3", "0", "0", "0"}));
  EXPECT_GE(view_.sideTimerStops, 4);
}

TEST_F(ChannelOpen, AFailedCloseKeepsThePortOpenButClearsTheFlags) {
  Open();
  mm().gSendPending = 1;
  fake_.Push("crwClosePort", 140);
  channel_.commClose();
  EXPECT_TRUE(mm().gPortOpen);
  EXPECT_EQ(mm().gSendPending, 0);
}

class LineEvents : public FakeChannelTest {};

TEST_F(LineEvents, BreakClosesThePortWithTheCableBox) {
  Open();
  dialogs_.ExpectBox(QStringLiteral("USBケーブル切断検地"),
                     QStringLiteral("BREAK信号を検知しました\r\nUSBケーブルの挿入状態を確認してください"), BoxAnswer::kOk);
  fake_.FireLineEvent(0x8000);
  // The event descriptor's notifier runs the dispatch from the event loop.
  EXPECT_TRUE(PumpUntilTrue([] { return !mm().gPortOpen; }, 1000));
  EXPECT_EQ(view_.Text("Label25"), "BREAK Signal");
  EXPECT_EQ(view_.back["Label53"], 0x0000C0u);
  ASSERT_EQ(dialogs_.recorded().size(), 1u);
  EXPECT_EQ(dialogs_.recorded()[0].icon, BoxIcon::kCritical);
  EXPECT_FALSE(channel_.timerActive());
}

TEST_F(LineEvents, EachSingleBitHasItsLabelAndBox) {
  struct Case {
    int32_t bit;
    const char* label;
    const char* title;
    const char* text;
  } cases[] = {
      {0x400, "Parity Err", "パリティエラー検知", "パリティエラーを検知しました"},
      {0x200, "Overrun Err", "オーバーランエラー検知", "オーバーランエラーを検知しました"},
      {0x100, "Framming Err", "フレーミングエラー検知", "フレーミングエラーを検知しました"},
      {0x1000, "CTS Change", "CTS信号変化検知", "CTS信号状態変化を検知しました"},
      {0x2000, "DSR Change", "DSR信号変化検知", "DSR信号状態変化を検知しました\r\nケーブルの挿入状態を確認してください"},
      {0x4000, "RLSD Change", "RLSD信号変化検知", "RLSD信号状態変化を検知しました"},
  };
  for (const Case& c : cases) {
    Open();
    dialogs_.ExpectBox(QString::fromUtf8(c.title), QString::fromUtf8(c.text), BoxAnswer::kOk);
    channel_.CommEventProc(c.bit);
    EXPECT_FALSE(mm().gPortOpen) << c.label;
    EXPECT_EQ(view_.Text("Label25"), c.label);
  }
  EXPECT_TRUE(channel_.log().text().isEmpty());  // nothing is logged
}

TEST_F(LineEvents, CombinedAndUnlistedBitsDoNothing) {
  Open();
  for (int32_t bits : {0x600, 0x1, 0x4, 0x10000, 0xA000}) fake_.FireLineEvent(bits);
  PumpFor(50);
  EXPECT_TRUE(mm().gPortOpen);
  EXPECT_TRUE(dialogs_.recorded().empty());
  EXPECT_EQ(fake_.Count("crwClosePort"), 0);
}

TEST_F(LineEvents, AnEventDuringAWaitEndsItAsPortClosed) {
  Open();
  dialogs_.ExpectBox(QStringLiteral("DSR信号変化検知"),
                     QStringLiteral("DSR信号状態変化を検知しました\r\nケーブルの挿入状態を確認してください"), BoxAnswer::kOk);
  // The device is busy; the cable goes while the caller waits.
  fake_.SetDefault("crwReceiveResponse", FakeLinkApi::Reply(QStringLiteral("BVS00")));
  QTimer::singleShot(30, [&] { fake_.FireLineEvent(0x2000); });
  EXPECT_EQ(Comu(QStringLiteral("VS")), ComuOutcome::kPortClosed);
  EXPECT_FALSE(mm().gPortOpen);
  // Closed means closed: no tick runs on.
  const int calls = static_cast<int>(fake_.calls().size());
  PumpFor(30);
  EXPECT_EQ(static_cast<int>(fake_.calls().size()), calls);
}

TEST_F(LineEvents, AnEventAfterTheChannelClosedThePortShowsNoSecondBox) {
  Open();
  // The poll finds the line gone and says so; the library's event of the
  // same loss is dispatched afterwards.
  FakeResult dsr;
  dsr.rc = CRW_DSR_TIMEOUT;
  dsr.during = [&] { fake_.FireLineEvent(0x8000); };
  fake_.Push("crwReceiveResponse", dsr);
  dialogs_.ExpectBox(QStringLiteral("Quorel"), QStringLiteral("端末がＯＦＦです"), BoxAnswer::kOk);
  EXPECT_EQ(channel_.poll(), ComuOutcome::kPortClosed);
  PumpFor(30);
  EXPECT_EQ(dialogs_.recorded().size(), 1u);
  EXPECT_EQ(Log(), (Lines{"Poll", "   DSR/CTS Time Out 1000ms"}));
}

}  // namespace
}  // namespace quorel::testing

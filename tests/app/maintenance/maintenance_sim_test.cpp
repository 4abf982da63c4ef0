// The self-print test and the service buttons through the real library
// against the simulated device: the bytes on the wire, the device's print
// buffer and what the channel decoded into the displays.
#include <gtest/gtest.h>

#include "core/cp932_codec.h"
#include "core/maintenance_commands.h"
#include "core/print_pages.h"
#include "core/self_print.h"
#include "core/versions.h"
#include "sim_fixture.h"

namespace quorel::testing {
namespace {

using Bytes = std::vector<QByteArray>;

class DeviceServices : public DeviceTest {
 protected:
  void SetUp() override {
    DeviceTest::SetUp();
    ui_.SetText(QStringLiteral("Command2"), 5, QStringLiteral("時計確認"));
    buttons_.SetLoopPause(0.05f);
  }
  int16_t busy_ = 0;
  MaintenanceCommands buttons_{ui_, host_, busy_};
};

TEST_F(DeviceServices, SelfPrintPageOneReachesTheWireAndThePrintBuffer) {
  Open();
  SelfPrint(host_).CmdJIkoPD_Click(1);
  const std::vector<QString> page =
      print::SelfPrintPage(1, {QStringLiteral("Mivor V1.20"), QStringLiteral("5"), QStringLiteral("25")});
  ASSERT_EQ(page.size(), 1u + 5u + 3u);
  Bytes want{"TH", "VS", "PC"};
  std::vector<std::string> buffer;
  for (const QString& c : page) {
    want.push_back(cp932::Encode(c));
    buffer.push_back(cp932::Encode(c).toStdString());
  }
  EXPECT_EQ(Wire(), want);
  EXPECT_EQ(sim_.PrintData(), buffer);
  EXPECT_EQ(mm().gVersionText, QStringLiteral("Mivor V1.20"));
  EXPECT_EQ(mm().gThTphRank, QStringLiteral("5"));

  // The console's print then makes a card of it.
  Control("card middle");
  mm().gSendCommand = QStringLiteral("PR");
  EXPECT_EQ(channel_.comu(), ComuOutcome::kAnswered);
  const std::vector<std::vector<std::string>> cards = sim_.PrintedCards();
  ASSERT_EQ(cards.size(), 1u);
  buffer.push_back("PR");
  EXPECT_EQ(cards[0], buffer);
  EXPECT_TRUE(sim_.PrintData().empty());
}

TEST_F(DeviceServices, EveryPageIsTakenByTheDevice) {
  Open();
  for (int index = 1; index <= 7; ++index) {
    SelfPrint(host_).CmdJIkoPD_Click(index);
    EXPECT_EQ(mm().gReplyText.left(5), QStringLiteral("APD90")) << index;
    EXPECT_EQ(sim_.PrintData().size(), print::SelfPrintPage(index, {}).size()) << index;
  }
}

TEST_F(DeviceServices, HeadPowerWithAutoCheckReadsTheHeadBack) {
  Open();
  ui_.SetText(QStringLiteral("TxtPWETSend"), 0, QStringLiteral(" 12 "));
  ui_.SetValue(QStringLiteral("ChkPWETAuto"), 1);
  buttons_.Command2_Click(0);
  EXPECT_EQ(Wire(), (Bytes{"PW:12", "VS", "RE", "TH"}));
  EXPECT_EQ(ui_.Text(QStringLiteral("TxtPWETSend"), 3), QStringLiteral("0012"));
  EXPECT_EQ(ui_.Text(QStringLiteral("LbTH"), 0), QStringLiteral("5250012328A31"));
  EXPECT_FALSE(ui_.Text(QStringLiteral("LbTH"), 1).isEmpty());
  EXPECT_EQ(busy_, 0);
}

TEST_F(DeviceServices, ClockSettingAndTheClockCheckLoop) {
  Open();
  buttons_.SetClock([] { return QDateTime(QDate(2024, 3, 3), QTime(10, 20, 30)); });
  buttons_.Command2_Click(6);
  EXPECT_EQ(Wire(), (Bytes{"CK:24030300102030"}));
  // The loop runs until its button is pressed again.
  QTimer stop;
  QObject::connect(&stop, &QTimer::timeout, [&] {
    if (Sent("CK") >= 3) {
      stop.stop();
      buttons_.Command2_Click(5);
    }
  });
  stop.start(10);
  buttons_.Command2_Click(5);
  EXPECT_GE(Sent("CK"), 4);
  EXPECT_EQ(ui_.Text(QStringLiteral("Command2"), 5), QStringLiteral("時計確認"));
  EXPECT_TRUE(ui_.Text(QStringLiteral("Label37")).startsWith(QStringLiteral(" 時計ﾃﾞｰﾀ : 2024/03/03(日)")))
      << ui_.Text(QStringLiteral("Label37")).toStdString();
}

TEST_F(DeviceServices, CounterReadoutByFamily) {
  Open();
  Control("counter a 1234ABCD");
  buttons_.Command34_Click();
  QStringList lines = ui_.Text(QStringLiteral("LbEEPForm")).split(QStringLiteral("\r\n"));
  ASSERT_EQ(lines.size(), 19);
  EXPECT_EQ(lines[0], QStringLiteral("　　 ｶｰﾄﾞﾊﾟｽ回数: 1234ABCD"));
  Control("model dastel");
  buttons_.Command34_Click();
  lines = ui_.Text(QStringLiteral("LbEEPForm")).split(QStringLiteral("\r\n"));
  ASSERT_EQ(lines.size(), 12);
  EXPECT_EQ(lines[0], QStringLiteral("パス　回数 : 00000100"));
  EXPECT_EQ(WireStarting("CT:").size(), 19u + 12u);
}

TEST_F(DeviceServices, ErrorCountResetThenTheCounters) {
  Open();
  dialogs_.ExpectBox(ProgramTitle(), QStringLiteral("EEPROM内容を変更しますか ?"), BoxAnswer::kOk);
  buttons_.Command2_Click(13);
  const Bytes wire = Wire();
  ASSERT_EQ(wire.size(), 2u + 19u);
  EXPECT_EQ(wire[0], QByteArray("!!e"));
  EXPECT_EQ(wire[1], QByteArray("VS"));
}

}  // namespace
}  // namespace quorel::testing

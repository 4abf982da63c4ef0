// The test bench window as a user meets it, offscreen, against the
// simulated device: one test after another on the same window, the boxes
// as they open, the questions answered with Enter, the displays a reset
// puts back, and the volume pictures beside the program.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>

#include "channel/sim_channel_fixture.h"
#include "core/qt_dialog_host.h"
#include "support/scripted_dialogs.h"
#include "testbench/clock_test.h"
#include "testbench/dip_switch_test.h"
#include "testbench/form_mivor_test.h"
#include "testbench/hooked_job_host.h"
#include "testbench/identity_job.h"

namespace quorel::testing {
namespace {

class BenchWindowSim : public SimChannelTest {
 protected:
  void SetUp() override {
    SimChannelTest::SetUp();
    Open();
  }
  void TearDown() override {
    delete form_.data();
    SimChannelTest::TearDown();
  }
  FormMivorTest& Form() {
    if (!form_) form_ = new FormMivorTest(host_);
    return *form_;
  }
  template <typename W = QPushButton>
  W* Find(const QString& name, int index = -1) {
    auto* w = Form().findChild<W*>(ControlKey(name, index));
    EXPECT_NE(w, nullptr) << name.toStdString();
    return w;
  }
  QString Text(const QString& name, int index = -1) { return Form().controls().Text(name, index); }

  ChannelJobHost channelHost_{channel_};
  HookedHost host_{channelHost_};
  QPointer<FormMivorTest> form_;
};

// A stopped clock test leaves its stop request behind; the DIP-switch test
// that follows answers only to its own Stop and runs until every switch
// went over and back.
TEST_F(BenchWindowSim, DipTestAfterAStoppedClockTestRunsToOk) {
  QPushButton* clock = Find(QStringLiteral("CmdTimeSynchronize"));
  host_.before = [&](const QString& c) {
    if (c == QLatin1String("CK") && Sent("CK") >= 2 && clock->text() == ClockTest::kStop) clock->click();
  };
  clock->click();
  host_.before = nullptr;
  ASSERT_EQ(clock->text(), ClockTest::kStart);

  Control("dip script 0000 FFFF 0000");
  sim_.ClearTranscript();
  Find(QStringLiteral("CmdDSWTest"))->click();
  EXPECT_EQ(Text(QStringLiteral("lbDSWTestOKNG")), QStringLiteral("OK"));
  EXPECT_GE(Sent("!!"), 3);
  EXPECT_EQ(Text(QStringLiteral("CmdDSWTest")), DipSwitchTest::kStart);
}

// Its own Stop and closing the window still end it.
TEST_F(BenchWindowSim, DipTestEndsOnItsStopAndOnTheWindowsClose) {
  Control("dip 0000");
  QPushButton* dip = Find(QStringLiteral("CmdDSWTest"));
  host_.before = [&](const QString& c) {
    if (c == QLatin1String("!!i") && Sent("!!") == 3) dip->click();
  };
  dip->click();
  EXPECT_EQ(Text(QStringLiteral("lbDSWTestOKNG")), QStringLiteral("Stop"));
  EXPECT_EQ(Sent("!!"), 4);

  Form().show();
  sim_.ClearTranscript();
  host_.before = [&](const QString& c) {
    if (c == QLatin1String("!!i") && Sent("!!") == 3) Form().close();
  };
  dip->click();
  EXPECT_EQ(Text(QStringLiteral("lbDSWTestOKNG")), QStringLiteral("Stop"));
  EXPECT_EQ(Sent("!!"), 4);
}

// The identity boxes open with their design texts: a Write right after
// opening sends them, and the raw serial has its twelve characters. A box
// that gets the focus has its whole text selected.
TEST_F(BenchWindowSim, IdentityBoxesOpenWithTheirTextsAndSelectThemOnFocus) {
  EXPECT_EQ(Text(QStringLiteral("TxtBarCodeLabel"), 0), QStringLiteral("2000001"));
  EXPECT_EQ(Text(QStringLiteral("TxtBarCodeLabel"), 1), QStringLiteral("02000001"));
  EXPECT_EQ(Text(QStringLiteral("TxtDeviceSerial"), 0), QStringLiteral("00001"));
  const QString serial = EncodedSerial(Text(QStringLiteral("LbInputDeviceSiri")), QStringLiteral("00001"));
  EXPECT_EQ(serial.size(), 12);
  EXPECT_EQ(Text(QStringLiteral("TxtDeviceSerial"), 1), serial);

  sim_.ClearTranscript();
  Find(QStringLiteral("CmdBarCodeLabel"), 1)->click();
  EXPECT_EQ(Sent("ee w:80/02/02000001"), 1);
  EXPECT_EQ(Text(QStringLiteral("LbBarCodeLabel")), QStringLiteral("02000001"));
  Find(QStringLiteral("CmdDeviceSerial"), 1)->click();
  EXPECT_EQ(Sent("ee w:82/03/" + serial.toStdString()), 1);
  EXPECT_EQ(Text(QStringLiteral("LbDeviceSerial")), serial);

  Find<QTabWidget>(QStringLiteral("SSTabMivorTest"))->setCurrentIndex(3);
  Form().show();
  Form().activateWindow();
  for (const char* name : {"TxtBarCodeLabel", "TxtDeviceSerial", "TxtDate"}) {
    auto* box = Find<QLineEdit>(QLatin1String(name), 0);
    box->setFocus(Qt::MouseFocusReason);
    EXPECT_TRUE(PumpUntilTrue([box] { return !box->text().isEmpty() && box->selectedText() == box->text(); }, 2000))
        << name;
  }
}

// The backup RAM question defaults to Cancel: Enter erases nothing.
TEST_F(BenchWindowSim, EnterInTheRamClearQuestionErasesNothing) {
  Form();
  QtDialogHost qt;
  SetDialogHost(&qt);
  QString title;
  OnModal([&title](QWidget* w) {
    title = w->windowTitle();
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &enter);
  });
  sim_.ClearTranscript();
  Find(QStringLiteral("CmdRAMClear"))->click();
  SetDialogHost(&dialogs_);
  EXPECT_EQ(title, QStringLiteral("RAM Clear Mode"));
  EXPECT_EQ(Sent("!!"), 0);
  EXPECT_EQ(Sent("md"), 0);
  EXPECT_EQ(Text(QStringLiteral("LbRAMClear")), QStringLiteral("Status"));
  EXPECT_TRUE(Find(QStringLiteral("CmdRAMClear"))->isEnabled());
}

// labelInit (here run by the settings read of the EEPROM tab) empties the
// adjustment tab's message line, greys its panel and darkens the 7-segment
// picture.
TEST_F(BenchWindowSim, LabelInitClearsTheTestMessageAndTheSevenSegments) {
  FormControls& ui = Form().controls();
  ui.SetText(QStringLiteral("LbTestMsg"), -1, QStringLiteral("消去マージン確認テスト NG"));
  ui.SetBackColor(QStringLiteral("ShapeTestMsg"), -1, 0xFF);
  ui.SetText(QStringLiteral("Lb7Seg"), -1, QStringLiteral("8."));
  Find(QStringLiteral("EEPSetting_Mivor"))->click();
  EXPECT_GE(Sent("TH"), 1);
  EXPECT_EQ(Text(QStringLiteral("LbTestMsg")), QString());
  EXPECT_EQ(Text(QStringLiteral("Lb7Seg")), QString());
  auto* panel = Find<QWidget>(QStringLiteral("ShapeTestMsg"));
  panel->resize(40, 20);
  EXPECT_EQ(panel->grab().toImage().pixelColor(1, 1), QColor(0xE0, 0xE0, 0xE0));
}

}  // namespace
}  // namespace quorel::testing

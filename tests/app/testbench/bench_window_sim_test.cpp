// The test bench window as a user meets it, offscreen, against the
// simulated device: one test after another on the same window, the boxes
// as they open, the questions answered with Enter, the displays a reset
// puts back, and the volume pictures beside the program.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>

#include "channel/sim_channel_fixture.h"
#include "core/folders.h"
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
  // The picture PicVolume shows, as an image (null when it shows none).
  QImage Shown() {
    auto* box = Find<QLabel>(QStringLiteral("PicVolume"));
    return box->pixmap().isNull() ? QImage() : box->pixmap().toImage().convertToFormat(QImage::Format_RGB32);
  }
  static QImage Picture(const char* name) {
    return QImage(JoinPath(ProgramDir(), QLatin1String(name))).convertToFormat(QImage::Format_RGB32);
  }

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

// The volume pictures are drawn at build time beside the program; the
// window opens with the silent one and the buzzer check steps through them.
TEST_F(BenchWindowSim, VolumePicturesComeFromBesideTheProgram) {
  int waves[3] = {};
  const char* const names[] = {"Volume0.gif", "Volume1.gif", "Volume3.gif"};
  for (int i = 0; i < 3; ++i) {
    const QImage p = Picture(names[i]);
    ASSERT_FALSE(p.isNull()) << names[i];
    EXPECT_EQ(p.size(), QSize(32, 32));
    for (int y = 0; y < 32; ++y)
      for (int x = 16; x < 32; ++x) waves[i] += p.pixelColor(x, y) == QColor(0x00, 0x50, 0xC0);
  }
  EXPECT_EQ(waves[0], 0);
  EXPECT_GT(waves[1], 0);
  EXPECT_GT(waves[2], 2 * waves[1]);

  EXPECT_EQ(Find<QLabel>(QStringLiteral("PicVolume"))->text(), QString());
  EXPECT_EQ(Shown(), Picture("Volume0.gif"));
  std::vector<QImage> shown;
  host_.before = [&](const QString& c) {
    if (c.startsWith(QLatin1String("BZ")) && c != QLatin1String("BZv2")) shown.push_back(Shown());
  };
  Form().controls().SetText(QStringLiteral("TxtRWDevTstTimer"), 2, QStringLiteral("0"));
  Find(QStringLiteral("CmdRWDevTst"), 2)->click();
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_EQ(shown[0], Picture("Volume3.gif"));
  EXPECT_EQ(shown[1], Picture("Volume1.gif"));
  EXPECT_EQ(shown[2], Picture("Volume0.gif"));
}

// Without the files the box stays empty: no file name shows as text.
TEST_F(BenchWindowSim, MissingVolumePictureLeavesTheBoxEmpty) {
  qputenv("QUOREL_PROGRAM_DIR", dir_.path().toLocal8Bit());
  Form();
  qputenv("QUOREL_PROGRAM_DIR", QUOREL_LIBRARY_DIR);
  EXPECT_TRUE(Shown().isNull());
  EXPECT_EQ(Find<QLabel>(QStringLiteral("PicVolume"))->text(), QString());
}

}  // namespace
}  // namespace quorel::testing

// What the test bench window shows after its runs, read from the rendered
// pixels: boxes and lists the jobs paint with the system's window colour are
// light with dark, readable text, and a DIP switch's half without its lever
// shows the window colour. Each test leaves a screenshot of its tab.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QLineEdit>
#include <QPushButton>
#include <QAbstractItemView>
#include <QTabWidget>

#include "channel/sim_channel_fixture.h"
#include "core/job_host.h"
#include "support/rendered_view.h"
#include "testbench/erase_margin_print.h"
#include "testbench/form_mivor_test.h"

namespace quorel::testing {
namespace {

class BenchColours : public SimChannelTest {
 protected:
  void SetUp() override {
    SimChannelTest::SetUp();
    Control("model mivor");
    Open();
    form_ = std::make_unique<FormMivorTest>(host_);
    form_->resize(1100, 700);
    form_->show();
  }
  void TearDown() override {
    form_.reset();
    SimChannelTest::TearDown();
  }
  template <typename W>
  W* Get(const QString& name, int index = -1) {
    auto* w = form_->findChild<W*>(ControlKey(name, index));
    EXPECT_NE(w, nullptr) << ControlKey(name, index).toStdString();
    return w;
  }
  void ShowTab(int index) { Get<QTabWidget>(QStringLiteral("SSTabMivorTest"))->setCurrentIndex(index); }
  // A box or list the program paints with the window colour: light, and its
  // text dark enough to read.
  void ExpectReadable(QWidget* w) {
    const Ink ink = InkOf(w);
    EXPECT_TRUE(IsLight(ink.fill)) << w->objectName().toStdString() << " fill " << ink.fill.name().toStdString();
    EXPECT_TRUE(ReadsOn(ink.darkest, ink.fill))
        << w->objectName().toStdString() << " text " << ink.darkest.name().toStdString() << " on "
        << ink.fill.name().toStdString();
  }
  void Screenshot(const char* name) {
    ASSERT_TRUE(QDir().mkpath(QStringLiteral(QUOREL_SCREENSHOT_DIR)));
    const QString path = QDir(QStringLiteral(QUOREL_SCREENSHOT_DIR)).filePath(QString::fromLatin1(name));
    EXPECT_TRUE(form_->grab().save(path)) << path.toStdString();
  }

  ChannelJobHost host_{channel_};
  std::unique_ptr<FormMivorTest> form_;
};

TEST_F(BenchColours, StepTimeBoxesStayReadableAfterAPanelCheck) {
  ShowTab(1);
  Get<QLineEdit>(QStringLiteral("TxtRWDevTstTimer"), 2)->setText(QStringLiteral("0"));
  Get<QPushButton>(QStringLiteral("CmdRWDevTst"), 2)->click();
  ASSERT_GE(Sent("BZ"), 1);
  for (int i = 0; i < 3; ++i) ExpectReadable(Get<QLineEdit>(QStringLiteral("TxtRWDevTstTimer"), i));
  Screenshot("bench_panel_after_check.png");
}

TEST_F(BenchColours, DipRunLeavesReadableBoxesAndWindowColouredHalves) {
  Control("dip script 0000 FFFF 0000");
  ShowTab(1);
  Get<QPushButton>(QStringLiteral("CmdDSWTest"))->click();
  ASSERT_EQ(Get<QWidget>(QStringLiteral("lbDSWTestOKNG"))->property("text").toString(), QStringLiteral("OK"));
  for (int i = 0; i < 3; ++i) ExpectReadable(Get<QLineEdit>(QStringLiteral("TxtRWDevTstTimer"), i));
  // Each switch: its lever's half in the state colour, the other half in the
  // window colour.
  for (int bank = 1; bank <= 2; ++bank)
    for (int sw = 1; sw <= 8; ++sw) {
      const QColor on = InkOf(Get<QFrame>(QStringLiteral("SpDSW%1On").arg(bank), sw), 2).fill;
      const QColor off = InkOf(Get<QFrame>(QStringLiteral("SpDSW%1Off").arg(bank), sw), 2).fill;
      const QColor window = IsNeutral(on) ? on : off;
      EXPECT_TRUE(IsLight(window) && IsNeutral(window))
          << bank << "/" << sw << " " << on.name().toStdString() << " " << off.name().toStdString();
      EXPECT_NE(on, off) << bank << "/" << sw;
    }
  Screenshot("bench_dip_after_run.png");
}

TEST_F(BenchColours, IdentityBoxesStayReadableAfterAnEntryModeSwitch) {
  ShowTab(3);
  auto* normal = Get<QLineEdit>(QStringLiteral("TxtDeviceSerial"), 0);
  auto* raw = Get<QLineEdit>(QStringLiteral("TxtDeviceSerial"), 1);
  normal->setText(QStringLiteral("12345"));
  raw->setText(QStringLiteral("12FA012345"));
  Get<QCheckBox>(QStringLiteral("ChkDeviceSerial"), 1)->click();
  ASSERT_TRUE(raw->isEnabled());
  ExpectReadable(raw);
  // The box of the other mode greys to the button face; still light.
  EXPECT_TRUE(IsLight(InkOf(normal).fill)) << InkOf(normal).fill.name().toStdString();
  Get<QCheckBox>(QStringLiteral("ChkDeviceSerial"), 0)->click();
  ExpectReadable(normal);
  Get<QCheckBox>(QStringLiteral("ChkDeviceSerial"), 1)->click();
  Screenshot("bench_identity_after_mode_switch.png");
}

TEST_F(BenchColours, CardKindListStaysReadableAfterAnEraseMarginRun) {
  // Erase rank 3; the operator judges the first card NG.
  Control("reply TH 90 =251234328A31");
  Control("card front");
  ShowTab(0);
  auto* kinds = Get<QComboBox>(QStringLiteral("CmbKdKind"));
  kinds->setCurrentIndex(5);
  const MarginTexts texts = MarginPrintTexts(MarginPrint::kMinus, QStringLiteral("3"));
  dialogs_.ExpectBox(texts.title, texts.question, BoxAnswer::kNo);
  Get<QPushButton>(QStringLiteral("CmdEraseMargin"))->click();
  EXPECT_EQ(dialogs_.pending(), 0u);
  ASSERT_EQ(Sent("PR"), 1);
  ExpectReadable(kinds);
  // Its open list too.
  kinds->showPopup();
  ExpectReadable(kinds->view());
  kinds->hidePopup();
  Screenshot("bench_erase_margin_after_run.png");
}

TEST_F(BenchColours, JitterCardKindListStaysReadableWhenPrintIsTicked) {
  ShowTab(2);
  Get<QCheckBox>(QStringLiteral("ChkJitter"))->click();
  auto* kind = Get<QComboBox>(QStringLiteral("CmbJitterCardKind"));
  ASSERT_TRUE(kind->isEnabled());
  ExpectReadable(kind);
  kind->showPopup();
  ExpectReadable(kind->view());
  kind->hidePopup();
  Screenshot("bench_jitter_print_ticked.png");
}

}  // namespace
}  // namespace quorel::testing

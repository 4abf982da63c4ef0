// The service buttons on the real main window against the simulated device:
// each button reaches its sequence, the self-print page list chooses the
// page, a loop shows its running style, the write/read test shows and
// closes its EMC window and ends idle, and its group has its captions and
// gives its button back at once on Stop.
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QtTest/QTest>

#include "core/cp932_codec.h"
#include "core/print_pages.h"
#include "core/versions.h"
#include "main/main_window_fixture.h"
#include "support/scripted_dialogs.h"

namespace quorel {
namespace {

using Wire = std::vector<QByteArray>;

class WindowServices : public testing::MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    FreshSettings();
    StartDevice();
    Control("device standard");
    Control("modes B0C3D0F1H7K0M0N0P0R2S1W2X0Y3Z1b0");
    Control("card middle");
    Start();
  }
  Wire Click(const QString& name, int index = -1) {
    sim_.ClearTranscript();
    QTest::mouseClick(ui().Get<QPushButton>(name, index), Qt::LeftButton);
    return Commands();
  }
  testing::ScriptedDialogs dialogs_;
};

TEST_F(WindowServices, TheSelfPrintButtonLoadsThePageChosenInTheList) {
  ASSERT_EQ(ui().Items(QStringLiteral("CmbJIkoPD")), print::SelfPrintPageNames());
  ui().SetListIndex(QStringLiteral("CmbJIkoPD"), -1, 7);
  const Wire wire = Click(QStringLiteral("CmdJIkoPD"));
  const std::vector<QString> page = print::SelfPrintPage(7, {QStringLiteral("Mivor V1.20"), QString(), QString()});
  ASSERT_EQ(wire.size(), 3u + page.size());
  EXPECT_EQ(Wire(wire.begin(), wire.begin() + 3), (Wire{"TH", "VS", "PC"}));
  for (size_t i = 0; i < page.size(); ++i) EXPECT_EQ(wire[3 + i], cp932::Encode(page[i])) << i;
  EXPECT_EQ(sim_.PrintData().size(), page.size());
}

TEST_F(WindowServices, ServiceButtonsAndTheCounterReadout) {
  EXPECT_EQ(Click(QStringLiteral("Command2"), 3), (Wire{"RE"}));
  EXPECT_EQ(ui().Text(QStringLiteral("TxtPWETSend"), 2), QStringLiteral("0000"));
  EXPECT_EQ(Click(QStringLiteral("Command2"), 10), (Wire{"!!|"}));
  Click(QStringLiteral("Command34"));
  EXPECT_EQ(ui().Text(QStringLiteral("LbEEPForm")).split(QStringLiteral("\r\n")).size(), 19);
  EXPECT_EQ(mm().gVersionText, QStringLiteral("Mivor V1.20"));
}

TEST_F(WindowServices, TheClockLoopShowsItsRunningStyleUntilStopped) {
  auto* label = ui().Get<QLabel>(QStringLiteral("Label37"));
  bool centred = false;
  QTimer stop;
  QObject::connect(&stop, &QTimer::timeout, [&] {
    if (sim_.CountTag(sim::Dir::Host, "CMD CK") < 2) return;
    stop.stop();
    centred = label->alignment() == Qt::AlignCenter;
    EXPECT_EQ(ui().Text(QStringLiteral("Command2"), 5), QStringLiteral("STOP"));
    QTest::mouseClick(ui().Get<QPushButton>(QStringLiteral("Command2"), 5), Qt::LeftButton);
  });
  stop.start(10);
  Click(QStringLiteral("Command2"), 5);
  EXPECT_TRUE(centred);
  EXPECT_NE(label->alignment(), Qt::AlignCenter);
  EXPECT_EQ(ui().Text(QStringLiteral("Command2"), 5), QStringLiteral("時計確認"));
}

TEST_F(WindowServices, TheWriteReadTestShowsItsEmcWindowAndEndsIdle) {
  ui().SetText(QStringLiteral("TxtRWTestCount"), QStringLiteral("1"));
  ui().SetValue(QStringLiteral("ChkEMC"), 1);
  bool shown = false;
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout, [&] {
    QWidget* emc = form_->windows().Loaded(QStringLiteral("FormEMC"));
    shown = shown || (emc && emc->isVisible());
  });
  watch.start(5);
  dialogs_.ExpectBox(ProgramTitle(), QStringLiteral("連続Ｗ／Ｒ試験　ＯＫ"), BoxAnswer::kOk);
  const Wire wire = Click(QStringLiteral("CmdRWTest"));
  watch.stop();
  EXPECT_TRUE(shown);
  EXPECT_EQ(std::count(wire.begin(), wire.end(), QByteArray("WR")), 1);
  EXPECT_EQ(wire.back(), QByteArray("MR"));
  EXPECT_EQ(ui().Text(QStringLiteral("CmdRWTest")), QStringLiteral("Test Start"));
  EXPECT_EQ(mm().gRwTestRunning, 0);
  EXPECT_TRUE(testing::PumpUntilTrue([&] { return !form_->windows().Loaded(QStringLiteral("FormEMC")); }, 2000));
}

TEST_F(WindowServices, TheWriteReadTestGroupHasItsCaptionsAndStopPutsTestStartBackAtOnce) {
  QGroupBox* group = nullptr;
  for (QGroupBox* g : form_->findChildren<QGroupBox*>())
    if (g->title() == QStringLiteral("Read/Write/Print Test") && g->isVisible()) group = g;
  ASSERT_TRUE(group);
  const QRect area(group->mapTo(form_, QPoint(0, 0)), group->size());
  for (const char* caption : {"Test Count :", "Mag.         Char", "MS:", "Wait(sec) "}) {
    const QLabel* shown = nullptr;
    for (const QLabel* l : form_->findChildren<QLabel*>())
      if (l->text() == QLatin1String(caption) && l->isVisible()) shown = l;
    ASSERT_TRUE(shown) << caption;
    EXPECT_TRUE(area.contains(QRect(shown->mapTo(form_, QPoint(0, 0)), shown->size()))) << caption;
  }

  ui().SetText(QStringLiteral("TxtRWTestCount"), QStringLiteral("1000"));
  QString captionAfterStop;
  bool runningAfterStop = false;
  QTimer stop;
  QObject::connect(&stop, &QTimer::timeout, [&] {
    if (sim_.CountTag(sim::Dir::Host, "CMD WR") < 1) return;
    stop.stop();
    QTest::mouseClick(ui().Get<QPushButton>(QStringLiteral("CmdRWTest")), Qt::LeftButton);
    captionAfterStop = ui().Text(QStringLiteral("CmdRWTest"));
    runningAfterStop = mm().gRwTestRunning == -1;
  });
  stop.start(5);
  dialogs_.ExpectBox(ProgramTitle(), QStringLiteral("連続Ｗ／Ｒ試験　ＯＫ"), BoxAnswer::kOk);
  Click(QStringLiteral("CmdRWTest"));
  EXPECT_TRUE(runningAfterStop);  // the run was still unwinding...
  EXPECT_EQ(captionAfterStop, QStringLiteral("Test Start"));  // ...and the button already said so
  EXPECT_EQ(ui().Text(QStringLiteral("CmdRWTest")), QStringLiteral("Test Start"));
}

}  // namespace
}  // namespace quorel

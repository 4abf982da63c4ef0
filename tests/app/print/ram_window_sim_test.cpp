// The bitmap window's image-area buttons, its card print menu item and its
// assembler file, clicked on the window against the simulated device; and
// the window closed while a card print waits for the card.
#include <QAction>
#include <QCoreApplication>
#include <QFile>
#include <QTimer>

#include "bmp_window_sim_fixture.h"

namespace quorel::testing {
namespace {

using RamWindowSim = BmpWindowSim;

TEST_F(RamWindowSim, ButtonsSendTheChosenAreas) {
  Pick("CmbSaveAreaNo", QStringLiteral(">"));
  Click("CmdSaveRAM");
  EXPECT_EQ(Tagged("CMD IC :0>"), 1);
  EXPECT_TRUE(ui().Enabled(QStringLiteral("CmdSaveRAM")));
  EXPECT_FALSE(ui().Enabled(QStringLiteral("CmdStop")));
  Pick("CmbLoadAreaNo", QStringLiteral(":"));
  ExpectInsert(BoxAnswer::kOk);
  Click("CmdLoadRAM");
  EXPECT_EQ(Tagged("CMD IC ::0"), 1);
  EXPECT_EQ(Tagged("CMD CO"), 1);
  EXPECT_EQ(ui().Text(QStringLiteral("LbStatusMsg")), QString());
}

TEST_F(RamWindowSim, SaveOnAPortThatCannotOpenTriesOnceAndShowsOneBoxOfEach) {
  channel_.commClose();
  mm().gPort = 200;  // a number without a device file
  dialogs_.ExpectBox(QStringLiteral("COM200オープンエラー"),
                     QStringLiteral("他のアプリケーションが使用している可能性があります。\r\nもしくはポートが存在しません。"
                                    "\r\nCOM200 has no device file"),
                     BoxAnswer::kOk);
  dialogs_.ExpectBox(QStringLiteral("通信エラー"),
                     QStringLiteral("通信できません！\r\n通信設定やケーブルを見直してください。"), BoxAnswer::kOk);
  Click("CmdSaveRAM");
  EXPECT_EQ(dialogs_.pending(), 0u);
  EXPECT_EQ(dialogs_.recorded().size(), 2u);
  EXPECT_TRUE(ui().Enabled(QStringLiteral("CmdSaveRAM")));
  EXPECT_FALSE(ui().Enabled(QStringLiteral("CmdStop")));
}

TEST_F(RamWindowSim, ALeftoverStopDoesNotEndAButtonStartedAction) {
  mm().gStopRequest = 1;
  Click("CmdSaveRAM");
  EXPECT_EQ(Tagged("CMD IC :01"), 1);
  EXPECT_EQ(ui().Text(QStringLiteral("LbStatusMsg")), QStringLiteral("Data set"));
  mm().gStopRequest = 1;
  ExpectInsert(BoxAnswer::kCancel);
  ui().Get<QAction>(QStringLiteral("cardPrint"))->trigger();
  EXPECT_EQ(dialogs_.recorded().size(), 1u);  // the box came: no stop at the first test
}

TEST_F(RamWindowSim, MenuWritesTheAssemblerFileOfTheWhiteArea) {
  ui().Get<QAction>(QStringLiteral("MenuFileH8Assembla"))->trigger();
  QFile written(folder_ + QStringLiteral("IMAGE.dat"));
  ASSERT_TRUE(written.open(QIODevice::ReadOnly));
  QFile golden(QStringLiteral(QUOREL_GOLDEN_DIR "/image_white_460.dat"));
  ASSERT_TRUE(golden.open(QIODevice::ReadOnly));
  EXPECT_EQ(written.readAll(), golden.readAll());
  EXPECT_EQ(ui().Text(QStringLiteral("LbStatusMsg")), QStringLiteral("Data Set Finish"));
  EXPECT_EQ(Tagged("CMD"), 0);  // no device command
}

TEST_F(RamWindowSim, ClosingWhileTheCardIsAwaitedEndsTheJobThenTheWindow) {
  Control("cardwait manual");
  ExpectInsert(BoxAnswer::kOk);
  QTimer closer;
  closer.setInterval(20);
  QObject::connect(&closer, &QTimer::timeout, [this, &closer] {
    if (Tagged("CMD CI") < 1) return;
    closer.stop();
    form_->close();
    // Changed after the close: a second save would store it.
    ui().SetText(QStringLiteral("TxtMsgLine"), 0, QStringLiteral("LATER"));
  });
  closer.start();
  Click("CmdLoadRAM");
  // The job unwound through its stop test; the window goes after it.
  EXPECT_EQ(Tagged("CMD WR"), 0);
  EXPECT_EQ(mm().gStopRequest, 1);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(form_.isNull());
  EXPECT_EQ(ReadIni(QStringLiteral("BMPDown"), QStringLiteral("Line0"), mm().gIniPath), QStringLiteral("TOP"));
}

TEST_F(RamWindowSim, QuitWhileTheCardIsAwaitedClosesThePortAndTheWindow) {
  Control("cardwait manual");
  ExpectInsert(BoxAnswer::kOk);
  QTimer quitter;
  quitter.setInterval(20);
  QObject::connect(&quitter, &QTimer::timeout, [this, &quitter] {
    if (Tagged("CMD CI") < 1) return;
    quitter.stop();
    ui().Get<QAction>(QStringLiteral("Quit"))->trigger();
  });
  quitter.start();
  Click("CmdLoadRAM");
  EXPECT_EQ(Tagged("CMD WR"), 0);
  EXPECT_FALSE(mm().gPortOpen);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(form_.isNull());
}

}  // namespace
}  // namespace quorel::testing

// The bitmap window from the program's own main window: "BMP data download"
// (Ctrl+B) opens it modeless, a second time shows the same window; closed,
// it saves [BMPDown] and the next opening loads afresh; its "Form1 show"
// brings the main window back.
#include <QAction>
#include <QKeySequence>

#include "main_window_fixture.h"
#include "print/form_bmp.h"

namespace quorel {
namespace {

class BmpFromMainWindow : public testing::MainWindowTest {};

TEST_F(BmpFromMainWindow, MenuOpensOneWindowThatSavesOnClose) {
  FreshSettings();
  Start();
  QAction* item = ui().Get<QAction>(QStringLiteral("bmpPr"));
  ASSERT_TRUE(item);
  EXPECT_EQ(item->shortcut(), QKeySequence(QStringLiteral("Ctrl+B")));
  item->trigger();
  auto* bmp = qobject_cast<FormBMP*>(form_->windows().Loaded(QStringLiteral("FormBMP")));
  ASSERT_TRUE(bmp);
  EXPECT_TRUE(bmp->isVisible());
  EXPECT_FALSE(bmp->isModal());
  EXPECT_EQ(bmp->windowTitle(), QStringLiteral("BMP Down Load"));
  item->trigger();
  EXPECT_EQ(form_->windows().Loaded(QStringLiteral("FormBMP")), bmp);

  form_->hide();
  bmp->ui().Get<QAction>(QStringLiteral("showForm1"))->trigger();
  EXPECT_TRUE(form_->isVisible());

  bmp->ui().SetText(QStringLiteral("TxtMsgLine"), 2, QStringLiteral("saved line"));
  bmp->close();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(form_->windows().Loaded(QStringLiteral("FormBMP")), nullptr);
  EXPECT_EQ(Read(QStringLiteral("BMPDown"), QStringLiteral("Line2")), QStringLiteral("saved line"));

  item->trigger();
  bmp = qobject_cast<FormBMP*>(form_->windows().Loaded(QStringLiteral("FormBMP")));
  ASSERT_TRUE(bmp);
  EXPECT_EQ(bmp->ui().Text(QStringLiteral("TxtMsgLine"), 2), QStringLiteral("saved line"));
}

TEST_F(BmpFromMainWindow, QuitEndsTheProgram) {
  FreshSettings();
  Start();
  ui().Get<QAction>(QStringLiteral("bmpPr"))->trigger();
  auto* bmp = qobject_cast<FormBMP*>(form_->windows().Loaded(QStringLiteral("FormBMP")));
  ASSERT_TRUE(bmp);
  bmp->ui().Get<QAction>(QStringLiteral("Quit"))->trigger();
  EXPECT_TRUE(testing::PumpUntilTrue([this] { return form_.isNull(); }, 3000));
  EXPECT_EQ(mm().gStopRequest, 1);
}

}  // namespace
}  // namespace quorel

// The main window after "VS" against the simulator: the version in TxtROMVer,
// the finished text in Label39, the reply on top of the log box; a picture of
// the window is written to the build folder for the eye.
#include <QDir>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>

#include "core/main_module.h"
#include "main_window_fixture.h"

namespace quorel {
namespace {

class Screenshot : public testing::MainWindowTest {};

TEST_F(Screenshot, MainWindowAfterVs) {
  FreshSettings();
  StartDevice();
  Control("device standard");
  Control("model mivor");
  Start();
  form_->activateWindow();
  ui().Get<QPushButton>(QStringLiteral("Command1"), 21)->click();
  ASSERT_TRUE(mm().gPortOpen);
  const QString version = mm().gVersionText;
  ASSERT_FALSE(version.isEmpty());
  EXPECT_EQ(ui().Text(QStringLiteral("TxtROMVer")), version);
  EXPECT_EQ(ui().Text(QStringLiteral("Label39")), QStringLiteral("コマンド終了    VS"));
  auto* log = ui().Get<QPlainTextEdit>(QStringLiteral("txtDisp"));
  ASSERT_TRUE(testing::PumpUntilTrue(
      [&] { return log->toPlainText().section(QLatin1Char('\n'), 0, 0) == QStringLiteral("   AVS90") + version; },
      2000))
      << log->toPlainText().toStdString();
  EXPECT_EQ(log->toPlainText().section(QLatin1Char('\n'), 1, 1), QStringLiteral("Poll"));

  QDir().mkpath(QStringLiteral(QUOREL_SCREENSHOT_DIR));
  const QString path = QStringLiteral(QUOREL_SCREENSHOT_DIR "/MainForm-VS.png");
  const QPixmap shot = form_->grab();
  ASSERT_FALSE(shot.isNull());
  EXPECT_TRUE(shot.save(path));
  std::printf("screenshot: %s\n", qPrintable(path));
}

}  // namespace
}  // namespace quorel

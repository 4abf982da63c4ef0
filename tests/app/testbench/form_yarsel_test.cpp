// The card-read test window on real widgets: its load state, a run against
// the simulated reader shown in the labels (the reply head on green, the
// version, the track data in lines), the red verdict, the locked inputs
// during a run, the close request and the administrator box. The window
// after a pass is saved as a picture (screenshots/yarsel_after_pass.png in
// the build folder).
#include "testbench/form_yarsel.h"

#include <QCheckBox>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "channel/sim_channel_fixture.h"
#include "core/settings_file.h"

namespace quorel::testing {
namespace {

class FormYarselSim : public SimChannelTest {
 protected:
  void SetUp() override {
    SimChannelTest::SetUp();
    Control("cardread on");
    Control("cardwait 20");
  }
  template <typename T>
  T* Child(const char* name) {
    T* c = form_->findChild<T*>(QLatin1String(name));
    EXPECT_NE(c, nullptr) << name;
    return c;
  }
  QString Label(const char* name) { return Child<QLabel>(name)->text(); }
  // The colour in the middle of LbAns as drawn.
  QColor AnswerColor() {
    QLabel* ans = Child<QLabel>("LbAns");
    const QImage image = ans->grab().toImage();
    return image.pixelColor(2, image.height() / 2);
  }

  std::unique_ptr<FormYarsel> form_ = std::make_unique<FormYarsel>(channel_);
};

TEST_F(FormYarselSim, LoadState) {
  EXPECT_EQ(form_->windowTitle(), "Yarsel Test");
  EXPECT_EQ(Child<QLineEdit>("TxtCount")->text(), "200");
  EXPECT_EQ(Label("LbPassCount"), "0 /");
  EXPECT_EQ(Child<QPushButton>("CmdTest")->text(), "Test Start");
  EXPECT_EQ(Child<QCheckBox>("ChkMargin")->text(), "Margin Read");
  EXPECT_EQ(Child<QCheckBox>("ChkAdminiMode")->toolTip(), "チェックすると次回からパスワードを聞いてこない。");
  EXPECT_EQ(Label("LbYarselTest_0"), "Ver:");
  EXPECT_EQ(Label("LbYarselTest_1"), "Ans:");
  EXPECT_EQ(Label("LbYarselTest_2"), "Error:");
  for (const char* empty : {"LbMsg", "LbAns", "LbVS", "LbTrackData", "LbError"}) EXPECT_EQ(Label(empty), "") << empty;
  EXPECT_EQ(form_->run().stopFlag(), 0);
}

TEST_F(FormYarselSim, APassShowsTheReplyHeadOnGreenTheVersionAndTheTrackData) {
  Open();
  Control("model yarsel");
  Control("cardread data %VANTOR?;1234567890123456789=2512?;0123456789012345678901234567890123?");
  form_->show();
  Child<QLineEdit>("TxtCount")->setText(QStringLiteral("2"));
  Child<QCheckBox>("ChkMargin")->setChecked(true);
  bool lockedDuring = false;
  QTimer probe;
  QObject::connect(&probe, &QTimer::timeout, [&] {
    if (form_->run().Active())
      lockedDuring |= Child<QLineEdit>("TxtCount")->isReadOnly() && !Child<QCheckBox>("ChkMargin")->isEnabled() &&
                      Child<QPushButton>("CmdTest")->text() == "Test Abort";
  });
  probe.start(0);
  Child<QPushButton>("CmdTest")->click();
  probe.stop();
  EXPECT_TRUE(lockedDuring);
  EXPECT_EQ(Label("LbAns"), "ACO90");
  EXPECT_EQ(AnswerColor(), QColor(0, 255, 0));
  EXPECT_EQ(Label("LbVS"), "14Y2 V1.10");
  EXPECT_EQ(Label("LbTrackData"), "%VANTOR?;1234567890123456789=2\n512?;0123456789012345678901234\n567890123?");
  EXPECT_EQ(Label("LbPassCount"), "2 /");
  EXPECT_EQ(Label("LbError"), "0");
  EXPECT_EQ(Label("LbMsg"), " テスト終了");
  EXPECT_EQ(Child<QPushButton>("CmdTest")->text(), "Test Start");
  EXPECT_FALSE(Child<QLineEdit>("TxtCount")->isReadOnly());
  EXPECT_TRUE(Child<QCheckBox>("ChkMargin")->isEnabled());
  ASSERT_TRUE(QDir().mkpath(QStringLiteral(QUOREL_SCREENSHOT_DIR)));
  const QString shot = QDir(QStringLiteral(QUOREL_SCREENSHOT_DIR)).filePath(QStringLiteral("yarsel_after_pass.png"));
  EXPECT_TRUE(form_->grab().save(shot)) << shot.toStdString();
}

TEST_F(FormYarselSim, AFailedReplyShowsItsHeadOnRed) {
  mm().gSendCommand = QStringLiteral("CI");
  mm().gReplyText = QStringLiteral("ACI41");
  mm().gReplyStatus = QStringLiteral("41");
  form_->show();
  form_->RespAnalyzer();
  EXPECT_EQ(Label("LbAns"), "ACI41");
  EXPECT_EQ(AnswerColor(), QColor(255, 0, 0));
  EXPECT_EQ(Label("LbTrackData"), "");
}

TEST_F(FormYarselSim, TheCloseRequestStopsTheRunAndTheWindowCloses) {
  Open();
  Child<QLineEdit>("TxtCount")->setText(QStringLiteral("1000"));
  form_->show();
  int passes = 0;
  QTimer closer;
  QObject::connect(&closer, &QTimer::timeout, [&] {
    if (Label("LbPassCount") == "3 /" && form_->isVisible()) {
      passes = 3;
      form_->close();
    }
  });
  closer.start(0);
  Child<QPushButton>("CmdTest")->click();
  closer.stop();
  EXPECT_EQ(passes, 3);
  EXPECT_FALSE(form_->isVisible());
  EXPECT_EQ(form_->run().stopFlag(), 1);
  EXPECT_LE(sim_.CountTag(sim::Dir::Host, "CMD CI"), 5);
  EXPECT_EQ(sim_.CountTag(sim::Dir::Host, "CMD CO F"), 1);
}

TEST_F(FormYarselSim, TheAdministratorBoxWritesItsKeyAndIsTickedAtLoadInAdministratorMode) {
  mm().gIniPath = dir_.file(QStringLiteral("Quorel.ini"));
  auto* box = Child<QCheckBox>("ChkAdminiMode");
  box->click();
  EXPECT_EQ(mm().gAdminMode, 1);
  EXPECT_EQ(ReadIni(QStringLiteral("Form"), QStringLiteral("BRELLAN_G"), mm().gIniPath), "quildermans40127");
  FormYarsel second(channel_);
  EXPECT_TRUE(second.findChild<QCheckBox*>(QStringLiteral("ChkAdminiMode"))->isChecked());
  box->click();
  EXPECT_EQ(mm().gAdminMode, 0);
  EXPECT_EQ(ReadIni(QStringLiteral("Form"), QStringLiteral("BRELLAN_G"), mm().gIniPath), "brellan");
}

}  // namespace
}  // namespace quorel::testing

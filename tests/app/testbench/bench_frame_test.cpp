// The test bench's job frame and card wait on a scripted channel, and the
// window's [Form] settings on a fresh settings file.
#include <QDir>
#include <QFile>
#include <QTabWidget>
#include <gtest/gtest.h>

#include "core/main_module.h"
#include "core/settings_file.h"
#include "main/fake_controls.h"
#include "maintenance/scripted_host.h"
#include "support/scripted_dialogs.h"
#include "temp_dir.h"
#include "testbench/bench_job.h"
#include "testbench/bench_settings.h"
#include "testbench/form_mivor_test.h"

namespace quorel::testing {
namespace {

using Sent = std::vector<QString>;

class BenchFrame : public ::testing::Test {
 protected:
  void SetUp() override {
    mm() = MainModule{};
    mm().gPortOpen = -1;
  }
  FakeControls ui_;
  ScriptedHost host_{ui_};
  ScriptedDialogs dialogs_;
  BenchJobState state_;
};

TEST_F(BenchFrame, PreambleFollowsTheLastReply) {
  struct Case {
    const char* reply;
    const char* sent;
  } cases[] = {{"R2000", "PA"}, {"A..10", "PA"}, {"BCK00", "CL"}, {"R0000", ""}, {"ACK90", ""}};
  for (const Case& c : cases) {
    ScriptedHost::SetReply(QLatin1String(c.reply));
    host_.sent.clear();
    ASSERT_TRUE(BenchPortReady(host_, true));
    EXPECT_EQ(host_.sent, c.sent[0] ? Sent{QLatin1String(c.sent)} : Sent{}) << c.reply;
  }
}

TEST_F(BenchFrame, AnUnopenablePortGivesOneBoxAndNoCommand) {
  mm().gPortOpen = 0;
  host_.portOpens = false;
  dialogs_.ExpectBox("通信エラー", "通信できません！\n通信設定やケーブルを見直してください。", BoxAnswer::kOk);
  EXPECT_FALSE(BenchPortReady(host_, true));
  EXPECT_EQ(dialogs_.pending(), 0u);
  EXPECT_EQ(dialogs_.recorded().size(), 1u);
  EXPECT_TRUE(host_.sent.empty());
  EXPECT_EQ(host_.polls, 0);
}

TEST_F(BenchFrame, OpeningThePortPollsBeforeThePreamble) {
  mm().gPortOpen = 0;
  host_.pollReply = QStringLiteral("R2000");
  ASSERT_TRUE(BenchPortReady(host_, false));
  EXPECT_EQ(host_.polls, 1);
  EXPECT_EQ(host_.sent, Sent{"PA"});
}

TEST_F(BenchFrame, CardWaitSendsStUntilACardThenCi) {
  int st = 0;
  host_.device = [&](const QString& c) {
    if (c == "ST") return ++st == 3 ? QStringLiteral("AST9001000000") : QStringLiteral("AST9000000000");
    return QStringLiteral("A") + c.left(2) + QStringLiteral("90");
  };
  QString shown;
  EXPECT_TRUE(BenchWaitForCard(host_, state_, [&](const QString& t) { shown = t; }));
  EXPECT_EQ(host_.sent, (Sent{"ST", "ST", "ST", "CI"}));
  EXPECT_EQ(shown, "カードを挿入してください");
}

TEST_F(BenchFrame, CardWaitEndsOnStopAndOnAClosedPortWithoutCi) {
  host_.device = [&](const QString& c) { return QStringLiteral("A") + c.left(2) + QStringLiteral("9000000000"); };
  host_.duringWait = [&](const QString&) {
    if (host_.sent.size() == 2) state_.mAbortRequest = -1;
  };
  EXPECT_FALSE(BenchWaitForCard(host_, state_, nullptr));
  EXPECT_EQ(host_.sent, (Sent{"ST", "ST"}));

  state_.mAbortRequest = 0;
  host_.sent.clear();
  host_.duringWait = [&](const QString&) {
    if (host_.sent.size() == 3) mm().gPortOpen = 0;
  };
  EXPECT_FALSE(BenchWaitForCard(host_, state_, nullptr));
  EXPECT_EQ(host_.sent, (Sent{"ST", "ST", "ST"}));
}

TEST_F(BenchFrame, AnUnansweredStIsNotJudgedOnTheOlderReply) {
  // An older reply says a card is there; the refused "ST" must not count.
  ScriptedHost::SetReply(QStringLiteral("AST9010000000"));
  int st = 0;
  host_.device = [&](const QString& c) -> QString {
    if (c != "ST") return QStringLiteral("A") + c.left(2) + QStringLiteral("90");
    return ++st < 3 ? QString() : QStringLiteral("AST9010000000");
  };
  EXPECT_TRUE(BenchWaitForCard(host_, state_, nullptr));
  EXPECT_EQ(host_.sent, (Sent{"ST", "ST", "ST", "CI"}));
}

TEST_F(BenchFrame, OneJobAtATime) {
  BenchJobScope first(state_);
  EXPECT_TRUE(first.Acquired());
  {
    BenchJobScope second(state_);
    EXPECT_FALSE(second.Acquired());
  }
  EXPECT_TRUE(state_.running);
}

class BenchWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    mm() = MainModule{};
    mm().gIniPath = dir_.file(QStringLiteral("Quorel.ini"));
  }
  QStringList FormKeys() const {
    QFile f(mm().gIniPath);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    QStringList keys;
    bool inForm = false;
    for (const QByteArray& raw : f.readAll().split('\n')) {
      const QString line = QString::fromLatin1(raw).trimmed();
      if (line.startsWith('[')) inForm = line == "[Form]";
      else if (inForm && line.contains('=')) keys << line;
    }
    return keys;
  }
  TempDir dir_;
  FakeControls ui_;
  ScriptedHost host_{ui_};
};

TEST_F(BenchWindow, OpenAndCloseWriteTheKeysInTableOrderAfterTheOldOnes) {
  WriteIni("Form", "CenVolt", "1", mm().gIniPath);
  {
    FormMivorTest form(host_);
    form.close();
  }
  QStringList expected{"CenVolt=1"};
  for (const BenchKey& k : BenchKeys()) expected << QLatin1String(k.key) + '=' + QLatin1String(k.design);
  EXPECT_EQ(FormKeys(), expected);
}

TEST_F(BenchWindow, StoredValuesLoadAndClockWriteZeroUnticks) {
  WriteIni("Form", "TxtRWDevTst0", "0.5", mm().gIniPath);
  WriteIni("Form", "ClockWrite", "0", mm().gIniPath);
  WriteIni("Form", "ClockGap", "4", mm().gIniPath);
  FormMivorTest form(host_);
  FormControls& ui = form.controls();
  EXPECT_EQ(ui.Text("TxtRWDevTstTimer", 0), "0.5");
  EXPECT_EQ(ui.Text("TxtRWDevTstTimer", 1), "");  // missing while TxtRWDevTst0 exists
  EXPECT_FALSE(ui.Ticked("ChkClockCRWSet"));
  EXPECT_EQ(ui.Text("TxtCkGap"), "4");
  EXPECT_EQ(ui.Text("LbCkPC", 4), "--:--:--");
  EXPECT_EQ(ui.Text("LbRAMPercent"), "0%");
  EXPECT_FALSE(ui.Enabled("TxtCkGap"));
  ui.SetValue("ChkCkSet", -1, 1);
  form.clockTest().SettingClick();
  EXPECT_TRUE(ui.Enabled("TxtCkGap"));
}

}  // namespace
}  // namespace quorel::testing

namespace quorel::testing {
namespace {

// The window offscreen, saved for a look at its tab captions.
TEST_F(BenchWindow, ScreenshotShowsTheEightTabs) {
  FormMivorTest form(host_);
  form.show();
  auto* tabs = form.findChild<QTabWidget*>("SSTabMivorTest");
  ASSERT_NE(tabs, nullptr);
  ASSERT_EQ(tabs->count(), 8);
  EXPECT_EQ(tabs->tabText(0), "Device Adjustment\n");
  EXPECT_EQ(tabs->tabText(7), "Administartor");
  tabs->setCurrentIndex(5);
  EXPECT_TRUE(form.grab().save(QDir::temp().filePath("form_mivor_test.png")));
}

}  // namespace
}  // namespace quorel::testing

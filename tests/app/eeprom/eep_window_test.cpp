// The EEPROM window offscreen on scripted forwarders: the layout keys in
// the instance's sections, the administrator marker, sizes per tab and
// layout, keys out of range, the busy state of the tab strip and the File
// menu, closing while a job waits, an unopenable port through the real
// channel on a scripted library, and a screenshot of the wide Mivor tab.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QTabWidget>

#include "channel/channel_fixture.h"
#include "core/main_module.h"
#include "core/message_tables.h"
#include "core/settings_file.h"
#include "eeprom/eep_layout.h"
#include "eeprom/error_code_list.h"
#include "eeprom/form_eep.h"
#include "fake_eep_channel.h"
#include "support/scripted_dialogs.h"
#include "temp_dir.h"

namespace quorel::eep {
namespace {

using testing::FakeEepChannel;
using testing::ScriptedDialogs;
using testing::TempDir;

class EepWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    mm() = MainModule{};
    InitMessageTables();
    mm().gIniPath = dir_.file(QStringLiteral("Quorel.ini"));
    mm().gPortOpen = -1;
  }
  void TearDown() override { delete window_.data(); }

  FormEEP& Open() {
    auto channel = std::make_unique<FakeEepChannel>();
    channel_ = channel.get();
    window_ = new FormEEP(std::move(channel));
    return *window_;
  }
  QString Ini(const QString& section, const QString& key) const { return ReadIni(section, key, mm().gIniPath); }
  void SetIni(const QString& section, const QString& key, const QString& value) {
    WriteIni(section, key, value, mm().gIniPath);
  }
  void Click(const QString& name, int index = -1) {
    auto* b = window_->findChild<QAbstractButton*>(ControlKey(name, index));
    ASSERT_NE(nullptr, b) << name.toStdString();
    b->click();
  }
  QAction* Action(const QString& name) const { return window_->findChild<QAction*>(name); }
  void Tick(int index, bool on) {
    window_->findChild<QAbstractButton*>(ControlKey(QStringLiteral("ChkEnlarge"), index))->setChecked(on);
  }
  static void RunDeferredDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

  TempDir dir_;
  ScriptedDialogs dialogs_;
  QPointer<FormEEP> window_;
  FakeEepChannel* channel_ = nullptr;
};

TEST_F(EepWindow, InstanceOneKeepsItsKeysInItsOwnSections) {
  mm().gInstanceNo = 1;
  mm().gAdminMode = 1;
  FormEEP& w = Open();
  EXPECT_EQ(QStringLiteral("0"), Ini(QStringLiteral("EEPROM1"), QStringLiteral("Enlarge")));  // written at load
  EXPECT_EQ(QStringLiteral("quildermans40127"), Ini(QStringLiteral("Form1"), QStringLiteral("BRELLAN_G")));
  EXPECT_EQ(1, w.controls().Value(QStringLiteral("ChkAdminiMode")));
  w.tabStrip()->setCurrentIndex(3);
  Tick(3, true);
  w.close();
  EXPECT_EQ(QStringLiteral("3"), Ini(QStringLiteral("EEPROM1"), QStringLiteral("SSTab")));
  EXPECT_EQ(QStringLiteral("1"), Ini(QStringLiteral("EEPROM1"), QStringLiteral("Enlarge")));
  QFile file(mm().gIniPath);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray text = file.readAll();
  EXPECT_FALSE(text.contains("[EEPROM]")) << text.constData();
  EXPECT_FALSE(text.contains("[Form]")) << text.constData();
  // The channel's leftovers were cleared when the window opened.
  EXPECT_EQ(1, channel_->resets);
}

TEST_F(EepWindow, AdministratorBoxWritesTheMarkerOrTheOffValue) {
  FormEEP& w = Open();
  w.controls().SetValue(QStringLiteral("ChkAdminiMode"), 1);
  EXPECT_EQ(1, mm().gAdminMode);
  EXPECT_EQ(QStringLiteral("quildermans40127"), Ini(QStringLiteral("Form"), QStringLiteral("BRELLAN_G")));
  w.controls().SetValue(QStringLiteral("ChkAdminiMode"), 0);
  EXPECT_EQ(0, mm().gAdminMode);
  EXPECT_EQ(QStringLiteral("brellan"), Ini(QStringLiteral("Form"), QStringLiteral("BRELLAN_G")));
}

TEST_F(EepWindow, StoredTabAndWideLayoutComeBackAtThePartsSize) {
  SetIni(QStringLiteral("EEPROM"), QStringLiteral("SSTab"), QStringLiteral("2"));
  SetIni(QStringLiteral("EEPROM"), QStringLiteral("Enlarge"), QStringLiteral("1"));
  FormEEP& w = Open();
  EXPECT_EQ(2, w.tabStrip()->currentIndex());
  EXPECT_EQ(QSize(637, 512), w.size());
  EXPECT_EQ(QSize(629, 457), w.tabStrip()->size());
  for (int i = 0; i < 4; ++i) EXPECT_EQ(1, w.controls().Value(QStringLiteral("ChkEnlarge"), i)) << i;
}

TEST_F(EepWindow, KeysOutOfRangeGiveTheFirstTabAndTheNormalLayout) {
  struct Case {
    const char* tab;
    const char* enlarge;
  };
  for (const Case& c : {Case{"7", "abc"}, Case{"x", "2"}, Case{"-1", " "}, Case{"2.5", "1x"}}) {
    SetIni(QStringLiteral("EEPROM"), QStringLiteral("SSTab"), QString::fromLatin1(c.tab));
    SetIni(QStringLiteral("EEPROM"), QStringLiteral("Enlarge"), QString::fromLatin1(c.enlarge));
    FormEEP& w = Open();
    EXPECT_EQ(0, w.tabStrip()->currentIndex()) << c.tab;
    EXPECT_EQ(QSize(412, 845), w.size()) << c.enlarge;
    for (int i = 0; i < 4; ++i) EXPECT_EQ(0, w.controls().Value(QStringLiteral("ChkEnlarge"), i));
    w.close();
    EXPECT_EQ(QStringLiteral("0"), Ini(QStringLiteral("EEPROM"), QStringLiteral("Enlarge")));
    EXPECT_EQ(QStringLiteral("0"), Ini(QStringLiteral("EEPROM"), QStringLiteral("SSTab")));
    RunDeferredDeletes();
    EXPECT_TRUE(window_.isNull());
  }
}

TEST_F(EepWindow, EveryTabChangeResizesForTheTabAndTheCurrentLayout) {
  FormEEP& w = Open();
  EXPECT_EQ(QSize(412, 845), w.size());
  w.tabStrip()->setCurrentIndex(1);
  EXPECT_EQ(QSize(397, 508), w.size());
  EXPECT_EQ(QSize(389, 451), w.tabStrip()->size());
  Tick(1, true);  // ticking one box ticks all four
  for (int i = 0; i < 4; ++i) EXPECT_EQ(1, w.controls().Value(QStringLiteral("ChkEnlarge"), i));
  EXPECT_EQ(QSize(637, 668), w.size());
  w.tabStrip()->setCurrentIndex(0);
  EXPECT_EQ(QSize(650, 845), w.size());
  w.tabStrip()->setCurrentIndex(3);
  EXPECT_EQ(QSize(637, 512), w.size());
  Tick(2, false);
  EXPECT_EQ(QSize(397, 512), w.size());
  EXPECT_EQ(0, w.controls().Value(QStringLiteral("ChkEnlarge"), 0));
}

TEST_F(EepWindow, TheTabStripAndFileImportExportWaitForTheOutermostJob) {
  FormEEP& w = Open();
  std::vector<QString> during;
  channel_->during = [&](const QString& command) {
    const bool tabs = w.tabStrip()->isEnabled();
    const bool import = Action(QStringLiteral("EEPROMImport"))->isEnabled();
    const bool exportRows = Action(QStringLiteral("EEPROMExport"))->isEnabled();
    const bool quit = Action(QStringLiteral("eepQuit"))->isEnabled();
    during.push_back(command + QLatin1Char(' ') + QString::number(tabs) + QString::number(import) +
                     QString::number(exportRows) + QString::number(quit));
  };
  // Handlers run from inside the read (the buttons are disabled meanwhile).
  w.frame().handlers().counters = [&](Family) { w.frame().HeadLift(0); };
  w.frame().handlers().allRows = [&](Family) { w.frame().HeadLift(2); };
  w.frame().handlers().settings = {};  // the settings panel's own read is tested on its own
  channel_->Script(QStringLiteral("AVS90Mivor V1.20"));
  Click(QStringLiteral("JyouhouSyutoku_Mivor"));
  EXPECT_EQ((std::vector<QString>{"VS 0001", "!!h0 0001", "!!h2 0001"}), during);
  EXPECT_TRUE(w.tabStrip()->isEnabled());
  EXPECT_TRUE(Action(QStringLiteral("EEPROMImport"))->isEnabled());
  // The buttons reach the same handlers as the information read.
  std::vector<Family> reads;
  w.frame().handlers().counters = [&](Family f) { reads.push_back(f); };
  w.frame().handlers().settings = [&](Family f) { reads.push_back(f); };
  Click(QStringLiteral("PassSyutoku_Dastel"), 2);
  Click(QStringLiteral("EEPSetting_Quenby"));
  EXPECT_EQ((std::vector<Family>{Family::kFolsk, Family::kQuenby}), reads);
}

TEST_F(EepWindow, QuitWhileAJobWaitsHidesFirstAndDeletesOnceItUnwound) {
  FormEEP& w = Open();
  w.show();
  std::vector<QString> readersRun;
  w.frame().handlers().counters = [&](Family) { readersRun.push_back(QStringLiteral("counters")); };
  bool aliveDuring = false;
  channel_->during = [&](const QString& command) {
    if (command != QLatin1String("VS")) return;
    Action(QStringLiteral("eepQuit"))->trigger();
    RunDeferredDeletes();  // nothing may delete the window under its handler
    aliveDuring = !window_.isNull() && !w.isVisible();
  };
  Click(QStringLiteral("JyouhouSyutoku_Mivor"));
  EXPECT_TRUE(aliveDuring);
  EXPECT_EQ((std::vector<QString>{"VS"}), channel_->sent);
  EXPECT_TRUE(readersRun.empty());
  EXPECT_EQ(QStringLiteral("0"), Ini(QStringLiteral("EEPROM"), QStringLiteral("SSTab")));  // saved at once
  RunDeferredDeletes();
  EXPECT_TRUE(window_.isNull());
}

TEST_F(EepWindow, ClosingWithoutAJobDeletesTheWindow) {
  FormEEP& w = Open();
  w.show();
  Click(QStringLiteral("CmdExit"), 2);
  RunDeferredDeletes();
  EXPECT_TRUE(window_.isNull());
}

TEST_F(EepWindow, WideMivorTabScreenshot) {
  SetIni(QStringLiteral("EEPROM"), QStringLiteral("Enlarge"), QStringLiteral("1"));
  FormEEP& w = Open();
  w.show();
  QCoreApplication::processEvents();
  const QTabWidget* tabs = w.tabStrip();
  ASSERT_EQ(4, tabs->count());
  const QStringList captions{tabs->tabText(0), tabs->tabText(1), tabs->tabText(2), tabs->tabText(3)};
  EXPECT_EQ(QStringList({"Mivor", "Dastel", "Quenby", "Folsk"}), captions);
  EXPECT_EQ(QStringLiteral("No.0x Error Code Display"), w.controls().Text(QStringLiteral("CmbErrorCode")));
  EXPECT_EQ(ErrorCodeList(0), w.controls().Text(QStringLiteral("LbErrorCode")));
  EXPECT_EQ(6, w.controls().Text(QStringLiteral("LbErrorCode")).count(QStringLiteral("\r\n")));
  // The list lies in the column only the wide layout shows.
  auto* list = w.findChild<QWidget*>(QStringLiteral("LbErrorCode"));
  const QPoint at = list->mapTo(tabs->currentWidget(), QPoint(0, 0));
  EXPECT_GT(at.x(), SizeFor(0, false).tabStrip.width());
  EXPECT_LT(at.x() + 40, tabs->width());
  EXPECT_TRUE(list->isVisible());

  ASSERT_TRUE(QDir().mkpath(QStringLiteral(QUOREL_SCREENSHOT_DIR)));
  const QString path = QStringLiteral(QUOREL_SCREENSHOT_DIR "/eeprom_mivor_wide.png");
  ASSERT_TRUE(w.grab().save(path));
  EXPECT_TRUE(QFile::exists(path));
  // The Dastel tab beside it, for the eye.
  w.tabStrip()->setCurrentIndex(1);
  QCoreApplication::processEvents();
  ASSERT_TRUE(w.grab().save(QStringLiteral(QUOREL_SCREENSHOT_DIR "/eeprom_dastel_wide.png")));
}

// What the window's load clears, and when the channel refuses to.
TEST(EepWindowChannel, ResetWhenIdleLeavesAnExchangeInProgressAlone) {
  testing::DefaultChannelSettings();
  testing::FakeLinkApi link;
  testing::RecordingView view;
  DeviceChannel channel(link, view);
  MainModule& m = mm();
  const auto leftovers = [&m] {
    m.gSendPending = m.gPolling = 1;
    m.gSendCommand = QStringLiteral("VS");
    m.gReplyCommand = QStringLiteral("VS");
    m.gReplyText = QStringLiteral("AVS90x");
  };
  leftovers();
  m.gPollBusy = -1;  // a comu or poll waits
  EXPECT_FALSE(channel.ResetWhenIdle());
  EXPECT_EQ(1, m.gSendPending);
  EXPECT_EQ(QStringLiteral("VS"), m.gSendCommand);
  m.gPollBusy = 0;
  m.gLineBusy = 1;  // a download holds the line
  EXPECT_FALSE(channel.ResetWhenIdle());
  EXPECT_EQ(QStringLiteral("AVS90x"), m.gReplyText);
  m.gLineBusy = 0;
  EXPECT_TRUE(channel.ResetWhenIdle());
  EXPECT_EQ(0, m.gSendPending);
  EXPECT_EQ(0, m.gPolling);
  EXPECT_EQ(QString(), m.gSendCommand);
  EXPECT_EQ(QString(), m.gReplyCommand);
  EXPECT_EQ(QString(), m.gReplyText);
}

// The real channel on a scripted library: its own open-error box, then the
// frame's box once, and nothing on the line.
TEST(EepWindowChannel, UnopenablePortShowsBothBoxesOnceAndSendsNothing) {
  TempDir dir;
  testing::DefaultChannelSettings();
  mm().gIniPath = dir.file(QStringLiteral("Quorel.ini"));
  testing::FakeLinkApi link;
  testing::RecordingView view;
  DeviceChannel channel(link, view);
  testing::ScriptedDialogs dialogs;
  auto* w = new FormEEP(channel);
  link.SetDefault("crwOpenPort", testing::FakeResult{CRW_PORT_NOT_OPEN, {}, {}, 0, {}});
  dialogs.ExpectBox(
      QStringLiteral("COM3オープンエラー"),
      QStringLiteral("他のアプリケーションが使用している可能性があります。\r\nもしくはポートが存在しません。"),
      BoxAnswer::kOk);
  dialogs.ExpectBox(QStringLiteral("通信エラー"),
                    QStringLiteral("通信できません！\r\n通信設定やケーブルを見直してください。"), BoxAnswer::kOk);
  w->findChild<QAbstractButton*>(QStringLiteral("CmdUpDown_1"))->click();
  EXPECT_EQ(0u, dialogs.pending());
  EXPECT_EQ(2u, dialogs.recorded().size());
  EXPECT_EQ(0, link.Count("crwSendCommand"));
  EXPECT_EQ(0, link.Count("crwReceiveResponse"));
  EXPECT_TRUE(w->tabStrip()->isEnabled());
  delete w;
}

}  // namespace
}  // namespace quorel::eep

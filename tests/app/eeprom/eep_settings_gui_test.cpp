// The settings and counter panels in the EEPROM window offscreen: an
// information read of a Mivor unit fills the rank marker, the battery and
// the counter list, saved as a screenshot.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QDir>
#include <QPointer>

#include "core/main_module.h"
#include "core/message_tables.h"
#include "eeprom/form_eep.h"
#include "fake_eep_channel.h"
#include "support/scripted_dialogs.h"
#include "temp_dir.h"

namespace quorel::eep {
namespace {

using testing::FakeEepChannel;
using testing::ScriptedDialogs;
using testing::TempDir;

TEST(EepSettingsWindow, InformationReadOfAMivorUnitFillsThePanels) {
  mm() = MainModule{};
  InitMessageTables();
  TempDir dir;
  mm().gIniPath = dir.file(QStringLiteral("Quorel.ini"));
  mm().gPortOpen = -1;
  ScriptedDialogs dialogs;
  auto owned = std::make_unique<FakeEepChannel>();
  FakeEepChannel& channel = *owned;
  QPointer<FormEEP> w = new FormEEP(std::move(owned));
  w->frame().handlers().allRows = {};  // the row grid has its own tests

  channel.Script(QStringLiteral("AVS90Mivor V1.20"));  // the information read's check
  channel.Script(QStringLiteral("AVS902M10 V1.00"));  // the counter read's
  channel.Script(QStringLiteral("ACT90000186A0"));
  for (int i = 1; i < 19; ++i) channel.Script(QStringLiteral("ACT900000000") + QString::number(i % 10));
  channel.Script(QStringLiteral("AVS902M10 V1.00"));  // the settings read's
  channel.Script(QStringLiteral("ATH90<25AB12418A31"));
  channel.Script(QStringLiteral("A!!90<2"));
  channel.Script(QStringLiteral("A!!904"));
  channel.Script(QStringLiteral("A!!90A8C4379B42FF00B4"));
  channel.Script(QStringLiteral("A!!905555"));
  channel.Script(QStringLiteral("ARE900123456789"));
  w->show();
  auto* read = w->findChild<QAbstractButton*>(QStringLiteral("JyouhouSyutoku_Mivor"));
  ASSERT_NE(nullptr, read);
  read->click();

  FormControls& ui = w->controls();
  EXPECT_EQ(QStringLiteral("c"), ui.Text(QStringLiteral("EEPSetLabel_Mivor"), 0));
  EXPECT_TRUE(ui.Visible(QStringLiteral("ShpTPHRank"), 12));
  EXPECT_FALSE(ui.Visible(QStringLiteral("ShpTPHRank"), 5));
  EXPECT_EQ(QStringLiteral("3.49"), ui.Text(QStringLiteral("lbStatus_Mivor"), 3));
  const QStringList lines = ui.Text(QStringLiteral("PassDisp_Mivor")).split(QLatin1Char('\n'));
  ASSERT_EQ(19, lines.size());
  EXPECT_TRUE(lines[0].endsWith(QStringLiteral("000186A0")));
  EXPECT_TRUE(w->tabStrip()->isEnabled());

  ASSERT_TRUE(QDir().mkpath(QStringLiteral(QUOREL_SCREENSHOT_DIR)));
  EXPECT_TRUE(w->grab().save(QStringLiteral(QUOREL_SCREENSHOT_DIR "/eeprom_mivor_settings.png")));
  delete w.data();
}

}  // namespace
}  // namespace quorel::eep

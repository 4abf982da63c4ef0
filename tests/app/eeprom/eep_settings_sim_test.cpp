// The settings and counter panels of the EEPROM window on the real library
// and the in-process simulator: the exact commands each action puts on the
// wire, and what the device's answers make of the panel.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QDir>

#include "core/form_controls.h"
#include "core/versions.h"
#include "eep_window_sim_fixture.h"
#include "eeprom/form_eep.h"

namespace quorel::eep {
namespace {

const QString kModelQuestion = QStringLiteral("機種が該当しないと思われますが実行されますか？");

class EepSettingsOnSimulator : public EepWindowOnSimulator {
 protected:
  // The commands on the wire since the last call ("CMD VS", "CMD !! r?").
  std::vector<std::string> Commands() { return CommandTags(seen_, &seen_); }
  QString Text(const QString& name, int index = -1) { return Window().controls().Text(name, index); }

  size_t seen_ = 0;
};

TEST_F(EepSettingsOnSimulator, MivorReadPutsItsSevenCommandsOnTheWire) {
  Open();
  Window();
  Commands();
  // The simulator's version begins with "3": the Mivor tab asks first.
  dialogs_.ExpectBox(QStringLiteral("EEPROM Mivor"), kModelQuestion, BoxAnswer::kOk);
  Click(QStringLiteral("EEPSetting_Mivor"));
  EXPECT_EQ((std::vector<std::string>{"CMD VS", "CMD TH", "CMD !! r?", "CMD !! o?", "CMD !! s", "CMD !! h?", "CMD RE"}),
            Commands());
  EXPECT_TRUE(Window().tabStrip()->isEnabled());
  EXPECT_FALSE(Text(QStringLiteral("lbStatus_Mivor"), 5).isEmpty());
  EXPECT_FALSE(Text(QStringLiteral("lbStatus_Mivor"), 3).isEmpty());
}

TEST_F(EepSettingsOnSimulator, CounterWriteAndResetOnTheWire) {
  Open();
  Window();
  Commands();
  Window().controls().SetText(QStringLiteral("EEPkoumoku_Mivor"), QStringLiteral("ﾊﾟｽ回数"));
  Window().controls().SetText(QStringLiteral("KaisuTxt_Mivor"), QStringLiteral("300"));
  dialogs_.ExpectInput(ProgramTitle(), QStringLiteral("Vremtholask"));
  dialogs_.ExpectBox(QStringLiteral("EEPROM Mivor"), kModelQuestion, BoxAnswer::kOk);
  Click(QStringLiteral("PassWrite_Mivor"));
  std::vector<std::string> wire = Commands();
  ASSERT_EQ(21u, wire.size());
  EXPECT_EQ("CMD ee w:1E/02/0000012C", wire[0]);
  EXPECT_EQ("CMD CT :a", wire[2]);
  EXPECT_EQ(19, Text(QStringLiteral("PassDisp_Mivor")).split(QLatin1Char('\n')).size());

  // A wrong-case code sends nothing.
  dialogs_.ExpectInput(ProgramTitle(), QStringLiteral("VREMTHOLASK"));
  Click(QStringLiteral("PassWrite_Mivor"));
  EXPECT_TRUE(Commands().empty());

  // The error-count reset on the Dastel tab, then its re-read.
  dialogs_.ExpectBox(ProgramTitle(), QStringLiteral("エラー回数のみ初期化されます！"), BoxAnswer::kOk);
  Click(QStringLiteral("ErrorSyokika_Dastel"), 0);
  wire = Commands();
  ASSERT_FALSE(wire.empty());
  EXPECT_EQ("CMD !! e", wire[0]);
  EXPECT_EQ(16, Text(QStringLiteral("PassDisp_Dastel"), 0).split(QLatin1Char('\n')).size());
  EXPECT_EQ(0u, dialogs_.pending());
}

TEST_F(EepSettingsOnSimulator, DastelSettingChangeRewritesOneByteOfTheStoredWord) {
  Control("eeprom family dastel");
  Open();
  Window();
  Commands();
  Window().controls().SetText(QStringLiteral("EEPSetCmb_Dastel"), 1, QStringLiteral("3"));
  dialogs_.ExpectBox(ProgramTitle(), QStringLiteral("印字濃度を変更します ！\r\n    濃度 2 → 3"), BoxAnswer::kOk);
  dialogs_.ExpectBox(ProgramTitle(), QStringLiteral("設定を有効にするにはC/Rを一旦ﾘｾｯﾄして下さい"), BoxAnswer::kOk);
  Click(QStringLiteral("EEPSetCmd_Dastel"), 1);
  EXPECT_EQ((std::vector<std::string>{"CMD ee r:20/01", "CMD ee w:20/01/3533"}), Commands());

  // The read shows the stored byte: density "3", print position "4".
  Click(QStringLiteral("EEPSetting_Dastel"));
  EXPECT_EQ((std::vector<std::string>{"CMD VS", "CMD TH", "CMD ee r:20/01", "CMD ee r:08/01", "CMD RE"}), Commands());
  EXPECT_EQ(QStringLiteral("3"), Text(QStringLiteral("EEPSetLabel_Dastel"), 1));
  EXPECT_EQ(QStringLiteral("4"), Text(QStringLiteral("EEPSetLabel_Dastel"), 4));

  // A failed read-before-write: a box and no write.
  Control("eeprom fail 20 14");
  dialogs_.ExpectBox(ProgramTitle(), QStringLiteral("現在の設定値を読み出せませんでした。\r\n設定は変更されていません。"),
                     BoxAnswer::kOk);
  Click(QStringLiteral("EEPSetCmd_Dastel"), 1);
  EXPECT_EQ((std::vector<std::string>{"CMD ee r:20/01"}), Commands());
  EXPECT_EQ(0u, dialogs_.pending());
}

// The information read of a Mivor unit whose settings and counters live in
// its EEPROM: the factory image's rank, battery and 19 counter lines, saved
// as a screenshot.
TEST_F(EepSettingsOnSimulator, InformationReadOfTheFactoryMivorImage) {
  Open();
  Control("model mivor");
  Control("mivor settings from-eeprom");
  Window().frame().handlers().allRows = {};  // the row grid has its own tests
  Click(QStringLiteral("JyouhouSyutoku_Mivor"));
  FormControls& ui = Window().controls();
  EXPECT_EQ(QStringLiteral("c"), ui.Text(QStringLiteral("EEPSetLabel_Mivor"), 0));
  EXPECT_EQ(QStringLiteral("3"), ui.Text(QStringLiteral("EEPSetLabel_Mivor"), 1));
  for (int i = 0; i <= 13; ++i) EXPECT_EQ(i == 12, ui.Visible(QStringLiteral("ShpTPHRank"), i)) << i;
  EXPECT_EQ(QStringLiteral("3.49"), ui.Text(QStringLiteral("lbStatus_Mivor"), 3));
  const QStringList lines = Text(QStringLiteral("PassDisp_Mivor")).split(QLatin1Char('\n'));
  ASSERT_EQ(19, lines.size());
  EXPECT_TRUE(lines[0].endsWith(QStringLiteral("000186A0"))) << lines[0].toStdString();
  EXPECT_EQ(0u, dialogs_.pending());

  Window().show();
  ASSERT_TRUE(QDir().mkpath(QStringLiteral(QUOREL_SCREENSHOT_DIR)));
  EXPECT_TRUE(Window().grab().save(QStringLiteral(QUOREL_SCREENSHOT_DIR "/eeprom_mivor_settings_sim.png")));
}

// The battery field of "!!s": FF is the top of the scale, and a reply too
// short to hold the field reads 0.00.
TEST_F(EepSettingsOnSimulator, BatteryFieldTopAndShortReply) {
  Open();
  Control("model mivor");
  Control("mivor settings from-eeprom");
  Window().frame().handlers().allRows = {};
  Control("adc A8C4379B42FF80FF");
  Click(QStringLiteral("JyouhouSyutoku_Mivor"));
  EXPECT_EQ(QStringLiteral("4.95"), Window().controls().Text(QStringLiteral("lbStatus_Mivor"), 3));
  Control("adc A8C4379B42FF80");
  Click(QStringLiteral("JyouhouSyutoku_Mivor"));
  EXPECT_EQ(QStringLiteral("0.00"), Window().controls().Text(QStringLiteral("lbStatus_Mivor"), 3));
  EXPECT_EQ(0u, dialogs_.pending());
}

// Ranks written with "!!r:" come back in "TH" and "!!r?": 10 to 13 go on the
// wire as ":" to "="; a rank outside 0..d lights no marker.
TEST_F(EepSettingsOnSimulator, StoredRanksShowWithTheirMarkers) {
  Open();
  Control("model mivor");
  Control("mivor settings from-eeprom");
  Window();
  FormControls& ui = Window().controls();
  const struct {
    const char* rank;
    const char* shown;
    int marker;
  } kCases[] = {{":", "a", 10}, {"=", "d", 13}, {"e", "e", -1}};
  for (const auto& c : kCases) {
    Control(std::string("mivor rank ") + c.rank);
    Click(QStringLiteral("EEPSetting_Mivor"));
    EXPECT_EQ(QString::fromLatin1(c.shown), ui.Text(QStringLiteral("EEPSetLabel_Mivor"), 0)) << c.rank;
    for (int i = 0; i <= 13; ++i)
      EXPECT_EQ(i == c.marker, ui.Visible(QStringLiteral("ShpTPHRank"), i)) << c.rank << " " << i;
  }
  EXPECT_EQ(0u, dialogs_.pending());
}

// "!!r:" from the window is stored and shown by the closing re-read.
TEST_F(EepSettingsOnSimulator, RankChangeIsStoredAndReadBack) {
  Open();
  Control("model mivor");
  Control("mivor settings from-eeprom");
  Window();
  Commands();
  Window().controls().SetText(QStringLiteral("EEPSetCmb_Mivor"), 0, QStringLiteral("a"));
  dialogs_.ExpectBox(ProgramTitle(), QStringLiteral("ＴＰＨランクを変更します ！\r\n    Rank c → a"), BoxAnswer::kOk);
  dialogs_.ExpectBox(ProgramTitle(), QStringLiteral("設定が変更されました"), BoxAnswer::kOk);
  Click(QStringLiteral("EEPSetCmd_Mivor"), 0);
  const std::vector<std::string> wire = Commands();
  ASSERT_GE(wire.size(), 2u);
  EXPECT_EQ("CMD !! r?", wire[0]);
  EXPECT_EQ("CMD !! r::", wire[1]);
  EXPECT_EQ(QStringLiteral("a"), Text(QStringLiteral("EEPSetLabel_Mivor"), 0));
  EXPECT_TRUE(Window().controls().Visible(QStringLiteral("ShpTPHRank"), 10));
  EXPECT_EQ(0u, dialogs_.pending());
}

// The pass count written to words 1E/1F shows in the next counter read; the
// error-count reset clears the error lines.
TEST_F(EepSettingsOnSimulator, CounterWriteAndResetShowInTheReRead) {
  Open();
  Control("model mivor");
  Control("mivor settings from-eeprom");
  Control("counter m 7");
  Window();
  Window().controls().SetText(QStringLiteral("EEPkoumoku_Mivor"), QStringLiteral("ﾊﾟｽ回数"));
  Window().controls().SetText(QStringLiteral("KaisuTxt_Mivor"), QStringLiteral("300"));
  dialogs_.ExpectInput(ProgramTitle(), QStringLiteral("Vremtholask"));
  Click(QStringLiteral("PassWrite_Mivor"));
  QStringList lines = Text(QStringLiteral("PassDisp_Mivor")).split(QLatin1Char('\n'));
  ASSERT_EQ(19, lines.size());
  EXPECT_TRUE(lines[0].endsWith(QStringLiteral("0000012C"))) << lines[0].toStdString();
  EXPECT_TRUE(lines[10].endsWith(QStringLiteral("00000007"))) << lines[10].toStdString();

  dialogs_.ExpectBox(ProgramTitle(), QStringLiteral("エラー回数のみ初期化されます！"), BoxAnswer::kOk);
  Click(QStringLiteral("ErrorSyokika_Mivor"));
  EXPECT_EQ(1, Sent("!! e"));
  lines = Text(QStringLiteral("PassDisp_Mivor")).split(QLatin1Char('\n'));
  ASSERT_EQ(19, lines.size());
  for (int i = 8; i < 19; ++i) EXPECT_TRUE(lines[i].endsWith(QStringLiteral("00000000"))) << lines[i].toStdString();
  EXPECT_EQ(0u, dialogs_.pending());
}

}  // namespace
}  // namespace quorel::eep

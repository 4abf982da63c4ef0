// The settings and counter panels of the EEPROM window on the real library
// and the in-process simulator: the exact commands each action puts on the
// wire, and what the device's answers make of the panel.
#include <gtest/gtest.h>

#include <QAbstractButton>

#include "channel/sim_channel_fixture.h"
#include "core/versions.h"
#include "eeprom/form_eep.h"

namespace quorel::eep {
namespace {

const QString kModelQuestion = QStringLiteral("機種が該当しないと思われますが実行されますか？");

class EepSettingsOnSimulator : public testing::SimChannelTest {
 protected:
  void TearDown() override {
    delete window_;
    SimChannelTest::TearDown();
  }
  FormEEP& Window() {
    if (!window_) window_ = new FormEEP(channel_);
    return *window_;
  }
  void Click(const QString& name, int index = -1) {
    auto* b = Window().findChild<QAbstractButton*>(ControlKey(name, index));
    ASSERT_NE(nullptr, b) << name.toStdString();
    b->click();
  }
  // The commands on the wire since the last call ("CMD VS", "CMD !! r?").
  std::vector<std::string> Commands() {
    std::vector<std::string> out;
    const auto t = sim_.Transcript();
    for (size_t i = seen_; i < t.size(); ++i)
      if (t[i].dir == sim::Dir::Host && t[i].tag.compare(0, 4, "CMD ") == 0) out.push_back(t[i].tag);
    seen_ = t.size();
    return out;
  }
  QString Text(const QString& name, int index = -1) { return Window().controls().Text(name, index); }

  FormEEP* window_ = nullptr;
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

}  // namespace
}  // namespace quorel::eep

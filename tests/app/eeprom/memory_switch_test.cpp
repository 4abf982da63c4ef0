// The memory-switch window: the bit conversions, and the window on the real
// library and the in-process simulator (model check, read, write, refusals).
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QDir>
#include <QLabel>

#include "channel/sim_channel_fixture.h"
#include "core/conversions.h"
#include "eeprom/form_memory_sw.h"
#include "eeprom/memory_switch_bits.h"

namespace quorel::eep {
namespace {

TEST(MemorySwitchBits, ConvertLikeTheWindowDoes) {
  EXPECT_EQ(QStringLiteral("00111100"), HexToBin(QStringLiteral("3C")));
  EXPECT_EQ(QStringLiteral("10101111"), HexToBin(QStringLiteral("a-F")));
  EXPECT_EQ(QStringLiteral("3C"), BinToHex(QStringLiteral("00111100")));
  EXPECT_EQ(QStringLiteral("0"), BinToHex(QStringLiteral("00000000")));
  EXPECT_EQ(QStringLiteral("2"), BinToHex(QStringLiteral("10.1")));   // 2.5 rounds to even
  EXPECT_EQ(QStringLiteral("4"), BinToHex(QStringLiteral("11.1")));   // 3.5 rounds to even
  EXPECT_EQ(QStringLiteral("F807"), SwitchWord({true, true, true, false, false, false, false, false}));
  EXPECT_EQ(QStringLiteral("FF00"), SwitchWord({}));
  EXPECT_EQ(QStringLiteral("00FF"), SwitchWord({true, true, true, true, true, true, true, true}));
  const SwitchBoxes five = BoxesOfLowByte(QStringLiteral("10"));
  for (int i = 0; i < 8; ++i) EXPECT_EQ(i == 4, five[static_cast<size_t>(i)]) << i;
  EXPECT_EQ(7.0, FirmwareNumber(QStringLiteral("Mivor07.02")));
  EXPECT_EQ(7.0, FirmwareNumber(QStringLiteral("Mivor 7")));
  EXPECT_EQ(10.0, FirmwareNumber(QStringLiteral("Mivor10")));
  EXPECT_EQ(0.0, FirmwareNumber(QStringLiteral("MivorX7")));
}

const QString kLoadText =
    QStringLiteral("現在の状態を取得します。\r\nカードリーダーを接続してください。\r\nＯＫをクリックすると開始します。");
const QString kTitle = QStringLiteral("EEPROM Mivor Memory Switch");

class MemorySwitchOnSimulator : public testing::SimChannelTest {
 protected:
  void SetUp() override {
    SimChannelTest::SetUp();
    Control("version Mivor07.02");
  }
  FormMemorySW& Window() {
    if (!window_) window_ = std::make_unique<FormMemorySW>(channel_, [this] { ++labelInits_; });
    return *window_;
  }
  void Load(BoxAnswer answer) {
    dialogs_.ExpectBox(QStringLiteral("Memory Switch"), kLoadText, answer);
    Window().Load();
  }
  QCheckBox* Box(int i) { return Window().findChild<QCheckBox*>(ControlKey(QStringLiteral("ChkMemorySW"), i)); }
  void Write() { Window().findChild<QAbstractButton*>(QStringLiteral("CmdMSWEEP_1"))->click(); }
  void Read() { Window().findChild<QAbstractButton*>(QStringLiteral("CmdMSWEEP_0"))->click(); }
  QString Status() { return Window().findChild<QLabel*>(QStringLiteral("StatusBarMemorySW"))->text(); }
  std::vector<std::string> Commands() const {
    std::vector<std::string> out;
    for (const sim::TranscriptEntry& e : sim_.Transcript())
      if (e.dir == sim::Dir::Host && e.tag.compare(0, 4, "CMD ") == 0) out.push_back(e.tag);
    return out;
  }
  void TickOnly(std::initializer_list<int> ticked) {
    for (int i = 1; i <= 8; ++i) Box(i)->setChecked(std::find(ticked.begin(), ticked.end(), i) != ticked.end());
  }

  std::unique_ptr<FormMemorySW> window_;
  int labelInits_ = 0;
};

TEST_F(MemorySwitchOnSimulator, ModelCheckTakesMivorSevenAndLater) {
  for (const char* v : {"Mivor07", "Mivor 7", "Mivor10"}) {
    SCOPED_TRACE(v);
    Control(std::string("version ") + v);
    sim_.ClearTranscript();
    Read();
    EXPECT_EQ(1, Sent("ee r:2F/01"));
    EXPECT_EQ(QStringLiteral("現設定､読み込み正常終了"), Status());
  }
  for (const char* v : {"Mivor06", "MivorX7"}) {
    SCOPED_TRACE(v);
    Control(std::string("version ") + v);
    sim_.ClearTranscript();
    dialogs_.ExpectBox(kTitle,
                       QStringLiteral("ファームウェアのバージョンが対応していません！\r\nFirm Vrsion ：") +
                           QString::fromLatin1(v),
                       BoxAnswer::kOk);
    Read();
    EXPECT_EQ(0, Sent("ee "));
  }
  // A "VS" that was not answered names no model: nothing older is checked.
  Control("version Dastel01");
  dialogs_.ExpectBox(kTitle, QStringLiteral("該当の機種ではありません！\r\nFirm Vrsion ：Dastel01"), BoxAnswer::kOk);
  Read();
  EXPECT_EQ(0u, dialogs_.pending());
}

TEST_F(MemorySwitchOnSimulator, ReadTicksTheBoxesOfTheLowByte) {
  Control("eeprom set 2F EF10");
  Load(BoxAnswer::kOk);
  EXPECT_EQ((std::vector<std::string>{"CMD VS", "CMD ee r:2F/01"}), Commands());
  for (int i = 1; i <= 8; ++i) EXPECT_EQ(i == 5, Box(i)->isChecked()) << i;
  EXPECT_FALSE(Box(5)->isEnabled());  // not in administrator mode
  EXPECT_EQ(2, labelInits_);
}

TEST_F(MemorySwitchOnSimulator, WriteSendsTheSwitchesWithTheirComplement) {
  Load(BoxAnswer::kOk);
  sim_.ClearTranscript();
  TickOnly({1, 2, 3});
  Write();
  EXPECT_EQ((std::vector<std::string>{"CMD VS", "CMD ee w:2F/01/F807"}), Commands());
  EXPECT_EQ(QStringLiteral("設定書き込み､正常終了"), Status());
  TickOnly({});
  Write();
  EXPECT_EQ(1, Sent("ee w:2F/01/FF00"));
  // The hidden boxes are ticked only by a read.
  Control("eeprom set 2F 00FF");
  Read();
  for (int i = 1; i <= 8; ++i) EXPECT_TRUE(Box(i)->isChecked()) << i;
  Write();
  EXPECT_EQ(1, Sent("ee w:2F/01/00FF"));
}

TEST_F(MemorySwitchOnSimulator, ScreenshotAfterARead) {
  Control("eeprom set 2F FA05");
  Window().show();
  Load(BoxAnswer::kOk);
  EXPECT_TRUE(Box(1)->isChecked());
  EXPECT_TRUE(Box(3)->isChecked());
  ASSERT_TRUE(QDir().mkpath(QStringLiteral(QUOREL_SCREENSHOT_DIR)));
  ASSERT_TRUE(Window().grab().save(QStringLiteral(QUOREL_SCREENSHOT_DIR "/memory_switch_read.png")));
}

TEST_F(MemorySwitchOnSimulator, UnsetWordShowsTheUnsetText) {
  Control("eeprom set 2F FFFF");
  Load(BoxAnswer::kOk);
  EXPECT_EQ(QStringLiteral("現設定､未設定機器"), Status());
  for (int i = 1; i <= 8; ++i) EXPECT_FALSE(Box(i)->isChecked()) << i;
  Write();  // an unset device counts as read
  EXPECT_EQ(1, Sent("ee w:2F/01/FF00"));
}

// Without a good read the low byte would clear the switches the user cannot
// see: Write is refused.
TEST_F(MemorySwitchOnSimulator, WriteWithoutAGoodReadSendsNothing) {
  Load(BoxAnswer::kCancel);
  Write();
  EXPECT_TRUE(Commands().empty());
  EXPECT_EQ(QStringLiteral("現設定未取得､書き込みできません"), Status());
  Control("eeprom fail 2F 37");
  Read();
  EXPECT_EQ(QStringLiteral("現設定、読み込みエラー！！"), Status());
  Write();
  EXPECT_EQ(0, Sent("ee w:"));
}

// A failed read withdraws what the good read before it allowed: the boxes
// it unticked no longer show the device, and writing them would clear the
// hidden switches 4, 6, 7 and 8.
TEST_F(MemorySwitchOnSimulator, FailedReadAfterAGoodOneRefusesWrite) {
  Control("eeprom set 2F 17E8");
  Load(BoxAnswer::kOk);
  for (int i = 1; i <= 8; ++i) EXPECT_EQ(i == 4 || i >= 6, Box(i)->isChecked()) << i;
  Control("eeprom fail 2F 37");
  Read();
  EXPECT_EQ(QStringLiteral("現設定、読み込みエラー！！"), Status());
  Write();
  EXPECT_EQ(0, Sent("ee w:"));
  EXPECT_EQ(QStringLiteral("現設定未取得､書き込みできません"), Status());
  Control("eeprom fail off");
  Read();
  Write();
  EXPECT_EQ(1, Sent("ee w:2F/01/17E8"));
}

}  // namespace
}  // namespace quorel::eep

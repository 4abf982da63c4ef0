// The settings and counter panels of the EEPROM window on scripted
// forwarders and a table of controls: the Mivor read and its nine changes,
// the word families' settings bytes, the counter list, the counter write
// behind the access code and the error-count resets; and the widget-free
// builders they share with the test bench.
#include <gtest/gtest.h>

#include "core/conversions.h"
#include "core/main_module.h"
#include "core/versions.h"
#include "eeprom/eep_counters.h"
#include "eeprom/eep_frame.h"
#include "eeprom/eep_settings_mivor.h"
#include "eeprom/eep_settings_model.h"
#include "eeprom/eep_settings_word.h"
#include "eeprom/eep_tables.h"
#include "fake_eep_channel.h"
#include "main/fake_controls.h"
#include "support/scripted_dialogs.h"

namespace quorel::eep {
namespace {

using testing::FakeControls;
using testing::FakeEepChannel;
using testing::ScriptedDialogs;
using Cmds = std::vector<QString>;

const QString kChanged = QStringLiteral("設定が変更されました");
const QString kNotValid = QStringLiteral("設定が変更が無効です。\r\nもう一度確認後、再設定してください！");
const QString kReadFailed = QStringLiteral("現在の設定値を読み出せませんでした。\r\n設定は変更されていません。");
const QString kBadValue = QStringLiteral("設定値が正しくありません。\r\n一覧の値から選択してください！");
const QString kResetHint = QStringLiteral("設定を有効にするにはC/Rを一旦ﾘｾｯﾄして下さい");
const QString kPasswordPrompt = QStringLiteral("パスワードを入力してください！");
const Cmds kMivorRead = {"VS", "TH", "!!r?", "!!o?", "!!s", "!!h?", "RE"};

// ---- the widget-free model ----

TEST(EepSettingsModel, MivorChangeRowsBuildTheirWritesFromTheRead) {
  struct Row {
    int index;
    const char* read;        // the read command
    const char* reply;       // its answer
    const char* value;       // the new value
    const char* write;       // what goes out
    const char* writeReply;  // an answer that carries the value
  };
  const Row kRows[] = {
      {0, "!!r?", "A!!90<2", "b", "!!r:;", "A!!90;2"},   {1, "!!r?", "A!!90<2", "3", "!!r:<3", "A!!90<3"},
      {2, "!!d?", "A!!9041", "5", "!!d:5", "A!!9051"},   {3, "!!d?", "A!!9041", "8", "!!d:48", "A!!9048"},
      {4, "!!o?", "A!!904", "6", "!!o6", "A!!906"},      {5, "!!h?", "A!!901234", "5", "!!h:5234", "A!!905234"},
      {6, "!!h?", "A!!901234", "9", "!!h:1934", "A!!901934"}, {7, "!!h?", "A!!901234", "0", "!!h:1204", "A!!901204"},
      {8, "!!h?", "A!!901234", "7", "!!h:1237", "A!!901237"},
  };
  for (const Row& r : kRows) {
    SCOPED_TRACE(r.index);
    ASSERT_NE(nullptr, MivorChange(r.index));
    EXPECT_EQ(QString::fromLatin1(r.read), QString::fromLatin1(MivorChange(r.index)->readCommand));
    EXPECT_TRUE(MivorReadUsable(r.index, QString::fromLatin1(r.reply)));
    const auto v = MivorNewValue(r.index, QString::fromLatin1(r.value));
    ASSERT_TRUE(v);
    EXPECT_EQ(QString::fromLatin1(r.write), MivorWriteCommand(r.index, QString::fromLatin1(r.reply), *v));
    EXPECT_TRUE(MivorChangeTaken(r.index, QString::fromLatin1(r.writeReply), *v));
    EXPECT_FALSE(MivorChangeTaken(r.index, QStringLiteral("A!!90"), *v));
  }
  EXPECT_EQ(nullptr, MivorChange(9));
  EXPECT_EQ(QStringLiteral("c"), MivorOldValue(0, QStringLiteral("A!!90<2")));
  EXPECT_EQ(QStringLiteral("ＴＰＨランクを変更します ！\r\n    Rank 5 → 7"), MivorConfirmText(0, "5", "7"));
}

TEST(EepSettingsModel, MivorRefusesShortReadsAndValuesOffTheList) {
  EXPECT_FALSE(MivorReadUsable(1, QStringLiteral("A!!90<")));    // no density
  EXPECT_FALSE(MivorReadUsable(0, QStringLiteral("E")));         // timed out
  EXPECT_FALSE(MivorReadUsable(5, QStringLiteral("A!!10123")));  // error status, short
  EXPECT_FALSE(MivorReadUsable(5, QStringLiteral("A!!10123")));
  EXPECT_FALSE(MivorNewValue(1, QStringLiteral("12")));
  EXPECT_FALSE(MivorNewValue(5, QStringLiteral("  ")));
  EXPECT_FALSE(MivorNewValue(1, QStringLiteral("5")));  // density goes to 4
  EXPECT_FALSE(MivorNewValue(3, QStringLiteral("9")));
  EXPECT_EQ(QStringLiteral("7"), MivorNewValue(5, QStringLiteral(" 7 ")).value());
  EXPECT_EQ(QStringLiteral("b"), MivorNewValue(0, QStringLiteral("B")).value());
}

TEST(EepSettingsModel, RankNotationBothWaysAndItsMarkers) {
  const char* const window[] = {"a", "b", "c", "d"};
  const char* const device[] = {":", ";", "<", "="};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(QString::fromLatin1(device[i]), SwapDevHexChar(QString::fromLatin1(window[i])));
    EXPECT_EQ(QString::fromLatin1(window[i]), SwapDevHexChar(QString::fromLatin1(device[i])));
    EXPECT_EQ(10 + i, TphRankMarker(QString::fromLatin1(window[i])));
  }
  EXPECT_EQ(0, TphRankMarker("0"));
  EXPECT_EQ(9, TphRankMarker("9"));
  for (const char* none : {"e", "f", "", ":", "A", "10"}) EXPECT_EQ(-1, TphRankMarker(QString::fromLatin1(none))) << none;
  for (const char* none : {"0", "1", "7", "a", ""}) EXPECT_EQ(-1, EraseRankMarker(QString::fromLatin1(none))) << none;
  EXPECT_EQ(2, EraseRankMarker("2"));
  EXPECT_EQ(6, EraseRankMarker("6"));
}

TEST(EepSettingsModel, BatteryVoltageRoundsAtFifteenDigitsThenHalfAway) {
  const QString head = QStringLiteral("A!!90") + QString(14, QLatin1Char('0'));  // 19 characters
  EXPECT_EQ(QStringLiteral("3.49"), BackupVolt(head + QStringLiteral("B4")));
  EXPECT_EQ(QStringLiteral("4.95"), BackupVolt(head + QStringLiteral("FF")));
  EXPECT_EQ(QStringLiteral("0.00"), BackupVolt(head + QStringLiteral("00")));
  EXPECT_EQ(QStringLiteral("0.00"), BackupVolt(head));  // too short
  EXPECT_EQ(QStringLiteral("0.00"), BackupVolt(head + QStringLiteral("xF")));
  EXPECT_EQ(QStringLiteral("0.29"), BackupVolt(head + QStringLiteral("Fx")));  // 15 only
  EXPECT_EQ(QStringLiteral("0.02"), BackupVolt(head + QStringLiteral("01")));  // 0.0194...
}

TEST(EepSettingsModel, WordSettingsKeepTheOtherByte) {
  EXPECT_EQ(QStringLiteral("eew:20/01/4133"), WordSettingWriteCommand(1, "41", "32", *WordNewByte(1, "3")));
  EXPECT_EQ(QStringLiteral("eew:20/01/6132"), WordSettingWriteCommand(0, "41", "32", *WordNewByte(0, "a")));
  EXPECT_EQ(QStringLiteral("eew:22/01/3137"), WordSettingWriteCommand(2, "31", "35", *WordNewByte(2, "7")));
  EXPECT_EQ(QStringLiteral("eew:22/01/3835"), WordSettingWriteCommand(3, "31", "35", *WordNewByte(3, "8")));
  EXPECT_EQ(QStringLiteral("eew:08/01/FF36"), WordSettingWriteCommand(4, "FF", "FF", *WordNewByte(4, "6")));
  EXPECT_EQ(QStringLiteral("4"), WordOldValue(4, "FF", "FF"));
  EXPECT_EQ(QStringLiteral("0"), WordOldValue(2, "FF", "FF"));
  EXPECT_EQ(QStringLiteral("0"), WordOldValue(3, "FF", "FF"));
  EXPECT_EQ(QStringLiteral("A"), WordOldValue(0, "41", "32"));
  EXPECT_EQ(QStringLiteral("2"), DensityShown("FF"));
  EXPECT_EQ(QStringLiteral("4"), PositionShown("FF"));
  EXPECT_EQ(QStringLiteral(""), ByteCharacter("G1"));
  EXPECT_EQ(QStringLiteral(""), ByteCharacter("3"));
  EXPECT_EQ(QStringLiteral("ｱ"), ByteCharacter("B1"));
  EXPECT_FALSE(WordNewByte(1, QStringLiteral("あ")));
  EXPECT_FALSE(WordNewByte(1, QStringLiteral("23")));
  EXPECT_TRUE(WordReadUsable("Aee904132"));
  EXPECT_FALSE(WordReadUsable("Aee10413"));
  EXPECT_FALSE(WordReadUsable("Aee9041G2"));
  EXPECT_FALSE(WordReadUsable(""));
  EXPECT_EQ(QStringLiteral("消去ロットを変更します ！\r\n    ELOT 1 → 8"), WordConfirmText(3, "1", "8"));
}

TEST(EepSettingsModel, CounterWriteTakesDigitsWithinTheItemsWidth) {
  QString why;
  EXPECT_EQ(QStringLiteral("eew:1E/02/0000012C"), CounterWriteCommand("ﾊﾟｽ回数", "300", &why).value());
  EXPECT_EQ(QStringLiteral("eew:1E/02/00000000"), CounterWriteCommand("ﾊﾟｽ回数", "0", &why).value());
  EXPECT_EQ(QStringLiteral("eew:11/01/0005"), CounterWriteCommand("Tr1ｴﾗｰ", "5", &why).value());
  EXPECT_EQ(QStringLiteral("eew:11/01/FFFF"), CounterWriteCommand("Tr1ｴﾗｰ", "65535", &why).value());
  EXPECT_EQ(QStringLiteral("eew:18/02/00010000"), CounterWriteCommand("印字回数", "65536", &why).value());
  EXPECT_EQ(QStringLiteral("eew:1A/02/7FFFFFFF"), CounterWriteCommand("ﾘｰﾄﾞ回数", " 2147483647 ", &why).value());
  for (const char* bad : {"", "-1", "x", "65536", "1e3", "+5", " ", "１"}) {
    why.clear();
    EXPECT_FALSE(CounterWriteCommand("Tr1ｴﾗｰ", QString::fromUtf8(bad), &why)) << bad;
    EXPECT_FALSE(why.isEmpty());
  }
  EXPECT_FALSE(CounterWriteCommand("ﾊﾟｽ回数", "2147483648", &why));
  EXPECT_FALSE(CounterWriteCommand("ﾊﾟｽ回数", "99999999999", &why));
  EXPECT_FALSE(CounterWriteCommand("", "5", &why));
  EXPECT_FALSE(CounterWriteCommand("ﾊﾟｽ", "5", &why));
}

TEST(EepSettingsModel, CounterTablesKeepTheirCp932Widths) {
  int n = 0;
  const CounterLine* mivor = MivorCounters(&n);
  ASSERT_EQ(19, n);
  for (int i = 0; i < n; ++i) EXPECT_EQ(18, AnsiByteLen(QString::fromUtf8(mivor[i].label))) << i;
  const CounterLine* words = WordFamilyCounters(&n);
  ASSERT_EQ(16, n);
  for (int i = 0; i < n; ++i) {
    EXPECT_EQ(21, AnsiByteLen(QString::fromUtf8(words[i].label)) + words[i].to - words[i].from + 1) << i;
    EXPECT_EQ(18, AnsiByteLen(QString::fromUtf8(words[i].reportLabel))) << i;
  }
  CounterItems(&n);
  EXPECT_EQ(16, n);
  EXPECT_EQ(QStringLiteral("\u3000\u3000 ｶｰﾄﾞﾊﾟｽ回数: 000186A0"),
            QString::fromUtf8(mivor[0].label) + CounterValue(mivor[0], "ACT90000186A0"));
  EXPECT_EQ(QStringLiteral("0005"), CounterValue(words[5], "ACT9000000005"));
  EXPECT_EQ(QStringLiteral("000"), CounterValue(words[9], "ACT9000000"));
  EXPECT_EQ(QString(), CounterValue(words[9], "ACT9000"));
}

// ---- the handlers on scripted forwarders ----

class EepSettings : public ::testing::Test {
 protected:
  void SetUp() override {
    mm() = MainModule{};
    mm().gPortOpen = -1;
    jobs_.SetBusyDisplay([this](bool busy) { frame_.ShowBusy(busy); });
  }
  void ScriptMivorRead(const QString& th = QStringLiteral("ATH90<25AB12418A31"),
                       const QString& s = QStringLiteral("A!!90") + QString(14, QLatin1Char('0')) + "B4") {
    channel_.Script("AVS902M10 V1.00");
    channel_.Script(th);
    channel_.Script("A!!90<2");
    channel_.Script("A!!904");
    channel_.Script(s);
    channel_.Script("A!!905555");
    channel_.Script("ARE901234567890ABC");
  }
  bool Marker(const char* name, int i) const { return ui_.Visible(QString::fromLatin1(name), i); }
  int LitTphMarkers() const {
    int lit = 0;
    for (int i = 0; i <= 13; ++i) lit += Marker("ShpTPHRank", i) ? 1 : 0;
    return lit;
  }
  void HideMarkers() {
    for (int i = 0; i <= 13; ++i) ui_.SetVisible(QStringLiteral("ShpTPHRank"), i, true);
  }

  ScriptedDialogs dialogs_;
  FakeEepChannel channel_;
  FakeControls ui_;
  EepJobRunner jobs_{channel_};
  EepFrame frame_{ui_, jobs_};
  MivorSettings mivor_{frame_};
  WordFamilySettings words_{frame_};
  EepCounters counters_{frame_};
};

TEST_F(EepSettings, MivorReadShowsRankMarkersBatteryAndReport) {
  HideMarkers();
  mm().gReportMode = -1;
  mm().gReportSeparator = QStringLiteral(",");
  ScriptMivorRead();
  mivor_.Read();
  EXPECT_EQ(kMivorRead, channel_.sent);
  EXPECT_EQ(QStringLiteral("c"), ui_.Text("EEPSetLabel_Mivor", 0));
  EXPECT_EQ(QStringLiteral("現在のTPH Rank = c "), ui_.ToolTip("EEPSetLabel_Mivor", 0));
  EXPECT_TRUE(Marker("ShpTPHRank", 12));
  EXPECT_EQ(1, LitTphMarkers());
  EXPECT_EQ(QStringLiteral("2"), ui_.Text("EEPSetLabel_Mivor", 1));
  EXPECT_EQ(QStringLiteral("4"), ui_.Text("EEPSetLabel_Mivor", 2));
  EXPECT_TRUE(Marker("ShpErRank", 4));
  EXPECT_FALSE(Marker("ShpErRank", 2));
  EXPECT_EQ(QStringLiteral("3.49"), ui_.Text("lbStatus_Mivor", 3));
  EXPECT_EQ(QStringLiteral(" 1234567890"), ui_.Text("lbStatus_Mivor", 6));
  EXPECT_EQ(QStringLiteral("2M10 V1.00"), ui_.Text("lbStatus_Mivor", 4));
  EXPECT_EQ(QStringLiteral("5"), ui_.Text("EEPSetLabel_Mivor", 8));
  EXPECT_TRUE(frame_.reportBuffer().startsWith(QStringLiteral("TPH Rank    ,c\r\nTPH Depth   ,2\r\n")));
  EXPECT_EQ(13, frame_.reportBuffer().count(QStringLiteral("\r\n")));
  EXPECT_TRUE(ui_.Enabled("SSTabEEP"));
}

TEST_F(EepSettings, MivorRankNotationAndOddRanksOnTheMarkers) {
  struct Case {
    const char* rankChar;
    const char* shown;
    int marker;
  };
  for (const Case& c : {Case{":", "a", 10}, Case{"=", "d", 13}, Case{"e", "e", -1}, Case{"", "", -1}}) {
    HideMarkers();
    channel_.sent.clear();
    const QString th = QStringLiteral("ATH90") + QString::fromLatin1(c.rankChar) + (*c.rankChar ? "25AB12418A31" : "");
    ScriptMivorRead(th, QStringLiteral("A!!90"));
    mivor_.Read();
    SCOPED_TRACE(c.rankChar);
    EXPECT_EQ(QString::fromLatin1(c.shown), ui_.Text("EEPSetLabel_Mivor", 0));
    EXPECT_EQ(c.marker < 0 ? 0 : 1, LitTphMarkers());
    if (c.marker >= 0) {
      EXPECT_TRUE(Marker("ShpTPHRank", c.marker));
    }
    EXPECT_EQ(QStringLiteral("0.00"), ui_.Text("lbStatus_Mivor", 3));  // short "!!s"
  }
}

TEST_F(EepSettings, MivorChangeSendsTheWriteAndReReads) {
  // Density 3 with rank "c": the rank goes back in device notation.
  ui_.SetText("EEPSetCmb_Mivor", 1, "3");
  channel_.Script("A!!90<2");
  dialogs_.ExpectBox(ProgramTitle(), QStringLiteral("印字濃度を変更します ！\r\n    濃度 2 → 3"), BoxAnswer::kOk);
  channel_.Script("A!!90<3");
  dialogs_.ExpectBox(ProgramTitle(), kChanged, BoxAnswer::kOk);
  ScriptMivorRead();
  mivor_.Change(1);
  Cmds want = {"!!r?", "!!r:<3"};
  want.insert(want.end(), kMivorRead.begin(), kMivorRead.end());
  EXPECT_EQ(want, channel_.sent);

  // Rank "b" goes out as ";" and a ";" answer matches it.
  channel_.sent.clear();
  ui_.SetText("EEPSetCmb_Mivor", 0, "b");
  channel_.Script("A!!90<2");
  dialogs_.ExpectBox(ProgramTitle(), QStringLiteral("ＴＰＨランクを変更します ！\r\n    Rank c → b"), BoxAnswer::kOk);
  channel_.Script("A!!90;2");
  dialogs_.ExpectBox(ProgramTitle(), kChanged, BoxAnswer::kOk);
  ScriptMivorRead();
  mivor_.Change(0);
  EXPECT_EQ(QStringLiteral("!!r:;"), channel_.sent.at(1));

  // Lift Up "5": the three others as read.
  channel_.sent.clear();
  ui_.SetText("EEPSetCmb_Mivor", 5, "5");
  channel_.Script("A!!901234");
  dialogs_.ExpectBox(ProgramTitle(), QStringLiteral("サーマル側Up補正値を変更します ！\r\n    Rank 1 → 5"), BoxAnswer::kOk);
  channel_.Script("A!!905234");
  dialogs_.ExpectBox(ProgramTitle(), kChanged, BoxAnswer::kOk);
  ScriptMivorRead();
  mivor_.Change(5);
  EXPECT_EQ(QStringLiteral("!!h:5234"), channel_.sent.at(1));
  EXPECT_EQ(0u, dialogs_.pending());
}

TEST_F(EepSettings, MivorChangeRefusesWhatWouldChangeOtherSettings) {
  // An error status on the write: the not-valid box, then the re-read.
  ui_.SetText("EEPSetCmb_Mivor", 0, "a");
  channel_.Script("A!!90<2");
  dialogs_.ExpectBox(ProgramTitle(), QStringLiteral("ＴＰＨランクを変更します ！\r\n    Rank c → a"), BoxAnswer::kOk);
  channel_.Script("A!!14");
  dialogs_.ExpectBox(ProgramTitle(), kNotValid, BoxAnswer::kOk);
  ScriptMivorRead();
  mivor_.Change(0);
  EXPECT_EQ(9u, channel_.sent.size());

  // A silent "!!r?": no write, a box, the re-read still runs.
  channel_.sent.clear();
  ui_.SetText("EEPSetCmb_Mivor", 1, "3");
  channel_.Script("", ComuOutcome::kAbandoned);
  dialogs_.ExpectBox(ProgramTitle(), kReadFailed, BoxAnswer::kOk);
  ScriptMivorRead();
  mivor_.Change(1);
  Cmds want = {"!!r?"};
  want.insert(want.end(), kMivorRead.begin(), kMivorRead.end());
  EXPECT_EQ(want, channel_.sent);

  // "12" and blanks are refused.
  for (const char* typed : {"12", "  "}) {
    channel_.sent.clear();
    ui_.SetText("EEPSetCmb_Mivor", 5, QString::fromLatin1(typed));
    channel_.Script("A!!901234");
    dialogs_.ExpectBox(ProgramTitle(), kBadValue, BoxAnswer::kOk);
    ScriptMivorRead();
    mivor_.Change(5);
    EXPECT_EQ(8u, channel_.sent.size()) << typed;
    EXPECT_EQ(QStringLiteral("VS"), channel_.sent.at(1));
  }

  // An empty choice: the read alone, no box, no re-read.
  channel_.sent.clear();
  ui_.SetText("EEPSetCmb_Mivor", 4, "");
  mivor_.Change(4);
  EXPECT_EQ((Cmds{"!!o?"}), channel_.sent);
  EXPECT_TRUE(ui_.Enabled("SSTabEEP"));
  EXPECT_EQ(0u, dialogs_.pending());
}

TEST_F(EepSettings, WordFamilyChangeWritesOneByteOfTheWord) {
  ui_.SetText("EEPSetCmb_Dastel", 1, "3");
  channel_.Script("Aee904132");
  dialogs_.ExpectBox(ProgramTitle(), QStringLiteral("印字濃度を変更します ！\r\n    濃度 2 → 3"), BoxAnswer::kOk);
  dialogs_.ExpectBox(ProgramTitle(), kResetHint, BoxAnswer::kOk);
  words_.Change(Family::kDastel, 1);
  EXPECT_EQ((Cmds{"eer:20/01", "eew:20/01/4133"}), channel_.sent);

  channel_.sent.clear();
  ui_.SetText("EEPSetCmb_Quenby", 4, "6");
  channel_.Script("Aee90FFFF");
  dialogs_.ExpectBox(ProgramTitle(), QStringLiteral("印字位置を変更します ！\r\n    印字位置 4 → 6"), BoxAnswer::kOk);
  dialogs_.ExpectBox(ProgramTitle(), kResetHint, BoxAnswer::kOk);
  words_.Change(Family::kQuenby, 4);
  EXPECT_EQ((Cmds{"eer:08/01", "eew:08/01/FF36"}), channel_.sent);

  // A failed read-before-write, a value that is no byte of the list, and an
  // error on the write.
  channel_.sent.clear();
  ui_.SetText("EEPSetCmb_Folsk", 2, "7");
  channel_.Script("Aee14");
  dialogs_.ExpectBox(ProgramTitle(), kReadFailed, BoxAnswer::kOk);
  words_.Change(Family::kFolsk, 2);
  ui_.SetText("EEPSetCmb_Folsk", 2, "あ");
  channel_.Script("Aee903135");
  dialogs_.ExpectBox(ProgramTitle(), kBadValue, BoxAnswer::kOk);
  words_.Change(Family::kFolsk, 2);
  EXPECT_EQ((Cmds{"eer:22/01", "eer:22/01"}), channel_.sent);

  channel_.sent.clear();
  ui_.SetText("EEPSetCmb_Folsk", 3, "8");
  channel_.Script("Aee903135");
  dialogs_.ExpectBox(ProgramTitle(), QStringLiteral("消去ロットを変更します ！\r\n    ELOT 1 → 8"), BoxAnswer::kOk);
  channel_.Script("Aee14");
  dialogs_.ExpectBox(ProgramTitle(), QStringLiteral("設定の書込みに失敗しました。\r\nもう一度やり直してください。"),
                     BoxAnswer::kOk);
  words_.Change(Family::kFolsk, 3);
  EXPECT_EQ((Cmds{"eer:22/01", "eew:22/01/3835"}), channel_.sent);
  EXPECT_EQ(BoxIcon::kCritical, dialogs_.recorded().back().icon);
  EXPECT_EQ(0u, dialogs_.pending());
}

TEST_F(EepSettings, WordFamilyReadsDifferByFamily) {
  mm().gReportMode = -1;
  mm().gReportSeparator = QStringLiteral(":");
  channel_.Script("AVS905110 V1.00");
  channel_.Script("ATH90;25AB");
  channel_.Script("Aee9041FF");
  channel_.Script("Aee90FFFF");
  words_.Read(Family::kFolsk);
  EXPECT_EQ((Cmds{"VS", "TH", "eer:20/01", "eer:08/01"}), channel_.sent);
  EXPECT_EQ(QStringLiteral("b"), ui_.Text("EEPSetLabel_Folsk", 0));
  EXPECT_EQ(QStringLiteral("2"), ui_.Text("EEPSetLabel_Folsk", 1));
  EXPECT_EQ(QStringLiteral(""), ui_.Text("EEPSetLabel_Folsk", 2));
  EXPECT_EQ(QStringLiteral("4"), ui_.Text("EEPSetLabel_Folsk", 4));
  EXPECT_EQ(QStringLiteral("TPH Rank    :b\r\nTPH Depth   :2\r\nTPH Temp    :25\r\n"), frame_.reportBuffer());

  channel_.sent.clear();
  frame_.reportBuffer().clear();
  channel_.Script("AVS903D10 V2.10");
  channel_.Script("ATH90425AB12418A31");
  channel_.Script("Aee904133");
  channel_.Script("Aee90FF36");
  channel_.Script("ARE90XYZ");
  words_.Read(Family::kDastel);
  EXPECT_EQ((Cmds{"VS", "TH", "eer:20/01", "eer:08/01", "RE"}), channel_.sent);
  EXPECT_EQ(QStringLiteral("3"), ui_.Text("EEPSetLabel_Dastel", 1));
  EXPECT_EQ(QStringLiteral("6"), ui_.Text("EEPSetLabel_Dastel", 4));
  EXPECT_EQ(QStringLiteral(" XYZ"), ui_.Text("lbStatus_Dastel", 5));
  EXPECT_EQ(6, frame_.reportBuffer().count(QStringLiteral("\r\n")));

  // The Quenby read runs while a restart is awaited; the others do not.
  channel_.sent.clear();
  mm().gResetWaiting = -1;
  words_.Read(Family::kDastel);
  EXPECT_TRUE(channel_.sent.empty());
  channel_.Script("AVS909Q10");
  words_.Read(Family::kQuenby);
  EXPECT_FALSE(channel_.sent.empty());
}

TEST_F(EepSettings, CounterReadListsEveryLine) {
  channel_.Script("AVS902M10");
  channel_.Script("ACT90000186A0");
  counters_.Read(Family::kMivor);
  ASSERT_EQ(20u, channel_.sent.size());
  EXPECT_EQ(QStringLiteral("CT:v"), channel_.sent.back());
  const QStringList lines = ui_.Text("PassDisp_Mivor").split(QLatin1Char('\n'));
  ASSERT_EQ(19, lines.size());
  EXPECT_EQ(QStringLiteral("\u3000\u3000 ｶｰﾄﾞﾊﾟｽ回数: 000186A0"), lines[0]);

  channel_.sent.clear();
  channel_.Script("AVS903D10");
  for (int i = 0; i < 16; ++i) channel_.Script("ACT900000ABCD");
  counters_.Read(Family::kDastel);
  const QStringList cut = ui_.Text("PassDisp_Dastel", 0).split(QLatin1Char('\n'));
  ASSERT_EQ(16, cut.size());
  EXPECT_EQ(QStringLiteral("パ ス 回数 : 0000ABCD"), cut[0]);
  EXPECT_EQ(QStringLiteral("Tr1エラー  :     ABCD"), cut[5]);
  EXPECT_EQ(QStringLiteral("メカエラー :   00ABCD"), cut[9]);
}

TEST_F(EepSettings, CounterWriteAsksTheCodeOnlyForAValidValue) {
  ui_.SetText("EEPkoumoku_Mivor", "ﾊﾟｽ回数");
  ui_.SetText("KaisuTxt_Mivor", "300");
  dialogs_.ExpectInput(ProgramTitle(), QStringLiteral("Vremtholask"));
  channel_.Script("Aee90");
  channel_.Script("AVS902M10");
  counters_.Write(Family::kMivor);
  ASSERT_GE(channel_.sent.size(), 2u);
  EXPECT_EQ(QStringLiteral("eew:1E/02/0000012C"), channel_.sent[0]);
  EXPECT_EQ(QStringLiteral("VS"), channel_.sent[1]);
  EXPECT_EQ(21u, channel_.sent.size());

  // A wrong-case code or Cancel: nothing sent, no message.
  for (std::optional<QString> code : {std::optional<QString>(QStringLiteral("vremtholask")), std::optional<QString>()}) {
    channel_.sent.clear();
    dialogs_.ExpectInput(ProgramTitle(), code);
    counters_.Write(Family::kMivor);
    EXPECT_TRUE(channel_.sent.empty());
  }
  // A value that does not fit: a box, no prompt, nothing sent.
  ui_.SetText("EEPkoumoku_Dastel", 1, "Tr1ｴﾗｰ");
  for (const char* bad : {"", "-1", "x", "65536"}) {
    ui_.SetText("KaisuTxt_Dastel", 1, QString::fromLatin1(bad));
    dialogs_.ExpectBox(ProgramTitle(), QStringLiteral("回数は 0 から 65535 までの数字で入力してください！"),
                       BoxAnswer::kOk);
    counters_.Write(Family::kQuenby);
  }
  EXPECT_TRUE(channel_.sent.empty());
  ui_.SetText("KaisuTxt_Dastel", 1, "65535");
  dialogs_.ExpectInput(ProgramTitle(), QStringLiteral("Vremtholask"));
  channel_.Script("Aee90");
  channel_.Script("AVS909Q10");
  counters_.Write(Family::kQuenby);
  EXPECT_EQ(QStringLiteral("eew:11/01/FFFF"), channel_.sent.at(0));
  EXPECT_EQ(0u, dialogs_.pending());
}

TEST_F(EepSettings, ResetsAskSendAndReRead) {
  dialogs_.ExpectBox(ProgramTitle(), QStringLiteral("エラー回数のみ初期化されます！"), BoxAnswer::kOk);
  channel_.Script("A!!90");
  channel_.Script("AVS902M10");
  counters_.Reset(Family::kMivor, false);
  ASSERT_EQ(21u, channel_.sent.size());
  EXPECT_EQ(QStringLiteral("!!e"), channel_.sent[0]);

  channel_.sent.clear();
  dialogs_.ExpectBox(ProgramTitle(), QStringLiteral("エラー＆パス回数が初期化されます！"), BoxAnswer::kOk);
  channel_.Script("A!!14");
  dialogs_.ExpectBox(QStringLiteral("EEPROM Error & Pass Initialize"),
                     QStringLiteral("エラーが発生いたしました。\r\nもう一度やり直しをお勧めします。"), BoxAnswer::kOk);
  counters_.Reset(Family::kMivor, true);
  EXPECT_EQ((Cmds{"!!c"}), channel_.sent);
  EXPECT_EQ(BoxIcon::kCritical, dialogs_.recorded().back().icon);

  channel_.sent.clear();
  dialogs_.ExpectBox(ProgramTitle(), QStringLiteral("ｴﾗｰ＋ﾊﾟｽ回数が初期化されます !"), BoxAnswer::kCancel);
  counters_.Reset(Family::kFolsk, true);
  EXPECT_TRUE(channel_.sent.empty());
  EXPECT_TRUE(ui_.Enabled("SSTabEEP"));
  EXPECT_EQ(0u, dialogs_.pending());
}

TEST_F(EepSettings, MivorCounterWriteOnAClosedPortSaysSoAndSendsNothing) {
  mm().gPortOpen = 0;
  channel_.portOpens = false;
  ui_.SetText("EEPkoumoku_Mivor", "Tr1ｴﾗｰ");
  ui_.SetText("KaisuTxt_Mivor", "5");
  dialogs_.ExpectInput(ProgramTitle(), QStringLiteral("Vremtholask"));
  dialogs_.ExpectBox(QStringLiteral("通信エラー"), QStringLiteral("通信できません！\r\n通信設定やケーブルを見直してください。"),
                     BoxAnswer::kOk);
  counters_.Write(Family::kMivor);
  EXPECT_TRUE(channel_.sent.empty());
  EXPECT_EQ(1, channel_.opens);
  EXPECT_TRUE(ui_.Enabled("SSTabEEP"));
  EXPECT_EQ(0u, dialogs_.pending());
}

}  // namespace
}  // namespace quorel::eep

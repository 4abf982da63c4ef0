// Decoding of the replies to "CT", "ST", "VS", "MR", "RC", "DT"/"dt", "CK",
// "RE", and the parameter displays before a send.
#include <gtest/gtest.h>

#include "decode_fixture.h"

namespace quorel {
namespace {

using Counter = DecodeTest;

TEST_F(Counter, CaptionIsTheDataAndTheToolTipItsDecimalForm) {
  const DisplayUpdates u = Decode("CT", "ACT9000000100");
  EXPECT_EQ(Shown(u, "LbCT", -1, kCaption), "00000100");
  EXPECT_EQ(Shown(u, "LbCT", -1, kToolTip), "Dec:00000256");
  EXPECT_EQ(u.controls.size(), 2u);
  EXPECT_TRUE(u.state.empty());
  // Lower-case digits and "CT:" with a counter letter; at least eight digits.
  EXPECT_EQ(Shown(Decode("CT:a", "ACT900000a0f"), "LbCT", -1, kToolTip), "Dec:00002575");
  EXPECT_EQ(Shown(Decode("CT", "ACT90FFFFFFFF"), "LbCT", -1, kToolTip), "Dec:4294967295");
  // The rule does not look at the end code.
  EXPECT_EQ(Shown(Decode("CT", "ACT1400000010"), "LbCT", -1, kToolTip), "Dec:00000016");
}

TEST_F(Counter, LongerOrNonHexDataKeepsTheCaptionRule) {
  // Up to sixteen hex digits read as one 64-bit number.
  DisplayUpdates u = Decode("CT", "ACT90FFFFFFFFFFFFFFFF");
  EXPECT_EQ(Shown(u, "LbCT", -1, kCaption), "FFFFFFFFFFFFFFFF");
  EXPECT_EQ(Shown(u, "LbCT", -1, kToolTip), "Dec:18446744073709551615");
  EXPECT_EQ(Shown(Decode("CT", "ACT90123456789A"), "LbCT", -1, kToolTip), "Dec:78187493530");
  // Seventeen digits or a character that is no hex digit: the data as it came.
  u = Decode("CT", "ACT9010000000000000000");
  EXPECT_EQ(Shown(u, "LbCT", -1, kCaption), "10000000000000000");
  EXPECT_EQ(Shown(u, "LbCT", -1, kToolTip), "Dec:10000000000000000");
  EXPECT_EQ(Shown(Decode("CT", "ACT9000X00100"), "LbCT", -1, kToolTip), "Dec:00X00100");
  EXPECT_EQ(Shown(Decode("CT", "ACT90 0000100"), "LbCT", -1, kToolTip), "Dec: 0000100");
  EXPECT_EQ(Shown(Decode("CT", "ACT90:000100"), "LbCT", -1, kToolTip), "Dec::000100");
}

TEST_F(Counter, ShortReplyShowsWhole) {
  // Eleven characters: the whole reply, no tool tip.
  const DisplayUpdates u = Decode("CT", "ACT90000001");
  EXPECT_EQ(Shown(u, "LbCT", -1, kCaption), "ACT90000001");
  EXPECT_EQ(Shown(u, "LbCT", -1, kToolTip), "<unset>");
  EXPECT_EQ(Shown(Decode("CT", "ACT13"), "LbCT", -1, kCaption), "ACT13");
  // Twelve characters are enough for the data rule.
  EXPECT_EQ(Shown(Decode("CT", "ACT900000010"), "LbCT", -1, kToolTip), "Dec:00000016");
}

using StatusVersion = DecodeTest;

TEST_F(StatusVersion, StatusDataOrWholeReply) {
  DisplayUpdates u = Decode("ST", "AST90012345");
  EXPECT_EQ(Shown(u, "Label14", -1, kCaption), "012345");
  EXPECT_EQ(Shown(u, "Label14", -1, kToolTip), "012345");
  u = Decode("ST", "AST13");
  EXPECT_EQ(Shown(u, "Label14", -1, kCaption), "AST13");
  EXPECT_EQ(Shown(u, "Label14", -1, kToolTip), "AST13");
}

TEST_F(StatusVersion, VersionSetsTheModelTextOnlyOnNormalEnd) {
  DisplayUpdates u = Decode("VS", "AVS90145-01.23");
  EXPECT_EQ(u.state.gVersionText, QStringLiteral("145-01.23"));
  EXPECT_EQ(Shown(u, "TxtROMVer", -1, kText), "145-01.23");
  EXPECT_EQ(Shown(u, "TxtROMVer", -1, kToolTip), "145-01.23");
  EXPECT_EQ(Decode("VS?", "AVS903").state.gVersionText, QStringLiteral("3"));

  u = Decode("VS", "AVS11");
  EXPECT_FALSE(u.state.gVersionText.has_value());
  EXPECT_EQ(Shown(u, "TxtROMVer", -1, kText), "AVS11");
  EXPECT_EQ(Shown(u, "TxtROMVer", -1, kToolTip), "AVS11");

  state.gVersionText = QStringLiteral("9-old");
  ApplyStateChanges(u.state, state);
  EXPECT_EQ(state.gVersionText, QStringLiteral("9-old"));
  ApplyStateChanges(Decode("VS", "AVS9014X").state, state);
  EXPECT_EQ(state.gVersionText, QStringLiteral("14X"));
}

class ModeRead : public DecodeTest {
 protected:
  void SetUp() override {
    DecodeTest::SetUp();
    for (const char* k : {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", ":", ";", "<", "=", ">", "?"})
      cardKinds << QString::fromLatin1(k) + QStringLiteral(" kind");
    cardKindText = QStringLiteral("2 kind");
  }
  int Selected(const DisplayUpdates& u) const {
    const ControlUpdate* c = u.find(QStringLiteral("CmbKdKind"), -1, DisplayProperty::kListIndex);
    return c ? c->listIndex : -1;
  }
};

TEST_F(ModeRead, DataAndCardKindAfterTheKeyB) {
  cardKindTicked = true;
  DisplayUpdates u = Decode("MR", "AMR90A1B;C0");
  EXPECT_EQ(Shown(u, "TxtMR", -1, kText), "A1B;C0");
  EXPECT_EQ(Shown(u, "TxtMR", -1, kToolTip), "A1B;C0");
  EXPECT_EQ(Selected(u), 11);
  EXPECT_EQ(Shown(u, "CmbKdKind", -1, kToolTip), "; kind");
  // Only key positions count: the "B" at a value position is not a key.
  u = Decode("MR", "AMR90xBB5");
  EXPECT_EQ(Selected(u), 5);
}

TEST_F(ModeRead, SelectionUnchangedWithoutKeyOrMatchOrTick) {
  cardKindTicked = true;
  DisplayUpdates u = Decode("MR", "AMR90A1C0");
  EXPECT_EQ(Selected(u), -1);
  EXPECT_EQ(Shown(u, "CmbKdKind", -1, kToolTip), "<unset>");
  // A kind no entry starts with: the tool tip shows the current entry.
  u = Decode("MR", "AMR90BZ");
  EXPECT_EQ(Selected(u), -1);
  EXPECT_EQ(Shown(u, "CmbKdKind", -1, kToolTip), "2 kind");
  // "B" as the last character carries no kind.
  EXPECT_EQ(Selected(Decode("MR", "AMR90A1B")), -1);

  cardKindTicked = false;
  u = Decode("MR", "AMR90B3");
  EXPECT_EQ(Selected(u), -1);
  EXPECT_EQ(Shown(u, "CmbKdKind", -1, kToolTip), "<unset>");
  EXPECT_EQ(Shown(u, "TxtMR", -1, kText), "B3");
}

TEST_F(ModeRead, ErrorShowsTheWholeReplyAndSelectsNothing) {
  cardKindTicked = true;
  const DisplayUpdates u = Decode("MR", "AMR14B3");
  EXPECT_EQ(Shown(u, "TxtMR", -1, kText), "AMR14B3");
  EXPECT_EQ(Shown(u, "TxtMR", -1, kToolTip), "AMR14B3");
  EXPECT_EQ(Selected(u), -1);
}

using ReadStatus = DecodeTest;

TEST_F(ReadStatus, ThreeFieldsOrDataOrWholeReply) {
  DisplayUpdates u = Decode("RC", "ARC90010203xx");
  EXPECT_EQ(Shown(u, "LbDTtrLen", 1, kCaption), "01");
  EXPECT_EQ(Shown(u, "LbDTtrLen", 2, kCaption), "02");
  EXPECT_EQ(Shown(u, "LbDTtrLen", 3, kCaption), "03");
  u = Decode("RC", "ARC900102030");  // 12 characters
  EXPECT_EQ(Shown(u, "LbDTtrLen", 1, kCaption), "0102030");
  EXPECT_EQ(Shown(u, "LbDTtrLen", 2, kCaption), "<unset>");
  EXPECT_EQ(Shown(Decode("RC", "ARC40"), "LbDTtrLen", 1, kCaption), "ARC40");
}

using TrackData = DecodeTest;

TEST_F(TrackData, DataFromTheSeventhCharacterIntoTheNamedTrack) {
  EXPECT_EQ(Shown(Decode("DT:1", "ADT901;123?"), "TxtDTtr", 1, kText), ";123?");
  EXPECT_EQ(Shown(Decode("dt:3", "Adt903ABC"), "TxtDTtr", 3, kText), "ABC");
  // Six characters or fewer: the whole reply.
  EXPECT_EQ(Shown(Decode("DT:2", "ADT402"), "TxtDTtr", 2, kText), "ADT402");
}

TEST_F(TrackData, DigitsOutsideOneToThreeUpdateNothing) {
  for (const char* command : {"DT:0", "DT:4", "DT:9", "dt:x", "DT: ", "DT:", "DT", "dt:-1"})
    EXPECT_TRUE(Decode(QString::fromLatin1(command), QStringLiteral("ADT901;123?")).empty()) << command;
  for (const char* command : {"WD:0/ABC", "WD:4/ABC", "WD:a/ABC", "WD:", "WD"})
    EXPECT_TRUE(ParameterDisplays(QString::fromLatin1(command)).empty()) << command;
}

TEST_F(TrackData, ParametersShownBeforeTheSend) {
  DisplayUpdates u = ParameterDisplays("WD:2/ABC/12");
  ASSERT_EQ(u.controls.size(), 1u);
  EXPECT_EQ(Shown(u, "txtWd", 2, kText), "ABC/12");
  EXPECT_EQ(Shown(ParameterDisplays("MS:B1C2"), "TxtMDData", -1, kText), "B1C2");
  EXPECT_EQ(Shown(ParameterDisplays("PD:\x1b" "A\x0fxy\x0e\n"), "TxtPDData", -1, kText), "esc$Asi$xyso$lf$");
  EXPECT_TRUE(ParameterDisplays("CT").empty());
  EXPECT_TRUE(ParameterDisplays("ms:B1").empty());
}

using Clock = DecodeTest;

TEST_F(Clock, ClockLine) {
  const DisplayUpdates u = Decode("CK", "ACK9024122500103015");
  ASSERT_EQ(u.controls.size(), 1u);
  EXPECT_EQ(Shown(u, "Label37", -1, kCaption), QString::fromUtf8(" 時計ﾃﾞｰﾀ : 2024/12/25(日)10:30:15"));
  // The reply to a clock setting is decoded the same way.
  EXPECT_EQ(Shown(Decode("CK:24122806235959", "ACK9024122806235959"), "Label37", -1, kCaption),
            QString::fromUtf8(" 時計ﾃﾞｰﾀ : 2024/12/28(土)23:59:59"));
}

TEST_F(Clock, WeekdayDigitsBeyondSaturday) {
  EXPECT_EQ(Shown(Decode("CK", "ACK9024122507103015"), "Label37", -1, kCaption),
            QString::fromUtf8(" 時計ﾃﾞｰﾀ : 2024/12/25(　)10:30:15"));
  EXPECT_EQ(Shown(Decode("CK", "ACK9024122508103015"), "Label37", -1, kCaption),
            QString::fromUtf8(" 時計ﾃﾞｰﾀ : 2024/12/25()10:30:15"));
}

TEST_F(Clock, OtherEndCodesShowNothing) {
  EXPECT_TRUE(Decode("CK", "ACK14").empty());
  EXPECT_TRUE(Decode("CK", "ACK9224122500103015").empty());
}

using ReData = DecodeTest;

TEST_F(ReData, NormalEndStoresTheDataEveryReplyShowsTheStoredValue) {
  DisplayUpdates u = Decode("RE", "ARE90a1b2");
  EXPECT_EQ(u.state.gReText, QStringLiteral("a1b2"));
  EXPECT_EQ(Shown(u, "TxtPWETSend", 2, kText), "a1b2");
  EXPECT_EQ(Shown(u, "TxtPWETSend", 2, kToolTip), "a1b2");
  state.gReText = QStringLiteral("kept");
  u = Decode("RE", "ARE13xx");
  EXPECT_FALSE(u.state.gReText.has_value());
  EXPECT_EQ(Shown(u, "TxtPWETSend", 2, kText), "kept");
  EXPECT_EQ(Shown(u, "TxtPWETSend", 2, kToolTip), "kept");
}

using Dispatch = DecodeTest;

TEST_F(Dispatch, CodesAreCaseSensitiveAndUnknownCodesDecodeNothing) {
  for (const char* command : {"ct", "st", "Vs", "mr", "rc", "Dt", "ck", "re", "th", "PA", "CI", "", "C"})
    EXPECT_TRUE(Decode(QString::fromLatin1(command), QStringLiteral("AXX90123456789012345")).empty()) << command;
  // An empty reply (the channel's closed-port case) never reads past the end.
  for (const char* command : {"CT", "ST", "VS", "MR", "RC", "DT:1", "CK", "RE", "TH", "!!s", "!!l"})
    (void)Decode(QString::fromLatin1(command), QString());
}

}  // namespace
}  // namespace quorel

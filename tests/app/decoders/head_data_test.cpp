// "TH" replies: the stored head fields, "pw$" and the head lines of each
// model family; the console's head-data display for other end codes.
#include <gtest/gtest.h>

#include "decode_fixture.h"

namespace quorel {
namespace {

// Rank 5, head 28, pw 1A 2B, erase rank 3, batch C, erase thermistor 80
// (85 degrees), board 31.
const QString kReply = QStringLiteral("ATH905281A2B3C8031");

class HeadData : public DecodeTest {
 protected:
  QString Lines(const QString& version, const QString& reply = kReply) {
    state.gVersionText = version;
    return Shown(Decode("TH", reply), "LbTH", 1, kCaption);
  }
  static QString Join(std::initializer_list<const char*> lines) {
    QStringList l;
    for (const char* s : lines) l << QString::fromUtf8(s);
    return l.join(QStringLiteral("\r\n"));
  }
};

TEST_F(HeadData, StoresTheFieldsAndShowsData) {
  const DisplayUpdates u = Decode("TH", kReply);
  EXPECT_EQ(u.state.gThTphRank, QStringLiteral("5"));
  EXPECT_EQ(u.state.gThTphTemp, QStringLiteral("28"));
  EXPECT_EQ(u.state.gThPw1, QStringLiteral("1A"));
  EXPECT_EQ(u.state.gThPw2, QStringLiteral("2B"));
  EXPECT_EQ(u.state.gThErRank, QStringLiteral("3"));
  EXPECT_EQ(u.state.gThErLot, QStringLiteral("C"));
  EXPECT_EQ(u.state.gThErTemp, QStringLiteral("85"));
  EXPECT_EQ(u.state.gThBoardTemp, QStringLiteral("31"));
  EXPECT_EQ(Shown(u, "TxtPWETSend", 3, kText), "1A2B");
  EXPECT_EQ(Shown(u, "TxtPWETSend", 3, kToolTip), "<unset>");
  EXPECT_EQ(Shown(u, "LbTH", 0, kCaption), "5281A2B3C8031");
  EXPECT_EQ(Shown(u, "LbTH", 0, kToolTip), "5281A2B3C8031");
}

TEST_F(HeadData, HeadLinesByModelFamily) {
  EXPECT_EQ(Lines("3A-1.00"), Join({" TPHRank: 5(953-1000)ohm", "  THTemp : 28℃", "  ErRank : 3 (IJ )",
                                    "  ErLot  : C", "  ErTemp : 85℃"}));
  EXPECT_EQ(Lines("145-2.0"), Join({" TPHRank: 5(278-291)ohm", "  THTemp : 28℃"}));
  EXPECT_EQ(Lines("51"), Join({" TPHRank: 5(278-291)ohm", "  THTemp : 28℃"}));
  EXPECT_EQ(Lines("14-3.1"), Join({" TPHRank: 5(871-913)ohm", "  THTemp : 28℃"}));
  EXPECT_EQ(Lines("9.01"), Join({" TPHRank: 5(871-913)ohm", "  THTemp : 28℃", "  ErRank : 3 (IJ )",
                                 "  ErLot  : C", "  ErTemp : 85℃"}));
  const QString other = Join({" TPHRank: 5(736-772)ohm", "  THTemp : 28℃", "  ErRank : 3 (IJ )", "  ErLot  : C",
                              "  ErTemp : 85℃", "  kiTemp : 31℃"});
  EXPECT_EQ(Lines("2.10"), other);
  EXPECT_EQ(Lines("4211"), other);
  EXPECT_EQ(Lines(""), other);
}

TEST_F(HeadData, RanksBeyondNineAndCharactersWithoutRange) {
  // Ranks 10..13 come as the device's hex digits.
  EXPECT_TRUE(Lines("3", "ATH90:281A2B3C8031").startsWith(QStringLiteral(" TPHRank: :(1216-1276)ohm\r\n")));
  EXPECT_TRUE(Lines("3", "ATH90D281A2B3C8031").startsWith(QStringLiteral(" TPHRank: D(   -746)ohm\r\n")));
  EXPECT_TRUE(Lines("9", "ATH90?281A2B3C8031").startsWith(QStringLiteral(" TPHRank: ?()ohm\r\n")));
  EXPECT_TRUE(Lines("3", "ATH90x281A2B3C8031").startsWith(QStringLiteral(" TPHRank: x()ohm\r\n")));
  // Erase ranks index the batch table by their decimal value.
  EXPECT_TRUE(Lines("3", "ATH905281A2B6C8031").contains(QStringLiteral("  ErRank : 6 (ABC)\r\n")));
  EXPECT_TRUE(Lines("3", "ATH905281A2B0C8031").contains(QStringLiteral("  ErRank : 0 ()\r\n")));
  EXPECT_TRUE(Lines("3", "ATH905281A2BAC8031").contains(QStringLiteral("  ErRank : A ()\r\n")));
}

TEST_F(HeadData, ShortReplyKeepsTheEraseHeadFields) {
  state.gThErRank = QStringLiteral("4");
  state.gThErLot = QStringLiteral("L");
  state.gThErTemp = QStringLiteral("-2");
  state.gThBoardTemp = QStringLiteral("40");
  const DisplayUpdates u = Decode("TH", "ATH90528");  // 8 characters
  EXPECT_EQ(u.state.gThTphRank, QStringLiteral("5"));
  EXPECT_EQ(u.state.gThPw1, QString());
  EXPECT_FALSE(u.state.gThErRank.has_value());
  EXPECT_FALSE(u.state.gThBoardTemp.has_value());
  EXPECT_EQ(Shown(u, "LbTH", 1, kCaption),
            Join({" TPHRank: 5(736-772)ohm", "  THTemp : 28℃", "  ErRank : 4 (FGH)", "  ErLot  : L",
                  "  ErTemp : -2℃", "  kiTemp : 40℃"}));
  // Ten characters carry the erase head, cut short.
  const DisplayUpdates ten = Decode("TH", "ATH905281A");
  EXPECT_EQ(ten.state.gThErRank, QString());
  EXPECT_EQ(ten.state.gThErTemp, QString());
}

TEST_F(HeadData, ThermistorOutsideTheTableStoresEmpty) {
  EXPECT_EQ(Decode("TH", "ATH905281A2B3C0531").state.gThErTemp, QString());
  EXPECT_EQ(Decode("TH", "ATH905281A2B3CF731").state.gThErTemp, QStringLiteral("0"));
}

TEST_F(HeadData, OtherEndCodesShowTheWholeReplyAndStoreNothing) {
  const DisplayUpdates u = Decode("TH", "ATH13528");
  EXPECT_TRUE(u.state.empty());
  EXPECT_EQ(Shown(u, "LbTH", 0, kCaption), "ATH13528");
  EXPECT_EQ(Shown(u, "LbTH", 0, kToolTip), "ATH13528");
  EXPECT_EQ(Shown(u, "LbTH", 1, kCaption), "<unset>");
}

TEST_F(HeadData, ConsoleDisplayStoresWhateverTheEndCode) {
  state.gVersionText = QStringLiteral("145");
  DisplayUpdates u = HeadDataDisplay("ATH945281A2B", Context());
  EXPECT_EQ(u.state.gThPw2, QStringLiteral("2B"));
  EXPECT_EQ(Shown(u, "LbTH", 0, kCaption), "5281A2B");
  EXPECT_EQ(Shown(u, "LbTH", 1, kCaption), Join({" TPHRank: 5(278-291)ohm", "  THTemp : 28℃"}));
  EXPECT_EQ(Shown(u, "TxtPWETSend", 3, kText), "1A2B");
  u = HeadDataDisplay("ATH1", Context());
  EXPECT_TRUE(u.state.empty());
  EXPECT_EQ(Shown(u, "LbTH", 0, kCaption), "ATH1");
  EXPECT_EQ(Shown(u, "LbTH", 0, kToolTip), "ATH1");
}

TEST_F(HeadData, ApplyWritesOnlyWhatTheReplyCarries) {
  state.gThErLot = QStringLiteral("L");
  state.gReText = QStringLiteral("re");
  ApplyStateChanges(Decode("TH", "ATH90528").state, state);
  EXPECT_EQ(state.gThTphRank, QStringLiteral("5"));
  EXPECT_EQ(state.gThTphTemp, QStringLiteral("28"));
  EXPECT_EQ(state.gThErLot, QStringLiteral("L"));
  EXPECT_EQ(state.gReText, QStringLiteral("re"));
  ApplyStateChanges(Decode("TH", kReply).state, state);
  EXPECT_EQ(state.gThErLot, QStringLiteral("C"));
  EXPECT_EQ(state.gThErTemp, QStringLiteral("85"));
  EXPECT_EQ(state.gThBoardTemp, QStringLiteral("31"));
}

}  // namespace
}  // namespace quorel

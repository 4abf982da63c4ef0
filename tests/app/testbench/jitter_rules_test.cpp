// The jitter test's rules without a window or a device: the fixed positions
// of the "jt:" reply, the track mask, the write pattern and the verdict
// model.
#include <gtest/gtest.h>

#include "testbench/jitter_test.h"

namespace quorel {
namespace {

TEST(JitterRules, ReplyFieldsAtTheirFixedPositions) {
  const JitterData d = ParseJitterReply("Ajt90" "x312yy298zz305ww12.5abc400def150ghiOK");
  EXPECT_EQ(d[0], "");
  EXPECT_EQ(d[1], "312");
  EXPECT_EQ(d[2], "298");
  EXPECT_EQ(d[3], "305");
  EXPECT_EQ(d[4], "12.5");
  EXPECT_EQ(d[5], "400");
  EXPECT_EQ(d[6], "150");
  EXPECT_EQ(d[7], "OK");
}

TEST(JitterRules, AnythingButAjt90GivesPlaceholdersAndNg) {
  for (const char* r : {"Ajt92 312  298  305  12.5   400   150   OK", "", "Ejt90", "ACK90"}) {
    const JitterData d = ParseJitterReply(r);
    EXPECT_EQ(d[1], "--");
    EXPECT_EQ(d[3], "--");
    EXPECT_EQ(d[4], "--.-");
    EXPECT_EQ(d[5], "---");
    EXPECT_EQ(d[6], "---");
    EXPECT_EQ(d[7], "NG");
  }
}

TEST(JitterRules, TrackMaskModeAndPattern) {
  EXPECT_EQ(JitterTrackDigit({true, false, false}), "1");
  EXPECT_EQ(JitterTrackDigit({false, true, false}), "2");
  EXPECT_EQ(JitterTrackDigit({true, false, true}), "5");
  EXPECT_EQ(JitterTrackDigit({true, true, true}), "7");
  EXPECT_EQ(JitterModeCommand("2"), "MS:R0W0D7H2C2Z1");
  const QString wd = JitterWriteCommand(3);
  EXPECT_EQ(wd.size(), 5 + 138);
  EXPECT_EQ(wd, "WD:3/" + QString(138, '0'));
}

TEST(JitterRules, OnlyTickedTracksCountAndAMissingVerdictIsNg) {
  JitterResults r;
  r.Reset({false, true, false});
  EXPECT_FALSE(r.AllOk());
  r.Set(2, false, true);
  EXPECT_FALSE(r.AllOk());
  r.Set(2, true, true);
  EXPECT_TRUE(r.AllOk());
  r.Set(1, true, false);  // an unticked track never counts
  EXPECT_TRUE(r.AllOk());
  r.Reset({true, true, true});
  for (int k = 1; k <= 3; ++k)
    for (bool e : {false, true}) r.Set(k, e, true);
  r.Set(3, true, false);
  EXPECT_FALSE(r.AllOk());
}

}  // namespace
}  // namespace quorel

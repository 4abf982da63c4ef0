// The simulated device's magnetic tracks (per-track results for "RC",
// injected faults) and its print buffer, as plain classes.
#include <gtest/gtest.h>

#include "magnetic_tracks.h"
#include "print_buffer.h"

namespace sim {
namespace {

std::string Rc(const MagneticTracks& m) { return m.ReadCheck().data; }

TEST(MagneticTracks, ReadCheckReportsEachTrackOfTheLastOperation) {
  MagneticTracks m;
  EXPECT_EQ(Rc(m), "00000000");
  m.SetCardTrack(2, "");
  EXPECT_EQ(m.Read().status, "90");
  EXPECT_EQ(Rc(m), "90929090");  // track 2 blank
  EXPECT_EQ(m.Write(true).status, "46");  // nothing to write
  ASSERT_EQ(m.SetTrack(":1/ABC").status, "90");
  ASSERT_EQ(m.SetTrack(":3/").status, "90");
  EXPECT_EQ(m.Write(true).status, "90");
  EXPECT_EQ(Rc(m), "90009090");  // track 2 took no part
  EXPECT_EQ(m.CardTrack(1), "ABC");
  EXPECT_EQ(m.CardTrack(3), "");
  EXPECT_EQ(m.Verify().status, "90");
  EXPECT_EQ(m.Read().status, "90");
  EXPECT_EQ(m.TrackData(":1").data, "1ABC");
  EXPECT_EQ(m.TrackData(":3").status, "45");
  EXPECT_EQ(Rc(m), "90929290");
}

TEST(MagneticTracks, InjectedFaultsHitOnlyTheirTrackAndCount) {
  MagneticTracks m;
  for (const char* p : {":1/AAA", ":2/BBB", ":3/CCC"}) ASSERT_EQ(m.SetTrack(p).status, "90");
  m.Fault(2, MagFault::Verify).left = 1;
  EXPECT_EQ(m.Write(true).status, "90");
  EXPECT_EQ(m.Verify().status, "44");
  EXPECT_EQ(Rc(m), "90449044");
  EXPECT_EQ(m.Verify().status, "90");  // used up

  m.Fault(3, MagFault::Write).left = 1;
  EXPECT_EQ(m.Write(true).status, "44");
  EXPECT_EQ(Rc(m), "90904444");
  EXPECT_NE(m.CardTrack(3), "CCC");  // spoiled on the card: a later verify fails too
  EXPECT_EQ(m.Verify().status, "44");
  EXPECT_EQ(m.Write(false).status, "90");  // rewritten

  m.Fault(1, MagFault::Read).left = kAlways;
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(m.Read().status, "41");
    EXPECT_EQ(Rc(m), "41909041");
    EXPECT_EQ(m.TrackData(":1").status, "45");
  }
  m.LoseRam();
  EXPECT_EQ(Rc(m), "00000000");
}

TEST(PrintBuffer, KeepsTheLoadedDataAndTurnsItIntoACardOnPrint) {
  PrintBuffer b;
  b.Record("MS", ":K0", "90");
  b.Record("PC", "", "90");
  EXPECT_TRUE(b.loaded().empty());
  b.Record("MS", ":K0N0", "90");
  b.Record("GJ", ":F00", "14");  // refused: not held
  b.Record("GJ", ":F01", "90");
  b.Record("PD", ":0/0/0/A", "90");
  b.Record("VS", "", "90");
  EXPECT_EQ(b.loaded(), (std::vector<std::string>{"MS:K0N0", "GJ:F01", "PD:0/0/0/A"}));
  b.Record("PP", "=>", "90");
  ASSERT_EQ(b.cards().size(), 1u);
  EXPECT_EQ(b.cards()[0], (std::vector<std::string>{"MS:K0N0", "GJ:F01", "PD:0/0/0/A", "PP=>"}));
  EXPECT_TRUE(b.loaded().empty());
  b.Record("PR", "", "50");
  EXPECT_EQ(b.cards().size(), 1u);
  b.Reset();
  EXPECT_TRUE(b.cards().empty());
}

}  // namespace
}  // namespace sim

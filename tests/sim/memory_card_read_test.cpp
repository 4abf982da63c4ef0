// The standard device's memory dump ("md") and its card-read profile ("CI"
// passes with track data and injected statuses, "!!m", "CO3", "COF"): the
// dump line's text byte for byte, the read position, the wrap, the armed
// failure, and the reply of every pass on the wire.
#include <gtest/gtest.h>

#include <string>

#include "card_read_profile.h"
#include "memory_model.h"
#include "sim_fixture.h"
#include "wire/codec.h"

namespace simtest {
namespace {

using Device = StandardDeviceTest;

TEST(MemoryModel, ALineIsAddressSixteenBytesAndTheirCharacters) {
  sim::MemoryModel mem;
  mem.Fill(0x660000, 16, 0);
  EXPECT_EQ(mem.Line(0x660000), "660000: 00 00 00 00 00 00 00 00-00 00 00 00 00 00 00 00     ................");
  mem.Set(0x00AB12, {0x41, 0x7E, 0x7F, 0x20, 0x1F, 0x80, 0xFF, 0x30, 0x31, 0x32, 0x33, 0x34, 0x35, 0x36, 0x37, 0x38});
  EXPECT_EQ(mem.Line(0x00AB12), "00AB12: 41 7E 7F 20 1F 80 FF 30-31 32 33 34 35 36 37 38     A~. ...012345678");
  // The first 55 characters are what the RAM clear compares.
  EXPECT_EQ(mem.Line(0x660000).size(), 55u + 5u + 16u);
  // Untouched memory is never a line of zeros; defaults come back on request.
  for (uint32_t a : {0x000000u, 0x660000u, 0xFF8800u, 0xFFFFF0u}) {
    sim::MemoryModel fresh;
    EXPECT_NE(fresh.Line(a).substr(8, 47), "00 00 00 00 00 00 00 00-00 00 00 00 00 00 00 00") << a;
  }
  mem.RestoreDefaults();
  EXPECT_EQ(mem.Byte(0x660000), sim::MemoryModel::DefaultByte(0x660000));
}

TEST_F(Device, DumpReadsLineAfterLineFromTheGivenAddress) {
  sim::MemoryModel mem;  // the same defaults the device holds
  EXPECT_EQ(Ask("md", ":FF8800"), "Amd90 " + mem.Line(0xFF8800));
  EXPECT_EQ(Ask("md"), "Amd90 " + mem.Line(0xFF8810));
  EXPECT_EQ(Ask("md"), "Amd90 " + mem.Line(0xFF8820));
  // Lower case is an address too; the read position follows it.
  EXPECT_EQ(Ask("md", ":fffff0"), "Amd90 " + mem.Line(0xFFFFF0));
  EXPECT_EQ(Ask("md"), "Amd90 " + mem.Line(0x000000));  // wraps
  ExpectTag(sim::Dir::Host, "CMD md", 5);
}

TEST_F(Device, DumpRefusesAnAddressThatIsNotSixHexDigits) {
  for (const char* bad : {":FF88", ":FF88000", ":GG8800", "FF8800", "x"}) EXPECT_EQ(Ask("md", bad), "Amd14") << bad;
  // A power-up report comes first, as for every other command.
  Ctl("state 2");
  EXPECT_EQ(Ask("md", ":FF8800"), "Amd10");
}

TEST_F(Device, ControlLinesSetTheBytesAndArmAFailure) {
  Ctl("memory fill 660000 16 00");
  Ctl("memory set 660004 41 42");
  EXPECT_EQ(Ask("md", ":660000"), "Amd90 660000: 00 00 00 00 41 42 00 00-00 00 00 00 00 00 00 00     ....AB..........");
  Ctl("memory fail 41 1");
  EXPECT_EQ(Ask("md"), "Amd90 " + sim::MemoryModel().Line(0x660010));
  EXPECT_EQ(Ask("md"), "Amd41");
  // Once only; the failed line is read by the next "md".
  EXPECT_EQ(Ask("md"), "Amd90 " + sim::MemoryModel().Line(0x660020));
  Ctl("memory default");
  EXPECT_EQ(Ask("md", ":660000"), "Amd90 " + sim::MemoryModel().Line(0x660000));
  for (const char* bad : {"memory", "memory set 660000", "memory set 1234567 00", "memory fill 0 x 00", "memory fail 4",
                          "memory fail 41 x", "cardread", "cardread status 0 41", "cardread status 1 4"})
    EXPECT_NE(dev_.Control(bad), "") << bad;
}

TEST_F(Device, RamClearCountsItsBusyRepliesAndLeavesAStuckByte) {
  Ctl("memory fill 660000 16 11");
  Ctl("ramclear polls 3");
  Ctl("ramclear stuck 66000F 5A");
  EXPECT_EQ(Ask("!!", "\\$."), "A!!90");
  ExpectTag(sim::Dir::Device, "REPLY B !! 00", 3);
  EXPECT_EQ(Ask("md", ":660000"), "Amd90 660000: 00 00 00 00 00 00 00 00-00 00 00 00 00 00 00 5A     ...............Z");
  // "stuck off" lets the erase reach every byte again.
  Ctl("ramclear stuck off");
  EXPECT_EQ(Ask("!!", "\\$."), "A!!90");
  EXPECT_EQ(Ask("md", ":660000"), "Amd90 660000: 00 00 00 00 00 00 00 00-00 00 00 00 00 00 00 00     ................");
  for (const char* bad : {"ramclear", "ramclear polls 0", "ramclear polls x", "ramclear stuck 66000F",
                          "ramclear stuck 66000F 5", "ramclear stuck 1234567 00", "ramclear stuck on"})
    EXPECT_NE(dev_.Control(bad), "") << bad;
}

TEST_F(Device, CardReadPassesCarryTrackDataOrTheirInjectedStatus) {
  const std::string track = sim::CardReadProfile::kDefaultTrackData;
  // Off: the plain card-in answer.
  Ctl("card front");
  EXPECT_EQ(Ask("CI"), "ACI90");
  EXPECT_EQ(Ask("CO", "3"), "ACO90");
  Ctl("cardread on");
  Ctl("cardread status 2 41");
  Ctl("cardread status 3 31");
  EXPECT_EQ(Ask("CI"), "ACI90" + track);  // pass 1: the card at the exit comes back in
  EXPECT_EQ(Ask("CO", "3"), "ACO90");
  EXPECT_EQ(Ask("CI"), "ACI41");  // pass 2: a read error, the card is in
  EXPECT_EQ(Ask("CO", "3"), "ACO90");
  EXPECT_EQ(Ask("CI"), "ACI31");  // pass 3: a jam
  EXPECT_EQ(Ask("CO", "F"), "ACO90");
  Ctl("cardread data 0123456789");
  EXPECT_EQ(Ask("CI"), "ACI900123456789");
  // A card-in that fails of itself is not a pass.
  EXPECT_EQ(Ask("CI", "X"), "ACI14");
  Ctl("cardread clear");
  EXPECT_EQ(Ask("CO", "3"), "ACO90");
  EXPECT_EQ(Ask("CI"), "ACI900123456789");
}

TEST_F(Device, MarginModeTakesOneDigitZeroToTwo) {
  for (const char* good : {"m1", "m2", "m0"}) EXPECT_EQ(Ask("!!", good), "A!!90") << good;
  for (const char* bad : {"m", "m3", "m12"}) EXPECT_EQ(Ask("!!", bad), "A!!14") << bad;
}

}  // namespace
}  // namespace simtest

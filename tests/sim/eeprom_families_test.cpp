// The standard device's EEPROM: one word store per family behind "eer:" and
// "eew:" on the wire, the factory images, the model knob choosing the store,
// the control lines that set, dump and fail words, "!!h" and a chosen "!!"
// end code.
#include <gtest/gtest.h>

#include <string>

#include "eeprom_images.h"
#include "sim_fixture.h"
#include "wire/codec.h"

namespace simtest {
namespace {

class EepromDevice : public StandardDeviceTest {
 protected:
  // The transcript note of the last "eeprom dump".
  std::string LastDump() {
    std::string last;
    for (const sim::TranscriptEntry& e : dev_.Transcript())
      if (e.dir == sim::Dir::Control && e.tag.compare(0, 12, "note eeprom ") == 0)
        last = e.tag.substr(5);
    return last;
  }
};

TEST_F(EepromDevice, EachFamilyAnswersFromItsOwnFactoryImage) {
  // Mivor: 16 rows; the memory switches all off, the message "Vantor".
  EXPECT_EQ("Aee90FF00", Ask("ee", "r:2F/01"));
  EXPECT_EQ(
      "Aee90"
      "0056"
      "0061"
      "006E"
      "0074"
      "006F"
      "0072" +
          std::string(40, 'F'),
      Ask("ee", "r:90/10"));
  EXPECT_EQ("Aee90" + std::string(64, 'F'), Ask("ee", "r:F0/10"));
  // Dastel: 4 rows, settings bytes in words 08, 20 and 22.
  Ctl("model dastel");
  EXPECT_EQ("AVS903D10 V2.10", Ask("VS"));
  EXPECT_EQ("Aee90FF34", Ask("ee", "r:08/01"));
  EXPECT_EQ("Aee903532FFFF3135", Ask("ee", "r:20/03"));
  EXPECT_EQ("Aee90" + std::string(64, 'F'), Ask("ee", "r:30/10"));
  EXPECT_EQ("Aee14", Ask("ee", "r:40/10"));  // beyond its 64 words
  EXPECT_EQ("Aee14", Ask("ee", "r:38/10"));
  Ctl("model quenby");
  EXPECT_EQ("Aee903633FFFF3234", Ask("ee", "r:20/03"));
  Ctl("model folsk");
  EXPECT_EQ("Aee90FFFF", Ask("ee", "r:08/01"));
  EXPECT_EQ("Aee9037FFFFFFFFFF", Ask("ee", "r:20/03"));
  // The two-word counters, high word first: pass count 0x100.
  EXPECT_EQ("Aee9000000100", Ask("ee", "r:1E/02"));
}

TEST_F(EepromDevice, EachStoreKeepsItsWritesWhileAnotherFamilyIsChosen) {
  EXPECT_EQ("Aee90", Ask("ee", "w:20/01/4133"));
  Ctl("model dastel");
  EXPECT_EQ("Aee90", Ask("ee", "w:20/01/6132"));
  EXPECT_EQ("Aee906132", Ask("ee", "r:20/01"));
  Ctl("model mivor");
  EXPECT_EQ("Aee904133", Ask("ee", "r:20/01"));
  Ctl("model holdt");  // a Quenby-type unit
  EXPECT_EQ("Aee903633", Ask("ee", "r:20/01"));
  Ctl("eeprom reset");
  Ctl("eeprom family dastel");
  EXPECT_EQ("Aee903532", Ask("ee", "r:20/01"));
}

TEST_F(EepromDevice, MalformedWordCommandsAnswerFourteenAndWriteNothing) {
  for (const char* bad : {"r:2F", "r:2F/00", "r:2G/01", "r:2F/01/", "w:2F/01/FF", "w:2F/01/GGGG",
                          "w:2F/02/00FF", "x:2F/01", "w:2F/01-00FF"})
    EXPECT_EQ("Aee14", Ask("ee", bad)) << bad;
  EXPECT_EQ("Aee90FF00", Ask("ee", "r:2f/01"));  // either case
}

TEST_F(EepromDevice, ControlLinesSetDumpAndFailWords) {
  Ctl("eeprom set 20 4132 3135");
  EXPECT_EQ("Aee9041323135", Ask("ee", "r:20/02"));
  Ctl("eeprom dump 1E 02");
  EXPECT_EQ("eeprom mivor 1E/02 00000100", LastDump());
  Ctl("model dastel");
  Ctl("eeprom dump");
  EXPECT_EQ(std::string("eeprom dastel 00/40 ").size() + 64 * 4, LastDump().size());
  EXPECT_EQ("eeprom dastel 00/40 0000", LastDump().substr(0, 24));

  Ctl("eeprom fail 22 41");
  EXPECT_EQ("Aee41", Ask("ee", "r:20/10"));  // covers word 22
  EXPECT_EQ("Aee41", Ask("ee", "w:22/01/3137"));
  EXPECT_EQ("Aee903532", Ask("ee", "r:20/01"));  // does not cover it
  Ctl("eeprom fail off");
  EXPECT_EQ("Aee903135", Ask("ee", "r:22/01"));  // the failed write wrote nothing

  EXPECT_NE("", dev_.Control("eeprom set 3F 0000 0000"));  // past word 3F
  EXPECT_NE("", dev_.Control("eeprom set 20 123"));
  EXPECT_NE("", dev_.Control("eeprom family yarsel"));
  EXPECT_NE("", dev_.Control("eeprom fail 2G 41"));
}

TEST_F(EepromDevice, HeadLiftTakesPositionsZeroToTwoAndAChosenStatusWins) {
  EXPECT_EQ("A!!90", Ask("!!", "h1"));
  EXPECT_EQ("A!!90", Ask("!!", "h2"));
  EXPECT_EQ("A!!14", Ask("!!", "h3"));
  Ctl("maint h 19");
  Ctl("maint h1 55");
  EXPECT_EQ("A!!55", Ask("!!", "h1"));  // the longest prefix
  EXPECT_EQ("A!!19", Ask("!!", "h0"));
  Ctl("maint h1 off");
  EXPECT_EQ("A!!19", Ask("!!", "h1"));
  Ctl("maint off");
  EXPECT_EQ("A!!90", Ask("!!", "h0"));
  Ctl("maint e 60");
  EXPECT_EQ("A!!60", Ask("!!", "e"));
  Ctl("reset");
  EXPECT_EQ("A!!90", Ask("!!", "e"));
}

TEST_F(EepromDevice, RestartAnswersRssLikeRsWithASilenceFirst) {
  // Deaf far longer than the silence looked for, however late a busy machine looks.
  Ctl("restart 2000");
  const uint64_t start = NowMs();
  Exchange(Command("RS", "S"), "06");
  Send(kPoll);
  ExpectSilence(100);
  Bytes got;
  while (got.empty() && NowMs() - start < 30000) {
    Send(kPoll);
    got = ReadQuiet(40, 400);
  }
  EXPECT_GE(NowMs() - start, 2000u);
  EXPECT_EQ(1, dev_.CountTag(sim::Dir::Host, "CMD RS S"));
  // The EEPROM outlives the restart.
  EXPECT_EQ("APA90", Ask("PA"));
  EXPECT_EQ("Aee90FF00", Ask("ee", "r:2F/01"));
}

TEST(EepromImages, WordCountsAndModelNames) {
  EXPECT_EQ(256u, sim::DefaultEepromImage(sim::EepromFamily::Mivor).size());
  for (sim::EepromFamily f :
       {sim::EepromFamily::Dastel, sim::EepromFamily::Quenby, sim::EepromFamily::Folsk})
    EXPECT_EQ(64u, sim::DefaultEepromImage(f).size());
  sim::EepromFamily f;
  ASSERT_TRUE(sim::EepromFamilyOfModel("yarsel", &f));
  EXPECT_EQ(sim::EepromFamily::Folsk, f);
  ASSERT_TRUE(sim::EepromFamilyOfModel("other", &f));
  EXPECT_EQ(sim::EepromFamily::Mivor, f);
  EXPECT_FALSE(sim::EepromFamilyOfModel("Mivor", &f));
}

}  // namespace
}  // namespace simtest

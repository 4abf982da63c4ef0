// The Mivor unit whose settings and counters come from its EEPROM
// ("mivor settings from-eeprom"): the factory answers, "!!r:" feeding "TH"
// and "!!r?", the pass count on EEPROM words 1E/1F, the error-count resets,
// and the plain answers staying as they were without the switch.
#include <gtest/gtest.h>

#include <string>

#include "sim_fixture.h"
#include "wire/codec.h"

namespace simtest {
namespace {

class MivorEepromUnit : public SimTest {
 protected:
  void SetUp() override {
    SimTest::SetUp();
    Ctl("device standard");
  }

  std::string Ask(const std::string& code, const std::string& data = "") {
    Exchange(Command(code, data), "06");
    Send("04 05");
    return ReadReply();
  }
};

TEST_F(MivorEepromUnit, FactoryAnswersAndStoredRank) {
  const std::string plainTh = Ask("TH");
  Ctl("mivor settings from-eeprom");
  EXPECT_EQ("A!!90<3", Ask("!!", "r?"));
  EXPECT_EQ("ATH90<" + plainTh.substr(6), Ask("TH"));
  EXPECT_EQ("A!!90A8C4379B42FF80B4", Ask("!!", "s"));
  EXPECT_EQ("ACT90000186A0", Ask("CT", ":a"));
  EXPECT_EQ("ACT90000186A0", Ask("CT"));

  EXPECT_EQ("A!!90;3", Ask("!!", "r:;"));
  EXPECT_EQ("A!!90:2", Ask("!!", "r::2"));
  EXPECT_EQ("A!!90:2", Ask("!!", "r?"));
  EXPECT_EQ("ATH90:", Ask("TH").substr(0, 6));
  Ctl("mivor rank e");
  EXPECT_EQ("A!!90e2", Ask("!!", "r?"));
  EXPECT_EQ("ATH90e", Ask("TH").substr(0, 6));

  // Off again: the fixed answers.
  Ctl("mivor settings plain");
  EXPECT_EQ("A!!90A8C4379B42FF", Ask("!!", "s"));
  EXPECT_NE("", dev_.Control("mivor rank"));
}

TEST_F(MivorEepromUnit, CounterWordsAndResets) {
  Ctl("mivor settings from-eeprom");
  EXPECT_EQ("Aee90", Ask("ee", "w:1E/02/0000012C"));
  EXPECT_EQ("ACT900000012C", Ask("CT", ":a"));
  EXPECT_EQ("ACT9000000040", Ask("CT", ":b"));

  Ctl("counter m 5");
  Ask("ee", "w:0F/01/0007");
  EXPECT_EQ("ACT9000000005", Ask("CT", ":m"));
  EXPECT_EQ("A!!90", Ask("!!", "e"));
  EXPECT_EQ("ACT9000000000", Ask("CT", ":m"));
  EXPECT_EQ("Aee900000", Ask("ee", "r:0F/01"));
  EXPECT_EQ("ACT900000012C", Ask("CT", ":a"));
  EXPECT_EQ("A!!90", Ask("!!", "c"));
  EXPECT_EQ("ACT9000000000", Ask("CT", ":a"));

  // "reset" brings the factory values back while the switch stays on.
  Ctl("reset");
  EXPECT_EQ("ACT90000186A0", Ask("CT", ":a"));
}

}  // namespace
}  // namespace simtest

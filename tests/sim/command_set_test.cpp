// The standard device: its common command set on the wire (ACK, polls,
// reply bytes), the card waits, the restart silence of "RS", the power-up
// and unknown-code end codes, and the channel faults "still", "otherbusy",
// "nopoll" and "slow".
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "sim_fixture.h"
#include "wire/codec.h"

namespace simtest {
namespace {

using sim::Dir;

using StandardDevice = StandardDeviceTest;

TEST_F(StandardDevice, VersionReplyBytesAndIdleAnswer) {
  Exchange(Command("VS", ""), "06");
  Exchange(kPoll, "02 41 56 53 39 30 4D 69 76 6F 72 20 56 31 2E 32 30 03 6A");
  Exchange(kPoll, "02 52 30 30 30 30 03 51");  // ready, no card
  EXPECT_EQ("AVS90Mivor V1.20 BOOT V1.00", Ask("VS", "?"));
  EXPECT_EQ("AVS14", Ask("VS", "X"));
}

TEST_F(StandardDevice, ModelFamiliesCarryTheirVersionPrefixes) {
  const struct {
    const char* model;
    const char* prefix;
  } families[] = {{"mivor", "Mivor"}, {"dastel", "3"}, {"quenby", "9"}, {"holdt", "9"},
                  {"folsk", "51"},    {"yarsel", "14"}, {"other", "7"}};
  for (const auto& f : families) {
    Ctl(std::string("model ") + f.model);
    const std::string r = Ask("VS");
    EXPECT_EQ(0, r.compare(0, 5 + std::char_traits<char>::length(f.prefix),
                           std::string("AVS90") + f.prefix))
        << f.model << ": " << r;
  }
  Ctl("version \"4211 V2.00\"");
  EXPECT_EQ("AVS904211 V2.00", Ask("VS"));
  EXPECT_NE("", dev_.Control("model nosuch"));
  // A reset keeps the unit that is plugged in.
  Ctl("reset");
  EXPECT_EQ("AVS904211 V2.00", Ask("VS"));
}

TEST_F(StandardDevice, InformationCommands) {
  EXPECT_EQ("AST9000000000", Ask("ST"));
  EXPECT_EQ("AMR90B0F1K0N0X0Y3", Ask("MR"));
  EXPECT_EQ("ACT9000000100", Ask("CT"));
  EXPECT_EQ("ACT9000000100", Ask("CT", ":a"));
  EXPECT_EQ("ACT9000000080", Ask("CT", ":2"));
  EXPECT_EQ("ACT9000000001", Ask("CT", ":B"));
  EXPECT_EQ("ACT14", Ask("CT", ":g"));
  EXPECT_EQ("ACT14", Ask("CT", "a"));
  EXPECT_EQ("ATH905251214328A31", Ask("TH"));
  EXPECT_EQ("APW90", Ask("PW", ":12"));
  EXPECT_EQ("ATH905250012328A31", Ask("TH"));
  EXPECT_EQ("APW900012", Ask("PW"));
  EXPECT_EQ("APW14", Ask("PW", ":XYZ"));
  EXPECT_EQ("ARE900000", Ask("RE"));
  EXPECT_EQ("AET90", Ask("ET", ":3344"));
  EXPECT_EQ("ARE903344", Ask("RE"));
  EXPECT_EQ("A!!90A8C4379B42FF", Ask("!!", "s"));
  EXPECT_EQ("A!!90A8C4379B42FF", Ask("!!", "l"));
  EXPECT_EQ("A!!9080808080", Ask("!!", "|"));
  EXPECT_EQ("A!!9000", Ask("!!", "r?"));
  EXPECT_EQ("A!!90", Ask("!!", "r:05"));
  EXPECT_EQ("A!!9005", Ask("!!", "r?"));
  EXPECT_EQ("A!!14", Ask("!!"));
  Ctl("counter m 1F");
  EXPECT_EQ("ACT900000001F", Ask("CT", ":m"));
  EXPECT_EQ("A!!90", Ask("!!", "e"));  // error counts only
  EXPECT_EQ("ACT9000000000", Ask("CT", ":m"));
  EXPECT_EQ("ACT9000000100", Ask("CT", ":a"));
  EXPECT_EQ("A!!90", Ask("!!", "c"));  // and the pass count
  EXPECT_EQ("ACT9000000000", Ask("CT", ":a"));
  EXPECT_EQ("AZZ11", Ask("ZZ"));  // a code the device does not know
  Exchange(Command("ZZ", ""), "06");
  Exchange(kPoll, "02 41 5A 5A 31 31 03 42");
}

TEST_F(StandardDevice, ModeMapOfMsAndMr) {
  EXPECT_EQ("AMS90", Ask("MS", ":B5K1"));
  EXPECT_EQ("AMR90B5F1K1N0X0Y3", Ask("MR"));
  EXPECT_EQ("AMS90", Ask("MS", ": K0N0X0F3Y7T0"));  // a blank before the pairs
  EXPECT_EQ("AMS90", Ask("MS", ":d1"));
  EXPECT_EQ("AMR90B5F3K0N0T0X0Y7d1", Ask("MR"));
  EXPECT_EQ("AMS14", Ask("MS", ":K"));
  EXPECT_EQ("AMS14", Ask("MS", "B5"));
  EXPECT_EQ("AMR90B5F3K0N0T0X0Y7d1", Ask("MR"));  // a refused MS changes nothing
}

TEST_F(StandardDevice, ClockKeepsWhatCkSetsWithItsWeekday) {
  EXPECT_EQ("ACK90", Ask("CK", ":24122500103015").substr(0, 5));
  const std::string r = Ask("CK");
  ASSERT_EQ(19u, r.size()) << r;
  EXPECT_EQ("ACK90241225001030", r.substr(0, 17));
  EXPECT_TRUE(r.substr(17) == "15" || r.substr(17) == "16") << r;
  EXPECT_EQ("ACK14", Ask("CK", ":24023000103015"));  // 30 February
  EXPECT_EQ("ACK14", Ask("CK", ":24122507103015"));  // weekday 7
  Ctl("clock 991231120000");
  EXPECT_EQ("ACK909912310", Ask("CK").substr(0, 12));
  EXPECT_NE("", dev_.Control("clock 991331000000"));
}

TEST_F(StandardDevice, CardInWaitsForTheOperatorsCard) {
  Ctl("cardwait manual");
  EXPECT_EQ("ACO25", Ask("CO"));
  Exchange(Command("CI", ""), "06");
  EXPECT_EQ("BCI00", Poll());
  EXPECT_EQ("BCI00", Poll());
  Ctl("card insert");
  EXPECT_EQ("ACI90", Poll());
  EXPECT_EQ("R0200", Poll());  // the card in the middle
  EXPECT_EQ("AST9001000000", Ask("ST"));
  EXPECT_EQ("ACT9000000101", Ask("CT"));  // one pass more
  EXPECT_NE("", dev_.Control("card remove"));
  Exchange(Command("CO", ""), "06");
  EXPECT_EQ("BCO00", Poll());
  EXPECT_EQ("ACO90", Poll());
  EXPECT_EQ("R0400", Poll());  // waiting to be taken
  // Put out and taken in again without the operator.
  EXPECT_EQ("ACI90", Ask("CI", "*"));
  EXPECT_EQ("R0300", Poll());
  EXPECT_EQ("ACO90", Ask("CO", "F"));
  Ctl("card remove");
  EXPECT_EQ("R0000", Poll());
}

TEST_F(StandardDevice, CardArrivesByItselfAfterTheCardWait) {
  Ctl("cardwait 150");
  const uint64_t start = NowMs();
  Exchange(Command("CI", ""), "06");
  std::string r = Poll();
  while (r == "BCI00" && NowMs() - start < 30000) r = Poll();
  EXPECT_EQ("ACI90", r);
  EXPECT_GE(NowMs() - start, 150u);
}

TEST_F(StandardDevice, ANewCommandEndsTheCardWait) {
  Ctl("cardwait manual");
  Exchange(Command("CI", ""), "06");
  EXPECT_EQ("BCI00", Poll());
  EXPECT_EQ("ACL90", Ask("CL"));
  Ctl("card insert");  // nobody waits: the card stays at the slot
  EXPECT_EQ("R0100", Poll());
}

TEST_F(StandardDevice, CardMovesNeedACard) {
  EXPECT_EQ("ABP25", Ask("BP"));
  EXPECT_EQ("AFE90", Ask("FE"));  // from the feeder
  EXPECT_EQ("AFE20", Ask("FE"));
  EXPECT_EQ("ARP90", Ask("RP"));
  EXPECT_EQ("R0300", Poll());
  EXPECT_EQ("AFP90", Ask("FP"));
  EXPECT_EQ("R0100", Poll());
  EXPECT_EQ("ABI90", Ask("BI"));
  EXPECT_EQ("R0200", Poll());
  EXPECT_EQ("AHC20", Ask("HC"));  // no room for the cleaning card
  EXPECT_EQ("ABO90", Ask("BO"));  // out at the back
  EXPECT_EQ("R0000", Poll());
  Ctl("card insert");
  EXPECT_EQ("AHC90", Ask("HC"));  // cleaned, and put out again
  EXPECT_EQ("R0400", Poll());
}

TEST_F(StandardDevice, MagneticTracksReadWriteAndVerify) {
  EXPECT_EQ("ARD25", Ask("RD"));
  Ctl("track 2 blank");
  Ctl("card insert");
  EXPECT_EQ("ACI90", Ask("CI"));
  EXPECT_EQ("ADT451", Ask("DT", ":1"));  // nothing read yet
  EXPECT_EQ("ARC9000000000", Ask("RC"));
  EXPECT_EQ("ARD90", Ask("RD"));
  EXPECT_EQ("ADT901VANTOR TEST CARD TRACK ONE", Ask("DT", ":1"));
  EXPECT_EQ("ADT452", Ask("DT", ":2"));
  EXPECT_EQ("Adt9030123456789012345678901234567890123", Ask("dt", ":3"));
  EXPECT_EQ("ARC9090929090", Ask("RC"));  // track 2 read blank
  EXPECT_EQ("ADT14", Ask("DT", ":4"));
  EXPECT_EQ("AWR46", Ask("WR"));  // no write data
  EXPECT_EQ("AWD90", Ask("WD", ":2/ABC"));
  EXPECT_EQ("AVR44", Ask("VR"));
  EXPECT_EQ("AWR90", Ask("WR"));
  EXPECT_EQ("AVR90", Ask("VR"));
  EXPECT_EQ("ARD90", Ask("RD"));
  EXPECT_EQ("ADT902ABC", Ask("DT", ":2"));
  EXPECT_EQ("AWD14", Ask("WD", ":0/ABC"));
  EXPECT_EQ("AWD14", Ask("WD", ":1ABC"));
  Ctl("track 1 blank");
  Ctl("track 2 blank");
  Ctl("track 3 blank");
  EXPECT_EQ("ARD45", Ask("RD"));
}

TEST_F(StandardDevice, PrintDataAndPrinting) {
  Ctl("card insert");
  EXPECT_EQ("ACI90", Ask("CI"));
  EXPECT_EQ("APR50", Ask("PR"));  // no print data
  EXPECT_EQ("APC90", Ask("PC"));
  EXPECT_EQ("AAS90", Ask("AS", ":320/600"));
  EXPECT_EQ("AAS14", Ask("AS", ":320"));
  EXPECT_EQ("AGJ90", Ask("GJ", ":F" + std::string(144, 'F')));
  EXPECT_EQ("AGJ14", Ask("GJ", ":F" + std::string(143, 'F')));
  EXPECT_EQ("APD90", Ask("PD", ":0/0/24/\x1b" "e222012"));
  EXPECT_EQ("APD90", Ask("PD", ":1/072/27/\x83\x65\x83\x58\x83\x67"));  // CP932 text
  EXPECT_EQ("APD14", Ask("PD", ":0/4/"));
  Exchange(Command("PR", "=5"), "06");
  EXPECT_EQ("BPR00", Poll());
  EXPECT_EQ("BPR00", Poll());
  EXPECT_EQ("APR90", Poll());
  EXPECT_EQ("APP50", Ask("PP"));  // printing used the data up
  EXPECT_EQ("APR14", Ask("PR", "=@"));
  EXPECT_EQ("AEP90", Ask("EP"));
  EXPECT_EQ("APD90", Ask("PD", ":0/4/0/*"));
  EXPECT_EQ("APO90", Ask("PO"));
  EXPECT_EQ("R0400", Poll());
  EXPECT_EQ("APO25", Ask("PO"));
}

TEST_F(StandardDevice, PrintedCardsAreWrittenAsFiles) {
  TempDir out;
  Ctl("cards " + out.path());
  Ctl("card insert");
  EXPECT_EQ("ACI90", Ask("CI"));
  EXPECT_EQ("APC90", Ask("PC"));
  EXPECT_EQ("AWD90", Ask("WD", ":2/ABCDEFGH"));
  EXPECT_EQ("ARV90", Ask("RV"));
  EXPECT_EQ("API90", Ask("PI", ":0/2/2/F00F/8001"));
  EXPECT_EQ("APD90", Ask("PD", ":0/0/32/\x1b" "e22LINE ONE\n\x1b" "e11\x1b" "Y390LINE TWO\n"));
  EXPECT_EQ("AWR90", Ask("WR"));
  EXPECT_EQ("APR90", Ask("PR", "=3"));
  // Then one without a picture command of its own: the RAM still holds the
  // rows, the background is white again and no kind was named.
  EXPECT_EQ("APC90", Ask("PC"));
  EXPECT_EQ("APD90", Ask("PD", ":0/0/0/X"));
  EXPECT_EQ("APP90", Ask("PP"));
  Ctl("cards off");
  EXPECT_EQ("APD90", Ask("PD", ":0/0/0/Y"));
  EXPECT_EQ("APP90", Ask("PP"));

  std::string image = "P4\n320 600\n" + std::string(600 * 40, '\0');
  const size_t head = image.size() - 600 * 40;
  image[head + 80] = '\xF0';
  image[head + 81] = '\x0F';
  image[head + 120] = '\x80';
  image[head + 121] = '\x01';
  EXPECT_EQ(image, ReadFile(out.path() + "/card-001.pbm"));
  EXPECT_EQ(image, ReadFile(out.path() + "/card-002.pbm"));
  const std::string tracks13[] = {"VANTOR TEST CARD TRACK ONE", "0123456789012345678901234567890123"};
  EXPECT_EQ("kind 3\nbackground silver\ntrack 1 " + tracks13[0] + "\ntrack 2 ABCDEFGH\ntrack 3 " + tracks13[1] +
                "\ntext LINE ONE\ntext LINE TWO\ntext \n",
            ReadFile(out.path() + "/card-001.txt"));
  EXPECT_EQ("kind -\nbackground white\ntrack 1 " + tracks13[0] + "\ntrack 2 ABCDEFGH\ntrack 3 " + tracks13[1] +
                "\ntext X\n",
            ReadFile(out.path() + "/card-002.txt"));
  EXPECT_NE(0, access((out.path() + "/card-003.pbm").c_str(), F_OK));

  EXPECT_EQ("usage: cards DIR|off", dev_.Control("cards"));
  // A folder that cannot take the files: the card is printed all the same
  // and the transcript says why there are no files.
  Ctl("cards " + out.path() + "/missing");
  EXPECT_EQ("APD90", Ask("PD", ":0/0/0/Z"));
  EXPECT_EQ("APP90", Ask("PP"));
  ExpectTag(Dir::Control, "note card files: " + out.path() + "/missing/card-001.pbm", 1);
}

TEST_F(StandardDevice, EepromWordsReadBackWhatWasWritten) {
  EXPECT_EQ("Aee90000000000000FF00", Ask("ee", "r:2C/04"));
  EXPECT_EQ("Aee90", Ask("ee", "w:03/03/FFFFFFFFFFFF"));
  const std::string row = Ask("ee", "r:00/10");
  EXPECT_EQ("Aee90" "000000000000" "FFFFFFFFFFFF" + std::string(40, '0'), row);
  EXPECT_EQ("Aee14", Ask("ee", "w:03/03/FFFF"));
  EXPECT_EQ("Aee14", Ask("ee", "r:F8/10"));
}

TEST_F(StandardDevice, ResetIsAckedThenSilentThenReportsAPowerUp) {
  // Deaf far longer than the silence looked for, however late a busy machine looks.
  Ctl("restart 2000");
  const uint64_t start = NowMs();
  Exchange(Command("RS", "S"), "06");
  Send(kPoll);
  ExpectSilence(100);
  Exchange(Command("VS", ""), "");  // restarting: not even an ACK
  Bytes got;
  while (got.empty() && NowMs() - start < 30000) {
    Send(kPoll);
    got = ReadQuiet(40, 400);
  }
  EXPECT_GE(NowMs() - start, 2000u);
  EXPECT_EQ("02 52 32 30 30 30 03 53", HexOf(got));  // R 20 00: a power-up
  EXPECT_EQ("R2000", Poll());
  EXPECT_EQ("AVS10", Ask("VS"));  // nothing but PA, RS and CL until it is acknowledged
  EXPECT_EQ("ACL90", Ask("CL"));
  EXPECT_EQ("APA90", Ask("PA"));
  EXPECT_EQ("R0000", Poll());
  EXPECT_EQ("AVS90Mivor V1.20", Ask("VS"));
  EXPECT_EQ(1, dev_.CountTag(Dir::Host, "CMD RS S"));
  EXPECT_EQ("ACT9000000013", Ask("CT", ":i"));  // one power-up more
}

TEST_F(StandardDevice, StateKnobGivesPowerUpCodes) {
  Ctl("state 2");
  EXPECT_EQ("R2000", Poll());
  EXPECT_EQ("AMR10", Ask("MR"));
  EXPECT_EQ("AZZ11", Ask("ZZ"));  // unknown before power-up
  EXPECT_EQ("APA90", Ask("PA"));
  EXPECT_EQ("AMR90B0F1K0N0X0Y3", Ask("MR"));
  Ctl("state 4");
  EXPECT_EQ("R4000", Poll());
}

TEST_F(StandardDevice, StillRunningTwelveKTimesThenTheReply) {
  Ctl("still 3");
  Exchange(Command("CT", ""), "06");
  EXPECT_EQ("ACT12", Poll());
  EXPECT_EQ("ACT12", Poll());
  EXPECT_EQ("ACT12", Poll());
  EXPECT_EQ("ACT9000000100", Poll());
  EXPECT_EQ("R0000", Poll());
  EXPECT_EQ("ACT9000000100", Ask("CT"));  // once only
}

TEST_F(StandardDevice, BusyWithAnotherCommandUntilTheHostSendsAgain) {
  Ctl("otherbusy CI");
  Exchange(Command("VS", ""), "06");
  EXPECT_EQ("BCI00", Poll());
  // The host sends its command again, as the channel does for a foreign "B".
  EXPECT_EQ("AVS90Mivor V1.20", Ask("VS"));
}

TEST_F(StandardDevice, NoReplyToPollsButCommandsStillAcked) {
  Ctl("nopoll 2");
  Exchange(Command("MR", ""), "06");
  Send(kPoll);
  ExpectSilence(60);
  Send(kPoll);
  ExpectSilence(60);
  EXPECT_EQ("AMR90B0F1K0N0X0Y3", Poll());
}

TEST_F(StandardDevice, SlowCommandStaysBusyForItsTime) {
  // Busy far longer than a busy machine takes to send the first poll.
  Ctl("slow 1000");
  const uint64_t start = NowMs();
  Exchange(Command("PA", ""), "06");
  EXPECT_EQ("BPA00", Poll());
  std::string r = Poll();
  while (r == "BPA00" && NowMs() - start < 30000) r = Poll();
  EXPECT_EQ("APA90", r);
  EXPECT_GE(NowMs() - start, 1000u);
}

TEST_F(StandardDevice, PlainDeviceAgainAfterDevicePlain) {
  Ctl("card insert");
  EXPECT_EQ("R0100", Poll());
  Ctl("device plain");
  Exchange(Command("ST", ""), "06");
  Exchange(kPoll, "02 41 53 54 39 30 03 4C");  // A ST 90, no data
  EXPECT_EQ("R0000", Poll());
  EXPECT_EQ("AZZ90", Ask("ZZ"));
  Ctl("device standard");
  EXPECT_EQ("R0100", Poll());  // the card is still at the slot
}

TEST_F(StandardDevice, CannedRepliesAndFaultsStillWin) {
  Ctl("reply VS 90 \"9X99\"");
  EXPECT_EQ("AVS909X99", Ask("VS"));
  Ctl("reply VS off");
  Ctl("nak");
  Exchange(Command("VS", ""), "15");
  Ctl("busy 2");
  Exchange(Command("VS", ""), "06");
  EXPECT_EQ("BVS00", Poll());
  EXPECT_EQ("BVS00", Poll());
  EXPECT_EQ("AVS90Mivor V1.20", Poll());
}

TEST_F(StandardDevice, ResetPutsThePowerOnStateBack) {
  Ctl("card insert");
  EXPECT_EQ("AMS90", Ask("MS", ":B7"));
  Ctl("reset");
  EXPECT_EQ("R0000", Poll());
  EXPECT_EQ("AMR90B0F1K0N0X0Y3", Ask("MR"));
}

TEST_F(StandardDevice, BadControlLinesAreRefused) {
  for (const char* line :
       {"device", "device fancy", "state 22", "state x", "card", "card fly", "cardwait soon",
        "track 4 ABC", "track 1", "counter q 10", "counter a XYZ", "counter a 123456789",
        "clock 2412251030", "restart", "restart -1", "still 0", "still", "otherbusy C",
        "slow", "nopoll x"})
    EXPECT_NE("", dev_.Control(line)) << line;
  Ctl("card insert");
  EXPECT_NE("", dev_.Control("card insert"));  // one card at a time
  Ctl("still 2 always");
  Ctl("still off");
  Ctl("otherbusy off");
  Ctl("slow off");
  Ctl("nopoll off");
  EXPECT_EQ("APA90", Ask("PA"));
}

}  // namespace
}  // namespace simtest

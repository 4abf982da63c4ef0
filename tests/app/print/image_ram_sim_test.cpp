// The stored image areas and the card print sequence of the bitmap window
// against the simulated device through the real library: the exact commands
// on the wire, the image RAM copied into an area and back, and where Cancel,
// Stop and a device error end (or do not end) the card print.
#include <QTimer>

#include "../channel/sim_channel_fixture.h"
#include "core/versions.h"
#include "print/bmp_card_print.h"
#include "print/image_ram_areas.h"
#include "recording_job_view.h"

namespace quorel::testing {
namespace {

const bool kProgramDirSet = qputenv("QUOREL_PROGRAM_DIR", QUOREL_LIBRARY_DIR);

const QString kInsert = QStringLiteral("Please Insert a card");

class ImageRamSim : public SimChannelTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(kProgramDirSet);
    SimChannelTest::SetUp();
    mm().gIniPath = dir_.file(QStringLiteral("Quorel.ini"));
    Control("cardwait 0");
    Open();
    // The power-up report answered, so no job below needs a preamble.
    Comu(QStringLiteral("PA"));
    // What the port's opening exchanged is not under test.
    sim_.ClearTranscript();
  }
  // The text commands the device received, code and data, in order.
  std::vector<std::string> Commands() const {
    std::vector<std::string> out;
    for (const sim::TranscriptEntry& e : sim_.Transcript()) {
      if (e.dir != sim::Dir::Host || e.tag.rfind("CMD ", 0) != 0) continue;
      // EOT (a fresh start), STX, code and data, ETX, BCC.
      const std::string s(e.bytes.begin(), e.bytes.end());
      const size_t stx = s.find('\x02');
      const size_t etx = s.rfind('\x03');
      if (stx == std::string::npos || etx == std::string::npos || etx < stx) continue;
      out.push_back(s.substr(stx + 1, etx - stx - 1));
    }
    return out;
  }
  // Status polls the host made before its first command.
  int PollsFirst() const {
    int polls = 0;
    for (const sim::TranscriptEntry& e : sim_.Transcript()) {
      if (e.dir != sim::Dir::Host) continue;
      if (e.tag.rfind("CMD ", 0) == 0) break;
      if (e.tag == "POLL") ++polls;
    }
    return polls;
  }
  std::string Dump() const {
    std::string out;
    for (const sim::TranscriptEntry& e : sim_.Transcript()) out += sim::FormatEntry(e) + "\n";
    return out;
  }
  void Save(const QString& area) {
    choices_.area = area;
    SaveToRam(line_, jobView_, choices_);
  }
  void Load(const QString& area) {
    choices_.area = area;
    LoadImagePrint(line_, jobView_, choices_);
  }
  void CardPrint() { RunCardPrint(line_, jobView_, choices_.cardKind); }
  QString Status() const { return jobView_.status; }
  bool Unlocked() const { return jobView_.unlocked; }
  void ExpectInsert(BoxAnswer answer) { dialogs_.ExpectBox(ProgramTitle(), kInsert, answer); }

  ChannelJobLine line_{channel_};
  RecordingJobView jobView_;
  RamAreaChoices choices_{QString(), QStringLiteral("0"), 0, {}};
};

using Cmds = std::vector<std::string>;
const Cmds kCardPrint = {"MS:B0", "CI", "WR", "PR", "CO"};

Cmds Join(Cmds a, const Cmds& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

TEST_F(ImageRamSim, SaveSendsBufferToAreaAfterASecondPoll) {
  Save(QStringLiteral(">"));
  EXPECT_EQ(Commands(), Cmds({"IC:0>"})) << Dump();
  // The port was open: the save still polls before its command.
  EXPECT_EQ(PollsFirst(), 1);
  EXPECT_EQ(Status(), QStringLiteral("Data set"));
  EXPECT_TRUE(Unlocked());
}

TEST_F(ImageRamSim, SaveOnAClosedPortPollsTwice) {
  channel_.commClose();
  sim_.ClearTranscript();
  Save(QStringLiteral("1"));
  EXPECT_EQ(PollsFirst(), 2) << Dump();
  const Cmds sent = Commands();
  ASSERT_FALSE(sent.empty());
  EXPECT_EQ(sent.back(), "IC:01");
}

TEST_F(ImageRamSim, LoadWithoutTextSendsOnlyTheCopyThenTheCardPrint) {
  for (int area : {0, 1}) {
    sim_.ClearTranscript();
    choices_.printArea = area;
    ExpectInsert(BoxAnswer::kOk);
    Load(QStringLiteral(":"));
    EXPECT_EQ(Commands(), Join({"IC::0"}, kCardPrint)) << "area " << area;
    EXPECT_EQ(Status(), QString());
    EXPECT_EQ(jobView_.colour, kStatusCyan);
    EXPECT_TRUE(Unlocked());
  }
}

TEST_F(ImageRamSim, LoadWithTextAreaAndEmptyLinesSendsBlankPagesThenEmptyLines) {
  const std::string blank(26, ' ');
  for (int area : {2, 3}) {
    choices_.printArea = area;
    sim_.ClearTranscript();
    ExpectInsert(BoxAnswer::kOk);
    Load(QStringLiteral("1"));
    EXPECT_EQ(Commands(), Join({"IC:10", "MS:X0N0Y1K0F0", "PD:0/0/32/\x1b" "e22" + std::string(13, ' '),
                                "PD:0/0/361/" + blank + "\n" + blank + "\n" + blank + "\n" + blank,
                                "PD:0/0/32/\x1b" "e22", "PD:0/0/361/\n\n\n"},
                               kCardPrint))
        << "area " << area;
  }
}

TEST_F(ImageRamSim, LoadSendsTheMessageLinesAsTheyStand) {
  choices_.printArea = 2;
  choices_.lines = {QStringLiteral("TOP"), QStringLiteral("one"), QString(), QStringLiteral("three"),
                    QStringLiteral("four")};
  ExpectInsert(BoxAnswer::kCancel);
  Load(QStringLiteral("1"));
  const Cmds sent = Commands();
  ASSERT_EQ(sent.size(), 6u);
  EXPECT_EQ(sent[4], "PD:0/0/32/\x1b" "e22TOP");
  EXPECT_EQ(sent[5], "PD:0/0/361/one\n\nthree\nfour");
}

TEST_F(ImageRamSim, SavedImageComesBackIntoTheBuffer) {
  Control("image clear");
  // Two rows of a 320-dot image into the RAM.
  std::string first(80, '0'), second(80, 'F');
  first[0] = '8';
  Comu(QString::fromStdString("PI:0/4/40/" + first + "/" + second));
  const auto saved = sim_.ImageRows();
  ASSERT_EQ(saved.size(), 2u);
  Save(QStringLiteral("<"));
  Control("image clear");
  ASSERT_TRUE(sim_.ImageRows().empty());
  ExpectInsert(BoxAnswer::kCancel);
  Load(QStringLiteral("<"));
  EXPECT_EQ(sim_.ImageRows(), saved);
  // Another area was never written: loading it empties the buffer.
  ExpectInsert(BoxAnswer::kCancel);
  Load(QStringLiteral("="));
  EXPECT_TRUE(sim_.ImageRows().empty());
}

TEST_F(ImageRamSim, BadAreaCodesAreRefused) {
  for (const char* bad : {"IC:0?", "IC:/0", "IC:0", "IC:012"}) {
    Comu(QString::fromLatin1(bad));
    EXPECT_EQ(mm().gReplyStatus, QStringLiteral("14")) << bad;
  }
  Comu(QStringLiteral("IC:=0"));
  EXPECT_EQ(mm().gReplyStatus, QStringLiteral("90"));
}

TEST_F(ImageRamSim, CancelInTheCardBoxSendsNothingMore) {
  ExpectInsert(BoxAnswer::kCancel);
  CardPrint();
  EXPECT_TRUE(Commands().empty());
  EXPECT_EQ(Status(), QString());
  EXPECT_EQ(jobView_.colour, kStatusCyan);
  EXPECT_TRUE(Unlocked());
}

TEST_F(ImageRamSim, StopWhileTheCardIsAwaitedEndsAfterCi) {
  Control("cardwait manual");
  ExpectInsert(BoxAnswer::kOk);
  QTimer stop;
  stop.setInterval(20);
  QObject::connect(&stop, &QTimer::timeout, [this, &stop] {
    if (Sent("CI") < 1) return;
    stop.stop();
    mm().gStopRequest = 1;
  });
  stop.start();
  CardPrint();
  EXPECT_EQ(Commands(), Cmds({"MS:B0", "CI"}));
  EXPECT_EQ(Status(), QStringLiteral("Stop"));
  EXPECT_TRUE(Unlocked());
}

TEST_F(ImageRamSim, AnErrorReplyToWriteStillPrintsAndEjects) {
  Control("reply WR 44");
  choices_.cardKind = QStringLiteral(";");
  ExpectInsert(BoxAnswer::kOk);
  CardPrint();
  EXPECT_EQ(Commands(), Cmds({"MS:B;", "CI", "WR", "PR", "CO"}));
  EXPECT_EQ(Status(), QStringLiteral("Finish"));
}

TEST_F(ImageRamSim, ALeftoverStopEndsALoadBeforeItsCopy) {
  mm().gStopRequest = 1;
  Load(QStringLiteral("1"));
  EXPECT_TRUE(Commands().empty());
  EXPECT_EQ(Status(), QStringLiteral("Stop"));
  EXPECT_TRUE(Unlocked());
}

}  // namespace
}  // namespace quorel::testing

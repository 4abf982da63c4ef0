// The card-read run through the channel and the real library against the
// simulated Yarsel reader (its card-read profile on): the commands on the
// wire in their order, the counted read errors, the passes that end a run,
// the abort, the count cap, and a port that cannot be opened.
#include <functional>

#include "channel/sim_channel_fixture.h"
#include "testbench/card_read_run.h"

namespace quorel::testing {
namespace {

// What the run showed, with a hook on the pass number (the abort tests
// click there).
class RecordingCardReadDisplay : public CardReadDisplay {
 public:
  void ShowCaption(const QString& c) override { caption = c; }
  void SetInputsLocked(bool l) override { locked = l; }
  void ShowMessage(const QString& t) override { message = t; }
  void ShowAnswer(const QString& h, bool g) override {
    answer = h;
    good = g;
  }
  void ShowVersion(const QString& t) override { version = t; }
  void ShowTrackData(const QString& t) override { track = t; }
  void ShowErrors(const QString& t) override { errors = t; }
  void ShowPassCount(const QString& t) override {
    passCount = t;
    if (onPass) onPass(t);
  }
  QString CountText() const override { return count; }
  void SetCountText(const QString& t) override { count = t; }
  bool MarginTicked() const override { return margin; }

  QString caption, message, answer, version, track, errors, passCount, count;
  bool locked = false, good = false, margin = false;
  std::function<void(const QString&)> onPass;
};

// Three tracks of a test card, 71 characters.
const QString kTrack = QStringLiteral("%B1234567890?;1234567890123456789=2512?;0123456789012345678901234567890?");

class CardReadSim : public SimChannelTest {
 protected:
  void SetUp() override {
    SimChannelTest::SetUp();
    Control("cardread on");
    Control("cardread data " + kTrack.toStdString());
    Control("cardwait 20");
    run_.Load();
  }

  // The commands that reached the device, as the program wrote them.
  std::vector<QString> Commands() const {
    std::vector<QString> out;
    for (const sim::TranscriptEntry& e : sim_.Transcript()) {
      if (e.dir != sim::Dir::Host || e.tag.rfind("CMD ", 0) != 0) continue;
      QString t = QString::fromStdString(e.tag.substr(4));
      if (t.size() > 3 && t.at(2) == QLatin1Char(' ')) t.remove(2, 1);
      out.push_back(t);
    }
    return out;
  }
  int Count(const QString& command) const {
    int n = 0;
    for (const QString& c : Commands()) n += c == command;
    return n;
  }
  void ExpectIdle() {
    EXPECT_EQ(run_.caption(), "Test Start");
    EXPECT_EQ(display_.caption, "Test Start");
    EXPECT_FALSE(display_.locked);
    EXPECT_FALSE(run_.Active());
  }

  RecordingCardReadDisplay display_;
  CardReadRun run_{channel_, display_};
};

TEST_F(CardReadSim, CountThreeWithMarginSendsTheRunInOrderAndEndsIdle) {
  Open();
  display_.count = QStringLiteral("3");
  display_.margin = true;
  run_.Click();
  EXPECT_EQ(Commands(),
            (Lines{"!!m1", "VS", "CI", "CO3", "CL", "!!m2", "CI", "CO3", "CL", "!!m2", "CI", "!!m0", "COF"}));
  EXPECT_EQ(display_.passCount, "3 /");
  EXPECT_EQ(display_.errors, "0");
  EXPECT_EQ(display_.version, QLatin1String(kVersion));
  EXPECT_EQ(display_.message, " テスト終了");
  EXPECT_EQ(display_.answer, "ACO90");
  EXPECT_TRUE(display_.good);
  // The last card-in's track data, 30 characters a line.
  EXPECT_EQ(display_.track, kTrack.left(30) + "\r\n" + kTrack.mid(30, 30) + "\r\n" + kTrack.mid(60));
  ExpectIdle();
}

TEST_F(CardReadSim, WithoutMarginTheSecondHalfStillRunsInMarginTwo) {
  Open();
  display_.count = QStringLiteral("2");
  run_.Click();
  EXPECT_EQ(Commands(), (Lines{"VS", "CI", "CO3", "CL", "!!m2", "CI", "!!m0", "COF"}));
  EXPECT_EQ(display_.passCount, "2 /");
  ExpectIdle();
}

TEST_F(CardReadSim, CountOneReadsOnlyTheFirstCardAndLeavesThePassNumber) {
  Open();
  display_.count = QStringLiteral("1");
  Control("cardread status 1 41");
  run_.Click();
  EXPECT_EQ(Commands(), (Lines{"VS", "CI", "!!m0", "COF"}));
  EXPECT_EQ(display_.errors, "1");  // the first card's read error counts
  EXPECT_EQ(display_.passCount, "0 /");
  ExpectIdle();
}

TEST_F(CardReadSim, AReadErrorOnPassThreeIsCountedAndTheRunGoesOn) {
  Open();
  display_.count = QStringLiteral("5");
  Control("cardread status 3 41");
  run_.Click();
  EXPECT_EQ(Count("CI"), 5);
  EXPECT_EQ(display_.errors, "1");
  EXPECT_EQ(display_.passCount, "5 /");
  EXPECT_EQ(Count("!!m0"), 1);
  ExpectIdle();
}

TEST_F(CardReadSim, AJamOrLineErrorEndsTheRunAfterItsPassWithOneEndSequence) {
  for (const char* status : {"31", "02"}) {
    SCOPED_TRACE(status);
    Open();
    sim_.ClearTranscript();
    Control("cardread clear");
    Control(std::string("cardread status 7 ") + status);
    display_.count = QStringLiteral("20");
    run_.Click();
    EXPECT_EQ(display_.passCount, "7 /");
    EXPECT_EQ(Count("CI"), 7);
    EXPECT_EQ(Count("!!m0"), 1);
    EXPECT_EQ(Count("COF"), 1);
    EXPECT_EQ(Commands().back(), "COF");
    EXPECT_EQ(display_.answer, "ACO90");
    ExpectIdle();
    channel_.commClose();
  }
}

TEST_F(CardReadSim, AnAbortBetweenExchangesPutsTheEndSequenceOnTheWireOnce) {
  Open();
  display_.count = QStringLiteral("1000");
  display_.onPass = [this](const QString& pass) {
    if (pass == "3 /") run_.Click();  // the abort, while no exchange is under way
  };
  run_.Click();
  EXPECT_EQ(display_.passCount, "3 /");
  EXPECT_EQ(Count("CI"), 3);
  EXPECT_EQ(Count("!!m0"), 1);
  EXPECT_EQ(Count("COF"), 1);
  EXPECT_EQ(Commands().back(), "COF");
  ExpectIdle();
  EXPECT_EQ(run_.stopFlag(), 1);
}

TEST_F(CardReadSim, AnAbortDuringAnExchangeEndsTheRunAfterIt) {
  Open();
  display_.count = QStringLiteral("1000");
  display_.onPass = [this](const QString& pass) {
    // The click comes from the event loop, inside the next exchange's wait.
    if (pass == "2 /") QTimer::singleShot(0, [this] { run_.Click(); });
  };
  run_.Click();
  EXPECT_LE(Count("CI"), 3);
  EXPECT_EQ(Count("!!m0"), 1);
  EXPECT_EQ(Count("COF"), 1);
  EXPECT_EQ(Commands().back(), "COF");
  ExpectIdle();
  // A click now starts a new run.
  sim_.ClearTranscript();
  display_.onPass = nullptr;
  display_.count = QStringLiteral("1");
  run_.Click();
  EXPECT_EQ(Commands(), (Lines{"VS", "CI", "!!m0", "COF"}));
}

TEST_F(CardReadSim, ACountAboveTheLoopRangeIsClampedAndShown) {
  Open();
  display_.count = QStringLiteral("40000");
  Control("cardread status 2 31");
  run_.Click();
  EXPECT_EQ(display_.count, "32767");
  EXPECT_EQ(display_.passCount, "2 /");
  // Pass 2 of 32767 lies in the first half: no margin mode 2.
  EXPECT_EQ(Commands(), (Lines{"VS", "CI", "CO3", "CL", "CI", "!!m0", "COF"}));
  ExpectIdle();
}

TEST_F(CardReadSim, APowerUpReportIsAcknowledgedBeforeTheRun) {
  Control("state 2");
  display_.count = QStringLiteral("1");
  run_.Click();  // opens the port itself
  EXPECT_TRUE(mm().gPortOpen);
  EXPECT_EQ(Commands(), (Lines{"PA", "VS", "CI", "!!m0", "COF"}));
  ExpectIdle();
}

TEST_F(CardReadSim, APortThatCannotBeOpenedReturnsTheWindowToIdle) {
  mm().gPort = 200;  // a number without a device file
  dialogs_.ExpectBox(QStringLiteral("COM200オープンエラー"),
                     QStringLiteral("他のアプリケーションが使用している可能性があります。\r\nもしくはポートが存在しません。"
                                    "\r\nCOM200 has no device file"),
                     BoxAnswer::kOk);
  display_.count = QStringLiteral("5");
  run_.Click();
  EXPECT_FALSE(mm().gPortOpen);
  EXPECT_TRUE(Commands().empty());
  ExpectIdle();
  EXPECT_EQ(display_.errors, "0");
}

TEST_F(CardReadSim, AStartClickWhileResetWaitingDoesNothing) {
  Open();
  mm().gResetWaiting = -1;
  run_.Click();
  mm().gResetWaiting = 0;
  EXPECT_TRUE(Commands().empty());
  ExpectIdle();
}

}  // namespace
}  // namespace quorel::testing

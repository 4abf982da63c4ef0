// The write/read test on a table of controls and a scripted device: what a
// run sends and counts, and that every way out leaves the test idle with
// the device's modes put back once they were changed.
#include <QElapsedTimer>

#include <gtest/gtest.h>

#include "core/message_tables.h"
#include "core/rw_test.h"
#include "core/versions.h"
#include "main/fake_controls.h"
#include "scripted_host.h"
#include "support/scripted_dialogs.h"

namespace quorel::testing {
namespace {

using Sent = std::vector<QString>;

const QString kOk = QStringLiteral("連続Ｗ／Ｒ試験　ＯＫ");

class RwTestLogic : public ::testing::Test {
 protected:
  void SetUp() override {
    FreshStateWithOpenPort();
    ui_.SetText(QStringLiteral("CmdRWTest"), QStringLiteral("Test Start"));
    ui_.SetValue(QStringLiteral("OpJISISO"), 0, 1);
    ui_.SetText(QStringLiteral("Text12"), QStringLiteral("69"));
    ui_.SetText(QStringLiteral("Text8"), QStringLiteral("0"));
    ui_.SetText(QStringLiteral("TxtRWTestCount"), QStringLiteral("1"));
    host_.pollReply = QStringLiteral("R0200");  // a card inside
    host_.device = [this](const QString& c) { return Device(c); };
    test_.SetEmcWindow([this] { ++emcShown_; }, [this] { ++emcUnloaded_; });
  }

  // A device whose track set is "C" & tracks_ and whose checks pass.
  QString Device(const QString& c) {
    if (c == QLatin1String("MR")) return QStringLiteral("AMR90") + modes_;
    if (c == QLatin1String("VS")) return QStringLiteral("AVS90") + version_;
    if (c == QLatin1String("RC")) return rc_;
    if (c.startsWith(QLatin1String("WD:"))) {
      track_[c.at(3).digitValue() - 1] = c.mid(5);
      return QStringLiteral("AWD90");
    }
    if (c.startsWith(QLatin1String("DT:"))) {
      const int n = c.at(3).digitValue();
      return QStringLiteral("ADT90") + QString::number(n) + track_[n - 1];
    }
    return QStringLiteral("A") + c.left(2) + QStringLiteral("90");
  }
  void Run() { test_.CmdRWTest_Click(); }
  void ExpectIdle() {
    EXPECT_FALSE(test_.running());
    EXPECT_EQ(ui_.Text(QStringLiteral("CmdRWTest")), QStringLiteral("Test Start"));
    EXPECT_EQ(mm().gRwTestRunning, 0);
    EXPECT_EQ(mm().gRwCardInWait, 0);
  }
  void ExpectResult(const QString& text) { dialogs_.ExpectBox(ProgramTitle(), text, BoxAnswer::kOk); }
  int Count(const QString& command) const {
    return static_cast<int>(std::count(host_.sent.begin(), host_.sent.end(), command));
  }
  // The closing steps after the mode commands.
  Sent Tail(size_t n) const { return Sent(host_.sent.end() - static_cast<long>(n), host_.sent.end()); }

  QString modes_ = QStringLiteral("B0C3H7");
  QString version_ = QStringLiteral("Mivor V1.20");
  QString rc_ = QStringLiteral("ARC9090909090");
  QString track_[3];
  int emcShown_ = 0, emcUnloaded_ = 0;
  ScriptedDialogs dialogs_;
  FakeControls ui_;
  ScriptedHost host_{ui_};
  RwTest test_{ui_, host_};
};

TEST_F(RwTestLogic, OnePassWritesTheSelectedTracksChecksThreeTimesAndPutsTheModesBack) {
  // Another window's use of the shared scratch text cannot change what is put back.
  host_.duringWait = [](const QString& c) {
    if (c == QLatin1String("WR")) mm().gScratchText = QStringLiteral("K9");
  };
  ExpectResult(kOk);
  Run();
  const Sent want{"MR", "TH", "VS", "MS:R0W0", "MS:D7", "MS:Z0", "MS:K0N4X4", "MS:S0", "MR", "MS:M0", "MR",
                  QStringLiteral("WD:1/") + mm().gWrTrack1Data, QStringLiteral("WD:2/") + mm().gWrTrack2Data,
                  "WR", "RC", "VR", "RC", "VR", "RC", "CO", "MS:B0C3H7", "MR"};
  EXPECT_EQ(host_.sent, want);
  EXPECT_EQ(mm().gWrTrack1Data.size(), 69);
  EXPECT_EQ(test_.operations(), 3);
  EXPECT_EQ(ui_.Text(QStringLiteral("Label28")), QStringLiteral("Tr1 : 0/ 3\rTr2 : 0/ 3\r"));
  EXPECT_EQ(test_.savedModes(), QStringLiteral("B0C3H7"));
  ExpectIdle();
}

TEST_F(RwTestLogic, AMissingOrForeignRcReplyIsAFailureOfEveryTrack) {
  for (const QString& rc : {QString(), QStringLiteral("AVS90Mivor"), QStringLiteral("ARC14")}) {
    SCOPED_TRACE(rc.toStdString());
    rc_ = rc;
    ExpectResult(QStringLiteral("連続Ｗ／Ｒ試験　ＮＧ\r   Tr1=  3/ 3\r   Tr2=  3/ 3\r   Tr3=  0/ 3"));
    Run();
    EXPECT_EQ(test_.failures(), (std::array<int, 3>{3, 3, 0}));
    EXPECT_EQ(test_.mRwError(), -1);
    ExpectIdle();
  }
  // Only the selected tracks are judged; "92" passes.
  rc_ = QStringLiteral("ARC9090449290");  // track 2 failed but is not selected; track 3 blank
  modes_ = QStringLiteral("C5");
  ExpectResult(kOk);
  Run();
  EXPECT_EQ(test_.mRwError(), 0);
}

TEST_F(RwTestLogic, ReadBackComparesOnlyWhatThisReadBrought) {
  ui_.SetValue(QStringLiteral("ChkRDDT"), 1);
  modes_ = QStringLiteral("C1");
  int reads = 0;
  host_.device = [&](const QString& c) {
    // The first "DT:1" answers, the second never does.
    if (c == QLatin1String("DT:1") && ++reads == 2) return QString();
    return Device(c);
  };
  ExpectResult(QStringLiteral("連続Ｗ／Ｒ試験　ＮＧ\r   Tr1=  1/ 3\r   Tr2=  0/ 3\r   Tr3=  0/ 3"));
  Run();
  EXPECT_EQ(Count(QStringLiteral("DT:1")), 2);
  EXPECT_EQ(ui_.Text(QStringLiteral("TxtDTtr"), 1), QString());
}

TEST_F(RwTestLogic, NoSelectedTrackIsASetUpErrorNotAPass) {
  modes_ = QStringLiteral("B0H7");
  dialogs_.ExpectBox(ProgramTitle(), QStringLiteral("磁気トラックが選択されていません。\r\nMSコマンドのCを確認してください。"),
                     BoxAnswer::kOk);
  Run();
  EXPECT_EQ(Count(QStringLiteral("WR")), 0);
  EXPECT_EQ(Tail(4), (Sent{"MR", "CO", "MS:B0H7", "MR"}));
  ExpectIdle();
}

TEST_F(RwTestLogic, ARefusedPatternEndsWithoutAResultButWithTheClosingSteps) {
  host_.device = [this](const QString& c) { return c.startsWith(QLatin1String("WD:2")) ? QStringLiteral("AWD14") : Device(c); };
  dialogs_.ExpectBox(ProgramTitle(), QStringLiteral("ﾃﾞｰﾀ設定ｴﾗｰです"), BoxAnswer::kOk);
  Run();
  EXPECT_EQ(Count(QStringLiteral("WR")), 0);
  EXPECT_EQ(Tail(3), (Sent{"CO", "MS:B0C3H7", "MR"}));
  ExpectIdle();
}

TEST_F(RwTestLogic, EarlyExitsBeforeTheModesChangeLeaveTheTestIdle) {
  mm().gPortOpen = 0;
  host_.portOpens = false;
  Run();
  EXPECT_TRUE(host_.sent.empty());
  ExpectIdle();
  // A stop during the set-up, before the modes: nothing to put back.
  host_.portOpens = true;
  host_.duringWait = [this](const QString& c) {
    if (c == QLatin1String("TH")) Run();
  };
  Run();
  EXPECT_EQ(host_.sent, (Sent{"MR", "TH"}));
  ExpectIdle();
}

TEST_F(RwTestLogic, AStopDuringTheCardWaitClearsItTakesTheCardOutAndRestoresOnce) {
  host_.pollReply = QStringLiteral("R0000");  // no card
  host_.duringWait = [this](const QString& c) {
    if (c == QLatin1String("CI")) Run();  // the second click: the stop
  };
  Run();
  EXPECT_EQ(Tail(6), (Sent{"MR", "CI", "CL (aside)", "CO", "MS:B0C3H7", "MR"}));
  EXPECT_EQ(Count(QStringLiteral("CO")), 1);
  EXPECT_EQ(mm().gStopRequest, 1);
  ExpectIdle();
}

TEST_F(RwTestLogic, AStopEndsThePassesAfterTheFirstThreeOperations) {
  ui_.SetText(QStringLiteral("TxtRWTestCount"), QStringLiteral("100"));
  int vr = 0;
  host_.duringWait = [&](const QString& c) {
    if (c == QLatin1String("VR") && ++vr == 3) Run();  // the first VR of the second pass
  };
  ExpectResult(kOk);
  Run();
  EXPECT_EQ(test_.operations(), 4);  // WR VR VR, WR; the stopped VR is not counted
  EXPECT_EQ(Count(QStringLiteral("CO")), 1);
  EXPECT_EQ(Tail(3), (Sent{"CO", "MS:B0C3H7", "MR"}));
  ExpectIdle();
  // Within the first three the sequence finishes, then the pass ends.
  host_.duringWait = [&](const QString& c) {
    if (c == QLatin1String("WR")) Run();
  };
  ExpectResult(kOk);
  Run();
  EXPECT_EQ(test_.operations(), 3);
  EXPECT_EQ(Count(QStringLiteral("RC")), 4 + 3);  // the first run checked its fourth operation
}

TEST_F(RwTestLogic, ErrStopEndsAtTheFirstCountedFailure) {
  ui_.SetText(QStringLiteral("TxtRWTestCount"), QStringLiteral("10"));
  ui_.SetValue(QStringLiteral("ChkRWErrorStop"), 1);
  int checks = 0;
  host_.device = [&](const QString& c) {
    if (c == QLatin1String("RC") && ++checks == 5) return QStringLiteral("ARC9090449044");
    return Device(c);
  };
  ExpectResult(QStringLiteral("連続Ｗ／Ｒ試験　ＮＧ\r   Tr1=  0/ 5\r   Tr2=  1/ 5\r   Tr3=  0/ 5"));
  Run();
  EXPECT_EQ(Count(QStringLiteral("RC")), 5);
  ExpectIdle();
}

TEST_F(RwTestLogic, TheHexModelWritesCutTracksAndComparesWhatItSent) {
  version_ = QStringLiteral("1458H V1");
  modes_ = QStringLiteral("C7");
  ui_.SetValue(QStringLiteral("ChkRDDT"), 1);
  ExpectResult(kOk);
  Run();
  EXPECT_EQ(mm().gWrTrack1Data.size(), 38);
  EXPECT_EQ(mm().gWrTrack2Data.size(), 24);
  EXPECT_EQ(mm().gWrTrack3Data.size(), 69);
  EXPECT_EQ(host_.sent[11], QStringLiteral("WD:1/") + mm().gWrTrack1Data);
  EXPECT_EQ(test_.failures(), (std::array<int, 3>{0, 0, 0}));
}

TEST_F(RwTestLogic, TwoStepWriteAndTheIrReads) {
  ui_.SetValue(QStringLiteral("Chk27503Tr"), 1);
  ui_.SetValue(QStringLiteral("ChkIRread"), 1);
  ui_.SetValue(QStringLiteral("ChkRetry"), 1);
  ui_.SetValue(QStringLiteral("ChkPunch"), 1);
  ui_.SetText(QStringLiteral("Text17"), QStringLiteral("T1"));
  ExpectResult(kOk);
  Run();
  const Sent want{"MS:R2W2", "MS:D7", "MS:Z0", "MS:K0N4X4", "MS:S0", "MS:b7B1", "MS:P1", "MS:T1", "MR", "MS:M0", "MR"};
  EXPECT_EQ(Sent(host_.sent.begin() + 3, host_.sent.begin() + 14), want);
  const Sent pass{"MS:C5", "WR", "RC", "MS:C2H7", "WR", "RC", "VR", "RC", "VR", "RC", "RD", "RC", "RD", "RC"};
  EXPECT_EQ(Sent(host_.sent.begin() + 16, host_.sent.begin() + 30), pass);
  EXPECT_EQ(test_.operations(), 4);
}

TEST_F(RwTestLogic, PrintLinesFillACardThenStartTheNext) {
  ui_.SetValue(QStringLiteral("Check3"), 1);
  ui_.SetText(QStringLiteral("TxtRWTestCount"), QStringLiteral("64"));  // 22 passes
  ExpectResult(kOk);
  Run();
  Sent pages, prints;
  for (const QString& c : host_.sent) {
    if (c.startsWith(QLatin1String("PD:"))) pages.push_back(c);
    if (c == QLatin1String("PR") || c == QLatin1String("PP")) prints.push_back(c);
  }
  ASSERT_EQ(pages.size(), 22u);
  EXPECT_EQ(pages[0], QStringLiteral("PD:0/0/0/\\ABCDEFG0123456789R\\"));
  EXPECT_EQ(pages[20], QStringLiteral("PD:0/0/540/\\ABCDEFG0123456789R\\"));
  EXPECT_EQ(pages[21], QStringLiteral("PD:0/0/0/ A C E G 1 3 5 7 9 \\"));  // i = 64 > 3 * 21
  EXPECT_EQ(prints[0], QStringLiteral("PR"));
  EXPECT_EQ(prints[1], QStringLiteral("PP"));
  EXPECT_EQ(prints[21], QStringLiteral("PR"));
  EXPECT_EQ(Count(QStringLiteral("PC")), 22);
  EXPECT_EQ(Count(QStringLiteral("TH")), 1 + 22);
}

TEST_F(RwTestLogic, EmcPrintsHAndShowsItsWindowWhileItRuns) {
  ui_.SetValue(QStringLiteral("Check3"), 1);
  ui_.SetValue(QStringLiteral("Check6"), 1);
  ui_.SetValue(QStringLiteral("ChkEMC"), 1);
  ui_.SetValue(QStringLiteral("ChkLCD"), 1);
  ui_.SetValue(QStringLiteral("ChkCOM2"), 1);
  ui_.SetValue(QStringLiteral("OptPRT"), 1);
  version_ = QStringLiteral("3D10");
  ExpectResult(kOk);
  Run();
  const QString h20(20, QLatin1Char('H'));
  EXPECT_EQ(Count(QStringLiteral("PC")), 0);  // erasing model: no clear
  EXPECT_EQ(Count(QStringLiteral("PD:0/0/0/") + QStringList(16, h20).join(QLatin1Char('\n'))), 1);
  EXPECT_EQ(Count(QStringLiteral("PR")), 1);
  EXPECT_EQ(Count(QStringLiteral("DD:0/0/0/") + h20), 1);
  EXPECT_EQ(Count(QStringLiteral("DD/") + h20), 3);
  EXPECT_EQ(Count(QStringLiteral("IF2:T/") + QString(40, QLatin1Char('H')) + QStringLiteral("\r\n")), 4);
  EXPECT_EQ(emcShown_, 1);
  EXPECT_GE(emcUnloaded_, 1);
}

TEST_F(RwTestLogic, TheModemGuardWaitsAreOneSecondEach) {
  ui_.SetValue(QStringLiteral("ChkCOM2"), 1);
  ui_.SetValue(QStringLiteral("OptModem"), 1);
  ExpectResult(kOk);
  QElapsedTimer t;
  t.start();
  std::vector<std::pair<QString, qint64>> at;
  host_.duringWait = [&](const QString& c) { at.emplace_back(c, t.elapsed()); };
  Run();
  // The time from the command before to the escape and to the hang-up: a
  // second's guard each (a busy machine only adds to it).
  const auto gapBefore = [&](const QString& command) -> qint64 {
    for (size_t i = 1; i < at.size(); ++i)
      if (at[i].first == command) return at[i].second - at[i - 1].second;
    ADD_FAILURE() << "not sent: " << command.toStdString();
    return 0;
  };
  for (const QString& c : {QStringLiteral("IF2:T/+++\r"), QStringLiteral("IF2:T/ATH")}) {
    EXPECT_GE(gapBefore(c), 1000) << c.toStdString();
    EXPECT_LT(gapBefore(c), 10 * 1000) << c.toStdString();
  }
  EXPECT_EQ(Count(QStringLiteral("IF2:R")), 4 + 3 + 2);
  EXPECT_EQ(Count(QStringLiteral("IF2:T/+++\r")), 1);
  EXPECT_EQ(Count(QStringLiteral("IF2:T/ATH")), 1);
}

}  // namespace
}  // namespace quorel::testing

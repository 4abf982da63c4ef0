// The download job and the card print without widgets: the commands they
// hand the channel, byte for byte, the records and blocks they build, the
// work files, and where a stop or a refused block ends them.
#include <QFile>
#include <gtest/gtest.h>

#include "bmp_job_fakes.h"
#include "core/main_module.h"
#include "core/versions.h"
#include "print/bmp_card_print.h"
#include "print/bmp_download_job.h"
#include "support/fake_link_api.h"
#include "support/scripted_dialogs.h"
#include "temp_dir.h"

namespace quorel::testing {
namespace {

const QString kEsc = QString(QChar(27));

// One received byte; a failed receive with nothing.
FakeResult Answer(char byte) {
  FakeResult r;
  r.out = {QByteArray(1, byte)};
  r.nums = {1};
  return r;
}
FakeResult NoAnswer() {
  FakeResult r;
  r.rc = 1;
  r.nums = {0};
  return r;
}
const QString kLf = QString(QChar(10));

class BmpJobTest : public ::testing::Test {
 protected:
  void SetUp() override {
    mm() = MainModule{};
    mm().gPortOpen = -1;
    mm().gNakRetry = 2;
    mm().gRespTimer = 500;
    mm().gAckTimer = 300;
    mm().gPort = 3;
    c_.bitmapFolder = dir_.path() + QLatin1Char('/');
    c_.filePath = QStringLiteral("  /pics/card.bmp ");
  }
  void UseArea(int area) {
    c_.area = area;
    c_.printArea = PrintAreaAt(area);
  }
  // Runs the job; the card print's box is answered Cancel unless said.
  void Run(BoxAnswer box = BoxAnswer::kCancel) {
    dialogs_.ExpectBox(ProgramTitle(), QStringLiteral("Please Insert a card"), box);
    Job().Run();
  }
  BmpDownloadJob Job() { return BmpDownloadJob(line_, link_, view_, watch_, c_); }
  QByteArray WorkFile(const char* name) {
    QFile f(dir_.file(QString::fromLatin1(name)));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }

  TempDir dir_;
  ScriptedDialogs dialogs_;
  FakeLinkApi link_;
  JobRecordingLine line_;
  printdata::RgbImage white_ = WhitePicture(320, 600);
  JobRecordingView view_{&white_};
  BmpStopwatch watch_;
  BmpJobChoices c_;
};

TEST(BmpJobCommands, ModeTrackAndTextBlock) {
  BmpMessageLines lines{QStringLiteral("TOP"), QStringLiteral("AB"), QStringLiteral("CD"), QStringLiteral("EF"),
                        QStringLiteral("GH")};
  EXPECT_EQ(BmpModeCommand(TrackCode(1), 0, QStringLiteral("7")), QStringLiteral("MS:C2H2X0N0Y6K0F0B7"));
  EXPECT_EQ(BmpModeCommand(TrackCode(0), 3, QStringLiteral("0")), QStringLiteral("MS:C1H1X0N0Y0K0F0B0"));
  EXPECT_EQ(BmpModeCommand(TrackCode(-1), 2, QStringLiteral("?")), QStringLiteral("MS:C0H0X0N0Y6K0F0B?"));
  EXPECT_EQ(TrackDataCommand(TrackCode(1), MagneticText(lines, 0)), QStringLiteral("WD:2/ABCDEFGH"));
  EXPECT_EQ(TrackDataCommand(TrackCode(0), MagneticText(lines, 3)), QStringLiteral("WD:1/ABCDEF"));
  EXPECT_TRUE(TrackDataCommand(TrackCode(-1), MagneticText(lines, 0)).isEmpty());
  EXPECT_TRUE(TextBlockCommand(lines, 0).isEmpty());
  EXPECT_TRUE(TextBlockCommand(lines, 1).isEmpty());
  EXPECT_EQ(TextBlockCommand(lines, 2), QStringLiteral("PD:0/0/32/") + kEsc + "e22TOP" + kLf + kEsc + "e11" + kEsc +
                                            "Y390AB" + kLf + "CD" + kLf + "EF" + kLf + "GH");
  EXPECT_EQ(TextBlockCommand(lines, 3), QStringLiteral("PD:0/0/32/") + kEsc + "e22TOP" + kLf + kEsc + "e11" + kEsc +
                                            "Y528AB" + kLf + "CD" + kLf + "EF");
  // 80 characters of area 2 are cut to 69; 69 stay.
  BmpMessageLines twenty{QString(), QString(20, 'a'), QString(20, 'b'), QString(20, 'c'), QString(20, 'd')};
  EXPECT_EQ(MagneticText(twenty, 2), (QString(20, 'a') + QString(20, 'b') + QString(20, 'c') + QString(20, 'd')).left(69));
  BmpMessageLines exact{QString(), QString(23, 'a'), QString(23, 'b'), QString(23, 'c'), QString()};
  EXPECT_EQ(MagneticText(exact, 0).size(), 69);
}

TEST(BmpJobCommands, BufferSizeAndRetries) {
  EXPECT_EQ(LibraryBufferSize(0, QStringLiteral("x")), 512);
  EXPECT_EQ(LibraryBufferSize(1, QString()), 1024);
  EXPECT_EQ(LibraryBufferSize(2, QStringLiteral(" 4096 ")), 4096);
  EXPECT_EQ(LibraryBufferSize(2, QStringLiteral("128")), 128);
  EXPECT_EQ(LibraryBufferSize(2, QStringLiteral("32767")), 32767);
  for (const char* bad : {"127", "32768", "", "12a", "4096.5", "-512", "0x200"})
    EXPECT_FALSE(LibraryBufferSize(2, QString::fromLatin1(bad))) << bad;
  EXPECT_EQ(LibraryRetries(-1), 3);
  EXPECT_EQ(LibraryRetries(0), 0);
  EXPECT_EQ(LibraryRetries(5), 5);
}

TEST_F(BmpJobTest, TrackTwoAreaZeroProgramMode) {
  c_.lines = {QStringLiteral("T"), QStringLiteral("AB"), QStringLiteral("CD"), QStringLiteral("EF"), QStringLiteral("GH")};
  c_.trackOption = 1;
  c_.cardKind = QStringLiteral("5");
  UseArea(0);
  Run(BoxAnswer::kOk);
  ASSERT_GE(line_.sent.size(), 3u);
  EXPECT_EQ(line_.sent[0], QStringLiteral("MS:C2H2X0N0Y6K0F0B5"));
  EXPECT_EQ(line_.sent[1], QStringLiteral("WD:2/ABCDEFGH"));
  EXPECT_EQ(line_.sent[2], QStringLiteral("PC"));
  const auto records = line_.Starting(QStringLiteral("PI:"));
  ASSERT_EQ(records.size(), 154u);
  EXPECT_EQ(records.back(), QStringLiteral("PI:0/459/40/") + QString(80, '0'));
  // No text block for area 0; the card print follows the image directly.
  const std::vector<QString> tail(line_.sent.end() - 5, line_.sent.end());
  EXPECT_EQ(tail, (std::vector<QString>{"MS:B5", "CI", "WR", "PR", "CO"}));
  EXPECT_EQ(line_.sent.size(), 3u + 154u + 5u);
  EXPECT_EQ(view_.last(), QString());
  EXPECT_EQ(view_.colour, kStatusYellow);
  // A white area 0 gives this work file, byte for byte in length.
  EXPECT_EQ(WorkFile("IRtemp.dat").size(), 39224);
}

TEST_F(BmpJobTest, AreaThreeCutsTheMagneticTextAndSendsThreeLines) {
  const QString l1(26, 'A'), l2(26, 'B'), l3(26, 'C'), l4(26, 'D');
  c_.lines = {QStringLiteral("TOP"), l1, l2, l3, l4};
  c_.trackOption = 0;
  UseArea(3);
  Run();
  EXPECT_EQ(line_.sent[1], QStringLiteral("WD:1/") + (l1 + l2 + l3).left(69));
  const auto pages = line_.Starting(QStringLiteral("PD:"));
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_EQ(pages[0], QStringLiteral("PD:0/0/32/") + kEsc + "e22TOP" + kLf + kEsc + "e11" + kEsc + "Y528" + l1 + kLf +
                          l2 + kLf + l3);
  EXPECT_EQ(line_.Starting(QStringLiteral("PI:")).size(), 155u);
  // The box was cancelled: nothing of the card print went out.
  EXPECT_EQ(line_.sent.back(), pages[0]);
}

TEST_F(BmpJobTest, NoTrackGivesC0H0AndNoTrackData) {
  UseArea(1);
  for (bool ib : {false, true}) {
    for (bool library : {false, true}) {
      line_.sent.clear();
      c_.ib = ib;
      c_.library = library;
      link_.SetDefault("crwReceiveBinaryData", Answer(0x06));
      Run();
      EXPECT_EQ(line_.Starting(QStringLiteral("MS:C")), std::vector<QString>{"MS:C0H0X0N0Y6K0F0B0"});
      EXPECT_TRUE(line_.Starting(QStringLiteral("WD")).empty());
    }
  }
}

TEST_F(BmpJobTest, SilverSendsRvAroundTheImageInProgramMode) {
  c_.silver = true;
  UseArea(2);
  Run();
  const int rv1 = line_.IndexOf(QStringLiteral("RV"));
  const int rv2 = line_.IndexOf(QStringLiteral("RV"), rv1 + 1);
  ASSERT_GE(rv1, 0);
  ASSERT_GT(rv2, rv1);
  EXPECT_EQ(line_.sent[static_cast<size_t>(rv1) - 1], QStringLiteral("PC"));
  EXPECT_TRUE(line_.sent[static_cast<size_t>(rv1) + 1].startsWith(QStringLiteral("PI:0/60/40/")));
  EXPECT_TRUE(line_.sent[static_cast<size_t>(rv2) - 1].startsWith(QStringLiteral("PI:0/357/40/")));
  EXPECT_TRUE(line_.sent[static_cast<size_t>(rv2) + 1].startsWith(QStringLiteral("PD:0/0/32/")));

  // The binary download: "RV" before "IB" and again after the blocks.
  line_.sent.clear();
  c_.ib = true;
  link_.SetDefault("crwReceiveBinaryData", Answer(0x06));
  Run();
  EXPECT_EQ(line_.sent, (std::vector<QString>{"PC", "MS:C0H0X0N0Y6K0F0B0", "RV", "IB", "RV",
                                               TextBlockCommand(c_.lines, 2)}));
  EXPECT_EQ(link_.Count("crwSendBinaryDataQR"), 75);

  // The library's variants send one "RV", before the call.
  for (bool ib : {false, true}) {
    line_.sent.clear();
    c_.ib = ib;
    c_.library = true;
    Run();
    EXPECT_EQ(line_.sent, (std::vector<QString>{"PC", "MS:C0H0X0N0Y6K0F0B0", "RV", TextBlockCommand(c_.lines, 2)}));
  }
}

TEST_F(BmpJobTest, UnopenablePortShowsOneBoxAndSendsNothing) {
  mm().gPortOpen = 0;
  line_.openable = false;
  dialogs_.ExpectBox(QStringLiteral("通信エラー"),
                     QStringLiteral("通信できません！\r\n通信設定やケーブルを見直してください。"), BoxAnswer::kOk);
  Job().Run();
  EXPECT_EQ(line_.iniCalls, 1);
  EXPECT_EQ(line_.polls, 0);
  EXPECT_TRUE(line_.sent.empty());
  EXPECT_EQ(dialogs_.recorded().size(), 1u);
}

TEST_F(BmpJobTest, PreambleFollowsTheLastReply) {
  mm().gReplyKind = QStringLiteral("R");
  mm().gReplyStatus = QStringLiteral("20");
  UseArea(0);
  Run();
  EXPECT_EQ(line_.polls, 1);
  EXPECT_EQ(line_.sent.front(), QStringLiteral("PA"));
}

TEST_F(BmpJobTest, AreaTwoRecordsStartEveryThirdRow) {
  UseArea(2);
  Run();
  const auto records = line_.Starting(QStringLiteral("PI:"));
  ASSERT_EQ(records.size(), 100u);
  for (size_t i = 0; i < records.size(); ++i) {
    const QString head = QStringLiteral("PI:0/%1/40/").arg(60 + 3 * static_cast<int>(i));
    EXPECT_TRUE(records[i].startsWith(head)) << records[i].left(16).toStdString();
    EXPECT_EQ(records[i].size(), head.size() + 3 * 80 + 2);
  }
}

TEST_F(BmpJobTest, RecordsCarryTheDotsOfTheirRows) {
  Blacken(&white_, 0, 0);
  Blacken(&white_, 319, 1);
  Blacken(&white_, 5, 459);
  UseArea(0);
  Run();
  const auto records = line_.Starting(QStringLiteral("PI:"));
  ASSERT_EQ(records.size(), 154u);
  EXPECT_EQ(records[0], QStringLiteral("PI:0/0/40/8") + QString(79, '0') + "/" + QString(79, '0') + "1/" + QString(80, '0'));
  EXPECT_EQ(records[153], QStringLiteral("PI:0/459/40/04") + QString(78, '0'));
  // The work file holds the same records, each closed by CR LF.
  QByteArray expected;
  for (const QString& r : records) expected += r.toLatin1() + "\r\n";
  EXPECT_EQ(WorkFile("IRtemp.dat"), expected);
}

TEST_F(BmpJobTest, MissingBitmapFolderIsNotedAndTheJobGoesOn) {
  c_.bitmapFolder = dir_.file(QStringLiteral("missing")) + QLatin1Char('/');
  UseArea(2);
  Run();
  EXPECT_EQ(line_.Starting(QStringLiteral("PI:")).size(), 100u);
  ASSERT_EQ(view_.notes.size(), 1u);
  EXPECT_TRUE(view_.notes[0].endsWith(QStringLiteral("missing/IRtemp.dat")));
}

TEST_F(BmpJobTest, StopInsideARowKeepsOnlyCompletedRecords) {
  UseArea(0);
  // The stop comes while row 7 is converted: records 1 and 2 (rows 0-5) are
  // complete, row 6 is in an unfinished record and row 7 is cut.
  view_.onPump = [this] {
    if (view_.pumps == 8) mm().gStopRequest = 1;
  };
  Job().Run();
  EXPECT_TRUE(line_.sent.empty());
  EXPECT_EQ(view_.last(), QStringLiteral("Stop"));
  EXPECT_EQ(view_.colour, kStatusYellow);
  const QList<QByteArray> lines = WorkFile("IRtemp.dat").split('\n');
  ASSERT_EQ(lines.size(), 3);  // two records and what follows the last LF
  EXPECT_TRUE(lines[1].startsWith("PI:0/3/40/"));
  EXPECT_TRUE(lines[2].isEmpty());
}

TEST_F(BmpJobTest, LibraryModeCallsWithTheWindowsArguments) {
  c_.library = true;
  c_.bufferOption = 2;
  c_.bufferText = QStringLiteral(" 4096 ");
  mm().gNakRetry = -1;
  UseArea(2);
  Run();
  auto calls = link_.CallsOf("crwPIDataSend");
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].args, (std::vector<QByteArray>{"3", "3", "0", "1", "319", "299", "0", "60", "500", "4096",
                                                   "/pics/card.bmp"}));
  EXPECT_TRUE(line_.timerOn);

  c_.ib = true;
  c_.bufferOption = 0;
  Run();
  calls = link_.CallsOf("crwIBBinarySend");
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].args, (std::vector<QByteArray>{"3", "3", "0", "1", "319", "299", "60", "500", "512",
                                                   "/pics/card.bmp"}));
}

TEST_F(BmpJobTest, RefusedBufferSizeShowsABoxAndSendsNothing) {
  c_.library = true;
  c_.bufferOption = 2;
  UseArea(0);
  for (const char* bad : {"abc", "127", "32768"}) {
    c_.bufferText = QString::fromLatin1(bad);
    dialogs_.ExpectBox(ProgramTitle(), BufferSizeRefusal(), BoxAnswer::kOk);
    Job().Run();
  }
  EXPECT_TRUE(line_.sent.empty());
  EXPECT_EQ(link_.Count("crwPIDataSend"), 0);
}

TEST_F(BmpJobTest, LibraryFailureIsRedAndHandsTheChannelBack) {
  c_.library = true;
  UseArea(0);
  link_.Push("crwPIDataSend", 100);
  Job().Run();
  EXPECT_EQ(view_.last(), QStringLiteral("BMP Data Transmit Error"));
  EXPECT_EQ(view_.colour, kStatusRed);
  EXPECT_TRUE(line_.timerOn);
  EXPECT_EQ(line_.sent, (std::vector<QString>{"PC", "MS:C0H0X0N0Y6K0F0B0"}));

  line_.sent.clear();
  c_.ib = true;
  link_.Push("crwIBBinarySend", 100);
  dialogs_.ExpectBox(QStringLiteral("ret=crwIBBinarySend"), QStringLiteral("100 = crwIBBinarySend"), BoxAnswer::kOk);
  Job().Run();
  EXPECT_EQ(view_.last(), QStringLiteral("BMP Data Transmit Error"));
  EXPECT_TRUE(line_.timerOn);
  EXPECT_EQ(line_.sent.size(), 2u);
}

TEST_F(BmpJobTest, StopBeforeTheLibraryCallIsNotDropped) {
  c_.library = true;
  c_.trackOption = 0;
  UseArea(0);
  for (bool ib : {false, true}) {
    c_.ib = ib;
    line_.sent.clear();
    line_.onSend = [](const QString& c) {
      if (c.startsWith(QStringLiteral("MS:"))) mm().gStopRequest = 1;
    };
    Job().Run();
    EXPECT_EQ(view_.last(), QStringLiteral("Stop"));
    EXPECT_EQ(line_.sent.size(), 3u);  // PC, MS:, WD:
  }
  EXPECT_EQ(link_.Count("crwPIDataSend") + link_.Count("crwIBBinarySend"), 0);
}

TEST_F(BmpJobTest, IbBlocksPadTheLastRowsOfAreaThree) {
  c_.ib = true;
  UseArea(3);
  Blacken(&white_, 0, 464);
  link_.SetDefault("crwReceiveBinaryData", Answer(0x06));
  BmpDownloadJob job = Job();
  dialogs_.ExpectBox(ProgramTitle(), QStringLiteral("Please Insert a card"), BoxAnswer::kCancel);
  job.Run();
  ASSERT_EQ(job.blocks().size(), 117u);
  const QByteArray& first = job.blocks().front();
  EXPECT_EQ(first.size(), 164);
  EXPECT_EQ(static_cast<uint8_t>(first[1]), 15);
  EXPECT_EQ(static_cast<uint8_t>(first[2]), 240);
  const QByteArray& last = job.blocks().back();
  EXPECT_EQ(static_cast<uint8_t>(last[0]), 1);
  EXPECT_EQ(static_cast<uint8_t>(last[1]), 131);
  EXPECT_EQ(static_cast<uint8_t>(last[2]), 124);
  EXPECT_EQ(static_cast<uint8_t>(last[3]), 0x80);  // row 464, first byte
  for (int i = 4; i < 163; ++i) EXPECT_EQ(last[i], 0) << i;
  EXPECT_EQ(static_cast<uint8_t>(last[163]), 0x80);
  EXPECT_EQ(link_.Count("crwSendBinaryDataQR"), 117);
  QByteArray all;
  for (const QByteArray& b : job.blocks()) all += b;
  EXPECT_EQ(WorkFile("IBtemp.dat"), all);
  EXPECT_EQ(mm().gLineBusy, 0);
  EXPECT_EQ(mm().gPollBusy, 0);
  EXPECT_EQ(view_.colour, kStatusCyan);
}

TEST_F(BmpJobTest, RefusedBlockEndsWithErrorAndFreesTheChannel) {
  c_.ib = true;
  UseArea(1);
  link_.SetDefault("crwReceiveBinaryData", Answer(0x06));
  for (int i = 0; i < 3; ++i) link_.Push("crwReceiveBinaryData", Answer(0x06));
  link_.Push("crwReceiveBinaryData", Answer(0x15));
  Job().Run();
  EXPECT_EQ(link_.Count("crwSendBinaryDataQR"), 4);
  EXPECT_EQ(view_.last(), QStringLiteral("Error"));
  EXPECT_EQ(mm().gLineBusy, 0);
  EXPECT_EQ(mm().gPollBusy, 0);
  EXPECT_TRUE(line_.timerOn);
  EXPECT_EQ(line_.sent.back(), QStringLiteral("IB"));
  // Another window's command goes out afterwards.
  mm().gSendCommand = QStringLiteral("VS");
  EXPECT_EQ(line_.comu(), ComuOutcome::kAnswered);
}

TEST_F(BmpJobTest, SilentDeviceEndsWithErrorOnStopOrClosedPort) {
  c_.ib = true;
  UseArea(1);
  // No answer at all; Stop comes in the third wait. Its "CL" is refused at
  // once (the block phase holds the channel), then the flag is raised.
  link_.SetDefault("crwReceiveBinaryData", NoAnswer());
  int waits = 0;
  view_.onPump = [&] {
    if (mm().gPollBusy != 0 && ++waits == 3) {
      mm().gSendCommand = QStringLiteral("CL");
      EXPECT_EQ(line_.comu(), ComuOutcome::kBusy);
      mm().gStopRequest = 1;
    }
  };
  Job().Run();
  EXPECT_EQ(view_.last(), QStringLiteral("Error"));
  EXPECT_EQ(link_.Count("crwSendBinaryDataQR"), 1);
  EXPECT_EQ(link_.Count("crwReceiveBinaryData"), 3);
  EXPECT_EQ(mm().gPollBusy, 0);

  // The port closes under the loop: it ends too.
  view_.onPump = [] {
    if (mm().gPollBusy != 0) mm().gPortOpen = 0;
  };
  mm().gStopRequest = 0;
  link_.ClearCalls();
  Job().Run();
  EXPECT_EQ(view_.last(), QStringLiteral("Error"));
  EXPECT_EQ(link_.Count("crwReceiveBinaryData"), 1);
  EXPECT_EQ(mm().gLineBusy, 0);
}

TEST_F(BmpJobTest, CardPrintSequence) {
  dialogs_.ExpectBox(ProgramTitle(), QStringLiteral("Please Insert a card"), BoxAnswer::kOk);
  EXPECT_TRUE(RunCardPrint(line_, view_, QStringLiteral(";: PET")));
  EXPECT_EQ(line_.sent, (std::vector<QString>{"MS:B;", "CI", "WR", "PR", "CO"}));
  EXPECT_EQ(view_.captions, (std::vector<QString>{"Card In", "Write", "Print", "Finish"}));

  // A stop during "WR" ends it before "PR"; a closed box sends nothing.
  line_.sent.clear();
  line_.onSend = [](const QString& c) {
    if (c == QLatin1String("WR")) mm().gStopRequest = 1;
  };
  dialogs_.ExpectBox(ProgramTitle(), QStringLiteral("Please Insert a card"), BoxAnswer::kOk);
  EXPECT_FALSE(RunCardPrint(line_, view_, QStringLiteral("0")));
  EXPECT_EQ(line_.sent, (std::vector<QString>{"MS:B0", "CI", "WR"}));
  EXPECT_EQ(view_.last(), QStringLiteral("Stop"));
  EXPECT_EQ(view_.colour, kStatusCyan);

  mm().gStopRequest = 0;
  line_.sent.clear();
  dialogs_.ExpectBox(ProgramTitle(), QStringLiteral("Please Insert a card"), BoxAnswer::kCancel);
  EXPECT_FALSE(RunCardPrint(line_, view_, QStringLiteral("0")));
  EXPECT_TRUE(line_.sent.empty());
}

}  // namespace
}  // namespace quorel::testing

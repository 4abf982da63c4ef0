// The picture download exports against the simulated device: the "PI"
// records and "IB" blocks on the wire, the block answers and their retries,
// the closing verdict poll, the refusals before anything is sent, and the
// device's image RAM after a download from BMP files of every kind.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "link_fixture.h"
#include "picture_files.h"
#include "wire/codec.h"

namespace coretest {
namespace {

using dltest::BmpKind;
using dltest::DotPattern;

constexpr int kCom = 6;

// A host or device transcript line: "host CMD IB", "dev ACK".
std::string Line(const sim::TranscriptEntry& e) {
  return std::string(e.dir == sim::Dir::Host ? "host " : "dev ") + e.tag;
}

Bytes TextCommand(const char* code, const std::string& data) {
  return wire::TextCommandFrame(reinterpret_cast<const uint8_t*>(code),
                                reinterpret_cast<const uint8_t*>(data.data()), data.size());
}

// A dot wherever x equals y.
bool Diagonal(int x, int y) { return x == y; }

class DownloadTest : public LinkTest {
 protected:
  void SetUp() override {
    LinkTest::SetUp();
    if (HasFatalFailure()) return;
    OpenDevice(kCom);
  }
  void TearDown() override {
    Take(code_);
    Take(status_);
    LinkTest::TearDown();
  }

  std::string File(const std::string& name, const std::string& bytes) {
    const std::string path = work_ + "/" + name;
    WriteFile(path, bytes);
    return path;
  }
  std::string Picture(int width, int height, const DotPattern& dot,
                      BmpKind kind = BmpKind::Bits24BottomUp) {
    return File("picture.bmp", dltest::Bmp(width, height, kind, dot));
  }

  int16_t PI(const std::string& path, int width, int height, int16_t startColumn = 0,
             int16_t rowBase = 0, int32_t bufferSize = 2048) {
    return crwPIDataSend(kCom, 0, 0, 1, static_cast<int16_t>(width - 1),
                         static_cast<int16_t>(height - 1), startColumn, rowBase, 1000, bufferSize,
                         path.c_str(), &code_, &status_);
  }
  int16_t IB(const std::string& path, int width, int height, int16_t retries = 2,
             int16_t rowBase = 0, int32_t timeoutMs = 1000, int32_t bufferSize = 512) {
    return crwIBBinarySend(kCom, retries, 0, 0, static_cast<int16_t>(width - 1),
                           static_cast<int16_t>(height - 1), rowBase, timeoutMs, bufferSize,
                           path.c_str(), &code_, &status_);
  }

  // The host's and the device's transcript lines, once the device's last
  // line `last` has been recorded (an answer may still be on its way out
  // when a call returns).
  std::vector<std::string> Lines(const std::string& last, int count = 1) {
    EXPECT_TRUE(sim_.WaitForTag(sim::Dir::Device, last, count, 1000)) << last;
    std::vector<std::string> out;
    for (const auto& e : sim_.Transcript())
      if (e.dir == sim::Dir::Host || e.dir == sim::Dir::Device) out.push_back(Line(e));
    return out;
  }
  size_t HostEntries() {
    size_t n = 0;
    for (const auto& e : sim_.Transcript()) n += e.dir == sim::Dir::Host;
    return n;
  }
  Bytes HostBytes(const std::string& tag) {
    for (const auto& e : sim_.Transcript())
      if (e.dir == sim::Dir::Host && e.tag == tag) return e.bytes;
    return {};
  }

  char* code_ = nullptr;
  char* status_ = nullptr;
};

// ---- "PI" ----

using PIDataSend = DownloadTest;

TEST_F(PIDataSend, EightByOneBlackIsOneRecord) {
  const std::string path = Picture(8, 1, [](int, int) { return true; });
  ASSERT_EQ(CRW_OK, PI(path, 8, 1));
  EXPECT_EQ(Lines("REPLY A PI 90"),
            std::vector<std::string>({"host CMD PI :0/0/1/FF", "dev ACK", "host POLL",
                                      "dev REPLY B PI 00", "host POLL", "dev REPLY A PI 90"}));
  EXPECT_EQ(TextCommand("PI", ":0/0/1/FF"), HostBytes("CMD PI :0/0/1/FF"));
  EXPECT_EQ("PI", Take(code_));
  EXPECT_EQ("90", Take(status_));
  EXPECT_EQ(sim_.ImageRows(), (std::map<int, Bytes>{{0, {0xFF}}}));
}

TEST_F(PIDataSend, RowsGoInRecordsAsTheBufferAllows) {
  // Rows FF, 00, 81: a buffer of 2048 holds them all in one record; 26 (the
  // least that holds the longest header, one row and the reserve) one row
  // each.
  const DotPattern dots = [](int x, int y) { return y == 0 || (y == 2 && (x == 0 || x == 7)); };
  const std::string path = Picture(8, 3, dots);
  ASSERT_EQ(CRW_OK, PI(path, 8, 3, 0, 0, 2048));
  ASSERT_EQ(CRW_OK, PI(path, 8, 3, 0, 60, 26));
  std::vector<std::string> commands;
  for (const std::string& l : Lines("REPLY A PI 90", 4))
    if (l.rfind("host CMD", 0) == 0) commands.push_back(l);
  EXPECT_EQ(commands,
            std::vector<std::string>({"host CMD PI :0/0/1/FF/00/81", "host CMD PI :0/60/1/FF",
                                      "host CMD PI :0/61/1/00", "host CMD PI :0/62/1/81"}));
  EXPECT_EQ(sim_.ImageRows(),
            (std::map<int, Bytes>{
                {0, {0xFF}}, {1, {0x00}}, {2, {0x81}}, {60, {0xFF}}, {61, {0x00}}, {62, {0x81}}}));
}

TEST_F(PIDataSend, StartColumnCutsTheLeftOfEveryRow) {
  // 16 dots from column 4: 12 columns, 1 byte a row by the header, three
  // hex digits.
  const std::string path = Picture(16, 1, [](int x, int) { return x >= 4 && x < 8; });
  ASSERT_EQ(CRW_OK, PI(path, 16, 1, 4));
  EXPECT_EQ(1, sim_.CountTag(sim::Dir::Host, "CMD PI :0/0/1/F00"));
}

TEST_F(PIDataSend, FirstFailedRecordStopsTheDownload) {
  Control("reply PI nak");
  const std::string path = Picture(8, 3, Diagonal);
  EXPECT_EQ(CRW_NAK, PI(path, 8, 3, 0, 0, 25));
  EXPECT_EQ(1, sim_.CountTag(sim::Dir::Host, "CMD PI"));
}

TEST_F(PIDataSend, DeviceAnswersAMalformedRecordWithAnErrorStatus) {
  // The device's side: a row shorter than its byte count, a digit that is
  // none, a record without rows.
  for (const char* data : {":0/0/1/F", ":0/0/1/FG", ":0/0/1/", "0/0/1/FF", ":0/0/1/FF/FFF"}) {
    ASSERT_EQ(CRW_OK,
              crwSendCommandRR(kCom, 1, 1000, 3000, 0, "PI", data,
                               static_cast<int16_t>(strlen(data)), &code_, &status_, nullptr));
    EXPECT_EQ("14", Take(status_)) << data;
  }
  EXPECT_TRUE(sim_.ImageRows().empty());
}

// ---- "IB" ----

using IBBinarySend = DownloadTest;

TEST_F(IBBinarySend, SixteenRowsGoAsFourAnsweredBlocksThenTheVerdictPoll) {
  Control("ibwidth 16");
  const std::string path = Picture(16, 16, Diagonal);
  ASSERT_EQ(CRW_OK, IB(path, 16, 16));
  EXPECT_EQ(Lines("REPLY R"),
            std::vector<std::string>({"host CMD IB", "dev ACK", "host POLL", "dev REPLY A IB 90",
                                      "host BLOCK 0", "dev ACK", "host BLOCK 1", "dev ACK",
                                      "host BLOCK 2", "dev ACK", "host BLOCK 3", "dev ACK",
                                      "host POLL", "dev REPLY R 00 00"}));
  // Rows 0-3 of the diagonal: 80 00, 40 00, 20 00, 10 00; their sum F0.
  EXPECT_EQ(HostBytes("BLOCK 0"),
            Bytes({0x01, 0x00, 0xFF, 0x80, 0x00, 0x40, 0x00, 0x20, 0x00, 0x10, 0x00, 0xF0}));
  EXPECT_EQ(HostBytes("BLOCK 3"),
            Bytes({0x01, 0x03, 0xFC, 0x00, 0x08, 0x00, 0x04, 0x00, 0x02, 0x00, 0x01, 0x0F}));
  EXPECT_EQ("IB", Take(code_));
  EXPECT_EQ("90", Take(status_));
  // The verdict poll ended the block mode: commands are heard again.
  ASSERT_EQ(CRW_OK,
            crwSendCommandRR(kCom, 1, 1000, 3000, 0, "ST", "", 0, &code_, &status_, nullptr));
  EXPECT_EQ("ST", Take(code_));
}

TEST_F(IBBinarySend, BrokenIBReplyIsSentAgainFromTheBlockMode) {
  // The block mode begins with the "IB" reply; the host's NAK for a broken
  // one reaches the mode, which sends the reply again.
  Control("ibwidth 8");
  Control("badbcc 1");
  ASSERT_EQ(CRW_OK, IB(Picture(8, 4, Diagonal), 8, 4, 0));
  EXPECT_EQ(
      Lines("REPLY R"),
      std::vector<std::string>({"host CMD IB", "dev ACK", "host POLL", "dev REPLY A IB 90 [badbcc]",
                                "host NAK", "dev REPLY A IB 90 [resend]", "host BLOCK 0", "dev ACK",
                                "host POLL", "dev REPLY R 00 00"}));
}

TEST_F(IBBinarySend, RowBaseNumbersTheBlocks) {
  Control("ibwidth 8");
  ASSERT_EQ(CRW_OK, IB(Picture(8, 8, Diagonal), 8, 8, 0, 60));
  EXPECT_EQ(HostBytes("BLOCK 15"), Bytes({0x01, 0x0F, 0xF0, 0x80, 0x40, 0x20, 0x10, 0xF0}));
  EXPECT_EQ(1, sim_.CountTag(sim::Dir::Host, "BLOCK 16"));
  EXPECT_EQ(sim_.ImageRows().begin()->first, 60);
}

TEST_F(IBBinarySend, BlockNakedOnEveryTryGives120AndTheVerdictPollStillGoes) {
  Control("ibwidth 16");
  Control("ibnak 1 always");
  EXPECT_EQ(CRW_BCC_RETRY_ERROR, IB(Picture(16, 16, Diagonal), 16, 16, 2));
  EXPECT_EQ(Lines("REPLY R"),
            std::vector<std::string>({"host CMD IB", "dev ACK", "host POLL", "dev REPLY A IB 90",
                                      "host BLOCK 0", "dev ACK", "host BLOCK 1", "dev NAK [forced]",
                                      "host BLOCK 1", "dev NAK [forced]", "host BLOCK 1",
                                      "dev NAK [forced]", "host POLL", "dev REPLY R 00 00"}));
}

TEST_F(IBBinarySend, UnansweredBlockIsSentAgain) {
  Control("ibwidth 16");
  Control("ibsilent 1");
  ASSERT_EQ(CRW_OK, IB(Picture(16, 4, Diagonal), 16, 4, 1, 0, 150));
  EXPECT_EQ(Lines("REPLY R"),
            std::vector<std::string>({"host CMD IB", "dev ACK", "host POLL", "dev REPLY A IB 90",
                                      "host BLOCK 0", "host BLOCK 0", "dev ACK", "host POLL",
                                      "dev REPLY R 00 00"}));
}

TEST_F(IBBinarySend, SilentDeviceGivesTheTimeOut) {
  Control("ibwidth 16");
  Control("ibsilent always");
  EXPECT_EQ(CRW_TIMEOUT, IB(Picture(16, 8, Diagonal), 16, 8, 0, 0, 100));
  EXPECT_EQ(1, sim_.CountTag(sim::Dir::Host, "BLOCK 0"));
  EXPECT_EQ(0, sim_.CountTag(sim::Dir::Host, "BLOCK 1"));
  EXPECT_TRUE(sim_.WaitForTag(sim::Dir::Host, "POLL", 2, 1000));
}

TEST_F(IBBinarySend, VerdictWithABadBccIsPolledAgain) {
  Control("ibwidth 16");
  Control("ibbadbcc 1");
  EXPECT_EQ(CRW_BCC_RETRY_ERROR, IB(Picture(16, 4, Diagonal), 16, 4, 0));
  EXPECT_EQ(1, sim_.CountTag(sim::Dir::Device, "REPLY R 00 00 [badbcc]"));

  Control("ibbadbcc 1");
  ASSERT_EQ(CRW_OK, IB(Picture(16, 4, Diagonal), 16, 4, 1));
  EXPECT_EQ(2, sim_.CountTag(sim::Dir::Device, "REPLY R 00 00 [badbcc]"));
  EXPECT_TRUE(sim_.WaitForTag(sim::Dir::Device, "REPLY R 00 00", 3, 1000));
}

TEST_F(IBBinarySend, VerdictMustBeAnRFrame) {
  // After the blocks the device's idle answer is a power-up report ("R 20
  // 00"), still a verdict; a reply of another kind is none.
  Control("ibwidth 8");
  Control("idle 20 00");
  ASSERT_EQ(CRW_OK, IB(Picture(8, 4, Diagonal), 8, 4, 0));
  Control("idle 00 00");
  Control("kind A always");
  EXPECT_EQ(CRW_BCC_RETRY_ERROR, IB(Picture(8, 4, Diagonal), 8, 4, 0));
}

TEST_F(IBBinarySend, DeviceNaksABlockWithABadHeaderOrSum) {
  // The device's side, through the raw transfers.
  Control("ibwidth 8");
  ASSERT_EQ(CRW_OK,
            crwSendCommandRR(kCom, 1, 1000, 3000, 0, "IB", "", 0, &code_, &status_, nullptr));
  auto answer = [&](const Bytes& block) {
    EXPECT_EQ(CRW_OK, crwSendBinaryDataQR(kCom, 1000, 0, 0, block.data(),
                                          static_cast<int16_t>(block.size())));
    uint8_t buf[512];
    int16_t got = 0;
    EXPECT_EQ(CRW_OK, crwReceiveBinaryData(kCom, 1000, 0, buf, sizeof buf, &got));
    return Bytes(buf, buf + got);
  };
  EXPECT_EQ(answer({0x01, 0x00, 0xFE, 0x80, 0x40, 0x20, 0x10, 0xF0}), Bytes({0x15}));
  EXPECT_EQ(answer({0x01, 0x00, 0xFF, 0x80, 0x40, 0x20, 0x10, 0xF1}), Bytes({0x15}));
  EXPECT_EQ(answer({0x01, 0x00, 0xFF, 0x80, 0x40, 0x20, 0x10, 0xF0}), Bytes({0x06}));
  EXPECT_EQ(answer({0x04, 0x05}), wire::ResponseFrame('R', "00", "00", nullptr, 0));
  EXPECT_EQ(sim_.ImageRows(),
            (std::map<int, Bytes>{{0, {0x80}}, {1, {0x40}}, {2, {0x20}}, {3, {0x10}}}));
  EXPECT_EQ(1, sim_.CountTag(sim::Dir::Host, "BLOCK 0 [badheader]"));
  EXPECT_EQ(1, sim_.CountTag(sim::Dir::Host, "BLOCK 0 [badsum]"));
}

// ---- refusals: nothing goes on the wire ----

using DownloadRefusal = DownloadTest;

TEST_F(DownloadRefusal, PicturesThatAreNotBitmapsGive200) {
  for (const std::string& path : {File("p.png", dltest::Png()), File("i.ico", dltest::Icon())}) {
    EXPECT_EQ(200, PI(path, 8, 1)) << path;
    EXPECT_EQ(200, IB(path, 8, 4)) << path;
  }
  EXPECT_EQ(0u, HostEntries());
}

TEST_F(DownloadRefusal, MissingFileOrPathGives100) {
  for (const std::string& path : {work_ + "/missing.bmp", std::string()}) {
    EXPECT_EQ(CRW_PARAMETER_ERROR, PI(path, 8, 1)) << path;
    EXPECT_EQ(CRW_PARAMETER_ERROR, IB(path, 8, 4)) << path;
  }
  EXPECT_EQ(CRW_PARAMETER_ERROR,
            crwPIDataSend(kCom, 0, 0, 1, 7, 0, 0, 0, 1000, 2048, nullptr, &code_, &status_));
  EXPECT_EQ(CRW_PARAMETER_ERROR,
            crwIBBinarySend(kCom, 0, 0, 0, 7, 3, 0, 1000, 512, nullptr, &code_, &status_));
  EXPECT_EQ(0u, HostEntries());
}

TEST_F(DownloadRefusal, UnusableSizesGive100) {
  const std::string path = Picture(8, 4, Diagonal);
  EXPECT_EQ(CRW_PARAMETER_ERROR, PI(path, 0, 1));            // last column -1
  EXPECT_EQ(CRW_PARAMETER_ERROR, PI(path, 8, 0));            // last row -1
  EXPECT_EQ(CRW_PARAMETER_ERROR, PI(path, 8, 1, 0, 0, 0));   // no record buffer
  EXPECT_EQ(CRW_PARAMETER_ERROR, PI(path, 8, 1, 0, 0, 24));  // no room for a row and the reserve
  EXPECT_EQ(CRW_PARAMETER_ERROR, PI(path, 8, 1, 8));         // start column past the last
  EXPECT_EQ(CRW_PARAMETER_ERROR, PI(path, 32768, 1));        // 16-bit wrap
  EXPECT_EQ(CRW_PARAMETER_ERROR, IB(path, 0, 4));
  EXPECT_EQ(CRW_PARAMETER_ERROR, IB(path, 8, 4, -1));  // retries
  EXPECT_EQ(CRW_PARAMETER_ERROR, IB(path, 8, 4, 0, 0, 1000, 0));
  EXPECT_EQ(CRW_PARAMETER_ERROR, IB(path, 8, 4, 0, 0, 1000, 7));  // smaller than a block
  EXPECT_EQ(CRW_PARAMETER_ERROR, IB(path, 8, 4, 0, -1));
  EXPECT_EQ(0u, HostEntries());
}

TEST_F(DownloadRefusal, ClosedPortIsReportedByTheFirstExchange) {
  const std::string path = Picture(8, 4, Diagonal);
  ASSERT_EQ(CRW_OK, crwClosePort(kCom));
  EXPECT_EQ(CRW_PORT_NOT_OPEN, PI(path, 8, 4));
  EXPECT_EQ(CRW_PORT_NOT_OPEN, IB(path, 8, 4));
}

// ---- the image RAM after a download, from every kind of BMP ----

// 20 dots wide (not whole bytes) and 10 rows (not whole blocks).
constexpr int kWidth = 20;
constexpr int kHeight = 10;
bool Pattern(int x, int y) { return (x * 3 + y * 5) % 7 < 3 || x == 19 - y; }

struct RamCase {
  BmpKind kind;
  bool blocks;  // "IB", else "PI"
};

std::string Name(const RamCase& c) {
  static const char* const kNames[] = {"Bits1", "Bits8", "Bits24BottomUp", "Bits24TopDown"};
  return std::string(c.blocks ? "IB_" : "PI_") + kNames[static_cast<int>(c.kind)];
}
void PrintTo(const RamCase& c, std::ostream* os) { *os << Name(c); }

class ImageRamTest : public DownloadTest, public ::testing::WithParamInterface<RamCase> {};

TEST_P(ImageRamTest, HoldsThePictureDotsRowByRow) {
  const RamCase c = GetParam();
  const std::string path = Picture(kWidth, kHeight, Pattern, c.kind);
  std::map<int, Bytes> expected;
  for (int y = 0; y < kHeight; ++y) expected[60 + y] = dltest::DotRow(kWidth, y, Pattern);
  if (c.blocks) {
    Control("ibwidth 20");
    ASSERT_EQ(CRW_OK, IB(path, kWidth, kHeight, 0, 60));
    // The last block's two rows past the picture carry no dots.
    expected[70] = expected[71] = Bytes(3, 0);
  } else {
    // A small record buffer: several records of a few rows.
    ASSERT_EQ(CRW_OK, PI(path, kWidth, kHeight, 0, 60, 48));
    EXPECT_GT(sim_.CountTag(sim::Dir::Host, "CMD PI"), 2);
  }
  EXPECT_EQ(sim_.ImageRows(), expected);
}

std::string CaseName(const ::testing::TestParamInfo<RamCase>& info) { return Name(info.param); }

INSTANTIATE_TEST_SUITE_P(
    Bmp, ImageRamTest,
    ::testing::Values(RamCase{BmpKind::Bits1, false}, RamCase{BmpKind::Bits8, false},
                      RamCase{BmpKind::Bits24BottomUp, false},
                      RamCase{BmpKind::Bits24TopDown, false}, RamCase{BmpKind::Bits1, true},
                      RamCase{BmpKind::Bits8, true}, RamCase{BmpKind::Bits24BottomUp, true},
                      RamCase{BmpKind::Bits24TopDown, true}),
    CaseName);

}  // namespace
}  // namespace coretest

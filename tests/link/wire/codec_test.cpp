// Golden vectors of the wire codecs: every byte that crosses the line.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "wire/codec.h"
#include "wire/hex.h"

namespace wire {
namespace {

const uint8_t kST[2] = {'S', 'T'};

Bytes B(const std::string& hex) { return ParseHex(hex); }
std::string H(const Bytes& b) { return HexString(b); }
const uint8_t* U(const char* s) { return reinterpret_cast<const uint8_t*>(s); }

// Reply A/ST/90 with one data byte chosen so that the BCC takes a given value.
Bytes ReplyWithBcc(uint8_t bcc) {
  const uint8_t d = static_cast<uint8_t>(0x4C ^ bcc);  // 0x4C: the BCC with no data
  Bytes f = ResponseFrame('A', "ST", "90", &d, 1);
  EXPECT_EQ(bcc, f.back());
  return f;
}

// ---- BCC and text frames built by the library and the device ----

TEST(TextFrames, GoldenVectors) {
  EXPECT_EQ("04 02 53 54 41 42 03 07", H(TextCommandFrame(kST, U("AB"), 2)));
  EXPECT_EQ("04 02 53 54 03 04", H(TextCommandFrame(kST, nullptr, 0)));
  EXPECT_EQ("04 05", H(PollFrame()));
  EXPECT_EQ("02 41 53 54 39 30 03 4C", H(ResponseFrame('A', "ST", "90", nullptr, 0)));
  EXPECT_EQ("02 41 42 03 00", H(DataFrame(U("AB"), 2)));
  EXPECT_EQ("02 03 03", H(DataFrame(nullptr, 0)));
  EXPECT_EQ("02 42 53 54 30 30 31 03 77", H(ResponseFrame('B', "ST", "00", U("1"), 1)));
}

TEST(TextFrames, DataByteStxDoesNotEnterBcc) {
  // 41 ^ 42 ^ 03 = 00: the 0x02 between them is left out.
  EXPECT_EQ("02 41 02 42 03 00", H(DataFrame(U("A\x02" "B"), 3)));
  EXPECT_EQ("04 02 53 54 02 03 04", H(TextCommandFrame(kST, U("\x02"), 1)));
}

TEST(TextFrames, DataByteEtxEndsTheBcc) {
  // The BCC runs to the first ETX, so a data byte 0x03 closes it early.
  EXPECT_EQ("04 02 53 54 03 41 03 04", H(TextCommandFrame(kST, U("\x03" "A"), 2)));
}

TEST(CalcBcc, ByteRules) {
  auto bcc = [](const std::string& hex) {
    Bytes b = B(hex);
    return CalcBCC(b.data(), b.size());
  };
  EXPECT_EQ(0x07, bcc("04 02 53 54 41 42 03"));
  EXPECT_EQ(0x42, bcc("41 06 02 41 03"));     // bytes before STX are not XORed
  EXPECT_EQ(0x42, bcc("02 41 03 42 03"));     // stops at the first ETX
  EXPECT_EQ(0x03, bcc("02 41 42"));           // no ETX: to the end
  EXPECT_EQ(0x00, bcc("02 41 02 02 42 03"));  // every 0x02 is skipped
  EXPECT_EQ(0x00, bcc("41 42 03"));           // no STX: nothing follows one
  EXPECT_EQ(0x00, CalcBCC(nullptr, 0));
}

TEST(CalcBcc, FrameBccOk) {
  Bytes f = ResponseFrame('A', "ST", "90", nullptr, 0);
  EXPECT_TRUE(FrameBccOk(f.data(), f.size()));
  f.back() ^= 0x01;
  EXPECT_FALSE(FrameBccOk(f.data(), f.size()));
  for (uint8_t bcc : {0x02, 0x03, 0x16}) {
    Bytes r = ReplyWithBcc(bcc);
    EXPECT_TRUE(FrameBccOk(r.data(), r.size())) << H(r);
  }
  Bytes shortFrame = B("02 03");
  EXPECT_FALSE(FrameBccOk(shortFrame.data(), shortFrame.size()));
  EXPECT_FALSE(FrameBccOk(nullptr, 0));
}

// ---- ReadComm's frame scan ----

// The frame FindLastFrame delivers, as hex; "" when none.
std::string Scan(const Bytes& b) {
  size_t start = 99, len = 99;
  if (!FindLastFrame(b.data(), b.size(), &start, &len)) return "";
  EXPECT_LE(start + len, b.size());
  return HexString(b.data() + start, len);
}

TEST(FindLastFrame, DeliversTheReply) {
  EXPECT_EQ("02 41 53 54 39 30 03 4C", Scan(B("02 41 53 54 39 30 03 4C")));
  EXPECT_EQ("02 03 03", Scan(B("02 03 03")));
}

TEST(FindLastFrame, BccOfAnyValueIsReadWhole) {
  for (uint8_t bcc : {0x02, 0x03, 0x16}) {
    Bytes r = ReplyWithBcc(bcc);
    EXPECT_EQ(H(r), Scan(r));
    // A BCC of 0x02 opens nothing: bytes after it that look like a frame's
    // tail are not a frame.
    Bytes tail = r;
    for (uint8_t b : B("41 03 7F")) tail.push_back(b);
    EXPECT_EQ(H(r), Scan(tail));
  }
}

TEST(FindLastFrame, WaitsForTheBcc) {
  EXPECT_EQ("", Scan(B("02 41 53 54 39 30 03")));
  EXPECT_EQ("", Scan(B("02 41 53 54 39 30")));
  EXPECT_EQ("", Scan(B("")));
  EXPECT_EQ("", Scan(B("41 03 4C")));  // ETX with no STX before it
}

TEST(FindLastFrame, BytesBeforeStxAreDropped) {
  EXPECT_EQ("02 41 53 54 39 30 03 4C", Scan(B("06 02 41 53 54 39 30 03 4C")));
  EXPECT_EQ("02 41 53 54 39 30 03 4C", Scan(B("41 02 41 53 54 39 30 03 4C")));
  EXPECT_EQ("02 41 53 54 39 30 03 4C", Scan(B("06 41 03 15 02 41 53 54 39 30 03 4C 06")));
}

TEST(FindLastFrame, LaterStxReopens) {
  EXPECT_EQ("02 41 53 54 39 30 03 4C", Scan(B("02 41 42 02 41 53 54 39 30 03 4C")));
  EXPECT_EQ("02 03 03", Scan(B("02 02 02 03 03")));
}

TEST(FindLastFrame, LastCompleteFrameWins) {
  EXPECT_EQ("02 42 53 54 30 30 31 03 77",
            Scan(B("02 41 53 54 39 30 03 4C 02 42 53 54 30 30 31 03 77")));
  // An unfinished frame after a complete one does not hide it.
  EXPECT_EQ("02 41 53 54 39 30 03 4C", Scan(B("02 41 53 54 39 30 03 4C 02 42 53 03")));
}

// ---- ReadCommHF's collector ----

struct HFResult {
  int closedAt = -1;  // index of the byte for which Feed said true
  bool complete = false;
  std::string bytes;
};

HFResult Collect(const Bytes& in, size_t limit = kMaxFrame) {
  HFCollector c(limit);
  HFResult r;
  for (size_t i = 0; i < in.size() && r.closedAt < 0; ++i) {
    if (c.full()) break;
    if (c.Feed(in[i])) r.closedAt = static_cast<int>(i);
  }
  r.complete = c.Complete();
  r.bytes = H(c.bytes());
  return r;
}

TEST(HFCollector, StopsAtTheBccByte) {
  HFResult r = Collect(B("02 41 53 54 39 30 03 4C 02 41"));
  EXPECT_EQ(7, r.closedAt);
  EXPECT_TRUE(r.complete);
  EXPECT_EQ("02 41 53 54 39 30 03 4C", r.bytes);
}

TEST(HFCollector, BccOfAnyValueIsReadWhole) {
  for (uint8_t bcc : {0x02, 0x03, 0x16}) {
    Bytes r = ReplyWithBcc(bcc);
    HFResult c = Collect(r);
    EXPECT_EQ(static_cast<int>(r.size()) - 1, c.closedAt) << H(r);
    EXPECT_TRUE(c.complete);
    EXPECT_EQ(H(r), c.bytes);
  }
}

TEST(HFCollector, JunkBeforeStxIsDroppedAtStx) {
  HFResult r = Collect(B("06 41 03 02 41 53 54 39 30 03 4C"));
  EXPECT_EQ(10, r.closedAt);
  EXPECT_EQ("02 41 53 54 39 30 03 4C", r.bytes);
  // Until an STX comes, the junk is held and is not a frame.
  r = Collect(B("06 41 03 4C"));
  EXPECT_EQ(-1, r.closedAt);
  EXPECT_FALSE(r.complete);
  EXPECT_EQ("06 41 03 4C", r.bytes);
}

TEST(HFCollector, LaterStxRestarts) {
  HFResult r = Collect(B("02 41 42 02 41 53 54 39 30 03 4C"));
  EXPECT_EQ(10, r.closedAt);
  EXPECT_EQ("02 41 53 54 39 30 03 4C", r.bytes);
}

TEST(HFCollector, UnfinishedFrameIsNotComplete) {
  HFResult r = Collect(B("02 41 53 54 39 30 03"));
  EXPECT_EQ(-1, r.closedAt);
  EXPECT_FALSE(r.complete);
}

TEST(HFCollector, LimitHoldsAndLongerFrameNeverCompletes) {
  Bytes f = ResponseFrame('A', "ST", "90", U("12345"), 5);  // 13 bytes
  HFResult r = Collect(f, 12);
  EXPECT_EQ(-1, r.closedAt);
  EXPECT_FALSE(r.complete);
  EXPECT_EQ(12u, ParseHex(r.bytes).size());
  r = Collect(f, 13);
  EXPECT_EQ(12, r.closedAt);
  EXPECT_TRUE(r.complete);

  // Junk before the STX counts against the limit.
  HFCollector c(4);
  for (uint8_t b : B("41 41 41 41 02 03 03")) c.Feed(b);
  EXPECT_TRUE(c.full());
  EXPECT_EQ("41 41 41 41", H(c.bytes()));
}

TEST(HFCollector, NextFeedAfterAFrameStartsAfresh) {
  HFCollector c(kMaxFrame);
  for (uint8_t b : B("02 41 03 42")) c.Feed(b);
  EXPECT_TRUE(c.Complete());
  EXPECT_FALSE(c.Feed(0x06));
  EXPECT_EQ("06", H(c.bytes()));
  c.Reset();
  EXPECT_TRUE(c.bytes().empty());
  EXPECT_FALSE(c.Complete());
}

// ---- binary frames ----

TEST(BinaryFrames, GoldenVectors) {
  EXPECT_EQ("16 02 41 16 16 42 16 03 16", H(BinaryFrame(U("A\x16" "B"), 3)));
  EXPECT_EQ("16 02 16 03 03", H(BinaryFrame(nullptr, 0)));
  EXPECT_EQ("16 02 16 16 16 16 16 03 03", H(BinaryFrame(U("\x16\x16"), 2)));
  EXPECT_EQ("16 02 02 03 06 15 16 03 11", H(BinaryFrame(U("\x02\x03\x06\x15"), 4)));
  const uint8_t d[] = {0x41, 0x16, 0x42};
  EXPECT_EQ(0x16, BinaryBcc(d, 3));
  EXPECT_EQ(0x03, BinaryBcc(nullptr, 0));
}

TEST(BinaryFrames, UnstuffAndSplit) {
  Bytes plain;
  Bytes f = B("16 02 41 16 16 42 16 03 16");
  ASSERT_TRUE(UnstuffBinaryFrame(f.data(), f.size(), &plain));
  EXPECT_EQ("16 02 41 16 42 16 03 16", H(plain));
  Bytes data;
  bool bccOk = false;
  ASSERT_TRUE(SplitBinaryFrame(plain.data(), plain.size(), &data, &bccOk));
  EXPECT_EQ("41 16 42", H(data));
  EXPECT_TRUE(bccOk);

  plain.back() = 0x17;
  ASSERT_TRUE(SplitBinaryFrame(plain.data(), plain.size(), &data, &bccOk));
  EXPECT_FALSE(bccOk);

  Bytes empty = B("16 02 16 03 03");
  ASSERT_TRUE(SplitBinaryFrame(empty.data(), empty.size(), &data, &bccOk));
  EXPECT_TRUE(data.empty());
  EXPECT_TRUE(bccOk);
}

TEST(BinaryFrames, NotAFrame) {
  Bytes plain, data;
  bool bccOk;
  for (const char* hex : {"16 02 41 16 03", "16 02 41 16 42 16 03 00", "41 16 02 16 03 03",
                          "16 02 16 03 03 41", "16 02 16"}) {
    Bytes b = B(hex);
    EXPECT_FALSE(UnstuffBinaryFrame(b.data(), b.size(), &plain)) << hex;
  }
  for (const char* hex : {"16 02 16 03", "16 02 41 42 03 00", "02 16 03 03", ""}) {
    Bytes b = B(hex);
    EXPECT_FALSE(SplitBinaryFrame(b.data(), b.size(), &data, &bccOk)) << hex;
  }
}

// What ReadCommForBinary delivers at silence, as hex; "-" when it reads on.
std::string OnSilence(const std::string& hex) {
  Bytes b = B(hex), out;
  return BinaryFrameOnSilence(b.data(), b.size(), &out) ? H(out) : "-";
}

TEST(BinaryFrames, DeviceFrameWithBcc16IsAccepted) {
  EXPECT_EQ("16 02 41 16 42 16 03 16", OnSilence("16 02 41 16 16 42 16 03 16"));
  // The single 0x16 after SYN ETX is the BCC, not the start of a pair.
  EXPECT_EQ("16 02 41 16 42 16 03 16", OnSilence("16 02 41 16 16 42 16 03 16 16 06"));
  size_t start, len;
  Bytes b = B("15 16 02 41 16 16 42 16 03 16");
  ASSERT_TRUE(FindBinaryFrame(b.data(), b.size(), &start, &len));
  EXPECT_EQ(1u, start);
  EXPECT_EQ(9u, len);
}

TEST(BinaryFrames, FrameSearchOnSilence) {
  EXPECT_EQ("16 02 16 03 03", OnSilence("16 02 16 03 03"));
  EXPECT_EQ("16 02 41 16 03 42", OnSilence("06 41 16 02 41 16 03 42"));
  EXPECT_EQ("-", OnSilence("16 02 41 16 03"));  // BCC not here yet
  EXPECT_EQ("-", OnSilence("16 02 41 16"));
  EXPECT_EQ("-", OnSilence(""));
  // The first complete frame wins.
  EXPECT_EQ("16 02 41 16 03 42", OnSilence("16 02 41 16 03 42 16 02 43 16 03 40"));
  // A lone SYN inside the data breaks the frame; a later frame is found.
  EXPECT_EQ("16 02 43 16 03 40", OnSilence("16 02 41 16 44 16 03 00 16 02 43 16 03 40"));
  // SYN STX inside the data reopens there.
  EXPECT_EQ("16 02 43 16 03 40", OnSilence("16 02 41 16 02 43 16 03 40"));
  // A doubled SYN outside a frame is one data byte, so 16 16 02 opens nothing.
  EXPECT_EQ("-", OnSilence("16 16 02 41 16 03 42"));
}

TEST(BinaryFrames, AllBytesAsTheyAreOnSilence) {
  EXPECT_EQ("16 41 42 43", OnSilence("16 41 42 43"));
  EXPECT_EQ("16 E0 16 02 41", OnSilence("16 E0 16 02 41"));
  for (const char* hex : {"16 06 41", "16 15 41", "16 16 41", "16 03 41", "41 16 41", "16"}) {
    EXPECT_EQ("-", OnSilence(hex)) << hex;
  }
}

TEST(BinaryFrames, PairMode) {
  auto ready = [](const std::string& hex) {
    Bytes b = B(hex);
    return BinaryPairReady(b.data(), b.size());
  };
  EXPECT_TRUE(ready("16 06"));
  EXPECT_TRUE(ready("16 15"));
  EXPECT_TRUE(ready("41 42 16 06"));
  EXPECT_TRUE(ready("16 41"));
  EXPECT_FALSE(ready("16 02"));
  EXPECT_FALSE(ready("16 03"));
  EXPECT_FALSE(ready("16 16"));
  EXPECT_FALSE(ready("16"));
  EXPECT_FALSE(ready("06"));
  EXPECT_FALSE(ready("06 16"));
  EXPECT_FALSE(ready(""));
}

TEST(BinaryFrames, EarlyExit) {
  auto exitAt = [](const std::string& hex) {
    Bytes b = B(hex);
    size_t at = 99;
    return BinaryEarlyExit(b.data(), b.size(), &at) ? static_cast<int>(at) : -1;
  };
  EXPECT_EQ(0, exitAt("16 41"));
  EXPECT_EQ(1, exitAt("41 16 55"));
  EXPECT_EQ(2, exitAt("16 06 16 E0"));
  EXPECT_EQ(2, exitAt("16 16 16 41"));
  EXPECT_EQ(-1, exitAt("16 16 41"));  // second SYN belongs to a doubled pair
  for (const char* hex : {"16 02", "16 03", "16 06", "16 15", "16 16", "16", ""}) {
    EXPECT_EQ(-1, exitAt(hex)) << hex;
  }
  // Once SYN STX has arrived only silence ends the read.
  EXPECT_EQ(-1, exitAt("16 02 41 16 41"));
  EXPECT_EQ(-1, exitAt("41 16 02 16 03 03 16 41"));
}

TEST(BinaryFrames, RoundTripOfEveryByteValue) {
  Bytes data;
  for (int i = 0; i < 256; ++i) data.push_back(static_cast<uint8_t>(i));
  data.push_back(SYN);
  data.push_back(SYN);
  Bytes f = BinaryFrame(data.data(), data.size());
  EXPECT_EQ(data.size() + 3 + 5, f.size());
  Bytes plain, back;
  bool bccOk = false;
  ASSERT_TRUE(UnstuffBinaryFrame(f.data(), f.size(), &plain));
  ASSERT_TRUE(SplitBinaryFrame(plain.data(), plain.size(), &back, &bccOk));
  EXPECT_EQ(data, back);
  EXPECT_TRUE(bccOk);
  size_t at;
  EXPECT_FALSE(BinaryEarlyExit(f.data(), f.size(), &at));
}

// ---- hex text ----

TEST(Hex, FormatAndParse) {
  const uint8_t b[] = {0x04, 0x02, 0x53, 0xAB, 0xFF, 0x00};
  EXPECT_EQ("04 02 53 AB FF 00", HexString(b, sizeof b));
  EXPECT_EQ("", HexString(nullptr, 0));
  EXPECT_EQ(Bytes(b, b + sizeof b), ParseHex("04 02 53 ab Ff 00"));
  EXPECT_EQ(Bytes(b, b + sizeof b), ParseHex("040253ABFF00"));
  EXPECT_EQ(Bytes(b, b + 3), ParseHex(" 0x04,0x02:53\r\n"));
  EXPECT_TRUE(ParseHex("").empty());
  Bytes out{1};
  EXPECT_FALSE(TryParseHex("04 2", &out));
  EXPECT_TRUE(out.empty());
  EXPECT_FALSE(TryParseHex("0G", &out));
  EXPECT_FALSE(TryParseHex("0x", &out));
  EXPECT_THROW(ParseHex("04 0"), std::invalid_argument);
}

}  // namespace
}  // namespace wire

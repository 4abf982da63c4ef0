// "IMAGE.dat" byte for byte: the white picture against a golden file made
// apart from the program, the bit order of a constant, and where a stop
// ends the file.
#include <QFile>

#include <gtest/gtest.h>

#include "print/assembler_export.h"

namespace quorel {
namespace {

// A white picture of w x h pixels, with the given pixels black.
struct Picture {
  Picture(int w, int h) : image{w, h, std::vector<uint8_t>(static_cast<size_t>(w * h * 3), 0xFF)} {}
  void Black(int x, int y) {
    const size_t at = static_cast<size_t>((y * image.width + x) * 3);
    image.rgb[at] = image.rgb[at + 1] = image.rgb[at + 2] = 0;
  }
  printdata::RgbView view() const { return printdata::ViewOf(image); }
  printdata::RgbImage image;
};

std::string Golden(const char* name) {
  QFile f(QStringLiteral(QUOREL_GOLDEN_DIR "/") + QString::fromLatin1(name));
  EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << name;
  return f.readAll().toStdString();
}

// The directive line of row y (without its LF).
std::string DirectiveOf(const std::string& file, int y) {
  size_t at = 0;
  for (int i = 0; i < y; ++i) at = file.find(";\r\n", at) + 3;
  return file.substr(at, file.find('\n', at) - at);
}

TEST(AssemblerExport, WhiteArea0MatchesTheGoldenFile) {
  const Picture white(320, 460);
  const AssemblerData d = BuildAssemblerData(white.view(), 319, 459, printdata::Thresholds(), {});
  EXPECT_FALSE(d.stopped);
  EXPECT_EQ(d.rows, 460);
  EXPECT_EQ(d.bytes.size(), 101090u);
  EXPECT_EQ(d.bytes, Golden("image_white_460.dat"));
  const std::string tail = "H'00   ; 459\n;\r\n";
  EXPECT_EQ(d.bytes.compare(d.bytes.size() - tail.size(), tail.size(), tail), 0);
}

TEST(AssemblerExport, LeftmostDotIsTheHighBitOfTheFirstConstant) {
  Picture p(320, 2);
  p.Black(0, 0);
  p.Black(12, 1);  // row 1: second byte, dot 4 of 8 -> 0x08
  p.Black(319, 1);  // the last dot of a row: the low bit of the 40th constant
  const AssemblerData d = BuildAssemblerData(p.view(), 319, 1, printdata::Thresholds(), {});
  const std::string row0 = DirectiveOf(d.bytes, 0);
  EXPECT_EQ(row0.substr(0, 14), " .DATA.B H'80,");
  EXPECT_EQ(row0.find("H'80", 10), std::string::npos);
  const std::string row1 = DirectiveOf(d.bytes, 1);
  EXPECT_EQ(row1.substr(0, 19), " .DATA.B H'00,H'08,");
  EXPECT_EQ(row1.substr(row1.size() - 11), ",H'01   ; 1");
}

TEST(AssemblerExport, PixelsPastThePictureAreWhite) {
  const Picture small(3, 1);
  const AssemblerData d = BuildAssemblerData(small.view(), 319, 3, printdata::Thresholds(), {});
  EXPECT_EQ(d.bytes, Golden("image_white_460.dat").substr(0, d.bytes.size()));
  EXPECT_EQ(d.rows, 4);
}

TEST(AssemblerExport, StopInRow10EndsTheFileWithThatRow) {
  const Picture white(320, 460);
  int row = -1;
  int constants = 0;
  AssemblerHooks hooks;
  hooks.afterRow = [&row](int y) { row = y; };
  // The stop comes while row 10 is built, after its 7th constant (the
  // first check with row 9 finished is that row's own, after it).
  hooks.stop = [&] { return row == 9 && ++constants > 7; };
  const AssemblerData d = BuildAssemblerData(white.view(), 319, 459, printdata::Thresholds(), hooks);
  EXPECT_TRUE(d.stopped);
  EXPECT_EQ(d.rows, 11);
  const std::string last = " .DATA.B H'00,H'00,H'00,H'00,H'00,H'00,H'00   ; 10\n;\r\n";
  ASSERT_GE(d.bytes.size(), last.size());
  EXPECT_EQ(d.bytes.substr(d.bytes.size() - last.size()), last);
  EXPECT_EQ(d.bytes.substr(0, d.bytes.size() - last.size()), Golden("image_white_460.dat").substr(0, d.bytes.size() - last.size()));
}

TEST(AssemblerExport, StopAfterAWholeRowEndsWithThatRow) {
  const Picture white(320, 460);
  AssemblerHooks hooks;
  int last = -1;
  hooks.afterRow = [&last](int y) { last = y; };
  hooks.stop = [&last] { return last == 10; };
  const AssemblerData d = BuildAssemblerData(white.view(), 319, 459, printdata::Thresholds(), hooks);
  EXPECT_EQ(d.rows, 11);
  EXPECT_EQ(d.bytes, Golden("image_white_460.dat").substr(0, d.bytes.size()));
  EXPECT_EQ(DirectiveOf(d.bytes, 10).substr(9 + 40 * 5 - 1), "   ; 10");
}

}  // namespace
}  // namespace quorel

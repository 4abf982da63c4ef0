// Command files on disk: CP932 with CR LF, byte for byte through an open and
// a save, no growth over repeated round trips, and reads and writes that
// fail without touching what they would replace.
#include <QFile>

#include <gtest/gtest.h>

#include "temp_dir.h"
#include "tools/command_file_io.h"

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
inline void PrintTo(const QByteArray& b, std::ostream* os) { *os << '"' << b.toHex(' ').toStdString() << '"'; }
QT_END_NAMESPACE

namespace quorel {
namespace {

// A command file as the device's tools write it: Shift-JIS comment text (with
// "表", whose second byte is a backslash), half-width katakana and macros.
const QByteArray kGolden(
    "' \x83\x54\x83\x93\x83\x76\x83\x8b \x95\x5c\r\n"  // ' サンプル 表
    "POLL**\r\n"
    "PowAckPA\r\n"
    "Print>PD:0/10/50/esc$e22\xb6\xc0\xb6\xc5lf$\r\n"  // half-width ｶﾀｶﾅ
    "wait\r\n"
    "0.5\r\n"
    "\r\n"
    "END\r\n");

QByteArray ReadBytes(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return "<missing>";
  return f.readAll();
}

void WriteBytes(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
  ASSERT_EQ(f.write(bytes), bytes.size());
}

TEST(CommandFileIo, OpenThenSaveIsByteIdentical) {
  testing::TempDir dir;
  const QString in = dir.file(QStringLiteral("in.dat"));
  const QString out = dir.file(QStringLiteral("out.dat"));
  WriteBytes(in, kGolden);
  QString text;
  QString error;
  ASSERT_TRUE(ReadCommandFile(in, &text, &error)) << error.toStdString();
  EXPECT_TRUE(text.startsWith(QStringLiteral("' サンプル 表\r\nPOLL**\r\n")));
  EXPECT_TRUE(text.contains(QStringLiteral("ｶﾀｶﾅ")));
  ASSERT_TRUE(WriteCommandFile(out, text, &error)) << error.toStdString();
  EXPECT_EQ(ReadBytes(out), kGolden);
}

TEST(CommandFileIo, RepeatedRoundTripsDoNotGrowTheFile) {
  testing::TempDir dir;
  const QString path = dir.file(QStringLiteral("loop.dat"));
  WriteBytes(path, QByteArray("      CI\r\n      CO\r\n"));
  for (int round = 0; round < 3; ++round) {
    QString text;
    QString error;
    ASSERT_TRUE(ReadCommandFile(path, &text, &error));
    ASSERT_TRUE(WriteCommandFile(path, text, &error));
  }
  EXPECT_EQ(ReadBytes(path), QByteArray("      CI\r\n      CO\r\n"));
}

TEST(CommandFileIo, EveryLineEndBecomesCrLfAndTheLastLineGetsOne) {
  EXPECT_EQ(CommandFileText(QByteArray("a\rb\nc\r\nd")), QStringLiteral("a\r\nb\r\nc\r\nd\r\n"));
  EXPECT_EQ(CommandFileText(QByteArray("\r\n\r\n")), QStringLiteral("\r\n\r\n"));
  EXPECT_EQ(CommandFileText(QByteArray()), QString());
  // A save adds the line end only where the text lacks one.
  EXPECT_EQ(CommandFileBytes(QStringLiteral("CI")), QByteArray("CI\r\n"));
  EXPECT_EQ(CommandFileBytes(QStringLiteral("CI\r\n")), QByteArray("CI\r\n"));
  EXPECT_EQ(CommandFileBytes(QStringLiteral("CI\r\n\r\n")), QByteArray("CI\r\n\r\n"));
  EXPECT_EQ(CommandFileBytes(QString()), QByteArray());
  EXPECT_EQ(CommandFileBytes(QStringLiteral("表")), QByteArray("\x95\x5c\r\n"));
}

TEST(CommandFileIo, FailedReadsAndWritesLeaveEverythingAsItWas) {
  testing::TempDir dir;
  QString text = QStringLiteral("kept");
  QString error;
  EXPECT_FALSE(ReadCommandFile(dir.file(QStringLiteral("none.dat")), &text, &error));
  EXPECT_FALSE(error.isEmpty());
  EXPECT_FALSE(ReadCommandFile(dir.path(), &text, &error));  // a folder
  const QString big = dir.file(QStringLiteral("big.dat"));
  {
    QFile f(big);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_TRUE(f.resize(kMaxCommandFileBytes + 1));  // sparse: no time spent writing
  }
  error.clear();
  EXPECT_FALSE(ReadCommandFile(big, &text, &error));
  EXPECT_FALSE(error.isEmpty());
  EXPECT_EQ(text, "kept");

  const QString target = dir.file(QStringLiteral("target.dat"));
  WriteBytes(target, QByteArray("old\r\n"));
  error.clear();
  EXPECT_FALSE(WriteCommandFile(dir.file(QStringLiteral("no/such/folder/x.dat")), QStringLiteral("x"), &error));
  EXPECT_FALSE(error.isEmpty());
  EXPECT_EQ(ReadBytes(target), QByteArray("old\r\n"));
}

}  // namespace
}  // namespace quorel

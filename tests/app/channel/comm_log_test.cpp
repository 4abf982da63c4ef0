// The communication log: its exact text, the 13000-character cut, the tool
// tip, and how seldom it repaints the box.
#include <QElapsedTimer>

#include <gtest/gtest.h>

#include "channel_fixture.h"
#include "core/comm_log.h"

namespace quorel::testing {
namespace {

struct Shown {
  QString text, tip;
  int count = 0;
};

CommLog::Show Into(Shown& s) {
  return [&s](const QString& text, const QString& tip) {
    s.text = text;
    s.tip = tip;
    ++s.count;
  };
}

TEST(CommLog, NewestEntryFirstEachFollowedByCrLf) {
  Shown shown;
  CommLog log(Into(shown));
  log.Add(QStringLiteral("VS"));
  log.Add(QStringLiteral("   ACK"));
  log.Add(QStringLiteral("Poll"));
  EXPECT_EQ(log.text(), "Poll\r\n   ACK\r\nVS\r\n");
  log.Flush();
  EXPECT_EQ(shown.text, log.text());
}

TEST(CommLog, TheOldTextIsCutToItsFirst13000CharactersBeforeTheNewEntryGoesInFront) {
  CommLog log(nullptr);
  // Double-byte characters count as one character each.
  const QString old = QString(12990, QChar(0x3042)) + QStringLiteral("0123456789ABCDEFGHIJ");  // 13010 characters
  log.Add(old);  // the log is old & CR LF now: 13012 characters
  log.Add(QStringLiteral("new"));
  EXPECT_EQ(log.text(), QStringLiteral("new\r\n") + (old + QStringLiteral("\r\n")).left(13000));
  EXPECT_EQ(log.text().size(), 13005);
  // A short log is kept whole.
  CommLog small(nullptr);
  small.Add(QStringLiteral("a"));
  small.Add(QStringLiteral("b"));
  EXPECT_EQ(small.text(), "b\r\na\r\n");
}

TEST(CommLog, TheToolTipIsTheTrimmedEntryAndItsByteLength) {
  CommLog log(nullptr);
  log.Add(QStringLiteral("ABCDE "));
  EXPECT_EQ(log.toolTip(), "ABCDE [5]");
  log.Add(QStringLiteral("   AVS90亜"));
  EXPECT_EQ(log.toolTip(), "AVS90亜 [7]");
  log.Add(QStringLiteral("\tX "));  // only blanks are trimmed
  EXPECT_EQ(log.toolTip(), "\tX [2]");
}

TEST(CommLog, ABurstRepaintsOnceAtOnceAndOnceWhenTheIntervalEnds) {
  Shown shown;
  CommLog log(Into(shown));
  for (int i = 0; i < 100; ++i) log.Add(QStringLiteral("Poll"));
  EXPECT_EQ(shown.count, 1);  // the first entry showed at once
  EXPECT_TRUE(PumpUntilTrue([&] { return shown.count == 2; }, 5000));
  EXPECT_EQ(shown.text, log.text());
  PumpFor(80);
  EXPECT_EQ(shown.count, 2);  // nothing new, nothing repainted
}

TEST(CommLog, FlushRepaintsAtOnceOnlyWhenSomethingIsNew) {
  Shown shown;
  CommLog log(Into(shown));
  log.Add(QStringLiteral("a"));
  log.Add(QStringLiteral("b"));
  EXPECT_EQ(shown.count, 1);
  log.Flush();
  EXPECT_EQ(shown.count, 2);
  EXPECT_EQ(shown.text, "b\r\na\r\n");
  log.Flush();
  EXPECT_EQ(shown.count, 2);
  PumpFor(80);
  EXPECT_EQ(shown.count, 2);
  log.Clear();
  EXPECT_EQ(shown.text, "");
}

TEST(CommLog, ALineEveryTenMillisecondsCostsAtMostOneRepaintPerInterval) {
  Shown shown;
  CommLog log(Into(shown));
  QElapsedTimer t;
  t.start();
  int added = 0;
  PumpUntil([&]() -> int64_t {
    if (added == 100) return -1;
    log.Add(QStringLiteral("line %1").arg(added++));
    return 10;
  });
  log.Flush();
  // However long a busy machine stretched the hundred lines: the first line
  // at once, then one repaint an interval (whose timer, a coarse one, may
  // fire up to 5 % early), and the flush.
  EXPECT_LE(shown.count, t.elapsed() * 20 / (CommLog::kThrottleMs * 19) + 2);
  EXPECT_EQ(shown.text, log.text());
}

}  // namespace
}  // namespace quorel::testing

// The memory dump through the channel and the real library against the
// simulated device's memory: the commands on the wire, the lines kept and
// where the dump ends, the end cap, a failing first reply, Stop before and
// during an exchange, refused ranges, and the percentage of an empty span.
#include <functional>

#include "channel/sim_channel_fixture.h"
#include "testbench/mem_dump_job.h"
#include "testbench/mem_dump_text.h"

namespace quorel::testing {
namespace {

class RecordingDumpDisplay : public MemDumpDisplay {
 public:
  void ShowCaption(const QString& c) override { caption = c; }
  void SetLocked(bool l) override {
    locked = l;
    ++lockChanges;
  }
  void SetSaveEnabled(bool e) override { saveEnabled = e; }
  void SetDumpText(const QString& t) override {
    shown = t;
    ++wholeTextSets;
  }
  void AppendDumpText(const QString& t) override { shown += t; }
  void ShowLastLine(const QString& l) override {
    lastLine = l;
    ++lines;
    if (onLine) onLine(lines);
  }
  void SetProgressRange(int mn, int mx) override {
    minimum = mn;
    maximum = mx;
  }
  void SetProgress(int v) override { progress = v; }
  void ShowPercent(const QString& t) override {
    percent = t;
    if (onPercent) onPercent(t);
  }
  QString StartText() const override { return start; }
  QString EndText() const override { return end; }
  void SetStartText(const QString& t) override { start = t; }
  void SetEndText(const QString& t) override { end = t; }
  bool Monitor() const override { return monitor; }

  QString caption = QStringLiteral("Start"), shown, lastLine, percent;
  QString start = QStringLiteral("FF8800"), end = QStringLiteral("FFB2F0");
  bool locked = false, saveEnabled = false, monitor = false;
  int lockChanges = 0, wholeTextSets = 0, lines = 0, minimum = 0, maximum = 0, progress = 0;
  std::function<void(int)> onLine;
  std::function<void(const QString&)> onPercent;
};

class MemDumpSim : public SimChannelTest {
 protected:
  std::vector<QString> DumpCommands() const {
    std::vector<QString> out;
    for (const sim::TranscriptEntry& e : sim_.Transcript())
      if (e.dir == sim::Dir::Host && e.tag.rfind("CMD md", 0) == 0)
        out.push_back(QString::fromStdString(e.tag.substr(4)).remove(2, 1));
    return out;
  }
  // The dump text's lines without the header.
  QStringList KeptLines() const {
    QStringList lines = job_.dumpText().split(QStringLiteral("\r\n"));
    EXPECT_EQ(lines.value(0), DumpHeader());
    lines.removeFirst();
    return lines;
  }
  void ExpectIdle() {
    EXPECT_EQ(job_.caption(), "Start");
    EXPECT_EQ(display_.caption, "Start");
    EXPECT_FALSE(display_.locked);
    EXPECT_FALSE(job_.Running());
  }

  RecordingDumpDisplay display_;
  MemDumpJob job_{channel_, display_};
};

TEST_F(MemDumpSim, ThePresetRangeKeeps687LinesEndingBeforeTheEndAddress) {
  Open();
  job_.Click();
  const std::vector<QString> sent = DumpCommands();
  ASSERT_EQ(sent.size(), 688u);  // 687 kept, and the one past the end
  EXPECT_EQ(sent.front(), "md:FF8800");
  for (size_t i = 1; i < sent.size(); ++i) ASSERT_EQ(sent[i], "md") << i;
  const QStringList lines = KeptLines();
  ASSERT_EQ(lines.size(), 687);
  EXPECT_TRUE(lines.front().startsWith("FF8800: "));
  EXPECT_TRUE(lines.back().startsWith("FFB2E0: "));
  EXPECT_EQ(lines.back().size(), 76);
  EXPECT_FALSE(job_.dumpText().endsWith("\r\n"));
  // Without the monitor the box gets the whole text once, at the end.
  EXPECT_EQ(display_.wholeTextSets, 2);  // emptied at the start, filled at the end
  EXPECT_EQ(display_.shown, job_.dumpText());
  EXPECT_EQ(display_.lastLine, lines.back());
  EXPECT_EQ(display_.minimum, 1);
  EXPECT_EQ(display_.maximum, 0x2AF0 + 16);
  EXPECT_EQ(display_.progress, 1 + 686 * 16);
  EXPECT_EQ(display_.percent, "100%");
  EXPECT_TRUE(display_.saveEnabled);
  ExpectIdle();
}

TEST_F(MemDumpSim, ARangeBeyond845LinesIsCappedBeforeTheDump) {
  Open();
  display_.start = QStringLiteral("618000");
  display_.end = QStringLiteral("61FFFF");
  display_.monitor = true;
  job_.Click();
  EXPECT_EQ(display_.end, "61B4CF");
  const QStringList lines = KeptLines();
  ASSERT_EQ(lines.size(), 845);
  EXPECT_TRUE(lines.back().startsWith("61B4C0: "));
  EXPECT_EQ(DumpCommands().size(), 846u);
  // The monitor showed each line as it came: the same text.
  EXPECT_EQ(display_.shown, job_.dumpText());
  EXPECT_EQ(display_.wholeTextSets, 1);  // only the emptying at the start
  ExpectIdle();
}

TEST_F(MemDumpSim, AnErrorOnTheFirstReplyLeavesTheWindowUnlocked) {
  Open();
  Control("memory fail 41");
  job_.Click();
  EXPECT_EQ(DumpCommands(), (std::vector<QString>{"md:FF8800"}));
  EXPECT_TRUE(job_.dumpText().isEmpty());
  EXPECT_TRUE(display_.shown.isEmpty());
  EXPECT_FALSE(display_.saveEnabled);
  ExpectIdle();
  // The next Start dumps again.
  display_.end = QStringLiteral("FF8820");
  job_.Click();
  EXPECT_EQ(KeptLines().size(), 2);
}

TEST_F(MemDumpSim, AnErrorLaterKeepsTheLinesSoFarForSaving) {
  Open();
  Control("memory fail 41 5");
  job_.Click();
  EXPECT_EQ(KeptLines().size(), 5);
  EXPECT_TRUE(display_.saveEnabled);
  ExpectIdle();
}

TEST_F(MemDumpSim, AStopBeforeTheSendAppendsNoLineTwice) {
  Open();
  // The Stop click comes after the third line, before the next send.
  display_.onLine = [this](int n) {
    if (n == 3) job_.Click();
  };
  job_.Click();
  EXPECT_EQ(DumpCommands().size(), 3u);
  const QStringList lines = KeptLines();
  ASSERT_EQ(lines.size(), 3);
  EXPECT_TRUE(lines[2].startsWith("FF8820: "));
  EXPECT_EQ(mm().gDumpStop, 1);
  ExpectIdle();
}

TEST_F(MemDumpSim, AStopDuringAnExchangeEndsTheDumpWithDistinctLines) {
  Open();
  display_.onLine = [](int n) {
    if (n == 3)
      QTimer::singleShot(0, [] {
        // What the Stop click does, arriving inside the next exchange's wait.
        mm().gDumpStop = 1;
      });
  };
  job_.Click();
  const QStringList lines = KeptLines();
  ASSERT_GE(lines.size(), 3);
  ASSERT_LE(lines.size(), 4);
  for (int i = 0; i < lines.size(); ++i)
    EXPECT_TRUE(lines[i].startsWith(AddressText(0xFF8800 + 16 * i) + ":")) << lines[i].toStdString();
  ExpectIdle();
}

TEST_F(MemDumpSim, RangesThatAreNotHexOrRunBackwardsAreRefusedWithABox) {
  Open();
  const QString text = QStringLiteral(
      "開始アドレスと終了アドレスは16進数6桁で入力してください。\r\n"
      "終了アドレスは開始アドレス以上にしてください。");
  for (const auto& range :
       {std::pair<const char*, const char*>{"FF88G0", "FFB2F0"}, {"FF8800", "xyz"}, {"FFB2F0", "FF8800"}}) {
    display_.start = QLatin1String(range.first);
    display_.end = QLatin1String(range.second);
    dialogs_.ExpectBox(QStringLiteral("MemoryDump"), text, BoxAnswer::kOk);
    job_.Click();
    ExpectIdle();
  }
  EXPECT_TRUE(DumpCommands().empty());
  EXPECT_EQ(display_.lockChanges, 0);
  // Short addresses take their six-digit form before the dump.
  display_.start = QStringLiteral("ff88");
  display_.end = QStringLiteral("ff98");
  job_.Click();
  EXPECT_EQ(display_.start, "00FF88");
  EXPECT_EQ(display_.lastLine.left(7), "00FF88:");
  EXPECT_EQ(display_.end, "00FF98");
  EXPECT_EQ(DumpCommands(), (std::vector<QString>{"md:00FF88", "md"}));
}

TEST_F(MemDumpSim, ASpanOfZeroShowsOneHundredPercent) {
  Open();
  // A device whose good replies carry no line: the dump goes on until Stop.
  Control("reply md 90");
  display_.end = display_.start;
  display_.onPercent = [this](const QString&) { job_.Click(); };
  job_.Click();
  EXPECT_EQ(display_.percent, "100%");
  EXPECT_EQ(display_.maximum, 16);
  EXPECT_TRUE(job_.dumpText().isEmpty());
  ExpectIdle();
}

TEST_F(MemDumpSim, AClosedPortThatCannotBeOpenedEndsTheClickQuietlyAndIdle) {
  mm().gPort = 200;  // a number without a device file
  dialogs_.ExpectBox(QStringLiteral("COM200オープンエラー"),
                     QStringLiteral("他のアプリケーションが使用している可能性があります。\r\nもしくはポートが存在しません。"
                                    "\r\nCOM200 has no device file"),
                     BoxAnswer::kOk);
  job_.Click();
  EXPECT_TRUE(DumpCommands().empty());
  ExpectIdle();
}

TEST_F(MemDumpSim, ThePowerUpPreambleGoesFirst) {
  Control("state 2");
  display_.end = QStringLiteral("FF8810");
  job_.Click();  // opens the port itself
  EXPECT_EQ(sim_.CountTag(sim::Dir::Host, "CMD PA"), 1);
  EXPECT_EQ(KeptLines().size(), 1);
  ExpectIdle();
}

TEST_F(MemDumpSim, TheCloseRequestStopsADumpAndEmptiesTheReply) {
  Open();
  display_.onLine = [this](int n) {
    if (n == 2) job_.Close();
  };
  job_.Click();
  EXPECT_EQ(KeptLines().size(), 2);
  EXPECT_TRUE(mm().gReplyText.isEmpty());
}

}  // namespace
}  // namespace quorel::testing

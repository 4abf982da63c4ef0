#include "core/rw_test.h"

#include "core/conversions.h"
#include "core/dialogs.h"
#include "core/event_wait.h"
#include "core/form_controls.h"
#include "core/job_host.h"
#include "core/main_module.h"
#include "core/print_pages.h"
#include "core/reply_fields.h"

namespace quorel {

using rwtest::Cycle;

namespace {

const QString kButton = QStringLiteral("CmdRWTest");
const QString kCrLf = QStringLiteral("\r\n");
const QChar kCr = QChar(13);

// The number at the start of a box's text ("2.5s" -> 2.5, "x" -> 0).
double LeadingValue(const QString& text) {
  qsizetype i = 0;
  while (i < text.size() && text.at(i) == QLatin1Char(' ')) ++i;
  const qsizetype from = i;
  if (i < text.size() && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+'))) ++i;
  while (i < text.size() && text.at(i).isDigit()) ++i;
  if (i < text.size() && text.at(i) == QLatin1Char('.')) ++i;
  while (i < text.size() && text.at(i).isDigit()) ++i;
  bool ok = false;
  const double v = text.mid(from, i - from).toDouble(&ok);
  return ok ? v : 0.0;
}

int LeadingInt(const QString& text) { return static_cast<int>(LeadingNumber(text, INT32_MIN, INT32_MAX)); }

QString TrackCommand(int track, const QString& data) {
  return QStringLiteral("WD:%1/").arg(track) + data;
}

}  // namespace

RwTest::RwTest(FormControls& ui, JobHost& host) : ui_(ui), host_(host) {}

bool RwTest::Ticked(const char* name) const { return ui_.Value(QString::fromLatin1(name)) == 1; }

bool RwTest::Closing() const { return mm().gAppClosing == 1; }

bool RwTest::StopOrClosed() const {
  const MainModule& m = mm();
  return !m.gPortOpen || m.gStopRequest == 1 || m.gAppClosing == 1;
}

void RwTest::Send(const QString& command) { SendVia(host_, command); }

void RwTest::CmdRWTest_Click() {
  if (mm().gResetWaiting != 0) return;
  if (running_) {
    Stop();
    return;
  }
  Start();
}

void RwTest::Stop() {
  MainModule& m = mm();
  // The button reads "Test Start" at once; the run itself unwinds at its
  // next check.
  ui_.SetText(kButton, QStringLiteral("Test Start"));
  m.gStopRequest = 1;
  m.gRwCardOutDeferred = -1;
  // The device still waits for a card: only a "CL" of its own ends that,
  // since the channel is held by the "CI" that waits.
  if (m.gRwCardInWait == -1) {
    host_.SendClAside();
    m.gRwCardInWait = 0;
    m.gPolling = 1;
  }
}

void RwTest::Start() {
  MainModule& m = mm();
  running_ = true;
  modesChanged_ = cardOutSent_ = aborted_ = ir_ = margin2Sent_ = false;
  tracks_ = {};
  e_ = {};
  k_ = irFailures_ = irReads_ = 0;
  rwError_ = 0;
  printLine_ = -1;
  ui_.SetText(kButton, QStringLiteral("Test Quit"));
  m.gRwTestRunning = -1;
  m.gRwCardOutDeferred = 0;
  errStop_ = Ticked("ChkRWErrorStop");
  m.gStopRequest = 0;
  ui_.SetText(QStringLiteral("Label28"), QString());
  ui_.SetText(QStringLiteral("Label29"), QString());
  for (int n = 1; n <= 3; ++n) {
    ui_.SetText(QStringLiteral("TxtDTtr"), n, QString());
    ui_.SetText(QStringLiteral("txtWd"), n, QString());
  }

  if (SetUp()) {
    RunCycle(ui_.Value(QStringLiteral("OpJISISO"), 1) == 1 ? Cycle::kIso : Cycle::kJis);
    if (!aborted_ && !Closing()) {
      if (Ticked("ChkEMC") && unloadEmc_) unloadEmc_();
      MsgBox(rwtest::ResultText(e_, k_));
    }
  }
  if (modesChanged_ && !Closing()) ClosingSteps();
  Idle();
}

bool RwTest::SetupSend(const QString& command) {
  Send(command);
  return !StopOrClosed();
}

bool RwTest::SetUp() {
  MainModule& m = mm();
  if (Closing()) return false;
  if (!m.gPortOpen) {
    host_.commIni();
    if (!m.gPortOpen) return false;
    host_.poll();
    if (!m.gPortOpen) return false;
  }
  if (StopOrClosed()) return false;
  const QString pre = PreambleCommand(m.gReplyKind, m.gReplyStatus);
  if (!pre.isEmpty() && !SetupSend(pre)) return false;

  // The device's modes as they are, to put back at the end.
  const ComuOutcome mr = SendVia(host_, QStringLiteral("MR"));
  savedModes_ = AnsweredBy(mr, QStringLiteral("MR")) && m.gReplyText.startsWith(QLatin1String("AMR90"))
                    ? reply::Data(m.gReplyText)
                    : QStringLiteral("H7C7");
  if (StopOrClosed() || !SetupSend(QStringLiteral("TH"))) return false;

  count_ = LeadingInt(ui_.Text(QStringLiteral("TxtRWTestCount")));
  if (count_ <= 0) {
    count_ = 200;
    ui_.SetText(QStringLiteral("TxtRWTestCount"), QStringLiteral("200"));
  }
  printLine_ = Ticked("Check3") ? 0 : -1;
  if (!SetupSend(QStringLiteral("VS"))) return false;
  linesPerCard_ = m.gVersionText.startsWith(QLatin1Char('3')) ? 17 : 21;
  if (Ticked("ChkEMC")) {
    s1_ = s2_ = QString(20, QLatin1Char('H'));
  } else {
    s1_ = QStringLiteral(" A C E G 1 3 5 7 9 \\");
    s2_ = QStringLiteral("\\ABCDEFG0123456789R\\");
  }
  m.gRwWaitSeconds = static_cast<float>(LeadingValue(ui_.Text(QStringLiteral("Text8"))));
  const QString model = m.gVersionText.left(5);
  m.gRwHexModel = model == QLatin1String("1458H") ? 1 : 0;
  m.gRwM2Model = model == QLatin1String("3141X") ? 1 : 0;

  modesChanged_ = true;
  QStringList modes{Ticked("ChkRetry") ? QStringLiteral("MS:R2W2") : QStringLiteral("MS:R0W0"),
                    QStringLiteral("MS:D7"), QStringLiteral("MS:Z0"), QStringLiteral("MS:K0N4X4"),
                    QStringLiteral("MS:S0")};
  if (Ticked("ChkIRread")) {
    modes << QStringLiteral("MS:b7B1");
    ir_ = true;
  }
  if (Ticked("ChkPunch")) modes << QStringLiteral("MS:P1");
  const QString extra = ui_.Text(QStringLiteral("Text17"));
  if (!extra.isEmpty()) modes << QStringLiteral("MS:") + extra;
  for (const QString& command : modes)
    if (!SetupSend(command)) return false;

  // The tracks to write are the device's track set: the value after "C".
  const ComuOutcome set = SendVia(host_, QStringLiteral("MR"));
  if (StopOrClosed()) return false;
  const QString data = AnsweredBy(set, QStringLiteral("MR")) ? reply::Data(m.gReplyText) : QString();
  const qsizetype c = data.indexOf(QLatin1Char('C'));
  const int value = c >= 0 ? reply::DigitOf(data, c + 2) : 0;
  tracks_ = {(value & 1) != 0, (value & 2) != 0, (value & 4) != 0};
  if (!tracks_[0] && !tracks_[1] && !tracks_[2]) {
    // Nothing would be written and every check would pass: not a result.
    MsgBox(QStringLiteral("磁気トラックが選択されていません。\r\nMSコマンドのCを確認してください。"), BoxButtons::kOk,
           BoxIcon::kCritical);
    return false;
  }

  if (!TakeCard()) return false;
  if (Ticked("ChkEMC") && showEmc_) showEmc_();
  return true;
}

bool RwTest::TakeCard() {
  MainModule& m = mm();
  host_.poll();
  if (StopOrClosed()) return false;
  const QChar where = m.gReplyText.size() >= 3 ? m.gReplyText.at(2) : QChar();
  if ((where == QLatin1Char('4') || where == QLatin1Char('5')) && !SetupSend(QStringLiteral("CL"))) return false;
  host_.poll();
  if (StopOrClosed()) return false;
  if (m.gReplyText.size() < 3 || m.gReplyText.at(2) != QLatin1Char('0')) return true;
  do {
    PumpPendingEvents();
    m.gRwCardInWait = -1;
    Send(QStringLiteral("CI"));
    m.gRwCardInWait = 0;
    if (StopOrClosed()) {
      if (Closing()) return false;
      // Whatever the wait left armed is dropped; the card (if one came) goes out.
      m.gSendPending = 0;
      for (int i = 0; i < 3; ++i) host_.poll();
      Send(QStringLiteral("CO"));
      cardOutSent_ = true;
      return false;
    }
  } while (m.gReplyStatus != QLatin1String("40") && m.gReplyStatus != QLatin1String("90"));
  return true;
}

void RwTest::RunCycle(Cycle cycle) {
  MainModule& m = mm();
  if (m.gRwM2Model) Send(QStringLiteral("MS:M2"));
  else Send(cycle == Cycle::kJis ? QStringLiteral("MS:M0") : QStringLiteral("MS:M1"));
  if (StopOrClosed()) return;
  Send(QStringLiteral("MR"));
  if (StopOrClosed()) return;
  pieces_ = rwtest::PatternPieces(rwtest::SetFor(cycle, Ticked("Chk09RWCode"), m.gRwHexModel != 0));
  if (Ticked("ChkRmargin")) Send(QStringLiteral("!!m1"));
  for (int i = 1; i <= count_; i += 3) {
    if (!Pass(cycle, i)) return;
    m.gRwWaitSeconds = static_cast<float>(LeadingValue(ui_.Text(QStringLiteral("Text8"))));
    if (m.gRwWaitSeconds > 0) WaitSeconds(m.gRwWaitSeconds);
    if (StopOrClosed()) return;
  }
}

bool RwTest::Pass(Cycle cycle, int i) {
  if (Ticked("ChkRmargin") && i >= count_ / 2 && !margin2Sent_) {
    Send(QStringLiteral("!!m2"));
    margin2Sent_ = true;
  }
  if (!WriteTrackData(cycle)) return false;
  if (Ticked("ChkLCD")) Display();
  if (!WriteAndCheck(cycle)) return false;
  if (ir_) {
    for (int n = 0; n < 2; ++n) {
      Send(QStringLiteral("RD"));
      ++irReads_;
      if (StopOrClosed()) return false;
      wrCheck3();
    }
    if (errStop_ && rwError_ != 0) return false;
  }
  if (StopOrClosed()) return false;
  if (printLine_ >= 0) Print(i);
  if (Ticked("ChkCOM2")) SecondInterface();
  return !StopOrClosed();
}

bool RwTest::WriteTrackData(Cycle cycle) {
  MainModule& m = mm();
  std::array<QString, 3> texts = rwtest::TrackTexts(cycle, pieces_, LeadingInt(ui_.Text(QStringLiteral("Text12"))));
  // The hex model takes shorter tracks 1 and 2; what is compared later is
  // what was sent.
  if (m.gRwHexModel)
    for (int n = 1; n <= 3; ++n) texts[static_cast<size_t>(n - 1)] = rwtest::HexModelCut(n, texts[static_cast<size_t>(n - 1)]);
  m.gWrTrack1Data = texts[0];
  m.gWrTrack2Data = texts[1];
  m.gWrTrack3Data = texts[2];
  pieces_ = rwtest::Permuted(cycle, pieces_);
  for (int n = 1; n <= 3; ++n) {
    if (!tracks_[static_cast<size_t>(n - 1)]) continue;
    const QString command = TrackCommand(n, texts[static_cast<size_t>(n - 1)]);
    const ComuOutcome outcome = SendVia(host_, command);
    if (StopOrClosed()) return false;
    if (!AnsweredBy(outcome, command) || m.gReplyStatus != QLatin1String("90")) {
      MsgBox(QStringLiteral("ﾃﾞｰﾀ設定ｴﾗｰです"), BoxButtons::kOk, BoxIcon::kCritical);
      aborted_ = true;
      return false;
    }
  }
  return true;
}

bool RwTest::Operation(const QString& command) {
  MainModule& m = mm();
  Send(command);
  ++k_;
  // A stop in the first three operations lets the sequence finish.
  if (m.gStopRequest == 1 && k_ > 3) {
    --k_;
    return false;
  }
  return m.gPortOpen && !Closing();
}

bool RwTest::CheckMayGoOn() const {
  return !(errStop_ && rwError_ != 0) && mm().gPortOpen && !Closing();
}

bool RwTest::WriteAndCheck(Cycle cycle) {
  const auto step = [&](const char* command, bool readBack) {
    if (!Operation(QString::fromLatin1(command))) return false;
    if (readBack) wrCheck2(cycle);
    else wrCheck(cycle);
    return CheckMayGoOn();
  };
  if (Ticked("ChkRDDT")) return step("WR", false) && step("RD", true) && step("RD", true);
  if (Ticked("Chk27503Tr")) {
    Send(QStringLiteral("MS:C5"));
    if (!step("WR", false)) return false;
    Send(QStringLiteral("MS:C2H7"));
    return step("WR", false) && step("VR", false) && step("VR", false);
  }
  return step("WR", false) && step("VR", false) && step("VR", false);
}

void RwTest::wrCheck(Cycle cycle) {
  MainModule& m = mm();
  const ComuOutcome outcome = SendVia(host_, QStringLiteral("RC"));
  if (!m.gPortOpen || Closing()) return;  // the run ends on the lost port, not on the head
  // Without this command's own reply nothing was checked: that is a failure
  // of every track, not a pass.
  const bool own = AnsweredBy(outcome, QStringLiteral("RC"));
  for (int n = 1; n <= 3; ++n) {
    const size_t t = static_cast<size_t>(n - 1);
    if (!tracks_[t]) continue;
    const QString status = own ? reply::Mid(m.gReplyText, 6 + 2 * (n - 1), 2) : QString();
    if (status == QLatin1String("92") || status == QLatin1String("90")) continue;
    ++e_[t];
    rwError_ = -1;
  }
  ShowCounts(cycle);
}

void RwTest::wrCheck2(Cycle cycle) {
  MainModule& m = mm();
  const QString* written[] = {&m.gWrTrack1Data, &m.gWrTrack2Data, &m.gWrTrack3Data};
  for (int n = 1; n <= 3; ++n) {
    const size_t t = static_cast<size_t>(n - 1);
    if (!tracks_[t]) continue;
    // Emptied first, so a missing reply cannot leave an earlier read to compare.
    ui_.SetText(QStringLiteral("TxtDTtr"), n, QString());
    const QString command = QStringLiteral("DT:%1").arg(n);
    const ComuOutcome outcome = SendVia(host_, command);
    if (!m.gPortOpen || Closing()) return;
    if (AnsweredBy(outcome, command) && ui_.Text(QStringLiteral("TxtDTtr"), n) == *written[t]) continue;
    ++e_[t];
    rwError_ = -1;
  }
  ShowCounts(cycle);
}

void RwTest::wrCheck3() {
  MainModule& m = mm();
  const ComuOutcome outcome = SendVia(host_, QStringLiteral("RC"));
  if (!m.gPortOpen || Closing()) return;
  if (!AnsweredBy(outcome, QStringLiteral("RC")) || reply::Mid(m.gReplyText, 12, 2) != QLatin1String("90"))
    ++irFailures_;
}

void RwTest::ShowCounts(Cycle cycle) {
  ui_.SetText(cycle == Cycle::kJis ? QStringLiteral("Label28") : QStringLiteral("Label29"),
              rwtest::CountLabel(tracks_, e_, k_));
}

void RwTest::Display() {
  Send(QStringLiteral("DP:M/0007"));
  Send(QStringLiteral("DC"));
  Send(QStringLiteral("DD:0/0/0/") + s1_);
  for (int n = 0; n < 3; ++n) Send(QStringLiteral("DD/") + s1_);
  Send(QStringLiteral("DP"));
}

void RwTest::Print(int i) {
  MainModule& m = mm();
  const bool erase = Ticked("Check6");
  if (!(erase && m.gVersionText.startsWith(QLatin1Char('3')))) Send(print::ClearCommand());
  if (Ticked("ChkEMC")) {
    Send(print::PageCommand(QStringLiteral("0/0/0/"), QStringList(16, s1_)));
  } else {
    Send(print::PageCommand(QStringLiteral("0/0/%1/").arg(printLine_ * 27), {i > 3 * linesPerCard_ ? s1_ : s2_}));
  }
  Send(erase || printLine_ == 0 ? QStringLiteral("PR") : QStringLiteral("PP"));
  printLine_ = (printLine_ + 1) % linesPerCard_;
  Send(QStringLiteral("TH"));
}

void RwTest::SecondInterface() {
  const auto transmit = [&](const QString& text) { Send(QStringLiteral("IF2:T/") + text); };
  const auto receive = [&] { Send(QStringLiteral("IF2:R")); };
  const auto trackTexts = [&] {
    for (int n = 0; n < 3; ++n) {
      const int first = 4 * n;
      transmit((pieces_[static_cast<size_t>(first)] + pieces_[static_cast<size_t>(first + 1)] +
                pieces_[static_cast<size_t>(first + 2)] + pieces_[static_cast<size_t>(first + 3)])
                   .left(64));
      receive();
    }
  };
  if (ui_.Value(QStringLiteral("OptPRT")) == 1) {
    for (int n = 0; n < 4; ++n) transmit(QString(40, QLatin1Char('H')) + kCrLf);
  } else if (ui_.Value(QStringLiteral("OptLAN")) == 1) {
    trackTexts();
  } else if (ui_.Value(QStringLiteral("OptModem")) == 1) {
    for (const char* at : {"AT&F", "ATE0", "ATQ0V1X3", "ATDT0987654321"}) {
      transmit(QString::fromLatin1(at) + kCr);
      receive();
    }
    trackTexts();
    // The modem's guard time around the escape sequence.
    WaitSeconds(guardSeconds_);
    transmit(QStringLiteral("+++") + kCr);
    receive();
    WaitSeconds(guardSeconds_);
    transmit(QStringLiteral("ATH"));
    receive();
  }
}

void RwTest::ClosingSteps() {
  MainModule& m = mm();
  if (Ticked("ChkEMC") && unloadEmc_) unloadEmc_();
  host_.poll();
  if (Ticked("ChkRmargin")) Send(QStringLiteral("!!m0"));
  ui_.SetText(kButton, QStringLiteral("Test Start"));
  if (m.gStopRequest == 1 && m.gRwCardInWait == -1) {
    host_.SendClAside();
    m.gRwCardInWait = 0;
    m.gPolling = 1;
  } else if (!cardOutSent_) {
    Send(QStringLiteral("CO"));
    cardOutSent_ = true;
  }
  m.gRwCardOutDeferred = 0;
  m.gRwTestRunning = 0;
  Send(QStringLiteral("MS:") + savedModes_);
  Send(QStringLiteral("MR"));
  ui_.SetBackColor(kButton, -1, kButtonFace);
}

void RwTest::Idle() {
  MainModule& m = mm();
  ui_.SetText(kButton, QStringLiteral("Test Start"));
  m.gRwTestRunning = 0;
  m.gRwCardInWait = 0;
  m.gRwCardOutDeferred = 0;
  running_ = false;
}

}  // namespace quorel

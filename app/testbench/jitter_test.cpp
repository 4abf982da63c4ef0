#include "testbench/jitter_test.h"

#include "core/conversions.h"
#include "core/dialogs.h"
#include "core/event_wait.h"
#include "core/form_controls.h"
#include "core/job_host.h"
#include "core/main_module.h"
#include "testbench/bench_job.h"
#include "testbench/dip_switch_test.h"

namespace quorel {
namespace {

constexpr uint32_t kRed = 0xFF;
constexpr uint32_t kGreen = 0xC000;
constexpr uint32_t kLampOk = 0xFF00;
constexpr uint32_t kLampIdle = 0xE0E0E0;
constexpr uint32_t kLampCard = 0x80FF80;
constexpr uint32_t kLampWork = 0xC0C0FF;
constexpr uint32_t kLampStop = 0xFFC0FF;

const QString kButton = QStringLiteral("CmdClockJitterTst");
const QString kMsg = QStringLiteral("LbJitterMsg");
const QString kLamp = QStringLiteral("ShapeJitterMsg");
const QString kFrame = QStringLiteral("FrameJitter");
const QString kKind = QStringLiteral("CmbJitterCardKind");
const QString kTitle = QStringLiteral("Mivor Test Mode");

QString Row(int track) { return QStringLiteral("LbJitter") + QString::number(track) + QStringLiteral("Tr"); }

}  // namespace

const QString JitterTest::kIdle = QStringLiteral("Clock Jitter Test");
const QString JitterTest::kRunning = QStringLiteral("Abort");
const QString JitterTest::kChooseKind = QStringLiteral("カード種を選択してください。");

// ---- rules ----

JitterData ParseJitterReply(const QString& r) {
  JitterData d;
  if (r.left(5) == QLatin1String("Ajt90")) {
    d[1] = r.mid(6, 3);
    d[2] = r.mid(11, 3);
    d[3] = r.mid(16, 3);
    d[4] = r.mid(21, 4);
    d[5] = r.mid(28, 3);
    d[6] = r.mid(34, 3);
    d[7] = r.mid(40, 2);
  } else {
    d[1] = d[2] = d[3] = QStringLiteral("--");
    d[4] = QStringLiteral("--.-");
    d[5] = d[6] = QStringLiteral("---");
    d[7] = QStringLiteral("NG");
  }
  return d;
}

QString JitterTrackDigit(const std::array<bool, 3>& ticked) {
  QString bits;
  for (bool t : ticked) bits.prepend(t ? QLatin1Char('1') : QLatin1Char('0'));
  return BinToHex(bits);
}

QString JitterModeCommand(const QString& digit) {
  return QStringLiteral("MS:R0W0D7H") + digit + QLatin1Char('C') + digit + QStringLiteral("Z1");
}

QString JitterWriteCommand(int track) {
  return QStringLiteral("WD:") + QString::number(track) + QLatin1Char('/') + QString(138, QLatin1Char('0'));
}

void JitterResults::Reset(const std::array<bool, 3>& ticked) {
  ticked_ = ticked;
  for (auto& t : verdict_) t = {-1, -1};
}

void JitterResults::Set(int track, bool ejection, bool ok) {
  if (track >= 1 && track <= 3) verdict_[static_cast<size_t>(track - 1)][ejection ? 1 : 0] = ok ? 1 : 0;
}

bool JitterResults::AllOk() const {
  for (size_t t = 0; t < 3; ++t)
    if (ticked_[t] && (verdict_[t][0] != 1 || verdict_[t][1] != 1)) return false;
  return true;
}

// ---- the job ----

JitterTest::JitterTest(FormControls& ui, JobHost& host, BenchJobState& state) : ui_(ui), host_(host), state_(state) {}

void JitterTest::Status(const QString& text, int lamp) {
  ui_.SetText(kMsg, -1, text);
  if (lamp >= 0) ui_.SetBackColor(kLamp, -1, static_cast<uint32_t>(lamp));
}

void JitterTest::PrintOptionChanged() {
  if (ui_.Ticked(QStringLiteral("ChkJitter"))) {
    ui_.SetEnabled(kKind, -1, true);
    ui_.SetBackColor(kKind, -1, kWindowBackground);
    ui_.SetText(kKind, -1, kChooseKind);
    ui_.Focus(kKind);
  } else {
    ui_.SetEnabled(kKind, -1, false);
    ui_.SetBackColor(kKind, -1, kButtonFace);
    ui_.SetText(kKind, -1, QString());
  }
}

void JitterTest::Click() {
  MainModule& m = mm();
  if (m.gResetWaiting) return;
  std::array<bool, 3> ticked{};
  for (int k = 1; k <= 3; ++k) ticked[static_cast<size_t>(k - 1)] = ui_.Ticked(QStringLiteral("ChkJitterTrack"), k);
  if (!ticked[0] && !ticked[1] && !ticked[2]) {
    Status(QStringLiteral("磁気トラック無効！！"), kRed);
    MsgBox(QStringLiteral("測定する磁気トラックがすべて無効になっております。\r\n使用トラックの見直しをお願いします。"),
           BoxButtons::kOk, BoxIcon::kCritical, QStringLiteral("測定磁気トラック無効"));
    Status(QString(), kLampIdle);
    ui_.Focus(QStringLiteral("ChkJitterTrack"), 1);
    return;
  }
  if (ui_.Ticked(QStringLiteral("ChkJitter")) && ui_.Text(kKind) == kChooseKind) {
    Status(QStringLiteral("カード種の選択をおねがいします！！"), kRed);
    MsgBox(QStringLiteral("測定結果を印字するカード種が選択されておりません\r\nカード種の選択をおねがいします。"),
           BoxButtons::kOk, BoxIcon::kCritical, QStringLiteral("カード種選択エラー"));
    Status(QString(), kLampIdle);
    ui_.Focus(kKind);
    return;
  }
  if (ui_.Text(kButton) != kIdle) {
    ui_.SetText(kButton, -1, kIdle);
    state_.mAbortRequest = -1;
    return;
  }
  BenchJobScope scope(state_);
  if (!scope.Acquired()) return;  // another bench job drives the channel
  ui_.SetText(kButton, -1, kRunning);
  if (caption_) caption_(kTitle + QString(4, QChar(0x3000)) + QStringLiteral("クロックジッターテスト"));
  ui_.SetEnabled(kFrame, -1, false);
  state_.mAbortRequest = 0;
  m.gStopRequest = 0;
  ResetGrid();
  results_.Reset(ticked);
  if (BenchPortReady(host_, false)) {
    const bool finished = Run(ticked);
    if (finished) {
      const bool ok = results_.AllOk();
      Status(ok ? QStringLiteral("総合判定　ＯＫ") : QStringLiteral("総合判定　ＮＧ"), ok ? kLampOk : kRed);
    } else {
      Status(QStringLiteral("ユーザーによるテスト中断"), kLampStop);
      if (m.gAppClosing != 1) WaitSeconds(abortPause_);
    }
    End(!finished);
  }
  ui_.SetText(kButton, -1, kIdle);
  if (caption_) caption_(kTitle);
  ui_.SetEnabled(kFrame, -1, true);
}

void JitterTest::ResetGrid() {
  data_ = JitterData{};
  for (int k = 1; k <= 3; ++k) {
    const QString row = Row(k);
    for (int c = 0; c < 16; ++c) {
      ui_.SetForeColor(row, c, kButtonText);
      if (c % 8 != 0) ui_.SetToolTip(row, c, QString());
      QString text = QStringLiteral("---");
      if (c % 8 == 0) text = QString::number(k) + QStringLiteral("Tr");
      else if (c % 8 == 4) text = QStringLiteral("--.-");
      else if (c % 8 == 7) text = QStringLiteral("--");
      ui_.SetText(row, c, text);
    }
  }
}

bool JitterTest::Stopped() { return BenchMustEnd(state_); }

bool JitterTest::WaitForCard() {
  for (;;) {
    PumpPendingEvents();
    if (Stopped()) return false;
    const bool answered = BenchSend(host_, QStringLiteral("ST"));
    PumpPendingEvents();
    const QString& reply = mm().gReplyText;
    if (answered && (reply.mid(5, 1) == QLatin1String("1") || reply.mid(6, 1) == QLatin1String("1"))) return true;
  }
}

bool JitterTest::Run(const std::array<bool, 3>& ticked) {
  Status(QStringLiteral("カードを挿入してください"), kLampCard);
  if (Stopped() || !WaitForCard() || Stopped()) return false;
  host_.poll();
  BenchSend(host_, QStringLiteral("CI"));
  BenchSend(host_, QStringLiteral("PC"));
  if (Stopped()) return false;

  const QString mode = JitterModeCommand(JitterTrackDigit(ticked));
  Status(mode + QStringLiteral("設定"));
  BenchSend(host_, mode);
  Status(QStringLiteral("磁気データ転送"), kLampWork);
  for (int k = 1; k <= 3; ++k)
    if (ticked[static_cast<size_t>(k - 1)]) BenchSend(host_, JitterWriteCommand(k));
  Status(QStringLiteral("挿入方向 磁気ﾃﾞｰﾀ W/R"));
  BenchSend(host_, QStringLiteral("WR"));
  if (Stopped()) return false;
  for (int k = 1; k <= 3; ++k) {
    if (ticked[static_cast<size_t>(k - 1)]) Pass(k, false);
    if (Stopped()) return false;
  }
  Status(QStringLiteral("排出方向 磁気ﾃﾞｰﾀ R"));
  BenchSend(host_, QStringLiteral("VR"));
  if (Stopped()) return false;
  for (int k = 1; k <= 3; ++k) {
    if (ticked[static_cast<size_t>(k - 1)]) Pass(k, true);
    if (k < 3 && Stopped()) return false;
  }
  return true;
}

void JitterTest::Pass(int track, bool ejection) {
  Status(QString::number(track) + QStringLiteral("Tr データ取得リクエスト"));
  const bool answered = BenchSend(host_, QStringLiteral("jt:") + QString::number(track));
  // An exchange without its own answer is judged as an invalid reply.
  data_ = ParseJitterReply(answered ? mm().gReplyText : QString());
  const QString row = Row(track);
  const int base = ejection ? 8 : 0;
  static const char* const tips[] = {"ﾋﾞｯﾄｲﾝﾀｰﾊﾞﾙ最大時間 ", "ﾋﾞｯﾄｲﾝﾀｰﾊﾞﾙ最小時間 ", "ﾋﾞｯﾄｲﾝﾀｰﾊﾞﾙ平均時間 ",
                                     "ｼﾞｯﾀｰ(速度変動率) ",  "平均速度 ",              "0/1判定基準時間 "};
  static const char* const units[] = {"μｓ", "μｓ", "μｓ", "％", "mm/s", "μｓ"};
  for (int f = 1; f <= 6; ++f) {
    ui_.SetText(row, base + f, data_[static_cast<size_t>(f)]);
    ui_.SetToolTip(row, base + f,
                   QString::fromUtf8(tips[f - 1]) + data_[static_cast<size_t>(f)] + QString::fromUtf8(units[f - 1]));
  }
  const bool ok = data_[7] == QLatin1String("OK");
  ui_.SetForeColor(row, base + 7, ok ? kGreen : kRed);
  ui_.SetText(row, base + 7, data_[7]);
  results_.Set(track, ejection, ok);
}

void JitterTest::End(bool aborted) {
  // After a stop the card in the slot may be the operator's own: printing
  // the results on it would spoil it, so only a finished run prints.
  if (!aborted && ui_.Ticked(QStringLiteral("ChkJitter"))) {
    BenchSend(host_, QStringLiteral("MS:b1"));
    BenchSend(host_, QStringLiteral("PR=") + ui_.Text(kKind).left(1));
  }
  const QString bits = DSWRead(host_, 2);
  BenchSend(host_, bits.endsWith(QLatin1Char('1')) ? QStringLiteral("MS:b1") : QStringLiteral("MS:b0"));
  BenchSend(host_, QStringLiteral("MS:H7C7"));
  BenchSend(host_, QStringLiteral("CO"));
}

}  // namespace quorel

#include "testbench/erase_margin_test.h"

#include "core/dialogs.h"
#include "core/event_wait.h"
#include "core/form_controls.h"
#include "core/job_host.h"
#include "core/main_module.h"
#include "testbench/bench_job.h"
#include "testbench/print_test_button.h"

namespace quorel {
namespace {

constexpr uint32_t kGrey = 0xE0E0E0;
constexpr uint32_t kGreen = 0xFF00;
constexpr uint32_t kLightGreen = 0x80FF80;
constexpr uint32_t kLightRed = 0xC0C0FF;
constexpr uint32_t kYellow = 0x80FFFF;
constexpr uint32_t kNgRed = 0x8080FF;
constexpr uint32_t kPink = 0xFFC0FF;

const QString kButton = QStringLiteral("CmdEraseMargin");
const QString kKinds = QStringLiteral("CmbKdKind");
const QString kLamp = QStringLiteral("SpErMarjin");
const QString kTitle = QStringLiteral("Mivor Test Mode");
const char* const kFrames[] = {"FrameRank", "FrameUpDwn", "FrameStatus", "EEPSetting_Mivor"};

}  // namespace

const QString EraseMarginTest::kIdle = QStringLiteral("消去マージン");
const QString EraseMarginTest::kRunning = QStringLiteral("中　止");

EraseMarginTest::EraseMarginTest(FormControls& ui, JobHost& host, BenchJobState& state,
                                 std::function<void()> settingsRead, std::function<void(const QString&)> caption)
    : ui_(ui), host_(host), state_(state), settingsRead_(std::move(settingsRead)), caption_(std::move(caption)) {}

void EraseMarginTest::Message(uint32_t color, const QString& text) { ShowPrintTestMessage(ui_, color, text); }

void EraseMarginTest::Pause(double seconds) { WaitSeconds(static_cast<float>(seconds * pauseScale_)); }

bool EraseMarginTest::Aborted() const { return state_.mAbortRequest != 0; }

void EraseMarginTest::Click() {
  if (!PrintTestStartPressed(ui_, state_, kButton, kIdle)) return;
  BenchJobScope scope(state_);
  if (!scope.Acquired()) return;
  ui_.SetText(kButton, -1, kRunning);
  if (caption_) caption_(kTitle + QStringLiteral("　　　　消去マージン確認テスト"));
  for (const char* f : kFrames) ui_.SetEnabled(QLatin1String(f), false);
  ui_.SetEnabled(QStringLiteral("CmdPrntPosition"), false);
  const QString chosen = ui_.Text(kKinds).trimmed();
  state_.mAbortRequest = 0;
  for (int i = 0; i < 3; ++i) ui_.SetBackColor(kLamp, i, kButtonFace);
  mm().gStopRequest = 0;
  shifted_ = false;

  bool automatic = false;
  End end = End::kOk;
  if (chosen == kKdAutoItem) {
    const QStringList& items = KdKindItems();
    QString text = QStringLiteral("★カード自動モードが選択されました。\n　下記のカードの順でテストします。ご用意ください。");
    int n = 1;
    for (const AutoKindStep& s : AutoKindSteps()) text += QStringLiteral("\n%1) ").arg(n++) + items[s.item];
    if (MsgBox(text, BoxButtons::kOkCancel, BoxIcon::kQuestion, QStringLiteral("自動テストモード選択")) !=
        BoxAnswer::kOk)
      end = End::kAbort;
    automatic = true;
  }
  if (end == End::kOk) {
    if (!BenchPortReady(host_, true)) {
      CommonEnding();
      return;
    }
    end = Run(automatic, chosen.isEmpty() ? QChar() : chosen[0]);
  }
  RestoreRank();
  if (end == End::kOk) Pause(3);  // the last kind's OK line stays a moment
  if (end == End::kAbort) {
    Message(kPink, QStringLiteral("ユーザーによるテスト中断"));
    Pause(3);
  }
  if (end == End::kNg) {
    // The verdict stays on the tab; everything else becomes usable again.
    const QString text = ui_.Text(QStringLiteral("LbTestMsg"));
    CommonEnding();
    Message(kNgRed, text);
    return;
  }
  CommonEnding();
}

EraseMarginTest::End EraseMarginTest::Run(bool automatic, QChar kind) {
  if (settingsRead_) settingsRead_();
  rankText_ = mm().gThErRank;
  const std::optional<int> rank = EraseRankOf(rankText_);
  if (!rank) {
    // Without a readable R the prints could not put the rank back.
    MsgBox(QStringLiteral("消去ヘッドランクが読み取れないため、テストを行いません。"), BoxButtons::kOk,
           BoxIcon::kExclamation);
    return End::kAbort;
  }
  rank_ = *rank;
  ui_.SetEnabled(kKinds, false);
  if (!automatic) return RunKind(kind);
  const auto& steps = AutoKindSteps();
  for (size_t i = 0; i < steps.size(); ++i) {
    ui_.SetListIndex(kKinds, -1, steps[i].item);
    ui_.SetBackColor(kKinds, -1, steps[i].back);
    ui_.SetForeColor(kKinds, -1, steps[i].fore);
    const End end = RunKind(steps[i].kind);
    if (end != End::kOk) return end;
    if (i + 1 < steps.size()) Pause(1.5);
  }
  return End::kOk;
}

EraseMarginTest::End EraseMarginTest::RunKind(QChar kind) {
  for (MarginPrint p : {MarginPrint::kMinus, MarginPrint::kPlus, MarginPrint::kDefault}) {
    const End end = Print(p, kind);
    if (end != End::kOk) return end;
  }
  Message(kGreen, QStringLiteral("ｶｰﾄﾞ種:") + kind + QStringLiteral(" 消去ﾏｰｼﾞﾝ確認ﾃｽﾄ OK"));
  return End::kOk;
}

EraseMarginTest::End EraseMarginTest::Print(MarginPrint print, QChar kind) {
  const int index = static_cast<int>(print);
  for (int i = 0; i < 3; ++i) ui_.SetBackColor(kLamp, i, i == index ? kGreen : kButtonFace);
  Message(kLightGreen, QStringLiteral("カードを挿入してください"));
  if (Aborted()) return End::kAbort;
  host_.poll();
  const QChar state = mm().gReplyText.size() > 2 ? mm().gReplyText[2] : QChar();
  if (state == QLatin1Char('4') || state == QLatin1Char('5')) BenchSend(host_, QStringLiteral("CL"));
  if (Aborted()) return End::kAbort;
  if (!BenchWaitForCard(host_, state_, nullptr) || Aborted()) return End::kAbort;
  BenchSend(host_, EraseRankCommand(PrintRank(print, rank_)));
  shifted_ = print != MarginPrint::kDefault;
  BenchSend(host_, QStringLiteral("PC"));
  if (Aborted()) return End::kAbort;
  const MarginTexts texts = MarginPrintTexts(print, rankText_);
  Message(kLightGreen, texts.transfer);
  SendPage(print);
  Message(kLightRed, texts.printing);
  BenchSend(host_, QStringLiteral("PR=") + kind);
  BenchSend(host_, EraseRankCommand(rank_));  // back to R after every print
  shifted_ = false;
  Message(kLightGreen, QStringLiteral("カード排出"));
  BenchSend(host_, QStringLiteral("CO"));
  if (Aborted()) return End::kAbort;
  Message(kYellow, texts.judge);
  if (MsgBox(texts.question, BoxButtons::kYesNo, BoxIcon::kNone, texts.title) != BoxAnswer::kYes) {
    Message(kNgRed, QStringLiteral("消去マージン確認テスト NG"));
    return End::kNg;
  }
  return End::kOk;
}

void EraseMarginTest::SendPage(MarginPrint print) {
  for (const QString& c : EraseMarginPage(print, rankText_)) BenchSend(host_, c);
}

void EraseMarginTest::RestoreRank() {
  // A job that ends between a shifted rank and its print's restore must not
  // leave the device on the shifted rank.
  if (shifted_ && mm().gPortOpen) BenchSend(host_, EraseRankCommand(rank_));
  shifted_ = false;
}

void EraseMarginTest::CommonEnding() {
  Message(kGrey, QString());
  ui_.SetText(kButton, -1, kIdle);
  if (caption_) caption_(kTitle);
  for (const char* f : kFrames) ui_.SetEnabled(QLatin1String(f), true);
  ui_.SetEnabled(QStringLiteral("CmdPrntPosition"), true);
  state_.mAbortRequest = 0;
  ui_.SetEnabled(kKinds, true);
  ui_.SetBackColor(kKinds, -1, kWindowBackground);
  ui_.SetForeColor(kKinds, -1, kWindowText);
  ui_.SetListIndex(kKinds, -1, 0);
  for (int i = 0; i < 3; ++i) ui_.SetBackColor(kLamp, i, kButtonFace);
}

}  // namespace quorel

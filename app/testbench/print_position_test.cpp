#include "testbench/print_position_test.h"

#include "core/dialogs.h"
#include "core/form_controls.h"
#include "core/job_host.h"
#include "core/main_module.h"
#include "testbench/bench_job.h"
#include "testbench/print_test_button.h"
#include "testbench/dip_switch_test.h"
#include "testbench/erase_margin_print.h"
#include "testbench/print_position_print.h"

namespace quorel {
namespace {

constexpr uint32_t kGrey = 0xE0E0E0;
constexpr uint32_t kLightGreen = 0x80FF80;
constexpr uint32_t kLightRed = 0xC0C0FF;

const QString kButton = QStringLiteral("CmdPrntPosition");
const QString kKinds = QStringLiteral("CmbKdKind");
const QString kFunc = QStringLiteral("ChkPrPositionF");
const QString kEval = QStringLiteral("ChkPrPositionH");
const QString kTitle = QStringLiteral("Mivor Test Mode");
const char* const kLocked[] = {"FrameRank", "FrameUpDwn", "FrameStatus", "EEPSetting_Mivor", "CmdEraseMargin"};

}  // namespace

const QString PrintPositionTest::kIdle = QStringLiteral("印字位置印刷");
const QString PrintPositionTest::kRunning = QStringLiteral("中　止");

PrintPositionTest::PrintPositionTest(FormControls& ui, JobHost& host, BenchJobState& state,
                                     std::function<void(const QString&)> caption)
    : ui_(ui), host_(host), state_(state), caption_(std::move(caption)) {}

void PrintPositionTest::Message(uint32_t color, const QString& text) { ShowPrintTestMessage(ui_, color, text); }

void PrintPositionTest::PageBoxClicked(bool functionBox) {
  const QString& x = functionBox ? kFunc : kEval;
  const QString& y = functionBox ? kEval : kFunc;
  if (ui_.Ticked(x)) ui_.SetValue(y, 0);
  if (!ui_.Ticked(x) && !ui_.Ticked(y)) ui_.SetValue(x, 1);
}

void PrintPositionTest::Click() {
  if (!PrintTestStartPressed(ui_, state_, kButton, kIdle)) return;
  BenchJobScope scope(state_);
  if (!scope.Acquired()) return;
  ui_.SetText(kButton, -1, kRunning);
  if (caption_) caption_(kTitle + QStringLiteral("　　　　印字位置確認テスト"));
  for (const char* c : kLocked) ui_.SetEnabled(QLatin1String(c), false);
  state_.mAbortRequest = 0;
  mm().gStopRequest = 0;

  if (ui_.Ticked(kFunc))
    MsgBox(QStringLiteral("拡張範囲印字モードでの印字位置(＜)印刷を行います。"), BoxButtons::kOk, BoxIcon::kQuestion,
           QStringLiteral("印字位置印刷（機能調整印刷用）"));
  else
    MsgBox(QStringLiteral("互換範囲印字モードでの印字を行います。"), BoxButtons::kOk, BoxIcon::kQuestion,
           QStringLiteral("印字印刷（評価印刷用）"));

  if (ui_.Text(kKinds).trimmed() == kKdAutoItem) ui_.SetListIndex(kKinds, -1, 16);
  const QString kindText = ui_.Text(kKinds);
  const QChar kind = kindText.isEmpty() ? QLatin1Char('?') : kindText[0];

  if (!BenchPortReady(host_, true)) {
    Ending();
    return;
  }
  BenchSend(host_, QStringLiteral("MR"));
  savedModes_ = SavedModesOf(mm().gReplyText);
  Message(kLightGreen, QStringLiteral("カードを挿入してください"));
  auto aborted = [this] { return state_.mAbortRequest != 0; };
  bool carded = false;
  if (!aborted()) {
    host_.poll();
    const QChar st = mm().gReplyText.size() > 2 ? mm().gReplyText[2] : QChar();
    if (st == QLatin1Char('4') || st == QLatin1Char('5')) BenchSend(host_, QStringLiteral("CL"));
  }
  if (!aborted()) carded = BenchWaitForCard(host_, state_, nullptr);
  if (carded && !aborted()) {
    const bool position = ui_.Ticked(kFunc);
    Message(kLightGreen, position ? QStringLiteral("拡張範囲 印字データ転送中") : QStringLiteral("互換範囲 印字データ転送中"));
    // The page prints the version the "VS" inside it brings back, so the
    // commands after it are built once that reply is in.
    auto sheet = [position] { return position ? PositionSheet(mm().gVersionText) : EvaluationSheet(mm().gVersionText); };
    std::vector<QString> page = sheet();
    for (size_t i = 0; i < page.size(); ++i) {
      BenchSend(host_, page[i]);
      if (page[i] == QLatin1String("VS")) page = sheet();
    }
    if (!aborted()) {
      Message(kLightRed, QStringLiteral("印字 実行中"));
      BenchSend(host_, PositionPrintCommand(kind));
    }
  }
  Message(kLightGreen, QStringLiteral("カード排出"));
  BenchSend(host_, QStringLiteral("CO"));
  BenchSend(host_, ClosingModeCommand(DSWRead(host_, 2), savedModes_));
  Ending();
}

void PrintPositionTest::Ending() {
  Message(kGrey, QString());
  if (caption_) caption_(kTitle);
  ui_.SetText(kButton, -1, kIdle);
  for (const char* c : kLocked) ui_.SetEnabled(QLatin1String(c), true);
  state_.mAbortRequest = 0;
  ui_.SetListIndex(kKinds, -1, 0);
}

}  // namespace quorel

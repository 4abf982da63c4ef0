#include "eeprom/memory_switch_job.h"

#include "core/dialogs.h"
#include "core/form_controls.h"
#include "core/main_module.h"
#include "eeprom/eep_rows.h"

namespace quorel::eep {
namespace {

const QString kBox = QStringLiteral("ChkMemorySW");
const QString kStatus = QStringLiteral("StatusBarMemorySW");
const QString kTitle = QStringLiteral("EEPROM Mivor Memory Switch");
// The job frame without a busy display: the window is modal.
constexpr JobSteps kSwitchJob{true, false, true, true};

}  // namespace

MemorySwitchJob::MemorySwitchJob(FormControls& ui, EepJobRunner& jobs, std::function<void()> labelInit)
    : ui_(ui), jobs_(jobs), labelInit_(std::move(labelInit)) {}

void MemorySwitchJob::LabelInit() {
  if (labelInit_) labelInit_();
}

void MemorySwitchJob::SetStatus(const QString& text) { ui_.SetText(kStatus, -1, text); }

SwitchBoxes MemorySwitchJob::Boxes() const {
  SwitchBoxes b{};
  for (int i = 1; i <= 8; ++i) b[static_cast<size_t>(i - 1)] = ui_.Value(kBox, i) == 1;
  return b;
}

void MemorySwitchJob::SetBoxes(const SwitchBoxes& boxes) {
  for (int i = 1; i <= 8; ++i) ui_.SetValue(kBox, i, boxes[static_cast<size_t>(i - 1)] ? 1 : 0);
}

void MemorySwitchJob::Load() {
  const bool admin = mm().gAdminMode == 1;
  ui_.SetEnabled(kBox, 2, admin);
  ui_.SetEnabled(kBox, 5, admin);
  const BoxAnswer a = MsgBox(QStringLiteral("現在の状態を取得します。\r\nカードリーダーを接続してください。\r\n"
                                            "ＯＫをクリックすると開始します。"),
                             BoxButtons::kOkCancel, BoxIcon::kInformation, QStringLiteral("Memory Switch"));
  if (a == BoxAnswer::kOk) Click(0);
}

void MemorySwitchJob::Click(int index) {
  if (mm().gResetWaiting != 0) return;
  if (index != 0 && !readAnswered_) {
    SetStatus(QStringLiteral("現設定未取得､書き込みできません"));
    return;
  }
  // Each read stands alone: one that fails (or never gets as far as the
  // word) withdraws what an earlier good read allowed, since its boxes no
  // longer show the device's switches.
  if (index == 0) readAnswered_ = false;
  LabelInit();
  jobs_.Run(kSwitchJob, [this, index](EepJob& job) {
    if (!ModelFits(job)) return;
    if (index == 0)
      Read(job);
    else
      Write(job);
  });
}

bool MemorySwitchJob::ModelFits(EepJob& job) {
  if (!job.Send(QStringLiteral("VS"))) return false;
  // This job's own answer: a refused or failed "VS" names no model.
  const JobReply& r = job.reply();
  const QString version =
      r.kind == QLatin1String("A") && r.status == QLatin1String("90") ? ReplyData(r.text) : QString();
  const QString shown = QStringLiteral("\r\nFirm Vrsion ：") + version;
  if (!IsMivorVersion(version)) {
    MsgBox(QStringLiteral("該当の機種ではありません！") + shown, BoxButtons::kOk, BoxIcon::kNone, kTitle);
    return false;
  }
  if (FirmwareNumber(version) < 7.0) {
    MsgBox(QStringLiteral("ファームウェアのバージョンが対応していません！") + shown, BoxButtons::kOk, BoxIcon::kNone,
           kTitle);
    return false;
  }
  return true;
}

void MemorySwitchJob::Read(EepJob& job) {
  SetBoxes(SwitchBoxes{});
  const bool goOn = job.Send(WordReadCommand(kWordMemorySwitches, 1));
  const QString& reply = job.text();
  if (!BeginsOk(reply, QStringLiteral("ee"))) {
    SetStatus(QStringLiteral("現設定、読み込みエラー！！"));
    if (goOn) LabelInit();
    return;
  }
  readAnswered_ = true;
  SetStatus(QStringLiteral("現設定､読み込み正常終了"));
  if (ReplyChars(reply, 6, 9) == QLatin1String("FFFF")) {
    SetStatus(QStringLiteral("現設定､未設定機器"));
    return;
  }
  SetBoxes(BoxesOfLowByte(ReplyChars(reply, 8, 9)));
  if (goOn) LabelInit();
}

void MemorySwitchJob::Write(EepJob& job) {
  const bool goOn = job.Send(WordWriteCommand(kWordMemorySwitches, 1, SwitchWord(Boxes())));
  SetStatus(BeginsOk(job.text(), QStringLiteral("ee")) ? QStringLiteral("設定書き込み､正常終了")
                                                        : QStringLiteral("設定エラー！！"));
  if (goOn) LabelInit();
}

}  // namespace quorel::eep

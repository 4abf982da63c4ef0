#include "core/maintenance_commands.h"

#include "core/counter_readout.h"
#include "core/dialogs.h"
#include "core/event_wait.h"
#include "core/form_controls.h"
#include "core/job_host.h"
#include "core/main_module.h"
#include "core/model_family.h"
#include "core/reply_decoders.h"
#include "core/reply_fields.h"

namespace quorel {
namespace {

const QString kButtons = QStringLiteral("Command2");
const QString kStop = QStringLiteral("STOP");

QString IdleCaption(int index) {
  return index == 5 ? QStringLiteral("時計確認") : QStringLiteral("ｾﾝｻｰ電圧");
}

// Leading and trailing blanks off (only blanks: a tab goes to the device).
QString TrimBlanks(const QString& text) {
  qsizetype from = 0, to = text.size();
  while (from < to && text.at(from) == QLatin1Char(' ')) ++from;
  while (to > from && text.at(to - 1) == QLatin1Char(' ')) --to;
  return text.mid(from, to - from);
}

void ApplyTo(FormControls& ui, const std::vector<ControlUpdate>& updates) {
  for (const ControlUpdate& u : updates) {
    switch (u.property) {
      case DisplayProperty::kCaption:
      case DisplayProperty::kText: ui.SetText(u.control, u.index, u.text); break;
      case DisplayProperty::kToolTip: ui.SetToolTip(u.control, u.index, u.text); break;
      case DisplayProperty::kListIndex: ui.SetListIndex(u.control, u.index, u.listIndex); break;
    }
  }
}

// Clears the busy mark on every way out of a sequence.
class BusyMark {
 public:
  explicit BusyMark(int16_t& busy) : busy_(busy) { busy_ = 1; }
  ~BusyMark() { busy_ = 0; }
  BusyMark(const BusyMark&) = delete;
  BusyMark& operator=(const BusyMark&) = delete;

 private:
  int16_t& busy_;
};

}  // namespace

QString ClockCommand(const QDateTime& when) {
  // Qt counts Monday 1 to Sunday 7; the device Sunday 0 to Saturday 6.
  const int weekday = when.date().dayOfWeek() % 7;
  return QStringLiteral("CK:") + when.toString(QStringLiteral("yyMMdd")) + QLatin1Char('0') +
         QString::number(weekday) + when.toString(QStringLiteral("HHmmss"));
}

bool SensorRefIs5V(const QString& versionText) { return ModelFamilyOf(versionText) != ModelFamily::kOther; }

MaintenanceCommands::MaintenanceCommands(FormControls& ui, JobHost& host, int16_t& busy)
    : ui_(ui), host_(host), busy_(busy), clock_([] { return QDateTime::currentDateTime(); }) {}

bool MaintenanceCommands::Closing() const { return mm().gAppClosing == 1; }

bool MaintenanceCommands::Confirmed() const {
  return MsgBox(QStringLiteral("EEPROM内容を変更しますか ?"), BoxButtons::kOkCancel, BoxIcon::kQuestion) ==
         BoxAnswer::kOk;
}

void MaintenanceCommands::Command2_Click(int index) {
  MainModule& m = mm();
  if (m.gResetWaiting != 0) return;
  if (loop_ >= 0) {
    // A loop runs: a second press of its own button ends it after the
    // current pass; every other button waits.
    if (index == loop_) {
      ui_.SetText(kButtons, index, IdleCaption(index));
      if (loopStyle_) loopStyle_(false);
    }
    return;
  }
  if (busy_ == 1) return;
  BusyMark mark(busy_);

  if (!m.gPortOpen) {
    host_.commIni();
    if (!m.gPortOpen) {
      MsgBox(QStringLiteral("通信できません！\r\n通信設定やケーブルを見直してください。"), BoxButtons::kOk,
             BoxIcon::kCritical, QStringLiteral("通信エラー"));
      return;
    }
    host_.poll();
    if (Closing()) return;
  }
  AnswerLastReply(host_);
  if (Closing()) return;

  QString tail;
  if (!OwnSteps(index, &tail)) return;
  last_ = SendVia(host_, tail);
  if (Closing()) return;
  PostProcess(index);
}

bool MaintenanceCommands::OwnSteps(int index, QString* tail) {
  switch (index) {
    case 0: *tail = QStringLiteral("PW:") + TrimBlanks(ui_.Text(QStringLiteral("TxtPWETSend"), 0)); return true;
    case 1: *tail = QStringLiteral("ET:") + TrimBlanks(ui_.Text(QStringLiteral("TxtPWETSend"), 1)); return true;
    case 3: *tail = QStringLiteral("RE"); return true;
    case 5: *tail = QStringLiteral("CK"); return RunLoop(index, *tail);
    case 6: *tail = ClockCommand(clock_()); return true;
    case 8:
      *tail = QStringLiteral("TH");
      SendVia(host_, QStringLiteral("VS"));
      if (Closing()) return false;
      SendVia(host_, QStringLiteral("RE"));
      return !Closing();
    case 9: {
      *tail = QStringLiteral("!!s");
      SendVia(host_, QStringLiteral("VS"));
      if (Closing()) return false;
      const bool five = SensorRefIs5V(mm().gVersionText);
      ui_.SetValue(QStringLiteral("OpSenV"), five ? 0 : 1, 0);
      ui_.SetValue(QStringLiteral("OpSenV"), five ? 1 : 0, 1);
      return RunLoop(index, *tail);
    }
    case 10: *tail = QStringLiteral("!!") + QLatin1Char('|'); return true;
    case 11: *tail = QStringLiteral("!!w"); return Confirmed();
    case 12: *tail = QStringLiteral("eew:03/03/FFFFFFFFFFFF"); return Confirmed();
    case 13: *tail = QStringLiteral("!!e"); return Confirmed();
    case 14: *tail = QStringLiteral("!!c"); return Confirmed();
    case 15: *tail = QStringLiteral("TH"); return true;
    default: return false;  // the array has no such button
  }
}

bool MaintenanceCommands::RunLoop(int index, const QString& command) {
  const QString idle = IdleCaption(index);
  ui_.SetText(kButtons, index, kStop);
  if (loopStyle_) loopStyle_(true);
  loop_ = index;
  do {
    PumpPendingEvents();
    SendVia(host_, command);
    if (Closing()) break;
    WaitSeconds(loopPause_);
  } while (!Closing() && ui_.Text(kButtons, index) != idle);
  loop_ = -1;
  if (!Closing()) return true;
  ui_.SetText(kButtons, index, idle);
  if (loopStyle_) loopStyle_(false);
  return false;
}

void MaintenanceCommands::PostProcess(int index) {
  MainModule& m = mm();
  switch (index) {
    case 0:
      if (ui_.Value(QStringLiteral("ChkPWETAuto")) != 1) return;
      {
        QString tail;
        if (!OwnSteps(8, &tail)) return;
        last_ = SendVia(host_, tail);
        if (!Closing()) HeadDataDisplay();
      }
      return;
    case 1:
      if (ui_.Value(QStringLiteral("ChkPWETAuto")) != 1) return;
      {
        const ComuOutcome outcome = SendVia(host_, QStringLiteral("RE"));
        if (Closing()) return;
        const QString text = AnsweredBy(outcome, QStringLiteral("RE")) ? reply::Data(m.gReplyText) : QString();
        ui_.SetText(QStringLiteral("TxtPWETSend"), 2, text);
        ui_.SetToolTip(QStringLiteral("TxtPWETSend"), 2, text);
      }
      return;
    case 3: {
      // The reply of this "RE", whatever its end code; nothing when none came.
      const QString text = AnsweredBy(last_, QStringLiteral("RE")) ? reply::Data(m.gReplyText) : QString();
      ui_.SetText(QStringLiteral("TxtPWETSend"), 2, text);
      ui_.SetToolTip(QStringLiteral("TxtPWETSend"), 2, text);
      return;
    }
    case 8: HeadDataDisplay(); return;
    case 13:
    case 14: CounterReadout(); return;
    default: return;
  }
}

void MaintenanceCommands::HeadDataDisplay() {
  MainModule& m = mm();
  const QString& text = m.gReplyText;
  if (AnsweredBy(last_, QStringLiteral("TH")) && reply::EndsNormally(text)) {
    const DisplayUpdates updates = quorel::HeadDataDisplay(text, DecodeContext(m));
    ApplyStateChanges(updates.state, m);
    ApplyTo(ui_, updates.controls);
    return;
  }
  // An error reply (or none) is shown whole and stored nowhere: the head
  // values that "pw$", "tr$" and the print pages use stay those of the
  // last good reply.
  ui_.SetText(QStringLiteral("LbTH"), 0, text);
  ui_.SetToolTip(QStringLiteral("LbTH"), 0, text);
}

void MaintenanceCommands::Command34_Click() {
  MainModule& m = mm();
  if (m.gResetWaiting != 0 || busy_ == 1 || loop_ >= 0) return;
  BusyMark mark(busy_);
  CounterReadout();
}

void MaintenanceCommands::CounterReadout() {
  MainModule& m = mm();
  if (!m.gPortOpen) {
    host_.commIni();
    if (!m.gPortOpen) return;
    host_.poll();
    if (Closing()) return;
  }
  AnswerLastReply(host_);
  host_.poll();
  if (Closing()) return;
  SendVia(host_, QStringLiteral("VS"));
  if (Closing()) return;

  QString lines;
  bool first = true;
  for (const CounterEntry& entry : CounterList(IsCounterFamilyA(m.gVersionText))) {
    const QString command = QString::fromLatin1(entry.command);
    const ComuOutcome outcome = SendVia(host_, command);
    if (Closing()) return;
    // A value only from this counter's own good reply: after a refused or
    // failed exchange the reply fields still hold another command's reply.
    const bool good = AnsweredBy(outcome, command) && reply::EndsNormally(m.gReplyText);
    const QString line = good ? CounterLine(entry, m.gReplyText) : QString::fromUtf8(entry.label);
    lines += (first ? QString() : QStringLiteral("\r\n")) + line;
    first = false;
    ui_.SetText(QStringLiteral("LbEEPForm"), lines);
  }
}

}  // namespace quorel

#include "eeprom/eep_counters.h"

#include "core/dialogs.h"
#include "core/form_controls.h"
#include "core/main_module.h"
#include "core/password_prompt.h"
#include "eeprom/eep_channel.h"
#include "eeprom/eep_rows.h"
#include "eeprom/eep_settings_model.h"
#include "eeprom/eep_tables.h"

namespace quorel::eep {
namespace {

// A counter-panel control of the family: Mivor's own, else the shared array.
struct Control {
  QString name;
  int index;
};
Control Of(const char* base, Family f) {
  if (f == Family::kMivor) return {QString::fromLatin1(base) + QStringLiteral("_Mivor"), -1};
  return {QString::fromLatin1(base) + QStringLiteral("_Dastel"), SharedIndex(f)};
}

}  // namespace

void EepCounters::Read(Family f) {
  frame_.jobs().Run(kFullJob, [&](EepJob& job) {
    if (frame_.CheckFamily(job, f) == ModelAnswer::kCancelled || job.ending()) return;
    int count = 0;
    const CounterLine* lines = f == Family::kMivor ? MivorCounters(&count) : WordFamilyCounters(&count);
    const Control disp = Of("PassDisp", f);
    const MainModule& m = mm();
    QString list;
    for (int i = 0; i < count; ++i) {
      if (!job.Send(QString::fromLatin1(lines[i].command))) return;
      const QString value = CounterValue(lines[i], job.text());
      if (i > 0) list += QLatin1Char('\n');
      list += QString::fromUtf8(lines[i].label) + value;
      frame_.ui().SetText(disp.name, disp.index, list);
      if (m.gReportMode != 0)
        frame_.reportBuffer() += ReportLine(QString::fromUtf8(lines[i].reportLabel), m.gReportSeparator, value);
    }
  });
}

void EepCounters::Write(Family f) {
  MainModule& m = mm();
  if (m.gResetWaiting != 0) return;
  const Control item = Of("EEPkoumoku", f);
  const Control value = Of("KaisuTxt", f);
  QString why;
  const std::optional<QString> command =
      CounterWriteCommand(frame_.ui().Text(item.name, item.index), frame_.ui().Text(value.name, value.index), &why);
  if (!command) {
    MsgBox(why, BoxButtons::kOk, BoxIcon::kExclamation);
    return;
  }
  m.gPasswordEntry.clear();
  m.gPasswordEntry = InputBoxDK(QStringLiteral("パスワードを入力してください！"));
  if (m.gPasswordEntry != CounterWriteCode()) return;

  // Mivor has always polled and acknowledged a power-up alone; the port is
  // opened first as on the other tabs, so a closed port says so.
  const bool mivor = f == Family::kMivor;
  JobSteps steps = kFullJob;
  steps.preamble = !mivor;
  frame_.jobs().Run(steps, [&](EepJob& job) {
    if (mivor) {
      if (frame_.jobs().channel().poll() == ComuOutcome::kClosing || job.ending()) return;
      if (mm().gReplyText.startsWith(QLatin1String("R2")) && !job.Send(QStringLiteral("PA"))) return;
    }
    if (!job.Send(*command)) return;
    Read(f);
  });
}

void EepCounters::Reset(Family f, bool withPass) {
  const bool mivor = f == Family::kMivor;
  const QString question = !withPass ? QStringLiteral("エラー回数のみ初期化されます！")
                           : mivor   ? QStringLiteral("エラー＆パス回数が初期化されます！")
                                     : QStringLiteral("ｴﾗｰ＋ﾊﾟｽ回数が初期化されます !");
  const QString title = mivor && withPass ? QStringLiteral("EEPROM Error & Pass Initialize")
                                          : QStringLiteral("EEPROM Error Pass Initialize");
  frame_.jobs().Run(kFullJob, [&](EepJob& job) {
    if (MsgBox(question, BoxButtons::kOkCancel, BoxIcon::kQuestion) != BoxAnswer::kOk || job.ending()) return;
    if (frame_.jobs().channel().poll() == ComuOutcome::kClosing || job.ending()) return;
    if (!job.Send(withPass ? QStringLiteral("!!c") : QStringLiteral("!!e"))) return;
    if (StatusOk(job.text())) {
      Read(f);
      return;
    }
    MsgBox(QStringLiteral("エラーが発生いたしました。\r\nもう一度やり直しをお勧めします。"), BoxButtons::kOk,
           BoxIcon::kCritical, title);
  });
}

}  // namespace quorel::eep

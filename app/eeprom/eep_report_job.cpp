#include "eeprom/eep_report_job.h"

#include <QFileInfo>

#include "core/dialogs.h"
#include "core/event_wait.h"
#include "core/main_module.h"
#include "eeprom/eep_channel.h"
#include "eeprom/eep_frame.h"
#include "eeprom/eep_job.h"

namespace quorel::eep {

namespace {

// Every step but the restart wait: the report runs even while the channel
// waits for a device restart.
constexpr JobSteps kReportJob{false, true, true, true};

QString QtFilter(const QString& separator) {
  return separator == QLatin1String(",") ? QStringLiteral("csvﾌｧｲﾙ(*.csv);;全てのﾌｧｲﾙ(*.*)")
                                         : QStringLiteral("ﾃｷｽﾄﾌｧｲﾙ(*.txt);;全てのﾌｧｲﾙ(*.*)");
}

template <typename Fn>
void Call(const Fn& fn, Family f) {
  if (fn) fn(f);
}

}  // namespace

QString DeviceReport::ChoosePath() {
  MainModule& m = mm();
  FileRequest request;
  request.title = QStringLiteral("ﾌｧｲﾙ保存");
  request.folder = m.gDesktopPath;
  request.name = m.gReportSerial;
  request.filter = QtFilter(m.gReportSeparator);
  request.confirmOverwrite = false;
  for (;;) {
    const QString path = Dialogs().SaveFile(request);
    if (path.isEmpty()) return QString();
    if (!QFileInfo::exists(path)) return path;
    switch (MsgBox(ReportAppendQuestion(), BoxButtons::kYesNoCancel, BoxIcon::kQuestion)) {
      case BoxAnswer::kYes: return path;
      case BoxAnswer::kNo: request.name = path; break;
      default: return QString();
    }
  }
}

void DeviceReport::Run(Family f) {
  MainModule& m = mm();
  m.gReportPromptResult = 0;
  m.gReportSerial.clear();
  if (hooks_.prompt) hooks_.prompt();
  writtenPath_.clear();
  QString path;
  bool complete = false;
  frame_.jobs().Run(kReportJob, [&](EepJob& job) {
    if (frame_.CheckReportFamily(job, f) == ModelAnswer::kCancelled) return;
    if (m.gReportPromptResult == -1) return;
    path = ChoosePath();
    if (path.isEmpty()) return;
    if (m.gReportSeparator.isEmpty()) m.gReportSeparator = ReportSeparator(false);
    const QString sep = m.gReportSeparator;
    // Report mode lasts exactly as long as the readers run, whichever way
    // the job ends.
    struct ReportMode {
      int16_t& flag;
      explicit ReportMode(int16_t& f) : flag(f) { flag = -1; }
      ~ReportMode() { flag = 0; }
    } mode{m.gReportMode};
    const DriverInfo driver = hooks_.driverInfo ? hooks_.driverInfo(m.gPort) : DriverInfo{};
    frame_.jobs().channel().poll();
    QString& buffer = frame_.reportBuffer();
    buffer = ReportHeader(f, sep, m.gReportSerial, m.gPort, driver);
    WaitSeconds(0.1f);
    if (!job.Send(QStringLiteral("VS?"))) return;
    buffer += FirmwareLine(sep, job.text());
    Call(frame_.handlers().settings, f);
    if (job.ending() || !job.Send(QStringLiteral("MS:d1")) || !job.Send(QStringLiteral("MR"))) return;
    buffer += ModeLine(sep, job.text());
    Call(frame_.handlers().counters, f);
    if (job.ending()) return;
    Call(frame_.handlers().allRows, f);
    if (job.ending()) return;
    buffer += ReportClosing(f);
    complete = true;
  });
  // Written only when the whole sequence ran; the readers are done and
  // report mode is off before the file is touched.
  if (!complete) return;
  QString reason;
  if (!AppendReportFile(path, frame_.reportBuffer(), &reason)) {
    MsgBox(ReportWriteErrorText(path, reason), BoxButtons::kOk, BoxIcon::kCritical);
    return;
  }
  writtenPath_ = path;
}

}  // namespace quorel::eep

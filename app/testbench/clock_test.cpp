#include "testbench/clock_test.h"

#include <cmath>

#include "core/event_wait.h"
#include "core/form_controls.h"
#include "core/job_host.h"
#include "core/main_module.h"
#include "testbench/bench_job.h"
#include "testbench/bench_settings.h"

namespace quorel {
namespace {

constexpr uint32_t kGreen = 0xC000;
constexpr uint32_t kDarkRed = 0xC0;
constexpr uint32_t kRed = 0xFF;
constexpr uint32_t kBlack = 0x0;

const QString kButton = QStringLiteral("CmdTimeSynchronize");
const QString kPc = QStringLiteral("LbCkPC");
const QString kCrw = QStringLiteral("LbCkCRW");
const QString kOkNg = QStringLiteral("LbCkOKNG");
const QString kGap = QStringLiteral("LbCkGap");

double SecondsOfDay(const QTime& t) { return t.msecsSinceStartOfDay() / 1000.0; }

QString Diff(const QString& what, long long d, const QString& unit) {
  return QStringLiteral("PC\"") + what + QStringLiteral("\"と ") + QString::number(d) + unit;
}

}  // namespace

const QString ClockTest::kStart = QStringLiteral("Start");
const QString ClockTest::kStop = QStringLiteral("STOP");
const QString ClockTest::kStopping = QStringLiteral("Stopping");

QString ClockSetCommand(const QDateTime& pc) {
  const int weekday = pc.date().dayOfWeek() % 7;  // Qt: Monday 1 .. Sunday 7
  return QStringLiteral("CK:") + pc.toString(QStringLiteral("yyMMdd")) + QLatin1Char('0') + QString::number(weekday) +
         pc.toString(QStringLiteral("HHmmss"));
}

QString WeekdayCaption(int digit) {
  static const char* const names[] = {"Sun.", "Mon.", "Tue.", "Wed.", "Thu.", "Fri.", "Sat."};
  return digit >= 0 && digit <= 6 ? QLatin1String(names[digit]) : QString();
}

QString WeekdayTip(int digit) {
  static const QString names[] = {QStringLiteral("日"), QStringLiteral("月"), QStringLiteral("火"),
                                  QStringLiteral("水"), QStringLiteral("木"), QStringLiteral("金"),
                                  QStringLiteral("土")};
  return digit >= 0 && digit <= 6 ? names[digit] + QStringLiteral(" 曜日") : QString();
}

double ClockDifference(double pcSeconds, double deviceSeconds) {
  double d = pcSeconds - deviceSeconds;
  if (d > 43200) d -= 86400;
  else if (d < -43200) d += 86400;
  return d;
}

bool ClockWithinGap(double pcSeconds, double deviceSeconds, int gap) {
  const double device = pcSeconds - ClockDifference(pcSeconds, deviceSeconds);
  return pcSeconds - gap <= device && device <= pcSeconds + gap;
}

int ClockGapOf(const QString& text) {
  bool ok = false;
  const double v = text.trimmed().toDouble(&ok);
  return ok && std::isfinite(v) && std::fabs(v) < 1e6 ? static_cast<int>(std::nearbyint(v)) : 0;
}

ClockTest::ClockTest(FormControls& ui, JobHost& host, BenchJobState& state)
    : ui_(ui), host_(host), state_(state), clock_([] { return QDateTime::currentDateTime(); }) {}

void ClockTest::SettingClick() {
  const bool on = ui_.Ticked(QStringLiteral("ChkCkSet"));
  for (int i = 0; i < 3; ++i) ui_.SetEnabled(QStringLiteral("LbCkSet"), i, on);
  ui_.SetEnabled(QStringLiteral("FrameCkSet"), -1, on);
  ui_.SetEnabled(QStringLiteral("TxtCkGap"), -1, on);
}

void ClockTest::Click() {
  MainModule& m = mm();
  if (m.gResetWaiting) return;
  if (ui_.Text(kButton) != kStart) {
    // The second press: the running loop ends after its pass.
    m.gStopRequest = 0;
    ui_.SetText(kButton, kStopping);
    state_.mAbortRequest = -1;
    return;
  }
  BenchJobScope scope(state_);
  if (!scope.Acquired()) return;  // another bench job runs
  m.gStopRequest = 0;
  ui_.SetText(kButton, kStop);
  state_.mAbortRequest = 0;
  for (int i = 0; i < 5; ++i) {
    ui_.SetText(kPc, i, QString());
    ui_.SetText(kCrw, i, QString());
    ui_.SetText(kOkNg, i, QStringLiteral("--"));
    ui_.SetForeColor(kOkNg, i, kButtonText);
  }
  ui_.SetText(kGap, 0, QStringLiteral("----"));
  if (!BenchPortReady(host_, true)) {
    ui_.SetText(kButton, kStart);
    return;
  }
  Run();
  ui_.SetText(kButton, kStopping);
  BenchSend(host_, QStringLiteral("CO"));
  ui_.SetText(kButton, kStart);
}

void ClockTest::Run() {
  if (ui_.Ticked(QStringLiteral("ChkClockCRWSet"))) BenchSend(host_, ClockSetCommand(clock_()));
  for (;;) {
    PumpPendingEvents();
    const QDateTime pc = clock_();
    ShowPc(pc);
    const bool answered = BenchSend(host_, QStringLiteral("CK"));
    const QString reply = mm().gReplyText;
    if (answered && reply.left(5) == QLatin1String("ACK90") && reply.size() >= 19) {
      ShowDevice(reply, pc);
    } else {
      // No device time this pass: nothing can be judged as good.
      for (int i = 0; i < 5; ++i) Judge(i, false);
      ui_.SetText(kGap, 0, QStringLiteral("----"));
    }
    if (ui_.Text(kButton) == kStopping || BenchMustEnd(state_)) break;
  }
}

void ClockTest::ShowPc(const QDateTime& pc) {
  const QDate d = pc.date();
  const QString full = pc.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"));
  ui_.SetText(kPc, 0, QString::number(d.year()));
  ui_.SetText(kPc, 1, QString::number(d.month()));
  ui_.SetText(kPc, 2, QString::number(d.day()));
  ui_.SetText(kPc, 3, WeekdayCaption(d.dayOfWeek() % 7));
  ui_.SetText(kPc, 4, pc.toString(QStringLiteral("HH:mm:ss")));
  for (int i : {0, 1, 2, 4}) ui_.SetToolTip(kPc, i, full);
  ui_.SetToolTip(kPc, 3, WeekdayTip(d.dayOfWeek() % 7));
}

void ClockTest::Judge(int column, bool ok) {
  ui_.SetText(kOkNg, column, ok ? QStringLiteral("OK") : QStringLiteral("NG"));
  ui_.SetForeColor(kOkNg, column, ok ? kGreen : kDarkRed);
}

void ClockTest::ShowDevice(const QString& reply, const QDateTime& pc) {
  const QString century = QString::number(pc.date().year()).left(2);
  const QString yy = reply.mid(5, 2), mo = reply.mid(7, 2), dd = reply.mid(9, 2);
  const QString hh = reply.mid(13, 2), mi = reply.mid(15, 2), ss = reply.mid(17, 2);
  const QString full = century + yy + QLatin1Char('/') + mo + QLatin1Char('/') + dd + QLatin1Char(' ') + hh +
                       QLatin1Char(':') + mi + QLatin1Char(':') + ss;
  ui_.SetText(kCrw, 0, century + yy);
  ui_.SetText(kCrw, 1, mo);
  ui_.SetText(kCrw, 2, dd);
  bool weekdayOk = false;
  const int weekday = reply.mid(12, 1).toInt(&weekdayOk);
  if (weekdayOk && !WeekdayCaption(weekday).isEmpty()) {
    ui_.SetText(kCrw, 3, WeekdayCaption(weekday));
    ui_.SetToolTip(kCrw, 3, WeekdayTip(weekday));
  }
  ui_.SetText(kCrw, 4, hh + QLatin1Char(':') + mi + QLatin1Char(':') + ss);
  for (int i : {0, 1, 2, 4}) ui_.SetToolTip(kCrw, i, full);

  // Time of day.
  const double pcSeconds = SecondsOfDay(pc.time());
  const double deviceSeconds = hh.toInt() * 3600.0 + mi.toInt() * 60.0 + ss.toInt();
  const auto diff = static_cast<long long>(std::nearbyint(ClockDifference(pcSeconds, deviceSeconds)));
  ui_.SetText(kGap, 0, QString::number(diff));
  const QString tip = Diff(QStringLiteral("時間"), diff, QStringLiteral("秒差"));
  ui_.SetToolTip(kGap, 0, tip);
  ui_.SetToolTip(kOkNg, 4, tip);
  const bool timeOk = ClockWithinGap(pcSeconds, deviceSeconds, ClockGapOf(ui_.Text(QStringLiteral("TxtCkGap"))));
  ui_.SetForeColor(kGap, 0, timeOk ? kBlack : kRed);
  Judge(4, timeOk);

  // Date columns.
  const QDate d = pc.date();
  const int pcParts[] = {d.year(), d.month(), d.day()};
  const int devParts[] = {(century + yy).toInt(), mo.toInt(), dd.toInt()};
  const QString names[] = {QStringLiteral("年"), QStringLiteral("月"), QStringLiteral("日")};
  for (int i = 0; i < 3; ++i) {
    Judge(i, pcParts[i] == devParts[i]);
    ui_.SetToolTip(kOkNg, i, Diff(names[i], pcParts[i] - devParts[i], names[i] + QStringLiteral("差")));
  }
  Judge(3, ui_.Text(kPc, 3) == ui_.Text(kCrw, 3));
}

}  // namespace quorel

#include "core/comm_log.h"

#include "core/conversions.h"

namespace quorel {
namespace {

// Blanks only: a tab or line break at either end stays.
QString TrimBlanks(const QString& s) {
  qsizetype b = 0, e = s.size();
  while (b < e && s.at(b) == QLatin1Char(' ')) ++b;
  while (e > b && s.at(e - 1) == QLatin1Char(' ')) --e;
  return s.mid(b, e - b);
}

}  // namespace

CommLog::CommLog(Show show, int throttleMs) : show_(std::move(show)), throttleMs_(throttleMs) {
  later_.setSingleShot(true);
  QObject::connect(&later_, &QTimer::timeout, [this] { Refresh(); });
}

void CommLog::Add(const QString& entry) {
  QString next;
  const qsizetype kept = qMin<qsizetype>(text_.size(), kKeptChars);
  next.reserve(entry.size() + 2 + kept);
  next.append(entry).append(QLatin1String("\r\n")).append(QStringView(text_).left(kept));
  text_ = std::move(next);
  const QString trimmed = TrimBlanks(entry);
  toolTip_ = trimmed + QLatin1String(" [") + QString::number(AnsiByteLen(trimmed)) + QLatin1Char(']');
  dirty_ = true;
  if (later_.isActive()) return;
  // The first entry after a quiet spell shows at once; a burst waits for
  // the rest of the interval.
  const qint64 since = sinceRefresh_.isValid() ? sinceRefresh_.elapsed() : throttleMs_;
  if (since >= throttleMs_)
    Refresh();
  else
    later_.start(static_cast<int>(throttleMs_ - since));
}

void CommLog::Flush() {
  later_.stop();
  if (dirty_) Refresh();
}

void CommLog::Clear() {
  text_.clear();
  toolTip_.clear();
  dirty_ = true;
  Flush();
}

void CommLog::Refresh() {
  dirty_ = false;
  ++refreshes_;
  sinceRefresh_.start();
  if (show_) show_(text_, toolTip_);
}

}  // namespace quorel

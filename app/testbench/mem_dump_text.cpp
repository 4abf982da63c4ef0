#include "testbench/mem_dump_text.h"

#include <cmath>

namespace quorel {

QString NormalizeAddress(const QString& text) { return (QStringLiteral("000000") + text.trimmed()).right(6).toUpper(); }

std::optional<uint32_t> AddressValue(const QString& text) {
  if (text.size() != 6) return std::nullopt;
  uint32_t v = 0;
  for (const QChar c : text) {
    const char16_t u = c.unicode();
    uint32_t d;
    if (u >= '0' && u <= '9') {
      d = u - '0';
    } else if (u >= 'A' && u <= 'F') {
      d = u - 'A' + 10;
    } else if (u >= 'a' && u <= 'f') {
      d = u - 'a' + 10;
    } else {
      return std::nullopt;
    }
    v = v * 16 + d;
  }
  return v;
}

QString AddressText(uint32_t address) {
  return QStringLiteral("%1").arg(address & 0xFFFFFF, 6, 16, QLatin1Char('0')).toUpper();
}

uint32_t CappedEnd(uint32_t start, uint32_t end) { return end > start + kDumpMaxSpan ? start + kDumpMaxSpan : end; }

QString DumpHeader() {
  return QStringLiteral("        +0 +1 +2 +3 +4 +5 +6 +7 +8 +9 +A +B +C +D +E +F     0123456789ABCDEF");
}

std::optional<QString> LineOfReply(const QString& replyText) {
  if (replyText.size() <= 6) return std::nullopt;
  return replyText.mid(6);
}

bool GoodDumpReply(const QString& replyText) { return replyText.left(5) == QLatin1String("Amd90"); }

bool PastEnd(const QString& line, const QString& endText) { return QString::compare(line, endText) > 0; }

QString PercentText(int64_t counter, int64_t span) {
  if (span <= 0) return QStringLiteral("100%");
  const double pct = std::floor(static_cast<double>(counter) * 100.0 / static_cast<double>(span) + 0.5);
  return QString::number(static_cast<long long>(pct)) + QLatin1Char('%');
}

std::optional<DumpMatch> FindInDump(const QString& text, const QString& what, qsizetype from) {
  if (what.isEmpty() || from < 0 || from > text.size()) return std::nullopt;
  const qsizetype at = text.indexOf(what, from, Qt::CaseInsensitive);
  if (at < 0) return std::nullopt;
  return DumpMatch{at, what.size()};
}

}  // namespace quorel

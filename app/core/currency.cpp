#include "core/currency.h"

#include <limits>

#include "core/dialogs.h"

namespace quorel {

namespace {

bool IsAsciiDigit(QChar c) { return c.unicode() >= '0' && c.unicode() <= '9'; }

}  // namespace

std::optional<Currency> ParseCurrency(const QString& text) {
  const QString t = text.trimmed();
  qsizetype i = 0;
  bool negative = false;
  if (i < t.size() && (t.at(i) == QLatin1Char('-') || t.at(i) == QLatin1Char('+'))) {
    negative = t.at(i) == QLatin1Char('-');
    ++i;
  }
  constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
  int64_t whole = 0;
  int digits = 0;
  for (; i < t.size() && IsAsciiDigit(t.at(i)); ++i, ++digits) {
    const int d = t.at(i).digitValue();
    if (whole > (kMax / Currency::kScale - d) / 10) return std::nullopt;
    whole = whole * 10 + d;
  }
  int64_t frac = 0;
  int64_t weight = Currency::kScale / 10;
  if (i < t.size() && t.at(i) == QLatin1Char('.')) {
    for (++i; i < t.size() && IsAsciiDigit(t.at(i)); ++i, ++digits) {
      if (weight == 0) return std::nullopt;  // more than four decimals
      frac += t.at(i).digitValue() * weight;
      weight /= 10;
    }
  }
  if (digits == 0 || i != t.size() || whole > (kMax - frac) / Currency::kScale) return std::nullopt;
  const int64_t units = whole * Currency::kScale + frac;
  return Currency{negative ? -units : units};
}

QString CurrencyStr(Currency value) {
  // Magnitude as unsigned, so the most negative value has one too.
  const uint64_t magnitude = value.units < 0 ? 0u - static_cast<uint64_t>(value.units)
                                             : static_cast<uint64_t>(value.units);
  QString out = value.units < 0 ? QStringLiteral("-") : QStringLiteral(" ");
  out += QString::number(magnitude / Currency::kScale);
  uint64_t frac = magnitude % Currency::kScale;
  if (frac != 0) {
    QString decimals = QString::number(frac).rightJustified(4, QLatin1Char('0'));
    while (decimals.endsWith(QLatin1Char('0'))) decimals.chop(1);
    out += QLatin1Char('.') + decimals;
  }
  return out;
}

Currency RoundCurrency(Currency value, int digits, int mode) {
  if (CurrencyStr(value).size() > 17 || digits < 0 || digits > 3) {
    MsgBox(QStringLiteral("正しい桁数の範囲で設定して下さい"), BoxButtons::kOk, BoxIcon::kNone,
           QStringLiteral("桁エラー"));
    return Currency{0};
  }
  int64_t factor = 1;
  for (int i = 0; i < digits; ++i) factor *= 10;
  // Scaled by 10^digits the value is still in units of 1/10000; a 17-character
  // value times 1000 can pass 64 bits, so the work is done in 128.
  __int128 x = static_cast<__int128>(value.units) * factor;
  const __int128 one = Currency::kScale;
  if (mode == 0) {
    x += x >= 0 ? one / 2 : -one / 2;
  } else if (mode == 1 && x % one != 0) {
    x += x >= 0 ? one : -one;
  }
  x = x / one * one;  // cut the fraction off, towards zero
  x /= factor;
  constexpr __int128 kMin = std::numeric_limits<int64_t>::min();
  constexpr __int128 kMax = std::numeric_limits<int64_t>::max();
  return Currency{static_cast<int64_t>(x < kMin ? kMin : (x > kMax ? kMax : x))};
}

}  // namespace quorel

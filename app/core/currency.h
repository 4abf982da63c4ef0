// Money-style fixed-point values with four decimals, and their rounding.
// Integer arithmetic throughout: 1.005 is exactly 1.005, so it rounds to 1.01.
#pragma once
#include <QString>
#include <cstdint>
#include <optional>

namespace quorel {

struct Currency {
  static constexpr int64_t kScale = 10000;
  int64_t units = 0;  // the value times 10000
  friend bool operator==(Currency a, Currency b) { return a.units == b.units; }
  friend bool operator!=(Currency a, Currency b) { return a.units != b.units; }
};

// "-2.345", "1.005", " 12": a sign, digits and at most four decimals; nothing
// when the text is no such number or out of range.
std::optional<Currency> ParseCurrency(const QString& text);

// The standard number-to-text form: a leading blank or "-", no trailing
// fraction zeros, no point for whole values (" 1.01", "-2.35", " 0").
QString CurrencyStr(Currency value);

// Rounds to digits (0..3) decimals. mode 0: half away from zero; mode 1: away
// from zero; any other mode: towards zero. With digits out of range or a
// value whose text form is longer than 17 characters it shows the
// digit-range box ("桁エラー") and returns 0.
Currency RoundCurrency(Currency value, int digits, int mode);

}  // namespace quorel

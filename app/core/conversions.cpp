#include "core/conversions.h"

#include <QByteArray>
#include <array>
#include <limits>

#include "core/cp932_codec.h"

namespace quorel {
namespace {

// The character's CP932 code: its byte, or lead * 256 + trail.
int AnsiCode(QChar c) {
  const QByteArray b = cp932::Encode(QString(c));
  if (b.isEmpty()) return 0;
  const int first = static_cast<unsigned char>(b.at(0));
  return b.size() == 1 ? first : first * 256 + static_cast<unsigned char>(b.at(1));
}

int DigitValue(int code) { return code >= 64 ? code - 55 : code - 48; }

constexpr int16_t kNo = std::numeric_limits<int16_t>::min();

// Degrees Celsius by A/D code 0x10..0xFF; kNo outside the table.
constexpr std::array<int16_t, 240> kThermistor = {
    kNo, kNo, 189, 186, 183, 180, 178, 176, 174, 172, 168, 166, 167, 164, 162, 160,  // 1x
    158, 156, 155, 154, 152, 150, 149, 148, 147, 146, 144, 143, 142, 141, 140, 138,  // 2x
    137, 136, 135, 134, 133, 132, 131, 131, 130, 129, 128, 127, 126, 125, 125, 124,  // 3x
    123, 122, 121, 121, 120, 119, 118, 117, 117, 116, 115, 115, 114, 113, 113, 112,  // 4x
    111, 111, 110, 109, 109, 108, 107, 107, 106, 105, 105, 105, 104, 103, 103, 102,  // 5x
    101, 101, 101, 100, 99,  99,  98,  97,  97,  97,  96,  95,  95,  94,  93,  93,   // 6x
    92,  92,  91,  91,  91,  90,  89,  89,  89,  88,  87,  87,  87,  86,  85,  85,   // 7x
    85,  84,  83,  83,  83,  82,  81,  81,  81,  80,  79,  79,  79,  79,  78,  77,   // 8x
    77,  77,  76,  75,  75,  75,  74,  73,  73,  73,  72,  71,  71,  71,  70,  69,   // 9x
    69,  69,  68,  67,  67,  67,  66,  65,  65,  65,  64,  63,  63,  63,  62,  61,   // Ax
    61,  61,  60,  59,  59,  59,  58,  57,  57,  57,  56,  55,  55,  55,  54,  53,   // Bx
    53,  52,  51,  51,  51,  50,  49,  49,  48,  47,  47,  46,  45,  45,  45,  44,   // Cx
    43,  43,  42,  41,  41,  40,  39,  39,  38,  37,  36,  35,  35,  34,  33,  32,   // Dx
    31,  31,  30,  29,  28,  27,  26,  25,  24,  23,  22,  21,  20,  18,  17,  16,   // Ex
    14,  12,  11,  10,  8,   6,   4,   0,   -2,  -5,  -10, -13, -20, kNo, kNo, kNo,  // Fx
};

int UpperHexValue(QChar c) {
  const char16_t u = c.unicode();
  if (u >= '0' && u <= '9') return u - '0';
  if (u >= 'A' && u <= 'F') return u - 'A' + 10;
  return -1;
}

}  // namespace

int HexPairToInt(const QString& text) {
  if (text.isEmpty()) return 0;
  return DigitValue(AnsiCode(text.front())) * 16 + DigitValue(AnsiCode(text.back()));
}

bool IsDeviceHexDigit(QChar c) {
  const char16_t u = c.unicode();
  return (u >= '0' && u <= '?') || (u >= 'A' && u <= 'F');
}

int32_t AnsiByteLen(const QString& text) { return static_cast<int32_t>(cp932::Encode(text).size()); }

QString StrToHex(const QString& text) {
  return QString::fromLatin1(cp932::Encode(text).toHex().toUpper());
}

QString StripCtrlChars(const QString& text) {
  QString out;
  out.reserve(text.size());
  for (const QChar c : text)
    if (c.unicode() >= 32) out += c;
  return out;
}

QString HexToBin(const QString& text) {
  static const char* const kBits[16] = {"0000", "0001", "0010", "0011", "0100", "0101", "0110", "0111",
                                        "1000", "1001", "1010", "1011", "1100", "1101", "1110", "1111"};
  QString out;
  for (const QChar c : text) {
    const char16_t u = c.unicode();
    int v = -1;
    if (u >= '0' && u <= '9') v = u - '0';
    else if (u >= 'A' && u <= 'F') v = u - 'A' + 10;
    else if (u >= 'a' && u <= 'f') v = u - 'a' + 10;
    if (v >= 0) out += QLatin1String(kBits[v]);
  }
  return out;
}

QString BinToHex(const QString& text) {
  const qsizetype point = text.indexOf(QLatin1Char('.'));
  const QString whole = point < 0 ? text : text.left(point);
  uint64_t sum = 0;
  uint64_t weight = 1;
  for (qsizetype i = whole.size() - 1, bit = 0; i >= 0 && bit < 63; --i, ++bit, weight <<= 1)
    if (whole.at(i) == QLatin1Char('1')) sum += weight;
  if (point >= 0) {
    // The fraction decides the rounding only: below one half rounds down,
    // above up, exactly one half (a lone first "1") to the even neighbour.
    const QString frac = text.mid(point + 1);
    const bool half = !frac.isEmpty() && frac.front() == QLatin1Char('1');
    const bool moreThanHalf = half && frac.indexOf(QLatin1Char('1'), 1) >= 0;
    if (moreThanHalf || (half && (sum & 1u))) ++sum;
  }
  return QString::number(sum, 16).toUpper();
}

QString SwapDevHexChar(const QString& ch) {
  static const char kFrom[] = "abcd:;<=ABCD";
  static const char kTo[] = ":;<=abcdabcd";
  if (ch.size() != 1) return ch;
  for (int i = 0; kFrom[i]; ++i)
    if (ch.front() == QLatin1Char(kFrom[i])) return QString(QLatin1Char(kTo[i]));
  return ch;
}

QString ThermistorToCelsius(const QString& code) {
  if (code.size() != 2) return QString();
  const int hi = UpperHexValue(code.at(0));
  const int lo = UpperHexValue(code.at(1));
  if (hi < 1 || lo < 0) return QString();
  const int16_t v = kThermistor[static_cast<size_t>((hi - 1) * 16 + lo)];
  return v == kNo ? QString() : QString::number(v);
}

int64_t LeadingNumber(const QString& text, int64_t lo, int64_t hi) {
  qsizetype i = 0;
  while (i < text.size() && (text.at(i) == QLatin1Char(' ') || text.at(i) == QLatin1Char('\t'))) ++i;
  bool negative = false;
  if (i < text.size() && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+'))) {
    negative = text.at(i) == QLatin1Char('-');
    ++i;
  }
  // Accumulate towards the sign's side and stop before passing the bound, so
  // any number of digits clamps instead of overflowing.
  int64_t n = 0;
  for (; i < text.size() && text.at(i).unicode() >= '0' && text.at(i).unicode() <= '9'; ++i) {
    const int d = text.at(i).unicode() - '0';
    if (!negative) {
      if (n > (hi - d) / 10) return hi;
      n = n * 10 + d;
    } else {
      if (n < (lo + d) / 10) return lo;
      n = n * 10 - d;
    }
  }
  return n < lo ? lo : (n > hi ? hi : n);
}

}  // namespace quorel

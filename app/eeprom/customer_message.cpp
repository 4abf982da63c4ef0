#include "eeprom/customer_message.h"

#include "eeprom/eep_rows.h"

namespace quorel::eep {

QString EncodeMessage(const QString& text) {
  QString hex;
  hex.reserve(text.size() * 4);
  for (const QChar c : text) hex += QStringLiteral("%1").arg(c.unicode(), 4, 16, QLatin1Char('0')).toUpper();
  return hex;
}

int MessageDigits(const QString& text) { return static_cast<int>(text.size()) * 4; }

std::optional<std::array<QString, kMessageRowCount>> SplitMessage(const QString& hex) {
  if (hex.size() > kMessageMaxDigits) return std::nullopt;
  std::array<QString, kMessageRowCount> pieces;
  for (int i = 0; i < kMessageRowCount; ++i) {
    QString piece = hex.mid(i * kRowDigits, kRowDigits);
    piece += QString(kRowDigits - piece.size(), QLatin1Char('F'));
    pieces[static_cast<size_t>(i)] = piece;
  }
  return pieces;
}

namespace {

// One or two hex digits as a byte; anything that is not a hex digit (a sign,
// a blank) gives 0, so no reply text yields a code unit outside 16 bits.
int HexValue(const QString& digits) {
  int v = 0;
  for (const QChar c : digits) {
    const int d = QStringView(u"0123456789ABCDEF").indexOf(c.toUpper());
    if (d < 0) return 0;
    v = v * 16 + d;
  }
  return v;
}

}  // namespace

QString DecodeMessage(const std::array<std::optional<QString>, kMessageRowCount>& rows) {
  QString joined;
  for (const auto& row : rows) {
    if (!row) break;
    joined += *row;
  }
  // The end mark is a whole word: a character whose code ends in hex F
  // ("?" is 003F) must not be mistaken for its start.
  for (int p = 0; p + 4 <= joined.size(); p += 4) {
    if (joined.mid(p, 4).compare(QLatin1String("FFFF"), Qt::CaseInsensitive) == 0) {
      joined.truncate(p);
      break;
    }
  }
  QString text;
  for (int p = 0; p < joined.size(); p += 4) {
    const QString group = joined.mid(p, 4);
    if (group.size() < 2) break;
    const int high = HexValue(group.left(2));
    const int low = group.size() == 4 ? HexValue(group.mid(2, 2)) : group.size() == 3 ? HexValue(group.mid(2, 1)) : 0;
    text += QChar(static_cast<char16_t>((high << 8) | low));
  }
  return text;
}

namespace {

QString Tenths(int digits) {
  // digits / 192 * 100 with one decimal, half away from zero (never negative).
  const long long tenths = (static_cast<long long>(digits) * 2000 + kMessageMaxDigits) / (2 * kMessageMaxDigits);
  return QStringLiteral("%1.%2").arg(tenths / 10).arg(tenths % 10);
}

QString CountText(int digits, const QString& percent) {
  return QString::number(digits) + QStringLiteral("byte [") + percent + QStringLiteral("%] [max192byte]");
}

}  // namespace

QString MessageCountCaption(int digits) { return CountText(digits, Tenths(digits)); }

QString MessageCountTip(int digits) {
  const double percent = static_cast<double>(digits) / kMessageMaxDigits * 100.0;
  return CountText(digits, QString::number(percent, 'g', 15));
}

QString MessageOverflowText() {
  return QStringLiteral("文字数をオーバーしております。\r\n調整をしてください。");
}

QString MessageOverflowTitle() { return QStringLiteral("文字数オーバー"); }

}  // namespace quorel::eep

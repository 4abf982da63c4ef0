#include "eeprom/eep_settings_model.h"

#include <cmath>
#include <cstdio>
#include <iterator>

#include "core/conversions.h"
#include "core/cp932_codec.h"
#include "core/main_module.h"
#include "eeprom/eep_rows.h"

namespace quorel::eep {
namespace {

const MivorChangeRow kMivorChanges[kMivorSettings] = {
    {"!!r?", "ＴＰＨランクを変更します ！", "    Rank ", 6, 7},
    {"!!r?", "印字濃度を変更します ！", "    濃度 ", 7, 7},
    {"!!d?", "消去ランクを変更します ！", "    Rank ", 6, 7},
    {"!!d?", "消去ロットを変更します ！", "    濃度 ", 7, 7},
    {"!!o?", "印字位置値を変更します ！", "    Rank ", 6, 6},
    {"!!h?", "サーマル側Up補正値を変更します ！", "    Rank ", 6, 9},
    {"!!h?", "サーマル側Down補正値を変更します ！", "    Rank ", 7, 9},
    {"!!h?", "消去側Up補正値を変更します ！", "    Rank ", 8, 9},
    {"!!h?", "消去側Down補正値を変更します ！", "    Rank ", 9, 9},
};

struct WordConfirm {
  const char* headline;
  const char* valueLabel;
};
const WordConfirm kWordConfirms[kWordFamilySettings] = {
    {"ＴＰＨランクを変更します ！", "    Rank "}, {"印字濃度を変更します ！", "    濃度 "},
    {"消去ランクを変更します ！", "    Rank "},   {"消去ロットを変更します ！", "    ELOT "},
    {"印字位置を変更します ！", "    印字位置 "},
};

QString Char(const QString& reply, int position) { return reply.mid(position - 1, 1); }

// One item of the index's list, "A"-"D" read as "a"-"d".
std::optional<QString> ListItem(int index, const QString& typed) {
  QString v = typed.trimmed();
  if (v.size() != 1) return std::nullopt;
  if (v >= QLatin1String("A") && v <= QLatin1String("D")) v = v.toLower();
  if (!SettingValues(index).contains(v)) return std::nullopt;
  return v;
}

bool IsHex(const QString& text) {
  for (QChar c : text)
    if (!((c >= QLatin1Char('0') && c <= QLatin1Char('9')) || (c >= QLatin1Char('A') && c <= QLatin1Char('F')) ||
          (c >= QLatin1Char('a') && c <= QLatin1Char('f'))))
      return false;
  return true;
}

int HexValue(QChar c) {
  if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) return c.unicode() - '0';
  if (c >= QLatin1Char('A') && c <= QLatin1Char('F')) return c.unicode() - 'A' + 10;
  if (c >= QLatin1Char('a') && c <= QLatin1Char('f')) return c.unicode() - 'a' + 10;
  return -1;
}

// A non-negative value with two decimals, half away from zero, after the
// value has first been cut to 15 significant digits (so 4.9499999999999 of
// a binary product reads as the 4.95 it stands for).
QString TwoDecimals(double v) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.14e", v);  // d.dddddddddddddde±XX
  const QString s = QString::fromLatin1(buf);
  const int e = s.indexOf(QLatin1Char('e'));
  const int exponent = s.mid(e + 1).toInt();
  QString digits = s.left(e).remove(QLatin1Char('.'));  // 15 digits, point after the first
  // Digits as an integer count of 10^(exponent-14); keep hundredths.
  const int drop = 14 - exponent - 2;  // digits below the hundredths
  long long hundredths;
  if (drop <= 0) {
    hundredths = digits.toLongLong();
    for (int i = 0; i < -drop; ++i) hundredths *= 10;
  } else if (drop > 15) {
    hundredths = 0;
  } else {
    const QString kept = digits.left(15 - drop);
    hundredths = kept.isEmpty() ? 0 : kept.toLongLong();
    if (digits.at(15 - drop) >= QLatin1Char('5')) ++hundredths;
  }
  return QStringLiteral("%1.%2").arg(hundredths / 100).arg(hundredths % 100, 2, 10, QLatin1Char('0'));
}

QString Label12(const char* text) { return QString::fromUtf8(text); }

}  // namespace

const MivorChangeRow* MivorChange(int index) {
  return index >= 0 && index < kMivorSettings ? &kMivorChanges[index] : nullptr;
}

bool MivorReadUsable(int index, const QString& reply) {
  const MivorChangeRow* row = MivorChange(index);
  return row && reply.startsWith(QLatin1String("A!!90")) && reply.size() >= row->replyLength;
}

std::optional<QString> MivorNewValue(int index, const QString& typed) { return ListItem(index, typed); }

QString MivorOldValue(int index, const QString& readReply) {
  const MivorChangeRow* row = MivorChange(index);
  if (!row) return QString();
  const QString c = Char(readReply, row->comparedPosition);
  return index == 0 ? SwapDevHexChar(c) : c;
}

QString MivorWriteCommand(int index, const QString& r, const QString& v) {
  switch (index) {
    case 0:
      return QStringLiteral("!!r:") + SwapDevHexChar(v);
    case 1:  // the rank as the device wrote it, then the density
      return QStringLiteral("!!r:") + Char(r, 6) + v;
    case 2:
      return QStringLiteral("!!d:") + v;
    case 3:
      return QStringLiteral("!!d:") + Char(r, 6) + v;
    case 4:
      return QStringLiteral("!!o") + v;
    case 5:
    case 6:
    case 7:
    case 8: {
      QString four = r.mid(5, 4);
      four[index - 5] = v.at(0);
      return QStringLiteral("!!h:") + four;
    }
    default:
      return QString();
  }
}

bool MivorChangeTaken(int index, const QString& writeReply, const QString& newValue) {
  const MivorChangeRow* row = MivorChange(index);
  if (!row) return false;
  QString c = Char(writeReply, row->comparedPosition);
  if (index == 0) c = SwapDevHexChar(c);
  return c == newValue;
}

QString MivorConfirmText(int index, const QString& oldValue, const QString& newValue) {
  const MivorChangeRow* row = MivorChange(index);
  if (!row) return QString();
  return QString::fromUtf8(row->headline) + QStringLiteral("\r\n") + QString::fromUtf8(row->valueLabel) + oldValue +
         QStringLiteral(" → ") + newValue;
}

int TphRankMarker(const QString& rank) {
  if (rank.size() != 1) return -1;
  const QChar c = rank.at(0);
  if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) return c.unicode() - '0';
  if (c >= QLatin1Char('a') && c <= QLatin1Char('d')) return c.unicode() - 'a' + 10;
  return -1;
}

int EraseRankMarker(const QString& rank) {
  const int n = TphRankMarker(rank);
  return n >= 2 && n <= 6 ? n : -1;
}

QString BackupVolt(const QString& sReply) {
  const QString code = sReply.mid(19, 2);
  int value = 0;
  for (QChar c : code) {
    const int d = HexValue(c);
    if (d < 0) break;
    value = value * 16 + d;
  }
  return TwoDecimals(value * 3.3 / 255 * 1.5);
}

QString MivorSettingsReport(const QString& sep) {
  const MainModule& m = mm();
  const std::pair<const char*, const QString*> lines[] = {
      {"TPH Rank    ", &m.gThTphRank},     {"TPH Depth   ", &m.gTphDepth},      {"TPH Temp    ", &m.gThTphTemp},
      {"消去 Rank   ", &m.gThErRank},      {"消去 Lot    ", &m.gThErLot},       {"消去 Temp   ", &m.gThErTemp},
      {"基板 Temp   ", &m.gThBoardTemp},   {"BackUP電池  ", &m.gBackupVolt},    {"印字位置    ", &m.gPrintPosition},
      {"TPH  UP位置 ", &m.gThermalUpAdj},  {"TPHDown位置 ", &m.gThermalDownAdj}, {"EraseUP位置 ", &m.gEraseUpAdj},
      {"EraseDw位置 ", &m.gEraseDownAdj},
  };
  QString out;
  for (const auto& l : lines) out += ReportLine(Label12(l.first), sep, *l.second);
  return out;
}

QString ByteCharacter(const QString& hex2) {
  if (hex2.size() != 2 || !IsHex(hex2)) return QString();
  return QString(cp932::ByteChar(static_cast<unsigned char>(HexValue(hex2[0]) * 16 + HexValue(hex2[1]))));
}

bool WordReadUsable(const QString& reply) {
  return reply.startsWith(QLatin1String("Aee90")) && reply.size() >= 9 && IsHex(reply.mid(5, 4));
}

std::optional<QString> WordNewByte(int index, const QString& typed) {
  const std::optional<QString> v = ListItem(index, typed);
  if (!v) return std::nullopt;
  const QString hex = StrToHex(*v);
  if (hex.size() != 2) return std::nullopt;
  return hex;
}

QString WordOldValue(int index, const QString& high, const QString& low) {
  const SettingByte b = WordFamilySettingByte(index);
  const QString byte = b.highByte ? high : low;
  if (index >= 2 && byte.compare(QLatin1String("FF"), Qt::CaseInsensitive) == 0)
    return index == 4 ? QStringLiteral("4") : QStringLiteral("0");
  return ByteCharacter(byte);
}

QString WordSettingWriteCommand(int index, const QString& high, const QString& low, const QString& newByte) {
  const SettingByte b = WordFamilySettingByte(index);
  return WordWriteCommand(b.word, 1, b.highByte ? newByte + low : high + newByte);
}

QString WordReadCommandOf(int index) { return WordReadCommand(WordFamilySettingByte(index).word, 1); }

QString WordConfirmText(int index, const QString& oldValue, const QString& newValue) {
  if (index < 0 || index >= kWordFamilySettings) return QString();
  return QString::fromUtf8(kWordConfirms[index].headline) + QStringLiteral("\r\n") +
         QString::fromUtf8(kWordConfirms[index].valueLabel) + oldValue + QStringLiteral(" → ") + newValue;
}

QString DensityShown(const QString& low) {
  return low.compare(QLatin1String("FF"), Qt::CaseInsensitive) == 0 ? QStringLiteral("2") : ByteCharacter(low);
}

QString PositionShown(const QString& low) {
  return low.compare(QLatin1String("FF"), Qt::CaseInsensitive) == 0 ? QStringLiteral("4") : ByteCharacter(low);
}

QString CounterWriteCode() { return QStringLiteral("Vremtholask"); }

QString CounterValue(const CounterLine& line, const QString& reply) {
  return ReplyChars(reply, line.from, line.to);
}

std::optional<QString> CounterWriteCommand(const QString& itemText, const QString& typed, QString* why) {
  const CounterItem* item = FindCounterItem(itemText);
  if (!item) {
    if (why) *why = QStringLiteral("書込む項目を選択してください！");
    return std::nullopt;
  }
  const QString v = typed.trimmed();
  bool digits = !v.isEmpty() && v.size() <= 10;
  for (QChar c : v)
    if (c < QLatin1Char('0') || c > QLatin1Char('9')) digits = false;
  const long long max = item->words == 2 ? 2147483647LL : 65535LL;
  const long long n = digits ? v.toLongLong() : -1;
  if (n < 0 || n > max) {
    if (why) *why = QStringLiteral("回数は 0 から %1 までの数字で入力してください！").arg(max);
    return std::nullopt;
  }
  const int width = item->words * 4;
  const QString data = QStringLiteral("%1").arg(n, width, 16, QLatin1Char('0')).toUpper();
  return WordWriteCommand(item->address, item->words, data);
}

}  // namespace quorel::eep

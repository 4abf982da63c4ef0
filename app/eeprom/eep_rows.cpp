#include "eeprom/eep_rows.h"

namespace quorel::eep {
namespace {

QString Hex2(int value) { return QStringLiteral("%1").arg(value & 0xFF, 2, 16, QLatin1Char('0')).toUpper(); }

}  // namespace

QChar RowDigit(int row) { return QStringLiteral("0123456789ABCDEF").at(row & 0xF); }

QString RowAddress(int row) { return QString(RowDigit(row)) + QLatin1Char('0'); }

QString RowCaption(int row) {
  const QString d(RowDigit(row));
  return QStringLiteral("0x") + d + QStringLiteral("0～0x") + d + QLatin1Char('F');
}

QString RowButtonTip(int row) { return RowCaption(row) + QStringLiteral("のアドレスをRead/Write操作します"); }

QString RowLabel(int row) { return RowCaption(row) + QLatin1Char('(') + RowAddress(row) + QStringLiteral("/10)"); }

QString RowReadCommand(int row) { return QStringLiteral("eer:") + RowAddress(row) + QStringLiteral("/10"); }

QString RowWriteCommand(int row, const QString& data) {
  return QStringLiteral("eew:") + RowAddress(row) + QStringLiteral("/10/") + data;
}

QString WordReadCommand(int address, int count) {
  return QStringLiteral("eer:") + Hex2(address) + QLatin1Char('/') + Hex2(count);
}

QString WordWriteCommand(int address, int count, const QString& data) {
  return QStringLiteral("eew:") + Hex2(address) + QLatin1Char('/') + Hex2(count) + QLatin1Char('/') + data;
}

QString ErasedRow() { return QString(kRowDigits, QLatin1Char('F')); }

bool BeginsOk(const QString& reply, const QString& code) {
  return reply.startsWith(QLatin1Char('A') + code + QStringLiteral("90"));
}

bool StatusOk(const QString& reply) { return reply.mid(3, 2) == QLatin1String("90"); }

QString ReplyData(const QString& reply) { return reply.mid(5); }

QString ReplyChars(const QString& reply, int from, int to) {
  if (from < 1 || to < from) return QString();
  return reply.mid(from - 1, to - from + 1);
}

QString WithLength(const QString& text) {
  return text + QStringLiteral(" [") + QString::number(text.size()) + QLatin1Char(']');
}

QString ReportLine(const QString& label, const QString& separator, const QString& value) {
  return label + separator + value + QStringLiteral("\r\n");
}

}  // namespace quorel::eep

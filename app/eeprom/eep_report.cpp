#include "eeprom/eep_report.h"

#include <QFile>

#include "core/conversions.h"
#include "core/cp932_codec.h"
#include "eeprom/eep_rows.h"

namespace quorel::eep {

namespace {
const QString kCrLf = QStringLiteral("\r\n");
}

QString ReportRule(Family f) { return QString(80, f == Family::kMivor ? QLatin1Char('*') : QLatin1Char('/')); }

QString ReportSeparator(bool csv) { return csv ? QStringLiteral(",") : QStringLiteral(":"); }

QString ReportSerial(const QString& typed) { return StripCtrlChars(typed); }

QString ReportHeader(Family f, const QString& separator, const QString& serial, int port,
                     const DriverInfo& driver) {
  QString text = ReportRule(f) + kCrLf;
  text += ReportLine(QStringLiteral("Serial No.  "), separator, serial);
  text += kCrLf;
  text += ReportLine(QStringLiteral("Desc     "), separator,
                     driver.description + QStringLiteral("(COM") + QString::number(port) + QStringLiteral(")"));
  text += ReportLine(QStringLiteral("Provider "), separator, driver.provider);
  text += ReportLine(QStringLiteral("Date     "), separator, driver.date);
  text += ReportLine(QStringLiteral("Version  "), separator, driver.version);
  text += kCrLf;
  return text;
}

QString FirmwareLine(const QString& separator, const QString& reply) {
  return ReportLine(QStringLiteral("Firm Ver    "), separator, ReplyData(reply));
}

QString ModeLine(const QString& separator, const QString& reply) {
  return ReportLine(QStringLiteral("MR:d1       "), separator, ReplyData(reply));
}

QString ReportClosing(Family f) { return ReportRule(f) + kCrLf; }

QString ReportFilter(const QString& separator) {
  return separator == QLatin1String(",") ? QStringLiteral("csvﾌｧｲﾙ(*.csv)|*.csv|全てのﾌｧｲﾙ(*.*)|*.*")
                                         : QStringLiteral("ﾃｷｽﾄﾌｧｲﾙ(*.txt)|*.txt|全てのﾌｧｲﾙ(*.*)|*.*");
}

QString ReportAppendQuestion() { return QStringLiteral("名前が同じファイルがあります。\r\n追記しますか？"); }

bool AppendReportFile(const QString& path, const QString& report, QString* error) {
  const QByteArray bytes = cp932::Encode(report + kCrLf);
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) {
    if (error) *error = file.errorString();
    return false;
  }
  const qint64 written = file.write(bytes);
  const bool flushed = file.flush();
  if (written != bytes.size() || !flushed) {
    if (error) *error = file.errorString();
    file.close();
    return false;
  }
  file.close();
  if (file.error() != QFileDevice::NoError) {
    if (error) *error = file.errorString();
    return false;
  }
  return true;
}

QString ReportWriteErrorText(const QString& path, const QString& reason) {
  return QStringLiteral("レポートを保存できませんでした。\r\n") + path + kCrLf + reason;
}

}  // namespace quorel::eep

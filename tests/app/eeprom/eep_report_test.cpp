// The device report file: its header and frame lines byte for byte in both
// forms, and the one append that writes it (old bytes kept, failures told).
#include "eeprom/eep_report.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "core/cp932_codec.h"
#include "eeprom/eep_rows.h"

namespace quorel::eep {
namespace {

QByteArray ReadAll(const QString& path) {
  QFile f(path);
  EXPECT_TRUE(f.open(QIODevice::ReadOnly));
  return f.readAll();
}

TEST(EepReport, MivorTextReportIsByteExact) {
  QString report = ReportHeader(Family::kMivor, QStringLiteral(":"), ReportSerial(QStringLiteral("SN\t01\r")), 3,
                                DriverInfo{});
  report += FirmwareLine(QStringLiteral(":"), QStringLiteral("AVS90") + QStringLiteral("3.10"));
  report += ModeLine(QStringLiteral(":"), QStringLiteral("AMR9012"));
  report += ReportLine(QStringLiteral("行"), QStringLiteral(":"), QStringLiteral("x"));
  report += ReportClosing(Family::kMivor);
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("r.txt"));
  QString error;
  ASSERT_TRUE(AppendReportFile(path, report, &error)) << error.toStdString();
  const QByteArray rule(80, '*');
  const QByteArray golden = rule + "\r\n" +
                            "Serial No.  :SN01\r\n"
                            "\r\n"
                            "Desc     :(COM3)\r\n"
                            "Provider :\r\n"
                            "Date     :\r\n"
                            "Version  :\r\n"
                            "\r\n"
                            "Firm Ver    :3.10\r\n"
                            "MR:d1       :12\r\n"
                            "\x8d\x73:x\r\n" +
                            rule + "\r\n\r\n";
  EXPECT_EQ(ReadAll(path), golden);
}

TEST(EepReport, DastelCsvReportIsByteExact) {
  QString report = ReportHeader(Family::kDastel, QStringLiteral(","), QStringLiteral("A 1"), 12,
                                DriverInfo{QStringLiteral("USB Serial Port "), QStringLiteral("Maker"),
                                           QStringLiteral("1-2-2020"), QStringLiteral("2.12")});
  // Replies shorter than six characters give empty values.
  report += FirmwareLine(QStringLiteral(","), QStringLiteral("E"));
  report += ModeLine(QStringLiteral(","), QStringLiteral("AMR90"));
  report += ReportClosing(Family::kDastel);
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("r.csv"));
  ASSERT_TRUE(AppendReportFile(path, report, nullptr));
  const QByteArray rule(80, '/');
  EXPECT_EQ(ReadAll(path), rule + "\r\n" +
                               "Serial No.  ,A 1\r\n"
                               "\r\n"
                               "Desc     ,USB Serial Port (COM12)\r\n"
                               "Provider ,Maker\r\n"
                               "Date     ,1-2-2020\r\n"
                               "Version  ,2.12\r\n"
                               "\r\n"
                               "Firm Ver    ,\r\n"
                               "MR:d1       ,\r\n" +
                               rule + "\r\n\r\n");
}

TEST(EepReport, AppendsAfterTheOldBytes) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("old.txt"));
  {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("old bytes without line end");
  }
  ASSERT_TRUE(AppendReportFile(path, ReportClosing(Family::kFolsk), nullptr));
  EXPECT_EQ(ReadAll(path), QByteArray("old bytes without line end") + QByteArray(80, '/') + "\r\n\r\n");
}

TEST(EepReport, FailedWritesAreToldWithTheReason) {
  QTemporaryDir dir;
  QString error;
  // A vanished folder, a folder in place of the file, a device that takes
  // no bytes (a short write).
  EXPECT_FALSE(AppendReportFile(dir.filePath(QStringLiteral("gone/r.txt")), QStringLiteral("x"), &error));
  EXPECT_FALSE(error.isEmpty());
  error.clear();
  EXPECT_FALSE(AppendReportFile(dir.path(), QStringLiteral("x"), &error));
  EXPECT_FALSE(error.isEmpty());
  error.clear();
  EXPECT_FALSE(AppendReportFile(QStringLiteral("/dev/full"), QString(70000, QLatin1Char('x')), &error));
  EXPECT_FALSE(error.isEmpty());
  if (geteuid() != 0) {
    const QString ro = dir.filePath(QStringLiteral("ro.txt"));
    QFile f(ro);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    ASSERT_TRUE(QFile::setPermissions(ro, QFileDevice::ReadOwner));
    EXPECT_FALSE(AppendReportFile(ro, QStringLiteral("x"), &error));
  }
  EXPECT_TRUE(ReportWriteErrorText(QStringLiteral("/p/r.txt"), QStringLiteral("Permission denied"))
                  .contains(QStringLiteral("/p/r.txt")));
}

TEST(EepReport, PromptValuesAndDialogTexts) {
  EXPECT_EQ(ReportSerial(QStringLiteral("\tA B\x1f\r\n")), QStringLiteral("A B"));
  EXPECT_EQ(ReportSeparator(true), QStringLiteral(","));
  EXPECT_EQ(ReportSeparator(false), QStringLiteral(":"));
  EXPECT_TRUE(ReportFilter(QStringLiteral(",")).endsWith(QStringLiteral("*.csv|全てのﾌｧｲﾙ(*.*)|*.*")));
  EXPECT_TRUE(ReportFilter(QStringLiteral(":")).contains(QStringLiteral("(*.txt)|*.txt")));
}

}  // namespace
}  // namespace quorel::eep

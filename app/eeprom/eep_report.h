// The device report file: its frame and header lines, and the one append
// that writes a collected report. The settings, counter and row readers add
// their own lines between header and closing rule with ReportLine.
//
// Values go in as they come (no quoting), so a "," report is a two-column
// CSV whose first column keeps the label's trailing spaces; stored reports
// and whatever reads them rely on this form.
#pragma once
#include <QString>

#include "eeprom/eep_family.h"

namespace quorel::eep {

// What the port's driver records, as crwGetComDevInfo returns it.
struct DriverInfo {
  QString description, provider, date, version;
};

// 80 "*" for Mivor, 80 "/" for the other families (no line end).
QString ReportRule(Family f);
// "," when the CSV box was ticked, else ":".
QString ReportSeparator(bool csv);
// The serial as the prompt keeps it: characters below the space removed.
QString ReportSerial(const QString& typed);

// Lines 1 to 8: the opening rule, the serial line, an empty line, the four
// driver lines ("Desc     " + separator + description + "(COM3)") and an
// empty line.
QString ReportHeader(Family f, const QString& separator, const QString& serial, int port,
                     const DriverInfo& driver);
// "Firm Ver    " with the data of the reply to "VS?" (from its sixth
// character; a shorter reply gives an empty value).
QString FirmwareLine(const QString& separator, const QString& reply);
// "MR:d1       " with the data of the reply to "MR".
QString ModeLine(const QString& separator, const QString& reply);
// The closing rule and its line end.
QString ReportClosing(Family f);

// The save dialog's filter for the separator.
QString ReportFilter(const QString& separator);
// The existing-file question (Yes appends, No asks for another name).
QString ReportAppendQuestion();

// Appends the report and one more CR LF to path in the ANSI code page,
// creating the file when it is missing. False with the system's reason in
// *error when the file cannot be opened or the whole text is not written.
bool AppendReportFile(const QString& path, const QString& report, QString* error);
// The critical box of a report that could not be written.
QString ReportWriteErrorText(const QString& path, const QString& reason);

}  // namespace quorel::eep

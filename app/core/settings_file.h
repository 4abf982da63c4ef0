// The program's one reader and writer of settings files (Quorel.ini,
// Vantor.ini). Values are stored as CP932 bytes; every write is a locked,
// atomic read-modify-write of the whole file, so copies of the program that
// share a file never lose each other's keys.
#pragma once
#include <QString>

namespace quorel {

// The value of key in section, "" when missing; at most 1023 bytes of it.
// Sets gIniTextLen to the byte length returned.
QString ReadIni(const QString& section, const QString& key, const QString& file);

// Sets key in section to value (adding either when missing). A failure is
// not reported: callers go on with their in-memory copy.
void WriteIni(const QString& section, const QString& key, const QString& value, const QString& file);

}  // namespace quorel

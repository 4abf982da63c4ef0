#include "core/versions.h"

#include <QFile>
#include <QStringList>
#include <string>

#include "core/conversions.h"
#include "platform/file_version.h"

#ifndef QUOREL_VERSION
#error "QUOREL_VERSION must come from the build"
#endif

namespace quorel {

QString ProgramTitle() { return QStringLiteral("Quorel"); }

QString ProgramVersion() { return QStringLiteral(QUOREL_VERSION); }

void GetFileVersion(const QString& path, int32_t& a, int32_t& b, int32_t& c, int32_t& d) {
  std::string version;
  if (!plat::ReadFileVersion(QFile::encodeName(path).toStdString(), &version)) return;
  // Each number is a 16-bit half of the version words; missing parts are 0.
  const QStringList parts = QString::fromStdString(version).split(QLatin1Char('.'));
  int32_t* out[4] = {&a, &b, &c, &d};
  for (int i = 0; i < 4; ++i)
    *out[i] = i < parts.size() ? static_cast<int32_t>(LeadingNumber(parts[i], 0, 65535)) : 0;
}

QString LibraryVersionText(const QString& libraryPath) {
  int32_t a = 0, b = 0, c = 0, d = 0;
  GetFileVersion(libraryPath, a, b, c, d);
  const QString text = QStringLiteral("%1.%2.%3.%4").arg(a).arg(b).arg(c).arg(d);
  return text == QLatin1String("0.0.0.0") ? QStringLiteral(" File Not Found !! ") : text;
}

}  // namespace quorel

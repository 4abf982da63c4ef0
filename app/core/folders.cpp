#include "core/folders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace quorel {

QString ProgramDir() {
  const QString forced = qEnvironmentVariable("QUOREL_PROGRAM_DIR");
  QString dir = forced.isEmpty() ? QCoreApplication::applicationDirPath() : QDir(forced).absolutePath();
  while (dir.size() > 1 && dir.endsWith(QLatin1Char('/'))) dir.chop(1);
  return dir;
}

QString DesktopDir() {
  const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
  if (!desktop.isEmpty() && QFileInfo(desktop).isDir()) return desktop;
  return QDir::homePath();
}

QString JoinPath(const QString& dir, const QString& name) {
  if (dir.isEmpty()) return name;
  if (dir.endsWith(QLatin1Char('/'))) return dir + name;
  return dir + QLatin1Char('/') + name;
}

QString LibraryFileName() { return JoinPath(ProgramDir(), QStringLiteral("libvantor.so")); }

}  // namespace quorel

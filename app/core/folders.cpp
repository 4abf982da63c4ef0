#include "core/folders.h"

#include <unistd.h>

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

QString SettingsDir() {
  const QString dir = ProgramDir();
  if (!qEnvironmentVariableIsEmpty("QUOREL_PROGRAM_DIR")) return dir;
  return SettingsDirFor(dir, access(QFile::encodeName(dir).constData(), W_OK) == 0);
}

QString SettingsDirFor(const QString& programDir, bool programDirWritable) {
  if (programDirWritable) return programDir;
  // The XDG rule: a relative $XDG_CONFIG_HOME counts as unset.
  QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
  if (!QDir::isAbsolutePath(config)) config = JoinPath(QDir::homePath(), QStringLiteral(".config"));
  const QString dir = JoinPath(config, QStringLiteral("quorel"));
  QDir().mkpath(dir);
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

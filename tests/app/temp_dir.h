// A scratch folder for one test, removed with everything in it afterwards.
#pragma once
#include <QDir>
#include <QString>
#include <QTemporaryDir>

namespace quorel::testing {

class TempDir {
 public:
  TempDir() : dir_(QDir::tempPath() + QStringLiteral("/quorel-test-XXXXXX")) {}
  QString path() const { return dir_.path(); }
  QString file(const QString& name) const { return QDir(dir_.path()).filePath(name); }

 private:
  QTemporaryDir dir_;
};

}  // namespace quorel::testing

#include "core/instance_locks.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <algorithm>
#include <cerrno>
#include <cstdint>

namespace quorel {
namespace {

const QString kGuardName = QStringLiteral("Quorel.instances.lock");
const QString kPrefix = QStringLiteral("Quorel.instance");
const QString kSuffix = QStringLiteral(".lock");

int OpenLockFile(const QString& path) {
  return open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
}

bool Flock(int fd, int operation) {
  while (flock(fd, operation) != 0) {
    if (errno != EINTR) return false;
  }
  return true;
}

// 64-bit FNV-1a: a short stable name for a program folder.
QString FolderTag(const QString& folder) {
  uint64_t h = 14695981039346656037ull;
  for (const char c : QFile::encodeName(folder)) {
    h ^= static_cast<unsigned char>(c);
    h *= 1099511628211ull;
  }
  return QString::number(h, 16);
}

}  // namespace

InstanceLocks::InstanceLocks(QString dir) : dir_(std::move(dir)) {}

InstanceLocks::~InstanceLocks() { Release(); }

QString InstanceLocks::DirFor(const QString& programDir) {
  if (access(QFile::encodeName(programDir).constData(), W_OK) == 0) return programDir;
  QString base = qEnvironmentVariable("XDG_RUNTIME_DIR");
  if (base.isEmpty()) base = QDir::tempPath();
  const QString canonical = QDir(programDir).canonicalPath();
  const QString dir = QDir(base).filePath(QStringLiteral("quorel-%1-%2")
                                              .arg(getuid())
                                              .arg(FolderTag(canonical.isEmpty() ? programDir : canonical)));
  mkdir(QFile::encodeName(dir).constData(), 0700);
  return dir;
}

InstanceLocks::Guard::Guard(const InstanceLocks& locks)
    : fd_(OpenLockFile(QDir(locks.dir_).filePath(kGuardName))) {
  if (fd_ >= 0 && !Flock(fd_, LOCK_EX)) {
    close(fd_);
    fd_ = -1;
  }
}

InstanceLocks::Guard::~Guard() {
  if (fd_ >= 0) close(fd_);
}

QString InstanceLocks::FileOf(int n) const {
  return QDir(dir_).filePath(kPrefix + QString::number(n) + kSuffix);
}

std::vector<int> InstanceLocks::HeldByOthers() const {
  static const QRegularExpression kName(QStringLiteral("^Quorel\\.instance(\\d{1,5})\\.lock$"));
  std::vector<int> held;
  const QStringList names = QDir(dir_).entryList({kPrefix + QStringLiteral("*") + kSuffix}, QDir::Files);
  for (const QString& name : names) {
    const QRegularExpressionMatch m = kName.match(name);
    if (!m.hasMatch()) continue;
    const int n = m.captured(1).toInt();
    if (n == number_) continue;
    const int fd = OpenLockFile(QDir(dir_).filePath(name));
    if (fd < 0) continue;
    if (flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) held.push_back(n);
    close(fd);  // also drops the probe's lock
  }
  std::sort(held.begin(), held.end());
  return held;
}

bool InstanceLocks::Take(int n) {
  const int fd = OpenLockFile(FileOf(n));
  if (fd < 0) return false;
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    close(fd);
    return false;
  }
  Release();
  fd_ = fd;
  number_ = n;
  return true;
}

void InstanceLocks::Release() {
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
  number_ = -1;
}

std::vector<int> HeldInstanceNumbers(const QString& dir) {
  const InstanceLocks probe(dir);
  const InstanceLocks::Guard guard(probe);
  return probe.HeldByOthers();
}

}  // namespace quorel

// Which copies of the program run, told by file locks: each running copy
// holds an exclusive flock on the lock file of its instance number for its
// whole life, and the kernel drops it when the process ends, even in a crash.
// A guard lock serialises the copies that start or stop at the same moment,
// so testing the others' locks never races with a copy taking its own.
#pragma once
#include <QString>
#include <vector>

namespace quorel {

class InstanceLocks {
 public:
  // Lock files live in dir.
  explicit InstanceLocks(QString dir);
  ~InstanceLocks();
  InstanceLocks(const InstanceLocks&) = delete;
  InstanceLocks& operator=(const InstanceLocks&) = delete;

  // The program folder when it is writable, else a folder of its own under
  // $XDG_RUNTIME_DIR (the temporary folder without one).
  static QString DirFor(const QString& programDir);

  // Holds the guard for its life.
  class Guard {
   public:
    explicit Guard(const InstanceLocks& locks);
    ~Guard();
    Guard(const Guard&) = delete;
    Guard& operator=(const Guard&) = delete;

   private:
    int fd_;
  };

  // Instance numbers whose lock another holder has (never this object's own).
  // Call with the guard held.
  std::vector<int> HeldByOthers() const;
  // Takes the lock of number n for this object's life; false when it is held.
  // Call with the guard held.
  bool Take(int n);
  // Drops this object's lock; afterwards number() is -1.
  void Release();
  int number() const { return number_; }
  const QString& dir() const { return dir_; }

 private:
  QString FileOf(int n) const;

  QString dir_;
  int fd_ = -1;
  int number_ = -1;
};

// The numbers held in dir right now, read under the guard (for tests and
// diagnostics).
std::vector<int> HeldInstanceNumbers(const QString& dir);

}  // namespace quorel

// One window per program directory: a lock on a file there keeps a second start from running on
// the same settings files, whose close would silently overwrite the first's. The lock is the
// system's (flock), so it goes with the process that held it: a crash, kill -9 or a power cut
// leaves at most a file that no one holds, and such a file never blocks a start.
#pragma once

#include <QString>
#include <memory>

namespace platform {

inline constexpr char kInstanceLockName[] = "dravelin.lock";

class InstanceLock {
  public:
    // Takes the lock on path; isLocked() says whether it is held.
    explicit InstanceLock(const QString& path);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    bool isLocked() const { return fd_ >= 0; }
    // True when another process holds the lock.
    bool heldElsewhere() const { return heldElsewhere_; }

  private:
    QString path_;
    int fd_ = -1;
    bool heldElsewhere_ = false;
};

// Takes the program directory's lock. When another running program holds it, shows "Dravelin
// už v této složce běží." through the prompts seam and returns nullptr: the caller ends
// without writing anything. A folder where no lock file can be made is no reason to refuse;
// the lock is then simply not held.
std::unique_ptr<InstanceLock> claimProgramDirectory(const QString& dir);

} // namespace platform

// One window per program directory: a lock file there keeps a second start from running on the
// same settings files, whose close would silently overwrite the first's. A lock left by a
// program that is gone (a crash, kill -9) is taken over.
#pragma once

#include <QLockFile>
#include <QString>
#include <memory>

namespace platform {

inline constexpr char kInstanceLockName[] = "dravelin.lock";

// Takes the program directory's lock. When another running program holds it, shows "Dravelin
// už v této složce běží." through the prompts seam and returns nullptr: the caller ends
// without writing anything. A folder where no lock file can be made is no reason to refuse;
// the lock is then simply not held.
std::unique_ptr<QLockFile> claimProgramDirectory(const QString& dir);

} // namespace platform

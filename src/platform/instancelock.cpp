#include "platform/instancelock.h"

#include "platform/programdir.h"
#include "platform/prompts.h"

namespace platform {

std::unique_ptr<QLockFile> claimProgramDirectory(const QString& dir) {
    auto lock = std::make_unique<QLockFile>(dir + QLatin1String(kInstanceLockName));
    // Never stale by age: a window may stay open for weeks. A holder that is no longer running
    // is still recognised and its lock taken over.
    lock->setStaleLockTime(0);
    if (lock->tryLock(0)) {
        return lock;
    }
    if (lock->error() == QLockFile::LockFailedError) {
        prompts::message({programTitle(), QStringLiteral("Dravelin už v této složce běží."),
                          prompts::Icon::Information, prompts::Buttons::Ok});
        return nullptr;
    }
    return lock;
}

} // namespace platform

#include "platform/common/SingleInstance.h"

#include <QDir>

namespace vetorlan {

QString SingleInstance::LockFilePath(const QString& programFolder) {
    // In the folder itself, so every session, user and scheduled start meets the same lock.
    return QDir(programFolder).absoluteFilePath(QStringLiteral(".nimbora.lock"));
}

SingleInstance::SingleInstance(const QString& programFolder)
    : lock_(std::make_unique<QLockFile>(LockFilePath(programFolder))) {
    // No age limit: a lock is stale only when the copy that took it is gone.
    lock_->setStaleLockTime(0);
}

SingleInstance::~SingleInstance() {
    Release();
}

bool SingleInstance::TryAcquire() {
    if (lock_->isLocked())
        return true;
    if (lock_->tryLock(0))
        return true;
    // A lock that cannot be made at all (a folder without write rights) proves no other copy:
    // the program starts rather than refusing itself.
    if (lock_->error() != QLockFile::LockFailedError)
        return true;
    // A copy that crashed left its lock behind: take it over.
    if (lock_->removeStaleLockFile() && lock_->tryLock(0))
        return true;
    return lock_->error() != QLockFile::LockFailedError;
}

void SingleInstance::Release() {
    if (lock_->isLocked())
        lock_->unlock();
}

} // namespace vetorlan

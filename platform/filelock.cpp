#include "platform/filelock.h"

#include "platform/paths.h"

#include <QLockFile>

namespace platform {

FileInUseLock::FileInUseLock() = default;

FileInUseLock::~FileInUseLock() = default;
FileInUseLock::FileInUseLock(FileInUseLock&&) noexcept = default;
FileInUseLock& FileInUseLock::operator=(FileInUseLock&&) noexcept = default;

QString FileInUseLock::lockFileFor(const QString& path) {
    return paths::runtimeFile(QStringLiteral("sorabi-file-"), paths::canonical(path),
                              QStringLiteral(".lock"));
}

FileInUseLock::Result FileInUseLock::lock(const QString& path) {
    unlock();
    auto lock = std::make_unique<QLockFile>(lockFileFor(path));
    // A lock whose process is gone is taken over. A live owner keeps its lock however old it is:
    // it holds the file locked in the kernel as well, which the take-over respects.
    if (!lock->tryLock(0)) {
        if (lock->error() == QLockFile::LockFailedError)
            return Result::InUse;
        return Result::NoLock;
    }
    m_lock = std::move(lock);
    return Result::Locked;
}

void FileInUseLock::unlock() {
    m_lock.reset();
}

} // namespace platform

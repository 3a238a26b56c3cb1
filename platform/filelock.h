#pragma once

#include <QString>
#include <memory>

class QLockFile;

namespace platform {

// Marks one file as in use by this process through a lock file in the user's runtime folder, keyed
// by the file's canonical path, so that no lock file is left beside the file itself. Another copy
// of the program asking for the same file is refused while this one holds it; the lock of a
// process that has died is taken over.
class FileInUseLock {
public:
    enum class Result {
        Locked, // this process holds the file now
        InUse,  // another live process holds it
        NoLock, // the lock could not be made (no runtime folder): the file is not guarded
    };

    FileInUseLock();
    ~FileInUseLock();
    FileInUseLock(FileInUseLock&&) noexcept;
    FileInUseLock& operator=(FileInUseLock&&) noexcept;

    // Takes the file at path, after letting go of the one held before.
    Result lock(const QString& path);
    void unlock();

    // The lock file that stands for the file at path.
    static QString lockFileFor(const QString& path);

private:
    std::unique_ptr<QLockFile> m_lock;
};

} // namespace platform

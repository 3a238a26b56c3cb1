#include "platform/filelock.h"
#include "platform/filestamp.h"
#include "platform/paths.h"
#include "tests/support/printers.h"
#include "tests/support/tempdir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSysInfo>
#include <QThread>
#include <gtest/gtest.h>

using platform::FileInUseLock;
using Result = platform::FileInUseLock::Result;

namespace {

// What a lock file says of its owner: the process number, the program and the host.
bool writeLockOwner(const QString& lockFile, qint64 pid, const char* program) {
    QFile file(lockFile);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    return file.write(QByteArray::number(pid) + '\n' + program + '\n' +
                      QSysInfo::machineHostName().toUtf8() + '\n') > 0;
}

// Another process that holds the lock file the way a running copy does (its number in the file,
// an exclusive lock on it), until it is killed.
class LockingProcess {
public:
    explicit LockingProcess(const QString& lockFile) {
        m_process.start(QStringLiteral("flock"), {QStringLiteral("--no-fork"), lockFile,
                                                  QStringLiteral("sleep"), QStringLiteral("60")});
        m_ok = m_process.waitForStarted();
        // flock has the lock once the file exists; the sleep follows at once.
        for (int i = 0; m_ok && i < 200 && !QFileInfo::exists(lockFile); ++i)
            QThread::msleep(10);
        QThread::msleep(50);
        m_ok = m_ok && writeLockOwner(lockFile, m_process.processId(), "flock");
    }
    ~LockingProcess() {
        m_process.kill();
        m_process.waitForFinished();
    }
    bool ok() const { return m_ok; }

private:
    QProcess m_process;
    bool m_ok = false;
};

} // namespace

TEST(FileInUseLock, LivesInTheRuntimeFolderNotBesideTheFile) {
    TempDir dir;
    dir.write(QStringLiteral("d.sb"), "x");
    FileInUseLock lock;
    ASSERT_EQ(lock.lock(dir.file(QStringLiteral("d.sb"))), Result::Locked);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("d.sb")});
    const QString lockFile = FileInUseLock::lockFileFor(dir.file(QStringLiteral("d.sb")));
    EXPECT_TRUE(lockFile.startsWith(platform::paths::runtimeFolder() + u'/'));
    EXPECT_TRUE(QFileInfo::exists(lockFile));
    lock.unlock();
    EXPECT_FALSE(QFileInfo::exists(lockFile));
}

TEST(FileInUseLock, TheSameFileByAnotherPathIsTheSameLock) {
    TempDir dir;
    dir.write(QStringLiteral("d.sb"), "x");
    ASSERT_TRUE(QFile::link(dir.file(QStringLiteral("d.sb")), dir.file(QStringLiteral("l.sb"))));
    FileInUseLock first;
    FileInUseLock second;
    ASSERT_EQ(first.lock(dir.file(QStringLiteral("d.sb"))), Result::Locked);
    EXPECT_EQ(second.lock(dir.file(QStringLiteral("l.sb"))), Result::InUse);
    EXPECT_EQ(second.lock(dir.path() + QStringLiteral("./d.sb")), Result::InUse);
    // Another file is free, and the first is free again once let go.
    dir.write(QStringLiteral("e.sb"), "x");
    EXPECT_EQ(second.lock(dir.file(QStringLiteral("e.sb"))), Result::Locked);
    first.unlock();
    EXPECT_EQ(second.lock(dir.file(QStringLiteral("l.sb"))), Result::Locked);
}

TEST(FileInUseLock, AnotherLiveProcessKeepsItsLock) {
    TempDir dir;
    dir.write(QStringLiteral("d.sb"), "x");
    const QString file = dir.file(QStringLiteral("d.sb"));
    {
        LockingProcess other(FileInUseLock::lockFileFor(file));
        ASSERT_TRUE(other.ok());
        FileInUseLock lock;
        EXPECT_EQ(lock.lock(file), Result::InUse);
    }
    FileInUseLock lock;
    EXPECT_EQ(lock.lock(file), Result::Locked);
}

TEST(FileInUseLock, TheLockOfADeadProcessIsTakenOver) {
    TempDir dir;
    dir.write(QStringLiteral("d.sb"), "x");
    const QString file = dir.file(QStringLiteral("d.sb"));
    // A process that has ended, as after a kill: its lock file stays behind.
    QProcess gone;
    gone.start(QStringLiteral("true"), {});
    ASSERT_TRUE(gone.waitForStarted());
    const qint64 pid = gone.processId();
    ASSERT_TRUE(gone.waitForFinished());
    ASSERT_TRUE(writeLockOwner(FileInUseLock::lockFileFor(file), pid, "sorabi"));
    FileInUseLock lock;
    EXPECT_EQ(lock.lock(file), Result::Locked);
}

TEST(FileStamp, TellsEveryKindOfChange) {
    TempDir dir;
    dir.write(QStringLiteral("d.sb"), "abc");
    const QString file = dir.file(QStringLiteral("d.sb"));
    const platform::FileStamp first = platform::fileStamp(file);
    EXPECT_TRUE(first.exists);
    EXPECT_EQ(platform::fileStamp(file), first);
    // The same size written again (a new modification time), then a new file in its place.
    QThread::msleep(20);
    dir.write(QStringLiteral("d.sb"), "xyz");
    const platform::FileStamp second = platform::fileStamp(file);
    EXPECT_NE(second, first);
    dir.write(QStringLiteral("n.sb"), "xyz");
    ASSERT_TRUE(QFile::remove(file));
    ASSERT_TRUE(QFile::rename(dir.file(QStringLiteral("n.sb")), file));
    EXPECT_NE(platform::fileStamp(file), second);
    ASSERT_TRUE(QFile::remove(file));
    EXPECT_FALSE(platform::fileStamp(file).exists);
}

#include "platform/atomicfile.h"
#include "tests/support/filesizelimit.h"
#include "tests/support/printers.h"
#include "tests/support/tempdir.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <unistd.h>

using platform::writeFileAtomically;

namespace {

const QByteArray kOld = QByteArray(100, 'o');
const QByteArray kNew = QByteArray(200, 'n');

QStringList filesIn(const TempDir& dir) {
    return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
}

// A folder that lets its files be rewritten but takes no new file (a shared folder): the write
// goes into the file itself.
class FolderWithoutNewFiles : public testing::Test {
protected:
    void SetUp() override {
        if (geteuid() == 0)
            GTEST_SKIP() << "root writes into every folder";
        dir.write(QStringLiteral("d.sb"), kOld);
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    }
    void TearDown() override {
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    TempDir dir;
};

} // namespace

TEST(AtomicFile, ReplacesTheFileAndLeavesNothingElse) {
    TempDir dir;
    dir.write(QStringLiteral("d.sb"), kOld);
    QString error;
    EXPECT_TRUE(writeFileAtomically(dir.file(QStringLiteral("d.sb")), kNew, &error))
        << error.toStdString();
    EXPECT_EQ(dir.read(QStringLiteral("d.sb")), kNew);
    EXPECT_EQ(filesIn(dir), QStringList{QStringLiteral("d.sb")});
}

TEST(AtomicFile, FullDiskKeepsTheOldFileAndSaysWhy) {
    TempDir dir;
    dir.write(QStringLiteral("d.sb"), kOld);
    QString error;
    {
        FileSizeLimit full(150);
        EXPECT_FALSE(writeFileAtomically(dir.file(QStringLiteral("d.sb")), kNew, &error));
    }
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(dir.read(QStringLiteral("d.sb")), kOld);
    EXPECT_EQ(filesIn(dir), QStringList{QStringLiteral("d.sb")});
}

TEST_F(FolderWithoutNewFiles, TheFileIsRewrittenInPlace) {
    QString error;
    EXPECT_TRUE(writeFileAtomically(dir.file(QStringLiteral("d.sb")), kNew, &error))
        << error.toStdString();
    EXPECT_EQ(dir.read(QStringLiteral("d.sb")), kNew);
    EXPECT_EQ(filesIn(dir), QStringList{QStringLiteral("d.sb")});
    // Shorter data leaves no tail of the longer file behind.
    EXPECT_TRUE(writeFileAtomically(dir.file(QStringLiteral("d.sb")), kOld, &error))
        << error.toStdString();
    EXPECT_EQ(dir.read(QStringLiteral("d.sb")), kOld);
}

TEST_F(FolderWithoutNewFiles, AShortWriteInPlaceIsAFailure) {
    QString error;
    {
        FileSizeLimit full(150);
        EXPECT_FALSE(writeFileAtomically(dir.file(QStringLiteral("d.sb")), kNew, &error));
    }
    EXPECT_FALSE(error.isEmpty());
}

TEST_F(FolderWithoutNewFiles, AReadOnlyFileIsNotWritten) {
    QFile::setPermissions(dir.file(QStringLiteral("d.sb")), QFile::ReadOwner);
    EXPECT_FALSE(writeFileAtomically(dir.file(QStringLiteral("d.sb")), kNew));
    EXPECT_FALSE(writeFileAtomically(dir.file(QStringLiteral("new.sb")), kNew));
    EXPECT_EQ(dir.read(QStringLiteral("d.sb")), kOld);
}

#include "platform/singleinstance.h"
#include "tests/support/printers.h"
#include "tests/support/tempdir.h"

#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QThread>
#include <QtEndian>
#include <gtest/gtest.h>

using platform::SingleInstance;

namespace {

// A later start in a process of its own (the running copy answers on this test's event loop).
int laterStart(const QString& key, const QStringList& args, int timeoutMs = 5000) {
    QProcess probe;
    probe.start(QStringLiteral(SORABI_INSTANCE_PROBE),
                QStringList{key, QString::number(timeoutMs)} + args);
    if (!probe.waitForStarted())
        return -1;
    QSignalSpy finished(&probe, &QProcess::finished);
    if (!finished.wait(timeoutMs + 5000))
        return -1;
    return probe.exitCode();
}

} // namespace

TEST(SingleInstance, ALaterStartHandsItsArgumentsToTheRunningCopyAndEnds) {
    TempDir dir;
    const QString key = dir.file(QStringLiteral("sorabi.ini"));
    SingleInstance first(key);
    ASSERT_EQ(first.start({QStringLiteral("sorabi")}), SingleInstance::Role::First);
    QSignalSpy started(&first, &SingleInstance::started);
    EXPECT_EQ(laterStart(key, {QStringLiteral("слова.sb"), QString()}), 0);
    ASSERT_EQ(started.count(), 1);
    EXPECT_EQ(started.at(0).at(0).toStringList(),
              (QStringList{QStringLiteral(SORABI_INSTANCE_PROBE), QStringLiteral("слова.sb"),
                           QString()}));
    // Every later start, not only the first.
    EXPECT_EQ(laterStart(key, {}), 0);
    EXPECT_EQ(started.count(), 2);
}

TEST(SingleInstance, CopiesWithOtherSettingsFilesRunSideBySide) {
    TempDir dir;
    SingleInstance first(dir.file(QStringLiteral("a/sorabi.ini")));
    ASSERT_EQ(first.start({}), SingleInstance::Role::First);
    EXPECT_EQ(laterStart(dir.file(QStringLiteral("b/sorabi.ini")), {}), 10);
}

TEST(SingleInstance, TheSocketOfAKilledCopyIsTakenOver) {
    TempDir dir;
    const QString key = dir.file(QStringLiteral("sorabi.ini"));
    SingleInstance probe(key);
    // What a killed copy leaves: a socket file nobody listens on, and no lock.
    QFile leftover(probe.serverName());
    ASSERT_TRUE(leftover.open(QIODevice::WriteOnly));
    leftover.close();
    SingleInstance first(key);
    ASSERT_EQ(first.start({}), SingleInstance::Role::First);
    QSignalSpy started(&first, &SingleInstance::started);
    EXPECT_EQ(laterStart(key, {}), 0);
    EXPECT_EQ(started.count(), 1);
}

TEST(SingleInstance, ACopyThatHoldsTheLockButDoesNotAnswerIsReported) {
    TempDir dir;
    const QString key = dir.file(QStringLiteral("sorabi.ini"));
    const SingleInstance names(key);
    QProcess holder;
    holder.start(QStringLiteral("flock"),
                 {QStringLiteral("--no-fork"), names.serverName() + QStringLiteral(".lock"),
                  QStringLiteral("sleep"), QStringLiteral("60")});
    ASSERT_TRUE(holder.waitForStarted());
    QThread::msleep(200);
    EXPECT_EQ(laterStart(key, {}, 300), 11);
    holder.kill();
    holder.waitForFinished();
}

TEST(SingleInstance, ArgumentsSurviveTheMessage) {
    const QStringList cases[] = {
        {},
        {QStringLiteral("sorabi")},
        {QStringLiteral("sorabi"), QString(), QStringLiteral("/home/u/колода 1.sb")},
        {QStringLiteral("日本語"), QStringLiteral("a\nb")},
    };
    for (const QStringList& args : cases) {
        const QByteArray message = SingleInstance::encodeArguments(args);
        ASSERT_GE(message.size(), 4);
        const quint32 size = qFromBigEndian<quint32>(message.constData());
        EXPECT_EQ(qsizetype(size), message.size() - 4);
        // An empty last argument is one zero byte: it reads back as an empty argument.
        EXPECT_EQ(SingleInstance::decodeArguments(message.mid(4)), args)
            << args.join(u'|').toStdString();
    }
    // A body without its final zero byte still reads.
    EXPECT_EQ(SingleInstance::decodeArguments("a\0b"_qba),
              (QStringList{QStringLiteral("a"), QStringLiteral("b")}));
}

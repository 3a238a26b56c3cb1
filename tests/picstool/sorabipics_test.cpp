// sorabi-pics run as a user runs it.
#include "tests/support/printers.h"
#include "tests/support/tempdir.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

namespace {

struct Outcome {
    int status;
    QString out;
    QString err;
};

Outcome run(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    EXPECT_TRUE(p.waitForFinished(120000));
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

const QString kProgram = QStringLiteral(SORABI_PICS);

TEST(SorabiPics, HelpNamesTheDataAndItsLicence) {
    const Outcome help = run(kProgram, {QStringLiteral("--help")});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.startsWith(QStringLiteral("Usage: sorabi-pics OUTDIR [TEXT]")));
    for (const char* needed : {"KanjiVG", "Ulrich Apel", "Attribution-Share Alike 3.0"})
        EXPECT_TRUE(help.out.contains(QString::fromUtf8(needed))) << needed;
    for (const QStringList& wrong :
         {QStringList{},
          QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}}) {
        const Outcome r = run(kProgram, wrong);
        EXPECT_EQ(r.status, 2);
        EXPECT_TRUE(r.err.startsWith(QStringLiteral("Usage:")));
    }
}

TEST(SorabiPics, WritesTheKanjiOfATextNamedByTheirCodes) {
    TempDir dir;
    const QString out = dir.file(QStringLiteral("made/pics"));
    // Kana, Latin letters and a repeated kanji give nothing more.
    const Outcome r = run(kProgram, {out, QStringLiteral("猫と山と猫abc")});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString(); // no progress line off a terminal
    EXPECT_EQ(QDir(out).entryList(QDir::Files),
              (QStringList{QStringLiteral("8E52.gif"), QStringLiteral("944C.gif")}));
    QFile cat(out + QStringLiteral("/944C.gif"));
    ASSERT_TRUE(cat.open(QIODevice::ReadOnly));
    EXPECT_TRUE(cat.readAll().startsWith("GIF89a"));

    // An output folder that cannot be made.
    dir.write(QStringLiteral("file"), "x");
    const Outcome blocked =
        run(kProgram, {dir.file(QStringLiteral("file/pics")), QStringLiteral("猫")});
    EXPECT_EQ(blocked.status, 1);
    EXPECT_TRUE(blocked.err.contains(QStringLiteral("cannot make the folder")));
}

// A copy of the program beside a table that lacks a kanji: the kanji is named and the status
// says not everything was made; the others are still written.
TEST(SorabiPics, KanjiWithoutStrokeDataAreListedAndFailTheRun) {
    TempDir dir;
    const QString copy = dir.file(QStringLiteral("sorabi-pics"));
    ASSERT_TRUE(QFile::copy(kProgram, copy));
    QFile::setPermissions(copy, QFile::permissions(kProgram));
    dir.write(QStringLiteral("kanjivg-strokes.qz"),
              qCompress(QByteArray("# one kanji\n732B\tM10,10c20,20,40,20,60,0\n")));
    const Outcome r = run(copy, {dir.file(QStringLiteral("out")), QStringLiteral("山猫")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, QStringLiteral("sorabi-pics: not made: 山 (U+5C71): no stroke data\n"));
    EXPECT_EQ(QDir(dir.file(QStringLiteral("out"))).entryList(QDir::Files),
              QStringList{QStringLiteral("944C.gif")});

    // Without a table nothing can be made.
    QFile::remove(dir.file(QStringLiteral("kanjivg-strokes.qz")));
    const Outcome none = run(copy, {dir.file(QStringLiteral("out2")), QStringLiteral("猫")});
    EXPECT_EQ(none.status, 1);
    EXPECT_TRUE(none.err.contains(QStringLiteral("kanjivg-strokes.qz"))) << none.err.toStdString();
}

} // namespace

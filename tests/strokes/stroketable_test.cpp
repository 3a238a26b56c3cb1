#include "strokes/stroketable.h"

#include "hint/kanjicodes.h"
#include "strokes/pathdata.h"
#include "tests/support/printers.h"
#include "tests/support/tempdir.h"

#include <QFile>
#include <gtest/gtest.h>

static void initResources() {
    Q_INIT_RESOURCE(resources);
}

namespace {

const QString kTable = QStringLiteral(SORABI_RESOURCES "/strokes/kanjivg-strokes.qz");

// The table the program ships: every kanji of the code table has strokes, and every stroke reads.
TEST(StrokeTable, CoversEveryKanjiOfTheCodeTableWithReadableStrokes) {
    initResources();
    QString error;
    const strokes::StrokeTable* table = strokes::StrokeTable::shared(kTable, &error);
    ASSERT_NE(table, nullptr) << error.toStdString();
    int kanji = 0;
    QStringList missing, unreadable;
    for (const char16_t unit : KanjiCodes::builtIn().units()) {
        ++kanji;
        const QList<QByteArrayView> strokes = table->strokesOf(unit);
        if (strokes.isEmpty())
            missing << QString(QChar(unit));
        for (const QByteArrayView stroke : strokes)
            if (!strokes::parsePath(stroke).ok())
                unreadable << QString(QChar(unit));
    }
    EXPECT_EQ(kanji, 6356);
    EXPECT_TRUE(missing.isEmpty()) << missing.join(u' ').toStdString();
    EXPECT_TRUE(unreadable.isEmpty()) << unreadable.join(u' ').toStdString();
    EXPECT_EQ(table->strokesOf(U'一').size(), 1);
    EXPECT_EQ(table->strokesOf(U'猫').size(), 11);
    EXPECT_TRUE(table->strokesOf(U'a').isEmpty());
    // The same path gives the same table.
    EXPECT_EQ(strokes::StrokeTable::shared(kTable), table);
}

TEST(StrokeTable, ReadsLinesCommentsAndStrokes) {
    const auto table = strokes::StrokeTable::fromText(
        "# a comment\n\n4E00\tM1,2c1,1,1,1,1,1\n20B9F\tM0,0C1,1,1,1,1,1\tM5,5c1,1,1,1,1,1");
    ASSERT_TRUE(table);
    EXPECT_EQ(table->size(), 2);
    EXPECT_EQ(table->strokesOf(0x4E00), QList<QByteArrayView>{"M1,2c1,1,1,1,1,1"});
    EXPECT_EQ(table->strokesOf(0x20B9F),
              (QList<QByteArrayView>{"M0,0C1,1,1,1,1,1", "M5,5c1,1,1,1,1,1"}));
    EXPECT_EQ(table->codePoints(), (QList<char32_t>{0x4E00, 0x20B9F}));
}

TEST(StrokeTable, DamagedTextIsRefusedNamingTheLine) {
    const struct {
        const char* text;
        const char* error;
    } cases[] = {
        {"# only a comment\n", "stroke table: no kanji"},
        {"4E00\tM1,1c1,1,1,1,1,1\nXYZ\tM1,1", "stroke table, line 2: no code point"},
        {"4E00", "stroke table, line 1: no strokes"},
        {"4E00\t", "stroke table, line 1: no strokes"},
        {"4E00\tM1,1\t\tM2,2", "stroke table, line 1: an empty stroke"},
        {"4E00\tM1,1\t", "stroke table, line 1: an empty stroke"},
        {"D800\tM1,1", "stroke table, line 1: no code point"},
        {"110000\tM1,1", "stroke table, line 1: no code point"},
        {"4E00\tM1,1\n4e00\tM2,2", "stroke table, line 2: the code point is given twice"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        QString error;
        EXPECT_FALSE(strokes::StrokeTable::fromText(c.text, &error));
        EXPECT_EQ(error.toStdString(), c.error);
    }
}

TEST(StrokeTable, DamagedPackedFilesAreRefused) {
    const QByteArray good = qCompress(QByteArray("4E00\tM1,1c1,1,1,1,1,1"));
    ASSERT_TRUE(strokes::StrokeTable::fromPacked(good));
    QByteArray wrongLength = good;
    wrongLength[3] = char(wrongLength[3] + 1);
    QByteArray huge = good;
    huge[0] = char(0x7F);
    for (const QByteArray& bad : {QByteArray(), QByteArray("\0\0", 2), good.left(good.size() / 2),
                                  wrongLength, huge, QByteArray(16, 'x')}) {
        QString error;
        EXPECT_FALSE(strokes::StrokeTable::fromPacked(bad, &error));
        EXPECT_FALSE(error.isEmpty());
    }

    TempDir dir;
    QString error;
    EXPECT_EQ(strokes::StrokeTable::shared(dir.file(QStringLiteral("none.qz")), &error), nullptr);
    EXPECT_TRUE(error.startsWith(dir.file(QStringLiteral("none.qz: ")))) << error.toStdString();
}

} // namespace

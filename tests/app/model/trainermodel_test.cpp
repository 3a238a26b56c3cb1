#include "app/model/deckcodec.h"
#include "app/model/trainermodel.h"
#include "platform/errors.h"
#include "tests/support/deckbytes.h"
#include "tests/support/filesizelimit.h"
#include "tests/support/printers.h"
#include "tests/support/tempdir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <gtest/gtest.h>
#include <unistd.h>

using deckbytes::crlf;
using deckbytes::le;

namespace {

// A model whose program folder is a fresh temporary folder.
class ModelFixture : public testing::Test {
protected:
    ModelFixture() { model.AppDir = dir.path(); }

    TempDir dir;
    TrainerModel model;
};

QByteArray fiveWords(const char* position) {
    return le(crlf({position, "一=いち=один", "#二=に=два", "三=さん=три", "四=よん=четыре",
                    "五=ご=пять", "六=ろく=шесть"}));
}

} // namespace

TEST_F(ModelFixture, BareNameIsReadFromAndWrittenToTheProgramFolder) {
    dir.write(QStringLiteral("d.sb"), fiveWords("*1"));
    const QString elsewhere = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(QDir::tempPath()));
    const DeckLoadResult r = model.loadDeck(QStringLiteral("d.sb"));
    EXPECT_EQ(r.status, DeckLoadResult::Loaded);
    model.Dict.Words[0].Attempts = 9;
    EXPECT_TRUE(model.saveDeck(QStringLiteral("d.sb")));
    QDir::setCurrent(elsewhere);
    EXPECT_FALSE(QFileInfo::exists(QDir::tempPath() + QStringLiteral("/d.sb")));
    EXPECT_TRUE(dir.read(QStringLiteral("d.sb")).contains(le(QStringLiteral("=0=9\r\n")).mid(2)));
}

TEST_F(ModelFixture, PathWithAFolderIsTakenAsItIs) {
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("sub")));
    dir.write(QStringLiteral("sub/d.sb"), fiveWords("*0"));
    EXPECT_EQ(model.resolveDeckPath(QStringLiteral("sub/d.sb")), QStringLiteral("sub/d.sb"));
    EXPECT_EQ(model.loadDeck(dir.file(QStringLiteral("sub/d.sb"))).status, DeckLoadResult::Loaded);
}

TEST_F(ModelFixture, LoadBuildsTheActiveListAndCounts) {
    dir.write(QStringLiteral("d.sb"), fiveWords("*2"));
    ASSERT_EQ(model.loadDeck(QStringLiteral("d.sb")).status, DeckLoadResult::Loaded);
    EXPECT_TRUE(model.DeckLoaded);
    EXPECT_EQ(model.WordCount, 6);
    EXPECT_EQ(model.ActiveList, (std::vector<qint32>{0, 2, 3, 4, 5}));
    EXPECT_EQ(model.ActiveCount, 5);
    EXPECT_EQ(model.CurrentPos, 2);
}

TEST_F(ModelFixture, StoredPositionOutsideTheActiveListBecomesZero) {
    const std::pair<const char*, qint32> cases[] = {{"*4", 4},  {"*5", 0},   {"*7", 0},
                                                    {"*-3", 0}, {"*abc", 0}, {"一=いち=один", 0}};
    for (const auto& [firstLine, expected] : cases) {
        dir.write(QStringLiteral("d.sb"), fiveWords(firstLine));
        ASSERT_EQ(model.loadDeck(QStringLiteral("d.sb")).status, DeckLoadResult::Loaded);
        EXPECT_EQ(model.CurrentPos, expected) << firstLine;
    }
}

TEST_F(ModelFixture, AllWordsInactiveLoadsWithNoActiveWord) {
    dir.write(QStringLiteral("d.sb"), le(crlf({"*0", "#一=いち=один", "＃二=に=два"})));
    ASSERT_EQ(model.loadDeck(QStringLiteral("d.sb")).status, DeckLoadResult::Loaded);
    EXPECT_EQ(model.ActiveCount, 0);
    EXPECT_EQ(model.CurrentPos, 0);
    EXPECT_EQ(model.WordCount, 2);
}

TEST_F(ModelFixture, FailedLoadsLeaveNoDeck) {
    dir.write(QStringLiteral("d.sb"), fiveWords("*2"));
    ASSERT_EQ(model.loadDeck(QStringLiteral("d.sb")).status, DeckLoadResult::Loaded);

    EXPECT_EQ(model.loadDeck(QString()).status, DeckLoadResult::EmptyPath);
    EXPECT_FALSE(model.DeckLoaded);
    EXPECT_EQ(model.WordCount, -1);
    EXPECT_EQ(model.CurrentPos, -1);

    EXPECT_EQ(model.loadDeck(QStringLiteral("none.sb")).status, DeckLoadResult::Missing);
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.sb")));
    EXPECT_EQ(model.loadDeck(QStringLiteral("folder.sb")).status, DeckLoadResult::Missing);

    dir.write(QStringLiteral("bad.sb"), le(crlf({"*0", "一=いち=один", "二=に"})));
    const DeckLoadResult bad = model.loadDeck(QStringLiteral("bad.sb"));
    EXPECT_EQ(bad.status, DeckLoadResult::Malformed);
    EXPECT_EQ(bad.entryCount, 2);
    EXPECT_FALSE(model.DeckLoaded);
    EXPECT_EQ(model.WordCount, -1);
    EXPECT_TRUE(model.Dict.Words.empty());
    EXPECT_EQ(model.ActiveCount, 0);
    // Nothing to write while no deck is loaded: the file stays as it was.
    EXPECT_TRUE(model.saveDeck(QStringLiteral("bad.sb")));
    EXPECT_EQ(dir.read(QStringLiteral("bad.sb")), le(crlf({"*0", "一=いち=один", "二=に"})));
}

TEST_F(ModelFixture, UnreadableFileRaisesAnErrorNamingIt) {
    dir.write(QStringLiteral("d.sb"), fiveWords("*0"));
    QFile::setPermissions(dir.file(QStringLiteral("d.sb")), QFile::WriteOwner);
    if (geteuid() == 0)
        GTEST_SKIP() << "root reads every file";
    try {
        model.loadDeck(QStringLiteral("d.sb"));
        ADD_FAILURE() << "no error";
    } catch (const platform::Error& e) {
        EXPECT_TRUE(e.text().contains(dir.file(QStringLiteral("d.sb")))) << e.text().toStdString();
    }
    EXPECT_FALSE(model.DeckLoaded);
    EXPECT_EQ(model.WordCount, -1);
}

TEST_F(ModelFixture, SaveWritesTheDeckAsLoadedPlusItsChanges) {
    dir.write(QStringLiteral("d.sb"),
              le(QStringLiteral("*1\n 一 = いち = один \n＃二=に=два=1=3")));
    ASSERT_EQ(model.loadDeck(QStringLiteral("d.sb")).status, DeckLoadResult::Loaded);
    model.Dict.Words[0].Attempts = 1;
    ASSERT_TRUE(model.saveDeck(QStringLiteral("d.sb")));
    EXPECT_EQ(dir.read(QStringLiteral("d.sb")),
              le(crlf({"*0", "一=いち=один=0=1", "#二=に=два=1=3"})));
}

// A failed save never touches the previous file.
class DeckSaveFailure : public ModelFixture {
protected:
    void SetUp() override {
        dir.write(QStringLiteral("d.sb"), fiveWords("*0"));
        ASSERT_EQ(model.loadDeck(QStringLiteral("d.sb")).status, DeckLoadResult::Loaded);
        model.Dict.Words[0].Attempts = 5;
        before = dir.read(QStringLiteral("d.sb"));
    }
    QByteArray before;
};

TEST_F(DeckSaveFailure, DiskFullInTheMiddle) {
    {
        FileSizeLimit full(40);
        EXPECT_FALSE(model.saveDeck(QStringLiteral("d.sb")));
    }
    EXPECT_EQ(dir.read(QStringLiteral("d.sb")), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("d.sb")});
}

TEST_F(DeckSaveFailure, FolderThatTakesNoNewFilesGetsTheFileRewrittenInPlace) {
    if (geteuid() == 0)
        GTEST_SKIP() << "root writes into every folder";
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    EXPECT_TRUE(model.saveDeck(QStringLiteral("d.sb")));
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_TRUE(dir.read(QStringLiteral("d.sb")).contains(le(QStringLiteral("=0=5")).mid(2)));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("d.sb")});
}

TEST_F(DeckSaveFailure, PathIsAFolderOrInAMissingFolder) {
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.sb")));
    EXPECT_FALSE(model.saveDeck(dir.file(QStringLiteral("folder.sb"))));
    EXPECT_TRUE(QFileInfo(dir.file(QStringLiteral("folder.sb"))).isDir());
    EXPECT_FALSE(model.saveDeck(dir.file(QStringLiteral("missing/d.sb"))));
    EXPECT_EQ(dir.read(QStringLiteral("d.sb")), before);
}

TEST(TrainerModel, DictionaryFileNameIsTheLastPathPart) {
    TrainerModel model;
    const std::pair<const char*, const char*> cases[] = {
        {"sample.sb", "sample.sb"}, {"/home/u/decks/n5.sb", "n5.sb"}, {"", ""}, {"decks/", ""}};
    for (const auto& [path, name] : cases) {
        model.Dictionary = QString::fromUtf8(path);
        EXPECT_EQ(model.dictionaryFileName(), QString::fromUtf8(name)) << path;
    }
}

TEST(SampleDeck, LoadsWithItsWordsAndWritesBackTheSameBytes) {
    TrainerModel model;
    model.AppDir = QStringLiteral(SORABI_RESOURCES "/");
    ASSERT_EQ(model.loadDeck(QStringLiteral("sample.sb")).status, DeckLoadResult::Loaded);
    EXPECT_GE(model.WordCount, 60);
    EXPECT_LE(model.WordCount, 100);
    EXPECT_LT(model.ActiveCount, model.WordCount);
    EXPECT_TRUE(std::any_of(model.Dict.Words.begin(), model.Dict.Words.end(),
                            [](const TDictRec& w) { return w.Kanji.isEmpty(); }));
    // As bundled the file is exactly what the program itself would write.
    QFile file(model.resolveDeckPath(QStringLiteral("sample.sb")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(deckcodec::encode(model.Dict.Words, model.WordCount, model.CurrentPos),
              file.readAll());
}

TEST_F(ModelFixture, ADeckInUseByAnotherCopyIsNotLoaded) {
    dir.write(QStringLiteral("d.sb"), fiveWords("*0"));
    ASSERT_TRUE(QFile::link(dir.file(QStringLiteral("d.sb")), dir.file(QStringLiteral("l.sb"))));
    TrainerModel other;
    other.AppDir = dir.path();
    ASSERT_EQ(other.loadDeck(QStringLiteral("d.sb")).status, DeckLoadResult::Loaded);
    // By any name of the same file.
    EXPECT_EQ(model.loadDeck(QStringLiteral("l.sb")).status, DeckLoadResult::InUse);
    EXPECT_FALSE(model.DeckLoaded);
    EXPECT_EQ(TrainerModel::inUseText(QStringLiteral("l.sb")),
              QStringLiteral("Файл l.sb уже открыт другой копией программы!"));
    // The other copy lets go when it loads another deck, or fails to load one.
    dir.write(QStringLiteral("bad.sb"), le(crlf({"*0", "一=いち"})));
    EXPECT_EQ(other.loadDeck(QStringLiteral("bad.sb")).status, DeckLoadResult::Malformed);
    EXPECT_EQ(model.loadDeck(QStringLiteral("l.sb")).status, DeckLoadResult::Loaded);
    // A deck that failed to load is not held either.
    EXPECT_EQ(other.loadDeck(QStringLiteral("d.sb")).status, DeckLoadResult::InUse);
    EXPECT_EQ(model.loadDeck(QStringLiteral("bad.sb")).status, DeckLoadResult::Malformed);
    EXPECT_EQ(other.loadDeck(QStringLiteral("d.sb")).status, DeckLoadResult::Loaded);
}

// The original file is kept as "<name>.bak" before the program replaces it with text the original
// did not hold: a conversion of its encoding, or over another program's changes.
struct KeptCopyCase {
    const char* name;
    QByteArray original;
    bool converted; // the first save changes the encoding
};

class KeptCopy : public ModelFixture, public testing::WithParamInterface<KeptCopyCase> {
protected:
    QString bak() const { return QStringLiteral("d.sb.bak"); }
    bool hasBak() const { return QFileInfo::exists(dir.file(bak())); }
};

TEST_P(KeptCopy, BeforeTheFirstSaveThatChangesTheEncoding) {
    const KeptCopyCase& c = GetParam();
    dir.write(QStringLiteral("d.sb"), c.original);
    ASSERT_EQ(model.loadDeck(QStringLiteral("d.sb")).status, DeckLoadResult::Loaded);
    model.Dict.Words[0].Attempts = 1;
    const DeckSaveResult first = model.saveDeck(QStringLiteral("d.sb"));
    ASSERT_TRUE(first) << first.error.toStdString();
    EXPECT_TRUE(first.keptCopy.isEmpty());
    EXPECT_EQ(hasBak(), c.converted);
    if (c.converted) {
        EXPECT_EQ(dir.read(bak()), c.original);
    }
    EXPECT_TRUE(dir.read(QStringLiteral("d.sb")).startsWith(le(QStringLiteral("*0\r\n"))));
    // Once: later saves write UTF-16LE over UTF-16LE.
    QFile::remove(dir.file(bak()));
    model.Dict.Words[0].Attempts = 2;
    EXPECT_TRUE(model.saveDeck(QStringLiteral("d.sb")));
    EXPECT_FALSE(hasBak());
}

TEST_P(KeptCopy, BeforeASaveOverAnotherProgramsChanges) {
    const KeptCopyCase& c = GetParam();
    dir.write(QStringLiteral("d.sb"), c.original);
    ASSERT_EQ(model.loadDeck(QStringLiteral("d.sb")).status, DeckLoadResult::Loaded);
    ASSERT_TRUE(model.saveDeck(QStringLiteral("d.sb")));
    QFile::remove(dir.file(bak()));
    // A text editor saves the deck while the trainer runs.
    const QByteArray edited = le(crlf({"*0", "一=いち=один=0=7"}));
    QThread::msleep(10);
    dir.write(QStringLiteral("d.sb"), edited);
    model.Dict.Words[0].Attempts = 3;
    const DeckSaveResult r = model.saveDeck(QStringLiteral("d.sb"));
    ASSERT_TRUE(r);
    EXPECT_EQ(r.keptCopy, dir.file(bak()));
    EXPECT_EQ(dir.read(bak()), edited);
    EXPECT_TRUE(dir.read(QStringLiteral("d.sb")).contains(le(QStringLiteral("=0=3")).mid(2)));
    // The program's own writes are no change by another program.
    model.Dict.Words[0].Attempts = 4;
    const DeckSaveResult again = model.saveDeck(QStringLiteral("d.sb"));
    EXPECT_TRUE(again.keptCopy.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    TrainerModel, KeptCopy,
    testing::Values(KeptCopyCase{"Utf16LE", le(crlf({"*0", "一=いち=один"})), false},
                    KeptCopyCase{"Utf16BE", deckbytes::be(crlf({"*0", "一=いち=один"})), true},
                    KeptCopyCase{"Utf8", deckbytes::utf8Bom(crlf({"*0", "一=いち=один"})), true},
                    // Windows-1251 "дом": not UTF-8, so read as 8-bit text.
                    KeptCopyCase{"EightBit", QByteArray("*0\r\n\xE4\xEE\xEC=\xE4=xy\r\n"), true}),
    [](const testing::TestParamInfo<KeptCopyCase>& info) { return info.param.name; });

TEST_F(ModelFixture, NothingElseIsLeftBesideTheDeck) {
    dir.write(QStringLiteral("d.sb"), fiveWords("*0"));
    ASSERT_EQ(model.loadDeck(QStringLiteral("d.sb")).status, DeckLoadResult::Loaded);
    for (int i = 1; i <= 3; ++i) {
        model.Dict.Words[0].Attempts = i;
        ASSERT_TRUE(model.saveDeck(QStringLiteral("d.sb")));
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("d.sb")});
}

TEST_F(ModelFixture, ASaveThatWouldChangeNothingLeavesTheFileAlone) {
    dir.write(QStringLiteral("d.sb"), le(crlf({"*0", "一=いち=один=0=0", "#二=に=два=1=3"})));
    ASSERT_EQ(model.loadDeck(QStringLiteral("d.sb")).status, DeckLoadResult::Loaded);
    const QString file = dir.file(QStringLiteral("d.sb"));
    // Written as the program writes it: the first save has nothing new.
    const platform::FileStamp before = platform::fileStamp(file);
    QThread::msleep(10);
    ASSERT_TRUE(model.saveDeck(QStringLiteral("d.sb")));
    EXPECT_EQ(platform::fileStamp(file), before);
    model.Dict.Words[0].Misses = 1;
    ASSERT_TRUE(model.saveDeck(QStringLiteral("d.sb")));
    EXPECT_NE(platform::fileStamp(file), before);
}

TEST_F(ModelFixture, ACopyThatCannotBeKeptFailsTheSaveAndLeavesTheOriginal) {
    const QByteArray original = deckbytes::utf8Bom(crlf({"*0", "一=いち=один"}));
    dir.write(QStringLiteral("d.sb"), original);
    ASSERT_EQ(model.loadDeck(QStringLiteral("d.sb")).status, DeckLoadResult::Loaded);
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("d.sb.bak")));
    const DeckSaveResult r = model.saveDeck(QStringLiteral("d.sb"));
    EXPECT_FALSE(r);
    EXPECT_FALSE(r.error.isEmpty());
    EXPECT_EQ(dir.read(QStringLiteral("d.sb")), original);
}

TEST_F(ModelFixture, ACopyUnderAnotherNameIsWrittenAsItIs) {
    dir.write(QStringLiteral("d.sb"), deckbytes::utf8Bom(crlf({"*0", "一=いち=один"})));
    dir.write(QStringLiteral("copy.sb"), "old");
    ASSERT_EQ(model.loadDeck(QStringLiteral("d.sb")).status, DeckLoadResult::Loaded);
    const DeckSaveResult r = model.saveDeck(dir.file(QStringLiteral("copy.sb")));
    ASSERT_TRUE(r);
    EXPECT_EQ(dir.read(QStringLiteral("copy.sb")), le(crlf({"*0", "一=いち=один=0=0"})));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files),
              (QStringList{QStringLiteral("copy.sb"), QStringLiteral("d.sb")}));
}

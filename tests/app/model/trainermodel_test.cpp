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

TEST_F(DeckSaveFailure, FolderThatTakesNoNewFiles) {
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    if (geteuid() == 0) {
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        GTEST_SKIP() << "root writes into every folder";
    }
    EXPECT_FALSE(model.saveDeck(QStringLiteral("d.sb")));
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(dir.read(QStringLiteral("d.sb")), before);
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

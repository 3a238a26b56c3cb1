// The program installed for many users, and decks handed over by later starts.
#include "app/firststart.h"
#include "app/umain.h"
#include "tests/app/mainwindowfixture.h"
#include "tests/support/deckbytes.h"
#include "tests/support/printers.h"
#include "tests/support/scriptedanswerer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using platform::Answer;

namespace {

// An installed layout in a temporary folder: <prefix> is "usr", the user's folders under "home".
class InstalledFixture : public MainWindowFixture {
protected:
    void SetUp() override {
        for (const char* folder : {"usr/bin", "usr/share/sorabi", "home"})
            ASSERT_TRUE(QDir().mkpath(dir.file(QString::fromUtf8(folder))));
        dir.write(QStringLiteral("usr/share/sorabi/sample.sb"), fourWords());
        layout.installed = true;
        layout.programFolder = dir.file(QStringLiteral("usr/bin/"));
        layout.settingsFile = dir.file(QStringLiteral("home/.config/sorabi/sorabi.ini"));
        layout.deckFolder = dir.file(QStringLiteral("home/.local/share/sorabi/"));
        layout.sampleDeck = dir.file(QStringLiteral("usr/share/sorabi/sample.sb"));
        layout.pictureCache = dir.file(QStringLiteral("home/.cache/sorabi/pics"));
    }
    QString copy() const { return layout.deckFolder + QStringLiteral("sample.sb"); }
    platform::paths::Layout layout;
};

TEST_F(InstalledFixture, TheFirstStartCopiesTheSampleOnceAndOnlyThen) {
    EXPECT_EQ(firstStartDeck(layout), copy());
    EXPECT_EQ(dir.read(QStringLiteral("home/.local/share/sorabi/sample.sb")), fourWords());
    EXPECT_TRUE(QFileInfo(copy()).isWritable());
    // A copy already there keeps its counts.
    dir.write(QStringLiteral("home/.local/share/sorabi/sample.sb"), "trained");
    EXPECT_EQ(firstStartDeck(layout), copy());
    EXPECT_EQ(dir.read(QStringLiteral("home/.local/share/sorabi/sample.sb")), "trained");
    // Once there are settings the user's choice stands: a deleted sample is not brought back.
    QFile::remove(copy());
    ASSERT_TRUE(QDir().mkpath(dir.file(QStringLiteral("home/.config/sorabi"))));
    dir.write(QStringLiteral("home/.config/sorabi/sorabi.ini"), "[MAIN]\nDictionary=\n");
    EXPECT_TRUE(firstStartDeck(layout).isEmpty());
    EXPECT_FALSE(QFileInfo::exists(copy()));
    // A portable program has no first start of its own; nor has one whose sample is missing.
    QFile::remove(layout.settingsFile);
    EXPECT_TRUE(firstStartDeck(platform::paths::Layout::portable(dir.path())).isEmpty());
    QFile::remove(layout.sampleDeck);
    EXPECT_TRUE(firstStartDeck(layout).isEmpty());
}

// A new user's whole first run: cards at once from the copy, and a grade and an exit write the
// settings (folder made) and the deck under the user's folders, nothing beside the program.
TEST_F(InstalledFixture, ANewUserTrainsOnTheSampleAndTheFilesGoHome) {
    auto f = std::make_unique<TForm2>(layout, firstStartDeck(layout));
    EXPECT_EQ(f->windowTitle(), s("Sorabi v.0.9.2 [sample.sb] "));
    ASSERT_TRUE(f->model().DeckLoaded);
    const qint32 before = f->model().Dict.TotalAttempts;
    f->RBtnClick();
    ScriptedAnswerer answers;
    answers.expectQuestion(s("Вы уверены, что хотите выйти?"), Answer::Yes);
    ASSERT_TRUE(f->close());
    EXPECT_TRUE(QFileInfo::exists(layout.settingsFile));
    EXPECT_TRUE(dir.read(QStringLiteral("home/.config/sorabi/sorabi.ini")).contains("sample.sb"));
    EXPECT_NE(dir.read(QStringLiteral("home/.local/share/sorabi/sample.sb")), fourWords());
    EXPECT_EQ(dir.read(QStringLiteral("usr/share/sorabi/sample.sb")), fourWords());
    EXPECT_EQ(QDir(layout.programFolder).entryList(QDir::Files), QStringList());
    EXPECT_GT(before, 0);

    // The next start opens the stored deck by its name in the deck folder.
    f.reset();
    auto again = std::make_unique<TForm2>(layout, firstStartDeck(layout));
    EXPECT_EQ(again->windowTitle(), s("Sorabi v.0.9.2 [sample.sb] "));
    EXPECT_EQ(again->model().Dict.TotalAttempts, before + 1);
    again->endWithoutQuestion();
}

class HandOverFixture : public MainWindowFixture {
protected:
    std::unique_ptr<TForm2> startManual() { return startOn(fourWords(), "Style=1\nShowNewCard=0"); }
    QStringList handed(const QString& deck) const {
        return {QStringLiteral("/usr/bin/sorabi"), deck};
    }
};

TEST_F(HandOverFixture, ADeckHandedOverIsOpenedAfterTheOldOneIsSaved) {
    auto f = startManual();
    const qint32 attempts = f->model().Dict.TotalAttempts;
    f->RBtnClick(); // not written yet
    dir.write(QStringLiteral("other.sb"),
              deckbytes::le(deckbytes::crlf({"*0", "山=やま=гора=0=0"})));
    f->hide();
    f->openHandedOver(handed(dir.file(QStringLiteral("other.sb"))));
    EXPECT_TRUE(f->isVisible());
    EXPECT_EQ(f->windowTitle(), s("Sorabi v.0.9.2 [other.sb] "));
    EXPECT_EQ(f->model().Dictionary, dir.file(QStringLiteral("other.sb")));
    EXPECT_EQ(f->model().WordCount, 1);
    // The old deck holds the grading made before the switch.
    auto old = std::make_unique<TForm2>(dir.path(), dir.file(QStringLiteral("d.sb")));
    EXPECT_EQ(old->model().Dict.TotalAttempts, attempts + 1);
    old->endWithoutQuestion();
    // The choice is the settings' too.
    f->TimerSaveTimer();
    EXPECT_TRUE(dir.read(QStringLiteral("sorabi.ini")).contains("other.sb"));
    f->endWithoutQuestion();
}

TEST_F(HandOverFixture, NoDeckTheSameDeckOrAMissingOne) {
    auto f = startManual();
    // Without a deck, or with the deck already open (another spelling of it), the window only
    // comes up.
    for (const QStringList& args : {QStringList{QStringLiteral("sorabi")}, handed(QString()),
                                    handed(dir.path() + QStringLiteral("./d.sb"))}) {
        f->hide();
        f->openHandedOver(args);
        EXPECT_TRUE(f->isVisible());
        EXPECT_EQ(f->windowTitle(), s("Sorabi v.0.9.2 [d.sb] "));
        EXPECT_EQ(f->model().Dictionary, s("d.sb"));
    }
    // A deck that is not there: the same message as in the options, and no deck.
    ScriptedAnswerer answers;
    const QString missing = dir.file(QStringLiteral("gone.sb"));
    answers.expectError(s("Файла ") + missing + s(" не существует!"));
    f->openHandedOver(handed(missing));
    EXPECT_FALSE(f->model().DeckLoaded);
    f->endWithoutQuestion();
}

} // namespace

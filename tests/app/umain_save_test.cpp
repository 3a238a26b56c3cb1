#include "app/model/deckcodec.h"
#include "app/umain.h"
#include "dialogs/uedit.h"
#include "dialogs/usetup.h"
#include "platform/filelock.h"
#include "tests/app/mainwindowfixture.h"
#include "tests/support/deckbytes.h"
#include "tests/support/filesizelimit.h"
#include "tests/support/printers.h"
#include "tests/support/scriptedanswerer.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QThread>
#include <QTimer>
#include <QTreeWidget>
#include <gtest/gtest.h>

using deckbytes::crlf;
using deckbytes::le;
using platform::Answer;

namespace {

const QByteArray kDeck = MainWindowFixture::fourWords();

class SaveFixture : public MainWindowFixture {
protected:
    std::unique_ptr<TForm2> startManual() { return startOn(kDeck, "Style=1\nShowNewCard=0"); }
    QByteArray deck() const { return dir.read(QStringLiteral("d.sb")); }
    QByteArray ini() const { return dir.read(QStringLiteral("sorabi.ini")); }
    // What the exit flow would write for the deck in memory now.
    static QByteArray exitBytes(const TForm2& f) {
        const TrainerModel& m = f.model();
        return deckcodec::encode(m.Dict.Words, m.WordCount, m.CurrentPos);
    }
    static qint32 attempts(const TForm2& f) { return f.model().Dict.TotalAttempts; }
};

} // namespace

TEST_F(SaveFixture, GradingsOfOneSecondAreWrittenTogether) {
    auto f = startManual();
    EXPECT_FALSE(f->TimerSave->isActive());
    EXPECT_TRUE(f->TimerSave->isSingleShot());
    EXPECT_EQ(f->TimerSave->interval(), 1000);
    f->RBtnClick();
    ASSERT_TRUE(f->TimerSave->isActive());
    // Later changes ride along with the first: a steady stream of gradings still gets written
    // every second instead of being put off.
    const int timer = f->TimerSave->timerId();
    f->FBtnClick();
    f->RBtnClick();
    EXPECT_EQ(f->TimerSave->timerId(), timer);
    EXPECT_EQ(deck(), kDeck);

    f->TimerSaveTimer();
    EXPECT_FALSE(f->TimerSave->isActive());
    EXPECT_EQ(deck(), exitBytes(*f));
    // The position line too: the card on show after three gradings.
    EXPECT_EQ(f->model().CurrentPos, 1);
    EXPECT_TRUE(deck().startsWith(le(s("*1\r\n"))));
    EXPECT_EQ(attempts(*f), 7);
    // Only the deck changed: the settings file is left as it was.
    EXPECT_EQ(ini(), QByteArray("[MAIN]\nDictionary=d.sb\nStyle=1\nShowNewCard=0\n"));

    // The exit flow writes the same bytes.
    const QByteArray autosaved = deck();
    ScriptedAnswerer answers;
    answers.expectQuestion(s("Вы уверены, что хотите выйти?"), Answer::Yes);
    ASSERT_TRUE(f->close());
    EXPECT_EQ(deck(), autosaved);
}

TEST_F(SaveFixture, SettingsChangedThroughTheMenusAreWritten) {
    const std::pair<const char*, const char*> cases[] = {
        {"N8", "Style=0\n"},
        {"TNKana", "TopWordStyle=1\n"},
        {"BNTrans", "BottomWordStyle=2\n"},
        {"N9", "Style=1\n"},
    };
    auto f = startOn(kDeck, "FormPos=0");
    for (const auto& [action, line] : cases) {
        f->findChild<QAction*>(QString::fromLatin1(action))->trigger();
        ASSERT_TRUE(f->TimerSave->isActive()) << action;
        f->TimerSaveTimer();
        EXPECT_TRUE(ini().contains(line)) << action << "\n" << ini().toStdString();
    }
    // The label menu too.
    f->openWStyleMenu(f->Lab1, QPoint());
    f->WStyleMenu->close();
    f->NTrans->trigger();
    f->TimerSaveTimer();
    EXPECT_TRUE(ini().contains("TopWordStyle=2\n")) << ini().toStdString();
    EXPECT_EQ(deck(), kDeck);
}

TEST_F(SaveFixture, WordsChangedInTheOptionsAreWrittenWhileTheDialogIsStillOpen) {
    auto f = startManual();
    ScriptedAnswerer answers;
    answers.expectDialog(QStringLiteral("SetupForm"), [&](QDialog& d) {
        auto& setup = static_cast<TSetupForm&>(d);
        answers.expectDialog(QStringLiteral("EditForm"), [](QDialog& e) {
            auto& edit = static_cast<TEditForm&>(e);
            edit.JWrdEdit->setText(s("魚"));
            edit.KWrdEdit->setText(s("さかな"));
            edit.TrWrdEdit->setText(s("рыба"));
            return int(QDialog::Accepted);
        });
        setup.AddBtnClick();
        EXPECT_TRUE(f->TimerSave->isActive());
        f->TimerSaveTimer();
        EXPECT_TRUE(deck().contains(le(s("魚=さかな=рыба=0=0\r\n")).mid(2)));

        setup.DicList->setCurrentItem(setup.DicList->topLevelItem(0));
        answers.expectQuestion(s("Вы уверены, что хотите удалить запись?"), Answer::Yes);
        setup.DelBtnClick();
        f->TimerSaveTimer();
        EXPECT_FALSE(deck().contains(le(s("犬=")).mid(2)));

        // Switched off by its check box: that waits for OK.
        setup.DicList->topLevelItem(0)->setCheckState(0, Qt::Unchecked);
        setup.BitBtn1Click();
        return int(QDialog::Accepted);
    });
    f->SetupBtnClick();
    ASSERT_TRUE(f->TimerSave->isActive());
    f->TimerSaveTimer();
    EXPECT_EQ(deck(), exitBytes(*f));
    EXPECT_TRUE(deck().contains(le(s("\n#猫=ねこ")).mid(2)));
}

TEST_F(SaveFixture, AFailedWriteIsReportedOnceAndTheNextChangeTriesAgain) {
    auto f = startManual();
    {
        FileSizeLimit full(32);
        ScriptedAnswerer answers;
        answers.expectError(s("Не удалось сохранить файл d.sb!"));
        f->RBtnClick();
        f->TimerSaveTimer();
        // The box paused the run while it was up, and the run goes on afterwards.
        EXPECT_FALSE(f->model().Paused);
        // Not on every change: the next one tries again, silently.
        f->RBtnClick();
        EXPECT_TRUE(f->TimerSave->isActive());
        f->TimerSaveTimer();
        EXPECT_EQ(deck(), kDeck);
    }
    f->RBtnClick();
    f->TimerSaveTimer();
    EXPECT_EQ(deck(), exitBytes(*f));
    EXPECT_EQ(attempts(*f), 7);
    // After a success, a new failure is news again; a paused run stays paused.
    f->PauseTraining();
    {
        FileSizeLimit full(32);
        ScriptedAnswerer answers;
        answers.expectError(s("Не удалось сохранить файл d.sb!"));
        f->model().Dict.Words[0].Misses = 9;
        f->model().changed(TrainerModel::Change::Deck);
        f->TimerSaveTimer();
    }
    EXPECT_TRUE(f->model().Paused);
}

TEST_F(SaveFixture, SettingsThatCannotBeWrittenDuringTheRunAreReportedOnce) {
    auto f = startManual();
    QFile::remove(dir.file(QStringLiteral("sorabi.ini")));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("sorabi.ini")));
    ScriptedAnswerer answers;
    answers.expectError(s("Unable to write to ") + dir.file(QStringLiteral("sorabi.ini")));
    f->N8->trigger();
    f->TimerSaveTimer();
    f->N9->trigger();
    f->TimerSaveTimer();
}

TEST_F(SaveFixture, ChangesByAnotherProgramAreKeptAndTheUserIsTold) {
    auto f = startManual();
    const QByteArray edited = le(crlf({"*0", "犬=いぬ=собака=5=50"}));
    QThread::msleep(10);
    dir.write(QStringLiteral("d.sb"), edited);
    f->RBtnClick();
    ScriptedAnswerer answers;
    answers.expectNotice(s("Файл ") + dir.file(QStringLiteral("d.sb")) +
                         s(" был изменён другой программой. Его копия сохранена в файле ") +
                         dir.file(QStringLiteral("d.sb.bak")) + u'.');
    f->TimerSaveTimer();
    EXPECT_EQ(dir.read(QStringLiteral("d.sb.bak")), edited);
    EXPECT_EQ(deck(), exitBytes(*f));
    // Told once: the program's own writes are no news.
    f->RBtnClick();
    f->TimerSaveTimer();
}

TEST_F(SaveFixture, EndingWithoutTheQuestionWritesBothFilesWithoutABox) {
    auto f = startOn(kDeck, "Style=1\nShowNewCard=0\nFormPos=0");
    f->RBtnClick();
    f->N8->trigger();
    ScriptedAnswerer answers; // no box at all
    EXPECT_TRUE(f->endWithoutQuestion());
    EXPECT_EQ(deck(), exitBytes(*f));
    EXPECT_TRUE(ini().contains("Style=0\n"));
    EXPECT_FALSE(f->TimerGlobal->isActive());
    EXPECT_FALSE(f->TimerSave->isActive());
    // A close that follows (the session's) goes through without the question.
    EXPECT_TRUE(f->close());
}

TEST_F(SaveFixture, EndingWithoutTheQuestionReportsFailuresOnlyInItsResult) {
    auto f = startManual();
    f->RBtnClick();
    QFile::remove(dir.file(QStringLiteral("d.sb")));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("d.sb")));
    ScriptedAnswerer answers;
    EXPECT_FALSE(f->endWithoutQuestion());
    // The settings were still written.
    EXPECT_TRUE(ini().contains("JFontName="));
}

TEST_F(SaveFixture, TheEndOfTheSessionSavesWithoutAskingAndTheRunGoesOn) {
    auto f = startManual();
    f->FBtnClick();
    {
        ScriptedAnswerer answers;
        f->commitSessionData();
    }
    EXPECT_EQ(deck(), exitBytes(*f));
    EXPECT_TRUE(ini().contains("JFontName="));
    EXPECT_TRUE(f->TimerGlobal->isActive());
    // Nothing is left to write, and later gradings are saved as before.
    f->TimerSaveTimer();
    f->RBtnClick();
    f->TimerSaveTimer();
    EXPECT_EQ(deck(), exitBytes(*f));
}

TEST_F(SaveFixture, ADeckOpenInAnotherCopyIsNotLoaded) {
    dir.write(QStringLiteral("d.sb"), kDeck);
    platform::FileInUseLock other;
    ASSERT_EQ(other.lock(dir.file(QStringLiteral("d.sb"))),
              platform::FileInUseLock::Result::Locked);
    writeSettings("[MAIN]\nDictionary=d.sb\n");
    ScriptedAnswerer answers;
    answers.expectError(s("Файл d.sb уже открыт другой копией программы!"));
    auto f = start();
    EXPECT_FALSE(f->model().DeckLoaded);
    EXPECT_EQ(f->windowTitle(), s("Sorabi v.0.9.2"));
    EXPECT_EQ(buttons(*f), "000000");
}

TEST_F(SaveFixture, ASecondStartBringsTheWindowBackFromTheTray) {
    auto f = startManual();
    f->show();
    f->hide();
    f->bringUp();
    EXPECT_TRUE(f->isVisible());
    f->showMinimized();
    f->bringUp();
    EXPECT_FALSE(f->isMinimized());
}

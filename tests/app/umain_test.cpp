#include "app/umain.h"
#include "tests/app/mainwindowfixture.h"
#include "tests/support/deckbytes.h"
#include "tests/support/filesizelimit.h"
#include "tests/support/printers.h"
#include "tests/support/scriptedanswerer.h"
#include "tests/support/tempdir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QToolButton>
#include <gtest/gtest.h>
#include <memory>
#include <set>
#include <unistd.h>

using deckbytes::crlf;
using deckbytes::le;
using platform::Answer;

namespace {

const QByteArray kDeck = le(crlf(
    {"*1", "犬=いぬ=собака=1=4", "#水=みず=вода=0=0", "=こんにちは=здравствуйте; привет=0=2"}));

} // namespace

TEST_F(MainWindowFixture, StartsWithoutSettingsOrDeckAtTheTopRight) {
    auto form = start();
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Sorabi v.0.9.2"));
    EXPECT_EQ(buttons(*form), "000000");
    EXPECT_FALSE(form->model().DeckLoaded);
    EXPECT_EQ(form->model().WordCount, -1);
    const int screenWidth = QGuiApplication::primaryScreen()->geometry().width();
    EXPECT_EQ(form->pos(), QPoint(screenWidth - form->width() - 5, 0));
    EXPECT_EQ(form->width(), 381);
}

TEST_F(MainWindowFixture, RememberedPlaceAndForgottenPlace) {
    writeSettings("[MAIN]\nPosLeft=40\nPosTop=50\n");
    EXPECT_EQ(start()->pos(), QPoint(40, 50));
    writeSettings("[MAIN]\nFormPos=0\nPosLeft=40\nPosTop=50\n");
    const int screenWidth = QGuiApplication::primaryScreen()->geometry().width();
    EXPECT_EQ(start()->pos(), QPoint(screenWidth - 381 - 5, 0));
}

TEST_F(MainWindowFixture, DeckFromTheSettingsLoadsWithTheFirstCardAfterTheStoredOne) {
    dir.write(QStringLiteral("d.sb"), kDeck);
    writeSettings("[MAIN]\nDictionary=d.sb\n");
    auto form = start();
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Sorabi v.0.9.2 [d.sb] "));
    EXPECT_TRUE(form->model().DeckLoaded);
    // Stored position 1 of two active words; the first card moves on, wrapping to 0.
    EXPECT_EQ(form->model().CurrentPos, 0);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(buttons(*form), "011111");
}

TEST_F(MainWindowFixture, ButtonStatesAfterALoadFollowTheOrderAndTheInterval) {
    dir.write(QStringLiteral("d.sb"), kDeck);
    const std::pair<const char*, const char*> cases[] = {
        {"Style=1\nShowNewCard=1", "011111"},
        {"Style=0\nShowNewCard=1", "010111"},
        {"Style=1\nShowNewCard=0", "000011"},
    };
    for (const auto& [keys, expected] : cases) {
        writeSettings(QByteArray("[MAIN]\nDictionary=d.sb\n") + keys + "\n");
        EXPECT_EQ(buttons(*start()), expected) << keys;
    }
}

TEST_F(MainWindowFixture, DeckArgumentReplacesTheStoredDeckAndIsMadeAbsolute) {
    TempDir work;
    work.write(QStringLiteral("sample.sb"), kDeck);
    dir.write(QStringLiteral("other.sb"), kDeck);
    writeSettings("[MAIN]\nDictionary=other.sb\n");
    const QString elsewhere = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(work.path()));
    auto form = start(QStringLiteral("sample.sb"));
    QDir::setCurrent(elsewhere);
    EXPECT_EQ(form->model().Dictionary,
              QDir(work.path()).absoluteFilePath(QStringLiteral("sample.sb")));
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Sorabi v.0.9.2 [sample.sb] "));

    // At exit the chosen deck is written back and remembered.
    ScriptedAnswerer answers;
    answers.expectQuestion(QStringLiteral("Вы уверены, что хотите выйти?"), Answer::Yes);
    ASSERT_TRUE(form->close());
    EXPECT_EQ(work.read(QStringLiteral("sample.sb")).left(6), le(QStringLiteral("*0")));
    EXPECT_TRUE(dir.read(QStringLiteral("sorabi.ini"))
                    .contains("Dictionary=" + form->model().Dictionary.toUtf8() + "\n"));
    EXPECT_EQ(dir.read(QStringLiteral("other.sb")), kDeck);
}

TEST_F(MainWindowFixture, DeckThatCannotBeLoadedIsReportedAndLeavesTheButtonsOff) {
    dir.write(QStringLiteral("bad.sb"), le(crlf({"*0", "犬=いぬ=собака", "水=みず"})));
    const std::pair<const char*, QString> cases[] = {
        {"none.sb", QStringLiteral("Файла none.sb не существует!")},
        {"bad.sb", QStringLiteral("Ошибка в строке 2! Файл не загружен!")},
    };
    for (const auto& [deck, message] : cases) {
        writeSettings(QByteArray("[MAIN]\nDictionary=") + deck + "\n");
        ScriptedAnswerer answers;
        answers.expectError(message);
        auto form = start();
        EXPECT_EQ(form->windowTitle(), QStringLiteral("Sorabi v.0.9.2")) << deck;
        EXPECT_EQ(buttons(*form), "000000") << deck;
    }
}

TEST_F(MainWindowFixture, UnreadableDeckIsReportedAndTheWindowComesUpWithoutACard) {
    if (geteuid() == 0)
        GTEST_SKIP() << "root reads every file";
    dir.write(QStringLiteral("d.sb"), kDeck);
    QFile::setPermissions(dir.file(QStringLiteral("d.sb")), QFile::WriteOwner);
    writeSettings("[MAIN]\nDictionary=d.sb\n");
    ScriptedAnswerer answers;
    answers.expectErrorContaining(dir.file(QStringLiteral("d.sb")));
    auto form = start();
    EXPECT_FALSE(form->model().DeckLoaded);
    EXPECT_EQ(buttons(*form), "000000");
}

TEST_F(MainWindowFixture, ExitAnsweredNoResumesTheRun) {
    dir.write(QStringLiteral("d.sb"), kDeck);
    writeSettings("[MAIN]\nDictionary=d.sb\n");
    auto form = start();
    form->PauseTraining();
    ScriptedAnswerer answers;
    answers.expectQuestion(QStringLiteral("Вы уверены, что хотите выйти?"), Answer::No);
    EXPECT_FALSE(form->close());
    EXPECT_FALSE(form->model().Paused);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Sorabi v.0.9.2 [d.sb] "));
    EXPECT_EQ(dir.read(QStringLiteral("d.sb")), kDeck);
    EXPECT_EQ(dir.read(QStringLiteral("sorabi.ini")), QByteArray("[MAIN]\nDictionary=d.sb\n"));
}

TEST_F(MainWindowFixture, ExitAnsweredYesWritesTheDeckAndTheSettings) {
    dir.write(QStringLiteral("d.sb"), kDeck);
    writeSettings("[MAIN]\nDictionary=d.sb\nFormPos=0\n");
    auto form = start();
    form->model().Dict.Words[0].Misses = 3;
    ScriptedAnswerer answers;
    answers.expectQuestion(QStringLiteral("Вы уверены, что хотите выйти?"), Answer::Yes);
    EXPECT_TRUE(form->close());
    EXPECT_EQ(dir.read(QStringLiteral("d.sb")),
              le(crlf({"*0", "犬=いぬ=собака=3=4", "#水=みず=вода=0=0",
                       "=こんにちは=здравствуйте; привет=0=2"})));
    const QByteArray ini = dir.read(QStringLiteral("sorabi.ini"));
    EXPECT_TRUE(ini.startsWith("[MAIN]\nDictionary=d.sb\nFormPos=0\nStyle=1\n"))
        << ini.toStdString();
    EXPECT_FALSE(ini.contains("PosLeft"));
}

// A deck or settings file that cannot be written at exit: after the error box the user chooses
// between ending without saving and staying (paused) to mend the disk or the permissions.
struct UnwritableAtExitCase {
    const char* name;
    bool deckFails; // the deck's file, else the settings file, has become a folder
    Answer answer;
};

class UnwritableAtExit : public MainWindowFixture,
                         public testing::WithParamInterface<UnwritableAtExitCase> {};

TEST_P(UnwritableAtExit, AsksWhetherToEndWithoutSaving) {
    const UnwritableAtExitCase& c = GetParam();
    dir.write(QStringLiteral("d.sb"), kDeck);
    auto form = start(dir.file(QStringLiteral("d.sb")));
    form->model().Dict.Words[0].Attempts = 99;
    const QByteArray wroteDeck = le(QStringLiteral("=1=99")).mid(2);
    const QString blocked = c.deckFails ? QStringLiteral("d.sb") : QStringLiteral("sorabi.ini");
    QFile::remove(dir.file(blocked));
    ASSERT_TRUE(QDir(dir.path()).mkdir(blocked));
    bool closed = false;
    {
        ScriptedAnswerer answers;
        answers.expectQuestion(QStringLiteral("Вы уверены, что хотите выйти?"), Answer::Yes);
        if (c.deckFails)
            answers.expectError(QStringLiteral("Не удалось сохранить файл ") +
                                dir.file(QStringLiteral("d.sb")) + u'!');
        else
            answers.expectError(QStringLiteral("Unable to write to ") +
                                dir.file(QStringLiteral("sorabi.ini")));
        answers.expectQuestion(QStringLiteral("Выйти без сохранения?"), c.answer, Answer::No);
        closed = form->close();
    }
    // The deck is written before the settings, whatever the answer.
    if (!c.deckFails) {
        EXPECT_TRUE(dir.read(QStringLiteral("d.sb")).contains(wroteDeck));
    }
    if (c.answer == Answer::Yes) {
        EXPECT_TRUE(closed);
        // Whatever could still be written was: the settings after a failed deck.
        EXPECT_EQ(QFileInfo(dir.file(QStringLiteral("sorabi.ini"))).isFile(), c.deckFails);
        return;
    }
    EXPECT_FALSE(closed);
    EXPECT_TRUE(form->model().Paused);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Sorabi v.0.9.2 [d.sb] [Пауза]"));
    EXPECT_FALSE(QFileInfo(dir.file(QStringLiteral("sorabi.ini"))).isFile());
    // Mended, the next close goes through.
    ASSERT_TRUE(QDir(dir.path()).rmdir(blocked));
    ScriptedAnswerer answers;
    answers.expectQuestion(QStringLiteral("Вы уверены, что хотите выйти?"), Answer::Yes);
    EXPECT_TRUE(form->close());
    EXPECT_TRUE(dir.read(QStringLiteral("d.sb")).contains(wroteDeck));
    EXPECT_TRUE(QFileInfo(dir.file(QStringLiteral("sorabi.ini"))).isFile());
}

INSTANTIATE_TEST_SUITE_P(MainWindow, UnwritableAtExit,
                         testing::Values(UnwritableAtExitCase{"DeckYes", true, Answer::Yes},
                                         UnwritableAtExitCase{"DeckNo", true, Answer::No},
                                         UnwritableAtExitCase{"SettingsYes", false, Answer::Yes},
                                         UnwritableAtExitCase{"SettingsNo", false, Answer::No}),
                         [](const testing::TestParamInfo<UnwritableAtExitCase>& info) {
                             return info.param.name;
                         });

namespace {

const QByteArray kThreeWords =
    le(crlf({"*2", "一=いち=один", "#二=に=два", "三=さん=три", "四=よん=четыре"}));

// A running window on a deck of three active words, driven tick by tick.
class EngineFixture : public MainWindowFixture {
protected:
    std::unique_ptr<TForm2> startWith(const char* keys) { return startOn(kThreeWords, keys); }
    static void tick(TForm2& f, int n = 1) {
        for (int i = 0; i < n; ++i)
            f.TimerGlobalTimer();
    }
    static bool revealed(const TForm2& f) { return f.model().AnswerCountdown == -2; }
};

} // namespace

TEST_F(EngineFixture, TimedCardsCountDownRevealAndComeEverySixtyOneTicks) {
    auto f = startWith("ShowNewCard=1\nShowTranslation=5");
    // The start card counts as a Next click: its answer comes on the (N + 2)-th tick.
    EXPECT_EQ(f->model().CurrentPos, 0);
    tick(*f, 6);
    EXPECT_FALSE(revealed(*f));
    tick(*f);
    EXPECT_TRUE(revealed(*f));
    tick(*f, 60 - 7);
    EXPECT_EQ(f->TimeLab->text(), QStringLiteral("Осталось: 00:00"));
    tick(*f); // the 61st tick brings the next card; the text stays
    EXPECT_EQ(f->model().CurrentPos, 1);
    EXPECT_EQ(f->TimeLab->text(), QStringLiteral("Осталось: 00:00"));

    // From a card brought by the timer at tick 0.
    tick(*f);
    EXPECT_EQ(f->TimeLab->text(), QStringLiteral("Осталось: 00:59"));
    tick(*f, 4);
    EXPECT_FALSE(revealed(*f));
    tick(*f); // tick 6
    EXPECT_TRUE(revealed(*f));
    tick(*f, 54); // tick 60
    EXPECT_EQ(f->TimeLab->text(), QStringLiteral("Осталось: 00:00"));
    EXPECT_EQ(f->model().CurrentPos, 1);
    tick(*f); // tick 61
    EXPECT_EQ(f->model().CurrentPos, 2);
}

TEST_F(EngineFixture, LongIntervalShowsHours) {
    auto f = startWith("ShowNewCard=600");
    tick(*f);
    EXPECT_EQ(f->TimeLab->text(), QStringLiteral("Осталось: 09:59:59"));
}

TEST_F(EngineFixture, ZeroSecondsRevealOnTheTickAfterATimerCard) {
    auto f = startWith("ShowNewCard=1\nShowTranslation=0");
    tick(*f, 61); // the timer brings a card
    EXPECT_FALSE(revealed(*f));
    tick(*f);
    EXPECT_TRUE(revealed(*f));
}

TEST_F(EngineFixture, ManualModeGradingBringsTheNextCard) {
    auto f = startWith("ShowNewCard=0\nShowTranslation=2");
    EXPECT_EQ(buttons(*f), "000011");
    tick(*f, 100);
    EXPECT_EQ(f->TimeLab->text(), QString());
    EXPECT_EQ(f->model().CurrentPos, 0);
    f->RBtnClick();
    EXPECT_EQ(f->model().CurrentPos, 1);
    EXPECT_FALSE(f->model().Graded);
    EXPECT_EQ(buttons(*f), "000011");
    tick(*f, 3);
    EXPECT_FALSE(revealed(*f));
    tick(*f); // N + 2 ticks after grading
    EXPECT_TRUE(revealed(*f));
}

TEST_F(EngineFixture, GradingCountsTheWordAndTheTotals) {
    auto f = startWith("ShowNewCard=1");
    const TrainerModel& m = f->model();
    // Position 0 is word 0 (一), the deck's only counts are zero.
    f->FBtnClick();
    EXPECT_EQ(m.Dict.Words[0].Attempts, 1);
    EXPECT_EQ(m.Dict.Words[0].Misses, 1);
    EXPECT_TRUE(m.Graded);
    EXPECT_EQ(buttons(*f), "011100");
    // A second grade of the same card does nothing: the buttons are off, and so is the handler.
    f->NextBtnClick();
    EXPECT_EQ(m.CurrentPos, 1); // word 2 (三)
    f->RBtnClick();
    EXPECT_EQ(m.Dict.Words[2].Attempts, 1);
    EXPECT_EQ(m.Dict.Words[2].Misses, 0);
    EXPECT_EQ(m.Dict.TotalAttempts, 2);
    EXPECT_EQ(m.Dict.TotalMisses, 1);
}

TEST_F(EngineFixture, SequentialOrderWrapsBothWays) {
    auto f = startWith("Style=1");
    EXPECT_EQ(f->model().CurrentPos, 0);
    f->PrevBtnClick();
    EXPECT_EQ(f->model().CurrentPos, 2);
    f->NextBtnClick();
    EXPECT_EQ(f->model().CurrentPos, 0);
    f->NextBtnClick();
    f->NextBtnClick();
    f->NextBtnClick();
    EXPECT_EQ(f->model().CurrentPos, 0);
}

TEST_F(EngineFixture, RandomOrderStaysOnTheActiveWordsAndPreviousRepeatsTheCard) {
    auto f = startWith("Style=0");
    std::set<qint32> seen;
    for (int i = 0; i < 200; ++i) {
        f->NextBtnClick();
        ASSERT_GE(f->model().CurrentPos, 0);
        ASSERT_LT(f->model().CurrentPos, 3);
        seen.insert(f->model().CurrentPos);
    }
    EXPECT_EQ(seen.size(), 3u);
    const qint32 before = f->model().CurrentPos;
    f->PrevBtnClick();
    EXPECT_EQ(f->model().CurrentPos, before);
}

TEST_F(EngineFixture, PauseFreezesBothCountdownsAndKeepsAGradedCardGraded) {
    auto f = startWith("ShowNewCard=1\nShowTranslation=5");
    tick(*f, 3);
    f->RBtnClick();
    f->PauseTraining();
    EXPECT_EQ(buttons(*f), "101100");
    const qint32 card = f->model().CardCountdown, answer = f->model().AnswerCountdown;
    tick(*f, 500);
    EXPECT_EQ(f->model().CardCountdown, card);
    EXPECT_EQ(f->model().AnswerCountdown, answer);
    f->ResumeTraining();
    EXPECT_EQ(buttons(*f), "011100");
    tick(*f);
    EXPECT_EQ(f->model().CardCountdown, card - 1);
}

TEST_F(EngineFixture, NoActiveWordLeavesTheTimerIdle) {
    dir.write(QStringLiteral("d.sb"), le(crlf({"*0", "#一=いち=один"})));
    writeSettings("[MAIN]\nDictionary=d.sb\n");
    auto f = start();
    const qint32 card = f->model().CardCountdown;
    tick(*f, 120);
    EXPECT_EQ(f->model().CardCountdown, card);
    f->RBtnClick();
    EXPECT_EQ(f->model().Dict.TotalAttempts, 0);
    EXPECT_EQ(f->model().Dict.Words[0].Attempts, 0);
}

namespace {

const QByteArray kCardDeck =
    le(crlf({"*0", "犬=いぬ=собака=1=4", "=こんにちは=привет=0=0", "猫=ねこ=a;b;c;d;e;f=0=0"}));

class CardFixture : public MainWindowFixture {
protected:
    std::unique_ptr<TForm2> startWith(const char* keys) { return startOn(kCardDeck, keys); }
    // Moves to the active position pos and draws it as a new card.
    static void showAt(TForm2& f, qint32 pos, bool newCard = true) {
        f.model().CurrentPos = pos;
        f.ShowCard(newCard);
    }
    static std::vector<QString> texts(const TForm2& f) {
        return {f.Lab1->text(), f.Lab2->text(),
                f.Lab3->isVisible() ? f.Lab3->text() : QStringLiteral("<hidden>")};
    }
};

} // namespace

TEST_F(CardFixture, WordWithKanjiShowsTheTopKindThenEverything) {
    auto f = startWith("TopWordStyle=0\nBottomWordStyle=1");
    f->show();
    showAt(*f, 0);
    EXPECT_EQ(texts(*f), (std::vector<QString>{s("犬"), QString(), QString()}));
    f->ShowCard(false);
    EXPECT_EQ(texts(*f), (std::vector<QString>{s("犬"), s("いぬ"), s("собака")}));
    EXPECT_EQ(f->Lab3->property("Tag").toInt(), wkTranslation);
}

TEST_F(CardFixture, WordWithoutKanjiLetsTheKanaStandIn) {
    const struct {
        const char* keys;
        std::vector<QString> newCard;
        std::vector<QString> revealed;
    } cases[] = {
        {"TopWordStyle=0\nBottomWordStyle=1",
         {s("こんにちは"), QString(), s("<hidden>")},
         {s("こんにちは"), s("привет"), s("<hidden>")}},
        {"TopWordStyle=2\nBottomWordStyle=0",
         {s("привет"), QString(), s("<hidden>")},
         {s("привет"), s("こんにちは"), s("<hidden>")}},
        {"TopWordStyle=1\nBottomWordStyle=0",
         {s("こんにちは"), QString(), s("<hidden>")},
         {s("こんにちは"), s("привет"), s("<hidden>")}},
    };
    for (const auto& c : cases) {
        auto f = startWith(c.keys);
        f->show();
        showAt(*f, 1);
        EXPECT_EQ(texts(*f), c.newCard) << c.keys;
        f->ShowCard(false);
        EXPECT_EQ(texts(*f), c.revealed) << c.keys;
    }
}

TEST_F(CardFixture, SameKindOnBothLabelsLeavesTheLastRemainingKindOnTheThird) {
    auto f = startWith("TopWordStyle=1\nBottomWordStyle=1");
    f->show();
    showAt(*f, 0, false);
    EXPECT_EQ(texts(*f), (std::vector<QString>{s("いぬ"), s("いぬ"), s("собака")}));
}

TEST_F(CardFixture, LabelHeightsFollowTheLinesAndTheWindowFollowsTheLabels) {
    auto f =
        startWith("TopWordStyle=0\nBottomWordStyle=1\nJFontSize=35\nKFontSize=20\nTFontSize=20");
    f->show();
    ASSERT_EQ(f->logicalDpiY(), 96);
    showAt(*f, 2);
    // Kanji 35 points is 47 pixels; a field that fits takes two lines, a hidden one too.
    EXPECT_EQ(f->Lab1->height(), 2 * (47 + 2));
    EXPECT_EQ(f->Lab2->height(), 2 * (27 + 2));
    EXPECT_EQ(f->Lab3->height(), 2 * (27 + 2));
    f->ShowCard(false);
    // Six alternatives: four breaks, six lines.
    EXPECT_EQ(f->Lab3->text(), s("a\nb\nc\nd\ne;f"));
    EXPECT_EQ(f->Lab3->height(), 6 * (27 + 2));
    EXPECT_EQ(f->height(), 98 + 58 + 174 + 43 + 19 + 27);
    showAt(*f, 1, false); // no third label
    EXPECT_FALSE(f->Lab3->isVisible());
    EXPECT_EQ(f->height(), f->Lab1->height() + f->Lab2->height() + 43 + 19 + 27);
}

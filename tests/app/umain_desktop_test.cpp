#include "app/umain.h"
#include "hint/uhint.h"
#include "tests/app/mainwindowfixture.h"
#include "tests/support/deckbytes.h"
#include "tests/support/printers.h"
#include "tests/support/scriptedanswerer.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

using deckbytes::crlf;
using deckbytes::le;

namespace {

const QByteArray kDeck = MainWindowFixture::fourWords();

class DesktopFixture : public MainWindowFixture {
protected:
    std::unique_ptr<TForm2> startWith(const char* keys) { return startOn(kDeck, keys); }
    static void key(TForm2& f, int k, bool autoRepeat = false) {
        QKeyEvent press(QEvent::KeyPress, k, Qt::NoModifier, QString(), autoRepeat);
        QApplication::sendEvent(&f, &press);
    }
    static qint32 attempts(const TForm2& f) { return f.model().Dict.TotalAttempts; }
    static qint32 misses(const TForm2& f) { return f.model().Dict.TotalMisses; }
};

} // namespace

// A card comes up over the other windows without taking the keyboard from them.
TEST_F(DesktopFixture, ANewCardLeavesTheKeyboardWhereItIs) {
    auto f = startWith("Style=1");
    EXPECT_TRUE(f->testAttribute(Qt::WA_ShowWithoutActivating));
    QWidget other;
    other.show();
    other.activateWindow();
    QApplication::setActiveWindow(&other);
    ASSERT_EQ(QApplication::activeWindow(), &other);
    f->hide();
    f->NextBtnClick();
    EXPECT_TRUE(f->isVisible());
    EXPECT_EQ(QApplication::activeWindow(), &other);
    f->TimerGlobalTimer();
    EXPECT_EQ(QApplication::activeWindow(), &other);
}

// No button takes the focus, so no key presses "Настройки" (or any button) by accident: the
// window's own keys are the only ones.
TEST_F(DesktopFixture, NoKeyOpensTheOptions) {
    auto f = startWith("Style=1");
    EXPECT_EQ(f->SetupBtn->focusPolicy(), Qt::NoFocus);
    for (const QToolButton* b :
         {f->StartBtn, f->PauseBtn, f->PrevBtn, f->NextBtn, f->RBtn, f->FBtn})
        EXPECT_EQ(b->focusPolicy(), Qt::NoFocus) << b->objectName().toStdString();
    f->show();
    QApplication::setActiveWindow(f.get());
    ScriptedAnswerer answers; // any dialog fails the test
    for (const int k : {int(Qt::Key_Space), int(Qt::Key_Tab), int(Qt::Key_Space),
                        int(Qt::Key_Return), int(Qt::Key_Escape), int(Qt::Key_S)})
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : f.get(),
                        Qt::Key(k));
    EXPECT_FALSE(f->model().Paused);
}

TEST_F(DesktopFixture, SpaceRevealsTheAnswerOnce) {
    auto f = startWith("Style=1\nShowTranslation=30");
    ASSERT_EQ(f->Lab2->text(), QString());
    key(*f, Qt::Key_Space);
    EXPECT_EQ(f->Lab2->text(), s("ねこ"));
    EXPECT_EQ(f->model().AnswerCountdown, -2);
    // Revealed: the tick has nothing more to reveal.
    f->TimerGlobalTimer();
    EXPECT_EQ(f->model().AnswerCountdown, -2);
}

// Each key does what its button does, and nothing while the button is disabled.
TEST_F(DesktopFixture, KeysFollowTheirButtons) {
    auto f = startWith("Style=1\nShowNewCard=1");
    ASSERT_EQ(f->model().CurrentPos, 1);
    key(*f, Qt::Key_Return);
    EXPECT_EQ(attempts(*f), 5);
    EXPECT_EQ(misses(*f), 1);
    // Graded: both grading buttons are off, so are the keys.
    key(*f, Qt::Key_Return);
    key(*f, Qt::Key_Backspace);
    EXPECT_EQ(attempts(*f), 5);
    key(*f, Qt::Key_Right);
    EXPECT_EQ(f->model().CurrentPos, 2);
    key(*f, Qt::Key_Backspace);
    EXPECT_EQ(attempts(*f), 6);
    EXPECT_EQ(misses(*f), 2);
    key(*f, Qt::Key_Left);
    EXPECT_EQ(f->model().CurrentPos, 1);
    key(*f, Qt::Key_Enter); // the keypad's
    EXPECT_EQ(attempts(*f), 7);
    // Paused: the grading buttons are off.
    key(*f, Qt::Key_Right);
    f->PauseTraining();
    key(*f, Qt::Key_Return);
    EXPECT_EQ(attempts(*f), 7);
    f.reset(); // the deck is free for the next window

    // A held key does not grade card after card.
    auto manual = startWith("Style=1\nShowNewCard=0");
    const qint32 before = attempts(*manual);
    key(*manual, Qt::Key_Return);
    key(*manual, Qt::Key_Return, true);
    key(*manual, Qt::Key_Return, true);
    EXPECT_EQ(attempts(*manual), before + 1);
    // Next and Previous are off without timed cards.
    const qint32 pos = manual->model().CurrentPos;
    key(*manual, Qt::Key_Right);
    key(*manual, Qt::Key_Left);
    EXPECT_EQ(manual->model().CurrentPos, pos);
}

// The hint window stays on top of every window; the main window's dialogs must not end up under
// it, so it keeps out of their way while they are open.
TEST_F(DesktopFixture, TheHintWindowMakesWayForTheDialogs) {
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("pics")));
    auto f = startWith("Style=1\nShowHint=1");
    f->show();
    key(*f, Qt::Key_Space);
    ASSERT_TRUE(f->HintForm->isVisible());
    ScriptedAnswerer answers;
    bool hintShownInside = true;
    answers.expectDialog(QStringLiteral("SetupForm"), [&](QDialog&) {
        hintShownInside = f->HintForm->isVisible();
        return int(QDialog::Rejected);
    });
    f->SetupBtnClick();
    EXPECT_FALSE(hintShownInside);
    EXPECT_TRUE(f->HintForm->isVisible());
}

// A card that brings the window back from the tray decides the hint window's showing once: the
// last card's hints do not flash up on the way.
TEST_F(DesktopFixture, ACardFromTheTrayDecidesTheHintsOnce) {
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("pics")));
    auto f = startWith("Style=1\nShowHint=1\nTopWordStyle=1\nBottomWordStyle=2");
    f->show();
    key(*f, Qt::Key_Space); // revealed: the hints are on screen
    ASSERT_TRUE(f->HintForm->isVisible());
    f->hide(); // to the tray, the hints with it
    ASSERT_FALSE(f->HintForm->isVisible());
    struct Shows : QObject {
        int count = 0;
        bool eventFilter(QObject*, QEvent* e) override {
            count += e->type() == QEvent::Show;
            return false;
        }
    } shows;
    f->HintForm->installEventFilter(&shows);
    f->NextBtnClick(); // kana on top, answer hidden: no hints for this card
    EXPECT_TRUE(f->isVisible());
    EXPECT_FALSE(f->HintForm->isVisible());
    EXPECT_EQ(shows.count, 0);
    f->HintForm->removeEventFilter(&shows);
}

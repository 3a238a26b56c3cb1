// The main window around the run: button states event by event, menus, the status bar, the
// options and About flows, minimising to the notification area, and what a tick repaints.
#include "app/umain.h"
#include "dialogs/uabout.h"
#include "dialogs/usetup.h"
#include "hint/kanjicodes.h"
#include "hint/uhint.h"
#include "tests/app/mainwindowfixture.h"
#include "tests/support/deckbytes.h"
#include "tests/support/filesizelimit.h"
#include "tests/support/printers.h"
#include "tests/support/scriptedanswerer.h"
#include "widgets/filenameedit.h"
#include "widgets/linklabel.h"
#include "widgets/progressbar.h"
#include "widgets/statusbar.h"
#include "widgets/trayicon.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPaintEvent>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <functional>
#include <map>
#include <optional>

using deckbytes::crlf;
using deckbytes::le;
using platform::Answer;

namespace {

// Word 0 has kanji and counts 3/1, word 1 none, word 2 is switched off, word 3 never graded.
// The stored position 2 makes the first card the first active word.
const QByteArray kDeck = le(crlf({"*2", "犬=いぬ=собака=1=3", "=こんにちは=привет=0=2",
                                  "#水=みず=вода=0=0", "猫=ねこ=кошка=0=0"}));
const QByteArray kOtherDeck = le(crlf({"*1", "一=いち=один=0=0", "二=に=два=0=0", "三=さん=три"}));

class WindowFixture : public MainWindowFixture {
protected:
    std::unique_ptr<TForm2> startWith(const char* keys) { return startOn(kDeck, keys); }
    static void showAt(TForm2& f, qint32 pos, bool newCard = true) {
        f.model().CurrentPos = pos;
        f.ShowCard(newCard);
    }
    // The options dialog answered with OK after the deck field got path.
    static ScriptedAnswerer::DialogAction okWithDeck(const QString& path) {
        return [path](QDialog& d) {
            auto& setup = static_cast<TSetupForm&>(d);
            setup.FNameEdit->setFileName(path);
            return int(QDialog::Accepted);
        };
    }
    static int cancel(QDialog&) { return QDialog::Rejected; }
};

} // namespace

TEST_F(WindowFixture, ButtonStatesFollowEachEvent) {
    auto f = startWith("Style=1\nShowNewCard=1");
    // StartBtn, PauseBtn, PrevBtn, NextBtn, RBtn, FBtn.
    const std::pair<const char*, std::function<void()>> steps[] = {
        {"011111",
         [] {
         }},
        {"011100",
         [&] {
             f->RBtnClick();
         }},
        {"101100",
         [&] {
             f->PauseTraining();
         }},
        {"011100",
         [&] {
             f->ResumeTraining();
         }}, // a graded card stays graded
        {"011111",
         [&] {
             f->NextBtnClick();
         }},
        {"101100",
         [&] {
             f->PauseTraining();
         }},
        {"101111",
         [&] {
             f->NextBtnClick();
         }}, // a new card while paused can be graded
        {"011111",
         [&] {
             f->ResumeTraining();
         }},
        {"011111",
         [&] {
             f->N8->trigger();
         }}, // the order alone refreshes nothing
        {"010111",
         [&] {
             f->ResumeTraining();
         }},
        {"010111",
         [&] {
             f->N9->trigger();
         }},
        {"011111",
         [&] {
             f->ResumeTraining();
         }},
    };
    int i = 0;
    for (const auto& [expected, event] : steps) {
        event();
        EXPECT_EQ(buttons(*f), expected) << "step " << i;
        ++i;
    }
}

TEST_F(WindowFixture, TrayMenuItemsAndTheirMarks) {
    auto f = startWith("Style=0");
    QStringList captions;
    for (const QAction* a : f->PopupMenu1->actions())
        captions << (a->isSeparator() ? QStringLiteral("-") : a->text());
    EXPECT_EQ(captions.join(u'|'),
              s("Пауза|-|Сверху|Снизу|-|Случайно|Последовательно|-|Настройки|-|Выход"));
    // The order mark starts on "Последовательно" whatever order was loaded, and follows clicks.
    EXPECT_TRUE(f->N9->isChecked());
    EXPECT_EQ(f->model().Style, 0);
    f->N9->trigger();
    EXPECT_EQ(f->model().Style, 1);
    f->N8->trigger();
    EXPECT_EQ(f->model().Style, 0);
    EXPECT_TRUE(f->N8->isChecked());
    EXPECT_FALSE(f->N9->isChecked());

    // "Пауза" pauses and resumes by its own mark; the buttons do not move the mark.
    f->N1->trigger();
    EXPECT_TRUE(f->N1->isChecked());
    EXPECT_TRUE(f->model().Paused);
    f->ResumeTraining();
    EXPECT_TRUE(f->N1->isChecked());
    f->N1->trigger();
    EXPECT_FALSE(f->model().Paused);
    EXPECT_EQ(f->windowTitle(), s("Sorabi v.0.9.2 [d.sb] "));
}

TEST_F(WindowFixture, CardRefreshesTheKindMenusTheCounterAndTheBars) {
    auto f = startWith("Style=1\nTopWordStyle=2\nBottomWordStyle=1");
    f->show();
    showAt(*f, 0);
    EXPECT_TRUE(f->TNTrans->isChecked());
    EXPECT_TRUE(f->BNKana->isChecked());
    EXPECT_TRUE(f->TNKanji->isEnabled());
    EXPECT_EQ(f->SBar->panelText(TForm2::kCounterPanel), s("1/3/4"));
    // 3 attempts, 1 miss; the deck 5 attempts, 1 miss.
    EXPECT_EQ(f->ProgCurr->Maximum(), 3);
    EXPECT_EQ(f->ProgCurr->Position(), 2);
    EXPECT_EQ(f->ProgCurr->Percent(), 67);
    EXPECT_EQ(f->ProgCurr->FilledWidth(), 61);
    EXPECT_EQ(f->ProgAll->Percent(), 80);

    showAt(*f, 1); // no kanji: the kanji items are off
    for (const QAction* a : {f->NKanji, f->TNKanji, f->BNKanji})
        EXPECT_FALSE(a->isEnabled()) << a->objectName().toStdString();
    EXPECT_EQ(f->SBar->panelText(TForm2::kCounterPanel), s("2/3/4"));

    showAt(*f, 2); // never graded: position 0, the maximum stays
    EXPECT_TRUE(f->NKanji->isEnabled());
    EXPECT_EQ(f->ProgCurr->Maximum(), 2);
    EXPECT_EQ(f->ProgCurr->Position(), 0);
    EXPECT_EQ(f->ProgCurr->Percent(), 0);

    // Grading shows in the bars only with the next card.
    f->FBtnClick();
    EXPECT_EQ(f->ProgAll->Percent(), 80);
    f->ShowCard(false);
    EXPECT_EQ(f->ProgAll->Percent(), 67);
}

TEST_F(WindowFixture, LabelMenuMovesTheOtherLabelOutOfTheWay) {
    struct Case {
        const char* name;
        int pos;
        bool onTop;
        QAction* TForm2::*item;
        int top, bottom; // expected kinds afterwards
    };
    const Case cases[] = {
        {"kana on top pushes the bottom kana to translation", 0, true, &TForm2::NKana, 1, 2},
        {"kanji below pushes the top kanji to kana", 0, false, &TForm2::NKanji, 1, 0},
        {"translation on top pushes the bottom to kanji", 0, true, &TForm2::NTrans, 2, 0},
        {"without kanji, translation pushes the bottom to kana", 1, true, &TForm2::NTrans, 2, 1},
    };
    for (const Case& c : cases) {
        // Top kanji, bottom kana; translation-on-top cases start with translation below.
        auto f = startWith(c.item == &TForm2::NTrans ? "TopWordStyle=0\nBottomWordStyle=2"
                                                     : "TopWordStyle=0\nBottomWordStyle=1");
        f->show();
        showAt(*f, c.pos);
        QLabel* lab = c.onTop ? f->Lab1 : f->Lab2;
        f->openWStyleMenu(lab, lab->mapToGlobal(QPoint(10, 10)));
        // The mark shows the kind on the label the menu was opened on.
        const int tag = lab->property("Tag").toInt();
        EXPECT_TRUE((std::array{f->NKanji, f->NKana, f->NTrans}[size_t(tag)])->isChecked())
            << c.name;
        ((*f).*(c.item))->trigger();
        f->WStyleMenu->hide();
        EXPECT_EQ(f->model().TopWordStyle, c.top) << c.name;
        EXPECT_EQ(f->model().BottomWordStyle, c.bottom) << c.name;
        // The change reveals the card.
        EXPECT_FALSE(f->Lab2->text().isEmpty()) << c.name;
    }
}

TEST_F(WindowFixture, TraySubmenusSetEachLabelWithoutARule) {
    auto f = startWith("TopWordStyle=0\nBottomWordStyle=1");
    f->show();
    showAt(*f, 0);
    f->TNKana->trigger();
    EXPECT_EQ(f->model().TopWordStyle, wkKana);
    EXPECT_EQ(f->model().BottomWordStyle, wkKana);
    // Both main labels show the kana; the third gets the last kind left, the translation.
    EXPECT_EQ(f->Lab1->text(), s("いぬ"));
    EXPECT_EQ(f->Lab2->text(), s("いぬ"));
    EXPECT_EQ(f->Lab3->text(), s("собака"));
    f->BNTrans->trigger();
    EXPECT_EQ(f->Lab2->text(), s("собака"));
    EXPECT_EQ(f->Lab3->text(), s("犬"));
    EXPECT_TRUE(f->BNTrans->isChecked());
}

TEST_F(WindowFixture, HintWindowShowsOnlyForARevealedKanjiWithPictures) {
    auto f = startWith("Style=1");
    f->show();
    showAt(*f, 0, false);
    EXPECT_FALSE(f->HintForm->isVisible()); // no "pics" folder
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("pics")));
    // A new card hides the window, unless its question is the kanji: their pictures show.
    showAt(*f, 0, true);
    EXPECT_TRUE(f->HintForm->isVisible());
    f->model().TopWordStyle = wkKana;
    showAt(*f, 0, true);
    EXPECT_FALSE(f->HintForm->isVisible());
    showAt(*f, 0, false);
    EXPECT_TRUE(f->HintForm->isVisible());
    showAt(*f, 1, false); // no kanji
    EXPECT_FALSE(f->HintForm->isVisible());
    f->model().ShowHint = false;
    showAt(*f, 0, false);
    EXPECT_FALSE(f->HintForm->isVisible());
}

TEST_F(WindowFixture, APictureThatIsNotAGifIsReportedAndTheCardCanStillBeGraded) {
    auto f = startWith("Style=1");
    f->show();
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("pics")));
    const std::optional<quint16> code = KanjiCodes::builtIn().codeOf(u'犬');
    ASSERT_TRUE(code);
    dir.write(QStringLiteral("pics/") + KanjiCodes::pictureFileName(*code), "not a picture");
    {
        ScriptedAnswerer answers;
        answers.expectError(s("Unknown GIF version"));
        showAt(*f, 0, true); // the kanji is the question
    }
    EXPECT_FALSE(f->HintForm->isVisible());
    EXPECT_TRUE(f->RBtn->isEnabled());
    EXPECT_TRUE(f->FBtn->isEnabled());
    EXPECT_EQ(f->Lab1->text(), s("犬"));
    // The same word again only shows the window; no second report.
    showAt(*f, 0, false);
    EXPECT_TRUE(f->HintForm->isVisible());
}

TEST_F(WindowFixture, LongTranslationWrapsIntoThreeLinesInARealFont) {
    auto f = startOn(le(crlf({"*0", "=x=placeholder"})), "TopWordStyle=2\nTFontSize=20");
    f->show();
    showAt(*f, 0);
    const QFontMetrics m(f->Lab1->font());
    // Grow a text without separators to one and a half label widths.
    const QString words = s("длинный перевод без разделителей ");
    QString text;
    while (m.horizontalAdvance(text) < f->Lab1->width() * 3 / 2)
        text += words[text.size() % words.size()];
    f->model().Dict.Words[0].Translation = text;
    showAt(*f, 0);
    EXPECT_EQ(f->Lab1->height(), 3 * (27 + 2)) << m.horizontalAdvance(text);
    f->model().Dict.Words[0].Translation = s("короткий");
    showAt(*f, 0);
    EXPECT_EQ(f->Lab1->height(), 2 * (27 + 2));
}

TEST_F(WindowFixture, OptionsCancelOnlyResumes) {
    auto f = startWith("Style=1");
    f->PauseTraining();
    const QString before = f->Lab2->text();
    ScriptedAnswerer answers;
    bool pausedInside = false;
    answers.expectDialog(QStringLiteral("SetupForm"), [&](QDialog& d) {
        pausedInside = f->model().Paused;
        // The dialog shows the deck in use.
        EXPECT_EQ(static_cast<TSetupForm&>(d).FNameEdit->FileName(), s("d.sb"));
        return int(QDialog::Rejected);
    });
    f->SetupBtnClick();
    EXPECT_TRUE(pausedInside);
    EXPECT_FALSE(f->model().Paused);
    EXPECT_EQ(f->Lab2->text(), before);
    EXPECT_EQ(dir.read(QStringLiteral("d.sb")), kDeck);
}

TEST_F(WindowFixture, OptionsWithTheSameDeckRevealTheCard) {
    auto f = startWith("Style=1");
    EXPECT_EQ(f->Lab2->text(), QString());
    ScriptedAnswerer answers;
    answers.expectDialog(QStringLiteral("SetupForm"), okWithDeck(s("d.sb")));
    f->N11->trigger();
    EXPECT_EQ(f->Lab2->text(), s("いぬ"));
    EXPECT_EQ(dir.read(QStringLiteral("d.sb")), kDeck); // nothing written
}

TEST_F(WindowFixture, OptionsWithAnotherDeckSaveTheOldAndShowTheNewStoredCard) {
    auto f = startWith("Style=1");
    dir.write(QStringLiteral("other.sb"), kOtherDeck);
    f->RBtnClick();
    ScriptedAnswerer answers;
    answers.expectDialog(QStringLiteral("SetupForm"), okWithDeck(s("other.sb")));
    f->SetupBtnClick();
    EXPECT_EQ(dir.read(QStringLiteral("d.sb")),
              le(crlf({"*0", "犬=いぬ=собака=1=4", "=こんにちは=привет=0=2", "#水=みず=вода=0=0",
                       "猫=ねこ=кошка=0=0"})));
    EXPECT_EQ(f->model().Dictionary, s("other.sb"));
    EXPECT_EQ(f->model().CurrentPos, 1); // the stored card, not the one after it
    EXPECT_EQ(f->Lab1->text(), s("二"));
    EXPECT_EQ(f->Lab2->text(), QString()); // answer hidden
    EXPECT_EQ(f->windowTitle(), s("Sorabi v.0.9.2 [other.sb] "));
    EXPECT_EQ(buttons(*f), "011111");
}

TEST_F(WindowFixture, OptionsWithAnEmptyOrMissingDeckUnloadAfterSaving) {
    const std::pair<const char*, const char*> cases[] = {
        {"", nullptr}, {"none.sb", "Файла none.sb не существует!"}};
    for (const auto& [path, error] : cases) {
        auto f = startWith("Style=1");
        f->FBtnClick();
        ScriptedAnswerer answers;
        answers.expectDialog(QStringLiteral("SetupForm"), okWithDeck(s(path)));
        if (error)
            answers.expectError(s(error));
        f->SetupBtnClick();
        EXPECT_TRUE(dir.read(QStringLiteral("d.sb")).contains(le(s("=2=4")).mid(2))) << path;
        EXPECT_FALSE(f->model().DeckLoaded) << path;
        EXPECT_EQ(f->model().Dictionary, QString()) << path;
        EXPECT_EQ(f->Lab1->text(), QString()) << path;
        EXPECT_EQ(buttons(*f), "000000") << path;
        dir.write(QStringLiteral("d.sb"), kDeck);
    }
}

TEST_F(WindowFixture, OptionsAskBeforeLeavingADeckThatCannotBeSaved) {
    for (const Answer answer : {Answer::No, Answer::Yes}) {
        dir.write(QStringLiteral("d.sb"), kDeck);
        auto f = startWith("Style=1");
        dir.write(QStringLiteral("other.sb"), kOtherDeck);
        f->RBtnClick();
        {
            FileSizeLimit full(32);
            ScriptedAnswerer answers;
            answers.expectDialog(QStringLiteral("SetupForm"), okWithDeck(s("other.sb")));
            answers.expectError(s("Не удалось сохранить файл d.sb!"));
            answers.expectQuestion(s("Продолжить без сохранения?"), answer, Answer::No);
            f->SetupBtnClick();
        }
        EXPECT_EQ(dir.read(QStringLiteral("d.sb")), kDeck);
        EXPECT_FALSE(f->model().Paused);
        if (answer == Answer::No) {
            // The old deck stays, with its counts still in memory.
            EXPECT_EQ(f->model().Dictionary, s("d.sb"));
            EXPECT_EQ(f->model().Dict.Words[0].Attempts, 4);
        } else {
            EXPECT_EQ(f->model().Dictionary, s("other.sb"));
            EXPECT_EQ(f->Lab1->text(), s("二"));
            // Nothing of the old deck is waiting to be written into the new one.
            f->TimerSaveTimer();
            EXPECT_EQ(dir.read(QStringLiteral("other.sb")), kOtherDeck);
        }
    }
}

TEST_F(WindowFixture, AboutPausesAndResumesEvenAfterAPause) {
    auto f = startWith("Style=1");
    f->PauseTraining();
    ScriptedAnswerer answers;
    bool pausedInside = false;
    answers.expectDialog(QStringLiteral("AboutForm"), [&](QDialog&) {
        pausedInside = f->model().Paused;
        return int(QDialog::Rejected);
    });
    // A real click on the link.
    f->show();
    QTest::mouseClick(f->LinkLabel1, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(pausedInside);
    EXPECT_FALSE(f->model().Paused);
    EXPECT_EQ(f->LinkLabel1->Caption(), s("О программе...\r\n\r\n"));
    EXPECT_EQ(f->LinkLabel1->cursor().shape(), Qt::PointingHandCursor);
}

namespace {

// Decides whether the desktop has a notification area for the length of a test.
class TrayAvailability {
public:
    explicit TrayAvailability(bool available) { TTrayIcon::setAvailabilityForTesting(available); }
    ~TrayAvailability() { TTrayIcon::setAvailabilityForTesting(std::nullopt); }
};

void minimise(TForm2& f) {
    f.showMinimized();
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

} // namespace

TEST_F(WindowFixture, MinimiseHidesToTheTrayAndALeftClickBringsItBack) {
    TrayAvailability tray(true);
    auto f = startWith("Style=1");
    EXPECT_FALSE(f->Tray->IconShown()); // the icon follows once the loop runs
    QCoreApplication::processEvents();
    ASSERT_TRUE(f->Tray->IconShown());
    EXPECT_TRUE(f->Tray->toolTip().isEmpty());
    minimise(*f);
    EXPECT_FALSE(f->isVisible());

    // Right and middle clicks do not show the window; the right one opens the menu, which the
    // icon carries so that notification areas that draw menus themselves show it.
    EXPECT_EQ(f->Tray->contextMenu(), f->PopupMenu1);
    f->Tray->handleActivation(QSystemTrayIcon::Context, QPoint(100, 100));
    EXPECT_FALSE(f->isVisible());
    f->Tray->handleActivation(QSystemTrayIcon::MiddleClick, QPoint(100, 100));
    EXPECT_FALSE(f->isVisible());
    f->Tray->handleActivation(QSystemTrayIcon::Trigger, QPoint(100, 100));
    EXPECT_TRUE(f->isVisible());
    EXPECT_FALSE(f->isMinimized());

    // The next card brings a hidden window back by itself.
    minimise(*f);
    ASSERT_FALSE(f->isVisible());
    f->NextBtnClick();
    EXPECT_TRUE(f->isVisible());
}

TEST_F(WindowFixture, TrayClicksReachTheWindowOncePerClick) {
    TrayAvailability tray(true);
    auto f = startWith("Style=1");
    std::vector<Qt::MouseButton> clicks;
    QObject::connect(
        f->Tray, &TTrayIcon::OnClick,
        [&](Qt::MouseButton b, Qt::KeyboardModifiers, QPoint) { clicks.push_back(b); });
    // A double click arrives as a click and then the double-click event: one click, no item.
    const QString title = f->windowTitle();
    f->Tray->handleActivation(QSystemTrayIcon::Trigger, QPoint());
    f->Tray->handleActivation(QSystemTrayIcon::DoubleClick, QPoint());
    EXPECT_EQ(clicks, std::vector<Qt::MouseButton>{Qt::LeftButton});
    EXPECT_EQ(f->windowTitle(), title);
    EXPECT_FALSE(f->model().Paused);
    f->Tray->handleActivation(QSystemTrayIcon::Context, QPoint(50, 60));
    EXPECT_EQ(clicks, (std::vector<Qt::MouseButton>{Qt::LeftButton, Qt::RightButton}));
}

// The notification area may come after the program or go before it: the icon follows it, a
// minimise looks for it anew, and a window hidden in it comes back when it goes.
TEST_F(WindowFixture, TheTrayIsFollowedWhereverItIs) {
    std::optional<TrayAvailability> tray(std::in_place, false);
    auto f = startWith("Style=1");
    QCoreApplication::processEvents();
    EXPECT_FALSE(f->Tray->IconShown());
    minimise(*f);
    EXPECT_TRUE(f->isVisible()); // no tray: an ordinary minimise
    f->showNormal();

    tray.emplace(true); // a tray starts
    minimise(*f);
    EXPECT_TRUE(f->Tray->IconShown());
    EXPECT_FALSE(f->isVisible());

    tray.emplace(false); // and goes away while the window is in it
    f->Tray->refresh();
    EXPECT_FALSE(f->Tray->IconShown());
    EXPECT_TRUE(f->isVisible());
    EXPECT_FALSE(f->isMinimized());

    tray.emplace(true); // back again: the icon goes up by itself
    f->Tray->refresh();
    EXPECT_TRUE(f->Tray->IconShown());
    EXPECT_TRUE(f->isVisible());
}

TEST_F(WindowFixture, WithoutANotificationAreaMinimisingStaysAMinimise) {
    TrayAvailability tray(false);
    auto f = startWith("Style=1");
    QCoreApplication::processEvents();
    EXPECT_FALSE(f->Tray->IconShown());
    minimise(*f);
    EXPECT_TRUE(f->isVisible());
    EXPECT_TRUE(f->isMinimized());
}

TEST_F(WindowFixture, TrayIconGoesAtExit) {
    TrayAvailability tray(true);
    auto f = startWith("Style=1\nFormPos=0");
    QCoreApplication::processEvents();
    ASSERT_TRUE(f->Tray->IconShown());
    ScriptedAnswerer answers;
    answers.expectQuestion(s("Вы уверены, что хотите выйти?"), Answer::Yes);
    bool closed = false;
    QObject::connect(f.get(), &TForm2::FormClosed, [&] { closed = true; });
    f->N3->trigger();
    EXPECT_TRUE(closed);
    EXPECT_FALSE(f->Tray->IconShown());
    EXPECT_FALSE(f->Tray->Active());
    EXPECT_FALSE(f->TimerGlobal->isActive());
}

namespace {

// Collects the widgets that get a paint event, with the window-relative areas painted.
class PaintSpy : public QObject {
public:
    explicit PaintSpy(QWidget* window) : m_window(window) { qApp->installEventFilter(this); }
    ~PaintSpy() override { qApp->removeEventFilter(this); }
    std::map<QString, QRect> painted;
    int layoutRequests = 0;

protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        auto* w = qobject_cast<QWidget*>(o);
        if (!w || (w != m_window && !m_window->isAncestorOf(w)))
            return false;
        if (e->type() == QEvent::Paint) {
            const QRect r = static_cast<QPaintEvent*>(e)->rect();
            painted[w->objectName()] |= QRect(w->mapTo(m_window, r.topLeft()), r.size());
        } else if (e->type() == QEvent::LayoutRequest) {
            ++layoutRequests;
        }
        return false;
    }

private:
    QWidget* m_window;
};

} // namespace

TEST_F(WindowFixture, ATickWhileACardIsOnShowRepaintsOnlyTheCountdown) {
    auto f = startWith("Style=1\nShowNewCard=5\nShowTranslation=2");
    f->show();
    for (int i = 0; i < 4; ++i) // past the reveal
        f->TimerGlobalTimer();
    QApplication::processEvents();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(f.get()));
    QApplication::processEvents();

    PaintSpy spy(f.get());
    for (int i = 0; i < 3; ++i) {
        f->TimerGlobalTimer();
        QApplication::processEvents(); // paints what the tick asked for
    }
    ASSERT_FALSE(spy.painted.empty());
    for (const auto& [name, area] : spy.painted)
        EXPECT_EQ(name, s("TimeLab")) << "repainted " << area.x() << "," << area.y() << " "
                                      << area.width() << "x" << area.height();
    EXPECT_EQ(spy.layoutRequests, 0);
}

TEST_F(WindowFixture, WordsDeletedBeforeACancelLeaveNoPositionOutsideTheDeck) {
    auto f = startWith("Style=1\nShowNewCard=1");
    f->NextBtnClick();
    f->NextBtnClick(); // position 2 of 3: word 3
    ASSERT_EQ(f->model().CurrentPos, 2);
    ScriptedAnswerer answers;
    answers.expectDialog(QStringLiteral("SetupForm"), [&](QDialog& d) {
        auto& setup = static_cast<TSetupForm&>(d);
        for (int i = 0; i < 2; ++i) {
            setup.DicList->topLevelItem(setup.DicList->topLevelItemCount() - 1)->setSelected(true);
            answers.expectQuestion(s("Вы уверены, что хотите удалить запись?"), Answer::Yes);
            setup.DelBtnClick();
        }
        return int(QDialog::Rejected);
    });
    f->SetupBtnClick();
    const TrainerModel& m = f->model();
    EXPECT_EQ(m.WordCount, 2);
    EXPECT_EQ(m.ActiveList, (std::vector<qint32>{0, 1}));
    EXPECT_EQ(m.CurrentPos, 0);
    // The run goes on over the shortened deck.
    f->RBtnClick();
    for (int i = 0; i < 200; ++i)
        f->TimerGlobalTimer();
    EXPECT_LT(m.CurrentPos, m.ActiveCount);
    EXPECT_EQ(m.Dict.Words[0].Attempts, 4);
}

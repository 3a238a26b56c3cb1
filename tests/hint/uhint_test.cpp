#include "hint/uhint.h"

#include "hint/kanjicodes.h"
#include "platform/errors.h"
#include "platform/paths.h"
#include "tests/support/gifbuilder.h"
#include "tests/support/printers.h"
#include "tests/support/tempdir.h"
#include "widgets/gifanimator.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

static void initResources() {
    Q_INIT_RESOURCE(resources);
}

namespace {

using namespace gifbuilder;

QString s(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// A picture of two frames on a w x h screen.
QByteArray gifOf(int w, int h) {
    Gif g(w, h);
    const int n = w * h;
    g.control(10).image(0, 0, w, h, std::vector<uint8_t>(size_t(n), 1));
    g.control(10).image(0, 0, w, h, std::vector<uint8_t>(size_t(n), 2));
    return g.trailer().bytes;
}

// The hint window beside a main window on screen at (200, 100), with a program folder of its own.
class HintFixture : public ::testing::Test {
protected:
    static void SetUpTestSuite() { initResources(); }
    void SetUp() override {
        main.move(200, 100);
        main.resize(380, 300);
        main.show();
        hint = std::make_unique<THintForm>(
            &main, KanjiPictures::of(platform::paths::Layout::portable(dir.path())));
    }
    void makePics() { ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("pics"))); }
    // Writes the picture file of a kanji into the pics folder.
    void writePicture(char16_t kanji, const QByteArray& bytes) {
        const std::optional<quint16> code = KanjiCodes::builtIn().codeOf(kanji);
        ASSERT_TRUE(code);
        dir.write(QStringLiteral("pics/") + KanjiCodes::pictureFileName(*code), bytes);
    }
    TGIFAnimator* picture(size_t n) const { return hint->Animations().at(n); }

    TempDir dir;
    QWidget main;
    std::unique_ptr<THintForm> hint;
};

TEST_F(HintFixture, CreatedHiddenEmptyAndSkyBlue) {
    EXPECT_EQ(hint->objectName(), s("HintForm"));
    EXPECT_EQ(hint->windowTitle(), s("Написание"));
    EXPECT_TRUE(hint->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(hint->windowFlags() & Qt::WindowType_Mask, Qt::Tool);
    EXPECT_EQ(hint->palette().color(QPalette::Window), QColor(166, 202, 240));
    EXPECT_FALSE(hint->isVisible());
    EXPECT_EQ(hint->pos(), QPoint(0, 0));
    EXPECT_EQ(hint->size(), QSize(243, 176));
    EXPECT_TRUE(hint->LastKanji().isEmpty());
    EXPECT_TRUE(hint->Animations().empty());
}

TEST_F(HintFixture, OnePicturePerKanjiOfTheTable) {
    makePics();
    struct Case {
        const char* text;
        int pictures;
    };
    // Kana and Latin letters are skipped; a kanji that occurs twice gives two pictures.
    for (const Case c :
         {Case{"食べる", 1}, {"人人", 2}, {"日本語", 3}, {"たべる", 0}, {"abc", 0}}) {
        SCOPED_TRACE(c.text);
        hint->ShowKanji(s(c.text));
        EXPECT_EQ(int(hint->Animations().size()), c.pictures);
        EXPECT_TRUE(hint->isVisible());
        EXPECT_EQ(hint->LastKanji(), s(c.text));
    }
}

TEST_F(HintFixture, AKanjiWithoutAFileGetsTheQuestionMark) {
    makePics();
    hint->ShowKanji(s("人人"));
    ASSERT_EQ(hint->Animations().size(), 2u);
    for (size_t n : {0u, 1u}) {
        TGIFAnimator* a = picture(n);
        EXPECT_EQ(a->size(), QSize(50, 59));
        EXPECT_EQ(a->pos(), QPoint(50 * int(n), 0));
        EXPECT_EQ(a->toolTip(), s("Нажмите, чтобы посмотреть написание"));
        EXPECT_EQ(a->cursor().shape(), Qt::PointingHandCursor);
        EXPECT_FALSE(a->Animate());
    }
    EXPECT_EQ(hint->frameGeometry().size(), QSize(105, 84));

    // The placeholder: one frame of 16 greys, opaque; white ground, dark mark in the middle.
    TGIFImage& img = picture(0)->Image();
    EXPECT_EQ(img.FrameCount(), 1);
    EXPECT_EQ(img.GlobalColorTable().size(), 16);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(img.GlobalColorTable()[i], qRgb(i * 17, i * 17, i * 17));
    EXPECT_FALSE(img.IsTransparent());
    const QImage frame = picture(0)->ComposeFrame(0);
    EXPECT_EQ(frame.pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_LT(qGray(frame.pixel(25, 48)), 80); // the dot
    // A click on it switches Animate, but a single frame never steps.
    QTest::mouseClick(picture(0), Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_TRUE(picture(0)->Animate());
    EXPECT_EQ(picture(0)->Timer().pendingDelay(), -1);
    EXPECT_EQ(picture(0)->FrameIndex(), 0);
}

TEST_F(HintFixture, LayoutFromTheFirstPictureLeftOfTheMainWindow) {
    makePics();
    for (char16_t k : {u'日', u'本', u'語'})
        writePicture(k, gifOf(100, 80));
    hint->ShowKanji(s("日本語"));
    ASSERT_EQ(hint->Animations().size(), 3u);
    for (int n = 0; n < 3; ++n)
        EXPECT_EQ(picture(size_t(n))->geometry(), QRect(100 * n, 0, 100, 80));
    // Outer size 3 x 100 + 5 by 80 + 25; left of the main window (200), no clamping.
    EXPECT_EQ(hint->frameGeometry(), QRect(-105, 100, 305, 105));
    EXPECT_TRUE(hint->isVisible());
}

TEST_F(HintFixture, PictureFilesAreNamedByTheirShiftJisCode) {
    makePics();
    dir.write(QStringLiteral("pics/889F.gif"), gifOf(7, 9)); // 亜
    hint->ShowKanji(s("亜"));
    ASSERT_EQ(hint->Animations().size(), 1u);
    EXPECT_EQ(picture(0)->size(), QSize(7, 9));
}

TEST_F(HintFixture, TheSameTextOnlyShowsTheWindowAgain) {
    makePics();
    writePicture(u'人', gifOf(10, 10));
    hint->ShowKanji(s("人人"));
    TGIFAnimator* first = picture(0);
    QTest::mouseClick(first, Qt::LeftButton, {}, QPoint(2, 2));
    EXPECT_TRUE(first->Animate());
    first->Timer().fire();
    EXPECT_EQ(first->FrameIndex(), 1);
    // The other picture keeps standing.
    EXPECT_FALSE(picture(1)->Animate());

    hint->hide();
    hint->move(40, 50); // dragged away by the user
    hint->ShowKanji(s("人人"));
    EXPECT_TRUE(hint->isVisible());
    EXPECT_EQ(picture(0), first);
    EXPECT_TRUE(first->Animate());
    EXPECT_EQ(first->FrameIndex(), 1);
    EXPECT_EQ(hint->pos(), QPoint(40, 50));

    // Another click stops it on the frame it reached.
    QTest::mouseClick(first, Qt::LeftButton, {}, QPoint(2, 2));
    EXPECT_FALSE(first->Animate());
    EXPECT_EQ(first->FrameIndex(), 1);
}

TEST_F(HintFixture, WithoutAPicsFolderTheWindowHidesOnEveryNewWord) {
    hint->show();
    hint->ShowKanji(s("人"));
    EXPECT_FALSE(hint->isVisible());
    EXPECT_TRUE(hint->LastKanji().isEmpty());

    makePics();
    hint->ShowKanji(s("人"));
    EXPECT_TRUE(hint->isVisible());
    ASSERT_TRUE(QDir(dir.path()).rmdir(QStringLiteral("pics")));
    hint->ShowKanji(s("日"));
    EXPECT_FALSE(hint->isVisible());
    EXPECT_EQ(hint->LastKanji(), s("人")); // the last word built
    EXPECT_EQ(hint->Animations().size(), 1u);
}

TEST_F(HintFixture, TextWithoutKanjiLeavesAnEmptyWindowWhereItWas) {
    makePics();
    hint->ShowKanji(s("ひらがな"));
    EXPECT_TRUE(hint->isVisible());
    EXPECT_EQ(hint->pos(), QPoint(0, 0));
    EXPECT_EQ(hint->size(), QSize(243, 176));

    hint->ShowKanji(s("人"));
    const QRect laidOut = hint->frameGeometry();
    hint->ShowKanji(s("カタカナ"));
    EXPECT_TRUE(hint->Animations().empty());
    EXPECT_EQ(hint->frameGeometry(), laidOut);
}

TEST_F(HintFixture, AFileThatIsNotAGifFailsTheCall) {
    makePics();
    writePicture(u'日', gifOf(10, 10));
    writePicture(u'本', "not a picture");
    try {
        hint->ShowKanji(s("日本"));
        FAIL() << "no error";
    } catch (const platform::Error& e) {
        EXPECT_EQ(e.text(), s("Unknown GIF version"));
    }
    // Hidden, with the pictures made so far, the failing one included.
    EXPECT_FALSE(hint->isVisible());
    EXPECT_EQ(hint->LastKanji(), s("日本"));
    EXPECT_EQ(hint->Animations().size(), 2u);
    // The same text only shows what the window holds; another builds anew.
    hint->ShowKanji(s("日本"));
    EXPECT_TRUE(hint->isVisible());
    EXPECT_EQ(hint->Animations().size(), 2u);
    hint->ShowKanji(s("日"));
    EXPECT_EQ(hint->Animations().size(), 1u);
}

TEST_F(HintFixture, DraggedByItsFreeAreaOnly) {
    makePics();
    writePicture(u'人', gifOf(20, 20));
    hint->ShowKanji(s("人"));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(hint.get()));
    const QPoint start = hint->pos();

    // On a picture: the picture takes the press.
    QTest::mousePress(picture(0), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_FALSE(hint->Dragging());
    QTest::mouseRelease(picture(0), Qt::LeftButton, {}, QPoint(5, 5));

    // The free area right of the picture: the window follows the mouse.
    QTest::mousePress(hint.get(), Qt::RightButton, {}, QPoint(22, 5));
    EXPECT_FALSE(hint->Dragging());
    QTest::mousePress(hint.get(), Qt::LeftButton, {}, QPoint(22, 5));
    EXPECT_TRUE(hint->Dragging());
    QTest::mouseMove(hint.get(), QPoint(32, 25));
    EXPECT_EQ(hint->pos(), start + QPoint(10, 20));
    QTest::mouseRelease(hint.get(), Qt::LeftButton, {}, QPoint(32, 25));
    EXPECT_FALSE(hint->Dragging());
}

} // namespace

// Within a card the window's showing and hiding is only noted; the card's end applies the last
// decision once, so the window manager never sees the window come and go within one turn.
TEST_F(HintFixture, OneDecisionPerCard) {
    makePics();
    int shows = 0;
    int hides = 0;
    struct Counter : QObject {
        int* shows;
        int* hides;
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::Show)
                ++*shows;
            if (e->type() == QEvent::Hide)
                ++*hides;
            return false;
        }
    } counter;
    counter.shows = &shows;
    counter.hides = &hides;
    hint->installEventFilter(&counter);

    hint->beginCard();
    hint->want(false);           // the card's own rule: answer still hidden
    hint->ShowKanji(u"日本"_qs); // the top label shows the kanji
    hint->want(true);
    EXPECT_FALSE(hint->isVisible());
    EXPECT_EQ(shows, 0);
    hint->endCard();
    EXPECT_TRUE(hint->isVisible());
    EXPECT_EQ(shows, 1);

    // A card that ends hidden hides once; one that stays shown changes nothing.
    hint->beginCard();
    hint->ShowKanji(u"日本"_qs);
    hint->want(false);
    hint->endCard();
    EXPECT_FALSE(hint->isVisible());
    EXPECT_EQ(hides, 1);
    hint->beginCard();
    hint->want(false);
    hint->ShowKanji(u"日本"_qs);
    hint->endCard();
    hint->beginCard();
    hint->want(true);
    hint->endCard();
    EXPECT_TRUE(hint->isVisible());
    EXPECT_EQ(shows, 2);
    EXPECT_EQ(hides, 1);
    hint->removeEventFilter(&counter);
}

TEST_F(HintFixture, StaysOnTopShowsItsTooltipsAndFollowsTheMainWindow) {
    EXPECT_TRUE(hint->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(hint->testAttribute(Qt::WA_AlwaysShowToolTips));
    EXPECT_TRUE(hint->testAttribute(Qt::WA_ShowWithoutActivating));
    makePics();
    hint->ShowKanji(u"日本"_qs);
    ASSERT_TRUE(hint->isVisible());
    // Minimised (to the tray or not), the main window takes the hints with it...
    main.hide();
    hint->followMainWindow();
    EXPECT_FALSE(hint->isVisible());
    // ...a card decided meanwhile waits for it...
    hint->beginCard();
    hint->want(true);
    hint->endCard();
    EXPECT_FALSE(hint->isVisible());
    // ...and they come back together.
    main.show();
    hint->followMainWindow();
    EXPECT_TRUE(hint->isVisible());
    main.showMinimized();
    hint->followMainWindow();
    EXPECT_FALSE(hint->isVisible());
    main.showNormal();
    hint->followMainWindow();
    EXPECT_TRUE(hint->isVisible());
    // Out of the way of the main window's dialogs, and back after them.
    hint->setSuppressed(true);
    EXPECT_FALSE(hint->isVisible());
    hint->setSuppressed(false);
    EXPECT_TRUE(hint->isVisible());
}

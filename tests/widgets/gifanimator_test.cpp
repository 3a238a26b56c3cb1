#include "widgets/gifanimator.h"

#include "tests/support/gifbuilder.h"
#include "tests/support/gifcorpus.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace {

using namespace gifbuilder;

const QRgb kParent = qRgb(166, 202, 240);
const QRgb kBlack = qRgb(0, 0, 0);
const QRgb kRed = qRgb(255, 0, 0);
const QRgb kGreen = qRgb(0, 255, 0);
const QRgb kBlue = qRgb(0, 0, 255);

std::vector<uint8_t> fill(int n, uint8_t index) {
    return std::vector<uint8_t>(size_t(n), index);
}

// A frame of one colour index, `delay` hundredths of a second.
Gif& plain(Gif& g, int delay, int left, int top, int w, int h, uint8_t index, int disposal = 0,
           int transparent = -1) {
    return g.control(delay, disposal, transparent).image(left, top, w, h, fill(w * h, index));
}

// n frames covering a 4 x 4 screen, colours 1, 2, 3, 1, ... with the given delays.
QByteArray animation(const std::vector<int>& delays) {
    Gif g;
    for (size_t i = 0; i < delays.size(); ++i)
        plain(g, delays[i], 0, 0, 4, 4, uint8_t(1 + i % 3));
    return g.trailer().bytes;
}

// The control on a shown parent of the hint window's colour.
class AnimatorFixture : public ::testing::Test {
protected:
    void SetUp() override {
        parent.resize(200, 200);
        QPalette pal = parent.palette();
        pal.setColor(QPalette::Window, QColor::fromRgb(kParent));
        parent.setPalette(pal);
        parent.setAutoFillBackground(true);
        animator = new TGIFAnimator(&parent);
        animator->move(10, 10);
        parent.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent));
    }
    void load(const QByteArray& bytes) { animator->Image().LoadFromData(bytes); }
    // What the window shows at a point of the control.
    QRgb shown(int x, int y) {
        return parent.grab().toImage().pixel(animator->x() + x, animator->y() + y) | 0xFF000000u;
    }
    static QRgb at(const QImage& img, int x, int y) { return img.pixel(x, y); }

    QWidget parent;
    TGIFAnimator* animator = nullptr;
};

TEST_F(AnimatorFixture, CreatedAndLoadedSizes) {
    EXPECT_EQ(animator->size(), QSize(105, 105));
    EXPECT_FALSE(animator->Animate());
    EXPECT_TRUE(animator->AutoSize());
    EXPECT_TRUE(animator->Loop());
    EXPECT_TRUE(animator->Transparent());

    // Empty data: the size stays, only the parent's colour shows.
    load({});
    EXPECT_EQ(animator->size(), QSize(105, 105));
    EXPECT_EQ(shown(50, 50), kParent);

    Gif g(7, 5);
    load(plain(g, 10, 0, 0, 7, 5, 1).trailer().bytes);
    EXPECT_EQ(animator->size(), QSize(7, 5));
    EXPECT_EQ(animator->FrameIndex(), 0);

    // Empty again: the control keeps the size of the last picture.
    load({});
    EXPECT_EQ(animator->size(), QSize(7, 5));

    // A failed load changes nothing.
    Gif big(9, 9);
    load(plain(big, 10, 0, 0, 9, 9, 2).trailer().bytes);
    EXPECT_THROW(load(QByteArray("GIF88a")), std::exception);
    EXPECT_EQ(animator->size(), QSize(9, 9));
}

TEST_F(AnimatorFixture, FrameDelaysAreLimitedTo50And10000Ms) {
    struct Case {
        int hundredths;
        int ms;
    };
    for (const Case c : {Case{0, 50},
                         {1, 50},
                         {4, 50},
                         {5, 50},
                         {6, 60},
                         {150, 1500},
                         {1000, 10000},
                         {1001, 10000},
                         {6553, 10000}}) {
        SCOPED_TRACE(c.hundredths);
        load(animation({c.hundredths, 20}));
        EXPECT_EQ(animator->FrameDelay(), c.ms);
        EXPECT_EQ(animator->Timer().Interval(), c.ms);
    }
    // One frame: no delay, so the clock never runs.
    load(animation({150}));
    EXPECT_EQ(animator->FrameDelay(), 0);
}

TEST_F(AnimatorFixture, FirstStepAtOnceThenEachFrameForItsOwnDelay) {
    load(animation({10, 20, 30}));
    const int draws = animator->frameDraws();
    animator->setAnimate(true);
    EXPECT_TRUE(animator->Animate());
    EXPECT_EQ(animator->Timer().pendingDelay(), 0);

    struct Step {
        int frame;
        int wait;
    };
    // After the last frame the first follows, without end.
    for (const Step s : {Step{1, 200}, {2, 300}, {0, 100}, {1, 200}, {2, 300}, {0, 100}}) {
        animator->Timer().fire();
        EXPECT_EQ(animator->FrameIndex(), s.frame);
        EXPECT_EQ(animator->Timer().pendingDelay(), s.wait);
    }
    // Each step repainted at once and drew exactly one frame (the cache held the previous one,
    // except at the wrap, where the first frame covers the screen and is drawn alone).
    EXPECT_EQ(animator->frameDraws() - draws, 6);

    // Off: the frame reached stays; on again: the next frame at once.
    animator->Timer().fire();
    EXPECT_EQ(animator->FrameIndex(), 1);
    animator->setAnimate(false);
    EXPECT_EQ(animator->Timer().pendingDelay(), -1);
    EXPECT_EQ(animator->FrameIndex(), 1);
    animator->setAnimate(true);
    EXPECT_EQ(animator->Timer().pendingDelay(), 0);
    animator->Timer().fire();
    EXPECT_EQ(animator->FrameIndex(), 2);
}

TEST_F(AnimatorFixture, TheRepeatCountOfTheFileIsNotUsed) {
    Gif g;
    // Play once, then stop: the control still loops.
    g.bytes += QByteArray("\x21\xFF\x0BNETSCAPE2.0\x03\x01\x01\x00\x00", 19);
    plain(g, 10, 0, 0, 4, 4, 1);
    plain(g, 10, 0, 0, 4, 4, 2);
    load(g.trailer().bytes);
    animator->setAnimate(true);
    for (int frame : {1, 0, 1, 0, 1}) {
        animator->Timer().fire();
        EXPECT_EQ(animator->FrameIndex(), frame);
    }
    EXPECT_TRUE(animator->Animate());
}

TEST_F(AnimatorFixture, SingleFrameAndEmptyPicturesNeverStep) {
    Gif g;
    load(plain(g, 150, 0, 0, 4, 4, 1).trailer().bytes);
    const QImage before = parent.grab().toImage();
    animator->setAnimate(true);
    EXPECT_EQ(animator->Timer().pendingDelay(), -1);
    animator->StepFrame();
    EXPECT_EQ(animator->FrameIndex(), 0);
    animator->setAnimate(false);
    EXPECT_EQ(parent.grab().toImage(), before);

    load({});
    animator->setAnimate(true);
    animator->Timer().fire();
    EXPECT_EQ(animator->FrameIndex(), -1);
    EXPECT_EQ(shown(2, 2), kParent);
}

TEST_F(AnimatorFixture, StepsOnlyWhileTheControlIsShownOnAParent) {
    load(animation({10, 10, 10}));
    animator->hide();
    animator->StepFrame();
    EXPECT_EQ(animator->FrameIndex(), 0);
    animator->show();
    // A hidden parent window does not stop it: the hint window's pictures keep running.
    parent.hide();
    animator->StepFrame();
    EXPECT_EQ(animator->FrameIndex(), 1);

    TGIFAnimator orphan;
    orphan.Image().LoadFromData(animation({10, 10}));
    orphan.StepFrame();
    EXPECT_EQ(orphan.FrameIndex(), 0);
}

TEST(FrameClock, RoundsWaitsUpToWhole10MsAndFollowsIntervalChanges) {
    TFrameClock clock;
    int events = 0;
    EXPECT_FALSE(clock.running());
    clock.setInterval(123);
    clock.setOnTimer([&] { ++events; });
    EXPECT_EQ(clock.pendingDelay(), 0);
    clock.fire();
    EXPECT_EQ(events, 1);
    EXPECT_EQ(clock.pendingDelay(), 130);
    // Disabled: the event does not run, whoever fires it.
    clock.setEnabled(false);
    EXPECT_EQ(clock.pendingDelay(), -1);
    clock.fire();
    EXPECT_EQ(events, 1);
    // An interval of 0 pauses it like switching it off.
    clock.setEnabled(true);
    clock.setInterval(0);
    EXPECT_FALSE(clock.running());
    clock.setInterval(40);
    EXPECT_EQ(clock.pendingDelay(), 0);
}

TEST(FrameClock, RunsOnTheEventLoopWithoutBeingDriven) {
    TFrameClock clock;
    clock.setInterval(10);
    int events = 0;
    clock.setOnTimer([&] {
        if (++events == 3)
            clock.setEnabled(false);
    });
    // The first event comes at once, the next two 10 ms apart.
    EXPECT_TRUE(QTest::qWaitFor([&] { return events == 3; }, 2000));
    EXPECT_FALSE(clock.running());
}

// ---- Composing ---------------------------------------------------------------------------------

TEST_F(AnimatorFixture, DisposalMethodsAndTheCache) {
    // Frame 0 red over the whole screen; frame 1 a green 2 x 2 square with the disposal method
    // under test; frame 2 one blue pixel in the corner.
    struct Case {
        int disposal;
        QRgb square; // what frame 2's picture shows where the square was
        int draws;   // frames drawn composing 0, 1 and 2 in turn
    };
    const QRgb window = animator->palette().color(QPalette::Base).rgb();
    for (const Case c : {Case{0, kGreen, 3}, {1, kGreen, 3}, {2, window, 3}, {3, kRed, 4}}) {
        SCOPED_TRACE(c.disposal);
        Gif g;
        plain(g, 10, 0, 0, 4, 4, 1);
        plain(g, 10, 1, 1, 2, 2, 2, c.disposal);
        plain(g, 10, 0, 0, 1, 1, 3);
        load(g.trailer().bytes);
        const int before = animator->frameDraws();
        animator->ComposeFrame(0);
        EXPECT_EQ(at(animator->ComposeFrame(1), 1, 1), kGreen);
        const QImage img = animator->ComposeFrame(2);
        EXPECT_EQ(animator->frameDraws() - before, c.draws);
        EXPECT_EQ(at(img, 0, 0), kBlue);
        EXPECT_EQ(at(img, 3, 3), kRed);
        EXPECT_EQ(at(img, 1, 1), c.square);
        EXPECT_EQ(at(img, 2, 2), c.square);
        // A jump builds afresh and gives the same picture.
        load(g.bytes);
        EXPECT_EQ(animator->ComposeFrame(2), img);
    }
}

TEST_F(AnimatorFixture, RestoreToPreviousAtTheFirstFrameLeavesTheBackground) {
    Gif g;
    plain(g, 10, 0, 0, 4, 4, 1, 3);
    plain(g, 10, 0, 0, 1, 1, 3);
    load(g.trailer().bytes);
    animator->ComposeFrame(0);
    const QImage img = animator->ComposeFrame(1);
    EXPECT_EQ(at(img, 0, 0), kBlue);
    EXPECT_EQ(at(img, 2, 2), animator->palette().color(QPalette::Base).rgb());
}

TEST_F(AnimatorFixture, TheParentShowsThroughTheTransparentBackground) {
    // The first frame has transparent index 0 (black) and a red pixel; frame 1 paints a green
    // square and is disposed to the background; frame 2 paints one blue pixel.
    Gif g;
    std::vector<uint8_t> first = fill(16, 0);
    first[0] = 1;
    g.control(10, 0, 0).image(0, 0, 4, 4, first);
    plain(g, 10, 2, 2, 2, 2, 2, 2, 0);
    plain(g, 10, 3, 0, 1, 1, 3, 0, 0);
    load(g.trailer().bytes);
    EXPECT_EQ(shown(0, 0), kRed);
    EXPECT_EQ(shown(1, 1), kParent);

    animator->StepFrame();
    EXPECT_EQ(shown(2, 2), kGreen);
    EXPECT_EQ(shown(1, 1), kParent);
    animator->StepFrame();
    EXPECT_EQ(shown(0, 0), kRed);
    EXPECT_EQ(shown(2, 2), kParent); // cleared to the background, which is transparent
    EXPECT_EQ(shown(3, 0), kBlue);

    // With Transparent off the background is painted in the transparent entry's colour.
    animator->setTransparent(false);
    EXPECT_EQ(shown(2, 2), kBlack);
}

TEST_F(AnimatorFixture, FramesOutsideTheScreenAreClipped) {
    Gif g;
    plain(g, 10, 0, 0, 4, 4, 1);
    plain(g, 10, 3, 3, 4, 4, 2);     // partly outside
    plain(g, 10, 100, 100, 2, 2, 3); // wholly outside
    load(g.trailer().bytes);
    animator->StepFrame();
    EXPECT_EQ(shown(3, 3), kGreen);
    EXPECT_EQ(shown(2, 2), kRed);
    EXPECT_EQ(animator->size(), QSize(4, 4));
    // Nothing of the frame lies beyond the control.
    EXPECT_EQ(parent.grab().toImage().pixel(animator->x() + 4, animator->y() + 4) | 0xFF000000u,
              kParent);
    animator->StepFrame();
    EXPECT_EQ(shown(3, 3), kGreen);
}

TEST_F(AnimatorFixture, ALeftClickOverTheControlIsAClick) {
    Gif g;
    load(plain(g, 10, 0, 0, 4, 4, 1).trailer().bytes);
    animator->resize(20, 20);
    QSignalSpy clicks(animator, &TGIFAnimator::OnClick);
    QTest::mouseClick(animator, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(clicks.count(), 1);
    QTest::mouseClick(animator, Qt::RightButton, {}, QPoint(5, 5));
    EXPECT_EQ(clicks.count(), 1);
    // Pressed on it, released elsewhere: no click.
    QTest::mousePress(animator, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(animator, Qt::LeftButton, {}, QPoint(50, 50));
    EXPECT_EQ(clicks.count(), 1);
}

// ---- The published corpus ----------------------------------------------------------------------

// Every frame composed as the control does, against the corpus's expected picture. Where the
// control's rules differ from a generic decoder, its rules hold:
// - the background: where the corpus shows transparency, the control shows the transparent colour
//   of the first frame, keyed out (so transparent as well) when the first frame has one, and
//   otherwise the picture's background colour or the window colour; those pixels are compared
//   only for being transparent when the control keys them out;
// - a frame partly outside the screen is clipped to it, as in the corpus.
TEST(GifAnimatorCorpus, ComposedFramesMatchTheExpectedPictures) {
    const QDir dir(QStringLiteral(SORABI_SHARED "/gif-corpus/gifs"));
    if (!dir.exists())
        GTEST_SKIP() << "no " << dir.path().toStdString();
    int compared = 0;
    for (const QString& name : dir.entryList({QStringLiteral("*.gif")}, QDir::Files)) {
        SCOPED_TRACE(name.toStdString());
        TGIFAnimator animator;
        animator.Image().LoadGifFile(dir.filePath(name));
        const bool keyed = animator.Image().Frame(0).transparentIndex() >= 0;
        for (int i = 0; i < animator.Image().FrameCount(); ++i) {
            const QImage got = animator.ComposeFrame(i);
            const QString png = corpusFramePath(dir, name, i, animator.Image().FrameCount());
            const QImage expected = QImage(png).convertToFormat(QImage::Format_ARGB32);
            ASSERT_FALSE(expected.isNull()) << png.toStdString();
            ASSERT_EQ(expected.size(), got.size());
            int wrong = 0;
            for (int y = 0; y < got.height(); ++y)
                for (int x = 0; x < got.width(); ++x) {
                    const QRgb a = got.pixel(x, y);
                    const QRgb b = expected.pixel(x, y);
                    if (qAlpha(b) == 0)
                        wrong += keyed && qAlpha(a) != 0 ? 1 : 0;
                    else
                        wrong += a == b ? 0 : 1;
                }
            EXPECT_EQ(wrong, 0) << "frame " << i;
            ++compared;
        }
    }
    EXPECT_GT(compared, 0);
}

} // namespace

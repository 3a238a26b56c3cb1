#include "widgets/progressbar.h"
#include "widgets/statusbar.h"

#include <QApplication>
#include <QPaintEvent>
#include <QPointer>
#include <QTest>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

// The main window's status bar: 381 wide, two bars in the first two panels, the position counter
// right-aligned in the third.
class StatusBarFixture : public testing::Test {
protected:
    StatusBarFixture() {
        sbar.resize(381, 19);
        sbar.addPanel(100);
        sbar.addPanel(100);
        sbar.addPanel(50, Qt::AlignRight);
        progCurr->resize(94, 30);
        progAll->resize(92, 15);
        sbar.setPanelControl(0, progCurr);
        sbar.setPanelControl(1, progAll);
    }

    TStatusBar sbar;
    QPointer<TSpecialProgress> progCurr = new TSpecialProgress;
    QPointer<TSpecialProgress> progAll = new TSpecialProgress;
};

// Records the region of each paint event of a widget.
class PaintSpy : public QObject {
public:
    QRegion painted;

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint)
            painted += static_cast<QPaintEvent*>(e)->region();
        return false;
    }
};

} // namespace

TEST_F(StatusBarFixture, ControlsSitInTheirPanels) {
    EXPECT_EQ(sbar.height(), 19);
    EXPECT_EQ(progCurr->parentWidget(), &sbar);
    EXPECT_EQ(progCurr->geometry(), QRect(3, 3, 94, 15)) << "height from the bar, width kept";
    EXPECT_EQ(progAll->geometry(), QRect(103, 3, 92, 15));
    EXPECT_EQ(sbar.panel(0).Control, progCurr);
    EXPECT_EQ(sbar.panel(2).Control, nullptr);
}

TEST_F(StatusBarFixture, MarginsAndWidthsPlaceAgain) {
    sbar.setPanelMargins(1, 5, 1);
    EXPECT_EQ(progAll->geometry(), QRect(105, 1, 92, 15));
    sbar.setPanelWidth(0, 120);
    EXPECT_EQ(progAll->geometry(), QRect(125, 1, 92, 15));
    EXPECT_EQ(progCurr->geometry(), QRect(3, 3, 94, 15));
}

TEST_F(StatusBarFixture, ResizePlacesAgain) {
    sbar.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&sbar));
    progAll->move(40, 0);
    sbar.resize(400, 19);
    EXPECT_EQ(progAll->pos(), QPoint(103, 3));
}

TEST_F(StatusBarFixture, ControlMovesToAnotherPanel) {
    sbar.setPanelControl(2, progCurr);
    EXPECT_EQ(sbar.panel(0).Control, nullptr);
    EXPECT_EQ(progCurr->pos(), QPoint(203, 3));
}

TEST_F(StatusBarFixture, DestroyedControlLeavesItsPanel) {
    delete progCurr.data();
    EXPECT_EQ(sbar.panel(0).Control, nullptr);
    sbar.setPanelMargins(0, 4, 4);
    sbar.PlaceControls();
    EXPECT_EQ(progAll->geometry(), QRect(103, 3, 92, 15));
}

TEST_F(StatusBarFixture, LastPanelReachesTheRightEdge) {
    EXPECT_EQ(sbar.panelRect(1), QRect(100, 0, 100, 19));
    EXPECT_EQ(sbar.panelRect(2), QRect(200, 0, 181, 19));
}

// The counter's glyphs lie at the right end of the last panel, not at its left.
TEST_F(StatusBarFixture, RightAlignedTextAtTheRightEdge) {
    QPalette pal = sbar.palette();
    pal.setColor(QPalette::ButtonText, Qt::black);
    sbar.setPalette(pal);
    sbar.setPanelText(2, QStringLiteral("3/120/150"));
    EXPECT_EQ(sbar.panelText(2), QStringLiteral("3/120/150"));
    const QImage img = sbar.grab().toImage();
    int left = img.width();
    int right = -1;
    for (int y = 3; y < 17; ++y)
        for (int x = 200; x < img.width(); ++x)
            if (qGray(img.pixel(x, y)) < 60) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
    ASSERT_GE(right, 0) << "no text drawn";
    EXPECT_GE(right, 381 - 12);
    EXPECT_LT(right, 381 - 2);
    EXPECT_GT(left, 290);
}

TEST_F(StatusBarFixture, TextChangeRepaintsOnlyItsPanel) {
    sbar.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&sbar));
    QApplication::processEvents();
    PaintSpy spy;
    sbar.installEventFilter(&spy);
    sbar.setPanelText(2, QStringLiteral("1/2/3"));
    QApplication::processEvents();
    EXPECT_EQ(spy.painted, QRegion(sbar.panelRect(2)));
    sbar.removeEventFilter(&spy);
}

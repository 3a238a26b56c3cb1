#include "widgets/formmagnet.h"

#include <QWidget>
#include <gtest/gtest.h>
#include <string>

using magnet::Edges;

namespace {

const Edges kWork{0, 0, 1280, 994};
constexpr int kA = 15;
constexpr qint64 kNow = 100000;

// A window of 381 x 303 with its top-left corner at (x, y).
Edges at(int x, int y) {
    return {x, y, x + 381, y + 303};
}

struct Step {
    const char* name;
    Edges from;
    Edges proposed;
    bool recent; // the edges snapped within the last 250 ms
    Edges expected;
};

[[maybe_unused]] void PrintTo(const Step& s, std::ostream* os) {
    *os << s.name;
}

const Step kSteps[] = {
    // The default place: top 0, right edge 5 pixels inside.
    {"1 left from the default place: right in", at(894, 0), at(893, 0), false, at(884, 0)},
    {"1 right from the default place: right flush", at(894, 0), at(895, 0), false, at(899, 0)},
    {"1 down: top flush", at(894, 0), at(894, 1), false, at(894, 0)},
    {"2 down: top in", at(894, 0), at(894, 2), false, at(894, 15)},
    {"16 down: as proposed", at(894, 0), at(894, 16), false, at(894, 16)},
    {"left 20 to 10: flush", at(20, 100), at(10, 100), false, at(0, 100)},
    {"flush left, 5 further, stale: out", at(0, 100), at(-5, 100), false, at(-15, 100)},
    {"flush left, 5 further, recent: flush", at(0, 100), at(-5, 100), true, at(0, 100)},
    {"flush top, 5 further, stale: out", at(100, 0), at(100, -5), false, at(100, -15)},
    {"flush top, 5 further, recent: flush", at(100, 0), at(100, -5), true, at(100, 0)},
    {"flush right, 5 further, stale: out", at(899, 100), at(904, 100), false, at(914, 100)},
    {"flush right, 5 further, recent: flush", at(899, 100), at(904, 100), true, at(899, 100)},
    {"flush right, 1 back: stays flush", at(899, 100), at(898, 100), false, at(899, 100)},
    {"flush right, 5 back: right in", at(899, 100), at(894, 100), false, at(884, 100)},
    {"flush left, 1 right: left in", at(0, 100), at(1, 100), false, at(15, 100)},
    {"flush left, 5 right: left in", at(0, 100), at(5, 100), false, at(15, 100)},
    {"bottom 20 above, 10 down: bottom flush", at(100, 671), at(100, 681), false, at(100, 691)},
    {"flush bottom, 1 further, stale: out", at(100, 691), at(100, 692), false, at(100, 706)},
    {"flush bottom, 1 further, recent: out", at(100, 691), at(100, 692), true, at(100, 706)},
    {"middle of the screen: as proposed", at(400, 300), at(410, 290), false, at(410, 290)},
};

class WorkArea : public testing::TestWithParam<Step> {};

} // namespace

TEST_P(WorkArea, SnapsTheProposedRectangle) {
    const Step& s = GetParam();
    magnet::SnapTimes times;
    if (s.recent)
        times = {kNow - 100, kNow - 100, kNow - 100, kNow - 100};
    const Edges got = magnet::snapToWorkArea(s.from, s.proposed, kWork, kA, kNow, times);
    EXPECT_EQ(got.toRect(), s.expected.toRect()) << s.name;
}

INSTANTIATE_TEST_SUITE_P(Magnet, WorkArea, testing::ValuesIn(kSteps),
                         [](const testing::TestParamInfo<Step>& info) {
                             return "Step" + std::to_string(info.index);
                         });

TEST(Magnet, SnapsRecordTheirEdgeAndGoStaleAfter250Ms) {
    magnet::SnapTimes times;
    // A snap of the left edge at kNow.
    magnet::snapToWorkArea(at(20, 100), at(10, 100), kWork, kA, kNow, times);
    EXPECT_EQ(times.left, kNow);
    EXPECT_EQ(times.right, magnet::SnapTimes::kLongAgo);
    // Pulled further out 250 ms later the edge holds; 251 ms later it lets go.
    EXPECT_EQ(magnet::snapToWorkArea(at(0, 100), at(-5, 100), kWork, kA, kNow + 250, times),
              at(0, 100));
    times.left = kNow;
    EXPECT_EQ(magnet::snapToWorkArea(at(0, 100), at(-5, 100), kWork, kA, kNow + 251, times),
              at(-15, 100));
}

namespace {

// A magnet on a real window, with the test's work area and clock.
class MagnetFixture : public testing::Test {
protected:
    MagnetFixture() {
        window.setGeometry(894, 0, 381, 303);
        magnetOf.Active = true;
        magnetOf.MainFormMagnet = true;
        magnetOf.now = [this] {
            return clock;
        };
        magnetOf.workArea = [](const QRect&) {
            return kWork.toRect();
        };
    }
    QWidget window;
    TFormMagnet magnetOf{&window};
    qint64 clock = kNow;
};

} // namespace

TEST_F(MagnetFixture, InactiveMagnetChangesNothing) {
    magnetOf.Active = false;
    EXPECT_EQ(magnetOf.moving(at(894, 0).toRect(), at(893, 0).toRect()), at(893, 0).toRect());
}

TEST_F(MagnetFixture, TouchingWindowsAreDraggedAlong) {
    // The hint window sits left of the main window, level with its top; another window does not
    // touch it.
    QWidget hint(nullptr, Qt::Tool);
    hint.setGeometry(894 - 100, 0, 100, 59);
    QWidget away(nullptr, Qt::Tool);
    away.setGeometry(100, 500, 100, 59);
    // 30 pixels left and 40 down: no edge is near, the step is taken as proposed.
    const QRect result = magnetOf.moving(at(894, 0).toRect(), at(864, 40).toRect());
    EXPECT_EQ(result, at(864, 40).toRect());
    EXPECT_EQ(hint.geometry(), QRect(764, 40, 100, 59));
    EXPECT_EQ(away.geometry(), QRect(100, 500, 100, 59));
}

TEST_F(MagnetFixture, GluedWindowFollowsTheSnappedPlace) {
    QWidget hint(nullptr, Qt::Tool);
    hint.setGeometry(894 - 100, 0, 100, 59);
    // One pixel right from the default place snaps the right edge flush: 5 pixels right.
    EXPECT_EQ(magnetOf.moving(at(894, 0).toRect(), at(895, 0).toRect()), at(899, 0).toRect());
    EXPECT_EQ(hint.geometry(), QRect(799, 0, 100, 59));
}

TEST(MagnetRules, GluedNeedsOneCoincidingEdge) {
    const QRect m(100, 100, 50, 40);
    EXPECT_TRUE(magnet::glued(QRect(150, 500, 10, 10), m)); // left on m's right
    EXPECT_TRUE(magnet::glued(QRect(500, 140, 10, 10), m)); // top on m's bottom
    EXPECT_TRUE(magnet::glued(QRect(90, 0, 10, 10), m));    // right on m's left
    EXPECT_TRUE(magnet::glued(QRect(0, 90, 10, 10), m));    // bottom on m's top
    EXPECT_FALSE(magnet::glued(QRect(151, 101, 10, 10), m));
    EXPECT_FALSE(magnet::glued(m, m)); // a window is not glued to itself
}

TEST(MagnetRules, MainWindowRulesActOnlyOnAStepOfNearlyTheWindowsOwnSize) {
    magnet::SnapTimes times;
    const Edges c = at(400, 300);
    // Up by 300, 3 pixels short of its own height, and 20 left: the bottom comes within 3 pixels
    // of the old top, so the window is put right above its old place.
    const Edges p = at(380, 0);
    const Edges got = magnet::snapToMainWindow(c, p, c, kA, kNow, times);
    EXPECT_EQ(got, at(380, -3));
    EXPECT_EQ(times.top, kNow);
    // A small step does nothing.
    magnet::SnapTimes fresh;
    EXPECT_EQ(magnet::snapToMainWindow(c, at(390, 290), c, kA, kNow, fresh), at(390, 290));
}

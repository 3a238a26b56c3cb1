#include "strokes/pathdata.h"

#include "tests/support/printers.h"

#include <gtest/gtest.h>

namespace {

struct Good {
    const char* data;
    int curves;  // cubic segments in the path
    QPointF end; // where the path ends
};

TEST(PathData, ReadsTheCommandsOfTheStrokeTable) {
    const Good cases[] = {
        // A stroke as the table has it: absolute moveto, relative curves with repetition.
        {"M11,54.25c3.19,0.62,6.25,0.75,9.73,0.5c20.64-1.5,50.39-5.12,68.58-5.24",
         2,
         {11 + 9.73 + 68.58, 54.25 + 0.5 - 5.24}},
        {"M0,0C1,1 2,2 3,3 4,4 5,5 6,6", 2, {6, 6}}, // implicit repetition
        {"M0 0 c 1 1 2 2 3 3 s 4 4 5 5", 2, {8, 8}}, // white space only; s relative
        {"M1-2c.5.5.5.5 1e1-1E+1", 1, {11, -12}},    // numbers end at sign or point
        {"m1,1 m2,2 C1,1,1,1,1,1", 1, {1, 1}},       // first m absolute, next relative
        {"M0,0S1,1,2,2", 1, {2, 2}},                 // S without a curve before
        {"  M0,0  C0,1,1,1,1,0  ", 1, {1, 0}},       // spaces around
    };
    for (const Good& c : cases) {
        SCOPED_TRACE(c.data);
        const strokes::PathParse p = strokes::parsePath(c.data);
        ASSERT_TRUE(p.ok()) << p.error.toStdString();
        int curves = 0;
        for (int i = 0; i < p.path.elementCount(); ++i)
            curves += p.path.elementAt(i).type == QPainterPath::CurveToElement;
        EXPECT_EQ(curves, c.curves);
        EXPECT_NEAR(p.path.currentPosition().x(), c.end.x(), 1e-9);
        EXPECT_NEAR(p.path.currentPosition().y(), c.end.y(), 1e-9);
    }
}

TEST(PathData, SmoothCurveMirrorsTheLastControlPoint) {
    const strokes::PathParse p = strokes::parsePath("M0,0C0,10,10,10,10,0S20,-10,20,0");
    ASSERT_TRUE(p.ok());
    // Elements: move, (curve, data, data) x 2; the second curve's first control point is the
    // first curve's second one mirrored about (10, 0).
    ASSERT_EQ(p.path.elementCount(), 7);
    EXPECT_EQ(QPointF(p.path.elementAt(4)), QPointF(10, -10));
}

TEST(PathData, AnythingElseIsAClearErrorWithItsOffset) {
    const struct {
        const char* data;
        const char* error;
    } cases[] = {
        {"", "the path is empty"},
        {"   ", "the path is empty"},
        {"C1,2,3,4,5,6", "the path must start with a moveto at offset 0"},
        {"M1,2L3,4", "unsupported path command \"L\" at offset 4"},
        {"M1,2Z", "unsupported path command \"Z\" at offset 4"},
        {"M1,2 q1,2,3,4", "unsupported path command \"q\" at offset 5"},
        {"M1,2\x01", "unsupported path command \"?\" at offset 4"},
        {"M1,2 3,4", "lines are not supported (coordinates after a moveto) at offset 5"},
        {"M1", "a number was expected at offset 2"},
        {"M1,,2", "a number was expected at offset 3"},
        {"M1,2c1,2,3", "a number was expected at offset 10"},
        {"M1,2c1,2,3,4,5,6 7", "a number was expected at offset 18"},
        {"M-.e1,2", "a number was expected at offset 1"},
        {"M1e999,2", "a number was expected at offset 1"},
        {"M1001,0", "a coordinate is out of range at offset 1"},
        {"M0,0c999,0,999,0,999,0c999,0,999,0,999,0", "a coordinate is out of range at offset 23"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.data);
        const strokes::PathParse p = strokes::parsePath(c.data);
        EXPECT_EQ(p.error.toStdString(), c.error);
        EXPECT_TRUE(p.path.isEmpty());
    }
}

TEST(PathData, AVeryLongNumberIsRefusedNotCopied) {
    const QByteArray data = "M" + QByteArray(100000, '1') + ",2";
    EXPECT_FALSE(strokes::parsePath(data).ok());
}

} // namespace

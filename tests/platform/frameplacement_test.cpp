#include "platform/frameplacement.h"

#include <QCoreApplication>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>
#include <vector>

namespace {

// The offscreen platform gives windows a frame of 2 pixels once they are shown, as a window manager
// does: a placement made before is done again within the frame.
TEST(FramePlacement, PlacesTheFrameAndReportsWhileItIsPending) {
    QWidget window;
    platform::FramePlacement placement(window, true);
    std::vector<bool> pending;
    placement.onPending = [&](bool on) {
        pending.push_back(on);
    };

    placement.place(QPoint(-105, 100), QSize(305, 105));
    EXPECT_EQ(pending, std::vector<bool>{true});
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    // The timer's checks, driven here: the frame has come, the window is placed in it and then
    // stands.
    for (int i = 0; i < 5 && pending.size() < 2; ++i) {
        placement.check();
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(pending, (std::vector<bool>{true, false}));
    EXPECT_EQ(window.frameGeometry(), QRect(-105, 100, 305, 105));
    // Fixed: the user cannot resize it.
    EXPECT_EQ(window.minimumSize(), window.maximumSize());

    // A placement of a shown window knows its frame at once.
    placement.place(QPoint(10, 20), QSize(50, 60));
    for (int i = 0; i < 5 && pending.size() < 4; ++i) {
        placement.check();
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(pending, (std::vector<bool>{true, false, true, false}));
    EXPECT_EQ(window.frameGeometry(), QRect(10, 20, 50, 60));

    // An outer size the frame would eat up: the client keeps the size its content needs.
    placement.place(QPoint(10, 20), QSize(3, 3), QSize(40, 30));
    for (int i = 0; i < 5 && pending.size() < 6; ++i) {
        placement.check();
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(window.size(), QSize(40, 30));
    EXPECT_EQ(window.frameGeometry().topLeft(), QPoint(10, 20));
}

} // namespace

#include "platform/terminationsignals.h"

#include <QSignalSpy>
#include <csignal>
#include <gtest/gtest.h>

class TerminationSignalsTest : public testing::TestWithParam<int> {};

// The signal arrives as a Qt signal on the event loop instead of ending the process.
TEST_P(TerminationSignalsTest, ArrivesOnTheEventLoop) {
    platform::TerminationSignals watcher;
    ASSERT_TRUE(watcher.isActive());
    QSignalSpy spy(&watcher, &platform::TerminationSignals::received);
    ASSERT_EQ(::raise(GetParam()), 0);
    ASSERT_TRUE(spy.wait(5000));
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(0).toInt(), GetParam());
}

INSTANTIATE_TEST_SUITE_P(Platform, TerminationSignalsTest, testing::Values(SIGTERM, SIGINT, SIGHUP),
                         [](const testing::TestParamInfo<int>& info) {
                             return std::string(info.param == SIGTERM  ? "SIGTERM"
                                                : info.param == SIGINT ? "SIGINT"
                                                                       : "SIGHUP");
                         });

TEST(TerminationSignals, SeveralSignalsAreAllDelivered) {
    platform::TerminationSignals watcher;
    QSignalSpy spy(&watcher, &platform::TerminationSignals::received);
    ::raise(SIGHUP);
    ::raise(SIGTERM);
    ASSERT_TRUE(spy.wait(5000));
    if (spy.count() < 2) {
        ASSERT_TRUE(spy.wait(5000));
    }
    EXPECT_EQ(spy.count(), 2);
}

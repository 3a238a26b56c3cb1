#include "platform/tooltipdelay.h"

#include <QApplication>
#include <QProxyStyle>
#include <QStyle>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

// Puts the application's delay back after each test: other tests share the application.
class ToolTipDelay : public testing::Test {
protected:
    void TearDown() override { platform::setToolTipDelay(m_saved); }

    const int m_saved = platform::toolTipDelay();
};

int wakeUpDelay(const QWidget& widget) {
    return widget.style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay, nullptr, &widget);
}

} // namespace

// Qt asks the style of the widget under the pointer; the value set is what every widget's style
// answers, and the style still gives its own answers to everything else.
TEST_F(ToolTipDelay, EveryWidgetAnswersTheDelaySet) {
    QStyle* before = QApplication::style();
    const int fallAsleep = before->styleHint(QStyle::SH_ToolTip_FallAsleepDelay);
    const int margin = before->pixelMetric(QStyle::PM_ButtonMargin);
    QWidget widget;

    platform::setToolTipDelay(90);
    EXPECT_EQ(platform::toolTipDelay(), 90);
    EXPECT_EQ(wakeUpDelay(widget), 90);
    EXPECT_EQ(QApplication::style()->styleHint(QStyle::SH_ToolTip_FallAsleepDelay), fallAsleep);
    EXPECT_EQ(QApplication::style()->pixelMetric(QStyle::PM_ButtonMargin), margin);

    // Later changes reuse the proxy: each new application style repolishes every widget.
    QStyle* proxy = QApplication::style();
    platform::setToolTipDelay(500);
    EXPECT_EQ(QApplication::style(), proxy);
    EXPECT_EQ(wakeUpDelay(widget), 500);

    platform::setToolTipDelay(-20);
    EXPECT_EQ(platform::toolTipDelay(), 0);
}

// Replacing the application style drops the proxy with the delay it held; the next change
// installs a proxy over the new style.
TEST_F(ToolTipDelay, SurvivesANewApplicationStyle) {
    platform::setToolTipDelay(90);
    auto* proxy = qobject_cast<QProxyStyle*>(QApplication::style());
    ASSERT_NE(proxy, nullptr);
    const QString name = proxy->baseStyle()->name();

    QApplication::setStyle(name); // deletes the proxy
    const int usual = platform::toolTipDelay();
    EXPECT_NE(usual, 90);

    platform::setToolTipDelay(250);
    QWidget widget;
    EXPECT_EQ(wakeUpDelay(widget), 250);
    EXPECT_EQ(qobject_cast<QProxyStyle*>(QApplication::style())->baseStyle()->name(), name);
}

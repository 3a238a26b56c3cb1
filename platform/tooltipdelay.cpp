#include "platform/tooltipdelay.h"

#include <QApplication>
#include <QPointer>
#include <QProxyStyle>
#include <algorithm>

namespace platform {

namespace {

class ToolTipDelayStyle : public QProxyStyle {
public:
    // Takes ownership of base, as every proxy style does.
    explicit ToolTipDelayStyle(QStyle* base) : QProxyStyle(base) {}

    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_ToolTip_WakeUpDelay)
            return delay;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }

    int delay = 0;
};

// The proxy while it lives; QApplication deletes it when the application style is replaced.
QPointer<ToolTipDelayStyle> installed;

bool haveApplication() {
    return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
}

} // namespace

int toolTipDelay() {
    if (!haveApplication())
        return 0;
    return QApplication::style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay);
}

void setToolTipDelay(int ms) {
    if (!haveApplication())
        return;
    ms = std::max(ms, 0);
    if (installed && QApplication::style() == installed.data()) {
        installed->delay = ms;
        return;
    }
    // The proxy takes the current style as its base, so widgets keep their look; QApplication
    // takes ownership of the proxy and keeps the base alive through it.
    auto* style = new ToolTipDelayStyle(QApplication::style());
    style->delay = ms;
    installed = style;
    QApplication::setStyle(style);
}

} // namespace platform

#include "platform/colors.h"

#include <QGuiApplication>
#include <QPalette>

namespace platform {

namespace {

QColor systemColor(int index) {
    const QPalette p = QGuiApplication::palette();
    switch (index) {
    case 5: // window background
        return p.color(QPalette::Base);
    case 8:  // window text
    case 18: // button text
        return p.color(QPalette::Text);
    case 13:
        return p.color(QPalette::Highlight);
    case 14:
        return p.color(QPalette::HighlightedText);
    case 16: // button shadow
        return p.color(QPalette::Dark);
    case 17: // grey text
        return p.color(QPalette::PlaceholderText);
    case 20: // button highlight
        return p.color(QPalette::Light);
    case 23:
        return p.color(QPalette::ToolTipText);
    case 24:
        return p.color(QPalette::ToolTipBase);
    case 15: // button face
    default:
        return p.color(QPalette::Button);
    }
}

} // namespace

QColor toQColor(qint32 value) {
    const auto v = quint32(value);
    if ((v & 0xFF000000u) == 0xFF000000u)
        return systemColor(int(v & 0xFFu));
    return QColor(int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF));
}

} // namespace platform

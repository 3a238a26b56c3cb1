#include "widgets/trayicon.h"

#include <QCursor>
#include <QGuiApplication>
#include <QMenu>

namespace {

std::optional<bool>& availabilityOverride() {
    static std::optional<bool> value;
    return value;
}

} // namespace

TTrayIcon::TTrayIcon(QObject* parent) : QObject(parent), m_icon(new QSystemTrayIcon(this)) {
    connect(m_icon, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                handleActivation(reason, QCursor::pos());
            });
}

TTrayIcon::~TTrayIcon() {
    setActive(false);
}

bool TTrayIcon::available() {
    if (availabilityOverride())
        return *availabilityOverride();
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void TTrayIcon::setAvailabilityForTesting(std::optional<bool> value) {
    availabilityOverride() = value;
}

void TTrayIcon::setActive(bool active) {
    if (active == m_active)
        return;
    m_active = active;
    if (active) {
        chooseIcon();
        AddIcon();
    } else {
        DeleteIcon();
    }
}

void TTrayIcon::setIcon(const QIcon& icon) {
    m_iconProperty = icon;
    chooseIcon();
}

void TTrayIcon::setHint(const QString& hint) {
    m_hint = hint;
    m_icon->setToolTip(toolTip());
}

QString TTrayIcon::toolTip() const {
    return m_hint.section(u'|', 0, 0);
}

void TTrayIcon::chooseIcon() {
    m_currentIcon = m_iconProperty.isNull() ? QGuiApplication::windowIcon() : m_iconProperty;
    m_icon->setIcon(m_currentIcon);
}

void TTrayIcon::AddIcon() {
    if (m_iconShown || !m_active)
        return;
    m_icon->setToolTip(toolTip());
    m_icon->show();
    m_iconShown = available();
}

void TTrayIcon::DeleteIcon() {
    if (!m_iconShown && !m_icon->isVisible())
        return;
    m_icon->hide();
    m_iconShown = false;
}

void TTrayIcon::handleActivation(QSystemTrayIcon::ActivationReason reason, QPoint cursor) {
    const Qt::KeyboardModifiers shift = QGuiApplication::queryKeyboardModifiers();
    switch (reason) {
    case QSystemTrayIcon::Trigger:
        emit OnClick(Qt::LeftButton, shift, cursor);
        break;
    case QSystemTrayIcon::MiddleClick:
        emit OnClick(Qt::MiddleButton, shift, cursor);
        break;
    case QSystemTrayIcon::Context:
        emit OnClick(Qt::RightButton, shift, cursor);
        openMenu(cursor);
        break;
    case QSystemTrayIcon::DoubleClick:
        // The first press of a double click was already a click; the menu has no default item
        // for the second.
        if (m_popupMenu && m_popupMenu->defaultAction())
            m_popupMenu->defaultAction()->trigger();
        break;
    case QSystemTrayIcon::Unknown:
        break;
    }
}

void TTrayIcon::openMenu(QPoint at) {
    if (!m_popupMenu)
        return;
    m_popupMenu->popup(at);
    m_popupMenu->activateWindow();
}

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

TTrayIcon::TTrayIcon(QObject* parent)
    : QObject(parent), m_icon(new QSystemTrayIcon(this)), m_watch(new QTimer(this)) {
    connect(m_icon, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                handleActivation(reason, QCursor::pos());
            });
    m_watch->setInterval(1000);
    connect(m_watch, &QTimer::timeout, this, &TTrayIcon::refresh);
}

void TTrayIcon::setPopupMenu(QMenu* menu) {
    m_popupMenu = menu;
    m_icon->setContextMenu(menu);
}

void TTrayIcon::setIconShown(bool shown) {
    if (shown == m_iconShown)
        return;
    m_iconShown = shown;
    emit IconShownChanged(shown);
}

bool TTrayIcon::refresh() {
    if (!m_active)
        return m_iconShown;
    const bool there = available();
    if (there && !m_iconShown) {
        // A notification area that has just appeared: the icon goes into it.
        m_icon->hide();
        m_icon->show();
    }
    setIconShown(there);
    return m_iconShown;
}

TTrayIcon::~TTrayIcon() {
    // Nobody is told: the owner may be half gone already.
    blockSignals(true);
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
        m_watch->start();
    } else {
        m_watch->stop();
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
    setIconShown(available());
}

void TTrayIcon::DeleteIcon() {
    if (!m_iconShown && !m_icon->isVisible())
        return;
    m_icon->hide();
    setIconShown(false);
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
        // The menu is the icon's context menu: the toolkit or the notification area opens it.
        emit OnClick(Qt::RightButton, shift, cursor);
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

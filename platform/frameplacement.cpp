#include "platform/frameplacement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <algorithm>

namespace platform {

namespace {
// The frame normally arrives within a few event-loop turns of the window being mapped; the
// check runs every 25 ms for at most two seconds.
constexpr int kPollInterval = 25;
constexpr int kMaxPolls = 80;
} // namespace

FramePlacement::FramePlacement(QWidget& window, bool fixedSize)
    : QObject(&window), m_window(window), m_fixedSize(fixedSize) {
    m_poll.setInterval(kPollInterval);
    connect(&m_poll, &QTimer::timeout, this, &FramePlacement::check);
    m_window.installEventFilter(this);
}

QMargins FramePlacement::frameMargins(const QWidget& window) {
    const QWindow* handle = window.windowHandle();
    return handle ? handle->frameMargins() : QMargins();
}

FramePlacement& FramePlacement::of(QWidget& window) {
    for (QObject* child : window.children())
        if (auto* placement = dynamic_cast<FramePlacement*>(child))
            return *placement;
    return *new FramePlacement(window);
}

void FramePlacement::placeCentred() {
    m_centred = true;
    placeAgain();
}

void FramePlacement::place(QPoint framePos, std::optional<QSize> outerSize, QSize minClient) {
    m_centred = false;
    m_pos = framePos;
    m_size = outerSize;
    m_minClient = minClient.expandedTo(QSize(1, 1));
    placeAgain();
}

void FramePlacement::placeAgain() {
    setPending(true);
    apply();
    if (m_window.isVisible()) {
        m_polls = 0;
        m_poll.start();
        check();
    }
}

void FramePlacement::forget() {
    m_poll.stop();
    setPending(false);
}

void FramePlacement::setPending(bool on) {
    if (on == m_pending)
        return;
    m_pending = on;
    if (onPending)
        onPending(on);
}

void FramePlacement::apply() {
    m_used = frameMargins(m_window);
    if (m_centred) {
        const QScreen* screen =
            m_window.screen() ? m_window.screen() : QGuiApplication::primaryScreen();
        if (!screen) {
            forget();
            return;
        }
        QRect frame(QPoint(), m_window.size().grownBy(m_used));
        frame.moveCenter(screen->availableGeometry().center());
        m_pos = frame.topLeft();
    }
    if (m_size) {
        const QSize client = QSize(m_size->width() - m_used.left() - m_used.right(),
                                   m_size->height() - m_used.top() - m_used.bottom())
                                 .expandedTo(m_minClient);
        if (m_fixedSize)
            m_window.setFixedSize(client);
        else
            m_window.resize(client);
    }
    m_window.move(m_pos);
}

void FramePlacement::check() {
    if (!m_pending) {
        m_poll.stop();
        return;
    }
    const QMargins now = frameMargins(m_window);
    if (now != m_used) {
        // The frame has come: place again, and wait for the window to report the move.
        apply();
        return;
    }
    // The window stands once its frame is known and it is where it was put; a window manager
    // (or the platform) that shifted it gets the place again. Without a window manager no frame
    // ever comes, and the checks end after a while.
    const bool framed = !now.isNull();
    if (framed && m_window.frameGeometry().topLeft() == m_pos) {
        forget();
        return;
    }
    if (framed)
        m_window.move(m_pos);
    if (++m_polls >= kMaxPolls)
        forget();
}

bool FramePlacement::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &m_window && event->type() == QEvent::Show && m_pending) {
        // The first check once the window is really up: the Show event comes before that.
        m_polls = 0;
        m_poll.start();
        QTimer::singleShot(0, this, &FramePlacement::check);
    }
    return false;
}

} // namespace platform

#include "widgets/formmagnet.h"

#include <QApplication>
#include <QDateTime>
#include <QEvent>
#include <QGuiApplication>
#include <QMoveEvent>
#include <QScreen>
#include <QWidget>
#include <cstdlib>

namespace magnet {

namespace {

constexpr qint64 kRecentMs = 250;

bool recent(qint64 stamp, qint64 now) {
    return std::llabs(now - stamp) <= kRecentMs;
}

bool in(int x, int lo, int hi) {
    return x >= lo && x <= hi;
}

// Moves p horizontally or vertically without changing its size.
void setLeft(Edges& p, int left) {
    p.right += left - p.left;
    p.left = left;
}
void setRight(Edges& p, int right) {
    setLeft(p, right - (p.right - p.left));
}
void setTop(Edges& p, int top) {
    p.bottom += top - p.top;
    p.top = top;
}
void setBottom(Edges& p, int bottom) {
    setTop(p, bottom - (p.bottom - p.top));
}

} // namespace

Edges snapToWorkArea(const Edges& c, Edges p, const Edges& w, int a, qint64 now, SnapTimes& t) {
    auto left = [&](int x) {
        setLeft(p, x);
        t.left = now;
    };
    auto right = [&](int x) {
        setRight(p, x);
        t.right = now;
    };
    auto top = [&](int y) {
        setTop(p, y);
        t.top = now;
    };
    auto bottom = [&](int y) {
        setBottom(p, y);
        t.bottom = now;
    };

    if (p.left < c.left) { // moving left
        const int d = p.left - w.left;
        const int e = w.right - p.right;
        if (!recent(t.left, now)) {
            if (in(d, 2, a) || std::abs(d) == 1)
                left(w.left);
            else if (in(-d, 2, a))
                left(w.left - a);
            else if (in(e, 2, a))
                right(w.right - a);
            else if (in(std::abs(e), 1, a))
                right(w.right);
        } else if (std::abs(d) < a) {
            left(w.left);
        } else if (std::abs(e) < a) {
            right(w.right);
        }
    }
    if (p.left > c.left) { // moving right
        const int d = p.left - w.left;
        const int e = w.right - p.right;
        if (!recent(t.right, now)) {
            if (in(e, 2, a) || std::abs(e) == 1)
                right(w.right);
            else if (in(-e, 2, a))
                right(w.right + a);
            else if (in(-d, 2, a))
                left(w.left);
            else if (in(std::abs(d), 1, a))
                left(w.left + a);
        } else if (std::abs(e) < a) {
            right(w.right);
        } else if (std::abs(d) < a) {
            left(w.left);
        }
    }
    if (p.top < c.top) { // moving up
        const int d = p.top - w.top;
        const int e = w.bottom - p.bottom;
        if (!recent(t.top, now)) {
            if (in(d, 2, a) || std::abs(d) == 1)
                top(w.top);
            else if (in(-d, 2, a))
                top(w.top - a);
            else if (in(e, 2, a))
                bottom(w.bottom - a);
            else if (in(std::abs(e), 1, a))
                bottom(w.bottom);
        } else if (std::abs(d) < a) {
            top(w.top);
        } else if (std::abs(e) < a) {
            bottom(w.bottom);
        }
    }
    if (p.top > c.top) { // moving down: the top edge is looked at first
        const int d = p.top - w.top;
        const int e = w.bottom - p.bottom;
        if (!recent(t.bottom, now)) {
            if (in(d, 2, a))
                top(w.top + a);
            else if (std::abs(d) < a)
                top(w.top);
            else if (in(e, 2, a))
                bottom(w.bottom);
            else if (in(std::abs(e), 1, a))
                bottom(w.bottom + a);
        } else if (std::abs(d) < a) {
            top(w.top);
        } else if (std::abs(e) < a) {
            bottom(w.bottom + a);
        }
    }
    return p;
}

Edges snapToMainWindow(const Edges& c, Edges p, const Edges& t, int a, qint64 now,
                       SnapTimes& times) {
    const bool alongX =
        (t.left < p.left && p.left < t.right) || (p.left < t.left && t.left < p.right);
    const bool alongY = (t.top < p.top && p.top < t.bottom) || (p.top < t.top && t.top < p.bottom);
    auto vertical = [&](int y) {
        setTop(p, y);
        times.top = now;
    };
    auto horizontal = [&](int x) {
        setLeft(p, x);
        times.right = now;
    };
    const int ph = p.bottom - p.top;
    const int pw = p.right - p.left;

    if (alongX && p.top < c.top) { // moving up
        const int d = p.top - t.bottom;
        const int e = p.bottom - t.top;
        if (!recent(times.top, now)) {
            if (in(d, 2, a))
                vertical(t.bottom);
            else if (in(-d, 2, a))
                vertical(t.bottom - a);
            else if (in(e, 2, a))
                vertical(t.top - ph);
            else if (in(-e, 2, a))
                vertical(t.top - ph - a);
        } else if (std::abs(d) < a) {
            vertical(t.bottom);
        } else if (std::abs(e) < a) {
            vertical(t.top - ph);
        }
    } else if (alongX && p.top > c.top) { // moving down
        const int d = p.top - t.bottom;
        const int e = p.bottom - t.top;
        if (!recent(times.top, now)) {
            if (in(d, 2, a))
                vertical(t.bottom + a);
            else if (in(-d, 2, a))
                vertical(t.bottom);
            else if (in(e, 1, a))
                vertical(t.top - ph);
            else if (in(std::abs(e), 2, a))
                vertical(t.top - ph + a);
        } else if (std::abs(d) < a) {
            vertical(t.bottom);
        } else if (e < a) {
            vertical(t.top - ph);
        }
    }
    if (alongY && p.left < c.left) { // moving left
        const int d = p.left - t.right;
        const int e = p.right - t.left;
        if (!recent(times.right, now)) {
            if (in(d, 2, a))
                horizontal(t.right);
            else if (in(std::abs(d), 2, a))
                horizontal(t.right - a);
            else if (in(e, 2, a))
                horizontal(t.left - pw);
            else if (in(std::abs(e), 2, a))
                horizontal(t.left - pw - a);
        } else if (std::abs(d) < a) {
            horizontal(t.right);
        } else if (std::abs(e) < a) {
            horizontal(t.left - pw);
        }
    } else if (alongY && p.left > c.left) { // moving right
        const int d = t.left - p.right;
        const int f = t.right - p.left;
        if (!recent(times.right, now)) {
            if (in(d, 2, a))
                horizontal(t.left - pw);
            else if (in(std::abs(d), 2, a))
                horizontal(t.left - pw + a);
            else if (in(f, 2, a))
                horizontal(t.right);
            else if (in(std::abs(f), 2, a))
                horizontal(t.right + a);
        } else if (std::abs(d) < a) {
            horizontal(t.left - pw);
        } else if (std::abs(f) < a) {
            horizontal(t.right);
        }
    }
    return p;
}

bool glued(const QRect& f, const QRect& m) {
    return f.left() == m.left() + m.width() || f.top() == m.top() + m.height() ||
           f.left() + f.width() == m.left() || f.top() + f.height() == m.top();
}

} // namespace magnet

TFormMagnet::TFormMagnet(QWidget* window) : QObject(window), m_window(window) {
    now = [] {
        return QDateTime::currentMSecsSinceEpoch();
    };
    workArea = [](const QRect& r) {
        const QScreen* screen = QGuiApplication::screenAt(r.center());
        if (!screen)
            screen = QGuiApplication::primaryScreen();
        return screen ? screen->availableGeometry() : QRect();
    };
    if (window) {
        m_lastPos = window->pos();
        window->installEventFilter(this);
    }
}

TFormMagnet::~TFormMagnet() {
    if (m_window)
        m_window->removeEventFilter(this);
}

QRect TFormMagnet::moving(const QRect& current, const QRect& proposed) {
    using magnet::Edges;
    if (!Active)
        return proposed;
    const Edges c = Edges::of(current);
    Edges p = Edges::of(proposed);
    const qint64 t = now();
    if (ScreenMagnet) {
        const QRect area = workArea(current);
        if (area.isValid())
            p = magnet::snapToWorkArea(c, p, Edges::of(area), Area, t, m_times);
    }
    if (FormGlue) {
        const QPoint offset = QPoint(p.left, p.top) - current.topLeft();
        for (QWidget* form : QApplication::topLevelWidgets()) {
            const Qt::WindowType type = form->windowType();
            if (form == m_window || offset.isNull() || type == Qt::Popup || type == Qt::ToolTip)
                continue;
            if (magnet::glued(form->frameGeometry(), current))
                form->move(form->pos() + offset);
        }
    }
    if (MainFormMagnet && m_window)
        p = magnet::snapToMainWindow(c, p, c, Area, t, m_times);
    return p.toRect();
}

void TFormMagnet::setSuspended(bool on) {
    m_suspended = on;
    if (m_window)
        m_lastPos = m_window->pos();
}

bool TFormMagnet::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_window)
        return QObject::eventFilter(watched, event);
    if (event->type() == QEvent::Show) {
        m_lastPos = m_window->pos();
    } else if (event->type() == QEvent::Move && !m_placing && !m_suspended &&
               m_window->isVisible()) {
        // A move the window reports while shown is a drag step from the last place.
        const QSize size = m_window->frameGeometry().size();
        const QRect current(m_lastPos, size);
        const QRect proposed(m_window->pos(), size);
        const QRect result = moving(current, proposed);
        m_lastPos = result.topLeft();
        if (result.topLeft() != proposed.topLeft()) {
            m_placing = true;
            m_window->move(result.topLeft());
            m_placing = false;
        }
    } else if (event->type() == QEvent::Move) {
        m_lastPos = m_window->pos();
    }
    return QObject::eventFilter(watched, event);
}

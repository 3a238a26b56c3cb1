#pragma once

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <functional>

class QWidget;

// Snapping of a dragged window to the edges of the work area, as pure rules on rectangles.
namespace magnet {

// A rectangle by its edges, right and bottom exclusive (right = left + width).
struct Edges {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    static Edges of(const QRect& r) {
        return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
    }
    QRect toRect() const { return QRect(left, top, right - left, bottom - top); }
    friend bool operator==(const Edges&, const Edges&) = default;
};

// When each edge last snapped, in milliseconds; a snap more than 250 ms away from now is stale.
struct SnapTimes {
    static constexpr qint64 kLongAgo = -(qint64(1) << 40);
    qint64 left = kLongAgo;
    qint64 right = kLongAgo;
    qint64 top = kLongAgo;
    qint64 bottom = kLongAgo;
};

// The proposed rectangle p of one drag step from c, snapped to the work area w with the distance
// a. The tests run in the order left, right, up, down, each on what the ones before left.
Edges snapToWorkArea(const Edges& c, Edges p, const Edges& w, int a, qint64 now, SnapTimes& times);

// The proposed rectangle snapped to the outer edges of the main window t.
Edges snapToMainWindow(const Edges& c, Edges p, const Edges& t, int a, qint64 now,
                       SnapTimes& times);

// Whether a window with rectangle f is glued to the window m: one of its edges lies on one of m's
// outer edges.
bool glued(const QRect& f, const QRect& m);

} // namespace magnet

// Makes its window snap to the work-area edges while the user drags it, and drags along the
// program's windows that touch it. On X11 the window manager moves the window itself, so each
// move the window reports is taken as one drag step: the previous place is the current rectangle,
// the reported one the proposal, and the window is moved to the snapped result when it differs.
class TFormMagnet : public QObject {
    Q_OBJECT

public:
    explicit TFormMagnet(QWidget* window);
    ~TFormMagnet() override;

    bool Active = false;
    bool ScreenMagnet = true;
    int Area = 15;
    bool FormGlue = true;
    bool MainFormMagnet = false;

    // One drag step from the window's current rectangle to the proposed one; returns where the
    // window should go. Moves the glued windows.
    QRect moving(const QRect& current, const QRect& proposed);

    // The clock of the snap times (tests set their own).
    std::function<qint64()> now;
    // The work area for a rectangle (tests set their own).
    std::function<QRect(const QRect&)> workArea;

    magnet::SnapTimes& times() { return m_times; }

    // While the program itself places the window (its moves are reported like drag steps),
    // the magnet only follows where the window goes.
    void setSuspended(bool on);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> m_window;
    magnet::SnapTimes m_times;
    QPoint m_lastPos;
    bool m_placing = false; // the magnet itself is moving the window
    bool m_suspended = false;
};

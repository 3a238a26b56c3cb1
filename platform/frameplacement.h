#pragma once

#include <QMargins>
#include <QObject>
#include <QPoint>
#include <QSize>
#include <QTimer>
#include <functional>
#include <optional>

class QWidget;

namespace platform {

// Places a top-level window by its outer frame, as the desktop's own programs do: the frame's
// top-left corner at a point and, when asked, the frame of a given outer size.
//
// The window manager adds the frame only once the window is on screen, so before that its size
// is unknown (Qt then takes the frame as empty, which would put the title bar above the wanted
// place). The placement is therefore done again, once, when the frame becomes known after the
// window is shown. Without a frame (a platform that has none) nothing changes after the first
// placement.
class FramePlacement : public QObject {
public:
    // fixedSize: the window cannot be resized by the user; a given outer size fixes it.
    explicit FramePlacement(QWidget& window, bool fixedSize = false);

    // minClient: the client area is never made smaller than this, whatever the frame: some window
    // managers count a drawn shadow in the frame, which would otherwise eat a small window's
    // content.
    void place(QPoint framePos, std::optional<QSize> outerSize = std::nullopt,
               QSize minClient = QSize(1, 1));
    // Centres the frame in the work area of the window's screen.
    void placeCentred();
    // The placement a window was given by placeCentred (made on first use).
    static FramePlacement& of(QWidget& window);
    // The window is moved by someone else (the user): a placement still pending is dropped.
    void forget();

    // Told true when a placement starts and false once the window stands where it was placed.
    std::function<void(bool pending)> onPending;

    // Compares the frame with the placement and places again where needed; runs on a short
    // timer after the window is shown until the window stands where it was placed.
    void check();

    // The frame around the client area as the platform knows it now.
    static QMargins frameMargins(const QWidget& window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void apply();
    void placeAgain();
    void setPending(bool on);

    QWidget& m_window;
    bool m_fixedSize;
    QPoint m_pos;
    bool m_centred = false;
    std::optional<QSize> m_size;
    QSize m_minClient{1, 1};
    QMargins m_used;
    bool m_pending = false;
    QTimer m_poll;
    int m_polls = 0;
};

} // namespace platform

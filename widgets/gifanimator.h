#pragma once

#include "widgets/gifimage.h"

#include <QElapsedTimer>
#include <QImage>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <optional>

// The frame clock of an animated picture. While it is enabled, has an interval other than 0 and
// an event handler, it runs the handler: the first time at once (on the next turn of the event
// loop), then each time the interval, rounded up to whole 10 ms, after the previous event ended.
// Changing the interval while a wait runs shortens or lengthens that wait; an interval set from
// within the handler applies to the wait that follows it. Everything runs on the GUI thread.
class TFrameClock : public QObject {
    Q_OBJECT

public:
    explicit TFrameClock(QObject* parent = nullptr);

    bool Enabled() const { return m_enabled; }
    void setEnabled(bool on);
    int Interval() const { return m_interval; }
    void setInterval(int ms);
    bool hasOnTimer() const { return bool(m_onTimer); }
    void setOnTimer(std::function<void()> handler);

    // Whether the clock runs (enabled, an interval, a handler).
    bool running() const { return m_running; }
    // The length in ms of the wait now running before the next event, or -1 when none is.
    int pendingDelay() const { return m_timer.isActive() ? m_waitFor : -1; }
    // Ends the running wait: runs the event as the clock does when a wait is over, then starts
    // the next wait. Tests drive the clock with it instead of waiting.
    void fire();

    // An interval as the clock waits it: rounded up to whole 10 ms.
    static int roundedInterval(int ms) { return (ms + 9) / 10 * 10; }

private:
    bool active() const { return m_enabled && m_interval != 0 && m_onTimer; }
    void update(bool intervalChanged);
    void wait(int ms, bool immediate);

    QTimer m_timer;
    QElapsedTimer m_waitStarted;
    int m_waitFor = 0;
    bool m_enabled = true;
    int m_interval = 1000;
    std::function<void()> m_onTimer;
    bool m_running = false;
    bool m_inEvent = false;
    bool m_immediate = false; // the wait under way is the first step's, due at once
};

// A control that shows one GIF picture and, while Animate is on, plays its frames with the
// delays the file gives, over and over. It paints on its parent: transparent pixels let the
// parent show through. A left click (press and release over it) emits OnClick.
class TGIFAnimator : public QWidget {
    Q_OBJECT

public:
    static constexpr int kMinFrameDelay = 50;
    static constexpr int kMaxFrameDelay = 10000;

    explicit TGIFAnimator(QWidget* parent = nullptr);
    ~TGIFAnimator() override;

    // The picture; every completed load resets the control to its first frame.
    TGIFImage& Image() { return m_image; }
    const TGIFImage& Image() const { return m_image; }

    bool Animate() const { return m_animate; }
    void setAnimate(bool on);
    bool AutoSize() const { return m_autoSize; }
    void setAutoSize(bool on);
    bool Loop() const { return m_loop; }
    void setLoop(bool on) { m_loop = on; }
    bool Transparent() const { return m_transparent; }
    void setTransparent(bool on);

    int FrameIndex() const { return m_frameIndex; }
    // The display time of the frame on show in ms: its interval limited to 50..10,000 ms; 0 for
    // a picture of fewer than two frames or an index outside it.
    int FrameDelay() const;
    // The clock's event: the next frame (the first after the last), repainted at once.
    void StepFrame();
    // The full picture of frame index (limited to the last frame) on the logical screen, the
    // earlier frames applied by their disposal methods. Pixels of the composite's transparent
    // colour have alpha 0 when Transparent is on. The result is cached, so that stepping to the
    // next frame draws only that frame.
    const QImage& ComposeFrame(int index);

    TFrameClock& Timer() { return m_timer; }
    // How many frames composing has drawn since the control was created.
    int frameDraws() const { return m_frameDraws; }

signals:
    void OnClick();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void ImageChanged();
    void fitToPicture();
    void emptyCache();
    void drawFrame(QPainter& painter, int index);

    TGIFImage m_image;
    TFrameClock m_timer;
    bool m_animate = false;
    bool m_autoSize = true;
    bool m_loop = true;
    bool m_transparent = true;
    bool m_pressed = false;
    int m_frameIndex = -1;
    int m_frameDraws = 0;

    // The composite of frame m_cacheIndex (-1: none), the colour its background was filled
    // with, its transparent colour, and the picture as painted (transparent colour keyed out).
    QImage m_cache;
    int m_cacheIndex = -1;
    QRgb m_cacheBackground = 0;
    std::optional<QRgb> m_cacheTransparent;
    QImage m_cachePainted;
    // The frame on show scaled to the screen's device pixel ratio, and which picture it came from.
    QImage m_scaled;
    qint64 m_scaledFrom = 0;
};

#include "widgets/gifanimator.h"

#include "widgets/devicebuffer.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

// ---- TFrameClock ---------------------------------------------------------------------------

TFrameClock::TFrameClock(QObject* parent) : QObject(parent) {
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &TFrameClock::fire);
}

void TFrameClock::setEnabled(bool on) {
    m_enabled = on;
    update(false);
}

void TFrameClock::setInterval(int ms) {
    const bool changed = std::max(ms, 0) != m_interval;
    m_interval = std::max(ms, 0);
    update(changed);
}

void TFrameClock::setOnTimer(std::function<void()> handler) {
    m_onTimer = std::move(handler);
    update(false);
}

void TFrameClock::wait(int ms, bool immediate) {
    m_waitFor = ms;
    m_immediate = immediate;
    m_waitStarted.start();
    m_timer.start(ms);
}

void TFrameClock::update(bool intervalChanged) {
    if (!active()) {
        // Paused: a wait that has begun is dropped; starting again steps at once.
        m_running = false;
        m_timer.stop();
        return;
    }
    if (!m_running) {
        m_running = true;
        wait(0, true);
        return;
    }
    // Running: the handler's own change applies to the wait that follows it; a change from
    // outside applies to the wait under way, counted from its start. The first step, due at
    // once, stays due.
    if (intervalChanged && !m_inEvent && !m_immediate && m_timer.isActive()) {
        const qint64 left = roundedInterval(m_interval) - m_waitStarted.elapsed();
        wait(int(std::max<qint64>(left, 0)), false);
    }
}

void TFrameClock::fire() {
    m_timer.stop();
    if (m_inEvent)
        return;
    m_inEvent = true;
    if (active()) {
        // A copy: the handler may replace or clear itself.
        const std::function<void()> handler = m_onTimer;
        handler();
    }
    m_inEvent = false;
    if (active()) {
        m_running = true;
        wait(roundedInterval(m_interval), false);
    } else {
        m_running = false;
    }
}

// ---- TGIFAnimator --------------------------------------------------------------------------

TGIFAnimator::TGIFAnimator(QWidget* parent) : QWidget(parent) {
    resize(105, 105);
    connect(&m_image, &TGIFImage::Changed, this, &TGIFAnimator::ImageChanged);
}

TGIFAnimator::~TGIFAnimator() {
    m_timer.setEnabled(false);
    m_timer.setOnTimer({});
}

void TGIFAnimator::setAnimate(bool on) {
    if (on == m_animate)
        return;
    if (on) {
        m_timer.setOnTimer([this] { StepFrame(); });
        m_timer.setEnabled(true);
        m_animate = m_timer.Enabled();
    } else {
        m_timer.setEnabled(false);
        m_timer.setOnTimer({});
        m_animate = false;
        fitToPicture();
        repaint();
    }
}

void TGIFAnimator::setAutoSize(bool on) {
    m_autoSize = on;
    fitToPicture();
}

void TGIFAnimator::setTransparent(bool on) {
    if (on == m_transparent)
        return;
    m_transparent = on;
    emptyCache();
    update();
}

int TGIFAnimator::FrameDelay() const {
    const int count = m_image.FrameCount();
    if (m_frameIndex < 0 || m_frameIndex >= count || count < 2)
        return 0;
    return std::clamp(int(m_image.Frame(m_frameIndex).interval()), kMinFrameDelay, kMaxFrameDelay);
}

void TGIFAnimator::emptyCache() {
    m_cache = QImage();
    m_cachePainted = QImage();
    m_scaled = QImage();
    m_cacheIndex = -1;
    m_cacheTransparent.reset();
}

void TGIFAnimator::ImageChanged() {
    emptyCache();
    m_frameIndex = m_image.FrameIndex();
    if (m_frameIndex >= 0 && m_image.FrameCount() > 0)
        m_timer.setInterval(FrameDelay());
    fitToPicture();
    update();
}

void TGIFAnimator::fitToPicture() {
    if (m_autoSize && !m_image.Empty())
        resize(m_image.Width(), m_image.Height());
}

void TGIFAnimator::StepFrame() {
    const int count = m_image.FrameCount();
    if (!parentWidget() || !isVisibleTo(parentWidget()) || count < 2)
        return;
    m_frameIndex = m_frameIndex + 1 < count ? m_frameIndex + 1 : 0;
    if (m_frameIndex == 0 && !m_loop)
        setAnimate(false);
    repaint();
    if (m_frameIndex >= 0 && m_frameIndex < count)
        m_timer.setInterval(FrameDelay());
}

void TGIFAnimator::drawFrame(QPainter& painter, int index) {
    m_image.Frame(index).draw(painter);
    ++m_frameDraws;
}

const QImage& TGIFAnimator::ComposeFrame(int index) {
    const int count = m_image.FrameCount();
    index = std::clamp(index, 0, std::max(count - 1, 0));
    if (count == 0 || m_image.Width() <= 0 || m_image.Height() <= 0) {
        emptyCache();
        return m_cachePainted;
    }
    if (index == m_cacheIndex && !m_cache.isNull())
        return m_cachePainted;

    const bool reuse = !m_cache.isNull() && index >= 1 && m_cacheIndex == index - 1 &&
                       m_image.Frame(index - 1).disposal() != 3;
    if (reuse) {
        QPainter p(&m_cache);
        if (m_image.Frame(index - 1).disposal() == 2) {
            p.setCompositionMode(QPainter::CompositionMode_Source);
            p.fillRect(m_image.Frame(index - 1).rect(), QColor::fromRgb(m_cacheBackground));
        }
        drawFrame(p, index);
    } else {
        // The background: the transparent colour of the picture's current frame, which then is
        // the composite's transparent colour too; else the picture's background colour when the
        // picture has transparent parts; else the window colour.
        const int current = std::max(m_image.FrameIndex(), 0);
        std::optional<QRgb> transparent = m_image.Frame(current).transparentColor();
        QRgb background;
        if (transparent)
            background = *transparent | 0xFF000000u;
        else if (m_image.BackgroundColor() && m_image.IsTransparent())
            background = *m_image.BackgroundColor() | 0xFF000000u;
        else
            background = palette().color(QPalette::Base).rgb();
        QImage canvas(m_image.Width(), m_image.Height(), QImage::Format_ARGB32);
        canvas.fill(background);

        // The latest frame that covers the whole screen and hides everything before it.
        const QRect screen(0, 0, m_image.Width(), m_image.Height());
        int start = 0;
        for (int i = index; i >= 1; --i) {
            const TGIFFrame& f = m_image.Frame(i);
            if (f.rect().contains(screen) &&
                (f.transparentIndex() < 0 || (f.disposal() == 2 && i < index))) {
                start = i;
                break;
            }
        }
        QPainter p(&canvas);
        for (int i = start; i < index; ++i) {
            const TGIFFrame& f = m_image.Frame(i);
            switch (f.disposal()) {
            case 0:
            case 1:
                drawFrame(p, i);
                break;
            case 2:
                if (i != start) {
                    p.setCompositionMode(QPainter::CompositionMode_Source);
                    p.fillRect(f.rect(), QColor::fromRgb(background));
                    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
                }
                break;
            default:
                break;
            }
        }
        drawFrame(p, index);
        p.end();
        m_cache = std::move(canvas);
        m_cacheBackground = background;
        m_cacheTransparent =
            transparent ? std::optional<QRgb>(*transparent & 0x00FFFFFFu) : std::nullopt;
    }
    m_cacheIndex = index;

    m_cachePainted = m_cache;
    if (m_cacheTransparent && m_transparent) {
        // Pixels of the transparent colour are left out when painting.
        const QRgb key = *m_cacheTransparent;
        for (int y = 0; y < m_cachePainted.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(m_cachePainted.scanLine(y));
            for (int x = 0; x < m_cachePainted.width(); ++x)
                if ((line[x] & 0x00FFFFFFu) == key)
                    line[x] = key;
        }
    }
    return m_cachePainted;
}

void TGIFAnimator::paintEvent(QPaintEvent*) {
    QPainter p(this);
    // A picture with transparent parts, or none, lets the parent show through; an opaque one
    // stands on the parent's colour.
    if (!m_image.IsTransparent() && !m_image.Empty() && parentWidget())
        p.fillRect(rect(), parentWidget()->palette().color(QPalette::Window));
    if (m_image.Empty() || m_image.Width() <= 0 || m_image.Height() <= 0)
        return;
    const QImage& frame = ComposeFrame(m_frameIndex);
    const qreal ratio = devicePixelRatioF();
    if (ratio == 1.0) {
        p.drawImage(0, 0, frame);
        return;
    }
    // On a screen with more pixels, each frame is scaled once, smoothly, to the device's
    // resolution, and then drawn pixel for pixel.
    if (m_scaledFrom != frame.cacheKey() || m_scaled.devicePixelRatio() != ratio) {
        m_scaled = frame.scaled(devicebuffer::deviceSize(frame.size(), ratio),
                                Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        m_scaled.setDevicePixelRatio(ratio);
        m_scaledFrom = frame.cacheKey();
    }
    p.drawImage(0, 0, m_scaled);
}

void TGIFAnimator::mousePressEvent(QMouseEvent* event) {
    // Taken here, so that a press on a picture does not reach the parent.
    event->accept();
    if (event->button() == Qt::LeftButton)
        m_pressed = true;
}

void TGIFAnimator::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
}

void TGIFAnimator::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() != Qt::LeftButton)
        return;
    const bool click = m_pressed && rect().contains(event->position().toPoint());
    m_pressed = false;
    if (click)
        emit OnClick();
}

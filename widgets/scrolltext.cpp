#include "widgets/scrolltext.h"

#include "widgets/devicebuffer.h"

#include "platform/tooltipdelay.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <climits>
#include <cstdlib>

namespace {

// Keeps H, and P with a pointer movement added, well inside int.
constexpr qint64 kMaxBlockHeight = INT_MAX / 4;

// The lines of the block: each item is a line, and a line break inside an item (CR LF, CR or LF)
// starts another.
QStringList splitLines(const QStringList& items) {
    QStringList lines;
    for (const QString& item : items) {
        qsizetype start = 0;
        for (qsizetype i = 0; i < item.size(); ++i) {
            if (item[i] != u'\r' && item[i] != u'\n')
                continue;
            lines.append(item.mid(start, i - start));
            if (item[i] == u'\r' && i + 1 < item.size() && item[i + 1] == u'\n')
                ++i;
            start = i + 1;
        }
        lines.append(item.mid(start));
    }
    return lines;
}

} // namespace

int TScrollText::toolTipDelayFor(int delay, int saved) {
    if (delay > saved)
        return saved;
    if (delay > 10)
        return delay - 10;
    return int(std::min<qint64>(std::abs(qint64(delay) - 1), INT_MAX));
}

TScrollText::TScrollText(QWidget* parent)
    : QWidget(parent), m_savedToolTipDelay(platform::toolTipDelay()) {
    // Every pixel comes from the Buffer, so Qt need not clear the background first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(sizeHint());
    // A coarse timer may fire 5% late; the text should move at an even pace.
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(m_delay);
    connect(&m_timer, &QTimer::timeout, this, &TScrollText::Step);
    reset();
}

TScrollText::~TScrollText() {
    if (m_changedToolTipDelay)
        platform::setToolTipDelay(m_savedToolTipDelay);
}

void TScrollText::setItems(const QStringList& items) {
    m_items = items;
    reset();
}

void TScrollText::setActive(bool active) {
    m_active = active;
    reset();
    if (active)
        m_timer.start();
    else
        m_timer.stop();
}

void TScrollText::setDelay(int delay) {
    m_delay = delay;
    // A period of 0 would step on every pass of the event loop and keep a processor busy.
    m_timer.setInterval(std::max(delay, 1));
    platform::setToolTipDelay(toolTipDelayFor(delay, m_savedToolTipDelay));
    m_changedToolTipDelay = true;
}

void TScrollText::setAlignment(Qt::Alignment alignment) {
    alignment &= Qt::AlignHorizontal_Mask;
    if (alignment == m_alignment)
        return;
    m_alignment = alignment;
    if (blockVisibleAt(m_position))
        markDirty();
}

void TScrollText::setBackgroundColor(const QColor& color) {
    if (color == m_backgroundColor)
        return;
    m_backgroundColor = color;
    markDirty();
}

void TScrollText::setWordWrap(bool wrap) {
    if (wrap == m_wordWrap)
        return;
    m_wordWrap = wrap;
    if (blockVisibleAt(m_position))
        markDirty();
}

void TScrollText::Step() {
    if (!m_active || m_dragging)
        return;
    if (m_blockHeight < -qint64(m_position))
        moveBlock(height());
    else
        moveBlock(m_position - 1);
}

const QImage& TScrollText::buffer() {
    if (Dirty || !devicebuffer::fits(Buffer, *this))
        Redraw();
    return Buffer;
}

void TScrollText::changeEvent(QEvent* e) {
    if (e->type() == QEvent::FontChange) {
        // The lines take another height; the block keeps its place.
        m_blockHeight = computeBlockHeight();
        markDirty();
    } else if (e->type() == QEvent::PaletteChange) {
        markDirty();
    }
    QWidget::changeEvent(e);
}

void TScrollText::hideEvent(QHideEvent* e) {
    // A release that happens while the control is hidden never arrives; a drag left open would
    // hold the steps back for good.
    m_dragging = false;
    QWidget::hideEvent(e);
}

void TScrollText::mousePressEvent(QMouseEvent* e) {
    const qint64 y = e->position().toPoint().y();
    if (y < m_position || y >= qint64(m_position) + m_blockHeight)
        return; // beside the block: the control itself takes no mouse input
    m_dragging = true;
    m_lastPointerY = e->globalPosition().toPoint().y();
}

void TScrollText::mouseMoveEvent(QMouseEvent* e) {
    if (!m_dragging)
        return;
    const int y = e->globalPosition().toPoint().y();
    qint64 p = qint64(m_position) + (qint64(y) - m_lastPointerY);
    m_lastPointerY = y;
    if (p < -qint64(m_blockHeight))
        p = height();
    else if (p > height())
        p = -m_blockHeight;
    moveBlock(int(p));
}

void TScrollText::mouseReleaseEvent(QMouseEvent*) {
    m_dragging = false;
}

void TScrollText::paintEvent(QPaintEvent*) {
    if (width() <= 0 || height() <= 0)
        return;
    QPainter painter(this);
    painter.drawImage(0, 0, buffer());
}

void TScrollText::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    m_blockHeight = std::max(m_blockHeight, height());
    markDirty();
}

void TScrollText::reset() {
    const bool wasVisible = blockVisibleAt(m_position);
    m_lines = splitLines(m_items);
    m_blockHeight = computeBlockHeight();
    m_position = -m_blockHeight;
    // At -H the block is out of view: only a block that was in view changes the picture.
    if (wasVisible)
        markDirty();
}

int TScrollText::computeBlockHeight() const {
    const QFontMetrics metrics(font());
    const qint64 lineHeight = metrics.height();
    qint64 sum = 0;
    for (const QString& line : m_lines) {
        // A line counts once for each control width it spans; a control without width has no
        // widths to count, so each line counts once.
        qint64 spans = 1;
        if (!line.isEmpty() && width() > 0)
            spans += metrics.horizontalAdvance(line) / width();
        sum = std::min(sum + lineHeight * spans, kMaxBlockHeight);
    }
    if (sum <= 0)
        sum = height();
    return int(std::max<qint64>(sum, height()));
}

void TScrollText::moveBlock(int position) {
    const bool wasVisible = blockVisibleAt(m_position);
    m_position = position;
    if (wasVisible || blockVisibleAt(m_position))
        markDirty();
}

bool TScrollText::blockVisibleAt(int position) const {
    return position < height() && qint64(position) + m_blockHeight > 0;
}

void TScrollText::Redraw() {
    Dirty = false;
    if (width() <= 0 || height() <= 0) {
        Buffer = QImage();
        return;
    }
    if (!devicebuffer::fits(Buffer, *this))
        Buffer = devicebuffer::make(*this, size(), QImage::Format_RGB32);
    ++m_redrawCount;

    Buffer.fill(m_backgroundColor.isValid() ? m_backgroundColor
                                            : palette().color(QPalette::Button));
    QPainter painter(&Buffer);
    painter.setFont(font());
    painter.setPen(palette().color(QPalette::WindowText));
    const QFontMetrics metrics(font());
    const int lineHeight = metrics.height();
    // Trailing blanks take their width, as they did when H was measured.
    const int flags = int(m_alignment) | Qt::AlignTop | Qt::TextIncludeTrailingSpaces |
                      (m_wordWrap ? Qt::TextWordWrap : Qt::TextSingleLine);
    qint64 top = m_position;
    for (const QString& line : m_lines) {
        if (top >= height())
            break;
        // Unwrapped lines follow one another at the line height; wrapped ones take the height
        // H counts for them.
        qint64 rows = 1;
        if (m_wordWrap && !line.isEmpty() && width() > 0)
            rows += metrics.horizontalAdvance(line) / width();
        const qint64 lineBox = std::min(lineHeight * rows, kMaxBlockHeight);
        if (top + lineBox > 0 && !line.isEmpty())
            painter.drawText(QRect(0, int(top), width(), int(lineBox)), flags, line);
        top += lineBox;
    }
}

void TScrollText::markDirty() {
    Dirty = true;
    update();
}

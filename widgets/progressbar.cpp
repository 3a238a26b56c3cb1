#include "widgets/progressbar.h"

#include "widgets/devicebuffer.h"

#include <QHelpEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QToolTip>
#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// a * b / c with the product in 64 bits, rounded to the nearest integer with halves away from
// zero. c must not be 0.
qint64 mulDiv(qint64 a, qint64 b, qint64 c) {
    const qint64 p = a * b;
    const bool negative = (p < 0) != (c < 0);
    const qint64 num = p < 0 ? -p : p;
    const qint64 den = c < 0 ? -c : c;
    const qint64 q = (num + den / 2) / den;
    return negative ? -q : q;
}

// One channel of ramp column i: start + i * step, rounded half to even (the default rounding
// mode of std::nearbyint).
int rampChannel(int start, int i, double step) {
    return std::clamp(int(std::nearbyint(start + i * step)), 0, 255);
}

} // namespace

TSpecialProgress::TSpecialProgress(QWidget* parent)
    : QWidget(parent), StartRGB(m_startColor.rgb()), EndRGB(m_endColor.rgb()) {
    // Every pixel comes from the Buffer, so Qt need not clear the background first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(sizeHint());
    UpdateFilledWidth();
    Redraw();
}

TSpecialProgress::~TSpecialProgress() {
    restoreToolTipPalette();
}

void TSpecialProgress::setMaximum(int value) {
    if (value == m_maximum)
        return;
    const int before = Percent();
    m_maximum = std::max(value, m_minimum);
    m_position = std::min(m_position, m_maximum);
    afterValueChange(before);
}

void TSpecialProgress::setMinimum(int value) {
    if (value == m_minimum)
        return;
    const int before = Percent();
    m_minimum = std::min(value, m_maximum);
    m_position = std::max(m_position, m_minimum);
    afterValueChange(before);
}

void TSpecialProgress::setPosition(int value) {
    if (value == m_position)
        return;
    const int before = Percent();
    m_position = std::clamp(value, m_minimum, m_maximum);
    afterValueChange(before);
}

int TSpecialProgress::Percent() const {
    if (m_maximum == m_minimum)
        return 0;
    return int(mulDiv(qint64(m_position) - m_minimum, 100, qint64(m_maximum) - m_minimum));
}

void TSpecialProgress::setSolid(bool solid) {
    if (solid == m_solid)
        return;
    m_solid = solid;
    markDirty();
}

void TSpecialProgress::setStartColor(const QColor& color) {
    if (color == m_startColor)
        return;
    m_startColor = color;
    StartRGB = color.rgb();
    markDirty();
}

void TSpecialProgress::setEndColor(const QColor& color) {
    if (color == m_endColor)
        return;
    m_endColor = color;
    EndRGB = color.rgb();
    markDirty();
}

void TSpecialProgress::setTextOption(TTextOption option) {
    if (option == m_textOption)
        return;
    m_textOption = option;
    markDirty();
}

void TSpecialProgress::setTextCentered(bool centered) {
    if (centered == m_textCentered)
        return;
    m_textCentered = centered;
    markDirty();
}

void TSpecialProgress::setHintColor(const QColor& color) {
    m_hintColor = color;
}

bool TSpecialProgress::event(QEvent* e) {
    switch (e->type()) {
    case QEvent::ToolTip:
        if (m_hintColor.isValid() && !toolTip().isEmpty()) {
            // The tooltip label takes the application's tooltip palette; it carries the hint
            // colour until the mouse leaves the bar.
            if (!m_savedToolTipPalette)
                m_savedToolTipPalette = QToolTip::palette();
            QPalette tip = *m_savedToolTipPalette;
            tip.setColor(QPalette::ToolTipBase, m_hintColor);
            QToolTip::setPalette(tip);
            QToolTip::showText(static_cast<QHelpEvent*>(e)->globalPos(), toolTip(), this, QRect(),
                               toolTipDuration());
            return true;
        }
        break;
    case QEvent::Leave:
    case QEvent::Hide:
        restoreToolTipPalette();
        break;
    default:
        break;
    }
    return QWidget::event(e);
}

void TSpecialProgress::changeEvent(QEvent* e) {
    if (e->type() == QEvent::PaletteChange || e->type() == QEvent::FontChange)
        markDirty();
    QWidget::changeEvent(e);
}

void TSpecialProgress::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    Dirty = true;
    UpdateFilledWidth();
    Redraw();
}

void TSpecialProgress::paintEvent(QPaintEvent*) {
    if (!devicebuffer::fits(Buffer, *this)) {
        m_painting = true;
        Dirty = true;
        UpdateFilledWidth();
        Redraw();
        m_painting = false;
    }
    if (width() <= 2 || height() <= 2)
        return;
    QPainter painter(this);
    painter.drawImage(0, 0, Buffer);
}

void TSpecialProgress::afterValueChange(int percentBefore) {
    Dirty = Dirty || Percent() != percentBefore;
    UpdateFilledWidth();
    Redraw();
}

// (Position - Minimum) * (width - 2) / (Maximum - Minimum), rounded like Percent. An empty range
// or a client area without interior shows no filled part.
int TSpecialProgress::filledWidthForSize() const {
    if (m_maximum == m_minimum || width() < 2)
        return 0;
    return int(mulDiv(qint64(m_position) - m_minimum, width() - 2, qint64(m_maximum) - m_minimum));
}

void TSpecialProgress::UpdateFilledWidth() {
    const int w = filledWidthForSize();
    if (w == m_filledWidth)
        return;
    m_filledWidth = w;
    Dirty = true;
    Redraw();
}

void TSpecialProgress::Redraw() {
    if (!Dirty)
        return;
    Dirty = false;
    if (width() <= 0 || height() <= 0)
        return;
    if (!devicebuffer::fits(Buffer, *this)) {
        // A new size also means a new filled width, even before the next paint notices it.
        Buffer = devicebuffer::make(*this, size(), QImage::Format_RGB32);
        m_filledWidth = filledWidthForSize();
    }
    ++m_redrawCount;

    // The background first: it is the rest of the interior and the frame, which the ramp and the
    // text leave alone. The frame goes on again last, over any glyph that reached it.
    const QColor face = palette().color(QPalette::Button);
    Buffer.fill(face);
    drawRamp();
    drawText();
    QPainter painter(&Buffer);
    const int w = width();
    const int h = height();
    for (const QRect& edge :
         {QRect(0, 0, w, 1), QRect(0, h - 1, w, 1), QRect(0, 0, 1, h), QRect(w - 1, 0, 1, h)})
        painter.fillRect(edge, face);
    painter.end();

    if (!m_painting)
        update();
}

// Columns 1 to FilledWidth, rows 1 to height - 2. The ramp spans the filled part only: column 1
// is StartColor, and the last column stops one step short of EndColor.
void TSpecialProgress::drawRamp() {
    const int f = std::min(m_filledWidth, width() - 2);
    if (f <= 0 || height() <= 2)
        return;
    std::vector<QRgb> line(size_t(f), StartRGB);
    if (StartRGB != EndRGB) {
        const double dr = (qRed(EndRGB) - qRed(StartRGB)) / double(m_filledWidth);
        const double dg = (qGreen(EndRGB) - qGreen(StartRGB)) / double(m_filledWidth);
        const double db = (qBlue(EndRGB) - qBlue(StartRGB)) / double(m_filledWidth);
        for (int i = 0; i < f; ++i)
            line[size_t(i)] =
                qRgb(rampChannel(qRed(StartRGB), i, dr), rampChannel(qGreen(StartRGB), i, dg),
                     rampChannel(qBlue(StartRGB), i, db));
    }
    // Each column of the control covers the device pixels from its left edge to the next one's.
    const qreal ratio = Buffer.devicePixelRatio();
    const auto device = [ratio](int logical) {
        return qFloor(logical * ratio);
    };
    std::vector<QRgb> deviceLine(size_t(device(f + 1) - device(1)));
    for (int i = 0; i < f; ++i)
        std::fill(deviceLine.begin() + (device(i + 1) - device(1)),
                  deviceLine.begin() + (device(i + 2) - device(1)), line[size_t(i)]);
    for (int y = device(1); y < device(height() - 1); ++y) {
        auto* row = reinterpret_cast<QRgb*>(Buffer.scanLine(y));
        std::copy(deviceLine.begin(), deviceLine.end(), row + device(1));
    }
}

// The percentage over the bar with a transparent background, centred on the whole bar or at the
// left of the interior; never placed left of or above the client area.
void TSpecialProgress::drawText() {
    if (m_textOption != toPercent)
        return;
    const QString text = QString::number(Percent()) + u'%';
    QPainter painter(&Buffer);
    painter.setFont(font());
    painter.setPen(palette().color(QPalette::ButtonText));
    const QFontMetrics metrics = painter.fontMetrics();
    const int x = m_textCentered ? std::max(0, (width() - metrics.horizontalAdvance(text)) / 2) : 1;
    const int y = std::max(0, (height() - metrics.height()) / 2);
    painter.drawText(x, y + metrics.ascent(), text);
}

void TSpecialProgress::markDirty() {
    Dirty = true;
    Redraw();
}

void TSpecialProgress::restoreToolTipPalette() {
    if (!m_savedToolTipPalette)
        return;
    QToolTip::setPalette(*m_savedToolTipPalette);
    m_savedToolTipPalette.reset();
}

#include "widgets/linklabel.h"

#include "widgets/devicebuffer.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>
#include <QRegion>
#include <algorithm>

using namespace linkmarkup;

namespace {

// Margins beyond this could only push the text out of any label.
constexpr int MaxMargin = 1 << 16;

} // namespace

TLinkLabel::TLinkLabel(QWidget* parent)
    : QWidget(parent), m_tree(std::make_unique<TNodeTree>()),
      m_metrics(std::make_unique<TFontTextMetrics>(font())) {
    setMouseTracking(true);
    // Every pixel comes from the buffer unless the label is transparent.
    setAttribute(Qt::WA_OpaquePaintEvent);
    relayout();
}

TLinkLabel::~TLinkLabel() = default;

void TLinkLabel::setCaption(const QString& caption) {
    if (caption == m_caption)
        return;
    m_caption = caption;
    m_active = nullptr;
    m_tree = std::make_unique<TNodeTree>(caption);
    showLinkCursor(false);
    relayout();
    emit OnCaptionChanged();
}

QStringList TLinkLabel::Text() const {
    if (m_caption.isEmpty())
        return {};
    QStringList lines = m_caption.split(QStringLiteral("\r\n"));
    if (m_caption.endsWith(QStringLiteral("\r\n")))
        lines.removeLast();
    return lines;
}

void TLinkLabel::setText(const QStringList& lines) {
    QString caption;
    for (const QString& line : lines)
        caption += line + QStringLiteral("\r\n");
    setCaption(caption);
}

void TLinkLabel::setLinkColor(const QColor& color) {
    if (color == m_linkColor)
        return;
    m_linkColor = color;
    relayout();
}

void TLinkLabel::setLinkColorClicked(const QColor& color) {
    if (color == m_linkColorClicked)
        return;
    m_linkColorClicked = color;
    if (m_active && m_active->State == TLinkState::Clicked)
        drawLink(*m_active);
}

void TLinkLabel::setLinkColorHot(const QColor& color) {
    if (color == m_linkColorHot)
        return;
    m_linkColorHot = color;
    if (m_active && m_active->State == TLinkState::Hot)
        drawLink(*m_active);
}

void TLinkLabel::setLinkStyle(TFontStyles style) {
    if (style == m_linkStyle)
        return;
    m_linkStyle = style;
    relayout();
}

void TLinkLabel::setLinkCursor(const QCursor& cursor) {
    m_linkCursor = cursor;
    if (m_linkCursorShown)
        setCursor(m_linkCursor);
}

void TLinkLabel::setHotLinks(bool on) {
    if (on == m_hotLinks)
        return;
    m_hotLinks = on;
    if (!on && m_active && m_active->State == TLinkState::Hot)
        setActive(nullptr, TLinkState::Normal);
}

void TLinkLabel::setLayout(TTextLayout layout) {
    if (layout == m_layout)
        return;
    m_layout = layout;
    markDirty();
}

void TLinkLabel::setAutoHeight(bool on) {
    if (on == m_autoHeight)
        return;
    m_autoHeight = on;
    relayout();
}

void TLinkLabel::setMarginWidth(int margin) {
    margin = std::clamp(margin, 0, MaxMargin);
    if (margin == m_marginWidth)
        return;
    m_marginWidth = margin;
    relayout();
}

void TLinkLabel::setMarginHeight(int margin) {
    margin = std::clamp(margin, 0, MaxMargin);
    if (margin == m_marginHeight)
        return;
    m_marginHeight = margin;
    relayout();
}

void TLinkLabel::setTransparent(bool on) {
    if (on == m_transparent)
        return;
    m_transparent = on;
    setAttribute(Qt::WA_OpaquePaintEvent, !on);
    markDirty();
}

QPoint TLinkLabel::textOrigin() const {
    const int mh = m_marginHeight;
    int top = mh;
    if (m_layout == tlCenter)
        top = std::max(mh, mh + (height() - 2 * mh - m_textHeight) / 2);
    else if (m_layout == tlBottom)
        top = std::max(mh, height() - mh - m_textHeight);
    return {m_marginWidth, top};
}

// The part of the label the text may cover: the text block's image, one pixel wider and taller
// than the area inside the margins.
QRect TLinkLabel::textClip() const {
    return {textOrigin(),
            QSize(width() - 2 * m_marginWidth + 1, height() - 2 * m_marginHeight + 1)};
}

const TLinkNode* TLinkLabel::linkAt(const QPoint& point) const {
    return linkUnder(point);
}

TLinkNode* TLinkLabel::linkUnder(const QPoint& point) const {
    // Text clipped away is not there to be pointed at.
    if (!textClip().contains(point) || !rect().contains(point))
        return nullptr;
    const QPoint local = point - textOrigin();
    const TRootNode& root = m_tree->Root();
    for (size_t index : root.LinkPieces) {
        const TTextPiece& piece = root.Pieces[index];
        if (piece.Rect.contains(local))
            return piece.Node->Link();
    }
    return nullptr;
}

const QImage& TLinkLabel::buffer() {
    // A hidden label gets its resize events only when shown.
    if (width() != m_layoutWidth)
        relayout();
    if (m_dirty || !devicebuffer::fits(m_buffer, *this, bufferSize()))
        drawAll();
    return m_buffer;
}

QSize TLinkLabel::bufferSize() const {
    return size().expandedTo(QSize(1, 1));
}

QSize TLinkLabel::sizeHint() const {
    return {width(), std::min(m_textHeight + 2 * m_marginHeight, int(MaxAutoHeight))};
}

void TLinkLabel::changeEvent(QEvent* e) {
    if (e->type() == QEvent::FontChange) {
        m_metrics = std::make_unique<TFontTextMetrics>(font());
        m_tree->clearWidthCache();
        relayout();
    } else if (e->type() == QEvent::PaletteChange) {
        relayout(); // the root's colour is the palette's text colour
    }
    QWidget::changeEvent(e);
}

void TLinkLabel::hideEvent(QHideEvent* e) {
    // A release may never come once hidden; no link stays clicked or hot behind it.
    setActive(nullptr, TLinkState::Normal);
    showLinkCursor(false);
    m_leftPressed = false;
    QWidget::hideEvent(e);
}

void TLinkLabel::leaveEvent(QEvent* e) {
    if (m_hotLinks && m_active && m_active->State != TLinkState::Clicked)
        setActive(nullptr, TLinkState::Normal);
    showLinkCursor(false);
    QWidget::leaveEvent(e);
}

void TLinkLabel::mouseMoveEvent(QMouseEvent* e) {
    TLinkNode* link = linkUnder(e->position().toPoint());
    showLinkCursor(link != nullptr);
    const bool clicked = m_active && m_active->State == TLinkState::Clicked;
    if (m_hotLinks && !clicked)
        setActive(link, link ? TLinkState::Hot : TLinkState::Normal);
    e->accept();
}

void TLinkLabel::mousePressEvent(QMouseEvent* e) {
    if (TLinkNode* link = linkUnder(e->position().toPoint()))
        setActive(link, TLinkState::Clicked);
    if (e->button() == Qt::LeftButton)
        m_leftPressed = true;
    e->accept();
}

void TLinkLabel::mouseReleaseEvent(QMouseEvent* e) {
    const QPoint pos = e->position().toPoint();
    const QPointer<TLinkLabel> alive(this);
    // A click needs the release over the link the button went down on: pressing elsewhere and
    // releasing over a link, or dragging from one link to another, follows no link.
    TLinkNode* link = linkUnder(pos);
    if (link && link == m_active && link->State == TLinkState::Clicked) {
        const int number = link->Number;
        const QString text = link->text();
        const QString parameter = link->Parameter;
        emit OnLinkClick(number, text, parameter);
        if (!alive)
            return;
    }
    // The handler may have set a new caption, which forgets the active link.
    setActive(nullptr, TLinkState::Normal);

    const bool click = e->button() == Qt::LeftButton && m_leftPressed && rect().contains(pos);
    if (e->button() == Qt::LeftButton)
        m_leftPressed = false;
    e->accept();
    if (click)
        emit OnClick();
}

void TLinkLabel::paintEvent(QPaintEvent* e) {
    buffer();
    QPainter painter(this);
    const qreal ratio = m_buffer.devicePixelRatio();
    const QRectF r = e->rect();
    painter.drawImage(r, m_buffer, QRectF(r.topLeft() * ratio, r.size() * ratio));
}

void TLinkLabel::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    if (width() != m_layoutWidth) {
        relayout();
    } else {
        // Only the height changed: AutoHeight may put it back, and the text block moves with it.
        applyAutoHeight();
        markDirty();
    }
}

void TLinkLabel::setActive(TLinkNode* link, TLinkState state) {
    if (link == m_active && (!link || link->State == state))
        return;
    TLinkNode* old = m_active;
    m_active = nullptr;
    if (old && old != link) {
        old->State = TLinkState::Normal;
        drawLink(*old);
    }
    m_active = link;
    if (link) {
        link->State = state;
        drawLink(*link);
    }
}

void TLinkLabel::showLinkCursor(bool on) {
    if (on == m_linkCursorShown)
        return;
    if (on) {
        m_ownCursorSet = testAttribute(Qt::WA_SetCursor);
        m_ownCursor = cursor();
        setCursor(m_linkCursor);
    } else if (m_ownCursorSet) {
        setCursor(m_ownCursor);
    } else {
        unsetCursor();
    }
    m_linkCursorShown = on;
}

void TLinkLabel::relayout() {
    m_layoutWidth = width();
    const TLayoutStyle style{stylesOf(font()), palette().color(foregroundRole()), m_linkStyle,
                             m_linkColor};
    m_textHeight = linkmarkup::layout(*m_tree, width() - 2 * m_marginWidth, *m_metrics, style);
    updateGeometry();
    applyAutoHeight();
    markDirty();
}

void TLinkLabel::applyAutoHeight() {
    if (!m_autoHeight)
        return;
    const int wanted = std::clamp(m_textHeight + 2 * m_marginHeight, 0, int(MaxAutoHeight));
    if (wanted != height())
        resize(width(), wanted);
}

void TLinkLabel::markDirty() {
    m_dirty = true;
    update();
}

void TLinkLabel::drawAll() {
    m_dirty = false;
    ++m_redrawCount;
    m_buffer = devicebuffer::make(*this, bufferSize(), QImage::Format_ARGB32_Premultiplied);
    m_buffer.fill(m_transparent ? QColor(Qt::transparent) : palette().color(backgroundRole()));
    m_tree->Root().StartPoint = textOrigin();
    QPainter painter(&m_buffer);
    const QRect clip = textClip();
    painter.setClipRect(clip);
    drawPieces(painter, clip);
}

// Redraws one link's pieces in the colour of its state, over a cleared background, together
// with whatever else reaches into them.
void TLinkLabel::drawLink(const TLinkNode& link) {
    if (m_dirty || !devicebuffer::fits(m_buffer, *this, bufferSize())) {
        update();
        return;
    }
    const QPoint origin = textOrigin();
    const TRootNode& root = m_tree->Root();
    QRegion region;
    for (const TStringNode* node : link.Texts)
        for (size_t i = node->FirstPiece; i < node->FirstPiece + node->PieceCount; ++i)
            region += root.Pieces[i].Rect.translated(origin);
    region &= textClip();
    if (region.isEmpty())
        return;
    QPainter painter(&m_buffer);
    painter.setClipRegion(region);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(region.boundingRect(),
                     m_transparent ? QColor(Qt::transparent) : palette().color(backgroundRole()));
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    drawPieces(painter, region.boundingRect());
    painter.end();
    update(region);
}

void TLinkLabel::drawPieces(QPainter& painter, const QRect& within) {
    const QPoint origin = textOrigin();
    const int ascent = m_metrics->ascent();
    const TRootNode& root = m_tree->Root();
    TFontStyles fontStyles = ~0u;
    for (const TTextPiece& piece : root.Pieces) {
        const QRect r = piece.Rect.translated(origin);
        if (r.top() > within.bottom())
            break; // pieces run from top to bottom
        if (!r.intersects(within))
            continue;
        if (piece.Node->Styles != fontStyles) {
            fontStyles = piece.Node->Styles;
            painter.setFont(withStyles(font(), fontStyles));
        }
        painter.setPen(pieceColor(piece));
        painter.drawText(QPoint(r.left(), r.top() + ascent),
                         QStringView(piece.Node->Text).mid(piece.Start, piece.Length).toString());
    }
}

QColor TLinkLabel::pieceColor(const TTextPiece& piece) const {
    if (const TLinkNode* link = piece.Node->Link()) {
        if (link->State == TLinkState::Clicked)
            return m_linkColorClicked;
        if (link->State == TLinkState::Hot)
            return m_linkColorHot;
    }
    return piece.Node->Color;
}

#include "widgets/statusbar.h"

#include <QApplication>
#include <QPainter>
#include <QResizeEvent>
#include <algorithm>

namespace {

constexpr int kHeight = 19;
// The sunken edge of a panel starts this far below the top of the bar.
constexpr int kEdgeTop = 2;
// Gap between neighbouring panel edges, taken from the right of each panel.
constexpr int kEdgeGap = 2;
// Text distance from the sunken edge.
constexpr int kTextPadding = 3;

} // namespace

TStatusBar::TStatusBar(QWidget* parent) : QWidget(parent) {
    setFixedHeight(kHeight);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setBackgroundRole(QPalette::Button);
    setForegroundRole(QPalette::ButtonText);
    setAutoFillBackground(true);
    // The platform's status-bar font where the style names one; the application font otherwise.
    setFont(QApplication::font("QStatusBar"));
}

int TStatusBar::addPanel(int width, Qt::Alignment alignment) {
    TStatusPanel p;
    p.Width = width;
    p.Alignment = alignment;
    m_panels.push_back(p);
    update();
    return panelCount() - 1;
}

QRect TStatusBar::panelRect(int i) const {
    int x = 0;
    for (int k = 0; k < i; ++k)
        x += m_panels.at(size_t(k)).Width;
    int w = panel(i).Width;
    if (i == panelCount() - 1)
        w = std::max(w, width() - x);
    return {x, 0, w, height()};
}

void TStatusBar::setPanelWidth(int i, int width) {
    if (panel(i).Width == width)
        return;
    panelAt(i).Width = width;
    update();
    PlaceControls();
}

void TStatusBar::setPanelAlignment(int i, Qt::Alignment alignment) {
    if (panel(i).Alignment == alignment)
        return;
    panelAt(i).Alignment = alignment;
    update(panelRect(i));
}

void TStatusBar::setPanelText(int i, const QString& text) {
    if (panel(i).Text == text)
        return;
    panelAt(i).Text = text;
    update(panelRect(i));
}

void TStatusBar::setPanelControl(int i, QWidget* c) {
    if (panel(i).Control == c)
        return;
    if (c) {
        for (TStatusPanel& p : m_panels)
            if (p.Control == c)
                p.Control = nullptr;
        if (c->parentWidget() != this) {
            // setParent hides the control; show it again unless someone hid it on purpose.
            const bool hidden = c->isHidden() && c->testAttribute(Qt::WA_WState_ExplicitShowHide);
            c->setParent(this);
            if (!hidden)
                c->show();
        }
        c->resize(c->width(), height() - 4);
    }
    panelAt(i).Control = c;
    PlaceControls();
}

void TStatusBar::setPanelMargins(int i, int left, int top) {
    TStatusPanel& p = panelAt(i);
    if (p.MarginLeft == left && p.MarginTop == top)
        return;
    p.MarginLeft = left;
    p.MarginTop = top;
    PlaceControls();
}

void TStatusBar::PlaceControls() {
    int x = 0;
    for (const TStatusPanel& p : m_panels) {
        if (p.Control)
            p.Control->move(x + p.MarginLeft, p.MarginTop);
        x += p.Width;
    }
}

QSize TStatusBar::sizeHint() const {
    int w = 0;
    for (const TStatusPanel& p : m_panels)
        w += p.Width;
    return {w, kHeight};
}

void TStatusBar::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    PlaceControls();
}

// Each panel is a shallow sunken rectangle: shadow on the top and left, light on the bottom and
// right, with a small gap before the next panel. Texts sit inside it, vertically centred.
void TStatusBar::paintEvent(QPaintEvent* e) {
    QPainter painter(this);
    const QPalette& pal = palette();
    for (int i = 0; i < panelCount(); ++i) {
        const QRect r = panelRect(i);
        if (!r.intersects(e->rect()))
            continue;
        const QRect edge(r.left(), kEdgeTop, std::max(1, r.width() - kEdgeGap),
                         r.height() - kEdgeTop);
        painter.setPen(pal.color(QPalette::Mid));
        painter.drawLine(edge.topLeft(), edge.topRight());
        painter.drawLine(edge.topLeft(), edge.bottomLeft());
        painter.setPen(pal.color(QPalette::Light));
        painter.drawLine(edge.bottomLeft(), edge.bottomRight());
        painter.drawLine(edge.topRight(), edge.bottomRight());

        const TStatusPanel& p = panel(i);
        if (p.Text.isEmpty())
            continue;
        const QRect textRect = edge.adjusted(kTextPadding, 1, -kTextPadding, -1);
        painter.setPen(pal.color(QPalette::ButtonText));
        painter.drawText(textRect, int(p.Alignment | Qt::AlignVCenter) | Qt::TextSingleLine,
                         fontMetrics().elidedText(p.Text, Qt::ElideRight, textRect.width()));
    }
}

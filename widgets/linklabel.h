#pragma once

#include "widgets/linkmarkup.h"

#include <QColor>
#include <QCursor>
#include <QImage>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <memory>

// A label whose caption is a small markup (see linkmarkup.h): text with line and paragraph
// breaks, bold, italic and underlined runs, colours and links, laid out with word wrapping. Links
// are drawn in LinkColor with LinkStyle added; a link turns LinkColorClicked while a button is
// held on it and, with HotLinks on, LinkColorHot while the pointer is over it. Releasing the
// button over the link it was pressed on raises OnLinkClick.
//
// The text is drawn into an off-screen buffer of the client size, redrawn only when something
// visible changed; a link changing state redraws only that link's pieces.
class TLinkLabel : public QWidget {
    Q_OBJECT

public:
    enum TTextLayout { tlTop, tlCenter, tlBottom };

    explicit TLinkLabel(QWidget* parent = nullptr);
    ~TLinkLabel() override;

    // The markup. Setting a different caption drops the old tree and any active link, parses the
    // new one, lays it out and raises OnCaptionChanged.
    const QString& Caption() const { return m_caption; }
    void setCaption(const QString& caption);
    // The caption as lines: setting it sets the caption to each line followed by CR LF.
    QStringList Text() const;
    void setText(const QStringList& lines);

    QColor LinkColor() const { return m_linkColor; }
    void setLinkColor(const QColor& color);
    QColor LinkColorClicked() const { return m_linkColorClicked; }
    void setLinkColorClicked(const QColor& color);
    QColor LinkColorHot() const { return m_linkColorHot; }
    void setLinkColorHot(const QColor& color);
    linkmarkup::TFontStyles LinkStyle() const { return m_linkStyle; }
    void setLinkStyle(linkmarkup::TFontStyles style);
    // The pointer shape over link text; elsewhere the label's own cursor shows.
    QCursor LinkCursor() const { return m_linkCursor; }
    void setLinkCursor(const QCursor& cursor);
    bool HotLinks() const { return m_hotLinks; }
    void setHotLinks(bool on);
    // Vertical placement of the text block when the label is taller than the text.
    TTextLayout Layout() const { return m_layout; }
    void setLayout(TTextLayout layout);
    // The label's height follows its text: text height + 2 * MarginHeight (at most MaxAutoHeight).
    bool AutoHeight() const { return m_autoHeight; }
    void setAutoHeight(bool on);
    int MarginWidth() const { return m_marginWidth; }
    void setMarginWidth(int margin);
    int MarginHeight() const { return m_marginHeight; }
    void setMarginHeight(int margin);
    // When off, the label fills its background with the palette's window colour.
    bool Transparent() const { return m_transparent; }
    void setTransparent(bool on);

    // A caption cannot make the label taller than this, so that its buffer stays bounded.
    static constexpr int MaxAutoHeight = 32767;

    // The parsed caption and its last layout.
    const linkmarkup::TNodeTree& tree() const { return *m_tree; }
    // The text height of the last layout and the line height of the label's font.
    int textHeight() const { return m_textHeight; }
    int lineHeight() const { return m_metrics->lineHeight(); }
    // Where the text block's top-left corner is in the label: (MarginWidth, T) for the layout.
    QPoint textOrigin() const;
    // The link whose text is under point (label coordinates, edges of the pieces included), or
    // null.
    const linkmarkup::TLinkNode* linkAt(const QPoint& point) const;
    // The link that is not in the normal state, or null.
    const linkmarkup::TLinkNode* activeLink() const { return m_active; }

    // The off-screen picture, brought up to date first, and how often it was drawn whole.
    const QImage& buffer();
    int redrawCount() const { return m_redrawCount; }

    QSize sizeHint() const override;

signals:
    // The primary button was pressed and released over the label.
    void OnClick();
    // A button was pressed and released on link number, with the link's text and parameter.
    void OnLinkClick(int number, const QString& text, const QString& parameter);
    void OnCaptionChanged();

protected:
    void changeEvent(QEvent* e) override;
    void hideEvent(QHideEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    linkmarkup::TLinkNode* linkUnder(const QPoint& point) const;
    // Makes link the active link in state (null: none); the link left behind returns to normal.
    // Both are redrawn.
    void setActive(linkmarkup::TLinkNode* link, linkmarkup::TLinkState state);
    void showLinkCursor(bool on);
    void relayout();
    void applyAutoHeight();
    void markDirty();
    void drawAll();
    void drawLink(const linkmarkup::TLinkNode& link);
    void drawPieces(QPainter& painter, const QRect& within);
    QColor pieceColor(const linkmarkup::TTextPiece& piece) const;
    QRect textClip() const;
    QSize bufferSize() const;

    QString m_caption;
    std::unique_ptr<linkmarkup::TNodeTree> m_tree;
    std::unique_ptr<linkmarkup::TFontTextMetrics> m_metrics;
    linkmarkup::TLinkNode* m_active = nullptr;
    int m_textHeight = 0;
    int m_layoutWidth = -1;

    QColor m_linkColor = QColor(0, 0, 255);
    QColor m_linkColorClicked = QColor(255, 0, 0);
    QColor m_linkColorHot = QColor(128, 0, 128);
    linkmarkup::TFontStyles m_linkStyle = linkmarkup::fsUnderline;
    QCursor m_linkCursor = QCursor(Qt::PointingHandCursor);
    bool m_hotLinks = false;
    TTextLayout m_layout = tlTop;
    bool m_autoHeight = true;
    int m_marginWidth = 0;
    int m_marginHeight = 0;
    bool m_transparent = false;

    // The label's own cursor while the link cursor shows in its place.
    bool m_linkCursorShown = false;
    bool m_ownCursorSet = false;
    QCursor m_ownCursor;
    bool m_leftPressed = false;

    QImage m_buffer;
    bool m_dirty = true;
    int m_redrawCount = 0;
};

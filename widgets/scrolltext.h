#pragma once

#include <QColor>
#include <QImage>
#include <QStringList>
#include <QTimer>
#include <QWidget>

// A block of text lines that moves up through the control one pixel per step and starts again
// from the bottom once it has passed; the mouse can hold the block and drag it up or down.
//
// The block is as wide as the control and holds Items, one line each, drawn from its top in the
// control's font and the palette's window text colour on BackgroundColor, which also fills the
// rest of the control. Its height H is the sum over the lines of the line height times the number
// of control widths the line spans (an empty line counts once), and at least the control's height.
// Position P is the block's top edge relative to the control's top.
//
// Everything is drawn into an off-screen buffer, and only when something visible changed; painting
// copies the buffer. A timer on the GUI thread calls Step every Delay milliseconds while Active.
class TScrollText : public QWidget {
    Q_OBJECT

public:
    explicit TScrollText(QWidget* parent = nullptr);
    // Puts back the tooltip delay the application had when the control was created, once Delay
    // has changed it.
    ~TScrollText() override;

    // Replaces the block's text, recomputes H and resets P to -H (the block has just left the
    // window at the top; the first step does not bring it back yet).
    const QStringList& Items() const { return m_items; }
    void setItems(const QStringList& items);

    // True runs the steps, false stops them with the block where it is. Every write, even of the
    // current value, first sets the text again from Items, so P goes back to -H.
    bool Active() const { return m_active; }
    void setActive(bool active);

    // Milliseconds between steps; 50 until set. Setting it also changes the program's tooltip
    // delay: with S the delay at creation, to S when Delay exceeds S, else to Delay - 10 when
    // Delay exceeds 10, else to |Delay - 1|. The timer waits at least 1 ms between steps.
    int Delay() const { return m_delay; }
    void setDelay(int delay);
    // The tooltip delay that setting Delay to delay gives, with saved the delay at creation.
    static int toolTipDelayFor(int delay, int saved);

    // The horizontal alignment of every line: Qt::AlignLeft (the default), AlignHCenter or
    // AlignRight.
    Qt::Alignment Alignment() const { return m_alignment; }
    void setAlignment(Qt::Alignment alignment);
    // The colour behind the text; an invalid colour (the default) takes the palette's button face.
    QColor BackgroundColor() const { return m_backgroundColor; }
    void setBackgroundColor(const QColor& color);
    // Off (the default): each line is one row of text, clipped at the sides. On: a line wider
    // than the control is broken at blanks within the height H counts for it.
    bool WordWrap() const { return m_wordWrap; }
    void setWordWrap(bool wrap);

    // One step of the clock: nothing while inactive or while a drag is in progress; otherwise P
    // becomes the control's height when the block lies wholly above the window (H < -P), else P
    // goes up by one pixel.
    void Step();

    int BlockHeight() const { return m_blockHeight; }
    int Position() const { return m_position; }
    bool Dragging() const { return m_dragging; }
    // The clock: running while Active, its interval the Delay.
    const QTimer& stepTimer() const { return m_timer; }

    // The off-screen picture of the control, brought up to date first, and how often it has been
    // drawn.
    const QImage& buffer();
    int redrawCount() const { return m_redrawCount; }

    QSize sizeHint() const override { return {150, 50}; }

protected:
    void changeEvent(QEvent* e) override;
    void hideEvent(QHideEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    void reset();
    int computeBlockHeight() const;
    // Moves the block's top to position; redraws only when the block is in view before or after.
    void moveBlock(int position);
    bool blockVisibleAt(int position) const;
    void Redraw();
    void markDirty();

    QStringList m_items;
    // Items as drawn: one entry per line, line breaks inside an item splitting it.
    QStringList m_lines;
    bool m_active = false;
    int m_delay = 50;
    Qt::Alignment m_alignment = Qt::AlignLeft;
    QColor m_backgroundColor;
    bool m_wordWrap = false;
    int m_savedToolTipDelay;
    bool m_changedToolTipDelay = false;

    int m_blockHeight = 0;
    int m_position = 0;
    bool m_dragging = false;
    int m_lastPointerY = 0;
    QTimer m_timer;

    QImage Buffer;
    bool Dirty = true;
    int m_redrawCount = 0;
};

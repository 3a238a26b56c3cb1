#pragma once

#include <QColor>
#include <QImage>
#include <QPalette>
#include <QWidget>
#include <optional>

// A percentage bar: the filled part is a colour ramp from StartColor to EndColor, the percentage
// may be written over it. Everything is drawn into an off-screen Buffer, and only when something
// visible changed; painting copies the Buffer. The one-pixel frame and the unfilled interior take
// the palette's button face, the text the button text colour and the widget's font.
class TSpecialProgress : public QWidget {
    Q_OBJECT

public:
    enum TTextOption { toNone, toPercent };

    explicit TSpecialProgress(QWidget* parent = nullptr);
    ~TSpecialProgress() override;

    // The range and the value. Setting a value equal to the current one does nothing; Position is
    // kept within [Minimum, Maximum] and Maximum is never below Minimum.
    int Maximum() const { return m_maximum; }
    int Minimum() const { return m_minimum; }
    int Position() const { return m_position; }
    void setMaximum(int value);
    void setMinimum(int value);
    void setPosition(int value);

    // (Position - Minimum) * 100 / (Maximum - Minimum), rounded to the nearest with halves away
    // from zero; 0 for an empty range.
    int Percent() const;
    // The number of filled interior columns, from 0 to width - 2.
    int FilledWidth() const { return m_filledWidth; }

    // Solid asks for one continuous ramp; that is the only look the bar draws.
    bool solid() const { return m_solid; }
    void setSolid(bool solid);
    QColor startColor() const { return m_startColor; }
    void setStartColor(const QColor& color);
    QColor endColor() const { return m_endColor; }
    void setEndColor(const QColor& color);
    TTextOption textOption() const { return m_textOption; }
    void setTextOption(TTextOption option);
    // Centred on the whole bar, or else at the left of the interior; vertically always centred.
    bool textCentered() const { return m_textCentered; }
    void setTextCentered(bool centered);
    // The background of the tooltip while the mouse rests on the bar. An invalid colour (the
    // default) leaves tooltips as the application shows them.
    QColor hintColor() const { return m_hintColor; }
    void setHintColor(const QColor& color);

    // The off-screen picture of the bar, and how often it has been drawn.
    const QImage& buffer() const { return Buffer; }
    int redrawCount() const { return m_redrawCount; }

    QSize sizeHint() const override { return {150, 15}; }

protected:
    bool event(QEvent* e) override;
    void changeEvent(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    // Runs after a setter of the range or the value; percentBefore is Percent before the change.
    void afterValueChange(int percentBefore);
    int filledWidthForSize() const;
    void UpdateFilledWidth();
    void Redraw();
    void drawRamp();
    void drawText();
    void markDirty();
    void restoreToolTipPalette();

    int m_maximum = 100;
    int m_minimum = 0;
    int m_position = 0;
    int m_filledWidth = 0;
    bool m_solid = false;
    QColor m_startColor = Qt::white;
    QColor m_endColor = Qt::black;
    QRgb StartRGB;
    QRgb EndRGB;
    TTextOption m_textOption = toNone;
    bool m_textCentered = false;
    QColor m_hintColor;
    // The application's tooltip palette while this bar's tooltip shows in its own colour.
    std::optional<QPalette> m_savedToolTipPalette;

    QImage Buffer;
    bool Dirty = true;
    bool m_painting = false;
    int m_redrawCount = 0;
};

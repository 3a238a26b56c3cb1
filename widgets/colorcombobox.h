#pragma once

#include <QComboBox>
#include <QStringList>

class QPainter;

// A non-editable drop-down list of colours: the 20 standard colours, then one "Custom" entry for
// each colour that was written as ColorValue while missing from the list. Every item, and the
// selected one in the closed control, shows a swatch with a shadow and a black outline beside the
// colour's name.
//
// Colour values are 32-bit toolkit colours: red + 256 * green + 65536 * blue for a plain colour,
// 0xFF000000 plus an index for a system colour (drawn in the colour the platform layer gives it).
class TColorComboBox : public QComboBox {
    Q_OBJECT
    Q_PROPERTY(qint32 ColorValue READ ColorValue WRITE setColorValue NOTIFY OnChange)

public:
    // The data role that holds an item's colour value (a qint32): the role of addItem's data.
    static constexpr int ColorRole = Qt::UserRole;
    static constexpr int SwatchWidth = 21;
    // The identifier=name lines the control starts with: the standard colours, then the system
    // colours.
    static QStringList defaultColorNameMap();

    explicit TColorComboBox(QWidget* parent = nullptr);
    ~TColorComboBox() override;

    // The selected colour; 0 (black) at first. Writing selects the first item of that colour,
    // appending a "Custom" entry when there is none; OnChange follows if the selection moved.
    qint32 ColorValue() const { return m_colorValue; }
    void setColorValue(qint32 value);

    // The names shown, as identifier=name lines. Setting the map renames every item.
    const QStringList& ColorNameMap() const { return m_colorNameMap; }
    void setColorNameMap(const QStringList& map);
    // The text of entries added for missing colours; it applies to entries added afterwards.
    const QString& NewColorText() const { return m_newColorText; }
    void setNewColorText(const QString& text) { m_newColorText = text; }
    // The least width of the drop-down list; the list also widens to its widest item.
    int DroppedDownWidth() const { return m_droppedDownWidth; }
    void setDroppedDownWidth(int width) { m_droppedDownWidth = width; }

    // The name shown for colour value and item text: the map's name for the colour's identifier,
    // else the text, else the identifier without its "cl".
    QString colorName(qint32 value, const QString& text) const;
    // The identifier of a colour value ("clBtnFace"), or "$" and eight hex digits when it has none.
    static QString colorIdent(qint32 value);
    qint32 itemColor(int index) const;

    // The height of every list item: the font's text height plus one, at least 9.
    int itemHeight() const;
    // Draws item index into rect with the control's font and palette: the swatch, and the name on
    // its own background, highlighted and with a focus rectangle when selected.
    void drawItem(QPainter& painter, const QRect& rect, int index, bool selected) const;

    QSize sizeHint() const override { return {86, 20}; }
    QSize minimumSizeHint() const override { return sizeHint(); }
    void showPopup() override;

signals:
    // The selection moved, by the user or by a write of ColorValue; ColorValue holds its colour.
    void OnChange();

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    void addColor(qint32 value, const QString& text);
    void selectionMoved(int index);

    qint32 m_colorValue = 0;
    QStringList m_colorNameMap;
    QString m_newColorText;
    int m_droppedDownWidth = 86;
};

#include "widgets/colorcombobox.h"

#include "platform/colors.h"

#include <QAbstractItemDelegate>
#include <QAbstractItemView>
#include <QPainter>
#include <QStyleOptionComboBox>
#include <QStylePainter>
#include <algorithm>
#include <array>

namespace {

// The text an item was added with (empty for the standard colours); its name is derived from it.
constexpr int TextRole = Qt::UserRole + 1;

constexpr quint32 SystemColorBase = 0xFF000000u;
constexpr quint32 HighlightColor = SystemColorBase | 13;
constexpr quint32 HighlightTextColor = SystemColorBase | 14;

struct NamedColor {
    quint32 value;
    const char16_t* ident;
    const char16_t* name; // in the default map
};

// The standard colours in list order, then the system colours in map order. The default names
// come from this table in this order.
constexpr std::array<NamedColor, 50> NamedColors{{
    {0x000000, u"clBlack", u"Black"},
    {0x000080, u"clMaroon", u"Maroon"},
    {0x008000, u"clGreen", u"Green"},
    {0x008080, u"clOlive", u"Olive green"},
    {0x800000, u"clNavy", u"Navy blue"},
    {0x800080, u"clPurple", u"Purple"},
    {0x808000, u"clTeal", u"Teal"},
    {0x808080, u"clGray", u"Gray"},
    {0xC0C0C0, u"clSilver", u"Silver"},
    {0x0000FF, u"clRed", u"Red"},
    {0x00FF00, u"clLime", u"Lime"},
    {0x00FFFF, u"clYellow", u"Yellow"},
    {0xFF0000, u"clBlue", u"Blue"},
    {0xFF00FF, u"clFuchsia", u"Fuchsia"},
    {0xFFFF00, u"clAqua", u"Aqua"},
    {0xFFFFFF, u"clWhite", u"White"},
    {0xC0DCC0, u"clMoneyGreen", u"Money green"},
    {0xF0CAA6, u"clSkyBlue", u"Sky blue"},
    {0xF0FBFF, u"clCream", u"Cream"},
    {0xA4A0A0, u"clMedGray", u"Medium gray"},
    {SystemColorBase | 0, u"clScrollBar", u"Scrollbar"},
    {SystemColorBase | 1, u"clBackground", u"Desktop background"},
    {SystemColorBase | 2, u"clActiveCaption", u"Active window title bar"},
    {SystemColorBase | 3, u"clInactiveCaption", u"Inactive window title bar"},
    {SystemColorBase | 4, u"clMenu", u"Menu background"},
    {SystemColorBase | 5, u"clWindow", u"Window background"},
    {SystemColorBase | 6, u"clWindowFrame", u"Window frame"},
    {SystemColorBase | 7, u"clMenuText", u"Menu text"},
    {SystemColorBase | 8, u"clWindowText", u"Window text"},
    {SystemColorBase | 9, u"clCaptionText", u"Active window title bar text"},
    {SystemColorBase | 10, u"clActiveBorder", u"Active window border"},
    {SystemColorBase | 11, u"clInactiveBorder", u"Inactive window border"},
    {SystemColorBase | 12, u"clAppWorkSpace", u"Application workspace"},
    {SystemColorBase | 13, u"clHighlight", u"Selection background"},
    {SystemColorBase | 14, u"clHighlightText", u"Selection text"},
    {SystemColorBase | 15, u"clBtnFace", u"Button face"},
    {SystemColorBase | 16, u"clBtnShadow", u"Button shadow"},
    {SystemColorBase | 17, u"clGrayText", u"Dimmed text"},
    {SystemColorBase | 18, u"clBtnText", u"Button text"},
    {SystemColorBase | 19, u"clInactiveCaptionText", u"Inactive window title bar text"},
    {SystemColorBase | 20, u"clBtnHighlight", u"Button highlight"},
    {SystemColorBase | 21, u"cl3DDkShadow", u"Dark shadow 3D elements"},
    {SystemColorBase | 22, u"cl3DLight", u"Highlight 3D elements"},
    {SystemColorBase | 23, u"clInfoText", u"Tooltip text"},
    {SystemColorBase | 24, u"clInfoBk", u"Tooltip background"},
    {SystemColorBase | 27, u"clGradientActiveCaption", u"Gradient Active Caption"},
    {SystemColorBase | 28, u"clGradientInactiveCaption", u"Gradient Inactive Caption"},
    {SystemColorBase | 26, u"clHotLight", u"Hot Light"},
    {SystemColorBase | 30, u"clMenuBar", u"Menu Bar"},
    {SystemColorBase | 29, u"clMenuHighlight", u"Menu Highlight"},
}};

constexpr int StandardColorCount = 20;

// The map's name for an identifier, matched without regard to case; empty when it has none.
QString mapValue(const QStringList& map, const QString& ident) {
    for (const QString& line : map) {
        const qsizetype eq = line.indexOf(u'=');
        if (eq >= 0 && QStringView(line).left(eq).compare(ident, Qt::CaseInsensitive) == 0)
            return line.mid(eq + 1);
    }
    return {};
}

// Draws the list items with the control's own drawing, one item height for every row.
class TColorItemDelegate : public QAbstractItemDelegate {
public:
    explicit TColorItemDelegate(TColorComboBox* combo)
        : QAbstractItemDelegate(combo), m_combo(combo) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        m_combo->drawItem(*painter, option.rect, index.row(),
                          option.state.testFlag(QStyle::State_Selected));
    }

    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex& index) const override {
        const int textWidth = m_combo->fontMetrics().horizontalAdvance(index.data().toString());
        return {TColorComboBox::SwatchWidth + 6 + textWidth + 6, m_combo->itemHeight()};
    }

private:
    TColorComboBox* m_combo;
};

} // namespace

QStringList TColorComboBox::defaultColorNameMap() {
    QStringList map;
    for (const NamedColor& c : NamedColors)
        map << QString::fromUtf16(c.ident) + u'=' + QString::fromUtf16(c.name);
    return map;
}

TColorComboBox::TColorComboBox(QWidget* parent)
    : QComboBox(parent), m_colorNameMap(defaultColorNameMap()),
      m_newColorText(QStringLiteral("Custom")) {
    setEditable(false);
    setItemDelegate(new TColorItemDelegate(this));
    resize(sizeHint());

    for (int i = 0; i < StandardColorCount; ++i)
        addColor(qint32(NamedColors[size_t(i)].value), QString());
    // The first item added is selected: black, the initial ColorValue. OnChange starts here.
    connect(this, &QComboBox::currentIndexChanged, this, &TColorComboBox::selectionMoved);
    setColorValue(m_colorValue);
}

TColorComboBox::~TColorComboBox() = default;

void TColorComboBox::setColorValue(qint32 value) {
    int index = findData(value, ColorRole, Qt::MatchExactly);
    if (index < 0) {
        addColor(value, m_newColorText);
        index = count() - 1;
    }
    m_colorValue = value;
    // Moving the selection takes the item's colour and raises OnChange (selectionMoved).
    setCurrentIndex(index);
}

void TColorComboBox::setColorNameMap(const QStringList& map) {
    m_colorNameMap = map;
    for (int i = 0; i < count(); ++i)
        setItemText(i, colorName(itemColor(i), itemData(i, TextRole).toString()));
}

QString TColorComboBox::colorName(qint32 value, const QString& text) const {
    const QString ident = colorIdent(value);
    QString name = mapValue(m_colorNameMap, ident);
    if (name.isEmpty())
        name = mapValue(m_colorNameMap, QStringLiteral("cl") + ident);
    if (name.isEmpty())
        name = text;
    if (name.isEmpty())
        name = ident.startsWith(u"cl") ? ident.mid(2) : ident;
    return name;
}

QString TColorComboBox::colorIdent(qint32 value) {
    const auto v = quint32(value);
    const auto it = std::find_if(NamedColors.begin(), NamedColors.end(),
                                 [v](const NamedColor& c) { return c.value == v; });
    if (it != NamedColors.end())
        return QString::fromUtf16(it->ident);
    return u'$' + QStringLiteral("%1").arg(v, 8, 16, QLatin1Char('0')).toUpper();
}

qint32 TColorComboBox::itemColor(int index) const {
    return itemData(index, ColorRole).value<qint32>();
}

int TColorComboBox::itemHeight() const {
    return std::max(fontMetrics().height() + 1, 9);
}

void TColorComboBox::drawItem(QPainter& painter, const QRect& rect, int index,
                              bool selected) const {
    if (rect.isEmpty() || index < 0 || index >= count())
        return;
    const QPalette& pal = palette();
    const QColor nameBack =
        selected ? platform::toQColor(qint32(HighlightColor)) : pal.color(QPalette::Base);
    const QColor nameText =
        selected ? platform::toQColor(qint32(HighlightTextColor)) : pal.color(QPalette::Text);

    painter.save();
    painter.setClipRect(rect, Qt::IntersectClip);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(rect, pal.color(QPalette::Base));

    // The swatch is 21 wide and 2 pixels in from the top and the bottom; its shadow lies 2 pixels
    // right and down, under it.
    const QRect swatch(rect.left() + 2, rect.top() + 2, SwatchWidth, rect.height() - 4);
    if (!swatch.isEmpty()) {
        painter.fillRect(swatch.translated(2, 2), QColor(128, 128, 128));
        painter.fillRect(swatch, platform::toQColor(itemColor(index)));
        painter.setPen(Qt::black);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(swatch.adjusted(0, 0, -1, -1));
    }

    const QString name = itemText(index);
    const QFontMetrics metrics(font());
    const QRect nameRect(rect.left() + SwatchWidth + 6, rect.top(),
                         metrics.horizontalAdvance(name) + 6, rect.height());
    painter.fillRect(nameRect, nameBack);
    painter.setFont(font());
    painter.setPen(nameText);
    painter.drawText(nameRect.adjusted(2, 0, 0, 0),
                     Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, name);

    if (selected) {
        // A dotted focus rectangle on the edge of the name's rectangle, every other pixel.
        QPen pen(nameText, 0, Qt::CustomDashLine);
        pen.setDashPattern({1, 1});
        painter.setPen(pen);
        painter.drawRect(nameRect.adjusted(0, 0, -1, -1));
    }
    painter.restore();
}

// The style draws the frame and the arrow; the selected item is drawn in the field by drawItem,
// as selected while the control has the focus.
void TColorComboBox::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.currentText.clear();
    option.currentIcon = QIcon();
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    const QRect field =
        style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    drawItem(painter, field, currentIndex(), hasFocus());
}

// The list is at least DroppedDownWidth wide, and wide enough for its widest item.
void TColorComboBox::showPopup() {
    QAbstractItemView* list = view();
    int width = list->sizeHintForColumn(0) + 2 * list->frameWidth();
    // Styles that show the list as a menu show every item; the others scroll past maxVisibleItems.
    QStyleOptionComboBox option;
    initStyleOption(&option);
    if (!style()->styleHint(QStyle::SH_ComboBox_Popup, &option, this) &&
        count() > maxVisibleItems())
        width += style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, list);
    list->setMinimumWidth(std::max(m_droppedDownWidth, width));
    QComboBox::showPopup();
}

void TColorComboBox::addColor(qint32 value, const QString& text) {
    addItem(colorName(value, text), value);
    setItemData(count() - 1, text, TextRole);
}

void TColorComboBox::selectionMoved(int index) {
    if (index < 0)
        return;
    m_colorValue = itemColor(index);
    emit OnChange();
}

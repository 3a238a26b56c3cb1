#include "platform/fontdialog.h"

#include "platform/colors.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>
#include <array>
#include <iterator>

namespace platform {

const FontDialog::NamedColor FontDialog::StandardColors[16] = {
    {0x000000, u"Чёрный"},       {0x000080, u"Бордовый"},    {0x008000, u"Зелёный"},
    {0x008080, u"Оливковый"},    {0x800000, u"Тёмно-синий"}, {0x800080, u"Фиолетовый"},
    {0x808000, u"Сине-зелёный"}, {0x808080, u"Серый"},       {0xC0C0C0, u"Серебристый"},
    {0x0000FF, u"Красный"},      {0x00FF00, u"Лайм"},        {0x00FFFF, u"Жёлтый"},
    {0xFF0000, u"Синий"},        {0xFF00FF, u"Фуксия"},      {0xFFFF00, u"Морская волна"},
    {0xFFFFFF, u"Белый"},
};

namespace {

// The styles in list order: index bit 0 is italic, bit 1 bold.
const std::array<const char16_t*, 4> StyleNames = {u"Обычный", u"Курсив", u"Полужирный",
                                                   u"Полужирный курсив"};
constexpr std::array<int, 16> Sizes = {8,  9,  10, 11, 12, 14, 16, 18,
                                       20, 22, 24, 26, 28, 36, 48, 72};
constexpr int ColorRole = Qt::UserRole;

QIcon swatch(qint32 value) {
    QPixmap pixmap(20, 12);
    pixmap.fill(toQColor(value));
    {
        QPainter painter(&pixmap);
        painter.setPen(Qt::black);
        painter.drawRect(pixmap.rect().adjusted(0, 0, -1, -1));
    }
    return QIcon(pixmap);
}

// The first item whose text equals text (exactly, or only as its start), case aside; -1 if none.
int findRow(const QListWidget& list, const QString& text, bool prefix) {
    if (text.isEmpty())
        return -1;
    for (int row = 0; row < list.count(); ++row) {
        const QString item = list.item(row)->text();
        if (prefix ? item.startsWith(text, Qt::CaseInsensitive)
                   : item.compare(text, Qt::CaseInsensitive) == 0)
            return row;
    }
    return -1;
}

} // namespace

// Shows a line of text in the chosen font and colour on the window background, centred and cut
// at the frame, so a large size does not resize the dialog.
class FontSample : public QFrame {
public:
    explicit FontSample(QWidget* parent) : QFrame(parent) {
        setObjectName(QStringLiteral("Sample"));
        setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
        setMinimumSize(200, 64);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    }

    void setSample(const QFont& font, const QColor& color) {
        m_font = font;
        m_color = color;
        update();
    }

protected:
    void paintEvent(QPaintEvent* event) override {
        {
            QPainter painter(this);
            const QRect inside = contentsRect();
            painter.fillRect(inside, palette().color(QPalette::Base));
            painter.setClipRect(inside);
            painter.setFont(m_font);
            painter.setPen(m_color);
            painter.drawText(inside, Qt::AlignCenter | Qt::TextSingleLine,
                             QStringLiteral("AaЯя あア亜"));
        }
        QFrame::paintEvent(event);
    }

private:
    QFont m_font;
    QColor m_color;
};

FontDialog::FontDialog(QWidget* parent)
    : QDialog(parent), m_familyEdit(new QLineEdit(this)), m_familyList(new QListWidget(this)),
      m_styleEdit(new QLineEdit(this)), m_styleList(new QListWidget(this)),
      m_sizeEdit(new QLineEdit(this)), m_sizeList(new QListWidget(this)),
      m_strikeOut(new QCheckBox(QStringLiteral("Зачёркнутый"), this)),
      m_underline(new QCheckBox(QStringLiteral("Подчёркнутый"), this)),
      m_color(new QComboBox(this)), m_sample(new FontSample(this)) {
    setObjectName(QStringLiteral("FontDialog"));
    setWindowTitle(QStringLiteral("Шрифт"));

    m_familyEdit->setObjectName(QStringLiteral("FamilyEdit"));
    m_familyList->setObjectName(QStringLiteral("FamilyList"));
    m_styleEdit->setObjectName(QStringLiteral("StyleEdit"));
    m_styleList->setObjectName(QStringLiteral("StyleList"));
    m_sizeEdit->setObjectName(QStringLiteral("SizeEdit"));
    m_sizeList->setObjectName(QStringLiteral("SizeList"));
    m_strikeOut->setObjectName(QStringLiteral("StrikeOutCB"));
    m_underline->setObjectName(QStringLiteral("UnderlineCB"));
    m_color->setObjectName(QStringLiteral("ColorCB"));

    fillFamilies();
    m_styleEdit->setReadOnly(true);
    m_styleEdit->setFocusPolicy(Qt::NoFocus);
    for (const char16_t* name : StyleNames)
        m_styleList->addItem(QString::fromUtf16(name));
    m_sizeEdit->setValidator(new QIntValidator(1, 999, m_sizeEdit));
    for (int size : Sizes)
        m_sizeList->addItem(QString::number(size));
    for (const NamedColor& c : StandardColors)
        m_color->addItem(swatch(c.value), QString::fromUtf16(c.name), c.value);
    m_color->setIconSize(QSize(20, 12));

    // The edits move through their lists with the arrow and page keys.
    m_familyEdit->installEventFilter(this);
    m_sizeEdit->installEventFilter(this);

    // The lists keep a fixed size from the dialog's font: nine rows, as wide as their usual
    // entries and a scroll bar.
    const QFontMetrics metrics(font());
    const int extra =
        style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 4 * m_styleList->frameWidth() + 8;
    const int listHeight = 9 * (metrics.height() + 2) + 2 * m_styleList->frameWidth();
    m_familyList->setFixedSize(metrics.averageCharWidth() * 28 + extra, listHeight);
    m_styleList->setFixedSize(metrics.horizontalAdvance(QString::fromUtf16(StyleNames[3])) + extra,
                              listHeight);
    m_sizeList->setFixedSize(metrics.horizontalAdvance(QStringLiteral("0000")) + extra, listHeight);

    auto* fonts = new QGridLayout;
    const auto addColumn = [fonts](int column, const QString& caption, QLineEdit* edit,
                                   QListWidget* list) {
        auto* label = new QLabel(caption);
        label->setBuddy(edit);
        edit->setFixedWidth(list->width());
        fonts->addWidget(label, 0, column);
        fonts->addWidget(edit, 1, column);
        fonts->addWidget(list, 2, column);
    };
    addColumn(0, QStringLiteral("&Шрифт:"), m_familyEdit, m_familyList);
    addColumn(1, QStringLiteral("&Начертание:"), m_styleEdit, m_styleList);
    addColumn(2, QStringLiteral("&Размер:"), m_sizeEdit, m_sizeList);
    fonts->setVerticalSpacing(2);

    auto* effects = new QGroupBox(QStringLiteral("Видоизменение"), this);
    auto* effectsLayout = new QVBoxLayout(effects);
    effectsLayout->addWidget(m_strikeOut);
    effectsLayout->addWidget(m_underline);
    auto* colorLabel = new QLabel(QStringLiteral("&Цвет:"), effects);
    colorLabel->setBuddy(m_color);
    effectsLayout->addWidget(colorLabel);
    effectsLayout->addWidget(m_color);
    effectsLayout->addStretch();

    auto* sample = new QGroupBox(QStringLiteral("Образец"), this);
    auto* sampleLayout = new QVBoxLayout(sample);
    sampleLayout->addWidget(m_sample);

    auto* lower = new QHBoxLayout;
    lower->addWidget(effects);
    lower->addWidget(sample, 1);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    QPushButton* cancel =
        buttons->addButton(QStringLiteral("Отмена"), QDialogButtonBox::RejectRole);
    ok->setObjectName(QStringLiteral("OKBtn"));
    cancel->setObjectName(QStringLiteral("CancelBtn"));
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fonts);
    layout->addLayout(lower);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_familyEdit, &QLineEdit::textEdited, this, &FontDialog::familyTyped);
    connect(m_familyList, &QListWidget::currentRowChanged, this, &FontDialog::familyPicked);
    connect(m_styleList, &QListWidget::currentRowChanged, this, &FontDialog::stylePicked);
    connect(m_sizeEdit, &QLineEdit::textEdited, this, &FontDialog::sizeTyped);
    connect(m_sizeList, &QListWidget::currentRowChanged, this, &FontDialog::sizePicked);
    connect(m_strikeOut, &QCheckBox::toggled, this, &FontDialog::updateSample);
    connect(m_underline, &QCheckBox::toggled, this, &FontDialog::updateSample);
    connect(m_color, &QComboBox::currentIndexChanged, this, &FontDialog::updateSample);

    m_familyEdit->setFocus();
    setChoice(FontChoice{});
}

FontDialog::~FontDialog() = default;

// A family offered by several foundries comes as "Name [foundry]" once per foundry; the list
// shows the plain name once, which selects the system's preferred foundry.
void FontDialog::fillFamilies() {
    QStringList names;
    for (const QString& family : QFontDatabase::families()) {
        if (!QFontDatabase::isSmoothlyScalable(family) || QFontDatabase::isPrivateFamily(family))
            continue;
        QString name = family;
        const qsizetype bracket = name.indexOf(QStringLiteral(" ["));
        if (bracket > 0 && name.endsWith(u']'))
            name.truncate(bracket);
        names << name;
    }
    names.removeDuplicates();
    m_familyList->addItems(names);
}

void FontDialog::setChoice(const FontChoice& choice) {
    m_initial = choice;
    m_syncing = true;
    m_familyEdit->setText(choice.Name);
    m_familyList->setCurrentRow(findRow(*m_familyList, choice.Name, false));
    const int style = (choice.Bold ? 2 : 0) + (choice.Italic ? 1 : 0);
    m_styleList->setCurrentRow(style);
    m_styleEdit->setText(m_styleList->item(style)->text());
    m_sizeEdit->setText(choice.Size > 0 ? QString::number(choice.Size) : QString());
    m_sizeList->setCurrentRow(findRow(*m_sizeList, m_sizeEdit->text(), false));
    m_strikeOut->setChecked(choice.StrikeOut);
    m_underline->setChecked(choice.Underline);
    selectColor(choice.Color);
    m_syncing = false;
    updateSample();
}

FontChoice FontDialog::choice() const {
    FontChoice c = m_initial;
    const QString typed = m_familyEdit->text().trimmed();
    const int exact = findRow(*m_familyList, typed, false);
    if (exact >= 0)
        c.Name = m_familyList->item(exact)->text();
    else if (typed.isEmpty() || typed == m_initial.Name)
        c.Name = m_initial.Name;
    else if (m_familyList->currentItem())
        c.Name = m_familyList->currentItem()->text(); // the family the typed start points at
    else
        c.Name = typed;

    const int style = m_styleList->currentRow();
    if (style >= 0) {
        c.Bold = (style & 2) != 0;
        c.Italic = (style & 1) != 0;
    }
    bool ok = false;
    const int size = m_sizeEdit->text().toInt(&ok);
    if (ok && size > 0)
        c.Size = size;
    c.StrikeOut = m_strikeOut->isChecked();
    c.Underline = m_underline->isChecked();
    c.Color = m_color->currentData(ColorRole).value<qint32>();
    return c;
}

QFont FontDialog::toFont(const FontChoice& choice) {
    QFont font(choice.Name);
    if (choice.Size > 0)
        font.setPointSize(choice.Size);
    font.setBold(choice.Bold);
    font.setItalic(choice.Italic);
    font.setUnderline(choice.Underline);
    font.setStrikeOut(choice.StrikeOut);
    return font;
}

void FontDialog::done(int result) {
    if (result == QDialog::Accepted)
        m_initial = choice();
    else
        setChoice(m_initial);
    QDialog::done(result);
}

void FontDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    for (QListWidget* list : {m_familyList, m_styleList, m_sizeList}) {
        if (list->currentItem())
            list->scrollToItem(list->currentItem(), QAbstractItemView::PositionAtCenter);
    }
}

bool FontDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp ||
            key == Qt::Key_PageDown) {
            QListWidget* list = watched == m_sizeEdit ? m_sizeList : m_familyList;
            if (!list->currentItem() && list->count() > 0) {
                list->setCurrentRow(0);
                return true;
            }
            QCoreApplication::sendEvent(list, event);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

// Typing a family selects the first one that starts with the text; the text stays as typed.
void FontDialog::familyTyped(const QString& text) {
    m_syncing = true;
    const int row = findRow(*m_familyList, text.trimmed(), true);
    m_familyList->setCurrentRow(row);
    if (row >= 0)
        m_familyList->scrollToItem(m_familyList->item(row), QAbstractItemView::PositionAtTop);
    m_syncing = false;
    updateSample();
}

void FontDialog::familyPicked() {
    if (m_syncing || !m_familyList->currentItem())
        return;
    m_familyEdit->setText(m_familyList->currentItem()->text());
    m_familyEdit->selectAll();
    updateSample();
}

void FontDialog::stylePicked() {
    if (QListWidgetItem* item = m_styleList->currentItem())
        m_styleEdit->setText(item->text());
    if (!m_syncing)
        updateSample();
}

void FontDialog::sizeTyped(const QString& text) {
    m_syncing = true;
    m_sizeList->setCurrentRow(findRow(*m_sizeList, text, false));
    m_syncing = false;
    updateSample();
}

void FontDialog::sizePicked() {
    if (m_syncing || !m_sizeList->currentItem())
        return;
    m_sizeEdit->setText(m_sizeList->currentItem()->text());
    m_sizeEdit->selectAll();
    updateSample();
}

// Selects the colour's entry; a colour not in the list gets (or reuses) the one "Другой" entry.
void FontDialog::selectColor(qint32 value) {
    int index = m_color->findData(value, ColorRole, Qt::MatchExactly);
    if (index < 0) {
        index = int(std::size(StandardColors));
        if (m_color->count() == index)
            m_color->addItem(QString(), value);
        m_color->setItemText(index, QStringLiteral("Другой"));
        m_color->setItemIcon(index, swatch(value));
        m_color->setItemData(index, value, ColorRole);
    }
    m_color->setCurrentIndex(index);
}

void FontDialog::updateSample() {
    if (m_syncing)
        return;
    const FontChoice c = choice();
    m_sample->setSample(toFont(c), toQColor(c.Color));
}

} // namespace platform

#include "widgets/colorcombobox.h"

#include "tests/support/printers.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QPainter>
#include <QStyleOptionComboBox>
#include <QTest>
#include <cctype>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace {

const QColor kBase(250, 250, 240);
const QColor kText(10, 20, 30);
const QColor kShadow(128, 128, 128);

constexpr qint32 kButtonFace = qint32(0xFF00000Fu);

// A picker as the options dialog sets one up, with a known background, text colour and font.
std::unique_ptr<TColorComboBox> makeCombo() {
    auto combo = std::make_unique<TColorComboBox>();
    QPalette pal = combo->palette();
    pal.setColor(QPalette::Base, kBase);
    pal.setColor(QPalette::Text, kText);
    combo->setPalette(pal);
    QFont font = combo->font();
    font.setPixelSize(11);
    combo->setFont(font);
    return combo;
}

std::string rgb(QRgb c) {
    return "(" + std::to_string(qRed(c)) + "," + std::to_string(qGreen(c)) + "," +
           std::to_string(qBlue(c)) + ")";
}

// The pixels of rect (inclusive edges) that are not colour, as "x,y=(r,g,b)"; empty when all are.
std::string offColour(const QImage& img, const QRect& rect, const QColor& colour) {
    std::string s;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            if (img.pixel(x, y) != colour.rgb())
                s += std::to_string(x) + "," + std::to_string(y) + "=" + rgb(img.pixel(x, y)) + " ";
    return s;
}

// The border pixels of rect as for offColour.
std::string offColourOutline(const QImage& img, const QRect& rect, const QColor& colour) {
    return offColour(img, {rect.topLeft(), rect.topRight()}, colour) +
           offColour(img, {rect.bottomLeft(), rect.bottomRight()}, colour) +
           offColour(img, {rect.topLeft(), rect.bottomLeft()}, colour) +
           offColour(img, {rect.topRight(), rect.bottomRight()}, colour);
}

std::string gtestName(const char* s) {
    std::string name;
    for (const char* p = s; *p; ++p)
        if (std::isalnum(static_cast<unsigned char>(*p)))
            name += *p;
    return name;
}

// Records ColorValue each time OnChange is raised.
struct ChangeLog {
    explicit ChangeLog(TColorComboBox& combo) {
        QObject::connect(&combo, &TColorComboBox::OnChange, &combo,
                         [this, &combo] { values.push_back(combo.ColorValue()); });
    }
    std::vector<qint32> values;
};

// --- The standard colours ---

struct StandardCase {
    const char* name;
    qint32 value;
};
const StandardCase kStandard[] = {
    {"Black", 0},           {"Maroon", 128},           {"Green", 32768},
    {"Olive green", 32896}, {"Navy blue", 8388608},    {"Purple", 8388736},
    {"Teal", 8421376},      {"Gray", 8421504},         {"Silver", 12632256},
    {"Red", 255},           {"Lime", 65280},           {"Yellow", 65535},
    {"Blue", 16711680},     {"Fuchsia", 16711935},     {"Aqua", 16776960},
    {"White", 16777215},    {"Money green", 12639424}, {"Sky blue", 15780518},
    {"Cream", 15793151},    {"Medium gray", 10789024},
};

// Parameter: the index in the list.
class StandardColour : public testing::TestWithParam<int> {};

} // namespace

TEST(ColorComboBox, StartsWithTheStandardColoursAndBlackSelected) {
    auto combo = makeCombo();
    EXPECT_FALSE(combo->isEditable());
    EXPECT_EQ(combo->ColorValue(), 0);
    EXPECT_EQ(combo->currentIndex(), 0);
    ASSERT_EQ(combo->count(), 20);
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(combo->itemText(i), QString::fromUtf8(kStandard[i].name)) << "item " << i;
        EXPECT_EQ(combo->itemColor(i), kStandard[i].value) << "item " << i;
    }
}

// Writing a standard colour selects its own item and adds nothing.
TEST_P(StandardColour, WritingSelectsItsItem) {
    const int index = GetParam();
    const StandardCase& c = kStandard[index];
    auto combo = makeCombo();
    ChangeLog log(*combo);

    combo->setColorValue(c.value);

    EXPECT_EQ(combo->count(), 20);
    EXPECT_EQ(combo->currentIndex(), index);
    EXPECT_EQ(combo->currentText(), QString::fromUtf8(c.name));
    EXPECT_EQ(combo->ColorValue(), c.value);
    EXPECT_EQ(log.values, index == 0 ? std::vector<qint32>{} : std::vector<qint32>{c.value});
}

INSTANTIATE_TEST_SUITE_P(ColorComboBox, StandardColour, testing::Range(0, 20),
                         [](const auto& info) { return gtestName(kStandard[info.param].name); });

// --- Colours missing from the list ---

TEST(ColorComboBox, MissingColourAddsOneCustomEntryThatStays) {
    auto combo = makeCombo();
    ChangeLog log(*combo);
    const qint32 brown = 0x123456;
    const qint32 olive = 0x1A5C3D;

    combo->setColorValue(brown);
    ASSERT_EQ(combo->count(), 21);
    EXPECT_EQ(combo->itemText(20), QStringLiteral("Custom"));
    EXPECT_EQ(combo->itemColor(20), brown);
    EXPECT_EQ(combo->currentIndex(), 20);

    combo->setColorValue(brown);
    EXPECT_EQ(combo->count(), 21) << "the second write finds the entry";

    combo->setColorValue(65280);
    combo->setColorValue(brown);
    EXPECT_EQ(combo->count(), 21) << "the entry stays after another colour was selected";
    EXPECT_EQ(combo->currentIndex(), 20);

    combo->setColorValue(olive);
    ASSERT_EQ(combo->count(), 22);
    EXPECT_EQ(combo->itemText(21), QStringLiteral("Custom"));
    EXPECT_EQ(combo->currentIndex(), 21);
    EXPECT_EQ(combo->ColorValue(), olive);

    EXPECT_EQ(log.values, (std::vector<qint32>{brown, 65280, brown, olive}));
}

namespace {

struct AddedCase {
    const char* test;
    qint32 value;
    const char* name;
};
void PrintTo(const AddedCase& c, std::ostream* os) {
    *os << c.test;
}

class AddedEntry : public testing::TestWithParam<AddedCase> {};

} // namespace

// A system colour is no item of the list; its entry shows the system colour's name.
TEST_P(AddedEntry, ShowsItsName) {
    const AddedCase& c = GetParam();
    auto combo = makeCombo();
    combo->setColorValue(c.value);
    ASSERT_EQ(combo->count(), 21);
    EXPECT_EQ(combo->itemText(20), QString::fromUtf8(c.name));
    EXPECT_EQ(combo->itemColor(20), c.value);
    EXPECT_EQ(combo->currentIndex(), 20);
}

INSTANTIATE_TEST_SUITE_P(
    ColorComboBox, AddedEntry,
    testing::Values(AddedCase{"ButtonFace", kButtonFace, "Button face"},
                    // System colour 0 is not black.
                    AddedCase{"ScrollBar", qint32(0xFF000000u), "Scrollbar"},
                    // Map order and index order differ from 26 on.
                    AddedCase{"HotLight", qint32(0xFF00001Au), "Hot Light"},
                    AddedCase{"MenuHighlight", qint32(0xFF00001Du), "Menu Highlight"},
                    AddedCase{"MenuBar", qint32(0xFF00001Eu), "Menu Bar"},
                    AddedCase{"UnnamedSystemIndex", qint32(0xFF000019u), "Custom"},
                    AddedCase{"AllBitsSet", -1, "Custom"},
                    AddedCase{"PlainColour", 0x010203, "Custom"}),
    [](const auto& info) { return std::string(info.param.test); });

TEST(ColorComboBox, NameFallsBackToTheTextThenTheIdentifier) {
    auto combo = makeCombo();
    combo->setColorNameMap({QStringLiteral("CLBTNFACE=Face"), QStringLiteral("clRed=")});
    EXPECT_EQ(combo->itemText(10), QStringLiteral("Lime")) << "identifier without cl";
    EXPECT_EQ(combo->itemText(9), QStringLiteral("Red")) << "an empty name counts as none";
    EXPECT_EQ(combo->colorName(kButtonFace, QStringLiteral("Custom")), QStringLiteral("Face"));
    EXPECT_EQ(combo->colorName(0x123456, QStringLiteral("Custom")), QStringLiteral("Custom"));
    EXPECT_EQ(combo->colorName(0x123456, QString()), QStringLiteral("$00123456"));
    EXPECT_EQ(TColorComboBox::colorIdent(qint32(0xFF000019u)), QStringLiteral("$FF000019"));
}

// --- OnChange ---

namespace {

struct ChangeCase {
    const char* name;
    std::function<void(TColorComboBox&)> act;
    std::vector<qint32> changes; // ColorValue inside each OnChange
    qint32 value;                // ColorValue afterwards
};
void PrintTo(const ChangeCase& c, std::ostream* os) {
    *os << c.name;
}

void key(TColorComboBox& combo, Qt::Key k) {
    QTest::keyClick(&combo, k);
}

// Picks row of the open list with the keyboard, as a user does.
void pickInList(TColorComboBox& combo, int row) {
    combo.showPopup();
    QAbstractItemView* list = combo.view();
    list->setCurrentIndex(combo.model()->index(row, 0));
    QTest::keyClick(list, Qt::Key_Return);
}

// Clicks row of the open list with the mouse.
void clickInList(TColorComboBox& combo, int row) {
    combo.showPopup();
    QAbstractItemView* list = combo.view();
    const QPoint at = list->visualRect(combo.model()->index(row, 0)).center();
    QTest::mouseMove(list->viewport(), at);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
}

const ChangeCase kChanges[] = {
    {"WriteSelectedColour", [](auto& c) { c.setColorValue(255); }, {}, 255},
    {"WriteOtherColour", [](auto& c) { c.setColorValue(65280); }, {65280}, 65280},
    {"WriteMissingColour", [](auto& c) { c.setColorValue(0x123456); }, {0x123456}, 0x123456},
    {"WriteMissingColourTwice",
     [](auto& c) {
         c.setColorValue(0x123456);
         c.setColorValue(0x123456);
     },
     {0x123456},
     0x123456},
    {"SelectOtherItem", [](auto& c) { c.setCurrentIndex(15); }, {16777215}, 16777215},
    {"SelectSelectedItem", [](auto& c) { c.setCurrentIndex(9); }, {}, 255},
    {"KeyDown", [](auto& c) { key(c, Qt::Key_Down); }, {65280}, 65280},
    {"KeyUp", [](auto& c) { key(c, Qt::Key_Up); }, {12632256}, 12632256},
    {"KeyHome", [](auto& c) { key(c, Qt::Key_Home); }, {0}, 0},
    {"PickInList", [](auto& c) { pickInList(c, 12); }, {16711680}, 16711680},
    {"ClickInList", [](auto& c) { clickInList(c, 3); }, {32896}, 32896},
    {"PickSelectedInList", [](auto& c) { pickInList(c, 9); }, {}, 255},
};

class Change : public testing::TestWithParam<ChangeCase> {};

} // namespace

// Starting on Red: OnChange exactly when the selection moves, with ColorValue already new.
TEST_P(Change, RaisedWhenTheSelectionMoves) {
    const ChangeCase& c = GetParam();
    auto combo = makeCombo();
    combo->setColorValue(255);
    ChangeLog log(*combo);

    c.act(*combo);

    EXPECT_EQ(log.values, c.changes);
    EXPECT_EQ(combo->ColorValue(), c.value);
    EXPECT_EQ(combo->itemColor(combo->currentIndex()), c.value);
}

INSTANTIATE_TEST_SUITE_P(ColorComboBox, Change, testing::ValuesIn(kChanges),
                         [](const auto& info) { return std::string(info.param.name); });

// --- Drawing ---

namespace {

struct DrawCase {
    const char* name;
    qint32 value;
    bool selected;
};
void PrintTo(const DrawCase& c, std::ostream* os) {
    *os << c.name;
}

class DrawItem : public testing::TestWithParam<DrawCase> {};

} // namespace

// An item drawn into a 120 x 16 rectangle at (5, 3) of a sentinel-coloured picture.
TEST_P(DrawItem, SwatchShadowOutlineAndName) {
    const DrawCase& c = GetParam();
    auto combo = makeCombo();
    combo->setColorValue(c.value);
    const QColor swatchColour = c.value == kButtonFace
                                    ? QApplication::palette().color(QPalette::Button)
                                    : QColor::fromRgb(0, 255, 0);
    const QColor nameBack = c.selected ? QApplication::palette().color(QPalette::Highlight) : kBase;

    QImage img(130, 22, QImage::Format_RGB32);
    img.fill(Qt::magenta);
    const QRect r(5, 3, 120, 16);
    {
        QPainter painter(&img);
        combo->drawItem(painter, r, combo->currentIndex(), c.selected);
    }
    const int L = r.left(), T = r.top(), B = r.bottom();
    const QRect swatch(L + 2, T + 2, 21, r.height() - 4);

    EXPECT_EQ(offColour(img, {0, 0, 130, 3}, Qt::magenta), "") << "nothing above R";
    EXPECT_EQ(offColour(img, {0, 19, 130, 3}, Qt::magenta), "") << "nothing below R";
    EXPECT_EQ(offColour(img, {L, T, 2, r.height()}, kBase), "") << "left margin";
    EXPECT_EQ(offColour(img, {L + 2, T, 23, 2}, kBase), "") << "top margin";
    EXPECT_EQ(offColourOutline(img, swatch, Qt::black), "") << "outline";
    EXPECT_EQ(offColour(img, swatch.adjusted(1, 1, -1, -1), swatchColour), "") << "swatch";
    EXPECT_EQ(offColour(img, {L + 23, T + 4, 2, r.height() - 4}, kShadow), "") << "right shadow";
    EXPECT_EQ(offColour(img, {L + 4, B - 1, 21, 2}, kShadow), "") << "bottom shadow";
    EXPECT_EQ(offColour(img, {L + 23, T + 2, 2, 2}, kBase), "") << "shadow starts 2 down";
    EXPECT_EQ(offColour(img, {L + 2, B - 1, 2, 2}, kBase), "") << "shadow starts 2 right";
    EXPECT_EQ(offColour(img, {L + 25, T, 2, r.height()}, kBase), "") << "gap before the name";

    // The name's rectangle: from L + 27, the name's width plus 6, R's height.
    const int nameWidth = QFontMetrics(combo->font()).horizontalAdvance(combo->currentText()) + 6;
    const QRect name(L + 27, T, nameWidth, r.height());
    EXPECT_EQ(offColour(img, {name.right() + 1, T, r.right() - name.right(), r.height()}, kBase),
              "")
        << "after the name";
    // Text within the name's rectangle, 2 pixels in from its left edge.
    EXPECT_EQ(offColour(img, {name.left() + 1, T + 1, 1, r.height() - 2}, nameBack), "");
    EXPECT_NE(offColour(img, name.adjusted(2, 1, -1, -1), nameBack), "") << "no text drawn";

    // Selected: a dotted focus rectangle on the name's edge; otherwise the edge is background.
    int dots = 0;
    for (int x = name.left(); x <= name.right(); ++x)
        dots += img.pixel(x, T) != nameBack.rgb();
    EXPECT_EQ(dots > 0, c.selected) << dots << " focus dots on the top edge";
    if (c.selected) {
        EXPECT_LT(dots, name.width()) << "dotted, not solid";
    }
    EXPECT_EQ(img.pixel(name.left() + 1, T + 1), nameBack.rgb()) << "background inside the focus";
}

INSTANTIATE_TEST_SUITE_P(ColorComboBox, DrawItem,
                         testing::Values(DrawCase{"Lime", 65280, false},
                                         DrawCase{"LimeSelected", 65280, true},
                                         DrawCase{"ButtonFaceSelected", kButtonFace, true}),
                         [](const auto& info) { return std::string(info.param.name); });

// The list draws its rows with the item drawing, and the closed control draws the selected item.
TEST(ColorComboBox, ListAndClosedControlShowTheSwatches) {
    auto combo = makeCombo();
    combo->setColorValue(qint32(0xFF000013u)); // the longest name
    combo->setColorValue(0x123456);
    combo->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(combo.get()));

    QStyleOptionComboBox option;
    option.initFrom(combo.get());
    const QRect field = combo->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                       QStyle::SC_ComboBoxEditField, combo.get());
    const QImage closed = combo->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(offColour(closed, {field.left() + 3, field.top() + 3, 19, field.height() - 6},
                        QColor(0x56, 0x34, 0x12)),
              "");
    EXPECT_EQ(closed.pixel(field.left() + 2, field.top() + 2), QColor(Qt::black).rgb());
    // The name shows as selected only while the control has the focus.
    const QPoint inName(field.left() + 28, field.top() + 1);
    combo->activateWindow();
    combo->setFocus();
    ASSERT_TRUE(QTest::qWaitForWindowActive(combo.get()));
    ASSERT_TRUE(combo->hasFocus());
    EXPECT_EQ(combo->grab().toImage().pixel(inName),
              QApplication::palette().color(QPalette::Highlight).rgb());
    combo->clearFocus();
    ASSERT_FALSE(combo->hasFocus());
    EXPECT_EQ(combo->grab().toImage().pixel(inName), kBase.rgb());

    combo->showPopup();
    QAbstractItemView* list = combo->view();
    ASSERT_TRUE(list->isVisible());
    EXPECT_GE(list->window()->width(), 86);
    EXPECT_GE(list->viewport()->width(), list->sizeHintForColumn(0)) << "the widest name fits";
    const QImage rows = list->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    for (int row : {0, 10, 17, 21}) {
        const QRect r = list->visualRect(combo->model()->index(row, 0));
        const QColor expected = row == 21 ? QColor(0x56, 0x34, 0x12)
                                          : QColor::fromRgb(kStandard[row].value & 0xFF,
                                                            (kStandard[row].value >> 8) & 0xFF,
                                                            kStandard[row].value >> 16);
        EXPECT_EQ(offColour(rows, {r.left() + 3, r.top() + 3, 19, r.height() - 6}, expected), "")
            << "row " << row;
        EXPECT_EQ(rows.pixel(r.left() + 2, r.top() + 2), QColor(Qt::black).rgb()) << "row " << row;
    }
    combo->hidePopup();
}

namespace {

struct HeightCase {
    const char* name;
    int pixelSize;
};
void PrintTo(const HeightCase& c, std::ostream* os) {
    *os << c.name;
}

class ItemHeight : public testing::TestWithParam<HeightCase> {};

} // namespace

// Every row is the font's height plus one, at least 9, and follows a change of font.
TEST_P(ItemHeight, FollowsTheFont) {
    auto combo = makeCombo();
    combo->show();
    combo->showPopup();
    combo->hidePopup();
    QFont font = combo->font();
    font.setPixelSize(GetParam().pixelSize);
    combo->setFont(font);
    const int expected = std::max(QFontMetrics(font).height() + 1, 9);
    EXPECT_EQ(combo->itemHeight(), expected);

    combo->showPopup();
    for (int row : {0, 19})
        EXPECT_EQ(combo->view()->visualRect(combo->model()->index(row, 0)).height(), expected)
            << "row " << row;
    combo->hidePopup();
}

INSTANTIATE_TEST_SUITE_P(ColorComboBox, ItemHeight,
                         testing::Values(HeightCase{"Small", 3}, HeightCase{"Large", 24}),
                         [](const auto& info) { return std::string(info.param.name); });

#include "platform/fontdialog.h"

#include "platform/modal.h"
#include "tests/support/printers.h"
#include "tests/support/scriptedanswerer.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QFrame>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>
#include <ostream>

namespace platform {
// Readable choices in failures.
void PrintTo(const FontChoice& c, std::ostream* os) {
    *os << '{' << c.Name.toStdString() << ", " << c.Size << "pt, color 0x" << std::hex << c.Color
        << std::dec << (c.Bold ? ", bold" : "") << (c.Italic ? ", italic" : "")
        << (c.Underline ? ", underline" : "") << (c.StrikeOut ? ", strike-out" : "") << '}';
}
} // namespace platform

namespace {

using platform::FontChoice;
using platform::FontDialog;

// Families the project's install script provides; the stored names of another desktop are not
// installed here and reach a real font only through substitution.
const QString kSans = QStringLiteral("Liberation Sans");
const QString kSerif = QStringLiteral("Liberation Serif");

struct RoundTripCase {
    const char* name;
    FontChoice choice;
    const char16_t* colorName; // shown in the colour list
};

void PrintTo(const RoundTripCase& c, std::ostream* os) {
    *os << c.name;
}

const RoundTripCase kRoundTrips[] = {
    {"Plain", {kSans, 10, 0x000000}, u"Чёрный"},
    {"BoldItalic", {kSerif, 14, 0x0000FF, true, true}, u"Красный"},
    {"Bold", {kSerif, 9, 0x800000, true, false}, u"Тёмно-синий"},
    {"Italic", {kSans, 12, 0x008080, false, true}, u"Оливковый"},
    {"UnderlineAndStrikeOut", {kSans, 11, 0xFFFFFF, false, false, true, true}, u"Белый"},
    {"UnderlineOnly", {kSans, 11, 0xFFFF00, false, false, true, false}, u"Морская волна"},
    {"StrikeOutOnly", {kSans, 11, 0x808000, false, false, false, true}, u"Сине-зелёный"},
    {"MissingCardFamily", {QStringLiteral("MS Mincho"), 35, 0x000000}, u"Чёрный"},
    {"MissingCaptionFamily", {QStringLiteral("Tahoma"), 8, 0x800080, true}, u"Фиолетовый"},
    {"ColourNotInTheList", {kSans, 20, 0x123456}, u"Другой"},
    {"SystemColour", {kSans, 20, qint32(0xFF000008u)}, u"Другой"},
    {"SizeNotInTheList", {kSerif, 13, 0x00FF00}, u"Лайм"},
    {"LargeSize", {kSerif, 200, 0x00FFFF}, u"Жёлтый"},
};

class RoundTrip : public testing::TestWithParam<RoundTripCase> {};

template <class T> T* child(QDialog& d, const char* name) {
    T* w = d.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
}

void click(QDialog& d, const char* button) {
    QTest::mouseClick(child<QPushButton>(d, button), Qt::LeftButton);
}

QListWidgetItem* itemOf(QDialog& d, const char* list, const QString& text) {
    const auto items = child<QListWidget>(d, list)->findItems(text, Qt::MatchExactly);
    EXPECT_EQ(items.size(), 1) << list << ": " << text.toStdString();
    return items.isEmpty() ? nullptr : items.front();
}

// Clicks the item as the user would, so the list's current item changes.
void pick(QDialog& d, const char* list, const QString& text) {
    QListWidget* w = child<QListWidget>(d, list);
    QListWidgetItem* item = itemOf(d, list, text);
    ASSERT_NE(item, nullptr);
    w->scrollToItem(item);
    QTest::mouseClick(w->viewport(), Qt::LeftButton, {}, w->visualItemRect(item).center());
    ASSERT_EQ(w->currentItem(), item);
}

template <class Case> std::string caseName(const testing::TestParamInfo<Case>& info) {
    return info.param.name;
}

// How many pixels of image have exactly colour c.
int countColour(const QImage& image, QColor c) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += image.pixelColor(x, y) == c ? 1 : 0;
    return n;
}

} // namespace

TEST(FontDialog, LooksLikeTheProgramsFontDialog) {
    FontDialog dialog;
    EXPECT_EQ(dialog.objectName(), QStringLiteral("FontDialog"));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Шрифт"));
    EXPECT_EQ(child<QCheckBox>(dialog, "StrikeOutCB")->text(), QStringLiteral("Зачёркнутый"));
    EXPECT_EQ(child<QCheckBox>(dialog, "UnderlineCB")->text(), QStringLiteral("Подчёркнутый"));
    EXPECT_EQ(child<QPushButton>(dialog, "OKBtn")->text(), QStringLiteral("OK"));
    EXPECT_EQ(child<QPushButton>(dialog, "CancelBtn")->text(), QStringLiteral("Отмена"));
    EXPECT_TRUE(child<QPushButton>(dialog, "OKBtn")->isDefault());

    QComboBox* colors = child<QComboBox>(dialog, "ColorCB");
    ASSERT_EQ(colors->count(), 16);
    const char16_t* names[] = {u"Чёрный",      u"Бордовый",   u"Зелёный",       u"Оливковый",
                               u"Тёмно-синий", u"Фиолетовый", u"Сине-зелёный",  u"Серый",
                               u"Серебристый", u"Красный",    u"Лайм",          u"Жёлтый",
                               u"Синий",       u"Фуксия",     u"Морская волна", u"Белый"};
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(colors->itemText(i), QString::fromUtf16(names[i])) << i;

    QListWidget* families = child<QListWidget>(dialog, "FamilyList");
    EXPECT_FALSE(families->findItems(kSans, Qt::MatchExactly).isEmpty());
    for (int i = 0; i < families->count(); ++i)
        EXPECT_TRUE(QFontDatabase::isSmoothlyScalable(families->item(i)->text()))
            << families->item(i)->text().toStdString();
}

// An unchanged OK gives back every attribute that was set, a family the system lacks included.
TEST_P(RoundTrip, UnchangedOkGivesBackTheChoice) {
    const RoundTripCase& c = GetParam();
    FontDialog dialog;
    dialog.setChoice(c.choice);
    ScriptedAnswerer answers;
    answers.expectDialog(QStringLiteral("FontDialog"), [&](QDialog& d) {
        EXPECT_EQ(child<QLineEdit>(d, "FamilyEdit")->text(), c.choice.Name);
        EXPECT_EQ(child<QLineEdit>(d, "SizeEdit")->text(), QString::number(c.choice.Size));
        EXPECT_EQ(child<QComboBox>(d, "ColorCB")->currentText(), QString::fromUtf16(c.colorName));
        EXPECT_EQ(child<QCheckBox>(d, "UnderlineCB")->isChecked(), c.choice.Underline);
        EXPECT_EQ(child<QCheckBox>(d, "StrikeOutCB")->isChecked(), c.choice.StrikeOut);
        click(d, "OKBtn");
        return int(QDialog::Rejected); // unused: OK closed it
    });
    EXPECT_EQ(platform::execModal(dialog), int(QDialog::Accepted));
    EXPECT_EQ(dialog.choice(), c.choice);
}

INSTANTIATE_TEST_SUITE_P(FontDialog, RoundTrip, testing::ValuesIn(kRoundTrips),
                         caseName<RoundTripCase>);

TEST(FontDialog, EveryControlReachesTheChoice) {
    FontDialog dialog;
    dialog.setChoice({QStringLiteral("MS Mincho"), 35, 0x123456});
    ScriptedAnswerer answers;
    answers.expectDialog(QStringLiteral("FontDialog"), [&](QDialog& d) {
        pick(d, "FamilyList", kSerif);
        EXPECT_EQ(child<QLineEdit>(d, "FamilyEdit")->text(), kSerif);
        pick(d, "StyleList", QStringLiteral("Полужирный курсив"));
        EXPECT_EQ(child<QLineEdit>(d, "StyleEdit")->text(), QStringLiteral("Полужирный курсив"));
        pick(d, "SizeList", QStringLiteral("24"));
        EXPECT_EQ(child<QLineEdit>(d, "SizeEdit")->text(), QStringLiteral("24"));
        QTest::mouseClick(child<QCheckBox>(d, "UnderlineCB"), Qt::LeftButton);
        QTest::mouseClick(child<QCheckBox>(d, "StrikeOutCB"), Qt::LeftButton);
        QComboBox* colors = child<QComboBox>(d, "ColorCB");
        colors->setCurrentIndex(colors->findText(QStringLiteral("Синий")));
        click(d, "OKBtn");
        return int(QDialog::Rejected);
    });
    ASSERT_EQ(platform::execModal(dialog), int(QDialog::Accepted));
    EXPECT_EQ(dialog.choice(), (FontChoice{kSerif, 24, 0xFF0000, true, true, true, true}));
}

// The family and size fields take typed text: a family's start picks the first family that
// starts so, any size can be typed.
TEST(FontDialog, TypedFamilyAndSize) {
    FontDialog dialog;
    dialog.setChoice({QStringLiteral("Tahoma"), 8, 0});
    ScriptedAnswerer answers;
    answers.expectDialog(QStringLiteral("FontDialog"), [&](QDialog& d) {
        QLineEdit* family = child<QLineEdit>(d, "FamilyEdit");
        family->selectAll();
        QTest::keyClicks(family, QStringLiteral("liberation ser"));
        EXPECT_EQ(child<QListWidget>(d, "FamilyList")->currentItem()->text(), kSerif);
        QLineEdit* size = child<QLineEdit>(d, "SizeEdit");
        size->selectAll();
        QTest::keyClicks(size, QStringLiteral("x17"));
        EXPECT_EQ(size->text(), QStringLiteral("17"));
        EXPECT_EQ(child<QListWidget>(d, "SizeList")->currentItem(), nullptr);
        click(d, "OKBtn");
        return int(QDialog::Rejected);
    });
    ASSERT_EQ(platform::execModal(dialog), int(QDialog::Accepted));
    EXPECT_EQ(dialog.choice(), (FontChoice{kSerif, 17, 0}));
}

TEST(FontDialog, ArrowKeysInTheFamilyFieldMoveThroughTheList) {
    FontDialog dialog;
    dialog.setChoice({kSans, 10, 0});
    QListWidget* list = child<QListWidget>(dialog, "FamilyList");
    const int row = list->currentRow();
    ASSERT_GE(row, 0);
    ASSERT_LT(row + 1, list->count());
    QTest::keyClick(child<QLineEdit>(dialog, "FamilyEdit"), Qt::Key_Down);
    EXPECT_EQ(list->currentRow(), row + 1);
    EXPECT_EQ(child<QLineEdit>(dialog, "FamilyEdit")->text(), list->item(row + 1)->text());
}

TEST(FontDialog, CancelPutsTheLastChoiceBack) {
    const FontChoice given{QStringLiteral("MS Mincho"), 35, 0x123456, false, true, false, true};
    FontDialog dialog;
    dialog.setChoice(given);
    const auto changeEverything = [&](QDialog& d) {
        pick(d, "FamilyList", kSans);
        pick(d, "StyleList", QStringLiteral("Полужирный"));
        pick(d, "SizeList", QStringLiteral("72"));
        QTest::mouseClick(child<QCheckBox>(d, "UnderlineCB"), Qt::LeftButton);
        QTest::mouseClick(child<QCheckBox>(d, "StrikeOutCB"), Qt::LeftButton);
        child<QComboBox>(d, "ColorCB")->setCurrentIndex(0);
    };
    ScriptedAnswerer answers;
    answers.expectDialog(QStringLiteral("FontDialog"), [&](QDialog& d) {
        changeEverything(d);
        click(d, "CancelBtn");
        return int(QDialog::Accepted); // unused: Cancel closed it
    });
    EXPECT_EQ(platform::execModal(dialog), int(QDialog::Rejected));
    EXPECT_EQ(dialog.choice(), given);
    EXPECT_EQ(child<QLineEdit>(dialog, "FamilyEdit")->text(), given.Name);
    EXPECT_EQ(child<QComboBox>(dialog, "ColorCB")->currentText(), QStringLiteral("Другой"));

    // Closed by Esc (or by the caller's own rejection) works the same.
    answers.expectDialog(QStringLiteral("FontDialog"), [&](QDialog& d) {
        changeEverything(d);
        QTest::keyClick(&d, Qt::Key_Escape);
        return int(QDialog::Accepted);
    });
    EXPECT_EQ(platform::execModal(dialog), int(QDialog::Rejected));
    EXPECT_EQ(dialog.choice(), given);
    answers.expectDialog(QStringLiteral("FontDialog"), [&](QDialog& d) {
        changeEverything(d);
        return int(QDialog::Rejected);
    });
    EXPECT_EQ(platform::execModal(dialog), int(QDialog::Rejected));
    EXPECT_EQ(dialog.choice(), given);
}

TEST(FontDialog, CancelAfterAConfirmedShowingKeepsTheConfirmedChoice) {
    FontDialog dialog;
    dialog.setChoice({kSans, 10, 0});
    ScriptedAnswerer answers;
    answers.expectDialog(QStringLiteral("FontDialog"), [&](QDialog& d) {
        pick(d, "SizeList", QStringLiteral("16"));
        return int(QDialog::Accepted);
    });
    answers.expectDialog(QStringLiteral("FontDialog"), [&](QDialog& d) {
        pick(d, "SizeList", QStringLiteral("48"));
        return int(QDialog::Rejected);
    });
    EXPECT_EQ(platform::execModal(dialog), int(QDialog::Accepted));
    EXPECT_EQ(platform::execModal(dialog), int(QDialog::Rejected));
    EXPECT_EQ(dialog.choice(), (FontChoice{kSans, 16, 0}));
}

// A colour missing from the list gets one "Другой" entry, reused for the next such colour and
// still there after a standard colour is chosen.
TEST(FontDialog, OneOtherColourEntry) {
    FontDialog dialog;
    QComboBox* colors = child<QComboBox>(dialog, "ColorCB");
    dialog.setChoice({kSans, 10, 0x123456});
    dialog.setChoice({kSans, 10, 0x654321});
    ASSERT_EQ(colors->count(), 17);
    EXPECT_EQ(colors->currentIndex(), 16);
    EXPECT_EQ(dialog.choice().Color, 0x654321);
    colors->setCurrentIndex(3);
    EXPECT_EQ(dialog.choice().Color, 0x008080);
    colors->setCurrentIndex(16);
    EXPECT_EQ(dialog.choice().Color, 0x654321);
    dialog.setChoice({kSans, 10, 0x808080});
    EXPECT_EQ(colors->currentText(), QStringLiteral("Серый"));
}

// The sample draws its text in the chosen colour (0x00BBGGRR), following the controls.
TEST(FontDialog, SampleShowsTheTextInItsColour) {
    FontDialog dialog;
    dialog.setChoice({kSans, 36, 0x0000FF, true});
    dialog.show();
    QFrame* sample = child<QFrame>(dialog, "Sample");
    EXPECT_GT(countColour(sample->grab().toImage(), QColor(255, 0, 0)), 20);

    QComboBox* colors = child<QComboBox>(dialog, "ColorCB");
    colors->setCurrentIndex(colors->findText(QStringLiteral("Синий")));
    const QImage blue = sample->grab().toImage();
    EXPECT_EQ(countColour(blue, QColor(255, 0, 0)), 0);
    EXPECT_GT(countColour(blue, QColor(0, 0, 255)), 20);

    dialog.setChoice({kSans, 36, 0x204080, true});
    EXPECT_GT(countColour(sample->grab().toImage(), QColor(0x80, 0x40, 0x20)), 20);
}

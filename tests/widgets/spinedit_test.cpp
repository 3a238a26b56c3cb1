#include "widgets/spinedit.h"

#include "tests/support/printers.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QStyleOptionSpinBox>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>

namespace {

// --- The value a text reads as ---

struct ReadCase {
    const char* name;
    const char16_t* text;
    int minimum, maximum;
    int value;
};

void PrintTo(const ReadCase& c, std::ostream* os) {
    *os << c.name;
}

const ReadCase kReads[] = {
    {"Number", u"42", 0, 600, 42},
    {"Bounds", u"600", 0, 600, 600},
    {"AboveTheTop", u"7000", 0, 600, 600},
    {"BelowTheBottom", u"0", 1, 900, 1},
    {"NegativeBelowTheBottom", u"-5", 0, 600, 0},
    {"NegativeInRange", u"-5", -10, 10, -5},
    {"PlusSign", u"+17", 0, 600, 17},
    {"LeadingZeros", u"007", 0, 600, 7},
    {"Empty", u"", 1, 900, 1},
    {"LonePlus", u"+", 1, 900, 1},
    {"LoneMinus", u"-", 1, 900, 1},
    {"SignInside", u"1-2", 0, 600, 0},
    {"TwoSigns", u"+-3", 0, 600, 0},
    {"TrailingSign", u"5+", 1, 900, 1},
    {"LongerThanAnyInt", u"99999999999999999999", 0, 600, 600},
    {"NegativeLongerThanAnyInt", u"-99999999999999999999", -10, 10, -10},
};

class ReadValue : public testing::TestWithParam<ReadCase> {};

// --- Typing into the field ---

enum class Start { AllSelected, CursorAtEnd, CursorAtStart };

struct TypingCase {
    const char* name;
    int minimum, maximum, initial;
    Start start;
    const char16_t* typed; // characters typed one by one; '\b' is Backspace, 0x7f Delete
    const char16_t* shown; // the field afterwards
    int value;
};

void PrintTo(const TypingCase& c, std::ostream* os) {
    *os << c.name;
}

const TypingCase kTyping[] = {
    {"AboveTheTopLeavesTheTop", 0, 600, 10, Start::AllSelected, u"7000", u"600", 600},
    {"DeletingTheTextLeavesTheBottom", 1, 900, 25, Start::AllSelected, u"\x7f", u"1", 1},
    {"BackspacingTheTextLeavesTheBottom", 1, 900, 25, Start::CursorAtEnd, u"\b\b", u"1", 1},
    {"ReplacingWithAMinusLeavesTheBottom", 0, 600, 15, Start::AllSelected, u"-", u"0", 0},
    {"ReplacingWithAPlusLeavesTheBottom", 1, 900, 30, Start::AllSelected, u"+", u"1", 1},
    {"MinusBeforeANumberClampsToTheBottom", 0, 600, 5, Start::CursorAtStart, u"-", u"0", 0},
    {"PlusBeforeANumberIsDropped", 0, 600, 5, Start::CursorAtStart, u"+", u"5", 5},
    {"LeadingZeroIsDropped", 0, 600, 0, Start::CursorAtEnd, u"7", u"7", 7},
    {"OtherCharactersAreRefused", 0, 600, 12, Start::AllSelected, u"4a .,x2", u"42", 42},
    {"RefusedCharacterKeepsTheText", 0, 600, 12, Start::CursorAtEnd, u"e", u"12", 12},
    {"DigitsAppend", 1, 900, 9, Start::CursorAtEnd, u"0", u"90", 90},
};

class Typing : public testing::TestWithParam<TypingCase> {};

std::unique_ptr<TSpinEdit> makeSpin(int minimum, int maximum, int value) {
    auto spin = std::make_unique<TSpinEdit>();
    spin->setRange(minimum, maximum);
    spin->setValue(value);
    spin->resize(44, 21);
    return spin;
}

QLineEdit* editOf(TSpinEdit& spin) {
    return spin.findChild<QLineEdit*>();
}

template <class Case> std::string caseName(const testing::TestParamInfo<Case>& info) {
    return info.param.name;
}

} // namespace

TEST_P(ReadValue, ClampsToTheRange) {
    const ReadCase& c = GetParam();
    EXPECT_EQ(TSpinEdit::readValue(QString::fromUtf16(c.text), c.minimum, c.maximum), c.value);
}

INSTANTIATE_TEST_SUITE_P(SpinEdit, ReadValue, testing::ValuesIn(kReads), caseName<ReadCase>);

TEST_P(Typing, RewritesTheFieldWithTheClampedValue) {
    const TypingCase& c = GetParam();
    auto spin = makeSpin(c.minimum, c.maximum, c.initial);
    QLineEdit* edit = editOf(*spin);
    ASSERT_NE(edit, nullptr);
    switch (c.start) {
    case Start::AllSelected:
        spin->selectAll();
        break;
    case Start::CursorAtEnd:
        edit->end(false);
        break;
    case Start::CursorAtStart:
        edit->home(false);
        break;
    }
    QSignalSpy changes(spin.get(), &QSpinBox::valueChanged);

    for (const char16_t* p = c.typed; *p; ++p) {
        if (*p == u'\b')
            QTest::keyClick(spin.get(), Qt::Key_Backspace);
        else if (*p == u'\x7f')
            QTest::keyClick(spin.get(), Qt::Key_Delete);
        else
            QTest::keyClicks(spin.get(), QString(QChar(*p)));
        // Every intermediate text is already a value within the range.
        EXPECT_EQ(spin->text(), QString::number(spin->value()));
        EXPECT_GE(spin->value(), c.minimum);
        EXPECT_LE(spin->value(), c.maximum);
    }

    EXPECT_EQ(spin->text(), QString::fromUtf16(c.shown));
    EXPECT_EQ(spin->value(), c.value);
    if (c.value != c.initial) {
        ASSERT_FALSE(changes.isEmpty());
        EXPECT_EQ(changes.back().at(0).toInt(), c.value);
    }
    EXPECT_TRUE(spin->hasAcceptableInput());
}

INSTANTIATE_TEST_SUITE_P(SpinEdit, Typing, testing::ValuesIn(kTyping), caseName<TypingCase>);

TEST(SpinEdit, CursorEndsAfterTheRewrittenText) {
    auto spin = makeSpin(0, 600, 50);
    QLineEdit* edit = editOf(*spin);
    edit->home(false);
    QTest::keyClicks(spin.get(), QStringLiteral("9")); // "950" becomes "600"
    EXPECT_EQ(spin->text(), QStringLiteral("600"));
    EXPECT_EQ(edit->cursorPosition(), 3);

    // A change that needs no rewrite leaves the cursor where the typing put it.
    spin->setValue(15);
    edit->setCursorPosition(1);
    QTest::keyClicks(spin.get(), QStringLiteral("0"));
    EXPECT_EQ(spin->text(), QStringLiteral("105"));
    EXPECT_EQ(edit->cursorPosition(), 2);
}

TEST(SpinEdit, ArrowKeysAndButtonsStepByOneWithinTheRange) {
    auto spin = makeSpin(1, 900, 5);
    spin->show();
    QTest::keyClick(spin.get(), Qt::Key_Up);
    EXPECT_EQ(spin->value(), 6);
    QTest::keyClick(spin.get(), Qt::Key_Down);
    QTest::keyClick(spin.get(), Qt::Key_Down);
    EXPECT_EQ(spin->value(), 4);

    QStyleOptionSpinBox option;
    option.initFrom(spin.get());
    option.subControls = QStyle::SC_SpinBoxUp | QStyle::SC_SpinBoxDown;
    option.stepEnabled = QAbstractSpinBox::StepUpEnabled | QAbstractSpinBox::StepDownEnabled;
    option.buttonSymbols = spin->buttonSymbols();
    option.frame = spin->hasFrame();
    const QRect up = spin->style()->subControlRect(QStyle::CC_SpinBox, &option,
                                                   QStyle::SC_SpinBoxUp, spin.get());
    const QRect down = spin->style()->subControlRect(QStyle::CC_SpinBox, &option,
                                                     QStyle::SC_SpinBoxDown, spin.get());
    QTest::mouseClick(spin.get(), Qt::LeftButton, {}, up.center());
    EXPECT_EQ(spin->value(), 5);
    QTest::mouseClick(spin.get(), Qt::LeftButton, {}, down.center());
    EXPECT_EQ(spin->value(), 4);
    EXPECT_EQ(spin->text(), QStringLiteral("4"));

    spin->setValue(1);
    QTest::keyClick(spin.get(), Qt::Key_Down);
    EXPECT_EQ(spin->value(), 1);
    spin->setValue(900);
    QTest::keyClick(spin.get(), Qt::Key_Up);
    EXPECT_EQ(spin->value(), 900);
    EXPECT_EQ(spin->text(), QStringLiteral("900"));
}

#include "dialogs/uedit.h"

#include "platform/modal.h"
#include "tests/support/printers.h"
#include "tests/support/scriptedanswerer.h"

#include <QApplication>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>

namespace {

const QString kRefusal = QStringLiteral("Знаки \"=\" и \"＝\" в записи недопустимы!");

// What execModal returns when the dialog was left open: shows that a result came from the
// dialog itself, not from the script.
constexpr int kLeftOpen = 42;

// Types text into a field as key presses, each carrying its character (kanji and kana included),
// at the cursor or over the selection.
void typeInto(QLineEdit* edit, const QString& text) {
    for (QChar c : text)
        QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

// Replaces a field's text as a user would: select all, then type.
void retype(QLineEdit* edit, const QString& text) {
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    if (text.isEmpty())
        QTest::keyClick(edit, Qt::Key_Delete);
    else
        typeInto(edit, text);
}

QPushButton* button(QDialog& d, const char* name) {
    auto* b = d.findChild<QPushButton*>(QString::fromLatin1(name));
    EXPECT_NE(b, nullptr) << name;
    return b;
}

void clickButton(QDialog& d, const char* name) {
    if (QPushButton* b = button(d, name))
        QTest::mouseClick(b, Qt::LeftButton);
}

TEditForm& editForm(QDialog& d) {
    return static_cast<TEditForm&>(d);
}

// An editor preset with a word, as the deck editor sets it before showing it.
class EditFormTest : public testing::Test {
protected:
    EditFormTest() {
        form.KanjiText = QStringLiteral("日本");
        form.KanaText = QStringLiteral("にほん");
        form.TranslationText = QStringLiteral("Япония");
    }

    // Shows the editor through the program's modal path; action plays the user.
    int run(ScriptedAnswerer::DialogAction action) {
        answerer.expectDialog(QStringLiteral("EditForm"), std::move(action));
        return platform::execModal(form);
    }

    ScriptedAnswerer answerer;
    TEditForm form;
};

} // namespace

TEST_F(EditFormTest, EachShowingFillsTheFieldsFromTheTexts) {
    form.show();
    EXPECT_EQ(form.JWrdEdit->text(), QStringLiteral("日本"));
    EXPECT_EQ(form.KWrdEdit->text(), QStringLiteral("にほん"));
    EXPECT_EQ(form.TrWrdEdit->text(), QStringLiteral("Япония"));

    // What was typed in a cancelled showing is gone at the next one, which reads the texts anew
    // (the deck editor empties them for a new word).
    retype(form.JWrdEdit, QStringLiteral("東京"));
    QTest::keyClick(form.JWrdEdit, Qt::Key_Escape);
    ASSERT_FALSE(form.isVisible());
    form.KanjiText.clear();
    form.KanaText.clear();
    form.TranslationText = QStringLiteral("новое");
    form.show();
    EXPECT_EQ(form.JWrdEdit->text(), QString());
    EXPECT_EQ(form.KWrdEdit->text(), QString());
    EXPECT_EQ(form.TrWrdEdit->text(), QStringLiteral("новое"));
}

TEST_F(EditFormTest, OkReturnsTheTypedTexts) {
    const int result = run([](QDialog& d) {
        TEditForm& f = editForm(d);
        retype(f.JWrdEdit, QStringLiteral("東京"));
        retype(f.KWrdEdit, QString()); // an empty field is accepted too
        retype(f.TrWrdEdit, QStringLiteral("Токио; столица"));
        clickButton(d, "OKBtn");
        return kLeftOpen;
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(form.JWrdEdit->text(), QStringLiteral("東京"));
    EXPECT_EQ(form.KWrdEdit->text(), QString());
    EXPECT_EQ(form.TrWrdEdit->text(), QStringLiteral("Токио; столица"));
    // The caller's texts are its own; the editor only reads them.
    EXPECT_EQ(form.KanjiText, QStringLiteral("日本"));
}

namespace {

struct CloseCase {
    const char* name;
    std::function<void(TEditForm&)> close;
    int result;
};

void PrintTo(const CloseCase& c, std::ostream* os) {
    *os << c.name;
}

class EditFormCloseTest : public EditFormTest, public testing::WithParamInterface<CloseCase> {};

} // namespace

TEST_P(EditFormCloseTest, ClosesWithItsResult) {
    const int result = run([](QDialog& d) {
        TEditForm& f = editForm(d);
        retype(f.KWrdEdit, QStringLiteral("にっぽん"));
        GetParam().close(f);
        return kLeftOpen;
    });
    EXPECT_EQ(result, GetParam().result);
    EXPECT_FALSE(form.isVisible());
}

INSTANTIATE_TEST_SUITE_P(
    Ways, EditFormCloseTest,
    testing::Values(CloseCase{"OkButton",
                              [](TEditForm& f) { QTest::mouseClick(f.OKBtn, Qt::LeftButton); },
                              QDialog::Accepted},
                    CloseCase{"EnterInAField",
                              [](TEditForm& f) { QTest::keyClick(f.KWrdEdit, Qt::Key_Return); },
                              QDialog::Accepted},
                    CloseCase{"CancelButton",
                              [](TEditForm& f) { QTest::mouseClick(f.CancelBtn, Qt::LeftButton); },
                              QDialog::Rejected},
                    CloseCase{"Escape",
                              [](TEditForm& f) { QTest::keyClick(f.KWrdEdit, Qt::Key_Escape); },
                              QDialog::Rejected},
                    CloseCase{"CloseBox", [](TEditForm& f) { f.close(); }, QDialog::Rejected}),
    [](const testing::TestParamInfo<CloseCase>& info) { return std::string(info.param.name); });

namespace {

struct SeparatorCase {
    const char* name;
    QLineEdit* TEditForm::*field;
    QString separator;
};

void PrintTo(const SeparatorCase& c, std::ostream* os) {
    *os << c.name;
}

class EditFormSeparatorTest : public EditFormTest,
                              public testing::WithParamInterface<SeparatorCase> {};

} // namespace

// "=" and "＝" separate the fields of a deck entry, so OK refuses a field holding either: the box
// says why, and the editor stays open with the text as typed, so the user can mend it.
TEST_P(EditFormSeparatorTest, OkRefusesTheSeparators) {
    QString typed;
    const int result = run([&](QDialog& d) {
        TEditForm& f = editForm(d);
        QLineEdit* edit = f.*GetParam().field;
        QTest::keyClick(edit, Qt::Key_End);
        typeInto(edit, GetParam().separator + QStringLiteral("x"));
        typed = edit->text();
        answerer.expectError(kRefusal);
        clickButton(d, "OKBtn");

        EXPECT_TRUE(d.isVisible());
        EXPECT_EQ(answerer.shown().size(), 1u);
        EXPECT_EQ(edit->text(), typed);
        EXPECT_EQ(d.focusWidget(), edit) << "the field to mend has the focus";

        // Mended, the entry is accepted.
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClick(edit, Qt::Key_Backspace);
        clickButton(d, "OKBtn");
        return kLeftOpen;
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(answerer.shown().size(), 1u);
    EXPECT_EQ(form.JWrdEdit->text(), QStringLiteral("日本"));
    EXPECT_EQ(form.KWrdEdit->text(), QStringLiteral("にほん"));
    EXPECT_EQ(form.TrWrdEdit->text(), QStringLiteral("Япония"));
}

INSTANTIATE_TEST_SUITE_P(
    Fields, EditFormSeparatorTest,
    testing::Values(SeparatorCase{"KanjiEquals", &TEditForm::JWrdEdit, QStringLiteral("=")},
                    SeparatorCase{"KanjiFullWidth", &TEditForm::JWrdEdit, QStringLiteral("＝")},
                    SeparatorCase{"KanaEquals", &TEditForm::KWrdEdit, QStringLiteral("=")},
                    SeparatorCase{"KanaFullWidth", &TEditForm::KWrdEdit, QStringLiteral("＝")},
                    SeparatorCase{"TranslationEquals", &TEditForm::TrWrdEdit, QStringLiteral("=")},
                    SeparatorCase{"TranslationFullWidth", &TEditForm::TrWrdEdit,
                                  QStringLiteral("＝")}),
    [](const testing::TestParamInfo<SeparatorCase>& info) { return std::string(info.param.name); });

TEST_F(EditFormTest, EnterWithASeparatorIsRefusedToo) {
    const int result = run([&](QDialog& d) {
        TEditForm& f = editForm(d);
        retype(f.TrWrdEdit, QStringLiteral("a=b"));
        answerer.expectError(kRefusal);
        QTest::keyClick(f.TrWrdEdit, Qt::Key_Return);
        EXPECT_TRUE(d.isVisible());
        return int(QDialog::Rejected);
    });
    EXPECT_EQ(result, QDialog::Rejected);
    EXPECT_EQ(form.TrWrdEdit->text(), QStringLiteral("a=b"));
}

TEST_F(EditFormTest, FocusStartsInTheKanjiFieldAndComesBackWhereItWas) {
    form.show();
    EXPECT_EQ(form.focusWidget(), form.JWrdEdit);

    // Tab walks the fields, then OK and Cancel.
    const QWidget* expected[] = {form.KWrdEdit, form.TrWrdEdit, button(form, "OKBtn"),
                                 button(form, "CancelBtn"), form.JWrdEdit};
    for (const QWidget* next : expected) {
        QTest::keyClick(form.focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(form.focusWidget(), next);
    }

    form.TrWrdEdit->setFocus();
    QTest::keyClick(form.TrWrdEdit, Qt::Key_Escape);
    ASSERT_FALSE(form.isVisible());
    form.show();
    EXPECT_EQ(form.focusWidget(), form.TrWrdEdit);

    // A click on Cancel gives that button the focus, and it keeps it for the next showing.
    clickButton(form, "CancelBtn");
    ASSERT_FALSE(form.isVisible());
    form.show();
    EXPECT_EQ(form.focusWidget(), button(form, "CancelBtn"));
}

TEST_F(EditFormTest, FixedSizeAndCentredOnTheScreen) {
    // A parent in the screen's corner: a dialog would sit over it unless it centres itself.
    QWidget owner;
    owner.setGeometry(0, 0, 100, 100);
    owner.show();
    TEditForm owned(&owner);
    owned.show();
    EXPECT_EQ(owned.size(), QSize(197, 158));
    EXPECT_EQ(owned.minimumSize(), owned.maximumSize());
    const QPoint screenCentre = owned.screen()->availableGeometry().center();
    EXPECT_LE((owned.frameGeometry().center() - screenCentre).manhattanLength(), 2);

    const auto* box = owned.findChild<QGroupBox*>();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->geometry(), QRect(2, 2, 191, 119));
    EXPECT_EQ(owned.JWrdEdit->geometry(), QRect(2, 28, 187, 21));
    EXPECT_EQ(owned.KWrdEdit->geometry(), QRect(2, 62, 187, 21));
    EXPECT_EQ(owned.TrWrdEdit->geometry(), QRect(2, 96, 187, 21));
}

// A pasted word may carry its line end or other control characters: they would end the entry's
// line in the deck file. OK puts every field on one line and trims it, as a pasted word is meant.
TEST_F(EditFormTest, OkPutsPastedTextsOnOneLine) {
    const int result = run([](QDialog& d) {
        TEditForm& f = editForm(d);
        f.JWrdEdit->setText(QStringLiteral("東京\r\n"));
        f.KWrdEdit->setText(QStringLiteral("\tとうきょう\u2028"));
        f.TrWrdEdit->setText(QStringLiteral("Токио;\nстолица\u0085"));
        clickButton(d, "OKBtn");
        return kLeftOpen;
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(form.JWrdEdit->text(), QStringLiteral("東京"));
    EXPECT_EQ(form.KWrdEdit->text(), QStringLiteral("とうきょう"));
    EXPECT_EQ(form.TrWrdEdit->text(), QStringLiteral("Токио; столица"));
}

// The deck reader takes a line that starts with "#" or "＃" for a word switched off: a kanji
// field starting so is refused, the other fields may start with anything.
TEST_F(EditFormTest, OkRefusesAKanjiThatStartsWithTheSwitchOffMark) {
    for (const QString& kanji : {QStringLiteral("#犬"), QStringLiteral(" ＃犬")}) {
        const int result = run([&](QDialog& d) {
            TEditForm& f = editForm(d);
            f.JWrdEdit->setText(kanji);
            f.KWrdEdit->setText(QStringLiteral("#いぬ"));
            answerer.expectError(
                QStringLiteral("Кандзи не может начинаться со знака \"#\" или \"＃\"!"));
            clickButton(d, "OKBtn");
            EXPECT_TRUE(d.isVisible());
            EXPECT_EQ(d.focusWidget(), f.JWrdEdit);
            f.JWrdEdit->setText(QStringLiteral("犬#"));
            clickButton(d, "OKBtn");
            return kLeftOpen;
        });
        EXPECT_EQ(result, QDialog::Accepted) << kanji.toStdString();
        EXPECT_EQ(form.KWrdEdit->text(), QStringLiteral("#いぬ"));
    }
}

#include "widgets/filenameedit.h"

#include "tests/support/printers.h"
#include "tests/support/scriptedanswerer.h"
#include "tests/support/tempdir.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>
#include <gtest/gtest.h>
#include <ostream>

namespace {

const QString kFilter = QStringLiteral("SB files (*.sb)|*.sb|All files (*.*)|*.*");

// --- Quoting ---

struct QuoteCase {
    const char* name;
    const char16_t* fileName;
    const char16_t* shown;
};

void PrintTo(const QuoteCase& c, std::ostream* os) {
    *os << c.name;
}

const QuoteCase kQuoting[] = {
    {"PlainName", u"/home/user/decks/words.sb", u"/home/user/decks/words.sb"},
    {"SpaceInTheFolder", u"/home/user/my decks/words.sb", u"\"/home/user/my decks/words.sb\""},
    {"SpaceInTheName", u"words 2.sb", u"\"words 2.sb\""},
    {"OnlyASpace", u" ", u"\" \""},
    {"Empty", u"", u""},
};

class Quoting : public testing::TestWithParam<QuoteCase> {};

// Texts typed by the user: only a pair of enclosing quotes is dropped.
struct ReadCase {
    const char* name;
    const char16_t* text;
    const char16_t* fileName;
};

void PrintTo(const ReadCase& c, std::ostream* os) {
    *os << c.name;
}

const ReadCase kReads[] = {
    {"UnquotedWithSpace", u"/tmp/a b.sb", u"/tmp/a b.sb"},
    {"QuotedWithoutSpace", u"\"/tmp/ab.sb\"", u"/tmp/ab.sb"},
    {"EmptyQuotes", u"\"\"", u""},
    {"OpeningQuoteOnly", u"\"/tmp/a b.sb", u"\"/tmp/a b.sb"},
    {"LoneQuote", u"\"", u"\""},
};

class Reading : public testing::TestWithParam<ReadCase> {};

// --- Filters ---

struct FilterCase {
    const char* name;
    const char16_t* filter;
    QStringList nameFilters;
};

void PrintTo(const FilterCase& c, std::ostream* os) {
    *os << c.name;
}

const FilterCase kFilters[] = {
    {"DeckFilter",
     u"SB files (*.sb)|*.sb|All files (*.*)|*.*",
     {QStringLiteral("SB files (*.sb)"), QStringLiteral("All files (*)")}},
    {"DescriptionWithoutPatterns", u"Decks|*.sb", {QStringLiteral("Decks (*.sb)")}},
    {"SeveralPatterns", u"Text|*.txt;*.log", {QStringLiteral("Text (*.txt *.log)")}},
    {"PatternsComeFromThePair", u"Decks (*.old)|*.sb", {QStringLiteral("Decks (*.sb)")}},
    {"NoPatterns", u"Anything|", {QStringLiteral("Anything (*)")}},
    {"Empty", u"", {}},
};

class Filters : public testing::TestWithParam<FilterCase> {};

template <class Case> std::string caseName(const testing::TestParamInfo<Case>& info) {
    return info.param.name;
}

// The options dialog's deck field in an active window, beside another control that can take the
// focus; and a folder of decks to browse.
class FilenameEditFixture : public testing::Test {
protected:
    FilenameEditFixture() {
        auto* layout = new QVBoxLayout(&window);
        field = new TFilenameEdit(&window);
        other = new QLineEdit(&window);
        layout->addWidget(field);
        layout->addWidget(other);
        field->setFilter(kFilter);
        field->setDefaultExt(QStringLiteral("sb"));
        QDir(dir.path()).mkpath(QStringLiteral("my decks"));
        dir.write(QStringLiteral("my decks/words one.sb"), "x");
        dir.write(QStringLiteral("my decks/other.sb"), "x");
        window.show();
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
        field->setFocus();
        EXPECT_TRUE(field->hasFocus());
    }

    QString deck(const QString& name) const { return dir.file(QStringLiteral("my decks/") + name); }

    TempDir dir;
    QWidget window;
    TFilenameEdit* field;
    QLineEdit* other;
};

// What the file dialog showed when it was opened.
struct Opened {
    QStringList nameFilters;
    QString selectedNameFilter;
    QString defaultSuffix;
    QFileDialog::FileMode fileMode{};
    QFileDialog::AcceptMode acceptMode{};
    QString directory;
    QStringList selectedFiles;
};

Opened record(QDialog& d) {
    auto& dialog = dynamic_cast<QFileDialog&>(d);
    return {dialog.nameFilters(),  dialog.selectedNameFilter(), dialog.defaultSuffix(),
            dialog.fileMode(),     dialog.acceptMode(),         dialog.directory().absolutePath(),
            dialog.selectedFiles()};
}

} // namespace

TEST_P(Quoting, NameWithASpaceIsShownQuotedAndReadWithout) {
    const QuoteCase& c = GetParam();
    TFilenameEdit field;
    field.setFileName(QString::fromUtf16(c.fileName));
    EXPECT_EQ(field.text(), QString::fromUtf16(c.shown));
    EXPECT_EQ(field.FileName(), QString::fromUtf16(c.fileName));
}

INSTANTIATE_TEST_SUITE_P(FilenameEdit, Quoting, testing::ValuesIn(kQuoting), caseName<QuoteCase>);

TEST_P(Reading, OnlyEnclosingQuotesAreDropped) {
    const ReadCase& c = GetParam();
    TFilenameEdit field;
    field.setText(QString::fromUtf16(c.text));
    EXPECT_EQ(field.FileName(), QString::fromUtf16(c.fileName));
}

INSTANTIATE_TEST_SUITE_P(FilenameEdit, Reading, testing::ValuesIn(kReads), caseName<ReadCase>);

TEST_P(Filters, BecomeTheDialogsNameFilters) {
    const FilterCase& c = GetParam();
    EXPECT_EQ(TFilenameEdit::nameFilters(QString::fromUtf16(c.filter)), c.nameFilters);
}

INSTANTIATE_TEST_SUITE_P(FilenameEdit, Filters, testing::ValuesIn(kFilters), caseName<FilterCase>);

TEST_F(FilenameEditFixture, ButtonIsAtTheRightEndAndTakesNoFocus) {
    QToolButton* button = field->findChild<QToolButton*>(QStringLiteral("BrowseBtn"));
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->focusPolicy(), Qt::NoFocus);
    EXPECT_TRUE(button->isVisible());
    field->resize(169, 21);
    EXPECT_GE(button->geometry().right(), field->width() - 4);
    EXPECT_LT(button->geometry().left(), field->width() - 10);
    EXPECT_EQ(button->geometry().bottom() + button->geometry().top(), field->height() - 1)
        << "centred vertically";
    // Text stops short of the button.
    EXPECT_GE(field->textMargins().right(), button->width());
}

TEST_F(FilenameEditFixture, BrowseStartsAtTheCurrentFileAndTakesTheConfirmedChoice) {
    field->setFileName(deck(QStringLiteral("words one.sb")));
    Opened opened;
    QSignalSpy exits(field, &TFilenameEdit::OnExit);
    {
        ScriptedAnswerer answers;
        answers.expectDialog(QStringLiteral("OpenDialog"), [&](QDialog& d) {
            opened = record(d);
            dynamic_cast<QFileDialog&>(d).selectFile(deck(QStringLiteral("other.sb")));
            return int(QDialog::Accepted);
        });
        QTest::mouseClick(field->browseButton(), Qt::LeftButton);
    }

    EXPECT_EQ(opened.nameFilters,
              QStringList({QStringLiteral("SB files (*.sb)"), QStringLiteral("All files (*)")}));
    EXPECT_EQ(opened.selectedNameFilter, QStringLiteral("SB files (*.sb)"));
    EXPECT_EQ(opened.defaultSuffix, QStringLiteral("sb"));
    EXPECT_EQ(opened.fileMode, QFileDialog::ExistingFile);
    EXPECT_EQ(opened.acceptMode, QFileDialog::AcceptOpen);
    EXPECT_EQ(opened.directory, QDir::cleanPath(dir.file(QStringLiteral("my decks"))));
    EXPECT_EQ(opened.selectedFiles, QStringList(deck(QStringLiteral("words one.sb"))));

    const QString chosen = QDir::toNativeSeparators(deck(QStringLiteral("other.sb")));
    EXPECT_EQ(field->FileName(), chosen);
    EXPECT_EQ(field->text(), u'"' + chosen + u'"') << "the folder has a space";
    EXPECT_TRUE(field->isModified());
    EXPECT_TRUE(field->hasFocus());
    EXPECT_EQ(exits.count(), 0);
}

// The file dialog takes the activation and the focus while it is open; that is not leaving the
// field, and the field has the focus again when its window is active again.
TEST_F(FilenameEditFixture, FileDialogTakingTheFocusIsNotLeaving) {
    QSignalSpy exits(field, &TFilenameEdit::OnExit);
    {
        ScriptedAnswerer answers;
        answers.expectDialog(QStringLiteral("OpenDialog"), [&](QDialog& d) {
            QApplication::processEvents();
            EXPECT_EQ(QApplication::activeWindow(), &d);
            EXPECT_FALSE(field->hasFocus());
            return int(QDialog::Rejected);
        });
        QTest::mouseClick(field->browseButton(), Qt::LeftButton);
    }
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    EXPECT_TRUE(field->hasFocus());
    EXPECT_EQ(exits.count(), 0);
}

TEST_F(FilenameEditFixture, CancelledBrowseKeepsTheText) {
    field->setText(QStringLiteral("typed by hand"));
    {
        ScriptedAnswerer answers;
        answers.expectDialog(QStringLiteral("OpenDialog"), [&](QDialog& d) {
            dynamic_cast<QFileDialog&>(d).selectFile(deck(QStringLiteral("other.sb")));
            return int(QDialog::Rejected);
        });
        QTest::mouseClick(field->browseButton(), Qt::LeftButton);
    }
    EXPECT_EQ(field->text(), QStringLiteral("typed by hand"));
    EXPECT_FALSE(field->isModified());
    EXPECT_TRUE(field->hasFocus());
}

TEST_F(FilenameEditFixture, AltDownBrowsesToo) {
    ScriptedAnswerer answers;
    answers.expectDialog(QStringLiteral("OpenDialog"),
                         [](QDialog&) { return int(QDialog::Rejected); });
    QTest::keyClick(field, Qt::Key_Down, Qt::AltModifier);
}

// Where the dialog starts for the field's current name (relative to the fixture's folder).
struct StartCase {
    const char* name;
    const char16_t* current;     // "@" stands for the fixture's folder
    const char16_t* folder;      // the folder the dialog shows; null: left to the dialog
    const char16_t* preselected; // null: nothing
};

void PrintTo(const StartCase& c, std::ostream* os) {
    *os << c.name;
}

const StartCase kStarts[] = {
    {"ExistingFile", u"@my decks/other.sb", u"@my decks", u"@my decks/other.sb"},
    {"MissingFileInAnExistingFolder", u"@my decks/gone.sb", u"@my decks", u"@my decks/gone.sb"},
    {"QuotedName", u"\"@my decks/words one.sb\"", u"@my decks", u"@my decks/words one.sb"},
    {"Folder", u"@my decks/", u"@my decks", nullptr},
    {"MissingFolder", u"@no such folder/words.sb", nullptr, nullptr},
    {"Empty", u"", nullptr, nullptr},
};

class BrowseStart : public FilenameEditFixture, public testing::WithParamInterface<StartCase> {
protected:
    QString expand(const char16_t* s) const {
        QString text = QString::fromUtf16(s);
        text.replace(u'@', dir.path());
        return text;
    }
};

TEST_P(BrowseStart, InTheFolderOfTheCurrentName) {
    const StartCase& c = GetParam();
    field->setText(expand(c.current));
    Opened opened;
    {
        ScriptedAnswerer answers;
        answers.expectDialog(QStringLiteral("OpenDialog"), [&](QDialog& d) {
            opened = record(d);
            return int(QDialog::Rejected);
        });
        field->browse();
    }
    if (c.folder) {
        EXPECT_EQ(opened.directory, QDir::cleanPath(expand(c.folder)));
    }
    if (c.preselected) {
        EXPECT_EQ(opened.selectedFiles, QStringList(expand(c.preselected)));
    } else {
        EXPECT_EQ(opened.selectedFiles, QStringList());
    }
}

INSTANTIATE_TEST_SUITE_P(FilenameEdit, BrowseStart, testing::ValuesIn(kStarts),
                         caseName<StartCase>);

TEST_F(FilenameEditFixture, LeavingTheFieldRaisesOnExitOnce) {
    QSignalSpy exits(field, &TFilenameEdit::OnExit);
    QTest::keyClick(field, Qt::Key_Tab);
    EXPECT_TRUE(other->hasFocus());
    EXPECT_EQ(exits.count(), 1);

    // Coming back and leaving by a click elsewhere counts again.
    field->setFocus(Qt::MouseFocusReason);
    other->setFocus(Qt::MouseFocusReason);
    EXPECT_EQ(exits.count(), 2);
}

TEST_F(FilenameEditFixture, PopupsDoNotCountAsLeaving) {
    QSignalSpy exits(field, &TFilenameEdit::OnExit);
    QMenu menu(field);
    menu.addAction(QStringLiteral("Copy"));
    menu.popup(field->mapToGlobal(QPoint(2, 2)));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&menu));
    menu.close();
    EXPECT_EQ(exits.count(), 0);
    EXPECT_TRUE(field->hasFocus());

    // Clicking the browse button leaves the focus in the field.
    {
        ScriptedAnswerer answers;
        answers.expectDialog(QStringLiteral("OpenDialog"),
                             [](QDialog&) { return int(QDialog::Rejected); });
        QTest::mouseClick(field->browseButton(), Qt::LeftButton);
    }
    EXPECT_EQ(exits.count(), 0);
    EXPECT_TRUE(field->hasFocus());
}

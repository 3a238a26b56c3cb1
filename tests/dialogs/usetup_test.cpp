#include "app/model/trainermodel.h"
#include "dialogs/uedit.h"
#include "dialogs/usetup.h"
#include "platform/fontdialog.h"
#include "platform/modal.h"
#include "tests/support/deckbytes.h"
#include "tests/support/printers.h"
#include "tests/support/scriptedanswerer.h"
#include "tests/support/tempdir.h"
#include "widgets/colorcombobox.h"
#include "widgets/filenameedit.h"
#include "widgets/spinedit.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>
#include <gtest/gtest.h>

using platform::Answer;

namespace {

QString s(const char* utf8) {
    return QString::fromUtf8(utf8);
}

TDictRec word(const char* kanji, const char* kana, const char* translation, bool active = true) {
    TDictRec w;
    w.Kanji = s(kanji);
    w.Kana = s(kana);
    w.Translation = s(translation);
    w.Active = active;
    return w;
}

// The options dialog over a model of its own, shown as the main window shows it.
class SetupFixture : public testing::Test {
protected:
    SetupFixture() {
        model.AppDir = dir.path();
        form.EditForm = &edit;
    }
    ~SetupFixture() override { form.hide(); }

    void loadWords(std::vector<TDictRec> words) {
        model.Dict.Words = std::move(words);
        model.WordCount = qint32(model.Dict.Words.size());
        model.DeckLoaded = true;
        model.rebuildActiveList();
        model.CurrentPos = 0;
    }
    void show() {
        form.hide();
        form.show();
    }
    void ok() { QTest::mouseClick(form.BitBtn1, Qt::LeftButton); }
    // Enabled and checked state of the top then the bottom radio buttons, kanji, kana,
    // translation: "E" enabled and checked, "e" enabled, "D" disabled and checked, "d" disabled.
    std::string radios() const {
        std::string out;
        for (const QRadioButton* b : {form.TKanjiCB, form.TKanaCB, form.TTransCB, form.BKanjiCB,
                                      form.BKanaCB, form.BTransCB}) {
            const char c = b->isEnabled() ? 'e' : 'd';
            out += b->isChecked() ? char(c - 32) : c;
        }
        return out;
    }
    QTreeWidgetItem* row(int i) const { return form.DicList->topLevelItem(i); }
    std::vector<bool> checks() const {
        std::vector<bool> out;
        for (int i = 0; i < form.DicList->topLevelItemCount(); ++i)
            out.push_back(row(i)->checkState(0) == Qt::Checked);
        return out;
    }

    TempDir dir;
    TrainerModel model;
    TSetupForm form{model};
    TEditForm edit;
};

} // namespace

TEST_F(SetupFixture, ShowingKeepsTheTopAndBottomKindsApart) {
    const struct {
        const char* name;
        quint8 top, bottom;
        const char* shown;
        quint8 topAfterOk, bottomAfterOk;
    } cases[] = {
        {"kanji over kana", 0, 1, "EdedEe", 0, 1},
        {"same kind from the settings file", 1, 1, "eDeeDe", 1, 1},
        {"top outside the kinds", 7, 2, "eedeeE", 7, 2},
        {"bottom outside the kinds", 2, 9, "eeEeed", 2, 9},
    };
    for (const auto& c : cases) {
        model.TopWordStyle = c.top;
        model.BottomWordStyle = c.bottom;
        show();
        EXPECT_EQ(radios(), c.shown) << c.name;
        ok();
        EXPECT_EQ(model.TopWordStyle, c.topAfterOk) << c.name;
        EXPECT_EQ(model.BottomWordStyle, c.bottomAfterOk) << c.name;
    }
}

TEST_F(SetupFixture, ChoosingAKindOnOneSideDisablesItOnTheOther) {
    model.TopWordStyle = wkKanji;
    model.BottomWordStyle = wkTranslation;
    show();
    EXPECT_EQ(radios(), "EeddeE");
    QTest::mouseClick(form.TKanaCB, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(radios(), "eEdedE"); // kana below off, kanji below back on
    QTest::mouseClick(form.BKanjiCB, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(radios(), "dEeEde");
    ok();
    EXPECT_EQ(model.TopWordStyle, wkKana);
    EXPECT_EQ(model.BottomWordStyle, wkKanji);
}

TEST_F(SetupFixture, OkStoresEverySettingAndRestartsTheCountdowns) {
    model.Style = 1;
    model.setIntervals(3, 7);
    model.CardCountdown = 5; // part-way through a card
    model.AnswerCountdown = -2;
    show();
    EXPECT_TRUE(form.OneByOneCB->isChecked());
    EXPECT_EQ(form.CardTimeEdit->value(), 3);
    EXPECT_EQ(form.TransEdit->value(), 7);
    ok();
    EXPECT_EQ(model.CardCountdown, 180);
    EXPECT_EQ(model.AnswerCountdown, 7);

    show();
    form.RandomCB->setChecked(true);
    form.ShowHintBtn->setChecked(false);
    form.SaveFPosCB->setChecked(false);
    form.CardTimeEdit->clear();
    QTest::keyClicks(form.CardTimeEdit, QStringLiteral("7000"));
    form.TransEdit->clear();
    form.KanaColorCB->setColorValue(0x0000FF);
    ok();
    EXPECT_EQ(model.Style, 0);
    EXPECT_FALSE(model.ShowHint);
    EXPECT_FALSE(model.FormPos);
    EXPECT_EQ(model.ShowNewCard, 600);
    EXPECT_EQ(model.ShowTranslation, 1);
    EXPECT_EQ(model.kindStyle(wkKana).Color, 0x0000FF);
}

TEST_F(SetupFixture, CancelAppliesNothingButTheChosenFont) {
    model.kindStyle(wkKana).Font = {QStringLiteral("Tahoma"), 20, 0};
    model.kindStyle(wkKana).Color = 0x00FFFF;
    show();
    form.RandomCB->setChecked(true);
    form.KanaColorCB->setColorValue(0xFF0000);
    {
        ScriptedAnswerer answers;
        answers.expectDialog(QStringLiteral("FontDialog"), [](QDialog& d) {
            auto& fonts = static_cast<platform::FontDialog&>(d);
            platform::FontChoice c = fonts.choice();
            EXPECT_EQ(c.Name, QStringLiteral("Tahoma"));
            EXPECT_EQ(c.Size, 20);
            c.Name = QStringLiteral("MS Mincho");
            c.Size = 24;
            c.Color = 0x0000FF;
            c.Bold = true;
            c.StrikeOut = true;
            fonts.setChoice(c);
            return int(QDialog::Accepted);
        });
        QTest::mouseClick(form.BitBtn4, Qt::LeftButton);
    }
    // The font is the kind's at once, and the preview shows it.
    EXPECT_EQ(model.kindStyle(wkKana).Font.Name, QStringLiteral("MS Mincho"));
    EXPECT_EQ(form.FLab2->font().pointSize(), 24);
    EXPECT_TRUE(form.FLab2->font().strikeOut());
    QTest::mouseClick(form.BitBtn2, Qt::LeftButton);
    EXPECT_EQ(form.result(), QDialog::Rejected);
    const KindFont& f = model.kindStyle(wkKana).Font;
    EXPECT_EQ(f.Size, 24);
    EXPECT_EQ(f.Color, 0x0000FF);
    EXPECT_TRUE(f.Bold);
    EXPECT_EQ(model.Style, 1);
    EXPECT_EQ(model.kindStyle(wkKana).Color, 0x00FFFF);

    // A cancelled font dialog changes nothing.
    show();
    ScriptedAnswerer answers;
    answers.expectDialog(QStringLiteral("FontDialog"), [](QDialog& d) {
        auto& fonts = static_cast<platform::FontDialog&>(d);
        platform::FontChoice c = fonts.choice();
        c.Size = 72;
        fonts.setChoice(c);
        return int(QDialog::Rejected);
    });
    QTest::mouseClick(form.BitBtn4, Qt::LeftButton);
    EXPECT_EQ(model.kindStyle(wkKana).Font.Size, 24);
}

TEST_F(SetupFixture, PreviewShowsTheUnconfirmedColourAndTheStripsWaitForTheNextShowing) {
    model.kindStyle(wkKanji).Color = 0x00FF00;
    model.kindStyle(wkKanji).Font.Color = 0x000080;
    model.kindStyle(wkKana).Color = 0x00FFFF;
    show();
    EXPECT_EQ(form.FLab1->text(), s("平野"));
    EXPECT_EQ(form.FLab2->text(), s("へいや"));
    EXPECT_EQ(form.FLab3->text(), s("равнина"));
    EXPECT_EQ(form.FLab1->palette().color(QPalette::Window), QColor(0, 255, 0));
    EXPECT_EQ(form.FLab1->palette().color(QPalette::WindowText), QColor(128, 0, 0));
    EXPECT_EQ(form.Label5->palette().color(QPalette::Window), QColor(0, 255, 0));
    EXPECT_EQ(form.Label6->palette().color(QPalette::Window), QColor(255, 255, 0));

    form.JapColorCB->setColorValue(0xFF0000); // blue
    EXPECT_EQ(form.FLab1->palette().color(QPalette::Window), QColor(0, 0, 255));
    EXPECT_EQ(model.kindStyle(wkKanji).Color, 0x00FF00);
    ok();
    EXPECT_EQ(model.kindStyle(wkKanji).Color, 0xFF0000);
    EXPECT_EQ(form.Label5->palette().color(QPalette::Window), QColor(0, 255, 0));
    show();
    EXPECT_EQ(form.Label5->palette().color(QPalette::Window), QColor(0, 0, 255));
}

TEST_F(SetupFixture, LeavingTheFileFieldWithAMissingFileRestoresThePath) {
    dir.write(QStringLiteral("d.sb"), deckbytes::le(QStringLiteral("*0\r\n")));
    model.Dictionary = QStringLiteral("d.sb");
    show();
    EXPECT_EQ(form.FNameEdit->FileName(), QStringLiteral("d.sb"));
    const struct {
        QString typed;
        const char* error;
        QString after;
    } cases[] = {
        {dir.file(QStringLiteral("none.sb")), "missing", QStringLiteral("d.sb")},
        {QString(), nullptr, QString()},
        {dir.file(QStringLiteral("d.sb")), nullptr, dir.file(QStringLiteral("d.sb"))},
    };
    for (const auto& c : cases) {
        form.FNameEdit->setFileName(c.typed);
        ScriptedAnswerer answers;
        if (c.error)
            answers.expectError(QStringLiteral("Файла ") + c.typed +
                                QStringLiteral(" не существует!"));
        form.FNameEditExit();
        EXPECT_EQ(form.FNameEdit->FileName(), c.after) << c.typed.toStdString();
    }
}

// Enter in the file field presses OK without leaving the field: OK makes the same check, so a
// mistyped path never reaches the main window (which would unload the deck).
TEST_F(SetupFixture, EnterWithAMistypedPathKeepsTheDialogOpenWithThePathPutBack) {
    dir.write(QStringLiteral("d.sb"), deckbytes::le(QStringLiteral("*0\r\n")));
    model.Dictionary = QStringLiteral("d.sb");
    ScriptedAnswerer answers;
    int result = -1;
    answers.expectDialog(QStringLiteral("SetupForm"), [&](QDialog&) {
        form.FNameEdit->setFocus();
        form.FNameEdit->setFileName(QStringLiteral("d.bs"));
        answers.expectError(QStringLiteral("Файла d.bs не существует!"));
        QTest::keyClick(form.FNameEdit, Qt::Key_Return);
        EXPECT_TRUE(form.isVisible());
        EXPECT_EQ(form.FNameEdit->FileName(), QStringLiteral("d.sb"));
        // The path put back, Enter now closes the dialog.
        QTest::keyClick(form.FNameEdit, Qt::Key_Return);
        result = form.result();
        return 42;
    });
    EXPECT_EQ(platform::execModal(form), QDialog::Accepted);
    EXPECT_EQ(result, QDialog::Accepted);
}

TEST_F(SetupFixture, TabAndListButtonsAreKeptBetweenShowings) {
    show();
    EXPECT_EQ(form.PControl->currentIndex(), 0);
    EXPECT_FALSE(form.AddBtn->isVisible());
    form.PControl->setCurrentIndex(1);
    for (const QToolButton* b : {form.AddBtn, form.DelBtn, form.EditBtn, form.SaveBtn})
        EXPECT_TRUE(b->isVisible()) << b->objectName().toStdString();
    QTest::mouseClick(form.BitBtn2, Qt::LeftButton);
    show();
    EXPECT_EQ(form.PControl->currentIndex(), 1);
    EXPECT_TRUE(form.SaveBtn->isVisible());
    form.PControl->setCurrentIndex(2);
    EXPECT_FALSE(form.SaveBtn->isVisible());
}

TEST_F(SetupFixture, CheckBoxesBecomeTheActiveListOnOk) {
    loadWords(
        {word("一", "いち", "один"), word("二", "に", "два", false), word("三", "さん", "три")});
    show();
    EXPECT_EQ(checks(), (std::vector<bool>{true, false, true}));
    EXPECT_EQ(row(1)->text(1), s("に"));
    EXPECT_EQ(form.DicList->columnWidth(0), 85);
    EXPECT_EQ(form.DicList->columnWidth(1), 90);
    row(0)->setCheckState(0, Qt::Unchecked);
    row(1)->setCheckState(0, Qt::Checked);
    ok();
    EXPECT_EQ(model.ActiveList, (std::vector<qint32>{1, 2}));
    EXPECT_EQ(model.ActiveCount, 2);
    EXPECT_FALSE(model.Dict.Words[0].Active);

    show();
    for (int i = 0; i < 3; ++i)
        row(i)->setCheckState(0, Qt::Unchecked);
    ok();
    EXPECT_TRUE(model.ActiveList.empty());
    EXPECT_EQ(model.ActiveCount, 0);
}

TEST_F(SetupFixture, AddEditAndDeleteChangeTheDeckAtOnce) {
    loadWords({word("一", "いち", "один"), word("二", "に", "два")});
    model.Dict.Words[1].Attempts = 5;
    model.Dict.Words[1].Misses = 2;
    model.Dict.TotalAttempts = 5;
    model.CurrentPos = 1;
    show();
    form.PControl->setCurrentIndex(1);

    // Add: the editor starts empty; the new word is last, active, never graded.
    edit.KanjiText = s("old");
    {
        ScriptedAnswerer answers;
        answers.expectDialog(QStringLiteral("EditForm"), [&](QDialog&) {
            EXPECT_EQ(edit.JWrdEdit->text(), QString());
            edit.JWrdEdit->setText(s("三"));
            edit.KWrdEdit->setText(s("さん"));
            edit.TrWrdEdit->setText(s("три"));
            return int(QDialog::Accepted);
        });
        QTest::mouseClick(form.AddBtn, Qt::LeftButton);
    }
    ASSERT_EQ(model.WordCount, 3);
    EXPECT_EQ(model.Dict.Words[2], word("三", "さん", "три"));
    EXPECT_EQ(row(2)->text(0), s("三"));
    EXPECT_EQ(model.ActiveCount, 2); // trained only after OK

    // Edit keeps the counts and the flag.
    model.Dict.Words[1].Active = false;
    row(1)->setSelected(true);
    {
        ScriptedAnswerer answers;
        answers.expectDialog(QStringLiteral("EditForm"), [&](QDialog&) {
            EXPECT_EQ(edit.KWrdEdit->text(), s("に"));
            edit.TrWrdEdit->setText(s("два; пара"));
            return int(QDialog::Accepted);
        });
        QTest::mouseClick(form.EditBtn, Qt::LeftButton);
    }
    EXPECT_EQ(model.Dict.Words[1].Translation, s("два; пара"));
    EXPECT_EQ(model.Dict.Words[1].Attempts, 5);
    EXPECT_FALSE(model.Dict.Words[1].Active);
    EXPECT_TRUE(form.DicList->selectedItems().isEmpty()); // the list was refilled

    // Delete: No keeps everything, check boxes included; Yes shifts the later words up.
    row(0)->setSelected(true);
    row(2)->setCheckState(0, Qt::Unchecked);
    {
        ScriptedAnswerer answers;
        answers.expectQuestion(s("Вы уверены, что хотите удалить запись?"), Answer::No);
        QTest::mouseClick(form.DelBtn, Qt::LeftButton);
    }
    EXPECT_EQ(model.WordCount, 3);
    EXPECT_EQ(checks(), (std::vector<bool>{true, false, false}));
    {
        ScriptedAnswerer answers;
        answers.expectQuestion(s("Вы уверены, что хотите удалить запись?"), Answer::Yes);
        QTest::mouseClick(form.DelBtn, Qt::LeftButton);
    }
    EXPECT_EQ(model.WordCount, 2);
    EXPECT_EQ(model.Dict.Words[0].Kanji, s("二"));
    EXPECT_EQ(model.Dict.Words[0].Attempts, 5);
    EXPECT_EQ(model.CurrentPos, 0);
    EXPECT_EQ(model.Dict.TotalAttempts, 5);
    EXPECT_EQ(checks(), (std::vector<bool>{false, true}));

    // Nothing selected: Edit and Delete do nothing.
    QTest::mouseClick(form.EditBtn, Qt::LeftButton);
    QTest::mouseClick(form.DelBtn, Qt::LeftButton);
    EXPECT_EQ(model.WordCount, 2);
}

TEST_F(SetupFixture, CancelledAddRefillsTheCheckBoxesFromTheWords) {
    loadWords({word("一", "いち", "один"), word("二", "に", "два")});
    show();
    row(0)->setCheckState(0, Qt::Unchecked);
    ScriptedAnswerer answers;
    answers.expectDialog(QStringLiteral("EditForm"),
                         [](QDialog&) { return int(QDialog::Rejected); });
    form.AddBtnClick();
    EXPECT_EQ(model.WordCount, 2);
    EXPECT_EQ(checks(), (std::vector<bool>{true, true}));
}

TEST_F(SetupFixture, SavedCopyHoldsTheConfirmedFlagsNotTheCheckBoxes) {
    loadWords({word("一", "いち", "один"), word("二", "に", "два")});
    model.Dictionary = dir.file(QStringLiteral("d.sb"));
    show();
    row(1)->setCheckState(0, Qt::Unchecked);
    ScriptedAnswerer answers;
    answers.expectDialog(QStringLiteral("SDialog"), [&](QDialog& d) {
        auto& files = static_cast<QFileDialog&>(d);
        EXPECT_EQ(files.acceptMode(), QFileDialog::AcceptSave);
        EXPECT_EQ(files.directory().absolutePath() + u'/', dir.path());
        EXPECT_TRUE(files.testOption(QFileDialog::DontConfirmOverwrite));
        EXPECT_EQ(files.defaultSuffix(), QStringLiteral("sb"));
        files.selectFile(dir.file(QStringLiteral("copy.sb")));
        return int(QDialog::Accepted);
    });
    QTest::mouseClick(form.SaveBtn, Qt::LeftButton);
    EXPECT_EQ(dir.read(QStringLiteral("copy.sb")),
              deckbytes::le(deckbytes::crlf({"*0", "一=いち=один=0=0", "二=に=два=0=0"})));
    EXPECT_EQ(model.Dictionary, dir.file(QStringLiteral("d.sb")));
    EXPECT_FALSE(QFile::exists(dir.file(QStringLiteral("d.sb"))));
}

TEST_F(SetupFixture, WithoutADeckTheEditorHasNothingToDo) {
    show();
    EXPECT_EQ(form.DicList->topLevelItemCount(), 0);
    EXPECT_FALSE(form.AddBtn->isEnabled());
    form.EditBtnClick();
    form.DelBtnClick();
    ScriptedAnswerer answers;
    answers.expectDialog(QStringLiteral("SDialog"), [&](QDialog& d) {
        static_cast<QFileDialog&>(d).selectFile(dir.file(QStringLiteral("copy.sb")));
        return int(QDialog::Accepted);
    });
    form.SaveBtnClick();
    EXPECT_FALSE(QFile::exists(dir.file(QStringLiteral("copy.sb"))));
    ok();
    EXPECT_TRUE(model.ActiveList.empty());
}

// The main window's "О программе..." label and what the About dialog does to the whole program.
#include "app/umain.h"
#include "dialogs/uabout.h"
#include "platform/tooltipdelay.h"
#include "tests/app/mainwindowfixture.h"
#include "tests/support/printers.h"
#include "tests/support/scriptedanswerer.h"
#include "widgets/linklabel.h"

#include <QDialog>
#include <QTest>
#include <gtest/gtest.h>

namespace {

struct DelayCase {
    const char* name;
    int before; // the program's tooltip delay before the window
    int expected;
};
void PrintTo(const DelayCase& c, std::ostream* os) {
    *os << c.name;
}

class ToolTipDelay : public MainWindowFixture, public testing::WithParamInterface<DelayCase> {};

} // namespace

// The credits' delay of 100 ms lowers the tooltip delay from the window's start, before the
// About dialog exists, and opening the dialog changes it no further; a delay already below it
// stays. The window puts the old delay back when it goes.
TEST_P(ToolTipDelay, HoldsFromTheStart) {
    const DelayCase& c = GetParam();
    platform::setToolTipDelay(c.before);
    {
        auto f = start();
        EXPECT_EQ(platform::toolTipDelay(), c.expected);
        EXPECT_EQ(f->AboutForm, nullptr);
        ScriptedAnswerer answers;
        int inside = -1;
        answers.expectDialog(QStringLiteral("AboutForm"), [&](QDialog&) {
            inside = platform::toolTipDelay();
            return int(QDialog::Accepted);
        });
        f->LinkLabel1Click();
        EXPECT_EQ(inside, c.expected);
        EXPECT_EQ(platform::toolTipDelay(), c.expected);
    }
    EXPECT_EQ(platform::toolTipDelay(), c.before);
}

INSTANTIATE_TEST_SUITE_P(MainWindow, ToolTipDelay,
                         testing::Values(DelayCase{"Usual", 500, 90},
                                         DelayCase{"AlreadyShorter", 80, 80}),
                         [](const auto& info) { return std::string(info.param.name); });

// The caption is one line that fits the label and the window; a primary click anywhere on it,
// its last letters included, opens the About dialog, and another button does not.
TEST_F(MainWindowFixture, AboutLabelFitsAndOpensTheDialog) {
    auto f = start();
    f->show();
    const TLinkLabel& label = *f->LinkLabel1;
    const auto& pieces = label.tree().Root().Pieces;
    ASSERT_EQ(pieces.size(), 1u);
    EXPECT_EQ(pieces[0].Node->Text, QStringLiteral("О программе..."));
    EXPECT_LT(pieces[0].Rect.right(), label.width());
    EXPECT_EQ(label.height(), label.lineHeight());
    EXPECT_LE(label.geometry().right(), f->Panel3->width() - 6);
    EXPECT_EQ(label.palette().color(QPalette::WindowText), QColor(Qt::blue));
    EXPECT_TRUE(label.font().underline());

    QTest::mouseClick(f->LinkLabel1, Qt::RightButton, {}, QPoint(5, 5));
    ScriptedAnswerer answers;
    bool opened = false;
    answers.expectDialog(QStringLiteral("AboutForm"), [&](QDialog&) {
        opened = true;
        return int(QDialog::Accepted);
    });
    QTest::mouseClick(f->LinkLabel1, Qt::LeftButton, {},
                      QPoint(pieces[0].Rect.right() - 1, label.height() / 2));
    EXPECT_TRUE(opened);
}

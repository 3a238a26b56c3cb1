#include "dialogs/uabout.h"

#include "platform/modal.h"
#include "tests/support/printers.h"
#include "tests/support/scriptedanswerer.h"
#include "widgets/linklabel.h"
#include "widgets/scrolltext.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>
#include <map>

using namespace linkmarkup;

// The button picture comes from the program's resources, which the main window loads.
static void initResources() {
    Q_INIT_RESOURCE(resources);
}

namespace {

// What execModal returns when the dialog was left open.
constexpr int kLeftOpen = 42;

// The text of each laid-out line of a link label, by its top.
std::map<int, QString> linesOf(const TLinkLabel& label) {
    std::map<int, QString> lines;
    for (const TTextPiece& p : label.tree().Root().Pieces)
        lines[p.Rect.top()] += QStringView(p.Node->Text).mid(p.Start, p.Length);
    return lines;
}

} // namespace

TEST(AboutForm, Layout) {
    initResources();
    TAboutForm form;
    form.show();
    EXPECT_EQ(form.size(), QSize(185, 225));
    EXPECT_EQ(form.minimumSize(), form.maximumSize()); // a fixed border
    EXPECT_EQ(form.windowTitle(), QStringLiteral("О программе..."));
    EXPECT_EQ(form.Label1->text(), QStringLiteral("Sorabi"));
    EXPECT_TRUE(form.Label1->font().bold());
    EXPECT_EQ(form.Label1->font().pointSize(), 14);
    // Every text sized to itself stays inside the dialog.
    for (const QLabel* label : {form.Label1, form.Label2, form.Label3})
        EXPECT_LE(label->geometry().right(), 184) << label->objectName().toStdString();
    EXPECT_GE(form.Label3->width(), form.Label3->sizeHint().width());
    EXPECT_TRUE(form.BitBtn1->isDefault());
    EXPECT_FALSE(form.BitBtn1->icon().isNull());

    const QScreen* screen = QGuiApplication::primaryScreen();
    ASSERT_NE(screen, nullptr);
    const QPoint offCentre = form.frameGeometry().center() - screen->availableGeometry().center();
    EXPECT_LE(offCentre.manhattanLength(), 1);
}

TEST(AboutForm, CreditsAreTheElevenLines) {
    TAboutForm form;
    const QStringList expected = {
        QStringLiteral("Многофункциональная и "),
        QStringLiteral("удобная программа для "),
        QStringLiteral("запоминания японких слов "),
        QStringLiteral("и иероглифов."),
        QStringLiteral("-------------------------------"),
        QStringLiteral("В программе использовался"),
        QStringLiteral("набор анимированных "),
        QStringLiteral("изображений начертания"),
        QStringLiteral("иероглифов, распространяемый"),
        QStringLiteral("бесплатно -"),
        QStringLiteral("http://www.example.org/kanji/"),
    };
    EXPECT_EQ(form.SText->Items(), expected);
    EXPECT_EQ(form.SText->Delay(), 100);
    EXPECT_EQ(form.SText->Alignment(), Qt::AlignHCenter);
    EXPECT_FALSE(form.SText->WordWrap());
    EXPECT_EQ(form.SText->geometry(), QRect(8, 103, 169, 52));
    EXPECT_FALSE(form.SText->Active()); // until the dialog shows
}

// Two lines: the request, then the indented address as the only link, none of it cut off at the
// label's right edge; the four trailing line breaks add nothing.
TEST(AboutForm, ContactLineShowsTheAddressAsALinkOnTheSecondLine) {
    TAboutForm form;
    form.show();
    const TLinkLabel& label = *form.LinkLabel1;
    EXPECT_EQ(label.Caption(),
              QStringLiteral("По всем вопросам пишите:<br>      <link>sorabi@example.org</link>"
                             "\r\n\r\n\r\n\r\n"));
    EXPECT_TRUE(label.HotLinks());
    EXPECT_EQ(label.Layout(), TLinkLabel::tlCenter);

    const int line = label.lineHeight();
    const std::map<int, QString> expected = {{0, QStringLiteral("По всем вопросам пишите:")},
                                             {line, QStringLiteral("      sorabi@example.org")}};
    EXPECT_EQ(linesOf(label), expected);
    for (const TTextPiece& p : label.tree().Root().Pieces)
        EXPECT_LT(p.Rect.right(), label.width());
    EXPECT_EQ(label.height(), 2 * line);
    EXPECT_LE(label.geometry().right(), 184);
    EXPECT_LE(label.geometry().bottom(), form.BitBtn1->geometry().top());

    ASSERT_EQ(label.tree().Links().size(), 1u);
    EXPECT_EQ(label.tree().Links()[0]->text(), QStringLiteral("sorabi@example.org"));
    const QPoint onAddress = label.textOrigin() + QPoint(label.width() / 2, line + line / 2);
    EXPECT_EQ(label.linkAt(onAddress), label.tree().Links()[0]);
}

// The credits run only while the dialog shows, and each showing starts them from the bottom
// again: the first step after a reset leaves the block out of view, the second puts its top at
// the bottom edge.
TEST(AboutForm, EachShowingRestartsTheCreditsFromTheBottom) {
    TAboutForm form;
    TScrollText& credits = *form.SText;
    form.show();
    EXPECT_TRUE(credits.Active());
    EXPECT_TRUE(credits.stepTimer().isActive());
    const int h = credits.BlockHeight();
    EXPECT_EQ(credits.Position(), -h);
    credits.Step();
    credits.Step();
    EXPECT_EQ(credits.Position(), credits.height());
    for (int i = 0; i < 5; ++i)
        credits.Step();
    EXPECT_EQ(credits.Position(), credits.height() - 5);

    form.hide();
    EXPECT_FALSE(credits.Active());
    EXPECT_FALSE(credits.stepTimer().isActive());

    form.show();
    EXPECT_TRUE(credits.stepTimer().isActive());
    EXPECT_EQ(credits.Position(), -h);
    credits.Step();
    credits.Step();
    EXPECT_EQ(credits.Position(), credits.height());
}

struct CloseCase {
    const char* name;
    std::function<void(TAboutForm&)> act;
    int result; // kLeftOpen: the dialog stayed open
};
void PrintTo(const CloseCase& c, std::ostream* os) {
    *os << c.name;
}

class AboutClose : public testing::TestWithParam<CloseCase> {};

// Shown through the program's modal path; the action plays the user. A dialog that closes stops
// its credits whichever way it closed; Esc leaves it open with the credits running.
TEST_P(AboutClose, ClosesAndStopsTheCredits) {
    const CloseCase& c = GetParam();
    TAboutForm form;
    ScriptedAnswerer answers;
    bool open = false;
    bool running = false;
    answers.expectDialog(QStringLiteral("AboutForm"), [&](QDialog& d) {
        auto& about = static_cast<TAboutForm&>(d);
        c.act(about);
        open = about.isVisible();
        running = about.SText->stepTimer().isActive();
        return kLeftOpen;
    });
    EXPECT_EQ(platform::execModal(form), c.result);
    EXPECT_EQ(open, c.result == kLeftOpen);
    EXPECT_EQ(running, c.result == kLeftOpen);
    EXPECT_FALSE(form.isVisible());
    EXPECT_FALSE(form.SText->Active());
}

INSTANTIATE_TEST_SUITE_P(
    AboutForm, AboutClose,
    testing::Values(
        CloseCase{"OkButton", [](TAboutForm& f) { QTest::mouseClick(f.BitBtn1, Qt::LeftButton); },
                  QDialog::Accepted},
        CloseCase{"Enter", [](TAboutForm& f) { QTest::keyClick(&f, Qt::Key_Return); },
                  QDialog::Accepted},
        CloseCase{"EnterOnTheFocusedButton",
                  [](TAboutForm& f) {
                      f.BitBtn1->setFocus();
                      QTest::keyClick(f.BitBtn1, Qt::Key_Enter);
                  },
                  QDialog::Accepted},
        CloseCase{"CloseBox", [](TAboutForm& f) { f.close(); }, QDialog::Rejected},
        CloseCase{"Escape", [](TAboutForm& f) { QTest::keyClick(&f, Qt::Key_Escape); }, kLeftOpen},
        CloseCase{"EscapeOnTheFocusedButton",
                  [](TAboutForm& f) {
                      f.BitBtn1->setFocus();
                      QTest::keyClick(f.BitBtn1, Qt::Key_Escape);
                  },
                  kLeftOpen}),
    [](const auto& info) { return std::string(info.param.name); });

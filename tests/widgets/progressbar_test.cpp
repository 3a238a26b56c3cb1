#include "widgets/progressbar.h"

#include <QApplication>
#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>
#include <string>

namespace {

const QColor kFace(212, 208, 200);
const QColor kText(0, 0, 0);

// A bar set up as the main window sets up its two bars, with a known button face.
std::unique_ptr<TSpecialProgress> makeBar(int width, int height = 15) {
    auto bar = std::make_unique<TSpecialProgress>();
    QPalette pal = bar->palette();
    pal.setColor(QPalette::Button, kFace);
    pal.setColor(QPalette::ButtonText, kText);
    bar->setPalette(pal);
    bar->setSolid(true);
    bar->setStartColor(Qt::red);
    bar->setEndColor(QColor(0, 255, 0));
    bar->setTextOption(TSpecialProgress::toPercent);
    bar->setTextCentered(true);
    bar->resize(width, height);
    return bar;
}

// What the main window does with a word's (or the deck's) counts.
void showCounts(TSpecialProgress& bar, int attempts, int misses) {
    if (attempts >= 1) {
        bar.setMaximum(attempts);
        bar.setPosition(attempts - misses);
    } else {
        bar.setPosition(0);
    }
}

std::string rgb(QRgb c) {
    return "(" + std::to_string(qRed(c)) + "," + std::to_string(qGreen(c)) + "," +
           std::to_string(qBlue(c)) + ")";
}

// The columns of the interior (1 to width - 2) in which some interior pixel is not the face.
std::string nonFaceColumns(const QImage& img) {
    std::string s;
    for (int x = 1; x <= img.width() - 2; ++x) {
        bool face = true;
        for (int y = 1; y <= img.height() - 2; ++y)
            face = face && img.pixel(x, y) == kFace.rgb();
        s += face ? '.' : '#';
    }
    return s;
}

bool frameIsFace(const QImage& img) {
    for (int x = 0; x < img.width(); ++x)
        if (img.pixel(x, 0) != kFace.rgb() || img.pixel(x, img.height() - 1) != kFace.rgb())
            return false;
    for (int y = 0; y < img.height(); ++y)
        if (img.pixel(0, y) != kFace.rgb() || img.pixel(img.width() - 1, y) != kFace.rgb())
            return false;
    return true;
}

// The bar's picture with and without its text; the pixels that differ are the text.
struct Pictures {
    QImage withText;
    QImage withoutText;
    QRect text; // bounding box of the text pixels
};

Pictures pictures(TSpecialProgress& bar) {
    Pictures p;
    p.withText = bar.buffer().copy();
    bar.setTextOption(TSpecialProgress::toNone);
    p.withoutText = bar.buffer().copy();
    bar.setTextOption(TSpecialProgress::toPercent);
    for (int y = 0; y < p.withText.height(); ++y)
        for (int x = 0; x < p.withText.width(); ++x)
            if (p.withText.pixel(x, y) != p.withoutText.pixel(x, y))
                p.text |= QRect(x, y, 1, 1);
    return p;
}

// Renders the widget through its paint event onto a sentinel colour.
QImage render(TSpecialProgress& bar) {
    QImage img(std::max(bar.width(), 1), std::max(bar.height(), 1), QImage::Format_RGB32);
    img.fill(Qt::magenta);
    bar.render(&img, QPoint(), QRegion(), QWidget::RenderFlags());
    return img;
}

struct CountsCase {
    const char* name;
    int attempts; // below 1: the word was never graded
    int misses;
    int percent;
    int filled;
};
void PrintTo(const CountsCase& c, std::ostream* os) {
    *os << c.name;
}

class Counts : public testing::TestWithParam<CountsCase> {};

} // namespace

// On ProgCurr's width of 94 (92 interior columns).
TEST_P(Counts, PercentFilledWidthAndPicture) {
    const CountsCase& c = GetParam();
    auto bar = makeBar(94);
    showCounts(*bar, 3, 2); // whatever the previous word showed
    showCounts(*bar, c.attempts, c.misses);

    EXPECT_EQ(bar->Percent(), c.percent);
    EXPECT_EQ(bar->FilledWidth(), c.filled);
    const Pictures p = pictures(*bar);
    EXPECT_EQ(nonFaceColumns(p.withoutText),
              std::string(size_t(c.filled), '#') + std::string(size_t(92 - c.filled), '.'));
    EXPECT_TRUE(frameIsFace(p.withText));
    // The text is there and centred on the whole bar.
    ASSERT_FALSE(p.text.isEmpty());
    EXPECT_NEAR(p.text.left(), 94 - 1 - p.text.right(), 3);
}

INSTANTIATE_TEST_SUITE_P(SpecialProgress, Counts,
                         testing::Values(CountsCase{"NeverGraded", 0, 0, 0, 0},
                                         CountsCase{"ThreeOneMiss", 3, 1, 67, 61},
                                         CountsCase{"HalvesAwayFromZero", 8, 7, 13, 12},
                                         CountsCase{"OnePercentNoFill", 200, 199, 1, 0},
                                         CountsCase{"AllRemembered", 5, 0, 100, 92}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SpecialProgress, NeverGradedKeepsMaximum) {
    auto bar = makeBar(94);
    showCounts(*bar, 3, 1);
    showCounts(*bar, 0, 0);
    EXPECT_EQ(bar->Maximum(), 3);
    EXPECT_EQ(bar->Position(), 0);
}

namespace {

struct RampCase {
    int columns;
    int index;
    QRgb expected;
};
void PrintTo(const RampCase& c, std::ostream* os) {
    *os << c.columns << " columns, index " << c.index;
}

class Ramp : public testing::TestWithParam<RampCase> {};

} // namespace

// Red to lime over a filled part of the given number of columns, in every interior row.
TEST_P(Ramp, ColumnColour) {
    const RampCase& c = GetParam();
    auto bar = makeBar(c.columns + 2);
    bar->setTextOption(TSpecialProgress::toNone);
    bar->setMaximum(1);
    bar->setPosition(1);
    ASSERT_EQ(bar->FilledWidth(), c.columns);
    for (int y = 1; y <= 13; ++y)
        EXPECT_EQ(rgb(bar->buffer().pixel(c.index + 1, y)), rgb(c.expected)) << "row " << y;
}

INSTANTIATE_TEST_SUITE_P(
    SpecialProgress, Ramp,
    testing::Values(RampCase{4, 0, qRgb(255, 0, 0)}, RampCase{4, 1, qRgb(191, 64, 0)},
                    RampCase{4, 2, qRgb(128, 128, 0)}, RampCase{4, 3, qRgb(64, 191, 0)},
                    RampCase{10, 3, qRgb(178, 76, 0)}, RampCase{1, 0, qRgb(255, 0, 0)}),
    [](const auto& info) {
        return std::to_string(info.param.columns) + "Columns_" + std::to_string(info.param.index);
    });

// The ramp spans the filled part only: a half-filled bar starts red and ends near lime.
TEST(SpecialProgress, RampSpreadsOverTheFilledPart) {
    auto bar = makeBar(12);
    bar->setTextOption(TSpecialProgress::toNone);
    bar->setMaximum(2);
    bar->setPosition(1);
    ASSERT_EQ(bar->FilledWidth(), 5);
    EXPECT_EQ(rgb(bar->buffer().pixel(1, 7)), rgb(qRgb(255, 0, 0)));
    EXPECT_EQ(rgb(bar->buffer().pixel(5, 7)), rgb(qRgb(51, 204, 0)));
    EXPECT_EQ(rgb(bar->buffer().pixel(6, 7)), rgb(kFace.rgb()));
}

TEST(SpecialProgress, SetterRules) {
    auto bar = makeBar(94);
    bar->setMaximum(10);
    bar->setPosition(7);
    bar->setMaximum(3);
    EXPECT_EQ(bar->Position(), 3) << "lowered to the new maximum";
    EXPECT_EQ(bar->Percent(), 100);

    bar->setPosition(50);
    EXPECT_EQ(bar->Position(), 3) << "clamped to the maximum";
    bar->setPosition(-4);
    EXPECT_EQ(bar->Position(), 0) << "clamped to the minimum";

    bar->setMinimum(2);
    EXPECT_EQ(bar->Position(), 2) << "raised to the new minimum";
    bar->setMaximum(-5);
    EXPECT_EQ(bar->Maximum(), 2) << "raised to the minimum";
    EXPECT_EQ(bar->Percent(), 0) << "empty range";
    EXPECT_EQ(bar->FilledWidth(), 0);
}

namespace {

struct RedrawCase {
    const char* name;
    int maximum, position;       // the state before
    int newMaximum, newPosition; // then set in this order
    int redraws;
};
void PrintTo(const RedrawCase& c, std::ostream* os) {
    *os << c.name;
}

class Redraws : public testing::TestWithParam<RedrawCase> {};

} // namespace

// A bar 94 wide: 1000 steps over 92 columns. Only a change of the filled width or of the
// percentage draws the buffer again, and then once.
TEST_P(Redraws, OnlyWhenSomethingVisibleChanged) {
    const RedrawCase& c = GetParam();
    auto bar = makeBar(94);
    bar->setMaximum(c.maximum);
    bar->setPosition(c.position);
    const int before = bar->redrawCount();
    bar->setMaximum(c.newMaximum);
    bar->setPosition(c.newPosition);
    EXPECT_EQ(bar->redrawCount() - before, c.redraws);
}

INSTANTIATE_TEST_SUITE_P(SpecialProgress, Redraws,
                         testing::Values(RedrawCase{"SameValues", 1000, 500, 1000, 500, 0},
                                         RedrawCase{"PositionWithinStep", 1000, 500, 1000, 501, 0},
                                         RedrawCase{"MaximumWithinStep", 1000, 500, 1001, 500, 0},
                                         RedrawCase{"PositionClampedToSame", 1000, 1000, 1000, 1200,
                                                    0},
                                         RedrawCase{"PercentOnly", 1000, 500, 1000, 505, 1},
                                         RedrawCase{"FilledWidthOnly", 1000, 46, 1000, 49, 1},
                                         RedrawCase{"Both", 1000, 500, 1000, 520, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SpecialProgress, PercentChangeWithoutFillRedrawsText) {
    auto bar = makeBar(94);
    bar->setMaximum(200);
    bar->setPosition(0);
    const QImage zero = bar->buffer().copy();
    bar->setPosition(1);
    EXPECT_EQ(bar->FilledWidth(), 0);
    EXPECT_NE(bar->buffer(), zero);
}

TEST(SpecialProgress, AppearanceChangesRedraw) {
    auto bar = makeBar(94);
    bar->setMaximum(2);
    bar->setPosition(1);

    bar->setStartColor(Qt::blue);
    EXPECT_EQ(rgb(bar->buffer().pixel(1, 1)), rgb(qRgb(0, 0, 255)));

    QPalette pal = bar->palette();
    pal.setColor(QPalette::Button, Qt::darkCyan);
    bar->setPalette(pal);
    EXPECT_EQ(rgb(bar->buffer().pixel(0, 0)), rgb(QColor(Qt::darkCyan).rgb()));
    EXPECT_EQ(rgb(bar->buffer().pixel(92, 1)), rgb(QColor(Qt::darkCyan).rgb()));

    const QImage small = bar->buffer().copy();
    QFont big = bar->font();
    big.setPixelSize(13);
    bar->setFont(big);
    EXPECT_NE(bar->buffer(), small);
}

// A new size is noticed when the bar is painted: the buffer and the filled part follow it, and
// the copy on screen is the buffer.
TEST(SpecialProgress, PaintFollowsANewSize) {
    auto bar = makeBar(94);
    bar->setMaximum(3);
    bar->setPosition(2);
    bar->resize(50, 12);
    const QImage shown = render(*bar);
    EXPECT_EQ(bar->FilledWidth(), 32);
    EXPECT_EQ(bar->buffer().size(), QSize(50, 12));
    EXPECT_EQ(shown, bar->buffer());
}

class TinyClient : public testing::TestWithParam<QSize> {};

TEST_P(TinyClient, PaintsNothing) {
    auto bar = makeBar(GetParam().width(), GetParam().height());
    bar->setPosition(50);
    const QImage img = render(*bar);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            ASSERT_EQ(img.pixel(x, y), QColor(Qt::magenta).rgb()) << x << "," << y;
}

INSTANTIATE_TEST_SUITE_P(SpecialProgress, TinyClient,
                         testing::Values(QSize(2, 15), QSize(94, 2), QSize(1, 1)),
                         [](const auto& info) {
                             return std::to_string(info.param.width()) + "x" +
                                    std::to_string(info.param.height());
                         });

TEST(SpecialProgress, ThreePixelsPaintTheInterior) {
    auto bar = makeBar(3, 3);
    bar->setPosition(100);
    EXPECT_EQ(rgb(render(*bar).pixel(1, 1)), rgb(qRgb(255, 0, 0)));
}

TEST(SpecialProgress, DefaultSizeAndEmptyPicture) {
    TSpecialProgress bar;
    EXPECT_EQ(bar.size(), QSize(150, 15));
    EXPECT_EQ(bar.buffer().size(), QSize(150, 15));
    EXPECT_EQ(bar.Percent(), 0);
    EXPECT_EQ(bar.FilledWidth(), 0);
}

// The tooltip shows on the hint colour while the mouse rests on the bar; afterwards other
// tooltips keep the application's colours.
TEST(SpecialProgress, TooltipInHintColour) {
    auto bar = makeBar(94);
    bar->setToolTip(QStringLiteral("Коэффициен запоминания текущего слова"));
    bar->setHintColor(QColor(255, 255, 200));
    bar->show();
    const QColor usual = QToolTip::palette().color(QPalette::ToolTipBase);
    ASSERT_NE(usual, QColor(255, 255, 200));

    QHelpEvent help(QEvent::ToolTip, QPoint(10, 5), bar->mapToGlobal(QPoint(10, 5)));
    QApplication::sendEvent(bar.get(), &help);
    EXPECT_EQ(QToolTip::text(), bar->toolTip());
    QWidget* tip = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->windowType() == Qt::ToolTip && w->isVisible())
            tip = w;
    ASSERT_NE(tip, nullptr);
    EXPECT_EQ(tip->palette().color(QPalette::ToolTipBase), QColor(255, 255, 200));

    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(bar.get(), &leave);
    EXPECT_EQ(QToolTip::palette().color(QPalette::ToolTipBase), usual);
    QToolTip::hideText();
}

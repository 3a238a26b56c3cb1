#include "widgets/scrolltext.h"

#include "platform/tooltipdelay.h"
#include "tests/support/printers.h"

#include <QApplication>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QTimerEvent>
#include <climits>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>
#include <string>

namespace {

const QColor kBack(255, 255, 255);
const QColor kInk(0, 0, 0);

QFont testFont() {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(11);
    return font;
}

int lineHeight() {
    return QFontMetrics(testFont()).height();
}

// A shown control with a known font, colours and size, centred as the credits are.
std::unique_ptr<TScrollText> makeText(QSize size, const QStringList& items) {
    auto text = std::make_unique<TScrollText>();
    text->setFont(testFont());
    QPalette pal = text->palette();
    pal.setColor(QPalette::WindowText, kInk);
    text->setPalette(pal);
    text->setBackgroundColor(kBack);
    text->setAlignment(Qt::AlignHCenter);
    text->resize(size);
    text->show();
    text->setItems(items);
    return text;
}

// Steps an active control until the block's top is at position; false if it never gets there.
bool stepTo(TScrollText& text, int position) {
    for (int i = 0; i <= text.BlockHeight() + text.height() + 3; ++i) {
        if (text.Position() == position)
            return true;
        text.Step();
    }
    return text.Position() == position;
}

bool rowHasInk(const QImage& img, int y) {
    for (int x = 0; x < img.width(); ++x)
        if (img.pixel(x, y) != kBack.rgb())
            return true;
    return false;
}

bool hasInk(const QImage& img) {
    for (int y = 0; y < img.height(); ++y)
        if (rowHasInk(img, y))
            return true;
    return false;
}

// The whole block as the control draws it: a control exactly as tall as the block, stepped until
// the block's top is at 0.
QImage wholeBlock(int width, const QStringList& items) {
    auto probe = makeText({width, 1}, items);
    probe->resize(width, probe->BlockHeight());
    probe->setActive(true);
    EXPECT_TRUE(stepTo(*probe, 0));
    return probe->buffer().copy();
}

// The control's picture is the block's picture with its top at row position, on the background.
std::string shiftMismatch(const QImage& picture, const QImage& block, int position) {
    for (int y = 0; y < picture.height(); ++y) {
        const int by = y - position;
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb want = by >= 0 && by < block.height() ? block.pixel(x, by) : kBack.rgb();
            if (picture.pixel(x, y) != want)
                return "row " + std::to_string(y) + " differs at P = " + std::to_string(position);
        }
    }
    return {};
}

void sendMouse(TScrollText& text, QEvent::Type type, int localY, int globalY) {
    const QPointF local(20, localY);
    const QPointF global(420, globalY);
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButtons held =
        type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(Qt::LeftButton);
    QMouseEvent e(type, local, local, global, button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(&text, &e);
}

// The lines the credits show when H is measured on a control 100 pixels wide and 5 high: the
// control's width comes from the widest line's advance, so that a line spans a known number of
// widths.
const QString kWide = QStringLiteral("mmmmmmmmmmmmmmmmmmmmmmmmmmmmmm");

struct HeightCase {
    const char* name;
    QStringList items;
    std::function<int(int wideAdvance)> width;
    int controlHeight;
    int lines; // H in line heights; 0: H is the control's height
};
void PrintTo(const HeightCase& c, std::ostream* os) {
    *os << c.name;
}

class BlockHeight : public testing::TestWithParam<HeightCase> {};

} // namespace

TEST_P(BlockHeight, FromTheLinesAndTheControl) {
    const HeightCase& c = GetParam();
    const int width = c.width(QFontMetrics(testFont()).horizontalAdvance(kWide));
    auto text = makeText({width, c.controlHeight}, c.items);
    EXPECT_EQ(text->BlockHeight(), c.lines ? c.lines * lineHeight() : c.controlHeight);
    EXPECT_EQ(text->Position(), -text->BlockHeight());
}

const auto kPlainWidth = [](int) {
    return 100;
};

INSTANTIATE_TEST_SUITE_P(
    ScrollText, BlockHeight,
    testing::Values(
        HeightCase{"NoLines", {}, kPlainWidth, 5, 0},
        HeightCase{"OneEmptyLine", {QString()}, kPlainWidth, 5, 1},
        HeightCase{
            "EmptyLinesCountOnce", {QStringLiteral("a"), QString(), QString()}, kPlainWidth, 5, 3},
        HeightCase{"BreaksInsideAnItem", {QStringLiteral("a\r\nb\nc\rd")}, kPlainWidth, 5, 4},
        HeightCase{"ShortTextTakesTheControlHeight", {QStringLiteral("a")}, kPlainWidth, 52, 0},
        // Text width / control width, rounded down, + 1.
        HeightCase{"LineExactlyAsWideAsTheControl", {kWide}, [](int a) { return a; }, 5, 2},
        HeightCase{"LineOverTwoWidths",
                   {kWide, QStringLiteral("a")},
                   [](int a) { return a * 2 / 5; },
                   5,
                   4},
        HeightCase{
            "ControlWithoutWidth", {kWide, QStringLiteral("a")}, [](int) { return 0; }, 5, 2}),
    [](const auto& info) { return std::string(info.param.name); });

namespace {

struct CycleCase {
    const char* name;
    QSize size;
    QStringList items;
};
void PrintTo(const CycleCase& c, std::ostream* os) {
    *os << c.name;
}

class Cycle : public testing::TestWithParam<CycleCase> {};

} // namespace

// Two full passes, step by step: the picture is the block shifted to P every time, the block
// rises one pixel per step from the bottom edge until it has wholly left at the top, and a pass
// starts again only then. Between two passes the window stays empty for the steps the block
// spends out of view plus the part of H below the text.
TEST_P(Cycle, BlockPassesWhollyBeforeItReenters) {
    const CycleCase& c = GetParam();
    auto text = makeText(c.size, c.items);
    const int h = c.size.height();
    const int textHeight = int(c.items.size()) * lineHeight();
    const int H = text->BlockHeight();
    EXPECT_EQ(H, std::max(textHeight, h));
    const QImage block = wholeBlock(c.size.width(), c.items);

    text->setActive(true);
    text->Step();
    EXPECT_EQ(text->Position(), -H - 1);
    EXPECT_FALSE(hasInk(text->buffer()));
    text->Step();
    EXPECT_EQ(text->Position(), h);

    const int period = h + H + 2;
    int blankRun = 0;
    int longestBlankRun = 0;
    for (int i = 1; i <= 2 * period; ++i) {
        const int before = text->Position();
        text->Step();
        const int expected = before < -H ? h : before - 1;
        ASSERT_EQ(text->Position(), expected) << "step " << i;
        const QImage& picture = text->buffer();
        ASSERT_EQ(shiftMismatch(picture, block, expected), "");
        blankRun = hasInk(picture) ? 0 : blankRun + 1;
        longestBlankRun = std::max(longestBlankRun, blankRun);
        if (i % period == 0) {
            EXPECT_EQ(text->Position(), h);
        }
    }
    // At -H, -H - 1 and h the block is out of view.
    EXPECT_GE(longestBlankRun, H - textHeight + 3);
    EXPECT_LT(longestBlankRun, H - textHeight + 3 + lineHeight());
}

INSTANTIATE_TEST_SUITE_P(
    ScrollText, Cycle,
    testing::Values(CycleCase{"TallText",
                              {100, 30},
                              {QStringLiteral("Первая"), QStringLiteral("вторая"),
                               QStringLiteral("третья"), QStringLiteral("четвёртая"),
                               QStringLiteral("last")}},
                    CycleCase{"ShortText", {169, 52}, {QStringLiteral("Одна строка")}}),
    [](const auto& info) { return std::string(info.param.name); });

// The block is drawn line under line at the line height from its top, each line centred (with
// its trailing blanks), on the background.
TEST(ScrollText, LinesCentredOneUnderAnother) {
    const QStringList items = {QStringLiteral("I"), QStringLiteral("Учим японский "), QString(),
                               QStringLiteral("Wy")};
    const QImage block = wholeBlock(120, items);
    const int lh = lineHeight();
    ASSERT_EQ(block.size(), QSize(120, 4 * lh));

    QImage expected(block.size(), QImage::Format_RGB32);
    expected.fill(kBack);
    QPainter painter(&expected);
    painter.setFont(testFont());
    painter.setPen(kInk);
    for (int i = 0; i < int(items.size()); ++i)
        painter.drawText(QRect(0, i * lh, 120, lh),
                         Qt::AlignHCenter | Qt::AlignTop | Qt::TextIncludeTrailingSpaces, items[i]);
    painter.end();
    EXPECT_EQ(shiftMismatch(block, expected, 0), "");
    EXPECT_FALSE(rowHasInk(block, 2 * lh + lh / 2)); // the empty line
}

// With WordWrap on, a line wider than the control breaks at its blanks and fills the rows H
// counts for it; off, it stays one row, clipped at the sides.
TEST(ScrollText, WordWrapBreaksWideLinesWithinTheirRows) {
    const QStringList items = {QStringLiteral("один два три четыре пять шесть семь"),
                               QStringLiteral("I")};
    const int lh = lineHeight();
    for (const bool wrap : {false, true}) {
        auto probe = makeText({80, 1}, {});
        probe->setWordWrap(wrap);
        probe->setItems(items);
        const int H = probe->BlockHeight();
        ASSERT_GE(H, 4 * lh); // the long line spans at least three widths
        probe->resize(80, H);
        probe->setActive(true);
        ASSERT_TRUE(stepTo(*probe, 0));
        const QImage& block = probe->buffer();
        // Rows below the long line's first row and above the last line's row.
        int inkBetween = 0;
        for (int y = lh; y < H - lh; ++y)
            inkBetween += rowHasInk(block, y) ? 1 : 0;
        if (wrap) {
            EXPECT_GT(inkBetween, lh) << "the long line fills further rows";
            EXPECT_TRUE(rowHasInk(block, H - lh / 2)) << "the short line after the long one";
        } else {
            EXPECT_TRUE(rowHasInk(block, lh + lh / 2)) << "the short line right below";
            for (int y = 2 * lh; y < H; ++y)
                ASSERT_FALSE(rowHasInk(block, y)) << "row " << y;
        }
    }
}

// Switching off leaves the block at -H; switching on again brings the text in from the bottom
// after two steps. The clock runs only while active, at the period Delay.
TEST(ScrollText, RestartAfterTwoSteps) {
    auto text = makeText({169, 52}, {QStringLiteral("a"), QStringLiteral("b")});
    const int H = text->BlockHeight();
    EXPECT_FALSE(text->stepTimer().isActive());
    text->setActive(true);
    EXPECT_TRUE(text->stepTimer().isActive());
    EXPECT_EQ(text->stepTimer().interval(), 50);
    ASSERT_TRUE(stepTo(*text, 20));

    text->setActive(false);
    EXPECT_FALSE(text->stepTimer().isActive());
    EXPECT_EQ(text->Position(), -H);
    text->Step();
    EXPECT_EQ(text->Position(), -H);

    text->setActive(true);
    // The timer's own event runs a step.
    QTimerEvent tick(text->stepTimer().timerId());
    QCoreApplication::sendEvent(const_cast<QTimer*>(&text->stepTimer()), &tick);
    EXPECT_EQ(text->Position(), -H - 1);
    text->Step();
    EXPECT_EQ(text->Position(), 52);
    text->Step();
    EXPECT_EQ(text->Position(), 51);

    // Writing true again while running restarts as well.
    text->setActive(true);
    EXPECT_EQ(text->Position(), -H);
}

// Only steps that move the block in or out of view, or within it, draw the buffer again.
TEST(ScrollText, RedrawsOnlyWhenTheBlockIsInView) {
    auto text = makeText({169, 52}, {QStringLiteral("a")});
    text->setActive(true);
    text->buffer();
    const int drawn = text->redrawCount();
    text->Step(); // -H - 1
    text->Step(); // just below the bottom edge
    text->buffer();
    EXPECT_EQ(text->redrawCount(), drawn);
    text->Step();
    text->buffer();
    text->buffer();
    EXPECT_EQ(text->redrawCount(), drawn + 1);
}

namespace {

// Three lines on a 100 x 30 control, the block's top at 10.
class ScrollTextDrag : public testing::Test {
protected:
    void SetUp() override {
        text = makeText({100, 30}, {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
        H = text->BlockHeight();
        text->setActive(true);
        ASSERT_TRUE(stepTo(*text, 10));
        sendMouse(*text, QEvent::MouseButtonPress, 15, pointerY);
        ASSERT_TRUE(text->Dragging());
    }
    void moveBy(int dy) {
        pointerY += dy;
        sendMouse(*text, QEvent::MouseMove, 15 + pointerY - 500, pointerY);
    }

    std::unique_ptr<TScrollText> text;
    int H = 0;
    int pointerY = 500;
};

} // namespace

// Upward past the end: at -H the end has just left the top; one pixel more and the block is back
// at the bottom edge, from where it follows the pointer on.
TEST_F(ScrollTextDrag, UpwardPastTheEndReappearsAtTheBottom) {
    moveBy(-(10 + H));
    EXPECT_EQ(text->Position(), -H);
    moveBy(-1);
    EXPECT_EQ(text->Position(), 30);
    moveBy(-4);
    EXPECT_EQ(text->Position(), 26);
}

// Downward past the bottom: the block comes back with its end at the top edge.
TEST_F(ScrollTextDrag, DownwardPastTheBottomReappearsWithItsEndAtTheTop) {
    moveBy(30 - 10);
    EXPECT_EQ(text->Position(), 30);
    moveBy(1);
    EXPECT_EQ(text->Position(), -H);
    moveBy(3);
    EXPECT_EQ(text->Position(), -H + 3);
}

// The steps wait while the block is held and go on from where it was let go.
TEST_F(ScrollTextDrag, StepsWaitWhileHeld) {
    moveBy(-3);
    text->Step();
    text->Step();
    EXPECT_EQ(text->Position(), 7);
    sendMouse(*text, QEvent::MouseButtonRelease, 12, pointerY);
    EXPECT_FALSE(text->Dragging());
    text->Step();
    EXPECT_EQ(text->Position(), 6);
}

// Hiding the control (the dialog closed while the button was held) ends the drag: no release
// will come, and the steps would otherwise never resume.
TEST_F(ScrollTextDrag, HidingEndsTheDrag) {
    text->hide();
    text->show();
    text->setActive(true);
    text->Step();
    EXPECT_EQ(text->Position(), -H - 1);
}

// Only the block takes the mouse: a press on the background below it starts no drag.
TEST(ScrollText, PressBesideTheBlockStartsNoDrag) {
    auto text = makeText({100, 30}, {QStringLiteral("a")});
    text->setActive(true);
    ASSERT_TRUE(stepTo(*text, 25));
    sendMouse(*text, QEvent::MouseButtonPress, 20, 500);
    EXPECT_FALSE(text->Dragging());
    sendMouse(*text, QEvent::MouseMove, 10, 490);
    EXPECT_EQ(text->Position(), 25);
    text->Step();
    EXPECT_EQ(text->Position(), 24);
}

// A taller control raises H to its height; a lower one keeps H; a new width leaves H alone until
// the text is set again.
TEST(ScrollText, ResizeRaisesTheBlockToTheControl) {
    auto text = makeText({100, 20}, {QStringLiteral("a")});
    ASSERT_LT(lineHeight(), 20);
    EXPECT_EQ(text->BlockHeight(), 20);
    text->resize(100, 60);
    EXPECT_EQ(text->BlockHeight(), 60);
    text->resize(100, 20);
    EXPECT_EQ(text->BlockHeight(), 60);
    text->resize(300, 20);
    EXPECT_EQ(text->BlockHeight(), 60);
    EXPECT_EQ(text->buffer().size(), QSize(300, 20));
    text->setItems(text->Items());
    EXPECT_EQ(text->BlockHeight(), 20);
}

namespace {

// The application's tooltip delay is 500 ms when each control is created.
class ScrollTextToolTip : public testing::Test {
protected:
    void SetUp() override { platform::setToolTipDelay(500); }
    void TearDown() override { platform::setToolTipDelay(m_saved); }

    const int m_saved = platform::toolTipDelay();
};

struct DelayCase {
    const char* name;
    int delay;
    int toolTipDelay;
    int interval;
};
void PrintTo(const DelayCase& c, std::ostream* os) {
    *os << c.name;
}

class DelayEffect : public ScrollTextToolTip, public testing::WithParamInterface<DelayCase> {};

} // namespace

// Delay sets the clock's period and the program's tooltip delay; destroying the control puts
// back the 500 ms.
TEST_P(DelayEffect, SetsTheToolTipDelayUntilDestroyed) {
    const DelayCase& c = GetParam();
    auto text = std::make_unique<TScrollText>();
    text->setDelay(c.delay);
    EXPECT_EQ(text->Delay(), c.delay);
    EXPECT_EQ(platform::toolTipDelay(), c.toolTipDelay);
    EXPECT_EQ(text->stepTimer().interval(), c.interval);
    text.reset();
    EXPECT_EQ(platform::toolTipDelay(), 500);
}

INSTANTIATE_TEST_SUITE_P(ScrollText, DelayEffect,
                         testing::Values(DelayCase{"AboutDialog", 100, 90, 100},
                                         DelayCase{"EqualToSaved", 500, 490, 500},
                                         DelayCase{"AboveSaved", 501, 500, 501},
                                         DelayCase{"Eleven", 11, 1, 11},
                                         DelayCase{"Ten", 10, 9, 10}, DelayCase{"One", 1, 0, 1},
                                         // The clock never runs with a period below 1 ms.
                                         DelayCase{"Zero", 0, 1, 1},
                                         DelayCase{"Negative", -5, 6, 1},
                                         DelayCase{"Lowest", INT_MIN, INT_MAX, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

// Each new Delay is measured against the tooltip delay at creation, not the one the previous
// Delay left.
TEST_F(ScrollTextToolTip, LaterDelaysMeasureAgainstTheDelayAtCreation) {
    auto text = std::make_unique<TScrollText>();
    text->setDelay(100);
    text->setDelay(200);
    EXPECT_EQ(platform::toolTipDelay(), 190);
    text->setActive(true);
    EXPECT_EQ(text->stepTimer().interval(), 200);
    text.reset();
    EXPECT_EQ(platform::toolTipDelay(), 500);
}

// A control that never set Delay has nothing to put back, and leaves a later change alone.
TEST_F(ScrollTextToolTip, UntouchedWithoutDelay) {
    auto text = std::make_unique<TScrollText>();
    EXPECT_EQ(text->Delay(), 50);
    EXPECT_EQ(platform::toolTipDelay(), 500);
    platform::setToolTipDelay(300);
    text.reset();
    EXPECT_EQ(platform::toolTipDelay(), 300);
}

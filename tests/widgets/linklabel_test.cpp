#include "widgets/linklabel.h"

#include "tests/support/printers.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>
#include <set>
#include <string>

using namespace linkmarkup;

namespace {

// Widths that make layouts easy to work out: every character 6 pixels, a blank 3, a bold
// character one more; lines 10 pixels apart.
class FixedMetrics : public TTextMetrics {
public:
    int lineHeight() const override { return 10; }
    int width(QStringView text, TFontStyles styles) const override {
        int w = 0;
        for (QChar c : text)
            w += c == u' ' ? 3 : (styles & fsBold) ? 7 : 6;
        return w;
    }
};

std::string str(const QString& s) {
    return s.toStdString();
}

// The tree as text: 'text', B[...], I[...], U[...], C#rrggbb[...], L<number>(<parameter>)[...],
// D<number>, BR, P and ?<tag> for an unknown tag.
std::string dump(const TParentNode& parent) {
    std::string s;
    for (const TNode* node : parent.Children()) {
        if (!s.empty())
            s += ' ';
        switch (node->Kind()) {
        case TNodeKind::String:
            s += "'" + str(static_cast<const TStringNode*>(node)->Text) + "'";
            continue;
        case TNodeKind::Action:
            s += static_cast<const TActionNode*>(node)->Action == TAction::LineBreak ? "BR" : "P";
            continue;
        case TNodeKind::Unknown:
            s += "?" + str(static_cast<const TUnknownNode*>(node)->Tag);
            continue;
        case TNodeKind::Dynamic:
            s += "D" + std::to_string(static_cast<const TDynamicNode*>(node)->Number);
            continue;
        case TNodeKind::Style: {
            const TFontStyle style = static_cast<const TStyleNode*>(node)->Style;
            s += style == fsBold ? "B" : style == fsItalic ? "I" : "U";
            break;
        }
        case TNodeKind::Color:
            s += "C" + str(static_cast<const TColorNode*>(node)->TextColor.name());
            break;
        case TNodeKind::Link: {
            const auto* link = static_cast<const TLinkNode*>(node);
            s += "L" + std::to_string(link->Number) + "(" + str(link->Parameter) + ")";
            break;
        }
        case TNodeKind::Root:
            break;
        }
        s += "[" + dump(*static_cast<const TParentNode*>(node)) + "]";
    }
    return s;
}

struct ParseCase {
    const char* name;
    const char* caption;
    const char* tree;
};
void PrintTo(const ParseCase& c, std::ostream* os) {
    *os << c.name;
}

class Parse : public testing::TestWithParam<ParseCase> {};

} // namespace

TEST_P(Parse, BuildsTheTree) {
    const TNodeTree tree(QString::fromUtf8(GetParam().caption));
    EXPECT_EQ(dump(tree.Root()), GetParam().tree);
}

INSTANTIATE_TEST_SUITE_P(
    LinkMarkup, Parse,
    testing::Values(
        ParseCase{"CrLfPairsRemoved", "О программе...\r\n\r\n", "'О программе...'"},
        ParseCase{"CrLfNotReplacedByBlank", "ab\r\ncd", "'abcd'"},
        ParseCase{"OnlyBrBreaks", "a<br>b", "'a' BR 'b'"},
        ParseCase{"TagsInAnyCase", "<B>x</B><LINK=p>y</LiNk><Br><p><DyNaMiC>",
                  "B['x'] L0(p)['y'] BR P D0"},
        ParseCase{"LinkParameterAfterFirstEquals", "<link=mailto:a@example.org?s=1>t</link>",
                  "L0(mailto:a@example.org?s=1)['t']"},
        ParseCase{"LinkWithoutEquals", "<link>t</link>", "L0()['t']"},
        ParseCase{"LinkAndColorMatchByPrefix", "<links>a</x><colorful>b</x>",
                  "L0()['a'] C#000000['b']"},
        ParseCase{"OtherEntriesMatchWhole", "<b=1>x<brr><i >", "?b=1 'x' ?brr ?i "},
        ParseCase{"ColorForms",
                  "<color=clRed>a</><color=CLBLUE>b</><color=$FF0000>c</><color=255>d</>"
                  "<color=what>e</><color>f</><color=$123456789>g</>",
                  "C#ff0000['a'] C#0000ff['b'] C#0000ff['c'] C#ff0000['d'] C#000000['e'] "
                  "C#000000['f'] C#000000['g']"},
        ParseCase{"Entities", "a &lt;b&gt; &amp; c", "'a <b> &amp; c'"},
        ParseCase{"EntityNeverStartsATag", "&lt;b>x&lt;/b>", "'<b>x</b>'"},
        ParseCase{"EndTagClosesInnermost", "<b>x<i>y</b>z</i>w", "B['x' I['y'] 'z'] 'w'"},
        ParseCase{"TopLevelEndTagHidesTheRest", "shown</b>hidden<b>x</b>", "'shown'"},
        ParseCase{"BreaksTakeNoChildren", "<br>x</br>y", "BR 'x'"},
        ParseCase{"UnclosedTagRunsToTheEnd", "a<b", "'a' B[]"},
        ParseCase{"EmptyTags", "a<>b</", "'a' ? 'b'"},
        ParseCase{"LinksNumberedInOrder", "<link=a>1<link=b>2</link>3</link><link=c>4</link>",
                  "L0(a)['1' L1(b)['2'] '3'] L2(c)['4']"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LinkMarkup, LinkTextIsItsOwnStringsJoined) {
    const TNodeTree tree(
        QStringLiteral("<link=a>one <b>two</b><link=b>inner</link> three</link><dynamic>"));
    ASSERT_EQ(tree.Links().size(), 2u);
    EXPECT_EQ(tree.Links()[0]->text(), QStringLiteral("one two three"));
    EXPECT_EQ(tree.Links()[1]->text(), QStringLiteral("inner"));
    EXPECT_EQ(tree.DynamicCount(), 1);
}

namespace {

// The pieces of the last layout as "x,y:text" separated by "|".
std::string placed(const TNodeTree& tree) {
    std::string s;
    for (const TTextPiece& p : tree.Root().Pieces) {
        if (!s.empty())
            s += '|';
        s += std::to_string(p.Rect.left()) + "," + std::to_string(p.Rect.top()) + ":" +
             str(QStringView(p.Node->Text).mid(p.Start, p.Length).toString());
    }
    return s;
}

struct LayoutCase {
    const char* name;
    const char* caption;
    int right;
    const char* pieces;
    int height;
};
void PrintTo(const LayoutCase& c, std::ostream* os) {
    *os << c.name;
}

class Layout : public testing::TestWithParam<LayoutCase> {};

} // namespace

// "aaa " is 21 wide, "aaa bbb" 39.
TEST_P(Layout, PlacesThePieces) {
    const LayoutCase& c = GetParam();
    TNodeTree tree(QString::fromUtf8(c.caption));
    const int height = layout(tree, c.right, FixedMetrics(), TLayoutStyle());
    EXPECT_EQ(placed(tree), c.pieces);
    EXPECT_EQ(height, c.height);
}

INSTANTIATE_TEST_SUITE_P(
    LinkMarkup, Layout,
    testing::Values(
        LayoutCase{"OneLine", "aaa bbb ccc", 100, "0,0:aaa bbb ccc", 10},
        LayoutCase{"WrapsWithoutTrailingBlanks", "aaa bbb  ccc", 45, "0,0:aaa bbb|0,10:ccc", 20},
        // A word wraps when the line with it reaches the right edge, not only when it passes it.
        LayoutCase{"ReachingTheEdgeWraps", "aaa bbb ccc", 39, "0,0:aaa|0,10:bbb|0,20:ccc", 30},
        LayoutCase{"FirstWordWiderThanTheLabelStays", "abcdefghij klm", 20,
                   "0,0:abcdefghij|0,10:klm", 20},
        LayoutCase{"WideWordAfterABreakLeavesNoEmptyLine", "a<br>abcdefghij", 20,
                   "0,0:a|0,10:abcdefghij", 20},
        LayoutCase{"LoneBlanksNeverWrap", "aa          ", 20, "0,0:aa          ", 10},
        LayoutCase{"LineAndParagraphBreaks", "a<br>b<p>c<br>", 100, "0,0:a|0,10:b|0,30:c", 50},
        LayoutCase{"TrailingCrLfAddNothing", "a\r\n\r\n\r\n\r\n", 100, "0,0:a", 10},
        LayoutCase{"SixBlanksIndentTheLink",
                   "По всем вопросам пишите:<br>      <link>a@example.org</link>\r\n\r\n", 200,
                   "0,0:По всем вопросам пишите:|0,10:      |18,10:a@example.org", 20},
        // "aa" + bold "bb" + "cc" is one word 38 wide: after "x " (9) it reaches 40 and wraps
        // whole, where the parts alone would have fitted up to "cc".
        LayoutCase{"TextsTouchingWithoutBlankAreOneWord", "x aa<b>bb</b>cc", 40,
                   "0,0:x|0,10:aa|12,10:bb|26,10:cc", 20},
        // "bb" after a finished line is tested alone; it leaves no piece behind when it wraps.
        LayoutCase{"WordAfterAWrittenOutTextWraps", "x aa <b>bb</b> cc", 30,
                   "0,0:x aa |0,10:bb|14,10: cc", 20},
        LayoutCase{"EmptyCaption", "", 100, "", 10},
        LayoutCase{"NoRoomAtAll", "ab cd", -5, "0,0:ab|0,10:cd", 20}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LinkMarkup, AreaNodesRecordWhereTheirTextStarts) {
    // The link begins while "x aa" is still queued; its start is where its first text lands
    // once the queue is written out and the shared word has wrapped.
    TNodeTree tree(QStringLiteral("x aa<link>bb</link>"));
    layout(tree, 40, FixedMetrics(), TLayoutStyle());
    EXPECT_EQ(placed(tree), "0,0:x aa|21,0:bb");
    ASSERT_EQ(tree.Links().size(), 1u);
    EXPECT_EQ(tree.Links()[0]->StartPoint, QPoint(21, 0));

    TNodeTree wrapped(QStringLiteral("x aa<link>bbbbb</link>"));
    layout(wrapped, 40, FixedMetrics(), TLayoutStyle());
    EXPECT_EQ(placed(wrapped), "0,0:x|0,10:aa|12,10:bbbbb");
    EXPECT_EQ(wrapped.Links()[0]->StartPoint, QPoint(12, 10));
}

TEST(LinkMarkup, LinksAddTheirStyleAndColour) {
    TNodeTree tree(QStringLiteral("a<link=p>b<color=clLime>c</color></link>"));
    TLayoutStyle style;
    style.RootStyles = fsItalic;
    style.RootColor = Qt::gray;
    style.LinkStyle = fsBold;
    style.LinkColor = Qt::cyan;
    layout(tree, 100, FixedMetrics(), style);
    const auto& pieces = tree.Root().Pieces;
    ASSERT_EQ(pieces.size(), 3u);
    EXPECT_EQ(pieces[0].Node->Styles, TFontStyles(fsItalic));
    EXPECT_EQ(pieces[0].Node->Color, QColor(Qt::gray));
    EXPECT_EQ(pieces[1].Node->Styles, TFontStyles(fsItalic | fsBold));
    EXPECT_EQ(pieces[1].Node->Color, QColor(Qt::cyan));
    EXPECT_EQ(pieces[2].Node->Color, QColor(0, 255, 0));
    EXPECT_EQ(tree.Root().LinkPieces, (std::vector<size_t>{1, 2}));
    EXPECT_EQ(pieces[1].Rect, QRect(QPoint(6, 0), QPoint(13, 10)));
}

// Nesting deep enough to overflow the stack of a recursive parser, layout or destructor.
TEST(LinkMarkup, DeepNestingAndLongQueuesAreSafe) {
    constexpr int Depth = 200000;
    QString caption;
    for (int i = 0; i < Depth; ++i)
        caption += i % 2 ? QStringLiteral("<b>x") : QStringLiteral("<link=p>y");
    for (int i = 0; i <= Depth; ++i)
        caption += QStringLiteral("</b>");
    caption += QStringLiteral("hidden");
    {
        TNodeTree tree(caption);
        EXPECT_EQ(tree.Links().size(), size_t(Depth / 2));
        const int height = layout(tree, 50, FixedMetrics(), TLayoutStyle());
        // One word of 200000 characters across 200000 texts, never split.
        EXPECT_EQ(height, 10);
        EXPECT_EQ(tree.Root().Pieces.size(), size_t(Depth));
        EXPECT_EQ(tree.Root().Pieces.back().Rect.top(), 0);
        EXPECT_EQ(tree.Root().Pieces.back().Node->Text, QStringLiteral("x"));
    }
    TNodeTree breaks(QString(QStringLiteral("<p>")).repeated(Depth));
    EXPECT_EQ(layout(breaks, 50, FixedMetrics(), TLayoutStyle()), 2 * Depth * 10 + 10);
    // Coordinates saturate instead of overflowing.
    TNodeTree tall(QString(QStringLiteral("<p>")).repeated(5 * Depth) + QStringLiteral("z"));
    EXPECT_EQ(layout(tall, 50, FixedMetrics(), TLayoutStyle()), MaxCoord);
    EXPECT_EQ(placed(tall), "0," + std::to_string(MaxCoord) + ":z");
}

namespace {

const QColor kBack(255, 255, 240);
const QColor kInk(0, 0, 0);
const QColor kNormal(0, 0, 255);
const QColor kClicked(255, 0, 0);
const QColor kHot(128, 0, 128);

// A shown label with crisp (not anti-aliased) text in a known font and colours.
std::unique_ptr<TLinkLabel> makeLabel(const QString& caption, int width = 200) {
    auto label = std::make_unique<TLinkLabel>();
    QFont font = label->font();
    font.setPixelSize(12);
    font.setStyleStrategy(QFont::NoAntialias);
    label->setFont(font);
    QPalette pal = label->palette();
    pal.setColor(QPalette::Window, kBack);
    pal.setColor(QPalette::WindowText, kInk);
    label->setPalette(pal);
    label->resize(width, 40);
    label->setCaption(caption);
    return label;
}

void show(TLinkLabel& label) {
    label.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&label));
}

// The distinct colours of the buffer within rect.
std::set<QRgb> coloursIn(TLinkLabel& label, const QRect& rect) {
    std::set<QRgb> colours;
    const QImage& img = label.buffer();
    const QRect r = rect & img.rect();
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            colours.insert(img.pixel(x, y));
    return colours;
}

// The label rectangle of link number's first piece.
QRect linkRect(const TLinkLabel& label, int number) {
    const TRootNode& root = label.tree().Root();
    for (size_t i : root.LinkPieces)
        if (root.Pieces[i].Node->Link()->Number == number)
            return root.Pieces[i].Rect.translated(label.textOrigin());
    return {};
}

// Qt drops a move to where the pointer already is, so arrive from one pixel below.
void hover(TLinkLabel& label, const QPoint& p) {
    QTest::mouseMove(&label, p + QPoint(0, 1));
    QTest::mouseMove(&label, p);
}

std::set<QRgb> inkOf(const QColor& c) {
    return {kBack.rgb(), c.rgb()};
}

} // namespace

TEST(LinkLabel, MainWindowLabelIsOneLine) {
    auto label = makeLabel(QStringLiteral("О программе...\r\n\r\n"), 150);
    EXPECT_EQ(label->tree().Root().Pieces.size(), 1u);
    EXPECT_EQ(label->height(), label->lineHeight());
    EXPECT_EQ(label->Text(), (QStringList{QStringLiteral("О программе..."), QString()}));
    EXPECT_EQ(coloursIn(*label, label->rect()), inkOf(kInk));
}

TEST(LinkLabel, AutoHeightFollowsTheText) {
    auto label = makeLabel(QStringLiteral("one<br>two"));
    show(*label);
    const int line = label->lineHeight();
    ASSERT_GT(line, 5);
    EXPECT_EQ(label->height(), 2 * line);
    label->resize(200, 7);
    EXPECT_EQ(label->height(), 2 * line);
    label->setMarginHeight(3);
    EXPECT_EQ(label->height(), 2 * line + 6);

    // A larger font makes taller lines.
    QFont font = label->font();
    font.setPixelSize(24);
    label->setFont(font);
    EXPECT_GT(label->lineHeight(), line);
    EXPECT_EQ(label->height(), 2 * label->lineHeight() + 6);

    label->setAutoHeight(false);
    label->resize(200, 7);
    EXPECT_EQ(label->height(), 7);
}

namespace {

enum class Expect { Margin, Centre, Bottom };

struct PlacementCase {
    const char* name;
    TLinkLabel::TTextLayout layout;
    int height;
    int margin;
    Expect top;
};
void PrintTo(const PlacementCase& c, std::ostream* os) {
    *os << c.name;
}

class Placement : public testing::TestWithParam<PlacementCase> {};

} // namespace

TEST_P(Placement, PlacesTheTextBlock) {
    const PlacementCase& c = GetParam();
    auto label = makeLabel(QStringLiteral("Yy"));
    label->setAutoHeight(false);
    label->setLayout(c.layout);
    label->setMarginHeight(c.margin);
    label->resize(200, c.height);
    const int line = label->lineHeight();
    const int top = c.top == Expect::Centre   ? c.margin + (c.height - 2 * c.margin - line) / 2
                    : c.top == Expect::Bottom ? c.height - c.margin - line
                                              : c.margin;
    EXPECT_EQ(label->textOrigin(), QPoint(0, top));
    // No ink above the text block, and the ink of the line where the block puts it.
    EXPECT_EQ(coloursIn(*label, QRect(0, 0, 200, top)), std::set<QRgb>{kBack.rgb()});
    if (top + line <= c.height) {
        EXPECT_EQ(coloursIn(*label, QRect(0, top, 200, line)), inkOf(kInk));
    }
}

INSTANTIATE_TEST_SUITE_P(
    LinkLabel, Placement,
    testing::Values(PlacementCase{"Top", TLinkLabel::tlTop, 60, 4, Expect::Margin},
                    PlacementCase{"Centre", TLinkLabel::tlCenter, 61, 4, Expect::Centre},
                    PlacementCase{"Bottom", TLinkLabel::tlBottom, 60, 4, Expect::Bottom},
                    // Text taller than the room: never above the margin.
                    PlacementCase{"CentreTooSmall", TLinkLabel::tlCenter, 9, 3, Expect::Margin},
                    PlacementCase{"BottomTooSmall", TLinkLabel::tlBottom, 9, 3, Expect::Margin}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LinkLabel, AboutLabelIndentsTheLinkAndCentres) {
    auto label = makeLabel(QStringLiteral("По всем вопросам пишите:<br>      <link>"
                                          "sorabi@example.org</link>\r\n\r\n\r\n\r\n"),
                           300);
    label->setAutoHeight(false);
    label->setLayout(TLinkLabel::tlCenter);
    label->setHotLinks(true);
    label->resize(300, 26 + 2 * label->lineHeight());
    const QRect link = linkRect(*label, 0);
    EXPECT_EQ(link.left(), label->fontMetrics().horizontalAdvance(QStringLiteral("      ")));
    EXPECT_EQ(link.top(), label->textOrigin().y() + label->lineHeight());
    EXPECT_EQ(label->textOrigin().y(), 13);
    EXPECT_EQ(coloursIn(*label, link), inkOf(kNormal));
}

TEST(LinkLabel, ColoursFollowThePointer) {
    auto label = makeLabel(QStringLiteral("plain <link=p>link</link> more"));
    label->setHotLinks(true);
    show(*label);
    const QRect link = linkRect(*label, 0);
    const QPoint on = link.center();
    const QPoint off(label->width() - 2, label->height() / 2);
    ASSERT_EQ(label->linkAt(off), nullptr);
    const QRect plain(0, 0, link.left(), label->height());
    QSignalSpy clicks(label.get(), &TLinkLabel::OnLinkClick);
    const int redraws = label->redrawCount();

    EXPECT_EQ(coloursIn(*label, link), inkOf(kNormal));
    hover(*label, on);
    EXPECT_EQ(coloursIn(*label, link), inkOf(kHot));
    QTest::mousePress(label.get(), Qt::LeftButton, {}, on);
    EXPECT_EQ(coloursIn(*label, link), inkOf(kClicked));
    QTest::mouseRelease(label.get(), Qt::LeftButton, {}, on);
    EXPECT_EQ(coloursIn(*label, link), inkOf(kNormal));
    ASSERT_EQ(clicks.count(), 1);
    EXPECT_EQ(clicks[0][0].toInt(), 0);
    EXPECT_EQ(clicks[0][1].toString(), QStringLiteral("link"));
    EXPECT_EQ(clicks[0][2].toString(), QStringLiteral("p"));

    // Normal until the pointer moves again; moving away takes the hot colour off.
    hover(*label, on + QPoint(1, 0));
    EXPECT_EQ(coloursIn(*label, link), inkOf(kHot));
    hover(*label, off);
    EXPECT_EQ(coloursIn(*label, link), inkOf(kNormal));
    EXPECT_EQ(label->activeLink(), nullptr);

    // Only the link was redrawn, never the whole buffer; the plain text is untouched.
    EXPECT_EQ(label->redrawCount(), redraws);
    EXPECT_EQ(coloursIn(*label, plain), inkOf(kInk));
}

TEST(LinkLabel, LeavingTheLabelEndsTheHotState) {
    auto label = makeLabel(QStringLiteral("<link>link</link>"));
    label->setHotLinks(true);
    show(*label);
    const QRect link = linkRect(*label, 0);
    hover(*label, link.center());
    ASSERT_EQ(coloursIn(*label, link), inkOf(kHot));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(label.get(), &leave);
    EXPECT_EQ(coloursIn(*label, link), inkOf(kNormal));
}

TEST(LinkLabel, WithoutHotLinksHoverChangesNothing) {
    auto label = makeLabel(QStringLiteral("<link>link</link>"));
    show(*label);
    const QRect link = linkRect(*label, 0);
    hover(*label, link.center());
    EXPECT_EQ(label->activeLink(), nullptr);
    EXPECT_EQ(coloursIn(*label, link), inkOf(kNormal));
    EXPECT_EQ(label->cursor().shape(), Qt::PointingHandCursor);
}

TEST(LinkLabel, ReleaseAwayFromThePressedLinkFollowsNoLink) {
    auto label = makeLabel(QStringLiteral("<link=a>first</link> gap <link=b>second</link>"));
    show(*label);
    const QPoint first = linkRect(*label, 0).center();
    const QPoint second = linkRect(*label, 1).center();
    const QPoint gap((linkRect(*label, 0).right() + linkRect(*label, 1).left()) / 2, first.y());
    ASSERT_EQ(label->linkAt(gap), nullptr);
    QSignalSpy clicks(label.get(), &TLinkLabel::OnLinkClick);

    QTest::mousePress(label.get(), Qt::LeftButton, {}, first);
    hover(*label, gap);
    EXPECT_EQ(coloursIn(*label, linkRect(*label, 0)), inkOf(kClicked));
    QTest::mouseRelease(label.get(), Qt::LeftButton, {}, gap);
    EXPECT_EQ(coloursIn(*label, linkRect(*label, 0)), inkOf(kNormal));

    // Nor does dragging onto another link, or pressing off any link and releasing on one.
    QTest::mousePress(label.get(), Qt::LeftButton, {}, first);
    QTest::mouseRelease(label.get(), Qt::LeftButton, {}, second);
    QTest::mousePress(label.get(), Qt::LeftButton, {}, gap);
    QTest::mouseRelease(label.get(), Qt::LeftButton, {}, second);
    EXPECT_EQ(clicks.count(), 0);
    EXPECT_EQ(label->activeLink(), nullptr);

    // Any button clicks a link.
    QTest::mouseClick(label.get(), Qt::RightButton, {}, second);
    ASSERT_EQ(clicks.count(), 1);
    EXPECT_EQ(clicks[0][2].toString(), QStringLiteral("b"));
}

TEST(LinkLabel, CursorOverLinksOnly) {
    auto label = makeLabel(QStringLiteral("text <link>link</link>"));
    label->setCursor(Qt::IBeamCursor);
    show(*label);
    hover(*label, linkRect(*label, 0).center());
    EXPECT_EQ(label->cursor().shape(), Qt::PointingHandCursor);
    hover(*label, QPoint(1, 1));
    EXPECT_EQ(label->cursor().shape(), Qt::IBeamCursor);

    auto plain = makeLabel(QStringLiteral("text <link>link</link>"));
    show(*plain);
    hover(*plain, linkRect(*plain, 0).center());
    hover(*plain, QPoint(1, 1));
    EXPECT_FALSE(plain->testAttribute(Qt::WA_SetCursor));
}

TEST(LinkLabel, ClickOnTheLabel) {
    auto label = makeLabel(QStringLiteral("О программе..."), 77);
    show(*label);
    QSignalSpy clicks(label.get(), &TLinkLabel::OnClick);
    QTest::mouseClick(label.get(), Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseClick(label.get(), Qt::RightButton, {}, QPoint(5, 5));
    QTest::mousePress(label.get(), Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(label.get(), Qt::LeftButton, {}, QPoint(500, 5));
    EXPECT_EQ(clicks.count(), 1);
}

TEST(LinkLabel, NewCaptionForgetsTheActiveLink) {
    auto label = makeLabel(QStringLiteral("<link>a</link>"));
    show(*label);
    QSignalSpy changed(label.get(), &TLinkLabel::OnCaptionChanged);
    QSignalSpy clicks(label.get(), &TLinkLabel::OnLinkClick);
    const QPoint on = linkRect(*label, 0).center();
    QTest::mousePress(label.get(), Qt::LeftButton, {}, on);
    ASSERT_NE(label->activeLink(), nullptr);
    label->setCaption(QStringLiteral("<link>b</link>"));
    EXPECT_EQ(label->activeLink(), nullptr);
    QTest::mouseRelease(label.get(), Qt::LeftButton, {}, on);
    EXPECT_EQ(clicks.count(), 0);
    label->setCaption(QStringLiteral("<link>b</link>"));
    EXPECT_EQ(changed.count(), 1);
}

TEST(LinkLabel, HandlerMaySetANewCaption) {
    auto label = makeLabel(QStringLiteral("<link>a</link>"));
    show(*label);
    QObject::connect(label.get(), &TLinkLabel::OnLinkClick, label.get(),
                     [&] { label->setCaption(QStringLiteral("<b>gone</b>")); });
    QTest::mouseClick(label.get(), Qt::LeftButton, {}, linkRect(*label, 0).center());
    EXPECT_EQ(label->Caption(), QStringLiteral("<b>gone</b>"));
    EXPECT_EQ(label->activeLink(), nullptr);
}

TEST(LinkLabel, TextIsTheCaptionAsLines) {
    auto label = makeLabel(QString());
    label->setText({QStringLiteral("a<br>"), QStringLiteral("b")});
    EXPECT_EQ(label->Caption(), QStringLiteral("a<br>\r\nb\r\n"));
    EXPECT_EQ(label->Text(), (QStringList{QStringLiteral("a<br>"), QStringLiteral("b")}));
    EXPECT_EQ(label->height(), 2 * label->lineHeight());
}

TEST(LinkLabel, BufferRedrawnOnlyForVisibleChanges) {
    auto label = makeLabel(QStringLiteral("a <link>b</link>"));
    show(*label);
    label->buffer();
    const int redraws = label->redrawCount();
    label->setCaption(label->Caption());
    label->setLayout(label->Layout());
    hover(*label, QPoint(label->width() - 1, 1));
    label->buffer();
    EXPECT_EQ(label->redrawCount(), redraws);
    label->setLinkColor(Qt::green);
    EXPECT_EQ(coloursIn(*label, linkRect(*label, 0)), inkOf(QColor(Qt::green)));
    EXPECT_EQ(label->redrawCount(), redraws + 1);
}

TEST(LinkLabel, TransparentLeavesTheBackground) {
    auto label = makeLabel(QStringLiteral("a"));
    label->setTransparent(true);
    EXPECT_EQ(label->buffer().pixel(label->width() - 1, 0), qRgba(0, 0, 0, 0));
    label->setTransparent(false);
    EXPECT_EQ(label->buffer().pixel(label->width() - 1, 0), kBack.rgb());
}

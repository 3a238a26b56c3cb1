#pragma once

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringView>
#include <array>
#include <memory>
#include <vector>

// The caption markup of the link label: text with <b>, <i>, <u>, <color=...>, <link=...>, <br>,
// <p> and <dynamic> tags, parsed into a node tree and laid out with word wrapping. Nothing here
// paints: the layout records where each piece of text goes, the label draws the pieces.
//
// Captions are outside data. Parsing and layout are single passes without recursion (the tree is
// walked with an explicit stack and its nodes are owned by one flat list), so any nesting depth
// is safe, and coordinates saturate at MaxCoord instead of overflowing.
namespace linkmarkup {

enum TFontStyle : unsigned {
    fsBold = 1,
    fsItalic = 2,
    fsUnderline = 4,
    fsStrikeOut = 8,
};
using TFontStyles = unsigned; // a set of TFontStyle bits

// The styles a font has, and the font with exactly the given styles.
TFontStyles stylesOf(const QFont& font);
QFont withStyles(QFont font, TFontStyles styles);

// The colour named by a colour tag's parameter: a colour identifier ("clRed", "clBtnFace", any
// case), a decimal number or "$" and hexadecimal digits, read as a toolkit colour value
// (0x00BBGGRR, or 0xFF000000 plus a system colour index). Anything else, an empty text included, is
// black.
QColor colorFromParameter(QStringView parameter);

enum class TNodeKind { Root, Style, Color, Link, Dynamic, String, Action, Unknown };
enum class TLinkState { Normal, Clicked, Hot };
enum class TAction { LineBreak, ParagraphBreak };

class TParentNode;
class TRootNode;
class TLinkNode;

class TNode {
public:
    virtual ~TNode() = default;
    TNode(const TNode&) = delete;
    TNode& operator=(const TNode&) = delete;

    TNodeKind Kind() const { return m_kind; }
    TParentNode* Parent() const { return m_parent; }
    TRootNode* Root() const { return m_root; }
    // The innermost link this node is part of (a link node itself included), or null.
    TLinkNode* Link() const { return m_link; }

protected:
    TNode(TNodeKind kind, TParentNode* parent, TRootNode* root, TLinkNode* link)
        : m_kind(kind), m_parent(parent), m_root(root), m_link(link) {}

private:
    TNodeKind m_kind;
    TParentNode* m_parent;
    TRootNode* m_root;
    TLinkNode* m_link;
};

// The children are owned by the tree (TNodeTree), not by their parent, so that freeing a deep
// nesting needs no recursion.
class TParentNode : public TNode {
public:
    const std::vector<TNode*>& Children() const { return m_children; }
    void addChild(TNode* child) { m_children.push_back(child); }

protected:
    using TNode::TNode;

private:
    std::vector<TNode*> m_children;
};

// A node that sets styles or a colour for its children. The layout records where its text began
// and the styles and colour it was laid out with.
class TAreaNode : public TParentNode {
public:
    QPoint StartPoint;
    TFontStyles Styles = 0;
    QColor Color;

protected:
    using TParentNode::TParentNode;
};

class TStringNode;

// One drawn piece of a string node's text: Length code units from Start, at Rect. Rect runs from
// (x, y) to (x + width, y + line height), both edges inside, as the pointer tests it.
struct TTextPiece {
    const TStringNode* Node = nullptr;
    qsizetype Start = 0;
    qsizetype Length = 0;
    QRect Rect;
};

class TRootNode : public TAreaNode {
public:
    TRootNode() : TAreaNode(TNodeKind::Root, nullptr, this, nullptr) {}

    // Every piece of the last layout in drawing order (top to bottom), and the indices of those
    // that belong to a link.
    std::vector<TTextPiece> Pieces;
    std::vector<size_t> LinkPieces;
};

class TStyleNode : public TAreaNode {
public:
    TStyleNode(TParentNode* parent, TLinkNode* link, TFontStyle style)
        : TAreaNode(TNodeKind::Style, parent, parent->Root(), link), Style(style) {}
    const TFontStyle Style;
};

class TColorNode : public TAreaNode {
public:
    TColorNode(TParentNode* parent, TLinkNode* link, const QColor& color)
        : TAreaNode(TNodeKind::Color, parent, parent->Root(), link), TextColor(color) {}
    const QColor TextColor;
};

class TLinkNode : public TAreaNode {
public:
    TLinkNode(TParentNode* parent, int number, const QString& parameter);

    const int Number;
    const QString Parameter;
    TLinkState State = TLinkState::Normal;
    // The string nodes whose innermost link this is, in caption order.
    std::vector<TStringNode*> Texts;

    // The texts of its string nodes joined.
    QString text() const;
};

// A placeholder for text an application would supply; the label supplies none, so it stays empty.
class TDynamicNode : public TAreaNode {
public:
    TDynamicNode(TParentNode* parent, TLinkNode* link, int number)
        : TAreaNode(TNodeKind::Dynamic, parent, parent->Root(), link), Number(number) {}
    const int Number;
};

class TStringNode : public TNode {
public:
    TStringNode(TParentNode* parent, TLinkNode* link, QString text)
        : TNode(TNodeKind::String, parent, parent->Root(), link), Text(std::move(text)) {}

    const QString Text;
    // Set by the layout: the styles and colour it was laid out with, and its pieces in
    // Root()->Pieces.
    TFontStyles Styles = 0;
    QColor Color;
    size_t FirstPiece = 0;
    size_t PieceCount = 0;

    // A word runs up to and including the next blank (or to the end of the text). End is the
    // offset just past it; Width its width without a trailing blank, FullWidth with it.
    struct TWord {
        qsizetype End;
        int Width;
        int FullWidth;
    };
    mutable std::vector<TWord> Words;
    mutable TFontStyles WordStyles = 0;
    mutable bool WordsValid = false;
};

class TActionNode : public TNode {
public:
    TActionNode(TParentNode* parent, TLinkNode* link, TAction action)
        : TNode(TNodeKind::Action, parent, parent->Root(), link), Action(action) {}
    const TAction Action;
};

// A tag that is not in the tag table; it draws nothing.
class TUnknownNode : public TNode {
public:
    TUnknownNode(TParentNode* parent, TLinkNode* link, QString tag)
        : TNode(TNodeKind::Unknown, parent, parent->Root(), link), Tag(std::move(tag)) {}
    const QString Tag;
};

// The parsed caption: the root and every node below it.
class TNodeTree {
public:
    // Parses caption: every CR LF pair is removed, then the text is cut into text elements, begin
    // tags and end tags. Tags are recognised in upper case ("B", "I", "U", "COLOR=", "LINK=",
    // "BR", "P", "DYNAMIC"; an entry ending in "=" also matches a tag that merely starts with
    // the entry's name); the parameter is what follows the tag's first "=". "&lt;" and "&gt;" in
    // text become "<" and ">". An end tag closes the innermost open node whatever its name; one at
    // the top level ends the caption. A "<" without a closing ">" is a tag that runs to the end.
    explicit TNodeTree(QStringView caption = {});
    ~TNodeTree();
    TNodeTree(const TNodeTree&) = delete;
    TNodeTree& operator=(const TNodeTree&) = delete;

    TRootNode& Root() { return *m_root; }
    const TRootNode& Root() const { return *m_root; }
    // The links numbered 0, 1, 2 ... in caption order.
    const std::vector<TLinkNode*>& Links() const { return m_links; }
    int DynamicCount() const { return m_dynamicCount; }
    // Forgets the cached word widths (after a change of font).
    void clearWidthCache();

private:
    TRootNode* m_root;
    std::vector<std::unique_ptr<TNode>> m_nodes;
    std::vector<TLinkNode*> m_links;
    int m_dynamicCount = 0;
};

// Widths and the line height the layout works with.
class TTextMetrics {
public:
    virtual ~TTextMetrics() = default;
    // The fixed height of every line: the height of "Yy" in the label's font without styles.
    virtual int lineHeight() const = 0;
    virtual int width(QStringView text, TFontStyles styles) const = 0;
};

// The metrics of a real font, with the given styles applied to it.
class TFontTextMetrics : public TTextMetrics {
public:
    explicit TFontTextMetrics(const QFont& font);
    int lineHeight() const override { return m_lineHeight; }
    int ascent() const { return m_ascent; }
    int width(QStringView text, TFontStyles styles) const override;

private:
    QFont m_font;
    int m_lineHeight;
    int m_ascent;
    mutable std::array<std::unique_ptr<QFontMetrics>, 16> m_metrics;
};

// What the layout takes from the label: the root's styles and colour (from the label's font and
// text colour) and what a link adds.
struct TLayoutStyle {
    TFontStyles RootStyles = 0;
    QColor RootColor = Qt::black;
    TFontStyles LinkStyle = fsUnderline;
    QColor LinkColor = QColor(0, 0, 255);
};

// Coordinates of the layout never exceed this.
constexpr int MaxCoord = 1 << 24;

// Lays the tree out into a rectangle from x = 0 to x = right (the pen starts at (0, 0)) and
// returns the text height: the pen's final y plus one line height. The pieces go to
// tree.Root().Pieces; string and area nodes record their styles, colours and start points.
//
// Texts are queued until a blank separates them, so that texts touching without a blank are
// measured as one word. A word wraps to the next line when the line with it (not counting its
// trailing blank) reaches right or more, except a lone blank and a word with nothing before it
// on its line. A line break moves the pen down one line, a paragraph break two.
int layout(TNodeTree& tree, int right, const TTextMetrics& metrics, const TLayoutStyle& style);

} // namespace linkmarkup

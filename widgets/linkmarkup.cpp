#include "widgets/linkmarkup.h"

#include "platform/colors.h"

#include <algorithm>
#include <climits>
#include <limits>
#include <optional>

namespace linkmarkup {

namespace {

struct NamedColor {
    const char16_t* ident;
    quint32 value;
};

// The colour identifiers a colour tag may name: the standard colours and the system colours.
constexpr NamedColor NamedColors[] = {
    {u"clBlack", 0x000000},
    {u"clMaroon", 0x000080},
    {u"clGreen", 0x008000},
    {u"clOlive", 0x008080},
    {u"clNavy", 0x800000},
    {u"clPurple", 0x800080},
    {u"clTeal", 0x808000},
    {u"clGray", 0x808080},
    {u"clSilver", 0xC0C0C0},
    {u"clRed", 0x0000FF},
    {u"clLime", 0x00FF00},
    {u"clYellow", 0x00FFFF},
    {u"clBlue", 0xFF0000},
    {u"clFuchsia", 0xFF00FF},
    {u"clAqua", 0xFFFF00},
    {u"clWhite", 0xFFFFFF},
    {u"clMoneyGreen", 0xC0DCC0},
    {u"clSkyBlue", 0xF0CAA6},
    {u"clCream", 0xF0FBFF},
    {u"clMedGray", 0xA4A0A0},
    {u"clScrollBar", 0xFF000000},
    {u"clBackground", 0xFF000001},
    {u"clActiveCaption", 0xFF000002},
    {u"clInactiveCaption", 0xFF000003},
    {u"clMenu", 0xFF000004},
    {u"clWindow", 0xFF000005},
    {u"clWindowFrame", 0xFF000006},
    {u"clMenuText", 0xFF000007},
    {u"clWindowText", 0xFF000008},
    {u"clCaptionText", 0xFF000009},
    {u"clActiveBorder", 0xFF00000A},
    {u"clInactiveBorder", 0xFF00000B},
    {u"clAppWorkSpace", 0xFF00000C},
    {u"clHighlight", 0xFF00000D},
    {u"clHighlightText", 0xFF00000E},
    {u"clBtnFace", 0xFF00000F},
    {u"clBtnShadow", 0xFF000010},
    {u"clGrayText", 0xFF000011},
    {u"clBtnText", 0xFF000012},
    {u"clInactiveCaptionText", 0xFF000013},
    {u"clBtnHighlight", 0xFF000014},
    {u"cl3DDkShadow", 0xFF000015},
    {u"cl3DLight", 0xFF000016},
    {u"clInfoText", 0xFF000017},
    {u"clInfoBk", 0xFF000018},
    {u"clHotLight", 0xFF00001A},
    {u"clGradientActiveCaption", 0xFF00001B},
    {u"clGradientInactiveCaption", 0xFF00001C},
    {u"clMenuHighlight", 0xFF00001D},
    {u"clMenuBar", 0xFF00001E},
};

bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

int hexDigit(QChar c) {
    if (isDigit(c))
        return c.unicode() - u'0';
    if (c >= u'a' && c <= u'f')
        return c.unicode() - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c.unicode() - u'A' + 10;
    return -1;
}

// A 32-bit colour value written as "$" and hexadecimal digits or as a signed decimal number.
std::optional<quint32> colorValue(QStringView s) {
    if (s.startsWith(u'$')) {
        s = s.mid(1);
        if (s.isEmpty() || s.size() > 8)
            return std::nullopt;
        quint32 v = 0;
        for (QChar c : s) {
            const int d = hexDigit(c);
            if (d < 0)
                return std::nullopt;
            v = v * 16 + quint32(d);
        }
        return v;
    }
    const bool negative = s.startsWith(u'-');
    if (negative || s.startsWith(u'+'))
        s = s.mid(1);
    if (s.isEmpty() || s.size() > 10)
        return std::nullopt;
    qint64 v = 0;
    for (QChar c : s) {
        if (!isDigit(c))
            return std::nullopt;
        v = v * 10 + (c.unicode() - u'0');
    }
    if (negative)
        v = -v;
    if (v < std::numeric_limits<qint32>::min() || v > std::numeric_limits<quint32>::max())
        return std::nullopt;
    return quint32(v);
}

qint64 clampCoord(qint64 v) {
    return std::clamp<qint64>(v, 0, MaxCoord);
}

// The words of a string node in its current styles, measured once and kept until the styles or
// the font change.
const std::vector<TStringNode::TWord>& wordsOf(const TStringNode& node, const TTextMetrics& m) {
    if (node.WordsValid && node.WordStyles == node.Styles)
        return node.Words;
    node.Words.clear();
    const QStringView text(node.Text);
    qsizetype start = 0;
    while (start < text.size()) {
        const qsizetype blank = text.indexOf(u' ', start);
        const qsizetype end = blank < 0 ? text.size() : blank + 1;
        const QStringView word = text.mid(start, end - start);
        int width = 0;
        int full = 0;
        if (blank < 0) {
            width = full = m.width(word, node.Styles);
        } else {
            width = word.size() == 1 ? 0 : m.width(word.chopped(1), node.Styles);
            full = m.width(word, node.Styles);
        }
        node.Words.push_back({end, width, full});
        start = end;
    }
    node.WordStyles = node.Styles;
    node.WordsValid = true;
    return node.Words;
}

// One layout pass over a tree.
class Layouter {
public:
    Layouter(TRootNode& root, int right, const TTextMetrics& metrics)
        : m_root(root), m_right(right), m_metrics(metrics),
          m_lineHeight(std::clamp(metrics.lineHeight(), 0, MaxCoord)) {}

    int run(const TLayoutStyle& style);

private:
    struct Frame {
        const TParentNode* node;
        size_t next;
        TFontStyles styles;
        QColor color;
    };
    static constexpr size_t NoText = std::numeric_limits<size_t>::max();

    void startArea(TAreaNode& area);
    void enqueue(TStringNode& node);
    void writeQueue();
    qint64 continuation(size_t index);
    qint64 drawPiece(TStringNode& node, qsizetype start, qsizetype end, bool trimBlanks);
    void newLine(int lines) {
        m_x = 0;
        m_y = clampCoord(m_y + qint64(lines) * m_lineHeight);
    }

    TRootNode& m_root;
    const qint64 m_right;
    const TTextMetrics& m_metrics;
    const int m_lineHeight;
    qint64 m_x = 0;
    qint64 m_y = 0;
    std::vector<TStringNode*> m_queue;
    // Area nodes that began while text was queued, with the index in the queue of their first
    // text (NoText until one is queued). Indices never decrease along the list.
    std::vector<std::pair<TAreaNode*, size_t>> m_waiting;
    // The queued texts up to this index have a first word that continues a word measured before.
    qsizetype m_untestedUntil = -1;
};

int Layouter::run(const TLayoutStyle& style) {
    m_root.Pieces.clear();
    m_root.LinkPieces.clear();
    m_root.Styles = style.RootStyles;
    m_root.Color = style.RootColor;
    m_root.StartPoint = QPoint(0, 0);

    std::vector<Frame> stack{{&m_root, 0, style.RootStyles, style.RootColor}};
    while (!stack.empty()) {
        Frame& top = stack.back();
        if (top.next == top.node->Children().size()) {
            stack.pop_back();
            continue;
        }
        TNode* child = top.node->Children()[top.next++];
        TFontStyles styles = top.styles;
        QColor color = top.color;
        switch (child->Kind()) {
        case TNodeKind::Style:
        case TNodeKind::Color:
        case TNodeKind::Link:
        case TNodeKind::Dynamic: {
            auto* area = static_cast<TAreaNode*>(child);
            if (child->Kind() == TNodeKind::Style) {
                styles |= static_cast<TStyleNode*>(child)->Style;
            } else if (child->Kind() == TNodeKind::Color) {
                color = static_cast<TColorNode*>(child)->TextColor;
            } else if (child->Kind() == TNodeKind::Link) {
                styles |= style.LinkStyle;
                color = style.LinkColor;
            }
            area->Styles = styles;
            area->Color = color;
            startArea(*area);
            stack.push_back({area, 0, styles, color}); // top is invalid from here on
            break;
        }
        case TNodeKind::String: {
            auto* node = static_cast<TStringNode*>(child);
            node->Styles = styles;
            node->Color = color;
            node->FirstPiece = 0;
            node->PieceCount = 0;
            enqueue(*node);
            break;
        }
        case TNodeKind::Action:
            writeQueue();
            newLine(static_cast<TActionNode*>(child)->Action == TAction::ParagraphBreak ? 2 : 1);
            break;
        case TNodeKind::Unknown:
        case TNodeKind::Root:
            break;
        }
    }
    writeQueue();
    return int(clampCoord(m_y + m_lineHeight));
}

void Layouter::startArea(TAreaNode& area) {
    if (m_queue.empty())
        area.StartPoint = QPoint(int(m_x), int(m_y));
    else
        m_waiting.emplace_back(&area, NoText);
}

void Layouter::enqueue(TStringNode& node) {
    if (node.Text.isEmpty())
        return;
    if (node.Text.front() == u' ')
        writeQueue();
    m_queue.push_back(&node);
    for (auto it = m_waiting.rbegin(); it != m_waiting.rend() && it->second == NoText; ++it)
        it->second = m_queue.size() - 1;
    if (node.Text.back() == u' ')
        writeQueue();
}

// The width of the rest of a word that runs on from the end of queued text index into the texts
// after it; those first words are then not tested again.
qint64 Layouter::continuation(size_t index) {
    qint64 width = 0;
    for (size_t j = index + 1; j < m_queue.size(); ++j) {
        const auto& words = wordsOf(*m_queue[j], m_metrics);
        width += words.front().Width;
        m_untestedUntil = qsizetype(j);
        if (words.size() > 1 || m_queue[j]->Text.back() == u' ')
            break;
    }
    return width;
}

void Layouter::writeQueue() {
    size_t waiting = 0;
    m_untestedUntil = -1;
    for (size_t q = 0; q < m_queue.size(); ++q) {
        TStringNode& node = *m_queue[q];
        const auto& words = wordsOf(node, m_metrics);
        const bool firstUntested = qsizetype(q) <= m_untestedUntil;
        qsizetype lineStart = 0;
        qsizetype lineEnd = 0;
        qint64 lineWidth = 0;
        for (size_t k = 0; k < words.size(); ++k) {
            const TStringNode::TWord& word = words[k];
            const qsizetype wordStart = k == 0 ? 0 : words[k - 1].End;
            const bool untested = k == 0 && firstUntested;
            const bool loneBlank = word.End - wordStart == 1 && node.Text[wordStart] == u' ';
            qint64 needed = lineWidth + word.Width;
            if (!untested && k + 1 == words.size() && node.Text.back() != u' ')
                needed += continuation(q);
            // A word with nothing before it on its line stays there: wrapping it would only
            // leave an empty line above it.
            const bool alone = m_x == 0 && lineEnd == lineStart;
            if (!untested && !loneBlank && !alone && m_x + needed >= m_right) {
                drawPiece(node, lineStart, lineEnd, true);
                newLine(1);
                lineStart = wordStart;
                lineWidth = 0;
            }
            if (k == 0) {
                for (; waiting < m_waiting.size() && m_waiting[waiting].second == q; ++waiting)
                    m_waiting[waiting].first->StartPoint = QPoint(int(m_x), int(m_y));
            }
            lineEnd = word.End;
            lineWidth += word.FullWidth;
        }
        m_x = clampCoord(m_x + drawPiece(node, lineStart, lineEnd, false));
    }
    for (; waiting < m_waiting.size(); ++waiting)
        m_waiting[waiting].first->StartPoint = QPoint(int(m_x), int(m_y));
    m_waiting.clear();
    m_queue.clear();
}

// Records the text from start to end (less trailing blanks if asked) at the pen and returns its
// width; an empty piece records nothing.
qint64 Layouter::drawPiece(TStringNode& node, qsizetype start, qsizetype end, bool trimBlanks) {
    if (trimBlanks)
        while (end > start && node.Text[end - 1] == u' ')
            --end;
    if (end <= start)
        return 0;
    const QStringView text = QStringView(node.Text).mid(start, end - start);
    const qint64 width = std::max(0, m_metrics.width(text, node.Styles));
    const QRect rect(QPoint(int(m_x), int(m_y)),
                     QPoint(int(clampCoord(m_x + width)), int(clampCoord(m_y + m_lineHeight))));
    if (node.PieceCount == 0)
        node.FirstPiece = m_root.Pieces.size();
    ++node.PieceCount;
    if (node.Link())
        m_root.LinkPieces.push_back(m_root.Pieces.size());
    m_root.Pieces.push_back({&node, start, end - start, rect});
    return width;
}

} // namespace

TFontStyles stylesOf(const QFont& font) {
    TFontStyles styles = 0;
    if (font.bold())
        styles |= fsBold;
    if (font.italic())
        styles |= fsItalic;
    if (font.underline())
        styles |= fsUnderline;
    if (font.strikeOut())
        styles |= fsStrikeOut;
    return styles;
}

QFont withStyles(QFont font, TFontStyles styles) {
    font.setBold(styles & fsBold);
    font.setItalic(styles & fsItalic);
    font.setUnderline(styles & fsUnderline);
    font.setStrikeOut(styles & fsStrikeOut);
    return font;
}

QColor colorFromParameter(QStringView parameter) {
    if (const std::optional<quint32> v = colorValue(parameter))
        return platform::toQColor(qint32(*v));
    for (const NamedColor& c : NamedColors)
        if (parameter.compare(QStringView(c.ident), Qt::CaseInsensitive) == 0)
            return platform::toQColor(qint32(c.value));
    return Qt::black;
}

TLinkNode::TLinkNode(TParentNode* parent, int number, const QString& parameter)
    : TAreaNode(TNodeKind::Link, parent, parent->Root(), this), Number(number),
      Parameter(parameter) {}

QString TLinkNode::text() const {
    QString s;
    for (const TStringNode* node : Texts)
        s += node->Text;
    return s;
}

TNodeTree::TNodeTree(QStringView caption) {
    auto root = std::make_unique<TRootNode>();
    m_root = root.get();
    m_nodes.push_back(std::move(root));

    QString text = caption.toString();
    text.remove(QStringLiteral("\r\n"));
    const qsizetype n = text.size();
    TParentNode* current = m_root;
    auto add = [this, &current](std::unique_ptr<TNode> node) {
        TNode* raw = node.get();
        m_nodes.push_back(std::move(node));
        current->addChild(raw);
        return raw;
    };

    qsizetype i = 0;
    while (i < n) {
        if (text[i] != u'<') {
            qsizetype next = text.indexOf(u'<', i);
            if (next < 0)
                next = n;
            QString s = text.mid(i, next - i);
            s.replace(QStringLiteral("&lt;"), QStringLiteral("<"));
            s.replace(QStringLiteral("&gt;"), QStringLiteral(">"));
            auto* node = static_cast<TStringNode*>(
                add(std::make_unique<TStringNode>(current, current->Link(), std::move(s))));
            if (node->Link())
                node->Link()->Texts.push_back(node);
            i = next;
            continue;
        }

        const bool endTag = i + 1 < n && text[i + 1] == u'/';
        const qsizetype contentStart = i + (endTag ? 2 : 1);
        const qsizetype close = contentStart <= n ? text.indexOf(u'>', contentStart) : -1;
        const qsizetype contentEnd = close < 0 ? n : close;
        i = close < 0 ? n : close + 1;
        if (endTag) {
            if (current == m_root)
                break;
            current = current->Parent();
            continue;
        }

        const QStringView content = QStringView(text).mid(contentStart, contentEnd - contentStart);
        // Only the first characters decide: the longest entry has seven.
        const QString upper = content.left(16).toString().toUpper();
        const bool shortTag = content.size() <= 16;
        auto is = [&](QStringView entry) {
            return shortTag && upper == entry;
        };
        auto startsAs = [&](QStringView name) {
            return upper.startsWith(name);
        };
        const qsizetype eq = content.indexOf(u'=');
        const QString parameter = eq < 0 ? QString() : content.mid(eq + 1).toString();
        TLinkNode* link = current->Link();

        if (is(u"B") || is(u"I") || is(u"U")) {
            const TFontStyle style = is(u"B") ? fsBold : is(u"I") ? fsItalic : fsUnderline;
            current =
                static_cast<TParentNode*>(add(std::make_unique<TStyleNode>(current, link, style)));
        } else if (startsAs(u"COLOR")) {
            current = static_cast<TParentNode*>(
                add(std::make_unique<TColorNode>(current, link, colorFromParameter(parameter))));
        } else if (startsAs(u"LINK")) {
            const int number = int(std::min<size_t>(m_links.size(), INT_MAX));
            auto* node = static_cast<TLinkNode*>(
                add(std::make_unique<TLinkNode>(current, number, parameter)));
            m_links.push_back(node);
            current = node;
        } else if (is(u"BR") || is(u"P")) {
            add(std::make_unique<TActionNode>(
                current, link, is(u"P") ? TAction::ParagraphBreak : TAction::LineBreak));
        } else if (is(u"DYNAMIC")) {
            add(std::make_unique<TDynamicNode>(current, link, m_dynamicCount));
            m_dynamicCount = std::min(m_dynamicCount, INT_MAX - 1) + 1;
        } else {
            add(std::make_unique<TUnknownNode>(current, link, content.toString()));
        }
    }
}

TNodeTree::~TNodeTree() = default;

void TNodeTree::clearWidthCache() {
    for (const auto& node : m_nodes)
        if (node->Kind() == TNodeKind::String)
            static_cast<TStringNode*>(node.get())->WordsValid = false;
}

TFontTextMetrics::TFontTextMetrics(const QFont& font) : m_font(font) {
    const QFontMetrics plain(withStyles(font, 0));
    m_lineHeight = plain.height();
    m_ascent = plain.ascent();
}

int TFontTextMetrics::width(QStringView text, TFontStyles styles) const {
    std::unique_ptr<QFontMetrics>& m = m_metrics[styles & 15];
    if (!m)
        m = std::make_unique<QFontMetrics>(withStyles(m_font, styles));
    return m->horizontalAdvance(text.toString());
}

int layout(TNodeTree& tree, int right, const TTextMetrics& metrics, const TLayoutStyle& style) {
    return Layouter(tree.Root(), right, metrics).run(style);
}

} // namespace linkmarkup

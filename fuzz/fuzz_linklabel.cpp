// Any bytes (as UTF-8) as a link label caption: parsing and layout never crash, hang or recurse
// deeply, at any width and with widths from zero to huge. Every piece lies within its node's
// text, pieces run from top to bottom inside the coordinate range, the link list points at link
// text, and a layout that reuses cached word widths equals a fresh one. The real font's metrics
// run too, on the offscreen platform.
#include "widgets/linkmarkup.h"

#include <QGuiApplication>
#include <algorithm>
#include <climits>
#include <cstdlib>
#include <string>

using namespace linkmarkup;

namespace {

// Widths of 0 to 4 per character (zero-width runs included), 3 per blank, one more when bold.
class SmallMetrics : public TTextMetrics {
public:
    int lineHeight() const override { return 7; }
    int width(QStringView text, TFontStyles styles) const override {
        qint64 w = 0;
        for (QChar c : text)
            w += c == u' ' ? 3 : c.unicode() % 5 + ((styles & fsBold) ? 1 : 0);
        return int(std::min<qint64>(w, INT_MAX));
    }
};

// Widths and a line height that overflow int quickly unless the layout saturates.
class HugeMetrics : public TTextMetrics {
public:
    int lineHeight() const override { return 1 << 22; }
    int width(QStringView text, TFontStyles) const override {
        return int(std::min<qint64>(qint64(text.size()) << 22, INT_MAX));
    }
};

void check(bool ok) {
    if (!ok)
        std::abort();
}

std::string snapshot(const TNodeTree& tree, int height) {
    std::string s = std::to_string(height);
    for (const TTextPiece& p : tree.Root().Pieces) {
        const QRect& r = p.Rect;
        s += ';' + std::to_string(r.left()) + ',' + std::to_string(r.top()) + ',' +
             std::to_string(r.right()) + ',' + std::to_string(p.Start) + ',' +
             std::to_string(p.Length);
    }
    return s;
}

void checkLayout(TNodeTree& tree, int right, const TTextMetrics& metrics) {
    TLayoutStyle style;
    style.LinkStyle = fsBold;
    const int height = layout(tree, right, metrics, style);
    const int line = std::clamp(metrics.lineHeight(), 0, MaxCoord);
    check(height >= line && height <= MaxCoord);
    const TRootNode& root = tree.Root();
    int top = 0;
    for (const TTextPiece& p : root.Pieces) {
        check(p.Node && p.Node->Root() == &root);
        check(p.Start >= 0 && p.Length > 0 && p.Start + p.Length <= p.Node->Text.size());
        check(p.Rect.top() >= top && p.Rect.left() >= 0 && p.Rect.right() <= MaxCoord &&
              p.Rect.bottom() <= MaxCoord);
        top = p.Rect.top();
        check(p.Node->FirstPiece <= size_t(&p - root.Pieces.data()) &&
              size_t(&p - root.Pieces.data()) < p.Node->FirstPiece + p.Node->PieceCount);
    }
    for (size_t i : root.LinkPieces)
        check(i < root.Pieces.size() && root.Pieces[i].Node->Link());
}

} // namespace

// The font database of the application, kept for the whole run, is fontconfig's to free.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig\n";
}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    // Colour tags may name system colours, which come from the application's palette.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    new QGuiApplication(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString caption = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    TNodeTree tree(caption);
    for (size_t i = 0; i < tree.Links().size(); ++i)
        check(tree.Links()[i]->Number == int(i));

    const SmallMetrics small;
    TLayoutStyle style;
    style.LinkStyle = fsBold;
    const std::string fresh = snapshot(tree, layout(tree, 40, small, style));
    for (int right : {-3, 0, 1, 13, 40, 1000})
        checkLayout(tree, right, small);
    check(snapshot(tree, layout(tree, 40, small, style)) == fresh);

    // The cached widths belong to one font: other metrics start from a clear cache.
    tree.clearWidthCache();
    checkLayout(tree, 1 << 30, HugeMetrics());
    tree.clearWidthCache();
    checkLayout(tree, 135, TFontTextMetrics(QFont()));
    return 0;
}

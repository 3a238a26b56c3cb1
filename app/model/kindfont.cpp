#include "app/model/kindfont.h"

QFont toQFont(const KindFont& f) {
    QFont font(f.Name);
    if (f.Size > 0)
        font.setPointSize(f.Size);
    else if (f.Size < 0)
        font.setPixelSize(-f.Size);
    font.setBold(f.Bold);
    font.setItalic(f.Italic);
    font.setUnderline(f.Underline);
    font.setStrikeOut(f.StrikeOut);
    return font;
}

int emHeight(const KindFont& f, int dpi) {
    if (f.Size < 0)
        return -f.Size;
    return qRound(f.Size * dpi / 72.0);
}

#include "strokes/gifwriter.h"

#include <gif_lib.h>
#include <memory>

namespace strokes {

namespace {

int appendOutput(GifFileType* gif, const GifByteType* data, int length) {
    static_cast<QByteArray*>(gif->UserData)->append(reinterpret_cast<const char*>(data), length);
    return length;
}

struct GifCloser {
    void operator()(GifFileType* gif) const {
        int error = 0;
        EGifCloseFile(gif, &error);
    }
};

struct MapFree {
    void operator()(ColorMapObject* map) const { GifFreeMapObject(map); }
};

QString giflibError(int code) {
    const char* text = GifErrorString(code);
    return QStringLiteral("GIF writing failed: ") +
           (text ? QString::fromLatin1(text) : QString::number(code));
}

} // namespace

QByteArray writeGif(QSize size, const QList<QRgb>& palette, const std::vector<IndexedFrame>& frames,
                    const QByteArray& comment, QString* error) {
    auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        return QByteArray();
    };
    if (palette.isEmpty() || palette.size() > 256 || size.isEmpty() || size.width() > 0xFFFF ||
        size.height() > 0xFFFF)
        return fail(QStringLiteral("GIF writing failed: bad size or palette"));

    int bits = 1;
    while ((1 << bits) < palette.size())
        ++bits;
    std::unique_ptr<ColorMapObject, MapFree> map(GifMakeMapObject(1 << bits, nullptr));
    if (!map)
        return fail(giflibError(E_GIF_ERR_NOT_ENOUGH_MEM));
    for (int i = 0; i < (1 << bits); ++i) {
        const QRgb c = i < palette.size() ? palette[i] : palette[0];
        map->Colors[i] =
            GifColorType{GifByteType(qRed(c)), GifByteType(qGreen(c)), GifByteType(qBlue(c))};
    }

    QByteArray out;
    int code = 0;
    std::unique_ptr<GifFileType, GifCloser> gif(EGifOpen(&out, appendOutput, &code));
    if (!gif)
        return fail(giflibError(code));
    EGifSetGifVersion(gif.get(), true);
    if (EGifPutScreenDesc(gif.get(), size.width(), size.height(), bits, 0, map.get()) == GIF_ERROR)
        return fail(giflibError(gif->Error));

    // Loop for ever (the application extension browsers and viewers know).
    static const GifByteType loop[3] = {1, 0, 0};
    if (EGifPutExtensionLeader(gif.get(), APPLICATION_EXT_FUNC_CODE) == GIF_ERROR ||
        EGifPutExtensionBlock(gif.get(), 11, "NETSCAPE2.0") == GIF_ERROR ||
        EGifPutExtensionBlock(gif.get(), 3, loop) == GIF_ERROR ||
        EGifPutExtensionTrailer(gif.get()) == GIF_ERROR)
        return fail(giflibError(gif->Error));
    if (!comment.isEmpty() && EGifPutComment(gif.get(), comment.constData()) == GIF_ERROR)
        return fail(giflibError(gif->Error));

    const QRect whole(QPoint(), size);
    for (const IndexedFrame& f : frames) {
        if (!whole.contains(f.rect) || f.rect.isEmpty() ||
            f.indices.size() != qsizetype(f.rect.width()) * f.rect.height())
            return fail(QStringLiteral("GIF writing failed: a frame does not fit the picture"));
        GraphicsControlBlock gcb{};
        gcb.DisposalMode = DISPOSE_DO_NOT;
        gcb.UserInputFlag = false;
        gcb.DelayTime = f.delay;
        gcb.TransparentColor = f.transparent >= 0 && f.transparent < palette.size()
                                   ? f.transparent
                                   : NO_TRANSPARENT_COLOR;
        GifByteType ext[4];
        EGifGCBToExtension(&gcb, ext);
        if (EGifPutExtension(gif.get(), GRAPHICS_EXT_FUNC_CODE, 4, ext) == GIF_ERROR ||
            EGifPutImageDesc(gif.get(), f.rect.x(), f.rect.y(), f.rect.width(), f.rect.height(),
                             false, nullptr) == GIF_ERROR)
            return fail(giflibError(gif->Error));
        auto* pixels = reinterpret_cast<GifPixelType*>(const_cast<char*>(f.indices.constData()));
        for (int y = 0; y < f.rect.height(); ++y)
            if (EGifPutLine(gif.get(), pixels + qsizetype(y) * f.rect.width(), f.rect.width()) ==
                GIF_ERROR)
                return fail(giflibError(gif->Error));
    }
    int closeError = 0;
    GifFileType* raw = gif.release();
    if (EGifCloseFile(raw, &closeError) == GIF_ERROR)
        return fail(giflibError(closeError));
    return out;
}

} // namespace strokes

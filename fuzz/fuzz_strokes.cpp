// Any bytes as stroke path data and as a stroke table: reading never crashes or hangs; a table that
// reads gives strokes that are views inside it; a small one is drawn, and the picture reads back.
#include "strokes/pathdata.h"
#include "strokes/renderer.h"
#include "strokes/stroketable.h"
#include "widgets/gifimage.h"

#include <QGuiApplication>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static int argc = 1;
    static char name[] = "fuzz_strokes";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QGuiApplication(argc, argv);
    }();
    (void)app;

    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const strokes::PathParse path = strokes::parsePath(bytes);
    if (path.ok() ? path.path.elementCount() == 0 : path.path.elementCount() != 0)
        std::abort(); // a read path has at least its moveto; a refused one is empty

    const auto table = strokes::StrokeTable::fromText(bytes);
    if (!table)
        return 0;
    for (const char32_t code : table->codePoints()) {
        const QList<QByteArrayView> strokes = table->strokesOf(code);
        if (strokes.isEmpty())
            std::abort();
        for (const QByteArrayView s : strokes) {
            if (s.isEmpty() || s.data() < bytes.constData() ||
                s.data() + s.size() > bytes.constData() + bytes.size())
                std::abort();
            strokes::parsePath(s);
        }
        if (size <= 1024) {
            const QByteArray gif = strokes::makePicture(strokes);
            if (!gif.isEmpty()) {
                TGIFImage image;
                image.LoadFromData(gif); // throws on a damaged picture: a crash for the fuzzer
            }
        }
        break;
    }
    return 0;
}

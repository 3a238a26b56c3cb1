// Any bytes as a GIF file: loading either completes or fails with the reader's error, never
// crashes, hangs or reads past the data, and every frame it kept decodes and expands to pixels
// of its own size.
#include "platform/errors.h"
#include "widgets/gifimage.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    TGIFImage gif;
    try {
        gif.LoadFromData(bytes);
    } catch (const platform::Error&) {
    }
    for (int i = 0; i < gif.FrameCount(); ++i) {
        TGIFFrame& frame = gif.Frame(i);
        const std::vector<uint8_t>& indices = frame.bitmap();
        if (indices.size() != size_t(frame.Width()) * size_t(frame.Height()))
            std::abort();
        const QImage image = frame.image();
        if (!indices.empty() && image.size() != frame.rect().size())
            std::abort();
    }
    return 0;
}

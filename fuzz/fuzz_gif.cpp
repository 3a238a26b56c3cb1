// Any bytes as a GIF file: loading either completes or fails with the reader's error, never
// crashes, hangs or reads past the data; every frame it kept decodes and expands to pixels of its
// own size; and the animated control composes every frame in turn (the cached path) and then
// jumps back over the last frames (the rebuilding path), each to a picture of the logical screen's
// size.
#include "platform/errors.h"
#include "widgets/gifanimator.h"
#include "widgets/gifimage.h"

#include <QApplication>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    new QApplication(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    TGIFAnimator animator;
    TGIFImage& gif = animator.Image();
    bool loaded = true;
    try {
        gif.LoadFromData(bytes);
    } catch (const platform::Error&) {
        loaded = false;
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
    // Composing needs a completed load (a failed one leaves the control as it was).
    if (!loaded || gif.Empty() || gif.Width() <= 0 || gif.Height() <= 0)
        return 0;
    const QSize screen(gif.Width(), gif.Height());
    for (int i = 0; i < gif.FrameCount(); ++i)
        if (animator.ComposeFrame(i).size() != screen)
            std::abort();
    // Jumps back: a few are enough to reach the rebuilding path without a quadratic run.
    for (int i = gif.FrameCount() - 1; i >= 0 && i >= gif.FrameCount() - 8; --i)
        if (animator.ComposeFrame(i).size() != screen)
            std::abort();
    return 0;
}

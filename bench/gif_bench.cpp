// Decoding GIFs to 32-bit pixels, ours against giflib doing the same work in the same run: every
// frame of the sample stroke-order animations, and one 1000 x 1000 picture that ImageMagick makes
// at start (plasma) in a temporary folder. Both sides start from the file's bytes in memory and
// end with each frame as 32-bit pixels (colour table applied, transparent pixels with alpha 0).
// The end of the run prints our time as a multiple of giflib's; the goal is within 1.2x.
#include "bench/ratioreporter.h"
#include "widgets/gifimage.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <gif_lib.h>
#include <map>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

struct Fixture {
    QTemporaryDir dir;
    std::vector<QByteArray> samples;
    QByteArray big;

    Fixture() {
        const QDir pics(QStringLiteral(SORABI_SHARED "/pics-sample"));
        for (const QString& name : pics.entryList({QStringLiteral("*.gif")}, QDir::Files))
            samples.push_back(read(pics.filePath(name)));
        const QByteArray path = QFile::encodeName(dir.filePath(QStringLiteral("big.gif")));
        char* const argv[] = {const_cast<char*>("convert"),        const_cast<char*>("-size"),
                              const_cast<char*>("1000x1000"),      const_cast<char*>("plasma:"),
                              const_cast<char*>(path.constData()), nullptr};
        pid_t pid = 0;
        int status = 0;
        if (posix_spawnp(&pid, "convert", nullptr, nullptr, argv, environ) == 0 &&
            waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0)
            big = read(dir.filePath(QStringLiteral("big.gif")));
    }

    static QByteArray read(const QString& path) {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            std::abort();
        return f.readAll();
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

// Ours: load (the first frame is decoded then), then every frame as a 32-bit image.
size_t decodeOurs(const QByteArray& bytes) {
    TGIFImage gif;
    gif.LoadFromData(bytes);
    size_t pixels = 0;
    for (int i = 0; i < gif.FrameCount(); ++i) {
        const QImage img = gif.Frame(i).image();
        benchmark::DoNotOptimize(img.constBits());
        pixels += size_t(img.width()) * size_t(img.height());
    }
    return pixels;
}

struct Memory {
    const QByteArray* bytes;
    qsizetype pos;
};

int readMemory(GifFileType* gif, GifByteType* out, int n) {
    auto* m = static_cast<Memory*>(gif->UserData);
    const int take = int(std::min<qsizetype>(n, m->bytes->size() - m->pos));
    std::memcpy(out, m->bytes->constData() + m->pos, size_t(take));
    m->pos += take;
    return take;
}

// giflib: read and decode every frame, then expand each through its colour table.
size_t decodeGiflib(const QByteArray& bytes) {
    Memory m{&bytes, 0};
    int error = 0;
    GifFileType* gif = DGifOpen(&m, readMemory, &error);
    if (!gif || DGifSlurp(gif) != GIF_OK)
        std::abort();
    size_t pixels = 0;
    std::vector<uint32_t> argb;
    for (int i = 0; i < gif->ImageCount; ++i) {
        const SavedImage& s = gif->SavedImages[i];
        const ColorMapObject* map = s.ImageDesc.ColorMap ? s.ImageDesc.ColorMap : gif->SColorMap;
        GraphicsControlBlock gcb{};
        gcb.TransparentColor = NO_TRANSPARENT_COLOR;
        DGifSavedExtensionToGCB(gif, i, &gcb);
        uint32_t lut[256];
        for (int k = 0; k < 256; ++k) {
            const GifColorType c =
                map && k < map->ColorCount ? map->Colors[k] : GifColorType{0, 0, 0};
            lut[k] = 0xFF000000u | uint32_t(c.Red) << 16 | uint32_t(c.Green) << 8 | c.Blue;
        }
        if (gcb.TransparentColor >= 0 && gcb.TransparentColor < 256)
            lut[gcb.TransparentColor] &= 0x00FFFFFFu;
        const size_t n = size_t(s.ImageDesc.Width) * size_t(s.ImageDesc.Height);
        argb.resize(n);
        for (size_t k = 0; k < n; ++k)
            argb[k] = lut[s.RasterBits[k]];
        benchmark::DoNotOptimize(argb.data());
        pixels += n;
    }
    DGifCloseFile(gif, &error);
    return pixels;
}

template <size_t (*Decode)(const QByteArray&)> void BM_Samples(benchmark::State& state) {
    Fixture& f = fixture();
    if (f.samples.empty()) {
        state.SkipWithError("no pics-sample folder");
        return;
    }
    size_t pixels = 0;
    for (auto _ : state)
        for (const QByteArray& bytes : f.samples)
            pixels += Decode(bytes);
    state.counters["pixels/s"] = benchmark::Counter(double(pixels), benchmark::Counter::kIsRate);
}

template <size_t (*Decode)(const QByteArray&)> void BM_Big(benchmark::State& state) {
    Fixture& f = fixture();
    if (f.big.isEmpty()) {
        state.SkipWithError("ImageMagick's convert could not make the picture");
        return;
    }
    size_t pixels = 0;
    for (auto _ : state)
        pixels += Decode(f.big);
    state.counters["pixels/s"] = benchmark::Counter(double(pixels), benchmark::Counter::kIsRate);
}

void BM_SamplesOurs(benchmark::State& s) {
    BM_Samples<decodeOurs>(s);
}
void BM_SamplesGiflib(benchmark::State& s) {
    BM_Samples<decodeGiflib>(s);
}
void BM_BigOurs(benchmark::State& s) {
    BM_Big<decodeOurs>(s);
}
void BM_BigGiflib(benchmark::State& s) {
    BM_Big<decodeGiflib>(s);
}

} // namespace

BENCHMARK(BM_SamplesOurs)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SamplesGiflib)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_BigOurs)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_BigGiflib)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter(
        {{"BM_SamplesOurs", "BM_SamplesGiflib", 1.2}, {"BM_BigOurs", "BM_BigGiflib", 1.2}});
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}

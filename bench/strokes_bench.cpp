// The stroke-order pictures: drawing one against reading it back, the hint window's first card
// with a cold cache against the same card from the cache, and (printed first) the spread over
// every kanji of the code table with the pictures' sizes.
#include "bench/ratioreporter.h"
#include "hint/kanjicodes.h"
#include "hint/kanjipictures.h"
#include "hint/uhint.h"
#include "strokes/renderer.h"
#include "strokes/stroketable.h"
#include "widgets/gifimage.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPainter>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

const QString kTable = QStringLiteral(SORABI_RESOURCES "/strokes/kanjivg-strokes.qz");

const strokes::StrokeTable& table() {
    static const strokes::StrokeTable* t = strokes::StrokeTable::shared(kTable);
    if (!t)
        std::abort();
    return *t;
}

// Every kanji of the code table, in its order.
const std::vector<char16_t>& allKanji() {
    static const std::vector<char16_t> units = KanjiCodes::builtIn().units();
    return units;
}

void BM_MakePicture(benchmark::State& state) {
    const std::vector<char16_t>& kanji = allKanji();
    size_t n = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(strokes::makePicture(table().strokesOf(kanji[n])));
        n = (n + 97) % kanji.size(); // a spread of simple and complex kanji
    }
}

void BM_ReadPicture(benchmark::State& state) {
    const std::vector<char16_t>& kanji = allKanji();
    std::vector<QByteArray> pictures;
    for (size_t n = 0; pictures.size() < 64; n = (n + 97) % kanji.size())
        pictures.push_back(strokes::makePicture(table().strokesOf(kanji[n])));
    size_t n = 0;
    QImage canvas(strokes::kPictureSize, strokes::kPictureSize, QImage::Format_ARGB32);
    for (auto _ : state) {
        // Read and played through once: every frame decoded and drawn.
        TGIFImage image;
        image.LoadFromData(pictures[n]);
        QPainter p(&canvas);
        for (int i = 0; i < image.FrameCount(); ++i)
            image.Frame(i).draw(p);
        n = (n + 1) % pictures.size();
    }
}

// A new card of four kanji: from the call until the window holds its four pictures.
void hintWindowCard(benchmark::State& state, bool cold) {
    QWidget main;
    main.setGeometry(600, 0, 380, 300);
    main.show();
    THintForm hint(&main, KanjiPictures({}, QString(), nullptr));
    const QString words[] = {QStringLiteral("日本語学"), QStringLiteral("電車通勤"),
                             QStringLiteral("図書館員"), QStringLiteral("新聞記者")};
    size_t n = 0;
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir cache;
        const KanjiPictures pictures({}, cache.path(), &table());
        if (!cold)
            for (const QChar c : words[n])
                pictures.pictureOf(c.unicode(), *KanjiCodes::builtIn().codeOf(c.unicode()));
        hint.setPictures(pictures);
        hint.ShowKanji(QString()); // a different word before, so the next one is new
        state.ResumeTiming();
        hint.ShowKanji(words[n]);
        QApplication::processEvents();
        if (hint.Animations().size() != 4)
            state.SkipWithError("not four pictures");
        n = (n + 1) % std::size(words);
    }
}

void BM_HintCardColdCache(benchmark::State& state) {
    hintWindowCard(state, true);
}
void BM_HintCardWarmCache(benchmark::State& state) {
    hintWindowCard(state, false);
}

void BM_LoadStrokeTable(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(strokes::StrokeTable::load(kTable));
}

// One picture of every kanji, timed one by one: the spread of the times and the sizes.
void printSpread() {
    std::vector<double> ms;
    qint64 bytes = 0;
    size_t largest = 0;
    for (const char16_t k : allKanji()) {
        QElapsedTimer t;
        t.start();
        const QByteArray gif = strokes::makePicture(table().strokesOf(k));
        ms.push_back(double(t.nsecsElapsed()) / 1e6);
        bytes += gif.size();
        largest = std::max(largest, size_t(gif.size()));
    }
    std::sort(ms.begin(), ms.end());
    auto at = [&](double q) {
        return ms[size_t(q * double(ms.size() - 1))];
    };
    std::printf("pictures of all %zu kanji: min %.2f ms, median %.2f ms, p90 %.2f ms, p99 %.2f ms, "
                "max %.2f ms (goal: median at most 20 ms: %s)\n",
                ms.size(), at(0), at(0.5), at(0.9), at(0.99), at(1),
                at(0.5) <= 20 ? "met" : "missed");
    std::printf(
        "sizes: %.1f MB in all, %.1f KB on average (goal under 20 KB: %s), largest %.1f KB\n\n",
        double(bytes) / 1e6, double(bytes) / double(ms.size()) / 1024,
        double(bytes) / double(ms.size()) < 20 * 1024 ? "met" : "missed", double(largest) / 1024);
}

} // namespace

BENCHMARK(BM_MakePicture)->Unit(benchmark::kMillisecond)->Repetitions(5);
BENCHMARK(BM_ReadPicture)->Unit(benchmark::kMillisecond)->Repetitions(5);
BENCHMARK(BM_HintCardColdCache)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5);
BENCHMARK(BM_HintCardWarmCache)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5);
BENCHMARK(BM_LoadStrokeTable)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv) {
    // The offscreen platform cannot raise windows or pass size hints, and says so on every card.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& text) {
        if (!text.contains(QStringLiteral("This plugin does not support")))
            std::fprintf(stderr, "%s\n", qPrintable(text));
    });
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir cache;
    qputenv("XDG_CACHE_HOME", QFile::encodeName(cache.path()));
    QApplication app(argc, argv);
    Q_INIT_RESOURCE(resources);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    printSpread();
    RatioReporter reporter({{"BM_MakePicture", "BM_ReadPicture", 20.0},
                            {"BM_HintCardColdCache", "BM_HintCardWarmCache", 20.0}},
                           {{"BM_MakePicture", 0.020}, {"BM_HintCardColdCache", 0.100}});
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}

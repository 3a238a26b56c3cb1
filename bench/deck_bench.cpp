// Loading and saving a 100,000-word deck, against transcoding the same file with iconv: the floor
// for any reader or writer of the format, measured in the same run. The end of the run prints the
// ratios to iconv's time; the goals are load within 3x and save within 2x.
//
// Grading to saved: what the autosave does on the window's thread after a grading of a
// 10,000-word deck (encode, keep-a-copy checks, write a temporary file, sync it to the disk,
// rename it over the deck), against writing the same bytes straight into a file without sync or
// rename, the floor of any write. The goal is at most 5 ms, and within 5x the plain write: the
// sync and the rename may cost a few plain writes, no more.
#include "app/model/deckcodec.h"
#include "app/model/trainermodel.h"
#include "bench/ratioreporter.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <iconv.h>
#include <map>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

constexpr int kWords = 100000;
constexpr int kSmallWords = 10000;

QString pick(QRandomGenerator& rng, char16_t first, int span, int minLen, int maxLen) {
    QString s;
    const int len = minLen + int(rng.bounded(maxLen - minLen + 1));
    for (int i = 0; i < len; ++i)
        s += QChar(char16_t(first + rng.bounded(span)));
    return s;
}

// A deck of realistic words in a temporary folder, made once for all benchmarks: kanji of 2 to 4
// characters, kana of 3 to 6, a Russian translation with 1 to 3 alternatives, and counts.
struct Fixture {
    QTemporaryDir dir;
    QString deck;
    QByteArray bytes;

    Fixture() {
        if (!dir.isValid())
            std::abort();
        QRandomGenerator rng(42);
        std::vector<TDictRec> words(kWords);
        for (TDictRec& w : words) {
            w.Kanji = pick(rng, 0x4E00, 0x5000, 2, 4);
            w.Kana = pick(rng, 0x3041, 0x50, 3, 6);
            const int alternatives = 1 + int(rng.bounded(3));
            for (int a = 0; a < alternatives; ++a) {
                if (a)
                    w.Translation += QStringLiteral("; ");
                w.Translation += pick(rng, 0x0430, 32, 4, 10);
            }
            w.Attempts = int(rng.bounded(100));
            w.Misses = int(rng.bounded(w.Attempts + 1));
            w.Active = rng.bounded(10) != 0;
        }
        bytes = deckcodec::encode(words, kWords, 17);
        deck = dir.filePath(QStringLiteral("deck.sb"));
        QFile f(deck);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            std::abort();
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        std::abort();
    return f.readAll();
}

void BM_LoadDeck(benchmark::State& state) {
    Fixture& f = fixture();
    TrainerModel model;
    for (auto _ : state) {
        if (model.loadDeck(f.deck).status != DeckLoadResult::Loaded || model.WordCount != kWords)
            std::abort();
        benchmark::DoNotOptimize(model.Dict.Words.data());
    }
    state.SetBytesProcessed(state.iterations() * f.bytes.size());
}

void BM_SaveDeck(benchmark::State& state) {
    Fixture& f = fixture();
    TrainerModel model;
    if (model.loadDeck(f.deck).status != DeckLoadResult::Loaded)
        std::abort();
    const QString out = f.dir.filePath(QStringLiteral("saved.sb"));
    for (auto _ : state)
        if (!model.saveDeck(out))
            std::abort();
    // Loaded and saved again unchanged, the deck is the same bytes.
    if (readAll(out) != f.bytes)
        std::abort();
    state.SetBytesProcessed(state.iterations() * f.bytes.size());
}

// What `iconv -f UTF-16LE -t UTF-8 deck.sb > out` does, in process: read, transcode, write.
void BM_IconvFunction(benchmark::State& state) {
    Fixture& f = fixture();
    const QString out = f.dir.filePath(QStringLiteral("iconv.txt"));
    iconv_t cd = iconv_open("UTF-8", "UTF-16LE");
    if (cd == iconv_t(-1))
        std::abort();
    QByteArray converted;
    for (auto _ : state) {
        QByteArray in = readAll(f.deck);
        // A UTF-16 unit gives at most 3 UTF-8 bytes, a surrogate pair 4.
        converted.resize(in.size() * 2);
        char* src = in.data();
        size_t srcLeft = size_t(in.size());
        char* dst = converted.data();
        size_t dstLeft = size_t(converted.size());
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        if (iconv(cd, &src, &srcLeft, &dst, &dstLeft) == size_t(-1))
            std::abort();
        QFile o(out);
        const qint64 length = qint64(converted.size()) - qint64(dstLeft);
        if (!o.open(QIODevice::WriteOnly) || o.write(converted.constData(), length) != length)
            std::abort();
    }
    iconv_close(cd);
    state.SetBytesProcessed(state.iterations() * f.bytes.size());
}

// The command itself, process start included: `iconv -f UTF-16LE -t UTF-8 deck.sb > /dev/null`,
// started without a shell so that only iconv's own start-up counts.
void BM_IconvCommand(benchmark::State& state) {
    Fixture& f = fixture();
    const QByteArray file = f.deck.toLocal8Bit();
    char* const argv[] = {const_cast<char*>("iconv"),
                          const_cast<char*>("-f"),
                          const_cast<char*>("UTF-16LE"),
                          const_cast<char*>("-t"),
                          const_cast<char*>("UTF-8"),
                          const_cast<char*>(file.constData()),
                          nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    for (auto _ : state) {
        pid_t pid = 0;
        int status = 0;
        if (posix_spawnp(&pid, "iconv", &actions, nullptr, argv, environ) != 0 ||
            waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
            std::abort();
    }
    posix_spawn_file_actions_destroy(&actions);
    state.SetBytesProcessed(state.iterations() * f.bytes.size());
}

// A 10,000-word deck loaded from its own file, as the program has it.
struct SmallDeck {
    QTemporaryDir dir;
    TrainerModel model;

    SmallDeck() {
        if (!dir.isValid())
            std::abort();
        const QString path = dir.filePath(QStringLiteral("small.sb"));
        const Fixture& f = fixture();
        std::vector<TDictRec> words;
        const deckcodec::ParseResult all = deckcodec::parse(f.bytes);
        words.assign(all.dict.Words.begin(), all.dict.Words.begin() + kSmallWords);
        QFile out(path);
        const QByteArray bytes = deckcodec::encode(words, kSmallWords, 0);
        if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size())
            std::abort();
        out.close();
        if (model.loadDeck(path).status != DeckLoadResult::Loaded)
            std::abort();
    }
};

void BM_GradeToSaved(benchmark::State& state) {
    SmallDeck d;
    TrainerModel& m = d.model;
    qint32 next = 0;
    for (auto _ : state) {
        TDictRec& w = m.Dict.Words[size_t(m.ActiveList[size_t(next)])];
        w.Attempts = wrappingAdd(w.Attempts, 1);
        m.Dict.TotalAttempts = wrappingAdd(m.Dict.TotalAttempts, 1);
        next = (next + 1) % m.ActiveCount;
        if (!m.saveDeck(m.deckFile()))
            std::abort();
    }
}

void BM_PlainWrite(benchmark::State& state) {
    SmallDeck d;
    const QByteArray bytes =
        deckcodec::encode(d.model.Dict.Words, d.model.WordCount, d.model.CurrentPos);
    const QString path = d.dir.filePath(QStringLiteral("plain.sb"));
    for (auto _ : state) {
        QFile out(path);
        if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size())
            std::abort();
    }
}

} // namespace

BENCHMARK(BM_GradeToSaved)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5);
BENCHMARK(BM_PlainWrite)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5);
BENCHMARK(BM_LoadDeck)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SaveDeck)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_IconvFunction)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_IconvCommand)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv) {
    // The deck lock lives in the runtime folder; a session without one gets a private folder.
    QTemporaryDir runtime;
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR") && runtime.isValid())
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter({{"BM_LoadDeck", "BM_IconvFunction", 3.0},
                            {"BM_LoadDeck", "BM_IconvCommand", 3.0},
                            {"BM_SaveDeck", "BM_IconvFunction", 2.0},
                            {"BM_SaveDeck", "BM_IconvCommand", 2.0},
                            {"BM_GradeToSaved", "BM_PlainWrite", 5.0}},
                           {{"BM_GradeToSaved", 0.005}});
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}

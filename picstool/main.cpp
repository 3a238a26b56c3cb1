// sorabi-pics OUTDIR [TEXT]: writes the stroke-order picture of every kanji of TEXT (or of every
// kanji of the code table) as OUTDIR/<Shift_JIS code>.gif, the names the hint window looks for.
#include "hint/kanjicodes.h"
#include "platform/atomicfile.h"
#include "platform/paths.h"
#include "strokes/renderer.h"
#include "strokes/stroketable.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QStringList>
#include <atomic>
#include <cstdio>
#include <mutex>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

struct Job {
    char16_t unit;
    quint16 code;
};

void print(FILE* to, const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), to);
}

QString usage() {
    return QStringLiteral(
        "Usage: sorabi-pics OUTDIR [TEXT]\n"
        "Writes the stroke-order picture of every kanji of TEXT, or of every kanji of the\n"
        "program's code table when TEXT is left out, as OUTDIR/<Shift_JIS code>.gif\n"
        "(upper-case hexadecimal, as the \"Написание\" window looks them up). Pictures are made\n"
        "on all cores. Kanji without stroke data are listed on standard error.\n"
        "Exit status: 0 when every picture was made, 1 when some were not, 2 on wrong use.\n"
        "\n"
        "Stroke data: KanjiVG, Copyright (C) 2009-2011 Ulrich Apel,\n"
        "http://kanjivg.tagaini.net, licensed under Creative Commons Attribution-Share Alike 3.0\n"
        "(http://creativecommons.org/licenses/by-sa/3.0/). Every picture carries this\n"
        "attribution in its comment and is shared under the same licence.\n");
}

// The kanji to make, once each, in the code table's order or the text's.
std::vector<Job> jobsOf(const KanjiCodes& codes, const QStringList& args) {
    std::vector<Job> jobs;
    std::vector<bool> seen(0x10000, false);
    auto add = [&](char16_t unit) {
        if (seen[unit])
            return;
        if (const auto code = codes.codeOf(unit)) {
            seen[unit] = true;
            jobs.push_back({unit, *code});
        }
    };
    if (args.size() > 2) {
        for (const QChar c : args[2])
            add(c.unicode());
    } else {
        for (const char16_t unit : codes.units())
            add(unit);
    }
    return jobs;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    Q_INIT_RESOURCE(resources); // the code table
    const QStringList args = QCoreApplication::arguments();
    if (args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"))) {
        print(stdout, usage());
        return 0;
    }
    if (args.size() < 2 || args.size() > 3 || args[1].isEmpty()) {
        print(stderr, usage());
        return 2;
    }
    const QString outDir = QDir(args[1]).absolutePath();
    if (!QDir().mkpath(outDir)) {
        print(stderr, QStringLiteral("sorabi-pics: cannot make the folder %1\n").arg(outDir));
        return 1;
    }
    QString error;
    const QString appDir = QCoreApplication::applicationDirPath() + u'/';
    const strokes::StrokeTable* table = strokes::StrokeTable::shared(
        platform::paths::Layout::forProgram(appDir).strokeTable, &error);
    if (!table) {
        print(stderr, QStringLiteral("sorabi-pics: %1\n").arg(error));
        return 1;
    }
    const std::vector<Job> jobs = jobsOf(KanjiCodes::builtIn(), args);

    std::atomic<size_t> next{0};
    std::atomic<size_t> done{0};
    std::mutex failuresLock;
    QStringList failures;
    auto work = [&] {
        for (size_t i = next++; i < jobs.size(); i = next++) {
            const Job& job = jobs[i];
            QString why;
            if (!table->contains(job.unit)) {
                why = QStringLiteral("no stroke data");
            } else if (const QByteArray gif =
                           strokes::makePicture(table->strokesOf(job.unit), &why);
                       !gif.isEmpty()) {
                const QString path = outDir + u'/' + KanjiCodes::pictureFileName(job.code);
                QString writeError;
                if (!platform::writeFileAtomically(path, gif, &writeError))
                    why = path + QStringLiteral(": ") + writeError;
            }
            if (!why.isEmpty()) {
                const std::lock_guard lock(failuresLock);
                const QString hex =
                    QString::number(uint(job.unit), 16).toUpper().rightJustified(4, u'0');
                failures << QStringLiteral("%1 (U+%2): %3").arg(QChar(job.unit), hex, why);
            }
            ++done;
        }
    };
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    std::vector<std::thread> threads;
    for (unsigned i = 0; i < cores && i < jobs.size(); ++i)
        threads.emplace_back(work);

    const bool terminal = isatty(STDERR_FILENO);
    QElapsedTimer clock;
    clock.start();
    while (terminal && done < jobs.size()) {
        print(stderr, QStringLiteral("\rsorabi-pics: %1 of %2").arg(done.load()).arg(jobs.size()));
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    for (std::thread& t : threads)
        t.join();
    if (terminal)
        print(stderr, QStringLiteral("\rsorabi-pics: %1 of %2 in %3 s\n")
                          .arg(done.load())
                          .arg(jobs.size())
                          .arg(double(clock.elapsed()) / 1000, 0, 'f', 1));
    failures.sort();
    for (const QString& f : std::as_const(failures))
        print(stderr, QStringLiteral("sorabi-pics: not made: %1\n").arg(f));
    return failures.isEmpty() ? 0 : 1;
}

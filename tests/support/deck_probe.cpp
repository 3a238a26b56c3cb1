// Reads deck files as the program does and prints, per file, whether it loads and its totals:
// "<file> ok words=N attempts=A misses=M", or "<file> bad n=N" for a deck the program refuses.
// Exit status 0 when every file loads.
#include "app/model/deckcodec.h"

#include <QCoreApplication>
#include <QFile>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    int status = 0;
    for (const QString& path : QCoreApplication::arguments().mid(1)) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            std::printf("%s unreadable\n", qPrintable(path));
            status = 1;
            continue;
        }
        const deckcodec::ParseResult r = deckcodec::parse(file.readAll());
        if (!r.ok) {
            std::printf("%s bad n=%d\n", qPrintable(path), r.entryCount);
            status = 1;
            continue;
        }
        std::printf("%s ok words=%zu attempts=%d misses=%d\n", qPrintable(path),
                    r.dict.Words.size(), r.dict.TotalAttempts, r.dict.TotalMisses);
    }
    return status;
}

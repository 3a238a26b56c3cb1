#include "platform/atomicfile.h"

#include <QSaveFile>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <unistd.h>
#endif

namespace platform {

namespace {

bool fail(QSaveFile& file, QString* error, const QString& reason) {
    if (error)
        *error = reason.isEmpty() ? QStringLiteral("write error") : reason;
    file.cancelWriting();
    return false;
}

} // namespace

bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* error) {
    QSaveFile file(path);
    file.setDirectWriteFallback(true);
    // Unbuffered, so a short write (a full disk) shows in write() itself: a buffered QSaveFile
    // would lose the error in its final flush and still commit the cut file. In place, the
    // toolkit's commit does not report write errors at all.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    qint64 done = 0;
    while (done < bytes.size()) {
        const qint64 n = file.write(bytes.constData() + done, bytes.size() - done);
        if (n <= 0)
            return fail(file, error, file.errorString());
        done += n;
    }
#ifdef Q_OS_UNIX
    // The toolkit syncs too, but ignores a failure; a rewrite in place must not count as done
    // when the data never reached the disk.
    if (::fsync(file.handle()) != 0 && errno != EINVAL && errno != EROFS)
        return fail(file, error, QString::fromLocal8Bit(strerror(errno)));
#endif
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace platform

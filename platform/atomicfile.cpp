#include "platform/atomicfile.h"

#include <QSaveFile>

namespace platform {

bool writeFileAtomically(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    // Unbuffered, so a short write (a full disk) shows in write() itself: a buffered QSaveFile
    // would lose the error in its final flush and still commit the cut file.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    qint64 done = 0;
    while (done < bytes.size()) {
        const qint64 n = file.write(bytes.constData() + done, bytes.size() - done);
        if (n <= 0) {
            file.cancelWriting();
            return false;
        }
        done += n;
    }
    return file.commit();
}

} // namespace platform

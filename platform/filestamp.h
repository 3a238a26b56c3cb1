#pragma once

#include <QString>
#include <QtGlobal>

namespace platform {

// What identifies one state of a file on disk: its identity, size and modification time. Two
// stamps differ when something wrote or replaced the file in between.
struct FileStamp {
    bool exists = false;
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = 0;
    qint64 modifiedNs = 0;

    bool operator==(const FileStamp&) const = default;
};

FileStamp fileStamp(const QString& path);

} // namespace platform

#pragma once

#include <QByteArray>
#include <QString>

namespace platform {

// Replaces the file at path with bytes through a temporary file in the same folder, so that a
// failed or interrupted write leaves the previous file whole. Where the folder takes no new file
// but the file itself is writable (a shared folder), the file is rewritten in place instead. The
// data is synced to the disk before the write counts as done. False when anything went wrong,
// with the reason in *error when given.
bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* error = nullptr);

} // namespace platform

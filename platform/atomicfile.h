#pragma once

#include <QByteArray>
#include <QString>

namespace platform {

// Replaces the file at path with bytes through a temporary file in the same folder, so that a
// failed or interrupted write leaves the previous file whole. False when anything went wrong.
bool writeFileAtomically(const QString& path, const QByteArray& bytes);

} // namespace platform

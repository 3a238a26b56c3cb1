#pragma once

#include <QString>

// Where the program's files live.
namespace platform::paths {

// The file's path with links and "." / ".." resolved; for a file that does not exist, its absolute
// path.
QString canonical(const QString& path);

// The user's runtime folder (XDG_RUNTIME_DIR): sockets and lock files that must not outlive the
// session and must not lie beside the user's files. Ends without a delimiter.
QString runtimeFolder();

// A file of the runtime folder whose name stands for key (a path, say): prefix, a digest of the
// key, suffix. The same key gives the same file for every copy of the program.
QString runtimeFile(const QString& prefix, const QString& key, const QString& suffix);

} // namespace platform::paths

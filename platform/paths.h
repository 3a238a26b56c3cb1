#pragma once

#include <QString>
#include <QStringList>

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

// The folders of ready-made stroke-order pictures, in the order they are looked in: "pics" in the
// program's folder (appDir ends in a delimiter), then the installed data folder beside it
// ("../share/sorabi/pics"). Listed whether they exist or not.
QStringList pictureFolders(const QString& appDir);

// The user's cache of pictures made by the program: $XDG_CACHE_HOME/sorabi/pics (by default
// ~/.cache/sorabi/pics). May not exist yet.
QString pictureCacheFolder();

// The stroke table the pictures are drawn from: beside the program, else in the installed data
// folder. The path beside the program when neither exists.
QString strokeTableFile(const QString& appDir);

} // namespace platform::paths
